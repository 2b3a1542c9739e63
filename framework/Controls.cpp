// Control classes: bounds, visibility, fonts and colours, mouse rules, window creation and the
// one window procedure.
#include "Controls.h"

#include <windowsx.h>

#include <algorithm>
#include <map>

namespace {

// The control whose window is being made: it receives the messages that arrive before
// CreateWindowEx returns.
thread_local TWinControl* creatingControl = nullptr;
const char* const kControlProperty = "LumControl";

// The procedure each registered class hands unhandled messages to.
std::map<std::string, WNDPROC>& ClassProcedures() {
    static std::map<std::string, WNDPROC> procedures;
    return procedures;
}

bool IsMouseMessage(UINT message) {
    return message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK;
}

} // namespace

TShiftState ShiftStateOf(WPARAM keyFlags) {
    TShiftState shift = 0;
    if (keyFlags & MK_SHIFT) shift |= ssShift;
    if (keyFlags & MK_CONTROL) shift |= ssCtrl;
    if (keyFlags & MK_LBUTTON) shift |= ssLeft;
    if (keyFlags & MK_RBUTTON) shift |= ssRight;
    if (keyFlags & MK_MBUTTON) shift |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
    return shift;
}

bool IsAccel(char key, const std::string& caption) {
    for (size_t at = 0; at + 1 < caption.size(); ++at) {
        if (IsDBCSLeadByte(static_cast<BYTE>(caption[at]))) {
            ++at;
        } else if (caption[at] == '&') {
            if (caption[++at] == '&') continue;
            char marked[] = {caption[at], '\0'}, typed[] = {key, '\0'};
            CharUpperA(marked);
            CharUpperA(typed);
            return marked[0] == typed[0];
        }
    }
    return false;
}

TShiftState KeyboardShiftState() {
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
    return shift;
}

// ---- TControl ----

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
    font_.OnChange = [this] { Perform(CM_FONTCHANGED); };
}

TControl::~TControl() {
    if (parent_) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent_) parent_->RemoveControl(this);
    if (parent) parent->InsertControl(this);
}

void TControl::ParentChanged() {
    if (!parent_) return;
    if (parentFont_ && !(font_ == parent_->Font())) {
        font_.Assign(parent_->Font());
        parentFont_ = true; // Assign reported a change, which is not the user's choice
    }
    if (parentColor_) color_ = parent_->Color();
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    Invalidate();
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Invalidate();
}

void TControl::SetAlign(TAlign align) {
    align_ = align;
    if (parent_) parent_->AlignControls();
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    if (parent_) parent_->InvalidateRectOf(this);
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    Perform(CM_TEXTCHANGED);
}

void TControl::SetColor(TColor color) {
    parentColor_ = false;
    if (color == color_) return;
    color_ = color;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool parentColor) {
    parentColor_ = parentColor;
    if (parentColor) ParentChanged();
    Invalidate();
}

void TControl::SetParentFont(bool parentFont) {
    parentFont_ = parentFont;
    if (parentFont) ParentChanged();
}

void TControl::Invalidate() {
    if (parent_) parent_->InvalidateRectOf(this);
}

void TControl::Repaint() {
    Invalidate();
    if (parent_) parent_->Update();
}

bool TControl::MouseCapture() const {
    if (auto* self = dynamic_cast<const TWinControl*>(this))
        return self->handle_ && GetCapture() == self->handle_;
    return parent_ && parent_->captureControl_ == this && GetCapture() == parent_->handle_;
}

void TControl::SetMouseCapture(bool capture) {
    if (capture == MouseCapture()) return;
    if (auto* self = dynamic_cast<TWinControl*>(this)) {
        if (capture)
            SetCapture(self->Handle());
        else
            ReleaseCapture();
    } else if (parent_) {
        parent_->captureControl_ = capture ? this : nullptr;
        if (capture)
            SetCapture(parent_->Handle());
        else
            ReleaseCapture();
    }
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

LRESULT TControl::DefaultHandler(UINT, WPARAM, LPARAM) {
    return 0;
}

LRESULT TControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsMouseMessage(message)) {
        // Without the double-click flag a second press is an ordinary press.
        if (!(ControlStyle & csDoubleClicks) &&
            (message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK ||
             message == WM_MBUTTONDBLCLK))
            message -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
        return MouseMessage(message, wParam, lParam);
    }
    switch (message) {
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
    case CM_COLORCHANGED: Invalidate(); return 0;
    case CM_FONTCHANGED: Invalidate(); return 0;
    }
    return DefaultHandler(message, wParam, lParam);
}

LRESULT TControl::MouseMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = DefaultHandler(message, wParam, lParam);
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    const TShiftState shift = ShiftStateOf(wParam);
    const bool capture = ControlStyle & csCaptureMouse;
    switch (message) {
    case WM_MOUSEMOVE: MouseMove(shift, x, y); break;
    case WM_LBUTTONDOWN:
        if (capture) SetMouseCapture(true);
        if (ControlStyle & csClickEvents) clicked_ = true;
        MouseDown(TMouseButton::mbLeft, shift, x, y);
        break;
    case WM_LBUTTONDBLCLK:
        if (capture) SetMouseCapture(true);
        if (ControlStyle & csClickEvents) DblClick();
        MouseDown(TMouseButton::mbLeft, shift | ssDouble, x, y);
        break;
    case WM_LBUTTONUP: {
        if (capture) SetMouseCapture(false);
        const RECT client = ClientRect();
        if (clicked_) {
            clicked_ = false;
            if (PtInRect(&client, POINT{x, y})) Click();
        }
        MouseUp(TMouseButton::mbLeft, shift, x, y);
        break;
    }
    case WM_RBUTTONDOWN: MouseDown(TMouseButton::mbRight, shift, x, y); break;
    case WM_RBUTTONDBLCLK: MouseDown(TMouseButton::mbRight, shift | ssDouble, x, y); break;
    case WM_RBUTTONUP: MouseUp(TMouseButton::mbRight, shift, x, y); break;
    case WM_MBUTTONDOWN: MouseDown(TMouseButton::mbMiddle, shift, x, y); break;
    case WM_MBUTTONDBLCLK: MouseDown(TMouseButton::mbMiddle, shift | ssDouble, x, y); break;
    case WM_MBUTTONUP: MouseUp(TMouseButton::mbMiddle, shift, x, y); break;
    }
    return result;
}

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    while (!controls_.empty())
        Free(controls_.back());
    DestroyHandle();
}

TWinControl* TWinControl::FindControl(HWND window) {
    return window ? static_cast<TWinControl*>(GetPropA(window, kControlProperty)) : nullptr;
}

HWND TWinControl::Handle() {
    // A parent without a window makes its own first, and with it the windows of its children,
    // this one among them.
    if (!handle_ && Parent() && !Parent()->HandleAllocated()) Parent()->HandleNeeded();
    if (!handle_) CreateWnd();
    return handle_;
}

void TWinControl::DestroyHandle() {
    if (!handle_) return;
    // Detach first: the window's last messages go to the class procedure, not to an object
    // that is being torn down.
    HWND window = handle_;
    RemovePropA(window, kControlProperty);
    handle_ = nullptr;
    for (TControl* control : controls_)
        if (auto* child = dynamic_cast<TWinControl*>(control)) child->DetachHandle();
    DestroyWindow(window);
}

void TWinControl::RecreateWnd() {
    if (!handle_) return;
    DestroyHandle();
    CreateWnd();
}

void TWinControl::DetachHandle() {
    if (!handle_) return;
    RemovePropA(handle_, kControlProperty);
    handle_ = nullptr;
    for (TControl* control : controls_)
        if (auto* child = dynamic_cast<TWinControl*>(control)) child->DetachHandle();
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.Caption = Text();
    params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (Visible()) params.Style |= WS_VISIBLE;
    if (!Enabled()) params.Style |= WS_DISABLED;
    if (TabStop) params.Style |= WS_TABSTOP;
    params.X = Left();
    params.Y = Top();
    params.Width = Width();
    params.Height = Height();
    params.WndParent = Parent() ? Parent()->Handle() : nullptr;
    params.ClassStyle = (ControlStyle & csDoubleClicks) ? CS_DBLCLKS : 0;
    params.WinClassName = ClassName();
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    auto& procedures = ClassProcedures();
    auto known = procedures.find(params.WinClassName);
    if (known == procedures.end()) {
        WNDCLASSA windowClass{};
        WNDPROC baseProcedure = DefWindowProcA;
        if (!params.BaseClassName.empty() &&
            GetClassInfoA(nullptr, params.BaseClassName.c_str(), &windowClass))
            baseProcedure = windowClass.lpfnWndProc;
        windowClass.style = params.ClassStyle | (windowClass.style & ~CS_DBLCLKS);
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = params.WinClassName.c_str();
        if (!windowClass.hCursor) windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = nullptr;
        RegisterClassA(&windowClass);
        known = procedures.emplace(params.WinClassName, baseProcedure).first;
    }
    defaultProc_ = known->second;
    creatingControl = this;
    HWND window = CreateWindowExA(
        params.ExStyle, params.WinClassName.c_str(), params.Caption.c_str(), params.Style, params.X,
        params.Y, params.Width, params.Height, params.WndParent, nullptr, instance, nullptr);
    creatingControl = nullptr;
    if (!window) throw Exception("cannot create the window " + params.WinClassName);
    CreateWindowHandle(params);
    for (TControl* control : controls_)
        if (auto* child = dynamic_cast<TWinControl*>(control)) child->HandleNeeded();
    AlignControls();
}

void TWinControl::CreateWindowHandle(const TCreateParams& params) {
    if (!params.BaseClassName.empty())
        DefaultHandler(WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
}

void TWinControl::InsertControl(TControl* control) {
    controls_.push_back(control);
    control->parent_ = this;
    control->ParentChanged();
    if (auto* child = dynamic_cast<TWinControl*>(control)) {
        if (child->tabOrder_ < 0) child->tabOrder_ = static_cast<int>(TabList().size()) - 1;
        if (handle_) child->HandleNeeded();
    }
    AlignControls();
    InvalidateRectOf(control);
}

void TWinControl::RemoveControl(TControl* control) {
    InvalidateRectOf(control);
    if (captureControl_ == control) captureControl_ = nullptr;
    if (mouseControl_ == control) mouseControl_ = nullptr;
    if (auto* child = dynamic_cast<TWinControl*>(control)) child->DestroyHandle();
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    control->parent_ = nullptr;
}

void TWinControl::SetTabOrder(int order) {
    tabOrder_ = order;
}

std::vector<TWinControl*> TWinControl::TabList() const {
    std::vector<TWinControl*> list;
    for (TControl* control : controls_)
        if (auto* child = dynamic_cast<TWinControl*>(control)) list.push_back(child);
    std::stable_sort(list.begin(), list.end(),
                     [](TWinControl* a, TWinControl* b) { return a->tabOrder_ < b->tabOrder_; });
    return list;
}

bool TWinControl::CanFocus() const {
    for (const TControl* control = this; control; control = control->Parent())
        if (!control->Visible() || !control->Enabled()) return false;
    return true;
}

void TWinControl::SetFocus() {
    ::SetFocus(Handle());
}

bool TWinControl::Focused() const {
    return handle_ && GetFocus() == handle_;
}

void TWinControl::SetCtl3D(bool ctl3D) {
    parentCtl3D_ = false;
    if (ctl3D == ctl3D_) return;
    ctl3D_ = ctl3D;
    Perform(CM_CTL3DCHANGED);
}

void TWinControl::SetParentCtl3D(bool parentCtl3D) {
    parentCtl3D_ = parentCtl3D;
    if (parentCtl3D) ParentChanged();
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    TControl::SetBounds(left, top, width, height);
    if (handle_) MoveWindow(handle_, Left(), Top(), Width(), Height(), TRUE);
    AlignControls();
}

RECT TWinControl::ClientRect() const {
    RECT rect{};
    if (handle_)
        GetClientRect(handle_, &rect);
    else
        rect = TControl::ClientRect();
    return rect;
}

void TWinControl::SetVisible(bool visible) {
    TControl::SetVisible(visible);
    if (handle_) ShowWindow(handle_, visible ? SW_SHOW : SW_HIDE);
}

void TWinControl::SetEnabled(bool enabled) {
    TControl::SetEnabled(enabled);
    if (handle_) EnableWindow(handle_, enabled);
}

void TWinControl::SetText(const std::string& text) {
    TControl::SetText(text);
    if (handle_) SetWindowTextA(handle_, text.c_str());
}

void TWinControl::Invalidate() {
    if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::InvalidateRectOf(TControl* control) {
    if (!handle_ || dynamic_cast<TWinControl*>(control)) return;
    const RECT bounds = control->BoundsRect();
    InvalidateRect(handle_, &bounds, TRUE);
}

void TWinControl::Repaint() {
    if (handle_)
        RedrawWindow(handle_, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TWinControl::Update() {
    if (handle_) UpdateWindow(handle_);
}

void TWinControl::AlignControls() {
    const RECT client = ClientRect();
    for (TControl* control : controls_)
        if (control->Align() == TAlign::alClient)
            control->SetBounds(0, 0, client.right - client.left, client.bottom - client.top);
}

void TWinControl::ParentChanged() {
    TControl::ParentChanged();
    if (parentCtl3D_ && Parent() && Parent()->ctl3D_ != ctl3D_) {
        ctl3D_ = Parent()->ctl3D_;
        Perform(CM_CTL3DCHANGED);
    }
    for (TControl* control : controls_)
        control->ParentChanged();
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
    if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
    if (OnKeyPress) OnKeyPress(this, key);
}

LRESULT TWinControl::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
    return handle_ ? CallWindowProcA(defaultProc_, handle_, message, wParam, lParam) : 0;
}

void TWinControl::PaintWindow(HDC dc) {
    DefaultHandler(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
}

void TWinControl::PaintControls(HDC dc) {
    for (TControl* control : controls_) {
        auto* graphic = dynamic_cast<TGraphicControl*>(control);
        const RECT bounds = control->BoundsRect();
        if (!graphic || !graphic->Visible() || !RectVisible(dc, &bounds)) continue;
        const int saved = SaveDC(dc);
        POINT origin;
        GetViewportOrgEx(dc, &origin);
        SetViewportOrgEx(dc, origin.x + bounds.left, origin.y + bounds.top, nullptr);
        IntersectClipRect(dc, 0, 0, graphic->Width(), graphic->Height());
        graphic->PaintOn(dc);
        RestoreDC(dc, saved);
    }
}

bool TWinControl::HasGraphicChildren() const {
    for (TControl* control : controls_)
        if (dynamic_cast<TGraphicControl*>(control)) return true;
    return false;
}

void TWinControl::PaintTo(HDC dc) {
    PaintWindow(dc);
    PaintControls(dc);
}

LRESULT TWinControl::PaintHandler(HDC given) {
    PAINTSTRUCT paint;
    HDC dc = given ? given : BeginPaint(handle_, &paint);
    PaintTo(dc);
    if (!given) EndPaint(handle_, &paint);
    return 0;
}

void TWinControl::EraseBackground(HDC dc) {
    HBRUSH brush = CreateSolidBrush(ColorToRGB(Color()));
    const RECT client = ClientRect();
    FillRect(dc, &client, brush);
    DeleteObject(brush);
}

bool TWinControl::SetCursorFromScreen() {
    HCURSOR cursor = ScreenCursorHandle();
    if (!cursor) return false;
    SetCursor(cursor);
    return true;
}

LRESULT TWinControl::Reflect(HWND child, UINT reflected, UINT message, WPARAM wParam,
                             LPARAM lParam) {
    TWinControl* control = FindControl(child);
    if (control && control != this) return control->WndProc(reflected, wParam, lParam);
    return DefaultHandler(message, wParam, lParam); // from a window of no control of ours
}

LRESULT TWinControl::RouteMouse(UINT message, WPARAM wParam, LPARAM lParam) {
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    TControl* target = captureControl_;
    if (!target) {
        for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
            const RECT bounds = (*it)->BoundsRect();
            if (dynamic_cast<TGraphicControl*>(*it) && (*it)->Visible() &&
                ((*it)->Enabled() || Designing()) && PtInRect(&bounds, at)) {
                target = *it;
                break;
            }
        }
    }
    if (message == WM_MOUSEMOVE && target != mouseControl_) {
        if (mouseControl_) mouseControl_->Perform(CM_MOUSELEAVE);
        mouseControl_ = target;
    }
    if (!target) return TControl::WndProc(message, wParam, lParam);
    return target->WndProc(message, wParam,
                           MAKELPARAM(at.x - target->Left(), at.y - target->Top()));
}

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsMouseMessage(message)) return RouteMouse(message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        if (defaultProc_ != DefWindowProcA && !HasGraphicChildren()) break;
        return PaintHandler(reinterpret_cast<HDC>(wParam));
    case WM_ERASEBKGND:
        // A system class paints its whole area, unless it is a frame that holds other controls.
        if (defaultProc_ != DefWindowProcA && !(ControlStyle & csAcceptsControls)) break;
        EraseBackground(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_SETCURSOR:
        if (SetCursorFromScreen()) return TRUE;
        break;
    case WM_COMMAND:
        if (lParam)
            return Reflect(reinterpret_cast<HWND>(lParam), CN_COMMAND, message, wParam, lParam);
        break;
    case WM_NOTIFY:
        return Reflect(reinterpret_cast<NMHDR*>(lParam)->hwndFrom, CN_NOTIFY, message, wParam,
                       lParam);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        if (auto* child = FindControl(reinterpret_cast<HWND>(lParam)); child && child != this)
            return child->WndProc(CN_CTLCOLOR, wParam, lParam);
        break;
    case WM_WINDOWPOSCHANGED: {
        const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (!(position->flags & SWP_NOSIZE) || !(position->flags & SWP_NOMOVE)) {
            RECT bounds;
            GetWindowRect(handle_, &bounds);
            // A popup's GetParent is its owner; its bounds are in screen coordinates.
            MapWindowPoints(HWND_DESKTOP, GetAncestor(handle_, GA_PARENT),
                            reinterpret_cast<POINT*>(&bounds), 2);
            TControl::SetBounds(bounds.left, bounds.top, bounds.right - bounds.left,
                                bounds.bottom - bounds.top);
            AlignControls();
        }
        break;
    }
    case WM_CAPTURECHANGED: captureControl_ = nullptr; break;
    case WM_MOUSELEAVE:
        if (mouseControl_) mouseControl_->Perform(CM_MOUSELEAVE);
        mouseControl_ = nullptr;
        break;
    case WM_SETFOCUS:
        if (OnEnter) OnEnter(this);
        break;
    case WM_KILLFOCUS:
        if (OnExit) OnExit(this);
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        WORD key = static_cast<WORD>(wParam);
        KeyDown(key, KeyboardShiftState());
        if (!key) return 0;
        break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        WORD key = static_cast<WORD>(wParam);
        KeyUp(key, KeyboardShiftState());
        if (!key) return 0;
        break;
    }
    case WM_CHAR: {
        char key = static_cast<char>(wParam);
        KeyPress(key);
        if (!key) return 0;
        return DefaultHandler(message, static_cast<BYTE>(key), lParam);
    }
    case CM_FONTCHANGED:
        if (handle_) DefaultHandler(WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
        for (TControl* control : controls_)
            control->ParentChanged();
        Invalidate();
        return 0;
    case CM_COLORCHANGED:
        for (TControl* control : controls_)
            control->ParentChanged();
        Invalidate();
        return 0;
    case CM_CTL3DCHANGED:
        for (TControl* control : controls_)
            control->ParentChanged();
        return 0;
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED: Invalidate(); return 0;
    }
    return DefaultHandler(message, wParam, lParam);
}

LRESULT CALLBACK TWinControl::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TWinControl* control = FindControl(window);
    if (!control && creatingControl) {
        control = creatingControl;
        creatingControl = nullptr;
        control->handle_ = window;
        SetPropA(window, kControlProperty, control);
    }
    if (!control) return DefWindowProcA(window, message, wParam, lParam);
    LRESULT result = 0;
    try {
        result = control->WndProc(message, wParam, lParam);
    } catch (const std::exception& error) {
        ApplicationHandleException(control, error);
    }
    if (message == WM_NCDESTROY) {
        RemovePropA(window, kControlProperty);
        control->handle_ = nullptr;
    }
    return result;
}

// ---- TCustomControl and TGraphicControl ----

void TCustomControl::PaintWindow(HDC dc) {
    TCanvasBinding binding(canvas_, dc);
    Paint();
}

void TGraphicControl::PaintOn(HDC dc) {
    TCanvasBinding binding(canvas_, dc);
    Paint();
}
