// The media player: button geometry and the auto-enable rule (window-free), clicks on enabled
// and disabled buttons, and MCI failures reported as exceptions with the system's text.
#include "comctrls_form.h"

#include "support/capture.h"
#include "support/gui.h"

#include <gtest/gtest.h>

#include <memory>

namespace wl::test {
namespace {

constexpr TButtonSet Bits(std::initializer_list<TMPBtnType> buttons) {
    TButtonSet s = 0;
    for (TMPBtnType b : buttons)
        s |= MPButtonBit(b);
    return s;
}

TEST(MediaPlayerGeometry, VisibleButtonsShareTheWidthFromTheLeft) {
    struct Case {
        int width, height;
        TButtonSet visible;
        std::vector<std::pair<TMPBtnType, std::pair<int, int>>> expected; // button, left..right
    } cases[] = {
        {90,
         20,
         kAllMPButtons,
         {{btPlay, {0, 10}},
          {btPause, {10, 20}},
          {btStop, {20, 30}},
          {btNext, {30, 40}},
          {btPrev, {40, 50}},
          {btStep, {50, 60}},
          {btBack, {60, 70}},
          {btRecord, {70, 80}},
          {btEject, {80, 90}}}},
        {93,
         20,
         kAllMPButtons,
         {{btPlay, {0, 11}},
          {btPause, {11, 22}},
          {btStop, {22, 33}},
          {btNext, {33, 43}},
          {btPrev, {43, 53}},
          {btStep, {53, 63}},
          {btBack, {63, 73}},
          {btRecord, {73, 83}},
          {btEject, {83, 93}}}},
        {41, 30, Bits({btStop, btPlay}), {{btPlay, {0, 21}}, {btStop, {21, 41}}}},
        {50, 30, Bits({btEject}), {{btEject, {0, 50}}}},
        {50, 30, 0, {}},
        {0, 30, kAllMPButtons, {}},
        {50, 0, Bits({btPlay}), {}},
    };
    for (const auto& c : cases) {
        auto rects = MediaPlayerButtonRects(c.width, c.height, c.visible);
        ASSERT_EQ(rects.size(), c.expected.size()) << "width " << c.width;
        for (size_t i = 0; i < rects.size(); ++i) {
            EXPECT_EQ(rects[i].button, c.expected[i].first) << "width " << c.width << ", #" << i;
            EXPECT_EQ(rects[i].rect.left, c.expected[i].second.first)
                << "width " << c.width << ", #" << i;
            EXPECT_EQ(rects[i].rect.right, c.expected[i].second.second)
                << "width " << c.width << ", #" << i;
            EXPECT_EQ(rects[i].rect.top, 0);
            EXPECT_EQ(rects[i].rect.bottom, c.height);
        }
    }
}

TEST(MediaPlayerGeometry, HitTestFindsTheButtonUnderThePoint) {
    auto rects = MediaPlayerButtonRects(41, 30, Bits({btPlay, btStop}));
    struct Case {
        int x, y, expected;
    } cases[] = {{0, 0, btPlay}, {20, 29, btPlay}, {21, 0, btStop}, {40, 15, btStop},
                 {41, 15, -1},   {-1, 15, -1},     {10, 30, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(MediaPlayerButtonAt(rects, c.x, c.y), c.expected) << c.x << "," << c.y;
}

TEST(MediaPlayerGeometry, AutoEnabledButtonsFollowTheMode) {
    struct Case {
        bool open;
        TMPModes mode;
        bool eject, record;
        TButtonSet expected;
    } cases[] = {
        {false, mpStopped, true, true, 0},
        {true, mpStopped, false, false, Bits({btPlay, btNext, btPrev, btStep, btBack})},
        {true, mpStopped, true, true,
         Bits({btPlay, btNext, btPrev, btStep, btBack, btRecord, btEject})},
        {true, mpPlaying, false, true, Bits({btPause, btStop, btNext, btPrev})},
        {true, mpPaused, false, false,
         Bits({btPlay, btPause, btStop, btNext, btPrev, btStep, btBack})},
        {true, mpNotReady, true, false, Bits({btNext, btPrev, btEject})},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MediaPlayerAutoButtons(c.open, c.mode, c.eject, c.record), c.expected) << c.mode;
}

class MediaPlayer : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Application->Initialize(); }
};

TEST_F(MediaPlayer, OnlyEnabledButtonsReactToTheMouse) {
    TComCtlForm form(nullptr);
    form.ReadDefinitionText(ComCtlText());
    auto* mp = form.Get<TMediaPlayer>("MediaPlayer1");
    form.Get<TPageControl>("PageControl1")->SetActivePageIndex(4);
    form.Show();
    EXPECT_TRUE(WaitPainted(form.Handle()));
    std::vector<TMPBtnType> clicked;
    // Handled here: the default action would need a device.
    mp->OnClick = [&](TObject*, TMPBtnType b, bool& doDefault) {
        clicked.push_back(b);
        doDefault = false;
    };
    auto rects = MediaPlayerButtonRects(mp->Width(), mp->Height(), mp->VisibleButtons());
    ASSERT_EQ(rects.size(), 4u); // play, pause, stop, eject
    for (const auto& r : rects) {
        LPARAM at = MAKELPARAM((r.rect.left + r.rect.right) / 2, r.rect.bottom / 2);
        SendMessageA(mp->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(mp->Handle(), WM_LBUTTONUP, 0, at);
    }
    EXPECT_EQ(clicked, (std::vector<TMPBtnType>{btPlay, btStop}));
    // Enabled buttons are drawn in colour, disabled ones grey: the centre pixels differ.
    RedrawWindow(mp->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_TRUE(WaitFlushed(mp->Handle()));
    const TCapture shot = TCapture::Client(mp->Handle());
    // Whether a colour occurs inside a button (its 3-D edge left out).
    auto shows = [&](const TMPButtonRect& r, COLORREF colour) {
        return shot.CountNear({r.rect.left + 3, r.rect.top + 3, r.rect.right - 3, r.rect.bottom - 3}, colour) > 0;
    };
    const COLORREF green = RGB(0, 128, 0), grey = GetSysColor(COLOR_GRAYTEXT),
                   text = GetSysColor(COLOR_BTNTEXT);
    struct Look {
        int index;
        bool green, grey, text;
    } looks[] = {{0, true, false, false},  // play: enabled and coloured
                 {1, false, true, false},  // pause: disabled
                 {2, false, false, true},  // stop: enabled, not coloured
                 {3, false, true, false}}; // eject: disabled
    for (const auto& l : looks) {
        EXPECT_EQ(shows(rects[static_cast<size_t>(l.index)], green), l.green)
            << "button " << l.index;
        EXPECT_EQ(shows(rects[static_cast<size_t>(l.index)], grey), l.grey) << "button " << l.index;
        EXPECT_EQ(shows(rects[static_cast<size_t>(l.index)], text), l.text) << "button " << l.index;
    }
    // Nothing happens on a disabled control.
    mp->SetEnabled(false);
    clicked.clear();
    mp->ClickButton(btPlay);
    EXPECT_TRUE(clicked.empty());
}

TEST_F(MediaPlayer, FailingDeviceCommandsRaiseWithTheSystemText) {
    TMediaPlayer mp(nullptr);
    struct Case {
        const char* what;
        TMPDeviceTypes type;
        const char* file;
    } cases[] = {
        {"missing wave file", dtWaveAudio, "Z:\\no\\such\\dir\\missing.wav"},
        {"missing file of unknown kind", dtAutoSelect, "Z:\\no\\such\\dir\\missing.xyz"},
        {"device that does not exist", dtVideodisc, ""},
    };
    for (const auto& c : cases) {
        mp.SetDeviceType(c.type);
        mp.SetFileName(c.file);
        try {
            mp.Open();
            ADD_FAILURE() << c.what << ": opened";
            mp.Close();
        } catch (const EMCIDeviceError& e) {
            EXPECT_FALSE(std::string(e.what()).empty()) << c.what;
            EXPECT_NE(mp.Error(), 0u) << c.what;
            EXPECT_EQ(mp.ErrorMessage(), e.what()) << c.what;
        }
        EXPECT_FALSE(mp.IsOpen()) << c.what;
        EXPECT_EQ(mp.Mode(), mpNotReady) << c.what;
    }
    // Commands without an open device fail the same way, and so does the default action of a
    // button press.
    EXPECT_THROW(mp.Play(), EMCIDeviceError);
    EXPECT_THROW(mp.Stop(), EMCIDeviceError);
    mp.SetAutoEnable(false);
    EXPECT_THROW(mp.ClickButton(btPlay), EMCIDeviceError);
    // Nothing to open at all is an error too.
    mp.SetDeviceType(dtAutoSelect);
    mp.SetFileName("");
    EXPECT_THROW(mp.Open(), EMCIDeviceError);
}

TEST_F(MediaPlayer, AutoOpenFailureStopsReadingTheForm) {
    TComCtlForm form(nullptr);
    EXPECT_THROW(form.ReadDefinitionText(
                     "object F: TComCtlForm\n object M: TMediaPlayer\n DeviceType = dtWaveAudio\n"
                     " FileName = 'Z:\\no\\such.wav'\n AutoOpen = True\n end\nend\n"),
                 EMCIDeviceError);
}

} // namespace
} // namespace wl::test
