// Depth-first removal of a folder tree that never walks through a junction or a symbolic link:
// a reparse point found inside is removed as an entry, and what it points at stays untouched.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

struct FolderEntry {
    std::string name;
    DWORD attributes;
};

// Lists a folder's entries (pattern: folder + "*"), hidden and system ones included, calling
// visit for each while the listing is open. Tests substitute entries the file system of the
// test bed cannot make.
class FolderLister {
public:
    virtual ~FolderLister() = default;
    virtual void List(const std::string& pattern,
                      const std::function<void(const FolderEntry&)>& visit) const;
};

enum class FileAttributes {
    Clear, // set a file's attributes to 0 first, so read-only, hidden and system files go too
    Keep,  // delete files as they are: a read-only file stays
};

// Removes everything below path and then the folder itself. A folder whose name begins with "."
// is skipped with its contents; a file or folder that cannot go stays, and so do the folders
// above it. Nothing is reported.
void RemoveFolderTree(const std::string& path, FileAttributes attributes,
                      const FolderLister& lister = FolderLister());
