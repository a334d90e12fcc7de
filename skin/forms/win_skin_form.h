// TWinSkinForm: the skin object of one top-level window (a form object of the UI library or a
// plain window such as a "#32770" dialog). It takes over the window's non-client area (frame,
// title strip, title-bar buttons), subclasses the window and, for an MDI parent, its MDI
// client, hands the child controls to their companions, and gives everything back on detach.
//
// Messages reach it through owned facilities only: a TWindowSubclass on the window
// (SkinWndProc), one on the MDI client (ClientWndProc), and a layer over the form object's
// WindowProc (FormWndProc). The life cycle, attach/detach and dispatch live in
// win_skin_form.cpp; frame metrics, non-client painting and the window region in
// frame_paint.cpp; title-bar buttons, non-client mouse handling and the system menu in
// title_buttons.cpp; the menu bar and its drop-downs in menu_bar.cpp; owner-drawn menu items in
// menu_items.cpp.
#pragma once

#include "skin/forms/skin_companion.h"
#include "skin/forms/skin_messages.h"
#include "skin/forms/title_buttons.h"
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
class TMenuItem;
class TSkinData;
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

// The frame-metrics step a skinned form object gets while its frame is skinned, so that the
// library turns client sizes into window sizes with the skinned frame's thickness.
// Once the skin object lets go (Forget), it answers as the step it replaced (the fallback, or
// the system's).
class TSkinFrameMetrics : public TFrameMetrics {
public:
    explicit TSkinFrameMetrics(const TWinSkinForm* owner) : FOwner(owner) {}
    RECT FrameInsets(const TFrameRequest& request) const override;
    void SetFallback(std::shared_ptr<const TFrameMetrics> fallback) { FFallback = std::move(fallback); }
    void Forget() { FOwner = nullptr; }

private:
    const TWinSkinForm* FOwner;
    std::shared_ptr<const TFrameMetrics> FFallback;
};

// The module-wide scratch bitmap of frame painting (stretch mode COLORONCOLOR); frame painting
// does nothing when it does not exist.
TBitmap* SkinWorkBitmap();

class TWinSkinForm : public TComponent {
    WL_CLASS(TWinSkinForm, TComponent)
public:
    // `owner` is the form object, or nullptr for a plain window.
    explicit TWinSkinForm(TComponent* owner);
    ~TWinSkinForm() override;
    void Notification(TComponent* component, TOperation operation) override;

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
    void RefreshFrame();
    void UpdateRegion();
    void DropRegion();
    void SkinChildWindow(HWND child);
    // Returns whether it was already present.
    bool AddControl(TSkinCompanion* control);
    void RemoveControl(TSkinCompanion* control);
    // Paints the whole skinned frame into `dc`, or into the window DC when null.
    void PaintFrame(HDC dc = nullptr);
    void DrawIcon(HDC dc, const RECT& rect);

    // ---- read access (the manager, companions, tests) ----
    HWND Handle() const { return FHandle; }
    TSkinData* SkinData() const { return FSkinData; }
    TCustomForm* Form() const { return FForm; }
    int State() const { return FState; }
    bool SkinFrame() const { return FSkinFrame; }
    bool Subclassed() const { return FWindowSubclass.Attached(); }
    bool ClientSubclassed() const { return FClientSubclass.Attached(); }
    bool FormHooked() const { return FFormLayer.Active(); }
    RECT Borders() const { return RECT{FBorderLeft, FBorderTop, FBorderRight, FBorderBottom}; }
    int MenuBarHeight() const { return FMenuBarHeight; }
    unsigned char FormKind() const { return FFormKind; }
    unsigned char BorderKind() const { return FBorderKind; }
    unsigned char Caps() const { return FCaps; }
    unsigned char WindowState() const { return FWindowState; }
    bool Active() const { return FActive; }
    bool IsDialog() const { return FIsDialog; }
    HWND ClientWnd() const { return FClientWnd; }
    HRGN Region() const { return FRegionOwned ? FRegion : nullptr; }
    TNCObject* HotObject() const { return FHotObject; }
    void SetHotObject(TNCObject* object) { FHotObject = object; }
    const std::vector<std::unique_ptr<TWinSysButton>>& Buttons() const { return FButtons; }
    const std::vector<TSkinCompanion*>& Controls() const { return FControls; }
    TCanvas& ControlCanvas() { return *FControlCanvas; }
    TTimer* HoverTimer() const { return FHoverTimer.get(); }
    void SetWindowStateNormal() { FWindowState = wstNormal; }

    // ---- menu bar (menu_bar.cpp) ----
    TWinSkinMenu* MenuBar() const { return FMenuBar.get(); }
    bool MenuTracking() const { return FMenuTracking; }
    // A message of the window, its MDI client or its form object is being dispatched now.
    bool InDispatch() const {
        return FWindowSubclass.DispatchDepth() > 0 || FClientSubclass.DispatchDepth() > 0 ||
               FFormLayer.ChainInMessage();
    }
    HMENU TrackedMenu() const { return FTrackedMenu; }
    // Opens the button's drop-down and tracks it until it closes; whether one was tracked.
    bool OpenMenuButton(TMenuBtn* button);
    // Asks for the button's drop-down: at once when none is open, else once the open one closed.
    void PressMenuButton(TMenuBtn* button);
    TMenuBtn* FindAccelButton(WORD key) const;
    // The thread's message-filter hook while a drop-down is tracked, else none.
    static HHOOK MenuHook();

    // ---- menu items (menu_items.cpp) ----
    // OnMeasureItem handlers: main-menu and toolbar items; popup and system-menu items.
    void MeasureMainItem(TMenuItem* item, TCanvas& canvas, int& width, int& height);
    void MeasurePopupItem(TMenuItem* item, TCanvas& canvas, int& width, int& height);
    // OnDrawItem handler of every skin-drawn item.
    void DrawSkinnedItem(TMenuItem* item, TCanvas& canvas, const RECT& rect, bool selected);
    // An entry of `menu` that has no form item (`item` stands for it).
    void DrawRawItem(HMENU menu, TMenuItem* item, bool selected, const RECT& rect, TCanvas& canvas);
    // Every item when the skin has no MenuItem element.
    void DrawFlatItem(TMenuItem* item, TCanvas& canvas, bool selected, const RECT& rect);
    void DrawItemContent(TMenuItem* item, TCanvas& canvas, bool selected, const RECT& rect);
    void DrawMenuText(TMenuItem* item, TCanvas& canvas, UINT flags, bool selected, RECT& rect, std::wstring text);
    void DrawSeparator(TCanvas& canvas, const RECT& rect);
    // The popup menus owned by `component` (and its frames and forms), and the main menus.
    void SetPopupOwnerDraw(TComponent* component, bool on);
    void SetMainMenuOwnerDraw(TComponent* form, bool on);
    // Every item under `root` drawn by the skin and measured as a popup item.
    void SkinPopupItems(TMenuItem* root);

private:
    friend class TSkinFrameMetrics;
    friend class TNCObject;
    friend class TWinSysButton;
    friend class TWinSkinMenu;
    friend class TMenuBtn;

    // ---- life cycle and dispatch (win_skin_form.cpp) ----
    void Attach(TSkinData* data);
    void StartSkin(TMessage& m);
    void SkinWndProc(TMessage& m);
    bool SkinStage2(TMessage& m, bool& handled);
    void SkinStage3(TMessage& m, bool stage2Handled);
    void FormWndProc(TMessage& m, const TWindowProcChain::Previous& previous);
    void ClientWndProc(TMessage& m);
    void Default(TMessage& m);
    void OnWindowDestroyed();
    void WMEraseBkgnd(TMessage& m);
    void WMNCDestroy(TMessage& m);
    void WMInitMenuPopup(TMessage& m);
    void WMCtlColor(TMessage& m);
    void WMGetMinMaxInfo(TMessage& m);
    void WMWindowPosChanged(TMessage& m);
    void CMMenuChanged(TMessage& m);
    // The menu bar reads a changed menu again; the window keeps none of its own.
    void MenuChanged();
    void AddLateMenuBar();
    void FormSetText(TMessage& m, const TWindowProcChain::Previous& previous);
    void ControlRecreated(TMessage& m);
    void ReadWindowState();
    void FitWindowToClient(bool keepCurrentClient);
    void WidenDialog(int& width);
    void FreeControls();
    void PurgeControls();
    void SetMenuOwnerDraw(bool on);
    void DetachCommon();
    // The window gets its menu back and the menu bar goes.
    void GiveMenuBack();

    // The manager's MDI bookkeeping and menu kind, reached from the painting and button code.
    bool ManagerMaximizedChildren() const;
    void ManagerSetMaximizedChildren(bool on);
    void SetManagerMenuKind(int kind);
    HWND ManagerMdiClient() const;

    // ---- frame painting (frame_paint.cpp) ----
    void LoadIcon();
    void NCCalcSize(TMessage& m);
    void NCPaint(TMessage& m);
    void NCActivate(TMessage& m);
    void SizeChanged(TMessage& m);
    void PaintTitle(HDC dc);
    // side: 1 left, 2 right, 3 top, 4 bottom.
    void DrawBorder(int side, const RECT& rect, HDC dc);
    void SetSysMenuStyle(bool on);

    // ---- title-bar buttons and non-client mouse (title_buttons.cpp) ----
    void CreateButtons();
    void LayoutButtons();
    bool ButtonVisible(int index);
    void DrawButtons(TCanvas& canvas);
    POINT ScreenToWindow(POINT screen) const;
    TNCObject* FindButton(POINT windowPoint) const;
    // The title-bar button at the point, else the menu-bar button.
    TNCObject* NCObjectAt(POINT windowPoint) const;
    void NCHitTest(TMessage& m);
    void NCMouseMove(TMessage& m);
    void NCLButtonDown(TMessage& m);
    void NCLButtonUp(TMessage& m);
    void NCLButtonDblClk(TMessage& m);
    void NCRButtonDown(TMessage& m);
    void HoverTimerTick(TObject* sender);
    void DoButtonAction(POINT screen);
    void ToggleMaximize();
    void ToggleMinimize();
    void RestoreWindow();
    void MDIChildCommand(UINT command);
    void BuildSystemMenu();
    void ShowSystemMenu(POINT screen);
    void SysCommand(TMessage& m);
    void MenuCommand(TMessage& m);

    // ---- menu bar and items (menu_bar.cpp, menu_items.cpp) ----
    void CreateMenuBar();
    void DialogKey(TMessage& m, const TWindowProcChain::Previous& previous);
    void MenuHot(TMessage& m);
    void NoteMenuSelect(WPARAM wParam, LPARAM lParam);
    void DrawMdiButtons(HDC dc, const RECT& strip);
    void MeasureItem(TMessage& m);
    void DrawItem(TMessage& m);
    void ComposeItem(HMENU menu, TMenuItem* item, TCanvas& canvas, const RECT& rect, bool selected,
                     bool separatorOnly);
    static void InstallMenuHook();
    static void RemoveMenuHook();
    static LRESULT CALLBACK MenuFilterProc(int code, WPARAM wParam, LPARAM lParam);

    // ---- fields (the owned-facility equivalents of saved procedures come first) ----
    TWindowProcLayer FFormLayer;      // FormWndProc over the form object's WindowProc
    TWindowSubclass FWindowSubclass;  // SkinWndProc on FHandle
    TWindowSubclass FClientSubclass;  // ClientWndProc on FClientWnd
    std::unique_ptr<TFont> FCaptionFont;
    std::unique_ptr<TTimer> FHoverTimer;
    std::string FClassName;
    bool FMenuUpdateSaved = false;
    bool FSkinFrame = false;
    RECT FClientRect{0, 0, 0, 0};
    DWORD FLastMenuTick = 0;
    UINT FDoubleClickTime = 0;
    int FCaptionWidth = 0;
    HWND FOwnerWnd = nullptr;
    HICON FIcon = nullptr; // the window's own icon, not owned
    int FIconSize = 0;
    std::wstring FCaption;
    int FBorderLeft = 0, FBorderTop = 0, FBorderRight = 0, FBorderBottom = 0;
    RECT FWindowRect{0, 0, 0, 0};
    int FOrigFrameWidth = 0, FOrigFrameHeight = 0;
    int FMenuBarHeight = 0;
    int FButtonCount = 0;
    bool FMenuTracking = false;
    bool FRightToLeft = false;
    bool FSizeable = false;
    bool FUnicode = false;
    bool FIsDialog = false;
    bool FIsChild = false;
    std::unique_ptr<TComponent> FSystemMenuPopup; // a TPopupMenu while the system menu is built
    HWND FClientWnd = nullptr;
    HMENU FMenuHandle = nullptr; // the window's menu at attach, not owned
    HMENU FSysMenu = nullptr;    // not owned
    HMENU FTrackedMenu = nullptr;
    TColor FOrigColor = clNone;
    LONG_PTR FStyle = 0;
    TNCObject* FHotObject = nullptr; // not owned
    bool FRegionOwned = false;
    HRGN FRegion = nullptr; // belongs to the system once set on the window
    TCustomForm* FForm = nullptr;
    HWND FHandle = nullptr;
    std::unique_ptr<TCanvas> FWindowCanvas;
    std::unique_ptr<TCanvas> FControlCanvas;
    TSkinData* FSkinData = nullptr;
    std::unique_ptr<TWinSkinMenu> FMenuBar; // the skinned menu bar, for a window with a menu
    std::vector<std::unique_ptr<TWinSysButton>> FButtons;
    std::unique_ptr<TBitmap> FIconBitmap;
    std::unique_ptr<TBitmap> FTitleBitmap;
    std::vector<TSkinCompanion*> FControls; // owned: freed by FreeControls
    int FWidth = 0, FHeight = 0;
    int FRegionWidth = 0, FRegionHeight = 0;
    bool FActive = true;
    unsigned char FFormKind = fkNormal;
    unsigned char FBorderKind = bkSingle;
    unsigned char FCaps = 0;
    unsigned char FWindowState = wstNormal;
    int FState = sfsCreated;
    std::shared_ptr<TSkinFrameMetrics> FFrameMetrics;
    std::shared_ptr<const TFrameMetrics> FSavedFrameMetrics;
    RECT FLaidOutClient{0, 0, 0, 0}; // client rectangle the form object last laid out for
    bool FFrameMeasured = false;     // FClientRect and the original frame were read at attach
};

} // namespace wl
