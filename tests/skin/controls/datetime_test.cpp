// Skinned date-time pickers: the arrow button's place, its states by pixels, the calendar it
// opens through the picker, the picker's border, and detaching.
#include "controls_fixture.h"

#include "skin/controls/datetime.h"
#include "skin/data/skin_elements.h"
#include "skin/draw/skin_draw.h"
#include "support/gui.h"
#include "ui/comctrls.h"

#include <commctrl.h>

namespace skincontrols {
namespace {

using namespace wl;

// Pickers with the extended styles the tests need.
class TEdgePicker : public TDateTimePicker {
    WL_CLASS(TEdgePicker, TDateTimePicker)
public:
    using TDateTimePicker::TDateTimePicker;
    DWORD ExtraExStyle = WS_EX_CLIENTEDGE;

protected:
    void CreateParams(TCreateParams& p) override {
        TDateTimePicker::CreateParams(p);
        p.exStyle |= ExtraExStyle;
    }
};
WL_DEFINE_CLASS(TEdgePicker, WL_NO_PROPERTIES)

class DateTimeSkin : public SkinControlsTest {
protected:
    TEdgePicker* MakePicker(DWORD exStyle) {
        auto* p = new TEdgePicker(form_.get());
        p->ExtraExStyle = exStyle;
        p->SetParent(form_.get());
        p->SetBounds(20, 20, 180, 24);
        p->HandleNeeded();
        return p;
    }
    TSkinDateTime* Skin(TWinControl* picker) {
        return dynamic_cast<TSkinDateTime*>(Attach("TSkinDateTime", picker));
    }
    // What the arrow shows for `frame` of the combo arrow at the arrow's size, at (x, y).
    COLORREF ArrowPixel(const TArrowButton& arrow, int frame, int x, int y) {
        TDataSkinObject& image = *data_->ComboxArrow;
        const TFrameCell cell = SelectFrame(image.Image, false, image.Frame, frame);
        TBitmap expected(arrow.Width(), arrow.Height());
        expected.Canvas().CopyRect(RECT{0, 0, arrow.Width(), arrow.Height()}, image.Image.Canvas(),
                                   RECT{cell.X, cell.Y, cell.X + cell.Width, cell.Y + cell.Height});
        return GetPixel(expected.Canvas().Handle(), x, y);
    }
};

TEST(DateTimeArrowBounds, RightEdgeOrTwoPixelsInForRightToLeft) {
    struct Case {
        int width, size;
        bool rtl;
        RECT expected;
    } cases[] = {
        {176, 17, false, {159, 0, 176, 18}},
        {176, 17, true, {2, 0, 19, 18}},
        {40, 20, false, {20, 0, 40, 21}},
        {40, 20, true, {2, 0, 22, 21}},
    };
    for (const Case& c : cases) {
        const RECT r = ArrowButtonBounds(c.width, c.size, c.rtl);
        EXPECT_TRUE(EqualRect(&r, &c.expected))
            << c.width << (c.rtl ? " rtl" : " ltr") << ": " << r.left << "," << r.top << ","
            << r.right << "," << r.bottom;
    }
}

TEST_F(DateTimeSkin, ArrowSitsOverTheDropDownButtonInThePickersWindow) {
    for (DWORD ex : {DWORD(WS_EX_CLIENTEDGE), DWORD(WS_EX_CLIENTEDGE | WS_EX_LEFTSCROLLBAR)}) {
        const bool rtl = (ex & WS_EX_LEFTSCROLLBAR) != 0;
        SCOPED_TRACE(rtl ? "right to left" : "left to right");
        auto* picker = MakePicker(ex);
        TSkinDateTime* skin = Skin(picker);
        ASSERT_NE(skin, nullptr);
        ASSERT_NE(skin->FArrow, nullptr);
        TArrowButton* arrow = skin->FArrow.get();
        HWND a = arrow->Handle();
        EXPECT_EQ(GetParent(a), picker->Handle());
        EXPECT_EQ(arrow->FPickerWindow, picker->Handle());
        EXPECT_FALSE(arrow->TabStop());
        EXPECT_NE(GetWindowLongPtrW(picker->Handle(), GWL_STYLE) & WS_CLIPCHILDREN, 0);
        RECT client{};
        GetClientRect(picker->Handle(), &client);
        const int size = GetSystemMetrics(SM_CXHSCROLL);
        EXPECT_EQ(arrow->Width(), size);
        EXPECT_EQ(arrow->Height(), size + 1);
        EXPECT_EQ(arrow->Top(), 0);
        EXPECT_EQ(arrow->Left(), rtl ? 2 : client.right - size);
        EXPECT_TRUE(IsWindowVisible(a));
        delete picker;
    }
}

TEST_F(DateTimeSkin, PickersWithSpinButtonsGetNoArrow) {
    auto* picker = MakePicker(WS_EX_CLIENTEDGE);
    picker->SetDateMode(dmUpDown);
    picker->HandleNeeded();
    ASSERT_NE(GetWindowLongPtrW(picker->Handle(), GWL_STYLE) & DTS_UPDOWN, 0);
    const int children = picker->ControlCount();
    TSkinDateTime* skin = Skin(picker);
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->FArrow, nullptr);
    EXPECT_EQ(picker->ControlCount(), children);
    EXPECT_EQ(SendMessageW(picker->Handle(), SKM_ISSKINNED, 0, 0), 1)
        << "its border is still skinned";
}

TEST_F(DateTimeSkin, ArrowShowsTheComboArrowCellsNormalAndHot) {
    auto* picker = MakePicker(WS_EX_CLIENTEDGE);
    TSkinDateTime* skin = Skin(picker);
    ASSERT_NE(skin, nullptr);
    ASSERT_TRUE(HasElement(data_->ComboxArrow.get()));
    ASSERT_GE(data_->ComboxArrow->Frame, 4);
    TArrowButton* arrow = skin->FArrow.get();
    HWND a = arrow->Handle();
    const int x = 4, y = arrow->Height() / 2 + 2;
    ASSERT_NE(ArrowPixel(*arrow, 1, x, y), ArrowPixel(*arrow, 4, x, y))
        << "the skin's cells differ";

    Repaint(a);
    EXPECT_FALSE(arrow->Hot());
    EXPECT_EQ(wl::test::WindowPixel(a, x, y), ArrowPixel(*arrow, 1, x, y)) << "normal";

    // Hover with the real cursor over the arrow, so leave tracking does not end it at once.
    RECT r{};
    GetWindowRect(a, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(a, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    Repaint(a);
    EXPECT_TRUE(arrow->Hot());
    EXPECT_EQ(wl::test::WindowPixel(a, x, y), ArrowPixel(*arrow, 4, x, y)) << "hot";

    arrow->Perform(CM_MOUSELEAVE, 0, 0);
    Repaint(a);
    EXPECT_FALSE(arrow->Hot());
    EXPECT_EQ(wl::test::WindowPixel(a, x, y), ArrowPixel(*arrow, 1, x, y)) << "left again";

    // A disabled picker's arrow does not light up.
    picker->SetEnabled(false);
    arrow->Perform(CM_MOUSEENTER, 0, 0);
    Repaint(a);
    EXPECT_FALSE(arrow->Hot());
    EXPECT_EQ(wl::test::WindowPixel(a, x, y), ArrowPixel(*arrow, 1, x, y)) << "disabled";
    SetCursorPos(0, 0);
}

TEST_F(DateTimeSkin, ClickingTheArrowOpensTheCalendarAndLeavesTheFocusOnThePicker) {
    auto* picker = MakePicker(WS_EX_CLIENTEDGE);
    int dropDowns = 0;
    auto probe = picker->WindowProc.Add([&](TMessage& m, const TWindowProcChain::Previous& prev) {
        if (m.Msg == CN_NOTIFY &&
            reinterpret_cast<NMHDR*>(m.LParam)->code == static_cast<UINT>(DTN_DROPDOWN))
            ++dropDowns;
        prev(m);
    });
    TSkinDateTime* skin = Skin(picker);
    ASSERT_NE(skin, nullptr);
    HWND a = skin->FArrow->Handle();
    const LPARAM at = MAKELPARAM(skin->FArrow->Width() / 2, skin->FArrow->Height() / 2);
    SendMessageW(a, WM_LBUTTONDOWN, MK_LBUTTON, at);
    wl::test::PumpUntil([&] { return dropDowns > 0; }, 2000);
    SendMessageW(a, WM_LBUTTONUP, 0, at);
    wl::test::PumpMessages();
    EXPECT_EQ(dropDowns, 1) << "the picker opened its calendar once";
    HWND calendar = reinterpret_cast<HWND>(SendMessageW(picker->Handle(), DTM_GETMONTHCAL, 0, 0));
    ASSERT_NE(calendar, nullptr);
    EXPECT_TRUE(IsWindowVisible(calendar));
    EXPECT_EQ(GetFocus(), picker->Handle());
    SendMessageW(picker->Handle(), DTM_CLOSEMONTHCAL, 0, 0);
    wl::test::PumpUntil([&] { return !IsWindow(calendar) || !IsWindowVisible(calendar); });
}

TEST_F(DateTimeSkin, BorderInTheSkinsShadowAndWhiteOnlyWhenThePickerHasOne) {
    data_->ButtonShadow = RGB(10, 120, 30);
    struct Case {
        DWORD exStyle;
        COLORREF outer, inner;
    } cases[] = {
        {WS_EX_CLIENTEDGE, RGB(10, 120, 30), RGB(255, 255, 255)},
        {0, RGB(1, 2, 3), RGB(1, 2, 3)}, // no border: nothing drawn
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.exStyle ? "with border" : "without border");
        auto* picker = MakePicker(c.exStyle);
        if (!c.exStyle) {
            // The system class may add an edge of its own: take every border away.
            HWND h = picker->Handle();
            SetWindowLongPtrW(
                h, GWL_EXSTYLE,
                GetWindowLongPtrW(h, GWL_EXSTYLE) &
                    ~LONG_PTR(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE));
            SetWindowLongPtrW(h, GWL_STYLE, GetWindowLongPtrW(h, GWL_STYLE) & ~LONG_PTR(WS_BORDER));
            SetWindowPos(h, nullptr, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
        }
        TSkinDateTime* skin = Skin(picker);
        ASSERT_NE(skin, nullptr);
        RECT w{};
        GetWindowRect(picker->Handle(), &w);
        OffsetRect(&w, -w.left, -w.top);
        TBitmap target(w.right, w.bottom);
        HDC dc = target.Canvas().Handle();
        FillColor(dc, w, RGB(1, 2, 3));
        skin->DrawSkin(dc, w);
        EXPECT_EQ(GetPixel(dc, 0, 0), c.outer);
        EXPECT_EQ(GetPixel(dc, w.right - 1, w.bottom - 1), c.outer);
        EXPECT_EQ(GetPixel(dc, 1, 1), c.inner);
        EXPECT_EQ(GetPixel(dc, 2, 2), RGB(1, 2, 3));
        if (c.exStyle) {
            // And on the screen, through the picker's own paint.
            Repaint(picker->Handle());
            EXPECT_EQ(wl::test::WindowPixel(picker->Handle(), 0, 5), c.outer);
            EXPECT_EQ(wl::test::WindowPixel(picker->Handle(), 1, 5), c.inner);
        }
        delete picker;
    }
}

TEST_F(DateTimeSkin, DetachingRemovesTheArrowAndLeavesThePickersOwnProcedure) {
    auto* picker = MakePicker(WS_EX_CLIENTEDGE);
    const LONG_PTR proc = GetWindowLongPtrW(picker->Handle(), GWLP_WNDPROC);
    const int layers = picker->WindowProc.LayerCount();
    const int children = picker->ControlCount();
    TSkinDateTime* skin = Skin(picker);
    ASSERT_NE(skin, nullptr);
    HWND a = skin->FArrow->Handle();
    EXPECT_EQ(SendMessageW(picker->Handle(), SKM_ISSKINNED, 0, 0), 1);
    EXPECT_EQ(picker->ControlCount(), children + 1);
    delete skin;
    EXPECT_FALSE(IsWindow(a));
    EXPECT_EQ(picker->ControlCount(), children);
    EXPECT_EQ(picker->WindowProc.LayerCount(), layers);
    EXPECT_EQ(GetWindowLongPtrW(picker->Handle(), GWLP_WNDPROC), proc);
    EXPECT_EQ(SendMessageW(picker->Handle(), SKM_ISSKINNED, 0, 0), 0);
    EXPECT_EQ(picker->ComponentCount(), 0);
}

TEST_F(DateTimeSkin, PickerWindowDestroyedUnderTheCompanion) {
    auto* picker = MakePicker(WS_EX_CLIENTEDGE);
    TSkinDateTime* skin = Skin(picker);
    ASSERT_NE(skin, nullptr);
    HWND a = skin->FArrow->Handle();
    DestroyWindow(picker->Handle());
    EXPECT_EQ(skin->LifeState(), TLifeState::WindowDestroyed);
    EXPECT_FALSE(IsWindow(a)) << "the arrow's window went with its parent";
    delete picker; // frees the companion and its arrow without touching dead windows
}

} // namespace
} // namespace skincontrols
