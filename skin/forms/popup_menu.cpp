// The popup menu window skinner: frame and background of a "#32768" window from the skin's
// MenuBackground element, and the composed background kept for the item drawing.
#include "skin/forms/popup_menu.h"

#include "skin/data/skin_data.h"
#include "skin/draw/skin_draw.h"
#include "skin/forms/skin_manage.h"
#include "skin/forms/skin_messages.h"

namespace wl {

namespace {

// Not in every SDK header: the DC takes the window class's style (clipping) into account.
constexpr DWORD kDcxUseStyle = 0x00010000;

// Width of the menu window's frame: the items start this far inside the window.
constexpr int kFrame = 3;

bool ManagerSkinning() {
    TSkinManage* m = TSkinManage::Instance();
    return m && m->Skinning();
}

} // namespace

TWinSkinPopMenu::TWinSkinPopMenu() : FBackground(std::make_unique<TBitmap>()) {}

TWinSkinPopMenu::~TWinSkinPopMenu() { Detach(); }

void TWinSkinPopMenu::Attach(HWND window, TSkinData* data, HMENU menu) {
    if (Attached()) return;
    FHandle = window;
    FSkinData = data;
    FMenu = menu;
    FSubclass.Attach(window, [this](TMessage& m) { WndProc(m); });
}

void TWinSkinPopMenu::Detach() {
    if (!FSubclass.Attached()) return;
    FSubclass.Detach();
    FBackground->SetSize(0, 0);
}

bool TWinSkinPopMenu::CanPaint() const {
    return FSkinData && !FSkinData->NotLoaded && FSkinData->MenuBackground &&
           !FSkinData->MenuBackground->Image.Empty();
}

bool TWinSkinPopMenu::Compose() {
    RECT wr;
    if (!CanPaint() || !GetWindowRect(FHandle, &wr)) return false;
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    if (w <= 0 || h <= 0) return false;
    TDataSkinObject& e = *FSkinData->MenuBackground;
    TElementDraw draw = ElementDraw(e, 1);
    draw.Frames = 1;
    draw.Vertical = false;
    draw.Tile = e.Tile != 0;
    draw.Transparent = false;
    std::unique_ptr<TBitmap> image = BuildElementImage(RECT{0, 0, w, h}, draw);
    if (!image || image->Empty()) return false;
    FBackground = std::move(image);
    return true;
}

TBitmap* TWinSkinPopMenu::ComposedBackground() {
    if (!Attached()) return nullptr;
    RECT wr{0, 0, 0, 0};
    GetWindowRect(FHandle, &wr);
    // The window may have been sized since the last paint (a menu is sized before it shows).
    if (FBackground->Empty() || FBackground->Width() != wr.right - wr.left ||
        FBackground->Height() != wr.bottom - wr.top)
        Compose();
    return FBackground->Empty() ? nullptr : FBackground.get();
}

void TWinSkinPopMenu::WndProc(TMessage& m) {
    if (m.Msg == SKM_ISSKINNED) {
        m.Result = 1;
        return;
    }
    if (!ManagerSkinning()) {
        FSubclass.CallPrevious(m);
        return;
    }
    switch (m.Msg) {
    case WM_DESTROY:
        FSubclass.CallPrevious(m);
        Detach();
        return;
    case WM_ERASEBKGND:
        if (!FSkinData || !(FSkinData->Options() & SkinOptionBit(xoMenuBG))) FSubclass.CallPrevious(m);
        m.Result = 1;
        return;
    case WM_NCPAINT: NCPaint(m); return;
    case WM_PRINT: Print(m); return;
    case WM_PAINT: Paint(m); return;
    default: FSubclass.CallPrevious(m); return;
    }
}

void TWinSkinPopMenu::PaintFrameBands(HDC dc) const {
    const int w = FBackground->Width(), h = FBackground->Height();
    HDC src = FBackground->Canvas().Handle();
    BitBlt(dc, 0, 0, w, kFrame, src, 0, 0, SRCCOPY);
    BitBlt(dc, 0, h - kFrame, w, kFrame, src, 0, h - kFrame, SRCCOPY);
    BitBlt(dc, 0, 0, kFrame, h, src, 0, 0, SRCCOPY);
    BitBlt(dc, w - kFrame, 0, kFrame, h, src, w - kFrame, 0, SRCCOPY);
}

void TWinSkinPopMenu::NCPaint(TMessage& m) {
    if (!CanPaint()) {
        FSubclass.CallPrevious(m);
        return;
    }
    // Only the window's frame is ours; the system is not asked, so it draws no border.
    HRGN update = m.WParam > 1 ? reinterpret_cast<HRGN>(m.WParam) : nullptr;
    DWORD flags = DCX_WINDOW | kDcxUseStyle;
    if (update) flags |= DCX_INTERSECTRGN;
    // GetDCEx takes ownership of the update region only on success; a copy keeps the
    // caller's region alive either way.
    HRGN copy = nullptr;
    if (update) {
        copy = CreateRectRgn(0, 0, 0, 0);
        if (copy) CombineRgn(copy, update, nullptr, RGN_COPY);
    }
    HDC dc = GetDCEx(FHandle, copy, flags);
    if (!dc) {
        if (copy) DeleteObject(copy);
        m.Result = 0;
        return;
    }
    WindowDC own(FHandle, dc);
    if (Compose()) {
        PaintFrameBands(dc);
        BitBlt(dc, 0, 0, FBackground->Width(), FBackground->Height(), FBackground->Canvas().Handle(), 0, 0,
               SRCCOPY);
    }
    m.Result = 0;
}

void TWinSkinPopMenu::Print(TMessage& m) {
    RECT wr;
    if (!CanPaint() || !GetWindowRect(FHandle, &wr) || !Compose()) {
        FSubclass.CallPrevious(m);
        return;
    }
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    const int w = FBackground->Width(), h = FBackground->Height();
    BitBlt(dc, 0, 0, w, h, FBackground->Canvas().Handle(), 0, 0, SRCCOPY);
    UniqueRegion clip(CreateRectRgn(kFrame, kFrame, w - kFrame, h - kFrame));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    SelectClipRgn(dc, clip.get());
    FSubclass.CallPrevious(m);
    SelectClipRgn(dc, nullptr);
    SetBkMode(dc, oldMode);
}

void TWinSkinPopMenu::Paint(TMessage& m) {
    FSubclass.CallPrevious(m);
    // Some menu windows have no non-client area and draw their border inside the client area
    // while painting; the skin's frame goes over it afterwards, outside the items.
    if (!Attached() || !CanPaint()) return;
    if (!ComposedBackground()) return;
    WindowDC dc(FHandle, GetWindowDC(FHandle));
    if (dc) PaintFrameBands(dc.get());
}

} // namespace wl
