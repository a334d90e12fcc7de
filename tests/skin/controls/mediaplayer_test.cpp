// Skinned media players: the covering panel's layout and hit test, its skin frames and glyphs by
// pixels, clicks reaching the player, following the player, and taking the panel away again.
#include "controls_fixture.h"

#include "skin/controls/mediaplayer.h"
#include "skin/data/skin_elements.h"
#include "support/capture.h"
#include "support/gui.h"
#include "ui/graphics_colors.h"
#include "ui/mplayer.h"

#include <vector>

namespace skincontrols {
namespace {

using namespace wl;

TEST(MediaPanelLogic, ButtonSetsFromPropertyText) {
    struct Case {
        const char* text;
        unsigned expected;
    } cases[] = {
        {"[]", 0},
        {"", 0},
        {"[btPlay]", 1u << 0},
        {"[btPlay, btStop, btEject]", (1u << 0) | (1u << 2) | (1u << 8)},
        {"[btplay,BTNEXT]", (1u << 0) | (1u << 3)},
        {"[btPrev, btPause, btStep, btBack, btRecord]",
         (1u << 4) | (1u << 1) | (1u << 5) | (1u << 6) | (1u << 7)},
        {"[btPlayer, bt]", 0}, // whole names only
    };
    for (const Case& c : cases)
        EXPECT_EQ(MediaButtonsFromText(c.text), c.expected) << c.text;
}

TEST(MediaPanelLogic, HitTestWalksVisibleButtonsWithBothEndsIncluded) {
    const unsigned all = (1u << kMediaButtonKinds) - 1;
    const unsigned some = (1u << 0) | (1u << 2) | (1u << 8); // play, stop, eject
    struct Case {
        unsigned visible;
        int width, x, expected;
    } cases[] = {
        {all, 28, 0, 0},
        {all, 28, 27, 0},
        {all, 28, 28, 0}, // the shared edge goes to the first
        {all, 28, 29, 1},
        {all, 28, 252, 8},
        {all, 28, 253, kNoMediaButton},
        {all, 28, -1, kNoMediaButton},
        {some, 40, 10, 0},
        {some, 40, 41, 2},
        {some, 40, 100, 8},
        {some, 40, 121, kNoMediaButton},
        {0, 40, 5, kNoMediaButton},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MediaPanelHitTest(c.visible, c.width, c.x), c.expected)
            << "x " << c.x << " width " << c.width;
}

class MediaSkin : public SkinControlsTest {
protected:
    TMediaPlayer* MakePlayer(int width = 253) {
        auto* p = Add<TMediaPlayer>(RECT{20, 40, 20 + width, 70});
        p->SetAutoEnable(false);
        p->SetEnabledButtons(kAllMPButtons);
        return p;
    }
    TSkinMP* Skin(TMediaPlayer* player) {
        return dynamic_cast<TSkinMP*>(Attach("TSkinMP", player));
    }
    static void Click(HWND panel, int downX, int upX, int y = 10) {
        SendMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(downX, y));
        SendMessageW(panel, WM_LBUTTONUP, 0, MAKELPARAM(upX, y));
        wl::test::PumpMessages(0);
    }
};

TEST_F(MediaSkin, PanelCoversThePlayerAndFollowsIt) {
    auto* player = MakePlayer();
    TSkinMP* skin = Skin(player);
    ASSERT_NE(skin, nullptr);
    TWMediaPlayer* panel = skin->FPanel.get();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->Parent(), player->Parent());
    EXPECT_EQ(panel->Tag(), data_->DisableTag());
    RECT pb = player->BoundsRect(), nb = panel->BoundsRect();
    EXPECT_TRUE(EqualRect(&pb, &nb));
    POINT centre{player->Left() + player->Width() / 2, player->Top() + player->Height() / 2};
    EXPECT_EQ(ChildWindowFromPointEx(form_->Handle(), centre, CWP_SKIPINVISIBLE), panel->Handle())
        << "the panel lies in front of the player";

    player->SetBounds(30, 100, 180, 26);
    wl::test::PumpMessages(0);
    pb = player->BoundsRect();
    nb = panel->BoundsRect();
    EXPECT_TRUE(EqualRect(&pb, &nb))
        << nb.left << "," << nb.top << "," << nb.right << "," << nb.bottom;

    player->SetVisible(false);
    EXPECT_FALSE(panel->Visible());
    EXPECT_FALSE(IsWindowVisible(panel->Handle()));
    player->SetVisible(true);
    EXPECT_TRUE(IsWindowVisible(panel->Handle()));
}

TEST_F(MediaSkin, ClicksOnThePanelReachThePlayersButtons) {
    struct Case {
        const char* what;
        int width;
        TButtonSet visible;
        int downX, upX;
        std::vector<TMPBtnType> expected;
    } cases[] = {
        {"play", 253, kAllMPButtons, 10, 12, {btPlay}},
        {"eject, last pixel", 253, kAllMPButtons, 250, 250, {btEject}},
        {"stop", 253, kAllMPButtons, 70, 60, {btStop}},
        {"released over another button", 253, kAllMPButtons, 10, 40, {}},
        {"released outside", 253, kAllMPButtons, 10, 400, {}},
        // 250 / 9 leaves the player its own wider first buttons: the button drawn pressed at
        // x = 55 (the panel's third) is the one that acts.
        {"uneven split", 250, kAllMPButtons, 55, 56, {btStop}},
        {"three visible",
         120,
         MPButtonBit(btPlay) | MPButtonBit(btStop) | MPButtonBit(btEject),
         60,
         60,
         {btStop}},
        {"three visible, last",
         120,
         MPButtonBit(btPlay) | MPButtonBit(btStop) | MPButtonBit(btEject),
         110,
         110,
         {btEject}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto* player = MakePlayer(c.width);
        player->SetVisibleButtons(c.visible);
        std::vector<TMPBtnType> clicked;
        player->OnClick = [&](TObject*, TMPBtnType b, bool& doDefault) {
            clicked.push_back(b);
            doDefault = false; // no device is open
        };
        TSkinMP* skin = Skin(player);
        ASSERT_NE(skin, nullptr);
        HWND panel = skin->FPanel->Handle();
        Click(panel, c.downX, c.upX);
        EXPECT_EQ(clicked, c.expected);
        EXPECT_FALSE(skin->FPanel->FPressed);
        EXPECT_NE(GetCapture(), panel);
        EXPECT_NE(GetCapture(), player->Handle());
        delete player;
    }
}

TEST_F(MediaSkin, QuickSecondClickReachesThePlayerToo) {
    auto* player = MakePlayer();
    std::vector<TMPBtnType> clicked;
    player->OnClick = [&](TObject*, TMPBtnType b, bool& doDefault) {
        clicked.push_back(b);
        doDefault = false;
    };
    TSkinMP* skin = Skin(player);
    ASSERT_NE(skin, nullptr);
    HWND panel = skin->FPanel->Handle();
    Click(panel, 70, 70);
    SendMessageW(panel, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(70, 10));
    SendMessageW(panel, WM_LBUTTONUP, 0, MAKELPARAM(70, 10));
    EXPECT_EQ(clicked, (std::vector<TMPBtnType>{btStop, btStop}));
}

TEST_F(MediaSkin, DisabledButtonsDoNotReachThePlayer) {
    auto* player = MakePlayer();
    player->SetEnabledButtons(MPButtonBit(btStop));
    int clicks = 0;
    player->OnClick = [&](TObject*, TMPBtnType, bool& doDefault) {
        ++clicks;
        doDefault = false;
    };
    TSkinMP* skin = Skin(player);
    ASSERT_NE(skin, nullptr);
    Click(skin->FPanel->Handle(), 10, 10); // play: disabled
    EXPECT_EQ(clicks, 0);
    Click(skin->FPanel->Handle(), 70, 70); // stop
    EXPECT_EQ(clicks, 1);
}

TEST_F(MediaSkin, ButtonsAreSkinFramesByState) {
    auto* player = MakePlayer();
    player->SetEnabledButtons(kAllMPButtons & ~MPButtonBit(btPause));
    TSkinMP* skin = Skin(player);
    ASSERT_NE(skin, nullptr);
    TWMediaPlayer* panel = skin->FPanel.get();
    HWND h = panel->Handle();
    TDataSkinObject& element = *data_->Buttons;
    ASSERT_EQ(element.Frame, 5);
    const int bw = 253 / 9, height = player->Height();
    const int px = 5, py = 3; // inside the button's edge, clear of the glyph
    auto expected = [&](int frame) {
        return ElementPixel(element, 5, frame, SIZE{bw, height}, px, py);
    };
    ASSERT_NE(expected(1), expected(2));
    ASSERT_NE(expected(1), expected(3));

    Repaint(h);
    EXPECT_EQ(panel->FButtonWidth, bw);
    EXPECT_EQ(panel->FVisibleCount, 9);
    EXPECT_EQ(wl::test::WindowPixel(h, px, py), expected(1)) << "play, normal";
    EXPECT_EQ(wl::test::WindowPixel(h, bw + px, py), expected(3)) << "pause, disabled";
    EXPECT_EQ(wl::test::WindowPixel(h, 2 * bw + px, py), expected(1)) << "stop, normal";

    player->OnClick = [](TObject*, TMPBtnType, bool& doDefault) { doDefault = false; };
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2 * bw + 10, 10));
    Repaint(h);
    EXPECT_EQ(wl::test::WindowPixel(h, 2 * bw + px, py), expected(2)) << "stop, pressed";
    EXPECT_EQ(wl::test::WindowPixel(h, px, py), expected(1)) << "play stays normal";
    SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(2 * bw + 10, 10));
    Repaint(h);
    EXPECT_EQ(wl::test::WindowPixel(h, 2 * bw + px, py), expected(1)) << "stop, released";
}

TEST_F(MediaSkin, EveryButtonCarriesItsThreeGlyphsFromTheProgram) {
    auto* player = MakePlayer();
    TSkinMP* skin = Skin(player);
    ASSERT_NE(skin, nullptr);
    const char* const forms[] = {"EN", "DI", "CL"};
    for (int i = 0; i < kMediaButtonKinds; ++i)
        for (int form = 0; form < 3; ++form) {
            const std::string name = std::string(forms[form]) + "_" + kMediaGlyphNames[i];
            EXPECT_NE(FindResourceA(GetModuleHandleW(nullptr), name.c_str(), MAKEINTRESOURCEA(2)), nullptr) << name;
            EXPECT_FALSE(skin->FPanel->FButtons[i].Glyphs[form].Empty()) << name;
        }
}

// The first pixel of a glyph that is not its olive background.
COLORREF InkOf(TBitmap& glyph) {
    HDC dc = glyph.Canvas().Handle();
    for (int y = 0; y < glyph.Height(); ++y)
        for (int x = 0; x < glyph.Width(); ++x)
            if (GetPixel(dc, x, y) != static_cast<COLORREF>(clOlive)) return GetPixel(dc, x, y);
    return CLR_INVALID;
}

TEST_F(MediaSkin, GlyphsFollowEnabledAndColouredSetsOverTheFace) {
    // The play button shows the coloured glyph when enabled and coloured, the plain one when
    // enabled, the disabled one otherwise; the glyph's olive background shows the face colour.
    struct Case {
        TButtonSet enabled, colored;
        int form;
    } cases[] = {
        {kAllMPButtons, kAllMPButtons, TWMediaPlayer::glColored},
        {kAllMPButtons, 0, TWMediaPlayer::glEnabled},
        {0, kAllMPButtons, TWMediaPlayer::glDisabled},
    };
    const COLORREF face = RGB(90, 60, 30);
    data_->ButtonFace = face;
    for (const Case& c : cases) {
        auto* player = MakePlayer();
        player->SetEnabledButtons(c.enabled);
        player->SetColoredButtons(c.colored);
        TSkinMP* skin = Skin(player);
        ASSERT_NE(skin, nullptr);
        auto& glyphs = skin->FPanel->FButtons[0].Glyphs;
        // The three forms must tell apart, or the choice among them goes unseen.
        const COLORREF inks[3] = {InkOf(glyphs[0]), InkOf(glyphs[1]), InkOf(glyphs[2])};
        ASSERT_TRUE(inks[0] != inks[1] && inks[1] != inks[2] && inks[0] != inks[2]);
        HWND h = skin->FPanel->Handle();
        Repaint(h);
        TBitmap& glyph = glyphs[c.form];
        const int gx = (253 / 9 - glyph.Width()) / 2, gy = (player->Height() - glyph.Height()) / 2;
        const wl::test::TCapture shot = wl::test::TCapture::Window(h);
        HDC g = glyph.Canvas().Handle();
        int ink = 0, background = 0, wrong = 0;
        for (int y = 0; y < glyph.Height(); ++y)
            for (int x = 0; x < glyph.Width(); ++x) {
                const COLORREF want = GetPixel(g, x, y);
                const bool olive = want == static_cast<COLORREF>(clOlive);
                (olive ? background : ink) += 1;
                wrong += shot.At(gx + x, gy + y) != (olive ? face : want);
            }
        EXPECT_GT(ink, 10) << "form " << c.form;
        EXPECT_GT(background, 10) << "form " << c.form;
        EXPECT_EQ(wrong, 0) << "form " << c.form;
        delete player;
    }
}

TEST_F(MediaSkin, NoVisibleButtonsShowAPlainFace) {
    auto* player = MakePlayer();
    player->SetVisibleButtons(0);
    data_->ButtonFace = RGB(90, 60, 30);
    TSkinMP* skin = Skin(player);
    ASSERT_NE(skin, nullptr);
    HWND h = skin->FPanel->Handle();
    Repaint(h);
    for (POINT p : {POINT{1, 1}, POINT{126, 15}, POINT{251, 28}})
        EXPECT_EQ(wl::test::WindowPixel(h, p.x, p.y), RGB(90, 60, 30)) << p.x << "," << p.y;
    int clicks = 0;
    player->OnClick = [&](TObject*, TMPBtnType, bool&) { ++clicks; };
    Click(h, 20, 20);
    EXPECT_EQ(clicks, 0);
}

TEST_F(MediaSkin, RestoreRemovesThePanelAndDetachingLeavesThePlayersProcedure) {
    auto* player = MakePlayer();
    const int layers = player->WindowProc.LayerCount();
    const int siblings = form_->ControlCount();
    TSkinMP* skin = Skin(player);
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(form_->ControlCount(), siblings + 1);
    HWND panel = skin->FPanel->Handle();
    skin->Restore();
    EXPECT_EQ(skin->FPanel, nullptr);
    EXPECT_FALSE(IsWindow(panel));
    EXPECT_EQ(form_->ControlCount(), siblings);
    delete skin;
    EXPECT_EQ(player->WindowProc.LayerCount(), layers);
    EXPECT_EQ(SendMessageW(player->Handle(), SKM_ISSKINNED, 0, 0), 0);

    // A panel still in place goes with its companion.
    skin = Skin(player);
    ASSERT_NE(skin, nullptr);
    panel = skin->FPanel->Handle();
    delete player;
    EXPECT_FALSE(IsWindow(panel));
    EXPECT_EQ(form_->ControlCount(), siblings - 1) << "neither the player nor its panel is left";
}

TEST_F(MediaSkin, PlayersWindowDestroyedKeepsThePanelUntilTheCompanionGoes) {
    auto* player = MakePlayer();
    TSkinMP* skin = Skin(player);
    ASSERT_NE(skin, nullptr);
    TWMediaPlayer* panel = skin->FPanel.get();
    DestroyWindow(player->Handle());
    EXPECT_EQ(skin->LifeState(), TLifeState::WindowDestroyed);
    EXPECT_EQ(skin->FPanel.get(), panel) << "not freed while its windows are being torn down";
    Repaint(panel->Handle()); // still paints from the player object
    delete player;
}

} // namespace
} // namespace skincontrols
