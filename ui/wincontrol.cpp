// TWinControl: the window made on demand, its class, its children and their alignment, bounds,
// text and visibility; and the window procedure every window of this library shares.
#include "ui/controls.h"

#include "ui/forms.h"

#include <windowsx.h>

#include <algorithm>
#include <map>

namespace wl {

namespace {

// The control whose window this thread is creating. Thread hooks (the skin engine's CBT hook)
// look at a window before it has had a single message, so the control is published before
// CreateWindowEx and attached to its window by a CBT hook of our own at HCBT_CREATEWND.
thread_local TWinControl* t_creating = nullptr;

// Original procedures of the system classes our window classes are built on, by class name.
std::map<std::string, WNDPROC>& ClassProcs() {
    static std::map<std::string, WNDPROC> procs;
    return procs;
}

// A control built on a system class (BUTTON, EDIT) gets a super class: a class of its own with
// the system class's styles whose procedure is ControlWndProc, which hands unhandled messages to
// the system procedure kept here. This is the one place the library puts a window procedure in
// front of another, and it does so through class registration: no window's procedure is ever
// swapped with SetWindowLongPtr (subclass.h does that job through its per-window chain).
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

} // namespace

TWinControl* CreatingControl() { return t_creating; }

// The creation hook: a CBT hook of our own that attaches a control to its window at
// HCBT_CREATEWND, before any other hook of the thread runs (hooks run newest first) and before
// the window's first message. Installing and removing a hook costs more than creating a window
// under Wine, so the outermost TWinControl::CreateWnd of the thread (a form's, which creates its
// children's windows too) installs it, and it stays until that call returns. A thread hook
// installed by someone else while a window tree is being created would run before ours for the
// rest of it; hooks are installed at start-up (the skin manager's when its skin data is loaded).
class CreationHook {
public:
    CreationHook() {
        if (depth()++ == 0) hook() = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
    }
    ~CreationHook() {
        if (--depth() == 0 && hook()) {
            UnhookWindowsHookEx(hook());
            hook() = nullptr;
        }
    }
    CreationHook(const CreationHook&) = delete;
    CreationHook& operator=(const CreationHook&) = delete;

private:
    // The window is recognised by the control passed as its creation parameter (windows that
    // the new window creates for itself, a combo box's edit, pass their own).
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND && t_creating && !t_creating->handle_) {
            auto* cbt = reinterpret_cast<CBT_CREATEWNDA*>(lParam);
            if (cbt->lpcs && cbt->lpcs->lpCreateParams == t_creating)
                t_creating->AttachWindow(reinterpret_cast<HWND>(wParam));
        }
        return CallNextHookEx(hook(), code, wParam, lParam);
    }
    static int& depth() {
        thread_local int count = 0;
        return count;
    }
    static HHOOK& hook() {
        thread_local HHOOK handle = nullptr;
        return handle;
    }
};

// Publishes a control for the time its window is created.
struct WindowCreation {
    explicit WindowCreation(TWinControl* control) : previous_(t_creating) { t_creating = control; }
    ~WindowCreation() { t_creating = previous_; }
    WindowCreation(const WindowCreation&) = delete;
    WindowCreation& operator=(const WindowCreation&) = delete;

private:
    TWinControl* previous_;
};

LRESULT CALLBACK ControlWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* control = static_cast<TWinControl*>(FindControl(hwnd));
    if (!control && t_creating && !t_creating->handle_) {
        // Without the creation hook (it could not be installed) the first message attaches.
        control = t_creating;
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
    // Held across the dispatch: tells afterwards whether the control was freed meanwhile (a
    // form releasing itself), in which case nothing may refer to it anymore.
    std::shared_ptr<TDispatchState> state = control->WindowProc.State();
    try {
        control->WindowProc.Dispatch(m);
    } catch (...) {
        // No exception may cross the window procedure: the application reports it.
        Application->HandleException(state->Alive() ? control : nullptr);
    }
    return m.Result;
}

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
    // Leave the parent while this is still a TWinControl: from ~TControl the parent could no
    // longer tell a windowed control and would keep it in its tab order (and its form would
    // keep it as the active control).
    if (parent_) parent_->RemoveControl(this);
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
    CreationHook hook;
    TCreateParams p;
    CreateParams(p);
    if (parent_ && !p.parent) throw Exception("Control '" + Name() + "' has no parent window");
    defWndProc_ = RegisterWindowClass(p);
    HWND hwnd;
    {
        WindowCreation creation(this);
        hwnd = CreateWindowExA(p.exStyle, p.winClassName.c_str(), p.caption.c_str(), p.style, p.x, p.y,
                               p.width, p.height, p.parent, nullptr, GetModuleHandleA(nullptr), this);
    }
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

bool TWinControl::CMRecreateWnd() {
    if (recreating_ || !handle_) return true;
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
    return true;
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



} // namespace wl
