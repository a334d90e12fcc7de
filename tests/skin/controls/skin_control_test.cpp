// The companion base: routing, switching the skin off and on, destruction of the control's
// window, detaching in any order, the property readers and the shared drawing routines.
#include "controls_fixture.h"

#include "skin/data/skin_elements.h"
#include "support/leak_loop.h"
#include "support/gui.h"
#include "ui/extctrls.h"
#include "ui/stdctrls.h"

#include <algorithm>
#include <memory>

namespace skincontrols {
namespace {

using namespace wl;

constexpr COLORREF kSkinRed = RGB(200, 20, 30);

// A companion that paints its whole window one colour and counts its paints.
class TProbeSkin : public TSkinControl {
    WL_CLASS(TProbeSkin, TSkinControl)
public:
    using TSkinControl::TSkinControl;
    int Paints = 0;
    const std::wstring& Text() const { return FText; }
    void DrawSkin(HDC dc, const RECT& rect) override {
        ++Paints;
        FillColor(dc, rect, kSkinRed);
    }
};

WL_DEFINE_CLASS(TProbeSkin, WL_NO_PROPERTIES)

class SkinControlBase : public SkinControlsTest {
protected:
    TPanel* MakePanel() {
        auto* p = Add<TPanel>(RECT{10, 10, 110, 60});
        p->SetColor(RGB(0, 128, 0));
        p->SetBevelOuter(bvNone);
        return p;
    }
    COLORREF Centre(TWinControl* c) {
        Repaint(c->Handle());
        return wl::test::WindowPixel(c->Handle(), c->Width() / 2, c->Height() / 2);
    }
};

TEST_F(SkinControlBase, CreatedByClassNameOnlyForCompanionClasses) {
    auto* panel = MakePanel();
    TSkinControl* c = CreateCompanion("TProbeSkin", panel);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Owner(), panel);
    EXPECT_EQ(CreateCompanion("TPanel", panel), nullptr);     // a class, but no companion
    EXPECT_EQ(CreateCompanion("TNoSuchSkin", panel), nullptr); // not linked in
    EXPECT_EQ(CreateCompanion("TSkinControl", panel), nullptr); // abstract
}

TEST_F(SkinControlBase, SetActiveSwitchesBetweenSkinAndOwnPaintWithoutReachingTheControl) {
    auto* panel = MakePanel();
    int seen = 0;
    auto probe = panel->WindowProc.Add([&](TMessage& m, const TWindowProcChain::Previous& prev) {
        if (m.Msg == SKM_SETACTIVE) ++seen;
        prev(m);
    });
    auto* c = Attach("TProbeSkin", panel);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(Centre(panel), kSkinRed);

    panel->Perform(SKM_SETACTIVE, 0);
    EXPECT_FALSE(c->SkinActive());
    EXPECT_EQ(Centre(panel), RGB(0, 128, 0));

    const int before = static_cast<TProbeSkin*>(c)->Paints;
    SendMessageW(panel->Handle(), SKM_SETACTIVE, 1, 0);
    EXPECT_TRUE(c->SkinActive());
    EXPECT_GT(static_cast<TProbeSkin*>(c)->Paints, before) << "switching on redraws at once";
    EXPECT_EQ(Centre(panel), kSkinRed);
    EXPECT_EQ(seen, 0);
}

// A frame paint is passed on to the control only when its window has a frame to paint.
TEST_F(SkinControlBase, FramePaintReachesTheControlOnlyWhenItsWindowHasAFrame) {
    struct Case {
        const char* name;
        TBorderStyle border;
        bool reaches;
    } cases[] = {{"no frame", bsNone, false}, {"single border", bsSingle, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* panel = MakePanel();
        panel->SetBorderStyle(c.border);
        int framePaints = 0;
        auto probe = panel->WindowProc.Add([&](TMessage& m, const TWindowProcChain::Previous& prev) {
            if (m.Msg == WM_NCPAINT) ++framePaints;
            prev(m);
        });
        ASSERT_NE(Attach("TProbeSkin", panel), nullptr);
        Repaint(panel->Handle());
        framePaints = 0;
        RedrawWindow(panel->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        wl::test::PumpMessages(0);
        EXPECT_EQ(framePaints > 0, c.reaches) << framePaints;
        EXPECT_EQ(Centre(panel), kSkinRed) << "the skin still paints the control";
        probe.Remove();
        delete panel;
    }
}

TEST_F(SkinControlBase, IsSkinnedAnswersOneOnlyWhileActive) {
    auto* panel = MakePanel();
    EXPECT_EQ(SendMessageW(panel->Handle(), SKM_ISSKINNED, 0, 0), 0);
    ASSERT_NE(Attach("TProbeSkin", panel), nullptr);
    EXPECT_EQ(SendMessageW(panel->Handle(), SKM_ISSKINNED, 0, 0), 1);
    panel->Perform(SKM_SETACTIVE, 0);
    EXPECT_EQ(SendMessageW(panel->Handle(), SKM_ISSKINNED, 0, 0), 0);
}

TEST_F(SkinControlBase, ColourizeTakesTheFaceColourAndRestoreGivesItBack) {
    auto* panel = MakePanel();
    data_->ButtonFace = RGB(1, 2, 3);
    auto* c = Attach("TProbeSkin", panel, true);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(panel->Color(), RGB(1, 2, 3));
    data_->ButtonFace = RGB(4, 5, 6);
    c->SkinChanged();
    EXPECT_EQ(panel->Color(), RGB(4, 5, 6));
    c->Restore();
    EXPECT_EQ(panel->Color(), RGB(0, 128, 0));
}

TEST_F(SkinControlBase, DestroyedWindowMarksTheCompanionAndRestoresTheColour) {
    auto* panel = MakePanel();
    auto* c = Attach("TProbeSkin", panel, true);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->LifeState(), TLifeState::Attached);
    DestroyWindow(panel->Handle());
    EXPECT_EQ(c->LifeState(), TLifeState::WindowDestroyed);
    EXPECT_FALSE(c->SkinActive());
    EXPECT_EQ(panel->Color(), RGB(0, 128, 0));
    // The companion survives (its owner still lives) and is freed with the control.
    EXPECT_EQ(panel->ComponentCount(), 1);
    delete panel;
}

TEST_F(SkinControlBase, DetachingInEitherOrderLeavesTheControlsOwnProcedure) {
    for (bool companionFirst : {true, false}) {
        SCOPED_TRACE(companionFirst ? "companion freed first" : "outer layer freed first");
        auto* panel = MakePanel();
        std::vector<UINT> below;
        auto inner = panel->WindowProc.Add([&](TMessage& m, const TWindowProcChain::Previous& prev) {
            below.push_back(m.Msg);
            prev(m);
        });
        auto* c = Attach("TProbeSkin", panel);
        ASSERT_NE(c, nullptr);
        auto outer = panel->WindowProc.Add([](TMessage& m, const TWindowProcChain::Previous& prev) { prev(m); });
        if (companionFirst) {
            delete c;
            outer.Remove();
        } else {
            outer.Remove();
            delete c;
        }
        EXPECT_EQ(panel->WindowProc.LayerCount(), 1);
        below.clear();
        EXPECT_EQ(SendMessageW(panel->Handle(), SKM_ISSKINNED, 0, 0), 0);
        EXPECT_EQ(below, std::vector<UINT>{SKM_ISSKINNED});
        EXPECT_EQ(Centre(panel), RGB(0, 128, 0));
        delete panel;
    }
}

LRESULT CALLBACK PlainProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_USER + 7) return 77;
    return DefWindowProcW(h, msg, w, l);
}

TEST_F(SkinControlBase, BareWindowIsSubclassedAndGivenBackExactly) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"WlPlainControl";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterClassW(&wc);
    HWND plain = CreateWindowExW(0, L"WlPlainControl", L"Plain", WS_CHILD | WS_VISIBLE, 120, 10, 60, 40,
                                 form_->Handle(), nullptr, wc.hInstance, nullptr);
    ASSERT_NE(plain, nullptr);
    const LONG_PTR before = GetWindowLongPtrW(plain, GWLP_WNDPROC);
    auto* c = CreateCompanion("TProbeSkin", form_.get());
    ASSERT_NE(c, nullptr);
    c->Attach(TAttachContext::ForWindow(plain, nullptr, data_.get(), nullptr));
    EXPECT_EQ(static_cast<TProbeSkin*>(c)->Text(), L"Plain");
    EXPECT_EQ(SendMessageW(plain, SKM_ISSKINNED, 0, 0), 1);
    EXPECT_EQ(SendMessageW(plain, WM_USER + 7, 0, 0), 77) << "other messages reach the window";
    Repaint(plain);
    EXPECT_EQ(wl::test::WindowPixel(plain, 30, 20), kSkinRed);
    delete c;
    EXPECT_EQ(GetWindowLongPtrW(plain, GWLP_WNDPROC), before);
    EXPECT_EQ(SendMessageW(plain, SKM_ISSKINNED, 0, 0), 0);
    DestroyWindow(plain);
}

TEST_F(SkinControlBase, BareWindowDestroyedUnderTheCompanion) {
    HWND plain = CreateWindowExW(0, L"STATIC", L"x", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, form_->Handle(),
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    auto* c = CreateCompanion("TProbeSkin", form_.get());
    ASSERT_NE(c, nullptr);
    c->Attach(TAttachContext::ForWindow(plain, nullptr, data_.get(), nullptr));
    DestroyWindow(plain);
    EXPECT_EQ(c->LifeState(), TLifeState::WindowDestroyed);
    delete c; // must not touch the dead window's procedure
}

TEST_F(SkinControlBase, CompanionsInTheFormListAreTidiedWhenTheirWindowDies) {
    auto* panel = MakePanel();
    TWinSkinForm* f = SkinForm();
    ASSERT_NE(f, nullptr);
    auto* c = CreateCompanion("TProbeSkin", panel);
    ASSERT_NE(c, nullptr);
    c->Attach(TAttachContext::ForControl(f, data_.get(), &f->ControlCanvas(), false));
    const auto& list = f->Controls();
    EXPECT_EQ(std::count(list.begin(), list.end(), c), 1);
    EXPECT_TRUE(f->AddControl(c)) << "already listed";
    delete panel; // frees the companion, which leaves the list
    EXPECT_EQ(std::count(f->Controls().begin(), f->Controls().end(), c), 0);
}

// A companion that counts the live ones: each must be freed exactly once, by its one owner.
class TCountedSkin : public TProbeSkin {
public:
    explicit TCountedSkin(TComponent* owner) : TProbeSkin(owner) { ++Alive; }
    ~TCountedSkin() override { --Alive; }
    void JoinForm(TWinSkinForm* form) { FSkinForm = form; }
    void MarkWindowDestroyed() { FLifeState = TLifeState::WindowDestroyed; }
    static int Alive;
};
int TCountedSkin::Alive = 0;

// The form object's list frees the companions it owns and the ones a control owns (taking
// them from the control), forgets one its control freed first, and leaves a helper to the
// companion that made it.
TEST_F(SkinControlBase, CompanionListFreesEachCompanionOnceByItsOwner) {
    enum class Owner { Control, List, Helper };
    struct Case {
        const char* what;
        Owner owner;
        bool controlFreedFirst;
        bool windowDead;
        bool purge;     // the list frees dead companions only (else it lets go of all)
        int aliveAfter; // companions left alive once the list is done
    } cases[] = {
        {"a control's companion", Owner::Control, false, false, false, 0},
        {"a control's companion, the control freed first", Owner::Control, true, false, false, 0},
        {"a bare window's companion", Owner::List, false, false, false, 0},
        {"a helper of another companion", Owner::Helper, false, false, false, 1},
        {"a control's companion whose window died", Owner::Control, false, true, true, 0},
        {"a bare window's companion whose window died", Owner::List, false, true, true, 0},
        {"a live companion kept by the purge", Owner::List, false, false, true, 1},
    };
    TWinSkinForm* f = SkinForm();
    ASSERT_NE(f, nullptr);
    for (const Case& c : cases) {
        TCountedSkin::Alive = 0;
        auto* panel = MakePanel();
        const int components = panel->ComponentCount();
        std::unique_ptr<TSkinCompanion> helper;
        TCountedSkin* companion = nullptr;
        switch (c.owner) {
        case Owner::Control:
            companion = new TCountedSkin(panel); // owned by the panel
            f->AddControl(companion);
            break;
        case Owner::List:
            companion = static_cast<TCountedSkin*>(f->Companions().Adopt(std::make_unique<TCountedSkin>(nullptr)));
            break;
        case Owner::Helper:
            companion = new TCountedSkin(nullptr);
            helper.reset(companion);
            f->AddControl(companion);
            break;
        }
        companion->JoinForm(f); // it leaves the list when it goes
        if (c.controlFreedFirst) {
            delete panel;
            panel = nullptr;
            EXPECT_EQ(std::count(f->Controls().begin(), f->Controls().end(), companion), 0) << c.what;
        }
        if (c.windowDead) companion->MarkWindowDestroyed();
        if (c.purge) f->Companions().Purge();
        else f->Companions().FreeAll();
        EXPECT_EQ(TCountedSkin::Alive, c.aliveAfter) << c.what;
        if (c.aliveAfter == 0) {
            EXPECT_EQ(std::count(f->Controls().begin(), f->Controls().end(), companion), 0) << c.what;
        }
        if (panel) {
            EXPECT_EQ(panel->ComponentCount(), components) << c.what << ": left with its control";
        }
        if (c.purge) f->Companions().FreeAll();
        if (c.owner == Owner::Helper) {
            EXPECT_EQ(std::count(f->Controls().begin(), f->Controls().end(), companion), 0) << c.what;
            helper.reset();
        }
        EXPECT_EQ(TCountedSkin::Alive, 0) << c.what;
        delete panel;
    }
}

TEST(SkinControlText, LineBreakMarkOnlyFirst) {
    struct Case {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {L"", L""},
        {L"One", L"One"},
        {L"One||Two", L"One\r\nTwo"},
        {L"a||b||c", L"a\r\nb||c"},
        {L"||", L"\r\n"},
        {L"|x|", L"|x|"},
    };
    for (const Case& c : cases) EXPECT_EQ(ReplaceLineBreakMark(c.in), c.out) << c.in;
}

TEST(SkinControlProperties, ReadersAnswerDefaultsForWhatIsMissing) {
    Application->Initialize();
    TForm host(nullptr);
    auto* edit = new TEdit(&host);
    edit->SetTag(42);
    edit->SetText("Hello");
    edit->SetEnabled(false);
    auto* check = new TCheckBox(&host);
    check->SetAlignment(taLeftJustify);

    EXPECT_EQ(GetOrdProperty(edit, "Tag"), 42);
    EXPECT_EQ(GetOrdProperty(check, "Alignment"), -1) << "an enumeration is not an integer";
    EXPECT_EQ(GetOrdProperty(edit, "NoSuch"), -1);
    EXPECT_EQ(GetOrdProperty(nullptr, "Tag"), -1);

    EXPECT_EQ(GetEnumProperty(edit, "Enabled"), "False");
    EXPECT_EQ(GetEnumProperty(check, "Alignment"), "taLeftJustify");
    EXPECT_EQ(GetEnumProperty(edit, "Tag"), "");
    EXPECT_EQ(GetEnumProperty(nullptr, "Enabled"), "");

    EXPECT_EQ(GetWideProperty(edit, "Text"), L"Hello");
    EXPECT_EQ(GetWideProperty(edit, "Tag"), L"");

    EXPECT_NE(GetObjectProperty(edit, "Font", "TFont"), nullptr);
    EXPECT_EQ(GetObjectProperty(edit, "Font", "TBitmap"), nullptr);
    EXPECT_EQ(GetObjectProperty(edit, "Tag", "TFont"), nullptr);

    EXPECT_TRUE(SetPropertyText(edit, "Tag", "7"));
    EXPECT_EQ(edit->Tag(), 7);
    EXPECT_TRUE(SetPropertyText(edit, "Enabled", "True"));
    EXPECT_TRUE(edit->Enabled());
    EXPECT_FALSE(SetPropertyText(edit, "Tag", "seven")) << "a refused value is not taken";
    EXPECT_EQ(edit->Tag(), 7);
    EXPECT_FALSE(SetPropertyText(edit, "NoSuch", "1"));
    EXPECT_FALSE(SetPropertyText(nullptr, "Tag", "1"));
}

TEST_F(SkinControlBase, DrawElementFrameKeysOnlyWithTransOne) {
    TDataSkinObject element("probe");
    element.Image.SetSize(8, 4);
    element.Frame = 2;
    HDC idc = element.Image.Canvas().Handle();
    RECT left{0, 0, 4, 4}, right{4, 0, 8, 4};
    FillColor(idc, left, RGB(255, 0, 255));
    FillColor(idc, right, RGB(0, 0, 255));

    TBitmap target;
    target.SetSize(4, 4);
    HDC dc = target.Canvas().Handle();
    TProbeSkin companion(nullptr);
    struct Case {
        int trans;
        RECT rect;
        COLORREF expected;
    } cases[] = {
        {1, RECT{0, 0, 4, 4}, RGB(10, 10, 10)},   // key pixels left out
        {0, RECT{0, 0, 4, 4}, RGB(255, 0, 255)},  // drawn as magenta
        {2, RECT{0, 0, 4, 4}, RGB(255, 0, 255)},  // only 1 means transparent
        {1, RECT{4, 0, 0, 4}, RGB(10, 10, 10)},   // inverted: nothing
    };
    for (const Case& c : cases) {
        FillColor(dc, RECT{0, 0, 4, 4}, RGB(10, 10, 10));
        element.Trans = c.trans;
        DrawElementFrame(companion, dc, c.rect, 2, 1, &element);
        EXPECT_EQ(GetPixel(dc, 1, 1), c.expected) << "Trans " << c.trans;
    }
    FillColor(dc, RECT{0, 0, 4, 4}, RGB(10, 10, 10));
    DrawElementFrame(companion, dc, RECT{0, 0, 4, 4}, 2, 2, &element);
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0, 0, 255)) << "second cell";
    DrawElementFrame(companion, dc, RECT{0, 0, 4, 4}, 2, 1, nullptr);
}

TEST_F(SkinControlBase, RepaintsAndSkinCyclesLeaveNoHandlesBehind) {
    auto* panel = MakePanel();
    auto* c = Attach("TProbeSkin", panel, true);
    ASSERT_NE(c, nullptr);
    wl::test::TLeakLoop loop;
    loop.Paint = [&] { Repaint(panel->Handle()); };
    wl::test::ExpectNoLeak(
        [&](int i) {
            panel->Perform(SKM_SETACTIVE, i % 2);
            c->PaintControl(nullptr);
        },
        loop);
}

} // namespace
} // namespace skincontrols
