// Depth-first removal of a folder tree that never walks through a junction or a symbolic link:
// a link given as the folder, or found inside it, is removed as a link and what it points at
// stays untouched; a link above the folder stops the removal.
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

// Whether path, with or without a trailing backslash, is a junction or a symbolic link (a
// reparse point); false when it does not exist.
bool IsLink(const std::string& path);

// Whether a folder above folder is a link, counting up to the root, or only up to trustedBase
// (excluded) when folder lies below it. The folder itself is not looked at.
bool IsLinkAbove(const std::string& folder, const std::string& trustedBase = "");

// Removes everything below path and then the folder itself. When path is a link, only the link
// goes; when a folder above it is a link (see IsLinkAbove), nothing goes. A folder whose name
// begins with "." is skipped with its contents; a file or folder that cannot go stays, and so
// do the folders above it. Nothing is reported.
void RemoveFolderTree(const std::string& path, FileAttributes attributes,
                      const std::string& trustedBase = "",
                      const FolderLister& lister = FolderLister());
