// TWinSkinForm: the skin object of one top-level window (a form object of the UI library or a
// plain window such as a "#32770" dialog). It takes over the window's non-client area (frame,
// title strip, title-bar buttons), subclasses the window and, for an MDI parent, its MDI
// client, hands the child controls to their companions, and gives everything back on detach.
//
// Messages reach it through owned facilities only: a TWindowSubclass on the window
// (SkinWndProc), one on the MDI client (ClientWndProc), and a layer over the form object's
// WindowProc (FormWndProc). It keeps the window's description (handle, skin, kinds, state)
// and routes the messages to the parts it owns, each holding its own state: the frame
// (TSkinFrame, frame_paint.h: metrics, non-client painting, region), the title-bar buttons
// with the non-client mouse (TTitleButtons, title_buttons.h), the window actions and the
// skinned system menu (TWindowActions, window_actions.h), the menu bar and its drop-down
// tracker (TWinSkinMenu, TMenuTracker, menu_bar.h) with the window's menu taken into the
// bar (TFormMenu, form_menu.h), the skin-drawn menu items
// (TSkinMenuItems, menu_items.h), the fitting of the window to its client with the form
// object's frame-metrics step (TFormFitting, form_fitting.h), the control companions
// (TCompanionList, skin_companion.h). The life cycle, attach/detach and dispatch live in
// win_skin_form.cpp.
#pragma once

#include "skin/forms/form_fitting.h"
#include "skin/forms/form_menu.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/skin_companion.h"
#include "skin/forms/skin_messages.h"
#include "skin/forms/title_buttons.h"
#include "skin/forms/window_actions.h"
#include "ui/classes.h"
#include "ui/controls.h"
#include "ui/forms.h"
#include "ui/graphics.h"
#include "ui/subclass.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace wl {

class TMenuBtn;
class TMenuTracker;
class TSkinData;
class TSkinMenuItems;
class TTimer;
class TWinSkinForm;
class TWinSkinMenu;

// Life-cycle states (FState).
enum TSkinFormState : int {
    sfsCreated = 0,    // attached, not started
    sfsRunning = 1,
    sfsReapplying = 3, // inside ApplySkinColors
    sfsDestroying = 4, // WM_NCDESTROY, before ReleaseSkin
    sfsFitting = 5,    // around the first FitWindowToClient
    sfsDestroyed = 6,  // after WM_NCDESTROY; the manager frees such objects
};

// FFormKind
enum : unsigned char { fkNormal = 0, fkMdiParent = 1, fkMdiChild = 2 };
// FBorderKind
enum : unsigned char { bkSizeable = 0, bkSingle = 1, bkNone = 2, bkDialog = 3 };
// FCaps bits
enum : unsigned char {
    capMaximize = 1, capMinimize = 2, capSystemMenu = 8, capCaptionRemoved = 0x10
};
// FWindowState
enum : unsigned char { wstNormal = 0, wstMaximized = 1, wstMinimized = 2 };

class TWinSkinForm : public TComponent {
    WL_CLASS(TWinSkinForm, TComponent)
public:
    // The manager owns every form skin object; `owner` is for objects made on their own (tests).
    explicit TWinSkinForm(TComponent* owner);
    ~TWinSkinForm() override;
    void Notification(TComponent* component, TOperation operation) override;
    // The object goes with `control`: a small link component the control owns has the manager
    // free this object when the control frees its components, before the control's window goes.
    void FreeWith(TComponent* control);
    // The link's end (the control is freeing its components).
    void ControlFreeing();

    // ---- attach and detach (the manager, in this order: create, SetHandle, Attach*, post
    // SKM_STARTSKIN) ----
    void SetHandle(HWND window) { FHandle = window; }
    void AttachForm(TSkinData* data, TCustomForm* form);
    void AttachWindow(TSkinData* data);
    // Full restore: procedure, style, menu, colours, controls, geometry, region.
    void Unskin();
    // Unhook without touching geometry, colour, style or region (window being destroyed, or
    // the manager ending).
    void ReleaseSkin();
    void RepaintWindow();

    // ---- skin change (the manager, in this order) ----
    void FreeButtons();
    void LoadFrameMetrics();
    void ApplySkinColors();

    void SetCaptionStyle(bool on);
    // WS_SYSMENU off while the skin paints the title (on: back as the window had it).
    void SetSysMenuStyle(bool on);
    void RefreshFrame();
    void UpdateRegion();
    void DropRegion();
    void SkinChildWindow(HWND child);
    // A companion owned elsewhere joins the list; returns whether it was already present.
    bool AddControl(TSkinCompanion* control);
    // The companion goes (from its destructor).
    void RemoveControl(TSkinCompanion* control);
    // Paints the whole skinned frame into `dc`, or into the window DC when null.
    void PaintFrame(HDC dc = nullptr);

    // ---- the parts ----
    TSkinFrame& Frame() { return *FFrame; }
    const TSkinFrame& Frame() const { return *FFrame; }
    TTitleButtons& TitleButtons() { return *FTitleButtons; }
    TWindowActions& Actions() { return *FActions; }
    TMenuTracker& MenuTracker() { return *FMenuTracker; }
    TSkinMenuItems& MenuItems() { return *FMenuItems; }
    TFormMenu& Menu() { return *FMenu; }
    TFormFitting& Fitting() { return *FFitting; }

    // ---- read access (the manager, the parts, companions, tests) ----
    HWND Handle() const { return FHandle; }
    TSkinData* SkinData() const { return FSkinData; }
    TCustomForm* Form() const { return FForm; }
    int State() const { return FState; }
    bool SkinFrame() const { return FSkinFrame; }
    bool Subclassed() const { return FWindowSubclass.Attached(); }
    bool ClientSubclassed() const { return FClientSubclass.Attached(); }
    bool FormHooked() const { return FFormLayer.Active(); }
    RECT Borders() const { return FFrame->Borders(); }
    int MenuBarHeight() const { return FFrame->MenuBarHeight(); }
    unsigned char FormKind() const { return FFormKind; }
    // The window's style as the skin last read or set it.
    LONG_PTR Style() const { return FStyle; }
    unsigned char BorderKind() const { return FBorderKind; }
    unsigned char Caps() const { return FCaps; }
    unsigned char WindowState() const { return FWindowState; }
    void SetWindowState(unsigned char state) { FWindowState = state; }
    void SetWindowStateNormal() { FWindowState = wstNormal; }
    bool Active() const { return FActive; }
    bool IsDialog() const { return FIsDialog; }
    bool RightToLeft() const { return FRightToLeft; }
    bool Unicode() const { return FUnicode; }
    const std::string& ClassName() const { return FClassName; }
    HWND ClientWnd() const { return FClientWnd; }
    HMENU SysMenu() const { return FActions->SysMenu(); }
    HRGN Region() const { return FFrame->Region(); }
    TNCObject* HotObject() const { return FTitleButtons->HotObject(); }
    void SetHotObject(TNCObject* object) { FTitleButtons->SetHotObject(object); }
    const std::vector<std::unique_ptr<TWinSysButton>>& Buttons() const { return FTitleButtons->Buttons(); }
    const std::vector<TSkinCompanion*>& Controls() const { return FCompanions->Items(); }
    TCompanionList& Companions() { return *FCompanions; }
    TCanvas& ControlCanvas() { return *FControlCanvas; }
    TTimer* HoverTimer() const { return FTitleButtons->HoverTimer(); }
    // The system's caption font (the title text is drawn in it).
    TFont* CaptionFont() const { return FCaptionFont.get(); }

    // The window's own procedure (the parts pass messages on through it).
    void Default(TMessage& m);

    // ---- the manager's MDI bookkeeping and menu kind ----
    bool ManagerMaximizedChildren() const;
    void ManagerSetMaximizedChildren(bool on);
    void SetManagerMenuKind(int kind);
    HWND ManagerMdiClient() const;

    // ---- menu bar (menu_bar.cpp) ----
    TWinSkinMenu* MenuBar() const { return FMenu->Bar(); }
    // A drop-down of the menu bar or the skinned system menu is open.
    bool MenuTracking() const;
    // A message of the window, its MDI client or its form object is being dispatched now.
    bool InDispatch() const {
        return FWindowSubclass.DispatchDepth() > 0 || FClientSubclass.DispatchDepth() > 0 ||
               FFormLayer.ChainInMessage();
    }
    HMENU TrackedMenu() const;
    // Opens the button's drop-down and tracks it until it closes; whether one was tracked.
    bool OpenMenuButton(TMenuBtn* button);
    // Asks for the button's drop-down: at once when none is open, else once the open one closed.
    void PressMenuButton(TMenuBtn* button);
    TMenuBtn* FindAccelButton(WORD key) const;
    // A screen point in window coordinates (origin at the window's top-left corner).
    POINT ScreenToWindow(POINT screen) const;
    // The thread's message-filter hook while a drop-down is tracked, else none.
    static HHOOK MenuHook();

private:
    // ---- life cycle and dispatch (win_skin_form.cpp) ----
    void Attach(TSkinData* data);
    void StartSkin(TMessage& m);
    void SkinWndProc(TMessage& m);
    bool SkinStage2(TMessage& m, bool& handled);
    void SkinStage3(TMessage& m, bool stage2Handled);
    void FormWndProc(TMessage& m, const TWindowProcChain::Previous& previous);
    void ClientWndProc(TMessage& m);
    void OnWindowDestroyed();
    void WMEraseBkgnd(TMessage& m);
    void WMNCDestroy(TMessage& m);
    void WMInitMenuPopup(TMessage& m);
    void WMCtlColor(TMessage& m);
    void WMGetMinMaxInfo(TMessage& m);
    void WMWindowPosChanged(TMessage& m);
    void NCActivate(TMessage& m);
    void SizeChanged(TMessage& m);
    void FormSetText(TMessage& m, const TWindowProcChain::Previous& previous);
    // WM_SETTEXT of a plain window: the new text on the skinned title.
    void WindowSetText(TMessage& m);
    void ControlRecreated(TMessage& m);
    void ReadWindowState();
    void FreeControls();
    void PurgeControls();
    void DetachCommon();

    // ---- fields (the owned-facility equivalents of saved procedures come first) ----
    TWindowProcLayer FFormLayer;      // FormWndProc over the form object's WindowProc
    TWindowSubclass FWindowSubclass;  // SkinWndProc on FHandle
    TWindowSubclass FClientSubclass;  // ClientWndProc on FClientWnd
    // The parts: the frame, the title-bar buttons with the non-client mouse, the window actions
    // with the system menu, the window's menu with the bar, the bar's drop-down tracking, the
    // skin-drawn menu items, the
    // fitting to the client, the companions.
    std::unique_ptr<TSkinFrame> FFrame;
    std::unique_ptr<TTitleButtons> FTitleButtons;
    std::unique_ptr<TWindowActions> FActions;
    std::unique_ptr<TFormMenu> FMenu;
    std::unique_ptr<TMenuTracker> FMenuTracker;
    std::unique_ptr<TSkinMenuItems> FMenuItems;
    std::unique_ptr<TFormFitting> FFitting;
    std::unique_ptr<TCompanionList> FCompanions; // the control companions
    std::unique_ptr<TFont> FCaptionFont;
    std::string FClassName;
    bool FMenuUpdateSaved = false;
    bool FSkinFrame = false;
    HWND FOwnerWnd = nullptr;
    bool FRightToLeft = false;
    bool FUnicode = false;
    bool FIsDialog = false;
    bool FIsChild = false;
    HWND FClientWnd = nullptr;
    TColor FOrigColor = clNone;
    LONG_PTR FStyle = 0;
    TCustomForm* FForm = nullptr;
    HWND FHandle = nullptr;
    std::unique_ptr<TCanvas> FControlCanvas;
    TSkinData* FSkinData = nullptr;
    bool FActive = true;
    unsigned char FFormKind = fkNormal;
    unsigned char FBorderKind = bkSingle;
    unsigned char FCaps = 0;
    unsigned char FWindowState = wstNormal;
    int FState = sfsCreated;
    TComponent* FControlLink = nullptr; // owned by the control object; cleared when it goes
};

} // namespace wl
