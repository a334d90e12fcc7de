// Tabs and pages: the strip geometry and cell rules, tab strips in every position read back by
// pixels against the skin's tab cells, the page frame, overflowing tabs with their scroll arrows,
// close boxes, button tabs, tab sets, pages, the other library's page pictures, bare tab
// controls attached by handle, detaching in either order and GDI objects staying flat.
#include "controls_fixture.h"

#include "skin/archive/bitmaps.h"
#include "skin/controls/tabs.h"
#include "skin/data/skin_elements.h"
#include "skin/draw/skin_draw.h"
#include "support/gdi_count.h"
#include "support/gui.h"
#include "ui/comctrls.h"
#include "ui/extctrls.h"
#include "ui/stdctrls.h"

#include <climits>
#include <vector>

namespace skincontrols {
namespace {

using namespace wl;
using wl::test::PumpMessages;

constexpr COLORREF kMagenta = RGB(255, 0, 255);

// ---- window-free rules ---------------------------------------------------------------------------

TEST(TabGeometry, OrientationFromStyle) {
    const std::pair<LONG_PTR, uint8_t> cases[] = {
        {0, toTop},
        {TCS_BOTTOM, toBottom},
        {TCS_VERTICAL, toLeft},
        {TCS_VERTICAL | TCS_RIGHT, toRight},
        {TCS_VERTICAL | TCS_MULTILINE, toLeft},
        {TCS_BUTTONS | TCS_BOTTOM, toBottom},
    };
    for (auto [style, expected] : cases) EXPECT_EQ(TabOrientation(style), expected) << std::hex << style;
}

TEST(TabGeometry, PaneAndStripMeetAtTheTabsSide) {
    const RECT window{0, 0, 200, 100};
    struct Case {
        uint8_t orientation;
        RECT display, pane, strip;
    };
    const Case cases[] = {
        {toTop, {4, 26, 196, 96}, {0, 23, 200, 100}, {0, 0, 200, 23}},
        {toBottom, {4, 4, 196, 74}, {0, 0, 200, 77}, {0, 77, 200, 100}},
        {toLeft, {30, 4, 196, 96}, {27, 0, 200, 100}, {0, 0, 27, 100}},
        {toRight, {4, 4, 170, 96}, {0, 0, 173, 100}, {173, 0, 200, 100}},
    };
    for (const auto& c : cases) {
        const RECT pane = TabPaneRect(c.display, c.orientation);
        const RECT strip = TabStripRect(window, pane, c.orientation);
        EXPECT_TRUE(EqualRect(&pane, &c.pane)) << int(c.orientation);
        EXPECT_TRUE(EqualRect(&strip, &c.strip)) << int(c.orientation);
    }
}

// A tab mapped into the flat strip and the strip turned into place lands where the tab is.
TEST(TabGeometry, TabsInTheTurnedStripLandOnTheirWindowRectangles) {
    const RECT window{0, 0, 200, 120};
    struct Case {
        uint8_t orientation;
        RECT display, tab;
    };
    const Case cases[] = {
        {toLeft, {30, 4, 196, 116}, {2, 10, 26, 60}},
        {toLeft, {30, 4, 196, 116}, {2, 58, 24, 110}},
        {toRight, {4, 4, 170, 116}, {174, 10, 198, 60}},
        {toRight, {4, 4, 170, 116}, {176, 61, 198, 100}},
    };
    for (const auto& c : cases) {
        const RECT pane = TabPaneRect(c.display, c.orientation);
        const RECT strip = TabStripRect(window, pane, c.orientation);
        const int length = strip.bottom - strip.top, thickness = strip.right - strip.left;
        TBitmap flat(length, thickness);
        FillColor(flat.Canvas().Handle(), RECT{0, 0, length, thickness}, RGB(0, 0, 0));
        const RECT inStrip = TabInStrip(c.tab, c.orientation, window, pane, length);
        FillColor(flat.Canvas().Handle(), inStrip, RGB(255, 255, 255));
        if (c.orientation == toLeft) RotateLeft(flat);
        else RotateRight(flat);
        ASSERT_EQ(flat.Width(), thickness);
        RECT white{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
        for (int y = 0; y < flat.Height(); ++y)
            for (int x = 0; x < flat.Width(); ++x)
                if (GetPixel(flat.Canvas().Handle(), x, y) == RGB(255, 255, 255))
                    white = RECT{std::min<LONG>(white.left, x + strip.left), std::min<LONG>(white.top, y),
                                 std::max<LONG>(white.right, x + strip.left + 1), std::max<LONG>(white.bottom, y + 1)};
        RECT expected{};
        IntersectRect(&expected, &c.tab, &strip);
        EXPECT_TRUE(EqualRect(&white, &expected))
            << int(c.orientation) << ": " << white.left << "," << white.top << "," << white.right << ","
            << white.bottom;
    }
}

TEST(TabGeometry, CellOfATab) {
    struct Case {
        bool selected, hot, enabled, focused;
        int frames, expected;
    };
    const Case cases[] = {
        {false, false, true, false, 5, 1}, {true, false, true, false, 5, 2}, {true, true, true, true, 5, 5},
        {true, false, true, true, 2, 2},   {false, true, true, false, 5, 4}, {false, true, true, false, 3, 1},
        {false, true, false, false, 5, 3}, {true, false, false, false, 5, 2}, {false, false, false, false, 2, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TabFrame(c.selected, c.hot, c.enabled, c.focused, c.frames), c.expected)
            << c.selected << c.hot << c.enabled << c.focused << " of " << c.frames;
}

TEST(TabGeometry, MarginsTurnWithTheFrameImage) {
    const RECT m{1, 2, 3, 4}; // left, top, right, bottom
    const std::pair<uint8_t, RECT> cases[] = {
        {toTop, {1, 2, 3, 4}}, {toBottom, {1, 4, 3, 2}}, {toLeft, {2, 3, 4, 1}}, {toRight, {4, 1, 2, 3}}};
    for (auto [o, expected] : cases) {
        const RECT t = TurnedMargins(m, o);
        EXPECT_TRUE(EqualRect(&t, &expected)) << int(o);
    }
    // The same turn applied to an image with one marked edge moves that edge the same way.
    TBitmap image(10, 6);
    FillColor(image.Canvas().Handle(), RECT{0, 0, 10, 6}, RGB(0, 0, 0));
    FillColor(image.Canvas().Handle(), RECT{0, 0, 10, 2}, RGB(255, 255, 255)); // top margin 2
    RotateLeft(image);
    EXPECT_EQ(GetPixel(image.Canvas().Handle(), 1, 3), RGB(255, 255, 255)) << "top edge became the left";
    EXPECT_EQ(TurnedMargins(RECT{0, 2, 0, 0}, toLeft).left, 2);
}

TEST(TabGeometry, TabSetSkipsTabsThatDoNotFit) {
    struct Case {
        std::vector<int> widths;
        int start, end, width;
        bool scroller;
        std::vector<RECT> expected;
    };
    const Case cases[] = {
        {{20, 30}, 5, 5, 200, false, {{5, 0, 34, 20}, {34, 0, 73, 20}}},
        // the wide one is skipped, the narrow one after it still fits
        {{20, 150, 10}, 5, 5, 100, false, {{5, 0, 34, 20}, {0, 0, 0, 0}, {34, 0, 53, 20}}},
        // the shown scroller needs 12 more pixels after a tab
        {{20, 50}, 0, 10, 100, false, {{0, 0, 29, 20}, {29, 0, 88, 20}}},
        {{20, 50}, 0, 10, 100, true, {{0, 0, 29, 20}, {0, 0, 0, 0}}},
    };
    for (const auto& c : cases) {
        const std::vector<RECT> got = LayoutTabSet(c.widths, c.start, c.end, c.width, 20, c.scroller);
        ASSERT_EQ(got.size(), c.expected.size());
        for (size_t i = 0; i < got.size(); ++i)
            EXPECT_TRUE(EqualRect(&got[i], &c.expected[i]))
                << "tab " << i << " at " << got[i].left << ".." << got[i].right;
    }
}

// ---- on real controls ----------------------------------------------------------------------------

// The window as it is drawn, read once from its own DC.
class Shot {
public:
    explicit Shot(HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        bmp_.SetSize(r.right - r.left, r.bottom - r.top);
        WindowDC dc(window, GetWindowDC(window));
        BitBlt(bmp_.Canvas().Handle(), 0, 0, bmp_.Width(), bmp_.Height(), dc.get(), 0, 0, SRCCOPY);
    }
    COLORREF At(int x, int y) { return GetPixel(bmp_.Canvas().Handle(), x, y); }
    int Width() const { return bmp_.Width(); }
    int Height() const { return bmp_.Height(); }
    TBitmap& Bitmap() { return bmp_; }

private:
    TBitmap bmp_;
};

[[maybe_unused]] int Differences(Shot& a, Shot& b) {
    int n = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) n += a.At(x, y) != b.At(x, y);
    return n;
}

class TabControls : public SkinControlsTest {
protected:
    TDataSkinBorder& Tabs() { return *data_->Tabs; }
    COLORREF Face() { return ColorToRGB(data_->ButtonFace); }

    TTabControl* MakeTabs(TTabPosition position, int count, RECT bounds = RECT{10, 10, 290, 190}) {
        auto* t = Add<TTabControl>(bounds);
        t->SetTabWidth(60);
        t->SetTabHeight(22);
        t->SetTabPosition(position);
        for (int i = 0; i < count; ++i) t->Tabs()->Add("");
        t->SetTabIndex(1);
        t->HandleNeeded();
        return t;
    }
    static RECT ItemRect(TWinControl* t, int i) {
        RECT r{};
        SendMessageW(t->Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        return r;
    }
    static RECT Pane(TWinControl* t, uint8_t orientation) {
        RECT display{};
        GetClientRect(t->Handle(), &display);
        SendMessageW(t->Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
        return TabPaneRect(display, orientation);
    }
    // The tab cell `frame` as the companion builds it for a tab of `size` (strip coordinates),
    // upside down for tabs at the bottom.
    std::unique_ptr<TBitmap> TabCell(uint8_t orientation, int frame, SIZE size) {
        TBitmap image;
        image.Assign(Tabs().Image);
        image.SetPixelFormat(pf24bit);
        TElementDraw d = ElementDraw(Tabs(), frame);
        d.Image = &image;
        if (orientation == toBottom) {
            FlipBitmap(image);
            d.Margins = TurnedMargins(d.Margins, toBottom);
        }
        return BuildElementImage(RECT{0, 0, size.cx, size.cy}, d);
    }
    // Pixels of tab `i` (inset by 3 from its sides, inside the strip) that differ from cell
    // `frame` of the skin; key pixels must show the face colour.
    int TabMismatches(TWinControl* t, uint8_t orientation, int i, int frame) {
        Shot shot(t->Handle());
        RECT window{0, 0, t->Width(), t->Height()};
        const RECT pane = Pane(t, orientation);
        const RECT strip = TabStripRect(window, pane, orientation);
        const RECT tab = ItemRect(t, i);
        const int length = orientation <= toBottom ? strip.right - strip.left : strip.bottom - strip.top;
        const RECT inStrip = TabInStrip(tab, orientation, window, pane, length);
        auto cell = TabCell(orientation, frame, SIZE{inStrip.right - inStrip.left, inStrip.bottom - inStrip.top});
        HDC c = cell->Canvas().Handle();
        // Where the drawn tab lies in the window: side tabs land exactly on their rectangles.
        RECT drawn = orientation <= toBottom ? inStrip : tab;
        if (orientation <= toBottom) OffsetRect(&drawn, strip.left, strip.top);
        RECT area{};
        IntersectRect(&area, &drawn, &strip);
        const bool across = orientation <= toBottom;
        if (across) InflateRect(&area, -3, 0);
        else InflateRect(&area, 0, -3);
        int bad = 0;
        for (int wy = area.top; wy < area.bottom; ++wy)
            for (int wx = area.left; wx < area.right; ++wx) {
                int cx = 0, cy = 0;
                switch (orientation) {
                case toTop: cx = wx - inStrip.left, cy = wy - inStrip.top; break;
                case toBottom: cx = wx - inStrip.left, cy = wy - strip.top - inStrip.top; break;
                case toLeft: cx = length - 1 - wy - inStrip.left, cy = wx - strip.left - inStrip.top; break;
                default: cx = wy - inStrip.left, cy = strip.right - 1 - wx - inStrip.top; break;
                }
                COLORREF expected = GetPixel(c, cx, cy);
                if (expected == kMagenta) expected = Face();
                if (shot.At(wx, wy) != expected) ++bad;
            }
        return bad;
    }
    void Save(HWND window, const char* name) {
        wl::test::SaveWindowBitmap(window, std::string(WL_BINARY_DIR_CONTROLS) + "/" + name + ".bmp");
    }
    void TearDown() override {
        SetCursorPos(0, 0);
        SkinControlsTest::TearDown();
    }
};

TEST_F(TabControls, StripInEveryPositionShowsTheSkinCells) {
    const std::pair<TTabPosition, uint8_t> positions[] = {
        {tpTop, toTop}, {tpBottom, toBottom}, {tpLeft, toLeft}, {tpRight, toRight}};
    const char* names[] = {"tabs_top", "tabs_bottom", "tabs_left", "tabs_right"};
    for (auto [position, orientation] : positions) {
        SetCursorPos(0, 0);
        auto* t = MakeTabs(position, 3);
        ASSERT_NE(Attach("TSkinTab", t), nullptr);
        Repaint(t->Handle());
        Save(t->Handle(), names[orientation]);
        EXPECT_EQ(TabMismatches(t, orientation, 0, 1), 0) << "normal tab, position " << int(orientation);
        EXPECT_EQ(TabMismatches(t, orientation, 1, 2), 0) << "selected tab, position " << int(orientation);
        EXPECT_EQ(TabMismatches(t, orientation, 2, 1), 0) << "normal tab, position " << int(orientation);
        EXPECT_NE(TabMismatches(t, orientation, 0, 2), 0) << "the cells differ, position " << int(orientation);
        delete t;
    }
}

} // namespace
} // namespace skincontrols
