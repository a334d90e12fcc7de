// Skinned frames on real windows: thickness and client area, active and inactive borders by
// pixels, the window region cut at key-coloured pixels and its cache, windows without caption
// left to the system.
#include "frame_fixture.h"

#include "support/capture.h"
#include "support/leak_loop.h"
#include "support/gui.h"

#include <chrono>
#include <climits>
#include <cstdlib>
#include <vector>

namespace frametest {
namespace {

using namespace wl;

constexpr TColor kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x00FF00, kGrey = 0x808080;
constexpr TColor kKey = 0xFF00FF, kKeyNear = 0xFF01FF, kKeyFar = 0xFF02FF;

// A bitmap of w x h whose column x has colour cols[x % cols.size()].
std::string Columns(int w, int h, const std::vector<TColor>& cols) {
    std::vector<skintest::Px> px;
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y) px.push_back({x, y, cols[static_cast<size_t>(x) % cols.size()]});
    return skintest::Bmp(w, h, 0, px);
}
// A bitmap of w x h whose row y has colour rows[y % rows.size()].
std::string Rows(int w, int h, const std::vector<TColor>& rows) {
    std::vector<skintest::Px> px;
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y) px.push_back({x, y, rows[static_cast<size_t>(y) % rows.size()]});
    return skintest::Bmp(w, h, 0, px);
}

COLORREF Pixel(HWND w, int x, int y) {
    HDC dc = GetWindowDC(w);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(w, dc);
    return c;
}

TEST_F(FrameTest, FrameThicknessAndClientAreaFollowTheBorderImages) {
    struct Case {
        const char* name;
        std::string archive;
        RECT borders; // left, top, right, bottom
    };
    const Case cases[] = {
        {"default skin", DefaultSkinBytes(), {4, 26, 4, 4}},
        // Side cells side by side, end cells stacked; one frame keeps the whole image.
        {"small synthetic", SyntheticSkin({skintest::Bmp(6, 10, kRed), 3}, {skintest::Bmp(5, 10, kRed), 1},
                                          {skintest::Bmp(30, 40, kRed), 2}, {skintest::Bmp(30, 9, kRed), 3}),
         {2, 20, 5, 3}},
        // A frame count of 0 counts as one frame; a frame count beyond the image leaves nothing.
        {"zero and huge frame counts",
         SyntheticSkin({skintest::Bmp(7, 10, kRed), 0}, {skintest::Bmp(6, 10, kRed), 2147483647},
                       {skintest::Bmp(30, 12, kRed), -3}, {skintest::Bmp(30, 8, kRed), 2}),
         {7, 12, 0, 4}},
        // A missing image is a border of no thickness.
        {"missing images", SyntheticSkin({"", 1}, {"", 1}, {skintest::Bmp(30, 18, kRed), 1}, {"", 1}),
         {0, 18, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(LoadSkin(c.archive));
        HWND w = MakeWindow();
        ASSERT_NE(w, nullptr);
        RECT before;
        GetClientRect(w, &before);
        TWinSkinForm* f = Skin(w);
        ASSERT_TRUE(f->SkinFrame());
        const RECT b = f->Borders();
        EXPECT_EQ(b.left, c.borders.left);
        EXPECT_EQ(b.top, c.borders.top);
        EXPECT_EQ(b.right, c.borders.right);
        EXPECT_EQ(b.bottom, c.borders.bottom);
        // WM_NCCALCSIZE puts the client area inside the skinned frame, and the window is fitted
        // so that the client keeps its size.
        const SIZE ws = WindowSize(w);
        const RECT client = ClientInWindow(w);
        EXPECT_EQ(client.left, c.borders.left);
        EXPECT_EQ(client.top, c.borders.top);
        EXPECT_EQ(ws.cx - client.right, c.borders.right);
        EXPECT_EQ(ws.cy - client.bottom, c.borders.bottom);
        EXPECT_EQ(client.right - client.left, before.right);
        EXPECT_EQ(client.bottom - client.top, before.bottom);
    }
}

TEST_F(FrameTest, NcCalcSizeAnswersTheInsideOfTheFrame) {
    ASSERT_TRUE(LoadSkin(DefaultSkinBytes()));
    HWND w = MakeWindow();
    Skin(w);
    struct Case {
        RECT proposed;
    };
    for (const Case& c : {Case{{100, 50, 500, 350}}, Case{{-20, -10, 10, 20}}, Case{{0, 0, 3, 3}}}) {
        NCCALCSIZE_PARAMS p{};
        WINDOWPOS pos{};
        pos.x = c.proposed.left;
        pos.y = c.proposed.top;
        pos.cx = c.proposed.right - c.proposed.left;
        pos.cy = c.proposed.bottom - c.proposed.top;
        p.rgrc[0] = p.rgrc[1] = p.rgrc[2] = c.proposed;
        p.lppos = &pos;
        const LRESULT r = SendMessageW(w, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&p));
        EXPECT_EQ(r, WVR_VALIDRECTS);
        const RECT want{c.proposed.left + 4, c.proposed.top + 26,
                        std::max(c.proposed.left + 4, c.proposed.right - 4),
                        std::max(c.proposed.top + 26, c.proposed.bottom - 4)};
        EXPECT_TRUE(EqualRect(&p.rgrc[0], &want)) << p.rgrc[0].left << "," << p.rgrc[0].top << ","
                                                  << p.rgrc[0].right << "," << p.rgrc[0].bottom;
        EXPECT_TRUE(EqualRect(&p.rgrc[1], &want));
    }
    RECT plain{10, 10, 200, 100};
    EXPECT_EQ(SendMessageW(w, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&plain)), 0);
}

TEST_F(FrameTest, InactiveWindowPaintsTheSecondFrameOfEachBorderThatHasOne) {
    // Left: red cell then blue cell; right: one green cell; bottom: red row block over a blue one.
    ASSERT_TRUE(LoadSkin(SyntheticSkin({Columns(8, 10, {kRed, kRed, kRed, kRed, kBlue, kBlue, kBlue, kBlue}), 2},
                                       {skintest::Bmp(4, 10, kGreen), 1},
                                       {skintest::Bmp(30, 20, kGrey), 1},
                                       {Rows(30, 8, {kRed, kRed, kRed, kRed, kBlue, kBlue, kBlue, kBlue}), 2})));
    HWND w = MakeWindow();
    TWinSkinForm* f = Skin(w);
    ASSERT_EQ(f->Borders().left, 4);
    const SIZE s = WindowSize(w);
    struct Case {
        BOOL active;
        COLORREF left, right, bottom;
    };
    for (const Case& c : {Case{TRUE, RGB(255, 0, 0), RGB(0, 255, 0), RGB(255, 0, 0)},
                          Case{FALSE, RGB(0, 0, 255), RGB(0, 255, 0), RGB(0, 0, 255)},
                          Case{TRUE, RGB(255, 0, 0), RGB(0, 255, 0), RGB(255, 0, 0)}}) {
        SCOPED_TRACE(c.active ? "active" : "inactive");
        EXPECT_EQ(SendMessageW(w, WM_NCACTIVATE, c.active, 0), 1);
        EXPECT_EQ(f->Active(), c.active != FALSE);
        EXPECT_EQ(Pixel(w, 1, s.cy / 2), c.left);
        EXPECT_EQ(Pixel(w, s.cx - 2, s.cy / 2), c.right);
        EXPECT_EQ(Pixel(w, s.cx / 2, s.cy - 2), c.bottom);
        EXPECT_EQ(Pixel(w, s.cx / 2, 10), RGB(128, 128, 128));
    }
}

TEST_F(FrameTest, RegionIsCutAtKeyColouredPixelsOnly) {
    // Left: columns key, near-key (255,1,255), green, green; right: a (255,2,255) column that
    // stays; top: its first row keyed.
    ASSERT_TRUE(LoadSkin(SyntheticSkin({Columns(4, 10, {kKey, kKeyNear, kGreen, kGreen}), 1, 1},
                                       {Columns(4, 10, {kGreen, kGreen, kGreen, kKeyFar}), 1, 1},
                                       {Rows(30, 20, {kKey, kGrey, kGrey, kGrey, kGrey}), 1, 1},
                                       {skintest::Bmp(30, 4, kGreen), 1, 0})));
    HWND w = MakeWindow();
    TWinSkinForm* f = Skin(w);
    const SIZE s = WindowSize(w);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(w, rgn), ERROR);
    struct Probe {
        int x, y;
        bool inside;
    };
    const Probe probes[] = {
        {0, s.cy / 2, false},          // key colour
        {1, s.cy / 2, false},          // (255, 1, 255) counts as key colour
        {2, s.cy / 2, true},           // opaque
        {s.cx - 1, s.cy / 2, true},    // (255, 2, 255) is not key colour
        {s.cx / 2, 0, false},          // keyed top row
        {s.cx / 2, 1, true},           // below it
        {s.cx / 2, s.cy / 2, true},    // client
        {s.cx / 2, s.cy - 1, true},    // bottom border without transparency
    };
    for (const Probe& p : probes)
        EXPECT_EQ(PtInRegion(rgn, p.x, p.y) != FALSE, p.inside) << p.x << "," << p.y;
    DeleteObject(rgn);

    // Same size: the region is kept; another size or a re-applied skin builds a new one.
    const HRGN first = f->Region();
    ASSERT_NE(first, nullptr);
    SetWindowPos(w, nullptr, 0, 0, s.cx, s.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    f->UpdateRegion();
    EXPECT_EQ(f->Region(), first);
    SetWindowPos(w, nullptr, 0, 0, s.cx + 20, s.cy + 10, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const HRGN resized = f->Region();
    EXPECT_NE(resized, first);
    rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(w, rgn), ERROR);
    RECT box;
    GetRgnBox(rgn, &box);
    EXPECT_EQ(box.right, s.cx + 20);
    EXPECT_EQ(box.bottom, s.cy + 10);
    DeleteObject(rgn);
    f->DropRegion();
    EXPECT_EQ(f->Region(), nullptr);
    rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(w, rgn), ERROR);
    DeleteObject(rgn);
    f->UpdateRegion();
    EXPECT_NE(f->Region(), nullptr);
}

// A 16 x 16 icon of one colour, fully opaque.
HICON SolidIcon(COLORREF colour) {
    HDC screen = GetDC(nullptr);
    HBITMAP image = CreateCompatibleBitmap(screen, 16, 16);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, image);
    HBRUSH brush = CreateSolidBrush(colour);
    const RECT all{0, 0, 16, 16};
    FillRect(dc, &all, brush);
    SelectObject(dc, old);
    DeleteObject(brush);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    const std::vector<BYTE> zeros(16 * 2, 0); // an all-clear AND mask: every pixel shows
    HBITMAP mask = CreateBitmap(16, 16, 1, 1, zeros.data());
    ICONINFO info{TRUE, 0, 0, mask, image};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(image);
    return icon;
}

TEST_F(FrameTest, TitleIconFollowsTheWindowsIconWhenItIsLoadedAgain) {
    ASSERT_TRUE(LoadSkin(DefaultSkinBytes()));
    HICON red = SolidIcon(RGB(255, 0, 0)), blue = SolidIcon(RGB(0, 0, 255));
    HWND w = MakeWindow();
    SendMessageW(w, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(red));
    TWinSkinForm* f = Skin(w);
    auto centre = [&] {
        auto& bitmap = const_cast<TBitmap&>(f->Frame().IconBitmap());
        return GetPixel(bitmap.Canvas().Handle(), bitmap.Width() / 2, bitmap.Height() / 2);
    };
    EXPECT_EQ(centre(), RGB(255, 0, 0));
    f->Frame().LoadIcon();
    EXPECT_EQ(centre(), RGB(255, 0, 0)) << "the same icon again";
    SendMessageW(w, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(blue));
    f->Frame().LoadIcon();
    EXPECT_EQ(centre(), RGB(0, 0, 255)) << "another icon is drawn anew";
    SendMessageW(w, WM_SETICON, ICON_SMALL, 0);
    SendMessageW(w, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(red));
    f->Frame().LoadIcon();
    EXPECT_EQ(centre(), RGB(255, 0, 0)) << "the large icon when there is no small one";
    DestroyIcon(red);
    DestroyIcon(blue);
}

TEST_F(FrameTest, WindowWithoutCaptionIsLeftToTheSystem) {
    ASSERT_TRUE(LoadSkin(DefaultSkinBytes()));
    const DWORD style = WS_POPUP | WS_THICKFRAME | WS_VISIBLE;
    HWND twin = MakeWindow(style);
    HWND w = MakeWindow(style);
    TWinSkinForm* f = Skin(w);
    EXPECT_EQ(f->BorderKind(), bkNone);
    const RECT b = f->Borders();
    EXPECT_EQ(b.left + b.top + b.right + b.bottom, 0);
    EXPECT_EQ(f->MenuBarHeight(), 0);
    // The system's frame: the client area is the one of an unskinned twin.
    RECT a = ClientInWindow(w), b2 = ClientInWindow(twin);
    EXPECT_TRUE(EqualRect(&a, &b2));
    SetWindowPos(w, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    SetWindowPos(twin, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    a = ClientInWindow(w), b2 = ClientInWindow(twin);
    EXPECT_TRUE(EqualRect(&a, &b2));
}

TEST_F(FrameTest, MinimizedWindowPaintsOnlyItsTitleStripOverTheFace) {
    ASSERT_TRUE(LoadSkin(SyntheticSkin({skintest::Bmp(4, 10, kRed), 1}, {skintest::Bmp(4, 10, kRed), 1},
                                       {skintest::Bmp(30, 20, kGreen), 1}, {skintest::Bmp(30, 4, kRed), 1})));
    HWND w = MakeWindow();
    TWinSkinForm* f = Skin(w);
    ShowWindow(w, SW_MINIMIZE);
    wl::test::PumpUntil([&] { return f->WindowState() == wstMinimized; });
    ASSERT_EQ(f->WindowState(), wstMinimized);
    // Painted into a memory DC of the window's size: the strip runs the full width, the rest
    // is the face colour, and no side border is drawn.
    const SIZE s = WindowSize(w);
    TBitmap target(std::max<int>(s.cx, 1), std::max<int>(s.cy, 30), pf24bit);
    target.Canvas().Brush().SetColor(kBlue);
    target.Canvas().FillRect(RECT{0, 0, target.Width(), target.Height()});
    f->PaintFrame(target.Canvas().Handle());
    EXPECT_EQ(target.Canvas().Pixel(0, 5), kGreen);
    EXPECT_EQ(target.Canvas().Pixel(target.Width() - 1, 5), kGreen);
    if (s.cy > 22) {
        EXPECT_EQ(target.Canvas().Pixel(0, s.cy - 1), TColor(0xC8C8C8));
    }
}

TEST_F(FrameTest, PaintingGivesBackEveryHandle) {
    ASSERT_TRUE(LoadSkin(DefaultSkinBytes()));
    HWND w = MakeWindow();
    TWinSkinForm* f = Skin(w);
    // Every size the cycles use is painted once first: the shared work bitmap and the system's
    // caches grow to the largest once.
    wl::test::TLeakLoop loop;
    loop.Warmup = 35;
    loop.Paint = [&] { wl::test::PaintNow(w); };
    wl::test::ExpectNoLeak(
        [&](int i) {
            SendMessageW(w, WM_NCPAINT, 1, 0);
            SendMessageW(w, WM_NCACTIVATE, i % 2, 0);
            SetWindowPos(w, nullptr, 0, 0, 300 + i % 7, 200 + i % 5, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            f->PaintFrame();
        },
        loop);
}

} // namespace
} // namespace frametest

namespace frametest {
namespace {

using namespace wl;

// The window text in the title strip, as ink: pixels of the strip (rows 0..stripHeight) that
// differ from the strip's plain colour.
struct Ink {
    int count = 0;
    int tinted = 0; // ink within 60 of the expected text colour in every channel
    int minX = INT_MAX, maxX = -1, minY = INT_MAX, maxY = -1;
    // Rows with ink in columns [x0, x1].
    int RowsIn(const test::TCapture& shot, int x0, int x1, COLORREF plain, int stripHeight) const {
        int rows = 0;
        for (int y = 0; y < stripHeight; ++y) {
            bool any = false;
            for (int x = x0; x <= x1 && !any; ++x) any = test::ColorDistance(shot.At(x, y), plain) > 40;
            rows += any;
        }
        return rows;
    }
};
Ink InkOf(const test::TCapture& shot, int stripHeight, COLORREF plain, COLORREF text) {
    Ink ink;
    for (int y = 0; y < stripHeight; ++y)
        for (int x = 0; x < shot.Width(); ++x) {
            const COLORREF c = shot.At(x, y);
            if (test::ColorDistance(c, plain) <= 40) continue;
            ++ink.count;
            ink.tinted += test::ColorDistance(c, text) <= 60;
            ink.minX = std::min(ink.minX, x);
            ink.maxX = std::max(ink.maxX, x);
            ink.minY = std::min(ink.minY, y);
            ink.maxY = std::max(ink.maxY, y);
        }
    return ink;
}

constexpr int kStrip = 24; // height of the synthetic title strip

// Every border plain grey, so that anything else in the title strip is the window's text.
std::string TitleSkin(const std::string& titleKeys, const std::string& colourKeys = "") {
    return SyntheticSkin({skintest::Bmp(4, 10, kGrey), 1}, {skintest::Bmp(4, 10, kGrey), 1},
                         {skintest::Bmp(30, kStrip, kGrey), 1}, {skintest::Bmp(30, 4, kGrey, {}), 1, 0, titleKeys},
                         colourKeys);
}

class TitleTextTest : public FrameTest {
protected:
    // A skinned window showing `text`, active or not, its frame painted.
    TWinSkinForm* Show(const std::string& archive, const wchar_t* text, bool active) {
        if (!LoadSkin(archive)) return nullptr;
        w_ = MakeWindow();
        SetWindowTextW(w_, text);
        TWinSkinForm* f = Skin(w_);
        SendMessageW(w_, WM_NCACTIVATE, active, 0);
        f->PaintFrame();
        return f;
    }
    Ink Read(COLORREF text) { return InkOf(test::TCapture::WindowDC(w_), kStrip, RGB(128, 128, 128), text); }
    int Width() { return WindowSize(w_).cx; }
    HWND w_ = nullptr;
};

TEST_F(TitleTextTest, ColourFollowsTheActiveStateAndFallsBackToTheSkinColours) {
    const std::string ownColours = "ActiveTextR=255\nActiveTextG=0\nActiveTextB=0\n"
                                   "InActiveTextR=0\nInActiveTextG=0\nInActiveTextB=255\n";
    const std::string skinColours = "TitleTextActive=0 255 0\nTitleTextNoActive=255 255 0\n";
    struct Case {
        const char* name;
        std::string titleKeys;
        bool active;
        COLORREF want, other;
    } cases[] = {
        {"active, the title's own colour", ownColours, true, RGB(255, 0, 0), RGB(0, 255, 0)},
        {"inactive, the title's own colour", ownColours, false, RGB(0, 0, 255), RGB(255, 255, 0)},
        {"active, no own colour", "", true, RGB(0, 255, 0), RGB(255, 255, 0)},
        {"inactive, no own colour", "", false, RGB(255, 255, 0), RGB(0, 255, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(Show(TitleSkin("TextShift=20\nTextRightClip=20\n" + c.titleKeys, skinColours), L"WHW", c.active),
                  nullptr);
        const Ink ink = Read(c.want);
        EXPECT_GT(ink.tinted, 5);
        EXPECT_EQ(Read(c.other).tinted, 0);
    }
    // The state changes the colour on the window: activation repaints the title.
    SendMessageW(w_, WM_NCACTIVATE, TRUE, 0);
    EXPECT_GT(Read(RGB(0, 255, 0)).tinted, 5);
    EXPECT_EQ(Read(RGB(255, 255, 0)).tinted, 0);
}

TEST_F(TitleTextTest, PlacedByAlignmentShiftsAndClip) {
    constexpr int shift = 40, clip = 70;
    const std::wstring longText(80, L'W');
    struct Case {
        const char* name;
        int alignment, down;
        std::wstring text;
    } cases[] = {
        {"left", 0, 0, L"WHW"}, {"right", 1, 0, L"WHW"},   {"centre", 2, 0, L"WHW"},
        {"moved down", 0, 4, L"WHW"}, {"too long: ends in an ellipsis", 0, 0, longText},
    };
    int centreRow = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string keys = "TextShift=" + std::to_string(shift) + "\nTextRightClip=" + std::to_string(clip) +
                                 "\nTextAlignment=" + std::to_string(c.alignment) + "\nTextShiftVert=" +
                                 std::to_string(c.down) + "\nActiveTextR=255\nActiveTextG=0\nActiveTextB=0\n";
        ASSERT_NE(Show(TitleSkin(keys), c.text.c_str(), true), nullptr);
        const Ink ink = Read(RGB(255, 0, 0));
        ASSERT_GT(ink.tinted, 5);
        const int left = shift, right = Width() - clip;
        // Never outside the room the skin gives the text.
        EXPECT_GE(ink.minX, left);
        EXPECT_LT(ink.maxX, right);
        switch (c.alignment) {
        case 0: EXPECT_LE(ink.minX, left + 3); break;
        case 1: EXPECT_GE(ink.maxX, right - 4); break;
        default: EXPECT_NEAR((ink.minX + ink.maxX) / 2.0, (left + right) / 2.0, 3.0); break;
        }
        const int row = (ink.minY + ink.maxY) / 2;
        if (c.down == 0 && c.text.size() < 10) centreRow = row;
        if (c.down > 0) {
            EXPECT_EQ(row - centreRow, c.down);
        }
        if (c.text.size() >= 10) {
            // The text runs to the end of the room, where the last glyphs are dots on the
            // baseline rather than a cut letter.
            EXPECT_GE(ink.maxX, right - 12);
            EXPECT_LE(ink.RowsIn(test::TCapture::WindowDC(w_), ink.maxX - 3, ink.maxX, RGB(128, 128, 128), kStrip), 3);
            EXPECT_GT(ink.maxY - ink.minY, 6);
        }
    }
}

TEST_F(TitleTextTest, NewTextIsShownAtOnce) {
    ASSERT_NE(Show(TitleSkin("TextShift=20\nTextRightClip=20\nActiveTextR=255\nActiveTextG=0\nActiveTextB=0\n"),
                   L"I", true),
              nullptr);
    const Ink before = Read(RGB(255, 0, 0));
    ASSERT_GT(before.tinted, 0);
    SetWindowTextA(w_, "WWWWWWWWWW");
    const Ink after = Read(RGB(255, 0, 0));
    EXPECT_GT(after.maxX, before.maxX + 40);
    EXPECT_GT(after.tinted, before.tinted);
    // The system drew no caption of its own over the skinned one: the strip holds only the
    // grey of the skin and the skin's text colour.
    const test::TCapture shot = test::TCapture::WindowDC(w_);
    int foreign = 0;
    for (int y = 0; y < kStrip; ++y)
        for (int x = 0; x < shot.Width(); ++x) {
            const COLORREF c = shot.At(x, y);
            // Text edges blend red into grey: red at least as strong as green and blue.
            foreign += test::ColorDistance(c, RGB(128, 128, 128)) > 40 &&
                       !(GetRValue(c) >= GetGValue(c) && std::abs(GetGValue(c) - GetBValue(c)) <= 8);
        }
    EXPECT_EQ(foreign, 0);
}

TEST_F(TitleTextTest, ChineseTitleIsDrawnInItsOwnGlyphs) {
    ASSERT_EQ(GetACP(), 936u);
    const std::string keys = "TextShift=20\nTextRightClip=20\nActiveTextR=255\nActiveTextG=0\nActiveTextB=0\n";
    ASSERT_NE(Show(TitleSkin(keys), L"apple - ", true), nullptr);
    const Ink latin = Read(RGB(255, 0, 0));
    // Two glyphs more, and the two in the other order look different: real glyphs, not the
    // same box or question mark twice.
    SetWindowTextW(w_, L"apple - \u56fe\u7247");
    const test::TCapture one = test::TCapture::WindowDC(w_);
    const Ink chinese = InkOf(one, kStrip, RGB(128, 128, 128), RGB(255, 0, 0));
    SetWindowTextW(w_, L"apple - \u7247\u56fe");
    const test::TCapture other = test::TCapture::WindowDC(w_);
    EXPECT_GT(chinese.maxX, latin.maxX + 16);
    EXPECT_GT(chinese.tinted, latin.tinted + 20);
    EXPECT_GT(one.CountDiffering(other, RECT{latin.maxX + 2, 0, chinese.maxX + 1, kStrip}), 20);
}

TEST_F(TitleTextTest, TextBackgroundSitsBehindTheTextBetweenItsCaps) {
    // The text background, two cells (active, inactive): a 2-pixel blue left cap, a green
    // middle, a 3-pixel yellow right cap; the inactive cell dark grey throughout.
    constexpr TColor kYellow = 0x00FFFF, kDark = 0x404040;
    std::vector<skintest::Px> px;
    for (int x = 0; x < 24; ++x)
        for (int y = 0; y < 16; ++y) px.push_back({x, y, x >= 12 ? kDark : x < 2 ? kBlue : x >= 9 ? kYellow : kGreen});
    const std::string back = skintest::Bmp(24, 16, 0, px);
    const std::string keys = "TextShift=40\nTextRightClip=40\nTextBack=back.bmp\nTXTBackleft=2\nTXTBackRight=3\n"
                             "ActiveTextR=255\nActiveTextG=0\nActiveTextB=0\n";
    ASSERT_TRUE(LoadSkin(SyntheticSkin({skintest::Bmp(4, 10, kGrey), 1}, {skintest::Bmp(4, 10, kGrey), 1},
                                       {skintest::Bmp(30, kStrip, kGrey), 1},
                                       {skintest::Bmp(30, 4, kGrey), 1, 0, keys}, "", {{"back.bmp", back}})));
    w_ = MakeWindow();
    SetWindowTextA(w_, "WHW");
    TWinSkinForm* f = Skin(w_);
    SendMessageW(w_, WM_NCACTIVATE, TRUE, 0);
    f->PaintFrame();
    const RECT box = f->Frame().TitleTextRect();
    ASSERT_GT(box.right - box.left, 10);
    const test::TCapture shot = test::TCapture::WindowDC(w_);
    const int top = (kStrip - 16) / 2, mid = top + 8;
    struct Probe {
        int x;
        COLORREF want;
    } probes[] = {
        {box.left - 2, RGB(0, 0, 255)}, {box.left - 1, RGB(0, 0, 255)},  {box.left - 3, RGB(128, 128, 128)},
        {box.right, RGB(255, 255, 0)},  {box.right + 2, RGB(255, 255, 0)}, {box.right + 3, RGB(128, 128, 128)},
    };
    for (const Probe& p : probes) EXPECT_EQ(shot.At(p.x, mid), p.want) << p.x;
    // Above and below the image the strip shows; under the text the middle does.
    EXPECT_EQ(shot.At(box.left - 2, top - 1), RGB(128, 128, 128));
    EXPECT_EQ(shot.At(box.left - 2, top + 16), RGB(128, 128, 128));
    EXPECT_GT(shot.CountNear(RECT{box.left, top, box.right, top + 16}, RGB(0, 255, 0)), 10);
    EXPECT_GT(shot.CountNear(RECT{box.left, top, box.right, top + 16}, RGB(255, 0, 0), 60), 5);
    // Inactive: the second cell.
    SendMessageW(w_, WM_NCACTIVATE, FALSE, 0);
    const test::TCapture inactive = test::TCapture::WindowDC(w_);
    EXPECT_EQ(inactive.At(box.left - 1, mid), RGB(64, 64, 64));
    EXPECT_EQ(inactive.At(box.right + 1, mid), RGB(64, 64, 64));
}

// One WM_SIZE reaches the window's own procedure for each size change.
int g_sizes = 0;
LRESULT CALLBACK CountSizes(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SIZE) ++g_sizes;
    return DefWindowProcA(h, msg, wp, lp);
}

TEST_F(FrameTest, EachSizeChangeReachesTheWindowOnce) {
    ASSERT_TRUE(LoadSkin(SyntheticSkin({skintest::Bmp(4, 10, kKey), 1, 1}, {skintest::Bmp(4, 10, kRed), 1, 1},
                                       {skintest::Bmp(30, 20, kRed), 1, 1}, {skintest::Bmp(30, 4, kRed), 1, 1})));
    WNDCLASSA wc{};
    wc.lpfnWndProc = CountSizes;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "WlSizeCountWindow";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, "WlSizeCountWindow", "sizes", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(w, nullptr);
    windows_.push_back(w);
    TWinSkinForm* f = Skin(w);
    for (const SIZE s : {SIZE{320, 210}, SIZE{280, 190}, SIZE{400, 260}}) {
        g_sizes = 0;
        SetWindowPos(w, nullptr, 0, 0, s.cx, s.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_EQ(g_sizes, 1) << s.cx;
        // The region follows the new size.
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(GetWindowRgn(w, rgn), ERROR);
        RECT box;
        GetRgnBox(rgn, &box);
        DeleteObject(rgn);
        EXPECT_EQ(box.right, s.cx);
        EXPECT_EQ(box.left, 4); // the keyed left border is cut away
    }
    EXPECT_NE(f->Region(), nullptr);
}

} // namespace
} // namespace frametest
