// Skin image drawing primitives (see skin_draw.h).
#include "skin/draw/skin_draw.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

namespace wl {

namespace {

bool Inverted(const RECT& r) { return r.right < r.left || r.bottom < r.top; }

// Scaled copy between device contexts; zero-sized pieces are skipped (GDI would mirror or
// fail on them anyway).
void Stretch(HDC dst, int dx, int dy, int dw, int dh, HDC src, int sx, int sy, int sw, int sh) {
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    if (dw == sw && dh == sh) BitBlt(dst, dx, dy, dw, dh, src, sx, sy, SRCCOPY);
    else StretchBlt(dst, dx, dy, dw, dh, src, sx, sy, sw, sh, SRCCOPY);
}

// Stretch from rectangle to rectangle (left, top, right, bottom).
void StretchRect(HDC dst, const RECT& d, HDC src, const RECT& s) {
    Stretch(dst, d.left, d.top, d.right - d.left, d.bottom - d.top, src, s.left, s.top,
            s.right - s.left, s.bottom - s.top);
}

// Rows of 24- or 32-bit pixels readable in memory, starting at a given origin; Bits is null
// when the pixels cannot be reached that way.
struct TPixelRows {
    const uint8_t* Bits = nullptr; // the origin pixel
    ptrdiff_t Stride = 0;          // from one row to the next (negative for bottom-up bitmaps)
    int BytesPerPixel = 0;
    const uint8_t* Row(int y) const { return Bits + Stride * y; }
};

TPixelRows RowsOf(TBitmap& bitmap, int x, int y) {
    const int bpp = bitmap.BitsPerPixel();
    if ((bpp != 24 && bpp != 32) || bitmap.Empty()) return {};
    TPixelRows rows;
    rows.BytesPerPixel = bpp / 8;
    const auto* first = static_cast<const uint8_t*>(bitmap.ScanLine(0));
    rows.Stride = bitmap.Height() > 1
                      ? static_cast<const uint8_t*>(bitmap.ScanLine(1)) - first
                      : bitmap.RowBytes();
    rows.Bits = first + rows.Stride * y + static_cast<ptrdiff_t>(x) * rows.BytesPerPixel;
    return rows;
}

// A memory DC with a 32-bit top-down DIB section selected, with COLORONCOLOR stretching (no
// blending of skin pixels, which would smear the key colour into its neighbours). One per
// thread: the painters compose every image in it instead of making a bitmap and a DC per call.
// It only grows; the thread's end frees it.
class TScratch {
public:
    TScratch() = default;
    TScratch(const TScratch&) = delete;
    TScratch& operator=(const TScratch&) = delete;
    ~TScratch() {
        // Put the DC's own bitmap back so that ours is not selected when it is deleted.
        if (FDC && FOld) SelectObject(FDC.get(), FOld);
    }

    // A DC whose bitmap has at least w x h pixels (w, h > 0); null when GDI fails.
    HDC Get(int w, int h) {
        if (w <= FWidth && h <= FHeight && FDC) return FDC.get();
        if (!FDC) {
            FDC.reset(CreateCompatibleDC(nullptr));
            if (!FDC) return nullptr;
            SetStretchBltMode(FDC.get(), COLORONCOLOR);
        }
        // Grow in steps so that a series of slightly larger requests does not reallocate
        // each time.
        const int nw = std::max(FWidth, Round(w)), nh = std::max(FHeight, Round(h));
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = nw;
        bi.bmiHeader.biHeight = -nh; // top-down
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        UniqueBitmap bmp(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!bmp) return nullptr;
        HGDIOBJ previous = SelectObject(FDC.get(), bmp.get());
        if (!FOld) FOld = previous;
        FBitmap = std::move(bmp); // the replaced bitmap is deselected now and can go
        FBits = static_cast<uint8_t*>(bits);
        FWidth = nw;
        FHeight = nh;
        return FDC.get();
    }
    // The pixels from (0, 0), after Get.
    TPixelRows Rows() const {
        return TPixelRows{FBits, static_cast<ptrdiff_t>(FWidth) * 4, 4};
    }

private:
    static int Round(int n) { return (n + 63) / 64 * 64; }

    // Declared before the DC: members go in reverse order, so the DC (which has its original
    // bitmap back by then) is deleted before our bitmap.
    UniqueBitmap FBitmap;
    UniqueDC FDC;
    HGDIOBJ FOld = nullptr;
    uint8_t* FBits = nullptr;
    int FWidth = 0, FHeight = 0;
};

HDC Scratch(int w, int h, TPixelRows* rows = nullptr) {
    thread_local TScratch scratch;
    HDC dc = scratch.Get(w, h);
    if (dc && rows) *rows = scratch.Rows();
    return dc;
}

// Margins as the painters use them: negative counts are 0.
struct TMargins {
    int L, T, R, B;
};
TMargins Sanitize(const RECT& m) {
    return {std::max(0, static_cast<int>(m.left)), std::max(0, static_cast<int>(m.top)),
            std::max(0, static_cast<int>(m.right)), std::max(0, static_cast<int>(m.bottom))};
}

// The keyed copy done on the pixels themselves, when the destination is a plain 24- or 32-bit
// DIB section (the work bitmaps every skin painter composes in) with no clipping or origin
// shift. Wine emulates MaskBlt slowly, and this path draws exactly the same pixels. Returns
// false when the destination does not qualify; the caller then uses GDI.
bool KeyedCopyToDib(HDC dc, int x, int y, int w, int h, const TPixelRows& source, COLORREF key) {
    if (!source.Bits) return false;
    DIBSECTION ds{};
    HGDIOBJ bmp = GetCurrentObject(dc, OBJ_BITMAP);
    if (!bmp || GetObject(bmp, sizeof ds, &ds) != sizeof ds || !ds.dsBm.bmBits) return false;
    const int dbpp = ds.dsBm.bmBitsPixel;
    if ((dbpp != 24 && dbpp != 32) || ds.dsBmih.biCompression != BI_RGB) return false;
    if (GetMapMode(dc) != MM_TEXT) return false;
    POINT vp{}, wo{};
    GetViewportOrgEx(dc, &vp);
    GetWindowOrgEx(dc, &wo);
    if (vp.x || vp.y || wo.x || wo.y) return false;
    UniqueRegion clip(CreateRectRgn(0, 0, 0, 0));
    if (!clip || GetClipRgn(dc, clip.get()) != 0) return false; // 0: no clip region
    const int dw = ds.dsBm.bmWidth, dh = ds.dsBm.bmHeight;
    const bool bottomUp = ds.dsBmih.biHeight > 0;
    const int stride = ds.dsBm.bmWidthBytes;
    auto* bits = static_cast<uint8_t*>(ds.dsBm.bmBits);
    // COLORREF is 0x00BBGGRR; pixels in memory are blue, green, red.
    const uint8_t kr = GetRValue(key), kg = GetGValue(key), kb = GetBValue(key);
    GdiFlush(); // pending GDI drawing reaches the pixels first
    const int sb = source.BytesPerPixel, db = dbpp / 8;
    for (int j = 0; j < h; ++j) {
        const int ty = y + j;
        if (ty < 0 || ty >= dh) continue;
        const uint8_t* srow = source.Row(j);
        uint8_t* drow = bits + static_cast<size_t>(bottomUp ? dh - 1 - ty : ty) * stride;
        for (int i = 0; i < w; ++i) {
            const int tx = x + i;
            if (tx < 0 || tx >= dw) continue;
            const uint8_t* sp = srow + i * sb;
            if (sp[0] == kb && sp[1] == kg && sp[2] == kr) continue;
            uint8_t* dp = drow + tx * db;
            dp[0] = sp[0];
            dp[1] = sp[1];
            dp[2] = sp[2];
            if (db == 4) dp[3] = sb == 4 ? sp[3] : 0;
        }
    }
    return true;
}

// w x h pixels of `src` from (sx, sy) drawn at (x, y), leaving the destination where the source
// has the key. `pixels` reaches the same source pixels in memory (or has no Bits).
void KeyedBlit(HDC dc, int x, int y, int w, int h, HDC src, int sx, int sy,
               const TPixelRows& pixels, TColor key) {
    if (w <= 0 || h <= 0) return;
    const COLORREF rgb = static_cast<COLORREF>(ColorToRGB(key));
    if (KeyedCopyToDib(dc, x, y, w, h, pixels, rgb)) return;
    // Monochrome mask: BitBlt from colour to monochrome turns pixels of the source DC's
    // background colour into 1 and all others into 0.
    UniqueDC maskDC(CreateCompatibleDC(dc));
    UniqueBitmap mask(CreateBitmap(w, h, 1, 1, nullptr));
    if (!maskDC || !mask) return;
    {
        ScopedSelect selMask(maskDC.get(), mask.get());
        const COLORREF oldBk = SetBkColor(src, rgb);
        BitBlt(maskDC.get(), 0, 0, w, h, src, sx, sy, SRCCOPY);
        SetBkColor(src, oldBk);
    }
    // Where the mask is 1 keep the destination (0x00AA0029), elsewhere copy the source.
    MaskBlt(dc, x, y, w, h, src, sx, sy, mask.get(), 0, 0, MAKEROP4(0x00AA0029, SRCCOPY));
}

// The w x h image composed at (0, 0) of the scratch, copied to (x, y) of the target.
void Output(HDC dc, int x, int y, int w, int h, HDC scratch, const TPixelRows& pixels,
            bool transparent) {
    if (transparent) KeyedBlit(dc, x, y, w, h, scratch, 0, 0, pixels, kSkinKeyColor);
    else BitBlt(dc, x, y, w, h, scratch, 0, 0, SRCCOPY);
}

// Repeats the source rectangle over dest, tiles copied straight from the source.
void TileInto(HDC d, const RECT& dest, HDC s, const RECT& sourceRect) {
    const int tw = sourceRect.right - sourceRect.left, th = sourceRect.bottom - sourceRect.top;
    if (tw <= 0 || th <= 0 || Inverted(dest)) return;
    for (int x = dest.left; x < dest.right; x += tw)
        for (int y = dest.top; y < dest.bottom; y += th)
            BitBlt(d, x, y, tw, th, s, sourceRect.left, sourceRect.top, SRCCOPY);
}

// The nine-grid of one cell into (0, 0, dw, dh) of `d`; every pixel of that area is written.
void RenderNineGrid(HDC d, int dw, int dh, HDC s, const TFrameCell& f, const TElementDraw& e) {
    auto [L, T, R, B] = Sanitize(e.Margins);
    // Margins that do not fit the target, or the frame itself, are dropped on that axis; so
    // are margins that leave the frame no middle when the target needs one (nothing would
    // fill it).
    if (dw < L + R || f.Width < L + R || (f.Width == L + R && dw > L + R)) L = R = 0;
    if (dh < T + B || f.Height < T + B || (f.Height == T + B && dh > T + B)) T = B = 0;
    const int sx = f.X, sy = f.Y, fw = f.Width, fh = f.Height;

    if (L * T > 0) StretchRect(d, {0, 0, L, T}, s, {sx, sy, sx + L, sy + T});
    if (L * B > 0) StretchRect(d, {0, dh - B, L, dh}, s, {sx, sy + fh - B, sx + L, sy + fh});
    if (R * T > 0) StretchRect(d, {dw - R, 0, dw, T}, s, {sx + fw - R, sy, sx + fw, sy + T});
    if (L > 0) StretchRect(d, {0, T, L, dh - B}, s, {sx, sy + T, sx + L, sy + fh - B});
    if (T > 0) StretchRect(d, {L, 0, dw - R, T}, s, {sx + L, sy, sx + fw - R, sy + T});
    const RECT centre{L, T, dw - R, dh - B};
    const RECT centreSrc{sx + L, sy + T, sx + fw - R, sy + fh - B};
    if (e.Tile) TileInto(d, centre, s, centreSrc);
    else StretchRect(d, centre, s, centreSrc);
    if (R * B > 0)
        StretchRect(d, {dw - R, dh - B, dw, dh}, s, {sx + fw - R, sy + fh - B, sx + fw, sy + fh});
    if (R > 0) StretchRect(d, {dw - R, T, dw, dh - B}, s, {sx + fw - R, sy + T, sx + fw, sy + fh - B});
    if (B > 0) StretchRect(d, {L, dh - B, dw - R, dh}, s, {sx + L, sy + fh - B, sx + fw - R, sy + fh});
}

bool HasImage(const TElementDraw& e) { return e.Image && !e.Image->Empty(); }

TFrameCell CellOf(const TElementDraw& e) {
    return SelectFrame(*e.Image, e.Vertical, e.Frames, e.Index);
}

} // namespace

TFrameCell SelectFrame(const TBitmap& source, bool vertical, int frames, int index) {
    const int n = std::max(1, frames);
    const int k = std::clamp(index, 1, n);
    TFrameCell c;
    if (vertical) {
        c.Width = source.Width();
        c.Height = source.Height() / n;
        c.Y = (k - 1) * c.Height;
    } else {
        c.Width = source.Width() / n;
        c.Height = source.Height();
        c.X = (k - 1) * c.Width;
    }
    return c;
}

std::unique_ptr<TBitmap> BuildElementImage(const RECT& dest, const TElementDraw& e) {
    if (Inverted(dest)) return std::make_unique<TBitmap>();
    const int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
    auto result = std::make_unique<TBitmap>();
    if (dw == 0 || dh == 0) return result;
    result->SetSize(dw, dh);
    if (!HasImage(e)) return result;
    HDC d = result->Canvas().Handle();
    SetStretchBltMode(d, COLORONCOLOR);
    RenderNineGrid(d, dw, dh, e.Image->Canvas().Handle(), CellOf(e), e);
    return result;
}

void DrawElement(HDC dc, const RECT& rect, const TElementDraw& e) {
    if (Inverted(rect) || !HasImage(e)) return;
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    const TFrameCell f = CellOf(e);
    if (w == 0 || h == 0 || f.Width <= 0 || f.Height <= 0) return;
    TPixelRows rows;
    HDC work = Scratch(w, h, &rows);
    if (!work) return;
    RenderNineGrid(work, w, h, e.Image->Canvas().Handle(), f, e);
    Output(dc, rect.left, rect.top, w, h, work, rows, e.Transparent);
}

void DrawSkinBar(HDC dc, const RECT& rect, const TElementDraw& e) {
    if (Inverted(rect) || !HasImage(e)) return;
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    const TFrameCell f = CellOf(e);
    if (w == 0 || h == 0 || f.Width <= 0 || f.Height <= 0) return;
    const int sx = f.X, sy = f.Y, fw = f.Width, fh = f.Height;
    auto [L, T, R, B] = Sanitize(e.Margins);
    (void)T, (void)B;
    // Caps wider than the cell would be read from its neighbours, caps wider than the bar
    // would overlap: the bar is then the whole cell repeated.
    if (L + R > fw || L + R > w) L = R = 0;
    TPixelRows rows;
    HDC d = Scratch(w, h, &rows);
    if (!d) return;
    HDC s = e.Image->Canvas().Handle();
    StretchRect(d, {0, 0, L, h}, s, {sx, sy, sx + L, sy + fh});
    const int seg = fw - L - R;
    if (seg > 0) {
        for (int x = L; x < w - R; x += seg)
            StretchRect(d, {x, 0, x + seg, h}, s, {sx + L, sy, sx + L + seg, sy + fh});
    } else if (w - R > L) {
        // No middle in the cell: stepping by its width would never end. Stretch the whole
        // cell once between the caps.
        StretchRect(d, {L, 0, w - R, h}, s, {sx, sy, sx + fw, sy + fh});
    }
    StretchRect(d, {w - R, 0, w, h}, s, {sx + fw - R, sy, sx + fw, sy + fh});
    Output(dc, rect.left, rect.top, w, h, d, rows, e.Transparent);
}

void DrawFrameStretched(HDC dc, const RECT& rect, const TElementDraw& e) {
    if (Inverted(rect) || !HasImage(e)) return;
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    const TFrameCell f = CellOf(e);
    if (w == 0 || h == 0 || f.Width <= 0 || f.Height <= 0) return;
    HDC s = e.Image->Canvas().Handle();
    if (w == f.Width && h == f.Height) {
        // Nothing to scale: straight from the cell.
        if (e.Transparent)
            KeyedBlit(dc, rect.left, rect.top, w, h, s, f.X, f.Y, RowsOf(*e.Image, f.X, f.Y),
                      kSkinKeyColor);
        else BitBlt(dc, rect.left, rect.top, w, h, s, f.X, f.Y, SRCCOPY);
        return;
    }
    TPixelRows rows;
    HDC work = Scratch(w, h, &rows);
    if (!work) return;
    Stretch(work, 0, 0, w, h, s, f.X, f.Y, f.Width, f.Height);
    Output(dc, rect.left, rect.top, w, h, work, rows, e.Transparent);
}

void DrawFrameCentered(HDC dc, const RECT& rect, const TElementDraw& e) {
    if (Inverted(rect) || !HasImage(e)) return;
    const TFrameCell f = CellOf(e);
    if (f.Width <= 0 || f.Height <= 0) return;
    const int x = rect.left + (rect.right - rect.left - f.Width) / 2;
    const int y = rect.top + (rect.bottom - rect.top - f.Height) / 2;
    HDC s = e.Image->Canvas().Handle();
    if (e.Transparent)
        KeyedBlit(dc, x, y, f.Width, f.Height, s, f.X, f.Y, RowsOf(*e.Image, f.X, f.Y),
                  kSkinKeyColor);
    else BitBlt(dc, x, y, f.Width, f.Height, s, f.X, f.Y, SRCCOPY);
}

void StretchSkinStrip(HDC dc, const RECT& rect, const TElementDraw& e) {
    if (Inverted(rect) || !HasImage(e)) return;
    const TFrameCell f = CellOf(e);
    const int sx = f.X, sy = f.Y, fw = f.Width, fh = f.Height;
    const int dw = rect.right - rect.left, h = rect.bottom - rect.top;
    const auto [L, T, R, B] = Sanitize(e.Margins);
    (void)T, (void)B;
    HDC s = e.Image->Canvas().Handle();
    // Scale without blending (the DC's own mode may AND or OR shrunk pixels together); the
    // caller's mode is put back afterwards.
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    struct RestoreMode {
        HDC dc;
        int mode;
        ~RestoreMode() {
            if (mode) SetStretchBltMode(dc, mode);
        }
    } restore{dc, oldMode};
    if (dw < fw || L + R > fw) {
        Stretch(dc, rect.left, rect.top, dw, h, s, sx, sy, fw, fh);
        return;
    }
    Stretch(dc, rect.left, rect.top, L, h, s, sx, sy, L, fh);
    Stretch(dc, rect.left + L, rect.top, dw - L - R, h, s, sx + L, sy, fw - L - R, fh);
    Stretch(dc, rect.right - R, rect.top, R, h, s, sx + fw - R, sy, R, fh);
}

void TransparentBlit(HDC dc, const RECT& rect, TBitmap& source, TColor key) {
    if (Inverted(rect) || source.Empty()) return;
    const int w = std::min<int>(rect.right - rect.left, source.Width());
    const int h = std::min<int>(rect.bottom - rect.top, source.Height());
    if (w <= 0 || h <= 0) return;
    KeyedBlit(dc, rect.left, rect.top, w, h, source.Canvas().Handle(), 0, 0, RowsOf(source, 0, 0),
              key);
}

UniqueRegion RegionFromBitmap(TBitmap& bitmap, int xOffset, int yOffset, int blueTolerance,
                              int greenTolerance, int redTolerance, TColor key) {
    UniqueRegion result;
    if (bitmap.Empty()) return UniqueRegion(CreateRectRgn(0, 0, 0, 0));
    bitmap.SetPixelFormat(pf32bit);
    const uint32_t k = static_cast<uint32_t>(ColorToRGB(key));
    const int kr = k & 0xFF, kg = (k >> 8) & 0xFF, kb = (k >> 16) & 0xFF;
    const int maxR = std::min(255, kr + redTolerance), maxG = std::min(255, kg + greenTolerance),
              maxB = std::min(255, kb + blueTolerance);

    // Rectangles are gathered in a region-data buffer and merged into the result every
    // kBatch rectangles, which keeps each ExtCreateRegion call bounded.
    constexpr size_t kBatch = 2000;
    std::vector<RECT> rects;
    rects.reserve(500);
    RECT bounds{INT_MAX, INT_MAX, 0, 0};
    auto flush = [&]() {
        if (rects.empty()) return;
        std::vector<uint8_t> buf(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
        auto* data = reinterpret_cast<RGNDATA*>(buf.data());
        data->rdh.dwSize = sizeof(RGNDATAHEADER);
        data->rdh.iType = RDH_RECTANGLES;
        data->rdh.nCount = static_cast<DWORD>(rects.size());
        data->rdh.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
        data->rdh.rcBound = bounds;
        std::copy(rects.begin(), rects.end(), reinterpret_cast<RECT*>(data->Buffer));
        UniqueRegion part(ExtCreateRegion(nullptr, static_cast<DWORD>(buf.size()), data));
        if (part) {
            if (!result) result = std::move(part);
            else CombineRgn(result.get(), result.get(), part.get(), RGN_OR);
        }
        rects.clear();
        bounds = RECT{INT_MAX, INT_MAX, 0, 0};
    };

    const int w = bitmap.Width(), h = bitmap.Height();
    for (int y = 0; y < h; ++y) {
        const auto* row = static_cast<const uint8_t*>(bitmap.ScanLine(y)); // B, G, R, A
        auto transparent = [&](int x) {
            const int b = row[x * 4], g = row[x * 4 + 1], r = row[x * 4 + 2];
            return r >= kr && r <= maxR && g >= kg && g <= maxG && b >= kb && b <= maxB;
        };
        int x = 0;
        while (x < w) {
            const int x0 = x;
            while (x < w && !transparent(x)) ++x;
            if (x > x0) {
                RECT r{x0 + xOffset, y + yOffset, x + xOffset, y + yOffset + 1};
                if (rects.size() == rects.capacity()) rects.reserve(rects.size() + 500);
                rects.push_back(r);
                bounds.left = std::min(bounds.left, r.left);
                bounds.top = std::min(bounds.top, r.top);
                bounds.right = std::max(bounds.right, r.right);
                bounds.bottom = std::max(bounds.bottom, r.bottom);
                if (rects.size() == kBatch) flush();
            }
            ++x; // the transparent pixel that ended the run
        }
    }
    flush();
    if (!result) result = UniqueRegion(CreateRectRgn(0, 0, 0, 0));
    return result;
}

void TileBitmap(TCanvas& canvas, const RECT& dest, TBitmap& source, const RECT& sourceRect) {
    if (Inverted(dest) || source.Empty()) return;
    TileInto(canvas.Handle(), dest, source.Canvas().Handle(), sourceRect);
}

} // namespace wl
