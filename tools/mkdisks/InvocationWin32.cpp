// The arguments split anew from the raw command line, and the program's folder from
// GetModuleFileNameA.
#include "Invocation.h"

#include "CommandLine.h"

#include <windows.h>

namespace mkdisks {

std::vector<std::string> commandArguments(int, char**) {
    // The C runtime reads \" as a quote, so that "C:\My Game\" would swallow what follows;
    // the library's splitting keeps the trailing backslash, as UNLHA32.DLL and unlha do.
    std::vector<std::string> all = lha::splitCommandLine(GetCommandLineA());
    if (!all.empty()) all.erase(all.begin());
    return all;
}

std::string programFolder() {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length == MAX_PATH) return {};
    // The last backslash that stands alone: a double-byte character's trail byte may be 0x5C.
    std::size_t lastSeparator = 0;
    for (DWORD i = 0; i < length; ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < length)
            ++i;
        else if (path[i] == '\\')
            lastSeparator = i;
    }
    return std::string(path, lastSeparator);
}

} // namespace mkdisks
