// Folder-tree removal.
#include "FolderTree.h"

#include "Handle.h"
#include "PathRules.h"

#include <cctype>

namespace {

// A handle that only names the file or folder at path (no access is asked for; backup semantics
// open a folder), through every link.
HANDLE OpenName(const std::string& path) {
    return CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

std::string FinalPathOf(const TFileHandle& file) {
    using GetFinalPath = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);
    static const auto getFinalPath = reinterpret_cast<GetFinalPath>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA")));
    if (!getFinalPath || !file.Valid()) return "";
    return PlainPath(PathFrom([&](char* buffer, DWORD size) {
        return getFinalPath(file.Get(), buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    }));
}

// Upper case through the code page, so that second bytes of double-byte characters stay.
std::string UpperCase(std::string text) {
    CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// Whether the handle, opened by path, leads elsewhere than to path's own name in its own folder:
// a link led it on. A system that cannot say where (before Windows Vista) shows its links as
// reparse points.
bool LeadsElsewhere(const TFileHandle& file, const std::string& path) {
    const std::string where = FinalPathOf(file);
    const std::string folder = FinalPath(ExtractFileDir(path));
    return !where.empty() && !folder.empty() &&
           UpperCase(where) != UpperCase(AddBackslash(folder) + ExtractFileName(path));
}

// Removes the link at path itself, never its target. Opened as a reparse point, the handle is the
// link itself; where the system opens the target all the same (Wine does for its host links, and
// removing them by name removes or empties the target), the link stays.
void RemoveLinkItself(const std::string& path, bool folder) {
    const TFileHandle link(CreateFileA(
        path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (link.Valid() && LeadsElsewhere(link, path)) return;
    if (folder)
        RemoveDirectoryA(path.c_str());
    else
        DeleteFileA(path.c_str());
}

// The folder's path without its trailing backslash (a drive's root keeps it).
std::string FolderPath(const std::string& path) {
    return ExtractFileDir(AddBackslash(path));
}

// The given folder is checked here too, so that a folder replaced by a link between its listing
// and its walk is not walked through.
void RemoveTree(const std::string& path, FileAttributes attributes, const FolderLister& lister) {
    const std::string folder = FolderPath(path);
    if (IsLink(folder)) {
        RemoveLinkItself(folder, true);
        return;
    }
    const std::string dir = AddBackslash(path);
    lister.List(dir + "*", [&](const FolderEntry& entry) {
        const std::string entryPath = dir + entry.name;
        const bool isFolder = entry.attributes & FILE_ATTRIBUTE_DIRECTORY;
        if (isFolder && entry.name.front() == '.') return;
        if (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            RemoveLinkItself(entryPath, isFolder);
        } else if (isFolder) {
            RemoveTree(entryPath, attributes, lister);
        } else if (!IsLinkedFile(entryPath)) {
            if (attributes == FileAttributes::Clear) SetFileAttributesA(entryPath.c_str(), 0);
            DeleteFileA(entryPath.c_str());
        }
    });
    RemoveDirectoryA(folder.c_str());
}

} // namespace

void FolderLister::List(const std::string& pattern,
                        const std::function<void(const FolderEntry&)>& visit) const {
    WIN32_FIND_DATAA data;
    const TFindHandle find(FindFirstFileA(pattern.c_str(), &data));
    if (!find.Valid()) return;
    do {
        visit({data.cFileName, data.dwFileAttributes});
    } while (FindNextFileA(find.Get(), &data));
}

bool IsLink(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(FolderPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool IsLinkedFile(const std::string& path) {
    if (IsLink(path)) return true;
    const TFileHandle file(OpenName(path));
    if (!file.Valid()) {
        // Nothing to open may still be a name: Wine hides a link to a missing file from every
        // listing, yet writing by that name would create the file where the link points. Only
        // creating the name tells; what is made here goes again when its handle closes.
        const TFileHandle made(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                           FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        return !made.Valid() &&
               (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS);
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file.Get(), &information)) return true;
    if (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    return information.nNumberOfLinks > 1 || LeadsElsewhere(file, path);
}

bool IsLinkAbove(const std::string& folder, const std::string& trustedBase) {
    const std::string base = UpperCase(AddBackslash(trustedBase));
    std::string path = FolderPath(folder);
    const bool belowBase = !trustedBase.empty() && UpperCase(path).rfind(base, 0) == 0;
    for (;;) {
        const std::string parent = ExtractFileDir(path);
        if (parent == path || (belowBase && AddBackslash(parent).size() <= base.size()))
            return false;
        if (IsLink(parent)) return true;
        path = parent;
    }
}

bool LeadsThroughLink(const std::string& path, const std::string& trustedBase) {
    return IsLinkAbove(path, trustedBase) || IsLinkedFile(path);
}

void RemoveFolderTree(const std::string& path, FileAttributes attributes,
                      const std::string& trustedBase, const FolderLister& lister) {
    if (!IsLinkAbove(path, trustedBase)) RemoveTree(path, attributes, lister);
}

std::string PlainPath(const std::string& path) {
    const std::string device = "\\\\?\\";
    if (path.compare(0, device.size(), device) != 0) return path;
    const std::string rest = path.substr(device.size());
    if (rest.size() >= 3 && std::isalpha(static_cast<unsigned char>(rest[0])) && rest[1] == ':' &&
        rest[2] == '\\')
        return rest;
    if (rest.size() > 4 && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, rest.c_str(), 4,
                                          "UNC\\", 4) == CSTR_EQUAL)
        return "\\\\" + rest.substr(4);
    return path;
}

std::string FinalPath(const std::string& path) {
    return FinalPathOf(TFileHandle(OpenName(path)));
}
