// TWinSkinPopMenu: the skin of one popup menu window (window class "#32768": context menus,
// menu-bar drop-downs, system menus). The manager attaches one to each menu window it accepts;
// it paints the window's frame and background from the skin's MenuBackground element and keeps
// the composed background, from which the owner-drawn items paint their own backgrounds. The
// items themselves are drawn by the skinned form that owns the menu (menu_items.cpp).
#pragma once

#include "ui/graphics.h"
#include "ui/subclass.h"

#include <windows.h>

#include <memory>

namespace wl {

class TSkinData;

class TWinSkinPopMenu {
public:
    TWinSkinPopMenu();
    ~TWinSkinPopMenu();
    TWinSkinPopMenu(const TWinSkinPopMenu&) = delete;
    TWinSkinPopMenu& operator=(const TWinSkinPopMenu&) = delete;

    // Subclasses `window`; `menu` may be none (the manager gives it later, AssignPopupMenu).
    void Attach(HWND window, TSkinData* data, HMENU menu);
    // Gives the window its procedure back and forgets the background; a second call does
    // nothing.
    void Detach();
    bool Attached() const { return FSubclass.Attached(); }

    HWND Handle() const { return FHandle; }
    HMENU Menu() const { return FMenu; }
    void SetMenu(HMENU menu) { FMenu = menu; }
    TSkinData* SkinData() const { return FSkinData; }
    // The last composed background (window size); empty before the first paint.
    const TBitmap& Background() const { return *FBackground; }
    // The background, composed now when no paint has composed it yet; null when the skin has
    // no usable MenuBackground element.
    TBitmap* ComposedBackground();

private:
    void WndProc(TMessage& m);
    bool CanPaint() const;
    // Renders the MenuBackground element over the whole window into FBackground.
    bool Compose();
    void NCPaint(TMessage& m);
    void Print(TMessage& m);
    void Paint(TMessage& m);
    // Copies the outer bands of the background (the frame) onto the window.
    void PaintFrameBands(HDC dc) const;

    TWindowSubclass FSubclass;
    HWND FHandle = nullptr;
    TSkinData* FSkinData = nullptr;
    std::unique_ptr<TBitmap> FBackground;
    HMENU FMenu = nullptr;
};

} // namespace wl
