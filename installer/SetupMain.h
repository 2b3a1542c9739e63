// TFormBackground: the full-screen gradient form that is the main form and drives the
// installation from the first idle moment on; and the removal of the temporary folder tree.
#pragma once
#include "FileOperation.h"
#include "FolderTree.h"
#include "Forms.h"
#include "OpaquePaint.h"
#include "SetupNames.h"

#include <cstdint>
#include <string>

class TFormBackground : public TForm {
public:
    explicit TFormBackground(TComponent* AOwner);

    TOpaquePaintBox* OpaquePaintBox1;
    TFileOperation* FileOperation;

    std::string ProjectName; // the game folder's and the archive's name
    std::string GameTitle;   // shown to the user, and the shortcut's name
    int32_t DiskNumber = 0;  // volumes on as many disks; 0 or less: one archive file
    HMODULE UnlhaHandle = nullptr;
    FARPROC UnlhaProc = nullptr;
    int32_t SetupAge = -1;  // the running installer's time stamp, read while disk 1 is in
    std::string GameFolder; // where the game is unpacked, with its trailing backslash
    std::string TempFolder; // <temp>LUM_TEMP\GameDisk, without a trailing backslash

    void FormCreate(TObject* Sender);
    void OpaquePaintBox1Paint(TObject* Sender);

private:
    void StartInstallation(TObject* Sender, bool& Done);
    void CloseOnException(TObject* Sender, const std::exception& E);
    void RunInstallation();
    // Whether ProjectName and GameTitle can be used with the folders of this run, the base
    // folder chosen in the first dialog (before it: empty, checked as the shortest there is).
    // When they cannot, says why and that the installation stopped.
    bool NamesUsable(const std::string& basePath);
    // The run's stages: the disks and the archive (false: the user or the library stopped),
    // the uninstall registration and the shortcut (both raise an error on failure).
    bool AcquireAndExtract();
    void RegisterUninstall(const std::string& installDataPath, const std::string& runtimePath);
    void CreateShortcut(const std::string& targetPath);
    std::string GetShortcutName() const;
    void WriteUninstaller();
    // Waits until the disk holding the volume answers; asks for disk number `disk` first when
    // it is not the first one. False when the user cancels.
    bool WaitForDisk(int disk, const std::string& volume);
    // Copies one file from the disk into the temporary folder through the shell; false when
    // the copy was aborted.
    bool CopyToTemp(const std::string& source);
};

extern TFormBackground* FormBackground;

// The setup description: the running program's path with its extension replaced by ".ini".
std::string SetupDescriptionPath();
// Empties and removes a folder, read-only, hidden and system files included; folders whose
// names begin with "." stay with their contents. A junction or link as the folder or inside it
// is removed as a link, never walked into; a link above the folder, below the temporary-files
// folder, leaves everything in place. Nothing is reported.
void DeleteFolderTree(const std::string& path, const FolderLister& lister = FolderLister());
