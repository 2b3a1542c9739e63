// Standard controls.
#include "StdCtrls.h"

TForm* GetParentForm(TControl* control) {
    while (control && control->Parent()) control = control->Parent();
    return dynamic_cast<TForm*>(control);
}

// ---- TButton ----

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner) {
    ControlStyle = csSetCaption | csDoubleClicks;
    TabStop = true;
    SetColor(clBtnFace);
}

void TButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.BaseClassName = "BUTTON";
    params.Style |= Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::Click() {
    if (TForm* form = GetParentForm(this); form && ModalResult != mrNone)
        form->SetModalResult(ModalResult);
    TWinControl::Click();
}

LRESULT TButton::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case CN_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) Click();
        return 0;
    case CM_DIALOGKEY: {
        if (!CanFocus()) return 0;
        const bool focusedButton = dynamic_cast<TButton*>(FindControl(GetFocus())) != nullptr;
        const bool active = Focused() || (Default && !focusedButton);
        if ((wParam == VK_RETURN && active) || (wParam == VK_ESCAPE && Cancel)) {
            Click();
            return 1;
        }
        return 0;
    }
    case CM_DIALOGCHAR:
        if (!CanFocus() || !IsAccel(static_cast<char>(wParam), Text())) return 0;
        Click();
        return 1;
    }
    return TWinControl::WndProc(message, wParam, lParam);
}

// ---- TCheckBox ----

TCheckBox::TCheckBox(TComponent* AOwner) : TWinControl(AOwner) {
    ControlStyle = csSetCaption | csDoubleClicks;
    TabStop = true;
    SetParentColor(true);
}

void TCheckBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.BaseClassName = "BUTTON";
    params.Style |= BS_AUTOCHECKBOX;
}

void TCheckBox::CreateWindowHandle(const TCreateParams& params) {
    TWinControl::CreateWindowHandle(params);
    DefaultHandler(BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TCheckBox::SetChecked(bool checked) {
    checked_ = checked;
    if (HandleAllocated()) DefaultHandler(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

LRESULT TCheckBox::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case CN_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            checked_ = DefaultHandler(BM_GETCHECK, 0, 0) == BST_CHECKED;
            Click();
        }
        return 0;
    case CM_DIALOGCHAR:
        if (!CanFocus() || !IsAccel(static_cast<char>(wParam), Text())) return 0;
        // Focused and toggled as a click would do it, so its click event follows.
        SetFocus();
        SendMessageA(Handle(), BM_CLICK, 0, 0);
        return 1;
    }
    return TWinControl::WndProc(message, wParam, lParam);
}

// ---- TGroupBox ----

TGroupBox::TGroupBox(TComponent* AOwner) : TWinControl(AOwner) {
    ControlStyle = csAcceptsControls | csSetCaption | csDoubleClicks;
    SetParentColor(true);
}

void TGroupBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.BaseClassName = "BUTTON";
    params.Style |= BS_GROUPBOX;
}

LRESULT TGroupBox::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == CM_DIALOGCHAR) {
        // The caption's mnemonic leads to the first control inside the group.
        TForm* form = GetParentForm(this);
        if (!form || !CanFocus() || !IsAccel(static_cast<char>(wParam), Text())) return 0;
        form->SelectNextAfter(this);
        return 1;
    }
    return TWinControl::WndProc(message, wParam, lParam);
}

// ---- TEdit ----

TEdit::TEdit(TComponent* AOwner) : TWinControl(AOwner) {
    ControlStyle = csSetCaption | csDoubleClicks;
    TabStop = true;
    SetColor(clWindow);
}

void TEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.BaseClassName = "EDIT";
    params.Style |= ES_AUTOHSCROLL;
    params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TEdit::CreateWindowHandle(const TCreateParams& params) {
    TWinControl::CreateWindowHandle(params);
    if (MaxLength > 0) DefaultHandler(EM_LIMITTEXT, MaxLength, 0);
}

LRESULT TEdit::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == CN_COMMAND) {
        if (HIWORD(wParam) == EN_CHANGE) {
            // The user typed: take the window's text as the control's own.
            const int length = GetWindowTextLengthA(Handle());
            std::string text(length + 1, '\0');
            GetWindowTextA(Handle(), text.data(), length + 1);
            text.resize(length);
            TControl::SetText(text);
            if (OnChange) OnChange(this);
        }
        return 0;
    }
    return TWinControl::WndProc(message, wParam, lParam);
}

// ---- TLabel ----

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    ControlStyle = csSetCaption;
    SetParentColor(true);
}

void TLabel::Paint() {
    TCanvas& canvas = Canvas();
    canvas.Font.Assign(Font());
    canvas.Brush.SetColor(Color());
    const RECT bounds = ClientRect();
    canvas.FillRect(bounds);
    static constexpr UINT kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    const UINT format =
        DT_SINGLELINE | DT_NOPREFIX | DT_TOP | kAlign[static_cast<int>(Alignment)];
    canvas.Brush.SetStyle(TBrushStyle::bsClear);
    if (!Enabled()) canvas.Font.SetColor(clGrayText);
    canvas.DrawText(Text(), bounds, format);
}
