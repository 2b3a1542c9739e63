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

// Whether path is a link (see IsLink), or a file whose data other names reach as well: a symbolic
// link that shows no reparse point (Wine shows its links to files as plain files; their handles
// lead to the target) or a file with more than one hard link. Writing or clearing such a file by
// its name would change what another name stands for. False when nothing is there.
bool IsLinkedFile(const std::string& path);

// Whether a folder above folder is a link, counting up to the root, or only up to trustedBase
// (excluded) when folder lies below it. The folder itself is not looked at.
bool IsLinkAbove(const std::string& folder, const std::string& trustedBase = "");

// Whether writing or deleting by path could reach something else than path names: a folder
// above it (see IsLinkAbove) is a link, or path is a linked file (see IsLinkedFile).
bool LeadsThroughLink(const std::string& path, const std::string& trustedBase = "");

// Removes everything below path and then the folder itself. When path is a link, only the link
// goes; when a folder above it is a link (see IsLinkAbove), nothing goes. A folder whose name
// begins with "." is skipped with its contents, and a linked file (see IsLinkedFile) that shows
// no reparse point stays, as deleting it by name could delete its target; a file or folder that
// cannot go stays, and so do the folders above it. Nothing is reported.
void RemoveFolderTree(const std::string& path, FileAttributes attributes,
                      const std::string& trustedBase = "",
                      const FolderLister& lister = FolderLister());

// A path from a function that fills a buffer and, given too small a one, asks for a larger size
// (counting the NUL, or not counting it as Wine's GetFinalPathNameByHandleA does).
template <class Fill> std::string PathFrom(Fill fill) {
    std::string path(MAX_PATH, '\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length = fill(path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return "";
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(length + 1);
    }
    return "";
}

// A path in the device namespace that names a drive or a share, "\\?\C:\..." or
// "\\?\UNC\server\share\...", in its plain spelling; any other path unchanged.
std::string PlainPath(const std::string& path);

// Where the file or folder at path really is, through every link and drive letter, in its plain
// spelling; empty when it cannot be opened or the system cannot say (before Windows Vista).
std::string FinalPath(const std::string& path);
