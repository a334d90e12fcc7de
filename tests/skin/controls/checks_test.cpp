// Check boxes and radio buttons: the cell chosen for every state, the layout of mark and caption,
// the drawing read back by pixels against the skin's own cells, clicks and Space still reaching
// the real control, bare dialog buttons attached by handle, detaching in either order and GDI
// objects staying flat.
#include "controls_fixture.h"

#include "skin/controls/checks.h"
#include "skin/data/skin_elements.h"
#include "support/leak_loop.h"
#include "support/capture.h"
#include "support/gui.h"
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

struct FrameCase {
    TCheckMark mark;
    bool disabled, hot, pressed;
    int frames;
    int expected;
};

TEST(CheckFrames, CheckBoxCellForEveryStateAndStripLength) {
    using M = TCheckMark;
    const FrameCase cases[] = {
        {M::Unchecked, false, false, false, 12, 1}, {M::Unchecked, false, true, false, 12, 1},
        {M::Unchecked, false, false, true, 12, 1},  {M::Unchecked, false, true, true, 12, 1},
        {M::Unchecked, true, true, true, 12, 4},    {M::Checked, false, false, false, 12, 5},
        {M::Checked, false, true, false, 12, 5},    {M::Checked, false, false, true, 12, 5},
        {M::Checked, true, false, false, 12, 8},    {M::Grayed, false, false, false, 12, 9},
        {M::Grayed, false, true, false, 12, 9},    {M::Grayed, false, false, true, 12, 9},
        {M::Grayed, true, false, false, 12, 12},    {M::Unchecked, false, false, false, 4, 1},
        {M::Checked, false, true, true, 4, 2},      {M::Unchecked, true, false, false, 4, 3},
        {M::Checked, true, false, false, 4, 4},     {M::Grayed, false, false, false, 4, 4},
        {M::Grayed, true, false, false, 4, 4},      {M::Checked, true, false, false, 6, 4},
        {M::Unchecked, false, true, false, 6, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckBoxFrame({c.mark, c.disabled, c.hot, c.pressed}, c.frames), c.expected)
            << "mark " << int(c.mark) << " disabled " << c.disabled << " hot " << c.hot << " pressed "
            << c.pressed << " frames " << c.frames;
}

TEST(CheckFrames, RadioCellForEveryStateAndStripLength) {
    using M = TCheckMark;
    const FrameCase cases[] = {
        {M::Unchecked, false, false, false, 8, 1}, {M::Unchecked, false, true, false, 8, 1},
        {M::Unchecked, false, false, true, 8, 1},  {M::Unchecked, true, false, false, 8, 4},
        {M::Checked, false, false, false, 8, 5},   {M::Checked, false, true, false, 8, 5},
        {M::Checked, false, false, true, 8, 5},    {M::Checked, true, true, false, 8, 8},
        {M::Grayed, false, false, false, 8, 1},    {M::Unchecked, false, true, false, 4, 1},
        {M::Checked, false, false, false, 4, 2},   {M::Unchecked, true, false, false, 4, 3},
        {M::Checked, true, false, false, 4, 4},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RadioButtonFrame({c.mark, c.disabled, c.hot, c.pressed}, c.frames), c.expected)
            << "mark " << int(c.mark) << " disabled " << c.disabled << " frames " << c.frames;
}

TEST(CheckLayout, MarkCentredAtTheTextSide) {
    struct Case {
        RECT client;
        bool leftText, radio;
        RECT mark, caption;
    };
    const Case cases[] = {
        {{0, 0, 100, 21}, false, false, {0, 4, 13, 17}, {15, 0, 100, 21}},
        {{0, 0, 100, 21}, false, true, {0, 4, 13, 17}, {15, 0, 100, 21}},
        {{0, 0, 100, 21}, true, false, {87, 4, 100, 17}, {0, 0, 85, 21}},
        {{0, 0, 100, 21}, true, true, {86, 4, 99, 17}, {0, 0, 84, 21}},
        {{0, 0, 100, 8}, false, false, {0, -2, 13, 11}, {15, 0, 100, 8}}, // taller than the control
    };
    for (const auto& c : cases) {
        const TCheckLayout l = LayoutCheck(c.client, SIZE{13, 13}, c.leftText, c.radio);
        EXPECT_TRUE(EqualRect(&l.Mark, &c.mark)) << "left text " << c.leftText << " radio " << c.radio
                                                 << " mark " << l.Mark.left << "," << l.Mark.top;
        EXPECT_TRUE(EqualRect(&l.Caption, &c.caption))
            << "left text " << c.leftText << " caption " << l.Caption.left << ".." << l.Caption.right;
    }
}

// ---- on real controls ----------------------------------------------------------------------------

// The window as it is drawn, read once from its own DC.
wl::test::TCapture Shot(HWND window) { return wl::test::TCapture::WindowDC(window); }

class CheckControls : public SkinControlsTest {
protected:
    TBitmap& CheckStrip() { return data_->Buttons->CheckImage; }
    TBitmap& RadioStrip() { return data_->Buttons->RadioImage; }
    int CheckFrames() { return data_->Buttons->CheckButtonFrame; }
    int RadioFrames() { return data_->Buttons->RadioButtonFrame; }

    // Pixels of cell `frame` that differ in the window at (x0, y0); key pixels are left out.
    static int CellMismatches(HWND window, int x0, int y0, TBitmap& strip, int frames, int frame) {
        const wl::test::TCapture shot = Shot(window);
        const int w = strip.Width() / frames, h = strip.Height();
        HDC src = strip.Canvas().Handle();
        int bad = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const COLORREF s = GetPixel(src, (frame - 1) * w + x, y);
                if (s != kMagenta && shot.At(x0 + x, y0 + y) != s) ++bad;
            }
        return bad;
    }
    // The cell the window shows at (x0, y0): the only one of the strip that matches, else 0.
    static int ShownCell(HWND window, int x0, int y0, TBitmap& strip, int frames) {
        int shown = 0;
        for (int f = 1; f <= frames; ++f)
            if (CellMismatches(window, x0, y0, strip, frames, f) == 0) {
                if (shown) return -1; // two cells alike: the test could not tell them apart
                shown = f;
            }
        return shown;
    }
    int MarkTop(TWinControl* c) { return (c->Height() - CheckStrip().Height()) / 2; }
    static void HoverOver(HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        SetCursorPos(r.left + 4, (r.top + r.bottom) / 2);
        SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(4, 5));
    }
    static void Click(HWND window, int x, int y) {
        SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        PumpMessages(0);
    }
    static void PressSpace(HWND window) {
        SendMessageW(window, WM_KEYDOWN, VK_SPACE, 0x00390001);
        SendMessageW(window, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001u));
        PumpMessages(0);
    }
    void TearDown() override {
        SetCursorPos(0, 0);
        SkinControlsTest::TearDown();
    }
};

TEST_F(CheckControls, EveryStateShowsItsSkinCell) {
    ASSERT_EQ(CheckFrames(), 12);
    ASSERT_EQ(RadioFrames(), 8);
    struct Case {
        bool radio;
        TCheckBoxState state;
        bool disabled, hot, pressed;
        int cell;
    };
    const Case cases[] = {
        {false, cbUnchecked, false, false, false, 1}, {false, cbChecked, false, false, false, 5},
        {false, cbGrayed, false, false, false, 9},    {false, cbUnchecked, true, false, false, 4},
        {false, cbChecked, true, false, false, 8},    {false, cbGrayed, true, false, false, 12},
        {false, cbUnchecked, false, true, false, 1},  {false, cbChecked, false, true, false, 5},
        {false, cbGrayed, false, true, false, 9},    {false, cbUnchecked, false, false, true, 1},
        {false, cbChecked, false, false, true, 5},    {false, cbGrayed, false, false, true, 9},
        {true, cbUnchecked, false, false, false, 1},  {true, cbChecked, false, false, false, 5},
        {true, cbUnchecked, true, false, false, 4},   {true, cbChecked, true, false, false, 8},
        {true, cbUnchecked, false, true, false, 1},   {true, cbChecked, false, true, false, 5},
        {true, cbUnchecked, false, false, true, 1},   {true, cbChecked, false, false, true, 5},
    };
    for (const auto& c : cases) {
        TWinControl* control = nullptr;
        if (c.radio) {
            auto* radio = Add<TRadioButton>(RECT{10, 10, 160, 31});
            radio->SetChecked(c.state == cbChecked);
            control = radio;
        } else {
            auto* box = Add<TCheckBox>(RECT{10, 10, 160, 31});
            box->SetAllowGrayed(true);
            box->SetState(c.state);
            control = box;
        }
        control->SetCaption("Option");
        ASSERT_NE(Attach(c.radio ? "TSkinRadioButton" : "TSkinCheckBox", control), nullptr);
        if (c.disabled) control->SetEnabled(false);
        if (c.hot) HoverOver(control->Handle());
        if (c.pressed) SendMessageW(control->Handle(), BM_SETSTATE, TRUE, 0);
        PumpMessages(0);
        EXPECT_EQ(ShownCell(control->Handle(), 0, MarkTop(control), c.radio ? RadioStrip() : CheckStrip(),
                            c.radio ? RadioFrames() : CheckFrames()),
                  c.cell)
            << (c.radio ? "radio" : "check box") << " state " << c.state << " disabled " << c.disabled << " hot "
            << c.hot << " pressed " << c.pressed;
        SetCursorPos(0, 0);
        delete control;
    }
}

// A data-bound check box: its own State follows the data source later than the window.
class TTestDataCheckBox : public TCheckBox {
    WL_CLASS(TTestDataCheckBox, TCheckBox)
public:
    using TCheckBox::TCheckBox;
    std::string Field;
};

WL_DEFINE_CLASS(TTestDataCheckBox, [](ClassBuilder<TTestDataCheckBox>& c) {
    c.Str("DataField", [](const TTestDataCheckBox& b) { return b.Field; },
          [](TTestDataCheckBox& b, const std::string& v) { b.Field = v; });
})

TEST_F(CheckControls, StateComesFromTheControlAndForDataBoundOnesFromTheLastCheckSent) {
    struct Case {
        bool dataBound;
        WPARAM sent;
        int cell;
    };
    // The window is told a state the control object does not know yet.
    const Case cases[] = {{false, BST_CHECKED, 1}, {true, BST_CHECKED, 5}, {true, BST_UNCHECKED, 1},
                          {true, BST_INDETERMINATE, 9}};
    for (const auto& c : cases) {
        TCheckBox* box = c.dataBound ? Add<TTestDataCheckBox>(RECT{10, 10, 160, 31}) : Add<TCheckBox>(RECT{10, 10, 160, 31});
        ASSERT_NE(Attach("TSkinCheckBox", box), nullptr);
        SendMessageW(box->Handle(), BM_SETCHECK, c.sent, 0);
        Repaint(box->Handle());
        EXPECT_EQ(ShownCell(box->Handle(), 0, MarkTop(box), CheckStrip(), CheckFrames()), c.cell)
            << "data bound " << c.dataBound << " sent " << c.sent;
        EXPECT_EQ(box->State(), cbUnchecked) << "the control object was not told";
        delete box;
    }
}

TEST_F(CheckControls, LeftTextPutsTheMarkAtTheRightEdge) {
    auto* box = Add<TCheckBox>(RECT{10, 10, 160, 31});
    box->SetAlignment(taLeftJustify);
    box->SetChecked(true);
    auto* radio = Add<TRadioButton>(RECT{10, 40, 160, 61});
    radio->SetAlignment(taLeftJustify);
    ASSERT_NE(Attach("TSkinCheckBox", box), nullptr);
    ASSERT_NE(Attach("TSkinRadioButton", radio), nullptr);
    Repaint(form_->Handle());
    const int w = CheckStrip().Width() / CheckFrames();
    EXPECT_EQ(CellMismatches(box->Handle(), box->Width() - w, MarkTop(box), CheckStrip(), CheckFrames(), 5), 0);
    EXPECT_EQ(CellMismatches(radio->Handle(), radio->Width() - w - 1, MarkTop(radio), RadioStrip(), RadioFrames(), 1),
              0);
    EXPECT_NE(CellMismatches(box->Handle(), 0, MarkTop(box), CheckStrip(), CheckFrames(), 5), 0);
}

// Where the caption's text lies: its bounding box and the number of separate bands of rows.
struct Ink {
    RECT box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    int bands = 0;
};
Ink FindInk(HWND window, int fromX, int toX, COLORREF background) {
    const wl::test::TCapture shot = Shot(window);
    Ink ink;
    bool previous = false;
    for (int y = 0; y < shot.Height(); ++y) {
        bool row = false;
        for (int x = fromX; x < toX; ++x)
            if (shot.At(x, y) != background) {
                row = true;
                ink.box = RECT{std::min<LONG>(ink.box.left, x), std::min<LONG>(ink.box.top, y),
                               std::max<LONG>(ink.box.right, x + 1), std::max<LONG>(ink.box.bottom, y + 1)};
            }
        if (row && !previous) ++ink.bands;
        previous = row;
    }
    return ink;
}

TEST_F(CheckControls, CaptionWrapsAndSitsBesideTheMark) {
    const int w = CheckStrip().Width() / CheckFrames();
    struct Case {
        TAlignment alignment;
        const char* caption;
        RECT bounds;
        int bands;
        bool rightToLeft;
    };
    const Case cases[] = {
        {taRightJustify, "Short", {10, 10, 200, 60}, 1, false},
        {taRightJustify, "A caption long enough to wrap onto a second line", {10, 10, 200, 60}, 2, false},
        {taLeftJustify, "Short", {10, 10, 200, 31}, 1, false},
        {taLeftJustify, "Short", {10, 10, 200, 31}, 1, true},
    };
    for (const auto& c : cases) {
        auto* box = Add<TCheckBox>(c.bounds);
        box->SetAlignment(c.alignment);
        box->SetCaption(c.caption);
        if (c.rightToLeft)
            SetWindowLongPtrW(box->Handle(), GWL_EXSTYLE,
                              GetWindowLongPtrW(box->Handle(), GWL_EXSTYLE) | WS_EX_RTLREADING);
        ASSERT_NE(Attach("TSkinCheckBox", box), nullptr);
        Repaint(box->Handle());
        const bool left = c.alignment == taLeftJustify;
        const int from = left ? 0 : w + 1, to = left ? box->Width() - w - 1 : box->Width();
        const Ink ink = FindInk(box->Handle(), from, to, ColorToRGB(data_->ButtonFace));
        EXPECT_EQ(ink.bands, c.bands) << c.caption;
        if (left && c.rightToLeft) {
            EXPECT_GT(ink.box.right, box->Width() - w - 12) << "right-aligned against the mark";
            EXPECT_GT(ink.box.left, box->Width() / 2);
        } else if (left) {
            EXPECT_LT(ink.box.left, 8) << "left text reads from the control's left edge";
            EXPECT_LT(ink.box.right, box->Width() / 2);
        } else {
            EXPECT_LT(ink.box.left, w + 8) << "starts right after the mark";
        }
        const int middle = (ink.box.top + ink.box.bottom) / 2;
        EXPECT_NEAR(middle, box->Height() / 2, 3) << "centred vertically: " << c.caption;
        delete box;
    }
}

TEST_F(CheckControls, BackgroundIsTheFaceOrTheParentsPictureWhenTransparent) {
    auto* panel = Add<TPanel>(RECT{0, 0, 300, 100});
    panel->SetBevelOuter(bvNone);
    panel->SetColor(RGB(0, 120, 0));
    auto* plain = Add<TCheckBox>(RECT{10, 10, 160, 31}, panel);
    auto* clear = Add<TCheckBox>(RECT{10, 40, 160, 61}, panel);
    clear->SetTag(5555);
    ASSERT_NE(Attach("TSkinCheckBox", plain), nullptr);
    ASSERT_NE(Attach("TSkinCheckBox", clear), nullptr);
    Repaint(form_->Handle());
    const COLORREF face = ColorToRGB(data_->ButtonFace);
    ASSERT_NE(face, RGB(0, 120, 0));
    EXPECT_EQ(Shot(plain->Handle()).At(plain->Width() - 3, 2), face);
    EXPECT_EQ(Shot(clear->Handle()).At(clear->Width() - 3, 2), RGB(0, 120, 0));
}

// Pixels that differ between two pictures of the same window, with their bounding box.
struct Diff {
    int count = 0;
    RECT box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
};
Diff Compare(const wl::test::TCapture& a, const wl::test::TCapture& b) {
    Diff d;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.At(x, y) != b.At(x, y)) {
                ++d.count;
                d.box = RECT{std::min<LONG>(d.box.left, x), std::min<LONG>(d.box.top, y),
                             std::max<LONG>(d.box.right, x + 1), std::max<LONG>(d.box.bottom, y + 1)};
            }
    return d;
}

TEST_F(CheckControls, FocusFrameSurroundsTheCaptionOnlyWhenThereIsOne) {
    for (const char* caption : {"Remember me", ""}) {
        auto* other = Add<TButton>(RECT{200, 200, 260, 225});
        auto* box = Add<TCheckBox>(RECT{10, 10, 160, 31});
        box->SetCaption(caption);
        ASSERT_NE(Attach("TSkinCheckBox", box), nullptr);
        SendMessageW(box->Handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
        SetFocus(other->Handle());
        Repaint(box->Handle());
        const wl::test::TCapture blurred = Shot(box->Handle());
        SetFocus(box->Handle());
        Repaint(box->Handle());
        const wl::test::TCapture focused = Shot(box->Handle());
        const Diff d = Compare(blurred, focused);
        if (*caption) {
            EXPECT_GT(d.count, 10) << "a dotted frame";
            EXPECT_GE(d.box.left, 13) << "nothing changes over the mark";
            EXPECT_LT(d.box.right, 120) << "tight around the caption";
        } else {
            EXPECT_EQ(d.count, 0) << "no caption, no frame";
        }
        delete box;
        delete other;
    }
}

TEST_F(CheckControls, ClicksAndSpaceStillToggleTheRealCheckBox) {
    auto* box = Add<TCheckBox>(RECT{10, 10, 160, 31});
    box->SetAllowGrayed(true);
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    ASSERT_NE(Attach("TSkinCheckBox", box), nullptr);
    HWND h = box->Handle();

    Click(h, 5, 10);
    EXPECT_EQ(box->State(), cbGrayed);
    EXPECT_EQ(SendMessageW(h, BM_GETCHECK, 0, 0), BST_INDETERMINATE);
    Click(h, 5, 10);
    EXPECT_EQ(box->State(), cbChecked);
    SetFocus(h);
    PressSpace(h);
    EXPECT_EQ(box->State(), cbUnchecked);
    EXPECT_EQ(clicks, 3);
    SetCursorPos(0, 0);
    SendMessageW(h, WM_MOUSELEAVE, 0, 0);
    PumpMessages(0);
    EXPECT_EQ(ShownCell(h, 0, MarkTop(box), CheckStrip(), CheckFrames()), 1);
    PressSpace(h);
    EXPECT_EQ(ShownCell(h, 0, MarkTop(box), CheckStrip(), CheckFrames()), 9);
}

TEST_F(CheckControls, RadioGroupSwitchesWithClicksAndShowsTheCheckedButton) {
    auto* group = Add<TRadioGroup>(RECT{10, 10, 200, 120});
    group->Items().Add("First");
    group->Items().Add("Second");
    group->Items().Add("Third");
    group->SetItemIndex(0);
    ASSERT_EQ(group->ButtonCount(), 3);
    for (int i = 0; i < 3; ++i) ASSERT_NE(Attach("TSkinRadioButton", group->Buttons(i)), nullptr);
    SetCursorPos(0, 0);

    Click(group->Buttons(2)->Handle(), 5, 8);
    EXPECT_EQ(group->ItemIndex(), 2);
    SendMessageW(group->Buttons(2)->Handle(), WM_MOUSELEAVE, 0, 0);
    Repaint(group->Handle());
    const int expected[] = {1, 1, 5};
    for (int i = 0; i < 3; ++i) {
        TRadioButton* b = group->Buttons(i);
        EXPECT_EQ(ShownCell(b->Handle(), 0, MarkTop(b), RadioStrip(), RadioFrames()), expected[i]) << "button " << i;
    }
    SetFocus(group->Buttons(1)->Handle());
    PressSpace(group->Buttons(1)->Handle());
    EXPECT_EQ(group->ItemIndex(), 1);
    auto* box = Add<TCheckBox>(RECT{210, 10, 400, 60});
    box->SetCaption("A caption long enough to wrap onto a second line");
    box->SetChecked(true);
    ASSERT_NE(Attach("TSkinCheckBox", box), nullptr);
    Repaint(form_->Handle());
    wl::test::SaveWindowBitmap(form_->Handle(), std::string(WL_BINARY_DIR_CONTROLS) + "/checks_group.bmp");
    EXPECT_FALSE(group->Buttons(2)->Checked());
}

// ---- bare dialog buttons -------------------------------------------------------------------------

// A modeless dialog made from a template in memory with two automatic radio buttons and an
// automatic three-state check box.
class DialogTemplate {
public:
    DialogTemplate() {
        Align();
        DLGTEMPLATE t{};
        t.style = WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT | DS_MODALFRAME;
        t.cdit = 3;
        t.cx = 160;
        t.cy = 80;
        Put(t);
        Word(0); // menu
        Word(0); // class
        Text(L"Options");
        Word(8);
        Text(L"MS Shell Dlg");
        Item(101, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 8, 8, L"Alpha");
        Item(102, BS_AUTORADIOBUTTON, 8, 24, L"Beta");
        Item(103, BS_AUTO3STATE | WS_GROUP | WS_TABSTOP, 8, 40, L"Maybe");
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }

private:
    template <class T>
    void Put(const T& v) {
        const auto* p = reinterpret_cast<const WORD*>(&v);
        bytes_.insert(bytes_.end(), p, p + sizeof(T) / sizeof(WORD));
    }
    void Word(WORD w) { bytes_.push_back(w); }
    void Text(const wchar_t* s) {
        for (; *s; ++s) Word(static_cast<WORD>(*s));
        Word(0);
    }
    void Align() {
        while (bytes_.size() % 2) Word(0);
    }
    void Item(WORD id, DWORD style, short x, short y, const wchar_t* text) {
        Align();
        DLGITEMTEMPLATE i{};
        i.style = style | WS_CHILD | WS_VISIBLE;
        i.x = x;
        i.y = y;
        i.cx = 100;
        i.cy = 12;
        i.id = id;
        Put(i);
        Word(0xFFFF);
        Word(0x0080); // BUTTON
        Text(text);
        Word(0);
    }
    std::vector<WORD> bytes_; // items start on DWORD boundaries (Align)
};

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

class DialogChecks : public CheckControls {
protected:
    void SetUp() override {
        CheckControls::SetUp();
        DialogTemplate t;
        dialog_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.get(), nullptr, PlainDialogProc, 0);
        ASSERT_NE(dialog_, nullptr);
        SetWindowPos(dialog_, HWND_TOP, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        PumpMessages(0);
    }
    void TearDown() override {
        companions_.clear();
        if (dialog_) DestroyWindow(dialog_);
        CheckControls::TearDown();
    }
    TSkinControl* AttachItem(const char* className, int id) {
        HWND item = GetDlgItem(dialog_, id);
        TSkinControl* c = CreateCompanion(className, nullptr);
        if (!c) return nullptr;
        c->Attach(TAttachContext::ForWindow(item, nullptr, data_.get(), nullptr));
        companions_.emplace_back(c);
        return c;
    }
    int Shown(int id, TBitmap& strip, int frames) {
        HWND item = GetDlgItem(dialog_, id);
        RECT r{};
        GetWindowRect(item, &r);
        return ShownCell(item, 0, (r.bottom - r.top - strip.Height()) / 2, strip, frames);
    }
    HWND dialog_ = nullptr;
    std::vector<std::unique_ptr<TSkinControl>> companions_;
};

TEST_F(DialogChecks, AutoRadiosAndThreeStateBoxGetTheSkinMarkAndKeepWorking) {
    ASSERT_NE(AttachItem("TSkinRadioButton", 101), nullptr);
    ASSERT_NE(AttachItem("TSkinRadioButton", 102), nullptr);
    TSkinControl* box = AttachItem("TSkinCheckBox", 103);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Mode(), 0) << "a bare button paints its own caption";
    SetCursorPos(0, 0);
    Repaint(dialog_);
    EXPECT_EQ(Shown(101, RadioStrip(), RadioFrames()), 1);
    EXPECT_EQ(Shown(103, CheckStrip(), CheckFrames()), 1);

    Click(GetDlgItem(dialog_, 101), 4, 6);
    Click(GetDlgItem(dialog_, 102), 4, 6);
    EXPECT_EQ(IsDlgButtonChecked(dialog_, 101), BST_UNCHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog_, 102), BST_CHECKED);
    const std::pair<int, int> threeState[] = {{BST_CHECKED, 5}, {BST_INDETERMINATE, 9}, {BST_UNCHECKED, 1}};
    for (auto [state, cell] : threeState) {
        Click(GetDlgItem(dialog_, 103), 4, 6);
        EXPECT_EQ(IsDlgButtonChecked(dialog_, 103), static_cast<UINT>(state));
        for (int id : {101, 102, 103}) SendMessageW(GetDlgItem(dialog_, id), WM_MOUSELEAVE, 0, 0);
        Repaint(dialog_);
        EXPECT_EQ(Shown(103, CheckStrip(), CheckFrames()), cell) << "state " << state;
    }
    EXPECT_EQ(Shown(101, RadioStrip(), RadioFrames()), 1);
    EXPECT_EQ(Shown(102, RadioStrip(), RadioFrames()), 5);
}

TEST_F(DialogChecks, DetachingGivesTheButtonItsProcedureAndLookBack) {
    HWND item = GetDlgItem(dialog_, 103);
    const LONG_PTR ownProc = GetWindowLongPtrW(item, GWLP_WNDPROC);
    CheckDlgButton(dialog_, 103, BST_CHECKED);
    Repaint(dialog_);
    const wl::test::TCapture before = Shot(item);
    ASSERT_NE(AttachItem("TSkinCheckBox", 103), nullptr);
    Repaint(dialog_);
    const wl::test::TCapture skinned = Shot(item);
    EXPECT_GT(Compare(before, skinned).count, 0) << "the skin's mark replaced the button's";
    EXPECT_EQ(SendMessageW(item, SKM_ISSKINNED, 0, 0), 1);
    companions_.clear();
    EXPECT_EQ(GetWindowLongPtrW(item, GWLP_WNDPROC), ownProc);
    EXPECT_EQ(SendMessageW(item, SKM_ISSKINNED, 0, 0), 0);
    Repaint(dialog_);
    const wl::test::TCapture after = Shot(item);
    EXPECT_EQ(Compare(before, after).count, 0);

    // The other order: the window goes first, the companion notices and stays harmless.
    TSkinControl* c = AttachItem("TSkinRadioButton", 101);
    ASSERT_NE(c, nullptr);
    DestroyWindow(dialog_);
    dialog_ = nullptr;
    EXPECT_EQ(c->LifeState(), TLifeState::WindowDestroyed);
    companions_.clear();
}

TEST_F(CheckControls, DetachInEitherOrderRestoresTheControl) {
    auto* box = Add<TCheckBox>(RECT{10, 10, 160, 31});
    box->SetChecked(true);
    Repaint(box->Handle());
    const wl::test::TCapture own = Shot(box->Handle());
    TSkinControl* c = Attach("TSkinCheckBox", box);
    ASSERT_NE(c, nullptr);
    Repaint(box->Handle());
    const wl::test::TCapture skinned = Shot(box->Handle());
    EXPECT_GT(Compare(own, skinned).count, 0);
    delete c;
    EXPECT_EQ(box->Perform(SKM_ISSKINNED, 0, 0), 0);
    Repaint(box->Handle());
    const wl::test::TCapture back = Shot(box->Handle());
    EXPECT_EQ(Compare(own, back).count, 0);
    Click(box->Handle(), 5, 10);
    EXPECT_FALSE(box->Checked()) << "the control still works on its own";

    // The control goes first: its companion goes with it.
    auto* radio = Add<TRadioButton>(RECT{10, 40, 160, 61});
    TSkinControl* rc = Attach("TSkinRadioButton", radio);
    ASSERT_NE(rc, nullptr);
    EXPECT_EQ(rc->Owner(), radio);
    delete radio;
    Repaint(form_->Handle());
}

TEST_F(CheckControls, GdiObjectsStayFlatOverRepaintsAndAttachDetach) {
    auto* box = Add<TCheckBox>(RECT{10, 10, 160, 31});
    box->SetCaption("Flat");
    auto* radio = Add<TRadioButton>(RECT{10, 40, 160, 61});
    wl::test::ExpectNoLeak([&](int) {
        TSkinControl* a = Attach("TSkinCheckBox", box);
        TSkinControl* b = Attach("TSkinRadioButton", radio);
        for (int i = 0; i < 5; ++i) {
            box->SetChecked(i % 2 == 0);
            SetFocus(i % 2 ? box->Handle() : radio->Handle());
            Repaint(form_->Handle());
        }
        delete a;
        delete b;
    });
}

} // namespace
} // namespace skincontrols
