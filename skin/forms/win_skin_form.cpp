// TWinSkinForm's life cycle: attach to a form object or a plain window, the start message,
// the three window procedures and their dispatch to the parts, colour re-application, and the
// two ways back (Unskin restores everything, ReleaseSkin only unhooks).
#include "skin/forms/win_skin_form.h"

#include "skin/data/skin_data.h"
#include "skin/forms/menu_bar.h"
#include "skin/forms/menu_items.h"
#include "skin/forms/skin_manage.h"
#include "ui/extctrls.h"
#include "ui/menus.h"

#include <algorithm>
#include <utility>

namespace wl {

WL_DEFINE_CLASS(TWinSkinForm, WL_NO_PROPERTIES)

namespace {

constexpr UINT kThemedCaptionRedraw = 0x00AE; // undocumented: themed windows redraw the caption
constexpr LONG_PTR kExMdiChild = WS_EX_MDICHILD;

std::string WindowClassName(HWND window) {
    char name[101] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

bool IsVersion5Zero() {
    OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&v)) return false;
#pragma GCC diagnostic pop
    return v.dwMajorVersion >= 5 && v.dwMinorVersion == 0;
}

bool Is9xFamily() { return (GetVersion() & 0x80000000u) != 0; }

// Window size minus client size.
SIZE FrameSize(HWND window) {
    RECT w{0, 0, 0, 0}, c{0, 0, 0, 0};
    GetWindowRect(window, &w);
    GetClientRect(window, &c);
    return SIZE{(w.right - w.left) - c.right, (w.bottom - w.top) - c.bottom};
}

} // namespace

// ---- the link that frees the object with its control -------------------------------------------

namespace {

// A component of the control object a form skin object skins. Controls free their components
// before their windows, so the form skin object lets go of the window first, as it must.
class TSkinFormLink : public TComponent {
public:
    TSkinFormLink(TComponent* control, TWinSkinForm* skin) : TComponent(control), FSkin(skin) {}
    ~TSkinFormLink() override {
        if (TWinSkinForm* skin = std::exchange(FSkin, nullptr)) skin->ControlFreeing();
    }
    void Forget() { FSkin = nullptr; }

private:
    TWinSkinForm* FSkin; // not owned
};

} // namespace

// ---- construction ----------------------------------------------------------------------------------

TWinSkinForm::TWinSkinForm(TComponent* owner) : TComponent(owner) {
    FCaptionFont = std::make_unique<TFont>();
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof ncm;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) {
        FCaptionFont->SetName(ncm.lfCaptionFont.lfFaceName);
        FCaptionFont->SetHeight(ncm.lfCaptionFont.lfHeight);
        FCaptionFont->SetCharset(ncm.lfCaptionFont.lfCharSet);
        TFontStyles styles = 0;
        if (ncm.lfCaptionFont.lfWeight >= FW_BOLD) styles = TFontStyles(styles | (1u << fsBold));
        if (ncm.lfCaptionFont.lfItalic) styles = TFontStyles(styles | (1u << fsItalic));
        FCaptionFont->SetStyle(styles);
    }
    FControlCanvas = std::make_unique<TCanvas>();
    FFrame = std::make_unique<TSkinFrame>(*this);
    FTitleButtons = std::make_unique<TTitleButtons>(*this);
    FActions = std::make_unique<TWindowActions>(*this);
    FMenu = std::make_unique<TFormMenu>(*this);
    FCompanions = std::make_unique<TCompanionList>();
    FActive = true;
    FMenuTracker = std::make_unique<TMenuTracker>(*this);
    FMenuItems = std::make_unique<TSkinMenuItems>(*this);
    FFitting = std::make_unique<TFormFitting>(*this);
}

TWinSkinForm::~TWinSkinForm() {
    FreeControls();
    FTitleButtons->Clear();
    FMenu->FreeBar();
    FActions->ReleaseMenu(true);
    FCaptionFont.reset();
    // The window keeps nothing of ours: no procedure, no layer, no frame step that names us.
    FWindowSubclass.Detach();
    FClientSubclass.Detach();
    FFormLayer.Remove();
    FFitting->ForgetFrameMetrics();
    FControlCanvas.reset();
    // The link leaves the control's components with this object.
    if (TComponent* link = std::exchange(FControlLink, nullptr)) {
        static_cast<TSkinFormLink*>(link)->Forget();
        std::unique_ptr<TComponent> gone(link);
        if (TComponent* control = link->Owner()) control->RemoveComponent(link);
    }
}

void TWinSkinForm::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
}

void TWinSkinForm::FreeWith(TComponent* control) {
    if (!control || FControlLink) return;
    FControlLink = new TSkinFormLink(control, this); // owned by the control
}

void TWinSkinForm::ControlFreeing() {
    FControlLink = nullptr;
    if (TSkinManage* m = TSkinManage::Instance()) m->FreeForm(this);
}

// ---- manager links -------------------------------------------------------------------------------

bool TWinSkinForm::ManagerMaximizedChildren() const {
    TSkinManage* m = TSkinManage::Instance();
    return m && m->MaximizedChildren;
}

void TWinSkinForm::ManagerSetMaximizedChildren(bool on) {
    if (TSkinManage* m = TSkinManage::Instance()) m->SetMaximizedChildren(on);
}

void TWinSkinForm::SetManagerMenuKind(int kind) {
    if (TSkinManage* m = TSkinManage::Instance()) m->MenuKind = kind;
}

HWND TWinSkinForm::ManagerMdiClient() const {
    TSkinManage* m = TSkinManage::Instance();
    return m ? m->MdiClient : nullptr;
}

// ---- attach --------------------------------------------------------------------------------------

void TWinSkinForm::ReadWindowState() {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (!GetWindowPlacement(FHandle, &wp)) return;
    switch (wp.showCmd) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE: FWindowState = wstMinimized; break;
    case SW_SHOWMAXIMIZED: FWindowState = wstMaximized; break;
    default: FWindowState = wstNormal; break;
    }
}

void TWinSkinForm::Attach(TSkinData* data) {
    if (Subclassed() || !data || !IsWindow(FHandle)) return;
    if (TSkinManage* m = TSkinManage::Instance()) m->MarkRunning();
    FSkinData = data;
    FTitleButtons->MakeHoverTimer();

    FSkinFrame = (data->SkinControls() & SkinControlBit(xcMainMenu)) != 0;
    FStyle = GetWindowLongPtrW(FHandle, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(FHandle, GWL_EXSTYLE);
    FRightToLeft = (exStyle & WS_EX_LEFTSCROLLBAR) != 0;
    FIsChild = (FStyle & WS_CHILD) != 0;
    FClassName = WindowClassName(FHandle);
    FOwnerWnd = GetWindow(FHandle, GW_OWNER);

    FCaps = 0;
    if ((FStyle & WS_SYSMENU) || SysMenu()) FCaps |= capSystemMenu;
    if (FStyle & WS_MINIMIZEBOX) FCaps |= capMinimize;
    if (FStyle & WS_MAXIMIZEBOX) FCaps |= capMaximize;

    ReadWindowState();
    FFormKind = fkNormal;
    for (HWND child = GetTopWindow(FHandle); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (lstrcmpiA(WindowClassName(child).c_str(), "MDIClient") == 0) {
            FFormKind = fkMdiParent;
            FClientWnd = child;
            if (TSkinManage* m = TSkinManage::Instance()) {
                m->MdiClient = child;
                m->MdiParent = FForm;
            }
            break;
        }
    }
    if (exStyle & kExMdiChild) {
        FFormKind = fkMdiChild;
        if (data->Options() & SkinOptionBit(xoMDIChildBorder)) FSkinFrame = false;
    }

    FBorderKind = bkSingle;
    if ((FStyle & WS_CAPTION) != WS_CAPTION) FBorderKind = bkNone;
    else if (FStyle & WS_THICKFRAME) FBorderKind = bkSizeable;
    else if (FStyle & DS_MODALFRAME) FBorderKind = bkDialog;
    if (exStyle & WS_EX_DLGMODALFRAME) FBorderKind = bkDialog;

    if (IsVersion5Zero()) {
        if (exStyle & WS_EX_APPWINDOW) FCaps |= capCaptionRemoved;
        if (!FOwnerWnd && FFormKind != fkMdiChild) FCaps |= capCaptionRemoved;
    }

    FUnicode = IsWindowUnicode(FHandle) != FALSE;
    FIsDialog = false;
    if (FClassName == "#32770" || FClassName == "TMessageForm") {
        FBorderKind = bkDialog;
        FIsDialog = true;
    }
    if (Is9xFamily()) data->SetSkinControls(data->SkinControls() & ~SkinControlBit(xcSystemMenu));

    if (FFormKind == fkMdiParent && FClientWnd) {
        FMenuUpdateSaved = data->MenuUpdate();
        FClientSubclass.Attach(FClientWnd, [this](TMessage& m) { ClientWndProc(m); });
    }
    if (!FWindowSubclass.Attach(FHandle, [this](TMessage& m) { SkinWndProc(m); },
                                [this] { OnWindowDestroyed(); })) {
        FClientSubclass.Detach();
        return;
    }

    if (FSkinFrame) {
        FMenu->ReadWindowMenu();
        if (FMenu->WindowMenu() && FFormKind != fkMdiChild) FMenu->CreateMenuBar();
    }
    if (FSkinFrame) {
        if (!(FFormKind == fkMdiChild && ManagerMaximizedChildren()) && FWindowState != wstMinimized)
            SetCaptionStyle(false);
        LoadFrameMetrics();
    } else {
        FState = sfsRunning;
    }

    if (FFormKind == fkMdiChild) {
        const int least = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CXFRAME);
        if (FSkinFrame && FFrame->BorderTop() < least) FFrame->SetMenuBarHeight(least - FFrame->BorderTop());
        if (FWindowState == wstMaximized && !ManagerMaximizedChildren()) ManagerSetMaximizedChildren(true);
    }
}

void TWinSkinForm::AttachWindow(TSkinData* data) { Attach(data); }

void TWinSkinForm::AttachForm(TSkinData* data, TCustomForm* form) {
    if (Subclassed()) return;
    FForm = form;
    if (form) {
        try {
            SetPropertyText(*form, "AutoScroll", "False");
        } catch (const std::exception&) {
            // Forms without scrolling publish no such property.
        }
    }
    Attach(data);
    if (!Subclassed() || !form) return;
    if (FSkinFrame) {
        FFormLayer = form->WindowProc.Add(
            [this](TMessage& m, const TWindowProcChain::Previous& previous) { FormWndProc(m, previous); });
    }
    FOrigColor = form->Color();
    form->SetColor(data->ButtonFace);
    if (data->SkinControls() & SkinControlBit(xcMenuItem)) FMenuItems->SetMainMenuOwnerDraw(form, true);
}

// ---- start ---------------------------------------------------------------------------------------

void TWinSkinForm::StartSkin(TMessage& m) {
    m.Result = 0;
    if (!Subclassed()) return;
    FActions->ReadSystemMenu();
    if (FSkinFrame) FFrame->LoadIcon();
    if (!FFitting->FrameMeasured()) FFitting->MeasureOriginalFrame(false);

    const TControlDiscovery& discovery = ControlDiscovery();
    PurgeControls();
    if (FForm) {
        if (discovery.ScanForm) discovery.ScanForm(*this);
    } else if (discovery.ScanWindow) {
        discovery.ScanWindow(*this);
    }
    if (FForm && FSkinFrame) FMenuItems->SetPopupOwnerDraw(FForm, true);

    if (FState == sfsCreated && FSkinFrame) {
        if (FFormKind == fkMdiChild) {
            if (FWindowState == wstMaximized) {
                if (HWND client = ManagerMdiClient())
                    PostMessageW(client, SKM_MDIMAXIMIZED, reinterpret_cast<WPARAM>(FHandle), 0);
            } else if (FWindowState == wstMinimized) {
                SetCaptionStyle(true);
            } else {
                FState = sfsFitting;
                FFitting->FitWindowToClient(false);
                FState = sfsRunning;
                UpdateRegion();
            }
        } else if (!FIsChild && FBorderKind != bkNone && FWindowState != wstMinimized) {
            FState = sfsFitting;
            FFitting->FitWindowToClient(false);
            FState = sfsRunning;
            if (FWindowState == wstMaximized) RefreshFrame();
            else UpdateRegion();
        }
    }
    SendMessageW(FHandle, SKM_SKINNED, 0, SKM_MAGIC);
    FState = sfsRunning;
    FTitleButtons->EnableHover(true);
}

// ---- window procedure ----------------------------------------------------------------------------

void TWinSkinForm::Default(TMessage& m) { FWindowSubclass.CallPrevious(m); }

void TWinSkinForm::SkinWndProc(TMessage& m) {
    // Stage 1: always.
    switch (m.Msg) {
    case WM_NCPAINT:
        if (FState == sfsCreated) {
            m.Result = 0;
            return;
        }
        break;
    case WM_ERASEBKGND: WMEraseBkgnd(m); return;
    case WM_NCDESTROY: WMNCDestroy(m); return;
    case WM_NCACTIVATE:
        if (FState == sfsCreated && FFormKind != fkMdiChild) {
            m.Result = 0;
            return;
        }
        break;
    case kThemedCaptionRedraw: m.Result = 0; return;
    case WM_INITMENUPOPUP: WMInitMenuPopup(m); return;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC: WMCtlColor(m); return;
    case SKM_STARTSKIN: StartSkin(m); return;
    case SKM_CONTROLRECREATED: ControlRecreated(m); return;
    case SKM_ISSKINNED: m.Result = 1; return;
    default: break;
    }
    if (!FSkinFrame) {
        Default(m);
        return;
    }
    // Stage 2: top-level windows and MDI children only.
    if (FIsChild && FFormKind != fkMdiChild) {
        Default(m);
        return;
    }
    bool handled = false;
    if (SkinStage2(m, handled)) return;
    // Stage 3: once started, and not for a maximized MDI child (the MDI client draws it).
    if (FState != sfsCreated && !(FFormKind == fkMdiChild && FWindowState == wstMaximized)) {
        SkinStage3(m, handled);
        return;
    }
    if (!handled) Default(m);
}

// Returns true when the message is finished; `handled` tells stage 3 that the previous
// procedure has already seen it.
bool TWinSkinForm::SkinStage2(TMessage& m, bool& handled) {
    switch (m.Msg) {
    case WM_SIZE:
        SizeChanged(m);
        handled = true;
        return false;
    case WM_ACTIVATE:
    case WM_NCACTIVATE: FActive = (m.WParam & 0xFF) != 0; return false;
    case WM_GETMINMAXINFO: WMGetMinMaxInfo(m); return true;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(m); return true;
    case WM_COMMAND: FActions->MenuCommand(m); return true;
    case WM_SYSCOMMAND: FActions->SysCommand(m); return true;
    case CM_MENUCHANGED: FMenu->CMMenuChanged(m); return true;
    case SKM_MENUHOT: FMenu->MenuHot(m); return true;
    case WM_MENUSELECT: FMenuTracker->NoteMenuSelect(m.WParam, m.LParam); return false;
    default: return false;
    }
}

void TWinSkinForm::SkinStage3(TMessage& m, bool stage2Handled) {
    switch (m.Msg) {
    // Stage 2 has handled WM_SIZE (the previous procedure saw it once; the form object laid out
    // once).
    case WM_SIZE:
        if (!stage2Handled) SizeChanged(m);
        return;
    case WM_SETTEXT: WindowSetText(m); return;
    case WM_MEASUREITEM: FMenuItems->MeasureItem(m); return;
    case WM_DRAWITEM: FMenuItems->DrawItem(m); return;
    case WM_NCCALCSIZE: FFrame->NCCalcSize(m); return;
    case WM_NCPAINT: FFrame->NCPaint(m); return;
    case WM_NCACTIVATE: NCActivate(m); return;
    case WM_NCHITTEST: FTitleButtons->NCHitTest(m); return;
    case WM_NCMOUSEMOVE: FTitleButtons->NCMouseMove(m); return;
    case WM_NCLBUTTONDOWN: FTitleButtons->NCLButtonDown(m); return;
    case WM_NCLBUTTONUP: FTitleButtons->NCLButtonUp(m); return;
    case WM_NCLBUTTONDBLCLK: FTitleButtons->NCLButtonDblClk(m); return;
    case WM_NCRBUTTONDOWN: FTitleButtons->NCRButtonDown(m); return;
    case SKM_REPAINTFRAME:
        PaintFrame(nullptr);
        m.Result = 0;
        return;
    default:
        if (!stage2Handled) Default(m);
        return;
    }
}

void TWinSkinForm::WMEraseBkgnd(TMessage& m) {
    Default(m);
    if (FForm || !FSkinData) return;
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    RECT r;
    GetClientRect(FHandle, &r);
    if (HBRUSH brush = FSkinData->FaceBrush.get()) {
        FillRect(dc, &r, brush);
        m.Result = 1;
    }
}

void TWinSkinForm::WMNCDestroy(TMessage& m) {
    FState = sfsDestroying;
    ReleaseSkin();
    // The subclass record hands the message to the window's own procedure itself once it has
    // been removed; calling it here as well would pass the message on twice.
    if (FWindowSubclass.Attached()) Default(m);
    FState = sfsDestroyed;
}

void TWinSkinForm::OnWindowDestroyed() {
    FState = sfsDestroyed;
}

void TWinSkinForm::WMInitMenuPopup(TMessage& m) {
    SetManagerMenuKind(reinterpret_cast<HMENU>(m.WParam) == SysMenu() && SysMenu() ? 2 : 1);
    Default(m);
}

void TWinSkinForm::WMCtlColor(TMessage& m) {
    Default(m);
    if (FForm || !FSkinData) return;
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    SetBkMode(dc, TRANSPARENT);
    if (m.Msg == WM_CTLCOLORSTATIC && FSkinData->FaceBrush)
        m.Result = reinterpret_cast<LRESULT>(FSkinData->FaceBrush.get());
}

void TWinSkinForm::WMGetMinMaxInfo(TMessage& m) {
    Default(m);
    ReadWindowState();
    if (FWindowState == wstMinimized) SetCaptionStyle(true);
    else if (FFormKind == fkMdiChild && FWindowState == wstMaximized) SetCaptionStyle(true);
    else SetCaptionStyle(false);
}

void TWinSkinForm::WMWindowPosChanged(TMessage& m) {
    ReadWindowState();
    Default(m);
    // A new frame changes the client area without changing the window's size; the form object
    // lays its controls out only on size changes, so it is told here.
    FFitting->ClientAreaChanged();
}

void TWinSkinForm::ControlRecreated(TMessage& m) {
    m.Result = 0;
    // The previous companion goes once the new one is made.
    std::unique_ptr<TSkinCompanion> previous = FCompanions->TakeNewest(reinterpret_cast<HWND>(m.WParam));
    if (!previous) return;
    if (ControlDiscovery().RecreateScroll) ControlDiscovery().RecreateScroll(*this, *previous);
}

// ---- the form object's WindowProc layer ----------------------------------------------------------

void TWinSkinForm::FormWndProc(TMessage& m, const TWindowProcChain::Previous& previous) {
    switch (m.Msg) {
    case WM_SETTEXT: FormSetText(m, previous); return;
    case CM_DIALOGKEY: FMenu->DialogKey(m, previous); return;
    case CM_MENUCHANGED: FMenu->FormMenuChanged(m, previous); return;
    case SKM_APPLYCOLORS:
        ApplySkinColors();
        m.Result = 0;
        return;
    case SKM_PAINTSKIN:
        if (m.LParam == SKM_MAGIC) {
            if (m.WParam) PaintFrame(reinterpret_cast<HDC>(m.WParam));
            m.Result = SKM_MAGIC;
            return;
        }
        previous(m);
        return;
    case SKM_PAINTQUERY: m.Result = m.LParam == SKM_MAGIC ? SKM_MAGIC : 1; return;
    default: previous(m); return;
    }
}

void TWinSkinForm::WindowSetText(TMessage& m) {
    // A form object's layer repaints the title itself (FormSetText).
    if (FForm || !IsWindowVisible(FHandle)) {
        Default(m);
        return;
    }
    // The system paints its own caption with the new text at once: without a full caption style
    // for the length of the call it paints none, and the skinned title is painted instead.
    const LONG_PTR style = GetWindowLongPtrW(FHandle, GWL_STYLE);
    const bool caption = (style & WS_CAPTION) == WS_CAPTION;
    if (caption) SetWindowLongPtrW(FHandle, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_DLGFRAME));
    Default(m);
    if (!IsWindow(FHandle)) return;
    if (caption) SetWindowLongPtrW(FHandle, GWL_STYLE, GetWindowLongPtrW(FHandle, GWL_STYLE) | WS_DLGFRAME);
    if (Subclassed()) PaintFrame(nullptr);
}

void TWinSkinForm::FormSetText(TMessage& m, const TWindowProcChain::Previous& previous) {
    if (!IsWindowVisible(FHandle)) {
        previous(m);
        return;
    }
    if (FUnicode) {
        previous(m);
    } else {
        // The system paints a new caption at once; keep it from drawing over the skinned title.
        SendMessageW(FHandle, WM_SETREDRAW, FALSE, 0);
        previous(m);
        SendMessageW(FHandle, WM_SETREDRAW, TRUE, 0);
    }
    if (!IsWindow(FHandle) || !Subclassed()) return;
    ReadWindowState();
    if (FWindowState == wstMaximized) {
        if (HWND client = ManagerMdiClient())
            PostMessageW(client, SKM_MDIMAXIMIZED, reinterpret_cast<WPARAM>(FHandle), 0);
    }
    if (FWindowState == wstMinimized) PaintFrame(nullptr);
    else RefreshFrame();
}

// ---- the MDI client ------------------------------------------------------------------------------

void TWinSkinForm::ClientWndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_NCCALCSIZE:
        if (FSkinFrame && FSkinData && !(FSkinData->Options() & SkinOptionBit(xoMDIScrollbar))) {
            const LONG_PTR style = GetWindowLongPtrW(FClientWnd, GWL_STYLE);
            if (style & (WS_HSCROLL | WS_VSCROLL))
                SetWindowLongPtrW(FClientWnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_HSCROLL | WS_VSCROLL));
        }
        FClientSubclass.CallPrevious(m);
        return;
    case WM_MDICREATE:
        if (FSkinData) FSkinData->SetMenuUpdate(false);
        FClientSubclass.CallPrevious(m);
        return;
    case WM_MDIDESTROY: {
        FClientSubclass.CallPrevious(m);
        if (!FSkinFrame) return;
        BOOL maximized = FALSE;
        HWND active = reinterpret_cast<HWND>(SendMessageW(FClientWnd, WM_MDIGETACTIVE, 0,
                                                          reinterpret_cast<LPARAM>(&maximized)));
        ManagerSetMaximizedChildren(active && maximized);
        if (MenuBar() && !active && FSkinData) {
            FSkinData->SetMenuUpdate(FMenuUpdateSaved);
            MenuBar()->ReadMenu();
            PaintFrame(nullptr);
        }
        return;
    }
    case WM_MDITILE:
    case WM_MDICASCADE:
        if (FSkinFrame && ManagerMaximizedChildren()) ManagerSetMaximizedChildren(false);
        FClientSubclass.CallPrevious(m);
        return;
    case WM_MDISETMENU:
        FClientSubclass.CallPrevious(m);
        if (!FSkinFrame || !MenuBar()) return;
        if (m.WParam) {
            MenuBar()->ReadMergedMenu();
            PaintFrame(nullptr);
        }
        if (GetMenu(FHandle)) SetMenu(FHandle, nullptr);
        return;
    case SKM_MDIMAXIMIZED:
        RedrawWindow(FHandle, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        m.Result = 0;
        return;
    default: FClientSubclass.CallPrevious(m); return;
    }
}

// ---- geometry ------------------------------------------------------------------------------------

void TWinSkinForm::SetCaptionStyle(bool on) {
    if (!(FCaps & capCaptionRemoved) || !IsWindow(FHandle)) return;
    FStyle = GetWindowLongPtrW(FHandle, GWL_STYLE);
    const LONG_PTR style = on ? (FStyle | WS_CAPTION) : (FStyle & ~static_cast<LONG_PTR>(WS_CAPTION));
    if (style != FStyle) {
        FStyle = style;
        SetWindowLongPtrW(FHandle, GWL_STYLE, style);
    }
}

void TWinSkinForm::RefreshFrame() {
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TWinSkinForm::RepaintWindow() {
    InvalidateRect(FHandle, nullptr, TRUE);
    UpdateWindow(FHandle);
}

// ---- routes to the parts ---------------------------------------------------------------------------

void TWinSkinForm::PaintFrame(HDC dc) { FFrame->Paint(dc); }

void TWinSkinForm::UpdateRegion() { FFrame->UpdateRegion(); }

void TWinSkinForm::DropRegion() { FFrame->DropRegion(); }

void TWinSkinForm::FreeButtons() { FTitleButtons->Free(); }

void TWinSkinForm::LoadFrameMetrics() {
    if (!FSkinData || FSkinData->NotLoaded) return;
    FFrame->LoadMetrics();
    FTitleButtons->Free();
    FTitleButtons->Create();
}

void TWinSkinForm::NCActivate(TMessage& m) {
    FActive = m.WParam != 0;
    FTitleButtons->EnableHover(FActive);
    if (FFormKind == fkMdiParent && FClientWnd) SendMessageW(FClientWnd, WM_NCACTIVATE, m.WParam, 0);
    if (FFormKind == fkMdiChild) Default(m);
    if (!(FFormKind == fkMdiChild && FWindowState == wstMaximized)) FFrame->Paint(nullptr);
    m.Result = 1;
}

void TWinSkinForm::SizeChanged(TMessage& m) {
    Default(m);
    switch (m.WParam) {
    case SIZE_RESTORED: FWindowState = wstNormal; break;
    case SIZE_MINIMIZED: FWindowState = wstMinimized; break;
    case SIZE_MAXIMIZED: FWindowState = wstMaximized; break;
    default: break;
    }
    if (FWindowState == wstMinimized) return;
    if (FFormKind == fkMdiChild && (ManagerMaximizedChildren() || FWindowState != wstNormal)) return;
    if (FState == sfsRunning || FState == sfsReapplying) FFrame->UpdateRegion();
}

void TWinSkinForm::SetSysMenuStyle(bool on) {
    if ((FCaps & capCaptionRemoved) || !IsWindow(FHandle)) return;
    FStyle = GetWindowLongPtrW(FHandle, GWL_STYLE);
    LONG_PTR style = FStyle;
    if (!on) style &= ~static_cast<LONG_PTR>(WS_SYSMENU);
    else if (SysMenu()) style |= WS_SYSMENU;
    if (style == FStyle) return;
    FStyle = style;
    SetWindowLongPtrW(FHandle, GWL_STYLE, style);
}

// ---- colours -------------------------------------------------------------------------------------

void TWinSkinForm::ApplySkinColors() {
    if (!FSkinData) return;
    if (FForm) {
        FForm->SetColor(FSkinData->ButtonFace);
        for (int i = 0; i < FForm->ComponentCount(); ++i)
            if (auto* f = dynamic_cast<TCustomForm*>(FForm->Components(i))) f->SetColor(FSkinData->ButtonFace);
    }
    for (TSkinCompanion* c : std::vector<TSkinCompanion*>(FCompanions->Items()))
        if (c) c->SkinChanged();
    FState = sfsReapplying;
    if (FSkinFrame && FForm) {
        if (FFitting->FrameFitsMetrics()) {
            // The new frame is as thick as the old one: the window keeps its size and client
            // area, only the border images (and the region they cut) change. Everything is
            // painted anew with the next paint, as a fitting would have it.
            UpdateRegion();
            RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        } else {
            // The window takes the new frame around the client area it has (a client area that
            // changes all the same lays the form's controls out: WMWindowPosChanged), then the
            // region is cut for the new size and the new border images.
            FFitting->FitWindowToClient(true);
            UpdateRegion();
        }
    }
    if (IsWindow(FHandle)) SendMessageW(FHandle, SKM_SKINNED, 0, SKM_MAGIC);
    FState = sfsRunning;
}

// ---- companions ----------------------------------------------------------------------------------

bool TWinSkinForm::AddControl(TSkinCompanion* control) { return FCompanions->Add(control); }

void TWinSkinForm::RemoveControl(TSkinCompanion* control) {
    if (FCompanions) FCompanions->Remove(control);
}

void TWinSkinForm::SkinChildWindow(HWND child) {
    if (ControlDiscovery().SkinChildWindow) ControlDiscovery().SkinChildWindow(*this, child);
}

void TWinSkinForm::FreeControls() { FCompanions->FreeAll(); }

void TWinSkinForm::PurgeControls() { FCompanions->Purge(); }

// ---- detach --------------------------------------------------------------------------------------

void TWinSkinForm::DetachCommon() {
    FActions->ReleaseMenu(false);
    FTitleButtons->EnableHover(false);
    // The menus drop the skin's drawing (a form being destroyed has let its menus go already).
    if (FForm && FState != sfsDestroying) {
        FMenuItems->SetPopupOwnerDraw(FForm, false);
        FMenuItems->SetMainMenuOwnerDraw(FForm, false);
    }
}

void TWinSkinForm::Unskin() {
    if (!FSkinFrame) {
        DetachCommon();
        FreeControls();
        if (FForm && FState != sfsDestroying && FOrigColor != clNone) FForm->SetColor(FOrigColor);
        FWindowSubclass.Detach();
        FClientSubclass.Detach();
        if (FForm && FState != sfsDestroying) {
            for (int i = 0; i < FForm->ComponentCount(); ++i)
                if (auto* c = dynamic_cast<TControl*>(FForm->Components(i))) c->Invalidate();
        }
        return;
    }
    DetachCommon();
    if (!Subclassed()) return;
    // The skinned frame's size, read before anything (the menu going back) recomputes it.
    const SIZE now = FrameSize(FHandle);
    FFormLayer.Remove();
    FWindowSubclass.Detach();
    FreeControls();
    FTitleButtons->SetHotObject(nullptr);
    if (FForm && FState != sfsDestroying && FOrigColor != clNone) FForm->SetColor(FOrigColor);
    SetSysMenuStyle(true);
    SetCaptionStyle(true);
    FMenu->GiveMenuBack();
    FClientSubclass.Detach();
    // From here on the form object measures its frame as it did before.
    FFitting->ForgetFrameMetrics();
    if (FState != sfsDestroying && (FFormKind == fkMdiChild || !(FStyle & WS_CHILD)) && IsWindow(FHandle))
        FFitting->PutOriginalFrameBack(now);
    if (FForm && FState != sfsDestroying) FFitting->GiveBackFrameMetrics();
    if (FForm && FState != sfsDestroying) FForm->AlignControls();
    // The system deletes the region it held.
    SetWindowRgn(FHandle, nullptr, TRUE);
    FFrame->ForgetRegion();
}

void TWinSkinForm::ReleaseSkin() {
    if (!FSkinFrame) {
        DetachCommon();
        FreeControls();
        FWindowSubclass.Detach();
        FClientSubclass.Detach();
        return;
    }
    DetachCommon();
    if (!Subclassed()) return;
    FFormLayer.Remove();
    FWindowSubclass.Detach();
    FreeControls();
    FTitleButtons->SetHotObject(nullptr);
    FMenu->GiveMenuBack();
    FClientSubclass.Detach();
    FFitting->ForgetFrameMetrics();
}

} // namespace wl
