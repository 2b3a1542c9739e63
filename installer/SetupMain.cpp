// The background form and the temporary-folder clean-up.
#include "SetupMain.h"

#include "ComPtr.h"
#include "Errors.h"
#include "FirstDialog.h"
#include "Handle.h"
#include "HelperUtils.h"
#include "IniFiles.h"
#include "InstallerStrings.h"
#include "Registry.h"
#include "SysUtils.h"

#include <shlobj.h>

#include <algorithm>
#include <vector>

TFormBackground* FormBackground = nullptr;

std::string SetupDescriptionPath() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return ChangeFileExt(path, ".ini");
}

void DeleteFolderTree(const std::string& path, const FolderLister& lister) {
    // The temporary-files folder is the system's; what lies below it the user may have made.
    RemoveFolderTree(path, FileAttributes::Clear, GetTempDir(), lister);
}

namespace {

// A link the user made at a file or folder the run writes, or at a folder above it (below
// trustedBase), would lead the writes wherever it points, and so would a file that shares its
// data with another name: the run stops instead, before it writes anything there. Each write is
// checked just before it, as the folders of the user may change while the run goes on.
void RefuseLinkedPath(const std::string& path, const std::string& trustedBase = "") {
    if (LeadsThroughLink(path, trustedBase)) throw Exception(LoadResString(SCreateFolderFailed));
}

// Empties what an interrupted run left and makes the folder again.
void PrepareTempFolder(const std::string& folder) {
    DeleteFolderTree(folder);
    RefuseLinkedPath(folder, GetTempDir());
    ForceDirectories(folder);
}

} // namespace

TFormBackground::TFormBackground(TComponent* AOwner) : TForm(AOwner) {
    Name = "FormBackground";
    BorderStyle = TFormBorderStyle::bsNone;
    SetText("FormBackground");
    SetColor(clBtnFace);
    Font().SetName("MS Sans Serif");
    Font().SetHeight(-12);
    SetClientSize(688, 453);
    OnCreate = [this](TObject* sender) { FormCreate(sender); };

    OpaquePaintBox1 = new TOpaquePaintBox(this);
    OpaquePaintBox1->Name = "OpaquePaintBox1";
    OpaquePaintBox1->SetParent(this);
    OpaquePaintBox1->SetAlign(TAlign::alClient);
    OpaquePaintBox1->Opaque = true;
    OpaquePaintBox1->SetColor(clAppWorkSpace);
    OpaquePaintBox1->OnPaint = [this](TObject* sender) { OpaquePaintBox1Paint(sender); };

    FileOperation = new TFileOperation(this);
    FileOperation->Name = "FileOperation";
    FileOperation->Options = 0;
}

void TFormBackground::FormCreate(TObject*) {
    SetBounds(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    {
        const TIniFile description(SetupDescriptionPath());
        ProjectName = description.ReadString("Setup", "ProjectName", "");
        GameTitle = description.ReadString("Setup", "GameTitle", "");
        DiskNumber = description.ReadInteger("Setup", "DiskNumber", 0);
    }
    // Read now: by the time the uninstaller is written, a later disk may be in the drive.
    char setupPath[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, setupPath, MAX_PATH);
    SetupAge = FileAge(setupPath);
    Application->OnIdle = [this](TObject* sender, bool& done) { StartInstallation(sender, done); };
}

void TFormBackground::OpaquePaintBox1Paint(TObject*) {
    // 64 bands from dark blue to nearly white; the pen is at least as wide as the spacing of
    // the lines, so the bands touch whatever the height.
    TCanvas& canvas = OpaquePaintBox1->Canvas();
    const int height = ClientHeight();
    const int width = ClientWidth();
    canvas.Pen.SetStyle(TPenStyle::psInsideFrame);
    canvas.Pen.SetWidth(height / 64 + 2);
    for (int i = 0; i < 64; ++i) {
        canvas.Pen.SetColor(RGB(4 * i, 4 * i, 128 + 2 * i));
        const int y = height * i / 63;
        canvas.MoveTo(0, y);
        canvas.LineTo(width, y);
    }
}

void TFormBackground::StartInstallation(TObject*, bool&) {
    Application->OnIdle = nullptr;
    Application->OnException = [this](TObject* sender, const std::exception& error) {
        CloseOnException(sender, error);
    };
    if (!ProjectName.empty() && !GameTitle.empty() && NamesUsable("")) {
        UnlhaHandle = LoadUnlhaLibrary();
        if (!UnlhaHandle) {
            Application->ShowException(Exception(LoadResString(SCantLoadUnlha)));
        } else {
            // The library is freed when the run returns and when an error escapes it.
            struct LibraryHold {
                HMODULE& handle;
                ~LibraryHold() {
                    FreeLibrary(handle);
                    handle = nullptr;
                }
            } hold{UnlhaHandle};
            UnlhaProc = GetProcAddress(UnlhaHandle, "Unlha");
            if (!UnlhaProc)
                Application->ShowException(Exception(LoadResString(SUnlhaIllegal)));
            else
                RunInstallation();
        }
    }
    Close();
}

void TFormBackground::CloseOnException(TObject*, const std::exception&) {
    Close();
}

bool TFormBackground::NamesUsable(const std::string& basePath) {
    const auto leadByte = [](unsigned char value) { return IsDBCSLeadByte(value) != FALSE; };
    constexpr size_t kShortestBase = 3; // "C:\"
    const SetupFolders folders = {basePath.empty() ? kShortestBase : basePath.size(),
                                  GetExeDir().size(), GetTempDir().size(), GetProgramsDir().size()};
    const char* projectWhy = RefusedSetupName(ProjectName, leadByte);
    if (!projectWhy)
        projectWhy = RefusedProjectLength(ProjectName.size(), std::max(DiskNumber, 0), folders);
    const char* titleWhy = RefusedSetupName(GameTitle, leadByte);
    if (!titleWhy) titleWhy = RefusedTitleLength(GameTitle.size(), folders);
    std::string refusal;
    if (projectWhy)
        refusal =
            Format(LoadResString(SProjectNameRefused).c_str(), ProjectName.c_str(), projectWhy);
    else if (titleWhy)
        refusal = Format(LoadResString(SGameTitleRefused).c_str(), GameTitle.c_str(), titleWhy);
    if (refusal.empty()) return true;
    Application->ShowException(Exception(refusal));
    ShowErrorBox(LoadResString(SInstallationStopped));
    return false;
}

void TFormBackground::RunInstallation() {
    FormFirstDialog->ProjectName = ProjectName;
    FormFirstDialog->GameTitle = GameTitle;
    if (FormFirstDialog->ShowModal() == mrCancel) return;
    // The base folder is known now; nothing of the run is written before this.
    if (!NamesUsable(FormFirstDialog->BasePath)) return;
    Repaint();
    Screen->SetCursor(crHourGlass);
    const bool addShortcut = FormFirstDialog->AddShortcut;
    const bool addUninstall = FormFirstDialog->AddUninstall;
    {
        TRegistry settings;
        settings.RootKey = HKEY_CURRENT_USER;
        settings.OpenKey(ProductSettingsKey, true);
        settings.WriteString("RegisterProgramOption", addShortcut ? "1" : "0");
        settings.WriteString("PrepareUninstallOption", addUninstall ? "1" : "0");
    }
    GameFolder = FormFirstDialog->BasePath + ProjectName + "\\";
    TempFolder = GetTempDir() + SetupTempFolderName;
    EnableWindow(Handle(), FALSE);

    // From here on every ending passes the final step, so the temporary folder never
    // outlives the run; the success mark is the form's modal result.
    try {
        RefuseLinkedPath(GameFolder);
        PrepareTempFolder(TempFolder);
        if (AcquireAndExtract()) {
            if (addUninstall)
                RegisterUninstall(GameFolder + ChangeFileExt(RuntimeFileName, ".ind"),
                                  GameFolder + RuntimeFileName);
            if (addShortcut) CreateShortcut(GameFolder + RuntimeFileName);
            Screen->SetCursor(crDefault);
            ShowInfoBox(LoadResString(SInstallationDone));
            SetModalResult(mrOk);
        }
    } catch (const std::exception& error) {
        Screen->SetCursor(crDefault);
        Application->ShowException(error);
    }
    Screen->SetCursor(crDefault);
    DeleteFolderTree(TempFolder);
    if (ModalResult() != mrOk) ShowErrorBox(LoadResString(SInstallationStopped));
}

bool TFormBackground::CopyToTemp(const std::string& source) {
    RefuseLinkedPath(AddBackslash(TempFolder) + ExtractFileName(source), GetTempDir());
    FileOperation->Options = OptionSet(foNoConfirmation);
    FileOperation->SetFrom(source);
    FileOperation->SetTo(TempFolder);
    return FileOperation->Copy();
}

bool TFormBackground::WaitForDisk(int disk, const std::string& volume) {
    // The first disk is in the drive already: it is asked for only when its drive stops
    // answering after its volume was found, so that the user can put it back or stop.
    bool ask = disk >= 2;
    for (;;) {
        if (ask && ShowMessageBox(Format(LoadResString(SInsertDisk).c_str(), disk), MB_OKCANCEL) ==
                       IDCANCEL)
            return false;
        if (IsDriveReady(GetExeDir()) && FileExists(volume)) return true;
        ask = true;
    }
}

bool TFormBackground::AcquireAndExtract() {
    const std::string archivePath = TempFolder + "\\" + ProjectName + ".lzh";
    if (DiskNumber <= 0) {
        if (!CopyToTemp(GetExeDir() + ProjectName + ".lzh")) return false;
    } else {
        for (int i = 1; i <= DiskNumber; ++i) {
            const std::string volume = GetExeDir() + ProjectName + VolumeExtension(i);
            if (i == 1 && !FileExists(volume)) throw EFOpenError(volume);
            if (!WaitForDisk(i, volume) || !CopyToTemp(volume)) return false;
        }
        RefuseLinkedPath(archivePath, GetTempDir());
        JoinVolumes(archivePath, TempFolder, DiskNumber);
    }
    // Checked again: while the disks were copied, the user may have put a link there.
    RefuseLinkedPath(GameFolder);
    using UnlhaEntry = int(WINAPI*)(HWND, const char*, char*, DWORD);
    const auto unlha = reinterpret_cast<UnlhaEntry>(reinterpret_cast<void*>(UnlhaProc));
    const std::string command =
        Format("x -+ \"%s\" \"%s\"", archivePath.c_str(), GameFolder.c_str());
    return unlha(Handle(), command.c_str(), nullptr, 0) == 0;
}

std::string TFormBackground::GetShortcutName() const {
    return SetupShortcutFolder + GameTitle + ".lnk";
}

void TFormBackground::CreateShortcut(const std::string& targetPath) {
    const std::string linkPath = GetProgramsDir() + GetShortcutName();
    RefuseLinkedPath(linkPath, GetProgramsDir());
    ForceDirectories(ExtractFileDir(linkPath));
    TComPtr<IUnknown> object;
    OleCheck(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                              IID_IUnknown, reinterpret_cast<void**>(object.Receive())));
    TComPtr<IShellLinkA> link;
    TComPtr<IPersistFile> file;
    if (FAILED(object->QueryInterface(IID_IShellLinkA, reinterpret_cast<void**>(link.Receive()))) ||
        FAILED(object->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Receive()))))
        throw EIntfCastError();
    OleCheck(link->SetPath(targetPath.c_str()));
    const int length = MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, nullptr, 0);
    std::wstring wide(length, L'\0');
    MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide.data(), length);
    OleCheck(file->Save(wide.c_str(), TRUE));
    Sleep(1200);
}

void TFormBackground::WriteUninstaller() {
    const std::string target = GetWindowsDir() + "zevizorezu.exe";
    if (FileExists(target) && SetupAge <= FileAge(target)) return;

    HRSRC resource = FindResourceA(nullptr, "ZEVIZOREZU", MAKEINTRESOURCEA(10));
    HGLOBAL loaded = resource ? LoadResource(nullptr, resource) : nullptr;
    const void* image = loaded ? LockResource(loaded) : nullptr;
    if (!image) throw EResNotFound("ZEVIZOREZU");
    const DWORD size = SizeofResource(nullptr, resource);

    // The new image is written beside the old one and then put in its place, so that a full
    // disk never leaves the other games with a broken uninstaller.
    const std::string partial = target + ".new";
    bool written = false;
    {
        const TFileHandle file(CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr,
                                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD count = 0;
        written =
            file.Valid() && WriteFile(file.Get(), image, size, &count, nullptr) && count == size;
    }
    if (written) SetFileAge(partial, SetupAge); // the stamp is a courtesy: no failure of its own
    written = written && MoveFileExA(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
    if (!written) {
        DeleteFileA(partial.c_str());
        throw EFCreateError(target);
    }
}

void TFormBackground::RegisterUninstall(const std::string& installDataPath,
                                        const std::string& runtimePath) {
    // The install data is written through its name and merged into what is there.
    RefuseLinkedPath(installDataPath);
    WriteUninstaller();
    const std::string keyPath =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lumetra Studio " + ProjectName;
    const TIniFile installData(installDataPath);
    installData.WriteString("Install Data", "Title", GameTitle);
    installData.WriteString("Install Data", "UninstallKeyName", keyPath);
    installData.WriteString("Install Data", "ShortcutName", GetShortcutName());

    TRegistry key;
    key.RootKey = HKEY_LOCAL_MACHINE;
    key.OpenKey(keyPath, true);
    key.WriteString("DisplayName", "Lumetra Studio - " + GameTitle);
    key.WriteString("DisplayIcon", runtimePath);
    key.WriteString("UninstallString", Format("%s%s \"%s\"", GetWindowsDir().c_str(),
                                              "zevizorezu.exe", installDataPath.c_str()));
}
