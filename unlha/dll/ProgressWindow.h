// The progress window of UNLHA32.DLL: the archive, the current file, a progress bar and a
// Cancel button. It lives on the caller's thread, which it keeps responsive by dispatching the
// thread's pending messages whenever the job reports progress (between files and about once
// per megabyte within big files), so the caller's windows go on painting.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <windows.h>

class ProgressWindow {
public:
    // Window class of the progress window, for tests that look for it.
    static constexpr const char* kClassName = "UnlhaProgress";

    // Shows the window over `owner` (may be null, or a control in the window meant), which
    // stays disabled while it is up.
    ProgressWindow(HWND owner, const char* title, const std::string& archive);
    ~ProgressWindow();
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    // Shows the entry and how far the work is, then dispatches pending messages.
    void update(std::string_view entry, std::uint64_t done, std::uint64_t total);
    // True once the user pressed Cancel, closed the window or the thread was told to quit.
    bool cancelled() const { return cancelled_; }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    HWND addControl(const char* className, const char* text, DWORD style, int x, int y, int width,
                    int height, int id);
    void cancel();
    void pump();

    HWND owner_;
    bool ownerDisabled_ = false; // we disabled the owner and enable it again at the end
    HWND window_ = nullptr;
    HWND fileLabel_ = nullptr;
    HWND bar_ = nullptr;
    HWND cancelButton_ = nullptr;
    bool cancelled_ = false;
    bool quit_ = false; // a WM_QUIT was taken from the queue; it is posted again at the end
    int quitCode_ = 0;
    DWORD lastDrawn_ = 0; // tick count of the last update of the texts and the bar
};
