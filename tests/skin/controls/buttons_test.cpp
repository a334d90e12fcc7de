// Skinned push buttons under Wine: the cell each state shows, the click the companion produces,
// Space, captions, transparent buttons, bare dialog buttons, speed buttons, detaching, and
// handles kept flat.
#include "controls_fixture.h"

#include "skin/controls/buttons.h"
#include "skin/data/skin_elements.h"
#include "support/leak_loop.h"
#include "support/capture.h"
#include "support/gui.h"
#include "ui/buttons.h"
#include "ui/extctrls.h"
#include "ui/graphics_colors.h"
#include "ui/stdctrls.h"

#include <functional>
#include <vector>

namespace skincontrols {
namespace {

using namespace wl;

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kPanelGreen = RGB(0, 140, 60);

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

class ButtonsTest : public SkinControlsTest {
protected:
    void SetUp() override {
        SkinControlsTest::SetUp();
        ASSERT_TRUE(HasElement(data_->Buttons.get()));
        frames_ = data_->Buttons->Frame > 0 ? data_->Buttons->Frame : 5;
        ParkCursor();
        // A host for the buttons whose window coordinates are its client coordinates.
        host_ = Add<TPanel>(RECT{10, 10, 390, 250});
        host_->SetBevelOuter(bvNone);
        host_->SetColor(kPanelGreen);
    }

    static void ParkCursor() { SetCursorPos(0, 0); }

    TButton* MakeButton(const char* caption = "", RECT r = RECT{20, 20, 120, 50}) {
        auto* b = Add<TButton>(r, host_);
        b->SetCaption(caption);
        return b;
    }
    TSkinButton* Skin(TWinControl* control, const char* cls = "TSkinButton") {
        return dynamic_cast<TSkinButton*>(Attach(cls, control));
    }

    COLORREF Face() const { return static_cast<COLORREF>(ColorToRGB(data_->ButtonFace)); }

    // Points spread over the button, borders included.
    static std::vector<POINT> Samples(SIZE s) {
        std::vector<POINT> points;
        for (int x : {1, 3, int(s.cx / 2), int(s.cx - 4), int(s.cx - 2)})
            for (int y : {1, 3, int(s.cy / 2), int(s.cy - 4), int(s.cy - 2)}) points.push_back(POINT{x, y});
        return points;
    }
    // What cell `frame` shows at `p` on the skin's face colour.
    COLORREF Expected(int frame, SIZE size, POINT p, COLORREF behind) const {
        const COLORREF c = ElementPixel(*data_->Buttons, frames_, frame, size, p.x, p.y);
        return c == kMagenta ? behind : c;
    }
    // The cell the window shows, judged at the sample points; 0 when it matches none.
    int ShownFrame(HWND window, COLORREF behind, POINT offset = POINT{0, 0}, SIZE size = SIZE{0, 0}) {
        if (size.cx == 0) {
            RECT r{};
            GetWindowRect(window, &r);
            size = SIZE{r.right - r.left, r.bottom - r.top};
        }
        const auto points = Samples(size);
        for (int frame = 1; frame <= frames_; ++frame) {
            bool all = true;
            for (POINT p : points)
                all = all && wl::test::WindowPixel(window, offset.x + p.x, offset.y + p.y) ==
                                 Expected(frame, size, p, behind);
            if (all) return frame;
        }
        return 0;
    }
    // Pixels of the button's rectangle that differ from the skin's empty cell.
    struct Ink {
        int count = 0;
        int top = 1 << 30, bottom = -1;
    };
    Ink InkOf(HWND window, int frame) {
        RECT r{};
        GetWindowRect(window, &r);
        const SIZE size{r.right - r.left, r.bottom - r.top};
        Ink ink;
        const wl::test::TCapture shot = wl::test::TCapture::Window(window);
        for (int y = 4; y < size.cy - 4; ++y)
            for (int x = 4; x < size.cx - 4; ++x)
                if (shot.At(x, y) != Expected(frame, size, POINT{x, y}, Face())) {
                    ++ink.count;
                    ink.top = std::min(ink.top, y);
                    ink.bottom = std::max(ink.bottom, y);
                }
        return ink;
    }

    int frames_ = 5;
    TPanel* host_ = nullptr;
};

TEST_F(ButtonsTest, SampleCellsTellEveryStateApart) {
    const auto points = Samples(SIZE{100, 30});
    for (int a = 1; a <= frames_; ++a)
        for (int b = a + 1; b <= frames_; ++b) {
            bool differs = false;
            for (POINT p : points) differs = differs || Expected(a, {100, 30}, p, Face()) != Expected(b, {100, 30}, p, Face());
            EXPECT_TRUE(differs) << "cells " << a << " and " << b << " look alike at every sample point";
        }
}

TEST_F(ButtonsTest, EachStateShowsItsCell) {
    struct Case {
        const char* name;
        std::function<void(TButton*, TButton* other)> setup;
        int frame;
    } cases[] = {
        {"normal", [](TButton*, TButton* other) { SetFocus(other->Handle()); }, bfNormal},
        {"focused", [](TButton* b, TButton*) { SetFocus(b->Handle()); }, bfFocused},
        {"hot",
         [](TButton* b, TButton* other) {
             SetFocus(other->Handle());
             POINT p{50, 15};
             ClientToScreen(b->Handle(), &p);
             SetCursorPos(p.x, p.y);
             SendMessageW(b->Handle(), WM_MOUSEMOVE, 0, At(50, 15));
         },
         bfHot},
        {"hot wins over focused",
         [](TButton* b, TButton*) {
             SetFocus(b->Handle());
             POINT p{50, 15};
             ClientToScreen(b->Handle(), &p);
             SetCursorPos(p.x, p.y);
             SendMessageW(b->Handle(), WM_MOUSEMOVE, 0, At(50, 15));
         },
         bfHot},
        {"pressed", [](TButton* b, TButton*) { SendMessageW(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(50, 15)); },
         bfPressed},
        {"disabled", [](TButton* b, TButton*) { b->SetEnabled(false); }, bfDisabled},
        {"disabled wins over pressed",
         [](TButton* b, TButton*) {
             b->SetEnabled(false);
             SendMessageW(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(50, 15));
         },
         bfDisabled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ParkCursor();
        auto* other = MakeButton("", RECT{200, 20, 260, 50});
        auto* b = MakeButton();
        ASSERT_NE(Skin(b), nullptr);
        c.setup(b, other);
        Repaint(b->Handle());
        EXPECT_EQ(ShownFrame(b->Handle(), Face()), c.frame);
        delete b;
        delete other;
    }
}

TEST_F(ButtonsTest, ClickComesOnlyFromAPressReleasedOverTheButton) {
    struct Step {
        bool toButton; // else to the host, where a release outside the button goes
        UINT msg;
        LPARAM at;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        int clicks;
    } cases[] = {
        {"press and release inside", {{true, WM_LBUTTONDOWN, At(50, 15)}, {true, WM_LBUTTONUP, At(52, 16)}}, 1},
        {"double click counts as a press",
         {{true, WM_LBUTTONDBLCLK, At(50, 15)}, {true, WM_LBUTTONUP, At(50, 15)}}, 1},
        {"mouse left, released outside",
         {{true, WM_LBUTTONDOWN, At(50, 15)}, {true, WM_MOUSELEAVE, 0}, {false, WM_LBUTTONUP, At(300, 200)}}, 0},
        {"left and came back before release",
         {{true, WM_LBUTTONDOWN, At(50, 15)}, {true, WM_MOUSELEAVE, 0}, {true, WM_LBUTTONUP, At(50, 15)}}, 0},
        {"release reported outside the button",
         {{true, WM_LBUTTONDOWN, At(50, 15)}, {true, WM_LBUTTONUP, At(400, 15)}}, 0},
        {"release without press", {{true, WM_LBUTTONUP, At(50, 15)}}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* b = MakeButton("Go");
        int clicks = 0;
        b->OnClick = [&](TObject*) { ++clicks; };
        ASSERT_NE(Skin(b), nullptr);
        for (const Step& s : c.steps)
            SendMessageW(s.toButton ? b->Handle() : host_->Handle(), s.msg, s.msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, s.at);
        wl::test::PumpMessages();
        EXPECT_EQ(clicks, c.clicks);
        ParkCursor();
        SendMessageW(b->Handle(), WM_MOUSELEAVE, 0, 0);
        Repaint(b->Handle());
        EXPECT_NE(ShownFrame(b->Handle(), Face()), bfPressed) << "the pressed look ends";
        delete b;
    }
}

TEST_F(ButtonsTest, PressForwardsMouseDownAndTakesTheFocus) {
    auto* other = MakeButton("", RECT{200, 20, 260, 50});
    auto* b = MakeButton("Go");
    int downs = 0;
    POINT where{};
    b->OnMouseDown = [&](TObject*, TMouseButton button, TShiftState, int x, int y) {
        if (button == mbLeft) ++downs;
        where = POINT{x, y};
    };
    ASSERT_NE(Skin(b), nullptr);
    SetFocus(other->Handle());
    SendMessageW(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(33, 12));
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(where.x, 33);
    EXPECT_EQ(where.y, 12);
    EXPECT_EQ(GetFocus(), b->Handle());
    EXPECT_EQ(GetCapture(), nullptr) << "the button never saw the press, so it holds no capture";
    SendMessageW(b->Handle(), WM_LBUTTONUP, 0, At(33, 12));
}

TEST_F(ButtonsTest, SpaceShowsPressedAndTheButtonClicksOnRelease) {
    auto* b = MakeButton(); // no caption over the sample points
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    ASSERT_NE(Skin(b), nullptr);
    SetFocus(b->Handle());
    SendMessageW(b->Handle(), WM_KEYDOWN, VK_SPACE, 0x00390001);
    wl::test::PumpMessages(0); // lets the window's drawing reach the screen
    EXPECT_EQ(ShownFrame(b->Handle(), Face()), bfPressed);
    SendMessageW(b->Handle(), WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001u));
    wl::test::PumpUntil([&] { return clicks == 1 && ShownFrame(b->Handle(), Face()) == bfFocused; });
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(ShownFrame(b->Handle(), Face()), bfFocused);
}

TEST_F(ButtonsTest, TimerMessagesNeverReachTheButton) {
    auto* b = MakeButton();
    int timers = 0;
    auto probe = b->WindowProc.Add([&](TMessage& m, const TWindowProcChain::Previous& prev) {
        if (m.Msg == WM_TIMER) ++timers;
        prev(m);
    });
    ASSERT_NE(Skin(b), nullptr);
    SendMessageW(b->Handle(), WM_TIMER, 1, 0);
    EXPECT_EQ(timers, 0);
}

TEST_F(ButtonsTest, CaptionIsDrawnAndDoubleBarBreaksTheLine) {
    auto* b = MakeButton("", RECT{20, 20, 140, 80});
    ASSERT_NE(Skin(b), nullptr);
    SetFocus(host_->Handle());
    Repaint(b->Handle());
    EXPECT_EQ(InkOf(b->Handle(), bfNormal).count, 0) << "an empty caption leaves the cell as it is";

    b->SetCaption("Wide");
    Repaint(b->Handle());
    const Ink one = InkOf(b->Handle(), bfNormal);
    EXPECT_GT(one.count, 10);

    b->SetCaption("Wi||de");
    Repaint(b->Handle());
    const Ink two = InkOf(b->Handle(), bfNormal);
    EXPECT_GT(two.bottom - two.top, 3 * (one.bottom - one.top) / 2) << "two lines are taller than one";
}

TEST_F(ButtonsTest, CaptionTakesTheSkinsStateColours) {
    data_->Buttons->HasNormalColour2 = true;
    data_->Buttons->NormalColour2 = RGB(250, 0, 0);
    data_->Buttons->HasMouseOverColour2 = true;
    data_->Buttons->MouseOverColour2 = RGB(0, 0, 250);
    auto* b = MakeButton("MMMM", RECT{20, 20, 140, 60});
    ASSERT_NE(Skin(b), nullptr);
    SetFocus(host_->Handle());
    auto strongest = [&](int channel) {
        int best = 0;
        const wl::test::TCapture shot = wl::test::TCapture::Window(b->Handle());
        for (int y = 8; y < 32; ++y)
            for (int x = 10; x < 110; ++x) {
                const COLORREF c = shot.At(x, y);
                const int v = channel == 0 ? GetRValue(c) - GetBValue(c) : GetBValue(c) - GetRValue(c);
                best = std::max(best, v);
            }
        return best;
    };
    Repaint(b->Handle());
    EXPECT_GT(strongest(0), 120) << "normal caption in the skin's normal text colour";
    POINT over{10, 10};
    ClientToScreen(b->Handle(), &over);
    SetCursorPos(over.x, over.y); // else leave tracking ends the hot state at once
    SendMessageW(b->Handle(), WM_MOUSEMOVE, 0, At(10, 10));
    wl::test::PumpMessages(0);
    EXPECT_GT(strongest(1), 120) << "hot caption in the skin's mouse-over colour";
    EXPECT_LT(strongest(0), 60);
}

TEST_F(ButtonsTest, TransparentButtonShowsItsParentThroughTheKeyPixels) {
    const SIZE size{100, 30};
    POINT keyPoint{-1, -1};
    for (int y = 0; y < size.cy && keyPoint.x < 0; ++y)
        for (int x = 0; x < size.cx && keyPoint.x < 0; ++x)
            if (ElementPixel(*data_->Buttons, frames_, bfNormal, size, x, y) == kMagenta) keyPoint = POINT{x, y};
    ASSERT_GE(keyPoint.x, 0) << "the skin's button has no transparent pixel";
    struct Case {
        intptr_t tag;
        bool option;
        COLORREF behind;
    } cases[] = {{0, false, Face()}, {5555, false, kPanelGreen}, {0, true, kPanelGreen}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tag);
        data_->SetOptions(c.option ? data_->Options() | SkinOptionBit(xoTransparent)
                                   : data_->Options() & ~SkinOptionBit(xoTransparent));
        auto* b = MakeButton();
        b->SetTag(c.tag);
        auto* s = Skin(b);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->FTransparent, c.behind == kPanelGreen);
        SetFocus(host_->Handle());
        Repaint(b->Handle());
        EXPECT_EQ(wl::test::WindowPixel(b->Handle(), keyPoint.x, keyPoint.y), c.behind);
        EXPECT_EQ(ShownFrame(b->Handle(), c.behind), bfNormal);
        delete b;
    }
}

TEST_F(ButtonsTest, DefaultButtonKeepsTheSkin) {
    auto* b = MakeButton("OK");
    ASSERT_NE(Skin(b), nullptr);
    SetFocus(host_->Handle());
    b->SetDefault(true);
    wl::test::PumpMessages();
    wl::test::WaitFlushed(b->Handle());
    EXPECT_EQ(GetWindowLongPtrW(b->Handle(), GWL_STYLE) & 0x0F, BS_DEFPUSHBUTTON);
    EXPECT_EQ(ShownFrame(b->Handle(), Face()), bfNormal) << "the system's default frame is not drawn over the skin";
}

// A bare dialog-style button: caption from its window text, colour from the skin's ButtonText,
// the click posted to its parent as BN_CLICKED with its id.
TEST_F(ButtonsTest, BareButtonWindowAttachedByHandle) {
    data_->ButtonText = RGB(240, 0, 0);
    data_->Buttons->HasNormalColour2 = false;
    HWND button = CreateWindowExW(0, L"BUTTON", L"MMMM", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, 20, 120, 40,
                                  host_->Handle(), reinterpret_cast<HMENU>(77), GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(button, nullptr);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    std::vector<std::pair<WPARAM, LPARAM>> commands;
    auto probe = host_->WindowProc.Add([&](TMessage& m, const TWindowProcChain::Previous& prev) {
        if (m.Msg == WM_COMMAND) commands.emplace_back(m.WParam, m.LParam);
        prev(m);
    });
    const LONG_PTR ownProc = GetWindowLongPtrW(button, GWLP_WNDPROC);
    auto* c = dynamic_cast<TSkinButton*>(CreateCompanion("TSkinButton", form_.get()));
    ASSERT_NE(c, nullptr);
    c->Attach(TAttachContext::ForWindow(button, nullptr, data_.get(), nullptr));
    SetFocus(host_->Handle());
    Repaint(button);
    EXPECT_EQ(ShownFrame(button, Face()), bfNormal);
    int red = 0;
    const wl::test::TCapture shot = wl::test::TCapture::Window(button);
    for (int y = 10; y < 30; ++y)
        for (int x = 20; x < 100; ++x) {
            const COLORREF p = shot.At(x, y);
            red = std::max(red, GetRValue(p) - GetGValue(p));
        }
    EXPECT_GT(red, 120) << "caption in the skin's button text colour";

    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, At(30, 10));
    SendMessageW(button, WM_LBUTTONUP, 0, At(30, 10));
    wl::test::PumpUntil([&] { return !commands.empty(); });
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].first, MAKEWPARAM(77, BN_CLICKED));
    EXPECT_EQ(commands[0].second, reinterpret_cast<LPARAM>(button));

    delete c;
    EXPECT_EQ(GetWindowLongPtrW(button, GWLP_WNDPROC), ownProc);
    Repaint(button);
    EXPECT_EQ(ShownFrame(button, Face()), 0) << "the button paints itself again";
    DestroyWindow(button);
}

INT_PTR CALLBACK RecordingDialog(HWND dialog, UINT msg, WPARAM w, LPARAM) {
    if (msg == WM_COMMAND) SetWindowLongPtrW(dialog, DWLP_USER, static_cast<LONG_PTR>(w));
    return msg == WM_INITDIALOG;
}

// Enter in a dialog reaches its skinned default button through the dialog manager.
TEST_F(ButtonsTest, SkinnedDefaultButtonOfADialogTakesEnter) {
    struct alignas(4) Template {
        DLGTEMPLATE dlg;
        WORD menu, cls, title;
        DLGITEMTEMPLATE item;
        WORD itemClass[2];
        WCHAR text[3];
        WORD extra;
    } t{};
    t.dlg.style = WS_POPUP | WS_VISIBLE;
    t.dlg.cdit = 1;
    t.dlg.cx = 120;
    t.dlg.cy = 60;
    t.item.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
    t.item.x = 10;
    t.item.y = 10;
    t.item.cx = 60;
    t.item.cy = 20;
    t.item.id = IDOK;
    t.itemClass[0] = 0xFFFF;
    t.itemClass[1] = 0x0080; // button
    t.text[0] = L'O';
    t.text[1] = L'K';
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &t.dlg, form_->Handle(), RecordingDialog, 0);
    ASSERT_NE(dialog, nullptr);
    HWND ok = GetDlgItem(dialog, IDOK);
    auto* c = CreateCompanion("TSkinButton", form_.get());
    ASSERT_NE(c, nullptr);
    c->Attach(TAttachContext::ForWindow(ok, nullptr, data_.get(), nullptr));
    SetFocus(ok);
    EXPECT_EQ(SendMessageW(ok, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON, DLGC_DEFPUSHBUTTON);
    MSG enter{dialog, WM_KEYDOWN, VK_RETURN, 0x001C0001, 0, {0, 0}};
    EXPECT_TRUE(IsDialogMessageW(dialog, &enter));
    wl::test::PumpUntil([&] { return GetWindowLongPtrW(dialog, DWLP_USER) == IDOK; });
    EXPECT_EQ(GetWindowLongPtrW(dialog, DWLP_USER), IDOK);
    delete c;
    DestroyWindow(dialog);
}

TEST_F(ButtonsTest, DetachInEitherOrderGivesTheButtonItsOwnLook) {
    for (bool companionFirst : {true, false}) {
        SCOPED_TRACE(companionFirst ? "companion first" : "outer layer first");
        auto* b = MakeButton();
        SetFocus(host_->Handle());
        Repaint(b->Handle());
        std::vector<COLORREF> own;
        for (POINT p : Samples(SIZE{100, 30})) own.push_back(wl::test::WindowPixel(b->Handle(), p.x, p.y));
        std::vector<UINT> below;
        auto inner = b->WindowProc.Add([&](TMessage& m, const TWindowProcChain::Previous& prev) {
            below.push_back(m.Msg);
            prev(m);
        });
        TSkinControl* c = Skin(b);
        ASSERT_NE(c, nullptr);
        auto outer = b->WindowProc.Add([](TMessage& m, const TWindowProcChain::Previous& prev) { prev(m); });
        Repaint(b->Handle());
        EXPECT_EQ(ShownFrame(b->Handle(), Face()), bfNormal);
        if (companionFirst) {
            delete c;
            outer.Remove();
        } else {
            outer.Remove();
            delete c;
        }
        EXPECT_EQ(b->WindowProc.LayerCount(), 1);
        below.clear();
        SendMessageW(b->Handle(), WM_TIMER, 5, 0);
        EXPECT_EQ(below, std::vector<UINT>{WM_TIMER}) << "messages reach the button's own procedure again";
        Repaint(b->Handle());
        std::vector<COLORREF> after;
        for (POINT p : Samples(SIZE{100, 30})) after.push_back(wl::test::WindowPixel(b->Handle(), p.x, p.y));
        EXPECT_EQ(after, own);
        delete b;
    }
}

TEST_F(ButtonsTest, GlyphButtonLaysOutGlyphAndGreysItWhenDisabled) {
    auto* b = Add<TBitBtn>(RECT{20, 20, 140, 60}, host_);
    b->SetCaption("");
    TBitmap& g = b->Glyph();
    g.SetSize(16, 16);
    FillColor(g.Canvas().Handle(), RECT{0, 0, 16, 16}, RGB(0, 128, 128)); // transparent (bottom-left)
    FillColor(g.Canvas().Handle(), RECT{4, 4, 12, 12}, RGB(230, 0, 0));
    b->SetNumGlyphs(1);
    ASSERT_NE(Skin(b, "TSkinBitButton"), nullptr);
    SetFocus(host_->Handle());
    struct Case {
        const char* layout;
        bool enabled;
        POINT glyphCentre;
    } cases[] = {
        {"blGlyphLeft", true, {60, 20}},  // centred: no caption
        {"blGlyphTop", true, {60, 20}},
        {"blGlyphLeft", false, {60, 20}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.layout) + (c.enabled ? "" : " disabled"));
        ASSERT_TRUE(SetPropertyText(b, "Layout", c.layout));
        b->SetEnabled(c.enabled);
        Repaint(b->Handle());
        const COLORREF centre = wl::test::WindowPixel(b->Handle(), c.glyphCentre.x, c.glyphCentre.y);
        if (c.enabled) {
            EXPECT_EQ(centre, RGB(230, 0, 0));
        } else {
            EXPECT_EQ(GetRValue(centre), GetGValue(centre)) << "grey";
            EXPECT_EQ(GetGValue(centre), GetBValue(centre)) << "grey";
        }
        EXPECT_NE(wl::test::WindowPixel(b->Handle(), c.glyphCentre.x - 6, c.glyphCentre.y - 6), RGB(0, 128, 128))
            << "the glyph's transparent colour is left out";
    }
}

TEST_F(ButtonsTest, PictureProperyIsPublishedAndReadByName) {
    auto* b = MakeButton();
    auto* c = dynamic_cast<TSkinBitButton*>(Attach("TSkinBitButton", b));
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(SetPropertyText(c, "PictureProperty", "PngImage"));
    EXPECT_EQ(c->FPictureProperty, "PngImage");
    // A button without that property is still drawn (as a plain glyph button).
    Repaint(b->Handle());
    SetFocus(host_->Handle());
    Repaint(b->Handle());
    EXPECT_EQ(ShownFrame(b->Handle(), Face()), bfNormal);
}

TEST_F(ButtonsTest, MenuButtonShowsFocusAsHotAndDrawsItsArrow) {
    auto* b = MakeButton("", RECT{20, 20, 120, 50});
    ASSERT_NE(Skin(b, "TSkinMenuButton"), nullptr);
    SetFocus(b->Handle());
    Repaint(b->Handle());
    // The arrow covers the cell at its tip; elsewhere the hot cell shows.
    const SIZE size{100, 30};
    const COLORREF tip = wl::test::WindowPixel(b->Handle(), size.cx - 12, size.cy / 2);
    EXPECT_EQ(tip, static_cast<COLORREF>(ColorToRGB(clWindowText)));
    EXPECT_EQ(wl::test::WindowPixel(b->Handle(), 3, 3), Expected(bfHot, size, POINT{3, 3}, Face()));
    EXPECT_EQ(wl::test::WindowPixel(b->Handle(), size.cx / 2, size.cy - 2),
              Expected(bfHot, size, POINT{size.cx / 2, size.cy - 2}, Face()));
}

TEST_F(ButtonsTest, MenuButtonWithoutCaptionStillShowsItsFocus) {
    auto* b = MakeButton("", RECT{20, 20, 120, 50});
    ASSERT_NE(Skin(b, "TSkinMenuButton"), nullptr);
    SetFocus(b->Handle());
    const SIZE size{100, 30};
    // Pixels off the hot cell left of the arrow area: only a focus frame can put them there.
    auto marks = [&] {
        Repaint(b->Handle());
        const wl::test::TCapture shot = wl::test::TCapture::Window(b->Handle());
        int n = 0;
        for (int y = 4; y < size.cy - 4; ++y)
            for (int x = 4; x < size.cx - 20; ++x)
                n += shot.At(x, y) != Expected(bfHot, size, POINT{x, y}, Face());
        return n;
    };
    struct Case {
        bool noFocusRect;
        bool frame;
    } cases[] = {{false, true}, {true, false}};
    const auto options = data_->Options();
    for (const Case& c : cases) {
        data_->SetOptions(c.noFocusRect ? static_cast<TSkinOptions>(options | SkinOptionBit(xoNoFocusRect)) : options);
        EXPECT_EQ(marks() > 0, c.frame) << "no focus rect option " << c.noFocusRect;
    }
    data_->SetOptions(options);
}

TEST_F(ButtonsTest, SpeedButtonIsPaintedThroughItsParent) {
    auto* s = new TSpeedButton(form_.get());
    s->SetParent(host_);
    s->SetBounds(30, 100, 100, 30);
    SetFocus(host_->Handle());
    Repaint(host_->Handle());
    std::vector<COLORREF> own;
    for (POINT p : Samples(SIZE{100, 30}))
        own.push_back(wl::test::WindowPixel(host_->Handle(), 30 + p.x, 100 + p.y));

    TSkinControl* c = CreateCompanion("TSkinSpeedButton", s);
    ASSERT_NE(c, nullptr);
    c->Attach(TAttachContext::ForSpeedButton(nullptr, data_.get(), nullptr));
    EXPECT_EQ(c->Handle(), nullptr);
    EXPECT_TRUE(c->IsAttached()) << "the discovery code keeps only attached companions";
    const POINT at{30, 100};
    const SIZE size{100, 30};
    struct Case {
        const char* name;
        std::function<void()> setup;
        int frame; // 0: no cell at all (flat)
    } cases[] = {
        {"normal", [] {}, bfNormal},
        {"hot", [s] { s->Perform(CM_MOUSEENTER, 0, 0); }, bfHot},
        {"left", [s] { s->Perform(CM_MOUSELEAVE, 0, 0); }, bfNormal},
        {"down", [s] { s->SetGroupIndex(1); s->SetDown(true); }, bfPressed},
        {"down while disabled", [s] { s->SetEnabled(false); }, bfPressed},
        {"disabled",
         [s] {
             s->SetAllowAllUp(true);
             s->SetDown(false);
         },
         bfDisabled},
        {"flat and normal", [s] { s->SetEnabled(true); s->SetFlat(true); }, 0},
        {"flat and hot", [s] { s->Perform(CM_MOUSEENTER, 0, 0); }, bfHot},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        k.setup();
        Repaint(host_->Handle());
        if (k.frame) {
            EXPECT_EQ(ShownFrame(host_->Handle(), Face(), at, size), k.frame);
        } else {
            EXPECT_EQ(wl::test::WindowPixel(host_->Handle(), at.x + 1, at.y + size.cy / 2), Face());
            EXPECT_EQ(wl::test::WindowPixel(host_->Handle(), at.x + size.cx / 2, at.y + 1), Face());
        }
    }
    s->Perform(CM_MOUSELEAVE, 0, 0);
    s->SetFlat(false);
    delete c;
    Repaint(host_->Handle());
    std::vector<COLORREF> after;
    for (POINT p : Samples(size)) after.push_back(wl::test::WindowPixel(host_->Handle(), at.x + p.x, at.y + p.y));
    EXPECT_EQ(after, own) << "the speed button paints itself again";
}

TEST_F(ButtonsTest, SpeedButtonPressAndTransparentPaintDoNotReenter) {
    auto* s = new TSpeedButton(form_.get());
    s->SetParent(host_);
    s->SetBounds(30, 100, 100, 30);
    s->SetTag(5555); // the parent's paint comes back to this button while it draws
    int clicks = 0;
    s->OnClick = [&](TObject*) { ++clicks; };
    auto* c = dynamic_cast<TSkinSpeedButton*>(CreateCompanion("TSkinSpeedButton", s));
    ASSERT_NE(c, nullptr);
    c->Attach(TAttachContext::ForSpeedButton(nullptr, data_.get(), nullptr));
    ASSERT_TRUE(c->FTransparent);
    Repaint(host_->Handle());
    EXPECT_FALSE(c->FPainting);
    EXPECT_EQ(ShownFrame(host_->Handle(), kPanelGreen, POINT{30, 100}, SIZE{100, 30}), bfNormal);

    SendMessageW(host_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(60, 110));
    wl::test::PumpMessages(0);
    EXPECT_EQ(ShownFrame(host_->Handle(), kPanelGreen, POINT{30, 100}, SIZE{100, 30}), bfPressed);
    SendMessageW(host_->Handle(), WM_LBUTTONUP, 0, At(60, 110));
    wl::test::PumpMessages(0);
    EXPECT_EQ(clicks, 1) << "the speed button clicks by itself";
    EXPECT_NE(ShownFrame(host_->Handle(), kPanelGreen, POINT{30, 100}, SIZE{100, 30}), bfPressed);
}

TEST_F(ButtonsTest, RepaintsAndAttachCyclesLeaveNoHandlesBehind) {
    auto* b = MakeButton("Go");
    auto* bit = Add<TBitBtn>(RECT{150, 20, 250, 50}, host_);
    bit->SetCaption("Bit");
    TSkinControl* c = Skin(b);
    TSkinControl* cb = Skin(bit, "TSkinBitButton");
    ASSERT_NE(c, nullptr);
    ASSERT_NE(cb, nullptr);
    wl::test::TLeakLoop loop;
    loop.Paint = [&] { Repaint(host_->Handle()); };
    wl::test::ExpectNoLeak(
        [&](int) {
            SendMessageW(b->Handle(), WM_MOUSEMOVE, 0, At(5, 5));
            SendMessageW(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
            SendMessageW(b->Handle(), WM_LBUTTONUP, 0, At(5, 5));
            SendMessageW(b->Handle(), WM_MOUSELEAVE, 0, 0);
            delete c;
            c = Skin(b);
            ASSERT_NE(c, nullptr);
        },
        loop);
}

TEST_F(ButtonsTest, RealMouseReleasedOutsideGivesNoClick) {
    auto* b = MakeButton();
    int clicks = 0, downs = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    b->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
    ASSERT_NE(Skin(b), nullptr);
    SetForegroundWindow(form_->Handle());
    wl::test::PumpUntil([&] { return GetForegroundWindow() == form_->Handle(); });
    auto mouse = [](DWORD flags) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = flags;
        SendInput(1, &in, sizeof in);
    };
    POINT inside{50, 15}, outside{300, 200};
    ClientToScreen(b->Handle(), &inside);
    ClientToScreen(host_->Handle(), &outside);
    SetCursorPos(inside.x, inside.y);
    wl::test::PumpMessages();
    mouse(MOUSEEVENTF_LEFTDOWN);
    wl::test::PumpUntil([&] { return downs == 1 && ShownFrame(b->Handle(), Face()) == bfPressed; });
    ASSERT_EQ(downs, 1) << "the real press reached the button";
    EXPECT_EQ(ShownFrame(b->Handle(), Face()), bfPressed);
    SetCursorPos(outside.x, outside.y);
    // The press took the focus, so the button stays focused.
    wl::test::PumpUntil([&] { return ShownFrame(b->Handle(), Face()) == bfFocused; }, 1000);
    EXPECT_EQ(ShownFrame(b->Handle(), Face()), bfFocused) << "leaving the button ends the pressed look";
    mouse(MOUSEEVENTF_LEFTUP);
    wl::test::PumpUntil([&] { return GetCapture() != b->Handle(); });
    wl::test::PumpMessages();
    EXPECT_EQ(clicks, 0);

    // The same with the release over the button clicks once.
    SetCursorPos(inside.x, inside.y);
    wl::test::PumpMessages();
    mouse(MOUSEEVENTF_LEFTDOWN);
    wl::test::PumpUntil([&] { return downs == 2; });
    mouse(MOUSEEVENTF_LEFTUP);
    wl::test::PumpUntil([&] { return clicks == 1; });
    EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonsTest, NewTextKeepsTheSkin) {
    auto* b = MakeButton("Wide");
    ASSERT_NE(Skin(b), nullptr);
    SetFocus(host_->Handle());
    Repaint(b->Handle());
    // The system button paints itself when its text changes; the skin is drawn again at once.
    SetWindowTextW(b->Handle(), L"");
    wl::test::PumpMessages(0);
    EXPECT_EQ(ShownFrame(b->Handle(), Face()), bfNormal);
}

TEST_F(ButtonsTest, FocusFrameUnlessTheSkinSaysNo) {
    auto* b = MakeButton("MMMM", RECT{20, 20, 140, 60});
    ASSERT_NE(Skin(b), nullptr);
    SetFocus(b->Handle());
    Repaint(b->Handle());
    const int withFrame = InkOf(b->Handle(), bfFocused).count;
    data_->SetOptions(data_->Options() | SkinOptionBit(xoNoFocusRect));
    Repaint(b->Handle());
    const int without = InkOf(b->Handle(), bfFocused).count;
    EXPECT_GT(without, 10) << "the caption is still drawn";
    EXPECT_GT(withFrame, without + 20) << "the dotted frame adds its dots";
}

// Where a glyph button puts its glyph (red) and its caption (dark ink).
struct Boxes {
    RECT glyph{1 << 20, 1 << 20, -1, -1};
    RECT text{1 << 20, 1 << 20, -1, -1};
};
void Extend(RECT& r, int x, int y) {
    r.left = std::min<LONG>(r.left, x);
    r.top = std::min<LONG>(r.top, y);
    r.right = std::max<LONG>(r.right, x);
    r.bottom = std::max<LONG>(r.bottom, y);
}
Boxes FindBoxes(HWND h, SIZE size) {
    Boxes b;
    const wl::test::TCapture shot = wl::test::TCapture::Window(h);
    for (int y = 3; y < size.cy - 3; ++y)
        for (int x = 3; x < size.cx - 3; ++x) {
            const COLORREF c = shot.At(x, y);
            if (c == RGB(230, 0, 0)) Extend(b.glyph, x, y);
            else if (std::max({GetRValue(c), GetGValue(c), GetBValue(c)}) < 110) Extend(b.text, x, y);
        }
    return b;
}

TEST_F(ButtonsTest, GlyphLayoutsPlaceCaptionAndGlyph) {
    data_->Buttons->HasNormalColour2 = true;
    data_->Buttons->NormalColour2 = RGB(0, 0, 0);
    auto* b = Add<TBitBtn>(RECT{20, 20, 180, 80}, host_);
    b->SetCaption("MM");
    b->Glyph().SetSize(12, 12);
    FillColor(b->Glyph().Canvas().Handle(), RECT{0, 0, 12, 12}, RGB(0, 128, 128)); // transparent
    FillColor(b->Glyph().Canvas().Handle(), RECT{2, 2, 10, 10}, RGB(230, 0, 0));
    ASSERT_NE(Skin(b, "TSkinBitButton"), nullptr);
    SetFocus(host_->Handle());
    const SIZE size{160, 60};
    struct Case {
        const char* layout;
        std::function<void(const Boxes&)> check;
    } cases[] = {
        {"blGlyphLeft", [](const Boxes& x) { EXPECT_LT(x.glyph.right, x.text.left); }},
        {"blGlyphRight",
         [](const Boxes& x) {
             EXPECT_GT(x.glyph.left, x.text.right);
             EXPECT_NEAR(x.glyph.left - 2 - x.text.right, 4, 3) << "text right-aligned against the spacing";
         }},
        {"blGlyphTop",
         [size](const Boxes& x) {
             EXPECT_LT(x.glyph.bottom, x.text.top);
             EXPECT_NEAR((x.text.left + x.text.right) / 2, size.cx / 2, 3) << "caption centred";
         }},
        {"blGlyphBottom",
         [size](const Boxes& x) {
             EXPECT_GT(x.glyph.top, x.text.bottom);
             EXPECT_NEAR((x.text.left + x.text.right) / 2, size.cx / 2, 3) << "caption centred";
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layout);
        ASSERT_TRUE(SetPropertyText(b, "Layout", c.layout));
        Repaint(b->Handle());
        const Boxes boxes = FindBoxes(b->Handle(), size);
        ASSERT_GE(boxes.glyph.right, 0) << "glyph drawn";
        ASSERT_GE(boxes.text.right, 0) << "caption drawn";
        EXPECT_EQ(boxes.glyph.right - boxes.glyph.left, 7);
        c.check(boxes);
    }
}

// A button class of another library that holds its picture in a published property.
class TPictureButton : public TButton {
    WL_CLASS(TPictureButton, TButton)
public:
    using TButton::TButton;
    TBitmap Picture;
};
WL_DEFINE_CLASS(TPictureButton, [](ClassBuilder<TPictureButton>& c) {
    c.Object("PngImage", [](TPictureButton& b) { return &b.Picture; });
})

TEST_F(ButtonsTest, PictureVariantDrawsTheNamedPictureAsItIs) {
    auto* b = Add<TPictureButton>(RECT{20, 20, 120, 60}, host_);
    b->SetCaption("");
    b->Picture.SetSize(10, 10);
    FillColor(b->Picture.Canvas().Handle(), RECT{0, 0, 10, 10}, RGB(0, 0, 230));
    auto* c = dynamic_cast<TSkinBitButton*>(Attach("TSkinBitButton", b));
    ASSERT_NE(c, nullptr);
    SetFocus(host_->Handle());
    struct Case {
        const char* property;
        bool enabled;
        bool blue;
    } cases[] = {{"PngImage", true, true}, {"PngImage", false, true}, {"", true, false}, {"NoSuch", true, false}};
    for (const Case& k : cases) {
        SCOPED_TRACE(std::string(k.property) + (k.enabled ? "" : " disabled"));
        ASSERT_TRUE(SetPropertyText(c, "PictureProperty", k.property));
        b->SetEnabled(k.enabled);
        Repaint(b->Handle());
        // Centred (no caption): 10 x 10 at (45, 15).
        EXPECT_EQ(wl::test::WindowPixel(b->Handle(), 50, 20) == RGB(0, 0, 230), k.blue);
    }
}

TEST(ButtonRules, StateToCell) {
    struct Case {
        TButtonDrawState s;
        int push, menu, speed, speedDown;
    } cases[] = {
        {{true, false, false, false}, 1, 1, 1, 2},
        {{true, false, false, true}, 5, 4, 1, 2},
        {{true, false, true, true}, 4, 4, 4, 2},
        {{true, true, true, true}, 2, 2, 2, 2},
        {{false, true, true, true}, 3, 3, 3, 2},
        {{false, false, false, false}, 3, 3, 3, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PushButtonFrame(c.s), c.push);
        EXPECT_EQ(MenuButtonFrame(c.s), c.menu);
        EXPECT_EQ(SpeedButtonFrame(false, c.s), c.speed);
        EXPECT_EQ(SpeedButtonFrame(true, c.s), c.speedDown);
    }
    struct Glyph {
        int frame;
        bool down;
        int glyph;
    } glyphs[] = {{1, false, 1}, {2, false, 3}, {3, false, 2}, {4, false, 1}, {5, false, 1}, {1, true, 4}, {3, true, 4}};
    for (const Glyph& g : glyphs) EXPECT_EQ(GlyphNumber(g.frame, g.down), g.glyph) << g.frame << g.down;
}

TEST(ButtonRules, CaptionColourByCell) {
    TDataSkinButton e("Buttons");
    e.HasNormalColour2 = true;
    e.NormalColour2 = 0x010101;
    e.HasPressedColour2 = true;
    e.PressedColour2 = 0x020202;
    e.MouseOverColour2 = 0x030303; // given without its flag: not used
    const TColor base = 0x0A0A0A;
    struct Case {
        int frame;
        bool enabled;
        TColor expected;
    } cases[] = {{1, true, 0x010101}, {2, true, 0x020202}, {4, true, base},      {5, true, base},
                 {3, true, clBtnShadow}, {1, false, clBtnShadow}, {2, false, clBtnShadow}};
    for (const Case& c : cases) EXPECT_EQ(ButtonCaptionColor(&e, c.frame, c.enabled, base), c.expected) << c.frame;
    EXPECT_EQ(ButtonCaptionColor(nullptr, 1, true, base), base);
}

} // namespace
} // namespace skincontrols
