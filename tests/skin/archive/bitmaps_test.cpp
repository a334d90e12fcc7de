// Skin bitmap routines checked on real DIB sections and device contexts: pixels written through
// the rows, transformed, and read back.
#include "skin/archive/bitmaps.h"

#include <gtest/gtest.h>

namespace wl {
namespace {

TColor Rgb(int r, int g, int b) { return TColor(r | (g << 8) | (b << 16)); }

TColor PixelAt(TBitmap& bmp, int x, int y) {
    const auto* row = static_cast<const uint8_t*>(bmp.ScanLine(y));
    return Rgb(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
}

void SetAt(TBitmap& bmp, int x, int y, TColor c) {
    auto* row = static_cast<uint8_t*>(bmp.ScanLine(y));
    row[x * 3] = uint8_t(c >> 16);
    row[x * 3 + 1] = uint8_t(c >> 8);
    row[x * 3 + 2] = uint8_t(c);
}

// A W x H bitmap whose every pixel is distinct: (x * 40 + 1, y * 40 + 2, 7).
TBitmap* Numbered(TBitmap& bmp, int w, int h) {
    bmp.SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) SetAt(bmp, x, y, Rgb(x * 40 + 1, y * 40 + 2, 7));
    return &bmp;
}

std::vector<TColor> Pixels(TBitmap& bmp) {
    std::vector<TColor> out;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x) out.push_back(PixelAt(bmp, x, y));
    return out;
}

TEST(SkinBitmaps, GrayAndMagentaChangeOnlyTheirPixels) {
    struct Case {
        TColor in, gray, replaced;
    } cases[] = {
        {Rgb(10, 20, 31), Rgb(20, 20, 20), Rgb(10, 20, 31)},
        {Rgb(255, 0, 255), Rgb(170, 170, 170), Rgb(1, 2, 3)},
        {Rgb(255, 1, 255), Rgb(170, 170, 170), Rgb(255, 1, 255)},
        {Rgb(254, 0, 255), Rgb(169, 169, 169), Rgb(254, 0, 255)},
        {Rgb(255, 255, 255), Rgb(255, 255, 255), Rgb(255, 255, 255)},
    };
    const int n = int(std::size(cases));
    TBitmap gray(n, 1), replaced(n, 1);
    for (int i = 0; i < n; ++i) {
        SetAt(gray, i, 0, cases[i].in);
        SetAt(replaced, i, 0, cases[i].in);
    }
    GrayBitmap(gray);
    ReplaceMagenta(replaced, Rgb(1, 2, 3));
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(PixelAt(gray, i, 0), cases[i].gray) << i;
        EXPECT_EQ(PixelAt(replaced, i, 0), cases[i].replaced) << i;
    }
}

TEST(SkinBitmaps, InPlaceRoutinesConvertOtherFormatsTo24Bits) {
    TBitmap bmp(2, 1, pf32bit);
    bmp.Canvas().SetPixel(0, 0, clFuchsia);
    bmp.Canvas().SetPixel(1, 0, Rgb(10, 20, 31));
    ReplaceMagenta(bmp, clBtnFace); // taken as it is: bytes 0x0F, 0x00, 0x00
    EXPECT_EQ(bmp.PixelFormat(), pf24bit);
    EXPECT_EQ(PixelAt(bmp, 0, 0), Rgb(0x0F, 0, 0));
    TBitmap mono(1, 1, pf1bit);
    GrayBitmap(mono);
    EXPECT_EQ(mono.BitsPerPixel(), 24);
    EXPECT_EQ(PixelAt(mono, 0, 0), clBlack);
}

TEST(SkinBitmaps, MirrorFlipAndRotateMovePixels) {
    // 3 x 2 source; expected pixel (x, y) of the result named by its source coordinates.
    struct Case {
        const char* name;
        void (*op)(TBitmap&);
        int w, h;
        std::vector<std::pair<int, int>> from; // row by row
    } cases[] = {
        {"mirror", MirrorBitmap, 3, 2, {{2, 0}, {1, 0}, {0, 0}, {2, 1}, {1, 1}, {0, 1}}},
        {"flip", FlipBitmap, 3, 2, {{0, 1}, {1, 1}, {2, 1}, {0, 0}, {1, 0}, {2, 0}}},
        {"left", RotateLeft, 2, 3, {{2, 0}, {2, 1}, {1, 0}, {1, 1}, {0, 0}, {0, 1}}},
        {"right", RotateRight, 2, 3, {{0, 1}, {0, 0}, {1, 1}, {1, 0}, {2, 1}, {2, 0}}},
    };
    for (const auto& c : cases) {
        TBitmap bmp;
        Numbered(bmp, 3, 2);
        c.op(bmp);
        ASSERT_EQ(bmp.Width(), c.w) << c.name;
        ASSERT_EQ(bmp.Height(), c.h) << c.name;
        for (int i = 0; i < c.w * c.h; ++i) {
            auto [sx, sy] = c.from[size_t(i)];
            EXPECT_EQ(PixelAt(bmp, i % c.w, i / c.w), Rgb(sx * 40 + 1, sy * 40 + 2, 7)) << c.name << " " << i;
        }
        EXPECT_EQ(bmp.Canvas().Pixel(0, 0), PixelAt(bmp, 0, 0)) << c.name << ": GDI sees the new pixels";
    }
}

TEST(SkinBitmaps, TransformsUndoThemselves) {
    struct Case {
        const char* name;
        void (*first)(TBitmap&);
        void (*second)(TBitmap&);
    } cases[] = {
        {"mirror twice", MirrorBitmap, MirrorBitmap},
        {"flip twice", FlipBitmap, FlipBitmap},
        {"left then right", RotateLeft, RotateRight},
        {"right then left", RotateRight, RotateLeft},
    };
    for (const auto& c : cases)
        for (auto [w, h] : {std::pair{5, 3}, std::pair{4, 4}, std::pair{1, 7}}) {
            TBitmap bmp;
            Numbered(bmp, w, h);
            const auto before = Pixels(bmp);
            c.first(bmp);
            c.second(bmp);
            EXPECT_EQ(bmp.Width(), w) << c.name;
            EXPECT_EQ(Pixels(bmp), before) << c.name << " " << w << "x" << h;
        }
    TBitmap empty;
    RotateLeft(empty);
    MirrorBitmap(empty);
    EXPECT_TRUE(empty.Empty());
}

TEST(SkinBitmaps, MixColors) {
    struct Case {
        TColor a, b;
        int weight;
        TColor mixed;
    } cases[] = {
        {clWhite, clBlack, 70, Rgb(179, 179, 179)},
        {clWhite, clBlack, 150, Rgb(38, 38, 38)},
        {clWhite, clBlack, 0, clBlack},
        {clWhite, clBlack, 1000, clWhite},
        {clWhite, clBlack, 99, Rgb(252, 252, 252)},
        {clWhite, clBlack, 100, Rgb(26, 26, 26)}, // thousandths from 100 on
        {Rgb(200, 100, 0), Rgb(0, 100, 200), 50, Rgb(100, 100, 100)},
        {clRed, clBlue, 25, Rgb(64, 0, 191)},
    };
    for (const auto& c : cases) EXPECT_EQ(MixColors(c.a, c.b, c.weight), c.mixed) << c.weight;
    // System colours are resolved first.
    const TColor face = TColor(GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(MixColors(clBtnFace, clBtnFace, 30), face);
    EXPECT_EQ(MixColors(clBtnFace, clBlack, 1000), face);
}

TEST(SkinBitmaps, ColorSaturation) {
    struct Case {
        TColor color;
        int saturation;
    } cases[] = {
        {Rgb(100, 50, 0), 200},   {Rgb(200, 100, 100), 128}, {Rgb(255, 255, 255), 0},
        {Rgb(160, 0, 0), 255},    {Rgb(159, 0, 0), 200},     {Rgb(0, 0, 0), 200},
        {Rgb(0, 0, 200), 255},    {Rgb(255, 127, 0), 255},   {Rgb(170, 85, 85), 128},
        {Rgb(200, 150, 200), 64}, // 63.75 rounds up
    };
    for (const auto& c : cases) EXPECT_EQ(ColorSaturation(c.color), c.saturation) << std::hex << c.color;
}

TEST(SkinBitmaps, GradientTables) {
    struct Case {
        int n;
        TColor a, b;
        std::vector<TColor> table;
    } cases[] = {
        {5, Rgb(255, 0, 0), Rgb(0, 0, 0), {Rgb(255, 0, 0), Rgb(191, 0, 0), Rgb(128, 0, 0), Rgb(64, 0, 0), 0}},
        {5, 0, Rgb(0, 255, 0), {0, Rgb(0, 64, 0), Rgb(0, 128, 0), Rgb(0, 191, 0), Rgb(0, 255, 0)}},
        {1, clBlack, clWhite, {Rgb(127, 127, 127)}},
        {1, clWhite, clBlack, {Rgb(128, 128, 128)}}, // halving toward zero
        {2, Rgb(10, 20, 30), Rgb(40, 0, 30), {Rgb(10, 20, 30), Rgb(40, 0, 30)}},
        {3, Rgb(0, 0, 255), Rgb(0, 0, 0), {Rgb(0, 0, 255), Rgb(0, 0, 128), 0}},
    };
    TGradientCache cache;
    for (const auto& c : cases) {
        int slot = cache.Make(c.n, c.a, c.b);
        EXPECT_EQ(cache.Table(slot), c.table) << c.n << " " << std::hex << c.a << "->" << c.b;
    }
}

TEST(SkinBitmaps, GradientCacheReusesAndEvictsInTurn) {
    TGradientCache cache;
    EXPECT_EQ(cache.Find(4, clBlack, clWhite), -1);
    EXPECT_EQ(cache.Get(4, clBlack, clWhite), 0);
    EXPECT_EQ(cache.Get(4, clBlack, clWhite), 0); // found, not rebuilt
    EXPECT_EQ(cache.NextSlot(), 1);
    EXPECT_EQ(cache.Find(5, clBlack, clWhite), -1);
    EXPECT_EQ(cache.Find(4, clWhite, clBlack), -1);
    for (int i = 1; i < 16; ++i) EXPECT_EQ(cache.Get(10 + i, clRed, clBlue), i);
    EXPECT_EQ(cache.Find(4, clBlack, clWhite), 0);
    EXPECT_EQ(cache.Get(99, clRed, clBlue), 0); // the seventeenth evicts the first
    EXPECT_EQ(cache.Find(4, clBlack, clWhite), -1);
    EXPECT_EQ(cache.Find(11, clRed, clBlue), 1);

    // Lookups scan from slot 15 down: of two equal tables the one in the higher slot wins.
    TGradientCache twice;
    twice.Make(7, clRed, clLime);
    twice.Make(7, clRed, clLime);
    EXPECT_EQ(twice.Find(7, clRed, clLime), 1);
}

class GradientFillTest : public ::testing::Test {
protected:
    TBitmap bmp{8, 8};
    void SetUp() override {
        bmp.Canvas().Brush().SetColor(clFuchsia);
        bmp.Canvas().FillRect(RECT{0, 0, 8, 8});
    }
};

TEST_F(GradientFillTest, PaintsRowsOrColumnsFromTheTable) {
    HDC dc = bmp.Canvas().Handle();
    GradientFill(dc, RECT{1, 2, 6, 7}, clRed, true, clBlack); // 5 rows: 255, 191, 128, 64, 0
    const int reds[] = {255, 191, 128, 64, 0};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            bool inside = x >= 1 && x < 6 && y >= 2 && y < 7;
            EXPECT_EQ(PixelAt(bmp, x, y), inside ? Rgb(reds[y - 2], 0, 0) : clFuchsia) << x << "," << y;
        }
    SetUp();
    GradientFill(dc, RECT{2, 0, 7, 3}, clBlack, false, Rgb(0, 255, 0)); // columns
    const int greens[] = {0, 64, 128, 191, 255};
    for (int x = 2; x < 7; ++x) EXPECT_EQ(PixelAt(bmp, x, 1), Rgb(0, greens[x - 2], 0)) << x;
    EXPECT_EQ(PixelAt(bmp, 1, 1), clFuchsia);
    EXPECT_EQ(PixelAt(bmp, 7, 1), clFuchsia);
    EXPECT_EQ(PixelAt(bmp, 3, 3), clFuchsia);
}

TEST_F(GradientFillTest, ClippedRowsKeepTheirColours) {
    HDC dc = bmp.Canvas().Handle();
    struct Case {
        RECT clip;
        int firstRow, lastRow; // painted rows of the 8-row gradient
    } cases[] = {{{0, 0, 8, 4}, 0, 3}, {{0, 4, 8, 8}, 4, 7}, {{0, 3, 8, 5}, 3, 4}};
    for (const auto& c : cases) {
        SetUp();
        UniqueRegion region(CreateRectRgnIndirect(&c.clip));
        SelectClipRgn(dc, region.get());
        GradientFill(dc, RECT{0, 0, 8, 8}, Rgb(0, 0, 0), true, Rgb(0, 0, 252)); // blue 36 per row
        SelectClipRgn(dc, nullptr);
        for (int y = 0; y < 8; ++y) {
            TColor expected = y >= c.firstRow && y <= c.lastRow ? Rgb(0, 0, y * 36) : clFuchsia;
            EXPECT_EQ(PixelAt(bmp, 3, y), expected) << c.firstRow << ": row " << y;
        }
    }
}

TEST_F(GradientFillTest, NothingForEmptyOrInvisibleRectangles) {
    HDC dc = bmp.Canvas().Handle();
    const RECT rects[] = {{2, 2, 6, 2}, {2, 2, 2, 6}, {6, 6, 2, 2}, {20, 20, 30, 30}};
    for (const RECT& r : rects) {
        GradientFill(dc, r, clRed, true, clBlue);
        GradientFill(dc, r, clRed, false, clBlue);
    }
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) ASSERT_EQ(PixelAt(bmp, x, y), clFuchsia);
    // System colours resolve before the table is built.
    GradientFill(dc, RECT{0, 0, 8, 2}, clBtnFace, true, clBlack);
    EXPECT_EQ(PixelAt(bmp, 0, 0), TColor(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(PixelAt(bmp, 0, 1), clBlack);
}

} // namespace
} // namespace wl
