// TOpaquePaintBox: a windowed surface painted wholly by its owner's OnPaint handler; when
// opaque it erases nothing first, so a surface the owner covers is redrawn without flicker.
#pragma once
#include "Controls.h"

class TOpaquePaintBox : public TCustomControl {
public:
    explicit TOpaquePaintBox(TComponent* AOwner);

    TNotifyEvent OnPaint;         // raised at the end of every paint
    TNotifyEvent OnRightDblClick; // raised on a right-button double click
    // Read at the next paint: with it off, the background is filled with Color first.
    bool Opaque = true;

    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint() override;
};
