// Folder-tree removal.
#include "FolderTree.h"

#include "Handle.h"
#include "PathRules.h"

namespace {

// Upper case through the code page, so that second bytes of double-byte characters stay.
std::string UpperCase(std::string text) {
    CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
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
        RemoveDirectoryA(folder.c_str()); // the link goes, its target stays
        return;
    }
    const std::string dir = AddBackslash(path);
    lister.List(dir + "*", [&](const FolderEntry& entry) {
        const std::string entryPath = dir + entry.name;
        const bool isFolder = entry.attributes & FILE_ATTRIBUTE_DIRECTORY;
        if (isFolder && entry.name.front() == '.') return;
        if (isFolder && (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            RemoveDirectoryA(entryPath.c_str());
        } else if (isFolder) {
            RemoveTree(entryPath, attributes, lister);
        } else {
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

void RemoveFolderTree(const std::string& path, FileAttributes attributes,
                      const std::string& trustedBase, const FolderLister& lister) {
    if (!IsLinkAbove(path, trustedBase)) RemoveTree(path, attributes, lister);
}
