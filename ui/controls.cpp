// TControl, TWinControl, TGraphicControl and TCustomControl (see controls.h).
#include "ui/controls.h"

#include "ui/forms.h"
#include "ui/streams.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <map>

namespace wl {

namespace {

// The control whose window is being created: its first messages arrive before CreateWindowEx
// returns, so the window procedure attaches the window to it on the first message.
thread_local TWinControl* t_creating = nullptr;

// Original procedures of the system classes our window classes are built on, by class name.
std::map<std::string, WNDPROC>& ClassProcs() {
    static std::map<std::string, WNDPROC> procs;
    return procs;
}

WNDPROC RegisterWindowClass(const TCreateParams& p) {
    auto& procs = ClassProcs();
    auto it = procs.find(p.winClassName);
    if (it != procs.end()) return it->second;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    WNDPROC original = DefWindowProcA;
    if (!p.baseClass.empty()) {
        if (!GetClassInfoA(nullptr, p.baseClass.c_str(), &wc))
            throw Exception("Window class " + p.baseClass + " does not exist");
        original = wc.lpfnWndProc;
    } else {
        wc.style = p.classStyle;
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    }
    wc.lpfnWndProc = ControlWndProc;
    wc.hInstance = instance;
    wc.lpszClassName = p.winClassName.c_str();
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw Exception("Cannot register window class " + p.winClassName + ": " +
                        SysErrorMessage(GetLastError()));
    procs[p.winClassName] = original;
    return original;
}

bool IsControlMessage(UINT msg) { return msg >= CM_BASE && msg < CN_BASE + 0x400; }

// Colour properties read and write the graphics unit's colour names.
const bool g_colorNames = [] {
    SetColorIdentHooks({[](const std::string& ident, int32_t& color) { return IdentToColor(ident, color); },
                        [](int32_t color, std::string& ident) { return ColorToIdent(color, ident); }});
    return true;
}();

} // namespace

ATOM ControlAtom() {
    thread_local ATOM atom = [] {
        char name[64];
        std::snprintf(name, sizeof name, "ControlOfs%.8X%.8X",
                      static_cast<unsigned>(reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr))),
                      static_cast<unsigned>(GetCurrentThreadId()));
        return GlobalAddAtomA(name);
    }();
    return atom;
}

TControl* FindControl(HWND window) {
    if (!window) return nullptr;
    return static_cast<TControl*>(GetPropA(window, MAKEINTATOM(ControlAtom())));
}

TShiftState KeyboardShiftState() {
    TShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

TShiftState MouseShiftState(WPARAM keys) {
    TShiftState s = 0;
    if (keys & MK_SHIFT) s |= ssShift;
    if (keys & MK_CONTROL) s |= ssCtrl;
    if (keys & MK_LBUTTON) s |= ssLeft;
    if (keys & MK_RBUTTON) s |= ssRight;
    if (keys & MK_MBUTTON) s |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

HCURSOR CursorHandle(TCursor cursor) {
    LPCSTR id = nullptr;
    switch (cursor) {
    case crNone: return nullptr;
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE:
    case crHSplit: id = IDC_SIZEWE; break;
    case crVSplit: id = IDC_SIZENS; break;
    case crUpArrow: id = IDC_UPARROW; break;
    case crHourGlass: id = IDC_WAIT; break;
    case crNo: id = IDC_NO; break;
    case crHandPoint: id = IDC_HAND; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    default: id = IDC_ARROW; break;
    }
    return LoadCursorA(nullptr, id);
}

LRESULT CALLBACK ControlWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* control = static_cast<TWinControl*>(FindControl(hwnd));
    if (!control && t_creating) {
        control = t_creating;
        t_creating = nullptr;
        control->AttachWindow(hwnd);
    }
    if (!control) return DefWindowProcA(hwnd, msg, wParam, lParam);
    // A control in its destructor no longer has its derived parts: only the system class's
    // procedure may see the last messages of its window.
    if (control->IsDestroying()) {
        LRESULT r = CallWindowProcA(control->defWndProc_, hwnd, msg, wParam, lParam);
        if (msg == WM_NCDESTROY) control->DetachWindow();
        return r;
    }
    TMessage m{msg, wParam, lParam, 0};
    try {
        control->WindowProc(m);
    } catch (...) {
        // No exception may cross the window procedure: the application reports it.
        Application->HandleException(control);
    }
    return m.Result;
}

void Frame3D(HDC dc, RECT& rect, TColor topColor, TColor bottomColor, int width) {
    UniqueBrush top(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(topColor))));
    UniqueBrush bottom(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(bottomColor))));
    for (int i = 0; i < width; ++i) {
        RECT r = rect;
        RECT t{r.left, r.top, r.right - 1, r.top + 1}, l{r.left, r.top, r.left + 1, r.bottom - 1};
        RECT b{r.left, r.bottom - 1, r.right, r.bottom}, rr{r.right - 1, r.top, r.right, r.bottom};
        FillRect(dc, &t, top.get());
        FillRect(dc, &l, top.get());
        FillRect(dc, &b, bottom.get());
        FillRect(dc, &rr, bottom.get());
        InflateRect(&rect, -1, -1);
    }
}

// ---- TControl ----------------------------------------------------------------------------------

namespace {
void PublishControl(ClassBuilder<TControl>& c) {
    c.Int("Left", &TControl::Left, &TControl::SetLeft);
    c.Int("Top", &TControl::Top, &TControl::SetTop);
    c.Int("Width", &TControl::Width, &TControl::SetWidth);
    c.Int("Height", &TControl::Height, &TControl::SetHeight);
    c.Enum("Align", &TControl::Align, &TControl::SetAlign,
           {{"alNone", alNone}, {"alTop", alTop}, {"alBottom", alBottom}, {"alLeft", alLeft},
            {"alRight", alRight}, {"alClient", alClient}});
    c.Bool("Visible", &TControl::Visible, &TControl::SetVisible);
    c.Bool("Enabled", &TControl::Enabled, &TControl::SetEnabled);
    c.Color("Color", &TControl::Color, &TControl::SetColor);
    c.Bool("ParentColor", &TControl::ParentColor, &TControl::SetParentColor);
    [](auto& b) {
        // The font is a nested object once fonts are persistent objects.
        if constexpr (std::is_base_of_v<TPersistent, TFont>)
            b.Object("Font", [](auto& ctl) { return &ctl.Font(); });
    }(c);
    c.Bool("ParentFont", &TControl::ParentFont, &TControl::SetParentFont);
    c.Str("Hint", &TControl::Hint, &TControl::SetHint);
    c.Bool("ShowHint", &TControl::ShowHint, &TControl::SetShowHint);
    c.Bool("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint);
    c.Enum("Cursor", &TControl::Cursor, &TControl::SetCursor,
           {{"crDefault", crDefault}, {"crNone", crNone}, {"crArrow", crArrow}, {"crCross", crCross},
            {"crIBeam", crIBeam}, {"crSizeNESW", crSizeNESW}, {"crSizeNS", crSizeNS},
            {"crSizeNWSE", crSizeNWSE}, {"crSizeWE", crSizeWE}, {"crUpArrow", crUpArrow},
            {"crHourGlass", crHourGlass}, {"crHSplit", crHSplit}, {"crVSplit", crVSplit}, {"crNo", crNo},
            {"crHandPoint", crHandPoint}, {"crSizeAll", crSizeAll}});
    c.Event("OnClick", &TControl::OnClick);
    c.Event("OnDblClick", &TControl::OnDblClick);
    c.Event("OnMouseDown", &TControl::OnMouseDown);
    c.Event("OnMouseUp", &TControl::OnMouseUp);
    c.Event("OnMouseMove", &TControl::OnMouseMove);
    c.Event("OnResize", &TControl::OnResize);
}
} // namespace

WL_DEFINE_ABSTRACT_CLASS(TControl, PublishControl)

TControl::TControl(TComponent* owner) : TComponent(owner) {
    WindowProc = [this](TMessage& m) { WndProc(m); };
    font_.OnChange = [this](TObject*) {
        if (!IsDestroying()) FontChanged();
    };
}

TControl::~TControl() {
    Destroying();
    if (Application) Application->ControlDestroyed(this);
    if (parent_) parent_->RemoveControl(this);
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage m{msg, wParam, lParam, 0};
    WindowProc(m);
    return m.Result;
}

TComponent* TControl::GetParentComponent() const { return parent_; }

void TControl::SetParentComponent(TComponent* parent) {
    if (auto* p = dynamic_cast<TWinControl*>(parent)) SetParent(p);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent == this) throw Exception("A control cannot be its own parent");
    if (parent_) parent_->RemoveControl(this);
    if (parent) parent->InsertControl(this);
}

TCustomForm* TControl::GetParentForm() const {
    const TControl* c = this;
    while (c->parent_) c = c->parent_;
    return const_cast<TCustomForm*>(dynamic_cast<const TCustomForm*>(c));
}

void TControl::SetBounds(int left, int top, int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    RECT old = BoundsRect();
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    BoundsChanged(old);
    if (align_ != alNone) RequestAlign();
    if (width_ != old.right - old.left || height_ != old.bottom - old.top) Resize();
}

void TControl::BoundsChanged(const RECT& old) {
    if (parent_ && parent_->HandleAllocated()) {
        InvalidateRect(parent_->handle_, &old, TRUE);
        Invalidate();
    }
    if (Application) Application->UpdateHintTool(this);
}

void TControl::SetClientSize(int width, int height) {
    RECT c = ClientRect();
    SetBounds(left_, top_, width_ + width - c.right, height_ + height - c.bottom);
}

POINT TControl::ClientOrigin() const { return {left_, top_}; }

POINT TControl::ClientToScreen(POINT p) const {
    const TControl* c = this;
    while (c && !dynamic_cast<const TWinControl*>(c)) {
        p.x += c->left_;
        p.y += c->top_;
        c = c->parent_;
    }
    if (auto* w = dynamic_cast<const TWinControl*>(c); w && w->handle_) ::ClientToScreen(w->handle_, &p);
    return p;
}

POINT TControl::ScreenToClient(POINT p) const {
    POINT origin = ClientToScreen({0, 0});
    return {p.x - origin.x, p.y - origin.y};
}

void TControl::RequestAlign() {
    if (parent_) parent_->AlignControls();
}

void TControl::SetAlign(TAlign align) {
    if (align == align_) return;
    align_ = align;
    RequestAlign();
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    Perform(CM_VISIBLECHANGED, visible);
    if (parent_) {
        if (align_ != alNone) parent_->AlignControls();
        if (parent_->HandleAllocated()) {
            RECT r = BoundsRect();
            InvalidateRect(parent_->handle_, &r, TRUE);
        }
    }
}

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor color) {
    parentColor_ = false;
    if (color == color_) return;
    color_ = color;
    ColorChanged();
}

void TControl::SetParentColor(bool on) {
    parentColor_ = on;
    if (on && parent_) {
        color_ = parent_->color_;
        ColorChanged();
        parentColor_ = true;
    }
}

void TControl::ColorChanged() { Perform(CM_COLORCHANGED); }

void TControl::SetParentFont(bool on) {
    parentFont_ = on;
    if (on && parent_) {
        font_.Assign(parent_->font_);
        parentFont_ = true;
    }
}

void TControl::FontChanged() {
    // A font set on the control itself is no longer the parent's.
    if (!(parent_ && parentFont_ && font_.Name() == parent_->font_.Name() &&
          font_.Height() == parent_->font_.Height() && font_.Style() == parent_->font_.Style() &&
          font_.Color() == parent_->font_.Color() && font_.Charset() == parent_->font_.Charset()))
        parentFont_ = false;
    Perform(CM_FONTCHANGED);
}

void TControl::SetText(const std::string& text) {
    if (text == GetText()) return;
    text_ = text;
    TextChanged();
    Perform(CM_TEXTCHANGED);
}

void TControl::SetHint(const std::string& hint) {
    hint_ = hint;
    if (Application) Application->UpdateHintTool(this);
}

void TControl::SetShowHint(bool on) {
    showHint_ = on;
    parentShowHint_ = false;
    Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool on) {
    parentShowHint_ = on;
    if (on && parent_) showHint_ = parent_->showHint_;
    Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetCursor(TCursor cursor) {
    cursor_ = cursor;
    Perform(CM_CURSORCHANGED);
}

void TControl::Invalidate() {
    if (parent_ && parent_->HandleAllocated() && visible_) {
        RECT r = BoundsRect();
        InvalidateRect(parent_->handle_, &r, TRUE);
    }
}

void TControl::Update() {
    if (parent_) parent_->Update();
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::BringToFront() {
    if (!parent_) return;
    auto& list = parent_->controls_;
    list.erase(std::find(list.begin(), list.end(), this));
    list.push_back(this);
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->handle_)
        SetWindowPos(w->handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}

void TControl::Click() { OnClick(this); }

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    OnMouseDown(this, button, shift, x, y);
}
void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    OnMouseUp(this, button, shift, x, y);
}
void TControl::MouseMove(TShiftState shift, int x, int y) { OnMouseMove(this, shift, x, y); }

void TControl::HandleMouse(TMessage& m) {
    int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
    TShiftState shift = MouseShiftState(m.WParam);
    switch (m.Msg) {
    case WM_MOUSEMOVE:
        if (!mouseInside_) {
            mouseInside_ = true;
            if (auto* w = dynamic_cast<TWinControl*>(this); w && w->handle_) {
                // Windows report leaving only when asked each time the mouse comes in.
                TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, w->handle_, 0};
                TrackMouseEvent(&tme);
                Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(this));
            }
        }
        MouseMove(shift, x, y);
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        TMouseButton b = m.Msg == WM_LBUTTONDOWN ? mbLeft : m.Msg == WM_RBUTTONDOWN ? mbRight : mbMiddle;
        if (b == mbLeft) clicking_ = true;
        MouseDown(b, shift, x, y);
        break;
    }
    case WM_LBUTTONDBLCLK:
        clicking_ = false;
        OnDblClick(this);
        MouseDown(mbLeft, shift | ssDouble, x, y);
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        TMouseButton b = m.Msg == WM_LBUTTONUP ? mbLeft : m.Msg == WM_RBUTTONUP ? mbRight : mbMiddle;
        bool click = b == mbLeft && clicking_ && clickOnMouseUp_ && x >= 0 && y >= 0 &&
                     x < ClientWidth() && y < ClientHeight();
        if (b == mbLeft) clicking_ = false;
        MouseUp(b, shift, x, y);
        if (click) Click();
        break;
    }
    default: break;
    }
}

void TControl::WndProc(TMessage& m) {
    if (IsMouseMessage(m.Msg)) HandleMouse(m);
    switch (m.Msg) {
    case WM_MOUSELEAVE:
        mouseInside_ = false;
        Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(this));
        break;
    case CM_MOUSEENTER:
        if (!dynamic_cast<TWinControl*>(this)) mouseInside_ = true;
        return;
    case CM_MOUSELEAVE:
        if (!dynamic_cast<TWinControl*>(this)) mouseInside_ = false;
        return;
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
        Invalidate();
        return;
    case CM_PARENTFONTCHANGED:
        if (parentFont_ && parent_) {
            font_.Assign(parent_->font_);
            parentFont_ = true;
        }
        return;
    case CM_PARENTCOLORCHANGED:
        if (parentColor_ && parent_) {
            color_ = parent_->color_;
            ColorChanged();
            parentColor_ = true;
        }
        return;
    case CM_SHOWHINTCHANGED:
    case CM_PARENTSHOWHINTCHANGED:
        if (m.Msg == CM_PARENTSHOWHINTCHANGED && parentShowHint_ && parent_) showHint_ = parent_->showHint_;
        if (Application) Application->UpdateHintTool(this);
        return;
    default: break;
    }
    DefaultHandler(m);
}

void TControl::DefaultHandler(TMessage&) {}

// ---- TWinControl -------------------------------------------------------------------------------

namespace {
void PublishWinControl(ClassBuilder<TWinControl>& c) {
    c.Int("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder);
    c.Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop);
    c.Event("OnKeyDown", &TWinControl::OnKeyDown);
    c.Event("OnKeyUp", &TWinControl::OnKeyUp);
    c.Event("OnKeyPress", &TWinControl::OnKeyPress);
    c.Event("OnEnter", &TWinControl::OnEnter);
    c.Event("OnExit", &TWinControl::OnExit);
}
} // namespace

WL_DEFINE_ABSTRACT_CLASS(TWinControl, PublishWinControl)

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {
    brush_.SetColor(Color());
}

TWinControl::~TWinControl() {
    Destroying();
    for (TControl* c : controls_) c->parent_ = nullptr;
    controls_.clear();
    tabList_.clear();
    mouseControl_ = captureControl_ = nullptr;
    DestroyHandle();
}

HWND TWinControl::Handle() {
    HandleNeeded();
    return handle_;
}

void TWinControl::HandleNeeded() {
    if (handle_) return;
    if (parent_) parent_->HandleNeeded();
    if (!handle_) CreateWnd();
}

void TWinControl::CreateParams(TCreateParams& p) {
    p.caption = text_;
    p.style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    if (parent_) {
        p.style |= WS_CHILD;
        if (Visible()) p.style |= WS_VISIBLE;
        p.parent = parent_->handle_;
    }
    if (!Enabled()) p.style |= WS_DISABLED;
    if (tabStop_) p.style |= WS_TABSTOP;
    p.x = left_;
    p.y = top_;
    p.width = width_;
    p.height = height_;
    p.winClassName = ClassName();
}

void TWinControl::CreateWnd() {
    TCreateParams p;
    CreateParams(p);
    if (parent_ && !p.parent) throw Exception("Control '" + Name() + "' has no parent window");
    defWndProc_ = RegisterWindowClass(p);
    t_creating = this;
    HWND hwnd = CreateWindowExA(p.exStyle, p.winClassName.c_str(), p.caption.c_str(), p.style, p.x,
                                p.y, p.width, p.height, p.parent, nullptr, GetModuleHandleA(nullptr),
                                nullptr);
    t_creating = nullptr;
    if (!hwnd) {
        handle_ = nullptr;
        throw Exception("Error creating window " + p.winClassName + ": " +
                        SysErrorMessage(GetLastError()));
    }
    if (!handle_) AttachWindow(hwnd);
    CreateWindowHandle(p);
}

void TWinControl::CreateWindowHandle(const TCreateParams&) {
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), 0);
    // The window may have been given another size than asked (minimum sizes of top-level
    // windows); the window's own figures win.
    UpdateBoundsFromWindow();
    for (TControl* c : std::vector<TControl*>(controls_))
        if (auto* w = dynamic_cast<TWinControl*>(c); w && !w->handle_) w->CreateWnd();
    // Windows of the children are stacked in the order of the controls list.
    AlignControls();
    if (Application) {
        Application->UpdateHintTool(this);
        for (TControl* c : controls_)
            if (!dynamic_cast<TWinControl*>(c)) Application->UpdateHintTool(c);
    }
}

void TWinControl::AttachWindow(HWND hwnd) {
    handle_ = hwnd;
    SetPropA(hwnd, MAKEINTATOM(ControlAtom()), static_cast<TControl*>(this));
}

void TWinControl::DetachWindow() {
    if (!handle_) return;
    if (Application) Application->RemoveHintTool(this);
    RemovePropA(handle_, MAKEINTATOM(ControlAtom()));
    handle_ = nullptr;
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->DetachWindow();
}

void TWinControl::DestroyWnd() {
    // Text typed into the window is kept for the next window.
    if (!IsDestroying()) text_ = GetText();
    DestroyWindow(handle_);
}

void TWinControl::DestroyHandle() {
    if (!handle_) return;
    DestroyWnd();
    // Windows destroyed by the system (child windows of a destroyed parent) detach themselves
    // on WM_NCDESTROY; make sure nothing stays attached.
    DetachWindow();
}

void TWinControl::RecreateWnd() {
    if (handle_) Perform(CM_RECREATEWND);
}

void TWinControl::CMRecreateWnd() {
    if (recreating_ || !handle_) return;
    recreating_ = true;
    bool hadFocus = Focused();
    // Children keep their texts: they are recreated with this window.
    std::vector<TWinControl*> stack{this};
    while (!stack.empty()) {
        TWinControl* w = stack.back();
        stack.pop_back();
        if (w->handle_) w->text_ = w->GetText();
        for (TControl* c : w->controls_)
            if (auto* cw = dynamic_cast<TWinControl*>(c)) stack.push_back(cw);
    }
    DestroyWindow(handle_);
    DetachWindow();
    try {
        HandleNeeded();
    } catch (...) {
        recreating_ = false;
        throw;
    }
    recreating_ = false;
    if (hadFocus && handle_) ::SetFocus(handle_);
}

void TWinControl::InsertControl(TControl* control) {
    control->parent_ = this;
    controls_.push_back(control);
    if (auto* w = dynamic_cast<TWinControl*>(control)) tabList_.push_back(w);
    if (control->parentFont_) {
        control->font_.Assign(Font());
        control->parentFont_ = true;
    }
    if (control->parentColor_) {
        control->color_ = Color();
        control->ColorChanged();
        control->parentColor_ = true;
    }
    if (control->parentShowHint_) control->showHint_ = ShowHint();
    if (auto* w = dynamic_cast<TWinControl*>(control); w && handle_ && !w->handle_) w->CreateWnd();
    else if (auto* w2 = dynamic_cast<TWinControl*>(control); w2 && w2->handle_ && handle_)
        ::SetParent(w2->handle_, handle_);
    if (control->Align() != alNone) AlignControls();
    control->Invalidate();
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 1);
}

void TWinControl::RemoveControl(TControl* control) {
    auto it = std::find(controls_.begin(), controls_.end(), control);
    if (it == controls_.end()) return;
    control->Invalidate();
    controls_.erase(it);
    if (auto* w = dynamic_cast<TWinControl*>(control)) {
        tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), w), tabList_.end());
        if (!IsDestroying()) {
            if (TCustomForm* form = GetParentForm()) form->ControlRemoved(w);
        }
        // The window goes when its parent goes; a control taken out keeps no window.
        if (w->handle_ && !w->IsDestroying()) w->DestroyHandle();
    }
    if (mouseControl_ == control) mouseControl_ = nullptr;
    if (captureControl_ == control) {
        captureControl_ = nullptr;
        if (GetCapture() == handle_) ReleaseCapture();
    }
    control->parent_ = nullptr;
    if (!IsDestroying()) {
        if (control->Align() != alNone) AlignControls();
        Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 0);
    }
}

TControl* TWinControl::ControlAtPos(POINT p, bool allowDisabled) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        RECT r = c->BoundsRect();
        if (c->Visible() && (allowDisabled || c->Enabled()) && PtInRect(&r, p)) return c;
    }
    return nullptr;
}

void TWinControl::EnableAlign() {
    if (alignDisabled_ > 0 && --alignDisabled_ == 0 && alignPending_) AlignControls();
}

void TWinControl::AlignControls() {
    if (alignDisabled_ > 0 || IsLoading()) {
        alignPending_ = true;
        return;
    }
    alignPending_ = false;
    ++alignDisabled_;
    RECT r = ClientRect();
    AdjustClientRect(r);
    for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
        std::vector<TControl*> list;
        for (TControl* c : controls_)
            if (c->Align() == a && c->Visible()) list.push_back(c);
        // Controls on one side are stacked in the order of their position towards that side.
        std::stable_sort(list.begin(), list.end(), [a](TControl* x, TControl* y) {
            switch (a) {
            case alTop: return x->Top() < y->Top();
            case alBottom: return x->Top() + x->Height() > y->Top() + y->Height();
            case alLeft: return x->Left() < y->Left();
            case alRight: return x->Left() + x->Width() > y->Left() + y->Width();
            default: return false;
            }
        });
        for (TControl* c : list) {
            int w = r.right - r.left, h = r.bottom - r.top;
            switch (a) {
            case alTop:
                c->SetBounds(r.left, r.top, w, c->Height());
                r.top += c->Height();
                break;
            case alBottom:
                c->SetBounds(r.left, r.bottom - c->Height(), w, c->Height());
                r.bottom -= c->Height();
                break;
            case alLeft:
                c->SetBounds(r.left, r.top, c->Width(), h);
                r.left += c->Width();
                break;
            case alRight:
                c->SetBounds(r.right - c->Width(), r.top, c->Width(), h);
                r.right -= c->Width();
                break;
            default: c->SetBounds(r.left, r.top, w, h); break;
            }
        }
    }
    --alignDisabled_;
}

int TWinControl::TabOrder() const {
    if (!parent_) return -1;
    auto& list = parent_->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::Loaded() {
    TControl::Loaded();
    if (parent_ && tabKey_ >= 0) {
        // Tab orders read from a form file refer to the finished list: sort by them once every
        // sibling exists; siblings without one keep their place.
        auto& list = parent_->tabList_;
        std::vector<std::pair<int, TWinControl*>> keyed;
        for (size_t i = 0; i < list.size(); ++i)
            keyed.push_back({list[i]->tabKey_ >= 0 ? list[i]->tabKey_ : static_cast<int>(i), list[i]});
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (size_t i = 0; i < list.size(); ++i) list[i] = keyed[i].second;
    }
    if (alignPending_) AlignControls();
}

void TWinControl::SetTabOrder(int order) {
    if (IsLoading()) {
        tabKey_ = order;
        return;
    }
    tabKey_ = -1;
    if (!parent_) return;
    auto& list = parent_->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    order = std::clamp(order, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + order, this);
}

void TWinControl::SetTabStop(bool on) {
    if (on == tabStop_) return;
    tabStop_ = on;
    if (handle_) {
        LONG_PTR style = GetWindowLongPtrA(handle_, GWL_STYLE);
        SetWindowLongPtrA(handle_, GWL_STYLE, on ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
    }
    Perform(CM_TABSTOPCHANGED);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
    for (TWinControl* c : tabList_) {
        list.push_back(c);
        c->GetTabOrderList(list);
    }
}

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool forward, bool checkTabStop,
                                          bool checkParent) const {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    int n = static_cast<int>(list.size());
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (list[i] == current) start = i;
    if (start < 0) start = forward ? n - 1 : 0;
    for (int step = 1; step <= n; ++step) {
        int i = forward ? (start + step) % n : (start - step + n) % n;
        TWinControl* c = list[i];
        if ((!checkTabStop || c->TabStop()) && (!checkParent || c->Parent() == this) && c->CanFocus())
            return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool forward, bool checkTabStop) {
    if (TWinControl* next = FindNextControl(current, forward, checkTabStop, false)) next->SetFocus();
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus() {
    // A form that is not on the screen only remembers the control for when it is shown.
    if (TCustomForm* form = GetParentForm(); form && form != this && !form->Showing()) {
        form->SetActiveControl(this);
        return;
    }
    ::SetFocus(Handle());
}

RECT TWinControl::ClientRect() const {
    RECT r{0, 0, width_, height_};
    if (handle_) GetClientRect(handle_, &r);
    return r;
}

bool TWinControl::Showing() const {
    if (handle_) return IsWindowVisible(handle_) != FALSE;
    return Visible() && (!parent_ || parent_->Showing());
}

void TWinControl::Invalidate() {
    if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::Update() {
    if (handle_) UpdateWindow(handle_);
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    TControl::SetBounds(left, top, width, height);
}

void TWinControl::BoundsChanged(const RECT& old) {
    if (handle_) {
        SetWindowPos(handle_, nullptr, left_, top_, width_, height_,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        UpdateBoundsFromWindow();
    }
    if (width_ != old.right - old.left || height_ != old.bottom - old.top) AlignControls();
}

void TWinControl::UpdateBoundsFromWindow() {
    if (!handle_) return;
    RECT r;
    GetWindowRect(handle_, &r);
    if (HWND p = GetParent(handle_); p && (GetWindowLongPtrA(handle_, GWL_STYLE) & WS_CHILD))
        MapWindowPoints(nullptr, p, reinterpret_cast<POINT*>(&r), 2);
    int w = r.right - r.left, h = r.bottom - r.top;
    if (r.left == left_ && r.top == top_ && w == width_ && h == height_) return;
    bool resized = w != width_ || h != height_;
    left_ = r.left;
    top_ = r.top;
    width_ = w;
    height_ = h;
    if (resized) {
        AlignControls();
        Resize();
    }
}

void TWinControl::SetText(const std::string& text) {
    if (handle_) {
        if (text == GetText()) return;
        text_ = text;
        SetWindowTextA(handle_, text.c_str());
        TextChanged();
        Perform(CM_TEXTCHANGED);
        return;
    }
    TControl::SetText(text);
}

std::string TWinControl::GetText() const {
    if (!handle_) return text_;
    int n = GetWindowTextLengthA(handle_);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    n = GetWindowTextA(handle_, s.data(), n + 1);
    s.resize(static_cast<size_t>(std::max(n, 0)));
    return s;
}

void TWinControl::SetVisible(bool visible) {
    TControl::SetVisible(visible);
    if (handle_) ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::SetEnabled(bool enabled) {
    TControl::SetEnabled(enabled);
    if (handle_) EnableWindow(handle_, enabled);
}

void TWinControl::SetParent(TWinControl* parent) {
    TControl::SetParent(parent);
}

void TWinControl::FontChanged() {
    TControl::FontChanged();
    if (handle_) {
        SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
    }
    for (TControl* c : controls_) c->Perform(CM_PARENTFONTCHANGED);
}

void TWinControl::ColorChanged() {
    brush_.SetColor(Color());
    TControl::ColorChanged();
    for (TControl* c : controls_) c->Perform(CM_PARENTCOLORCHANGED);
}

void TWinControl::PaintBackground(HDC dc) {
    RECT r;
    GetClientRect(handle_, &r);
    FillRect(dc, &r, ColorBrush());
}

void TWinControl::PaintWindow(HDC dc) { PaintControls(dc); }

void TWinControl::PaintControls(HDC dc, TControl* first) {
    bool started = first == nullptr;
    for (TControl* c : controls_) {
        if (c == first) started = true;
        auto* g = dynamic_cast<TGraphicControl*>(c);
        if (!started || !g || !g->Visible()) continue;
        RECT r = g->BoundsRect();
        if (!RectVisible(dc, &r)) continue;
        int saved = SaveDC(dc);
        POINT org;
        GetViewportOrgEx(dc, &org);
        SetViewportOrgEx(dc, org.x + r.left, org.y + r.top, nullptr);
        IntersectClipRect(dc, 0, 0, g->Width(), g->Height());
        auto& canvas = static_cast<TControlCanvas&>(g->Canvas());
        canvas.Attach(dc);
        try {
            g->Paint();
        } catch (...) {
            canvas.Detach();
            RestoreDC(dc, saved);
            throw;
        }
        canvas.Detach();
        RestoreDC(dc, saved);
    }
}

bool TWinControl::DoKeyDown(WORD& key, TShiftState shift) {
    OnKeyDown(this, key, shift);
    return key == 0;
}

bool TWinControl::DoKeyPress(char& key) {
    OnKeyPress(this, key);
    return key == 0;
}

bool TWinControl::DoKeyUp(WORD& key, TShiftState shift) {
    OnKeyUp(this, key, shift);
    return key == 0;
}

bool TWinControl::WantsKey(WORD key) const {
    return const_cast<TWinControl*>(this)->Perform(CM_WANTSPECIALKEY, key) != 0 ||
           !(key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE || key == VK_LEFT ||
             key == VK_RIGHT || key == VK_UP || key == VK_DOWN);
}

void TWinControl::ReflectToChild(TMessage& m, HWND child) {
    if (TControl* c = FindControl(child); c && c != this) {
        m.Result = c->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
        return;
    }
    DefaultHandler(m);
}

void TWinControl::HandleFocus(TMessage& m) {
    TCustomForm* form = GetParentForm();
    if (m.Msg == WM_SETFOCUS && form && form != this) form->SetFocusedControl(this);
}

void TWinControl::SetMouseCapture(TControl* control) {
    captureControl_ = control;
    if (control) SetCapture(handle_);
    else if (GetCapture() == handle_) ReleaseCapture();
}

void TWinControl::RouteMouseToChild(TMessage& m) {
    POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    TControl* target = captureControl_;
    if (!target) {
        TControl* at = ControlAtPos(p);
        if (at && !dynamic_cast<TWinControl*>(at)) target = at;
    }
    if (m.Msg == WM_MOUSEMOVE && target != mouseControl_ && !captureControl_) {
        if (mouseControl_) mouseControl_->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(mouseControl_));
        mouseControl_ = target;
        if (target) target->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(target));
    }
    if (!target) return;
    LPARAM childPoint = MAKELPARAM(p.x - target->Left(), p.y - target->Top());
    if (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_RBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK)
        SetMouseCapture(target);
    m.Result = target->Perform(m.Msg, m.WParam, childPoint);
    if ((m.Msg == WM_LBUTTONUP || m.Msg == WM_RBUTTONUP) && captureControl_ == target)
        SetMouseCapture(nullptr);
    m.Msg = 0; // handled
}

void TWinControl::WndProc(TMessage& m) {
    if (Application && IsMouseMessage(m.Msg)) Application->RelayHintMessage(this, m);
    switch (m.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        HandleFocus(m);
        break;
    case CM_ENTER:
        OnEnter(this);
        return;
    case CM_EXIT:
        OnExit(this);
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        WORD key = static_cast<WORD>(m.WParam);
        if (DoKeyDown(key, KeyboardShiftState())) return;
        m.WParam = key;
        break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        WORD key = static_cast<WORD>(m.WParam);
        if (DoKeyUp(key, KeyboardShiftState())) return;
        m.WParam = key;
        break;
    }
    case WM_CHAR: {
        char key = static_cast<char>(m.WParam);
        if (DoKeyPress(key)) return;
        m.WParam = static_cast<unsigned char>(key);
        break;
    }
    case CN_KEYDOWN: {
        // From the message loop, before the key is translated: the form's dialog keys.
        WORD key = static_cast<WORD>(m.WParam);
        if (!WantsKey(key))
            if (TCustomForm* form = GetParentForm()) m.Result = form->Perform(CM_DIALOGKEY, key, m.LParam);
        return;
    }
    case WM_COMMAND:
        if (m.LParam) {
            ReflectToChild(m, reinterpret_cast<HWND>(m.LParam));
            return;
        }
        break;
    case WM_NOTIFY:
        ReflectToChild(m, reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom);
        return;
    case WM_HSCROLL:
    case WM_VSCROLL:
        // Scroll notifications of track bars and up-down controls go back to them.
        if (m.LParam) {
            ReflectToChild(m, reinterpret_cast<HWND>(m.LParam));
            return;
        }
        break;
    case WM_DRAWITEM:
        if (m.LParam && reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)->CtlType != ODT_MENU) {
            ReflectToChild(m, reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)->hwndItem);
            return;
        }
        break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        ReflectToChild(m, reinterpret_cast<HWND>(m.LParam));
        return;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLORBTN:
    case CN_BASE + WM_CTLCOLORLISTBOX: {
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(Font().Color())));
        SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(Color())));
        m.Result = reinterpret_cast<LRESULT>(ColorBrush());
        return;
    }
    case WM_ERASEBKGND:
        if (ownPaint_) {
            PaintBackground(reinterpret_cast<HDC>(m.WParam));
            m.Result = 1;
            return;
        }
        break;
    case WM_PAINT:
        if (ownPaint_) {
            PAINTSTRUCT ps;
            HDC dc = m.WParam ? reinterpret_cast<HDC>(m.WParam) : BeginPaint(handle_, &ps);
            try {
                PaintWindow(dc);
            } catch (...) {
                if (!m.WParam) EndPaint(handle_, &ps);
                throw;
            }
            if (!m.WParam) EndPaint(handle_, &ps);
            return;
        }
        break;
    case WM_PRINTCLIENT:
        if (ownPaint_) {
            PaintBackground(reinterpret_cast<HDC>(m.WParam));
            PaintWindow(reinterpret_cast<HDC>(m.WParam));
            return;
        }
        break;
    case WM_WINDOWPOSCHANGED:
        DefaultHandler(m);
        UpdateBoundsFromWindow();
        return;
    case WM_SETCURSOR:
        if (LOWORD(m.LParam) == HTCLIENT && reinterpret_cast<HWND>(m.WParam) == handle_) {
            POINT p;
            GetCursorPos(&p);
            ::ScreenToClient(handle_, &p);
            TControl* c = captureControl_ ? captureControl_ : ControlAtPos(p);
            TCursor cur = c && !dynamic_cast<TWinControl*>(c) && c->Cursor() != crDefault ? c->Cursor()
                                                                                         : Cursor();
            if (cur != crDefault) {
                ::SetCursor(CursorHandle(cur));
                m.Result = 1;
                return;
            }
        }
        break;
    case WM_CANCELMODE:
    case WM_CAPTURECHANGED:
        if (captureControl_ && m.Msg == WM_CAPTURECHANGED && reinterpret_cast<HWND>(m.LParam) != handle_)
            captureControl_ = nullptr;
        break;
    case WM_MOUSELEAVE:
        if (mouseControl_) {
            mouseControl_->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(mouseControl_));
            mouseControl_ = nullptr;
        }
        break;
    case CM_RECREATEWND:
        CMRecreateWnd();
        return;
    case CM_ENABLEDCHANGED:
        if (handle_) EnableWindow(handle_, Enabled());
        break;
    case WM_NCDESTROY:
        DefaultHandler(m);
        DetachWindow();
        return;
    default: break;
    }
    if (IsMouseMessage(m.Msg) && !controls_.empty()) {
        RouteMouseToChild(m);
        if (m.Msg == 0) return;
    }
    TControl::WndProc(m);
}

void TWinControl::DefaultHandler(TMessage& m) {
    if (!handle_ || IsControlMessage(m.Msg) || m.Msg == 0) return;
    m.Result = CallWindowProcA(defWndProc_, handle_, m.Msg, m.WParam, m.LParam);
}

// ---- TGraphicControl / TCustomControl ----------------------------------------------------------

WL_DEFINE_ABSTRACT_CLASS(TGraphicControl, WL_NO_PROPERTIES)

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}
TGraphicControl::~TGraphicControl() = default;

TCanvas& TGraphicControl::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TControlCanvas>();
    return *canvas_;
}

void TGraphicControl::WndProc(TMessage& m) {
    if (m.Msg == WM_PAINT && m.WParam) {
        // Painting on request into a given device context (used for pictures of forms).
        auto& canvas = static_cast<TControlCanvas&>(Canvas());
        canvas.Attach(reinterpret_cast<HDC>(m.WParam));
        Paint();
        canvas.Detach();
        return;
    }
    TControl::WndProc(m);
}

WL_DEFINE_ABSTRACT_CLASS(TCustomControl, WL_NO_PROPERTIES)

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}
TCustomControl::~TCustomControl() = default;

TCanvas& TCustomControl::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TControlCanvas>();
    return *canvas_;
}

void TCustomControl::PaintWindow(HDC dc) {
    auto& canvas = static_cast<TControlCanvas&>(Canvas());
    canvas.Attach(dc);
    try {
        canvas.Font().Assign(Font());
        canvas.Brush().SetColor(Color());
        Paint();
    } catch (...) {
        canvas.Detach();
        throw;
    }
    canvas.Detach();
    PaintControls(dc);
}

} // namespace wl
