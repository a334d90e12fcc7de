// Tabs and pages: the strip geometry and cell rules, tab strips in every position read back by
// pixels against the skin's tab cells, the page frame, overflowing tabs with their scroll arrows,
// close boxes, button tabs, tab sets, pages, the other library's page pictures, bare tab
// controls attached by handle, detaching in either order and GDI objects staying flat.
#include "controls_fixture.h"

#include "skin/archive/bitmaps.h"
#include "skin/controls/tabs.h"
#include "skin/data/skin_elements.h"
#include "skin/draw/skin_draw.h"
#include "support/leak_loop.h"
#include "support/capture.h"
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
        bool selected;
        int frames, expected;
    };
    const Case cases[] = {
        {false, 5, 1}, {true, 5, 2}, {true, 2, 2}, {true, 1, 1}, {false, 1, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TabFrame(c.selected, c.frames), c.expected) << c.selected << " of " << c.frames;
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
wl::test::TCapture Shot(HWND window) { return wl::test::TCapture::WindowDC(window); }

int Differences(const wl::test::TCapture& a, const wl::test::TCapture& b) {
    return a.CountDiffering(b, RECT{0, 0, a.Width(), a.Height()});
}

class TabControls : public SkinControlsTest {
protected:
    TDataSkinBorder& Tabs() { return *data_->Tabs; }
    COLORREF Face() { return ColorToRGB(data_->ButtonFace); }

    TTabControl* MakeTabs(TTabPosition position, int count, RECT bounds = RECT{10, 10, 290, 190},
                          const char* caption = "") {
        auto* t = Add<TTabControl>(bounds);
        t->SetTabWidth(60);
        t->SetTabHeight(22);
        t->SetTabPosition(position);
        for (int i = 0; i < count; ++i)
            t->Tabs()->Add(caption);
        t->SetTabIndex(1);
        t->HandleNeeded();
        return t;
    }
    static RECT ItemRect(HWND t, int i) {
        RECT r{};
        SendMessageW(t, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        return r;
    }
    static RECT ItemRect(TWinControl* t, int i) { return ItemRect(t->Handle(), i); }
    static RECT Pane(HWND t, uint8_t orientation) {
        RECT display{};
        GetClientRect(t, &display);
        SendMessageW(t, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
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
    // `frame` of the skin; key pixels must show the face colour. With `only`, just the differing
    // pixels of that colour (a caption's ink).
    int TabMismatches(TWinControl* t, uint8_t orientation, int i, int frame,
                      COLORREF only = CLR_INVALID) {
        return TabMismatches(t->Handle(), orientation, i, frame, only);
    }
    int TabMismatches(HWND t, uint8_t orientation, int i, int frame, COLORREF only = CLR_INVALID) {
        const wl::test::TCapture shot = Shot(t);
        RECT window{0, 0, shot.Width(), shot.Height()};
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
                if (shot.At(wx, wy) != expected && (only == CLR_INVALID || shot.At(wx, wy) == only))
                    ++bad;
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

TEST_F(TabControls, HotAndDisabledTabsKeepTheNormalCell) {
    auto* t = MakeTabs(tpTop, 3);
    ASSERT_NE(Attach("TSkinTab", t), nullptr);
    const RECT tab0 = ItemRect(t, 0);
    const POINT at{(tab0.left + tab0.right) / 2, (tab0.top + tab0.bottom) / 2};
    POINT screen = at;
    ClientToScreen(t->Handle(), &screen);
    SetCursorPos(screen.x, screen.y);
    SendMessageW(t->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    EXPECT_EQ(TabMismatches(t, toTop, 0, 1), 0) << "the tab under the mouse";
    EXPECT_EQ(TabMismatches(t, toTop, 2, 1), 0);
    SetCursorPos(0, 0);
    SendMessageW(t->Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(TabMismatches(t, toTop, 0, 1), 0) << "the mouse left";

    t->SetEnabled(false);
    Repaint(t->Handle());
    // The caption turns grey, so only the cell's own pixels are compared.
    const COLORREF grey = ColorToRGB(clBtnShadow);
    EXPECT_EQ(TabMismatches(t, toTop, 0, 1) - TabMismatches(t, toTop, 0, 1, grey), 0) << "disabled";
    EXPECT_EQ(TabMismatches(t, toTop, 2, 1) - TabMismatches(t, toTop, 2, 1, grey), 0) << "disabled";
    EXPECT_EQ(TabMismatches(t, toTop, 1, 2), 0) << "the selected tab still shows as selected";
}

// A caption takes the skin's text colour of its tab's cell: NormalColour2 on a normal tab (the
// one under the mouse too), MouseOverColour2 on the selected one.
TEST_F(TabControls, CaptionsTakeTheSkinsColourOfTheirTabsState) {
    auto* t = MakeTabs(tpTop, 3, RECT{10, 10, 290, 190}, "Wmw");
    // Bold and without smoothing, so that the ink is the text colour itself.
    LOGFONTW lf{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lf.lfWeight = FW_BOLD;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    const UniqueFont font(CreateFontIndirectW(&lf));
    SendMessageW(t->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    ASSERT_NE(Attach("TSkinTab", t), nullptr);
    using Colour = TColor TDataSkinBorder::*;
    const Colour normal = &TDataSkinBorder::NormalColour2, lit = &TDataSkinBorder::MouseOverColour2;
    struct Case {
        const char* what;
        int tab;
        bool mouseOverFirst; // the mouse rests on the first tab
        int frame;
        Colour ink, notInk;
    } cases[] = {
        {"normal tab", 0, false, 1, normal, lit},
        {"selected tab", 1, false, 2, lit, normal},
        {"tab under the mouse", 0, true, 1, normal, lit},
        {"normal tab while another is hot", 2, true, 1, normal, lit},
    };
    const RECT tab0 = ItemRect(t, 0);
    const POINT at{(tab0.left + tab0.right) / 2, (tab0.top + tab0.bottom) / 2};
    POINT screen = at;
    ClientToScreen(t->Handle(), &screen);
    for (const Case& c : cases) {
        if (c.mouseOverFirst) {
            SetCursorPos(screen.x, screen.y);
            SendMessageW(t->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
        } else {
            SetCursorPos(0, 0);
            SendMessageW(t->Handle(), WM_MOUSELEAVE, 0, 0);
            Repaint(t->Handle());
        }
        EXPECT_GT(TabMismatches(t, toTop, c.tab, c.frame, ColorToRGB(Tabs().*c.ink)), 40) << c.what;
        EXPECT_EQ(TabMismatches(t, toTop, c.tab, c.frame, ColorToRGB(Tabs().*c.notInk)), 0)
            << c.what;
    }
    delete t; // before its font
}

TEST_F(TabControls, PageFrameFromTheBorderImageOrThePaneElement) {
    struct Case {
        int style;
        uint8_t orientation;
        TTabPosition position;
    };
    const Case cases[] = {{0, toTop, tpTop}, {0, toLeft, tpLeft}, {0, toBottom, tpBottom}, {1, toTop, tpTop},
                          {1, toRight, tpRight}};
    for (const auto& c : cases) {
        Tabs().Style = c.style;
        auto* t = MakeTabs(c.position, 2);
        ASSERT_NE(Attach("TSkinTab", t), nullptr);
        Repaint(t->Handle());
        TBitmap image;
        image.Assign(c.style == 0 ? Tabs().Image2 : data_->TabPane->Image);
        image.SetPixelFormat(pf24bit);
        if (c.orientation == toBottom) FlipBitmap(image);
        if (c.orientation == toLeft) RotateLeft(image);
        if (c.orientation == toRight) RotateRight(image);
        const RECT margins = c.style == 0 ? RECT{4, 5, 4, 4} : data_->TabPane->Margins();
        const RECT pane = Pane(t->Handle(), c.orientation);
        auto expected = BuildElementImage(
            RECT{0, 0, pane.right - pane.left, pane.bottom - pane.top},
            TElementDraw{.Image = &image, .Margins = TurnedMargins(margins, c.orientation)});
        const wl::test::TCapture shot = Shot(t->Handle());
        int bad = 0, seen = 0;
        for (int y = std::max<LONG>(pane.top, 0); y < std::min<LONG>(pane.bottom, shot.Height()); y += 3)
            for (int x = std::max<LONG>(pane.left, 0); x < std::min<LONG>(pane.right, shot.Width()); x += 3) {
                ++seen;
                bad += shot.At(x, y) != GetPixel(expected->Canvas().Handle(), x - pane.left, y - pane.top);
            }
        EXPECT_GT(seen, 100);
        EXPECT_EQ(bad, 0) << "style " << c.style << " position " << int(c.orientation);
        delete t;
    }
}

TEST_F(TabControls, OverflowingTabsKeepTheirArrowsVisibleAndTheArrowsScroll) {
    auto* t = MakeTabs(tpTop, 8, RECT{10, 10, 210, 150});
    TSkinControl* c = Attach("TSkinTab", t);
    ASSERT_NE(c, nullptr);
    Repaint(t->Handle());
    HWND arrows = FindWindowExW(t->Handle(), nullptr, UPDOWN_CLASSW, nullptr);
    ASSERT_NE(arrows, nullptr) << "the tab control shows scroll arrows";
    ASSERT_TRUE(IsWindowVisible(arrows));
    RECT a{};
    GetWindowRect(arrows, &a);
    MapWindowPoints(nullptr, t->Handle(), reinterpret_cast<POINT*>(&a), 2);

    // Painted into a prepared picture: the strip leaves the arrows' place alone.
    constexpr COLORREF kUntouched = RGB(1, 2, 3);
    TBitmap picture(t->Width(), t->Height());
    FillColor(picture.Canvas().Handle(), RECT{0, 0, t->Width(), t->Height()}, kUntouched);
    c->PaintControl(picture.Canvas().Handle());
    HDC p = picture.Canvas().Handle();
    EXPECT_EQ(GetPixel(p, (a.left + a.right) / 2, (a.top + a.bottom) / 2), kUntouched);
    EXPECT_EQ(GetPixel(p, a.left + 1, a.top + 1), kUntouched);
    EXPECT_NE(GetPixel(p, a.left - 3, a.top + 1), kUntouched) << "the strip beside the arrows is drawn";

    const RECT before = ItemRect(t, 0);
    const int y = (a.bottom - a.top) / 2, right = a.right - a.left - 3;
    SendMessageW(arrows, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(right, y));
    SendMessageW(arrows, WM_LBUTTONUP, 0, MAKELPARAM(right, y));
    PumpMessages(0);
    const RECT after = ItemRect(t, 0);
    EXPECT_LT(after.left, before.left) << "the tabs scrolled";
    Repaint(t->Handle());
    EXPECT_EQ(TabMismatches(t, toTop, 2, 1), 0) << "the strip follows the scrolled tabs";
    Save(t->Handle(), "tabs_overflow");
}

class CloseBoxes : public TabControls {
protected:
    TPageControl* MakePages(int tag) {
        auto* p = Add<TPageControl>(RECT{10, 10, 290, 190});
        p->SetTag(tag);
        p->SetTabWidth(56); // narrower than the last caption
        for (const char* caption : {"Alpha", "Beta", "Gamma Delta Epsilon"}) {
            auto* sheet = new TTabSheet(form_.get());
            sheet->SetPageControl(p);
            sheet->SetCaption(caption);
        }
        p->SetActivePageIndex(0);
        return p;
    }
    static std::vector<std::string> Captions(TPageControl* p) {
        std::vector<std::string> c;
        for (int i = 0; i < p->PageCount(); ++i) c.push_back(p->Pages(i)->Caption());
        return c;
    }
    static void Click(HWND window, POINT pt) {
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
        SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
        PumpMessages(0);
    }
    static POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
};

TEST_F(CloseBoxes, ClickingACloseBoxFreesThatPageUnlessTheFormKeepsIt) {
    auto* p = MakePages(7777);
    auto* c = dynamic_cast<TSkinTab*>(Attach("TSkinTab", p));
    ASSERT_NE(c, nullptr);
    ASSERT_TRUE(c->FCloseButtons);
    Repaint(p->Handle());
    Save(p->Handle(), "tabs_close_boxes");
    ASSERT_EQ(c->FCloseRects.size(), 3u);
    const RECT box = c->FCloseRects[1];
    const RECT tab = ItemRect(p, 1);
    EXPECT_EQ(box.right - box.left, 6);
    EXPECT_TRUE(box.left > tab.left && box.right <= tab.right) << "on the tab's right end";
    {
        const wl::test::TCapture shot = Shot(p->Handle());
        const COLORREF line = ColorToRGB(Tabs().NormalColour2);
        for (int tab = 0; tab < 3; ++tab) {
            // In the box's columns only its lines and the tab's own cell show: the caption (cut
            // short with an ellipsis on the last tab) stays left of them.
            RECT r = ItemRect(p, tab);
            OffsetRect(&r, 0, 1);
            auto cell = TabCell(toTop, tab == 0 ? 2 : 1, SIZE{r.right - r.left, r.bottom - r.top});
            const RECT b = c->FCloseRects[static_cast<size_t>(tab)];
            const int bottom = std::min<LONG>(r.bottom, Pane(p->Handle(), toTop).top) - 3;
            int off = 0;
            for (int y = b.top; y < bottom; ++y)
                for (int x = b.left; x < b.right; ++x) {
                    const bool onLine = y < b.bottom && (x == b.left || x == b.right - 1 || y == b.top ||
                                                         y == b.bottom - 1 || x - b.left == y - b.top ||
                                                         x - b.left == b.bottom - 1 - y);
                    COLORREF e = GetPixel(cell->Canvas().Handle(), x - r.left, y - r.top);
                    if (e == kMagenta) e = Face();
                    off += shot.At(x, y) != (onLine ? line : e);
                }
            EXPECT_EQ(off, 0) << "close box of tab " << tab;
        }
    }

    LRESULT answer = 1;
    std::vector<std::pair<WPARAM, LPARAM>> asked;
    auto veto = form_->WindowProc.Add([&](TMessage& m, const TWindowProcChain::Previous& prev) {
        if (m.Msg != SKM_TABCLOSE) return prev(m);
        asked.emplace_back(m.WParam, m.LParam);
        m.Result = answer;
    });
    Click(p->Handle(), Centre(box));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].first, reinterpret_cast<WPARAM>(p->Handle()));
    EXPECT_EQ(asked[0].second, 1);
    EXPECT_EQ(Captions(p), (std::vector<std::string>{"Alpha", "Beta", "Gamma Delta Epsilon"})) << "the form kept it";

    answer = 0;
    Click(p->Handle(), Centre(box));
    EXPECT_EQ(Captions(p), (std::vector<std::string>{"Alpha", "Gamma Delta Epsilon"}));
    Repaint(p->Handle());
    EXPECT_EQ(c->FCloseRects.size(), 2u);
}

TEST_F(CloseBoxes, AHiddenTabBeforeTheClickedOneDoesNotShiftWhichPageGoes) {
    auto* p = MakePages(7777);
    p->Pages(0)->SetTabVisible(false);
    auto* c = dynamic_cast<TSkinTab*>(Attach("TSkinTab", p));
    ASSERT_NE(c, nullptr);
    Repaint(p->Handle());
    ASSERT_EQ(c->FCloseRects.size(), 2u);
    Click(p->Handle(), Centre(c->FCloseRects[0])); // the tab of "Beta"
    EXPECT_EQ(Captions(p), (std::vector<std::string>{"Alpha", "Gamma Delta Epsilon"}));
}

TEST_F(CloseBoxes, OnlyMarkedPageControlsWithTabsOnTopHaveThem) {
    struct Case {
        int tag;
        TTabPosition position;
        bool boxes;
    };
    const Case cases[] = {{7777, tpTop, true}, {0, tpTop, false}, {7777, tpBottom, false}};
    for (const auto& k : cases) {
        auto* p = MakePages(k.tag);
        p->SetTabPosition(k.position);
        auto* c = dynamic_cast<TSkinTab*>(Attach("TSkinTab", p));
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->FCloseButtons, k.boxes) << k.tag << " " << int(k.position);
        Repaint(p->Handle());
        const RECT tab = ItemRect(p, 1);
        Click(p->Handle(), POINT{tab.right - 5, tab.top + 5});
        EXPECT_EQ(p->PageCount(), k.boxes ? 2 : 3);
        delete p;
    }
}

TEST_F(TabControls, ButtonTabsAreSkinPushButtons) {
    auto* t = MakeTabs(tpTop, 3);
    t->SetStyle(tsButtons);
    t->HandleNeeded();
    ASSERT_NE(Attach("TSkinTabBtn", t), nullptr);
    Repaint(t->Handle());
    Save(t->Handle(), "tabs_buttons");
    const wl::test::TCapture shot = Shot(t->Handle());
    TDataSkinObject& buttons = *data_->Buttons;
    for (int i = 0; i < 3; ++i) {
        RECT r = ItemRect(t, i);
        OffsetRect(&r, 0, 1);
        const int frame = i == 1 ? 2 : 1;
        const SIZE size{r.right - r.left, r.bottom - r.top};
        int bad = 0;
        for (int y = 0; y < size.cy && r.top + y < shot.Height(); ++y)
            for (int x = 3; x < size.cx - 3; ++x) {
                COLORREF e = ElementPixel(buttons, buttons.Frame, frame, size, x, y);
                if (e == kMagenta) e = Face();
                bad += shot.At(r.left + x, r.top + y) != e;
            }
        EXPECT_EQ(bad, 0) << "button tab " << i;
    }
    const RECT r = ItemRect(t, 0);
    EXPECT_NE(ElementPixel(buttons, buttons.Frame, 1, SIZE{r.right - r.left, r.bottom - r.top}, 10, 10),
              ElementPixel(buttons, buttons.Frame, 2, SIZE{r.right - r.left, r.bottom - r.top}, 10, 10))
        << "selected and normal buttons differ in the skin";
}

TEST_F(TabControls, PagesTakeTheFaceColourAndKeepTheirWindowlessChildren) {
    auto* p = Add<TPageControl>(RECT{10, 10, 290, 190});
    auto* sheet = new TTabSheet(form_.get());
    sheet->SetPageControl(p);
    sheet->SetColor(RGB(0, 0, 200));
    auto* shape = new TShape(form_.get());
    shape->SetParent(sheet);
    shape->SetBounds(10, 10, 30, 30);
    shape->Brush().SetColor(RGB(220, 0, 0));
    Repaint(p->Handle());
    ASSERT_EQ(Shot(sheet->Handle()).At(60, 60), RGB(0, 0, 200));
    ASSERT_NE(Attach("TSkinTabSheet", sheet), nullptr);
    Repaint(p->Handle());
    const wl::test::TCapture shot = Shot(sheet->Handle());
    EXPECT_EQ(shot.At(60, 60), Face());
    EXPECT_EQ(shot.At(25, 25), RGB(220, 0, 0));
}

TEST_F(TabControls, PlainTabControlPaintsItsWindowlessChildrenOverTheFrameInModeTwo) {
    for (int mode : {0, 2}) {
        auto* t = MakeTabs(tpTop, 2);
        auto* shape = new TShape(form_.get());
        shape->SetParent(t);
        shape->SetBounds(40, 60, 30, 30);
        shape->Brush().SetColor(RGB(220, 0, 0));
        TSkinControl* c = CreateCompanion("TSkinTab", t);
        ASSERT_NE(c, nullptr);
        c->SetMode(mode);
        c->Attach(TAttachContext::ForControl(nullptr, data_.get(), nullptr, false));
        Repaint(t->Handle());
        const COLORREF centre = Shot(t->Handle()).At(55, 75);
        if (mode == 2) EXPECT_EQ(centre, RGB(220, 0, 0));
        else EXPECT_NE(centre, RGB(220, 0, 0));
        delete t;
    }
}

// ---- tab sets and the other library's page control --------------------------------------------

// A tab set as the other library shapes it: tabs, the selected one and the margins published by
// name, a strip along the top.
class TTestTabSet : public TCustomControl {
    WL_CLASS(TTestTabSet, TCustomControl)
public:
    using TCustomControl::TCustomControl;
    TStringList* Tabs() { return &tabs_; }
    int TabIndex() const { return tabIndex_; }
    void SetTabIndex(int i) { tabIndex_ = i; }
    int StartMargin() const { return start_; }
    void SetStartMargin(int v) { start_ = v; }
    int EndMargin() const { return end_; }
    void SetEndMargin(int v) { end_ = v; }
    int FirstIndex() const { return first_; }
    void SetFirstIndex(int v) { first_ = v; }

private:
    TStringList tabs_;
    int tabIndex_ = 0, start_ = 5, end_ = 5, first_ = 0;
};

WL_DEFINE_CLASS(TTestTabSet, [](ClassBuilder<TTestTabSet>& c) {
    c.Object("Tabs", [](TTestTabSet& t) { return t.Tabs(); });
    c.Int("TabIndex", &TTestTabSet::TabIndex, &TTestTabSet::SetTabIndex);
    c.Int("StartMargin", &TTestTabSet::StartMargin, &TTestTabSet::SetStartMargin);
    c.Int("EndMargin", &TTestTabSet::EndMargin, &TTestTabSet::SetEndMargin);
    c.Int("FirstIndex", &TTestTabSet::FirstIndex, &TTestTabSet::SetFirstIndex);
})

TEST_F(TabControls, TabSetDrawsTheTabsThatFitFromTheUpsideDownCells) {
    auto* set = Add<TTestTabSet>(RECT{10, 10, 230, 32});
    for (const char* t : {"One", "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", "Two", "Three"}) set->Tabs()->Add(t);
    set->SetTabIndex(2);
    ASSERT_NE(Attach("TSkinTab31", set), nullptr);
    Repaint(set->Handle());
    Save(set->Handle(), "tabset");

    std::vector<int> widths;
    {
        WindowDC dc(set->Handle());
        ScopedSelect font(dc.get(), set->Font().Handle());
        for (int i = 0; i < set->Tabs()->Count(); ++i) {
            SIZE size{};
            const std::string text = set->Tabs()->Get(i);
            GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
            widths.push_back(size.cx);
        }
    }
    const std::vector<RECT> places = LayoutTabSet(widths, 5, 5, set->Width(), set->Height(), false);
    ASSERT_TRUE(IsRectEmpty(&places[1])) << "the wide tab does not fit";
    ASSERT_FALSE(IsRectEmpty(&places[2])) << "a narrower one after it does";
    const wl::test::TCapture shot = Shot(set->Handle());
    const int frames[] = {1, 0, 2, 1};
    for (size_t i = 0; i < places.size(); ++i) {
        if (!frames[i] || IsRectEmpty(&places[i])) continue;
        const RECT& r = places[i];
        auto cell = TabCell(toBottom, frames[i], SIZE{r.right - r.left, r.bottom - r.top});
        int bad = 0;
        for (int y = 0; y < r.bottom - r.top; ++y)
            for (int x = 0; x < 3; ++x) { // the caption never reaches a tab's first pixels
                COLORREF e = GetPixel(cell->Canvas().Handle(), x, y);
                if (e == kMagenta) e = Face();
                bad += shot.At(r.left + x, r.top + y) != e;
            }
        EXPECT_EQ(bad, 0) << "tab " << i;
    }
    EXPECT_EQ(shot.At(2, set->Height() / 2), Face()) << "the start margin stays empty";
}

// A page control of another library that takes its tab backgrounds from two pictures.
class TTestAdvPage : public TCustomControl {
    WL_CLASS(TTestAdvPage, TCustomControl)
public:
    using TCustomControl::TCustomControl;
    TPicture Normal, Active;
};

WL_DEFINE_CLASS(TTestAdvPage, [](ClassBuilder<TTestAdvPage>& c) {
    c.Object("TabBackGround", [](TTestAdvPage& t) { return &t.Normal; });
    c.Object("TabBackGroundActive", [](TTestAdvPage& t) { return &t.Active; });
})

TEST_F(TabControls, AdvancedPageControlGetsTabPicturesOnlyInPictureStyle) {
    for (const char* style : {"4", "0"}) {
        auto* page = Add<TTestAdvPage>(RECT{10, 10, 200, 100});
        TSkinControl* c = CreateCompanion("TSkinAdvPage", page);
        ASSERT_NE(c, nullptr);
        ASSERT_TRUE(SetPropertyText(c, "PageStyle", style));
        EXPECT_EQ(GetOrdProperty(c, "PageStyle"), std::stoi(style));
        c->Attach(TAttachContext::ForControl(nullptr, data_.get(), nullptr, false));
        if (std::string(style) != "4") {
            EXPECT_EQ(page->Normal.Width(), 0) << "no pictures in other styles";
            delete page;
            continue;
        }
        ASSERT_EQ(page->Normal.Width(), 100);
        ASSERT_EQ(page->Normal.Height(), 21);
        ASSERT_EQ(page->Active.Width(), 100);
        int bad = 0;
        for (int y = 0; y < 21; y += 2)
            for (int x = 0; x < 100; x += 3) {
                bad += GetPixel(page->Normal.Bitmap().Canvas().Handle(), x, y) !=
                       ElementPixel(Tabs(), Tabs().Frame, 1, SIZE{100, 21}, x, y);
                bad += GetPixel(page->Active.Bitmap().Canvas().Handle(), x, y) !=
                       ElementPixel(Tabs(), Tabs().Frame, 2, SIZE{100, 21}, x, y);
            }
        EXPECT_EQ(bad, 0);
        c->Restore();
        EXPECT_EQ(page->Normal.Width(), 0) << "unskinning empties the pictures";
        EXPECT_EQ(page->Active.Width(), 0);
        delete page;
    }
}

// ---- bare tab controls of dialogs -------------------------------------------------------------

// A modeless dialog from a template in memory holding one system tab control.
std::vector<WORD> TabDialogTemplate() {
    std::vector<WORD> b;
    auto put = [&](const auto& v) {
        const auto* p = reinterpret_cast<const WORD*>(&v);
        b.insert(b.end(), p, p + sizeof v / sizeof(WORD));
    };
    auto text = [&](const wchar_t* s) {
        for (; *s; ++s) b.push_back(static_cast<WORD>(*s));
        b.push_back(0);
    };
    DLGTEMPLATE t{};
    t.style = WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT;
    t.cdit = 1;
    t.cx = 200;
    t.cy = 120;
    put(t);
    b.push_back(0); // no menu
    b.push_back(0); // standard class
    text(L"Tabs");
    b.push_back(8);
    text(L"MS Shell Dlg");
    if (b.size() % 2) b.push_back(0); // items start on DWORD boundaries
    DLGITEMTEMPLATE i{};
    i.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_FIXEDWIDTH;
    i.x = 4;
    i.y = 4;
    i.cx = 190;
    i.cy = 110;
    i.id = 100;
    put(i);
    text(L"SysTabControl32");
    text(L"");
    b.push_back(0);
    return b;
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

class DialogTabs : public TabControls {
protected:
    void SetUp() override {
        TabControls::SetUp();
        const std::vector<WORD> t = TabDialogTemplate();
        dialog_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(t.data()),
                                             nullptr, PlainDialogProc, 0);
        ASSERT_NE(dialog_, nullptr);
        SetWindowPos(dialog_, HWND_TOP, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        tab_ = GetDlgItem(dialog_, 100);
        ASSERT_NE(tab_, nullptr);
        SendMessageW(tab_, TCM_SETITEMSIZE, 0, MAKELPARAM(60, 22));
        for (const wchar_t* caption : {L"", L"", L""}) {
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<wchar_t*>(caption);
            SendMessageW(tab_, TCM_INSERTITEMW, 10, reinterpret_cast<LPARAM>(&item));
        }
        SendMessageW(tab_, TCM_SETCURSEL, 2, 0);
        PumpMessages(0);
    }
    void TearDown() override {
        companion_.reset();
        if (dialog_) DestroyWindow(dialog_);
        TabControls::TearDown();
    }
    TSkinControl* AttachTab() {
        companion_.reset(CreateCompanion("TSkinTab", nullptr));
        if (companion_) companion_->Attach(TAttachContext::ForWindow(tab_, nullptr, data_.get(), nullptr));
        return companion_.get();
    }
    HWND dialog_ = nullptr, tab_ = nullptr;
    std::unique_ptr<TSkinControl> companion_;
};

TEST_F(DialogTabs, BareTabControlIsSkinnedAndDetachesCleanly) {
    SetCursorPos(0, 0);
    const LONG_PTR ownProc = GetWindowLongPtrW(tab_, GWLP_WNDPROC);
    Repaint(dialog_);
    const wl::test::TCapture own = Shot(tab_);
    ASSERT_NE(AttachTab(), nullptr);
    Repaint(dialog_);
    EXPECT_EQ(TabMismatches(tab_, toTop, 0, 1), 0);
    EXPECT_EQ(TabMismatches(tab_, toTop, 2, 2), 0) << "the selected tab";
    const wl::test::TCapture skinned = Shot(tab_);
    EXPECT_GT(Differences(own, skinned), 0);

    // Selecting with a click still reaches the control.
    const RECT tab0 = ItemRect(tab_, 0);
    SendMessageW(tab_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(tab0.left + 5, tab0.top + 5));
    SendMessageW(tab_, WM_LBUTTONUP, 0, MAKELPARAM(tab0.left + 5, tab0.top + 5));
    SendMessageW(tab_, WM_MOUSELEAVE, 0, 0);
    PumpMessages(0);
    EXPECT_EQ(SendMessageW(tab_, TCM_GETCURSEL, 0, 0), 0);
    Repaint(dialog_);
    EXPECT_EQ(TabMismatches(tab_, toTop, 0, 2), 0);
    SendMessageW(tab_, TCM_SETCURSEL, 2, 0);

    companion_.reset();
    EXPECT_EQ(GetWindowLongPtrW(tab_, GWLP_WNDPROC), ownProc);
    Repaint(dialog_);
    const wl::test::TCapture back = Shot(tab_);
    EXPECT_EQ(Differences(own, back), 0) << "the control's own look";
}

TEST_F(DialogTabs, TheWindowGoingFirstLeavesTheCompanionMarked) {
    TSkinControl* c = AttachTab();
    ASSERT_NE(c, nullptr);
    DestroyWindow(dialog_);
    dialog_ = nullptr;
    EXPECT_EQ(c->LifeState(), TLifeState::WindowDestroyed);
    EXPECT_FALSE(c->SkinActive());
}

TEST_F(TabControls, DetachInEitherOrderRestoresThePageControl) {
    auto* p = Add<TPageControl>(RECT{10, 10, 290, 190});
    for (const char* caption : {"One", "Two"}) {
        auto* sheet = new TTabSheet(form_.get());
        sheet->SetPageControl(p);
        sheet->SetCaption(caption);
    }
    SetCursorPos(0, 0);
    Repaint(p->Handle());
    const wl::test::TCapture own = Shot(p->Handle());
    TSkinControl* c = Attach("TSkinTab", p);
    ASSERT_NE(c, nullptr);
    Repaint(p->Handle());
    const wl::test::TCapture skinned = Shot(p->Handle());
    EXPECT_GT(Differences(own, skinned), 0);
    delete c;
    EXPECT_EQ(p->Perform(SKM_ISSKINNED, 0, 0), 0);
    Repaint(p->Handle());
    const wl::test::TCapture back = Shot(p->Handle());
    EXPECT_EQ(Differences(own, back), 0);
    p->SetActivePageIndex(1);
    EXPECT_EQ(SendMessageW(p->Handle(), TCM_GETCURSEL, 0, 0), 1) << "the control still works";

    // The control goes first, its companion (and the page's) with it.
    auto* other = MakeTabs(tpBottom, 8, RECT{10, 10, 150, 150});
    ASSERT_NE(Attach("TSkinTab", other), nullptr);
    ASSERT_NE(Attach("TSkinTabSheet", p->Pages(0)), nullptr);
    Repaint(form_->Handle());
    delete other;
    delete p;
    Repaint(form_->Handle());
}

TEST_F(TabControls, GdiObjectsStayFlatOverRepaintsAndAttachDetach) {
    auto cycle = [&] {
        for (TTabPosition position : {tpTop, tpBottom, tpLeft, tpRight}) {
            auto* t = MakeTabs(position, 8, RECT{10, 10, 200, 150});
            TSkinControl* c = Attach("TSkinTab", t);
            for (int i = 0; i < 3; ++i) {
                t->SetTabIndex(i);
                Repaint(t->Handle());
            }
            delete c;
            delete t;
        }
        auto* b = MakeTabs(tpTop, 3);
        b->SetStyle(tsButtons);
        TSkinControl* c = Attach("TSkinTabBtn", b);
        Repaint(b->Handle());
        delete c;
        delete b;
    };
    wl::test::ExpectNoLeak([&](int) { cycle(); });
}

} // namespace
} // namespace skincontrols
