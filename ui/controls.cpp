// TControl and the helpers every control shares: the control property atom, shift states,
// cursors and 3-D frames (see controls.h).
#include "ui/controls.h"

#include "ui/forms.h"
#include "ui/streams.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdio>

namespace wl {

namespace {

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
    c.Ident("PopupMenu", &TControl::PopupMenuName, &TControl::SetPopupMenuName);
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
    font_.OnChange = [this](TObject*) {
        if (!IsDestroying()) FontChanged();
    };
}

TControl::~TControl() {
    Destroying();
    if (Application) Application->ControlDestroyed(this);
    if (parent_) parent_->RemoveControl(this);
}

void TControl::operator delete(TControl* control, std::destroying_delete_t) noexcept {
    if (!control) return;
    const std::shared_ptr<TDispatchState> state = control->WindowProc.State();
    if (state->MessageDepth() == 0) {
        FreeNow(control);
        return;
    }
    if (control->freePending_) return; // already waiting
    control->freePending_ = true;
    control->PrepareDeferredFree();
    state->Defer([control] { FreeNow(control); });
}

void TControl::FreeNow(TControl* control) noexcept {
    // The allocation starts at the most derived object, which need not be this base part.
    void* whole = dynamic_cast<void*>(control);
    control->~TControl();
    ::operator delete(whole);
}

void TControl::PrepareDeferredFree() noexcept {
    try {
        // Nobody may reach the control as a component anymore, and its owner must not free it
        // a second time.
        if (TComponent* owner = Owner()) owner->RemoveComponent(this);
        // Hidden, it takes no more input while it waits. A parent being destroyed takes the
        // window with it instead.
        if (!IsDestroying() && !(parent_ && parent_->IsDestroying())) SetVisible(false);
    } catch (...) {
        // Runs inside a delete expression: nothing may escape. The free still follows.
    }
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage m{msg, wParam, lParam, 0};
    WindowProc.Dispatch(m);
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
    if (DispatchControlMessage(m)) return;
    DefaultHandler(m);
}

bool TControl::DispatchControlMessage(TMessage& m) {
    switch (m.Msg) {
    case WM_MOUSELEAVE: return WMMouseLeave();
    case CM_MOUSEENTER: return CMMouseEnter();
    case CM_MOUSELEAVE: return CMMouseLeave();
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
    case CM_COLORCHANGED:
    case CM_FONTCHANGED: return CMAppearanceChanged();
    case CM_PARENTFONTCHANGED: return CMParentFontChanged();
    case CM_PARENTCOLORCHANGED: return CMParentColorChanged();
    case WM_CONTEXTMENU: return DoContextPopup(m);
    case CM_SHOWHINTCHANGED:
    case CM_PARENTSHOWHINTCHANGED: return CMShowHintChanged(m);
    default: return false;
    }
}

bool TControl::WMMouseLeave() {
    mouseInside_ = false;
    Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(this));
    return false;
}

// Windows track the mouse themselves (WM_MOUSEMOVE, WM_MOUSELEAVE); windowless controls learn
// it from their parent.
bool TControl::CMMouseEnter() {
    if (!dynamic_cast<TWinControl*>(this)) mouseInside_ = true;
    return true;
}

bool TControl::CMMouseLeave() {
    if (!dynamic_cast<TWinControl*>(this)) mouseInside_ = false;
    return true;
}

bool TControl::CMAppearanceChanged() {
    Invalidate();
    return true;
}

bool TControl::CMParentFontChanged() {
    if (parentFont_ && parent_) {
        font_.Assign(parent_->font_);
        parentFont_ = true;
    }
    return true;
}

bool TControl::CMParentColorChanged() {
    if (parentColor_ && parent_) {
        color_ = parent_->color_;
        ColorChanged();
        parentColor_ = true;
    }
    return true;
}

bool TControl::CMShowHintChanged(TMessage& m) {
    if (m.Msg == CM_PARENTSHOWHINTCHANGED && parentShowHint_ && parent_) showHint_ = parent_->showHint_;
    if (Application) Application->UpdateHintTool(this);
    return true;
}

void TControl::DefaultHandler(TMessage&) {}

} // namespace wl
