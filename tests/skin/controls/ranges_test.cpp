// Skinned range controls: progress fill by pixels in both styles and orientations, the track
// bar's channel and thumb at positions and orientations and dragging it, up-down buttons
// pressed, disabled and changing their buddy, detaching in either order and handle counts.
#include "controls_fixture.h"

#include "skin/controls/ranges.h"
#include "skin/data/skin_elements.h"
#include "support/capture.h"
#include "support/gui.h"
#include "support/leak_loop.h"
#include "ui/comctrls.h"
#include "ui/graphics_colors.h"
#include "ui/stdctrls.h"

#include <commctrl.h>

namespace skincontrols {
namespace {

using namespace wl;
using wl::test::WindowPixel;

constexpr COLORREF kKey = RGB(255, 0, 255);

// Cell `frame` of `frames` of `image` stretched to `size` as StretchBlt does it, pixel (x, y).
COLORREF StretchedCellPixel(TBitmap& image, int frames, int frame, SIZE size, int x, int y) {
    const int cw = image.Width() / frames;
    TBitmap out;
    out.SetSize(size.cx, size.cy);
    HDC dc = out.Canvas().Handle();
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, size.cx, size.cy, image.Canvas().Handle(), (frame - 1) * cw, 0, cw,
               image.Height(), SRCCOPY);
    return GetPixel(dc, x, y);
}

class SkinRanges : public SkinControlsTest {
protected:
    COLORREF At(HWND w, int x, int y) {
        Repaint(w);
        return WindowPixel(w, x, y);
    }
    COLORREF Face() const { return static_cast<COLORREF>(ColorToRGB(data_->ButtonFace)); }
    // A keyed skin pixel shows the face colour the companions fill their buffers with.
    COLORREF OnFace(COLORREF skin) const { return skin == kKey ? Face() : skin; }
    TProgressBar* MakeProgress(bool vertical, int min = 0, int max = 100) {
        auto* p = Add<TProgressBar>(vertical ? RECT{20, 20, 42, 220} : RECT{20, 20, 220, 42});
        p->SetOrientation(vertical ? pbVertical : pbHorizontal);
        p->SetMin(min);
        p->SetMax(max);
        p->HandleNeeded();
        return p;
    }
    static void Click(HWND w, POINT p) {
        SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        SendMessageW(w, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
        wl::test::PumpMessages(0);
    }
};

// ---- progress bars
// -------------------------------------------------------------------------------

TEST_F(SkinRanges, ProgressFillMatchesTheSkinCellsAtEachPosition) {
    ASSERT_TRUE(HasElement(data_->Progress.get()));
    TDataSkinBorder& element = *data_->Progress;
    ASSERT_EQ(element.Style, 0);
    TProgressBar* bar = MakeProgress(false);
    ASSERT_NE(Attach("TSkinProgress", bar), nullptr);
    HWND h = bar->Handle();
    const SIZE size{200, 22};
    const int y = size.cy / 2;
    struct Case {
        int pos;
        int filled; // bar length in pixels
    } cases[] = {{0, 0}, {25, 50}, {50, 100}, {80, 160}, {100, 200}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pos);
        bar->SetPosition(c.pos);
        Repaint(h);
        if (c.filled > 0) {
            const SIZE filled{c.filled, size.cy};
            EXPECT_EQ(WindowPixel(h, c.filled / 2, y),
                      OnFace(ElementPixel(element, 2, 2, filled, c.filled / 2, y)));
        }
        if (c.filled < size.cx) {
            const int x = (c.filled + size.cx) / 2;
            EXPECT_EQ(WindowPixel(h, x, y), OnFace(ElementPixel(element, 2, 1, size, x, y)));
        }
    }
    // The two cells differ where the test looks, so a wrong fill cannot pass.
    EXPECT_NE(ElementPixel(element, 2, 1, size, 100, y), ElementPixel(element, 2, 2, size, 100, y));
}

TEST_F(SkinRanges, ProgressFillsAlongItsLengthInBothStylesAndOrientations) {
    struct Case {
        const char* name;
        bool chunk;
        bool vertical;
        int min, max, pos;
        int filledPercent; // of the length, from the left or from the bottom
    } cases[] = {
        {"bar, horizontal, a quarter", false, false, 0, 100, 25, 25},
        {"bar, horizontal, three quarters", false, false, 0, 100, 75, 75},
        {"bar, vertical, a quarter from the bottom", false, true, 0, 100, 25, 25},
        {"bar, range from 50: its lower end is empty", false, false, 50, 100, 50, 0},
        {"bar, range from 50, half way", false, false, 50, 100, 75, 50},
        {"chunks, horizontal, half", true, false, 0, 100, 50, 50},
        {"chunks, vertical, three quarters from the bottom", true, true, 0, 100, 75, 75},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        data_->Progress->Style = c.chunk ? 1 : 0;
        data_->Progress->Frame = c.chunk ? 1 : 2;
        TProgressBar* bar = MakeProgress(c.vertical, c.min, c.max);
        ASSERT_NE(Attach("TSkinProgress", bar), nullptr);
        HWND h = bar->Handle();
        const int length = 200;
        // Sample along the middle line at 10 % steps, each against the empty track's pixel.
        auto sample = [&](int percent) {
            const int along = length * percent / 100;
            return c.vertical ? WindowPixel(h, 11, length - 1 - along) : WindowPixel(h, along, 11);
        };
        bar->SetPosition(c.min);
        Repaint(h);
        std::vector<COLORREF> empty;
        for (int p = 10; p <= 90; p += 10)
            empty.push_back(sample(p));
        bar->SetPosition(c.pos);
        Repaint(h);
        for (int p = 10, i = 0; p <= 90; p += 10, ++i) {
            if (std::abs(p - c.filledPercent) < 5) continue; // the bar's rounded end
            if (p < c.filledPercent)
                EXPECT_NE(sample(p), empty[i]) << p << " % is filled";
            else
                EXPECT_EQ(sample(p), empty[i]) << p << " % is empty";
        }
        delete bar;
    }
}

TEST_F(SkinRanges, ProgressWithoutItsElementPaintsItself) {
    TProgressBar* bar = MakeProgress(false);
    bar->SetPosition(50);
    HWND h = bar->Handle();
    const COLORREF own = At(h, 150, 11);
    TSkinControl* skin = Attach("TSkinProgress", bar);
    ASSERT_NE(skin, nullptr);
    EXPECT_NE(At(h, 150, 11), own);
    auto saved = std::move(data_->Progress);
    EXPECT_EQ(At(h, 150, 11), own);
    data_->Progress = std::move(saved);
    EXPECT_NE(At(h, 150, 11), own);
}

// ---- track bars
// ----------------------------------------------------------------------------------

struct ThumbCase {
    const char* name;
    TTrackBarOrientation orientation;
    TTickMark ticks;
    std::unique_ptr<TDataSkinObject> TSkinData::*element;
};

TEST_F(SkinRanges, TrackBarThumbShowsCellTwoOfItsOrientationAtEachPosition) {
    const ThumbCase cases[] = {
        {"horizontal, ticks below", trHorizontal, tmBottomRight, &TSkinData::TrackbarThumbHorz},
        {"horizontal, ticks above", trHorizontal, tmTopLeft, &TSkinData::TrackbarThumbHorz},
        {"horizontal, ticks on both sides", trHorizontal, tmBoth, &TSkinData::TrackbarThumbHorz},
        {"vertical, ticks right", trVertical, tmBottomRight, &TSkinData::TrackbarThumbVert},
        {"vertical, ticks left", trVertical, tmTopLeft, &TSkinData::TrackbarThumbVert},
        {"vertical, ticks on both sides", trVertical, tmBoth, &TSkinData::TrackbarThumbVert},
    };
    for (const ThumbCase& c : cases) {
        SCOPED_TRACE(c.name);
        TDataSkinObject* element = (data_.get()->*c.element).get();
        ASSERT_TRUE(HasElement(element));
        auto* track = Add<TTrackBar>(c.orientation == trHorizontal ? RECT{20, 20, 260, 60}
                                                                   : RECT{20, 20, 60, 260});
        track->SetOrientation(c.orientation);
        track->SetTickMarks(c.ticks);
        track->SetMax(10);
        track->HandleNeeded();
        ASSERT_NE(Attach("TSkinTrackBar", track), nullptr);
        HWND h = track->Handle();
        RECT previous{};
        for (int pos : {0, 5, 10}) {
            SCOPED_TRACE(pos);
            track->SetPosition(pos);
            Repaint(h);
            RECT t{};
            SendMessageW(h, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&t));
            const SIZE size{t.right - t.left, t.bottom - t.top};
            const int cx = size.cx / 2, cy = size.cy / 2;
            const COLORREF expected =
                StretchedCellPixel(element->Image, element->Frame, 2, size, cx, cy);
            ASSERT_NE(expected, kKey) << "the thumb's centre is opaque";
            EXPECT_EQ(WindowPixel(h, t.left + cx, t.top + cy), expected);
            if (pos == 5) {
                // Every opaque pixel of the cell, so that a thumb of another shape shows up.
                const wl::test::TCapture shot = wl::test::TCapture::Window(h);
                int opaque = 0, wrong = 0;
                for (int y = 0; y < size.cy; ++y)
                    for (int x = 0; x < size.cx; ++x) {
                        const COLORREF e = StretchedCellPixel(element->Image, element->Frame, 2, size, x, y);
                        if (e == kKey) continue;
                        ++opaque;
                        wrong += shot.At(t.left + x, t.top + y) != e;
                    }
                EXPECT_GT(opaque, 0);
                EXPECT_EQ(wrong, 0);
            }
            if (pos > 0) {
                EXPECT_FALSE(EqualRect(&t, &previous)) << "the thumb moved";
            }
            previous = t;
        }
        delete track;
    }
}

TEST_F(SkinRanges, TrackBarChannelComesFromTheTrackElement) {
    struct Case {
        const char* name;
        TTrackBarOrientation orientation;
        bool exchanged; // the channel rectangle answered with its axes exchanged
    } cases[] = {
        {"horizontal", trHorizontal, false},
        {"vertical", trVertical, false},
        {"vertical, channel answered lying down", trVertical, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const bool horizontal = k.orientation == trHorizontal;
        auto* track = Add<TTrackBar>(horizontal ? RECT{20, 20, 260, 60} : RECT{20, 20, 60, 260});
        track->SetOrientation(k.orientation);
        track->SetMax(10);
        track->SetPosition(10); // the thumb out of the way at one end
        track->HandleNeeded();
        HWND h = track->Handle();
        RECT c{};
        SendMessageW(h, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&c));
        // Some systems answer a vertical channel as if it lay down; this one may not, so the
        // answer is turned here beneath the companion.
        auto lying =
            track->WindowProc.Add([&](TMessage& m, const TWindowProcChain::Previous& prev) {
                prev(m);
                if (k.exchanged && m.Msg == TBM_GETCHANNELRECT && m.LParam) {
                    RECT& r = *reinterpret_cast<RECT*>(m.LParam);
                    if (r.bottom - r.top > r.right - r.left)
                        r = RECT{r.top, r.left, r.bottom, r.right};
                }
            });
        ASSERT_NE(Attach("TSkinTrackBar", track), nullptr);
        Repaint(h);
        TDataSkinObject& e = horizontal ? *data_->Track : *data_->TrackVert;
        const COLORREF skin =
            GetPixel(e.Image.Canvas().Handle(), e.Image.Width() / 2, e.Image.Height() / 2);
        ASSERT_NE(skin, kKey);
        // A quarter along the channel, on the middle line of the groove image.
        if (horizontal) {
            const int y = e.Image.Height() < c.bottom - c.top
                              ? c.top + (c.bottom - c.top - e.Image.Height()) / 2
                              : c.top;
            EXPECT_EQ(WindowPixel(h, c.left + (c.right - c.left) / 4, y + e.Image.Height() / 2),
                      skin);
        } else {
            ASSERT_GT(c.bottom - c.top, c.right - c.left)
                << "this system answers the channel standing";
            const int x = e.Image.Width() < c.right - c.left
                              ? c.left + (c.right - c.left - e.Image.Width()) / 2
                              : c.left;
            EXPECT_EQ(WindowPixel(h, x + e.Image.Width() / 2, c.top + (c.bottom - c.top) / 4),
                      skin);
        }
        delete track;
    }
}

TEST_F(SkinRanges, CustomDrawAnswersLeaveTheTicksToTheControl) {
    auto* track = Add<TTrackBar>(RECT{20, 20, 260, 60});
    auto* skin = dynamic_cast<TSkinTrackBar*>(Attach("TSkinTrackBar", track));
    ASSERT_NE(skin, nullptr);
    TBitmap canvas;
    canvas.SetSize(240, 40);
    struct Case {
        DWORD stage;
        DWORD_PTR item;
        LRESULT answer;
    } cases[] = {
        {CDDS_PREPAINT, 0, CDRF_NOTIFYITEMDRAW},
        {CDDS_ITEMPREPAINT, TBCD_TICS, CDRF_DODEFAULT},
        {CDDS_ITEMPREPAINT, TBCD_THUMB, CDRF_SKIPDEFAULT},
        {CDDS_ITEMPREPAINT, TBCD_CHANNEL, CDRF_SKIPDEFAULT},
        {CDDS_POSTPAINT, 0, CDRF_DODEFAULT},
        {CDDS_ITEMPOSTPAINT, TBCD_THUMB, CDRF_DODEFAULT},
    };
    for (const Case& c : cases) {
        NMCUSTOMDRAW draw{};
        draw.hdr.hwndFrom = track->Handle();
        draw.hdr.code = static_cast<UINT>(NM_CUSTOMDRAW);
        draw.dwDrawStage = c.stage;
        draw.dwItemSpec = c.item;
        draw.hdc = canvas.Canvas().Handle();
        EXPECT_EQ(track->Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw)), c.answer)
            << "stage " << c.stage << " item " << c.item;
    }
    // A notification from another window (a tool tip) is not the bar's drawing.
    NMCUSTOMDRAW other{};
    other.hdr.hwndFrom = form_->Handle();
    other.hdr.code = static_cast<UINT>(NM_CUSTOMDRAW);
    other.dwDrawStage = CDDS_PREPAINT;
    EXPECT_EQ(SendMessageW(track->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&other)), 0);
}

TEST_F(SkinRanges, DraggingTheSkinnedThumbChangesThePosition) {
    auto* track = Add<TTrackBar>(RECT{20, 20, 260, 60});
    track->SetMax(10);
    ASSERT_NE(Attach("TSkinTrackBar", track), nullptr);
    int changes = 0;
    track->OnChange = [&](TObject*) { ++changes; };
    HWND h = track->Handle();
    Repaint(h);
    RECT t{}, c{};
    SendMessageW(h, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&t));
    SendMessageW(h, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&c));
    const int y = (t.top + t.bottom) / 2;
    const POINT from{(t.left + t.right) / 2, y};
    const POINT to{c.left + (c.right - c.left) * 7 / 10, y};
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    for (int x = from.x; x <= to.x; x += 10)
        SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, y));
    SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(to.x, y));
    wl::test::PumpMessages(0);
    EXPECT_GE(track->Position(), 6);
    EXPECT_LE(track->Position(), 8);
    EXPECT_GT(changes, 0);
    RECT moved{};
    SendMessageW(h, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&moved));
    const SIZE size{moved.right - moved.left, moved.bottom - moved.top};
    TDataSkinObject& e = *data_->TrackbarThumbHorz;
    EXPECT_EQ(At(h, moved.left + size.cx / 2, moved.top + size.cy / 2),
              StretchedCellPixel(e.Image, e.Frame, 2, size, size.cx / 2, size.cy / 2))
        << "the skin's thumb drawn where the thumb now is";
}

// ---- up-down buttons
// -----------------------------------------------------------------------------

class SkinUpDowns : public SkinRanges {
protected:
    void Make(TUDOrientation o) {
        edit_ = Add<TEdit>(RECT{20, 20, 80, 44});
        updown_ = Add<TUpDown>(o == udVertical ? RECT{80, 20, 98, 44} : RECT{80, 20, 120, 44});
        updown_->SetOrientation(o);
        updown_->SetMin(-10);
        updown_->SetMax(10);
        updown_->SetAssociate(edit_);
        updown_->HandleNeeded();
        skin_ = Attach("TSkinUpDown", updown_);
    }
    SIZE Size() const { return SIZE{updown_->Width(), updown_->Height()}; }
    // The middle of the first (upper or left) or second half, in client coordinates.
    POINT Half(bool second) const {
        const SIZE s = Size();
        if (updown_->Orientation() == udVertical)
            return POINT{s.cx / 2, second ? s.cy * 3 / 4 : s.cy / 4};
        return POINT{second ? s.cx * 3 / 4 : s.cx / 4, s.cy / 2};
    }
    // The skin's pixel near the top-left corner of a half in `cell` (away from the glyph).
    COLORREF CellCorner(int cell) const {
        const SIZE s = Size();
        const bool vertical = updown_->Orientation() == udVertical;
        TDataSkinBorder& e = vertical ? *data_->UpDownVert : *data_->UpDownHorz;
        const SIZE half = vertical ? SIZE{s.cx, s.cy / 2} : SIZE{s.cx / 2, s.cy};
        return OnFace(StretchedCellPixel(e.Image, e.Frame, cell, half, half.cx / 2, 2));
    }
    COLORREF Shown(bool second) {
        const SIZE s = Size();
        const bool vertical = updown_->Orientation() == udVertical;
        const int x = vertical ? s.cx / 2 : (second ? s.cx / 2 : 0) + (s.cx / 2) / 2;
        const int y = vertical ? (second ? s.cy / 2 : 0) + 2 : 2;
        return WindowPixel(updown_->Handle(), x, y);
    }
    void CursorOver(POINT client) {
        POINT screen = client;
        ClientToScreen(updown_->Handle(), &screen);
        SetCursorPos(screen.x, screen.y);
    }
    TEdit* edit_ = nullptr;
    TUpDown* updown_ = nullptr;
    TSkinControl* skin_ = nullptr;
};

TEST_F(SkinUpDowns, ClicksChangeTheBuddysValue) {
    struct Case {
        TUDOrientation orientation;
        bool second;
        const char* text;
    } cases[] = {
        {udVertical, false, "1"},  // upper button counts up
        {udVertical, true, "-1"},  // lower button counts down
        {udHorizontal, true, "1"}, // right button counts up
        {udHorizontal, false, "-1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.orientation == udVertical ? "vertical " : "horizontal ") +
                     c.text);
        Make(c.orientation);
        ASSERT_NE(skin_, nullptr);
        EXPECT_EQ(edit_->Text(), "0");
        Click(updown_->Handle(), Half(c.second));
        EXPECT_EQ(edit_->Text(), c.text);
        EXPECT_EQ(updown_->Position(), std::stoi(c.text));
        EXPECT_FALSE(skin_->MouseFlags() & mfPressed);
        delete updown_;
        delete edit_;
    }
}

TEST_F(SkinUpDowns, PressedHalfShowsItsPressedCellAndTheOtherStaysNormal) {
    struct Case {
        TUDOrientation orientation;
        bool second;
        int pressedCell, otherCell;
    } cases[] = {
        {udVertical, true, 6, 1},  // lower pressed: cell 6, upper stays 1
        {udVertical, false, 2, 5}, // upper pressed: cell 2, lower stays 5
        {udHorizontal, true, 6, 1},
        {udHorizontal, false, 2, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pressedCell);
        Make(c.orientation);
        ASSERT_NE(skin_, nullptr);
        HWND h = updown_->Handle();
        Repaint(h);
        EXPECT_EQ(Shown(false), CellCorner(1)) << "normal first button";
        EXPECT_EQ(Shown(true), CellCorner(5)) << "normal second button";
        const POINT p = Half(c.second);
        CursorOver(p);
        SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        wl::test::PumpMessages(0);
        EXPECT_EQ(Shown(c.second), CellCorner(c.pressedCell)) << "the pressed button";
        EXPECT_EQ(Shown(!c.second), CellCorner(c.otherCell)) << "the other button";
        SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
        wl::test::PumpMessages(0);
        EXPECT_EQ(Shown(c.second), CellCorner(c.second ? 5 : 1)) << "released";
        delete updown_;
        delete edit_;
    }
}

TEST_F(SkinUpDowns, DisabledShowsCellThreeOnBothButtons) {
    Make(udVertical);
    ASSERT_NE(skin_, nullptr);
    ASSERT_NE(CellCorner(3), CellCorner(1));
    updown_->SetEnabled(false);
    Repaint(updown_->Handle());
    EXPECT_EQ(Shown(false), CellCorner(3));
    EXPECT_EQ(Shown(true), CellCorner(7));
}

TEST(SkinUpDownCells, ArrowsAndStatesMapToTheirCells) {
    struct Case {
        int arrow, state, cell;
    } cases[] = {
        {0, 1, 1}, {0, 2, 2}, {0, 3, 3}, {0, 4, 4}, // up
        {1, 1, 5}, {1, 2, 6}, {1, 3, 7}, {1, 4, 8}, // down
        {2, 1, 1}, {2, 4, 4},                       // left
        {3, 1, 5}, {3, 3, 7},                       // right
    };
    for (const Case& c : cases)
        EXPECT_EQ(TSkinUpDown::CellOf(c.arrow, c.state), c.cell) << c.arrow << "/" << c.state;
}

TEST(SkinProgressBar, LengthOfTheFilledPart) {
    struct Case {
        int length, pos, min, max, bar;
    } cases[] = {
        {200, 50, 0, 100, 100},  {200, 0, 0, 100, 0},  {200, 100, 0, 100, 200},
        {200, 150, 0, 100, 200}, {200, -5, 0, 100, 0}, {200, 75, 50, 100, 100},
        {200, 50, 50, 100, 0},   {200, 5, 10, 10, 0},  {200, 5, 10, 0, 0},
        {0, 5, 0, 10, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TSkinProgress::BarLength(c.length, c.pos, c.min, c.max), c.bar)
            << c.length << " " << c.pos << " [" << c.min << ", " << c.max << "]";
}

// ---- attach, detach and handles
// ------------------------------------------------------------------

TEST_F(SkinRanges, DetachingInEitherOrderLeavesEachControlsOwnProcedureAndLook) {
    struct Kind {
        const char* companion;
        std::function<TWinControl*()> make;
        POINT probe;
    };
    const Kind kinds[] = {
        {"TSkinProgress",
         [&] {
             auto* p = MakeProgress(false);
             p->SetPosition(30);
             return p;
         },
         POINT{100, 11}},
        {"TSkinTrackBar",
         [&] {
             return Add<TTrackBar>(RECT{20, 20, 260, 60});
         },
         POINT{0, 0}},
        {"TSkinUpDown",
         [&] {
             return Add<TUpDown>(RECT{20, 20, 38, 44});
         },
         POINT{9, 5}},
    };
    for (const Kind& k : kinds) {
        for (bool companionFirst : {true, false}) {
            SCOPED_TRACE(std::string(k.companion) +
                         (companionFirst ? ", companion freed first" : ", layer freed first"));
            TWinControl* control = k.make();
            HWND h = control->Handle();
            POINT probe = k.probe;
            if (std::string(k.companion) == "TSkinTrackBar") {
                RECT t{};
                SendMessageW(h, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&t));
                probe = POINT{(t.left + t.right) / 2, (t.top + t.bottom) / 2};
            }
            const int layers = control->WindowProc.LayerCount();
            const COLORREF own = At(h, probe.x, probe.y);
            TSkinControl* skin = Attach(k.companion, control);
            ASSERT_NE(skin, nullptr);
            EXPECT_NE(At(h, probe.x, probe.y), own) << "the skin shows";
            auto outer = control->WindowProc.Add(
                [](TMessage& m, const TWindowProcChain::Previous& prev) { prev(m); });
            if (companionFirst) {
                delete skin;
                outer.Remove();
            } else {
                outer.Remove();
                delete skin;
            }
            EXPECT_EQ(control->WindowProc.LayerCount(), layers);
            EXPECT_EQ(SendMessageW(h, SKM_ISSKINNED, 0, 0), 0);
            EXPECT_EQ(At(h, probe.x, probe.y), own);
            delete control;
        }
    }
}

TEST_F(SkinRanges, RepaintsAndAttachCyclesLeaveNoHandlesBehind) {
    TProgressBar* bar = MakeProgress(false);
    bar->SetPosition(40);
    auto* track = Add<TTrackBar>(RECT{20, 60, 260, 100});
    auto* updown = Add<TUpDown>(RECT{20, 110, 38, 134});
    wl::test::TLeakLoop loop;
    loop.Paint = [&] { Repaint(form_->Handle()); };
    wl::test::ExpectNoLeak(
        [&](int i) {
            TSkinControl* a = Attach("TSkinProgress", bar);
            TSkinControl* b = Attach("TSkinTrackBar", track);
            TSkinControl* c = Attach("TSkinUpDown", updown);
            bar->SetPosition(i * 7 % 100);
            track->SetPosition(i % 10);
            Repaint(form_->Handle());
            delete a;
            delete b;
            delete c;
        },
        loop);
}

} // namespace
} // namespace skincontrols
