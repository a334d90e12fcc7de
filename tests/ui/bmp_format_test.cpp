// BMP layout reading: header kinds, palettes, masks and pixel positions, and refusal of
// anything that does not fit in its input (run under the sanitizers natively).
#include "ui/bmp_format.h"

#include <gtest/gtest.h>

#include <string>

namespace wl {
namespace {

void Put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(char(v >> (8 * i)));
}
void Put16(std::string& s, uint16_t v) {
    s.push_back(char(v));
    s.push_back(char(v >> 8));
}

struct Info {
    int32_t width = 2, height = 2;
    uint16_t planes = 1, bits = 24;
    uint32_t compression = 0, sizeImage = 0, clrUsed = 0;
    uint32_t headerSize = 40;
};

// An info header (40 bytes, or padded to headerSize) followed by `extra` (masks, palette).
std::string Header(const Info& i, const std::string& extra = "") {
    std::string h;
    Put32(h, i.headerSize);
    Put32(h, uint32_t(i.width));
    Put32(h, uint32_t(i.height));
    Put16(h, i.planes);
    Put16(h, i.bits);
    Put32(h, i.compression);
    Put32(h, i.sizeImage);
    Put32(h, 0);
    Put32(h, 0);
    Put32(h, i.clrUsed);
    Put32(h, 0);
    h.resize(i.headerSize >= 40 ? i.headerSize : 40, '\0');
    return h + extra;
}

std::string File(const std::string& dib, size_t paletteAndHeader, const std::string& pixels) {
    std::string f = "BM";
    Put32(f, uint32_t(14 + dib.size() + pixels.size()));
    Put32(f, 0);
    Put32(f, uint32_t(14 + paletteAndHeader));
    return f + dib + pixels;
}

TEST(BmpFormat, LayoutsOfValidData) {
    // Masks inside a V4 header (108 bytes): red, green, blue at offsets 40, 44, 48.
    Info v4{.width = 3, .height = 1, .bits = 32, .compression = 3, .headerSize = 108};
    std::string v4Header = Header(v4);
    v4Header.replace(40, 12, std::string("\x00\xF8\x00\x00\xE0\x07\x00\x00\x1F\x00\x00\x00", 12));

    std::string core; // 12-byte core header, 2 x 1 at 1 bit, 3-byte palette entries
    Put32(core, 12);
    Put16(core, 2);
    Put16(core, 1);
    Put16(core, 1);
    Put16(core, 1);
    core += std::string("\x01\x02\x03\x04\x05\x06", 6);

    struct Case {
        const char* name;
        std::string data;
        bool file;
        int width, height, bits;
        bool topDown;
        size_t stride, bitsOffset, bitsSize, paletteSize;
    } cases[] = {
        {"24-bit file", File(Header({}), 40, std::string(16, 'x')), true, 2, 2, 24, false, 8, 54, 16, 0},
        {"top-down", File(Header({.height = -2}), 40, std::string(16, 'x')), true, 2, 2, 24, true, 8, 54, 16, 0},
        {"odd width 1-bit", File(Header({.width = 33, .height = 1, .bits = 1, .clrUsed = 2}, std::string(8, 'p')), 48,
                                 std::string(8, 'x')), true, 33, 1, 1, false, 8, 62, 8, 2},
        {"8-bit full palette", Header({.width = 1, .height = 1, .bits = 8}, std::string(1024, 'p') + "xxxx"), false,
         1, 1, 8, false, 4, 1064, 4, 256},
        {"24-bit with display palette", Header({.width = 1, .height = 1, .clrUsed = 2}, std::string(8, 'p') + "xxxx"),
         false, 1, 1, 24, false, 4, 48, 4, 0},
        {"bitfields after info header", Header({.width = 1, .height = 1, .bits = 16, .compression = 3},
                                               std::string(12, 'm') + "xxxx"), false, 1, 1, 16, false, 4, 52, 4, 0},
        {"V4 masks", v4Header + std::string(12, 'x'), false, 3, 1, 32, false, 12, 108, 12, 0},
        {"RLE8 uses the image size", Header({.width = 4, .height = 4, .bits = 8, .compression = 1, .sizeImage = 6, .clrUsed = 1},
                                            std::string(4, 'p') + "abcdefgh"), false, 4, 4, 8, false, 4, 44, 6, 1},
        {"core header", core + "xxxx", false, 2, 1, 1, false, 4, 18, 4, 2},
        {"empty picture", File(Header({.width = 0, .height = 0}), 40, ""), true, 0, 0, 24, false, 0, 54, 0, 0},
    };
    for (const auto& c : cases) {
        auto l = c.file ? ParseBmpFile(c.data) : ParsePackedDib(c.data);
        ASSERT_TRUE(l) << c.name;
        EXPECT_EQ(l->width, c.width) << c.name;
        EXPECT_EQ(l->height, c.height) << c.name;
        EXPECT_EQ(l->bitCount, c.bits) << c.name;
        EXPECT_EQ(l->topDown, c.topDown) << c.name;
        EXPECT_EQ(l->stride, c.stride) << c.name;
        EXPECT_EQ(l->bitsOffset, c.bitsOffset) << c.name;
        EXPECT_EQ(l->bitsSize, c.bitsSize) << c.name;
        EXPECT_EQ(l->palette.size(), c.paletteSize) << c.name;
    }
    auto v4l = ParsePackedDib(v4Header + std::string(12, 'x'));
    ASSERT_TRUE(v4l);
    EXPECT_EQ(v4l->masks[0], 0xF800u);
    EXPECT_EQ(v4l->masks[2], 0x1Fu);
    auto corel = ParsePackedDib(core + "xxxx");
    ASSERT_TRUE(corel);
    EXPECT_EQ(corel->palette[1][0], 4); // blue of the second 3-byte entry
}

TEST(BmpFormat, RefusesWhatDoesNotFit) {
    const std::string pixels(16, 'x');
    struct Case {
        const char* name;
        std::string data;
        bool file;
    } cases[] = {
        {"empty file", "", true},
        {"not BM", "XM" + File(Header({}), 40, pixels).substr(2), true},
        {"pixels truncated", File(Header({}), 40, pixels.substr(1)), true},
        {"pixel offset past the end", File(Header({}), 4000, pixels), true},
        {"pixel offset inside the file header", File(Header({}), 0, pixels), true},
        {"header size 41 past the end", Header({.headerSize = 41}).substr(0, 40), false},
        {"header size 13", Header({.headerSize = 13}), false},
        {"bit count 7", File(Header({.bits = 7}), 40, pixels), true},
        {"planes 2", File(Header({.planes = 2}), 40, pixels), true},
        {"negative width", File(Header({.width = -2}), 40, pixels), true},
        {"too wide", File(Header({.width = 0x10000, .height = 1}), 40, pixels), true},
        {"too many pixels", File(Header({.width = 0xFFFF, .height = 0xFFFF}), 40, pixels), true},
        {"height of INT_MIN", File(Header({.height = INT32_MIN}), 40, pixels), true},
        {"RLE8 at 24 bits", File(Header({.compression = 1, .sizeImage = 4}), 40, pixels), true},
        {"RLE top-down", Header({.height = -2, .bits = 8, .compression = 1, .sizeImage = 4, .clrUsed = 1}, "pppp" + pixels), false},
        {"RLE without size", Header({.bits = 8, .compression = 1, .clrUsed = 1}, "pppp" + pixels), false},
        {"RLE size past the end", Header({.bits = 8, .compression = 1, .sizeImage = 17, .clrUsed = 1}, "pppp" + pixels), false},
        {"bitfields at 24 bits", Header({.compression = 3}, std::string(12, 'm') + pixels), false},
        {"bitfields masks missing", Header({.bits = 16, .compression = 3}).substr(0, 48), false},
        {"bitfields with a 45-byte header", Header({.width = 2, .height = 2, .bits = 16, .compression = 3, .headerSize = 45}), false},
        {"unknown compression", Header({.compression = 4}, pixels), false},
        {"palette larger than the bit count allows", Header({.bits = 1, .clrUsed = 3}, std::string(12, 'p') + pixels), false},
        {"palette past the end", Header({.bits = 8}, std::string(100, 'p')), false},
        {"huge palette count", Header({.bits = 8, .clrUsed = 0xFFFFFFFF}, pixels), false},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(c.file ? ParseBmpFile(c.data) : ParsePackedDib(c.data)) << c.name;

    // Every prefix of a valid file is refused, without reading past it.
    const std::string good = File(Header({.width = 3, .height = 2, .bits = 8, .clrUsed = 2}, std::string(8, 'p')), 48,
                                  std::string(8, 'x'));
    ASSERT_TRUE(ParseBmpFile(good));
    for (size_t n = 0; n < good.size(); ++n) {
        const std::string prefix = good.substr(0, n);
        EXPECT_FALSE(ParseBmpFile(prefix)) << n;
    }
}

} // namespace
} // namespace wl
