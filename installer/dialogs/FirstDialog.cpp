// The first dialog.
#include "FirstDialog.h"

#include "HelperUtils.h"
#include "InstallPath.h"
#include "InstallerStrings.h"
#include "Registry.h"
#include "SysUtils.h"

#include <memory>

TFormFirstDialog* FormFirstDialog = nullptr;
const char* const ProductSettingsKey = "Software\\Morvane\\Lumetra";

namespace {

// Whether a text is a number as a stored choice writes it: decimal digits, or hexadecimal ones
// after "$", without a sign.
bool IsChoiceNumber(const std::string& text) {
    const bool hex = !text.empty() && text[0] == '$';
    const std::string digits = text.substr(hex ? 1 : 0);
    return !digits.empty() &&
           digits.find_first_not_of(hex ? "0123456789ABCDEFabcdef" : "0123456789") ==
               std::string::npos;
}

// A stored choice: a number in a string (decimal, or hexadecimal after "$") or a DWORD, true
// when not 0; a missing or non-numeric value gives the default.
bool ReadChoice(const TRegistry& registry, const std::string& name, bool fallback) {
    switch (registry.GetDataType(name)) {
    case TRegDataType::rdString:
    case TRegDataType::rdExpandString: {
        const std::string text = registry.ReadString(name);
        if (!IsChoiceNumber(text)) return fallback;
        return StrToIntDef(text, fallback ? 1 : 0) != 0;
    }
    case TRegDataType::rdInteger: return registry.ReadInteger(name) != 0;
    default: return fallback;
    }
}

} // namespace

TFormFirstDialog::TFormFirstDialog(TComponent* AOwner) : TForm(AOwner) {
    Name = "FormFirstDialog";
    SetText("Setup");
    BorderStyle = TFormBorderStyle::bsDialog;
    Position = TPosition::poScreenCenter;
    Font().SetName("MS Sans Serif");
    Font().SetHeight(-12);
    SetClientSize(385, 233);
    OnShow = [this](TObject* sender) { FormShow(sender); };

    auto place = [this](auto* control, TWinControl* parent, int left, int top, int width,
                        int height) {
        control->SetParent(parent);
        control->SetBounds(left, top, width, height);
        return control;
    };
    Label1 = place(new TLabel(this), this, 8, 12, 369, 12);
    Label1->Alignment = TAlignment::taCenter;
    Label2 = place(new TLabel(this), this, 8, 28, 369, 12);
    Label2->Alignment = TAlignment::taCenter;

    GroupBox1 = place(new TGroupBox(this), this, 8, 56, 369, 41);
    GroupBox1->SetText("Default Install Path");
    GroupBox1->SetTabOrder(0);
    DashBox1 = place(new TDashBox(this), GroupBox1, 8, 15, 353, 20);
    DashBox1->TabStop = true;
    DashBox1->SetTabOrder(0);
    DashBox1->SetParentColor(false);
    DashBox1->SetText("DashBox1");
    DashBox1->OnClick = [this](TObject* sender) { DashBox1Click(sender); };

    GroupBox2 = place(new TGroupBox(this), this, 8, 104, 369, 61);
    GroupBox2->SetText("Options");
    GroupBox2->SetTabOrder(1);
    CheckBox1 = place(new TCheckBox(this), GroupBox2, 8, 16, 353, 17);
    CheckBox1->SetText("Add Games Shortcut In Start Menu");
    CheckBox1->SetTabOrder(0);
    CheckBox1->SetChecked(true);
    CheckBox2 = place(new TCheckBox(this), GroupBox2, 8, 36, 353, 17);
    CheckBox2->SetText("Include Game Uninstall Option");
    CheckBox2->SetTabOrder(1);
    CheckBox2->SetChecked(true);

    ButtonStart = place(new TButton(this), this, 64, 184, 121, 33);
    ButtonStart->SetText("Start Installation");
    ButtonStart->Default = true;
    ButtonStart->ModalResult = mrOk;
    ButtonStart->SetTabOrder(2);
    ButtonStart->OnClick = [this](TObject* sender) { ButtonStartClick(sender); };
    ButtonCancel = place(new TButton(this), this, 200, 184, 121, 33);
    ButtonCancel->SetText("&Cancel");
    ButtonCancel->Cancel = true;
    ButtonCancel->ModalResult = mrCancel;
    ButtonCancel->SetTabOrder(3);
}

void TFormFirstDialog::FormShow(TObject*) {
    Label1->SetText(FormatResString(SInstallationTitle, GameTitle));
    Label2->SetText(FormatResString(SFolderWillBeMade, ProjectName));
    BasePath = GetProgramFilesDir() + "Morvane\\Lumetra\\";
    {
        TRegistry registry;
        registry.RootKey = HKEY_CURRENT_USER;
        if (registry.OpenKey(ProductSettingsKey, true)) {
            if (registry.ValueExists("ApplicationPath"))
                BasePath = registry.ReadString("ApplicationPath");
            AddShortcut = ReadChoice(registry, "RegisterProgramOption", false);
            AddUninstall = ReadChoice(registry, "PrepareUninstallOption", false);
        }
    }
    BasePath = AddBackslash(BasePath);
    DashBox1->SetText(BasePath);
    CheckBox1->SetChecked(AddShortcut);
    CheckBox2->SetChecked(AddUninstall);
}

void TFormFirstDialog::ButtonStartClick(TObject*) {
    AddShortcut = CheckBox1->Checked();
    AddUninstall = CheckBox2->Checked();
}

// Opens the install path dialog at the base folder and takes the folder it accepts.
void TFormFirstDialog::DashBox1Click(TObject*) {
    // Released, not deleted: it goes once the message now being handled is done with it.
    const std::unique_ptr<TFormInstallPath, decltype([](TForm* form) { form->Release(); })>
        dialog(new TFormInstallPath(this));
    dialog->AfterConstruction();
    CenterFormOnOwner(dialog.get());
    dialog->SelectedPath = BasePath;
    if (dialog->ShowModal() != mrOk) return;
    BasePath = dialog->SelectedPath;
    DashBox1->SetText(BasePath);
}
