// Folder-tree removal.
#include "FolderTree.h"

#include "PathRules.h"

namespace {

class FindHandle {
public:
    explicit FindHandle(HANDLE handle) : handle_(handle) {}
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    ~FindHandle() {
        if (valid()) FindClose(handle_);
    }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

} // namespace

void FolderLister::List(const std::string& pattern,
                        const std::function<void(const FolderEntry&)>& visit) const {
    WIN32_FIND_DATAA data;
    FindHandle find(FindFirstFileA(pattern.c_str(), &data));
    if (!find.valid()) return;
    do {
        visit({data.cFileName, data.dwFileAttributes});
    } while (FindNextFileA(find.get(), &data));
}

void RemoveFolderTree(const std::string& path, FileAttributes attributes,
                      const FolderLister& lister) {
    const std::string dir = AddBackslash(path);
    lister.List(dir + "*", [&](const FolderEntry& entry) {
        const std::string entryPath = dir + entry.name;
        const bool folder = entry.attributes & FILE_ATTRIBUTE_DIRECTORY;
        if (folder && entry.name.front() == '.') return;
        if (folder && (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            RemoveDirectoryA(entryPath.c_str()); // the link goes, its target stays
        } else if (folder) {
            RemoveFolderTree(entryPath, attributes, lister);
        } else {
            if (attributes == FileAttributes::Clear) SetFileAttributesA(entryPath.c_str(), 0);
            DeleteFileA(entryPath.c_str());
        }
    });
    RemoveDirectoryA(ExtractFileDir(dir).c_str());
}
