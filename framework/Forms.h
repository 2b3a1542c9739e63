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
    // The keyboard of a dialog, in one place: the message loop hands every key message of the
    // form's windows here before translating it, and drops it when this returns true. Tab and
    // the arrow keys move the focus and Enter and Esc go to the default and cancel buttons
    // unless the focused window's dialog code wants them; Alt+letter, or the letter alone on a
    // control that takes no characters, goes to the control whose caption marks it with "&".
    bool DialogMessage(const MSG& message);
    // Tab and the arrow keys move the focus; Enter and Esc are offered to the form's controls.
    bool DialogKey(WORD key);
    // A mnemonic offered to the form's controls; true when one took it.
    bool DialogChar(char key);
    // Moves the focus to the next (or previous) tab stop.
    void SelectNext(bool forward);
    // Moves the focus to the first tab stop after the control in tab order (for a group box,
    // the first one inside it).
    void SelectNextAfter(TWinControl* control);
    // The focusable tab stops of the form, nested ones included, in tab order.
    std::vector<TWinControl*> TabStops();

    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint() override;

private:
    void ShowWindowNow();
    // Every control of the form that can take the focus, tab stop or not, in tab order.
    std::vector<TWinControl*> FocusOrder();
    // Offers a framework message to every control of the form until one takes it.
    bool Offer(UINT message, WPARAM wParam);
    TModalResult modalResult_ = mrNone;
    bool modal_ = false;
    HWND lastFocus_ = nullptr; // the focused control when the form was last deactivated
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

    // Shows the application's window (its task-bar button) and the main form, and handles
    // messages until the main form closes.
    void Run();
    // Minimises the application: its window goes to the task bar and its forms and message
    // boxes are hidden until it is restored.
    void Minimize();
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
    // The visible windows the application's window owns, directly or further down, topmost
    // first.
    std::vector<HWND> OwnedWindowsShown() const;
    // The topmost of them that takes input, or null.
    HWND TopWindow() const;
    void HideOwnedWindows();
    void ShowOwnedWindows();
    friend class TForm;
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
    std::string title_;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    bool comInitialized_ = false;
    std::vector<HWND> hiddenWindows_; // the windows a minimise hid, topmost first
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
