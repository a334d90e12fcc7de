// The controls gallery under Wine: every page activated and pictured as an artifact
// (gallery-<page>.bmp), with exactly its own controls showing; and the whole form created and
// freed many times without leaking handles.
#include "tools/gallery/gallery_main.h"

#include "support/gui.h"
#include "support/leak_loop.h"
#include "support/swallowed_check.h"
#include "support/testdata.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

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

} // namespace
} // namespace wl::test
