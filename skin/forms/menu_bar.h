// The skinned menu bar of a TWinSkinForm: TWinSkinMenu reads the items of the window's menu
// (the window itself then shows none), lays them out in the strip the frame reserves below the
// title and paints them; TMenuBtn is the clickable object of one top-level item. TMenuTracker
// opens a drop-down and moves between the items with the mouse and the keyboard while one is
// open (a WH_MSGFILTER hook of the thread, installed only for that time); Alt accelerators are
// routed by the form object's menu part (TFormMenu, form_menu.h), merged MDI menus by its MDI
// client procedure. The window-free rules (layout,
// accelerators, separator tidying, the next item for the arrow keys) are declared at the end
// so they can be tested alone.
#pragma once

#include "skin/forms/title_buttons.h"
#include "ui/classes.h"
#include "ui/graphics.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace wl {

class TMainMenu;
class TMenuItem;
class TSkinData;
class TWinSkinForm;

class TMenuBtn : public TNCObject {
public:
    TMenuBtn(TWinSkinForm* owner, TSkinData* data, int index) : TNCObject(owner), FSkinData(data), FIndex(index) {}
    void Paint() override;

    TMenuItem* MenuItem() const { return FMenuItem; }
    int Index() const { return FIndex; }
    const std::wstring& Caption() const { return FCaption; }
    bool Enabled() const { return FEnabled; }
    HMENU SubMenu() const { return FSubMenu; }
    UINT Command() const { return FCommand; }

private:
    friend class TWinSkinMenu;
    TMenuItem* FMenuItem = nullptr; // not owned
    TSkinData* FSkinData = nullptr;
    int FIndex = 0;
    std::wstring FCaption;
    bool FEnabled = true;
    HMENU FSubMenu = nullptr;
    UINT FCommand = 0;
};

class TWinSkinMenu : public TComponent {
    WL_CLASS(TWinSkinMenu, TComponent)
public:
    explicit TWinSkinMenu(TComponent* owner);
    ~TWinSkinMenu() override;

    // The skinned window, its skin and its menu (the form object's, or none).
    void Setup(TWinSkinForm* form, TSkinData* data, TMainMenu* menu, HMENU handle);
    // Reads the window's menu into buttons and takes the menu off the window. A form object
    // without a menu (its Menu set to nil) shows an empty bar.
    void ReadMenu();
    // After an MDI child merged its menu into the window's.
    void ReadMergedMenu();
    // A bar button made from entry `index` of the window's menu; `id` is the entry's command.
    std::unique_ptr<TMenuBtn> ButtonFromEntry(int index, UINT& id) const;
    void LayoutItems();
    void PaintMenuBar(HDC dc, const RECT& strip);
    // The button at a window point whose caption is not empty.
    TMenuBtn* ItemAt(POINT windowPoint) const;
    // The first enabled, visible button whose caption has `key` as accelerator.
    TMenuBtn* FindAccelButton(WORD key) const;
    bool RightToLeft() const;

    HMENU MenuHandle() const { return FMenuHandle; }
    void SetMenuHandle(HMENU menu) { FMenuHandle = menu; }
    TMainMenu* Menu() const { return FMenu; }
    int ItemCount() const { return static_cast<int>(FItemButtons.size()); }
    TMenuBtn* Button(int index) const;
    // The strip's background as the last paint drew it (no captions, no buttons).
    const TBitmap& Background() const { return *FBackground; }
    TBitmap& Background() { return *FBackground; }
    RECT Strip() const { return RECT{FStripLeft, FStripTop, FStripRight, FStripBottom}; }

    // A menu item or the menu going away: the buttons that show it stop naming it.
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TMenuBtn;
    void FreeButtons();
    void SetMenuObject(TMainMenu* menu);
    // Hears when the menu or a button's item is freed.
    void WatchItems();
    // The strip in window coordinates as the form's frame gives it now.
    RECT CurrentStrip() const;
    void Layout(HDC dc, const RECT& strip);
    void DrawCaption(HDC dc, const TMenuBtn& button, TColor color) const;

    std::vector<std::unique_ptr<TMenuBtn>> FItemButtons;
    TMainMenu* FMenu = nullptr; // not owned
    int FStripLeft = 0, FStripTop = 0, FStripRight = 0, FStripBottom = 0;
    TWinSkinForm* FOwnerForm = nullptr;
    std::unique_ptr<TBitmap> FBackground;
    int FItemCount = 0;
    HMENU FMenuHandle = nullptr; // not owned
    TSkinData* FSkinData = nullptr;
};

// ---- window-free rules ---------------------------------------------------------------------------

// Where the first button starts in a strip of `stripWidth`: 6 without a menu-bar element; with
// one, its left margin + 4 (right-to-left: its right margin + 8), or 12 when the strip is
// narrower than that.
int MenuBarStartOffset(bool hasElement, int leftMargin, int rightMargin, bool rightToLeft, int stripWidth);

// Bounds of buttons of the given text widths (-1: invisible) in `strip`: a visible button is
// its text width + 10 wide (0 wide for an empty text), laid out from the start offset towards
// the right, or from the right edge for right-to-left; its bottom one pixel above the strip's.
std::vector<RECT> LayoutMenuButtons(const std::vector<int>& textWidths, const RECT& strip, int start,
                                    bool rightToLeft);

// Whether an 8-bit caption has `key` as accelerator ("&F" for 'f' or 'F'; "&&" is no mark).
bool CaptionHasAccel(const std::string& caption, WORD key);

// The separator rules of a drop-down: none first, none last, one per run. Entries are
// (separator, visible); the visibility is changed in place.
struct TTidyEntry {
    bool Separator = false;
    bool Visible = true;
};
void TidySeparators(std::vector<TTidyEntry>& entries);

// The index of the menu-bar button whose drop-down is open, -1 when none is.
int TrackedMenuIndex();
// Whether the entry with this command was switched to owner-draw for the open drop-down.
bool SwitchedToOwnerDraw(UINT command);

// The tracking of one drop-down of a skinned menu bar: it opens the button's drop-down, keeps
// the thread's message-filter hook while the drop-down is open (the arrow keys and the mouse
// move to the neighbouring button), and holds everything that tracking needs. Owned by the
// form object, so it outlives its menu bar being rebuilt while a drop-down is open.
class TMenuTracker {
public:
    explicit TMenuTracker(TWinSkinForm& form) : FForm(form) {}
    ~TMenuTracker();
    TMenuTracker(const TMenuTracker&) = delete;
    TMenuTracker& operator=(const TMenuTracker&) = delete;

    // Opens the button's drop-down and tracks it until it closes; whether one was tracked.
    bool Open(TMenuBtn* button);
    // Asks for the button's drop-down: at once when none is open, else once the open one closed.
    void Press(TMenuBtn* button);
    // WM_MENUSELECT of the tracked drop-down.
    void NoteMenuSelect(WPARAM wParam, LPARAM lParam);

    bool Tracking() const { return FTracking; }
    HMENU TrackedMenu() const { return FTrackedMenu; }
    int OpenIndex() const { return FHook ? FOpenIndex : -1; }
    bool Switched(UINT command) const;
    HHOOK Hook() const { return FHook; }

    // The tracker whose drop-down is open on this thread, null when none is.
    static TMenuTracker* Active();

private:
    struct TSavedType {
        HMENU Menu;
        UINT Position;
        UINT Type;
    };
    void OwnerDrawTree(HMENU menu, std::vector<TSavedType>& saved, int depth = 0);
    void RestoreTypes(const std::vector<TSavedType>& saved);
    void InstallHook();
    void RemoveHook();
    LRESULT Filter(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK FilterProc(int code, WPARAM wParam, LPARAM lParam);

    TWinSkinForm& FForm; // the owner
    HHOOK FHook = nullptr;
    bool FTracking = false;
    HMENU FTrackedMenu = nullptr;
    int FOpenIndex = -1;
    TMenuItem* FCurrentItem = nullptr; // not owned
    HMENU FCurrentMenu = nullptr;      // the menu holding the selected entry
    bool FCurrentHasSub = false;       // the selected entry opens a submenu
    bool FFirstSeen = false;
    bool FSwitching = false;
    int FSwitchTarget = -1;
    POINT FLastPoint{0, 0};
    std::vector<UINT> FSwitchedIds;
};

// The button the arrow keys move to from `open` among `count` buttons (wrapping), skipping
// none; -1 when there are no buttons.
int NeighbourButton(int open, int count, bool forward);

} // namespace wl
