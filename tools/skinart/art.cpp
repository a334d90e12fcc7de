// Raster helpers of the art generator (see art.h).
#include "art.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace skinart {

Rgb Mix(Rgb a, Rgb b, double t) {
    auto m = [t](uint8_t x, uint8_t y) {
        return static_cast<uint8_t>(std::lround(x + (static_cast<double>(y) - x) * t));
    };
    Rgb c{m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
    // A blend that happens to land on the key colour would punch a hole: nudge it.
    if (c == kKey) c.g = 1;
    return c;
}

Rgb ParseRgb(const std::string& text) {
    std::istringstream in(text);
    int r = -1, g = -1, b = -1;
    std::string rest;
    if (!(in >> r >> g >> b) || (in >> rest) || r < 0 || r > 255 || g < 0 || g > 255 || b < 0 ||
        b > 255)
        throw std::runtime_error("not an \"R G B\" colour: '" + text + "'");
    return Rgb{static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)};
}

Image::Image(int w, int h, Rgb fill) : w_(w), h_(h) {
    if (w <= 0 || h <= 0) throw std::runtime_error("image size must be positive");
    px_.assign(static_cast<size_t>(w) * static_cast<size_t>(h), fill);
}

Rgb Image::Get(int x, int y) const {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return kKey;
    return px_[static_cast<size_t>(y) * w_ + x];
}

void Image::Set(int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    px_[static_cast<size_t>(y) * w_ + x] = c;
}

void Image::FillRect(int x, int y, int w, int h, Rgb c) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) Set(i, j, c);
}

void Image::HLine(int x, int y, int len, Rgb c) { FillRect(x, y, len, 1, c); }
void Image::VLine(int x, int y, int len, Rgb c) { FillRect(x, y, 1, len, c); }

void Image::FrameRect(int x, int y, int w, int h, Rgb c) {
    HLine(x, y, w, c);
    HLine(x, y + h - 1, w, c);
    VLine(x, y, h, c);
    VLine(x + w - 1, y, h, c);
}

bool Image::InsideRound(int px, int py, int x, int y, int w, int h, int r,
                        unsigned corners) const {
    if (px < x || py < y || px >= x + w || py >= y + h) return false;
    if (r <= 0) return true;
    // Centre of the corner circle that governs this pixel, if any.
    double cx = 0, cy = 0;
    bool inCorner = false;
    if (px < x + r && py < y + r && (corners & 1)) {
        cx = x + r, cy = y + r, inCorner = true;
    } else if (px >= x + w - r && py < y + r && (corners & 2)) {
        cx = x + w - r, cy = y + r, inCorner = true;
    } else if (px >= x + w - r && py >= y + h - r && (corners & 4)) {
        cx = x + w - r, cy = y + h - r, inCorner = true;
    } else if (px < x + r && py >= y + h - r && (corners & 8)) {
        cx = x + r, cy = y + h - r, inCorner = true;
    }
    if (!inCorner) return true;
    const double dx = px + 0.5 - cx, dy = py + 0.5 - cy;
    return dx * dx + dy * dy <= (r + 0.1) * (r + 0.1);
}

void Image::RoundFill(int x, int y, int w, int h, int r, const std::function<Rgb(int)>& colour,
                      unsigned corners) {
    for (int j = y; j < y + h; ++j) {
        const Rgb c = colour(j - y);
        for (int i = x; i < x + w; ++i)
            if (InsideRound(i, j, x, y, w, h, r, corners)) Set(i, j, c);
    }
}

void Image::RoundFrame(int x, int y, int w, int h, int r, Rgb c, unsigned corners) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            if (InsideRound(i, j, x, y, w, h, r, corners) &&
                !InsideRound(i, j, x + 1, y + 1, w - 2, h - 2, std::max(0, r - 1), corners))
                Set(i, j, c);
}

void Image::Gradient(int x, int y, int w, int h, Rgb top, Rgb bottom) {
    for (int j = 0; j < h; ++j) HLine(x, y + j, w, Mix(top, bottom, h > 1 ? j / (h - 1.0) : 0));
}

void Image::Stamp(int x, int y, const std::vector<std::string>& rows, Rgb c, Rgb c2) {
    for (size_t j = 0; j < rows.size(); ++j)
        for (size_t i = 0; i < rows[j].size(); ++i) {
            if (rows[j][i] == '#') Set(x + static_cast<int>(i), y + static_cast<int>(j), c);
            else if (rows[j][i] == 'o' && !(c2 == kKey))
                Set(x + static_cast<int>(i), y + static_cast<int>(j), c2);
        }
}

void Image::Blit(const Image& src, int x, int y) {
    for (int j = 0; j < src.h_; ++j)
        for (int i = 0; i < src.w_; ++i) Set(x + i, y + j, src.Get(i, j));
}

Image Image::Mirrored() const {
    Image out(w_, h_);
    for (int j = 0; j < h_; ++j)
        for (int i = 0; i < w_; ++i) out.Set(w_ - 1 - i, j, Get(i, j));
    return out;
}

Image Image::Transposed() const {
    Image out(h_, w_);
    for (int j = 0; j < h_; ++j)
        for (int i = 0; i < w_; ++i) out.Set(j, i, Get(i, j));
    return out;
}

void Image::SaveBmp(const std::string& path) const {
    const uint32_t stride = (static_cast<uint32_t>(w_) * 3 + 3) & ~3u;
    const uint32_t dataSize = stride * static_cast<uint32_t>(h_);
    std::vector<uint8_t> out(54 + dataSize, 0);
    auto put16 = [&](size_t at, uint32_t v) {
        out[at] = v & 0xFF;
        out[at + 1] = (v >> 8) & 0xFF;
    };
    auto put32 = [&](size_t at, uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, 54 + dataSize);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(w_));
    put32(22, static_cast<uint32_t>(h_)); // positive height: rows stored bottom-up
    put16(26, 1);
    put16(28, 24);
    put32(34, dataSize);
    put32(38, 3780); // 96 DPI in pixels per metre
    put32(42, 3780);
    for (int j = 0; j < h_; ++j) {
        size_t row = 54 + static_cast<size_t>(h_ - 1 - j) * stride;
        for (int i = 0; i < w_; ++i) {
            const Rgb c = Get(i, j);
            out[row + i * 3] = c.b;
            out[row + i * 3 + 1] = c.g;
            out[row + i * 3 + 2] = c.r;
        }
    }
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    if (!f) throw std::runtime_error("cannot write " + path);
}

} // namespace skinart
