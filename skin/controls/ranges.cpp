// Progress bars, track bars and up-down controls painted from the skin's range elements.
#include "skin/controls/ranges.h"

#include "skin/archive/bitmaps.h"
#include "skin/data/skin_data.h"
#include "skin/data/skin_elements.h"
#include "skin/draw/skin_draw.h"
#include "skin/draw/swallowed.h"
#include "ui/graphics_colors.h"

#include <commctrl.h>

#include <algorithm>

namespace wl {

WL_DEFINE_CLASS(TSkinProgress, WL_NO_PROPERTIES)
WL_DEFINE_CLASS(TSkinTrackBar, WL_NO_PROPERTIES)
WL_DEFINE_CLASS(TSkinUpDown, [](ClassBuilder<TSkinUpDown>& c) {
    c.Bool("InEdit", &TSkinUpDown::InEdit, &TSkinUpDown::SetInEdit);
    c.Bool("Horizontal", &TSkinUpDown::Horizontal, &TSkinUpDown::SetHorizontal);
})

namespace {

RECT Sized(int width, int height) {
    return RECT{0, 0, width, height};
}

// Draws `source` at (x, y), leaving out key pixels when `keyed`.
void Put(HDC dc, int x, int y, TBitmap& source, bool keyed) {
    if (source.Empty()) return;
    if (keyed) {
        TransparentBlit(dc, RECT{x, y, x + source.Width(), y + source.Height()}, source,
                        kSkinKeyColor);
    } else {
        BitBlt(dc, x, y, source.Width(), source.Height(), source.Canvas().Handle(), 0, 0, SRCCOPY);
    }
}

} // namespace

// ---- TSkinProgress
// -------------------------------------------------------------------------------

TSkinProgress::TSkinProgress(TComponent* owner) : TSkinControl(owner) {}

bool TSkinProgress::Skinned() const {
    if (!FSkinData || !HasElement(FSkinData->Progress.get())) return false;
    return FSkinData->Progress->Style != 1 || HasElement(FSkinData->ProgressChunk.get());
}

bool TSkinProgress::BeforeMessage(TMessage& m) {
    const bool skinned = Skinned();
    switch (m.Msg) {
    case WM_PAINT:
        if (!skinned) break;
        HandlePaint(*this, m);
        return false;
    case WM_ERASEBKGND:
        if (!skinned) break;
        m.Result = 1; // the paint covers the whole control
        return false;
    default:
        break;
    }
    return TSkinControl::BeforeMessage(m);
}

int TSkinProgress::BarLength(int length, int pos, int min, int max) {
    if (length <= 0 || max <= min) return 0;
    pos = std::clamp(pos, min, max);
    return MulDiv(length, pos - min, max - min);
}

void TSkinProgress::DrawSkin(HDC dc, const RECT& rect) {
    if (!Skinned()) return;
    TDataSkinBorder& progress = *FSkinData->Progress;
    const bool vertical = (GetWindowLongPtrW(FHandle, GWL_STYLE) & PBS_VERTICAL) != 0;
    const int pos = static_cast<int>(SendMessageW(FHandle, PBM_GETPOS, 0, 0));
    const int min = static_cast<int>(SendMessageW(FHandle, PBM_GETRANGE, TRUE, 0));
    const int max = static_cast<int>(SendMessageW(FHandle, PBM_GETRANGE, FALSE, 0));
    // A vertical bar is drawn lying down and turned upright at the end, so it grows upward.
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return;
    TBitmap buffer(vertical ? height : width, vertical ? width : height, pf24bit);
    const RECT whole = Sized(buffer.Width(), buffer.Height());
    HDC b = buffer.Canvas().Handle();
    FillColor(b, whole, FaceColor());
    if (progress.Style == 1) {
        DrawChunks(b, whole, vertical, pos, min, max);
    } else {
        TElementDraw d = ElementDraw(progress, 1);
        d.Frames = 2;
        d.Transparent = true;
        DrawElement(b, whole, d);
        const int bar = BarLength(whole.right, pos, min, max);
        if (bar > 0) DrawElement(b, RECT{0, 0, bar, whole.bottom}, d.Cell(2));
    }
    if (vertical) RotateLeft(buffer);
    BitBlt(dc, rect.left, rect.top, width, height, buffer.Canvas().Handle(), 0, 0, SRCCOPY);
}

// The chunk style: a one-cell track with the chunk image repeated (Tile 1) or stretched in three
// slices along the filled part, inside the track's two-pixel border.
void TSkinProgress::DrawChunks(HDC b, const RECT& whole, bool, int pos, int min, int max) {
    TElementDraw track = ElementDraw(*FSkinData->Progress, 1);
    track.Frames = 1;
    track.Tile = false;
    track.Transparent = true;
    DrawElement(b, whole, track);
    TDataSkinObject* chunk = FSkinData->ProgressChunk.get();
    const bool keyed = chunk->Trans != 0;
    const int cw = chunk->Image.Width(), ch = chunk->Image.Height();
    if (chunk->Tile == 1) {
        const int x0 = chunk->LeftWidth + 2;
        const int bar = BarLength(whole.right - x0 - 2, pos, min, max);
        if (bar <= 0 || cw <= 0) return;
        TBitmap strip(bar, ch, pf24bit);
        HDC s = strip.Canvas().Handle();
        for (int i = 0; i <= bar / cw; ++i)
            BitBlt(s, i * cw, 0, cw, ch, chunk->Image.Canvas().Handle(), 0, 0, SRCCOPY);
        Put(b, x0, (whole.bottom - ch) / 2, strip, keyed);
        return;
    }
    const int bar = BarLength(whole.right - 4, pos, min, max);
    if (bar <= 0 || whole.bottom <= 4) return;
    TBitmap strip(bar, whole.bottom - 4, pf24bit);
    StretchSkinStrip(strip.Canvas().Handle(), Sized(bar, whole.bottom - 4), ElementDraw(*chunk, 1));
    Put(b, 2, 2, strip, keyed);
}

// ---- TSkinTrackBar
// -------------------------------------------------------------------------------

TSkinTrackBar::TSkinTrackBar(TComponent* owner) : TSkinControl(owner) {}

bool TSkinTrackBar::BeforeMessage(TMessage& m) {
    if ((m.Msg == WM_NOTIFY || m.Msg == CN_NOTIFY) && m.LParam) {
        auto* header = reinterpret_cast<NMHDR*>(m.LParam);
        // Only the track bar's own drawing; a tool tip inside it notifies too.
        if (header->code == static_cast<UINT>(NM_CUSTOMDRAW) && header->hwndFrom == FHandle) {
            m.Result = CustomDraw(*reinterpret_cast<NMCUSTOMDRAW*>(m.LParam));
            return false;
        }
    }
    return TSkinControl::BeforeMessage(m);
}

LRESULT TSkinTrackBar::CustomDraw(NMCUSTOMDRAW& draw) {
    if (draw.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
    // A part that fails to draw is left to the control.
    LRESULT result = CDRF_DODEFAULT; // the tick marks stay the control's
    SwallowFailures([&] {
        // A part the skin has no cells for keeps the control's own drawing.
        switch (draw.dwItemSpec) {
        case TBCD_THUMB:
            if (!ThumbElement()) break;
            DrawThumb(draw.hdc);
            result = CDRF_SKIPDEFAULT;
            break;
        case TBCD_CHANNEL:
            if (!ChannelElement()) break;
            DrawChannel(draw.hdc);
            result = CDRF_SKIPDEFAULT;
            break;
        default: break;
        }
    });
    return result;
}

TDataSkinObject* TSkinTrackBar::ThumbElement() const {
    if (!FSkinData || !FHandle) return nullptr;
    const bool vertical = (GetWindowLongPtrW(FHandle, GWL_STYLE) & TBS_VERT) != 0;
    // One thumb per orientation, whichever side the ticks are on.
    TDataSkinObject* image = vertical && HasElement(FSkinData->TrackbarThumbVert.get())
                                 ? FSkinData->TrackbarThumbVert.get()
                                 : FSkinData->TrackbarThumbHorz.get();
    return HasElement(image) ? image : nullptr;
}

TDataSkinObject* TSkinTrackBar::ChannelElement() const {
    if (!FSkinData || !FHandle) return nullptr;
    const bool vertical = (GetWindowLongPtrW(FHandle, GWL_STYLE) & TBS_VERT) != 0;
    if (vertical && HasElement(FSkinData->TrackVert.get())) return FSkinData->TrackVert.get();
    return HasElement(FSkinData->Track.get()) ? FSkinData->Track.get() : nullptr;
}

void TSkinTrackBar::DrawThumb(HDC dc) {
    TDataSkinObject* image = ThumbElement();
    if (!IsWindow(FHandle) || !image) return;
    RECT r{};
    SendMessageW(FHandle, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
    DrawFrameStretched(dc, r,
                       TElementDraw{.Image = &image->Image,
                                    .Frames = std::max(1, image->Frame),
                                    .Index = 2,
                                    .Transparent = true});
}

void TSkinTrackBar::DrawChannel(HDC dc) {
    if (!IsWindow(FHandle) || !FSkinData) return;
    RECT c{};
    SendMessageW(FHandle, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&c));
    const bool vertical = (GetWindowLongPtrW(FHandle, GWL_STYLE) & TBS_VERT) != 0;
    if (vertical && HasElement(FSkinData->TrackVert.get())) {
        // Some systems answer a vertical bar's channel with its axes exchanged.
        if (c.right - c.left > c.bottom - c.top) c = RECT{c.top, c.left, c.bottom, c.right};
        TDataSkinObject& e = *FSkinData->TrackVert;
        const int w = e.Image.Width(), h = e.Image.Height();
        const int length = c.bottom - c.top, across = c.right - c.left;
        const int t = std::clamp(e.TopHeight, 0, h), bb = std::clamp(e.BottomHeight, 0, h - t);
        if (length <= 0 || w <= 0) return;
        TBitmap groove(w, length, pf24bit);
        HDC g = groove.Canvas().Handle();
        HDC s = e.Image.Canvas().Handle();
        SetStretchBltMode(g, COLORONCOLOR);
        BitBlt(g, 0, 0, w, t, s, 0, 0, SRCCOPY);
        StretchBlt(g, 0, t, w, length - t - bb, s, 0, t, w, h - t - bb, SRCCOPY);
        BitBlt(g, 0, length - bb, w, bb, s, 0, h - bb, SRCCOPY);
        Put(dc, w < across ? c.left + (across - w) / 2 : c.left, c.top, groove, e.Trans != 0);
        return;
    }
    if (!HasElement(FSkinData->Track.get())) return;
    TDataSkinObject& e = *FSkinData->Track;
    const int w = e.Image.Width(), h = e.Image.Height();
    const int length = c.right - c.left, across = c.bottom - c.top;
    const int l = std::clamp(e.LeftWidth, 0, w), rr = std::clamp(e.RightWidth, 0, w - l);
    if (length <= 0 || h <= 0) return;
    TBitmap groove(length, h, pf24bit);
    HDC g = groove.Canvas().Handle();
    HDC s = e.Image.Canvas().Handle();
    SetStretchBltMode(g, COLORONCOLOR);
    BitBlt(g, 0, 0, l, h, s, 0, 0, SRCCOPY);
    StretchBlt(g, l, 0, length - l - rr, h, s, l, 0, w - l - rr, h, SRCCOPY);
    BitBlt(g, length - rr, 0, rr, h, s, w - rr, 0, SRCCOPY);
    Put(dc, c.left, h < across ? c.top + (across - h) / 2 : c.top, groove, e.Trans != 0);
}

void TSkinTrackBar::SkinChanged() {
    // Only the custom-draw answers change: the next paint asks for them again.
    MarkForRepaint();
}

// ---- TSkinUpDown
// ---------------------------------------------------------------------------------

TSkinUpDown::TSkinUpDown(TComponent* owner) : TSkinControl(owner) {}

bool TSkinUpDown::IsHorizontal() const {
    return FHorizontal || (FHandle && (GetWindowLongPtrW(FHandle, GWL_STYLE) & UDS_HORZ) != 0);
}

TDataSkinBorder* TSkinUpDown::Element() const {
    if (!FSkinData) return nullptr;
    TDataSkinBorder* element = IsHorizontal() ? FSkinData->UpDownHorz.get() : FSkinData->UpDownVert.get();
    return HasElement(element) ? element : nullptr;
}

bool TSkinUpDown::BeforeMessage(TMessage& m) {
    // Without the skin's cells the arrows paint and press themselves.
    if (!Element()) return TSkinControl::BeforeMessage(m);
    switch (m.Msg) {
    case WM_PAINT:
        HandlePaint(*this, m);
        return false;
    case WM_ERASEBKGND:
        if (!FControl && m.WParam) {
            RECT client{};
            GetClientRect(FHandle, &client);
            FillColor(reinterpret_cast<HDC>(m.WParam), client, 0xFFFFFF);
        }
        m.Result = 1;
        return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // The control starts its own repeat (timer and capture) and changes the value.
        if (!CallPrevious(m)) return false;
        FMouseFlags |= mfPressed;
        PaintControl(nullptr);
        return false;
    case WM_LBUTTONUP:
        FMouseFlags &= static_cast<uint8_t>(~mfPressed);
        if (CallPrevious(m)) PaintControl(nullptr);
        return false;
    default:
        return TSkinControl::BeforeMessage(m);
    }
}

int TSkinUpDown::CellOf(int arrow, int state) {
    return state + 4 * arrow - (arrow >= 2 ? 8 : 0);
}

void TSkinUpDown::DrawSkin(HDC dc, const RECT& rect) {
    TDataSkinBorder* element = Element();
    if (!element) return;
    RECT r = rect;
    if (FInEdit) {
        RECT client{};
        GetClientRect(FHandle, &client);
        FillColor(dc, client, 0xFFFFFF);
        // Keep clear of the edit's three-pixel border.
        RECT edit{};
        if (GetWindowRect(GetParent(FHandle), &edit)) {
            if (const int gap = FWindowRect.top - edit.top; gap < 3) r.top += 3 - gap;
            if (const int gap = edit.bottom - FWindowRect.bottom; gap < 3) r.bottom -= 3 - gap;
            if (const int gap = edit.right - FWindowRect.right; gap < 3) r.right -= 3 - gap;
        }
    }
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return;
    TBitmap buffer(width, height, pf24bit);
    HDC b = buffer.Canvas().Handle();
    FillColor(b, Sized(width, height), FaceColor());
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(FHandle, &cursor);
    cursor.x -= r.left;
    cursor.y -= r.top;
    FIsEnabled = (GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_DISABLED) == 0;
    const bool horizontal = IsHorizontal();
    RECT first, second;
    if (horizontal) {
        first = RECT{0, 0, width / 2, height};
        second = RECT{width / 2, 0, width, height};
    } else {
        first = RECT{0, 0, width, height / 2};
        second = RECT{0, height / 2, width, height};
    }
    auto state = [&](const RECT& other) {
        if (!FIsEnabled) return 3;
        if (PtInRect(&other, cursor)) return 1; // the press belongs to the other button
        if (FMouseFlags & mfPressed) return 2;
        if (FMouseFlags & mfHot) return 4;
        return 1;
    };
    DrawButton(b, *element, first, horizontal ? 2 : 0, state(second));
    DrawButton(b, *element, second, horizontal ? 3 : 1, state(first));
    BitBlt(dc, r.left, r.top, width, height, b, 0, 0, SRCCOPY);
}

void TSkinUpDown::DrawButton(HDC dc, TDataSkinBorder& element, const RECT& half, int arrow, int state) {
    const int frames = std::max(1, element.Frame);
    const int cell = CellOf(arrow, state);
    DrawFrameStretched(
        dc, half,
        TElementDraw{
            .Image = &element.Image, .Frames = frames, .Index = cell, .Transparent = true});
    if (!element.Image2.Empty())
        DrawFrameCentered(
            dc, half,
            TElementDraw{
                .Image = &element.Image2, .Frames = frames, .Index = cell, .Transparent = true});
}

} // namespace wl
