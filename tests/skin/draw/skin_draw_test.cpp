// Pixel-exact tests of the skin drawing primitives on small synthetic bitmaps. Bitmaps are
// written as rows of letters, one colour per letter; results are read back the same way.
#include "skin/draw/skin_draw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <string>
#include <vector>

using namespace wl;

namespace {

// Letter colours: distinct, none of them near the key colour except 'm' (the key itself) and
// 'n' (one step off the key in green).
const std::map<char, TColor> kColours = {
    {'A', 0x0000C0}, {'B', 0x00C000}, {'C', 0xC00000}, {'D', 0x00C0C0}, {'E', 0xC000C0},
    {'F', 0xC0C000}, {'G', 0x404040}, {'H', 0x808080}, {'I', 0x4080C0}, {'J', 0xC08040},
    {'0', 0x000010}, {'1', 0x000020}, {'2', 0x000030}, {'3', 0x000040}, {'4', 0x000050},
    {'5', 0x000060}, {'6', 0x000070}, {'7', 0x000080}, {'8', 0x000090}, {'9', 0x0000A0},
    {'.', 0x00FF00}, {'m', 0xFF00FF}, {'n', 0xFF01FF}, {'o', 0xFF00FE}, {'w', 0xFFFFFF}};

char LetterOf(TColor c) {
    for (auto& [k, v] : kColours)
        if (v == c) return k;
    return '?';
}

void SetPx(TBitmap& b, int x, int y, TColor c) {
    auto* row = static_cast<uint8_t*>(b.ScanLine(y));
    row[x * 3] = (c >> 16) & 0xFF;
    row[x * 3 + 1] = (c >> 8) & 0xFF;
    row[x * 3 + 2] = c & 0xFF;
}

TColor GetPx(TBitmap& b, int x, int y) {
    const auto* row = static_cast<const uint8_t*>(b.ScanLine(y));
    return row[x * 3 + 2] | (row[x * 3 + 1] << 8) | (row[x * 3] << 16);
}

std::unique_ptr<TBitmap> Make(const std::vector<std::string>& rows) {
    auto b = std::make_unique<TBitmap>(static_cast<int>(rows[0].size()),
                                       static_cast<int>(rows.size()), pf24bit);
    for (size_t y = 0; y < rows.size(); ++y)
        for (size_t x = 0; x < rows[y].size(); ++x)
            SetPx(*b, static_cast<int>(x), static_cast<int>(y), kColours.at(rows[y][x]));
    return b;
}

std::vector<std::string> Read(TBitmap& b) {
    std::vector<std::string> rows;
    for (int y = 0; y < b.Height(); ++y) {
        std::string r;
        for (int x = 0; x < b.Width(); ++x) r += LetterOf(GetPx(b, x, y));
        rows.push_back(r);
    }
    return rows;
}

// A destination of the given size filled with '.'.
std::unique_ptr<TBitmap> Canvas(int w, int h) {
    return Make(std::vector<std::string>(h, std::string(w, '.')));
}

RECT M(int l, int t, int r, int b) { return RECT{l, t, r, b}; }
constexpr TColor SkinRgbOf(int r, int g, int b) { return r | (g << 8) | (b << 16); }

} // namespace

TEST(SkinDraw, SelectFrameLaysOutCells) {
    TBitmap b(40, 12);
    struct Case {
        bool vertical;
        int frames, index, x, y, w, h;
    } cases[] = {
        {false, 4, 1, 0, 0, 10, 12}, {false, 4, 3, 20, 0, 10, 12}, {true, 3, 2, 0, 4, 40, 4},
        {false, 0, 1, 0, 0, 40, 12},  // no frames: one
        {false, -2, 5, 0, 0, 40, 12}, // negative count: one, index clamped
        {false, 4, 9, 30, 0, 10, 12}, // index past the end: the last cell
        {false, 4, 0, 0, 0, 10, 12},  // index 0: the first cell
    };
    for (const Case& c : cases) {
        TFrameCell f = SelectFrame(b, c.vertical, c.frames, c.index);
        EXPECT_EQ(f.X, c.x) << c.frames << "/" << c.index;
        EXPECT_EQ(f.Y, c.y) << c.frames << "/" << c.index;
        EXPECT_EQ(f.Width, c.w) << c.frames << "/" << c.index;
        EXPECT_EQ(f.Height, c.h) << c.frames << "/" << c.index;
    }
}

TEST(SkinDraw, BuildElementImagePlacesNineGridPieces) {
    // One frame, 1-pixel margins: corners A C G I, edges B D F H, centre E.
    auto src = Make({"ABC", "DEF", "GHI"});
    auto img = BuildElementImage(M(10, 10, 15, 14), {.Image = src.get(), .Margins = M(1, 1, 1, 1)});
    ASSERT_EQ(img->Width(), 5);
    ASSERT_EQ(img->Height(), 4);
    EXPECT_EQ(Read(*img), (std::vector<std::string>{"ABBBC", "DEEEF", "DEEEF", "GHHHI"}));
}

TEST(SkinDraw, BuildElementImageMarginsAndFrames) {
    // Two frames side by side, 4 x 1 each.
    auto src = Make({"ABCDEFGH"});
    struct Case {
        const char* what;
        RECT margins;
        int width, index;
        bool vertical;
        std::string expect;
    } cases[] = {
        {"fixed ends, stretched middle", M(1, 0, 1, 0), 8, 1, false, "ABBBCCCD"},
        {"second frame", M(1, 0, 1, 0), 8, 2, false, "EFFFGGGH"},
        {"too narrow for the margins: whole frame stretched", M(5, 0, 5, 0), 8, 1, false,
         "AABBCCDD"},
        {"exactly the margins: no middle", M(2, 0, 2, 0), 4, 2, false, "EFGH"},
        {"margins fill the frame, target wider: stretched", M(2, 0, 2, 0), 8, 1, false,
         "AABBCCDD"},
    };
    for (const Case& c : cases) {
        auto img = BuildElementImage(M(0, 0, c.width, 1), {.Image = src.get(),
                                                           .Margins = c.margins,
                                                           .Frames = 2,
                                                           .Index = c.index,
                                                           .Vertical = c.vertical});
        EXPECT_EQ(Read(*img)[0], c.expect) << c.what;
    }
    // Stacked frames: frame 2 of a 2 x 4 strip is its lower half.
    auto stacked = Make({"AB", "CD", "EF", "GH"});
    auto img = BuildElementImage(M(0, 0, 2, 2), {.Image = stacked.get(), .Frames = 2, .Index = 2, .Vertical = true});
    EXPECT_EQ(Read(*img), (std::vector<std::string>{"EF", "GH"}));
    // Too low for top + bottom margins: the frame is stretched vertically.
    auto tall = Make({"A", "B", "C", "D"});
    img = BuildElementImage(M(0, 0, 1, 2), {.Image = tall.get(), .Margins = M(0, 2, 0, 2)});
    EXPECT_EQ(img->Height(), 2);
    img = BuildElementImage(M(0, 0, 1, 8), {.Image = tall.get(), .Margins = M(0, 5, 0, 5)});
    EXPECT_EQ(Read(*img), (std::vector<std::string>{"A", "A", "B", "B", "C", "C", "D", "D"}));
    // A frame smaller than its own margins loses them too, instead of drawing pieces from
    // outside the frame.
    img = BuildElementImage(M(0, 0, 1, 8), {.Image = tall.get(), .Margins = M(0, 3, 0, 3)});
    EXPECT_EQ(Read(*img), (std::vector<std::string>{"A", "A", "B", "B", "C", "C", "D", "D"}));
    img = BuildElementImage(M(0, 0, 12, 1), {.Image = src.get(), .Margins = M(3, 0, 3, 0), .Frames = 2});
    EXPECT_EQ(Read(*img)[0], "AAABBBCCCDDD");
}

TEST(SkinDraw, BuildElementImageTilesTheCentre) {
    // Left margin A, a 10-pixel centre 0..9, right margin B; 27 wide gives a 25-pixel centre:
    // tiles at 1, 11 and 21, the last cut by the right edge piece.
    auto src = Make({"A0123456789B"});
    auto img = BuildElementImage(M(0, 0, 27, 1), {.Image = src.get(), .Margins = M(1, 0, 1, 0), .Tile = true});
    EXPECT_EQ(Read(*img)[0], "A0123456789012345678901234B");
    auto stretched = BuildElementImage(M(0, 0, 22, 1), {.Image = src.get(), .Margins = M(1, 0, 1, 0)});
    EXPECT_EQ(Read(*stretched)[0], "A00112233445566778899B");
}

TEST(SkinDraw, EmptyAndInvertedTargetsDrawNothing) {
    auto src = Make({"AB"});
    const TElementDraw e{.Image = src.get()};
    EXPECT_TRUE(BuildElementImage(M(5, 0, 4, 1), e)->Empty());
    EXPECT_TRUE(BuildElementImage(M(0, 0, 0, 3), e)->Empty());
    auto dst = Canvas(3, 2);
    const std::vector<std::string> before = Read(*dst);
    HDC dc = dst->Canvas().Handle();
    DrawElement(dc, M(2, 0, 1, 2), e);
    DrawFrameStretched(dc, M(0, 2, 3, 1), e);
    DrawFrameCentered(dc, M(3, 0, 0, 2), e);
    StretchSkinStrip(dc, M(3, 0, 0, 2), e);
    DrawSkinBar(dc, M(3, 0, 0, 2), e);
    TransparentBlit(dc, M(3, 3, 0, 0), *src, kSkinKeyColor);
    TileBitmap(dst->Canvas(), M(3, 0, 0, 2), *src, M(0, 0, 1, 1));
    EXPECT_EQ(Read(*dst), before);
}

TEST(SkinDraw, TransparentDrawingLeavesKeyPixels) {
    auto src = Make({"AmB", "mCm"});
    struct Case {
        const char* what;
        bool transparent;
        std::vector<std::string> expect;
    } cases[] = {
        {"keyed", true, {".....", ".A.B.", "..C..", "....."}},
        {"opaque", false, {".....", ".AmB.", ".mCm.", "....."}},
    };
    for (const Case& c : cases) {
        auto dst = Canvas(5, 4);
        DrawElement(dst->Canvas().Handle(), M(1, 1, 4, 3),
                    {.Image = src.get(), .Transparent = c.transparent});
        EXPECT_EQ(Read(*dst), c.expect) << c.what;
    }
    // Only the exact key is transparent; near-magenta pixels are drawn.
    auto nearKey = Make({"mno"});
    auto dst = Canvas(3, 1);
    TransparentBlit(dst->Canvas().Handle(), M(0, 0, 3, 1), *nearKey, kSkinKeyColor);
    EXPECT_EQ(Read(*dst)[0], ".no");
    // The blit is clipped to the rectangle and never scales.
    dst = Canvas(4, 2);
    TransparentBlit(dst->Canvas().Handle(), M(1, 0, 3, 1), *Make({"ABCD", "EFGH"}), kSkinKeyColor);
    EXPECT_EQ(Read(*dst), (std::vector<std::string>{".AB.", "...."}));
}

TEST(SkinDraw, FrameStretchedAndCentred) {
    auto src = Make({"AmBC", "DEFG"}); // two frames of 2 x 2
    auto dst = Canvas(6, 4);
    DrawFrameStretched(dst->Canvas().Handle(), M(0, 0, 4, 4),
                       {.Image = src.get(), .Frames = 2, .Index = 1, .Transparent = true});
    EXPECT_EQ(Read(*dst), (std::vector<std::string>{"AA....", "AA....", "DDEE..", "DDEE.."}));
    dst = Canvas(7, 5);
    DrawFrameCentered(dst->Canvas().Handle(), M(0, 0, 7, 5),
                      {.Image = src.get(), .Frames = 2, .Index = 2});
    EXPECT_EQ(Read(*dst), (std::vector<std::string>{".......", "..BC...", "..FG...", ".......",
                                                    "......."}));
    // A rectangle smaller than the cell: the offset goes negative and truncates toward zero.
    dst = Canvas(3, 3);
    auto nine = Make({"ABC", "DEF", "GHI"});
    DrawFrameCentered(dst->Canvas().Handle(), M(1, 1, 2, 2), {.Image = nine.get()});
    EXPECT_EQ(Read(*dst), (std::vector<std::string>{"ABC", "DEF", "GHI"}));
}

TEST(SkinDraw, SkinBarTilesTheMiddle) {
    struct Case {
        const char* what;
        RECT margins;
        int width;
        std::string expect;
    } cases[] = {
        {"middle repeated, caps fixed", M(1, 0, 1, 0), 8, "ABCBCBCD"},
        {"last segment covered by the right cap", M(1, 0, 1, 0), 7, "ABCBCBD"},
        {"no middle: the whole cell stretched once", M(2, 0, 2, 0), 8, "ABABCDCD"},
    };
    for (const Case& c : cases) {
        auto src = Make({"ABCD"});
        auto dst = Canvas(c.width, 1);
        DrawSkinBar(dst->Canvas().Handle(), M(0, 0, c.width, 1),
                    {.Image = src.get(), .Margins = c.margins});
        EXPECT_EQ(Read(*dst)[0], c.expect) << c.what;
    }
    // Transparent: key pixels of the bar leave the destination; cells stacked vertically.
    auto src = Make({"AmmB", "CDDE"});
    auto dst = Canvas(6, 2);
    DrawSkinBar(dst->Canvas().Handle(), M(0, 0, 6, 2),
                {.Image = src.get(), .Margins = M(1, 0, 1, 0), .Frames = 2, .Index = 1,
                 .Vertical = true, .Transparent = true});
    EXPECT_EQ(Read(*dst), (std::vector<std::string>{"A....B", "A....B"}));
}

TEST(SkinDraw, StretchSkinStripScalesThreeSlices) {
    auto src = Make({"ABCDEFGH"}); // two frames of 4
    auto dst = Canvas(8, 2);
    const TElementDraw strip{.Image = src.get(), .Margins = M(1, 0, 1, 0), .Frames = 2};
    StretchSkinStrip(dst->Canvas().Handle(), M(0, 0, 8, 2), strip);
    EXPECT_EQ(Read(*dst), (std::vector<std::string>{"ABBBCCCD", "ABBBCCCD"}));
    // Narrower than one frame: that frame squeezed, nothing of the other frame.
    dst = Canvas(3, 1);
    StretchSkinStrip(dst->Canvas().Handle(), M(0, 0, 2, 1), strip.Cell(2));
    std::string row = Read(*dst)[0];
    EXPECT_EQ(row[2], '.');
    for (int x = 0; x < 2; ++x) EXPECT_NE(std::string("EFGH").find(row[x]), std::string::npos) << row;
}

TEST(SkinDraw, TileBitmapRepeatsWithoutClipping) {
    auto src = Make({"ABC", "DEF"});
    auto dst = Canvas(6, 4);
    TileBitmap(dst->Canvas(), M(1, 0, 4, 3), *src, M(1, 0, 3, 2)); // tile "BC"/"EF"
    EXPECT_EQ(Read(*dst), (std::vector<std::string>{".BCBC.", ".EFEF.", ".BCBC.", ".EFEF."}));
}

namespace {
int RectCount(HRGN rgn) {
    DWORD size = GetRegionData(rgn, 0, nullptr);
    std::vector<uint8_t> buf(size);
    auto* data = reinterpret_cast<RGNDATA*>(buf.data());
    GetRegionData(rgn, size, data);
    return static_cast<int>(data->rdh.nCount);
}
} // namespace

TEST(SkinDraw, RegionFromBitmapKeepsOpaquePixels) {
    struct Case {
        const char* what;
        std::vector<std::string> rows;
        int tolerance;
        std::vector<std::string> inside; // '#' inside the region, '.' outside
    } cases[] = {
        {"opaque", {"ABC", "DEF"}, 0, {"###", "###"}},
        {"transparent", {"mm", "mm"}, 0, {"..", ".."}},
        {"runs", {"AmBB", "mmmC"}, 0, {"#.##", "...#"}},
        {"near key inside tolerance", {"AnB"}, 1, {"#.#"}},
        {"near key outside tolerance", {"AnB"}, 0, {"###"}},
        {"below the key is never within", {"AoB"}, 1, {"###"}},
    };
    for (const Case& c : cases) {
        auto bmp = Make(c.rows);
        UniqueRegion rgn = RegionFromBitmap(*bmp, 10, 20, c.tolerance, c.tolerance, c.tolerance,
                                            kSkinKeyColor);
        ASSERT_TRUE(rgn) << c.what;
        EXPECT_EQ(bmp->PixelFormat(), pf32bit);
        for (size_t y = 0; y < c.inside.size(); ++y)
            for (size_t x = 0; x < c.inside[y].size(); ++x)
                EXPECT_EQ(PtInRegion(rgn.get(), 10 + int(x), 20 + int(y)) != 0,
                          c.inside[y][x] == '#')
                    << c.what << " at " << x << "," << y;
        RECT box;
        if (c.what == std::string("transparent")) {
            EXPECT_EQ(GetRgnBox(rgn.get(), &box), NULLREGION);
        }
        if (c.what == std::string("opaque")) {
            EXPECT_EQ(RectCount(rgn.get()), 1); // rows of equal runs merge into one rectangle
            GetRgnBox(rgn.get(), &box);
            EXPECT_EQ(box.left, 10);
            EXPECT_EQ(box.top, 20);
            EXPECT_EQ(box.right, 13);
            EXPECT_EQ(box.bottom, 22);
        }
    }
}

TEST(SkinDraw, RegionFromBitmapMergesLargeBatches) {
    // A checkerboard of 100 x 60 pixels has 3000 single-pixel runs: more than one batch.
    TBitmap bmp(100, 60, pf24bit);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 100; ++x) SetPx(bmp, x, y, (x + y) % 2 ? 0xFF00FF : 0x123456);
    UniqueRegion rgn = RegionFromBitmap(bmp, 0, 0, 0, 0, 0, kSkinKeyColor);
    int wrong = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 100; ++x)
            if ((PtInRegion(rgn.get(), x, y) != 0) != ((x + y) % 2 == 0)) ++wrong;
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(RectCount(rgn.get()), 3000);
}

TEST(SkinDraw, KeyedBlitPathsAgree) {
    // The same keyed copy into a 24-bit DIB (pixel path), a 32-bit DIB (pixel path), a DIB with
    // a clip region, a shifted viewport (GDI paths) and a device-dependent bitmap (GDI path).
    auto src = Make({"AmBm", "mCmD", "EFmm"});
    const std::vector<std::string> expect = {"......", ".A.B..", "..C.D.", ".EF...", "......"};
    enum Kind { Dib24, Dib32, Clipped, Shifted, Ddb };
    for (Kind kind : {Dib24, Dib32, Clipped, Shifted, Ddb}) {
        auto dst = Canvas(6, 5);
        if (kind == Dib32) dst->SetPixelFormat(pf32bit);
        HDC screen = GetDC(nullptr);
        UniqueDC ddbDC(CreateCompatibleDC(screen));
        UniqueBitmap ddb(CreateCompatibleBitmap(screen, 6, 5));
        ReleaseDC(nullptr, screen);
        std::unique_ptr<ScopedSelect> sel;
        HDC dc = dst->Canvas().Handle();
        if (kind == Ddb) {
            sel = std::make_unique<ScopedSelect>(ddbDC.get(), ddb.get());
            dc = ddbDC.get();
            BitBlt(dc, 0, 0, 6, 5, dst->Canvas().Handle(), 0, 0, SRCCOPY);
        }
        RECT r{1, 1, 5, 4};
        const int saved = SaveDC(dc);
        if (kind == Clipped) IntersectClipRect(dc, 0, 0, 6, 5); // covers everything
        if (kind == Shifted) {
            SetViewportOrgEx(dc, 1, 0, nullptr);
            r = RECT{0, 1, 4, 4};
        }
        TransparentBlit(dc, r, *src, kSkinKeyColor);
        RestoreDC(dc, saved);
        if (kind == Ddb) BitBlt(dst->Canvas().Handle(), 0, 0, 6, 5, dc, 0, 0, SRCCOPY);
        if (kind == Dib32) dst->SetPixelFormat(pf24bit);
        EXPECT_EQ(Read(*dst), expect) << "kind " << kind;
    }
}

// ---- Nine-grids against an independent expectation, on sources whose pixels all differ ----

namespace {

// A source whose pixel (x, y) has red x + 1, green y + 1 and blue 0x80: every pixel differs
// and none is the key colour, so each drawn pixel tells where in the source it came from.
TColor SkinPixel(int x, int y) { return (x + 1) | ((y + 1) << 8) | (0x80 << 16); }
std::unique_ptr<TBitmap> Distinct(int w, int h) {
    auto b = std::make_unique<TBitmap>(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) SetPx(*b, x, y, SkinPixel(x, y));
    return b;
}
constexpr TColor kOutside = 0x00FF00; // the destination's own colour

// The source position a pixel came from, or (-1, -1) for the destination's own colour.
POINT SourceOf(TColor c) {
    if (c == kOutside) return {-1, -1};
    return {static_cast<LONG>((c & 0xFF) - 1), static_cast<LONG>(((c >> 8) & 0xFF) - 1)};
}

bool InCentre(int d, int size, int m1, int m2) { return d >= m1 && d < size - m2; }

// Where a target offset along one axis reads the cell: the margins 1:1 at both ends, the
// middle tiled or stretched by a whole factor. Only the centre piece tiles; the edges beside
// it stretch along their length.
int Expected(int d, int size, int cell, int m1, int m2, bool tile) {
    if (d < m1) return d;
    if (d >= size - m2) return cell - (size - d);
    const int c = d - m1, from = cell - m1 - m2, to = size - m1 - m2;
    return m1 + (tile ? c % from : c * from / to);
}

} // namespace

TEST(SkinDraw, NineGridWithUnequalMarginsPixelByPixel) {
    // Cells of 12 x 8 with margins left 3, top 1, right 5, bottom 2: a centre of 4 x 5.
    struct Case {
        const char* what;
        bool vertical, tile;
        int index, w, h;
        RECT margins;   // as given to the painter
        RECT effective; // as they should act (dropped ones are 0)
    } cases[] = {
        {"side by side, second cell, centre doubled", false, false, 2, 16, 13, M(3, 1, 5, 2),
         M(3, 1, 5, 2)},
        {"stacked, second cell", true, false, 2, 16, 13, M(3, 1, 5, 2), M(3, 1, 5, 2)},
        {"centre tiled", false, true, 1, 16, 13, M(3, 1, 5, 2), M(3, 1, 5, 2)},
        {"at the cell's own size", false, false, 2, 12, 8, M(3, 1, 5, 2), M(3, 1, 5, 2)},
        {"side margins wider than the cell: dropped, cell doubled", false, false, 2, 24, 13,
         M(7, 1, 6, 2), M(0, 1, 0, 2)},
        {"end margins higher than the cell: dropped", true, false, 1, 16, 16, M(3, 5, 5, 4),
         M(3, 0, 5, 0)},
        {"negative margins count as none", false, false, 1, 24, 16, M(-3, -1, -5, -2),
         M(0, 0, 0, 0)},
    };
    auto strip = Distinct(24, 8);   // two cells side by side
    auto stacked = Distinct(12, 16); // two cells stacked
    for (const Case& c : cases) {
        const TElementDraw e{.Image = c.vertical ? stacked.get() : strip.get(),
                             .Margins = c.margins,
                             .Frames = 2,
                             .Index = c.index,
                             .Vertical = c.vertical,
                             .Tile = c.tile};
        const int ox = c.vertical ? 0 : 12 * (c.index - 1), oy = c.vertical ? 8 * (c.index - 1) : 0;
        // Drawn at (2, 1) of a larger target (through the shared scratch bitmap), and built as
        // an image of its own.
        TBitmap target(c.w + 4, c.h + 3, pf24bit);
        for (int y = 0; y < target.Height(); ++y)
            for (int x = 0; x < target.Width(); ++x) SetPx(target, x, y, kOutside);
        DrawElement(target.Canvas().Handle(), M(2, 1, 2 + c.w, 1 + c.h), e);
        auto built = BuildElementImage(M(0, 0, c.w, c.h), e);
        ASSERT_EQ(built->Width(), c.w);
        ASSERT_EQ(built->Height(), c.h);
        const RECT& m = c.effective;
        int wrongDrawn = 0, wrongBuilt = 0;
        for (int y = 0; y < target.Height(); ++y)
            for (int x = 0; x < target.Width(); ++x) {
                const bool inside = x >= 2 && x < 2 + c.w && y >= 1 && y < 1 + c.h;
                POINT want{-1, -1};
                if (inside) {
                    const bool centre = InCentre(x - 2, c.w, m.left, m.right) &&
                                        InCentre(y - 1, c.h, m.top, m.bottom);
                    want = {ox + Expected(x - 2, c.w, 12, m.left, m.right, c.tile && centre),
                            oy + Expected(y - 1, c.h, 8, m.top, m.bottom, c.tile && centre)};
                }
                const POINT got = SourceOf(GetPx(target, x, y));
                if (got.x != want.x || got.y != want.y) {
                    if (++wrongDrawn <= 3)
                        ADD_FAILURE() << c.what << ": drawn (" << x << "," << y << ") from ("
                                      << got.x << "," << got.y << "), expected (" << want.x
                                      << "," << want.y << ")";
                }
                if (inside) {
                    const POINT b = SourceOf(GetPx(*built, x - 2, y - 1));
                    if ((b.x != want.x || b.y != want.y) && ++wrongBuilt <= 3)
                        ADD_FAILURE() << c.what << ": built (" << x - 2 << "," << y - 1
                                      << ") from (" << b.x << "," << b.y << ")";
                }
            }
        EXPECT_EQ(wrongDrawn, 0) << c.what;
        EXPECT_EQ(wrongBuilt, 0) << c.what;
    }
}

TEST(SkinDraw, TinyAndOffsetTargets) {
    auto strip = Distinct(24, 8); // two cells of 12 x 8
    const TElementDraw e{.Image = strip.get(), .Margins = M(3, 1, 5, 2), .Frames = 2, .Index = 2};
    // Smaller than the margins on both axes: the whole second cell squeezed in, nothing of the
    // first cell, each row and column read in order.
    auto small = BuildElementImage(M(0, 0, 2, 2), e);
    ASSERT_EQ(small->Width(), 2);
    POINT prev{-1, -1};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) {
            const POINT p = SourceOf(GetPx(*small, x, y));
            EXPECT_GE(p.x, 12) << x << "," << y;
            EXPECT_LT(p.x, 24) << x << "," << y;
            EXPECT_GE(p.y, 0);
            EXPECT_LT(p.y, 8);
            if (x == 1) {
                EXPECT_GT(p.x, prev.x);
            }
            if (y == 1 && x == 0) {
                EXPECT_GT(p.y, prev.y);
            }
            prev = p;
        }
    // Partly off the target at negative coordinates (keyed, on the pixel path): the visible
    // part is the cell's lower right part at its own size.
    TBitmap target(8, 6, pf24bit);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) SetPx(target, x, y, kOutside);
    TElementDraw keyed = e;
    keyed.Transparent = true;
    DrawElement(target.Canvas().Handle(), M(-4, -3, 8, 5), keyed);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            const POINT p = SourceOf(GetPx(target, x, y));
            const POINT want = y < 5 ? POINT{12 + x + 4, y + 3} : POINT{-1, -1};
            EXPECT_EQ(p.x, want.x) << x << "," << y;
            EXPECT_EQ(p.y, want.y) << x << "," << y;
        }
}

TEST(SkinDraw, KeyColoursThatAreNotSymmetric) {
    // Key red (R 255, B 0): its byte-swapped twin, blue, must be drawn. Every keyed path: the
    // pixel path for 24- and 32-bit DIBs, and GDI for clipped, shifted and device bitmaps.
    constexpr TColor kRedKey = 0x0000FF, kBlue = 0xFF0000, kDark = 0x203040;
    TBitmap src(3, 2, pf24bit);
    const TColor pixels[2][3] = {{kRedKey, kBlue, kDark}, {kBlue, kRedKey, kRedKey}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) SetPx(src, x, y, pixels[y][x]);
    enum Kind { Dib24, Dib32, Clipped, Shifted, Ddb };
    for (Kind kind : {Dib24, Dib32, Clipped, Shifted, Ddb}) {
        TBitmap dst(3, 2, kind == Dib32 ? pf32bit : pf24bit);
        dst.Canvas().Brush().SetColor(kOutside);
        dst.Canvas().FillRect(M(0, 0, 3, 2));
        HDC screen = GetDC(nullptr);
        UniqueDC ddbDC(CreateCompatibleDC(screen));
        UniqueBitmap ddb(CreateCompatibleBitmap(screen, 3, 2));
        ReleaseDC(nullptr, screen);
        std::unique_ptr<ScopedSelect> sel;
        HDC dc = dst.Canvas().Handle();
        if (kind == Ddb) {
            sel = std::make_unique<ScopedSelect>(ddbDC.get(), ddb.get());
            dc = ddbDC.get();
            BitBlt(dc, 0, 0, 3, 2, dst.Canvas().Handle(), 0, 0, SRCCOPY);
        }
        RECT r = M(0, 0, 3, 2);
        const int saved = SaveDC(dc);
        if (kind == Clipped) IntersectClipRect(dc, 0, 0, 3, 2);
        if (kind == Shifted) {
            SetViewportOrgEx(dc, 1, 0, nullptr);
            r = M(-1, 0, 2, 2);
        }
        TransparentBlit(dc, r, src, kRedKey);
        RestoreDC(dc, saved);
        if (kind == Ddb) BitBlt(dst.Canvas().Handle(), 0, 0, 3, 2, dc, 0, 0, SRCCOPY);
        const TColor expect[2][3] = {{kOutside, kBlue, kDark}, {kBlue, kOutside, kOutside}};
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(dst.Canvas().Pixel(x, y), expect[y][x])
                    << "kind " << kind << " at " << x << "," << y;
    }

    // Regions: key (R 200, G 0, B 10) with a tolerance on blue only.
    struct Px {
        TColor colour;
        bool opaque;
    } cases[] = {
        {SkinRgbOf(200, 0, 10), false}, {SkinRgbOf(200, 0, 13), false},
        {SkinRgbOf(200, 0, 14), true},  {SkinRgbOf(201, 0, 10), true},
        {SkinRgbOf(10, 0, 200), true},  {SkinRgbOf(200, 1, 10), true},
    };
    TBitmap bmp(static_cast<int>(std::size(cases)), 1, pf24bit);
    for (size_t i = 0; i < std::size(cases); ++i) SetPx(bmp, static_cast<int>(i), 0, cases[i].colour);
    UniqueRegion rgn = RegionFromBitmap(bmp, 0, 0, /*blue*/ 3, /*green*/ 0, /*red*/ 0,
                                        SkinRgbOf(200, 0, 10));
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(PtInRegion(rgn.get(), static_cast<int>(i), 0) != 0, cases[i].opaque) << i;
}

TEST(SkinDraw, GlyphStripsOfManyCells) {
    // Twelve cells of 3 x 2 side by side, each one solid colour; and six stacked cells.
    auto colour = [](int k) { return TColor(0x101010 * k + 0x000005); };
    TBitmap strip(36, 2, pf24bit), column(3, 12, pf24bit);
    for (int k = 1; k <= 12; ++k)
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) SetPx(strip, 3 * (k - 1) + x, y, colour(k));
    for (int k = 1; k <= 6; ++k)
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) SetPx(column, x, 2 * (k - 1) + y, colour(k));
    struct Case {
        TBitmap* image;
        bool vertical;
        int frames, index, cell; // cell: the one expected, 0 for nothing drawn
    } cases[] = {
        {&strip, false, 12, 1, 1},   {&strip, false, 12, 5, 5},   {&strip, false, 12, 9, 9},
        {&strip, false, 12, 12, 12}, {&strip, false, 12, 0, 1},   {&strip, false, 12, 13, 12},
        {&strip, false, 12, -4, 1},  {&column, true, 6, 6, 6},    {&column, true, 6, 4, 4},
        {&column, true, 6, 7, 6},    {&strip, false, 40, 1, 0}, // cells of no width
    };
    for (const Case& c : cases) {
        const TElementDraw e{.Image = c.image, .Frames = c.frames, .Index = c.index,
                             .Vertical = c.vertical, .Transparent = true};
        // Centred in 5 x 4 (the cell lands at (1, 1)), stretched to 6 x 4, as a nine-grid.
        for (int painter = 0; painter < 3; ++painter) {
            TBitmap dst(6, 4, pf24bit);
            dst.Canvas().Brush().SetColor(kOutside);
            dst.Canvas().FillRect(M(0, 0, 6, 4));
            HDC dc = dst.Canvas().Handle();
            if (painter == 0) DrawFrameCentered(dc, M(0, 0, 5, 4), e);
            if (painter == 1) DrawFrameStretched(dc, M(0, 0, 6, 4), e);
            if (painter == 2) DrawElement(dc, M(0, 0, 6, 4), e);
            const TColor want = c.cell ? colour(c.cell) : kOutside;
            for (POINT p : {POINT{1, 1}, POINT{3, 2}})
                EXPECT_EQ(dst.Canvas().Pixel(p.x, p.y), want)
                    << "painter " << painter << " frames " << c.frames << " index " << c.index;
            // Centred: nothing beyond the cell.
            if (painter == 0) {
                EXPECT_EQ(dst.Canvas().Pixel(4, 1), kOutside) << c.index;
            }
        }
    }
}

TEST(SkinDraw, BarsAndStripsWithUnequalCaps) {
    struct Case {
        const char* what;
        RECT margins;
        int width;
        std::string bar, strip; // what each painter shows in a row of width + 2 ('.' outside)
    } cases[] = {
        // Cell "ABCDEF": left cap A, right cap EF, middle BCD.
        {"left 1, right 2", M(1, 0, 2, 0), 9, "ABCDBCDEF..", "ABBCCDDEF.."},
        {"narrower than its caps: the cell repeated", M(4, 0, 4, 0), 7, "ABCDEFA..", "ABCDEFA.."},
        {"caps wider than the cell", M(4, 0, 3, 0), 12, "ABCDEFABCDEF..",
         "AABBCCDDEEFF.."},
        {"negative caps count as none", M(-2, 0, -1, 0), 6, "ABCDEF..", "ABCDEF.."},
    };
    auto src = Make({"ABCDEF"});
    for (const Case& c : cases) {
        const TElementDraw e{.Image = src.get(), .Margins = c.margins};
        auto dst = Canvas(c.width + 2, 1);
        DrawSkinBar(dst->Canvas().Handle(), M(0, 0, c.width, 1), e);
        EXPECT_EQ(Read(*dst)[0], c.bar) << c.what;
        dst = Canvas(c.width + 2, 1);
        StretchSkinStrip(dst->Canvas().Handle(), M(0, 0, c.width, 1), e);
        if (c.width == 7) {
            // Squeezed into fewer pixels than the cell has: which ones GDI keeps is its choice,
            // but they come in order and nothing lands outside.
            const std::string row = Read(*dst)[0];
            EXPECT_EQ(row.substr(7), "..") << c.what;
            EXPECT_TRUE(std::is_sorted(row.begin(), row.begin() + 7)) << row;
        } else {
            EXPECT_EQ(Read(*dst)[0], c.strip) << c.what;
        }
    }
}

TEST(SkinDraw, TilesThatAreNotSquare) {
    auto src = Make({"ABC", "DEF"});
    struct Case {
        RECT tile, dest;
        std::vector<std::string> expect;
    } cases[] = {
        {M(0, 0, 3, 1), M(0, 0, 5, 3), {"ABCAB.", "ABCAB.", "ABCAB.", "......"}},
        {M(1, 0, 2, 2), M(1, 1, 4, 4), {"......", ".BBB..", ".EEE..", ".BBB.."}},
    };
    for (const Case& c : cases) {
        auto dst = Canvas(6, 4);
        TileBitmap(dst->Canvas(), c.dest, *src, c.tile);
        // Tiles may run past the destination's right and bottom edges; only the columns and
        // rows the destination covers are compared.
        std::vector<std::string> got = Read(*dst);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x)
                if (x >= c.dest.right || y >= c.dest.bottom) got[y][x] = c.expect[y][x];
        EXPECT_EQ(got, c.expect);
    }
}

TEST(SkinDraw, ComposingReusesAndGrowsTheScratchBitmap) {
    // Elements drawn one after another through the shared scratch bitmap: wide and low, then
    // narrow and high, then small again. Each one is whole, with nothing left of the one before.
    auto src = Distinct(4, 4);
    const TElementDraw e{.Image = src.get()};
    struct Case {
        int w, h;
    } cases[] = {{300, 2}, {2, 300}, {3, 3}, {320, 310}, {1, 1}};
    for (const Case& c : cases) {
        TBitmap dst(c.w, c.h, pf24bit);
        DrawElement(dst.Canvas().Handle(), M(0, 0, c.w, c.h), e);
        // Corner pixels come from the source's corners: the image reached every edge.
        struct P {
            int x, y, sx, sy;
        } corners[] = {{0, 0, 0, 0}, {c.w - 1, 0, 3, 0}, {0, c.h - 1, 0, 3}, {c.w - 1, c.h - 1, 3, 3}};
        for (const P& p : corners) {
            // Along a squeezed axis which source pixel survives is GDI's choice; it must still
            // be one of the source's.
            const POINT got = SourceOf(GetPx(dst, p.x, p.y));
            const int wantX = c.w < 4 ? -1 : p.sx, wantY = c.h < 4 ? -1 : p.sy;
            const std::string at = std::to_string(c.w) + "x" + std::to_string(c.h) + " at " +
                                   std::to_string(p.x) + "," + std::to_string(p.y);
            if (wantX >= 0) EXPECT_EQ(got.x, wantX) << at;
            else EXPECT_TRUE(got.x >= 0 && got.x < 4) << at;
            if (wantY >= 0) EXPECT_EQ(got.y, wantY) << at;
            else EXPECT_TRUE(got.y >= 0 && got.y < 4) << at;
        }
    }
}
