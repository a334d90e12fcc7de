// The window's menu under the skin: TFormMenu, the form object's part that takes the window's
// menu into the skinned menu bar (at attach, or when a menu comes later), reads it again when it
// changes, gives it back to the window when the skin lets go, and routes Alt accelerators and
// the hot strip into the bar.
#pragma once

#include "ui/forms.h"
#include "ui/messages.h"

#include <windows.h>

#include <memory>

namespace wl {

class TWinSkinForm;
class TWinSkinMenu;

class TFormMenu {
public:
    explicit TFormMenu(TWinSkinForm& owner);
    ~TFormMenu();
    TFormMenu(const TFormMenu&) = delete;
    TFormMenu& operator=(const TFormMenu&) = delete;

    // The skinned menu bar, for a window with a menu.
    TWinSkinMenu* Bar() const { return FMenuBar.get(); }
    // The window's menu at attach (not owned), read by ReadWindowMenu.
    HMENU WindowMenu() const { return FMenuHandle; }
    void ReadWindowMenu();
    // The bar for the window's menu, made at attach.
    void CreateMenuBar();
    // The window gets its menu back and the menu bar goes.
    void GiveMenuBack();
    // The bar goes without the window getting anything back (the form object is freed).
    void FreeBar();

    // ---- messages ----
    // CM_MENUCHANGED of the window, and of the form object's own procedure layer.
    void CMMenuChanged(TMessage& m);
    void FormMenuChanged(TMessage& m, const TWindowProcChain::Previous& previous);
    // CM_DIALOGKEY: Alt accelerators open the bar's drop-downs.
    void DialogKey(TMessage& m, const TWindowProcChain::Previous& previous);
    // SKM_MENUHOT: the drop-down of the button under the point.
    void MenuHot(TMessage& m);

private:
    // The menu bar reads a changed menu again; the window keeps none of its own.
    void MenuChanged();
    void AddLateMenuBar();

    TWinSkinForm& FOwner;
    std::unique_ptr<TWinSkinMenu> FMenuBar;
    HMENU FMenuHandle = nullptr; // the window's menu at attach, not owned
};

} // namespace wl
