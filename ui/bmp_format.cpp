// BMP header parsing with every offset and size checked against the input.
#include "ui/bmp_format.h"

namespace wl {
namespace {

uint32_t U32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

// `infoAt` is where the header starts in `all`; `bitsAt` where the pixels start, or nothing when
// they follow the palette directly (packed DIB).
std::optional<BmpLayout> Parse(std::string_view all, size_t infoAt, std::optional<size_t> bitsAt) {
    const auto* base = reinterpret_cast<const uint8_t*>(all.data());
    if (infoAt > all.size() || all.size() - infoAt < 12) return std::nullopt;
    const uint8_t* info = base + infoAt;
    const size_t avail = all.size() - infoAt;
    const uint32_t headerSize = U32(info);
    BmpLayout l;
    int64_t width, height;
    int planes;
    uint32_t clrUsed = 0, sizeImage = 0, compression = 0;
    size_t afterHeader = headerSize, paletteEntry = 4;
    if (headerSize == 12) { // the old core header: unsigned 16-bit sizes, 3-byte palette entries
        width = U16(info + 4);
        height = U16(info + 6);
        planes = U16(info + 8);
        l.bitCount = U16(info + 10);
        paletteEntry = 3;
    } else if (headerSize >= 40 && headerSize <= avail) {
        width = int32_t(U32(info + 4));
        height = int32_t(U32(info + 8));
        planes = U16(info + 12);
        l.bitCount = U16(info + 14);
        compression = U32(info + 16);
        sizeImage = U32(info + 20);
        clrUsed = U32(info + 32);
        if (compression == uint32_t(BmpCompression::BitFields)) {
            // A plain info header is followed by the three masks; headers from 52 bytes on hold
            // them; sizes in between have no place for them.
            if (headerSize == 40) {
                if (avail < 52) return std::nullopt;
                afterHeader = 52;
            } else if (headerSize < 52) {
                return std::nullopt;
            }
            for (int i = 0; i < 3; ++i) l.masks[size_t(i)] = U32(info + 40 + 4 * i);
        }
    } else {
        return std::nullopt;
    }
    if (height < 0) {
        l.topDown = true;
        height = -height;
    }
    const int b = l.bitCount;
    if (planes != 1 || !(b == 1 || b == 4 || b == 8 || b == 16 || b == 24 || b == 32)) return std::nullopt;
    switch (compression) {
    case 0: break;
    case 1: if (b != 8 || l.topDown) return std::nullopt; break;
    case 2: if (b != 4 || l.topDown) return std::nullopt; break;
    case 3: if (b != 16 && b != 32) return std::nullopt; break;
    default: return std::nullopt;
    }
    l.compression = BmpCompression(compression);
    if (width < 0 || width > 0xFFFF || height > 0xFFFF || width * height > kMaxBmpPixels) return std::nullopt;
    l.width = int(width);
    l.height = int(height);
    l.stride = size_t((width * b + 31) / 32) * 4;

    if (b <= 8) {
        const uint32_t maxColors = 1u << b;
        const uint32_t count = (clrUsed == 0 || headerSize == 12) ? maxColors : clrUsed;
        if (count > maxColors || afterHeader > avail || (avail - afterHeader) / paletteEntry < count)
            return std::nullopt;
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* q = info + afterHeader + size_t(i) * paletteEntry;
            l.palette.push_back({q[0], q[1], q[2], 0});
        }
        afterHeader += size_t(count) * paletteEntry;
    } else if (clrUsed > 0 && clrUsed <= 256 && afterHeader <= avail &&
               (avail - afterHeader) / 4 >= clrUsed) {
        afterHeader += size_t(clrUsed) * 4; // a palette for display on 8-bit screens; not needed
    }

    l.bitsOffset = bitsAt ? *bitsAt : infoAt + afterHeader;
    if (l.bitsOffset > all.size()) return std::nullopt;
    const size_t rest = all.size() - l.bitsOffset;
    if (l.compression == BmpCompression::Rle4 || l.compression == BmpCompression::Rle8) {
        if (sizeImage == 0 || sizeImage > rest) return std::nullopt;
        l.bitsSize = sizeImage;
    } else {
        l.bitsSize = l.stride * size_t(l.height);
        if (l.bitsSize > rest) return std::nullopt;
    }
    return l;
}

} // namespace

std::optional<BmpLayout> ParseBmpFile(std::string_view file) {
    if (file.size() < 14 + 12 || file[0] != 'B' || file[1] != 'M') return std::nullopt;
    const uint32_t offset = U32(reinterpret_cast<const uint8_t*>(file.data()) + 10);
    if (offset < 14 + 12 || offset > file.size()) return std::nullopt;
    return Parse(file, 14, offset);
}

std::optional<BmpLayout> ParsePackedDib(std::string_view dib) { return Parse(dib, 0, std::nullopt); }

} // namespace wl
