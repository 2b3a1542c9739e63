// Which folder the uninstaller may remove as a game folder: a real sub-folder, never a drive's or
// a share's root, never a folder of the system or the user, nor a folder above one of them.
#pragma once
#include <string>
#include <vector>

// The folders of the system and the user that no game folder may be or hold, from the shell,
// normalised. A folder the shell does not know is left out.
std::vector<std::string> ProtectedFolders();

// folder as a full path with a trailing backslash: "." and ".." parts resolved, and short
// (8.3) names made long where the folder exists. Empty when the system cannot make it full.
std::string NormalFolder(const std::string& folder);

// Whether other is folder itself or lies below it, compared without regard to case. Both are
// normalised folders, with their trailing backslashes.
bool IsSameOrAbove(const std::string& folder, const std::string& other);

// The game folder for the install-data file at path, that is its folder part, normalised; empty
// when that folder must not be removed: the path is not a full path on a drive or a share (a
// relative path, one in the device namespace "\\?\" or "\\.\"), the folder is a drive's or a
// share's root, it or a folder above it is a link, or it is one of protectedFolders or above one
// of them.
std::string GameFolderOf(const std::string& installDataPath,
                         const std::vector<std::string>& protectedFolders);
