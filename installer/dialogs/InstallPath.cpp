// The install path dialog.
#include "InstallPath.h"

#include "HelperUtils.h"
#include "InstallerStrings.h"
#include "SysUtils.h"

namespace {

// The full form of a path, "." and ".." parts resolved; a path of any length fits.
std::string FullPathName(const std::string& path) {
    const DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    std::string full(size, '\0');
    const DWORD length = GetFullPathNameA(path.c_str(), size, full.data(), nullptr);
    full.resize(length < size ? length : 0);
    return full;
}

bool FolderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

TFormInstallPath::TFormInstallPath(TComponent* AOwner) : TForm(AOwner) {
    Name = "FormInstallPath";
    SetText("Default Install Path");
    BorderStyle = TFormBorderStyle::bsDialog;
    Font().SetName("MS Sans Serif");
    Font().SetHeight(-12);
    SetClientSize(385, 305);
    OnCreate = [this](TObject* sender) { FormCreate(sender); };
    OnDestroy = [this](TObject* sender) { FormDestroy(sender); };
    OnShow = [this](TObject* sender) { FormShow(sender); };

    FolderView1 = new TFolderView(this);
    FolderView1->SetParent(this);
    FolderView1->SetBounds(8, 8, 369, 228);
    FolderView1->SetDisplayDrives({ddRemovable, ddFixed, ddRemote});
    FolderView1->SetIndent(19);
    FolderView1->SetTabOrder(0);
    FolderView1->OnChange = [this](TObject* sender, TTreeNode* node) {
        FolderView1Change(sender, node);
    };

    Edit1 = new TEdit(this);
    Edit1->SetParent(this);
    Edit1->SetBounds(8, 240, 369, 20);
    Edit1->MaxLength = 250;
    Edit1->SetText("Edit1");
    Edit1->SetTabOrder(1);
    Edit1->OnChange = [this](TObject* sender) { Edit1Change(sender); };

    ButtonOk = new TButton(this);
    ButtonOk->SetParent(this);
    ButtonOk->SetBounds(192, 272, 89, 25);
    ButtonOk->SetText("&Ok");
    ButtonOk->Default = true;
    ButtonOk->SetTabOrder(2);
    ButtonOk->OnClick = [this](TObject* sender) { ButtonOkClick(sender); };

    ButtonCancel = new TButton(this);
    ButtonCancel->SetParent(this);
    ButtonCancel->SetBounds(288, 272, 89, 25);
    ButtonCancel->SetText("&Cancel");
    ButtonCancel->Cancel = true;
    ButtonCancel->ModalResult = mrCancel;
    ButtonCancel->SetTabOrder(3);
}

// From here until the dialog goes, a drive without a medium fails calls quietly instead of
// raising the system's critical-error box.
void TFormInstallPath::FormCreate(TObject*) {
    SavedErrorMode = SetErrorMode(SEM_FAILCRITICALERRORS);
}

void TFormInstallPath::FormDestroy(TObject*) {
    SetErrorMode(SavedErrorMode);
}

void TFormInstallPath::FormShow(TObject*) {
    Screen->SetCursor(crHourGlass);
    // The tree scrolls the selected node into view; shorter meanwhile, it leaves the node clear
    // of its bottom edge.
    FolderView1->SetHeight(FolderView1->Height() - 24);
    FolderView1->SetPath(SelectedPath);
    FolderView1->SetHeight(FolderView1->Height() + 24);
    Screen->SetCursor(crDefault);
}

void TFormInstallPath::FolderView1Change(TObject*, TTreeNode*) {
    Edit1->SetText(FolderView1->Path());
}

// Only a path that starts with a drive letter, ":" and "\" can be accepted.
void TFormInstallPath::Edit1Change(TObject*) {
    const std::string& text = Edit1->Text();
    ButtonOk->SetEnabled(text.size() >= 3 && IsAsciiLetter(text[0]) &&
                         text.compare(1, 2, ":\\") == 0);
}

// The checks run in this order and stop at the first refusal; the dialog then stays open.
void TFormInstallPath::ButtonOkClick(TObject*) {
    SelectedPath = AddBackslash(FullPathName(Edit1->Text()));
    const UINT driveType = GetDriveTypeA(DriveRoot(SelectedPath).c_str());
    if (IsFloppyDrive(SelectedPath) || driveType == DRIVE_CDROM || driveType == DRIVE_NO_ROOT_DIR) {
        ShowErrorBox(LoadResString(SNotInstallableDrive));
        return;
    }
    if (!IsDriveReady(SelectedPath)) {
        ShowErrorBox(LoadResString(SDriveNotReady));
        return;
    }
    if (!FolderExists(SelectedPath)) {
        if (ShowQuestionBox(LoadResString(SCreateFolderQuestion)) != IDYES) return;
        ForceDirectories(SelectedPath);
        if (!FolderExists(SelectedPath)) {
            ShowErrorBox(LoadResString(SCreateFolderFailed));
            return;
        }
    }
    SetModalResult(mrOk);
}
