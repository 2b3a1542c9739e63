// Controls: the window-less TControl and TGraphicControl, the windowed TWinControl and the
// self-painting TCustomControl.
//
// Message contract: every windowed control's messages reach its virtual WndProc through one
// static window procedure. A class handles the messages it cares about in a switch, one line
// each, returns the result for a message it handled, and passes every other message to its
// base class's WndProc; the base of all ends in DefaultHandler (the window class's own
// procedure). A graphic control receives through WndProc the mouse messages that fall on its
// rectangle, in its own coordinates. No exception leaves WndProc into the system: the window
// procedure hands it to the application's exception handler.
#pragma once
#include "Classes.h"
#include "Errors.h"
#include "Graphics.h"

#include <windows.h>

#include <string>
#include <vector>

class TWinControl;

// Behaviour flags that the base classes consult.
enum TControlStyleFlag : unsigned {
    csAcceptsControls = 1 << 0, // other controls may be placed on it
    csCaptureMouse = 1 << 1,    // a press captures the mouse until the release
    csClickEvents = 1 << 2,     // a press and release inside raise OnClick
    csDoubleClicks = 1 << 3,    // double clicks arrive as such and raise OnDblClick
    csSetCaption = 1 << 4,      // the control's name becomes its caption at design time
    csFixedHeight = 1 << 5,     // the height is not changed by sizing
};
using TControlStyle = unsigned;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftFlag : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64
};
using TShiftState = unsigned;

using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

// Framework messages sent to controls, in the application range.
enum : UINT {
    CM_BASE = WM_APP + 0x3000,
    CM_ENABLEDCHANGED,
    CM_FONTCHANGED,
    CM_COLORCHANGED,
    CM_TEXTCHANGED,
    CM_CTL3DCHANGED,
    CM_MOUSELEAVE, // the mouse left a graphic control (sent by its parent)
    CM_RELEASE,    // a form's deferred destruction
    CN_COMMAND,    // WM_COMMAND reflected to the control that sent it
    CN_NOTIFY,     // WM_NOTIFY reflected likewise
    CN_CTLCOLOR,   // WM_CTLCOLOR* reflected likewise
    CM_DIALOGKEY,  // Enter or Esc offered to the controls of a form; non-zero: taken
    CM_DIALOGCHAR, // a mnemonic character offered likewise; non-zero: taken
    CM_ACTIVATE,   // the application's window hands the activation on to its top window
};

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    virtual void SetBounds(int left, int top, int width, int height);
    void SetWidth(int width) { SetBounds(left_, top_, width, height_); }
    void SetHeight(int height) { SetBounds(left_, top_, width_, height); }
    RECT BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
    virtual RECT ClientRect() const { return {0, 0, width_, height_}; }
    int ClientWidth() const { return ClientRect().right; }
    int ClientHeight() const { return ClientRect().bottom; }

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);
    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);
    const std::string& Text() const { return text_; }
    virtual void SetText(const std::string& text);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool parentColor);
    TFont& Font() { return font_; }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool parentFont);

    TControlStyle ControlStyle = 0;
    int Tag = 0;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;

    virtual void Invalidate();
    // Paints the control now.
    virtual void Repaint();
    // Sends a message to the control as the framework's dispatch would.
    LRESULT Perform(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return WndProc(message, wParam, lParam);
    }
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);

    bool MouseCapture() const;
    void SetMouseCapture(bool capture);

protected:
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    // What a control does for a message nobody handled.
    virtual LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);
    // The colour and font are taken over from the parent while ParentColor/ParentFont hold.
    virtual void ParentChanged();

private:
    friend class TWinControl;
    LRESULT MouseMessage(UINT message, WPARAM wParam, LPARAM lParam);

    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = TAlign::alNone;
    bool visible_ = true;
    bool enabled_ = true;
    bool clicked_ = false;
    std::string text_;
    TColor color_ = clWindow;
    bool parentColor_ = false;
    TFont font_;
    bool parentFont_ = true;
};

// Window parameters that CreateParams fills before the window is made.
struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    UINT ClassStyle = CS_DBLCLKS;
    std::string WinClassName;  // the class registered for this control
    std::string BaseClassName; // a system class to build on ("BUTTON"); empty: none
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override; // destroys its child controls, then its window

    HWND Handle(); // makes the window when it does not exist yet
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded() { Handle(); }
    void DestroyHandle();
    // Makes the window anew from fresh window parameters, when one exists.
    void RecreateWnd();

    const std::vector<TControl*>& Controls() const { return controls_; }
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);

    bool TabStop = false;
    int TabOrder() const { return tabOrder_; }
    void SetTabOrder(int order);
    // Windowed children in tab order.
    std::vector<TWinControl*> TabList() const;
    bool CanFocus() const;
    virtual void SetFocus();
    bool Focused() const;
    // The sunken 3-D look for controls whose border has one; taken over from the parent while
    // ParentCtl3D holds.
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool ctl3D);
    bool ParentCtl3D() const { return parentCtl3D_; }
    void SetParentCtl3D(bool parentCtl3D);

    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    void SetBounds(int left, int top, int width, int height) override;
    RECT ClientRect() const override;
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    void SetText(const std::string& text) override;
    void Invalidate() override;
    // Paints the window and every window inside it now.
    void Repaint() override;
    void Update();
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The control object of a window made by this framework, or null.
    static TWinControl* FindControl(HWND window);
    // Paints the graphic children that fall into the context's clip region.
    void PaintControls(HDC dc);
    // Paints the control and its graphic children into a device context, as WM_PAINT would
    // (tests render controls into bitmaps with it).
    void PaintTo(HDC dc);

protected:
    // The control's own painting into dc; the window class's painting unless overridden.
    virtual void PaintWindow(HDC dc);
    // Fills the client area with the control's colour.
    void EraseBackground(HDC dc);
    virtual void CreateParams(TCreateParams& params);
    virtual void CreateWnd();
    // Called once the window exists, before the children's windows are made.
    virtual void CreateWindowHandle(const TCreateParams& params);
    LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual void KeyDown(WORD& key, TShiftState shift);
    virtual void KeyUp(WORD& key, TShiftState shift);
    virtual void KeyPress(char& key);
    void AlignControls();
    void ParentChanged() override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void DetachHandle();
    void InvalidateRectOf(TControl* control);
    LRESULT RouteMouse(UINT message, WPARAM wParam, LPARAM lParam);
    // Hands a notice from a child window to the child's control as the reflected message, or
    // to the default handling as it came when the child is no control of ours.
    LRESULT Reflect(HWND child, UINT reflected, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT PaintHandler(HDC given);
    bool HasGraphicChildren() const;
    bool SetCursorFromScreen();
    friend class TControl;

    HWND handle_ = nullptr;
    WNDPROC defaultProc_ = DefWindowProcA;
    std::vector<TControl*> controls_;
    int tabOrder_ = -1;
    bool ctl3D_ = true;
    bool parentCtl3D_ = true;
    TControl* captureControl_ = nullptr; // a graphic child holding the mouse
    TControl* mouseControl_ = nullptr;   // the graphic child under the mouse
};

// A windowed control that paints itself on its canvas.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}
    TCanvas& Canvas() { return canvas_; }

protected:
    virtual void Paint() {}
    void PaintWindow(HDC dc) override;

private:
    TCanvas canvas_;
};

// A window-less control, painted by its parent after the parent's own painting.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}
    TCanvas& Canvas() { return canvas_; }

protected:
    virtual void Paint() {}

private:
    friend class TWinControl;
    void PaintOn(HDC dc);
    TCanvas canvas_;
};

// Whether the caption marks this character with "&" as its mnemonic ("&&" is a plain "&"); the
// case does not count.
bool IsAccel(char key, const std::string& caption);

// Mouse-message key flags and the keyboard as a shift state.
TShiftState ShiftStateOf(WPARAM keyFlags);
TShiftState KeyboardShiftState();

// Provided by the application object: the handler for an exception that reached a window
// procedure or another callback, and the application-wide cursor (null: the default).
void ApplicationHandleException(TObject* sender, const std::exception& error);
HCURSOR ScreenCursorHandle();
