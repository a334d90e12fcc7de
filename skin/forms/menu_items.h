// Skin-drawn menu items: which menus are switched to owner-draw so that the skinned form object
// measures and paints their items (and back), and the window-free rules of measuring and
// colouring. The drawing is the form object's part TSkinMenuItems (menu_items.cpp): item backgrounds come
// from the popup window's composed background (popup_menu.h) or the skin's MenuItem element;
// check marks, image-list glyphs, captions with accelerators, shortcuts, separators, disabled
// and default items, and the right-to-left layout.
#pragma once

#include "ui/graphics.h"
#include "ui/messages.h"

#include <windows.h>

#include <string>

namespace wl {

class TComponent;
class TMenuItem;
class TPopupMenu;
class TSkinData;
class TWinSkinForm;

// The skin-drawn menu items of one skinned window: the owner-draw switching of its forms' menus,
// WM_MEASUREITEM / WM_DRAWITEM of the window, and the painting of every item the skin draws for
// it. Owned by the form object; it keeps no state of its own (the skin, the form object and the
// menu bar are the owner's).
class TSkinMenuItems {
public:
    explicit TSkinMenuItems(TWinSkinForm& owner) : FOwner(owner) {}
    TSkinMenuItems(const TSkinMenuItems&) = delete;
    TSkinMenuItems& operator=(const TSkinMenuItems&) = delete;

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

    // ---- messages of the window ----
    void MeasureItem(TMessage& m);
    void DrawItem(TMessage& m);

private:
    void ComposeItem(HMENU menu, TMenuItem* item, TCanvas& canvas, const RECT& rect, bool selected,
                     bool separatorOnly);
    TSkinData* SkinData() const;

    TWinSkinForm& FOwner;
};

// Switches `item` and all its sub-items to skin drawing for `form` (on) or gives them back
// their own drawing (off). What the skin replaced (the application's own handlers) is kept and
// given back.
void HookMenuItems(TWinSkinForm& form, TMenuItem* item, bool on);

// A popup menu of a skinned form drawn by the skin (on: OwnerDraw, every item drawn by the skin
// and, unless it has its own, measured as a popup item) or given back as it was (off). A menu
// whose Tag is the skin's DisableTag, or a skin without popup-menu skinning, leaves it alone; off
// touches only a menu that on took. Whether the menu was changed.
bool SkinPopupMenu(TWinSkinForm& form, TPopupMenu* popup, bool on);

// Forgets the MenuItem renderings kept for repaints (the skin's images change).
void ClearMenuItemImages();

// Width added to an item of a main menu or a toolbar: the MenuItem element's left margin (0
// without the element), 25 for the check column when the menu has no image list, and 10.
int MainItemExtraWidth(bool hasElement, int leftMargin, bool hasImages);
// Width added to an item of a popup or system menu: margin, 23 without an image list, and 12.
int PopupItemExtraWidth(bool hasElement, int leftMargin, bool hasImages);
// The caption colour of an item: HilightText when selected, MenuText, or for a disabled item
// ButtonShadow (the system's shadow colour when the skin's equals its MenuText).
TColor MenuItemTextColor(const TSkinData& data, bool enabled, bool selected);

} // namespace wl
