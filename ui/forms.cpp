// Forms, the application object and the screen (see forms.h).
#include "ui/forms.h"

#include "ui/menus.h"

#include "ui/formfile.h"

#include "ui/comctl32_calls.h"

#include <algorithm>

namespace wl {

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {
// The two objects live for the whole program; they hold no window until first used.
struct GlobalObjects {
    GlobalObjects() {
        Screen = new TScreen(nullptr);
        Application = new TApplication(nullptr);
    }
} g_globals;
} // namespace

// ---- TCustomForm -------------------------------------------------------------------------------

namespace {
void PublishForm(ClassBuilder<TCustomForm>& c) {
    c.Str("Caption", &TCustomForm::Caption, &TCustomForm::SetCaption);
    c.Set("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons,
          {{"biSystemMenu", biSystemMenu}, {"biMinimize", biMinimize}, {"biMaximize", biMaximize},
           {"biHelp", biHelp}});
    c.Enum("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle,
           {{"bsNone", bsNone}, {"bsSingle", bsSingle}, {"bsSizeable", bsSizeable},
            {"bsDialog", bsDialog}, {"bsToolWindow", bsToolWindow}, {"bsSizeToolWin", bsSizeToolWin}});
    c.Int("ClientWidth", &TCustomForm::FormClientWidth, &TCustomForm::SetClientWidth);
    c.Int("ClientHeight", &TCustomForm::FormClientHeight, &TCustomForm::SetClientHeight);
    c.Enum("Position", &TCustomForm::Position, &TCustomForm::SetPosition,
           {{"poDesigned", poDesigned}, {"poDefault", poDefault}, {"poDefaultPosOnly", poDefaultPosOnly},
            {"poDefaultSizeOnly", poDefaultSizeOnly}, {"poScreenCenter", poScreenCenter},
            {"poDesktopCenter", poDesktopCenter}, {"poMainFormCenter", poMainFormCenter},
            {"poOwnerFormCenter", poOwnerFormCenter}});
    c.Enum("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState,
           {{"wsNormal", wsNormal}, {"wsMinimized", wsMinimized}, {"wsMaximized", wsMaximized}});
    c.Ident("ActiveControl", &TCustomForm::ActiveControlName, &TCustomForm::SetActiveControlName);
    c.Ident("Menu", &TCustomForm::MenuName, &TCustomForm::SetMenuName);
    c.Int("PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch);
    c.Enum("PrintScale", &TCustomForm::PrintScale, &TCustomForm::SetPrintScale,
           {{"poNone", poNone}, {"poProportional", poProportional}, {"poPrintToFit", poPrintToFit}});
    c.Bool("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview);
    c.Event("OnCreate", &TCustomForm::OnCreate);
    c.Event("OnShow", &TCustomForm::OnShow);
    c.Event("OnHide", &TCustomForm::OnHide);
    c.Event("OnClose", &TCustomForm::OnClose);
    c.Event("OnDestroy", &TCustomForm::OnDestroy);
    c.Event("OnActivate", &TCustomForm::OnActivate);
}
} // namespace

WL_DEFINE_ABSTRACT_CLASS(TCustomForm, PublishForm)
WL_DEFINE_CLASS(TForm, WL_NO_PROPERTIES)

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
    visible_ = false;
    left_ = 100;
    top_ = 100;
    width_ = 320;
    height_ = 240;
    if (Screen) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
    // OnDestroy cannot run here: the derived form that handles it is already gone. Forms freed
    // through Release run it first (DoDestroy).
    Destroying();
    if (Screen) Screen->RemoveForm(this);
    // Owned controls go while this window still exists, so each takes its own window down.
    DestroyComponents();
}

bool TCustomForm::ReadDefinition() {
    return ReadComponentResource(*this, GetModuleHandleA(nullptr), ClassName());
}

void TCustomForm::ReadDefinitionText(const std::string& text) {
    ReadComponentText(*this, text, ClassName());
}

void TCustomForm::DoCreate() {
    try {
        OnCreate(this);
    } catch (...) {
        Application->HandleException(this);
    }
}

void TCustomForm::DoDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    try {
        OnDestroy(this);
    } catch (...) {
        Application->HandleException(this);
    }
}

void TCustomForm::Loaded() {
    TWinControl::Loaded();
    if (!pendingActive_.empty()) {
        auto* c = dynamic_cast<TWinControl*>(FindComponent(pendingActive_));
        pendingActive_.clear();
        if (c) activeControl_ = c;
    }
    if (visible_) {
        visible_ = false;
        Show();
    }
}

void TCustomForm::SetBorderIcons(TBorderIcons icons) {
    if (icons == borderIcons_) return;
    borderIcons_ = icons;
    UpdateStyle();
}

void TCustomForm::SetBorderStyle(TBorderStyle style) {
    if (style == borderStyle_) return;
    borderStyle_ = style;
    UpdateStyle();
}

void TCustomForm::UpdateStyle() {
    if (HandleAllocated() && !IsLoading()) RecreateWnd();
}

RECT TSystemFrameMetrics::FrameInsets(const TFrameRequest& request) const {
    RECT r{0, 0, 0, 0};
    AdjustWindowRectEx(&r, request.style, request.hasMenu, request.exStyle);
    return {-r.left, -r.top, r.right, r.bottom};
}

TFrameRequest TCustomForm::FrameRequest() const {
    TFrameRequest request;
    if (HWND h = HandleValue()) {
        request.style = static_cast<DWORD>(GetWindowLongPtrA(h, GWL_STYLE));
        request.exStyle = static_cast<DWORD>(GetWindowLongPtrA(h, GWL_EXSTYLE));
        request.hasMenu = GetMenu(h) != nullptr;
    } else {
        // Without a window the frame comes from the style the window will have.
        TCreateParams p;
        const_cast<TCustomForm*>(this)->CreateParams(p);
        request.style = p.style;
        request.exStyle = p.exStyle;
        request.hasMenu = WillHaveMenuBar();
    }
    request.form = this;
    return request;
}

RECT TCustomForm::FrameInsets() const {
    static const TSystemFrameMetrics system;
    const TFrameMetrics& metrics = frameMetrics_ ? *frameMetrics_ : system;
    return metrics.FrameInsets(FrameRequest());
}

void TCustomForm::SetFrameMetrics(std::shared_ptr<const TFrameMetrics> metrics) {
    if (!HandleAllocated()) {
        frameMetrics_ = std::move(metrics);
        return;
    }
    // The window keeps its client area: only the frame around it changes.
    RECT client;
    GetClientRect(HandleValue(), &client);
    frameMetrics_ = std::move(metrics);
    SetWindowPos(HandleValue(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetClientSize(client.right, client.bottom);
}

void TCustomForm::SetClientSize(int width, int height) {
    if (HandleAllocated() && !frameMetrics_) {
        TWinControl::SetClientSize(width, height);
        return;
    }
    RECT frame = FrameInsets();
    SetBounds(left_, top_, width + frame.left + frame.right, height + frame.top + frame.bottom);
}

RECT TCustomForm::ClientRect() const {
    if (HandleValue()) return TWinControl::ClientRect();
    RECT frame = FrameInsets();
    return {0, 0, std::max(0L, width_ - (frame.left + frame.right)),
            std::max(0L, height_ - (frame.top + frame.bottom))};
}

TWindowState TCustomForm::WindowState() const {
    if (HWND h = HandleValue()) {
        if (IsIconic(h)) return wsMinimized;
        if (IsZoomed(h)) return wsMaximized;
        if (IsWindowVisible(h)) return wsNormal;
    }
    return windowState_;
}

void TCustomForm::SetWindowState(TWindowState state) {
    windowState_ = state;
    if (HandleAllocated() && IsWindowVisible(HandleValue()))
        ShowWindow(HandleValue(), state == wsMaximized ? SW_MAXIMIZE : state == wsMinimized ? SW_MINIMIZE : SW_RESTORE);
}

void TCustomForm::SetActiveControl(TWinControl* control) {
    if (control == this) control = nullptr;
    if (control && Showing() && control->CanFocus()) {
        // The focus change itself (WM_SETFOCUS) records the control and sends CM_EXIT/CM_ENTER.
        ::SetFocus(control->Handle());
        if (GetFocus() == control->HandleValue()) return;
    }
    activeControl_ = control;
}

std::string TCustomForm::ActiveControlName() const {
    return activeControl_ ? activeControl_->Name() : std::string();
}

void TCustomForm::SetActiveControlName(const std::string& name) {
    if (IsLoading()) {
        pendingActive_ = name;
        return;
    }
    TComponent* c = name.empty() ? nullptr : FindComponent(name);
    if (!name.empty() && !dynamic_cast<TWinControl*>(c))
        throw EPropertyError("Control " + name + " does not exist");
    SetActiveControl(static_cast<TWinControl*>(c));
}

void TCustomForm::SetFocusedControl(TWinControl* control) {
    if (control == activeControl_) {
        Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
        return;
    }
    TWinControl* old = activeControl_;
    activeControl_ = control;
    if (old) old->Perform(CM_EXIT);
    if (control) control->Perform(CM_ENTER);
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
}

void TCustomForm::ControlRemoved(TWinControl* control) {
    if (activeControl_ == control) activeControl_ = nullptr;
}

void TCustomForm::IconChanged() {
    if (!HandleAllocated()) return;
    HICON icon = icon_.Handle() ? icon_.Handle() : Application->Icon().Handle();
    SendMessageA(HandleValue(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(HandleValue(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void TCustomForm::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.style &= ~(WS_CHILD | WS_VISIBLE);
    p.parent = Application->Handle();
    switch (borderStyle_) {
    case bsNone: p.style |= WS_POPUP; break;
    case bsSingle:
    case bsToolWindow: p.style |= WS_CAPTION | WS_BORDER; break;
    case bsDialog:
        p.style |= WS_POPUP | WS_CAPTION | DS_MODALFRAME;
        p.exStyle |= WS_EX_DLGMODALFRAME;
        break;
    default: p.style |= WS_CAPTION | WS_THICKFRAME; break;
    }
    if (borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin) p.exStyle |= WS_EX_TOOLWINDOW;
    if (borderStyle_ != bsNone && (borderIcons_ & biSystemMenu)) {
        p.style |= WS_SYSMENU;
        if (borderStyle_ != bsDialog && borderStyle_ != bsToolWindow && borderStyle_ != bsSizeToolWin) {
            if (borderIcons_ & biMinimize) p.style |= WS_MINIMIZEBOX;
            if (borderIcons_ & biMaximize) p.style |= WS_MAXIMIZEBOX;
        }
    }
    if (position_ == poScreenCenter || position_ == poDesktopCenter ||
        ((position_ == poMainFormCenter || position_ == poOwnerFormCenter) &&
         (!Application->MainForm() || Application->MainForm() == this))) {
        p.x = (GetSystemMetrics(SM_CXSCREEN) - width_) / 2;
        p.y = (GetSystemMetrics(SM_CYSCREEN) - height_) / 2;
    } else if (position_ == poMainFormCenter || position_ == poOwnerFormCenter) {
        TCustomForm* m = Application->MainForm();
        p.x = m->Left() + (m->Width() - width_) / 2;
        p.y = m->Top() + (m->Height() - height_) / 2;
    } else if (position_ == poDefault || position_ == poDefaultPosOnly) {
        p.x = p.y = CW_USEDEFAULT;
    }
}

void TCustomForm::CreateWindowHandle(const TCreateParams& params) {
    TWinControl::CreateWindowHandle(params);
    IconChanged();
}

void TCustomForm::SetVisible(bool visible) {
    if (IsLoading()) {
        visible_ = visible;
        return;
    }
    if (visible) {
        HandleNeeded();
        bool wasVisible = visible_;
        visible_ = true;
        int cmd = windowState_ == wsMaximized ? SW_SHOWMAXIMIZED
                  : windowState_ == wsMinimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
        showReported_ = false;
        ShowWindow(HandleValue(), cmd);
        if (!wasVisible) {
            Perform(CM_VISIBLECHANGED, 1);
            // A window shown maximized gets no WM_SHOWWINDOW: OnShow runs from here then.
            if (!showReported_) DoShowHide(true);
        }
        SetForegroundWindow(HandleValue());
        if (activeControl_ && activeControl_->CanFocus()) ::SetFocus(activeControl_->Handle());
    } else {
        if (!visible_) return;
        if (HandleAllocated()) {
            windowState_ = WindowState();
            ShowWindow(HandleValue(), SW_HIDE);
        }
        visible_ = false;
        Perform(CM_VISIBLECHANGED, 0);
    }
}

void TCustomForm::DoShowHide(bool shown) {
    try {
        if (shown) OnShow(this);
        else OnHide(this);
    } catch (...) {
        Application->HandleException(this);
    }
}

bool TCustomForm::Showing() const { return HandleValue() && IsWindowVisible(HandleValue()); }

namespace {
// Whether no visible window is stacked above `window`. Hidden windows above it (an owner, a
// tooltip not shown) do not count; after a few of them it answers no rather than walk on.
bool NothingShownAbove(HWND window) {
    int looked = 0;
    for (HWND above = GetWindow(window, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV))
        if (IsWindowVisible(above) || ++looked > 8) return false;
    return true;
}
} // namespace

void TCustomForm::Show() {
    SetVisible(true);
    // Showing a form normally activates it and puts it on top already; asking again costs a
    // round of window-position messages (about half a millisecond under Wine).
    HWND window = HandleValue();
    if (GetActiveWindow() != window || !NothingShownAbove(window)) BringWindowToTop(window);
}

void TCustomForm::Close() {
    TCloseAction action = Application->MainForm() == this ? caFree : caHide;
    OnClose(this, action);
    switch (action) {
    case caHide: Hide(); break;
    case caMinimize: ShowWindow(Handle(), SW_MINIMIZE); break;
    case caFree:
        if (Application->MainForm() == this) Application->Terminate();
        else Release();
        break;
    default: break;
    }
}

void TCustomForm::Release() {
    if (HandleAllocated()) PostMessageA(HandleValue(), CM_RELEASE, 0, 0);
    else CMRelease();
}

std::unique_ptr<TBitmap> TCustomForm::GetFormImage() {
    RECT r = ClientRect();
    auto bitmap = std::make_unique<TBitmap>(r.right, r.bottom, pf24bit);
    HDC dest = bitmap->Canvas().Handle();
    if (Showing()) {
        Update();
        WindowDC source(Handle());
        BitBlt(dest, 0, 0, r.right, r.bottom, source.get(), 0, 0, SRCCOPY);
    } else {
        // A hidden window has nothing on the screen: let every window paint into the bitmap.
        SendMessageA(Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dest),
                     PRF_CLIENT | PRF_CHILDREN | PRF_ERASEBKGND);
    }
    return bitmap;
}

bool TCustomForm::DoKeyDown(WORD& key, TShiftState shift) { return TWinControl::DoKeyDown(key, shift); }

bool TCustomForm::DoKeyPress(char& key) { return TWinControl::DoKeyPress(key); }

void TCustomForm::WndProc(TMessage& m) {
    if (HandleMenuAndModal(m)) return;
    if (DispatchFormMessage(m)) return;
    TWinControl::WndProc(m);
}

bool TCustomForm::DispatchFormMessage(TMessage& m) {
    switch (m.Msg) {
    case WM_CLOSE: return WMClose();
    case WM_SHOWWINDOW: return WMShowWindow(m);
    case WM_ACTIVATE: return WMActivate(m);
    case WM_SETFOCUS: return WMSetFocus();
    case WM_NCCALCSIZE: return WMNCCalcSize(m);
    case CM_DIALOGKEY: return CMDialogKey(m);
    case CM_RELEASE: return CMRelease();
    default: return false;
    }
}

// A main menu shows as the window's menu bar unless it waits to be merged into another form's.
bool TCustomForm::WillHaveMenuBar() const { return menu_ && !menu_->AutoMerge(); }

bool TCustomForm::WMClose() {
    Close();
    return true;
}

bool TCustomForm::WMShowWindow(TMessage& m) {
    TWinControl::WndProc(m);
    // Only the window's own showing and hiding count, not its owner being minimized or
    // restored (lParam names those).
    if (m.LParam == 0) {
        showReported_ = m.WParam != 0;
        DoShowHide(m.WParam != 0);
    }
    return true;
}

bool TCustomForm::WMActivate(TMessage& m) {
    TWinControl::WndProc(m);
    if (LOWORD(m.WParam) != WA_INACTIVE) {
        // Give the focus back to the control that had it, not to the form.
        if (activeControl_ && activeControl_->CanFocus() && activeControl_->HandleAllocated())
            ::SetFocus(activeControl_->HandleValue());
        OnActivate(this);
    }
    return true;
}

bool TCustomForm::WMSetFocus() {
    if (!activeControl_ || !activeControl_->CanFocus() || activeControl_ == this) return false;
    ::SetFocus(activeControl_->Handle());
    return true;
}

bool TCustomForm::WMNCCalcSize(TMessage& m) {
    // With frame metrics of its own the form's frame is what they say, not the system's.
    if (!frameMetrics_) return false;
    RECT frame = FrameInsets();
    RECT& r = TWMNCCalcSize(m).Proposed();
    r.left += frame.left;
    r.top += frame.top;
    r.right = std::max(r.left, r.right - frame.right);
    r.bottom = std::max(r.top, r.bottom - frame.bottom);
    m.Result = 0;
    return true;
}

bool TCustomForm::CMDialogKey(TMessage& m) {
    if (m.WParam != VK_TAB || (KeyboardShiftState() & (ssCtrl | ssAlt))) return false;
    SelectNext(activeControl_, (KeyboardShiftState() & ssShift) == 0, true);
    m.Result = 1;
    return true;
}

bool TCustomForm::CMRelease() {
    // Posted by Release, or sent by whoever wants the form gone: the form is freed once no
    // message of it is being dispatched anymore, so no handler or WindowProc layer still on
    // the stack touches a freed form.
    if (releasing_) return true;
    releasing_ = true;
    WindowProc.Defer([this, state = WindowProc.State()] {
        if (!state->Alive()) return; // freed some other way meanwhile
        DoDestroy();
        delete this;
    });
    return true;
}

// ---- TApplication ------------------------------------------------------------------------------

WL_DEFINE_ABSTRACT_CLASS(TApplication, WL_NO_PROPERTIES)

TApplication::TApplication(TComponent* owner) : TComponent(owner) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = path;
    size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name = name.substr(slash + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos) name = name.substr(0, dot);
    title_ = name;
}

TApplication::~TApplication() {
    if (hintWindow_) DestroyWindow(hintWindow_);
    if (handle_) DestroyWindow(handle_);
}

void TApplication::Initialize() {
    // The common-control classes are registered by the controls that use them (and the tooltip
    // window when it is made), so a program whose first window has none starts without loading
    // the common-controls library.
    Handle();
}

LRESULT CALLBACK TApplication::AppWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CLOSE) {
        try {
            if (Application && Application->mainForm_) Application->mainForm_->Close();
        } catch (...) {
            Application->HandleException(Application);
        }
        return 0;
    }
    if (msg == WM_GETICON) return AppWindowIcon(hwnd, wParam, lParam);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// The application window is never shown, so its icon is answered when asked for instead of
// being handed to it with WM_SETICON: under Wine that message converts the icon for the X
// server, about a millisecond of start-up for a window nobody sees. An icon sent to the window
// still wins; like the system, it answers no small icon unless one was sent.
LRESULT TApplication::AppWindowIcon(HWND hwnd, WPARAM which, LPARAM lParam) {
    const LRESULT sent = DefWindowProcA(hwnd, WM_GETICON, which, lParam);
    if (sent || which == ICON_SMALL || !Application) return sent;
    return reinterpret_cast<LRESULT>(Application->icon_.Handle());
}

void TApplication::CreateHandle() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = AppWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TApplication";
    RegisterClassA(&wc);
    // A hidden owner of every form, carrying the title.
    handle_ = CreateWindowExA(0, "TApplication", title_.c_str(),
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                              GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0,
                              0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!handle_) throw Exception("Cannot create the application window");
}

void TApplication::CreateHintWindow() {
    if (hintWindow_ || hintWindowFailed_) return;
    InitCommonControlClasses(ICC_BAR_CLASSES); // the tooltip class
    hintWindow_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                  WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (!hintWindow_) {
        hintWindowFailed_ = true; // not tried again for every mouse message
        return;
    }
    SendMessageA(hintWindow_, TTM_SETMAXTIPWIDTH, 0, 400);
    if (!showHint_) SendMessageA(hintWindow_, TTM_ACTIVATE, FALSE, 0);
    // The tools noted before the window existed.
    std::vector<TControl*> noted;
    noted.swap(tools_);
    for (TControl* control : noted)
        if (AddHintTool(control)) tools_.push_back(control);
}

HWND TApplication::HintWindow() {
    CreateHintWindow();
    return hintWindow_;
}

HWND TApplication::Handle() {
    if (!handle_) CreateHandle();
    return handle_;
}

void TApplication::SetTitle(const std::string& title) {
    title_ = title;
    if (handle_) SetWindowTextA(handle_, title.c_str());
}

void TApplication::IconChanged() {
    // The application window answers WM_GETICON with icon_ itself (AppWindowIcon).
    for (int i = 0; Screen && i < Screen->FormCount(); ++i)
        if (Screen->Forms(i)->Icon().Empty()) Screen->Forms(i)->IconChanged();
}

void TApplication::Run() {
    terminated_ = false;
    if (mainForm_ && ShowMainForm) mainForm_->Show();
    while (!terminated_) HandleMessage();
}

void TApplication::Terminate() { PostQuitMessage(0); }

bool TApplication::ProcessMessage(MSG& msg) {
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        // Dialog keys (Tab and the like) go to the form before the key becomes a character.
        for (HWND h = msg.hwnd; h; h = GetParent(h)) {
            auto* c = dynamic_cast<TWinControl*>(FindControl(h));
            if (!c) continue;
            try {
                if (c->Perform(CN_KEYDOWN, msg.wParam, msg.lParam)) return true;
            } catch (...) {
                // A failing dialog key handler is reported, and the key counts as handled.
                HandleException(c);
                return true;
            }
            break;
        }
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            terminated_ = true;
            break;
        }
        ProcessMessage(msg);
    }
}

void TApplication::HandleMessage() {
    MSG msg;
    BOOL r = GetMessageA(&msg, nullptr, 0, 0);
    if (r == 0) {
        terminated_ = true;
        return;
    }
    if (r < 0) {
        terminated_ = true;
        return;
    }
    ProcessMessage(msg);
}

void TApplication::HandleException(TObject* sender) {
    if (!std::current_exception()) return;
    std::string message;
    try {
        throw;
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        message = "Unknown exception";
    }
    try {
        if (OnException) OnException(sender, message);
        else ShowException(message);
    } catch (...) {
        // A failing error handler must not take the program down from inside a callback.
    }
}

void TApplication::ShowException(const std::string& message) {
    std::string text = message;
    HWND owner = GetActiveWindow();
    if (!owner && mainForm_ && mainForm_->HandleAllocated()) owner = mainForm_->HandleValue();
    MessageBoxA(owner, text.c_str(), title_.c_str(), MB_OK | MB_ICONSTOP);
}

void TApplication::SetShowHint(bool on) {
    showHint_ = on;
    if (hintWindow_) SendMessageA(hintWindow_, TTM_ACTIVATE, on, 0);
}

namespace {
// The tool of a control: windows are tools by handle, windowless controls by rectangle on
// their parent.
bool ToolFor(TControl* c, TTTOOLINFOA& ti, bool forAdding) {
    ti = {};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
        if (!w->HandleAllocated()) return false;
        ti.uFlags = TTF_IDISHWND;
        ti.hwnd = w->HandleValue();
        ti.uId = reinterpret_cast<UINT_PTR>(w->HandleValue());
    } else {
        if (!c->Parent() || !c->Parent()->HandleAllocated()) return false;
        ti.hwnd = c->Parent()->HandleValue();
        ti.uId = reinterpret_cast<UINT_PTR>(c);
        ti.rect = c->BoundsRect();
    }
    (void)forAdding;
    return true;
}
} // namespace

bool TApplication::AddHintTool(TControl* control) {
    TTTOOLINFOA ti;
    if (!ToolFor(control, ti, true)) return false;
    // Only the short hint (before "|") is shown.
    std::string text = control->Hint().substr(0, control->Hint().find('|'));
    ti.lpszText = text.data();
    return SendMessageA(hintWindow_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)) != 0;
}

// The tooltip window, and with it the common-controls library, is made only when a hint can
// first be shown (the mouse over a control while some control has a tool) or when someone asks
// for it: until then the tools are only noted, and added when the window is made.
void TApplication::UpdateHintTool(TControl* control) {
    if (!control || hintWindowFailed_) return;
    RemoveHintTool(control);
    if (control->IsDestroying() || !control->ShowHint() || control->Hint().empty()) return;
    if (hintWindow_) {
        if (AddHintTool(control)) tools_.push_back(control);
        return;
    }
    TTTOOLINFOA ti;
    if (ToolFor(control, ti, true)) tools_.push_back(control);
}

void TApplication::RemoveHintTool(TControl* control) {
    auto it = std::find(tools_.begin(), tools_.end(), control);
    if (it == tools_.end()) return;
    tools_.erase(it);
    TTTOOLINFOA ti;
    if (hintWindow_ && ToolFor(control, ti, false))
        SendMessageA(hintWindow_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void TApplication::RelayHintMessage(TWinControl* control, const TMessage& m) {
    if (tools_.empty() || !control->HandleAllocated()) return;
    CreateHintWindow();
    if (!hintWindow_) return;
    MSG msg{control->HandleValue(), m.Msg, m.WParam, m.LParam, static_cast<DWORD>(GetMessageTime()), {}};
    GetCursorPos(&msg.pt);
    SendMessageA(hintWindow_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

void TApplication::ControlDestroyed(TControl* control) {
    RemoveHintTool(control);
    if (control == mainForm_) mainForm_ = nullptr;
}

// ---- TScreen -----------------------------------------------------------------------------------

WL_DEFINE_ABSTRACT_CLASS(TScreen, WL_NO_PROPERTIES)

TScreen::TScreen(TComponent* owner) : TComponent(owner) {}

TCustomForm* TScreen::ActiveForm() const {
    HWND active = GetActiveWindow();
    for (TCustomForm* f : forms_)
        if (f->HandleValue() == active) return f;
    return nullptr;
}

TFont& TScreen::MenuFont() {
    if (!menuFont_) {
        menuFont_ = std::make_unique<TFont>();
        NONCLIENTMETRICSA ncm{};
        ncm.cbSize = sizeof ncm;
        if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) {
            menuFont_->SetName(ncm.lfMenuFont.lfFaceName);
            menuFont_->SetHeight(ncm.lfMenuFont.lfHeight);
            menuFont_->SetCharset(ncm.lfMenuFont.lfCharSet);
            TFontStyles style = 0;
            if (ncm.lfMenuFont.lfWeight >= FW_BOLD) style |= FontStyles({fsBold});
            if (ncm.lfMenuFont.lfItalic) style |= FontStyles({fsItalic});
            menuFont_->SetStyle(style);
        }
    }
    return *menuFont_;
}

int TScreen::PixelsPerInch() const {
    WindowDC dc(nullptr);
    return GetDeviceCaps(dc.get(), LOGPIXELSY);
}

void TScreen::AddForm(TCustomForm* form) { forms_.push_back(form); }

void TScreen::RemoveForm(TCustomForm* form) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
}

} // namespace wl
