// TDashBox: a read-only one-line path box with a three-dot button at its right end, and that
// button, TDashButton.
#pragma once
#include "Controls.h"

enum class TBorderStyle { bsNone, bsSingle };

class TDashButton;

// Shows a text and reports one thing through OnClick: that the user asked to change it, by
// releasing the mouse over the pressed dash button, double-clicking the text or pressing Space.
// The text changes only when the program sets it.
class TDashBox : public TCustomControl {
public:
    explicit TDashBox(TComponent* AOwner);

    TDashButton* const Button;
    // With bsSingle, the height follows the font while this is on.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle borderStyle);

    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyDown(WORD& key, TShiftState shift) override;
    // The dash button's click handler: the box's own click.
    virtual void ButtonClick();

private:
    void UpdateAutoHeight();
    void AdjustHeight();

    bool autoSize_ = true;
    TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
};

// The push button with three dots that fills the right end of a dash box; window-less, painted
// by the box. It fires its own clicks; a double click on it counts as two presses.
class TDashButton : public TGraphicControl {
public:
    explicit TDashButton(TWinControl* box); // owned by the box and placed on it
    bool Pressed() const { return pressed_; }

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    void SetPressed(bool pressed);
    bool pressed_ = false;
};
