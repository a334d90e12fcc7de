// Skin bitmap routines over 24-bit rows, and gradients painted from a shared table cache.
#include "skin/archive/bitmaps.h"

#include <cmath>
#include <cstring>

namespace wl {
namespace {

// Makes sure the bitmap has 3-byte pixels; the routines below walk its rows directly.
void Ensure24(TBitmap& bitmap) {
    if (bitmap.PixelFormat() != pf24bit || bitmap.BitsPerPixel() != 24) bitmap.SetPixelFormat(pf24bit);
}

uint8_t* Row(TBitmap& bitmap, int y) { return static_cast<uint8_t*>(bitmap.ScanLine(y)); }

// Division rounding toward minus infinity (C++ truncates toward zero).
int FloorDiv(int a, int b) {
    int q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

// Reads the bitmap's pixels as 0x00BBGGRR, row by row from the top.
std::vector<TColor> ReadAll(TBitmap& bitmap) {
    const int w = bitmap.Width(), h = bitmap.Height();
    std::vector<TColor> pixels(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = Row(bitmap, y);
        for (int x = 0; x < w; ++x)
            pixels[size_t(y) * w + x] = row[x * 3 + 2] | (row[x * 3 + 1] << 8) | (row[x * 3] << 16);
    }
    return pixels;
}

void PutPixel(uint8_t* row, int x, TColor c) {
    row[x * 3] = uint8_t(c >> 16);
    row[x * 3 + 1] = uint8_t(c >> 8);
    row[x * 3 + 2] = uint8_t(c);
}

// Turns the bitmap a quarter; `source(x, y)` of the new W' = H, H' = W image gives the index
// of the old pixel that lands there.
template <class Source>
void Rotate(TBitmap& bitmap, Source source) {
    Ensure24(bitmap);
    if (bitmap.Empty()) return;
    const int w = bitmap.Width(), h = bitmap.Height();
    const std::vector<TColor> old = ReadAll(bitmap);
    bitmap.SetSize(h, w);
    for (int y = 0; y < w; ++y) {
        uint8_t* row = Row(bitmap, y);
        for (int x = 0; x < h; ++x) PutPixel(row, x, old[source(x, y, w, h)]);
    }
}

} // namespace

void GrayBitmap(TBitmap& bitmap) {
    Ensure24(bitmap);
    for (int y = 0; y < bitmap.Height(); ++y) {
        uint8_t* row = Row(bitmap, y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            uint8_t* p = row + x * 3;
            uint8_t g = uint8_t((p[0] + p[1] + p[2]) / 3);
            p[0] = p[1] = p[2] = g;
        }
    }
}

void ReplaceMagenta(TBitmap& bitmap, TColor color) {
    Ensure24(bitmap);
    const uint8_t r = uint8_t(color), g = uint8_t(color >> 8), b = uint8_t(color >> 16);
    for (int y = 0; y < bitmap.Height(); ++y) {
        uint8_t* row = Row(bitmap, y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            uint8_t* p = row + x * 3; // blue, green, red
            if (p[0] == 255 && p[1] == 0 && p[2] == 255) {
                p[0] = b;
                p[1] = g;
                p[2] = r;
            }
        }
    }
}

void MirrorBitmap(TBitmap& bitmap) {
    Ensure24(bitmap);
    const int w = bitmap.Width();
    for (int y = 0; y < bitmap.Height(); ++y) {
        uint8_t* row = Row(bitmap, y);
        for (int x = 0; x < w / 2; ++x)
            for (int k = 0; k < 3; ++k) std::swap(row[x * 3 + k], row[(w - 1 - x) * 3 + k]);
    }
}

void FlipBitmap(TBitmap& bitmap) {
    Ensure24(bitmap);
    const int h = bitmap.Height();
    const size_t bytes = size_t(bitmap.Width()) * 3;
    std::vector<uint8_t> temp(bytes);
    for (int y = 0; y < h / 2; ++y) {
        uint8_t* top = Row(bitmap, y);
        uint8_t* bottom = Row(bitmap, h - 1 - y);
        std::memcpy(temp.data(), top, bytes);
        std::memcpy(top, bottom, bytes);
        std::memcpy(bottom, temp.data(), bytes);
    }
}

void RotateLeft(TBitmap& bitmap) {
    // Old (x, y) goes to (y, W - 1 - x): new (nx, ny) comes from old (W - 1 - ny, nx).
    Rotate(bitmap, [](int nx, int ny, int w, int) { return size_t(nx) * w + (w - 1 - ny); });
}

void RotateRight(TBitmap& bitmap) {
    // Old (x, y) goes to (H - 1 - y, x): new (nx, ny) comes from old (ny, H - 1 - nx).
    Rotate(bitmap, [](int nx, int ny, int w, int h) { return size_t(h - 1 - nx) * w + ny; });
}

TColor MixColors(TColor color1, TColor color2, int weight) {
    if (color1 < 0) color1 = TColor(GetSysColor(color1 & 0xFF));
    if (color2 < 0) color2 = TColor(GetSysColor(color2 & 0xFF));
    const int s = weight < 100 ? 100 : 1000;
    auto mix = [&](int c1, int c2) { return ((c2 * (s - weight) + c1 * weight + s / 2) / s) & 0xFF; };
    const int r = mix(color1 & 0xFF, color2 & 0xFF);
    const int g = mix((color1 >> 8) & 0xFF, (color2 >> 8) & 0xFF);
    // Blue takes the whole upper half: bits 24 to 31 of ordinary colours are zero.
    const int b = mix((color1 >> 16) & 0xFFFF, (color2 >> 16) & 0xFFFF);
    return TColor(r | (g << 8) | (b << 16));
}

int ColorSaturation(TColor color) {
    const int r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
    const double s = mx == 0 ? 0.0 : double(mx - mn) / mx;
    if (mx < 160) return 200;
    return int(std::nearbyint(s * 255)); // the default rounding mode sends halves to even
}

int TGradientCache::Make(int n, TColor a, TColor b) {
    const int slot = FNext;
    FNext = (FNext + 1) % kSlots;
    std::vector<TColor>& table = FSlots[size_t(slot)];
    table.assign(size_t(n > 0 ? n : 0), 0);
    if (n <= 0) return slot;
    auto channel = [](TColor c, int shift) { return (c >> shift) & 0xFF; };
    for (int i = 0; i < n; ++i) {
        TColor c = 0;
        for (int shift : {0, 8, 16}) {
            const int from = channel(a, shift), d = channel(b, shift) - from;
            int v;
            if (n == 1) {
                v = from + d / 2; // the midpoint, halving toward zero
            } else {
                const int m = n - 1, h = m / 2;
                v = from + FloorDiv(i * d + h, m);
            }
            c |= TColor(v & 0xFF) << shift;
        }
        table[size_t(i)] = c;
    }
    return slot;
}

int TGradientCache::Find(int n, TColor a, TColor b) const {
    for (int slot = kSlots - 1; slot >= 0; --slot) {
        const auto& t = FSlots[size_t(slot)];
        if (n > 0 && t.size() == size_t(n) && t.front() == a && t.back() == b) return slot;
    }
    return -1;
}

int TGradientCache::Get(int n, TColor a, TColor b) {
    int slot = Find(n, a, b);
    return slot >= 0 ? slot : Make(n, a, b);
}

TGradientCache& GradientCache() {
    static TGradientCache cache;
    return cache;
}

void GradientFill(HDC dc, const RECT& rect, TColor start, bool vertical, TColor end) {
    if (!RectVisible(dc, &rect)) return;
    start = ColorToRGB(start);
    end = ColorToRGB(end);
    RECT clip{};
    GetClipBox(dc, &clip);
    const int extent = vertical ? rect.bottom - rect.top : rect.right - rect.left;
    if (extent <= 0) return;
    const int before = vertical ? clip.top - rect.top : clip.left - rect.left;
    const int farEdge = vertical ? clip.bottom : clip.right;
    const int rectEnd = vertical ? rect.bottom : rect.right;
    const int first = before > 0 ? before : 0;
    const int last = farEdge < rectEnd ? farEdge - 1 - (vertical ? rect.top : rect.left) : extent - 1;
    if (last < first) return;
    TGradientCache& cache = GradientCache();
    const std::vector<TColor>& table = cache.Table(cache.Get(extent, start, end));
    RECT band = vertical ? RECT{rect.left, rect.top + first, rect.right, rect.top + first + 1}
                         : RECT{rect.left + first, rect.top, rect.left + first + 1, rect.bottom};
    for (int step = first; step <= last; ++step) {
        UniqueBrush brush(CreateSolidBrush(COLORREF(table[size_t(step)]) & 0xFFFFFF));
        FillRect(dc, &band, brush.get());
        if (vertical) {
            ++band.top;
            ++band.bottom;
        } else {
            ++band.left;
            ++band.right;
        }
    }
}

} // namespace wl
