// The window actions of a skinned window (maximize, minimize, restore, the MDI child commands),
// its skin-drawn system menu (built from the window's system menu, shown and tracked), and its
// WM_SYSCOMMAND / WM_COMMAND handling.
#include "skin/forms/window_actions.h"

#include "skin/data/skin_data.h"
#include "skin/forms/menu_bar.h"
#include "skin/forms/menu_items.h"
#include "skin/forms/title_buttons.h"
#include "skin/forms/win_skin_form.h"
#include "ui/imglist.h"
#include "ui/menus.h"

#include <cstdint>

namespace wl {

namespace {

bool OldNtOr9x() {
    const DWORD v = GetVersion();
    return (v & 0x80000000u) != 0 || LOBYTE(LOWORD(v)) < 5;
}

} // namespace

TWindowActions::TWindowActions(TWinSkinForm& owner) : FOwner(owner), FDoubleClickTime(GetDoubleClickTime()) {}

TWindowActions::~TWindowActions() = default;

void TWindowActions::ReadSystemMenu() { FSysMenu = GetSystemMenu(FOwner.Handle(), FALSE); }

void TWindowActions::ReleaseMenu(bool formGoing) { ReleaseSystemMenu(FOwner, FSystemMenuPopup, formGoing); }

// ---- actions -------------------------------------------------------------------------------------

void TWindowActions::ToggleMaximize() {
    if (FOwner.WindowState() == wstMaximized) {
        RestoreWindow();
        return;
    }
    if (FOwner.FormKind() == fkMdiChild) FOwner.ManagerSetMaximizedChildren(true);
    FOwner.SetWindowState(wstMaximized);
    PostMessageW(FOwner.Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    FOwner.TitleButtons().SetHotObject(nullptr);
}

void TWindowActions::ToggleMinimize() {
    if (FOwner.WindowState() == wstMinimized) {
        RestoreWindow();
        return;
    }
    FOwner.SetWindowState(wstMinimized);
    FOwner.SetSysMenuStyle(true);
    PostMessageW(FOwner.Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void TWindowActions::RestoreWindow() {
    FOwner.SetWindowState(wstNormal);
    PostMessageW(FOwner.Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
}

void TWindowActions::MDIChildCommand(UINT command) {
    if (FOwner.FormKind() != fkMdiParent || !FOwner.ClientWnd()) return;
    HWND child = reinterpret_cast<HWND>(SendMessageW(FOwner.ClientWnd(), WM_MDIGETACTIVE, 0, 0));
    if (child) SendMessageW(child, WM_SYSCOMMAND, command, 0);
}

// ---- system menu ---------------------------------------------------------------------------------

namespace {

// The skinned system menu while the system tracks it (one per tracked menu on the thread; the
// innermost last). Lives on the stack of ShowSystemMenu.
class TShownSystemMenu {
public:
    TShownSystemMenu(TWinSkinForm& form, const TComponent* shown, bool& tracking)
        : Form(&form), Shown(shown), Tracking(&tracking), Previous(tracking), Outer(Innermost) {
        Innermost = this;
        tracking = true;
    }
    ~TShownSystemMenu() {
        Innermost = Outer;
        if (Tracking) *Tracking = Previous;
        // A parked menu goes now (Parked is freed after this body).
    }
    TShownSystemMenu(const TShownSystemMenu&) = delete;
    TShownSystemMenu& operator=(const TShownSystemMenu&) = delete;

    static inline thread_local TShownSystemMenu* Innermost = nullptr;
    TWinSkinForm* Form;
    const TComponent* Shown;
    bool* Tracking; // the form's FSystemMenuOpen, null once the form is going
    bool Previous;
    TShownSystemMenu* Outer;
    std::unique_ptr<TComponent> Parked;
};

} // namespace

void ReleaseSystemMenu(TWinSkinForm& form, std::unique_ptr<TComponent>& popup, bool formGoing) {
    for (TShownSystemMenu* shown = TShownSystemMenu::Innermost; shown; shown = shown->Outer) {
        if (shown->Form != &form) continue;
        if (formGoing) {
            shown->Form = nullptr;
            shown->Tracking = nullptr;
        }
        if (popup && shown->Shown == popup.get()) shown->Parked = std::move(popup);
    }
    popup.reset();
}

void TWindowActions::BuildSystemMenu() {
    ReleaseSystemMenu(FOwner, FSystemMenuPopup, false);
    auto popup = std::make_unique<TPopupMenu>(nullptr);
    popup->SetTag(33333);
    // Restore, maximize, minimize and close glyphs (16 x 16, white transparent), owned by the
    // popup; a skin without them gives a menu of text only.
    if (FOwner.SkinData() && FOwner.SkinData()->MenuGlyphs.Width() >= 16 && FOwner.SkinData()->MenuGlyphs.Height() >= 16) {
        auto* glyphs = new TImageList(popup.get());
        glyphs->SetWidth(16);
        glyphs->SetHeight(16);
        try {
            glyphs->AddMasked(FOwner.SkinData()->MenuGlyphs, clWhite);
            popup->SetImages(glyphs);
        } catch (const std::exception&) {
            // Damaged glyphs: the menu goes without them.
        }
    }
    popup->SetOwnerDraw(true);
    const HWND window = FOwner.Handle();
    auto add = [&](const std::string& caption, intptr_t tag, int image) {
        auto* item = new TMenuItem(popup.get());
        item->SetCaption(caption);
        item->SetTag(tag);
        item->SetImageIndex(image);
        popup->Items()->Add(item);
        return item;
    };
    if (OldNtOr9x() && !(GetVersion() & 0x80000000u)) {
        add(" Restore ", 0, 0)->OnClick = [this](TObject*) { RestoreWindow(); };
        if (FOwner.Caps() & capMaximize) add(" Maximize ", 1, 1)->OnClick = [this](TObject*) { ToggleMaximize(); };
        if (FOwner.Caps() & capMinimize) add(" Minimize ", 2, 2)->OnClick = [this](TObject*) { ToggleMinimize(); };
        add("-", 100, -1);
        TMenuItem* close = add(" Close ", 3, 3);
        close->SetShortCut(TextToShortCut("ALT+F4"));
        close->OnClick = [this](TObject*) {
            FOwner.TitleButtons().EnableHover(false);
            PostMessageW(FOwner.Handle(), WM_CLOSE, 0, 0);
        };
    } else if (FSysMenu) {
        const int count = GetMenuItemCount(FSysMenu);
        for (int i = 0; i < count; ++i) {
            wchar_t text[80] = {};
            MENUITEMINFOW info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_STATE | MIIM_ID | MIIM_FTYPE | MIIM_STRING;
            info.dwTypeData = text;
            info.cch = 79;
            if (!GetMenuItemInfoW(FSysMenu, static_cast<UINT>(i), TRUE, &info)) continue;
            char narrow[256] = {};
            const int n = WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
            const std::string caption = n > 1 ? std::string(narrow, static_cast<size_t>(n - 1)) : std::string("-");
            const UINT id = info.wID;
            int image = -1;
            bool enabled = (info.fState & MFS_GRAYED) == 0;
            switch (id) {
            case SC_SIZE:
            case SC_MOVE: enabled = FOwner.WindowState() != wstMaximized; break;
            case SC_MINIMIZE:
                image = 2;
                enabled = FOwner.WindowState() != wstMinimized && (FOwner.Caps() & capMinimize);
                break;
            case SC_MAXIMIZE:
                image = 1;
                enabled = FOwner.WindowState() != wstMaximized && (FOwner.Caps() & capMaximize);
                break;
            case SC_CLOSE: image = 3; break;
            case SC_RESTORE:
                image = 0;
                enabled = FOwner.WindowState() != wstNormal;
                break;
            default: break;
            }
            TMenuItem* item = add(caption, static_cast<intptr_t>(id), image);
            item->SetEnabled(enabled && info.fState != MFS_GRAYED);
            item->SetChecked((info.fState & MFS_CHECKED) != 0);
            if (caption != "-")
                item->OnClick = [window, id](TObject*) { PostMessageW(window, WM_SYSCOMMAND, id, 0); };
        }
    }
    // Its items are drawn by the skin, measured as popup items.
    FOwner.MenuItems().SkinPopupItems(popup->Items());
    FSystemMenuPopup = std::move(popup);
}

void TWindowActions::ShowSystemMenu(POINT screen) {
    const DWORD now = GetTickCount();
    if (now - FLastMenuTick > FDoubleClickTime) {
        FOwner.SetManagerMenuKind(2);
        FLastMenuTick = now;
        BuildSystemMenu();
        if (auto* popup = dynamic_cast<TPopupMenu*>(FSystemMenuPopup.get())) {
            // While it is open the manager's actions wait (as for a drop-down of the bar), and
            // whatever lets go of the menu leaves it to this scope.
            TShownSystemMenu shown(FOwner, popup, FSystemMenuOpen);
            popup->Popup(screen.x, screen.y);
        }
        return;
    }
    // A second click within the double-click time (on the icon button) closes the window.
    if (FOwner.TitleButtons().HotObject()) {
        FOwner.TitleButtons().EnableHover(false);
        PostMessageW(FOwner.Handle(), WM_CLOSE, 0, 0);
    }
}

// ---- commands ------------------------------------------------------------------------------------

void TWindowActions::SysCommand(TMessage& m) {
    const UINT command = static_cast<UINT>(m.WParam) & 0xFFF0;
    const LPARAM key = m.LParam;
    if (!FOwner.MenuTracker().Tracking() && command == SC_KEYMENU && key != ' ' && key != '-' && !GetCapture()) {
        // Alt+letter opens the item with that accelerator; Alt alone (and F10) the first item.
        TMenuBtn* button = nullptr;
        if (key) {
            button = FOwner.FindAccelButton(static_cast<WORD>(key));
        } else if (TWinSkinMenu* bar = FOwner.MenuBar()) {
            for (int i = 0; i < bar->ItemCount() && !button; ++i) {
                TMenuBtn* b = bar->Button(i);
                if (b->Visible() && !b->Caption().empty()) button = b;
            }
        }
        if (key == 0 || button) {
            if (button) FOwner.OpenMenuButton(button);
            m.Result = 1;
            return;
        }
    }
    if (!FOwner.MenuTracker().Tracking() && command == SC_KEYMENU && key == ' ') {
        // Alt+Space: the skinned system menu at the client origin, instead of the system's.
        POINT origin{0, 0};
        ClientToScreen(FOwner.Handle(), &origin);
        ShowSystemMenu(origin);
        m.Result = 0;
        return;
    }
    switch (command) {
    case SC_MINIMIZE:
        FOwner.SetWindowState(wstMinimized);
        if (FOwner.FormKind() == fkMdiChild) FOwner.SetCaptionStyle(true);
        break;
    case SC_MAXIMIZE: FOwner.SetWindowState(wstMaximized); break;
    case SC_RESTORE:
        FOwner.SetWindowState(wstNormal);
        if (FOwner.FormKind() == fkMdiChild) {
            FOwner.SetCaptionStyle(false);
            if (FOwner.ManagerMaximizedChildren()) FOwner.ManagerSetMaximizedChildren(false);
        }
        break;
    default: break;
    }
    FOwner.Default(m);
}

void TWindowActions::MenuCommand(TMessage& m) {
    const UINT id = LOWORD(m.WParam);
    switch (id) {
    case SC_SIZE:
    case SC_MOVE:
    case SC_MINIMIZE:
    case SC_MAXIMIZE:
    case SC_NEXTWINDOW:
    case SC_PREVWINDOW:
    case SC_CLOSE:
    case SC_RESTORE:
        PostMessageW(FOwner.Handle(), WM_SYSCOMMAND, id, 0);
        m.Result = 0;
        return;
    default: FOwner.Default(m); return;
    }
}

} // namespace wl
