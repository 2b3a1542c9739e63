// The uninstaller's run: read the install data, ask once, and on Yes remove the game.
#pragma once
#include "FolderTree.h"

#include <windows.h>

#include <string>

// What a confirmed uninstall removes.
struct Removal {
    std::string gameFolder;       // normalised, with a trailing backslash (see GameFolderOf)
    std::string programsFolder;   // with a trailing backslash; empty: no shortcut step
    std::string shortcutName;     // relative to programsFolder
    std::string uninstallKeyName; // relative to HKEY_LOCAL_MACHINE
};

// Removes the game folder with everything in it, then the shortcut and the two folders above it
// when they have become empty (never the Programs folder or above), then the uninstall key with
// its sub-keys. Each step runs whatever became of the others; a shortcut or key name that could
// reach outside its place (IsShortcutName, IsUninstallKeyName) skips its step.
void RemoveGame(const Removal& removal, const FolderLister& lister = FolderLister());

// The whole run for a command line. Nothing is removed without a game folder that may go (see
// GameFolderOf), a title in its install data and the user's Yes; nothing is ever reported.
void RunUninstaller(HINSTANCE instance, const std::string& commandLine);
