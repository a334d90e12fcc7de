// Reading the layout of BMP data (a whole .bmp file, or a packed DIB as RT_BITMAP resources
// hold it): header kinds, pixel format, palette, masks and where the pixels are. Portable and
// strict: the bytes may come from anywhere, so every size is checked against the input before
// anything is read, and a layout is only returned when all its parts lie inside the input.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace wl {

enum class BmpCompression : uint32_t { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3 };

struct BmpLayout {
    int width = 0;
    int height = 0; // always positive; topDown tells the row order
    bool topDown = false;
    int bitCount = 0; // 1, 4, 8, 16, 24 or 32
    BmpCompression compression = BmpCompression::Rgb;
    std::array<uint32_t, 3> masks{}; // red, green, blue (BitFields only)
    std::vector<std::array<uint8_t, 4>> palette; // blue, green, red, 0 (bit counts up to 8)
    size_t stride = 0;     // bytes per row of uncompressed pixels
    size_t bitsOffset = 0; // where the pixels start in the input
    size_t bitsSize = 0;   // bytes of pixel data (rows, or the compressed stream)
};

// The largest picture accepted: 2^28 pixels (1 GB at 32 bits), at most 65535 on a side.
constexpr int64_t kMaxBmpPixels = int64_t(1) << 28;

std::optional<BmpLayout> ParseBmpFile(std::string_view file);
std::optional<BmpLayout> ParsePackedDib(std::string_view dib);

} // namespace wl
