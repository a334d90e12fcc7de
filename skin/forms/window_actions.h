// The window actions of a skinned window and its skinned system menu: TWindowActions, the form
// object's part that maximizes, minimizes and restores the window, sends system commands to the
// active MDI child, builds, shows and tracks the skin-drawn system menu, and handles
// WM_SYSCOMMAND (Alt accelerators of the menu bar, Alt+Space) and the menu's WM_COMMAND.
#pragma once

#include "ui/messages.h"

#include <windows.h>

#include <memory>

namespace wl {

class TComponent;
class TWinSkinForm;

// A form object lets go of its skinned system menu (unskinned, building a new one, or going
// away: `formGoing`). A menu that is open now is not freed under the system's menu loop: it is
// kept until that loop has returned, and a form going away is not touched afterwards.
void ReleaseSystemMenu(TWinSkinForm& form, std::unique_ptr<TComponent>& popup, bool formGoing);

class TWindowActions {
public:
    explicit TWindowActions(TWinSkinForm& owner);
    ~TWindowActions();
    TWindowActions(const TWindowActions&) = delete;
    TWindowActions& operator=(const TWindowActions&) = delete;

    // ---- window actions (title-bar buttons, system menu) ----
    void ToggleMaximize();
    void ToggleMinimize();
    void RestoreWindow();
    // A system command to the active MDI child of an MDI parent.
    void MDIChildCommand(UINT command);
    void ShowSystemMenu(POINT screen);

    // ---- the system menu ----
    // The window's system menu is read once the skin starts.
    void ReadSystemMenu();
    HMENU SysMenu() const { return FSysMenu; }
    // The skinned system menu is being tracked.
    bool SystemMenuOpen() const { return FSystemMenuOpen; }
    // The skinned system menu goes (see ReleaseSystemMenu).
    void ReleaseMenu(bool formGoing);

    // ---- messages ----
    void SysCommand(TMessage& m);
    void MenuCommand(TMessage& m);

private:
    void BuildSystemMenu();

    TWinSkinForm& FOwner;
    std::unique_ptr<TComponent> FSystemMenuPopup; // a TPopupMenu while the system menu is built
    bool FSystemMenuOpen = false; // the skinned system menu is being tracked
    HMENU FSysMenu = nullptr;     // not owned
    DWORD FLastMenuTick = 0;      // when the system menu was last asked for
    UINT FDoubleClickTime = 0;
};

} // namespace wl
