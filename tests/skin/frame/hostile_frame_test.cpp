// Skins with numbers no sane skin has: every one loads, skins a window, paints its frame and
// buttons and follows a resize within a time limit, and leaves a usable window.
#include "frame_fixture.h"

#include "support/gui.h"

#include <chrono>
#include <climits>

namespace frametest {
namespace {

using namespace wl;

constexpr TColor kGrey = 0x808080;

std::string Buttons(const std::string& keys) {
    return "[Button1]\nAction=0\nButtonImage=btn.bmp\n" + keys + "[Button2]\nAction=3\n" + keys +
           "[Button3]\nAction=2\nAlign=100\nButtonImage=btn.bmp\n" + keys;
}

TEST_F(FrameTest, HostileSkinsPaintWithinATimeLimit) {
    const std::string img = skintest::Bmp(40, 20, kGrey, {{0, 0, 0xFF00FF}, {5, 5, 0xFF01FF}});
    const std::string btn = skintest::Bmp(60, 18, kGrey);
    // A BMP header that promises a huge image and carries no pixels, and plain garbage.
    std::string huge = skintest::Bmp(2, 2, kGrey);
    huge[18] = huge[19] = huge[20] = 0x7F;
    huge[22] = huge[23] = huge[24] = 0x7F;
    const std::string garbage = "BM\x01\x02garbage that is no bitmap";
    struct Case {
        const char* name;
        std::string archive;
        int borderTop; // the expected top thickness; -1: not checked
    };
    const std::vector<skinpack::SkinEntry> btnFile{{"btn.bmp", btn}};
    const Case cases[] = {
        {"frame counts far beyond the image",
         SyntheticSkin({img, 2147483647, 1}, {img, 2147483647, 1}, {img, 2147483647, 1}, {img, 2147483647, 1},
                       Buttons("frame=2147483647\n"), btnFile),
         0},
        {"negative frame counts",
         SyntheticSkin({img, -5, 1}, {img, INT_MIN, 1}, {img, -1, 1}, {img, -2147483647, 1},
                       Buttons("frame=-4\n"), btnFile),
         20},
        {"margins larger than the image",
         SyntheticSkin({img, 1, 1, "LeftTopHeight=100000\nLeftBotHeight=2147483647\n"},
                       {img, 1, 1, "RightTopHeight=-100\nRightBotHeight=-2147483648\n"},
                       {img, 1, 1, "TopTopHeight=2147483647\nTopBotHeight=2147483647\nTopStretch=0\n"},
                       {img, 1, 1, "BottomTopHeight=50000\nBottomBotHeight=3\nBottomStretch=0\n"},
                       Buttons(""), btnFile),
         20},
        {"huge and negative coordinates",
         SyntheticSkin({img, 1, 1}, {img, 1, 1}, {img, 1, 1}, {img, 1, 1},
                       Buttons("Xcoord=-2147483648\nYcoord=2147483647\nAlign=1\n") +
                           "[Button4]\nAction=1\nAlign=2\nXcoord=2147483647\nYcoord=-2147483648\nButtonImage=btn.bmp\n"
                           "[Button5]\nAction=1\nAlign=3\nXcoord=2147483647\nYcoord=5\nButtonImage=btn.bmp\n",
                       btnFile),
         20},
        {"damaged and empty bitmaps",
         SyntheticSkin({huge, 1, 1}, {garbage, 1, 1}, {std::string("BM"), 2, 1}, {img, 0, 1},
                       Buttons(""), {{"btn.bmp", garbage}}),
         0},
        {"a title strip taller than any window",
         SyntheticSkin({img, 1, 1}, {img, 1, 1}, {skintest::Bmp(3, 3000, kGrey), 1, 1}, {img, 1, 1},
                       Buttons("Ycoord=2900\n"), btnFile),
         3000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(LoadSkin(c.archive));
        HWND w = MakeWindow();
        ASSERT_NE(w, nullptr);
        TWinSkinForm* f = Skin(w);
        if (c.borderTop >= 0) {
            EXPECT_EQ(f->Borders().top, c.borderTop);
        }
        for (BOOL active : {TRUE, FALSE, TRUE}) {
            SendMessageW(w, WM_NCACTIVATE, active, 0);
            SendMessageW(w, WM_NCPAINT, 1, 0);
        }
        for (const auto& b : f->Buttons()) {
            if (!b->Visible()) continue;
            // Hovering and pressing every visible button paints it alone.
            RECT wr;
            GetWindowRect(w, &wr);
            const LPARAM at = MAKELPARAM(wr.left + b->Bounds().left, wr.top + b->Bounds().top);
            SendMessageW(w, WM_NCMOUSEMOVE, HTCAPTION, at);
            b->MouseDown();
            b->MouseLeave();
        }
        SetWindowPos(w, nullptr, 0, 0, 123, 77, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(w, nullptr, 0, 0, 3, 2, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(w, nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        wl::test::PumpMessages();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(seconds, 3.0);
        // The window still works: its client area is never inverted.
        RECT client;
        GetClientRect(w, &client);
        EXPECT_GE(client.right, 0);
        EXPECT_GE(client.bottom, 0);
        EXPECT_TRUE(IsWindow(w));
        DestroyWindow(w);
    }
}

} // namespace
} // namespace frametest
