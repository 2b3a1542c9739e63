// Standard controls over the system's window classes (push button, check box, group box, edit
// box) and the window-less label.
#pragma once
#include "Forms.h"

// The form a control lies on, or null.
TForm* GetParentForm(TControl* control);

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* AOwner);
    bool Default = false; // Enter clicks it unless another button has the focus
    bool Cancel = false;  // Esc clicks it
    TModalResult ModalResult = mrNone; // set on the form when clicked
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Click() override;
};

class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* AOwner);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;

private:
    bool checked_ = false;
};

class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TComponent* AOwner);
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateParams(TCreateParams& params) override;
};

class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* AOwner);
    int MaxLength = 0; // 0: no limit of our own
    TNotifyEvent OnChange;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
};

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* AOwner);
    TAlignment Alignment = TAlignment::taLeftJustify;

protected:
    void Paint() override;
};
