// Window search, reading, input and screenshots for tests.
#include "Gui.h"

#include "Wait.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace testbed {

namespace {

BOOL CALLBACK CollectTop(HWND window, LPARAM data) {
    auto* found = reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if ((found->first == 0 || pid == found->first) && IsWindowVisible(window))
        found->second.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM data) {
    reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    return TRUE;
}

bool Matches(HWND window, const std::string& className, const std::string& text) {
    return (className.empty() || ClassOf(window) == className) &&
           (text.empty() || TextOf(window) == text);
}

// A failed GUI test case leaves a screenshot of the screen at its first failure, named for the
// case, in the host folder LUM_TEST_LOGS (where scripts/run-tests keeps the logs). Wine reaches
// a host path outside its drives as \\?\unix\ followed by the path.
class FailureScreenshots : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { taken_ = false; }
    void OnTestPartResult(const ::testing::TestPartResult& result) override {
        const char* logs = std::getenv("LUM_TEST_LOGS");
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        if (!logs || !test || !result.failed() || taken_) return;
        taken_ = true;
        std::string name = std::string(test->test_suite_name()) + "." + test->name();
        std::replace(name.begin(), name.end(), '/', '-'); // parameterised cases
        std::string path = std::string("\\\\?\\unix") + logs + "/" + name + ".bmp";
        std::replace(path.begin(), path.end(), '/', '\\');
        try {
            Screenshot(nullptr).SaveBmp(path);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "no screenshot: %s\n", error.what());
        }
    }
    bool taken_ = false;
};
const bool failureScreenshots = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new FailureScreenshots);
    return true;
}();

} // namespace

bool ShowsIcon(const Bitmap& shown, HICON icon) {
    if (shown.Width() < 32 || shown.Height() < 32) return false;
    Bitmap drawn(32, 32);
    HBRUSH background = CreateSolidBrush(shown.Pixel(0, 0));
    const RECT all{0, 0, 32, 32};
    FillRect(drawn.Dc(), &all, background);
    DeleteObject(background);
    DrawIconEx(drawn.Dc(), 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (drawn.Pixel(x, y) != shown.Pixel(x, y)) return false;
    return true;
}

std::vector<HWND> TopWindows(DWORD pid) {
    std::pair<DWORD, std::vector<HWND>> found{pid, {}};
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&found));
    return found.second;
}

HWND WaitTopWindow(DWORD pid, const std::string& className, const std::string& caption,
                   DWORD timeoutMs) {
    return WaitFor(
        [&]() -> HWND {
            for (HWND window : TopWindows(pid))
                if (Matches(window, className, caption)) return window;
            return nullptr;
        },
        timeoutMs);
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND FindChild(HWND parent, const std::string& className, const std::string& text) {
    for (HWND child : Children(parent))
        if (Matches(child, className, text)) return child;
    return nullptr;
}

std::string ClassOf(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    // WM_GETTEXT through SendMessageTimeout, so a hung program fails the test instead of hanging
    // it.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return {};
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 5000, &copied);
    text.resize(copied);
    return text;
}

LONG StyleOf(HWND window) {
    return GetWindowLongA(window, GWL_STYLE);
}
bool IsEnabled(HWND window) {
    return IsWindowEnabled(window) != FALSE;
}

RECT ScreenRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

RECT RectInParent(HWND window) {
    RECT rect = ScreenRect(window);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT ClientRect(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return rect;
}

void Click(HWND button) {
    PostMessageA(button, BM_CLICK, 0, 0);
}

void ClickAt(HWND window, int x, int y) {
    const LPARAM at = MAKELPARAM(x, y);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(window, WM_LBUTTONUP, 0, at);
}

void PressKey(HWND window, WORD virtualKey) {
    PostMessageA(window, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(window, WM_KEYUP, virtualKey, 0xC0000001);
}

void TypeKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    auto add = [&](WORD key, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    for (WORD key : keys)
        add(key, 0);
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key)
        add(*key, KEYEVENTF_KEYUP);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void CloseWindow(HWND window) {
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

MessageBoxInfo WaitMessageBox(DWORD pid, DWORD timeoutMs) {
    HWND window = WaitTopWindow(pid, "#32770", "", timeoutMs);
    MessageBoxInfo box;
    if (!window) return box;
    box.window = window;
    box.owner = GetWindow(window, GW_OWNER);
    box.caption = TextOf(window);
    if (HWND text = GetDlgItem(window, 0xFFFF)) box.text = TextOf(text);
    // The icon static shows a system icon. Its handle belongs to the other process, so what
    // the screen shows is compared with each standard icon drawn on the same background.
    if (HWND icon = GetDlgItem(window, 0x440)) {
        const std::pair<LPCSTR, UINT> kinds[] = {{IDI_HAND, MB_ICONERROR},
                                                 {IDI_ASTERISK, MB_ICONINFORMATION},
                                                 {IDI_QUESTION, MB_ICONQUESTION},
                                                 {IDI_EXCLAMATION, MB_ICONWARNING}};
        WaitFor(
            [&] {
                const Bitmap shown = Screenshot(icon);
                for (const auto& [id, kind] : kinds)
                    if (ShowsIcon(shown, LoadIconA(nullptr, id))) box.icon = kind;
                return box.icon != 0;
            },
            3000);
    }
    return box;
}

bool HasButton(const MessageBoxInfo& box, int id) {
    HWND button = GetDlgItem(box.window, id);
    return button && IsWindowVisible(button);
}

void Press(const MessageBoxInfo& box, int id) {
    PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box.window, id)));
    WaitFor([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); });
}

Bitmap::Bitmap(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    dc_ = CreateCompatibleDC(nullptr);
    if (!bitmap_ || !dc_) throw std::runtime_error("cannot create a bitmap");
    old_ = SelectObject(dc_, bitmap_);
    bits_ = static_cast<const unsigned char*>(bits);
}

Bitmap::Bitmap(Bitmap&& other) noexcept
    : width_(other.width_), height_(other.height_), dc_(other.dc_), bitmap_(other.bitmap_),
      old_(other.old_), bits_(other.bits_) {
    other.dc_ = nullptr;
    other.bitmap_ = nullptr;
}

Bitmap::~Bitmap() {
    if (dc_) {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    if (bitmap_) DeleteObject(bitmap_);
}

COLORREF Bitmap::Pixel(int x, int y) const {
    GdiFlush();
    const unsigned char* p = bits_ + (static_cast<size_t>(y) * width_ + x) * 4;
    return RGB(p[2], p[1], p[0]);
}

void Bitmap::SaveBmp(const std::string& path) const {
    GdiFlush();
    const DWORD imageSize = static_cast<DWORD>(width_) * height_ * 4;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width_;
    header.biHeight = -height_;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + imageSize;
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) throw std::runtime_error("cannot write " + path);
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&header, sizeof header, 1, out);
    std::fwrite(bits_, imageSize, 1, out);
    std::fclose(out);
}

Bitmap Screenshot(HWND window) {
    RECT rect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (window) rect = ScreenRect(window);
    Bitmap shot(rect.right - rect.left, rect.bottom - rect.top);
    HDC screen = GetDC(nullptr);
    BitBlt(shot.Dc(), 0, 0, shot.Width(), shot.Height(), screen, rect.left, rect.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return shot;
}

} // namespace testbed
