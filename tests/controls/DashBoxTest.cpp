// The dash box: what fires OnClick, the keys it keeps, its colours and dots as rendered, and
// its height and border.
#include "DashBox.h"
#include "Forms.h"
#include "Gui.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace testbed;

namespace {

bool Shows(const Bitmap& bitmap, RECT area, TColor color) {
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (bitmap.Pixel(x, y) == ColorToRGB(color)) return true;
    return false;
}

int TextMetricHeight(int fontHeight) {
    TFont font;
    font.SetHeight(fontHeight);
    const Bitmap bitmap(1, 1);
    SelectObject(bitmap.Dc(), font.Handle());
    TEXTMETRICA metrics{};
    GetTextMetricsA(bitmap.Dc(), &metrics);
    return metrics.tmHeight;
}

// The first dialog's path box, with a plain focusable control beside it.
class DashBoxTest : public ::testing::Test {
protected:
    TApplication application;
    TForm* form = application.CreateForm<TForm>();
    TDashBox* box = new TDashBox(form);
    TCustomControl* other = new TCustomControl(form);
    std::string events; // what the box reported, in order

    void SetUp() override {
        SetCursorPos(0, GetSystemMetrics(SM_CYSCREEN) - 1); // the real pointer stays off the box
        form->SetBounds(100, 100, 400, 120);
        form->Font().SetHeight(-12);
        box->SetBounds(8, 15, 353, 20);
        box->SetParent(form);
        other->SetBounds(8, 60, 50, 20);
        other->TabStop = true;
        other->SetParent(form);
        box->OnClick = [this](TObject* sender) { events += sender == box ? "click " : "?"; };
        box->OnKeyDown = [this](TObject*, WORD& key, TShiftState) {
            events += "key" + std::to_string(key) + " ";
        };
        form->Show();
        application.ProcessMessages();
    }

    Bitmap Render() {
        Bitmap bitmap(box->ClientWidth(), box->ClientHeight());
        box->PaintTo(bitmap.Dc());
        return bitmap;
    }
};

TEST_F(DashBoxTest, Mouse) {
    ASSERT_TRUE(GetClassLongA(box->Handle(), GCL_STYLE) & CS_DBLCLKS);
    // Steps: d down, u up, D double click, m move, r right down, R right up; at T the text,
    // B the button, O outside the box.
    const struct {
        const char* steps;
        std::string expected;
        bool focused;
    } cases[] = {
        {"dT uT", "", true},
        {"dT uT DT uT", "click ", true},
        {"dB uB", "click ", true},
        {"dB mO uO", "", true},
        {"dB mO mB uB", "click ", true},
        {"dT uB", "", true},
        {"dB uB DB uB", "click click ", true},
        {"rB RB", "", false},
    };
    const std::string kinds = "dDumrR";
    const UINT messages[] = {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONUP,
                             WM_MOUSEMOVE,   WM_RBUTTONDOWN,   WM_RBUTTONUP};
    const int h = box->ClientHeight(), w = box->ClientWidth();
    for (const auto& c : cases) {
        other->SetFocus();
        events.clear();
        std::istringstream steps(c.steps);
        for (std::string step; steps >> step;) {
            const POINT at = step[1] == 'T'   ? POINT{20, h / 2}
                             : step[1] == 'B' ? POINT{w - 8, h / 2}
                                              : POINT{w + 30, -20};
            SendMessageA(box->Handle(), messages[kinds.find(step[0])], 0, MAKELPARAM(at.x, at.y));
            if (step[0] == 'm') {
                EXPECT_EQ(box->Button->Pressed(), step[1] == 'B') << c.steps;
            }
        }
        application.ProcessMessages();
        EXPECT_EQ(events, c.expected) << c.steps;
        EXPECT_EQ(box->Focused(), c.focused) << c.steps;
        EXPECT_FALSE(box->Button->Pressed()) << c.steps;
    }
}

TEST_F(DashBoxTest, Keys) {
    const struct {
        WORD key;
        std::string expected;
        bool keepsFocus;
    } cases[] = {{VK_SPACE, "click key32 ", true},
                 {VK_RETURN, "key13 ", true},
                 {VK_LEFT, "key37 ", true},
                 {VK_DOWN, "key40 ", true},
                 {VK_TAB, "", false}};
    for (const auto& c : cases) {
        box->SetFocus();
        events.clear();
        PressKey(box->Handle(), c.key);
        application.ProcessMessages();
        EXPECT_EQ(events, c.expected) << "key " << c.key;
        EXPECT_EQ(box->Focused(), c.keepsFocus) << "key " << c.key;
    }
    // Space while the dash button is held down is only a key.
    events.clear();
    box->SetFocus();
    SendMessageA(box->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box->ClientWidth() - 8, 5));
    PressKey(box->Handle(), VK_SPACE);
    application.ProcessMessages();
    EXPECT_EQ(events, "key32 ");
}

TEST_F(DashBoxTest, ColoursAndDots) {
    box->SetText("WWWW");
    const int h = box->ClientHeight(), button = box->ClientWidth() - 15;
    const RECT text{2, 2, button - 2, h - 2};
    const struct {
        const char* name;
        bool focused, enabled, designing, pressed;
        TColor background, text, notText, dots;
    } cases[] = {
        {"plain", false, true, false, false, clWindow, clWindowText, clGrayText, clBtnText},
        {"focused", true, true, false, false, clHighlight, clHighlightText, clWindowText,
         clBtnText},
        {"disabled", false, false, false, false, clWindow, clGrayText, clWindowText, clGrayText},
        {"disabled, designing", false, false, true, false, clWindow, clWindowText, clGrayText,
         clBtnText},
        {"pressed", true, true, false, true, clHighlight, clHighlightText, clWindowText, clBtnText},
    };
    for (const auto& c : cases) {
        box->SetDesigning(c.designing);
        box->SetEnabled(c.enabled);
        (c.focused ? static_cast<TWinControl*>(box) : other)->SetFocus();
        if (c.pressed) SendMessageA(box->Handle(), WM_LBUTTONDOWN, 0, MAKELPARAM(button + 7, 5));
        const Bitmap shown = Render();
        EXPECT_EQ(shown.Pixel(0, 0), ColorToRGB(clWindow)) << c.name;
        EXPECT_EQ(shown.Pixel(text.right - 1, h / 2), ColorToRGB(c.background)) << c.name;
        EXPECT_TRUE(Shows(shown, text, c.text)) << c.name;
        EXPECT_FALSE(Shows(shown, text, c.notText)) << c.name;
        // Three 2x2 dots three pixels apart, one pixel further right and down when pressed.
        const int left = button + (c.pressed ? 4 : 3), top = c.pressed ? h / 2 : (h - 2) / 2;
        for (int x : {0, 1, 3, 4, 6, 7})
            for (int y : {0, 1})
                EXPECT_EQ(shown.Pixel(left + x, top + y), ColorToRGB(c.dots)) << c.name << " " << x;
        EXPECT_EQ(shown.Pixel(left + 2, top), ColorToRGB(clBtnFace)) << c.name;
        EXPECT_EQ(shown.Pixel(left, top - 1), ColorToRGB(clBtnFace)) << c.name;
    }
}

TEST_F(DashBoxTest, AmpersandsShowAndLongTextStopsBeforeTheButton) {
    other->SetFocus();
    const int h = box->ClientHeight(), button = box->ClientWidth() - 15;
    box->SetText("&");
    EXPECT_TRUE(Shows(Render(), {2, 2, 20, h - 2}, clWindowText)) << "the ampersand is drawn";
    box->SetText(std::string(200, 'W'));
    const Bitmap shown = Render();
    EXPECT_TRUE(Shows(shown, {button - 12, 2, button - 2, h - 2}, clWindowText));
    EXPECT_FALSE(Shows(shown, {button - 2, 0, button, h}, clWindowText)) << "cut off 2 before";
}

// Each step sets the height first (0: leaves it), then the font and the three properties.
TEST_F(DashBoxTest, HeightAndBorder) {
    using enum TBorderStyle;
    const int text = TextMetricHeight(-12), big = TextMetricHeight(-20),
              border = GetSystemMetrics(SM_CYBORDER);
    const struct {
        int setHeight, font;
        TBorderStyle style;
        bool ctl3D, autoSize;
        int height;
        bool clientEdge, frame;
    } steps[] = {
        {0, -12, bsSingle, true, true, text + 8 * border, true, false},
        {0, -12, bsSingle, false, true, text + 6 * border, false, true},
        {0, -12, bsNone, false, true, text + 6 * border, false, false},
        {33, -12, bsNone, true, true, 33, false, false},
        {0, -12, bsSingle, true, true, text + 8 * border, true, false},
        {0, -20, bsSingle, true, true, text + 8 * border, true, false}, // the font alone
        {33, -20, bsSingle, true, false, 33, true, false},
        {0, -20, bsSingle, true, true, big + 8 * border, true, false},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        const auto& step = steps[i];
        if (step.setHeight) box->SetHeight(step.setHeight);
        box->Font().SetHeight(step.font);
        box->SetBorderStyle(step.style);
        box->SetCtl3D(step.ctl3D);
        box->SetAutoSize(step.autoSize);
        const HWND window = box->Handle();
        EXPECT_EQ(RectInParent(window).bottom - box->Top(), step.height) << "step " << i;
        EXPECT_EQ((GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0, step.clientEdge)
            << "step " << i;
        EXPECT_EQ((GetWindowLongA(window, GWL_STYLE) & WS_BORDER) != 0, step.frame) << "step " << i;
        EXPECT_EQ(box->Button->BoundsRect().right, box->ClientWidth()) << "step " << i;
        EXPECT_EQ(box->Button->Height(), box->ClientHeight()) << "step " << i;
    }
}

} // namespace
