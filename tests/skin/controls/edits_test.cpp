// Skinned edits and combo boxes: the edit border, an up-down inside an edit, the combo's button
// in each state against the skin's cells, the drop-down, typing into the combo's edit, the
// simple combo's list, detaching in either order and handle counts.
#include "controls_fixture.h"

#include "skin/controls/edits.h"
#include "skin/data/skin_elements.h"
#include "support/leak_loop.h"
#include "support/gui.h"
#include "ui/comctrls.h"
#include "ui/stdctrls.h"

#include <commctrl.h>

#include <array>

namespace skincontrols {
namespace {

using namespace wl;
using wl::test::WindowPixel;

constexpr COLORREF kShadow = RGB(10, 120, 200);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kKey = RGB(255, 0, 255);

// Solid cells for the combo button: normal, pressed, disabled, hot.
constexpr std::array<COLORREF, 4> kCells{RGB(200, 0, 0), RGB(0, 160, 0), RGB(0, 0, 180),
                                         RGB(220, 200, 0)};

class SkinEdits : public SkinControlsTest {
protected:
    TEdit* MakeEdit(bool ctl3d, TBorderStyle border) {
        auto* e = Add<TEdit>(RECT{10, 10, 150, 34});
        e->SetCtl3D(ctl3d);
        e->SetBorderStyle(border);
        e->HandleNeeded();
        return e;
    }
    TComboBox* MakeCombo(TComboBoxStyle style, RECT bounds = RECT{10, 50, 170, 72}) {
        auto* c = Add<TComboBox>(bounds);
        c->SetStyle(style);
        c->Items().Add("alpha");
        c->Items().Add("beta");
        c->HandleNeeded();
        return c;
    }
    TSkinComBox* SkinCombo(TComboBox* c) {
        return dynamic_cast<TSkinComBox*>(Attach("TSkinComBox", c));
    }
    COLORREF At(HWND w, int x, int y) {
        Repaint(w);
        return WindowPixel(w, x, y);
    }
    static SIZE WindowSize(HWND w) {
        RECT r{};
        GetWindowRect(w, &r);
        return SIZE{r.right - r.left, r.bottom - r.top};
    }
    // What a keyed skin pixel shows on the screen: the control's own face under it is not
    // known here, so callers pick points whose skin pixel is not the key.
    COLORREF ComboCell(int frame, SIZE size, int x, int y) {
        return ElementPixel(*data_->ComboButton, data_->ComboButton->Frame, frame, size, x, y);
    }
    // A point in the button area where all four cells of the skin's whole-face combo image are
    // opaque and tell the states apart.
    POINT DistinctButtonPoint(SIZE size) {
        const int a = GetSystemMetrics(SM_CXHSCROLL);
        for (int y = size.cy / 2; y < size.cy - 2; ++y)
            for (int x = size.cx - a; x < size.cx - 2; ++x) {
                std::array<COLORREF, 4> px{};
                bool ok = true;
                for (int f = 1; f <= 4 && ok; ++f) {
                    px[f - 1] = ComboCell(f, size, x, y);
                    ok = px[f - 1] != kKey && px[f - 1] != CLR_INVALID;
                }
                for (int i = 0; i < 4 && ok; ++i)
                    for (int j = i + 1; j < 4 && ok; ++j)
                        ok = px[i] != px[j];
                if (ok) return POINT{x, y};
            }
        return POINT{-1, -1};
    }
    // Replaces the skin's combo elements by plain cells of kCells (Image2 mirrored as the load
    // keeps it) without a sunken edge or arrow glyphs.
    void PlainComboCells(int style) {
        TDataSkinBorder& b = *data_->ComboButton;
        b.Image.SetSize(4 * 10, 12);
        b.Image2.SetSize(4 * 10, 12);
        for (int i = 0; i < 4; ++i) {
            FillColor(b.Image.Canvas().Handle(), RECT{i * 10, 0, i * 10 + 10, 12}, kCells[i]);
            FillColor(b.Image2.Canvas().Handle(), RECT{(3 - i) * 10, 0, (3 - i) * 10 + 10, 12},
                      kCells[i]);
        }
        b.Frame = 4;
        b.Style = style;
        data_->SunkEdge.reset();
        data_->ExtraImages.reset();
    }
    static void MouseAt(HWND w, UINT msg, POINT p, WPARAM keys = 0) {
        SendMessageW(w, msg, keys, MAKELPARAM(p.x, p.y));
        wl::test::PumpMessages(0);
    }
};

// ---- edits
// ---------------------------------------------------------------------------------------

TEST_F(SkinEdits, BorderIsAShadowLineWithAWhiteBandInside) {
    struct Case {
        const char* name;
        bool ctl3d;
        TBorderStyle border;
        bool drawn;
    } cases[] = {
        {"3-D border", true, bsSingle, true},
        {"flat one-pixel border", false, bsSingle, true},
        {"no border keeps its own look", true, bsNone, false},
    };
    data_->ButtonShadow = kShadow;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TEdit* edit = MakeEdit(c.ctl3d, c.border);
        HWND h = edit->Handle();
        const SIZE size = WindowSize(h);
        const COLORREF own0 = At(h, 0, size.cy / 2), own2 = At(h, 2, size.cy / 2);
        TSkinControl* skin = Attach("TSkinEdit", edit);
        ASSERT_NE(skin, nullptr);
        if (c.drawn) {
            EXPECT_EQ(At(h, 0, size.cy / 2), kShadow);
            EXPECT_EQ(At(h, size.cx - 1, 3), kShadow);
            EXPECT_EQ(At(h, 1, size.cy / 2), kWhite);
            EXPECT_EQ(At(h, 2, size.cy / 2), kWhite);
            EXPECT_EQ(At(h, size.cx / 2, size.cy - 3), kWhite);
        } else {
            EXPECT_EQ(At(h, 0, size.cy / 2), own0);
            EXPECT_EQ(At(h, 2, size.cy / 2), own2);
        }
        delete skin;
        EXPECT_EQ(At(h, 0, size.cy / 2), own0) << "detached: the edit's own frame again";
        delete edit;
    }
}

TEST_F(SkinEdits, BorderSurvivesTypingFocusAndDisabling) {
    data_->ButtonShadow = kShadow;
    TEdit* edit = MakeEdit(true, bsSingle);
    HWND h = edit->Handle();
    ASSERT_NE(Attach("TSkinEdit", edit), nullptr);
    const SIZE size = WindowSize(h);
    SetFocus(h);
    for (wchar_t ch : std::wstring(L"lark"))
        SendMessageW(h, WM_CHAR, ch, 1);
    wl::test::PumpMessages(0);
    EXPECT_EQ(edit->Text(), "lark");
    EXPECT_EQ(WindowPixel(h, 0, size.cy / 2), kShadow) << "after typing (no forced repaint)";
    EXPECT_EQ(WindowPixel(h, 1, size.cy / 2), kWhite);
    edit->SetEnabled(false);
    wl::test::PumpMessages(0);
    EXPECT_EQ(WindowPixel(h, 0, size.cy / 2), kShadow) << "after disabling";
}

TEST_F(SkinEdits, PaintClientRequestPaintsTheTextIntoTheCallersContext) {
    TEdit* edit = MakeEdit(true, bsSingle);
    edit->SetText("WWWWWWWW");
    ASSERT_NE(Attach("TSkinEdit", edit), nullptr);
    HWND h = edit->Handle();
    RECT client{};
    GetClientRect(h, &client);
    TBitmap target;
    target.SetSize(client.right, client.bottom);
    HDC dc = target.Canvas().Handle();
    auto darkPixels = [&] {
        int n = 0;
        for (int y = 0; y < client.bottom; ++y)
            for (int x = 0; x < client.right; ++x)
                if (GetRValue(GetPixel(dc, x, y)) < 100) ++n;
        return n;
    };
    struct Case {
        LPARAM magic;
        LRESULT answer;
        bool painted;
    } cases[] = {{SKM_MAGIC, SKM_MAGIC, true}, {0x1234, 0, false}};
    for (const Case& c : cases) {
        FillColor(dc, client, kWhite);
        EXPECT_EQ(SendMessageW(h, SKM_PAINTCLIENT, reinterpret_cast<WPARAM>(dc), c.magic),
                  c.answer);
        EXPECT_EQ(darkPixels() > 10, c.painted) << "lParam " << c.magic;
    }
}

TEST_F(SkinEdits, UpDownInsideTheEditIsSkinnedOnceAndKeepsClearOfTheBorder) {
    data_->ButtonShadow = kShadow;
    TEdit* edit = MakeEdit(true, bsSingle);
    HWND h = edit->Handle();
    RECT client{};
    GetClientRect(h, &client);
    HWND spin = CreateWindowExW(0, UPDOWN_CLASSW, L"", WS_CHILD | WS_VISIBLE, client.right - 14, 0,
                                14, client.bottom, h, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(spin, nullptr);
    auto* skin = dynamic_cast<TSkinEdit*>(Attach("TSkinEdit", edit));
    ASSERT_NE(skin, nullptr);
    Repaint(h);
    ASSERT_NE(skin->FUpDown, nullptr);
    EXPECT_EQ(skin->FUpDown->Handle(), spin);
    EXPECT_EQ(GetEnumProperty(skin->FUpDown.get(), "InEdit"), "True");
    EXPECT_EQ(SendMessageW(spin, SKM_ISSKINNED, 0, 0), 1);
    TSkinControl* first = skin->FUpDown.get();
    Repaint(h);
    EXPECT_EQ(skin->FUpDown.get(), first) << "found once, not again at every paint";

    const SIZE size = WindowSize(h);
    // The edit's skin border runs past the up-down: its outer line and white band stay.
    EXPECT_EQ(WindowPixel(h, size.cx - 1, size.cy / 2), kShadow);
    EXPECT_EQ(WindowPixel(h, size.cx - 3, size.cy / 2), kWhite);
    EXPECT_EQ(WindowPixel(h, size.cx / 2, 2), kWhite);
    delete skin; // frees the up-down's companion too
    EXPECT_EQ(SendMessageW(spin, SKM_ISSKINNED, 0, 0), 0);
}

TEST_F(SkinEdits, UpDownCreatedLaterIsSkinnedAtTheNextPaint) {
    TEdit* edit = MakeEdit(true, bsSingle);
    HWND h = edit->Handle();
    auto* skin = dynamic_cast<TSkinEdit*>(Attach("TSkinEdit", edit));
    ASSERT_NE(skin, nullptr);
    Repaint(h);
    EXPECT_EQ(skin->FUpDown, nullptr);
    RECT client{};
    GetClientRect(h, &client);
    HWND spin = CreateWindowExW(0, UPDOWN_CLASSW, L"", WS_CHILD | WS_VISIBLE, client.right - 14, 0,
                                14, client.bottom, h, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(SendMessageW(spin, SKM_ISSKINNED, 0, 0), 0);
    Repaint(h);
    ASSERT_NE(skin->FUpDown, nullptr);
    EXPECT_EQ(skin->FUpDown->Handle(), spin);
    EXPECT_EQ(SendMessageW(spin, SKM_ISSKINNED, 0, 0), 1);
}

TEST_F(SkinEdits, NoUpDownCompanionWithoutSpinSkinning) {
    data_->SetSkinControls(data_->SkinControls() & ~SkinControlBit(xcSpin));
    TEdit* edit = MakeEdit(true, bsSingle);
    RECT client{};
    GetClientRect(edit->Handle(), &client);
    HWND spin =
        CreateWindowExW(0, UPDOWN_CLASSW, L"", WS_CHILD | WS_VISIBLE, client.right - 14, 0, 14,
                        client.bottom, edit->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    auto* skin = dynamic_cast<TSkinEdit*>(Attach("TSkinEdit", edit));
    ASSERT_NE(skin, nullptr);
    Repaint(edit->Handle());
    EXPECT_EQ(skin->FUpDown, nullptr);
    EXPECT_EQ(SendMessageW(spin, SKM_ISSKINNED, 0, 0), 0);
}

TEST_F(SkinEdits, PrintedEditGetsTheShadowLineOnlyWithABorder) {
    data_->ButtonShadow = kShadow;
    struct Case {
        const char* name;
        TBorderStyle border;
        bool framed;
    } cases[] = {{"3-D border", bsSingle, true}, {"no border", bsNone, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TEdit* edit = MakeEdit(true, c.border);
        HWND h = edit->Handle();
        ASSERT_NE(Attach("TSkinEdit", edit), nullptr);
        const SIZE size = WindowSize(h);
        TBitmap target;
        target.SetSize(size.cx, size.cy);
        HDC dc = target.Canvas().Handle();
        FillColor(dc, RECT{0, 0, size.cx, size.cy}, RGB(1, 2, 3));
        SendMessageW(h, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                     PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
        SelectClipRgn(dc, nullptr); // the edit leaves its text rectangle as the clip
        EXPECT_EQ(GetPixel(dc, 0, size.cy / 2) == kShadow, c.framed);
        EXPECT_EQ(GetPixel(dc, size.cx - 1, size.cy / 2) == kShadow, c.framed);
        delete edit;
    }
}

TEST_F(SkinEdits, TimePickerShownAsAnEditGetsTheEditBorder) {
    data_->ButtonShadow = kShadow;
    auto* picker = Add<TDateTimePicker>(RECT{10, 10, 150, 34});
    picker->SetKind(dtkTime);
    picker->HandleNeeded();
    HWND h = picker->Handle();
    const SIZE size = WindowSize(h);
    const COLORREF own = At(h, 0, size.cy / 2);
    ASSERT_NE(own, kShadow);
    TSkinControl* skin = Attach("TSkinEdit", picker);
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(At(h, 0, size.cy / 2), kShadow);
    EXPECT_EQ(At(h, 1, size.cy / 2), kWhite);
    delete skin;
    EXPECT_EQ(At(h, 0, size.cy / 2), own);
}

// ---- combo boxes
// ---------------------------------------------------------------------------------

TEST_F(SkinEdits, ComboButtonShowsTheSkinCellOfEachState) {
    ASSERT_TRUE(HasElement(data_->ComboButton.get()));
    TComboBox* combo = MakeCombo(csDropDown);
    HWND h = combo->Handle();
    TSkinComBox* skin = SkinCombo(combo);
    ASSERT_NE(skin, nullptr);
    const SIZE size = WindowSize(h);
    const POINT p = DistinctButtonPoint(size);
    ASSERT_GE(p.x, 0) << "the default skin's combo cells differ in the button";
    const int a = GetSystemMetrics(SM_CXHSCROLL);
    const POINT button{size.cx - a / 2 - 1, size.cy / 2};
    const POINT text{10, size.cy / 2};
    auto shown = [&] { return At(h, p.x, p.y); };
    SetFocus(form_->Handle());
    wl::test::PumpMessages(0);

    EXPECT_EQ(shown(), ComboCell(1, size, p.x, p.y)) << "normal";
    MouseAt(h, WM_MOUSEMOVE, text);
    EXPECT_FALSE(skin->MouseFlags() & mfHot) << "the text area is not the button";
    EXPECT_EQ(shown(), ComboCell(1, size, p.x, p.y));
    MouseAt(h, WM_MOUSEMOVE, button);
    EXPECT_TRUE(skin->MouseFlags() & mfHot);
    EXPECT_EQ(shown(), ComboCell(4, size, p.x, p.y)) << "hot";
    MouseAt(h, WM_MOUSEMOVE, text);
    EXPECT_EQ(shown(), ComboCell(1, size, p.x, p.y)) << "leaving the button clears hot";
    MouseAt(h, WM_MOUSEMOVE, button);
    SendMessageW(h, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(shown(), ComboCell(1, size, p.x, p.y)) << "leaving the control clears hot";

    SetFocus(h);
    wl::test::PumpMessages(0);
    EXPECT_EQ(shown(), ComboCell(4, size, p.x, p.y)) << "focused (the edit inside has the focus)";
    SetFocus(form_->Handle());
    wl::test::PumpMessages(0);

    EnableWindow(h, FALSE);
    MouseAt(h, WM_MOUSEMOVE, button);
    EXPECT_EQ(shown(), ComboCell(3, size, p.x, p.y)) << "disabled, whatever the mouse does";
    EnableWindow(h, TRUE);
    wl::test::PumpMessages(0);

    MouseAt(h, WM_LBUTTONDOWN, button, MK_LBUTTON);
    EXPECT_EQ(shown(), ComboCell(2, size, p.x, p.y)) << "pressed";
    MouseAt(h, WM_LBUTTONUP, button);
    SendMessageW(h, CB_SHOWDROPDOWN, FALSE, 0);
    wl::test::PumpMessages(0);
}

TEST_F(SkinEdits, ClickOnTheSkinnedButtonDropsTheListDown) {
    TComboBox* combo = MakeCombo(csDropDownList);
    HWND h = combo->Handle();
    TSkinComBox* skin = SkinCombo(combo);
    ASSERT_NE(skin, nullptr);
    Repaint(h);
    const SIZE size = WindowSize(h);
    const POINT button{(skin->FButtonRect.left + skin->FButtonRect.right) / 2, size.cy / 2};
    EXPECT_GT(skin->FButtonRect.right - skin->FButtonRect.left, 4) << "the button was drawn";
    MouseAt(h, WM_LBUTTONDOWN, button, MK_LBUTTON);
    MouseAt(h, WM_LBUTTONUP, button);
    EXPECT_TRUE(SendMessageW(h, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_TRUE(skin->FDroppedDown);
    EXPECT_FALSE(skin->MouseFlags() & mfPressed);
    SendMessageW(h, CB_SHOWDROPDOWN, FALSE, 0);
    wl::test::PumpMessages(0);
    EXPECT_FALSE(skin->FDroppedDown);
}

TEST_F(SkinEdits, TypingIntoTheEmbeddedEditStillWorks) {
    TComboBox* combo = MakeCombo(csDropDown);
    HWND h = combo->Handle();
    TSkinComBox* skin = SkinCombo(combo);
    ASSERT_NE(skin, nullptr);
    HWND edit = GetTopWindow(h);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(skin->FEditWindow, edit);
    SetFocus(edit);
    for (wchar_t ch : std::wstring(L"gamma"))
        SendMessageW(edit, WM_CHAR, ch, 1);
    wl::test::PumpMessages(0);
    EXPECT_EQ(combo->Text(), "gamma");
    // A click in the edit presses the combo's button look; letting go releases it.
    MouseAt(edit, WM_LBUTTONDOWN, POINT{3, 3}, MK_LBUTTON);
    EXPECT_TRUE(skin->MouseFlags() & mfPressed);
    MouseAt(edit, WM_LBUTTONUP, POINT{3, 3});
    EXPECT_FALSE(skin->MouseFlags() & mfPressed);
    EXPECT_EQ(combo->Text(), "gamma");
}

TEST_F(SkinEdits, ButtonVariantsDrawTheStateCellOnTheirSide) {
    struct Case {
        const char* name;
        int style;
        bool left;
    } cases[] = {
        {"frame and button, right", 0, false},
        {"frame and button, left (mirrored image)", 0, true},
        {"flat, right", 1, false},
        {"flat, left", 1, true},
    };
    PlainComboCells(0);
    const int a = GetSystemMetrics(SM_CXHSCROLL);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        data_->ComboButton->Style = c.style;
        TComboBox* combo = MakeCombo(csDropDownList);
        HWND h = combo->Handle();
        if (c.left)
            SetWindowLongPtrW(h, GWL_EXSTYLE,
                              GetWindowLongPtrW(h, GWL_EXSTYLE) | WS_EX_LEFTSCROLLBAR);
        TSkinComBox* skin = SkinCombo(combo);
        ASSERT_NE(skin, nullptr);
        const SIZE size = WindowSize(h);
        // Inside the button on its side, away from the frame.
        const int x = c.left ? 4 : size.cx - 5;
        const POINT p{x, 4};
        EXPECT_EQ(At(h, p.x, p.y), kCells[0]) << "normal";
        const RECT& b = skin->FButtonRect;
        EXPECT_EQ(c.left, b.left < size.cx / 2) << "button rectangle on the drawn side";
        if (c.style == 0) {
            EXPECT_EQ(b.right - b.left, a + 2);
        }
        MouseAt(h, WM_MOUSEMOVE, POINT{(b.left + b.right) / 2, (b.top + b.bottom) / 2});
        EXPECT_EQ(At(h, p.x, p.y), kCells[3]) << "hot";
        EnableWindow(h, FALSE);
        EXPECT_EQ(At(h, p.x, p.y), kCells[2]) << "disabled";
        delete combo;
    }
}

TEST_F(SkinEdits, LeftButtonFaceIsTheMirrorOfTheRightOne) {
    const RECT bounds{10, 50, 170, 72};
    TComboBox* right = MakeCombo(csDropDownList, bounds);
    TComboBox* left = MakeCombo(csDropDownList, RECT{10, 90, 170, 112});
    SetWindowLongPtrW(left->Handle(), GWL_EXSTYLE,
                      GetWindowLongPtrW(left->Handle(), GWL_EXSTYLE) | WS_EX_LEFTSCROLLBAR);
    ASSERT_NE(SkinCombo(right), nullptr);
    ASSERT_NE(SkinCombo(left), nullptr);
    Repaint(form_->Handle());
    const SIZE size = WindowSize(right->Handle());
    const POINT p = DistinctButtonPoint(size);
    ASSERT_GE(p.x, 0);
    const COLORREF r = WindowPixel(right->Handle(), p.x, p.y);
    EXPECT_EQ(r, ComboCell(1, size, p.x, p.y));
    EXPECT_EQ(WindowPixel(left->Handle(), size.cx - 1 - p.x, p.y), r) << "the same state, mirrored";
}

TEST_F(SkinEdits, OnlySimpleCombosGetTheirListSkinned) {
    const bool scrollKindLinked = FindClass("TSkinScrollbarH") != nullptr;
    struct Case {
        TComboBoxStyle style;
        bool list;
    } cases[] = {{csSimple, true}, {csDropDown, false}, {csDropDownList, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        TComboBox* combo = MakeCombo(c.style, RECT{10, 50, 170, c.style == csSimple ? 150 : 72});
        TSkinComBox* skin = SkinCombo(combo);
        ASSERT_NE(skin, nullptr);
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetComboBoxInfo(combo->Handle(), &info));
        EXPECT_EQ(skin->FListWindow, c.list ? info.hwndList : nullptr);
        EXPECT_EQ(skin->FListSkin != nullptr, c.list && scrollKindLinked);
        if (skin->FListSkin) {
            EXPECT_EQ(skin->FListSkin->Handle(), info.hwndList);
        }
        delete combo;
    }
}

TEST_F(SkinEdits, DetachingInEitherOrderGivesBackTheComboAndItsEdit) {
    for (bool companionFirst : {true, false}) {
        SCOPED_TRACE(companionFirst ? "companion freed first" : "outer layer freed first");
        TComboBox* combo = MakeCombo(csDropDown);
        HWND h = combo->Handle();
        HWND edit = GetTopWindow(h);
        const LONG_PTR editProc = GetWindowLongPtrW(edit, GWLP_WNDPROC);
        const int layers = combo->WindowProc.LayerCount();
        const SIZE size = WindowSize(h);
        const POINT p = DistinctButtonPoint(size);
        const COLORREF own = At(h, p.x, p.y);
        TSkinComBox* skin = SkinCombo(combo);
        ASSERT_NE(skin, nullptr);
        EXPECT_NE(At(h, p.x, p.y), own) << "skinned look differs from the own look";
        auto outer = combo->WindowProc.Add(
            [](TMessage& m, const TWindowProcChain::Previous& prev) { prev(m); });
        if (companionFirst) {
            delete skin;
            outer.Remove();
        } else {
            outer.Remove();
            delete skin;
        }
        EXPECT_EQ(combo->WindowProc.LayerCount(), layers);
        EXPECT_EQ(GetWindowLongPtrW(edit, GWLP_WNDPROC), editProc);
        EXPECT_EQ(SendMessageW(h, SKM_ISSKINNED, 0, 0), 0);
        EXPECT_EQ(At(h, p.x, p.y), own);
        SendMessageW(edit, WM_CHAR, L'x', 1);
        EXPECT_EQ(combo->Text(), "x");
        delete combo;
    }
}

TEST_F(SkinEdits, RepaintsAndAttachCyclesLeaveNoHandlesBehind) {
    TComboBox* combo = MakeCombo(csDropDown);
    TEdit* edit = MakeEdit(true, bsSingle);
    auto cycle = [&] {
        TSkinControl* a = Attach("TSkinComBox", combo);
        TSkinControl* b = Attach("TSkinEdit", edit);
        Repaint(form_->Handle());
        MouseAt(combo->Handle(), WM_MOUSEMOVE, POINT{WindowSize(combo->Handle()).cx - 5, 5});
        delete a;
        delete b;
    };
    wl::test::ExpectNoLeak([&](int) { cycle(); });
}

} // namespace
} // namespace skincontrols
