// Which folder the uninstaller may remove as a game folder: a real sub-folder, never a drive's or
// a share's root, never a folder of the system or the user, nor a folder above one of them.
#include "FolderGuard.h"

#include "FolderTree.h"
#include "PathRules.h"
#include "ShellFolders.h"

#include <shlobj.h>
#include <windows.h>

#include <cctype>

namespace {

// The folders a game folder may never be or hold, each of the user's with its all-users twin.
// A folder that a system lacks (the x86 ones on a 32-bit system) is simply not found.
constexpr int kProtectedFolders[] = {
    CSIDL_WINDOWS,
    CSIDL_SYSTEM,
    CSIDL_SYSTEMX86,
    CSIDL_PROGRAM_FILES,
    CSIDL_PROGRAM_FILESX86,
    CSIDL_PROGRAM_FILES_COMMON,
    CSIDL_PROGRAM_FILES_COMMONX86,
    CSIDL_PROFILE,
    CSIDL_DESKTOPDIRECTORY,
    CSIDL_COMMON_DESKTOPDIRECTORY,
    CSIDL_PERSONAL,
    CSIDL_COMMON_DOCUMENTS,
    CSIDL_STARTMENU,
    CSIDL_COMMON_STARTMENU,
    CSIDL_PROGRAMS,
    CSIDL_COMMON_PROGRAMS,
};

// A path from a function that fills a buffer and, given too small a one, asks for the size.
template <class Fill> std::string PathFrom(Fill fill) {
    const DWORD size = fill(nullptr, 0);
    if (size == 0) return "";
    std::string path(size, '\0');
    const DWORD length = fill(path.data(), size);
    if (length == 0 || length >= size) return "";
    path.resize(length);
    return path;
}

size_t NextBackslash(const std::string& path, size_t from) {
    for (size_t at = from; at < path.size();
         at += IsDBCSLeadByte(static_cast<BYTE>(path[at])) ? 2 : 1)
        if (path[at] == '\\') return at;
    return std::string::npos;
}

// Length of the root of a full path, "X:\" or "\\server\share\"; npos for any other path: a
// relative one, one without a share name, or one in the device namespace ("\\?\", "\\.\"),
// which the installer never writes and which escapes the normalising of paths.
size_t RootLength(const std::string& path) {
    if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
        path[2] == '\\')
        return 3;
    if (path.compare(0, 2, "\\\\") != 0) return std::string::npos;
    const size_t server = NextBackslash(path, 2);
    if (server == std::string::npos || server == 2) return std::string::npos;
    const std::string serverName = path.substr(2, server - 2);
    if (serverName == "?" || serverName == ".") return std::string::npos;
    const size_t share = NextBackslash(path, server + 1);
    if (share == std::string::npos || share == server + 1) return std::string::npos;
    return share + 1;
}

// Upper case through the code page, so that second bytes of double-byte characters stay as
// they are.
std::string UpperCase(std::string text) {
    CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

} // namespace

std::vector<std::string> ProtectedFolders() {
    std::vector<std::string> folders;
    for (const int csidl : kProtectedFolders) {
        const std::string folder = SpecialFolder(csidl);
        if (!folder.empty()) folders.push_back(NormalFolder(folder));
    }
    return folders;
}

std::string NormalFolder(const std::string& folder) {
    const std::string full = PathFrom([&](char* buffer, DWORD size) {
        return GetFullPathNameA(folder.c_str(), size, buffer, nullptr);
    });
    if (full.empty()) return "";
    const std::string longPath = PathFrom(
        [&](char* buffer, DWORD size) { return GetLongPathNameA(full.c_str(), buffer, size); });
    return AddBackslash(longPath.empty() ? full : longPath);
}

bool IsSameOrAbove(const std::string& folder, const std::string& other) {
    // folder ends with a backslash, so a match ends at a folder boundary of other.
    return folder.size() <= other.size() &&
           UpperCase(other).compare(0, folder.size(), UpperCase(folder)) == 0;
}

std::string GameFolderOf(const std::string& installDataPath,
                         const std::vector<std::string>& protectedFolders) {
    if (RootLength(installDataPath) == std::string::npos) return "";
    // Judged as spelled, before the links are resolved away: a game folder that is a link, or
    // lies below one, leads somewhere its install data does not say.
    const std::string spelled = ExtractFileDir(installDataPath);
    if (IsLink(spelled) || IsLinkAbove(spelled)) return "";
    const std::string normal = NormalFolder(spelled);
    const size_t root = RootLength(normal);
    if (root == std::string::npos || normal.size() <= root) return "";
    for (const std::string& protectedFolder : protectedFolders)
        if (IsSameOrAbove(normal, protectedFolder)) return "";
    return normal;
}
