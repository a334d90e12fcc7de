// The window's menu under the skin: the bar made for it at attach or when a menu comes later,
// read again on changes, given back on detach; Alt accelerators and the hot strip.
#include "skin/forms/form_menu.h"

#include "skin/data/skin_data.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/menu_bar.h"
#include "skin/forms/skin_manage.h"
#include "skin/forms/win_skin_form.h"
#include "ui/menus.h"

namespace wl {

TFormMenu::TFormMenu(TWinSkinForm& owner) : FOwner(owner) {}

TFormMenu::~TFormMenu() = default;

void TFormMenu::ReadWindowMenu() { FMenuHandle = GetMenu(FOwner.Handle()); }

void TFormMenu::FreeBar() { FMenuBar.reset(); }

void TFormMenu::CreateMenuBar() {
    // The frame is measured while the system's menu bar is still in it: that is the frame the
    // window gets back when the skin lets go.
    FOwner.Fitting().MeasureOriginalFrame(true);
    FMenuBar = std::make_unique<TWinSkinMenu>(nullptr);
    FMenuBar->Setup(&FOwner, FOwner.SkinData(), FOwner.Form() ? FOwner.Form()->Menu() : nullptr, FMenuHandle);
    FOwner.Frame().SetMenuBarHeight(GetSystemMetrics(SM_CYMENU));
    FMenuBar->ReadMenu();
}

void TFormMenu::CMMenuChanged(TMessage& m) {
    if (FOwner.SkinData()) {
        const bool paint = FOwner.SkinData()->PaintFrames;
        FOwner.SkinData()->PaintFrames = false;
        FOwner.Default(m);
        FOwner.SkinData()->PaintFrames = paint;
    } else {
        FOwner.Default(m);
    }
    MenuChanged();
}

void TFormMenu::FormMenuChanged(TMessage& m, const TWindowProcChain::Previous& previous) {
    // The form object tells itself of menu changes directly, past the window procedure.
    const bool paint = FOwner.SkinData() ? FOwner.SkinData()->PaintFrames : true;
    if (FOwner.SkinData()) FOwner.SkinData()->PaintFrames = false;
    previous(m);
    if (FOwner.SkinData()) FOwner.SkinData()->PaintFrames = paint;
    MenuChanged();
}

void TFormMenu::MenuChanged() {
    if (!IsWindow(FOwner.Handle())) return;
    if (!FMenuBar) {
        AddLateMenuBar();
        return;
    }
    if (FOwner.SkinData() && FOwner.SkinData()->MenuUpdate()) {
        // A new menu is on the window; a changed one keeps its handle (the window shows none).
        if (HMENU now = GetMenu(FOwner.Handle())) FMenuBar->SetMenuHandle(now);
        else if (FOwner.Form() && FOwner.Form()->Menu()) FMenuBar->SetMenuHandle(FOwner.Form()->Menu()->Handle());
        FMenuBar->ReadMenu();
        if (FOwner.State() == sfsRunning) FOwner.PaintFrame(nullptr);
    }
    if (GetMenu(FOwner.Handle())) SetMenu(FOwner.Handle(), nullptr);
}

void TFormMenu::AddLateMenuBar() {
    HMENU menu = GetMenu(FOwner.Handle());
    if (!menu || !FOwner.SkinFrame() || FOwner.FormKind() == fkMdiChild || FOwner.BorderKind() == bkNone ||
        FOwner.State() != sfsRunning)
        return;
    // The window gets a menu while skinned: the bar takes it, and the frame grows by the strip
    // with the client area kept. The frame given back on unskin carries the system's menu bar.
    const DWORD style = static_cast<DWORD>(FOwner.Style() | WS_CAPTION);
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(FOwner.Handle(), GWL_EXSTYLE));
    RECT without{0, 0, 200, 200}, with{0, 0, 200, 200};
    AdjustWindowRectEx(&without, style, FALSE, exStyle);
    AdjustWindowRectEx(&with, style, TRUE, exStyle);
    FOwner.Fitting().AddToOriginalFrameHeight((with.bottom - with.top) - (without.bottom - without.top));
    // Read before the strip is reserved: taking the menu off the window recomputes the frame.
    RECT keep{0, 0, 0, 0};
    GetClientRect(FOwner.Handle(), &keep);
    FMenuHandle = menu;
    FMenuBar = std::make_unique<TWinSkinMenu>(nullptr);
    FMenuBar->Setup(&FOwner, FOwner.SkinData(), FOwner.Form() ? FOwner.Form()->Menu() : nullptr, FMenuHandle);
    FOwner.Frame().SetMenuBarHeight(GetSystemMetrics(SM_CYMENU));
    FMenuBar->ReadMenu();
    const RECT b = FOwner.Frame().Borders();
    SetWindowPos(FOwner.Handle(), nullptr, 0, 0, keep.right + b.left + b.right,
                 keep.bottom + b.top + b.bottom + FOwner.Frame().MenuBarHeight(),
                 SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE);
}

void TFormMenu::GiveMenuBack() {
    if (!FMenuBar) return;
    HMENU menu = FMenuBar->MenuHandle() ? FMenuBar->MenuHandle() : FMenuHandle;
    // A form object's window gets the menu its form shows now (none after Menu := nil).
    if (FOwner.Form() && FOwner.State() != sfsDestroying) {
        TMainMenu* own = FOwner.Form()->Menu();
        menu = own && own->WindowHandle() == FOwner.Handle() ? own->Handle() : nullptr;
    }
    FMenuBar.reset();
    // A form being destroyed has taken its menu off already; the window must not take it along.
    if (FOwner.Form() && FOwner.State() == sfsDestroying) return;
    const HWND window = FOwner.Handle();
    if (menu && IsMenu(menu) && IsWindow(window) && !GetMenu(window)) SetMenu(window, menu);
}

void TFormMenu::DialogKey(TMessage& m, const TWindowProcChain::Previous& previous) {
    previous(m);
    if (m.Result != 0) return;
    const WORD key = static_cast<WORD>(m.WParam);
    const bool altOnly = GetKeyState(VK_MENU) < 0 && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0;
    if (altOnly) {
        if (TMenuBtn* b = FOwner.FindAccelButton(key)) {
            FOwner.PressMenuButton(b);
            m.Result = 1;
            return;
        }
    }
    if (FOwner.FormKind() == fkMdiChild) {
        TSkinManage* manager = TSkinManage::Instance();
        if (manager && manager->MdiParent && manager->MdiParent != FOwner.Form()) {
            const LRESULT r = manager->MdiParent->Perform(CM_DIALOGKEY, m.WParam, m.LParam);
            if (r) m.Result = r;
        }
    } else if (Application && Application->MainForm() && FOwner.Form() && Application->MainForm() != FOwner.Form()) {
        // The main form's menu bar answers Alt accelerators typed in other windows.
        Application->MainForm()->Perform(CM_DIALOGKEY, m.WParam, m.LParam);
    }
}

void TFormMenu::MenuHot(TMessage& m) {
    m.Result = 0;
    const POINT screen{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
    const POINT p = FOwner.ScreenToWindow(screen);
    if (FOwner.TitleButtons().FindButton(p)) return;
    if (TMenuBtn* b = FMenuBar ? FMenuBar->ItemAt(p) : nullptr) FOwner.OpenMenuButton(b);
}

} // namespace wl
