// Controls, windows and forms freed from inside their own message handling while skinned: the
// free waits until the dispatch has unwound, nothing runs on freed memory afterwards (test
// programs poison freed memory), and the manager's timer leaves form objects and companions
// alone while a modal loop opened by a skinned control runs.
#include "controls_fixture.h"

#include "skin/forms/skin_messages.h"
#include "support/gdi_count.h"
#include "support/gui.h"
#include "ui/buttons.h"
#include "ui/dialogs.h"
#include "ui/extctrls.h"
#include "ui/menus.h"
#include "ui/stdctrls.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace skincontrols {
namespace {

using namespace wl;

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

TSkinCompanion* CompanionOf(TWinSkinForm& skin, const TControl* control) {
    for (TSkinCompanion* c : skin.Controls())
        if (c && c->Control() == control) return c;
    return nullptr;
}

bool Listed(TWinSkinForm& skin, const TSkinCompanion* companion) {
    const auto& list = skin.Controls();
    return std::find(list.begin(), list.end(), companion) != list.end();
}

// Access violations are counted where they happen: one raised inside a subclassed window's
// procedure is caught by the catch-all at that callback boundary and would go unseen.
LONG g_faults = 0;
LONG CALLBACK CountFault(EXCEPTION_POINTERS* info) {
    if (info->ExceptionRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION) InterlockedIncrement(&g_faults);
    return EXCEPTION_CONTINUE_SEARCH;
}

class SelfFreeTest : public SkinControlsTest {
protected:
    void SetUp() override {
        g_faults = 0;
        handler_ = AddVectoredExceptionHandler(1, CountFault);
        SkinControlsTest::SetUp();
    }
    void TearDown() override {
        SkinControlsTest::TearDown();
        RemoveVectoredExceptionHandler(handler_);
        EXPECT_EQ(g_faults, 0) << "memory faults, swallowed or not";
    }

private:
    void* handler_ = nullptr;
};

// One control that frees itself from one of its own events, driven by real mouse messages.
struct SelfFreeCase {
    const char* name;
    // Makes the control on `form`; `freeIt` is to be called from the event that frees it.
    std::function<TControl*(TForm& form, std::function<void()> freeIt)> make;
    // Sends the messages that raise the event.
    std::function<void(TForm& form, TControl& control)> drive;
    long windows; // windows the control and its companion take down with them
};

TEST_F(SelfFreeTest, ControlFreedFromItsOwnEventGoesAfterTheDispatch) {
    const std::vector<SelfFreeCase> cases = {
        {"button deleted in OnClick",
         [](TForm& form, std::function<void()> freeIt) -> TControl* {
             auto* b = new TButton(&form);
             b->SetParent(&form);
             b->SetBounds(20, 20, 100, 30);
             b->SetCaption("Go");
             b->OnClick = [freeIt](TObject*) { freeIt(); };
             return b;
         },
         [](TForm&, TControl& c) {
             HWND h = static_cast<TWinControl&>(c).Handle();
             SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(30, 10));
             SendMessageW(h, WM_LBUTTONUP, 0, At(30, 10));
         },
         1},
        {"speed button deleted in OnClick",
         [](TForm& form, std::function<void()> freeIt) -> TControl* {
             auto* s = new TSpeedButton(&form);
             s->SetParent(&form);
             s->SetBounds(20, 60, 100, 30);
             s->OnClick = [freeIt](TObject*) { freeIt(); };
             return s;
         },
         [](TForm& form, TControl&) {
             SendMessageW(form.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(50, 70));
             SendMessageW(form.Handle(), WM_LBUTTONUP, 0, At(50, 70));
         },
         0},
        {"check box deleted in OnClick",
         [](TForm& form, std::function<void()> freeIt) -> TControl* {
             auto* b = new TCheckBox(&form);
             b->SetParent(&form);
             b->SetBounds(20, 100, 120, 24);
             b->SetCaption("Check");
             b->OnClick = [freeIt](TObject*) { freeIt(); };
             return b;
         },
         [](TForm&, TControl& c) {
             HWND h = static_cast<TWinControl&>(c).Handle();
             SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(8, 10));
             SendMessageW(h, WM_LBUTTONUP, 0, At(8, 10));
         },
         1},
        {"list box deleted in OnDblClick",
         [](TForm& form, std::function<void()> freeIt) -> TControl* {
             auto* l = new TListBox(&form);
             l->SetParent(&form);
             l->SetBounds(160, 20, 150, 120);
             for (const char* s : {"one", "two", "three"}) l->Items().Add(s);
             l->OnDblClick = [freeIt](TObject*) { freeIt(); };
             return l;
         },
         [](TForm&, TControl& c) {
             HWND h = static_cast<TWinControl&>(c).Handle();
             SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 5));
             SendMessageW(h, WM_LBUTTONUP, 0, At(20, 5));
             SendMessageW(h, WM_LBUTTONDBLCLK, MK_LBUTTON, At(20, 5));
             SendMessageW(h, WM_LBUTTONUP, 0, At(20, 5));
         },
         1}, // its own: three items show no scroll bar, so its companion made no overlay
    };
    // Every control exists before the form is skinned, so that discovery gives each its companion.
    struct Run {
        TControl* control = nullptr;
        HWND window = nullptr;
        int events = 0;
        bool freedInsideHandler = true;
        std::unique_ptr<TFreeWatch> watch;
    };
    std::vector<Run> runs(cases.size());
    for (size_t i = 0; i < cases.size(); ++i) {
        Run& run = runs[i];
        run.control = cases[i].make(*form_, [&run] {
            ++run.events;
            delete run.control;
            run.freedInsideHandler = run.watch->Gone;
        });
        run.watch = std::make_unique<TFreeWatch>(run.control);
        if (auto* w = dynamic_cast<TWinControl*>(run.control)) run.window = w->Handle();
    }
    TWinSkinForm* skin = SkinForm();
    ASSERT_NE(skin, nullptr);
    for (size_t i = 0; i < cases.size(); ++i) {
        const SelfFreeCase& c = cases[i];
        Run& run = runs[i];
        SCOPED_TRACE(c.name);
        TSkinCompanion* companion = CompanionOf(*skin, run.control);
        ASSERT_NE(companion, nullptr) << "the control is skinned";
        const long windowsBefore = wl::test::LiveUserObjects();
        const int componentsBefore = form_->ComponentCount();

        c.drive(*form_, *run.control);
        wl::test::PumpMessages(0);

        EXPECT_EQ(run.events, 1);
        EXPECT_FALSE(run.freedInsideHandler) << "the control is freed only once its dispatch has returned";
        EXPECT_TRUE(run.watch->Gone) << "the control is freed once its dispatch has returned";
        EXPECT_FALSE(Listed(*skin, companion)) << "its companion left the form object";
        if (run.window) {
            EXPECT_FALSE(IsWindow(run.window));
        }
        EXPECT_EQ(form_->ComponentCount(), componentsBefore - 1);
        EXPECT_EQ(wl::test::LiveUserObjects(), windowsBefore - c.windows);
    }
}

// A bare "Button" window destroyed by its parent's WM_COMMAND while skinned, its companion
// freed there too (by whoever owns it) or left to the form object. The click reaches the parent
// posted; a BS_NOTIFY button's focus notification arrives while the button's own WM_SETFOCUS is
// still being handled.
TEST_F(SelfFreeTest, BareButtonDestroyedByItsParentsCommand) {
    struct Case {
        const char* name;
        WORD notification;
        bool freeCompanion;
    };
    const std::vector<Case> cases = {
        {"click, window destroyed", BN_CLICKED, false},
        {"click, companion freed as well", BN_CLICKED, true},
        {"focus, window destroyed", BN_SETFOCUS, false},
        {"focus, companion freed as well", BN_SETFOCUS, true},
    };
    TWinSkinForm* skin = SkinForm();
    ASSERT_NE(skin, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetFocus(form_->Handle());
        const long windowsBefore = wl::test::LiveUserObjects();
        HWND button = CreateWindowExW(0, L"BUTTON", L"Bare", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_NOTIFY, 20, 150,
                                      100, 30, form_->Handle(), reinterpret_cast<HMENU>(41), GetModuleHandleW(nullptr),
                                      nullptr);
        ASSERT_NE(button, nullptr);
        TSkinControl* companion = CreateCompanion("TSkinButton", nullptr);
        ASSERT_NE(companion, nullptr);
        companion->Attach(TAttachContext::ForWindow(button, skin, data_.get(), nullptr));
        ASSERT_TRUE(Listed(*skin, companion));
        int commands = 0;
        auto layer = form_->WindowProc.Add([&](TMessage& m, const TWindowProcChain::Previous& previous) {
            if (m.Msg == WM_COMMAND && reinterpret_cast<HWND>(m.LParam) == button &&
                HIWORD(m.WParam) == c.notification) {
                ++commands;
                DestroyWindow(button);
                if (c.freeCompanion) delete companion;
                return;
            }
            previous(m);
        });
        if (c.notification == BN_SETFOCUS) {
            SetFocus(button);
        } else {
            SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, At(30, 10));
            SendMessageW(button, WM_LBUTTONUP, 0, At(30, 10));
        }
        wl::test::PumpUntil([&] { return commands > 0; });
        wl::test::PumpMessages(0);
        layer.Remove();

        EXPECT_EQ(commands, 1);
        EXPECT_FALSE(IsWindow(button));
        EXPECT_EQ(wl::test::LiveUserObjects(), windowsBefore);
        if (c.freeCompanion) {
            EXPECT_FALSE(Listed(*skin, companion));
        } else {
            EXPECT_EQ(companion->LifeState(), TLifeState::WindowDestroyed);
            skin->RemoveControl(companion);
            delete companion;
        }
    }
}

// A skinned form closed or deleted from one of its own menu items.
TEST_F(SelfFreeTest, FormFreedFromItsOwnMenuItem) {
    struct Case {
        const char* name;
        std::function<void(TForm&)> free;
    };
    const std::vector<Case> cases = {
        {"closed with caFree", [](TForm& f) { f.Close(); }},
        {"deleted", [](TForm& f) { delete &f; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* form = new TForm(nullptr);
        form->SetBounds(120, 120, 300, 200);
        form->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
        auto* menu = new TMainMenu(form);
        auto* file = new TMenuItem(form);
        file->SetCaption("File");
        menu->Items()->Add(file);
        auto* quit = new TMenuItem(form);
        quit->SetCaption("Quit");
        file->Add(quit);
        form->SetMenu(menu);
        int clicks = 0;
        quit->OnClick = [&clicks, form, &c](TObject*) {
            ++clicks;
            c.free(*form);
        };
        TFreeWatch watch(form);
        form->Show();
        HWND window = form->Handle();
        ASSERT_TRUE(manager_->SkinWindow(window));
        TWinSkinForm* skin = manager_->FindForm(window);
        ASSERT_NE(skin, nullptr);
        wl::test::PumpUntil([skin] { return skin->State() == sfsRunning; });

        SendMessageW(window, WM_COMMAND, quit->Command(), 0);
        wl::test::PumpUntil([&watch] { return watch.Gone; });

        EXPECT_EQ(clicks, 1);
        EXPECT_TRUE(watch.Gone);
        EXPECT_FALSE(IsWindow(window));
        manager_->PurgeForms();
        EXPECT_EQ(manager_->FindForm(window), nullptr);
    }
}

// The skin is switched off from inside a modal form that a skinned button opened: the manager's
// timer runs inside the modal loop but frees nothing until the loop and the click are over;
// then the windows are unskinned.
TEST_F(SelfFreeTest, SkinSwitchedOffInsideAModalLoopWaitsForTheLoop) {
    auto* open = Add<TButton>(RECT{20, 20, 120, 50});
    open->SetCaption("Open");
    data_->SetActive(false);
    data_->SetActive(true);
    manager_->TimerTick();
    TWinSkinForm* skin = manager_->FindForm(form_->Handle());
    ASSERT_NE(skin, nullptr);
    wl::test::PumpUntil([skin] { return skin->State() == sfsRunning; });
    ASSERT_NE(CompanionOf(*skin, open), nullptr);

    size_t formsInside = 0;
    bool pendingInside = false, companionInside = false, buttonSkinnedInside = false;
    open->OnClick = [&](TObject*) {
        TForm dialog(nullptr);
        dialog.SetBounds(160, 160, 200, 120);
        TTimer step(nullptr);
        step.SetInterval(10);
        int ticks = 0;
        step.OnTimer = [&](TObject*) {
            if (ticks++ == 0) {
                data_->SetActive(false);
                return;
            }
            manager_->TimerTick(); // what its own timer does in this loop
            if (ticks < 4) return;
            formsInside = manager_->Forms().size();
            pendingInside = manager_->PendingSkinData() != nullptr;
            companionInside = CompanionOf(*skin, open) != nullptr;
            buttonSkinnedInside = SendMessageW(open->Handle(), SKM_ISSKINNED, 0, 0) == 1;
            dialog.SetModalResult(mrOk);
        };
        dialog.ShowModal();
    };
    SendMessageW(open->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(30, 10));
    SendMessageW(open->Handle(), WM_LBUTTONUP, 0, At(30, 10));

    EXPECT_GE(formsInside, 1u) << "the form object stays while the modal loop runs";
    EXPECT_TRUE(pendingInside) << "the switch stays pending";
    EXPECT_TRUE(companionInside);
    EXPECT_TRUE(buttonSkinnedInside);
    EXPECT_TRUE(wl::test::PumpUntil([this] { return manager_->Forms().empty(); }, 3000))
        << "the switch is carried out after the loop";
    EXPECT_EQ(SendMessageW(form_->Handle(), SKM_ISSKINNED, 0, 0), 0);
    EXPECT_EQ(SendMessageW(open->Handle(), SKM_ISSKINNED, 0, 0), 0);
}

// The same switch while a loop runs that no skinned window's message holds: a popup menu's
// tracking or a modal form, each started from outside any message.
TEST_F(SelfFreeTest, SkinSwitchWaitsForLoopsOutsideAnySkinnedMessage) {
    struct Case {
        const char* name;
        // Runs the loop; `step` is called from a timer inside it and answers when to end it.
        std::function<void(const std::function<bool()>& step)> run;
    };
    const std::vector<Case> cases = {
        {"popup menu",
         [](const std::function<bool()>& step) {
             TPopupMenu menu(nullptr);
             auto* item = new TMenuItem(&menu);
             item->SetCaption("Item");
             menu.Items()->Add(item);
             TTimer timer(nullptr);
             timer.SetInterval(10);
             timer.OnTimer = [&](TObject*) {
                 if (step()) EndMenu();
             };
             menu.Popup(200, 200);
         }},
        {"modal form",
         [](const std::function<bool()>& step) {
             TForm dialog(nullptr);
             dialog.SetBounds(160, 160, 200, 120);
             TTimer timer(nullptr);
             timer.SetInterval(10);
             timer.OnTimer = [&](TObject*) {
                 if (step()) dialog.SetModalResult(mrOk);
             };
             dialog.ShowModal();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        data_->SetActive(false);
        data_->SetActive(true);
        manager_->TimerTick();
        TWinSkinForm* skin = manager_->FindForm(form_->Handle());
        ASSERT_NE(skin, nullptr);
        wl::test::PumpUntil([skin] { return skin->State() == sfsRunning; });

        int ticks = 0;
        size_t formsInside = 0;
        bool pendingInside = false;
        c.run([&] {
            if (ticks++ == 0) {
                data_->SetActive(false);
                return false;
            }
            manager_->TimerTick();
            if (ticks < 4) return false;
            formsInside = manager_->Forms().size();
            pendingInside = manager_->PendingSkinData() != nullptr;
            return true;
        });

        EXPECT_GE(ticks, 4) << "the loop ran the steps";
        EXPECT_GE(formsInside, 1u) << "the form object stays while the loop runs";
        EXPECT_TRUE(pendingInside) << "the switch stays pending";
        EXPECT_TRUE(wl::test::PumpUntil([this] { return manager_->Forms().empty(); }, 3000))
            << "the switch is carried out after the loop";
        EXPECT_EQ(SendMessageW(form_->Handle(), SKM_ISSKINNED, 0, 0), 0);
    }
}

} // namespace
} // namespace skincontrols
