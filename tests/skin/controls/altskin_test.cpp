// The second skin archive built beside the default one: it loads, and its colours and geometry
// are its own, both in the loaded records and on a window and a control skinned with it; a
// switch between the archives keeps what the new skin does not change and leaves the window as a
// fresh skinning with the new archive would.
#include "controls_fixture.h"

#include "skin/controls/mediaplayer.h"
#include "skin/controls/scrollbars.h"
#include "skin/data/skin_elements.h"
#include "skin/forms/frame_paint.h"
#include "support/gui.h"
#include "ui/mplayer.h"
#include "ui/stdctrls.h"

#include <array>

namespace skincontrols {
namespace {

using namespace wl;

struct SkinFacts {
    const char* archive;
    const char* name;
    COLORREF face;
    int border;       // left, right and bottom border thickness
    int title;        // title strip height
    SIZE sysButton;   // one cell of the close button
    int buttonMargin; // push-button margins
};

const SkinFacts kSkins[] = {
    {WL_DEFAULT_SKIN, "Wordlark Calm", RGB(238, 241, 246), 4, 26, {24, 18}, 4},
    {WL_ALT_SKIN, "Wordlark Sage", RGB(230, 237, 224), 6, 22, {20, 15}, 5},
};

std::unique_ptr<TSkinData> LoadArchive(const char* path) {
    auto d = std::make_unique<TSkinData>(nullptr);
    d->SkinBytes = ReadFile(path);
    if (!d->LoadSkin() || d->NotLoaded) return nullptr;
    return d;
}

TEST(AltSkin, LoadsWithItsOwnColoursAndGeometry) {
    Application->Initialize();
    for (const SkinFacts& s : kSkins) {
        SCOPED_TRACE(s.name);
        auto d = LoadArchive(s.archive);
        ASSERT_NE(d, nullptr) << s.archive;
        EXPECT_EQ(d->SkinName, s.name);
        EXPECT_EQ(ColorToRGB(d->ButtonFace), static_cast<TColor>(s.face));
        EXPECT_EQ(d->BorderLeft->Image.Width() / d->BorderLeft->Frame, s.border);
        EXPECT_EQ(d->BorderRight->Image.Width() / d->BorderRight->Frame, s.border);
        EXPECT_EQ(d->BorderBottom->Image.Height() / d->BorderBottom->Frame, s.border);
        EXPECT_EQ(d->BorderTop->Image.Height() / d->BorderTop->Frame, s.title);
        EXPECT_EQ(d->Buttons->LeftWidth, s.buttonMargin);
        EXPECT_EQ(d->Buttons->Frame, 5);
        bool sawClose = false;
        for (const auto& b : d->SysButtons) {
            if (b->Action != 0 || b->Image.Empty()) continue;
            sawClose = true;
            EXPECT_EQ(b->Image.Width() / b->Frame, s.sysButton.cx);
            EXPECT_EQ(b->Image.Height(), s.sysButton.cy);
        }
        EXPECT_TRUE(sawClose);
        // Every element the default skin has, the second one has too.
        EXPECT_TRUE(HasElement(d->ComboxArrow.get()));
        EXPECT_FALSE(d->Buttons->CheckImage.Empty());
        EXPECT_FALSE(d->Buttons->RadioImage.Empty());
    }
}

class AltSkinOnScreen : public SkinControlsTest {};

TEST_F(AltSkinOnScreen, WindowsAndControlsWearEachSkinsGeometryAndFace) {
    for (const SkinFacts& s : kSkins) {
        SCOPED_TRACE(s.name);
        data_->SkinBytes = ReadFile(s.archive);
        ASSERT_TRUE(data_->LoadSkin());
        TWinSkinForm* f = SkinForm();
        ASSERT_NE(f, nullptr);
        RECT window{};
        GetWindowRect(form_->Handle(), &window);
        POINT origin{0, 0};
        ClientToScreen(form_->Handle(), &origin);
        EXPECT_EQ(origin.x - window.left, s.border) << "left border";

        auto* player = Add<TMediaPlayer>(RECT{10, 10, 130, 40});
        player->SetVisibleButtons(0);
        ASSERT_NE(Attach("TSkinMP", player), nullptr);
        Repaint(form_->Handle());
        HWND panel = GetWindow(player->Handle(), GW_HWNDPREV);
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(wl::test::WindowPixel(panel, 60, 15), s.face) << "a skinned control's face";
        delete player;
        // A fresh host window for the next skin.
        form_ = std::make_unique<TForm>(nullptr);
        form_->SetBounds(80, 80, 420, 320);
        form_->Show();
        wl::test::PumpMessages(0);
    }
}

// Where a window's client area sits in it (its edges' distances from the window's edges) and
// the window's size.
std::array<int, 6> PlacementOf(HWND h) {
    RECT w{}, c{};
    GetWindowRect(h, &w);
    GetClientRect(h, &c);
    POINT o{0, 0};
    ClientToScreen(h, &o);
    return {o.x - w.left, o.y - w.top, w.right - (o.x + c.right), w.bottom - (o.y + c.bottom), w.right - w.left,
            w.bottom - w.top};
}

// A copy of the window's region (null when it has none).
wl::UniqueRegion RegionCopy(HWND h) {
    wl::UniqueRegion r(CreateRectRgn(0, 0, 0, 0));
    if (GetWindowRgn(h, r.get()) == ERROR) r.reset();
    return r;
}

bool SameRegion(HRGN a, HRGN b) { return a && b && EqualRgn(a, b); }

// A skin switch on a skinned form with a list box (whose scroll-bar overlay is a window of its
// own) and a button, carried out the way the manager's timer does it. The companions and the
// overlay window stay whatever the archive; the same archive again leaves the frame alone (no
// new region, no window moved or sized), the second one gives the window the region and the
// client placement a fresh skinning with it gives a twin form.
TEST_F(AltSkinOnScreen, SwitchKeepsWhatTheSkinLeavesAndLooksLikeAFreshSkinning) {
    const struct {
        const char* what;
        const char* archive;
        bool sameFrame;
    } cases[] = {{"same archive again", WL_DEFAULT_SKIN, true}, {"second skin", WL_ALT_SKIN, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        data_->SkinBytes = ReadFile(WL_DEFAULT_SKIN);
        ASSERT_TRUE(data_->LoadSkin());
        form_ = std::make_unique<TForm>(nullptr);
        form_->SetBounds(80, 80, 420, 320);
        form_->SetCaption("Controls");
        form_->Show();
        auto* list = Add<TListBox>(RECT{10, 10, 150, 110});
        for (int i = 0; i < 60; ++i) list->Items().Add("item " + std::to_string(i));
        auto* button = Add<TButton>(RECT{170, 10, 260, 38});
        button->SetCaption("Press");
        TWinSkinForm* f = SkinForm();
        ASSERT_NE(f, nullptr);
        const HWND h = form_->Handle();

        TSkinScrollbar* scroll = nullptr;
        for (TSkinCompanion* k : f->Controls())
            if (auto* s = dynamic_cast<TSkinScrollbar*>(k); s && s->Handle() == list->Handle()) scroll = s;
        ASSERT_NE(scroll, nullptr) << "the list box has no scroll-bar companion";
        ASSERT_TRUE(scroll->FVertBar && scroll->FVertBar->HandleAllocated());
        const HWND overlay = scroll->FVertBar->HandleValue();
        const std::vector<TSkinCompanion*> companions = f->Controls();
        const HRGN regionHandle = f->Frame().Region();
        const wl::UniqueRegion regionBefore = RegionCopy(h);
        ASSERT_TRUE(regionBefore);

        int moves = 0;
        auto counter = form_->WindowProc.Add([&](TMessage& m, const TWindowProcChain::Previous& previous) {
            if (m.Msg == WM_WINDOWPOSCHANGED) ++moves;
            previous(m);
        });
        data_->SetSkinFile(c.archive);
        ASSERT_FALSE(data_->NotLoaded);
        ASSERT_EQ(manager_->PendingAction(), skaReskin);
        manager_->TimerTick();
        EXPECT_FALSE(manager_->TimerEnabled()) << "the re-skin did not run";
        Repaint(h);
        counter.Remove();

        EXPECT_EQ(manager_->FindForm(h), f);
        EXPECT_EQ(f->Controls(), companions) << "companions made anew";
        ASSERT_TRUE(scroll->FVertBar);
        EXPECT_EQ(scroll->FVertBar->HandleValue(), overlay) << "the overlay window made anew";
        EXPECT_TRUE(IsWindowVisible(overlay));
        const wl::UniqueRegion regionAfter = RegionCopy(h);
        ASSERT_TRUE(regionAfter);
        if (c.sameFrame) {
            EXPECT_TRUE(SameRegion(regionAfter.get(), regionBefore.get()));
            EXPECT_EQ(f->Frame().Region(), regionHandle) << "an equal region set again";
            EXPECT_EQ(moves, 0) << "the window was moved or sized though its frame stayed";
        } else {
            EXPECT_FALSE(SameRegion(regionAfter.get(), regionBefore.get())) << "the region kept the old frame";
            EXPECT_GE(moves, 1);
        }

        // A twin form skinned from scratch with what the component holds now.
        auto twin = std::make_unique<TForm>(nullptr);
        twin->SetBounds(80, 80, 420, 320);
        twin->SetCaption("Controls");
        twin->Show();
        wl::test::PumpMessages(0);
        ASSERT_TRUE(manager_->SkinWindow(twin->Handle()));
        TWinSkinForm* fresh = manager_->FindForm(twin->Handle());
        ASSERT_NE(fresh, nullptr);
        wl::test::PumpUntil([fresh] { return fresh->State() != sfsCreated; }, 2000);
        wl::test::PumpMessages(0);
        const wl::UniqueRegion freshRegion = RegionCopy(twin->Handle());
        EXPECT_TRUE(SameRegion(regionAfter.get(), freshRegion.get())) << "the region differs from a fresh skinning's";
        EXPECT_EQ(PlacementOf(h), PlacementOf(twin->Handle())) << "client placement differs from a fresh skinning's";
        twin.reset();
        wl::test::PumpMessages(0);
    }
}

} // namespace
} // namespace skincontrols
