// The skin manager on real windows: which windows it refuses and why, the thread hook, the
// scheduled on / off actions, a skin data component destroyed while its windows are skinned,
// and handle counts over many cycles.
#include "forms_fixture.h"

#include "skin_test_util.h"
#include "support/leak_loop.h"
#include "support/gui.h"
#include "ui/forms.h"

#include <fstream>

using namespace wl;
using namespace skinforms;

namespace {

LRESULT CALLBACK AnswersSkinned(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == SKM_ISSKINNED) return 1;
    return DefWindowProcA(h, msg, wParam, lParam);
}

} // namespace

// Every refusal of the manager, each with the first test that fails, next to windows of the
// same kind that pass.
TEST_F(SkinFormsTest, ManagerRefusals) {
    HINSTANCE foreign = GetModuleHandleA("user32.dll");
    ASSERT_TRUE(foreign);
    HWND host = MakeWindow(WindowShape{});
    windows_.push_back(host);
    auto tagged = std::make_unique<TForm>(nullptr);
    tagged->SetBounds(10, 10, 150, 100);
    tagged->SetTag(99);
    auto plainForm = std::make_unique<TForm>(nullptr);
    plainForm->SetBounds(10, 10, 150, 100);
    data_->SetDisableTag(5); // the fixed tag 99 counts whatever DisableTag says

    struct Case {
        const char* what;
        std::function<HWND()> make;
        std::function<void()> before; // changes the manager or the skin before the test
        const char* reason;           // nullptr: accepted
    } cases[] = {
        {"ordinary window", [] { return MakeWindow(WindowShape{}); }, nullptr, nullptr},
        {"form object", [&] { return plainForm->Handle(); }, nullptr, nullptr},
        {"form with tag 99", [&] { return tagged->Handle(); }, nullptr, "tag 99"},
        {"class TApplication", [] { return MakeWindow(WindowShape{.className = "TApplication"}); }, nullptr,
         "excluded class"},
        {"popup editor class",
         [] { return MakeWindow(WindowShape{.className = "XTcxPopupEditPopupWindowY"}); }, nullptr,
         "excluded class"},
        {"empty rectangle",
         [] { return MakeWindow(WindowShape{.style = WS_POPUP, .bounds = {5, 5, 5, 40}}); }, nullptr,
         "empty rectangle"},
        {"foreign window",
         [&] { return MakeWindow(WindowShape{.className = "WlForeignClass", .instance = foreign}); }, nullptr,
         "foreign window"},
        {"foreign dialog", [&] {
             DialogShape shape;
             shape.instance = foreign;
             return MakeDialog(shape);
         }, nullptr, nullptr},
        {"answers SKM_ISSKINNED",
         [] { return MakeWindow(WindowShape{.className = "WlAnswersSkinned", .proc = AnswersSkinned}); }, nullptr,
         "already skinned"},
        {"embedded child",
         [&] {
             return MakeWindow(WindowShape{.className = "WlSkinTestChild", .style = WS_CHILD | WS_VISIBLE,
                                          .bounds = {0, 0, 50, 50}, .parent = host});
         }, nullptr, "embedded child"},
        {"embedded child while forced",
         [&] {
             return MakeWindow(WindowShape{.className = "WlSkinTestChild", .style = WS_CHILD | WS_VISIBLE,
                                          .bounds = {0, 0, 50, 50}, .parent = host});
         }, [this] { manager_->Forced = true; }, nullptr},
        {"preview class, previews skinned", [] { return MakeWindow(WindowShape{.className = "MyPrintPREVIEWer"}); },
         nullptr, nullptr},
        {"preview class, previews not skinned",
         [] { return MakeWindow(WindowShape{.className = "MyPrintPREVIEWer"}); },
         [this] { data_->SetOptions(data_->Options() & ~SkinOptionBit(xoPreview)); }, "filtered"},
        {"month calendar class", [] { return MakeWindow(WindowShape{.className = "SysMonthCal32"}); }, nullptr,
         "filtered"},
        {"not skinning", [] { return MakeWindow(WindowShape{}); }, [this] { manager_->SetSkinning(false); },
         "not skinning"},
        {"skin not loaded", [] { return MakeWindow(WindowShape{}); }, [this] { data_->NotLoaded = true; },
         "no loaded skin"},
    };
    for (const Case& c : cases) {
        HWND h = c.make();
        ASSERT_TRUE(h) << c.what;
        windows_.push_back(h);
        const TSkinOptions options = data_->Options();
        if (c.before) c.before();
        std::string reason;
        const bool accepted = manager_->AcceptsWindow(h, &reason);
        EXPECT_EQ(accepted, c.reason == nullptr) << c.what << ": " << reason;
        if (c.reason) {
            EXPECT_EQ(reason, c.reason) << c.what;
        }
        // SkinWindow makes a skin object exactly for the windows that pass.
        const size_t count = manager_->Forms().size();
        EXPECT_EQ(manager_->SkinWindow(h), accepted) << c.what;
        EXPECT_EQ(manager_->Forms().size(), count + (accepted ? 1 : 0)) << c.what;
        if (accepted) {
            // ... and never a second one.
            std::string again;
            EXPECT_FALSE(manager_->AcceptsWindow(h, &again)) << c.what;
            EXPECT_EQ(again, "already skinned") << c.what;
            EXPECT_FALSE(manager_->SkinWindow(h)) << c.what;
        }
        test::PumpMessages(0);
        manager_->Forced = false;
        manager_->SetSkinning(true);
        data_->NotLoaded = false;
        data_->SetOptions(options);
    }
    RunAction(skaUnskinAll);
    EXPECT_TRUE(manager_->Forms().empty());
}

// Which skin a window gets: its own form's component, a dialog component for dialogs, the main
// one, else the first.
TEST_F(SkinFormsTest, ChooseSkinData) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(10, 10, 150, 100);
    auto own = new TSkinData(form.get());
    own->SetSkinFormtype(sfOnlyThisForm);
    TSkinData dialogs(nullptr);
    dialogs.SetSkinFormtype(sfDialog);
    manager_->AddSkinData(own);
    manager_->AddSkinData(&dialogs);
    HWND window = MakeWindow(WindowShape{});
    HWND dialog = MakeDialog(DialogShape{});
    windows_.push_back(window);
    windows_.push_back(dialog);
    EXPECT_EQ(manager_->MainSkinData(), data_.get());
    EXPECT_EQ(manager_->ChooseSkinData(form->Handle()), own);
    EXPECT_EQ(manager_->ChooseSkinData(dialog), &dialogs);
    EXPECT_EQ(manager_->ChooseSkinData(window), data_.get());
    data_.reset(); // the main component goes: the manager forgets it
    EXPECT_EQ(manager_->MainSkinData(), nullptr);
    EXPECT_EQ(manager_->ChooseSkinData(window), own); // the first one left
}

// The thread hook skins windows as they are activated, once the first activation has started
// the manager; a switch-on before that only arms it.
TEST_F(SkinFormsTest, HookSkinsActivatedWindows) {
    TSkinManagerLink::Destroy();
    manager_ = dynamic_cast<TSkinManage*>(&TSkinManagerLink::Create());
    ASSERT_NE(manager_, nullptr);
    manager_->AddSkinData(data_.get());
    manager_->InstallHook();
    ASSERT_NE(manager_->Hook(), nullptr);
    EXPECT_EQ(manager_->Phase(), TManagerPhase::Idle);
    manager_->SetPendingSkinData(data_.get());
    manager_->Schedule(skaSkinAll, 250);
    EXPECT_TRUE(manager_->Skinning());
    EXPECT_FALSE(manager_->TimerEnabled());
    EXPECT_TRUE(manager_->Forms().empty());

    HWND hidden = MakeWindow(WindowShape{.style = WS_OVERLAPPEDWINDOW}); // never activated
    windows_.push_back(hidden);
    EXPECT_EQ(manager_->FindForm(hidden), nullptr);
    HWND shown = MakeWindow(WindowShape{});
    windows_.push_back(shown);
    EXPECT_EQ(manager_->Phase(), TManagerPhase::Running);
    TWinSkinForm* f = manager_->FindForm(shown);
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(test::PumpUntil([f] { return f->State() == sfsRunning; }));
    EXPECT_EQ(manager_->FindForm(hidden), nullptr);
    // Dialogs too, and the MDI client's children as they are created.
    HWND dialog = MakeDialog(DialogShape{});
    windows_.push_back(dialog);
    EXPECT_NE(manager_->FindForm(dialog), nullptr);
    DestroyWindow(shown);
    manager_->PurgeForms();
    EXPECT_EQ(manager_->FindForm(shown), nullptr);
}

// Switching the main component's Active off and on works through the timer on every open form.
TEST_F(SkinFormsTest, ScheduledOnAndOff) {
    auto a = std::make_unique<TForm>(nullptr);
    a->SetBounds(30, 30, 200, 150);
    a->Show();
    auto b = std::make_unique<TForm>(nullptr);
    b->SetBounds(260, 30, 200, 150);
    b->Show();
    auto hidden = std::make_unique<TForm>(nullptr);
    hidden->SetBounds(30, 200, 200, 150);
    hidden->HandleNeeded();
    test::PumpMessages(0);
    data_->SetActive(true); // schedules "skin all"
    EXPECT_EQ(manager_->PendingAction(), skaSkinAll);
    EXPECT_TRUE(manager_->TimerEnabled());
    EXPECT_TRUE(test::PumpUntil([&] { return !manager_->TimerEnabled(); }));
    EXPECT_NE(manager_->FindForm(a->Handle()), nullptr);
    EXPECT_NE(manager_->FindForm(b->Handle()), nullptr);
    EXPECT_EQ(manager_->FindForm(hidden->Handle()), nullptr); // only visible forms
    EXPECT_EQ(manager_->PendingSkinData(), nullptr);

    int changed = 0;
    data_->OnSkinChanged = [&](TObject*) { ++changed; };
    data_->SetActive(false); // schedules "unskin all"
    EXPECT_EQ(manager_->PendingAction(), skaUnskinAll);
    EXPECT_TRUE(test::PumpUntil([&] { return !manager_->TimerEnabled(); }));
    EXPECT_TRUE(manager_->Forms().empty());
    EXPECT_FALSE(manager_->Skinning());
    EXPECT_NE(SendMessageA(a->Handle(), SKM_ISSKINNED, 0, 0), 1);
    EXPECT_EQ(changed, 1);
    // While switched off, newly activated windows stay unskinned.
    EXPECT_FALSE(manager_->SkinWindow(a->Handle()));

    data_->SetActive(true);
    EXPECT_TRUE(test::PumpUntil([&] { return !manager_->TimerEnabled(); }));
    EXPECT_EQ(manager_->Forms().size(), 2u);
    EXPECT_EQ(SendMessageA(b->Handle(), SKM_ISSKINNED, 0, 0), 1);
    // A re-skin re-applies the colours to every form of the component.
    a->SetColor(clWindow);
    RunAction(skaReskin);
    EXPECT_EQ(a->Color(), data_->ButtonFace);
    EXPECT_EQ(manager_->Forms().size(), 2u);
}

// A skin data component destroyed while windows wear its skin: the windows get everything
// back and the manager names the component nowhere.
TEST_F(SkinFormsTest, SkinDataDestroyedWhileSkinned) {
    auto second = std::make_unique<TSkinData>(nullptr);
    second->SkinBytes = data_->SkinBytes;
    ASSERT_TRUE(second->LoadSkin());
    second->SetSkinFormtype(sfDialog);
    manager_->AddSkinData(second.get());
    HWND dialog = MakeDialog(DialogShape{});
    HWND window = MakeWindow(WindowShape{});
    windows_.push_back(dialog);
    windows_.push_back(window);
    const LONG_PTR dialogProc = GetWindowLongPtrA(dialog, GWLP_WNDPROC);
    const SIZE dialogClient = ClientSize(dialog);
    TWinSkinForm* d = Skin(dialog);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->SkinData(), second.get());
    ASSERT_NE(Skin(window), nullptr);
    manager_->SetPendingSkinData(second.get());
    second.reset();
    EXPECT_EQ(manager_->PendingSkinData(), nullptr);
    EXPECT_EQ(manager_->FindForm(dialog), nullptr);
    EXPECT_EQ(GetWindowLongPtrA(dialog, GWLP_WNDPROC), dialogProc);
    EXPECT_EQ(ClientSize(dialog).cx, dialogClient.cx);
    EXPECT_EQ(ClientSize(dialog).cy, dialogClient.cy);
    EXPECT_NE(SendMessageA(dialog, SKM_ISSKINNED, 0, 0), 1);
    // The other window keeps its skin; the dialog can be skinned again with the main skin.
    EXPECT_NE(manager_->FindForm(window), nullptr);
    TWinSkinForm* again = Skin(dialog);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->SkinData(), data_.get());
    // A scheduled action for a component that is gone does nothing.
    manager_->Schedule(skaUnskinAll, 1);
    manager_->TimerTick();
    EXPECT_EQ(manager_->Forms().size(), 2u);
}

// Skinning on and off over an open form, and creating and destroying skinned forms, leaves the
// counts of GDI objects, windows and USER handles where they were.
TEST_F(SkinFormsTest, HandleCountsStayFlat) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(40, 40, 300, 200);
    form->Show();
    test::PumpMessages(0);
    HWND h = form->Handle();
    test::TLeakLoop loop;
    loop.Paint = [h] { test::PaintNow(h); };
    test::ExpectNoLeak(
        [&](int) {
            ASSERT_NE(Skin(h), nullptr);
            SendMessageA(h, WM_NCPAINT, 1, 0);
            SendMessageA(h, WM_NCACTIVATE, FALSE, 0);
            SendMessageA(h, WM_NCACTIVATE, TRUE, 0);
            RunAction(skaUnskinAll);
            manager_->SetSkinning(true);
        },
        loop);
    form.reset();

    manager_->InstallHook();
    test::ExpectNoLeak([&](int) {
        auto f = std::make_unique<TForm>(nullptr);
        f->SetBounds(60, 60, 240, 160);
        f->Show(); // the hook skins it on activation
        ASSERT_NE(manager_->FindForm(f->Handle()), nullptr);
        test::PaintNow(f->Handle());
        test::PumpMessages(0);
        f.reset();
        manager_->PurgeForms();
    });
    EXPECT_TRUE(manager_->Forms().empty());
}

// Loading another skin into a component whose windows are skinned: the windows' title-bar
// buttons are rebuilt from the new records at once (none is left pointing at a record that
// the load replaced), the frame takes the new thickness, and the windows keep working.
TEST_F(SkinFormsTest, SkinReloadedUnderSkinnedWindows) {
    data_->SetSkinFormtype(sfOnlyThisForm); // no re-skin action follows a load of this kind
    HWND h = MakeWindow(WindowShape{});
    ASSERT_TRUE(h);
    windows_.push_back(h);
    TWinSkinForm* f = Skin(h);
    ASSERT_NE(f, nullptr);
    ASSERT_GT(f->Buttons().size(), 2u);
    const std::string ini =
        "[Personality]\nTop=top.bmp\nLeft=side.bmp\nRight=side.bmp\nBottom=side.bmp\n"
        "[Button1]\nAction=0\nAlign=1\nXcoord=20\nYcoord=2\nButtonImage=b.bmp\n"
        "[Button2]\nAction=2\nAlign=1\nXcoord=40\nYcoord=2\nButtonImage=b.bmp\n";
    data_->SkinBytes = skintest::Archive(ini, {{"top.bmp", skintest::Bmp(40, 30, 0x808080)},
                                               {"side.bmp", skintest::Bmp(6, 6, 0x404040)},
                                               {"b.bmp", skintest::Bmp(48, 16, 0x2020C0)}});
    ASSERT_TRUE(data_->LoadSkin());
    ASSERT_FALSE(data_->NotLoaded);
    ASSERT_EQ(f->Buttons().size(), data_->SysButtons.size());
    for (size_t i = 0; i < f->Buttons().size(); ++i)
        EXPECT_EQ(f->Buttons()[i]->SkinElement(), data_->SysButtons[i].get()) << i;
    const RECT b = f->Borders();
    EXPECT_EQ(b.top, 30);
    EXPECT_EQ(b.left, 6);
    RECT wr;
    GetWindowRect(h, &wr);
    SendMessageA(h, WM_NCPAINT, 1, 0);
    SendMessageA(h, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(wr.right - 15, wr.top + 5));
    SendMessageA(h, WM_NCACTIVATE, FALSE, 0);
    EXPECT_EQ(SendMessageA(h, SKM_ISSKINNED, 0, 0), 1);
}

// Another skin archive loaded with SkinFile reaches every open window through the timer: the
// new frame thickness, the client area kept.
TEST_F(SkinFormsTest, SkinFileReachesOpenWindows) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(50, 50, 300, 200);
    form->Show();
    test::PumpMessages(0);
    HWND h = form->Handle();
    TWinSkinForm* f = Skin(h);
    ASSERT_NE(f, nullptr);
    RECT client;
    GetClientRect(h, &client);
    const std::string path = std::string(WL_BINARY_DIR_FORMS) + "/other.skn";
    {
        std::ofstream out(path, std::ios::binary);
        out << skintest::Archive("[Personality]\nTop=top.bmp\nLeft=side.bmp\nRight=side.bmp\nBottom=side.bmp\n"
                                 "[Colours]\nButtonFace=10 20 30\n",
                                 {{"top.bmp", skintest::Bmp(40, 31, 0x808080)},
                                  {"side.bmp", skintest::Bmp(7, 7, 0x404040)}});
    }
    data_->SetSkinFile(path);
    ASSERT_FALSE(data_->NotLoaded);
    EXPECT_EQ(manager_->PendingAction(), skaReskin);
    EXPECT_TRUE(test::PumpUntil([&] { return !manager_->TimerEnabled(); }));
    EXPECT_EQ(manager_->FindForm(h), f);
    const RECT b = f->Borders();
    EXPECT_EQ(b.top, 31);
    EXPECT_EQ(b.left, 7);
    EXPECT_EQ(b.bottom, 7);
    EXPECT_EQ(form->Color(), static_cast<TColor>(0x1E140A));
    RECT after, wr;
    GetClientRect(h, &after);
    GetWindowRect(h, &wr);
    EXPECT_EQ(after.right, client.right);
    EXPECT_EQ(after.bottom, client.bottom);
    EXPECT_EQ(wr.right - wr.left, client.right + 14);
    EXPECT_EQ(wr.bottom - wr.top, client.bottom + 31 + 7);
}
