// The install-data file that the installer leaves in the game folder, and which of its names
// the uninstaller trusts.
#pragma once
#include <string>

// Section "Install Data" of <game folder>LUM_RT.ind.
struct InstallData {
    std::string title;            // the game's title, shown in the question; empty: do nothing
    std::string uninstallKeyName; // the game's uninstall key, relative to HKEY_LOCAL_MACHINE
    std::string shortcutName;     // the game's shortcut, relative to the Programs folder
};

// Reads "Title", "UninstallKeyName" and "ShortcutName", each up to 2047 bytes; a missing file,
// section or key reads as empty.
InstallData ReadInstallData(const std::string& path);

// The file lies in a folder the user can write to, so its names are checked before use.
// Whether name is a key directly below the system's Uninstall branch
// (Software\Microsoft\Windows\CurrentVersion\Uninstall, matched without regard to case).
bool IsUninstallKeyName(const std::string& name);
// Whether name is a relative path that stays below the folder it is joined to: no drive or
// stream colon, no leading backslash or slash, no part that is empty or only full stops.
bool IsShortcutName(const std::string& name);
