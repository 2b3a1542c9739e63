// The uninstaller's run: read the install data and judge what it names, ask once, and on Yes
// remove what was judged removable.
#pragma once
#include "FolderGuard.h"
#include "FolderTree.h"

#include <windows.h>

#include <string>

// What a confirmed uninstall removes; an empty name skips its step.
struct Removal {
    std::string gameFolder;       // normalised, with a trailing backslash (see GameFolderOf)
    std::string programsFolder;   // with a trailing backslash
    std::string shortcutName;     // relative to programsFolder
    std::string uninstallKeyName; // relative to HKEY_LOCAL_MACHINE
};

// A game as its install data names it, judged: the title for the question (empty: nothing is
// done) and what may be removed.
struct Uninstallation {
    std::string title;
    Removal removal;
};

// Reads the install data at installDataPath and judges everything it names, before anything is
// asked or removed. A game folder that must not go (GameFolderOf with protectedFolders) is not
// even read: the title stays empty. The uninstall key is kept only when it lies directly below
// the system's Uninstall branch and its "UninstallString" names this very install-data file; the
// shortcut only when its name stays below programsFolder, no link lies on its way there, and it
// is a shell link whose target is the game folder's LUM_RT.exe. A name not kept is left empty.
Uninstallation PlanUninstall(const std::string& installDataPath,
                             const ProtectedFolders& protectedFolders,
                             const std::string& programsFolder);

// Carries the removal out, in this order: the game folder with everything in it, then the
// shortcut, when it is still reached without a link (the user may have made one since the plan),
// and the two folders above it when they have become empty (never the Programs folder
// or above), then the uninstall key with its sub-keys. Each step runs whatever became of the
// others.
void RemoveGame(const Removal& removal, const FolderLister& lister = FolderLister());

// The whole run for a command line; nothing is ever reported.
void RunUninstaller(HINSTANCE instance, const std::string& commandLine);
