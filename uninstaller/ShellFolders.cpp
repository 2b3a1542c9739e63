// Folders that the shell knows by number (CSIDL).
#include "ShellFolders.h"

#include "PathRules.h"
#include "ShellPaths.h"

#include <shlobj.h>

std::string SpecialFolder(int csidl) {
    std::string path;
    if (FAILED(GetShellFolderPath(csidl, nullptr, path)) || path.empty()) return "";
    return AddBackslash(path);
}

std::string GetProgramsFolder() {
    return SpecialFolder(CSIDL_PROGRAMS);
}
