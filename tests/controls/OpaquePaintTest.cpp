// The opaque paint box: what a paint leaves of the screen with and without Opaque, and the
// clicks it reports.
#include "OpaquePaint.h"
#include "Forms.h"
#include "Gui.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace testbed;

namespace {

const COLORREF kScreen = RGB(1, 2, 3); // what the screen held before the paint

class OpaquePaintTest : public ::testing::Test {
protected:
    TApplication application;
    TForm* form = application.CreateForm<TForm>();
    TOpaquePaintBox* box = new TOpaquePaintBox(form);
    std::string events; // what the box reported, in order

    void SetUp() override {
        SetCursorPos(0, GetSystemMetrics(SM_CYSCREEN) - 1); // the real pointer stays off the box
        form->SetBounds(100, 100, 200, 200);
        box->SetParent(form);
        box->SetBounds(10, 10, 105, 105);
        box->OnClick = [this](TObject*) { events += "click "; };
        box->OnDblClick = [this](TObject*) { events += "dblclick "; };
        box->OnRightDblClick = [this](TObject*) { events += "rightdbl "; };
        box->OnMouseDown = [this](TObject*, TMouseButton button, TShiftState shift, int, int) {
            events += button == TMouseButton::mbRight ? "right" : "left";
            events += shift & ssDouble ? "-double " : "-down ";
        };
        form->Show();
        application.ProcessMessages();
    }

    // Paints the box as a paint message does, background erase first, over what the screen held.
    Bitmap Render() {
        Bitmap bitmap(box->Width(), box->Height());
        HBRUSH screen = CreateSolidBrush(kScreen);
        const RECT all{0, 0, bitmap.Width(), bitmap.Height()};
        FillRect(bitmap.Dc(), &all, screen);
        DeleteObject(screen);
        box->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(bitmap.Dc()));
        box->PaintTo(bitmap.Dc());
        return bitmap;
    }
};

TEST_F(OpaquePaintTest, OpaqueLeavesTheScreenAndOffFillsWithTheColourFirst) {
    const COLORREF color = ColorToRGB(clAppWorkSpace);
    const struct {
        bool opaque, handler;
        COLORREF corner, middle; // the handler fills the corner with the brush it finds
    } cases[] = {{true, false, kScreen, kScreen},
                 {true, true, color, kScreen},
                 {false, false, color, color},
                 {false, true, color, color}};
    for (const auto& c : cases) {
        box->Opaque = c.opaque;
        box->OnPaint = nullptr;
        if (c.handler)
            box->OnPaint = [this](TObject*) { box->Canvas().FillRect({0, 0, 10, 10}); };
        const Bitmap shown = Render();
        EXPECT_EQ(shown.Pixel(5, 5), c.corner) << c.opaque << c.handler;
        EXPECT_EQ(shown.Pixel(50, 50), c.middle) << c.opaque << c.handler;
    }
}

TEST_F(OpaquePaintTest, ClicksAndDoubleClicksOfBothButtons) {
    ASSERT_TRUE(GetClassLongA(box->Handle(), GCL_STYLE) & CS_DBLCLKS);
    // Steps: d down, D double click, u up; r, R, U the same for the right button.
    const std::pair<const char*, std::string> cases[] = {
        {"d u", "left-down click "},
        {"d u D u", "left-down click dblclick left-double "},
        {"r U", "right-down "},
        {"r U R U", "right-down right-double rightdbl "},
    };
    const std::string kinds = "dDurRU";
    const UINT messages[] = {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONUP,
                             WM_RBUTTONDOWN, WM_RBUTTONDBLCLK, WM_RBUTTONUP};
    const WPARAM held[] = {MK_LBUTTON, MK_LBUTTON, 0, MK_RBUTTON, MK_RBUTTON, 0};
    for (const auto& [steps, expected] : cases) {
        events.clear();
        std::istringstream input(steps);
        for (std::string step; input >> step;) {
            const size_t kind = kinds.find(step[0]);
            SendMessageA(box->Handle(), messages[kind], held[kind], MAKELPARAM(50, 50));
        }
        application.ProcessMessages();
        EXPECT_EQ(events, expected) << steps;
    }
}

} // namespace
