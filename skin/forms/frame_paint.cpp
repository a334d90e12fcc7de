// TSkinFrame, the skinned non-client area of a TWinSkinForm: frame thickness from the skin's
// four border images, the WM_NCCALCSIZE answer, painting of the borders, the title strip
// (composed off-screen with its icon, window text and buttons) and the menu-bar strip, and the window region
// cut at the key-coloured pixels of the border images.
//
// Every size here comes from an untrusted skin: border images of any size or frame count,
// margins larger than the image. All drawing goes through the skin primitives, which draw
// nothing for cells of no pixels, and every rectangle is checked before a bitmap is made, so
// painting costs what the window's pixels cost whatever the definition says.
#include "skin/forms/frame_paint.h"

#include "skin/data/skin_data.h"
#include "skin/data/skin_slots.h"
#include "skin/draw/skin_draw.h"
#include "skin/draw/swallowed.h"
#include "skin/forms/menu_bar.h"
#include "skin/forms/menu_items.h"
#include "skin/forms/win_skin_form.h"
#include "ui/extctrls.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace wl {

namespace {

// A border element's frame count as painting uses it: 0 or below counts as one frame.
int BorderFrames(const TDataSkinBorder* b) { return b && b->Frame > 0 ? b->Frame : 1; }

// The slot table rows of the four borders, looked up once.
const TSkinSlot& BorderSlot(int side) {
    static const TSkinSlot* const slots[4] = {FindSlot("BorderLeft"), FindSlot("BorderRight"),
                                              FindSlot("BorderTop"), FindSlot("BorderBottom")};
    return *slots[std::clamp(side, 1, 4) - 1];
}

TDataSkinBorder* BorderOf(TSkinData& d, int side) {
    switch (side) {
    case 1: return d.BorderLeft.get();
    case 2: return d.BorderRight.get();
    case 3: return d.BorderTop.get();
    default: return d.BorderBottom.get();
    }
}

// A window can never be larger than this on any screen; frame sizes beyond it are a broken
// skin, and keeping them below it keeps every sum of sizes inside int.
constexpr int kMaxFrame = 0x4000;

// Rendered borders of the last few frames painted on this thread: repaints of a window whose
// size and state did not change (the common case: activation, hover, uncovering) copy them
// instead of rendering again. An entry is found by everything the rendering depends on; the
// cache is emptied whenever a window reloads its frame metrics (a skin change).
struct TBorderKey {
    HBITMAP Image;
    int Width, Height, SourceWidth, SourceHeight;
    TElementDraw Draw;
    bool operator==(const TBorderKey& o) const {
        return Image == o.Image && Width == o.Width && Height == o.Height && SourceWidth == o.SourceWidth &&
               SourceHeight == o.SourceHeight && EqualRect(&Draw.Margins, &o.Draw.Margins) &&
               Draw.Frames == o.Draw.Frames && Draw.Index == o.Draw.Index && Draw.Vertical == o.Draw.Vertical &&
               Draw.Tile == o.Draw.Tile;
    }
};
struct TBorderCacheEntry {
    TBorderKey Key;
    std::unique_ptr<TBitmap> Image;
};
constexpr size_t kBorderCacheSize = 16;
thread_local std::vector<TBorderCacheEntry> borderCache;

// The border rendered at w x h: from the cache, or rendered and remembered. Never null.
TBitmap* RenderedBorder(const TElementDraw& draw, int w, int h) {
    const TBorderKey key{draw.Image->Handle(), w, h, draw.Image->Width(), draw.Image->Height(), draw};
    for (size_t i = 0; i < borderCache.size(); ++i) {
        if (!(borderCache[i].Key == key)) continue;
        // Most recent first.
        std::rotate(borderCache.begin(), borderCache.begin() + static_cast<std::ptrdiff_t>(i),
                    borderCache.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        return borderCache.front().Image.get();
    }
    std::unique_ptr<TBitmap> image = BuildElementImage(RECT{0, 0, w, h}, draw);
    if (!image) image = std::make_unique<TBitmap>();
    if (borderCache.size() >= kBorderCacheSize) borderCache.pop_back();
    borderCache.insert(borderCache.begin(), TBorderCacheEntry{key, std::move(image)});
    return borderCache.front().Image.get();
}

// Small-size copies of window icons drawn in title strips: copying an icon from its resource
// costs more than the rest of a frame paint, so each is made once. Emptied whenever a window
// loads its icon again.
struct TIconCopy {
    HICON Icon;
    int Size;
    UniqueIcon Copy;
};
thread_local std::vector<TIconCopy> iconCopies;

HICON SmallIconCopy(HICON icon, int size) {
    for (const TIconCopy& c : iconCopies)
        if (c.Icon == icon && c.Size == size) return c.Copy.get();
    UniqueIcon copy(static_cast<HICON>(CopyImage(icon, IMAGE_ICON, size, size, LR_COPYFROMRESOURCE)));
    if (!copy) return nullptr;
    if (iconCopies.size() >= 8) iconCopies.erase(iconCopies.begin());
    iconCopies.push_back(TIconCopy{icon, size, std::move(copy)});
    return iconCopies.back().Copy.get();
}

} // namespace

RECT TitleTextBox(const RECT& room, int textWidth, int alignment) {
    const int roomWidth = std::max(0, static_cast<int>(room.right - room.left));
    const int w = std::clamp(textWidth, 0, roomWidth);
    int left = room.left;
    if (alignment == 1) left = room.left + roomWidth - w;
    else if (alignment == 2) left = room.left + (roomWidth - w) / 2;
    return RECT{left, room.top, left + w, room.bottom};
}

TBitmap* SkinWorkBitmap() {
    static TBitmap* work = [] {
        auto* b = new TBitmap(); // lives for the module: shared by every skinned window
        b->SetSize(1, 1);
        SetStretchBltMode(b->Canvas().Handle(), COLORONCOLOR);
        return b;
    }();
    return work;
}

// ---- metrics -------------------------------------------------------------------------------------

TSkinFrame::TSkinFrame(TWinSkinForm& owner)
    : FOwner(owner), FIconBitmap(std::make_unique<TBitmap>()), FTitleBitmap(std::make_unique<TBitmap>()) {}

TSkinFrame::~TSkinFrame() = default;

void TSkinFrame::LoadMetrics() {
    if (!FOwner.SkinData() || FOwner.SkinData()->NotLoaded) return;
    TSkinData& d = *FOwner.SkinData();
    if (FOwner.BorderKind() == bkNone) {
        FBorderLeft = FBorderTop = FBorderRight = FBorderBottom = 0;
        FMenuBarHeight = 0;
    } else {
        auto thick = [](const TDataSkinBorder* b, bool height) {
            if (!b) return 0;
            const int size = height ? b->Image.Height() : b->Image.Width();
            return std::min(size / BorderFrames(b), kMaxFrame);
        };
        FBorderTop = thick(d.BorderTop.get(), true);
        FBorderLeft = thick(d.BorderLeft.get(), false);
        FBorderRight = thick(d.BorderRight.get(), false);
        FBorderBottom = thick(d.BorderBottom.get(), true);
    }
    borderCache.clear();
    ClearMenuItemImages();
    FTitleFont.reset();
}

void TSkinFrame::LoadIcon() {
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    const bool resized = FIconBitmap->Width() != cx || FIconBitmap->Height() != cy;
    if (resized) {
        const bool fresh = FIconBitmap->Empty();
        FIconBitmap->SetSize(cx, cy);
        if (fresh) {
            // A window without an icon shows nothing rather than a black square.
            FIconBitmap->Canvas().Brush().SetColor(kSkinKeyColor);
            FIconBitmap->Canvas().FillRect(RECT{0, 0, cx, cy});
        }
    }
    FIconSize = cx;
    if (!IsWindow(FOwner.Handle())) {
        iconCopies.clear();
        return;
    }
    HICON icon = reinterpret_cast<HICON>(SendMessageW(FOwner.Handle(), WM_GETICON, ICON_SMALL, 0));
    if (!icon) icon = reinterpret_cast<HICON>(SendMessageW(FOwner.Handle(), WM_GETICON, ICON_BIG, 0));
    // The class icon is what the system's own caption shows when the window has none.
    if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(FOwner.Handle(), GCLP_HICONSM));
    if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(FOwner.Handle(), GCLP_HICON));
    // The icon the bitmap already shows, at the same size: attaching and starting both ask, and
    // copying an icon from its resource costs over a millisecond under Wine.
    if (icon && icon == FIconDrawn && !resized) {
        FIcon = icon;
        return;
    }
    iconCopies.clear();
    FIcon = icon;
    FIconDrawn = nullptr;
    if (!FIcon) return;
    UniqueIcon copy(static_cast<HICON>(CopyImage(FIcon, IMAGE_ICON, cx, cy, LR_COPYFROMRESOURCE)));
    if (!copy) return;
    FIconBitmap->Canvas().Brush().SetColor(kSkinKeyColor);
    FIconBitmap->Canvas().FillRect(RECT{0, 0, cx, cy});
    DrawIconEx(FIconBitmap->Canvas().Handle(), 0, 0, copy.get(), cx, cy, 0, nullptr, DI_NORMAL);
    FIconDrawn = FIcon;
}

void TSkinFrame::DrawIcon(HDC dc, const RECT& rect) {
    if (!dc) return;
    if (FIcon && FIconSize > 0) {
        if (HICON copy = SmallIconCopy(FIcon, FIconSize)) {
            DrawIconEx(dc, rect.left, rect.top, copy, FIconSize, FIconSize, 0, nullptr, DI_NORMAL);
            return;
        }
    }
    if (FIconBitmap && !FIconBitmap->Empty()) TransparentBlit(dc, rect, *FIconBitmap, kSkinKeyColor);
}

// ---- messages ------------------------------------------------------------------------------------

void TSkinFrame::NCCalcSize(TMessage& m) {
    FOwner.Default(m);
    if (!m.WParam) {
        m.Result = 0;
        return;
    }
    auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam);
    if ((FOwner.FormKind() == fkMdiChild && FOwner.WindowState() != wstNormal) || FOwner.BorderKind() == bkNone) {
        p->rgrc[1] = p->rgrc[0];
        m.Result = WVR_VALIDRECTS;
        return;
    }
    const WINDOWPOS* wp = p->lppos;
    RECT r{wp->x + FBorderLeft, wp->y + FBorderTop + FMenuBarHeight, wp->x + wp->cx - FBorderRight,
           wp->y + wp->cy - FBorderBottom};
    // A frame thicker than the window leaves an empty client area, never an inverted one.
    r.right = std::max(r.right, r.left);
    r.bottom = std::max(r.bottom, r.top);
    p->rgrc[0] = r;
    p->rgrc[1] = r;
    m.Result = WVR_VALIDRECTS;
}

void TSkinFrame::NCPaint(TMessage& m) {
    FOwner.SetSysMenuStyle(false);
    if (!FOwner.SkinData() || !FOwner.SkinData()->PaintFrames) {
        m.Result = 0;
        return;
    }
    if ((FOwner.FormKind() == fkMdiChild && FOwner.WindowState() == wstMaximized) || FOwner.BorderKind() == bkNone) {
        FOwner.Default(m);
        return;
    }
    Paint(nullptr);
    m.Result = 0;
}

// ---- painting ------------------------------------------------------------------------------------

void TSkinFrame::Paint(HDC dc) {
    if (!SkinWorkBitmap() || !FOwner.SkinData() || FOwner.SkinData()->NotLoaded) return;
    if (FOwner.State() != sfsRunning && FOwner.State() != sfsReapplying) return;
    if (FOwner.BorderKind() == bkNone || (FOwner.FormKind() == fkMdiChild && FOwner.WindowState() == wstMaximized)) return;
    if (!IsWindow(FOwner.Handle())) return;
    // Our own DC goes back to the window on every way out, exceptions included.
    WindowDC own(FOwner.Handle(), dc ? nullptr : GetWindowDC(FOwner.Handle()));
    HDC target = dc ? dc : own.get();
    if (!target) return;
    // A failed paint leaves the frame as it was; the next paint tries again.
    SwallowFailures([&] {
        GetWindowRect(FOwner.Handle(), &FWindowRect);
        const int w = FWindowRect.right - FWindowRect.left, h = FWindowRect.bottom - FWindowRect.top;
        FWidth = w;
        FHeight = h;
        if (FOwner.WindowState() == wstMinimized) {
            PaintTitle(target);
        } else {
            DrawBorder(1, RECT{0, 0, FBorderLeft, h}, target);
            DrawBorder(2, RECT{w - FBorderRight, 0, w, h}, target);
            DrawBorder(4, RECT{FBorderLeft, h - FBorderBottom, w - FBorderRight, h}, target);
            PaintTitle(target);
            RECT strip{FBorderLeft, FBorderTop, w - FBorderRight, FBorderTop + FMenuBarHeight};
            if (FOwner.MenuBar()) FOwner.MenuBar()->PaintMenuBar(target, strip);
            else if (FMenuBarHeight > 0 && FOwner.SkinData()->FaceBrush && strip.right > strip.left)
                FillRect(target, &strip, FOwner.SkinData()->FaceBrush.get());
        }
    });
    FOwner.SetHotObject(nullptr);
}

void TSkinFrame::PaintTitle(HDC dc) {
    const int w = FWidth;
    TBitmap* work = SkinWorkBitmap();
    if (w <= 0 || !work) return;
    RECT title;
    if (FOwner.WindowState() == wstMinimized) {
        if (FHeight <= 0) return;
        FTitleBitmap->SetSize(w, FHeight);
        FTitleBitmap->Canvas().Brush().SetColor(FOwner.SkinData()->ButtonFace);
        FTitleBitmap->Canvas().FillRect(RECT{0, 0, w, FHeight});
        title = RECT{0, 0, w, FBorderTop};
    } else {
        // A title strip taller than the window is drawn as far as the window reaches.
        const int height = std::min(FBorderTop, FHeight);
        if (height <= 0) return;
        FTitleBitmap->SetSize(w, height);
        // The top ends of the side borders are already on the window: keep them.
        BitBlt(FTitleBitmap->Canvas().Handle(), 0, 0, w, height, dc, 0, 0, SRCCOPY);
        title = RECT{FBorderLeft, 0, w - FBorderRight, height};
    }
    HDC titleDC = FTitleBitmap->Canvas().Handle();
    DrawBorder(3, title, titleDC);
    // The buttons are laid out first: the text keeps clear of them.
    FOwner.TitleButtons().Layout();
    DrawTitleText(titleDC, title.bottom - title.top);
    // FTitleBitmap keeps the strip with its text but without buttons (a single button repaints
    // over it); the buttons are composed on the work bitmap and the strip goes out in one blit.
    const int th = FTitleBitmap->Height();
    if (work->Width() < w || work->Height() < th)
        work->SetSize(std::max(work->Width(), w), std::max(work->Height(), th));
    HDC workDC = work->Canvas().Handle();
    BitBlt(workDC, 0, 0, w, th, titleDC, 0, 0, SRCCOPY);
    {
        // Buttons below or beside the strip are cut at its edges, as the strip is.
        struct ClipGuard {
            HDC dc;
            ~ClipGuard() { SelectClipRgn(dc, nullptr); }
        };
        UniqueRegion clip(CreateRectRgn(0, 0, w, th));
        SelectClipRgn(workDC, clip.get());
        ClipGuard unclip{workDC};
        FOwner.TitleButtons().Draw(work->Canvas());
    }
    BitBlt(dc, 0, 0, w, th, workDC, 0, 0, SRCCOPY);
    SetBkMode(dc, OPAQUE);
}

HFONT TSkinFrame::TitleFont() {
    if (!FTitleFont) {
        auto font = std::make_unique<TFont>();
        if (TFont* caption = FOwner.CaptionFont()) font->Assign(*caption);
        const TDataSkinTitle* t = FOwner.SkinData() ? FOwner.SkinData()->Title.get() : nullptr;
        const int height = t ? t->FontHeight : 14;
        // A cell height in pixels; a skin without one keeps the system's caption size.
        if (height > 0) font->SetHeight(std::min(height, kMaxFrame));
        // An ANSI-only caption font would find no glyphs for the dictionary's Chinese titles:
        // the locale's character set lets the font mapper pick a face that has them.
        if (font->Charset() == ANSI_CHARSET) font->SetCharset(DEFAULT_CHARSET);
        FTitleFont = std::move(font);
    }
    return FTitleFont->Handle();
}

void TSkinFrame::DrawTitleText(HDC dc, int stripHeight) {
    FTitleTextRect = RECT{0, 0, 0, 0};
    TSkinData& d = *FOwner.SkinData();
    TDataSkinTitle* t = d.Title.get();
    if (stripHeight <= 0 || !IsWindow(FOwner.Handle())) return;
    // Read as UTF-16: an ANSI window's code-page text (GBK titles) arrives converted once.
    const int length = GetWindowTextLengthW(FOwner.Handle());
    if (length <= 0) return;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(std::max(0, GetWindowTextW(FOwner.Handle(), text.data(), length + 1))));
    if (text.empty()) return;

    const int shift = t ? std::clamp(t->LeftWidth, 0, kMaxFrame) : 0;
    const int clip = t ? std::clamp(t->RightWidth, 0, kMaxFrame) : 0;
    const int down = t ? std::clamp(t->TopHeight, -kMaxFrame, kMaxFrame) : 0;
    RECT room{shift, down, FWidth - clip, stripHeight + down};
    // The text keeps clear of the title-bar buttons: a button right of the room's middle ends
    // it, one left of the middle starts it after itself.
    const int middle = (room.left + room.right) / 2;
    for (const auto& b : FOwner.TitleButtons().Buttons()) {
        const TDataSkinSysButton* e = b->SkinElement();
        const RECT& r = b->Bounds();
        if (!b->Visible() || !e || e->Visibility == 100 || e->Image.Empty()) continue;
        if (r.bottom <= 0 || r.top >= stripHeight || r.right <= room.left || r.left >= room.right) continue;
        if ((r.left + r.right) / 2 >= middle) room.right = std::min<LONG>(room.right, r.left);
        else room.left = std::max<LONG>(room.left, r.right);
    }
    if (room.right <= room.left) return;

    const bool active = FOwner.Active();
    TColor color = t ? (active ? t->ActiveText : t->InActiveText) : clNone;
    if (color == clNone) color = active ? d.TitleTextActive : d.TitleTextNoActive;

    HGDIOBJ oldFont = SelectObject(dc, TitleFont());
    struct FontBack {
        HDC dc;
        HGDIOBJ font;
        ~FontBack() { SelectObject(dc, font); }
    } fontBack{dc, oldFont};
    const UINT flags = DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER;
    RECT measured{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured, flags | DT_CALCRECT);
    const int alignment = t ? t->TextAlignment : 0;
    const RECT box = TitleTextBox(room, measured.right - measured.left, alignment);
    FTitleTextRect = box;

    // The skin's text background: its left cap (TXTBackleft pixels of the image) ends where the
    // text starts, its right cap (TXTBackRight pixels) starts where the text ends, and its middle
    // runs under the text, stretched (tiled when Textbackground is 1). The image keeps its own
    // height, centred on the text's line; key-coloured pixels let the strip show through.
    if (t && !t->Image.Empty()) {
        TBitmap* image = &t->Image;
        const int capLeft = std::clamp(t->TXTBackleft, 0, kMaxFrame);
        const int capRight = std::clamp(t->TXTBackRight, 0, kMaxFrame);
        const int frames = std::max(1, t->Frame);
        const int ih = std::min(image->Height(), stripHeight);
        const int top = box.top + ((box.bottom - box.top) - ih) / 2;
        const RECT back{box.left - capLeft, top, box.right + capRight, top + ih};
        const TElementDraw draw{.Image = image,
                                .Margins = RECT{capLeft, 0, capRight, 0},
                                .Frames = frames,
                                .Index = active || frames < 2 ? 1 : 2,
                                .Tile = t->Textbackground == 1,
                                .Transparent = true};
        DrawElement(dc, back, draw);
    }

    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, ColorToRGB(color));
    const UINT align = alignment == 1 ? DT_RIGHT : alignment == 2 ? DT_CENTER : DT_LEFT;
    RECT r = room;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags | align | DT_END_ELLIPSIS);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
}

void TSkinFrame::DrawBorder(int side, const RECT& rect, HDC dc) {
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (w <= 0 || h <= 0 || !FOwner.SkinData() || !dc) return;
    TDataSkinBorder* b = BorderOf(*FOwner.SkinData(), side);
    if (!b || b->Image.Empty()) return;
    const int index = FOwner.Active() || BorderFrames(b) <= 1 ? 1 : 2;
    TElementDraw draw = SlotDraw(BorderSlot(side), *b, index);
    draw.Frames = BorderFrames(b);
    draw.Transparent = false;
    TBitmap* image = RenderedBorder(draw, w, h);
    if (image->Empty()) return;
    BitBlt(dc, rect.left, rect.top, w, h, image->Canvas().Handle(), 0, 0, SRCCOPY);
}

// ---- region --------------------------------------------------------------------------------------

void TSkinFrame::UpdateRegion() {
    if (FOwner.State() == sfsDestroyed || !FOwner.SkinFrame() || !FOwner.SkinData() || FOwner.SkinData()->NotLoaded) return;
    if (!IsWindow(FOwner.Handle())) return;
    RECT wr;
    GetWindowRect(FOwner.Handle(), &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    if (w <= 0 || h <= 0) return;
    if (FOwner.FormKind() == fkMdiChild && FOwner.WindowState() != wstNormal) return;
    if (w == FRegionWidth && h == FRegionHeight && FOwner.FormKind() != fkMdiChild && FOwner.State() != sfsReapplying &&
        FRegionOwned)
        return;
    UniqueRegion region;
    const int oldWidth = FRegionWidth, oldHeight = FRegionHeight;
    const bool built = SwallowFailures([&] {
        TSkinData& d = *FOwner.SkinData();
        auto trans = [&](int side) {
            const TDataSkinBorder* b = BorderOf(d, side);
            return b ? b->Trans : 0;
        };
        if (trans(1) || trans(2) || trans(3) || trans(4)) {
            FRegionWidth = w;
            FRegionHeight = h;
            region.reset(CreateRectRgn(FBorderLeft, FBorderTop, w - FBorderRight, h - FBorderBottom));
            if (FOwner.BorderKind() != bkNone) {
                // The opaque pixels of one side rendered at its place; a side without the key colour
                // (or too small to carry any) is its whole rectangle.
                auto side = [&](int which, const RECT& r, bool keyed) {
                    const int sw = r.right - r.left, sh = r.bottom - r.top;
                    if (sw <= 0 || sh <= 0) return UniqueRegion(CreateRectRgn(0, 0, 0, 0));
                    if (keyed) {
                        TDataSkinBorder* b = BorderOf(d, which);
                        TElementDraw draw = SlotDraw(BorderSlot(which), *b, FOwner.Active() || BorderFrames(b) <= 1 ? 1 : 2);
                        draw.Frames = BorderFrames(b);
                        std::unique_ptr<TBitmap> image = BuildElementImage(RECT{0, 0, sw, sh}, draw);
                        if (image && !image->Empty())
                            return RegionFromBitmap(*image, r.left, r.top, 1, 1, 1, kSkinKeyColor);
                    }
                    return UniqueRegion(CreateRectRgnIndirect(&r));
                };
                const int stripW = w - FBorderLeft - FBorderRight;
                UniqueRegion left = side(1, RECT{0, 0, FBorderLeft, h}, trans(1) == 1 && h > 1);
                UniqueRegion right = side(2, RECT{w - FBorderRight, 0, w, h}, trans(2) == 1 && h > 1);
                UniqueRegion bottom = side(4, RECT{FBorderLeft, h - FBorderBottom, w - FBorderRight, h},
                                           trans(4) == 1 && FBorderBottom >= 2);
                UniqueRegion top = side(3, RECT{FBorderLeft, 0, w - FBorderRight, FBorderTop},
                                        trans(3) == 1 && FBorderTop > 1 && stripW > 0);
                CombineRgn(left.get(), left.get(), right.get(), RGN_OR);
                CombineRgn(top.get(), top.get(), bottom.get(), RGN_OR);
                CombineRgn(top.get(), top.get(), left.get(), RGN_OR);
                CombineRgn(region.get(), region.get(), top.get(), RGN_OR);
            }
        } else {
            FRegionWidth = FRegionHeight = 0;
            region.reset(CreateRectRgn(0, 0, w, h));
        }
    });
    if (!built) {
        // The window keeps the region it had; the next size change tries again.
        FRegionWidth = oldWidth;
        FRegionHeight = oldHeight;
        return;
    }
    // A region equal to the one the window wears is not set again (a skin change that keeps the
    // frame's shape): setting a region makes the system redraw the whole window.
    if (FRegionOwned) {
        UniqueRegion current(CreateRectRgn(0, 0, 0, 0));
        if (current && GetWindowRgn(FOwner.Handle(), current.get()) != ERROR && EqualRgn(current.get(), region.get()))
            return;
    }
    FRegionOwned = false;
    // From here on the region belongs to the system, which deletes the one it replaces.
    HRGN handed = region.release();
    if (!SetWindowRgn(FOwner.Handle(), handed, TRUE)) {
        DeleteObject(handed);
        return;
    }
    FRegion = handed;
    FRegionOwned = true;
}

void TSkinFrame::ForgetRegion() {
    FRegion = nullptr;
    FRegionOwned = false;
}

void TSkinFrame::DropRegion() {
    if (!FRegionOwned) return;
    SetWindowRgn(FOwner.Handle(), nullptr, FOwner.FormKind() == fkMdiChild);
    FRegion = nullptr;
    FRegionOwned = false;
}

} // namespace wl
