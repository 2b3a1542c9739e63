// The background form and the temporary-folder clean-up.
#include "SetupMain.h"

#include "Errors.h"
#include "HelperUtils.h"
#include "IniFiles.h"
#include "InstallerStrings.h"

TFormBackground* FormBackground = nullptr;

std::string SetupDescriptionPath() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return ChangeFileExt(path, ".ini");
}

void DeleteFolderTree(const std::string& path, const FolderLister& lister) {
    RemoveFolderTree(path, FileAttributes::Clear, lister);
}

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
}

void TFormBackground::FormCreate(TObject*) {
    SetBounds(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    {
        const TIniFile description(SetupDescriptionPath());
        ProjectName = description.ReadString("Setup", "ProjectName", "");
        GameTitle = description.ReadString("Setup", "GameTitle", "");
        DiskNumber = description.ReadInteger("Setup", "DiskNumber", 0);
    }
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
    if (!ProjectName.empty() && !GameTitle.empty()) {
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

void TFormBackground::RunInstallation() {}
