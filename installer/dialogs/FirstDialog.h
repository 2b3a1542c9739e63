// TFormFirstDialog: names the game, shows the base folder the game's folder will be made
// under, and offers the Start-menu shortcut and the uninstall entry.
#pragma once
#include "DashBox.h"
#include "StdCtrls.h"

class TFormFirstDialog : public TForm {
public:
    explicit TFormFirstDialog(TComponent* AOwner);

    TLabel* Label1;
    TLabel* Label2;
    TGroupBox* GroupBox1;
    TDashBox* DashBox1;
    TGroupBox* GroupBox2;
    TCheckBox* CheckBox1;
    TCheckBox* CheckBox2;
    TButton* ButtonStart;
    TButton* ButtonCancel;

    std::string ProjectName;   // in: the game folder's name
    std::string GameTitle;     // in: shown in the first line
    std::string BasePath;      // out: the base folder, with its trailing backslash
    bool AddShortcut = false;  // out: make the Start-menu shortcut
    bool AddUninstall = false; // out: register the uninstaller

    void FormShow(TObject* Sender);
    void ButtonStartClick(TObject* Sender);
    void DashBox1Click(TObject* Sender);
};

extern TFormFirstDialog* FormFirstDialog;

// The product settings key under HKEY_CURRENT_USER.
extern const char* const ProductSettingsKey;
