// The progress window of UNLHA32.DLL, built in code: a small window class and four controls.
#include "ProgressWindow.h"

#include "SystemLibrary.h"

#include <commctrl.h>

extern "C" IMAGE_DOS_HEADER __ImageBase; // this DLL's module

namespace {

HINSTANCE module() {
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

constexpr int kClientWidth = 360;
constexpr int kClientHeight = 120;
constexpr int kMargin = 12;
constexpr int kBarSteps = 1000;
// Texts and bar change at most this often (ms): thousands of small files pass quickly.
constexpr DWORD kDrawInterval = 50;

} // namespace

ProgressWindow::ProgressWindow(HWND owner, const char* title, const std::string& archive)
    // A control's window stands for the top-level window it sits in: that one is disabled,
    // or the user could close it, and this window with it, while the work goes on.
    : owner_(owner != nullptr ? GetAncestor(owner, GA_ROOT) : nullptr) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = module();
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExA(&windowClass); // fails harmlessly when another call has it registered

    InitCommonControlsFromSystem(ICC_PROGRESS_CLASS);

    constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT over{};
    if (owner_ == nullptr || !GetWindowRect(owner_, &over))
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &over, 0);
    const int x = over.left + (over.right - over.left - width) / 2;
    const int y = over.top + (over.bottom - over.top - height) / 2;
    window_ = CreateWindowExA(kExStyle, kClassName, title, kStyle, x, y, width, height, owner_,
                              nullptr, module(), this);
    if (window_ == nullptr) return;

    const std::string archiveText = "Archive: " + archive;
    constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS;
    addControl("STATIC", archiveText.c_str(), kLabel, kMargin, 12, kClientWidth - 2 * kMargin, 16,
               -1);
    fileLabel_ = addControl("STATIC", "", kLabel, kMargin, 34, kClientWidth - 2 * kMargin, 16, -1);
    bar_ = addControl(PROGRESS_CLASSA, "", 0, kMargin, 56, kClientWidth - 2 * kMargin, 18, -1);
    SendMessageA(bar_, PBM_SETRANGE32, 0, kBarSteps);
    cancelButton_ = addControl("BUTTON", "Cancel", BS_DEFPUSHBUTTON | WS_TABSTOP,
                               (kClientWidth - 84) / 2, 86, 84, 24, IDCANCEL);

    if (owner_ != nullptr && IsWindowEnabled(owner_)) {
        EnableWindow(owner_, FALSE);
        ownerDisabled_ = true;
    }
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    pump();
}

ProgressWindow::~ProgressWindow() {
    // The owner first, so that it gets the activation back when the window goes.
    if (ownerDisabled_) EnableWindow(owner_, TRUE);
    if (window_ != nullptr) DestroyWindow(window_);
    // A DLL's window classes outlive it unless it removes them.
    UnregisterClassA(kClassName, module());
    if (quit_) PostQuitMessage(quitCode_);
}

HWND ProgressWindow::addControl(const char* className, const char* text, DWORD style, int x, int y,
                                int width, int height, int id) {
    const HWND control = CreateWindowExA(
        0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), module(), nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    return control;
}

LRESULT CALLBACK ProgressWindow::procedure(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message == WM_NCCREATE) {
        // From here on the object handles the window's messages, creation included.
        auto* self = static_cast<ProgressWindow*>(
            reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT ProgressWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) cancel();
        return 0;
    case WM_CLOSE: cancel(); return 0;
    default: return DefWindowProcA(window_, message, wParam, lParam);
    }
}

void ProgressWindow::cancel() {
    if (cancelled_) return;
    cancelled_ = true;
    EnableWindow(cancelButton_, FALSE);
    SetWindowTextA(fileLabel_, "Cancelling after this file...");
}

void ProgressWindow::update(std::string_view entry, std::uint64_t done, std::uint64_t total) {
    const DWORD now = GetTickCount();
    if (window_ != nullptr && !cancelled_ && now - lastDrawn_ >= kDrawInterval) {
        lastDrawn_ = now;
        SetWindowTextA(fileLabel_, std::string(entry).c_str());
        const auto position = total == 0 ? 0 : static_cast<WPARAM>(done * kBarSteps / total);
        SendMessageA(bar_, PBM_SETPOS, position, 0);
    }
    pump();
}

void ProgressWindow::pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit_ = true;
            quitCode_ = static_cast<int>(message.wParam);
            cancel();
            return;
        }
        if (window_ == nullptr || !IsDialogMessageA(window_, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}
