// Skinned scroll bars: the bar arithmetic, overlays following list boxes, memos and list views
// as they scroll (read back by pixels), presses handed to the native bar (arrow repeat, thumb
// drag), stand-alone scroll bars, visibility, attach and detach in any order, re-created
// windows and handle counts.
#include "controls_fixture.h"

#include "skin/controls/scrollbars.h"
#include "skin/data/skin_elements.h"
#include "support/leak_loop.h"
#include "support/capture.h"
#include "support/gui.h"
#include "ui/comctrls.h"
#include "ui/frames.h"
#include "ui/stdctrls.h"

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace skincontrols {
namespace {

using namespace wl;
using namespace wl::scrollgeom;

// ---- the bar arithmetic --------------------------------------------------------------------------

TEST(ScrollGeometry, HitTestNamesEveryPartLikeTheScrollCodes) {
    const TSpan thumb{40, 60};
    struct Case {
        int a, expected;
    } cases[] = {{0, spFirstArrow},   {16, spFirstArrow}, {17, spTrackBefore}, {39, spTrackBefore},
                 {40, spThumb},       {59, spThumb},      {60, spTrackAfter},  {182, spTrackAfter},
                 {183, spSecondArrow}, {199, spSecondArrow}};
    for (const Case& c : cases) EXPECT_EQ(HitTest(c.a, 17, thumb, 200), c.expected) << "a=" << c.a;
}

TEST(ScrollGeometry, DraggedThumbStaysBetweenTheArrows) {
    struct Case {
        int downStart, delta, expected;
    } cases[] = {{50, 0, 50}, {50, 30, 80}, {50, -30, 20}, {50, -100, 17}, {50, 500, 163}, {163, 1, 163}};
    // bar 200 long, arrows 17, thumb 20: the thumb may start from 17 to 200 - 17 - 20 = 163.
    for (const Case& c : cases)
        EXPECT_EQ(DraggedThumbStart(c.downStart, c.delta, 17, 200, 20), c.expected) << c.downStart << "+" << c.delta;
}

TEST(ScrollGeometry, ControlThumbFromRangePageAndPosition) {
    struct Case {
        int length, min, max, page, pos;
        TSpan expected;
    } cases[] = {
        {200, 0, 100, 10, 0, {17, 32}},    // at the start: right after the first arrow
        {200, 0, 100, 10, 50, {100, 115}}, // (166 * 50 / 100) + 17, 166 * 9 / 100 long
        {200, 0, 100, 10, 91, {168, 183}}, // the last position ends at the second arrow
        {200, 0, 100, 0, 50, {92, 109}},   // no page: an arrow long, over 200 - 3 * 17
        {200, 10, 10, 5, 10, {17, 17}},    // empty range: no thumb (no division by zero)
        {200, 5, 2, 5, 3, {17, 17}},       // inverted range: no thumb
    };
    for (const Case& c : cases)
        EXPECT_EQ(ControlThumb(c.length, 17, c.min, c.max, c.page, c.pos), c.expected)
            << c.min << ".." << c.max << " page " << c.page << " at " << c.pos;
}

TEST(ScrollGeometry, MulDivRoundsHalfAwayFromZeroAndRefusesZero) {
    struct Case {
        int a, b, c, expected;
    } cases[] = {{166, 9, 100, 15}, {5, 1, 2, 3}, {-5, 1, 2, -3}, {5, -1, 2, -3}, {7, 3, 0, -1}, {-7, -3, 2, 11}};
    for (const Case& c : cases) EXPECT_EQ(MulDivRound(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}

TEST(ScrollGeometry, CellsOfArrowsThumbAndGripperPerState) {
    struct Case {
        bool vertical, second, enabled;
        int hot;
        bool tracking;
        int arrow;
    } cases[] = {
        {false, false, true, spNone, false, 1},  {false, true, true, spNone, false, 5},
        {true, false, true, spNone, false, 9},   {true, true, true, spNone, false, 13},
        {true, true, true, spSecondArrow, true, 14}, {true, true, true, spSecondArrow, false, 16},
        {true, false, true, spSecondArrow, true, 9}, // the other arrow stays normal
        {false, false, true, spFirstArrow, false, 4}, {true, false, false, spFirstArrow, true, 9},
        {false, true, false, spNone, false, 5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ArrowCell(c.vertical, c.second, c.enabled, c.hot, c.tracking), c.arrow)
            << c.vertical << c.second << c.enabled << " hot " << c.hot << " tracking " << c.tracking;

    EXPECT_EQ(ThumbCell(spNone, false), 1);
    EXPECT_EQ(ThumbCell(spThumb, true), 2);
    EXPECT_EQ(ThumbCell(spThumb, false), 3);
    EXPECT_EQ(ThumbCell(spTrackAfter, true), 1);
    EXPECT_EQ(GripperCell(false, spNone, false), 17);
    EXPECT_EQ(GripperCell(true, spThumb, true), 21);
    EXPECT_EQ(GripperCell(true, spThumb, false), 22);
}

TEST(ScrollGeometry, ArrowsThicknessAndGripperFitTheBar) {
    EXPECT_EQ(ArrowLength(200, 17), 17);
    EXPECT_EQ(ArrowLength(30, 17), 15); // two arrows of half the bar
    EXPECT_EQ(BarThickness(17, 17), 17);
    EXPECT_EQ(BarThickness(19, 17), 19);
    EXPECT_EQ(BarThickness(20, 17), 17); // more than 2 pixels off: the system's size
    EXPECT_EQ(BarThickness(14, 17), 17);
    EXPECT_EQ(GripperSpan(TSpan{40, 80}, 16), (TSpan{52, 68}));
    EXPECT_EQ(GripperSpan(TSpan{40, 54}, 16).Length(), 0); // gripper 2 pixels longer than the thumb
    EXPECT_EQ(GripperSpan(TSpan{40, 55}, 16), (TSpan{40, 56})); // (15 - 16) div 2 is 0
    EXPECT_EQ(GripperSpan(TSpan{40, 58}, 16), (TSpan{41, 57}));
}

// ---- helpers for window tests --------------------------------------------------------------------

// Runs one step per timer tick while a tracking loop of the native bar runs inside a send;
// the steps end the loop by posting the button release (and, as a last resort, by taking the
// capture away, which ends any tracking loop).
class TTimedSteps {
public:
    // `release`: where the button goes up (client coordinates of `target`), read when it does.
    TTimedSteps(HWND target, UINT period, std::vector<std::function<void()>> steps, const LPARAM* release = nullptr)
        : steps_(std::move(steps)) {
        steps_.push_back([target, release] { PostMessageW(target, WM_LBUTTONUP, 0, release ? *release : 0); });
        steps_.push_back([] { ReleaseCapture(); });
        current_ = this;
        id_ = SetTimer(nullptr, 0, period, Tick);
    }
    ~TTimedSteps() {
        KillTimer(nullptr, id_);
        current_ = nullptr;
    }
    TTimedSteps(const TTimedSteps&) = delete;
    TTimedSteps& operator=(const TTimedSteps&) = delete;
    bool Done() const { return next_ >= steps_.size(); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        TTimedSteps* s = current_;
        if (!s || s->next_ >= s->steps_.size()) return;
        s->steps_[s->next_++]();
    }
    static inline TTimedSteps* current_ = nullptr;
    std::vector<std::function<void()>> steps_;
    size_t next_ = 0;
    UINT_PTR id_ = 0;
};

SCROLLBARINFO NativeBar(HWND window, LONG object) {
    SCROLLBARINFO si{};
    si.cbSize = sizeof si;
    GetScrollBarInfo(window, object, &si);
    return si;
}

RECT ScreenRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

class ScrollbarsTest : public SkinControlsTest {
protected:
    void SetUp() override {
        SkinControlsTest::SetUp();
        ASSERT_TRUE(HasElement(data_->Scrollbar.get())) << "the default skin has scroll-bar images";
        ASSERT_TRUE(HasElement(data_->VertScrollThumb.get()));
    }

    TListBox* ListBox(RECT bounds, int items) {
        auto* list = Add<TListBox>(bounds);
        for (int i = 0; i < items; ++i) list->Items().Add("item " + std::to_string(i));
        return list;
    }

    TSkinScrollbar* SkinScroll(TWinControl* control, const char* className = "TSkinScrollbar") {
        TSkinControl* c = CreateCompanion(className, control);
        if (c) c->Attach(TAttachContext::ForScroll(control, nullptr, data_.get(), nullptr));
        wl::test::PumpMessages(0);
        return dynamic_cast<TSkinScrollbar*>(c);
    }

    static bool Showing(const TWScrollbar* bar) {
        return bar && bar->FShown && bar->HandleAllocated() && IsWindowVisible(bar->HandleValue());
    }

    // The bar's thickness as the overlay draws it.
    int Thickness() const { return BarThickness(data_->Scrollbar->Image.Height(), GetSystemMetrics(SM_CXHSCROLL)); }

    // The fill colour of the thumb element in `cell`.
    COLORREF ThumbFill(TDataSkinObject& thumb, int cell, bool vertical) const {
        const int t = Thickness();
        const SIZE size = vertical ? SIZE{t, 60} : SIZE{60, t};
        return ElementPixel(thumb, std::max(thumb.Frame, 1), cell, size, size.cx / 2, size.cy / 2);
    }

    // First and last pixel along the overlay's axis (across its middle) in `color`, between the
    // arrows; {-1, -1} when there is none.
    TSpan FindAlongAxis(TWScrollbar* bar, COLORREF color) {
        Repaint(bar->HandleValue());
        const wl::test::TCapture shot = wl::test::TCapture::Window(bar->HandleValue());
        const int across = Thickness() / 2;
        TSpan found{-1, -1};
        for (int a = bar->FArrowSize; a < bar->FLength - bar->FArrowSize; ++a) {
            const COLORREF c = bar->FVertical ? shot.At(across, a) : shot.At(a, across);
            if (c != color) continue;
            if (found.Start < 0) found.Start = a;
            found.End = a;
        }
        return found;
    }

    // The skinned thumb's extent found by pixels must match the native thumb within a pixel or
    // two of the thumb's own rounded frame.
    void ExpectThumbAt(TWScrollbar* bar, const TSpan& native, const char* what) {
        TDataSkinObject& thumb = bar->FVertical ? *data_->VertScrollThumb : *data_->HorzScrollThumb;
        const TSpan seen = FindAlongAxis(bar, ThumbFill(thumb, 1, bar->FVertical != 0));
        ASSERT_GE(seen.Start, 0) << what << ": no skinned thumb drawn";
        EXPECT_NEAR(seen.Start, native.Start, 3) << what;
        EXPECT_NEAR(seen.End, native.End - 1, 3) << what;
    }
};

// ---- following the native bar --------------------------------------------------------------------

TEST_F(ScrollbarsTest, OverlayCoversTheListBoxBarAsAToolWindowBesideIt) {
    auto* list = ListBox(RECT{10, 10, 150, 110}, 60);
    TSkinScrollbar* skin = SkinScroll(list);
    ASSERT_NE(skin, nullptr);
    TWScrollbar* vert = skin->FVertBar.get();
    ASSERT_TRUE(Showing(vert));
    EXPECT_FALSE(Showing(skin->FHorzBar.get())) << "the list box shows no horizontal bar";

    const SCROLLBARINFO native = NativeBar(list->Handle(), OBJID_VSCROLL);
    EXPECT_TRUE(SameRect(ScreenRect(vert->HandleValue()), native.rcScrollBar));
    EXPECT_EQ(GetParent(vert->HandleValue()), GetParent(list->Handle()));
    EXPECT_EQ(GetWindowLongPtrW(vert->HandleValue(), GWL_EXSTYLE), WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindowLongPtrW(vert->HandleValue(), GWL_STYLE) & WS_TABSTOP, 0);
    EXPECT_EQ(GetWindow(list->Handle(), GW_HWNDPREV), vert->HandleValue()) << "just above the list box";
    EXPECT_EQ(vert->Owner(), nullptr) << "the companion alone owns its overlay";
}

TEST_F(ScrollbarsTest, ThumbFollowsAListBoxAsItScrolls) {
    auto* list = ListBox(RECT{10, 10, 150, 160}, 80);
    TSkinScrollbar* skin = SkinScroll(list);
    ASSERT_NE(skin, nullptr);
    ASSERT_TRUE(Showing(skin->FVertBar.get()));
    const HWND h = list->Handle();

    for (int top : {0, 30, 79}) {
        SendMessageW(h, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
        wl::test::PumpMessages(0);
        const SCROLLBARINFO native = NativeBar(h, OBJID_VSCROLL);
        ExpectThumbAt(skin->FVertBar.get(), TSpan{native.xyThumbTop, native.xyThumbBottom},
                      ("top index " + std::to_string(top)).c_str());
    }
    // The wheel scrolls too.
    SendMessageW(h, LB_SETTOPINDEX, 0, 0);
    SendMessageW(h, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    wl::test::PumpMessages(0);
    ASSERT_GT(SendMessageW(h, LB_GETTOPINDEX, 0, 0), 0);
    const SCROLLBARINFO native = NativeBar(h, OBJID_VSCROLL);
    ExpectThumbAt(skin->FVertBar.get(), TSpan{native.xyThumbTop, native.xyThumbBottom}, "after the wheel");
}

TEST_F(ScrollbarsTest, MemoBarsFollowItsLinesAndItsBorderIsSkinned) {
    auto* memo = Add<TMemo>(RECT{10, 10, 200, 120});
    memo->SetScrollBars(ssBoth);
    memo->SetWordWrap(false);
    std::string text;
    for (int i = 0; i < 60; ++i) text += "line " + std::to_string(i) + " of a memo that is wider than the memo itself\r\n";
    memo->SetText(text);
    TSkinScrollbar* skin = SkinScroll(memo);
    ASSERT_NE(skin, nullptr);
    ASSERT_TRUE(Showing(skin->FVertBar.get()));
    ASSERT_TRUE(Showing(skin->FHorzBar.get()));
    EXPECT_TRUE(skin->FDrawBorder);

    const HWND h = memo->Handle();
    SendMessageW(h, EM_LINESCROLL, 12, 25);
    wl::test::PumpMessages(0);
    SCROLLBARINFO v = NativeBar(h, OBJID_VSCROLL), hz = NativeBar(h, OBJID_HSCROLL);
    ASSERT_GT(v.xyThumbTop, v.dxyLineButton) << "the memo scrolled down";
    ExpectThumbAt(skin->FVertBar.get(), TSpan{v.xyThumbTop, v.xyThumbBottom}, "vertical");
    ExpectThumbAt(skin->FHorzBar.get(), TSpan{hz.xyThumbTop, hz.xyThumbBottom}, "horizontal");

    // The corner between the bars and the border take the skin's colours.
    Repaint(h);
    const COLORREF face = ColorToRGB(data_->ButtonFace), shadow = ColorToRGB(data_->ButtonShadow);
    const RECT w = ScreenRect(h);
    EXPECT_EQ(wl::test::WindowPixel(h, 0, 0), shadow);
    EXPECT_EQ(wl::test::WindowPixel(h, (w.right - w.left) / 2, 1), face);
    EXPECT_EQ(wl::test::WindowPixel(h, v.rcScrollBar.left - w.left + 3, hz.rcScrollBar.top - w.top + 3), face);
}

// A memo that counts the frame paints reaching its own procedure (under the companion's layer).
class TFramePaintCountingMemo : public TMemo {
public:
    using TMemo::TMemo;
    int NativeFramePaints = 0;

protected:
    void WndProc(TMessage& m) override {
        if (m.Msg == WM_NCPAINT) ++NativeFramePaints;
        TMemo::WndProc(m);
    }
};

// The skin paints the border, the overlays the bars and the corner between them: the control's
// own frame paint, slow under Wine and wholly covered, is left out once every bar it shows has
// its overlay, and still runs where some of its frame would stay in sight.
TEST_F(ScrollbarsTest, NativeFrameIsPaintedOnlyWhereTheSkinLeavesSomeOfItInSight) {
    struct Case {
        const char* name;
        TScrollStyle bars;
        bool barInfo; // without it no overlay shows, so the native bars stay in sight
        bool nativeExpected;
    } cases[] = {
        {"border only", ssNone, true, false},
        {"vertical bar under its overlay", ssVertical, true, false},
        {"both bars and the corner", ssBoth, true, false},
        {"bars no overlay covers", ssBoth, false, true},
    };
    std::string text;
    for (int i = 0; i < 60; ++i) text += "line " + std::to_string(i) + " of a memo that is wider than the memo itself\r\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* memo = Add<TFramePaintCountingMemo>(RECT{10, 10, 200, 120});
        memo->SetScrollBars(c.bars);
        memo->SetWordWrap(false);
        memo->SetText(text);
        if (!c.barInfo) OverrideScrollBarInfoEntry(nullptr);
        TSkinScrollbar* skin = SkinScroll(memo);
        Repaint(memo->Handle()); // the first paint places the overlays
        memo->NativeFramePaints = 0;
        RedrawWindow(memo->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        wl::test::PumpMessages(0);
        const int native = memo->NativeFramePaints;
        OverrideScrollBarInfoEntry(std::nullopt);
        ASSERT_NE(skin, nullptr);
        EXPECT_EQ(native > 0, c.nativeExpected) << native << " native frame paints";
        EXPECT_EQ(wl::test::WindowPixel(memo->Handle(), 0, 0), ColorToRGB(data_->ButtonShadow)) << "the skinned border";
        delete memo;
    }
}

TEST_F(ScrollbarsTest, MemoWithoutBarsShowsNoOverlayButKeepsTheSkinnedBorder) {
    auto* memo = Add<TMemo>(RECT{10, 10, 200, 120});
    memo->SetText("short");
    TSkinScrollbar* skin = SkinScroll(memo);
    ASSERT_NE(skin, nullptr);
    EXPECT_FALSE(Showing(skin->FVertBar.get()));
    EXPECT_FALSE(Showing(skin->FHorzBar.get()));
    // Every frame paint draws the border again.
    RedrawWindow(memo->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    wl::test::PumpMessages(0);
    EXPECT_EQ(wl::test::WindowPixel(memo->Handle(), 0, 0), ColorToRGB(data_->ButtonShadow));
    EXPECT_EQ(wl::test::WindowPixel(memo->Handle(), 1, 1), ColorToRGB(data_->ButtonFace));

    // A frame painted on request answers the engine's magic number.
    HDC dc = GetWindowDC(memo->Handle());
    EXPECT_EQ(SendMessageW(memo->Handle(), SKM_PAINTSKIN, reinterpret_cast<WPARAM>(dc), SKM_MAGIC), SKM_MAGIC);
    ReleaseDC(memo->Handle(), dc);
}

TEST_F(ScrollbarsTest, BorderlessOrSingleBarKindDrawsNoBorder) {
    struct Case {
        bool borderless;
        int mode;
    } cases[] = {{true, 0}, {false, 1}};
    for (const Case& c : cases) {
        auto* list = ListBox(RECT{10, 10, 150, 110}, 50);
        if (c.borderless) list->SetBorderStyle(bsNone);
        TSkinControl* comp = CreateCompanion("TSkinScrollbar", list);
        ASSERT_NE(comp, nullptr);
        comp->SetMode(c.mode);
        comp->Attach(TAttachContext::ForScroll(list, nullptr, data_.get(), nullptr));
        auto* skin = dynamic_cast<TSkinScrollbar*>(comp);
        EXPECT_FALSE(skin->FVertBar && skin->FVertBar->HandleAllocated()) << "no overlay window before a paint";
        Repaint(list->Handle()); // the overlays are placed by the control's paint
        EXPECT_FALSE(skin->FDrawBorder) << "borderless " << c.borderless << " mode " << c.mode;
        EXPECT_TRUE(Showing(skin->FVertBar.get())) << "the bars are skinned all the same";
        delete list;
    }
}

TEST_F(ScrollbarsTest, OverlayHidesAndShowsWithTheControlAndItsNativeBar) {
    auto* list = ListBox(RECT{10, 10, 150, 110}, 50);
    TSkinScrollbar* skin = SkinScroll(list);
    ASSERT_NE(skin, nullptr);
    TWScrollbar* vert = skin->FVertBar.get();
    ASSERT_TRUE(Showing(vert));

    list->Hide();
    wl::test::PumpMessages(0);
    EXPECT_FALSE(Showing(vert)) << "hidden with the control";
    list->Show();
    wl::test::PumpMessages(0);
    EXPECT_TRUE(Showing(vert)) << "placed again when shown";
    EXPECT_TRUE(SameRect(ScreenRect(vert->HandleValue()), NativeBar(list->Handle(), OBJID_VSCROLL).rcScrollBar));

    // The native bar goes when there is nothing to scroll, and comes back.
    list->Clear();
    wl::test::PumpMessages(0);
    EXPECT_NE(NativeBar(list->Handle(), OBJID_VSCROLL).rgstate[0] & STATE_SYSTEM_INVISIBLE, 0u);
    EXPECT_FALSE(Showing(vert)) << "hidden with the native bar";
    for (int i = 0; i < 40; ++i) list->Items().Add("again " + std::to_string(i));
    wl::test::PumpMessages(0);
    Repaint(list->Handle());
    EXPECT_TRUE(Showing(vert)) << "shown with the native bar";

    // Moved and resized: the overlay follows.
    list->SetBounds(30, 40, 180, 90);
    wl::test::PumpMessages(0);
    EXPECT_TRUE(SameRect(ScreenRect(vert->HandleValue()), NativeBar(list->Handle(), OBJID_VSCROLL).rcScrollBar));
}

// An overlay's window is made when its bar first shows, not at attach, and it is the same
// window each time the bar comes back: a list box that starts short has no overlay window until
// its items need a bar; a memo without bars never gets one.
TEST_F(ScrollbarsTest, OverlayWindowIsMadeWhenItsBarFirstShowsAndKeptAfterwards) {
    auto* list = ListBox(RECT{10, 10, 150, 110}, 2);
    TSkinScrollbar* skin = SkinScroll(list);
    ASSERT_NE(skin, nullptr);
    TWScrollbar* vert = skin->FVertBar.get();
    TWScrollbar* horz = skin->FHorzBar.get();
    ASSERT_TRUE(vert && horz);
    EXPECT_FALSE(vert->HandleAllocated()) << "a window for a bar that is not shown";
    EXPECT_FALSE(horz->HandleAllocated());

    HWND first = nullptr;
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        for (int i = 0; i < 40; ++i) list->Items().Add("more " + std::to_string(i));
        wl::test::PumpMessages(0);
        Repaint(list->Handle());
        ASSERT_TRUE(Showing(vert)) << "the bar that appeared is not skinned";
        EXPECT_TRUE(SameRect(ScreenRect(vert->HandleValue()), NativeBar(list->Handle(), OBJID_VSCROLL).rcScrollBar));
        if (!first) first = vert->HandleValue();
        EXPECT_EQ(vert->HandleValue(), first) << "a second window for the same bar";
        list->Clear();
        wl::test::PumpMessages(0);
        Repaint(list->Handle());
        EXPECT_FALSE(Showing(vert)) << "the overlay stayed after its bar went";
    }
    EXPECT_FALSE(horz->HandleAllocated()) << "the horizontal bar never showed";

    auto* memo = Add<TMemo>(RECT{160, 10, 300, 110});
    TSkinScrollbar* memoSkin = SkinScroll(memo);
    ASSERT_NE(memoSkin, nullptr);
    Repaint(memo->Handle());
    EXPECT_FALSE(memoSkin->FVertBar && memoSkin->FVertBar->HandleAllocated());
    EXPECT_FALSE(memoSkin->FHorzBar && memoSkin->FHorzBar->HandleAllocated());
}

// Controls that are never painted (on a page not yet opened) cost no overlay window: the window
// is made by the control's first paint, for scrollable controls and scroll-bar controls alike.
TEST_F(ScrollbarsTest, OverlayWindowWaitsForTheFirstPaintOfItsControl) {
    struct Case {
        const char* name;
        bool standAlone;
    } cases[] = {{"list box", false}, {"scroll-bar control", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* page = Add<TPanel>(RECT{10, 10, 300, 200});
        page->SetVisible(false);
        TWScrollbar* overlay = nullptr;
        HWND covered = nullptr;
        if (c.standAlone) {
            auto* bar = Add<TScrollBar>(RECT{10, 10, 250, 10 + GetSystemMetrics(SM_CYHSCROLL)}, page);
            TSkinControl* comp = CreateCompanion("TSkinScControl", bar);
            ASSERT_NE(comp, nullptr);
            comp->Attach(TAttachContext::ForScrollControl(bar, nullptr, data_.get(), nullptr));
            overlay = dynamic_cast<TSkinScControl*>(comp)->FBar.get();
            covered = bar->Handle();
        } else {
            auto* list = Add<TListBox>(RECT{10, 10, 150, 110}, page);
            for (int i = 0; i < 50; ++i) list->Items().Add("item " + std::to_string(i));
            TSkinScrollbar* skin = SkinScroll(list);
            ASSERT_NE(skin, nullptr);
            overlay = skin->FVertBar.get();
            covered = list->Handle();
        }
        ASSERT_NE(overlay, nullptr);
        wl::test::PumpMessages(0);
        EXPECT_FALSE(overlay->HandleAllocated()) << "an overlay window for a control never painted";

        page->SetVisible(true);
        Repaint(page->Handle());
        ASSERT_TRUE(Showing(overlay)) << "the control's first paint did not place its overlay";
        RECT native{};
        if (c.standAlone) GetWindowRect(covered, &native);
        else native = NativeBar(covered, OBJID_VSCROLL).rcScrollBar;
        EXPECT_TRUE(SameRect(ScreenRect(overlay->HandleValue()), native));
        EXPECT_EQ(GetWindow(covered, GW_HWNDPREV), overlay->HandleValue()) << "stacked just above the control";
        delete page;
    }
}

// A skin with no scroll-bar image, or an empty one, paints no bars: no overlay is made and the
// native bars stay in sight and in use, for scrollable controls and scroll-bar controls alike.
TEST_F(ScrollbarsTest, SkinWithoutAScrollBarImageLeavesTheNativeBarsInSight) {
    struct Case {
        const char* what;
        std::function<void(TSkinData&)> strip;
    };
    const Case cases[] = {
        {"empty image", [](TSkinData& d) { d.Scrollbar->Image.SetSize(0, 0); }},
        {"no image", [](TSkinData& d) { d.Scrollbar.reset(); }},
    };
    int top = 10;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.strip(*data_);
        ASSERT_FALSE(HasElement(data_->Scrollbar.get()));
        auto* list = ListBox(RECT{10, top, 150, top + 100}, 50);
        TSkinScrollbar* skin = SkinScroll(list);
        ASSERT_NE(skin, nullptr);
        EXPECT_EQ(SendMessageW(list->Handle(), SKM_ISSKINNED, 0, 0), 1) << "the control is still skinned";
        EXPECT_FALSE(skin->FVertBar || skin->FHorzBar) << "an overlay with nothing to paint";
        Repaint(list->Handle());
        const RECT bar = NativeBar(list->Handle(), OBJID_VSCROLL).rcScrollBar;
        EXPECT_EQ(WindowFromPoint(POINT{(bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2}), list->Handle())
            << "something covers the native bar";

        auto* scroll = Add<TScrollBar>(RECT{170, top, 390, top + GetSystemMetrics(SM_CYHSCROLL)});
        TSkinControl* sc = CreateCompanion("TSkinScControl", scroll);
        ASSERT_NE(sc, nullptr);
        sc->Attach(TAttachContext::ForScrollControl(scroll, nullptr, data_.get(), nullptr));
        wl::test::PumpMessages(0);
        EXPECT_EQ(dynamic_cast<TSkinScControl*>(sc)->FBar, nullptr);
        RECT area = ScreenRect(scroll->Handle());
        EXPECT_EQ(WindowFromPoint(POINT{(area.left + area.right) / 2, (area.top + area.bottom) / 2}), scroll->Handle());
        top += 120;
    }
}

TEST_F(ScrollbarsTest, DisabledControlShowsTheDisabledTrackAndNoThumb) {
    auto* list = ListBox(RECT{10, 10, 150, 160}, 80);
    TSkinScrollbar* skin = SkinScroll(list);
    ASSERT_NE(skin, nullptr);
    TWScrollbar* vert = skin->FVertBar.get();
    const COLORREF thumb = ThumbFill(*data_->VertScrollThumb, 1, true);
    ASSERT_GE(FindAlongAxis(vert, thumb).Start, 0);

    list->SetEnabled(false);
    wl::test::PumpMessages(0);
    EXPECT_EQ(FindAlongAxis(vert, thumb).Start, -1) << "no thumb on a disabled bar";
    const int t = Thickness();
    const int length = vert->FLength - 2 * vert->FArrowSize;
    const COLORREF disabledTrack =
        ElementPixel(*data_->VertScroll, kTrackCells, 3, SIZE{t, length}, t / 2, length / 2);
    const wl::test::TCapture shot = wl::test::TCapture::Window(vert->HandleValue());
    EXPECT_EQ(shot.At(t / 2, vert->FLength / 2), disabledTrack);
    // The first arrow keeps its normal cell: where the normal and the other cell differ, the
    // window shows the normal one.
    const int a = vert->FArrowSize;
    auto cell = [&](int frame) {
        TElementDraw d = ElementDraw(*data_->Scrollbar, frame);
        d.Frames = kArrowCells;
        return BuildElementImage(RECT{0, 0, t, a}, d);
    };
    const auto normal = cell(9), other = cell(11);
    ASSERT_TRUE(normal && other);
    int differ = 0, asNormal = 0, asOther = 0;
    for (int y = 0; y < a; ++y)
        for (int x = 0; x < t; ++x) {
            const COLORREF n = GetPixel(normal->Canvas().Handle(), x, y), o = GetPixel(other->Canvas().Handle(), x, y);
            if (n == o || n == RGB(255, 0, 255) || o == RGB(255, 0, 255)) continue; // magenta: see-through
            ++differ;
            asNormal += shot.At(x, y) == n;
            asOther += shot.At(x, y) == o;
        }
    ASSERT_GT(differ, 0);
    EXPECT_GT(asNormal, differ / 2);
    EXPECT_EQ(asOther, 0);
}

TEST_F(ScrollbarsTest, PartUnderTheMouseShowsHotUntilTheMouseLeaves) {
    auto* list = ListBox(RECT{10, 10, 150, 160}, 80);
    TSkinScrollbar* skin = SkinScroll(list);
    ASSERT_NE(skin, nullptr);
    TWScrollbar* vert = skin->FVertBar.get();
    ASSERT_TRUE(Showing(vert));
    const int t = Thickness(), a = vert->FArrowSize;
    const COLORREF normal = ElementPixel(*data_->Scrollbar, kArrowCells, 9, SIZE{t, a}, t / 2, 2);
    const COLORREF hot = ElementPixel(*data_->Scrollbar, kArrowCells, 12, SIZE{t, a}, t / 2, 2);
    ASSERT_NE(normal, hot);
    const HWND h = vert->HandleValue();
    auto pixel = [&] {
        wl::test::PumpMessages(0);
        return wl::test::WindowPixel(h, t / 2, 2);
    };
    EXPECT_EQ(pixel(), normal);

    POINT over{t / 2, a / 2};
    ClientToScreen(h, &over);
    SetCursorPos(over.x, over.y);
    SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(t / 2, a / 2));
    EXPECT_EQ(vert->FHotPart, spFirstArrow);
    EXPECT_EQ(pixel(), hot);

    SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(t / 2, vert->FLength / 2));
    EXPECT_NE(vert->FHotPart, spFirstArrow);
    EXPECT_EQ(pixel(), normal);
    SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(t / 2, a / 2));
    SetCursorPos(0, 0);
    EXPECT_TRUE(wl::test::PumpUntil([&] { return vert->FHotPart == spNone; }, 3000)) << "leaving clears it";
    EXPECT_EQ(pixel(), normal);
}

// ---- presses handed to the native bar ------------------------------------------------------------

TEST_F(ScrollbarsTest, HeldArrowShowsPressedWhileTheNativeBarRepeats) {
    auto* list = ListBox(RECT{10, 10, 150, 160}, 80);
    TSkinScrollbar* skin = SkinScroll(list);
    ASSERT_NE(skin, nullptr);
    TWScrollbar* vert = skin->FVertBar.get();
    ASSERT_TRUE(Showing(vert));
    const int t = Thickness(), a = vert->FArrowSize, length = vert->FLength;
    const COLORREF pressed = ElementPixel(*data_->Scrollbar, kArrowCells, 14, SIZE{t, a}, t / 2, 2);
    const COLORREF normal = ElementPixel(*data_->Scrollbar, kArrowCells, 13, SIZE{t, a}, t / 2, 2);
    ASSERT_NE(pressed, normal);

    bool trackingSeen = false;
    int hotSeen = -2;
    COLORREF seen = CLR_INVALID;
    TTimedSteps steps(list->Handle(), 120,
                      {[] {}, [] {}, [&] {
                           trackingSeen = vert->FTracking;
                           hotSeen = vert->FHotPart;
                           UpdateWindow(vert->HandleValue());
                           seen = wl::test::WindowPixel(vert->HandleValue(), t / 2, length - a + 2);
                       }});
    SendMessageW(vert->HandleValue(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(t / 2, length - a / 2));
    EXPECT_TRUE(trackingSeen);
    EXPECT_EQ(hotSeen, spSecondArrow);
    EXPECT_EQ(seen, pressed) << "the held arrow shows its pressed cell";
    EXPECT_GT(SendMessageW(list->Handle(), LB_GETTOPINDEX, 0, 0), 2) << "the native bar repeated the step";
    EXPECT_FALSE(vert->FTracking);
    const SCROLLBARINFO native = NativeBar(list->Handle(), OBJID_VSCROLL);
    ExpectThumbAt(vert, TSpan{native.xyThumbTop, native.xyThumbBottom}, "after the repeat");
}

TEST_F(ScrollbarsTest, DraggingTheThumbMovesItWithTheCursorAndScrollsTheList) {
    auto* list = ListBox(RECT{10, 10, 150, 200}, 120);
    TSkinScrollbar* skin = SkinScroll(list);
    ASSERT_NE(skin, nullptr);
    TWScrollbar* vert = skin->FVertBar.get();
    ASSERT_TRUE(Showing(vert));
    const HWND h = list->Handle();
    const SCROLLBARINFO before = NativeBar(h, OBJID_VSCROLL);
    const int t = Thickness();
    const POINT grab{t / 2, (before.xyThumbTop + before.xyThumbBottom) / 2};
    POINT screen = grab;
    ClientToScreen(vert->HandleValue(), &screen);
    SetCursorPos(screen.x, screen.y);

    // Move the cursor 40 pixels down, then past the end of the bar (not so far that the
    // native bar lets the thumb snap back): the skinned thumb follows and stops at the second
    // arrow.
    LPARAM last = 0;
    auto moveTo = [&](int dy) {
        POINT p{screen.x, screen.y + dy};
        SetCursorPos(p.x, p.y);
        ScreenToClient(h, &p);
        last = MAKELPARAM(p.x, p.y);
        PostMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, last);
    };
    const int pastEnd = vert->FLength - grab.y + 15;
    int draggedStart = -1, clampedEnd = -1, hot = -2;
    TTimedSteps steps(h, 80,
                      {[&] { moveTo(40); }, [&] {
                           UpdateWindow(vert->HandleValue());
                           draggedStart = vert->FThumbStart;
                           hot = vert->FHotPart;
                       },
                       [&] { moveTo(pastEnd); }, [&] {
                           UpdateWindow(vert->HandleValue());
                           clampedEnd = vert->FThumbEnd;
                       }},
                      &last);
    SendMessageW(vert->HandleValue(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grab.x, grab.y));
    EXPECT_EQ(hot, spThumb);
    EXPECT_EQ(draggedStart, before.xyThumbTop + 40) << "the skinned thumb moved with the cursor";
    EXPECT_EQ(clampedEnd, vert->FLength - vert->FArrowSize) << "and stopped at the second arrow";
    EXPECT_GT(SendMessageW(h, LB_GETTOPINDEX, 0, 0), 60) << "the list scrolled with the thumb";
    const SCROLLBARINFO after = NativeBar(h, OBJID_VSCROLL);
    ExpectThumbAt(vert, TSpan{after.xyThumbTop, after.xyThumbBottom}, "after the drag");
}

// ---- stand-alone scroll bars ---------------------------------------------------------------------

TEST_F(ScrollbarsTest, StandAloneScrollBarIsCoveredWholeAndFollowsItsStates) {
    auto* bar = Add<TScrollBar>(RECT{10, 200, 250, 200 + GetSystemMetrics(SM_CYHSCROLL)});
    bar->SetParams(0, 0, 100);
    bar->SetPageSize(10);
    TSkinControl* c = CreateCompanion("TSkinScControl", bar);
    ASSERT_NE(c, nullptr);
    c->Attach(TAttachContext::ForScrollControl(bar, nullptr, data_.get(), nullptr));
    auto* skin = dynamic_cast<TSkinScControl*>(c);
    TWScrollbar* overlay = skin->FBar.get();
    wl::test::PumpMessages(0);
    ASSERT_TRUE(Showing(overlay));
    EXPECT_EQ(overlay->FKind, sbkControl);
    EXPECT_EQ(overlay->FVertical, 0);
    EXPECT_TRUE(SameRect(ScreenRect(overlay->HandleValue()), ScreenRect(bar->Handle())));

    for (int position : {0, 45, 91}) {
        bar->SetPosition(position);
        wl::test::PumpMessages(0);
        const SCROLLBARINFO native = NativeBar(bar->Handle(), OBJID_CLIENT);
        ExpectThumbAt(overlay, TSpan{native.xyThumbTop, native.xyThumbBottom},
                      ("position " + std::to_string(position)).c_str());
    }

    // Pressing the second arrow steps the real position (the native bar repeats meanwhile).
    bar->SetPosition(0);
    const int x = overlay->FLength - overlay->FArrowSize / 2;
    {
        TTimedSteps steps(bar->Handle(), 100, {[] {}});
        SendMessageW(overlay->HandleValue(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, Thickness() / 2));
    }
    EXPECT_GT(bar->Position(), 0);

    // Disabled: no thumb. Hidden: no overlay.
    bar->SetEnabled(false);
    wl::test::PumpMessages(0);
    EXPECT_EQ(FindAlongAxis(overlay, ThumbFill(*data_->HorzScrollThumb, 1, false)).Start, -1);
    bar->SetEnabled(true);
    bar->Hide();
    wl::test::PumpMessages(0);
    EXPECT_FALSE(Showing(overlay));
    bar->Show();
    wl::test::PumpMessages(0);
    EXPECT_TRUE(Showing(overlay));
}

TEST_F(ScrollbarsTest, StandAloneScrollBarStaysSkinnedWhenItsWindowIsMadeAnew) {
    auto* bar = Add<TScrollBar>(RECT{10, 10, 250, 10 + GetSystemMetrics(SM_CYHSCROLL)});
    TSkinControl* c = CreateCompanion("TSkinScControl", bar);
    ASSERT_NE(c, nullptr);
    c->Attach(TAttachContext::ForScrollControl(bar, nullptr, data_.get(), nullptr));
    auto* skin = dynamic_cast<TSkinScControl*>(c);
    const HWND old = bar->Handle();

    bar->SetKind(sbVertical); // re-creates the window
    wl::test::PumpMessages(0);
    ASSERT_NE(bar->Handle(), old);
    EXPECT_EQ(skin->Handle(), bar->Handle());
    EXPECT_EQ(skin->LifeState(), TLifeState::Attached);
    EXPECT_EQ(SendMessageW(bar->Handle(), SKM_ISSKINNED, 0, 0), 1);
    EXPECT_EQ(skin->FBar->FVertical, 1);
    EXPECT_TRUE(Showing(skin->FBar.get()));
    EXPECT_TRUE(SameRect(ScreenRect(skin->FBar->HandleValue()), ScreenRect(bar->Handle())));
}

// ---- without GetScrollBarInfo --------------------------------------------------------------------

TEST_F(ScrollbarsTest, WithoutScrollBarInfoTheNativeBarsStayInUse) {
    auto* list = ListBox(RECT{10, 10, 150, 110}, 50);
    OverrideScrollBarInfoEntry(nullptr);
    TSkinScrollbar* skin = SkinScroll(list);
    Repaint(list->Handle());
    const bool vertShown = skin && Showing(skin->FVertBar.get());
    OverrideScrollBarInfoEntry(std::nullopt);
    ASSERT_NE(skin, nullptr);
    EXPECT_FALSE(vertShown);
    // A stand-alone bar computes its thumb from its values instead.
    auto* bar = Add<TScrollBar>(RECT{10, 200, 250, 200 + GetSystemMetrics(SM_CYHSCROLL)});
    bar->SetParams(50, 0, 100);
    bar->SetPageSize(10);
    OverrideScrollBarInfoEntry(nullptr);
    TSkinControl* c = CreateCompanion("TSkinScControl", bar);
    c->Attach(TAttachContext::ForScrollControl(bar, nullptr, data_.get(), nullptr));
    TWScrollbar* overlay = dynamic_cast<TSkinScControl*>(c)->FBar.get();
    Repaint(bar->Handle());
    const bool barShown = Showing(overlay);
    const TSpan seen = FindAlongAxis(overlay, ThumbFill(*data_->HorzScrollThumb, 1, false));
    OverrideScrollBarInfoEntry(std::nullopt);
    EXPECT_TRUE(barShown);
    const TSpan expected = ControlThumb(overlay->FLength, overlay->FArrowSize, 0, 100, 10, 50);
    EXPECT_NEAR(seen.Start, expected.Start, 3);
    EXPECT_NEAR(seen.End, expected.End - 1, 3);
}

// ---- grids ---------------------------------------------------------------------------------------

// A scrollable control with a grid's colour of fixed cells.
class TFixedCellsList : public TListBox {
    WL_CLASS(TFixedCellsList, TListBox)
public:
    using TListBox::TListBox;
    TColor FixedColor() const { return fixed_; }
    void SetFixedColor(TColor c) { fixed_ = c; }

private:
    TColor fixed_ = RGB(1, 2, 3);
};

WL_DEFINE_CLASS(TFixedCellsList, [](ClassBuilder<TFixedCellsList>& c) {
    c.Color("FixedColor", &TFixedCellsList::FixedColor, &TFixedCellsList::SetFixedColor);
})

TEST_F(ScrollbarsTest, FixedCellsTakeTheFaceColourWhileSkinnedAndGetTheirOwnBack) {
    auto* grid = Add<TFixedCellsList>(RECT{10, 10, 150, 110});
    TSkinScrollbar* skin = SkinScroll(grid);
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(grid->FixedColor(), data_->ButtonFace);
    EXPECT_EQ(grid->Color(), clWindow) << "the control's own colour stays";
    skin->Restore();
    EXPECT_EQ(grid->FixedColor(), RGB(1, 2, 3));
    delete skin;
    EXPECT_EQ(grid->FixedColor(), RGB(1, 2, 3));

    // A system colour is handed over as such, and comes back as such.
    grid->SetFixedColor(clHighlight);
    data_->ButtonFace = clBtnFace;
    skin = SkinScroll(grid);
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(grid->FixedColor(), clBtnFace);
    skin->Restore();
    EXPECT_EQ(grid->FixedColor(), clHighlight);
}

// ---- attach and detach ---------------------------------------------------------------------------

TEST_F(ScrollbarsTest, DetachInEitherOrderGivesTheControlItsOwnProcedureAndLook) {
    for (bool companionFirst : {true, false}) {
        auto* list = ListBox(RECT{10, 10, 150, 110}, 50);
        const HWND h = list->Handle();
        const LONG_PTR ownProc = GetWindowLongPtrW(h, GWLP_WNDPROC);
        wl::test::PumpMessages(0);
        const SCROLLBARINFO native = NativeBar(h, OBJID_VSCROLL);
        const RECT w = ScreenRect(h);
        const POINT probe{native.rcScrollBar.left - w.left + 3, (native.rcScrollBar.top + native.rcScrollBar.bottom) / 2 - w.top};
        Repaint(h);
        const COLORREF ownLook = wl::test::WindowPixel(h, probe.x, probe.y);

        int seen = 0;
        auto layer = std::make_unique<TWindowProcLayer>(list->WindowProc.Add(
            [&](TMessage& m, const TWindowProcChain::Previous& previous) {
                if (m.Msg == LB_GETCOUNT) ++seen;
                previous(m);
            }));
        TSkinScrollbar* skin = SkinScroll(list);
        ASSERT_NE(skin, nullptr);
        EXPECT_EQ(GetWindowLongPtrW(h, GWLP_WNDPROC), ownProc) << "no subclassing of a control object";
        Repaint(h);
        EXPECT_NE(wl::test::WindowPixel(h, probe.x, probe.y), ownLook) << "skinned";
        const HWND overlay = skin->FVertBar->HandleValue();

        if (companionFirst) {
            delete skin;
            layer.reset();
        } else {
            layer.reset();
            delete skin;
        }
        EXPECT_FALSE(IsWindow(overlay)) << "the overlay went with its companion";
        EXPECT_EQ(GetWindowLongPtrW(h, GWLP_WNDPROC), ownProc);
        EXPECT_EQ(SendMessageW(h, LB_GETCOUNT, 0, 0), 50);
        EXPECT_EQ(SendMessageW(h, SKM_ISSKINNED, 0, 0), 0);
        Repaint(h);
        EXPECT_EQ(wl::test::WindowPixel(h, probe.x, probe.y), ownLook) << "the native bar shows again";
        EXPECT_EQ(seen, 0) << "nothing routed through a layer after it was removed";
        delete list;
    }
}

TEST_F(ScrollbarsTest, BareWindowBarsAreSkinnedAndItsProcedureRestoredInEitherOrder) {
    for (bool companionFirst : {true, false}) {
        const HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL,
                                          200, 10, 120, 100, form_->Handle(), nullptr, GetModuleHandleW(nullptr),
                                          nullptr);
        ASSERT_NE(list, nullptr);
        for (int i = 0; i < 40; ++i) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"row"));
        const LONG_PTR ownProc = GetWindowLongPtrW(list, GWLP_WNDPROC);
        TSkinControl* c = CreateCompanion("TSkinScrollbarH", form_.get());
        ASSERT_NE(c, nullptr);
        c->Attach(TAttachContext::ForWindow(list, nullptr, data_.get(), nullptr));
        auto* skin = dynamic_cast<TSkinScrollbarH*>(c);
        wl::test::PumpMessages(0);
        ASSERT_TRUE(Showing(skin->FVertBar.get()));
        EXPECT_TRUE(SameRect(ScreenRect(skin->FVertBar->HandleValue()), NativeBar(list, OBJID_VSCROLL).rcScrollBar));
        EXPECT_EQ(SendMessageW(list, SKM_ISSKINNED, 0, 0), 1);

        SendMessageW(list, LB_SETTOPINDEX, 20, 0);
        wl::test::PumpMessages(0);
        const SCROLLBARINFO native = NativeBar(list, OBJID_VSCROLL);
        ExpectThumbAt(skin->FVertBar.get(), TSpan{native.xyThumbTop, native.xyThumbBottom}, "bare list box");

        // Another subclass over the same window, removed before or after the companion.
        int seen = 0;
        auto other = std::make_unique<TWindowSubclass>();
        other->Attach(list, [&](TMessage& m) {
            if (m.Msg == LB_GETCOUNT) ++seen;
            other->CallPrevious(m);
        });
        if (companionFirst) {
            delete c;
            EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 40);
            EXPECT_EQ(seen, 1);
            other.reset();
        } else {
            other.reset();
            delete c;
        }
        EXPECT_EQ(GetWindowLongPtrW(list, GWLP_WNDPROC), ownProc);
        EXPECT_EQ(SendMessageW(list, SKM_ISSKINNED, 0, 0), 0);
        DestroyWindow(list);
    }
}

// ---- re-created windows --------------------------------------------------------------------------

TSkinCompanion* g_recreatedFrom = nullptr;

TEST_F(ScrollbarsTest, ReCreatedWindowGetsAFreshCompanionThroughItsForm) {
    auto* box = Add<TScrollBox>(RECT{10, 10, 200, 150});
    auto* inner = Add<TPanel>(RECT{0, 0, 150, 400}, box);
    (void)inner;
    box->UpdateScrollBars();
    TWinSkinForm* form = SkinForm();
    ASSERT_NE(form, nullptr);

    // What the discovery code does: the same kind of companion attached to the same control.
    const TControlDiscovery saved = ControlDiscovery();
    TControlDiscovery hooks = saved;
    hooks.RecreateScroll = [](TWinSkinForm& f, TSkinCompanion& previous) {
        g_recreatedFrom = &previous;
        auto* control = dynamic_cast<TWinControl*>(previous.Control());
        const char* kind = dynamic_cast<TSkinListView*>(&previous) ? "TSkinListView" : "TSkinScrollbar";
        if (TSkinControl* fresh = CreateCompanion(kind, control))
            fresh->Attach(TAttachContext::ForScroll(control, &f, f.SkinData(), &f.ControlCanvas()));
    };
    SetControlDiscovery(hooks);

    // The form's discovery may have given the box its companion already; one is enough.
    TSkinControl* first = nullptr;
    for (TSkinCompanion* c : form->Controls())
        if (c && c->Handle() == box->Handle()) first = dynamic_cast<TSkinControl*>(c);
    if (!first) {
        first = CreateCompanion("TSkinScrollbar", box);
        first->Attach(TAttachContext::ForScroll(box, form, data_.get(), &form->ControlCanvas()));
    }
    ASSERT_NE(first, nullptr);
    wl::test::PumpMessages(0);
    auto* firstSkin = dynamic_cast<TSkinScrollbar*>(first);
    ASSERT_TRUE(Showing(firstSkin->FVertBar.get()));
    const HWND oldOverlay = firstSkin->FVertBar->HandleValue();
    const HWND old = box->Handle();

    box->SetBorderStyle(bsNone); // re-creates the window
    wl::test::PumpUntil([&] { return g_recreatedFrom != nullptr; }, 2000);
    wl::test::PumpMessages(0);
    SetControlDiscovery(saved);
    EXPECT_EQ(g_recreatedFrom, static_cast<TSkinCompanion*>(first));
    g_recreatedFrom = nullptr;

    ASSERT_NE(box->Handle(), old);
    TSkinScrollbar* fresh = nullptr;
    for (TSkinCompanion* c : form->Controls())
        if (c && c->Handle() == box->Handle()) fresh = dynamic_cast<TSkinScrollbar*>(c);
    ASSERT_NE(fresh, nullptr) << "the form lists a companion for the new window";
    EXPECT_FALSE(IsWindow(oldOverlay)) << "the old companion and its overlays are gone";
    box->UpdateScrollBars();
    Repaint(box->Handle());
    EXPECT_TRUE(Showing(fresh->FVertBar.get()));
    EXPECT_FALSE(fresh->FDrawBorder);
    EXPECT_TRUE(SameRect(ScreenRect(fresh->FVertBar->HandleValue()), NativeBar(box->Handle(), OBJID_VSCROLL).rcScrollBar));
}

// ---- list views ----------------------------------------------------------------------------------

TEST_F(ScrollbarsTest, ListViewGetsItsHeaderCompanionAndSkinnedBars) {
    auto* view = Add<TListView>(RECT{10, 10, 260, 170});
    view->SetViewStyle(vsReport);
    view->AddColumn("Word", 120);
    view->AddColumn("Meaning", 200);
    // Rows straight into the window: the bars only need something to scroll.
    for (int i = 0; i < 60; ++i) {
        std::wstring text = L"word " + std::to_wstring(i);
        LVITEMW row{};
        row.mask = LVIF_TEXT;
        row.iItem = i;
        row.pszText = text.data();
        SendMessageW(view->Handle(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
    }
    auto* skin = dynamic_cast<TSkinListView*>(SkinScroll(view, "TSkinListView"));
    ASSERT_NE(skin, nullptr);
    const HWND header = reinterpret_cast<HWND>(SendMessageW(view->Handle(), LVM_GETHEADER, 0, 0));
    ASSERT_NE(header, nullptr);
    ASSERT_NE(skin->FHeader, nullptr) << "the header companion is linked in";
    EXPECT_STREQ(skin->FHeader->ClassName().c_str(), "TSkinHeader");
    EXPECT_EQ(skin->FHeader->Handle(), header);
    EXPECT_EQ(SendMessageW(header, SKM_ISSKINNED, 0, 0), 1);

    // The header's first item shows the skin's header element.
    Repaint(view->Handle());
    RECT item{};
    SendMessageW(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    const SIZE size{item.right - item.left, item.bottom - item.top};
    EXPECT_EQ(wl::test::WindowPixel(header, item.left + size.cx - 6, size.cy / 2),
              ElementPixel(*data_->Headerbar, data_->Headerbar->Frame, 1, size, size.cx - 6, size.cy / 2));

    ASSERT_TRUE(Showing(skin->FVertBar.get()));
    EXPECT_TRUE(Showing(skin->FHorzBar.get())) << "the columns are wider than the view";
    SendMessageW(view->Handle(), LVM_SCROLL, 0, 200);
    wl::test::PumpMessages(0);
    const SCROLLBARINFO native = NativeBar(view->Handle(), OBJID_VSCROLL);
    ExpectThumbAt(skin->FVertBar.get(), TSpan{native.xyThumbTop, native.xyThumbBottom}, "list view");

    // Freeing the list view's companion takes the header's along.
    delete skin;
    EXPECT_EQ(SendMessageW(header, SKM_ISSKINNED, 0, 0), 0);
}

// ---- handle counts -------------------------------------------------------------------------------

TEST_F(ScrollbarsTest, HandleCountsStayFlatOverAttachScrollAndDetach) {
    auto* list = ListBox(RECT{10, 10, 150, 160}, 80);
    auto* bar = Add<TScrollBar>(RECT{10, 200, 250, 200 + GetSystemMetrics(SM_CYHSCROLL)});
    auto cycle = [&] {
        TSkinScrollbar* skin = SkinScroll(list);
        TSkinControl* c = CreateCompanion("TSkinScControl", bar);
        c->Attach(TAttachContext::ForScrollControl(bar, nullptr, data_.get(), nullptr));
        for (int top = 0; top < 60; top += 20) {
            SendMessageW(list->Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
            bar->SetPosition(top);
            Repaint(list->Handle());
            Repaint(bar->Handle());
        }
        delete skin;
        delete c;
        wl::test::PumpMessages(0);
    };
    // The warm-up fills the caches of the drawing primitives once.
    wl::test::ExpectNoLeak([&](int) { cycle(); });
}

} // namespace
} // namespace skincontrols
