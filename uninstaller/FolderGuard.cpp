// Which folder the uninstaller may remove as a game folder: a real sub-folder, never a drive's or
// a share's root, never a folder of the system or the user, nor a folder above one of them, and
// nothing inside the Windows folder.
#include "FolderGuard.h"

#include "FolderTree.h"
#include "Handle.h"
#include "PathRules.h"
#include "RegistryKey.h"
#include "ShellFolders.h"

#include <windows.h>

#include <cctype>

namespace {

constexpr char kCurrentVersion[] = "Software\\Microsoft\\Windows\\CurrentVersion";
// The program and common-files folders, in each registry view as the system keeps them.
constexpr const char* kProgramFolderValues[] = {
    "ProgramFilesDir", "ProgramFilesDir (x86)", "ProgramW6432Dir",
    "CommonFilesDir",  "CommonFilesDir (x86)",  "CommonW6432Dir",
};
// The keys that list the shell folders of the current user and of all users, by name or by
// known-folder id (Downloads, Saved Games and others have no CSIDL number).
const struct {
    HKEY root;
    const char* name;
} kShellFolderKeys[] = {
    {HKEY_CURRENT_USER,
     "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"},
    {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"},
    {HKEY_LOCAL_MACHINE,
     "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"},
    {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"},
};
constexpr REGSAM kViews[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};
// CSIDL numbers run from 0 to 0x3F; those without a folder in the file system give none.
constexpr int kLastCsidl = 0x3F;

size_t NextBackslash(const std::string& path, size_t from) {
    for (size_t at = from; at < path.size();
         at += IsDBCSLeadByte(static_cast<BYTE>(path[at])) ? 2 : 1)
        if (path[at] == '\\') return at;
    return std::string::npos;
}

// Length of the root of a full path, "X:\" or "\\server\share\"; npos for any other path: a
// relative one, one without a share name, or one in the device namespace ("\\?\", "\\.\").
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

void AddFolder(std::vector<std::string>& folders, const std::string& folder) {
    // Only full paths: a name that is no path (a note in a shell-folders key) would otherwise
    // turn into a folder below the current one.
    if (RootLength(PlainPath(folder)) == std::string::npos) return;
    const std::string normal = NormalFolder(folder);
    if (!normal.empty()) folders.push_back(normal);
}

} // namespace

ProtectedFolders SystemFolders() {
    ProtectedFolders folders;
    char windows[MAX_PATH] = "";
    if (GetWindowsDirectoryA(windows, MAX_PATH)) AddFolder(folders.sealed, windows);
    for (int csidl = 0; csidl <= kLastCsidl; ++csidl)
        AddFolder(folders.owned, SpecialFolder(csidl));
    for (const REGSAM view : kViews) {
        const RegistryKey currentVersion(HKEY_LOCAL_MACHINE, kCurrentVersion, KEY_READ | view);
        for (const char* value : kProgramFolderValues)
            AddFolder(folders.owned, currentVersion.ReadString(value));
        for (const auto& [root, name] : kShellFolderKeys) {
            const RegistryKey key(root, name, KEY_READ | view);
            for (const std::string& value : key.ValueNames())
                AddFolder(folders.owned, key.ReadString(value));
        }
    }
    AddFolder(folders.owned,
              PathFrom([](char* buffer, DWORD size) { return GetTempPathA(size, buffer); }));
    return folders;
}

std::string NormalPath(const std::string& path) {
    const std::string plain = PlainPath(path);
    const std::string full = PathFrom([&](char* buffer, DWORD size) {
        return GetFullPathNameA(plain.c_str(), size, buffer, nullptr);
    });
    if (full.empty()) return "";
    // The deepest part that exists is taken where it really leads and what is not there (yet)
    // is added as spelled, so that a missing folder inside a protected one is judged by the same
    // spelling as the protected folder itself.
    std::string existing = ExtractFileDir(AddBackslash(full)), missing;
    for (;;) {
        const std::string finalPath = FinalPath(existing);
        if (!finalPath.empty())
            return missing.empty() ? finalPath : AddBackslash(finalPath) + missing;
        const std::string parent = ExtractFileDir(existing);
        if (parent == existing) break;
        missing = ExtractFileName(existing) + (missing.empty() ? "" : "\\" + missing);
        existing = parent;
    }
    const std::string longPath = PathFrom(
        [&](char* buffer, DWORD size) { return GetLongPathNameA(full.c_str(), buffer, size); });
    return longPath.empty() ? full : longPath;
}

std::string NormalFolder(const std::string& folder) {
    const std::string normal = NormalPath(folder);
    return normal.empty() ? "" : AddBackslash(normal);
}

bool IsSamePath(const std::string& a, const std::string& b) {
    const std::string normalA = NormalPath(a);
    return !normalA.empty() && UpperCase(normalA) == UpperCase(NormalPath(b));
}

bool IsSameOrAbove(const std::string& folder, const std::string& other) {
    // folder ends with a backslash, so a match ends at a folder boundary of other.
    return folder.size() <= other.size() &&
           UpperCase(other).compare(0, folder.size(), UpperCase(folder)) == 0;
}

std::string GameFolderOf(const std::string& installDataPath,
                         const ProtectedFolders& protectedFolders) {
    const std::string path = PlainPath(installDataPath);
    if (RootLength(path) == std::string::npos) return "";
    // Judged as spelled, before the links are resolved away: a game folder that is a link, or
    // lies below one, leads somewhere its install data does not say.
    const std::string spelled = ExtractFileDir(path);
    if (IsLink(spelled) || IsLinkAbove(spelled)) return "";
    const std::string normal = NormalFolder(spelled);
    const size_t root = RootLength(normal);
    if (root == std::string::npos || normal.size() <= root) return "";
    for (const std::string& owned : protectedFolders.owned)
        if (IsSameOrAbove(normal, owned)) return "";
    for (const std::string& sealed : protectedFolders.sealed)
        if (IsSameOrAbove(normal, sealed) || IsSameOrAbove(sealed, normal)) return "";
    return normal;
}
