// Forms, the application object with its message loop, and the screen cursor.
#include "Forms.h"

#include "PathRules.h"

#include <objbase.h>

#include <algorithm>

TApplication* Application = nullptr;
namespace {
TScreen screenObject;
}
TScreen* Screen = &screenObject;

void ApplicationHandleException(TObject* sender, const std::exception& error) {
    if (Application) Application->HandleException(sender, error);
}

HCURSOR ScreenCursorHandle() {
    switch (Screen->Cursor()) {
    case crHourGlass: return LoadCursorA(nullptr, IDC_WAIT);
    case crArrow: return LoadCursorA(nullptr, IDC_ARROW);
    case crDefault: break;
    }
    return nullptr;
}

void TScreen::SetCursor(TCursor cursor) {
    cursor_ = cursor;
    if (HCURSOR handle = ScreenCursorHandle()) {
        ::SetCursor(handle);
        return;
    }
    // Back to the default: let the window under the mouse choose its cursor again.
    POINT at;
    GetCursorPos(&at);
    if (HWND window = WindowFromPoint(at)) {
        const LRESULT hit = SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y));
        SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                     MAKELPARAM(hit, WM_MOUSEMOVE));
    }
}

// ---- TTaskWindowsDisabled ----

namespace {

struct ThreadWindowsRequest {
    const std::function<bool(HWND)>& wanted;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectThreadWindow(HWND window, LPARAM data) {
    auto* request = reinterpret_cast<ThreadWindowsRequest*>(data);
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId() &&
        IsWindowVisible(window) && request->wanted(window))
        request->found.push_back(window);
    return TRUE;
}

// The visible top-level windows of this thread that pass the filter, topmost first.
std::vector<HWND> ThreadWindows(const std::function<bool(HWND)>& wanted) {
    ThreadWindowsRequest request{wanted, {}};
    EnumWindows(CollectThreadWindow, reinterpret_cast<LPARAM>(&request));
    return request.found;
}

} // namespace

TTaskWindowsDisabled::TTaskWindowsDisabled(HWND except) {
    // The application's window stays enabled: its task-bar button still minimises and restores.
    disabled_ = ThreadWindows([except](HWND window) {
        return window != except && !(Application && window == Application->Handle()) &&
               IsWindowEnabled(window);
    });
    for (HWND window : disabled_)
        EnableWindow(window, FALSE);
}

TTaskWindowsDisabled::~TTaskWindowsDisabled() {
    for (HWND window : disabled_)
        if (IsWindow(window)) EnableWindow(window, TRUE);
}

// ---- TForm ----

TForm::TForm(TComponent* AOwner) : TCustomControl(AOwner) {
    TControl::SetVisible(false);
    SetColor(clBtnFace);
}

void TForm::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.Style = WS_CLIPCHILDREN | WS_POPUP;
    params.ExStyle = 0;
    switch (BorderStyle) {
    case TFormBorderStyle::bsNone: break;
    case TFormBorderStyle::bsSingle:
        params.Style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_BORDER;
        break;
    case TFormBorderStyle::bsSizeable: params.Style |= WS_OVERLAPPEDWINDOW; break;
    case TFormBorderStyle::bsDialog:
        params.Style |= WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        params.ExStyle |= WS_EX_DLGMODALFRAME;
        break;
    }
    params.WndParent = Application ? Application->Handle() : nullptr;
    params.ClassStyle |= CS_DBLCLKS;
}

void TForm::SetClientSize(int width, int height) {
    TCreateParams params;
    CreateParams(params);
    RECT rect{0, 0, width, height};
    AdjustWindowRectEx(&rect, params.Style, FALSE, params.ExStyle);
    SetBounds(Left(), Top(), rect.right - rect.left, rect.bottom - rect.top);
}

void TForm::AfterConstruction() {
    for (TComponent* component : Components())
        component->Loaded();
    Loaded();
    if (OnCreate) OnCreate(this);
}

void TForm::BeforeDestruction() {
    if (OnDestroy) OnDestroy(this);
    if (Application) Application->FormDestroyed(this);
}

void TForm::ShowWindowNow() {
    if (Position == TPosition::poScreenCenter)
        SetBounds((GetSystemMetrics(SM_CXSCREEN) - Width()) / 2,
                  (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2, Width(), Height());
    HandleNeeded();
    if (OnShow) OnShow(this);
    TControl::SetVisible(true);
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    TWinControl* focus = ActiveControl;
    if (!focus) {
        const std::vector<TWinControl*> stops = TabStops();
        if (!stops.empty()) focus = stops.front();
    }
    if (focus && focus->CanFocus())
        focus->SetFocus();
    else
        ::SetFocus(Handle());
}

void TForm::Show() {
    ShowWindowNow();
}

void TForm::Hide() {
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
    TControl::SetVisible(false);
    if (OnHide) OnHide(this);
}

TModalResult TForm::ShowModal() {
    if (Visible()) throw Exception("Cannot make a visible window modal");
    ReleaseCapture();
    HWND active = GetActiveWindow();
    modalResult_ = mrNone;
    {
        // Ends the modal state also when a handler's error leaves the loop.
        struct ModalState {
            TForm& form;
            ~ModalState() {
                form.modal_ = false;
                form.Hide();
            }
        } state{*this};
        TTaskWindowsDisabled disabled;
        modal_ = true;
        ShowWindowNow();
        while (modalResult_ == mrNone) {
            Application->HandleMessage();
            if (Application->Terminated()) modalResult_ = mrCancel;
        }
    }
    if (active && IsWindow(active)) SetActiveWindow(active);
    return modalResult_;
}

void TForm::Close() {
    if (modal_) {
        modalResult_ = mrCancel;
        return;
    }
    TCloseAction action = TCloseAction::caHide;
    if (OnClose) OnClose(this, action);
    if (action == TCloseAction::caNone) return;
    if (Application && Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    if (action == TCloseAction::caHide)
        Hide();
    else
        Release();
}

void TForm::Release() {
    if (HandleAllocated()) PostMessageA(Handle(), CM_RELEASE, 0, 0);
}

void TForm::Paint() {
    if (OnPaint) OnPaint(this);
}

namespace {

// Focuses a control reached by the keyboard; an edit box then has its whole text selected, as in
// the system's dialogs.
void SelectControl(TWinControl* control) {
    control->SetFocus();
    if (SendMessageA(control->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        SendMessageA(control->Handle(), EM_SETSEL, 0, -1);
}

} // namespace

std::vector<TWinControl*> TForm::FocusOrder() {
    std::vector<TWinControl*> order;
    std::function<void(TWinControl*)> collect = [&](TWinControl* parent) {
        for (TWinControl* control : parent->TabList()) {
            if (!control->CanFocus()) continue;
            order.push_back(control);
            collect(control);
        }
    };
    collect(this);
    return order;
}

std::vector<TWinControl*> TForm::TabStops() {
    std::vector<TWinControl*> stops = FocusOrder();
    std::erase_if(stops, [](TWinControl* control) { return !control->TabStop; });
    return stops;
}

void TForm::SelectNext(bool forward) {
    const std::vector<TWinControl*> stops = TabStops();
    if (stops.empty()) return;
    size_t at = 0;
    while (at < stops.size() && !stops[at]->Focused())
        ++at;
    if (at == stops.size()) at = forward ? stops.size() - 1 : 0;
    const size_t next = forward ? (at + 1) % stops.size() : (at + stops.size() - 1) % stops.size();
    SelectControl(stops[next]);
}

void TForm::SelectNextAfter(TWinControl* control) {
    const std::vector<TWinControl*> order = FocusOrder();
    const auto at = std::find(order.begin(), order.end(), control);
    if (at == order.end()) return;
    // The first tab stop after the control in tab order, round to the start after the last.
    for (size_t step = 1; step < order.size(); ++step) {
        TWinControl* next = order[(at - order.begin() + step) % order.size()];
        if (next->TabStop) {
            SelectControl(next);
            return;
        }
    }
}

bool TForm::Offer(UINT message, WPARAM wParam) {
    std::function<bool(TWinControl*)> offer = [&](TWinControl* parent) {
        for (TControl* control : parent->Controls()) {
            if (control->Perform(message, wParam)) return true;
            if (auto* windowed = dynamic_cast<TWinControl*>(control); windowed && offer(windowed))
                return true;
        }
        return false;
    };
    return offer(this);
}

bool TForm::DialogKey(WORD key) {
    switch (key) {
    case VK_TAB: SelectNext(!(KeyboardShiftState() & ssShift)); return true;
    case VK_LEFT:
    case VK_UP: SelectNext(false); return true;
    case VK_RIGHT:
    case VK_DOWN: SelectNext(true); return true;
    case VK_RETURN:
    case VK_ESCAPE: return Offer(CM_DIALOGKEY, key);
    }
    return false;
}

bool TForm::DialogChar(char key) {
    return Offer(CM_DIALOGCHAR, static_cast<BYTE>(key));
}

namespace {

LRESULT DialogCode(const MSG& message) {
    return SendMessageA(message.hwnd, WM_GETDLGCODE, message.wParam,
                        reinterpret_cast<LPARAM>(&message));
}

// Whether the window a key went to asks through its dialog code to handle that key itself
// instead of letting it move the focus or press a default or cancel button.
bool WantsDialogKey(const MSG& message) {
    LRESULT wanted = DLGC_WANTMESSAGE;
    switch (message.wParam) {
    case VK_TAB: wanted |= DLGC_WANTTAB; break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: wanted |= DLGC_WANTARROWS; break;
    case VK_RETURN:
    case VK_ESCAPE: wanted |= DLGC_WANTALLKEYS; break;
    default: return false;
    }
    return DialogCode(message) & wanted;
}

} // namespace

bool TForm::DialogMessage(const MSG& message) {
    switch (message.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        // The keyboard is in use: from now on the form shows the focus and the marked letters,
        // which the system hides until then when its keyboard cues are off.
        if (HandleAllocated())
            SendMessageA(Handle(), WM_CHANGEUISTATE,
                         MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
        return message.message == WM_KEYDOWN && !WantsDialogKey(message) &&
               DialogKey(static_cast<WORD>(message.wParam));
    case WM_CHAR:
        // A letter typed on a control that takes no characters (a button, a check box, the path
        // box) selects by mnemonic, as with Alt.
        if (DialogCode(message) & (DLGC_WANTCHARS | DLGC_WANTMESSAGE)) return false;
        return DialogChar(static_cast<char>(message.wParam));
    case WM_SYSCHAR: return DialogChar(static_cast<char>(message.wParam));
    }
    return false;
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE: Close(); return 0;
    case CM_RELEASE: Free(this); return 0;
    case WM_ACTIVATE:
        // The focus goes back to the control that had it when the form was last left (for
        // another window or hidden by a minimise), as in the system's dialogs.
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (HWND focus = GetFocus(); focus && IsChild(Handle(), focus)) lastFocus_ = focus;
        } else if (lastFocus_ && IsChild(Handle(), lastFocus_) && IsWindowEnabled(lastFocus_) &&
                   IsWindowVisible(lastFocus_)) {
            ::SetFocus(lastFocus_);
            return 0;
        }
        break;
    case WM_SYSCOMMAND:
        // A form minimises the whole application, as its task-bar button does.
        if ((wParam & 0xFFF0) == SC_MINIMIZE && Application) {
            Application->Minimize();
            return 0;
        }
        break;
    }
    return TCustomControl::WndProc(message, wParam, lParam);
}

// ---- TApplication ----

LRESULT CALLBACK TApplication::WindowProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
    if (!Application) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_CLOSE:
        if (TForm* main = Application->MainForm()) main->Close();
        return 0;
    case WM_SYSCOMMAND:
        // Done here also while a message box has disabled the window, which the system's
        // handling refuses: the task-bar button works whatever is open.
        switch (wParam & 0xFFF0) {
        case SC_MINIMIZE: Application->Minimize(); return 0;
        case SC_RESTORE: ShowWindow(window, SW_RESTORE); return 0;
        }
        break;
    case WM_SIZE:
        // However the window was minimised or restored (its task-bar button, the system menu, a
        // form's minimise box), its forms follow it.
        if (wParam == SIZE_MINIMIZED) Application->HideOwnedWindows();
        if (wParam == SIZE_RESTORED) Application->ShowOwnedWindows();
        break;
    case WM_SETFOCUS:
        // The window itself has nothing to type into: once the activation that brought the
        // focus here is over, it goes on to the topmost window of the application.
        PostMessageA(window, CM_ACTIVATE, 0, 0);
        return 0;
    case CM_ACTIVATE:
        if (HWND top = Application->TopWindow(); top && GetActiveWindow() == window)
            SetActiveWindow(top);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TApplication::TApplication() : TComponent(nullptr) {
    Application = this;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hIcon = LoadIconA(windowClass.hInstance, "MAINICON");
    windowClass.lpszClassName = "TApplication";
    RegisterClassA(&windowClass);
    // The window that owns the forms and the message boxes and carries the task-bar button:
    // without an owner of its own it gets the button; of zero size and off every screen it is
    // never seen (Wine gives even a zero-size window a host window when it lies on the screen).
    handle_ = CreateWindowExA(0, "TApplication", "",
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                              GetSystemMetrics(SM_XVIRTUALSCREEN) - 1000,
                              GetSystemMetrics(SM_YVIRTUALSCREEN) - 1000, 0, 0, nullptr, nullptr,
                              windowClass.hInstance, nullptr);
}

TApplication::~TApplication() {
    while (!Components().empty())
        Free(Components().back());
    if (handle_) DestroyWindow(handle_);
    if (comInitialized_) CoUninitialize();
    Application = nullptr;
}

void TApplication::Initialize() {
    comInitialized_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

void TApplication::SetTitle(const std::string& title) {
    title_ = title;
    SetWindowTextA(handle_, title.c_str());
}

void TApplication::Run() {
    ShowWindow(handle_, SW_SHOWNA);
    if (mainForm_) mainForm_->Show();
    while (!terminated_)
        HandleMessage();
}

void TApplication::Terminate() {
    PostQuitMessage(0);
}

void TApplication::Minimize() {
    ShowWindow(handle_, SW_MINIMIZE);
}

void TApplication::HideOwnedWindows() {
    // Enumerated from the top of the Z order down; any shown while minimised lie above the
    // ones hidden before.
    const std::vector<HWND> shown = OwnedWindowsShown();
    for (HWND window : shown)
        ShowWindow(window, SW_HIDE);
    hiddenWindows_.insert(hiddenWindows_.begin(), shown.begin(), shown.end());
}

void TApplication::ShowOwnedWindows() {
    // From the bottom up, so that each comes back above the ones it was above.
    for (auto window = hiddenWindows_.rbegin(); window != hiddenWindows_.rend(); ++window)
        if (IsWindow(*window)) ShowWindow(*window, SW_SHOWNA);
    hiddenWindows_.clear();
    // The restored window keeps the activation it may already have had: hand it on.
    PostMessageA(handle_, CM_ACTIVATE, 0, 0);
}

std::vector<HWND> TApplication::OwnedWindowsShown() const {
    return ThreadWindows([this](HWND window) {
        return window != handle_ && GetAncestor(window, GA_ROOTOWNER) == handle_;
    });
}

HWND TApplication::TopWindow() const {
    const std::vector<HWND> shown = OwnedWindowsShown();
    const auto top = std::find_if(shown.begin(), shown.end(), IsWindowEnabled);
    return top == shown.end() ? nullptr : *top;
}

void TApplication::FormDestroyed(TForm* form) {
    if (form == mainForm_) mainForm_ = nullptr;
}

bool TApplication::ProcessMessage() {
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return false;
    if (message.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) {
        auto* form =
            dynamic_cast<TForm*>(TWinControl::FindControl(GetAncestor(message.hwnd, GA_ROOT)));
        if (form && form->DialogMessage(message)) return true;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return true;
}

void TApplication::Idle() {
    bool done = true;
    if (OnIdle) {
        try {
            OnIdle(this, done);
        } catch (const std::exception& error) {
            HandleException(this, error);
        }
    }
    if (done && !terminated_) WaitMessage();
}

void TApplication::HandleMessage() {
    if (!ProcessMessage()) Idle();
}

void TApplication::ProcessMessages() {
    while (ProcessMessage()) {
    }
}

void TApplication::HandleException(TObject* sender, const std::exception& error) {
    if (OnException)
        OnException(sender, error);
    else
        ShowException(error);
}

std::string ErrorDisplayText(const std::string& message) {
    if (!message.empty() && LastChar(message) > ".") return message + ".";
    return message;
}

void TApplication::ShowException(const std::exception& error) {
    MessageBox(ErrorDisplayText(error.what()), title_, MB_OK | MB_ICONERROR);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
    HWND active = GetActiveWindow();
    int result;
    {
        TTaskWindowsDisabled disabled;
        result = ::MessageBoxA(handle_, text.c_str(), caption.c_str(), flags);
    }
    if (active && IsWindow(active)) SetActiveWindow(active);
    return result;
}
