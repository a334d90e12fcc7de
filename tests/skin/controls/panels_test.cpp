// Panels, group boxes, bare dialogs and size grips under Wine: face colour taken and given back,
// the group box's frame and caption, its window-less children, and handles kept flat.
#include "controls_fixture.h"

#include "skin/controls/panels.h"
#include "support/capture.h"
#include "support/leak_loop.h"
#include "support/gui.h"
#include "ui/extctrls.h"
#include "ui/graphics_colors.h"
#include "ui/stdctrls.h"

#include <vector>

namespace skincontrols {
namespace {

using namespace wl;

constexpr COLORREF kOwnColour = RGB(0, 120, 40);

class PanelsTest : public SkinControlsTest {
protected:
    COLORREF Face() const { return static_cast<COLORREF>(ColorToRGB(data_->ButtonFace)); }
    COLORREF Shadow() const { return static_cast<COLORREF>(ColorToRGB(data_->ButtonShadow)); }
    static COLORREF Pixel(HWND h, int x, int y) { return wl::test::WindowPixel(h, x, y); }
    // Columns of the top rows (the caption band) holding caption ink: neither face nor line.
    std::vector<int> InkColumns(HWND h, int width, int rows) {
        std::vector<int> columns;
        for (int x = 0; x < width; ++x)
            for (int y = 0; y < rows; ++y) {
                const COLORREF c = Pixel(h, x, y);
                if (c != Face() && c != Shadow()) {
                    columns.push_back(x);
                    break;
                }
            }
        return columns;
    }
    // The frame's top line, looked for in the middle column (clear of left and right captions).
    int LineY(HWND h) {
        for (int y = 0; y < 30; ++y)
            if (Pixel(h, 100, y) == Shadow()) return y;
        return -1;
    }
};

TEST_F(PanelsTest, PanelTakesTheFaceColourAndGetsItsOwnBack) {
    auto* panel = Add<TPanel>(RECT{10, 10, 110, 70});
    panel->SetBevelOuter(bvNone);
    panel->SetColor(kOwnColour);
    const size_t layers = panel->WindowProc.LayerCount();
    auto* c = Attach("TSkinBox", panel, true);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(panel->WindowProc.LayerCount(), layers) << "no message is taken over";
    EXPECT_EQ(SendMessageW(panel->Handle(), SKM_ISSKINNED, 0, 0), 0);
    Repaint(panel->Handle());
    EXPECT_EQ(Pixel(panel->Handle(), 50, 30), Face());

    data_->ButtonFace = RGB(90, 60, 200);
    c->SkinChanged();
    wl::test::PumpMessages(0);
    EXPECT_EQ(Pixel(panel->Handle(), 50, 30), RGB(90, 60, 200)) << "a new skin recolours at once";

    c->Restore();
    EXPECT_EQ(c->LifeState(), TLifeState::Restored);
    Repaint(panel->Handle());
    EXPECT_EQ(Pixel(panel->Handle(), 50, 30), kOwnColour);
}

TEST_F(PanelsTest, PanelWithoutColourizingKeepsItsColour) {
    auto* panel = Add<TPanel>(RECT{10, 10, 110, 70});
    panel->SetBevelOuter(bvNone);
    panel->SetColor(kOwnColour);
    ASSERT_NE(Attach("TSkinBox", panel, false), nullptr);
    Repaint(panel->Handle());
    EXPECT_EQ(Pixel(panel->Handle(), 50, 30), kOwnColour);
}

TEST_F(PanelsTest, GroupBoxGetsTheSkinsFrameAndCaption) {
    struct Case {
        bool right;
    } cases[] = {{false}, {true}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.right ? "right-aligned caption" : "caption at the left");
        auto* box = Add<TGroupBox>(RECT{10, 10, 210, 130});
        box->SetCaption("Group");
        box->SetColor(kOwnColour);
        if (k.right) SetWindowLongPtrW(box->Handle(), GWL_EXSTYLE, GetWindowLongPtrW(box->Handle(), GWL_EXSTYLE) | WS_EX_RIGHT);
        auto* c = Attach("TSkinGroupBox", box);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->Mode(), 1);
        Repaint(box->Handle());
        HWND h = box->Handle();
        const int line = LineY(h);
        ASSERT_GT(line, 0) << "the frame's top edge in the shadow colour";
        EXPECT_EQ(Pixel(h, 1, 60), Shadow()) << "left edge";
        EXPECT_EQ(Pixel(h, 100, 60), Face()) << "filled with the face colour";
        EXPECT_EQ(Pixel(h, 198, 60), Shadow()) << "right edge";
        EXPECT_EQ(Pixel(h, 100, 118), Shadow()) << "bottom edge";
        EXPECT_EQ(Pixel(h, 0, 60), Face()) << "the frame starts one pixel in";

        const std::vector<int> ink = InkColumns(h, 200, line + 4);
        ASSERT_FALSE(ink.empty()) << "the caption is drawn";
        if (k.right) {
            EXPECT_GT(ink.front(), 100);
            EXPECT_LE(ink.back(), 192) << "8 pixels from the right edge";
            EXPECT_EQ(Pixel(h, 20, line), Shadow()) << "the line runs where the caption is not";
        } else {
            EXPECT_GE(ink.front(), 8);
            EXPECT_LT(ink.back(), 100);
            EXPECT_EQ(Pixel(h, 150, line), Shadow());
            EXPECT_NE(Pixel(h, ink.front() + 1, line), Shadow()) << "the caption's background covers the line";
        }
        delete box;
    }
}

TEST_F(PanelsTest, GroupBoxStillShowsItsWindowlessChildren) {
    auto* box = Add<TGroupBox>(RECT{10, 10, 210, 130});
    box->SetCaption("Group");
    auto* shape = new TShape(form_.get());
    shape->SetParent(box);
    shape->SetBounds(40, 40, 30, 30);
    shape->Brush().SetColor(RGB(200, 30, 30));
    ASSERT_NE(Attach("TSkinGroupBox", box), nullptr);
    Repaint(box->Handle());
    EXPECT_EQ(Pixel(box->Handle(), 55, 55), RGB(200, 30, 30));
    EXPECT_EQ(Pixel(box->Handle(), 100, 60), Face());
}

TEST_F(PanelsTest, BareGroupBoxWindowGetsItsFrameRedrawn) {
    HWND box = CreateWindowExW(0, L"BUTTON", L"Bare", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 10, 10, 200, 120,
                               form_->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(box, nullptr);
    SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    auto* c = CreateCompanion("TSkinGroupBox", form_.get());
    ASSERT_NE(c, nullptr);
    c->Attach(TAttachContext::ForWindow(box, nullptr, data_.get(), nullptr));
    EXPECT_EQ(c->Mode(), 0);
    Repaint(box);
    const int line = LineY(box);
    ASSERT_GT(line, 0);
    EXPECT_EQ(Pixel(box, 1, 60), Shadow());
    EXPECT_EQ(Pixel(box, 198, 60), Shadow());
    EXPECT_EQ(Pixel(box, 0, 60), Face()) << "the box's own frame line is wiped out";
    EXPECT_FALSE(InkColumns(box, 200, line + 4).empty());
    delete c;
    DestroyWindow(box);
}

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A bare dialog with a static text, as message boxes and common dialogs have.
HWND MakeDialog(HWND owner) {
    struct alignas(4) Template {
        DLGTEMPLATE dlg;
        WORD menu, cls, title;
        DLGITEMTEMPLATE item;
        WORD itemClass[2];
        WCHAR text[6];
        WORD extra;
    } t{};
    t.dlg.style = WS_POPUP | WS_VISIBLE;
    t.dlg.cdit = 1;
    t.dlg.cx = 120;
    t.dlg.cy = 60;
    t.item.style = WS_CHILD | WS_VISIBLE | SS_LEFT;
    t.item.x = 10;
    t.item.y = 10;
    t.item.cx = 80;
    t.item.cy = 20;
    t.item.id = 100;
    t.itemClass[0] = 0xFFFF;
    t.itemClass[1] = 0x0082; // static
    const wchar_t text[] = L"Hello";
    std::copy(text, text + 6, t.text);
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &t.dlg, owner, QuietDialog, 0);
}

TEST_F(PanelsTest, BareDialogAndItsStaticsSitOnTheFaceColour) {
    data_->ButtonFace = RGB(200, 230, 250);
    data_->FaceBrush.reset(CreateSolidBrush(RGB(200, 230, 250)));
    HWND dialog = MakeDialog(form_->Handle());
    ASSERT_NE(dialog, nullptr);
    HWND label = GetDlgItem(dialog, 100);
    auto* c = CreateCompanion("TSkinBoxH", form_.get());
    ASSERT_NE(c, nullptr);
    c->Attach(TAttachContext::ForWindow(dialog, nullptr, data_.get(), nullptr));
    Repaint(dialog);
    RECT client{};
    GetClientRect(dialog, &client);
    POINT p{client.right - 5, client.bottom - 5};
    ClientToScreen(dialog, &p);
    RECT w{};
    GetWindowRect(dialog, &w);
    EXPECT_EQ(Pixel(dialog, p.x - w.left, p.y - w.top), RGB(200, 230, 250));
    RECT lr{};
    GetClientRect(label, &lr);
    EXPECT_EQ(Pixel(label, lr.right - 2, lr.bottom - 2), RGB(200, 230, 250)) << "static background";
    // The static's text goes on an opaque background of its own, which must be the skin's face
    // colour too: most of the text's cell shows it (the rest is ink).
    HDC ldc = GetDC(label);
    HGDIOBJ oldFont =
        SelectObject(ldc, reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE text{};
    GetTextExtentPoint32W(ldc, L"Hello", 5, &text);
    SelectObject(ldc, oldFont);
    ReleaseDC(label, ldc);
    const wl::test::TCapture shot = wl::test::TCapture::WindowDC(label);
    EXPECT_GT(shot.CountNear(RECT{0, 0, text.cx, text.cy}, ColorToRGB(data_->ButtonFace)) * 2,
              text.cx * text.cy)
        << "text background";
    delete c;
    DestroyWindow(dialog);
}

TEST_F(PanelsTest, SizeGripIsFilledWithTheFaceColour) {
    HWND grip = CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP, 300, 200, 16, 16,
                                form_->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(grip, nullptr);
    data_->ButtonFace = RGB(10, 200, 90);
    auto* c = CreateCompanion("TSkinSizer", form_.get());
    ASSERT_NE(c, nullptr);
    c->Attach(TAttachContext::ForWindow(grip, nullptr, data_.get(), nullptr));
    Repaint(grip);
    for (POINT p : {POINT{2, 2}, POINT{13, 13}, POINT{8, 8}}) EXPECT_EQ(Pixel(grip, p.x, p.y), RGB(10, 200, 90));
    delete c;
    DestroyWindow(grip);
}

TEST_F(PanelsTest, RepaintsAndAttachCyclesLeaveNoHandlesBehind) {
    auto* box = Add<TGroupBox>(RECT{10, 10, 210, 130});
    box->SetCaption("Group");
    auto* panel = Add<TPanel>(RECT{220, 10, 320, 70});
    TSkinControl* g = Attach("TSkinGroupBox", box);
    TSkinControl* p = Attach("TSkinBox", panel, true);
    ASSERT_NE(g, nullptr);
    ASSERT_NE(p, nullptr);
    wl::test::TLeakLoop loop;
    loop.Paint = [&] { Repaint(form_->Handle()); };
    wl::test::ExpectNoLeak(
        [&](int) {
            p->Restore();
            delete p;
            delete g;
            p = Attach("TSkinBox", panel, true);
            g = Attach("TSkinGroupBox", box);
            ASSERT_NE(p, nullptr);
            ASSERT_NE(g, nullptr);
        },
        loop);
}

} // namespace
} // namespace skincontrols
