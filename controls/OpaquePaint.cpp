// The opaque paint box.
#include "OpaquePaint.h"

TOpaquePaintBox::TOpaquePaintBox(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(Left(), Top(), 105, 105);
    SetColor(clAppWorkSpace);
}

void TOpaquePaintBox::CreateParams(TCreateParams& params) {
    ControlStyle = csAcceptsControls | csClickEvents | csDoubleClicks;
    TCustomControl::CreateParams(params);
}

void TOpaquePaintBox::Paint() {
    Canvas().Font.Assign(Font());
    Canvas().Brush.SetColor(Color());
    if (Designing()) {
        Canvas().Pen.SetStyle(TPenStyle::psDash);
        Canvas().Brush.SetStyle(TBrushStyle::bsClear);
        Canvas().Rectangle(0, 0, Width(), Height());
    }
    if (OnPaint) OnPaint(this);
}

LRESULT TOpaquePaintBox::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        if (Opaque && !Designing()) return 1; // nothing erased: the owner paints it all
        break;
    case WM_RBUTTONDBLCLK: {
        const LRESULT result = TCustomControl::WndProc(message, wParam, lParam);
        if (OnRightDblClick) OnRightDblClick(this);
        return result;
    }
    }
    return TCustomControl::WndProc(message, wParam, lParam);
}
