// Pixel-exact tests of the skin drawing primitives on small synthetic bitmaps. Bitmaps are
// written as rows of letters, one colour per letter; results are read back the same way.
#include "skin/draw/skin_draw.h"

#include <gtest/gtest.h>

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
