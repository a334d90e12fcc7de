// The controls gallery with its skin switched on: every page pictured skinned (artifacts
// gallery-skinned-<page>.bmp in the build tree) and compared with the same page unskinned, and
// the skin switched off and on over the fullest page with handle counts flat.
#include "tools/gallery/gallery_main.h"

#include "skin/controls/discovery.h"
#include "skin/controls/skin_control.h"
#include "skin/forms/skin_manage.h"
#include "skin/forms/win_skin_form.h"
#include "support/capture.h"
#include "support/gui.h"
#include "support/leak_loop.h"
#include "support/swallowed_check.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using namespace wl;

int CountControls(const TWinControl* parent) {
    int n = 0;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        ++n;
        if (auto* w = dynamic_cast<const TWinControl*>(parent->Controls(i))) n += CountControls(w);
    }
    return n;
}

// A control's rectangle in the form's client coordinates.
RECT RectInForm(TControl* control, TForm* form) {
    const RECT b = control->BoundsRect();
    POINT p{b.left, b.top};
    if (control->Parent()) p = control->Parent()->ClientToScreen(p);
    p = form->ScreenToClient(p);
    return RECT{p.x, p.y, p.x + (b.right - b.left), p.y + (b.bottom - b.top)};
}

class GallerySkin : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        TSkinManage::Register();
        Application->Initialize();
    }
    void SetUp() override {
        form_ = std::make_unique<TGalleryMain>(nullptr);
        form_->ReadDefinitionResource();
        form_->SetLeft(20);
        form_->SetTop(20);
    }
    void TearDown() override {
        form_.reset();
        TSkinManagerLink::Destroy();
        test::PumpMessages(0);
        test::ExpectNoSwallowedFailures();
    }
    static void RepaintAll(HWND window) {
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        test::PumpMessages(0);
    }
    // Carries out the component's switch the way the manager's timer does, and waits for the
    // skinned start to finish.
    TWinSkinForm* Switch(bool on) {
        form_->SkinData1->SetActive(on);
        TSkinManage* m = TSkinManage::Instance();
        if (!m) return nullptr;
        m->TimerTick();
        TWinSkinForm* f = m->FindForm(form_->Handle());
        if (f) test::PumpUntil([f] { return f->State() == sfsRunning; }, 3000);
        // A form whose frame stays the system's is running at once; its start (the scan of its
        // controls) is the message the manager posted.
        test::PumpMessages(0);
        return f;
    }

    std::unique_ptr<TGalleryMain> form_;
};

TEST_F(GallerySkin, EveryPageSkinnedIsPicturedAndDiffersFromItsUnskinnedLook) {
    form_->Show();
    ASSERT_TRUE(test::WaitPainted(form_->Handle()));
    TPageControl* pc = form_->PageControl1;
    ASSERT_GE(pc->PageCount(), 5);
    // First every page as the controls draw themselves.
    std::vector<test::TCapture> plain;
    for (int i = 0; i < pc->PageCount(); ++i) {
        pc->SetActivePageIndex(i);
        RepaintAll(form_->Handle());
        plain.push_back(test::TCapture::ClientDC(form_->Handle()));
    }
    ASSERT_TRUE(form_->UseSkin(""));
    TWinSkinForm* f = Switch(true);
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(f->State(), sfsRunning);
    RECT client{};
    GetClientRect(form_->Handle(), &client);
    for (int i = 0; i < pc->PageCount(); ++i) {
        pc->SetActivePageIndex(i);
        RepaintAll(form_->Handle());
        TTabSheet* page = pc->Pages(i);
        const std::string name = page->GetText();
        const std::string path = std::string(WL_BINARY_DIR_CONTROLS) + "/gallery-skinned-" + name + ".bmp";
        EXPECT_TRUE(test::SaveWindowBitmap(form_->Handle(), path)) << path;
        const test::TCapture skinned = test::TCapture::ClientDC(form_->Handle());
        ASSERT_EQ(skinned.Width(), plain[static_cast<size_t>(i)].Width()) << name; // the client area keeps its size
        ASSERT_EQ(skinned.Height(), plain[static_cast<size_t>(i)].Height()) << name;
        // Every control of the page whose companion kind is linked in looks different skinned.
        int checked = 0;
        for (int c = 0; c < page->ControlCount(); ++c) {
            TControl* control = page->Controls(c);
            if (!control->Visible()) continue;
            const std::string kind = [&] {
                for (const TDiscoveryStep& s : DecideControl(ReadControlFacts(*f, *control)).Steps)
                    if (s.Kind == TStepKind::Companion) return s.Plan.ClassName;
                return std::string();
            }();
            if (kind.empty() || !FindClass(kind)) continue;
            // A simple combo has no button; its companion only skins the list's scroll bars,
            // which this short list does not show.
            if (kind == "TSkinComBox" && GetEnumProperty(control, "Style") == "csSimple") continue;
            ++checked;
            EXPECT_GT(skinned.CountDiffering(plain[static_cast<size_t>(i)], RectInForm(control, form_.get())), 0)
                << name << ": " << control->Name() << " (" << kind << ")";
        }
        // The page itself stands on the skin's face colour (or has skinned controls on it).
        const int whole = skinned.CountDiffering(plain[static_cast<size_t>(i)], client);
        EXPECT_GT(whole, 0) << name << " (" << checked << " controls with a linked companion)";
    }
}

TEST_F(GallerySkin, SwitchingTheSkinOffAndOnKeepsHandleCountsFlat) {
    ASSERT_TRUE(form_->UseSkin(""));
    form_->Show();
    ASSERT_TRUE(test::WaitPainted(form_->Handle()));
    // The page with the most controls is the one showing.
    TPageControl* pc = form_->PageControl1;
    int fullest = 0, most = -1;
    for (int i = 0; i < pc->PageCount(); ++i) {
        const int n = CountControls(pc->Pages(i));
        if (n > most) most = n, fullest = i;
    }
    pc->SetActivePageIndex(fullest);
    TWinSkinForm* f = Switch(true);
    ASSERT_NE(f, nullptr);
    const size_t companions = f->Controls().size();
    auto cycle = [&](int) {
        Switch(false);
        ASSERT_EQ(TSkinManage::Instance()->FindForm(form_->Handle()), nullptr);
        TWinSkinForm* again = Switch(true);
        ASSERT_NE(again, nullptr);
        ASSERT_EQ(again->State(), sfsRunning);
        ASSERT_EQ(again->Controls().size(), companions); // the same companions every time
    };
    test::TLeakLoop loop;
    loop.Paint = [&] { RepaintAll(form_->Handle()); };
    const double seconds = test::ExpectNoLeak(cycle, loop);
    std::printf("%d skin on/off cycles of page %d (%d controls, %zu companions): %.1f s\n", loop.Cycles, fullest, most,
                companions, seconds);
}

} // namespace
