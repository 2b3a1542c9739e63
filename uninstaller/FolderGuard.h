// Which folder the uninstaller may remove as a game folder: a real sub-folder, never a drive's or
// a share's root, never a folder of the system or the user, nor a folder above one of them, and
// nothing inside the Windows folder. Folders are judged by where they really lead, not by their
// spelling: another drive letter onto the same folder, a "\\?\" spelling, a short (8.3) name or
// another case reach the same verdict.
#pragma once
#include <string>
#include <vector>

// The folders no game folder may be or hold, as normalised folders (see NormalFolder).
struct ProtectedFolders {
    std::vector<std::string> owned;  // no game folder may be one of these or lie above one
    std::vector<std::string> sealed; // nor lie inside one of these (the Windows folder)
};

// The folders of the system and the user: the Windows folder (sealed); every folder the shell
// names by CSIDL number, the Program Files and Common Files folders of both registry views, the
// shell folders of the current user and of all users as the registry lists them, and the
// temporary folder. A folder the system does not name, or names by no full path, is left out.
ProtectedFolders SystemFolders();

// path as the full path it really leads to: the final path of the opened file or folder, with a
// "\\?\" or "\\?\UNC\" prefix given back as a plain drive or share path. Where path cannot be
// opened, its full path with "." and ".." resolved and short names made long as far as it
// exists; empty when the system cannot make it full.
std::string NormalPath(const std::string& path);
// NormalPath of a folder, with a trailing backslash.
std::string NormalFolder(const std::string& folder);
// Whether a and b lead to the same file or folder (their NormalPaths agree, case ignored).
bool IsSamePath(const std::string& a, const std::string& b);

// Whether other is folder itself or lies below it, compared without regard to case. Both are
// normalised folders, with their trailing backslashes.
bool IsSameOrAbove(const std::string& folder, const std::string& other);

// The game folder for the install-data file at path, that is its folder part, normalised; empty
// when that folder must not be removed: the path is not a full path on a drive or a share (a
// relative path, one in the device namespace other than "\\?\X:\" and "\\?\UNC\"), the folder
// is a drive's or a share's root, it or a folder above it is a link, or protectedFolders forbid
// it.
std::string GameFolderOf(const std::string& installDataPath,
                         const ProtectedFolders& protectedFolders);
