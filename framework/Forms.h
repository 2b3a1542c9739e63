// Forms, the application object and the screen cursor.
#pragma once
#include "Controls.h"

#include <exception>
#include <functional>
#include <string>
#include <vector>

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrYes = IDYES, mrNo = IDNO;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog };
enum class TPosition { poDesigned, poScreenCenter };
enum class TCloseAction { caNone, caHide, caFree };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

class TForm : public TCustomControl {
public:
    explicit TForm(TComponent* AOwner);

    TFormBorderStyle BorderStyle = TFormBorderStyle::bsSizeable;
    TPosition Position = TPosition::poDesigned;
    TWinControl* ActiveControl = nullptr; // focused when the form is shown

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnDestroy;
    TCloseEvent OnClose;
    TNotifyEvent OnPaint;

    // Sizes the window so that its client area has this size.
    void SetClientSize(int width, int height);
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult result) { modalResult_ = result; }

    void Show();
    void Hide();
    // Runs the form in a nested message loop, with the application's other windows disabled,
    // until a modal result is set; the close box and Esc give mrCancel.
    TModalResult ShowModal();
    void Close();
    // Destroys the form once the messages now queued for it have been handled.
    void Release();

    // Called by the application once the design has been built: every component finishes
    // loading, then OnCreate.
    void AfterConstruction();
    void BeforeDestruction() override;
    // Tab and the arrow keys move the focus; Enter and Esc are offered to the form's controls.
    // The message loop offers a key here unless the focused window's dialog code wants it.
    bool DialogKey(WORD key);
    // Moves the focus to the next (or previous) tab stop.
    void SelectNext(bool forward);
    // The focusable tab stops of the form, nested ones included, in tab order.
    std::vector<TWinControl*> TabStops();

    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint() override;

private:
    void ShowWindowNow();
    TModalResult modalResult_ = mrNone;
    bool modal_ = false;
};

// Disables the thread's visible, enabled top-level windows (all but one) for its lifetime,
// as modal forms and message boxes do, and enables them again afterwards.
class TTaskWindowsDisabled {
public:
    explicit TTaskWindowsDisabled(HWND except = nullptr);
    TTaskWindowsDisabled(const TTaskWindowsDisabled&) = delete;
    TTaskWindowsDisabled& operator=(const TTaskWindowsDisabled&) = delete;
    ~TTaskWindowsDisabled();

private:
    std::vector<HWND> disabled_;
};

using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;
using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Initialises COM for this thread (single-threaded apartment) for the shell's objects.
    void Initialize();
    HWND Handle() const { return handle_; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title);
    TForm* MainForm() const { return mainForm_; }

    // Creates a form owned by the application; the first one becomes the main form.
    template <class Form> Form* CreateForm() {
        auto* form = new Form(this);
        form->AfterConstruction();
        if (!mainForm_) mainForm_ = form;
        return form;
    }

    // Shows the main form and handles messages until it closes.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Handles one message, or calls the idle handler and waits when there is none.
    void HandleMessage();
    void ProcessMessages();

    void HandleException(TObject* sender, const std::exception& error);
    // The error display: the message, with "." appended when its last character sorts after
    // ".", in an error box owned by the application.
    void ShowException(const std::exception& error);
    // A message box owned by the application's window with the other windows disabled.
    int MessageBox(const std::string& text, const std::string& caption, UINT flags);

    TIdleEvent OnIdle;
    TExceptionEvent OnException;

private:
    bool ProcessMessage();
    void Idle();
    void FormDestroyed(TForm* form);
    friend class TForm;

    HWND handle_ = nullptr;
    std::string title_;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    bool comInitialized_ = false;
};

// The text of an exception as the error display shows it.
std::string ErrorDisplayText(const std::string& message);

enum TCursor : int { crDefault = 0, crArrow = -2, crHourGlass = -11 };

class TScreen {
public:
    TCursor Cursor() const { return cursor_; }
    // The application-wide cursor; crDefault gives every window its own again.
    void SetCursor(TCursor cursor);

private:
    TCursor cursor_ = crDefault;
};

extern TApplication* Application;
extern TScreen* Screen;
