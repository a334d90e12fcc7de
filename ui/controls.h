// Controls: TControl (bounds, alignment, colours, font, text, hints, mouse, the WindowProc
// chain), TWinControl (a window created on demand, children, tab order, focus, keys),
// TGraphicControl (painted by its parent) and TCustomControl (a window with its own canvas).
//
// Every message of a control passes through its WindowProc chain first. The chain ends in the
// virtual WndProc; whoever wants to see a control's messages first adds a layer and keeps the
// returned handle (dropping it removes the layer, in any order, also in the middle of a
// message):
//
//     layer_ = control->WindowProc.Add([this](TMessage& m, const TWindowProcChain::Previous& previous) {
//         if (m.Msg == WM_PAINT) { previous(m); PaintOver(); return; }
//         previous(m);
//     });
//
// Perform() hands a message to the chain directly. Windows created here carry their control
// object (as TControl*) in the window property named by ControlAtom(), set before the window
// gets its first message, so a thread hook finds it at HCBT_CREATEWND.
#pragma once

#include "ui/classes.h"
#include "ui/graphics.h"
#include "ui/messages.h"
#include "ui/msgchain.h"

#include <windows.h>

#include <functional>
#include <new>
#include <string>
#include <vector>

namespace wl {

// Control messages, numbered from CM_BASE as the skin engine expects them.
enum : UINT {
    CM_BASE = 0xB000,
    CM_ACTIVATE = CM_BASE + 0,
    CM_DEACTIVATE = CM_BASE + 1,
    CM_GOTFOCUS = CM_BASE + 2,
    CM_LOSTFOCUS = CM_BASE + 3,
    CM_CANCELMODE = CM_BASE + 4,
    CM_DIALOGKEY = CM_BASE + 5,
    CM_DIALOGCHAR = CM_BASE + 6,
    CM_FOCUSCHANGED = CM_BASE + 7,
    CM_PARENTFONTCHANGED = CM_BASE + 8,
    CM_PARENTCOLORCHANGED = CM_BASE + 9,
    CM_HITTEST = CM_BASE + 10,
    CM_VISIBLECHANGED = CM_BASE + 11,
    CM_ENABLEDCHANGED = CM_BASE + 12,
    CM_COLORCHANGED = CM_BASE + 13,
    CM_FONTCHANGED = CM_BASE + 14,
    CM_CURSORCHANGED = CM_BASE + 15,
    CM_TEXTCHANGED = CM_BASE + 18,
    CM_MOUSEENTER = CM_BASE + 19,
    CM_MOUSELEAVE = CM_BASE + 20,
    CM_MENUCHANGED = CM_BASE + 21,
    CM_BUTTONPRESSED = CM_BASE + 24,
    CM_SHOWINGCHANGED = CM_BASE + 25,
    CM_ENTER = CM_BASE + 26,
    CM_EXIT = CM_BASE + 27,
    CM_ICONCHANGED = CM_BASE + 29,
    CM_WANTSPECIALKEY = CM_BASE + 30,
    CM_RELEASE = CM_BASE + 33,
    CM_SHOWHINTCHANGED = CM_BASE + 34,
    CM_PARENTSHOWHINTCHANGED = CM_BASE + 35,
    CM_TABSTOPCHANGED = CM_BASE + 40,
    CM_CONTROLLISTCHANGE = CM_BASE + 44,
    CM_CHILDKEY = CM_BASE + 46,
    CM_HINTSHOW = CM_BASE + 48,
    CM_RECREATEWND = CM_BASE + 51,
    CM_INVALIDATE = CM_BASE + 52,
    CM_CONTROLCHANGE = CM_BASE + 54,
    // Notifications a parent reflects back to the child control they concern.
    CN_BASE = 0xBC00,
    CN_COMMAND = CN_BASE + WM_COMMAND,
    CN_NOTIFY = CN_BASE + WM_NOTIFY,
    CN_KEYDOWN = CN_BASE + WM_KEYDOWN,
    CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT,
    CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC,
    CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN,
};

using TWndMethod = std::function<void(TMessage&)>;
// A control's WindowProc: owned layers over its WndProc (see the file comment).
using TWindowProcChain = TLayerChain<TMessage>;
using TWindowProcLayer = TWindowProcChain::Layer;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
using TShiftState = unsigned;
enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// Cursors: 0 is the class default, negative values the system cursors.
using TCursor = int;
enum : int {
    crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6,
    crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11,
    crHSplit = -14, crVSplit = -15, crNo = -18, crHandPoint = -21, crSizeAll = -22,
};
HCURSOR CursorHandle(TCursor cursor);

using TMouseEvent = TEvent<TObject*, TMouseButton, TShiftState, int, int>;
using TMouseMoveEvent = TEvent<TObject*, TShiftState, int, int>;
using TKeyEvent = TEvent<TObject*, WORD&, TShiftState>;
using TKeyPressEvent = TEvent<TObject*, char&>;

// The atom of the window property that holds a window's control object.
ATOM ControlAtom();
class TControl;
class TWinControl;
class TCustomForm;
class TPopupMenu;
// The control object of a window this library created (nullptr for others); known from the
// moment the window exists, HCBT_CREATEWND included.
TControl* FindControl(HWND window);
// The control whose window this thread is creating right now (nullptr outside CreateWindowEx).
TWinControl* CreatingControl();
// Whether `window` has a non-client area (a border, a caption, a scroll bar): its client area
// is smaller than the window. True when the window's rectangles cannot be read.
bool HasWindowFrame(HWND window);
// Shift state from the keyboard, or from the key bits of a mouse message's wParam.
TShiftState KeyboardShiftState();
TShiftState MouseShiftState(WPARAM keys);

// A call that the object's state or values do not allow (showing a visible form modally,
// scroll bar values that do not fit together).
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

class TControl : public TComponent {
    WL_CLASS(TControl, TComponent)
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    // `delete` of a control: freed at once when none of its messages is being dispatched;
    // otherwise (a button deleted in its own OnClick, a control freed by a modal loop that one
    // of its handlers opened) it leaves its owner and hides at once, and is freed when the
    // outermost dispatch of its WindowProc has returned, so the code still on the stack (the
    // library's, a companion layer's, the system control's) runs on a whole object.
    static void operator delete(TControl* control, std::destroying_delete_t) noexcept;
    // A free was asked for and waits for the dispatch to unwind.
    bool Dying() const { return freePending_; }

    // The message entry (see the file comment).
    TWindowProcChain WindowProc{[this](TMessage& m) { WndProc(m); }};
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* parent) override;
    TCustomForm* GetParentForm() const;

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
    virtual RECT ClientRect() const { return {0, 0, width_, height_}; }
    int ClientWidth() const { return ClientRect().right; }
    int ClientHeight() const { return ClientRect().bottom; }
    virtual void SetClientSize(int width, int height);
    POINT ClientToScreen(POINT p) const;
    POINT ScreenToClient(POINT p) const;
    // Top-left of the client area in the parent's client coordinates (windowless controls).
    virtual POINT ClientOrigin() const;

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);
    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible and every parent visible (and, for windows, the top level shown).
    virtual bool Showing() const;
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);

    TColor Color() const { return color_; }
    void SetColor(TColor color);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool on);
    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool on);

    // The control's text: Caption for buttons, labels, panels and forms, Text for edits.
    std::string Caption() const { return GetText(); }
    void SetCaption(const std::string& text) { SetText(text); }
    virtual std::string GetText() const { return text_; }
    virtual void SetText(const std::string& text);

    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool on);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool on);
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor);

    virtual void Invalidate();
    virtual void Update();
    void Repaint();
    void BringToFront();
    bool MouseInside() const { return mouseInside_; }

    virtual void Click();
    // Runs the control's mouse-down handling as if the button went down at (x, y): for objects
    // that take over a control's messages and still want its own reaction to a press.
    void SimulateMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
        MouseDown(button, shift, x, y);
    }

    // The context menu shown on a right click (WM_CONTEXTMENU); in form files a reference by
    // name ("PopupMenu = PopupMenu1").
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* menu);
    std::string PopupMenuName() const;
    void SetPopupMenuName(const std::string& name);
    void Notification(TComponent* component, TOperation operation) override;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnResize;

protected:
    virtual void WndProc(TMessage& msg);
    // Messages nobody handled: windows pass them to the original window procedure.
    virtual void DefaultHandler(TMessage& msg);
    virtual void Resize() { OnResize(this); }
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void FontChanged();
    virtual void ColorChanged();
    virtual void TextChanged() {}
    // Moves and sizes the window or repaints the parent area; called after bounds change.
    virtual void BoundsChanged(const RECT& old);
    void RequestAlign();
    bool IsMouseMessage(UINT msg) const { return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST; }
    // Controls that turn a press and release over them into a click (buttons get theirs from
    // the system control instead).
    bool clickOnMouseUp_ = true;
    TColor defaultColor_ = clBtnFace;

    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TWinControl* parent_ = nullptr;
    std::string text_;
    bool visible_ = true;

private:
    void HandleMouse(TMessage& msg);
    // Message handlers: true when the message was consumed.
    bool DispatchControlMessage(TMessage& msg);
    bool WMMouseLeave();
    bool CMMouseEnter();
    bool CMMouseLeave();
    bool CMAppearanceChanged();
    bool CMParentFontChanged();
    bool CMParentColorChanged();
    bool CMShowHintChanged(TMessage& msg);
    // WM_CONTEXTMENU: shows the popup menu of this control (or of the windowless child at the
    // point); false when there is none to show.
    bool DoContextPopup(TMessage& msg);
    friend class TWinControl;
    TPopupMenu* popupMenu_ = nullptr;

    TAlign align_ = alNone;
    bool enabled_ = true;
    TColor color_ = clBtnFace;
    bool parentColor_ = false;
    TFont font_;
    bool parentFont_ = true;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    TCursor cursor_ = crDefault;
    bool mouseInside_ = false;
    bool clicking_ = false;
    bool freePending_ = false;

    static void FreeNow(TControl* control) noexcept;
    void PrepareDeferredFree() noexcept;
};

// What CreateParams fills in before the window is created.
struct TCreateParams {
    std::string caption;
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;
    HWND parent = nullptr;
    // The window class: our own name; `baseClass` names a system class (BUTTON, EDIT) whose
    // procedure and class styles the control takes over as a super class.
    std::string winClassName;
    std::string baseClass;
    UINT classStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
};

class TWinControl : public TControl {
    WL_CLASS(TWinControl, TControl)
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    // The window, created on first use together with those of its child controls.
    HWND Handle();
    HWND HandleValue() const { return handle_; }
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded();
    // Destroys and creates the window again (after a style change).
    void RecreateWnd();
    void DestroyHandle();

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const { return controls_.at(index); }
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    // The visible child control at a client point (windowless ones included), or nullptr.
    TControl* ControlAtPos(POINT p, bool allowDisabled = false) const;
    void AlignControls();
    void DisableAlign() { ++alignDisabled_; }
    void EnableAlign();

    // Tab order among the siblings: 0 .. count-1; -1 for controls that cannot take focus.
    int TabOrder() const;
    void SetTabOrder(int order);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool on);
    // Every focusable descendant in tab order, depth first.
    void GetTabOrderList(std::vector<TWinControl*>& list) const;
    TWinControl* FindNextControl(TWinControl* current, bool forward, bool checkTabStop,
                                 bool checkParent) const;
    void SelectNext(TWinControl* current, bool forward, bool checkTabStop);

    virtual bool CanFocus() const;
    bool Focused() const;
    virtual void SetFocus();

    RECT ClientRect() const override;
    POINT ClientOrigin() const override { return {0, 0}; }
    bool Showing() const override;
    void Invalidate() override;
    void Update() override;
    void SetBounds(int left, int top, int width, int height) override;
    void Loaded() override;
    void SetText(const std::string& text) override;
    std::string GetText() const override;
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    void SetParent(TWinControl* parent) override;

    // Brush painting the background in the control's colour.
    TBrush& Brush() { return brush_; }
    // Paints the windowless children (from `first` on) into `dc`; skin painters that replace
    // a control's own paint call it to keep them.
    void PaintControls(HDC dc, TControl* first = nullptr);

    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

protected:
    virtual void CreateParams(TCreateParams& params);
    virtual void CreateWnd();
    // After the window exists: font, text, children.
    virtual void CreateWindowHandle(const TCreateParams& params);
    virtual void DestroyWnd();
    void WndProc(TMessage& msg) override;
    void DefaultHandler(TMessage& msg) override;
    void BoundsChanged(const RECT& old) override;
    void FontChanged() override;
    void ColorChanged() override;
    // Keys: return true when handled (the message is then swallowed).
    virtual bool DoKeyDown(WORD& key, TShiftState shift);
    virtual bool DoKeyPress(char& key);
    virtual bool DoKeyUp(WORD& key, TShiftState shift);
    // Whether the control handles this key itself instead of the form's dialog keys (Tab,
    // arrows, Enter, Escape).
    virtual bool WantsKey(WORD key) const;
    // The part of the client area aligned children fill (panels leave their bevels out).
    virtual void AdjustClientRect(RECT& /*rect*/) const {}
    // Paints the background and the windowless children into `dc`.
    virtual void PaintWindow(HDC dc);
    virtual void PaintBackground(HDC dc);
    // Paint messages are handled here unless the system class paints (buttons, edits).
    bool ownPaint_ = true;
    HBRUSH ColorBrush() { return brush_.Handle(); }

private:
    friend class TControl;
    friend LRESULT CALLBACK ControlWndProc(HWND, UINT, WPARAM, LPARAM);
    friend struct WindowCreation;
    friend class CreationHook;
    void AttachWindow(HWND hwnd);
    void DetachWindow();
    void UpdateBoundsFromWindow();
    void ReflectToChild(TMessage& msg, HWND child);
    void SetMouseCapture(TControl* control);

    // Message handlers: true when the message was consumed.
    bool DispatchWindowMessage(TMessage& msg);
    bool WMFocus(TMessage& msg);
    bool CMEnter();
    bool CMExit();
    bool WMKeyDown(TMessage& msg);
    bool WMKeyUp(TMessage& msg);
    bool WMChar(TMessage& msg);
    bool CNKeyDown(TMessage& msg);
    bool WMCommand(TMessage& msg);
    bool WMNotify(TMessage& msg);
    bool WMScroll(TMessage& msg);
    bool WMDrawItem(TMessage& msg);
    bool WMMeasureItem(TMessage& msg);
    bool WMCtlColor(TMessage& msg);
    bool CNCtlColor(TMessage& msg);
    bool WMEraseBkgnd(TMessage& msg);
    bool WMPaint(TMessage& msg);
    bool WMNCPaint(TMessage& msg);
    bool WMPrintClient(TMessage& msg);
    bool WMWindowPosChanged(TMessage& msg);
    bool WMSetCursor(TMessage& msg);
    bool WMCaptureChanged(TMessage& msg);
    bool LeaveWindowlessChild();
    bool CMRecreateWnd();
    bool CMEnabledChanged();
    bool WMNCDestroy(TMessage& msg);
    bool RouteMouseToChild(TMessage& msg);

    HWND handle_ = nullptr;
    WNDPROC defWndProc_ = nullptr;
    std::vector<TControl*> controls_;
    std::vector<TWinControl*> tabList_;
    bool tabStop_ = false;
    int tabKey_ = -1; // tab order read from a form file, applied when loading ends
    int alignDisabled_ = 0;
    bool alignPending_ = false;
    bool recreating_ = false;
    TBrush brush_;
    TControl* mouseControl_ = nullptr;   // windowless child under the mouse
    TControl* captureControl_ = nullptr; // windowless child that captured the mouse
};

// A control without a window, painted by its parent into the parent's device context.
class TControlCanvas;
class TGraphicControl : public TControl {
    WL_CLASS(TGraphicControl, TControl)
public:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;
    TCanvas& Canvas();
    POINT ClientOrigin() const override { return {left_, top_}; }

protected:
    friend class TWinControl;
    virtual void Paint() {}
    void WndProc(TMessage& msg) override;

private:
    std::unique_ptr<TControlCanvas> canvas_;
};

// A window with its own canvas and a Paint method.
class TCustomControl : public TWinControl {
    WL_CLASS(TCustomControl, TWinControl)
public:
    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;
    TCanvas& Canvas();

protected:
    virtual void Paint() {}
    void PaintWindow(HDC dc) override;

private:
    std::unique_ptr<TControlCanvas> canvas_;
};

// A canvas that borrows a device context for the time of a paint.
class TControlCanvas : public TCanvas {
public:
    void Attach(HDC dc) { SetHandle(dc); }
    void Detach() { SetHandle(nullptr); }
};

// Binds a control canvas to a device context for one scope: the canvas lets the context go on
// every path out, so a throwing Paint leaves no canvas bound to a released context.
class TCanvasBinding {
public:
    TCanvasBinding(TControlCanvas& canvas, HDC dc) : canvas_(canvas) { canvas_.Attach(dc); }
    ~TCanvasBinding() { canvas_.Detach(); }
    TCanvasBinding(const TCanvasBinding&) = delete;
    TCanvasBinding& operator=(const TCanvasBinding&) = delete;

private:
    TControlCanvas& canvas_;
};

// The device context of a WM_PAINT: the one the sender passed in wParam, or BeginPaint's,
// which EndPaint gives back on every path out.
class TPaintScope {
public:
    TPaintScope(HWND window, WPARAM givenDC) : window_(window), dc_(reinterpret_cast<HDC>(givenDC)) {
        if (!dc_) {
            dc_ = BeginPaint(window_, &ps_);
            began_ = true;
        }
    }
    ~TPaintScope() {
        if (began_) EndPaint(window_, &ps_);
    }
    TPaintScope(const TPaintScope&) = delete;
    TPaintScope& operator=(const TPaintScope&) = delete;
    HDC DC() const { return dc_; }
    const PAINTSTRUCT* Paint() const { return began_ ? &ps_ : nullptr; }

private:
    HWND window_;
    HDC dc_;
    PAINTSTRUCT ps_{};
    bool began_ = false;
};

// The window procedure of every window this library creates.
LRESULT CALLBACK ControlWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Draws a 3-D frame (bevel) inside `rect` and shrinks it by `width`.
void Frame3D(HDC dc, RECT& rect, TColor topColor, TColor bottomColor, int width);

} // namespace wl
