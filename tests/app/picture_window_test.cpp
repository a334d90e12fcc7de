// The picture window: the picture button's checks, captions and the addresses handed to the
// two browsers (through recording navigators), showing again without reloading, the layout
// with its splitter, and the real hosted browser views.
#include "forms_support.h"

#include "app/picture_address.h"
#include "support/capture.h"
#include "support/gui.h"
#include "support/msgbox_catcher.h"
#include "support/testdata.h"
#include "ui/strconv.h"

#include <gtest/gtest.h>

namespace wl::test {
namespace {

// The information page: the file beside the running program (here, this test's folder).
std::wstring InfoAddress() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L'\\') + 1);
    for (auto& c : folder)
        if (c == L'\\') c = L'/';
    return L"file:///" + folder + L"wordlark-info.html";
}
const std::wstring kSuffix = L"&hl=zh-CN&btnG=%E6%90%9C%E7%B4%A2%E5%9B%BE%E7%89%87";

std::string Folder() {
    static const std::string folder = DictionaryFolder("picture", {{"apple", Stored("苹果")}});
    return folder;
}

TEST(PictureWindow, EmptyKeywordAsksForOneAndShowsNothing) {
    ProgramWindows w(Folder(), true);
    w.Main().Bsearch->SetFocus();
    w.Type("");
    MessageBoxCatcher boxes;
    w.Click(w.Main().BPicture);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "请先输入查询图片关键字！");
    EXPECT_EQ(boxes.Boxes()[0].caption, "Wordlark");
    EXPECT_FALSE(IsWindowVisible(w.Picture().Handle()));
    EXPECT_EQ(GetFocus(), w.Main().Edit1->Handle());
    EXPECT_TRUE(w.search.addresses.empty());
    EXPECT_TRUE(w.information.addresses.empty());
}

TEST(PictureWindow, ShowsTheKeywordsPicturesAndReloadsOnlyAfterBeingClosed) {
    ProgramWindows w(Folder(), true);
    TFPicture& p = w.Picture();
    EXPECT_EQ(Utf8(p.Caption()), "图片");
    struct Step {
        const char* name;
        bool closeFirst;
        const char* typed;        // UTF-8
        const char* field;        // the keyword field afterwards
        const char* caption;      // the picture window's caption afterwards
        const wchar_t* search;    // the address WebBrowser1 got, nullptr for none
        bool information;         // whether WebBrowser2 navigated
    } steps[] = {
        {"blank inside", false, " ice cream ", "ice cream", "ice cream - 图片",
         L"https://www.google.com/images?q=ice cream", true},
        {"second click, window still open", false, "apple", "apple", "ice cream - 图片", nullptr, false},
        {"closed, then a Chinese keyword", true, "苹果", "苹果", "苹果 - 图片",
         L"https://www.google.com/images?q=苹果", true},
        {"closed, then only blanks", true, "   ", "", "苹果 - 图片", nullptr, true},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        if (s.closeFirst) {
            SendMessageA(p.Handle(), WM_CLOSE, 0, 0);
            w.Pump(); // what closing posted
            ASSERT_FALSE(IsWindowVisible(p.Handle()));
        }
        w.search.addresses.clear();
        w.information.addresses.clear();
        w.Type(Ansi(s.typed));
        w.Click(w.Main().BPicture);
        EXPECT_TRUE(IsWindowVisible(p.Handle()));
        EXPECT_EQ(w.FieldUtf8(), s.field);
        EXPECT_EQ(Utf8(p.Caption()), s.caption);
        if (s.search) {
            ASSERT_EQ(w.search.addresses.size(), 1u);
            EXPECT_EQ(w.search.addresses[0], s.search + kSuffix);
        } else {
            EXPECT_TRUE(w.search.addresses.empty());
        }
        if (s.information) {
            ASSERT_EQ(w.information.addresses.size(), 1u);
            EXPECT_EQ(w.information.addresses[0], InfoAddress());
        } else {
            EXPECT_TRUE(w.information.addresses.empty());
        }
    }
    EXPECT_FALSE(w.QuitRequested()) << "closing the picture window only hides it";
}

// Shown again while visible, the window only comes to the front: a placement the user chose
// (restored, moved, minimized) is kept, and nothing is reloaded.
TEST(PictureWindow, ShowingAgainKeepsTheUsersPlacement) {
    ProgramWindows w(Folder(), true);
    TFPicture& p = w.Picture();
    HWND h = p.Handle();
    w.Type("apple");
    w.Click(w.Main().BPicture);
    ASSERT_TRUE(IsZoomed(h));
    ShowWindow(h, SW_RESTORE); // the user restores it and moves it
    SetWindowPos(h, nullptr, 40, 30, 500, 360, SWP_NOZORDER);
    w.Pump(); // what the move posted
    RECT placed;
    GetWindowRect(h, &placed);
    struct Step {
        const char* name;
        int userShow; // what the user does before clicking again, or -1
    } steps[] = {{"restored", -1}, {"minimized", SW_MINIMIZE}, {"restored again", -1}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        if (s.userShow >= 0) ShowWindow(h, s.userShow);
        w.Pump(); // what the user's change posted
        w.search.addresses.clear();
        w.information.addresses.clear();
        SetForegroundWindow(w.Main().Handle());
        w.Type("banana");
        w.Click(w.Main().BPicture);
        EXPECT_TRUE(w.WaitPainted(h));
        EXPECT_FALSE(IsZoomed(h));
        EXPECT_FALSE(IsIconic(h));
        RECT now;
        GetWindowRect(h, &now);
        EXPECT_TRUE(EqualRect(&now, &placed)) << now.left << "," << now.top << " " << now.right << "," << now.bottom;
        EXPECT_EQ(GetForegroundWindow(), h);
        EXPECT_EQ(Utf8(p.Caption()), "apple - 图片");
        EXPECT_TRUE(w.search.addresses.empty());
        EXPECT_TRUE(w.information.addresses.empty());
    }
}

// A browser view that cannot be created is reported once, by the default error handler; the
// other view still navigates, now and at later showings.
TEST(PictureWindow, ViewThatCannotBeCreatedIsReportedOnce) {
    ProgramWindows w(Folder(), true);
    TFPicture& p = w.Picture();
    ASSERT_FALSE(p.WebBrowser1->HandleAllocated()) << "the views must not exist before the window is shown";
    p.WebBrowser1->SetNavigator(nullptr);
    int attempts = 0;
    p.WebBrowser1->SetHostFactory([&attempts](HWND) -> std::unique_ptr<WebBrowserHost> {
        ++attempts;
        throw Exception("the browser view is not available");
    });
    MessageBoxCatcher boxes;
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        w.information.addresses.clear();
        w.Type("apple");
        w.Click(w.Main().BPicture);
        EXPECT_TRUE(w.WaitPainted(p.Handle()));
        ASSERT_EQ(w.information.addresses.size(), 1u);
        EXPECT_EQ(w.information.addresses[0], InfoAddress());
        EXPECT_EQ(Utf8(p.Caption()), "apple - 图片");
        SendMessageA(p.Handle(), WM_CLOSE, 0, 0);
        w.Pump(); // what closing posted
    }
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "the browser view is not available");
    EXPECT_EQ(attempts, 1);
}

// A view whose navigation fails is reported; the information page still loads below.
TEST(PictureWindow, FailingNavigationStillLoadsTheOtherView) {
    ProgramWindows w(Folder(), true);
    TFPicture& p = w.Picture();
    struct FailingNavigator : INavigator {
        void Navigate(const std::wstring&) override { throw Exception("navigation failed"); }
    } failing;
    p.WebBrowser1->SetNavigator(&failing);
    MessageBoxCatcher boxes;
    w.Type("apple");
    w.Click(w.Main().BPicture);
    w.PumpUntil([&] { return !boxes.Boxes().empty(); });
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "navigation failed");
    ASSERT_EQ(w.information.addresses.size(), 1u);
    EXPECT_EQ(w.information.addresses[0], InfoAddress());
    EXPECT_TRUE(IsWindowVisible(p.Handle()));
}

TEST(PictureWindow, PanelsSplitterAndBrowsersFollowTheLayout) {
    ProgramWindows w(Folder(), true);
    TFPicture& p = w.Picture();
    w.Type("apple");
    w.Click(w.Main().BPicture);
    EXPECT_TRUE(IsZoomed(p.Handle()));
    RECT client;
    GetClientRect(p.Handle(), &client);
    EXPECT_EQ(p.Panel2->Height(), 158);
    EXPECT_EQ(p.Panel2->Top() + p.Panel2->Height(), client.bottom);
    EXPECT_EQ(p.Splitter1->Height(), 2);
    EXPECT_EQ(p.Splitter1->Cursor(), crVSplit);
    EXPECT_EQ(p.Splitter1->Color(), clActiveCaption);
    EXPECT_EQ(p.Panel2->BevelOuter(), bvLowered);
    EXPECT_EQ(p.Panel1->BorderStyle(), bsSingle);
    EXPECT_EQ(p.Splitter1->Top() + 2, p.Panel2->Top());
    EXPECT_EQ(p.Panel1->Top(), 0);
    EXPECT_EQ(p.Panel1->Height(), p.Splitter1->Top());
    EXPECT_EQ(p.Panel1->Width(), client.right);
    EXPECT_EQ(p.Panel2->TabOrder(), 0);
    EXPECT_EQ(p.Panel1->TabOrder(), 1);

    // Dragging the splitter up by 40 pixels makes the lower panel and its browser taller.
    auto browserFillsPanel = [](TWebBrowser* b, TPanel* panel) {
        RECT inner, area;
        GetClientRect(panel->Handle(), &inner);
        GetWindowRect(b->Handle(), &area);
        MapWindowPoints(nullptr, panel->Handle(), reinterpret_cast<POINT*>(&area), 2);
        // Inside the panel's bevel or border, and growing with it.
        return area.left <= 2 && area.top <= 2 && area.right >= inner.right - 2 && area.bottom >= inner.bottom - 2 &&
               area.right <= inner.right && area.bottom <= inner.bottom;
    };
    EXPECT_TRUE(browserFillsPanel(p.WebBrowser2, p.Panel2));
    EXPECT_TRUE(browserFillsPanel(p.WebBrowser1, p.Panel1));
    HWND form = p.Handle();
    int y = p.Splitter1->Top() + 1;
    SendMessageA(form, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, y));
    SendMessageA(form, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, y - 40));
    SendMessageA(form, WM_LBUTTONUP, 0, MAKELPARAM(100, y - 40));
    w.Pump(); // what the drag posted
    EXPECT_EQ(p.Panel2->Height(), 198);
    EXPECT_EQ(p.Splitter1->Top() + 2, p.Panel2->Top());
    EXPECT_TRUE(browserFillsPanel(p.WebBrowser2, p.Panel2));
    EXPECT_TRUE(browserFillsPanel(p.WebBrowser1, p.Panel1));
}

TEST(PictureWindow, HostsThePlatformBrowserViews) {
    // No recording navigators: the real views are created and navigate. Here they may lack an
    // engine to draw pages; showing the window must neither block nor report anything then.
    ProgramWindows w(Folder(), true);
    TFPicture& p = w.Picture();
    p.WebBrowser1->SetNavigator(nullptr);
    p.WebBrowser2->SetNavigator(nullptr);
    w.Type("apple");
    MessageBoxCatcher boxes;
    w.Click(w.Main().BPicture);
    w.PumpUntil([&] { return p.WebBrowser1->Host() && p.WebBrowser2->Host(); });
    ASSERT_NE(p.WebBrowser1->Host(), nullptr);
    ASSERT_NE(p.WebBrowser2->Host(), nullptr);
    EXPECT_TRUE(boxes.Boxes().empty()) << boxes.Boxes()[0].text;
    READYSTATE state = READYSTATE_UNINITIALIZED;
    p.WebBrowser1->Host()->Browser()->get_ReadyState(&state);
    std::printf("browser ready state: %d\n", static_cast<int>(state));
    // The picture is taken at the window's normal size: a maximized frame reaches past the
    // screen's edges, which the screen copy cannot read.
    ShowWindow(p.Handle(), SW_RESTORE);
    SetForegroundWindow(p.Handle());
    EXPECT_TRUE(w.WaitPainted(p.Handle()));
    WaitFlushed(p.Handle()); // as far as the browser views let it: they may draw on their own
    // The title "apple - 图片" shows on the skinned strip, the Chinese glyphs included: they
    // are the end of the text box, and the end is inked.
    RECT title{0, 0, 0, 0};
    const int ink = TitleTextInk(p.Handle(), &title);
    EXPECT_GT(ink, 20);
    EXPECT_GT(title.right - title.left, 40);
    const RECT chinese{title.right - 20, title.top, title.right, title.bottom};
    {
        const TCapture shot = TCapture::WindowDC(p.Handle());
        int inkEnd = 0;
        for (int y = chinese.top; y < chinese.bottom; ++y)
            for (int x = chinese.left; x < chinese.right; ++x)
                inkEnd += ColorDistance(shot.At(x, y), shot.At(title.left - 1, y)) > 80;
        EXPECT_GT(inkEnd, 20);
    }
    EXPECT_TRUE(SaveWindowBitmap(p.Handle(), ArtifactDir() + "/picture-window.bmp"));
}

} // namespace
} // namespace wl::test
