// Skinned frames on real windows: thickness and client area, active and inactive borders by
// pixels, the window region cut at key-coloured pixels and its cache, windows without caption
// left to the system.
#include "frame_fixture.h"

#include "support/leak_loop.h"
#include "support/gui.h"

#include <chrono>

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
