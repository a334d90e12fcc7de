// TSkinFrame: the skinned non-client area of one TWinSkinForm. It holds the frame's thickness
// (from the skin's four border images) and the height of the menu-bar strip, answers
// WM_NCCALCSIZE, paints the borders, the title strip (composed off-screen with its icon, window
// text and buttons) and the menu-bar strip, keeps the window's icon, and cuts the window region
// at the key-coloured pixels of the border images. Owned by the form object, which it reads for the
// window's description (handle, skin, kinds, state).
#pragma once

#include "ui/classes.h"
#include "ui/graphics.h"
#include "ui/messages.h"

#include <windows.h>

#include <memory>

namespace wl {

class TWinSkinForm;

// Where the window text sits in the title strip: a box `textWidth` wide (never wider than the
// room) aligned in `room` by the skin's title alignment: 0 left, 1 right, 2 centre; any other
// value counts as left. The box keeps the room's top and bottom.
RECT TitleTextBox(const RECT& room, int textWidth, int alignment);

// The module-wide scratch bitmap of frame painting (stretch mode COLORONCOLOR); frame painting
// does nothing when it does not exist.
TBitmap* SkinWorkBitmap();

class TSkinFrame {
public:
    explicit TSkinFrame(TWinSkinForm& owner);
    ~TSkinFrame();
    TSkinFrame(const TSkinFrame&) = delete;
    TSkinFrame& operator=(const TSkinFrame&) = delete;

    // ---- metrics ----
    // The border thickness from the skin; the rendering caches are emptied (a skin change).
    void LoadMetrics();
    RECT Borders() const { return RECT{FBorderLeft, FBorderTop, FBorderRight, FBorderBottom}; }
    int BorderLeft() const { return FBorderLeft; }
    int BorderTop() const { return FBorderTop; }
    int BorderRight() const { return FBorderRight; }
    int BorderBottom() const { return FBorderBottom; }
    int MenuBarHeight() const { return FMenuBarHeight; }
    void SetMenuBarHeight(int height) { FMenuBarHeight = height; }
    // The window's size as the last paint measured it.
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }

    // ---- icon ----
    // Reads the window's small icon (or its class icon) into the icon bitmap.
    void LoadIcon();
    void DrawIcon(HDC dc, const RECT& rect);
    const TBitmap& IconBitmap() const { return *FIconBitmap; }

    // ---- messages (the form object passes them on first where the window needs that) ----
    // WM_NCCALCSIZE after the window's own procedure answered it.
    void NCCalcSize(TMessage& m);
    void NCPaint(TMessage& m);

    // ---- painting ----
    // Paints the whole skinned frame into `dc`, or into the window DC when null.
    void Paint(HDC dc);
    // The title strip as the last full paint left it, with its text but without buttons.
    TBitmap& TitleBitmap() { return *FTitleBitmap; }
    // The box the last paint gave the window text (window coordinates), empty without text.
    const RECT& TitleTextRect() const { return FTitleTextRect; }

    // ---- region ----
    void UpdateRegion();
    void DropRegion();
    // The window has let go of the region (the system deletes it).
    void ForgetRegion();
    HRGN Region() const { return FRegionOwned ? FRegion : nullptr; }

private:
    void PaintTitle(HDC dc);
    // The window text (and the skin's text background behind it) on the title strip bitmap;
    // `stripHeight` is the height of the title strip.
    void DrawTitleText(HDC dc, int stripHeight);
    // The caption font at the skin's title font height, made on first use after a skin change.
    HFONT TitleFont();
    // side: 1 left, 2 right, 3 top, 4 bottom.
    void DrawBorder(int side, const RECT& rect, HDC dc);

    TWinSkinForm& FOwner;
    int FBorderLeft = 0, FBorderTop = 0, FBorderRight = 0, FBorderBottom = 0;
    int FMenuBarHeight = 0;
    int FWidth = 0, FHeight = 0;
    RECT FWindowRect{0, 0, 0, 0};
    HICON FIcon = nullptr; // the window's own icon, not owned
    HICON FIconDrawn = nullptr; // the icon FIconBitmap shows (compared, never used)
    int FIconSize = 0;
    std::unique_ptr<TBitmap> FIconBitmap;
    std::unique_ptr<TBitmap> FTitleBitmap;
    std::unique_ptr<TFont> FTitleFont;
    RECT FTitleTextRect{0, 0, 0, 0};
    bool FRegionOwned = false;
    HRGN FRegion = nullptr; // belongs to the system once set on the window
    int FRegionWidth = 0, FRegionHeight = 0;
};

} // namespace wl
