// Raster helpers for the default skin's art generator: a 24-bit image with the skin key colour
// as background, a few shape primitives that never blend into the key colour (so transparency
// stays exact), and a 24-bit BMP writer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace skinart {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kKey{255, 0, 255};

// Weighted mix: t = 0 gives a, t = 1 gives b.
Rgb Mix(Rgb a, Rgb b, double t);
// Parses "R G B"; throws std::runtime_error on anything else.
Rgb ParseRgb(const std::string& text);

class Image {
public:
    Image(int w, int h, Rgb fill = kKey);
    int Width() const { return w_; }
    int Height() const { return h_; }
    Rgb Get(int x, int y) const;
    void Set(int x, int y, Rgb c); // ignores points outside
    void FillRect(int x, int y, int w, int h, Rgb c);
    void HLine(int x, int y, int len, Rgb c);
    void VLine(int x, int y, int len, Rgb c);
    void FrameRect(int x, int y, int w, int h, Rgb c);
    // Rounded rectangle with radius r: pixels outside the rounding are left alone. The fill
    // colour is asked per row so gradients follow the shape. `corners` selects rounded corners
    // (bit 0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left).
    void RoundFill(int x, int y, int w, int h, int r, const std::function<Rgb(int row)>& colour,
                   unsigned corners = 15);
    void RoundFrame(int x, int y, int w, int h, int r, Rgb c, unsigned corners = 15);
    // Vertical gradient over a plain rectangle.
    void Gradient(int x, int y, int w, int h, Rgb top, Rgb bottom);
    // Stamps a pattern: rows of text, '#' sets `c`, 'o' sets `c2`, anything else is left alone.
    void Stamp(int x, int y, const std::vector<std::string>& rows, Rgb c, Rgb c2 = kKey);
    // Copies another image onto this one at (x, y).
    void Blit(const Image& src, int x, int y);
    Image Mirrored() const;
    Image Transposed() const;
    void SaveBmp(const std::string& path) const; // throws on failure

private:
    bool InsideRound(int px, int py, int x, int y, int w, int h, int r, unsigned corners) const;
    int w_, h_;
    std::vector<Rgb> px_;
};

} // namespace skinart
