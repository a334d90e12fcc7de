// The second skin archive built beside the default one: it loads, and its colours and geometry
// are its own, both in the loaded records and on a window and a control skinned with it.
#include "controls_fixture.h"

#include "skin/controls/mediaplayer.h"
#include "skin/data/skin_elements.h"
#include "support/gui.h"
#include "ui/mplayer.h"

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

} // namespace
} // namespace skincontrols
