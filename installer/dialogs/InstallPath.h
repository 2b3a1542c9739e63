// TFormInstallPath: the choice of the base folder in a folder tree and an edit box, accepted
// only on a ready drive that is neither a floppy nor a CD-ROM drive, in a folder that exists.
#pragma once
#include "FolderView.h"
#include "StdCtrls.h"

class TFormInstallPath : public TForm {
public:
    explicit TFormInstallPath(TComponent* AOwner);

    TFolderView* FolderView1;
    TEdit* Edit1;
    TButton* ButtonOk;
    TButton* ButtonCancel;

    // In: the folder the tree opens at. Out, after mrOk: the accepted folder, a full path with
    // its trailing backslash.
    std::string SelectedPath;
    UINT SavedErrorMode = 0; // the process error mode from before the dialog

    void FormCreate(TObject* Sender);
    void FormDestroy(TObject* Sender);
    void FormShow(TObject* Sender);
    void FolderView1Change(TObject* Sender, TTreeNode* Node);
    void Edit1Change(TObject* Sender);
    void ButtonOkClick(TObject* Sender);
};
