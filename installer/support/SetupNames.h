// The names of a setup description that Setup can use: ProjectName and GameTitle each become
// one file or folder name, and every path Setup forms with them stays below MAX_PATH. Portable:
// mkdisks holds the sets it makes to the same rules.
#pragma once
#include <cstddef>
#include <string>

// Whether a byte opens a double-byte character in the code page the names are written in.
using LeadByteTest = bool (*)(unsigned char);

// The game's runtime at the top of the game folder; its install data is LUM_RT.ind beside it.
extern const char* const RuntimeFileName;
// Below the temporary-files folder: the folder a run copies the disks' files into.
extern const char* const SetupTempFolderName;
// Below the Start menu's Programs folder: where the shortcut goes (Lumetra Studio\ゲーム\).
extern const char* const SetupShortcutFolder;

// The folders Setup's paths begin with, as lengths in bytes with their trailing backslash.
struct SetupFolders {
    std::size_t base;     // the base folder the game folder is made in
    std::size_t disk;     // Setup.exe's folder on the game disk
    std::size_t temp;     // the temporary-files folder
    std::size_t programs; // the Start menu's Programs folder
};

// Why name cannot stand as one file or folder name in Setup's paths: empty, a "\" or "/" that
// is a character of its own (a trail byte 0x5C is none), a lead byte without a trail byte (it
// would swallow the separator after the name), ":" (a drive or a stream), a character
// Windows refuses in names, a control character, nothing but dots and blanks ("." and "..",
// which Windows reads as this folder and the one above), or a device's name such as "NUL" or
// "COM1", with or without an extension (Windows opens the device, not a file); null when it can.
const char* RefusedSetupName(const std::string& name, LeadByteTest isLeadByte);
// Why a path Setup forms with a project name of `length` bytes would reach MAX_PATH, for a set
// of `volumes` volumes (0: one archive file): the game folder's runtime and install data, the
// archive or volumes on the disk and in the temporary folder. Null when all fit.
const char* RefusedProjectLength(std::size_t length, int volumes, const SetupFolders& folders);
// Why the shortcut's path with a title of `length` bytes would reach MAX_PATH; null when it fits.
const char* RefusedTitleLength(std::size_t length, const SetupFolders& folders);
