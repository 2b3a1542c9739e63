// TFormBackground: the full-screen gradient form that is the main form and drives the
// installation from the first idle moment on; and the removal of the temporary folder tree.
#pragma once
#include "FolderTree.h"
#include "Forms.h"
#include "OpaquePaint.h"

#include <cstdint>
#include <string>

class TFormBackground : public TForm {
public:
    explicit TFormBackground(TComponent* AOwner);

    TOpaquePaintBox* OpaquePaintBox1;

    std::string ProjectName; // the game folder's and the archive's name
    std::string GameTitle;   // shown to the user, and the shortcut's name
    int32_t DiskNumber = 0;  // volumes on as many disks; 0 or less: one archive file
    HMODULE UnlhaHandle = nullptr;
    FARPROC UnlhaProc = nullptr;

    void FormCreate(TObject* Sender);
    void OpaquePaintBox1Paint(TObject* Sender);

private:
    void StartInstallation(TObject* Sender, bool& Done);
    void CloseOnException(TObject* Sender, const std::exception& E);
    void RunInstallation();
};

extern TFormBackground* FormBackground;

// The setup description: the running program's path with its extension replaced by ".ini".
std::string SetupDescriptionPath();
// Empties and removes a folder, read-only, hidden and system files included; folders whose
// names begin with "." stay with their contents. Junctions and links inside are removed as
// links, never walked into. Nothing is reported.
void DeleteFolderTree(const std::string& path, const FolderLister& lister = FolderLister());
