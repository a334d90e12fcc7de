// Skins as a careless or hostile author might write them: frame counts far beyond the image,
// margins larger than the image, huge and negative coordinates, empty and damaged bitmaps.
// Each loads, draws its contact sheet and skins a real window in bounded time, and the window
// gets everything back afterwards.
#include "forms_fixture.h"

#include "skin_test_util.h"
#include "support/gui.h"

#include <chrono>
#include <fstream>

using namespace wl;
using namespace skinforms;
using skintest::Archive;
using skintest::Bmp;

namespace {

using Clock = std::chrono::steady_clock;
long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

struct HostileSkin {
    const char* what;
    std::string ini;
    std::vector<wl::skinpack::SkinEntry> files;
};

std::vector<HostileSkin> HostileSkins() {
    const std::string top = Bmp(60, 20, 0x808080, {{0, 0, 0xFF00FF}, {1, 0, 0xFF01FF}});
    const std::string side = Bmp(8, 20, 0x606060);
    const std::string button = Bmp(48, 16, 0x4040C0, {{0, 0, 0xFF00FF}});
    const std::vector<wl::skinpack::SkinEntry> images{
        {"top.bmp", top}, {"side.bmp", side}, {"button.bmp", button}};
    const std::string borders = "[Personality]\nTop=top.bmp\nLeft=side.bmp\nRight=side.bmp\nBottom=top.bmp\n";
    return {
        {"frame counts far beyond the image",
         borders + "TopFrame=2147483647\nLeftFrame=2147483647\nRightFrame=2147483646\nBottomFrame=1000000\n"
                   "[Button1]\nAction=0\nAlign=1\nXcoord=30\nYcoord=2\nframe=2147483647\nButtonImage=button.bmp\n"
                   "[Buttons]\nBitmap=button.bmp\nCheckButton=button.bmp\nCheckButtonFrame=2147483647\n",
         images},
        {"frame counts of zero and below",
         borders + "TopFrame=0\nLeftFrame=-3\nRightFrame=0\nBottomFrame=-2147483648\n"
                   "[Button1]\nAction=1\nAlign=1\nXcoord=30\nYcoord=2\nframe=0\nButtonImage=button.bmp\n",
         images},
        {"margins larger than the image",
         borders + "TopTopHeight=100000\nTopBotHeight=2147483647\nLeftTopHeight=-5\nLeftBotHeight=99999\n"
                   "BottomTopHeight=-2147483648\nTopStretch=0\n",
         images},
        {"huge and negative coordinates",
         borders + "[Button1]\nAction=0\nAlign=1\nXcoord=-2147483648\nYcoord=2147483647\nButtonImage=button.bmp\n"
                   "[Button2]\nAction=2\nAlign=100\nXcoord=2147483647\nYcoord=-2147483648\nButtonImage=button.bmp\n"
                   "[Button3]\nAction=77\nAlign=0\nXcoord=-100\nYcoord=-100\nVisibility=1500\nButtonImage=button.bmp\n",
         images},
        {"empty and damaged bitmaps",
         "[Personality]\nTop=bad.bmp\nLeft=empty.bmp\nRight=missing.bmp\nBottom=short.bmp\n"
         "[Button1]\nAction=0\nAlign=1\nXcoord=30\nYcoord=2\nButtonImage=bad.bmp\n",
         {{"bad.bmp", "BM this is no bitmap"}, {"empty.bmp", ""}, {"short.bmp", top.substr(0, 60)}}},
    };
}

} // namespace

TEST_F(SkinFormsTest, HostileSkinsDrawInBoundedTime) {
    for (const HostileSkin& s : HostileSkins()) {
        const std::string archive = Archive(s.ini, s.files);
        TSkinData hostile(nullptr);
        hostile.SkinBytes = archive;
        auto start = Clock::now();
        ASSERT_TRUE(hostile.LoadSkin()) << s.what;
        EXPECT_LT(MsSince(start), 2000) << s.what << ": load";

#ifdef WL_SKINPREVIEW
        // The contact sheet of the skin, drawn by the preview tool in a process of its own.
        const std::string dir = std::string(WL_BINARY_DIR_FORMS) + "/hostile";
        CreateDirectoryA(dir.c_str(), nullptr);
        const std::string path = dir + "/skin.skn";
        {
            std::ofstream f(path, std::ios::binary);
            f << archive;
        }
        std::string command = std::string("\"") + WL_SKINPREVIEW + "\" \"" + path + "\" \"" + dir + "/sheet.bmp\"";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        start = Clock::now();
        ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            << s.what;
        const DWORD waited = WaitForSingleObject(pi.hProcess, 30000);
        if (waited != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 9);
        DWORD code = 1;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        EXPECT_EQ(waited, WAIT_OBJECT_0) << s.what << ": sheet still drawing after 30 s";
        EXPECT_EQ(code, 0u) << s.what << ": sheet";
#endif

        // A window wearing the skin: started, painted active and inactive, hovered and resized.
        manager_->AddSkinData(&hostile);
        manager_->SetPendingSkinData(nullptr);
        HWND h = MakeWindow(WindowShape{});
        ASSERT_TRUE(h) << s.what;
        windows_.push_back(h);
        test::PumpMessages(0);
        const LONG_PTR proc = GetWindowLongPtrA(h, GWLP_WNDPROC);
        start = Clock::now();
        manager_->SkinWindow(h);
        TWinSkinForm* f = manager_->FindForm(h);
        ASSERT_NE(f, nullptr) << s.what;
        test::PumpUntil([f] { return f->State() == sfsRunning; });
        ASSERT_EQ(f->SkinData(), &hostile) << s.what;
        RECT wr;
        GetWindowRect(h, &wr);
        for (int x = wr.left; x < wr.right; x += 7)
            SendMessageA(h, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(x, wr.top + 3));
        SendMessageA(h, WM_NCACTIVATE, FALSE, 0);
        SendMessageA(h, WM_NCPAINT, 1, 0);
        SendMessageA(h, WM_NCACTIVATE, TRUE, 0);
        SetWindowPos(h, nullptr, 0, 0, 420, 330, SWP_NOMOVE | SWP_NOZORDER);
        RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        test::PumpMessages(0);
        EXPECT_LT(MsSince(start), 5000) << s.what << ": skinned window";
        EXPECT_EQ(SendMessageA(h, SKM_ISSKINNED, 0, 0), 1) << s.what;
        const SIZE resized = ClientSize(h);
        const RECT b = f->Borders();
        EXPECT_EQ(resized.cx, 420 - b.left - b.right) << s.what;
        EXPECT_EQ(resized.cy, 330 - b.top - b.bottom - f->MenuBarHeight()) << s.what;

        RunAction(skaUnskinAll, &hostile);
        EXPECT_EQ(GetWindowLongPtrA(h, GWLP_WNDPROC), proc) << s.what;
        EXPECT_NE(ClientSize(h).cx, 0) << s.what;
        manager_->RemoveSkinData(&hostile);
        manager_->SetSkinning(true);
        DestroyWindow(h);
    }
}
