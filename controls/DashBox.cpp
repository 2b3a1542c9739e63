// The dash box and its dash button: painting, the mouse and key rules, the height that follows
// the font.
#include "DashBox.h"

namespace {

// The screen's device context with a font selected, for reading the font's metrics.
class ScreenFontContext {
public:
    explicit ScreenFontContext(HGDIOBJ font)
        : dc_(GetDC(nullptr)), previous_(SelectObject(dc_, font)) {}
    ScreenFontContext(const ScreenFontContext&) = delete;
    ScreenFontContext& operator=(const ScreenFontContext&) = delete;
    ~ScreenFontContext() {
        SelectObject(dc_, previous_);
        ReleaseDC(nullptr, dc_);
    }
    HDC Handle() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

} // namespace

// ---- TDashButton ----

TDashButton::TDashButton(TWinControl* box) : TGraphicControl(box) {
    // The box's own code fires the clicks; the capture lets a press follow the mouse anywhere.
    ControlStyle = csCaptureMouse;
    SetParent(box);
}

void TDashButton::SetPressed(bool pressed) {
    pressed_ = pressed;
    Invalidate();
}

void TDashButton::Paint() {
    TCanvas& canvas = Canvas();
    RECT rect = ClientRect();
    // Released, the raised edge of a push button; pressed, a flat frame. Both are two pixels
    // wide, and BF_ADJUST leaves rect inside them.
    DrawEdge(canvas.Handle(), &rect, EDGE_RAISED, BF_RECT | BF_ADJUST | (pressed_ ? BF_FLAT : 0));
    canvas.Brush.SetColor(clBtnFace);
    canvas.FillRect(rect);
    // Released, the dots sit one pixel up and left of their pressed place.
    if (!pressed_) OffsetRect(&rect, -1, -1);
    const int cx = (rect.left + rect.right) / 2, cy = (rect.top + rect.bottom) / 2;
    canvas.Brush.SetColor(Designing() || Parent()->Enabled() ? clBtnText : clGrayText);
    for (int x : {cx - 3, cx, cx + 3})
        canvas.FillRect({x, cy, x + 2, cy + 2});
}

void TDashButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft) return;
    if (Parent()->CanFocus()) Parent()->SetFocus();
    SetPressed(true);
}

void TDashButton::MouseMove(TShiftState shift, int x, int y) {
    TGraphicControl::MouseMove(shift, x, y);
    if (!MouseCapture()) return;
    // While held, the button pops up when the mouse leaves it and goes in again on its return.
    const RECT client = ClientRect();
    const bool inside = PtInRect(&client, POINT{x, y});
    if (inside != pressed_) SetPressed(inside);
}

void TDashButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (button != TMouseButton::mbLeft || !pressed_) return;
    SetPressed(false);
    Click();
}

// ---- TDashBox ----

TDashBox::TDashBox(TComponent* AOwner) : TCustomControl(AOwner), Button(new TDashButton(this)) {
    Button->SetBounds(0, 0, 15, 16); // placed again on every size change of the box
    Button->OnClick = [this](TObject*) { ButtonClick(); };
    SetBounds(Left(), Top(), 121, 25);
    TabStop = true;
}

void TDashBox::ButtonClick() {
    Click();
}

void TDashBox::SetAutoSize(bool autoSize) {
    if (autoSize == autoSize_) return;
    autoSize_ = autoSize;
    UpdateAutoHeight();
}

void TDashBox::SetBorderStyle(TBorderStyle borderStyle) {
    if (borderStyle == borderStyle_) return;
    borderStyle_ = borderStyle;
    UpdateAutoHeight();
    RecreateWnd();
}

void TDashBox::CreateParams(TCreateParams& params) {
    // Set before the base makes the parameters: the window class takes its double-click style
    // from these flags. A press captures nothing and a single click fires no click.
    ControlStyle = csDoubleClicks;
    TCustomControl::CreateParams(params);
    if (borderStyle_ == TBorderStyle::bsSingle) {
        if (Ctl3D())
            params.ExStyle |= WS_EX_CLIENTEDGE;
        else
            params.Style |= WS_BORDER;
    }
}

void TDashBox::CreateWnd() {
    TCustomControl::CreateWnd();
    UpdateAutoHeight();
}

void TDashBox::UpdateAutoHeight() {
    if (autoSize_ && borderStyle_ == TBorderStyle::bsSingle) {
        ControlStyle |= csFixedHeight;
        AdjustHeight();
    } else {
        ControlStyle &= ~csFixedHeight;
    }
}

void TDashBox::AdjustHeight() {
    TEXTMETRICA metrics{};
    {
        ScreenFontContext screen(Font().Handle());
        GetTextMetricsA(screen.Handle(), &metrics);
    }
    // Two border widths of two pixels each (one with the flat frame) and the two pixels Paint
    // keeps free above and below the text.
    const int borders = Ctl3D() ? 8 : 6;
    SetHeight(metrics.tmHeight + borders * GetSystemMetrics(SM_CYBORDER));
}

void TDashBox::Paint() {
    TCanvas& canvas = Canvas();
    const bool focused = Focused();
    RECT rect = ClientRect();
    rect.right -= Button->Width();
    canvas.Brush.SetColor(Color());
    canvas.FillRect(rect);
    InflateRect(&rect, -1, -1);
    if (focused) {
        canvas.Brush.SetColor(clHighlight);
        canvas.FillRect(rect);
        // The focus rectangle XORs a dotted pattern in the text and background colours: with a
        // white background its dots invert the highlight and its gaps leave it.
        canvas.Brush.SetColor(clWhite);
        canvas.DrawFocusRect(rect);
    }
    InflateRect(&rect, -1, -1);
    canvas.Brush.SetStyle(TBrushStyle::bsClear);
    canvas.Font.Assign(Font());
    if (focused) canvas.Font.SetColor(clHighlightText);
    if (!Enabled() && !Designing()) canvas.Font.SetColor(clGrayText);
    canvas.DrawText(Text(), rect, DT_NOPREFIX);
}

void TDashBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft) return;
    SetFocus();
    // A double click on the text asks for a change; a single click only focuses the box.
    if (shift & ssDouble) Click();
}

void TDashBox::KeyDown(WORD& key, TShiftState shift) {
    // Space asks for a change, except while the dash button is held down.
    if (key == VK_SPACE && !MouseCapture()) Click();
    TCustomControl::KeyDown(key, shift);
}

LRESULT TDashBox::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: return 1;               // Paint covers the text area, the button the rest
    case CM_CTL3DCHANGED: RecreateWnd(); break; // the border and the height follow the look
    }
    const LRESULT result = TCustomControl::WndProc(message, wParam, lParam);
    switch (message) {
    case WM_SIZE:
        Button->SetBounds(ClientWidth() - Button->Width(), 0, Button->Width(), ClientHeight());
        break;
    case WM_GETDLGCODE: return result | DLGC_WANTARROWS; // the arrow keys stay with the box
    case WM_SETFOCUS:
    case WM_KILLFOCUS: Invalidate(); break; // the highlight follows the focus
    }
    return result;
}
