// Path, drive, message and volume helpers.
#include "HelperUtils.h"

#include "Errors.h"
#include "FileStream.h"
#include "Forms.h"
#include "Registry.h"
#include "ShellPaths.h"
#include "SysUtils.h"

#include <shlobj.h>

#include <algorithm>
#include <vector>

namespace {

std::string TextOf(const char* buffer) {
    return std::string(buffer);
}

// Switches the system's critical-error boxes off for a scope, so an empty drive fails quietly.
class ErrorModeSilenced {
public:
    ErrorModeSilenced() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    ErrorModeSilenced(const ErrorModeSilenced&) = delete;
    ErrorModeSilenced& operator=(const ErrorModeSilenced&) = delete;
    ~ErrorModeSilenced() { SetErrorMode(previous_); }

private:
    UINT previous_;
};

// The library stays mapped for the life of the process; the installation run loads it again
// for its own use.
class UnlhaMapping {
public:
    UnlhaMapping() : module_(LoadUnlhaLibrary()) {}
    UnlhaMapping(const UnlhaMapping&) = delete;
    UnlhaMapping& operator=(const UnlhaMapping&) = delete;
    ~UnlhaMapping() {
        if (module_) FreeLibrary(module_);
    }

private:
    HMODULE module_;
};
const UnlhaMapping unlhaModule;

} // namespace

std::string GetExeDir() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return ExtractFilePath(TextOf(path));
}

std::string GetWindowsDir() {
    char path[MAX_PATH] = "";
    GetWindowsDirectoryA(path, MAX_PATH);
    return AddBackslash(TextOf(path));
}

std::string GetTempDir() {
    char path[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, path);
    return AddBackslash(TextOf(path));
}

std::string GetProgramFilesDir() {
    // Read access is all this needs; asking for more fails for users without administrator
    // rights and would turn the offered folder into a bare "\".
    TRegistry registry(KEY_READ);
    registry.RootKey = HKEY_LOCAL_MACHINE;
    registry.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion", false);
    return AddBackslash(registry.ReadString("ProgramFilesDir"));
}

std::string GetSpecialFolderDir(int csidl) {
    std::string path;
    OleCheck(GetShellFolderPath(csidl, Application ? Application->Handle() : nullptr, path));
    return AddBackslash(path);
}

std::string GetProgramsDir() {
    return GetSpecialFolderDir(CSIDL_PROGRAMS);
}

void FitFormToScreen(TForm* form) {
    const int width = GetSystemMetrics(SM_CXMAXIMIZED) - 2 * GetSystemMetrics(SM_CXFRAME);
    const int height = GetSystemMetrics(SM_CYMAXIMIZED) - 2 * GetSystemMetrics(SM_CYFRAME);
    int left = std::min(form->Left(), width - form->Width());
    int top = std::min(form->Top(), height - form->Height());
    left = std::max(left, 0);
    top = std::max(top, 0);
    form->SetBounds(left, top, form->Width(), form->Height());
}

void CenterFormOnOwner(TForm* form) {
    auto* owner = dynamic_cast<TForm*>(form->Owner());
    if (!owner) throw EInvalidCast();
    const int left = owner->Width() / 2 + owner->Left() - form->Width() / 2;
    const int top = owner->Height() / 2 + owner->Top() - form->Height() / 2;
    form->SetBounds(left, top, form->Width(), form->Height());
    FitFormToScreen(form);
}

int ShowMessageBox(const std::string& text, uint16_t flags, HWND owner) {
    const std::string& caption = Application->Title();
    if (!owner) return Application->MessageBox(text, caption, flags);
    HWND active = GetActiveWindow();
    int result;
    {
        TTaskWindowsDisabled disabled;
        result = MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
    }
    if (active && IsWindow(active)) SetActiveWindow(active);
    return result;
}

int ShowErrorBox(const std::string& text, HWND owner) {
    return ShowMessageBox(text, MB_ICONERROR, owner);
}

int ShowInfoBox(const std::string& text, HWND owner) {
    return ShowMessageBox(text, MB_ICONINFORMATION, owner);
}

int ShowQuestionBox(const std::string& text, HWND owner) {
    return ShowMessageBox(text, MB_YESNO | MB_ICONQUESTION, owner);
}

bool IsAsciiLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string DriveRoot(const std::string& path) {
    std::string drive;
    if (path.size() >= 2 && path[1] == ':') {
        drive = path.substr(0, 2);
    } else if (path.compare(0, 2, "\\\\") == 0) {
        const size_t serverEnd = path.find('\\', 2);
        const size_t shareEnd =
            serverEnd == std::string::npos ? std::string::npos : path.find('\\', serverEnd + 1);
        drive = path.substr(0, shareEnd);
    }
    return drive + "\\";
}

bool IsDriveReady(const std::string& path) {
    ErrorModeSilenced silenced;
    const DWORD attributes = GetFileAttributesA(DriveRoot(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFloppyDrive(const std::string& path) {
    const std::string root = DriveRoot(path);
    if (GetDriveTypeA(root.c_str()) != DRIVE_REMOVABLE) return false;
    SHFILEINFOA info{};
    if (!SHGetFileInfoA(root.c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME)) return false;
    return NamesFloppyDrive(info.szDisplayName);
}

bool NamesFloppyDrive(const std::string& displayName) {
    // A word counts only where it does not open the name.
    for (const char* word : {"FD", "Floppy"}) {
        const size_t at = displayName.find(word);
        if (at != std::string::npos && at >= 1) return true;
    }
    return false;
}

std::string VolumeExtension(int i) {
    return Format(".%.3d", i);
}

void JoinVolumes(const std::string& archivePath, const std::string& destinationFolder, int count) {
    std::vector<char> buffer(8192);
    TFileStream output(AddBackslash(destinationFolder) + ExtractFileName(archivePath),
                       TFileStream::Mode::Create);
    for (int i = 1; i <= count; ++i) {
        const std::string volumePath = ChangeFileExt(archivePath, VolumeExtension(i));
        TFileStream volume(volumePath, TFileStream::Mode::OpenRead);
        while (volume.Position() < volume.Size()) {
            const size_t read = volume.Read(buffer.data(), buffer.size());
            // A volume that ends before its size (cut short meanwhile) cannot be joined either.
            if (read == 0) throw EFOpenError(volumePath);
            output.Write(buffer.data(), read);
        }
    }
}

HMODULE LoadUnlhaLibrary() {
    char system[MAX_PATH] = "";
    GetSystemDirectoryA(system, MAX_PATH);
    for (const std::string& folder : {GetExeDir(), AddBackslash(TextOf(system)), GetWindowsDir()}) {
        const std::string path = folder + "UNLHA32.DLL";
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
        // By full path; what it imports comes from the system folder (Setup restricted the
        // search to it), never from beside it.
        if (HMODULE module = LoadLibraryExA(path.c_str(), nullptr, 0)) return module;
    }
    return nullptr;
}
