// Failures the engine swallows at its callback boundaries: each is caught, leaves the window
// working and is counted, so the fixtures' end-of-test check can see a paint or handler that threw.
#include "controls_fixture.h"

#include "skin/controls/discovery.h"
#include "skin/draw/swallowed.h"
#include "support/gui.h"
#include "ui/extctrls.h"
#include "ui/graphics.h"
#include "ui/stdctrls.h"

#include <functional>
#include <stdexcept>

namespace skincontrols {
namespace {

using namespace wl;

// A companion whose skin painting always fails.
class TFailingSkin : public TSkinControl {
    WL_CLASS(TFailingSkin, TSkinControl)
public:
    using TSkinControl::TSkinControl;
    int Throws = 0;
    void DrawSkin(HDC, const RECT&) override {
        ++Throws;
        throw std::runtime_error("skin paint failed");
    }
};

WL_DEFINE_CLASS(TFailingSkin, WL_NO_PROPERTIES)

TEST(SwallowFailures, RunsTheActionAndCountsWhatEscapesIt) {
    struct Case {
        const char* name;
        std::function<void()> action;
        bool finished;
        const char* last; // the description counted, for a failure
    } cases[] = {
        {"returns", [] {}, true, ""},
        {"standard exception", [] { throw std::runtime_error("boom"); }, false, "boom"},
        {"library exception", [] { throw Exception("'x' is not a valid integer value"); }, false,
         "'x' is not a valid integer value"},
        {"anything else", [] { throw 42; }, false, "(not a standard exception)"},
    };
    ResetSwallowedFailures();
    int expected = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(SwallowFailures(c.action), c.finished) << c.name;
        if (!c.finished) ++expected;
        EXPECT_EQ(SwallowedFailureCount(), expected) << c.name;
        if (!c.finished) {
            EXPECT_EQ(LastSwallowedFailure(), c.last) << c.name;
        }
    }
    ResetSwallowedFailures();
    EXPECT_EQ(SwallowedFailureCount(), 0);
    EXPECT_EQ(LastSwallowedFailure(), "");
}

class Swallowed : public SkinControlsTest {
protected:
    TPanel* MakePanel(TWinControl* parent = nullptr) {
        auto* p = Add<TPanel>(RECT{10, 10, 110, 60}, parent);
        p->SetBevelOuter(bvNone);
        return p;
    }
};

// Each boundary is driven with a callee that throws. The boundary returns normally, the window
// goes on answering, and exactly the failures that happened are counted.
TEST_F(Swallowed, ThrowingCalleesAreCaughtAndCountedAtEachBoundary) {
    struct Case {
        const char* name;
        // Sets up and drives the boundary; returns how many exceptions were thrown.
        std::function<int()> drive;
        const char* last;
    } cases[] = {
        {"companion paint from WM_PAINT",
         [this] {
             TPanel* panel = MakePanel();
             auto* skin = static_cast<TFailingSkin*>(Attach("TFailingSkin", panel));
             if (!skin) return -1;
             Repaint(panel->Handle());
             // A paint into a caller's context goes the same way.
             TBitmap target;
             target.SetSize(panel->Width(), panel->Height());
             SendMessageW(panel->Handle(), WM_PAINT,
                          reinterpret_cast<WPARAM>(target.Canvas().Handle()), 0);
             const int thrown = skin->Throws;
             delete panel; // its failing companion with it, so later rows paint nothing of it
             return thrown;
         },
         "skin paint failed"},
        {"parent background of a control whose parent fails to paint",
         [this] {
             TPanel* parent = MakePanel();
             auto* child = Add<TPanel>(RECT{5, 5, 25, 25}, parent);
             // Only the erase asked for by the painting below fails, not the system's own.
             bool armed = false;
             auto failing = parent->WindowProc.Add(
                 [&armed](TMessage& m, const TWindowProcChain::Previous& prev) {
                     if (armed && m.Msg == WM_ERASEBKGND) throw std::runtime_error("parent erase failed");
                     prev(m);
                 });
             TBitmap target;
             target.SetSize(20, 20);
             armed = true;
             PaintParentBackground(*child, target.Canvas().Handle());
             armed = false;
             delete child;
             failing.Remove();
             delete parent;
             return 1;
         },
         "parent erase failed"},
        {"the application's OnSkinControl handler",
         [this] {
             auto* button = Add<TButton>(RECT{10, 70, 90, 95});
             int calls = 0;
             data_->OnSkinControl = [&calls](TComponent*, TSkinData*, TControl*, TControl*,
                                               const std::string&, TComponent*&) {
                 ++calls;
                 throw std::runtime_error("application handler failed");
             };
             TWinSkinForm* form = SkinForm();
             data_->OnSkinControl = nullptr;
             // The control the handler failed on is left as it is.
             if (!form || IsControlSkinned(*form, button)) return -1;
             return calls;
         },
         "application handler failed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetSwallowedFailures();
        const int thrown = c.drive();
        ASSERT_GT(thrown, 0);
        EXPECT_EQ(SwallowedFailureCount(), thrown);
        EXPECT_EQ(LastSwallowedFailure(), c.last);
        // The host form still answers its messages.
        EXPECT_TRUE(IsWindow(form_->Handle()));
        EXPECT_EQ(SendMessageW(form_->Handle(), WM_NULL, 0, 0), 0);
        // Seen and checked here; the fixture's end-of-test check wants none left over.
        ResetSwallowedFailures();
    }
}

} // namespace
} // namespace skincontrols
