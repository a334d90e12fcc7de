// Menus: items (TMenuItem), the main menu of a form (TMainMenu) and context menus (TPopupMenu).
//
// Items form a tree under the menu's root item (TMenu::Items). Each item with sub-items, and
// each menu root, has its own HMENU, created on first use and owned by that item alone: an
// HMENU is emptied with RemoveMenu before it is destroyed, so destroying one never takes the
// submenus of other items with it. When items change, the entries of the parent's HMENU are
// built again (the handles themselves stay). Every entry carries its item: the command id
// (unique in the process) and dwItemData = the TMenuItem, so WM_COMMAND, WM_MEASUREITEM,
// WM_DRAWITEM, WM_INITMENUPOPUP and WM_MENUSELECT find it (FindMenuItemByCommand and
// FindMenuItemByHandle).
//
// Items are owner-drawn (MFT_OWNERDRAW) when their menu's OwnerDraw is set, when the menu has an
// image list, or when the item has a bitmap or a measure/draw handler; handlers assigned after
// the menu was built take effect when the submenu next opens (WM_INITMENUPOPUP) or on Rebuild.
#pragma once

#include "ui/classes.h"
#include "ui/graphics.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace wl {

class TMenu;
class TCustomImageList;
class TControl;

// An HMENU with one owner. Its entries are removed before it is destroyed, so that destroying
// it never destroys the submenus of other items.
struct MenuFree {
    void operator()(HMENU menu) const;
};
using UniqueMenu = UniqueHandle<HMENU, MenuFree>;

// A key with modifiers: virtual-key code in the low byte, scShift / scCtrl / scAlt above.
using TShortCut = uint16_t;
enum : TShortCut { scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0 };
TShortCut MakeShortCut(WORD key, unsigned shift); // shift: ssShift | ssCtrl | ssAlt bits
// "Ctrl+C", "Shift+Ctrl+F5", "Alt+BkSp"; "" for 0 or a key without a name.
std::string ShortCutToText(TShortCut shortCut);
// The inverse (modifiers in any order and case); 0 when the text is not a shortcut.
TShortCut TextToShortCut(const std::string& text);

// The accelerator character of a caption ("&File" -> 'F'; "&&" is a literal ampersand), 0 if
// none; the caption without accelerator marks.
char GetHotkey(const std::string& caption);
std::string StripHotkey(const std::string& caption);

enum TMenuBreak { mbNone, mbBreak, mbBarBreak };
enum TPopupAlignment { paLeft, paRight, paCenter };
enum TMenuBiDiMode { bdLeftToRight, bdRightToLeft };
enum TFindItemKind { fkCommand, fkHandle, fkShortCut };

// Owner-draw state of an item as a bit set.
enum : unsigned {
    odSelected = 1, odGrayed = 2, odDisabled = 4, odChecked = 8, odFocused = 16, odDefault = 32,
    odHotLight = 64, odInactive = 128, odNoAccel = 256, odNoFocusRect = 512,
};
using TOwnerDrawState = unsigned;
TOwnerDrawState OwnerDrawStateFromItemState(UINT itemState);

using TMenuMeasureItemEvent = TEvent<TObject*, TCanvas*, int&, int&>;
using TMenuDrawItemEvent = TEvent<TObject*, TCanvas*, RECT, bool>;
using TAdvancedMenuDrawItemEvent = TEvent<TObject*, TCanvas*, RECT, TOwnerDrawState>;

class TMenuItem : public TComponent {
    WL_CLASS(TMenuItem, TComponent)
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool IsLine() const { return caption_ == "-"; }
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut shortCut);
    bool Checked() const { return checked_; }
    // Checking a radio item unchecks the radio items of its group among its siblings.
    void SetChecked(bool on);
    bool RadioItem() const { return radioItem_; }
    void SetRadioItem(bool on);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int index);
    bool AutoCheck() const { return autoCheck_; }
    void SetAutoCheck(bool on) { autoCheck_ = on; }
    bool Default() const { return default_; }
    void SetDefault(bool on);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    bool Visible() const { return visible_; }
    void SetVisible(bool on);
    TMenuBreak Break() const { return break_; }
    void SetBreak(TMenuBreak b);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    // A glyph of its own (created on first use); changes rebuild the menu.
    TBitmap& Bitmap();
    bool HasBitmap() const { return bitmap_ && !bitmap_->Empty(); }
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint) { hint_ = hint; }

    // The command id of this item's entries: unique in the process, in 1..0xFFFF.
    UINT Command() const { return command_; }
    // The HMENU holding the sub-items (created on first use; owned by this item).
    HMENU Handle();
    bool HandleAllocated() const { return static_cast<bool>(handle_); }

    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
    TMenuItem* operator[](int index) const { return Items(index); }
    void Add(TMenuItem* item);
    // Throws EMenuError for an item that is already in a menu or an index out of range.
    void Insert(int index, TMenuItem* item);
    // Frees the sub-item at `index`.
    void Delete(int index);
    // Takes a sub-item out without freeing it (the caller owns it then).
    void Remove(TMenuItem* item);
    // Frees every sub-item.
    void Clear();
    int IndexOf(const TMenuItem* item) const;
    TMenuItem* Parent() const { return parent_; }
    int MenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }
    void SetMenuIndex(int index);
    // The menu of the tree this item is in (nullptr for a loose item).
    TMenu* GetParentMenu() const;
    // The first sub-item whose caption, without accelerator marks, equals `caption`.
    TMenuItem* Find(const std::string& caption) const;

    // What a choice of the item does: toggles AutoCheck items and runs OnClick.
    virtual void Click();
    // Measures the item: the default size first, then OnMeasureItem may change it.
    void MeasureItem(TCanvas& canvas, int& width, int& height);
    // Draws the item with OnAdvancedDrawItem, else OnDrawItem, else DefaultDrawItem.
    void DrawItem(TCanvas& canvas, const RECT& rect, TOwnerDrawState state);
    void DefaultDrawItem(TCanvas& canvas, const RECT& rect, TOwnerDrawState state);
    // Whether the item's entry is owner-drawn.
    bool IsOwnerDraw() const;
    // A top-level item of a main menu (shown in the menu bar).
    bool IsMenuBarItem() const;
    // Builds the entries of this item's HMENU again (after handlers changed).
    void RebuildHandle();
    // Forgets a handle the system has already destroyed (with the window it was set on).
    void ForgetHandle();

    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* parent) override;
    bool GetChildComponents(std::vector<TComponent*>& children) const override;
    bool ReadBinaryProperty(const std::string& name, const std::string& bytes) override;
    void WriteBinaryProperties(std::vector<std::pair<std::string, std::string>>& out) const override;

    TNotifyEvent OnClick;
    TMenuMeasureItemEvent OnMeasureItem;
    TMenuDrawItemEvent OnDrawItem;
    TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;

private:
    friend class TMenu;
    friend class TMainMenu;
    // Fills `info` for this item's entry in its parent's HMENU (text kept alive in `text`).
    void FillEntry(MENUITEMINFOA& info, std::string& text);
    // Something shown changed: the parent's entries are built again and the menu is told.
    void Changed();
    void ItemsChanged();
    void TurnSiblingsOff();

    std::string caption_;
    TShortCut shortCut_ = 0;
    bool checked_ = false;
    bool radioItem_ = false;
    int groupIndex_ = 0;
    bool autoCheck_ = false;
    bool default_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    TMenuBreak break_ = mbNone;
    int imageIndex_ = -1;
    std::unique_ptr<TBitmap> bitmap_;
    std::string hint_;
    UINT command_ = 0;
    UniqueMenu handle_;
    std::vector<TMenuItem*> items_;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr; // set on the root item of a menu
};

// The common part of main and popup menus: the root item, the image list, owner-draw.
class TMenu : public TComponent {
    WL_CLASS(TMenu, TComponent)
public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;

    TMenuItem* Items() const { return items_.get(); }
    HMENU Handle() { return items_->Handle(); }
    TCustomImageList* Images() const { return images_; }
    void SetImages(TCustomImageList* images);
    std::string ImagesName() const;
    void SetImagesName(const std::string& name);
    bool OwnerDraw() const { return ownerDraw_; }
    void SetOwnerDraw(bool on);
    TMenuBiDiMode BiDiMode() const { return biDiMode_; }
    void SetBiDiMode(TMenuBiDiMode mode);
    bool IsRightToLeft() const { return biDiMode_ == bdRightToLeft; }

    // The item with that command, submenu handle or shortcut (nullptr when none), merged menus
    // included.
    virtual TMenuItem* FindItem(UINT value, TFindItemKind kind) const;
    // Clicks the enabled, visible item with this shortcut; false when there is none.
    bool IsShortCut(TShortCut shortCut);
    // Builds every entry of the menu again (for example after owner-draw handlers changed).
    void Rebuild();

    void Notification(TComponent* component, TOperation operation) override;
    bool GetChildComponents(std::vector<TComponent*>& children) const override;

protected:
    friend class TMenuItem;
    // The root's HMENU is a menu bar (CreateMenu) or a popup (CreatePopupMenu).
    virtual bool IsMenuBar() const { return false; }
    // The items shown at the top level (merged menus add theirs).
    virtual void GetRootEntries(std::vector<TMenuItem*>& entries) const;
    // Something in the tree changed after its handles existed.
    virtual void MenuChanged() {}

private:
    std::unique_ptr<TMenuItem> items_;
    TCustomImageList* images_ = nullptr;
    bool ownerDraw_ = false;
    TMenuBiDiMode biDiMode_ = bdLeftToRight;
};

// The menu bar of a form (TCustomForm::Menu). Menus of other forms merge into it by
// GroupIndex: a merged menu's top-level items replace the items of the same GroupIndex and are
// placed among the others in GroupIndex order.
class TMainMenu : public TMenu {
    WL_CLASS(TMainMenu, TMenu)
public:
    explicit TMainMenu(TComponent* owner);
    ~TMainMenu() override;

    // A form whose main menu has AutoMerge shows no menu bar of its own while it is not the
    // main form: its menu is merged into the main form's.
    bool AutoMerge() const { return autoMerge_; }
    void SetAutoMerge(bool on) { autoMerge_ = on; }
    void Merge(TMainMenu* menu);
    void Unmerge(TMainMenu* menu);
    TMainMenu* Merged() const { return merged_; }
    TMainMenu* MergedInto() const { return mergedInto_; }

    // The window showing this menu (set by the form).
    HWND WindowHandle() const { return window_; }
    void SetWindowHandle(HWND window);

    TMenuItem* FindItem(UINT value, TFindItemKind kind) const override;
    void Notification(TComponent* component, TOperation operation) override;

protected:
    bool IsMenuBar() const override { return true; }
    void GetRootEntries(std::vector<TMenuItem*>& entries) const override;
    void MenuChanged() override;

private:
    bool autoMerge_ = false;
    TMainMenu* merged_ = nullptr;
    TMainMenu* mergedInto_ = nullptr;
    HWND window_ = nullptr;
};

// A context menu: shown by Popup, or by a right click on a control whose PopupMenu it is.
class TPopupMenu : public TMenu {
    WL_CLASS(TPopupMenu, TMenu)
public:
    explicit TPopupMenu(TComponent* owner);
    ~TPopupMenu() override;

    TPopupAlignment Alignment() const { return alignment_; }
    void SetAlignment(TPopupAlignment a) { alignment_ = a; }
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool on) { autoPopup_ = on; }
    // The control the menu was last shown for.
    TComponent* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TComponent* component);
    // Shows the menu at a screen point and returns when it closes; the chosen item's OnClick
    // runs when its WM_COMMAND arrives (right after, through the message loop).
    virtual void Popup(int x, int y);

    void Notification(TComponent* component, TOperation operation) override;

    TNotifyEvent OnPopup;

private:
    TPopupAlignment alignment_ = paLeft;
    bool autoPopup_ = true;
    TComponent* popupComponent_ = nullptr;
};

// A menu tree that cannot be changed that way (an item in two menus, a bad index).
class EMenuError : public Exception {
public:
    using Exception::Exception;
};

// Lookups over every live item of the process.
TMenuItem* FindMenuItemByCommand(UINT command);
TMenuItem* FindMenuItemByHandle(HMENU submenu);
// The item last highlighted in an open menu (WM_MENUSELECT); nullptr once the menu closed.
TMenuItem* SelectedMenuItem();
// The hidden window that owns shown popup menus and receives their messages.
HWND PopupListWindow();
// Shows the submenu of `item` (of any menu) at the screen point and runs the chosen item; a
// tool button standing for a main menu's item opens it this way. Nothing for an item without
// sub-items.
void PopupMenuItem(TMenuItem* item, int x, int y);

// Menu messages of a window: WM_COMMAND (menu and accelerator), WM_INITMENUPOPUP,
// WM_MENUSELECT, WM_MEASUREITEM and WM_DRAWITEM of menu items. `accepts` tells whether an item
// of that menu may be handled here; true when the message was handled.
struct TMenuMessage {
    HWND window = nullptr;
    UINT msg = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;
};
bool DispatchMenuMessage(TMenuMessage& m, bool (*accepts)(const TMenu* menu, const void* context),
                         const void* context);

} // namespace wl
