// Screen and window captures (see capture.h).
#include "support/capture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace wl::test {

TCapture TCapture::FromDC(HDC source, int x, int y, int width, int height) {
    TCapture c;
    if (width <= 0 || height <= 0) return c;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height; // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC mem = CreateCompatibleDC(source);
    HBITMAP dib = CreateDIBSection(source, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (mem && dib && bits) {
        HGDIOBJ old = SelectObject(mem, dib);
        BitBlt(mem, 0, 0, width, height, source, x, y, SRCCOPY);
        GdiFlush();
        SelectObject(mem, old);
        const auto* px = static_cast<const DWORD*>(bits);
        c.width_ = width;
        c.height_ = height;
        c.pixels_.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
        for (size_t i = 0; i < c.pixels_.size(); ++i) {
            const DWORD v = px[i]; // 0x00RRGGBB in memory order B, G, R
            c.pixels_[i] = RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
        }
    }
    if (dib) DeleteObject(dib);
    if (mem) DeleteDC(mem);
    return c;
}

TCapture TCapture::Screen(const RECT& r) {
    HDC screen = GetDC(nullptr);
    TCapture c = FromDC(screen, r.left, r.top, r.right - r.left, r.bottom - r.top);
    ReleaseDC(nullptr, screen);
    return c;
}

TCapture TCapture::Window(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return Screen(r);
}

TCapture TCapture::Client(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return Screen(r);
}

TCapture TCapture::WindowDC(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    HDC dc = GetWindowDC(window);
    TCapture c = FromDC(dc, 0, 0, r.right - r.left, r.bottom - r.top);
    ReleaseDC(window, dc);
    return c;
}

TCapture TCapture::ClientDC(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    HDC dc = GetDC(window);
    TCapture c = FromDC(dc, 0, 0, r.right, r.bottom);
    ReleaseDC(window, dc);
    return c;
}

COLORREF TCapture::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    return pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

int ColorDistance(COLORREF a, COLORREF b) {
    return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                     std::abs(GetBValue(a) - GetBValue(b))});
}

namespace {
RECT Clip(const RECT& r, int width, int height) {
    return RECT{std::max(0L, r.left), std::max(0L, r.top), std::min<LONG>(width, r.right),
                std::min<LONG>(height, r.bottom)};
}
} // namespace

int TCapture::CountNear(const RECT& rect, COLORREF color, int tolerance) const {
    const RECT r = Clip(rect, width_, height_);
    int n = 0;
    for (LONG y = r.top; y < r.bottom; ++y)
        for (LONG x = r.left; x < r.right; ++x)
            if (ColorDistance(At(x, y), color) <= tolerance) ++n;
    return n;
}

int TCapture::CountDiffering(const TCapture& other, const RECT& rect) const {
    if (other.width_ != width_ || other.height_ != height_) return -1;
    const RECT r = Clip(rect, width_, height_);
    int n = 0;
    for (LONG y = r.top; y < r.bottom; ++y)
        for (LONG x = r.left; x < r.right; ++x)
            if (At(x, y) != other.At(x, y)) ++n;
    return n;
}

bool TCapture::Save(const std::string& path) const {
    if (Empty()) return false;
    const DWORD stride = (static_cast<DWORD>(width_) * 3 + 3) & ~3u;
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof ih;
    ih.biWidth = width_;
    ih.biHeight = height_; // bottom-up rows, as BMP readers expect by default
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + stride * static_cast<DWORD>(height_);
    std::vector<unsigned char> row(stride, 0);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(&fh, sizeof fh, 1, f) == 1 && std::fwrite(&ih, sizeof ih, 1, f) == 1;
    for (int y = height_ - 1; ok && y >= 0; --y) {
        for (int x = 0; x < width_; ++x) {
            const COLORREF c = At(x, y);
            row[static_cast<size_t>(x) * 3] = GetBValue(c);
            row[static_cast<size_t>(x) * 3 + 1] = GetGValue(c);
            row[static_cast<size_t>(x) * 3 + 2] = GetRValue(c);
        }
        ok = std::fwrite(row.data(), stride, 1, f) == 1;
    }
    return std::fclose(f) == 0 && ok;
}

} // namespace wl::test
