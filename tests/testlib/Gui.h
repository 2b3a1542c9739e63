// Finding and driving the windows of a program under test: texts, styles, bounds, clicks,
// message boxes and screenshots.
#pragma once
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace testbed {

// Visible top-level windows of a process (all of them when pid is 0).
std::vector<HWND> TopWindows(DWORD pid);
// The first visible top-level window of the process with this class (empty: any) and caption
// (empty: any); null when none appears within the timeout.
HWND WaitTopWindow(DWORD pid, const std::string& className, const std::string& caption = "",
                   DWORD timeoutMs = 20000);
// Direct and deeper children of parent in Z order.
std::vector<HWND> Children(HWND parent);
HWND FindChild(HWND parent, const std::string& className, const std::string& text = "");

std::string ClassOf(HWND window);
std::string TextOf(HWND window);
LONG StyleOf(HWND window);
bool IsEnabled(HWND window);
RECT ScreenRect(HWND window);
// The window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND window);
RECT ClientRect(HWND window);

// Presses a push button, check box or radio button as a click would.
void Click(HWND button);
// Sends a left click at a point of the window's client area through the window's messages.
void ClickAt(HWND window, int x, int y);
void PressKey(HWND window, WORD virtualKey);
// Types a key as the user's keyboard does, through the system's input to whichever window has
// the focus: the keys are pressed in order and released in reverse order ({VK_MENU, 'C'} is
// Alt+C).
void TypeKeys(std::initializer_list<WORD> keys);
void CloseWindow(HWND window); // the close box

struct MessageBoxInfo {
    HWND window = nullptr;
    HWND owner = nullptr;
    std::string caption;
    std::string text;
    UINT icon = 0; // MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION or 0
    explicit operator bool() const { return window != nullptr; }
};
// The next message box of the process; an empty result after the timeout.
MessageBoxInfo WaitMessageBox(DWORD pid, DWORD timeoutMs = 20000);
bool HasButton(const MessageBoxInfo& box, int id);
// Presses the box's button with this standard id (IDOK, IDCANCEL, IDYES, IDNO).
void Press(const MessageBoxInfo& box, int id);

// A 32-bit top-down DIB section selected into its own memory device context, for rendering
// controls into and for screenshots.
class Bitmap {
public:
    Bitmap(int width, int height);
    Bitmap(Bitmap&& other) noexcept;
    Bitmap& operator=(Bitmap&&) = delete;
    Bitmap(const Bitmap&) = delete;
    ~Bitmap();

    int Width() const { return width_; }
    int Height() const { return height_; }
    HDC Dc() const { return dc_; }
    COLORREF Pixel(int x, int y) const;
    void SaveBmp(const std::string& path) const;

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    const unsigned char* bits_ = nullptr;
};
// What the screen shows of the window (null: the whole screen).
Bitmap Screenshot(HWND window);
// Whether a screenshot shows the icon at its top left corner, at 32x32.
bool ShowsIcon(const Bitmap& shown, HICON icon);

} // namespace testbed
