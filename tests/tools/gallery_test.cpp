// The controls gallery under Wine: every page activated and pictured as an artifact
// (gallery-<page>.bmp), with exactly its own controls showing; the whole form created and freed
// many times without leaking handles; and, skinned with each built-in skin, every page shown and
// the "Live" page's buttons used: what they make is skinned, what frees itself goes, and the
// View menu is emptied and filled again, with no failure swallowed by the skin engine.
#include "tools/gallery/gallery_main.h"

#include "skin/forms/menu_bar.h"
#include "skin/forms/skin_manage.h"
#include "skin/forms/skin_messages.h"
#include "skin/forms/win_skin_form.h"
#include "ui/menus.h"
#include "ui/stdctrls.h"

#include "support/gui.h"
#include "support/leak_loop.h"
#include "support/swallowed_check.h"
#include "support/testdata.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace wl::test {
namespace {

class Gallery : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Application->Initialize(); }
    void TearDown() override { ExpectNoSwallowedFailures(); }
};

TEST_F(Gallery, EveryPageShowsItsControlsAndIsPictured) {
    auto form = std::make_unique<TGalleryMain>(nullptr);
    form->ReadDefinitionResource();
    ASSERT_TRUE(form->UseSkin("")); // the built-in default skin loads
    EXPECT_FALSE(form->SkinData1->NotLoaded);
    form->Show();
    ASSERT_TRUE(WaitPainted(form->Handle()));
    // The main menu is the window's, with its two drop-downs.
    HMENU bar = GetMenu(form->Handle());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(GetMenuItemCount(bar), 2);
    char text[32] = {};
    GetMenuStringA(bar, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&File");
    TPageControl* pc = form->PageControl1;
    ASSERT_GE(pc->PageCount(), 5);
    for (int i = 0; i < pc->PageCount(); ++i) {
        pc->SetActivePageIndex(i);
        RedrawWindow(form->Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        EXPECT_TRUE(WaitPainted(form->Handle()));
        TTabSheet* page = pc->Pages(i);
        std::string name = page->GetText();
        // The first control that takes the focus shows it in the picture.
        for (int c = 0; c < page->ControlCount(); ++c) {
            auto* w = dynamic_cast<TWinControl*>(page->Controls(c));
            if (w && w->CanFocus()) {
                w->SetFocus();
                break;
            }
        }
        // The focus shows in the picture once it is on the screen.
        EXPECT_TRUE(WaitFlushed(form->Handle()));
        // Every windowed control of the page is showing, and no other page is.
        for (int c = 0; c < page->ControlCount(); ++c) {
            if (auto* w = dynamic_cast<TWinControl*>(page->Controls(c))) {
                EXPECT_TRUE(IsWindowVisible(w->Handle())) << name << ": " << w->Name();
            }
        }
        for (int j = 0; j < pc->PageCount(); ++j)
            EXPECT_EQ(IsWindowVisible(pc->Pages(j)->Handle()) != 0, i == j)
                << name << " / " << pc->Pages(j)->GetText();
        std::string path = ArtifactDir() + "/gallery-" + name + ".bmp";
        EXPECT_TRUE(SaveWindowBitmap(form->Handle(), path)) << path;
    }
}

// Runs from a short repeating thread timer: closes the active window once it is a dialog (a
// modal loop has started).
HWND g_mainWindow = nullptr;
HWND g_closed = nullptr;
void CALLBACK CloseActiveDialog(HWND, UINT, UINT_PTR id, DWORD) {
    HWND active = GetActiveWindow();
    if (!active || active == g_mainWindow) return;
    KillTimer(nullptr, id);
    g_closed = active;
    PostMessageA(active, WM_CLOSE, 0, 0);
}

TEST_F(Gallery, MenuOpensAModalDialogAndAMessageDialog) {
    auto form = std::make_unique<TGalleryMain>(nullptr);
    form->ReadDefinitionResource();
    form->Show();
    ASSERT_TRUE(WaitPainted(form->Handle()));
    g_mainWindow = form->Handle();
    struct Case {
        const char* what;
        std::function<void()> open;
    } cases[] = {
        {"modal dialog", [&] { form->MenuModalClick(nullptr); }},
        {"message dialog", [&] { form->MenuMessageClick(nullptr); }},
    };
    for (const auto& c : cases) {
        g_closed = nullptr;
        const UINT_PTR timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, CloseActiveDialog);
        c.open(); // returns once the dialog is closed
        KillTimer(nullptr, timer); // in case no dialog came
        EXPECT_NE(g_closed, nullptr) << c.what;
        EXPECT_NE(g_closed, form->Handle()) << c.what;
        EXPECT_TRUE(IsWindowEnabled(form->Handle())) << c.what; // enabled again afterwards
    }
    EXPECT_EQ(form->StatusBar1->Panel(0)->Text(), "Dialog closed: 2"); // closed: mrCancel
}

TEST_F(Gallery, CreatingAndFreeingTheGalleryLeaksNoHandles) {
    // Every cycle creates the whole form, shows it, visits every page, paints it and frees it.
    ExpectNoLeak([](int) {
        auto form = std::make_unique<TGalleryMain>(nullptr);
        form->ReadDefinitionResource();
        form->Show();
        for (int i = 0; i < form->PageControl1->PageCount(); ++i) {
            form->PageControl1->SetActivePageIndex(i);
            PaintNow(form->Handle());
        }
        Application->ProcessMessages();
    });
}

// ---- the gallery skinned, and its Live page -------------------------------------------------------

// The buttons on `page` with that caption.
std::vector<TButton*> ButtonsCaptioned(TWinControl* page, const std::string& caption) {
    std::vector<TButton*> found;
    for (int i = 0; i < page->ControlCount(); ++i)
        if (auto* b = dynamic_cast<TButton*>(page->Controls(i)); b && b->GetText() == caption) found.push_back(b);
    return found;
}

std::vector<TListBox*> ListBoxesOn(TWinControl* page) {
    std::vector<TListBox*> found;
    for (int i = 0; i < page->ControlCount(); ++i)
        if (auto* l = dynamic_cast<TListBox*>(page->Controls(i))) found.push_back(l);
    return found;
}

bool Skinned(TWinControl* control) {
    return control && control->HandleAllocated() &&
           SendMessageW(control->HandleValue(), SKM_ISSKINNED, 0, 0) == 1;
}

// Clicks a button the way the keyboard's space bar or a mouse click does, through its window.
void Press(TButton* button) { SendMessageW(button->Handle(), BM_CLICK, 0, 0); }

// Clicks a button of the skinned menu bar; whether a drop-down opened (it is closed at once).
bool MenuBarButtonOpens(HWND window, TMenuBtn* button) {
    static bool opened;
    opened = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        bool shown = false;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND h, LPARAM data) -> BOOL {
                wchar_t name[16] = {};
                GetClassNameW(h, name, 16);
                if (std::wstring(name) == L"#32768" && IsWindowVisible(h)) *reinterpret_cast<bool*>(data) = true;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&shown));
        if (shown) {
            opened = true;
            EndMenu();
        }
    });
    // A drop-down that does not close by itself ends the wait anyway.
    const UINT_PTR guard = SetTimer(nullptr, 0, 3000, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
    RECT wr{};
    GetWindowRect(window, &wr);
    const RECT& b = button->Bounds();
    const POINT p{wr.left + (b.left + b.right) / 2, wr.top + (b.top + b.bottom) / 2};
    SendMessageW(window, WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(p.x, p.y));
    KillTimer(nullptr, timer);
    KillTimer(nullptr, guard);
    PumpMessages(0);
    return opened;
}

class GallerySkinned : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        TSkinManage::Register();
        Application->Initialize();
    }
    // A manager link left by the unskinned tests above is not the skin manager.
    void SetUp() override { TSkinManagerLink::Destroy(); }
    void TearDown() override {
        form_.reset();
        TSkinManagerLink::Destroy();
        PumpMessages(0);
        ExpectNoSwallowedFailures();
    }
    // The gallery wearing the skin archive `path` (the built-in skin for ""), skinned at once the
    // way the manager's timer does it.
    TWinSkinForm* ShowSkinned(const std::string& path) {
        form_ = std::make_unique<TGalleryMain>(nullptr);
        form_->ReadDefinitionResource();
        form_->SetLeft(20);
        form_->SetTop(20);
        form_->Show();
        WaitPainted(form_->Handle());
        if (!form_->UseSkin(path)) return nullptr;
        TSkinManage* m = TSkinManage::Instance();
        if (!m) return nullptr;
        m->TimerTick();
        TWinSkinForm* f = m->FindForm(form_->Handle());
        if (f) PumpUntil([f] { return f->State() == sfsRunning; }, 3000);
        PumpMessages(0);
        return f;
    }
    void RepaintAll() {
        RedrawWindow(form_->Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpMessages(0);
    }
    std::unique_ptr<TGalleryMain> form_;
};

TEST_F(GallerySkinned, EveryPageAndTheLivePagesButtonsInBothSkins) {
    struct Skin {
        const char* what;
        std::string path;
    } skins[] = {{"built-in skin", ""}, {"second skin", WL_ALT_SKIN}};
    for (const Skin& skin : skins) {
        SCOPED_TRACE(skin.what);
        TWinSkinForm* f = ShowSkinned(skin.path);
        ASSERT_NE(f, nullptr);
        ASSERT_NE(f->MenuBar(), nullptr);
        TPageControl* pc = form_->PageControl1;
        TTabSheet* live = form_->PageLive;
        ASSERT_NE(live, nullptr);
        EXPECT_EQ(live->GetText(), "Live");
        for (int i = 0; i < pc->PageCount(); ++i) {
            pc->SetActivePageIndex(i);
            RepaintAll();
        }
        pc->SetActivePage(live);
        RepaintAll();
        TMenuBtn* viewButton = f->MenuBar()->Button(1);
        ASSERT_NE(viewButton, nullptr);
        ASSERT_EQ(viewButton->Caption(), L"&View");
        auto press = [&](const char* caption) {
            const auto buttons = ButtonsCaptioned(live, caption);
            ASSERT_EQ(buttons.size(), 1u) << caption;
            Press(buttons.front());
            PumpMessages(0);
        };
        // Each step uses a button of the page and checks what it says it does.
        struct Step {
            const char* what;
            std::function<void()> act;
            std::function<void()> check;
        } steps[] = {
            {"three buttons added", [&] { for (int i = 0; i < 3; ++i) press("Add button"); },
             [&] {
                 for (const char* c : {"Remove me 1", "Remove me 2", "Remove me 3"}) {
                     const auto b = ButtonsCaptioned(live, c);
                     ASSERT_EQ(b.size(), 1u) << c;
                     EXPECT_TRUE(IsWindowVisible(b.front()->Handle())) << c;
                     EXPECT_TRUE(PumpUntil([&] { return Skinned(b.front()); })) << c << " has no companion";
                 }
             }},
            {"the second frees itself", [&] { press("Remove me 2"); },
             [&] {
                 EXPECT_TRUE(ButtonsCaptioned(live, "Remove me 2").empty());
                 EXPECT_EQ(ButtonsCaptioned(live, "Remove me 1").size(), 1u);
                 EXPECT_EQ(ButtonsCaptioned(live, "Remove me 3").size(), 1u);
             }},
            {"numbers go on", [&] { press("Add button"); },
             [&] { EXPECT_EQ(ButtonsCaptioned(live, "Remove me 4").size(), 1u); }},
            {"a list box added", [&] { press("Add list box"); },
             [&] {
                 const auto lists = ListBoxesOn(live);
                 ASSERT_EQ(lists.size(), 1u);
                 EXPECT_EQ(SendMessageW(lists.front()->Handle(), LB_GETCOUNT, 0, 0), 50);
                 const auto remove = ButtonsCaptioned(live, "Remove list box");
                 ASSERT_EQ(remove.size(), 1u);
                 EXPECT_GE(remove.front()->Top(), lists.front()->Top() + lists.front()->Height());
                 EXPECT_TRUE(PumpUntil([&] { return Skinned(lists.front()) && Skinned(remove.front()); }))
                     << "the list box or its button has no companion";
             }},
            {"pictured with what was made", [] {},
             [&] {
                 const std::string path = ArtifactDir() + "/gallery-live-" + (skin.path.empty() ? "default" : "second") + ".bmp";
                 EXPECT_TRUE(SaveWindowBitmap(form_->Handle(), path)) << path;
             }},
            {"the list box removed", [&] { press("Remove list box"); },
             [&] {
                 EXPECT_TRUE(ListBoxesOn(live).empty());
                 EXPECT_TRUE(ButtonsCaptioned(live, "Remove list box").empty());
             }},
            {"the View menu emptied", [&] { press("Empty View menu"); },
             [&] {
                 EXPECT_EQ(form_->MenuView->Count(), 0);
                 ASSERT_EQ(f->MenuBar()->ItemCount(), 2);
                 EXPECT_EQ(f->MenuBar()->Button(1)->Caption(), L"&View");
                 EXPECT_FALSE(MenuBarButtonOpens(form_->Handle(), f->MenuBar()->Button(1)));
             }},
            {"the View menu filled", [&] { press("Fill View menu"); },
             [&] {
                 ASSERT_EQ(form_->MenuView->Count(), 2);
                 EXPECT_EQ(form_->MenuView->Items(0)->Caption(), "Checked item");
                 EXPECT_TRUE(form_->MenuView->Items(0)->Checked());
                 EXPECT_FALSE(form_->MenuView->Items(1)->Enabled());
                 ASSERT_EQ(f->MenuBar()->ItemCount(), 2);
                 EXPECT_TRUE(MenuBarButtonOpens(form_->Handle(), f->MenuBar()->Button(1)));
             }},
        };
        for (const Step& step : steps) {
            SCOPED_TRACE(step.what);
            step.act();
            RepaintAll();
            step.check();
        }
        ExpectNoSwallowedFailures();
        form_.reset();
        TSkinManagerLink::Destroy();
        PumpMessages(0);
    }
}

} // namespace
} // namespace wl::test
