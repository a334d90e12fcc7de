// The message record every handler receives, and small crackers that turn a message's WPARAM
// and LPARAM into named values once, at the handler:
//
//     case WM_NCHITTEST: return HandleHitTest(TWMNCHitTest(m));
//
// Each cracker reads its fields in its constructor and can build the message back (Pack), so
// code that forwards or synthesises a message writes the same layout it reads. Coordinates in
// LPARAM are signed 16-bit values (a second monitor left of the first gives negative ones).
#pragma once

#include "ui/graphics_handles.h"

#include <windows.h>

#include <commctrl.h>

namespace wl {

struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

inline POINT PointFromLParam(LPARAM lParam) {
    return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}
inline LPARAM PointToLParam(POINT p) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(p.x)), static_cast<WORD>(static_cast<short>(p.y)));
}

// WM_NCCALCSIZE: with CalcValidRects the parameters hold the proposed window rectangle first;
// otherwise lParam is that rectangle alone. Either way the handler turns it into the client
// rectangle in place.
struct TWMNCCalcSize {
    bool CalcValidRects = false;
    NCCALCSIZE_PARAMS* Params = nullptr; // when CalcValidRects
    RECT* Rect = nullptr;                // when not
    explicit TWMNCCalcSize(const TMessage& m)
        : CalcValidRects(m.WParam != 0),
          Params(m.WParam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam) : nullptr),
          Rect(m.WParam ? nullptr : reinterpret_cast<RECT*>(m.LParam)) {}
    RECT& Proposed() const { return CalcValidRects ? Params->rgrc[0] : *Rect; }
    static TMessage Pack(NCCALCSIZE_PARAMS* params) {
        return {WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(params), 0};
    }
    static TMessage Pack(RECT* rect) { return {WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(rect), 0}; }
};

// WM_NCHITTEST: the cursor in screen coordinates; the answer is an HT* code.
struct TWMNCHitTest {
    POINT Pos{};
    explicit TWMNCHitTest(const TMessage& m) : Pos(PointFromLParam(m.LParam)) {}
    static TMessage Pack(POINT screen) { return {WM_NCHITTEST, 0, PointToLParam(screen), 0}; }
};

// WM_NCPAINT: the region to paint in screen coordinates, or 1 for the whole frame. The region
// belongs to the system.
struct TWMNCPaint {
    HRGN Region = nullptr;
    explicit TWMNCPaint(const TMessage& m) : Region(reinterpret_cast<HRGN>(m.WParam)) {}
    bool WholeWindow() const { return reinterpret_cast<WPARAM>(Region) == 1 || !Region; }
    // A region of its own in the coordinates of the window DC: the part to paint, or the whole
    // window rectangle.
    UniqueRegion WindowClip(HWND window) const {
        RECT r;
        GetWindowRect(window, &r);
        if (WholeWindow()) return UniqueRegion(CreateRectRgn(0, 0, r.right - r.left, r.bottom - r.top));
        UniqueRegion clip(CreateRectRgn(0, 0, 0, 0));
        CombineRgn(clip.get(), Region, nullptr, RGN_COPY);
        OffsetRgn(clip.get(), -r.left, -r.top);
        return clip;
    }
    static TMessage Pack(HRGN region) { return {WM_NCPAINT, reinterpret_cast<WPARAM>(region), 0, 0}; }
};

// WM_NCACTIVATE: whether the caption is to look active; lParam -1 asks not to repaint.
struct TWMNCActivate {
    bool Active = false;
    HRGN UpdateRegion = nullptr;
    explicit TWMNCActivate(const TMessage& m)
        : Active(m.WParam != 0), UpdateRegion(reinterpret_cast<HRGN>(m.LParam)) {}
    bool SkipRepaint() const { return reinterpret_cast<LPARAM>(UpdateRegion) == -1; }
    static TMessage Pack(bool active, HRGN update = nullptr) {
        return {WM_NCACTIVATE, active ? 1u : 0u, reinterpret_cast<LPARAM>(update), 0};
    }
};

// WM_NCMOUSEMOVE and WM_NC?BUTTON*: the hit-test code and the cursor in screen coordinates.
struct TWMNCMouse {
    UINT Msg = 0;
    int HitTest = 0;
    POINT Pos{};
    explicit TWMNCMouse(const TMessage& m)
        : Msg(m.Msg), HitTest(static_cast<int>(m.WParam)), Pos(PointFromLParam(m.LParam)) {}
    static TMessage Pack(UINT msg, int hitTest, POINT screen) {
        return {msg, static_cast<WPARAM>(hitTest), PointToLParam(screen), 0};
    }
};

// WM_SETTEXT: the new text (ANSI for the windows of this library).
struct TWMSetText {
    const char* Text = nullptr;
    explicit TWMSetText(const TMessage& m) : Text(reinterpret_cast<const char*>(m.LParam)) {}
    static TMessage Pack(const char* text) { return {WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), 0}; }
};

// WM_WINDOWPOSCHANGING (the handler may change the position) and WM_WINDOWPOSCHANGED.
struct TWMWindowPos {
    UINT Msg = 0;
    WINDOWPOS* Pos = nullptr;
    explicit TWMWindowPos(const TMessage& m) : Msg(m.Msg), Pos(reinterpret_cast<WINDOWPOS*>(m.LParam)) {}
    bool Changing() const { return Msg == WM_WINDOWPOSCHANGING; }
    bool Sized() const { return !(Pos->flags & SWP_NOSIZE); }
    bool Moved() const { return !(Pos->flags & SWP_NOMOVE); }
    static TMessage Pack(UINT msg, WINDOWPOS* pos) { return {msg, 0, reinterpret_cast<LPARAM>(pos), 0}; }
};

// WM_CTLCOLOR*: the child's device context and window; the answer is a brush.
struct TWMCtlColor {
    UINT Msg = 0;
    HDC DC = nullptr;
    HWND Child = nullptr;
    explicit TWMCtlColor(const TMessage& m)
        : Msg(m.Msg), DC(reinterpret_cast<HDC>(m.WParam)), Child(reinterpret_cast<HWND>(m.LParam)) {}
    static bool Is(UINT msg) { return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC; }
    static TMessage Pack(UINT msg, HDC dc, HWND child) {
        return {msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child), 0};
    }
};

// WM_SETCURSOR: the window under the cursor, the hit-test code and the mouse message.
struct TWMSetCursor {
    HWND Window = nullptr;
    int HitTest = 0;
    UINT MouseMsg = 0;
    explicit TWMSetCursor(const TMessage& m)
        : Window(reinterpret_cast<HWND>(m.WParam)), HitTest(static_cast<short>(LOWORD(m.LParam))),
          MouseMsg(HIWORD(m.LParam)) {}
    static TMessage Pack(HWND window, int hitTest, UINT mouseMsg) {
        return {WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                MAKELPARAM(static_cast<WORD>(static_cast<short>(hitTest)), static_cast<WORD>(mouseMsg)), 0};
    }
};

// WM_MOUSEMOVE and the client button messages: key flags (MK_*) and the client point.
// WM_MOUSELEAVE carries nothing.
struct TWMMouse {
    UINT Msg = 0;
    UINT Keys = 0;
    POINT Pos{};
    explicit TWMMouse(const TMessage& m)
        : Msg(m.Msg), Keys(static_cast<UINT>(m.WParam)), Pos(PointFromLParam(m.LParam)) {}
    static TMessage Pack(UINT msg, UINT keys, POINT client) {
        return {msg, keys, PointToLParam(client), 0};
    }
};

// WM_DRAWITEM and WM_MEASUREITEM: the control id (0 for menus) and the system's structure.
struct TWMDrawItem {
    UINT CtlId = 0;
    DRAWITEMSTRUCT* Item = nullptr;
    explicit TWMDrawItem(const TMessage& m)
        : CtlId(static_cast<UINT>(m.WParam)), Item(reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)) {}
    bool ForMenu() const { return Item->CtlType == ODT_MENU; }
    static TMessage Pack(DRAWITEMSTRUCT* item) {
        return {WM_DRAWITEM, item->CtlType == ODT_MENU ? 0u : item->CtlID, reinterpret_cast<LPARAM>(item), 0};
    }
};
struct TWMMeasureItem {
    UINT CtlId = 0;
    MEASUREITEMSTRUCT* Item = nullptr;
    explicit TWMMeasureItem(const TMessage& m)
        : CtlId(static_cast<UINT>(m.WParam)), Item(reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam)) {}
    bool ForMenu() const { return Item->CtlType == ODT_MENU; }
    static TMessage Pack(MEASUREITEMSTRUCT* item) {
        return {WM_MEASUREITEM, item->CtlType == ODT_MENU ? 0u : item->CtlID, reinterpret_cast<LPARAM>(item), 0};
    }
};

// WM_INITMENUPOPUP: the popup about to open, its position in the parent menu, and whether it
// is the window menu.
struct TWMInitMenuPopup {
    HMENU Menu = nullptr;
    int Index = 0;
    bool SystemMenu = false;
    explicit TWMInitMenuPopup(const TMessage& m)
        : Menu(reinterpret_cast<HMENU>(m.WParam)), Index(LOWORD(m.LParam)), SystemMenu(HIWORD(m.LParam) != 0) {}
    static TMessage Pack(HMENU menu, int index, bool systemMenu) {
        return {WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu),
                MAKELPARAM(static_cast<WORD>(index), systemMenu ? 1 : 0), 0};
    }
};

// WM_MENUSELECT: the item (command id, or position for a popup), MF_* flags and the menu.
// Flags 0xFFFF with no menu mean the menu closed.
struct TWMMenuSelect {
    UINT Item = 0;
    UINT Flags = 0;
    HMENU Menu = nullptr;
    explicit TWMMenuSelect(const TMessage& m)
        : Item(LOWORD(m.WParam)), Flags(HIWORD(m.WParam)), Menu(reinterpret_cast<HMENU>(m.LParam)) {}
    bool Closed() const { return Flags == 0xFFFF && !Menu; }
    static TMessage Pack(UINT item, UINT flags, HMENU menu) {
        return {WM_MENUSELECT, MAKEWPARAM(item, flags), reinterpret_cast<LPARAM>(menu), 0};
    }
};

// WM_ENTERMENULOOP and WM_EXITMENULOOP: whether the loop is that of TrackPopupMenu.
struct TWMMenuLoop {
    UINT Msg = 0;
    bool TrackPopup = false;
    explicit TWMMenuLoop(const TMessage& m) : Msg(m.Msg), TrackPopup(m.WParam != 0) {}
    bool Entering() const { return Msg == WM_ENTERMENULOOP; }
    static TMessage Pack(UINT msg, bool trackPopup) { return {msg, trackPopup ? 1u : 0u, 0, 0}; }
};

// WM_HSCROLL and WM_VSCROLL: the SB_* code, the thumb position (for SB_THUMB*), and the scroll
// bar control (nullptr for a window's own bars).
struct TWMScroll {
    UINT Msg = 0;
    int Code = 0;
    int Pos = 0;
    HWND ScrollBar = nullptr;
    explicit TWMScroll(const TMessage& m)
        : Msg(m.Msg), Code(LOWORD(m.WParam)), Pos(static_cast<short>(HIWORD(m.WParam))),
          ScrollBar(reinterpret_cast<HWND>(m.LParam)) {}
    bool Vertical() const { return Msg == WM_VSCROLL; }
    static TMessage Pack(UINT msg, int code, int pos, HWND scrollBar) {
        return {msg, MAKEWPARAM(static_cast<WORD>(code), static_cast<WORD>(static_cast<short>(pos))),
                reinterpret_cast<LPARAM>(scrollBar), 0};
    }
};

// WM_NOTIFY: the sender's id and header; CustomDraw() when the code is NM_CUSTOMDRAW.
struct TWMNotify {
    UINT_PTR CtlId = 0;
    NMHDR* Header = nullptr;
    explicit TWMNotify(const TMessage& m) : CtlId(m.WParam), Header(reinterpret_cast<NMHDR*>(m.LParam)) {}
    UINT Code() const { return Header->code; }
    NMCUSTOMDRAW* CustomDraw() const {
        return Header->code == static_cast<UINT>(NM_CUSTOMDRAW) ? reinterpret_cast<NMCUSTOMDRAW*>(Header) : nullptr;
    }
    static TMessage Pack(NMHDR* header) {
        return {WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header), 0};
    }
};

} // namespace wl
