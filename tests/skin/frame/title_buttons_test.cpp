// Title-bar buttons: the placement and visibility rules as tables, then the default skin's
// buttons on real windows driven with real non-client mouse messages, the system menu from
// Alt+Space, and the icon's double-click.
#include "frame_fixture.h"

#include "skin/data/skin_elements.h"
#include "ui/extctrls.h"
#include "ui/menus.h"
#include "support/gui.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <memory>
#include <utility>

namespace frametest {
namespace {

using namespace wl;

std::unique_ptr<TDataSkinSysButton> Element(int action, int align, int x, int y, int vis = 0, int vis1 = 0) {
    auto e = std::make_unique<TDataSkinSysButton>("B");
    e->Action = action;
    e->Align = align;
    e->Xcoord = x;
    e->Ycoord = y;
    e->Visibility = vis;
    e->Visibility1 = vis1;
    return e;
}

TEST(TitleButtonRules, BoundsForEachAlignment) {
    TTitleButtonContext c;
    c.WindowWidth = 400;
    c.BorderLeft = 4;
    c.BorderTop = 26;
    c.BorderRight = 6;
    c.MenuBarHeight = 20;
    c.MenuBarMargin = 3;
    struct Case {
        const char* name;
        int align, x, y;
        bool rtl;
        RECT want; // for a 24 x 18 button
    };
    const Case cases[] = {
        {"left anchored", 0, 7, 3, false, {7, 3, 31, 21}},
        {"counted from the right edge", 1, 30, 4, false, {370, 4, 394, 22}},
        {"menu bar, left to right", 100, 10, 0, false, {400 - 10 - 6 - 3, 27, 400 - 10 - 6 - 3 + 24, 45}},
        {"menu bar, right to left", 100, 10, 0, true, {10 + 3 + 4, 27, 10 + 3 + 4 + 24, 45}},
        {"inner right edge (2)", 2, 5, 2, false, {400 - 6 - 24 - 5, 2, 400 - 6 - 5, 20}},
        {"inner right edge (8)", 8, 0, 2, false, {400 - 6 - 24, 2, 400 - 6, 20}},
        {"inner left edge (3)", 3, 5, 2, false, {4 + 5, 2, 4 + 5 + 24, 20}},
        {"inner left edge (9)", 9, 0, 1, false, {4, 1, 28, 19}},
        {"unknown alignment", 7, 50, 50, false, {0, 0, 24, 18}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        c.RightToLeft = k.rtl;
        const RECT r = TitleButtonBounds(*Element(0, k.align, k.x, k.y), 24, 18, c);
        EXPECT_EQ(r.left, k.want.left);
        EXPECT_EQ(r.top, k.want.top);
        EXPECT_EQ(r.right, k.want.right);
        EXPECT_EQ(r.bottom, k.want.bottom);
    }
}

TEST(TitleButtonRules, HugeCoordinatesStayOrderedAndFinite) {
    TTitleButtonContext c;
    c.WindowWidth = 400;
    for (int align : {0, 1, 2, 3, 100}) {
        for (int v : {INT_MAX, INT_MIN, -1}) {
            const RECT r = TitleButtonBounds(*Element(0, align, v, v), 24, 18, c);
            EXPECT_LE(r.left, r.right) << align << " " << v;
            EXPECT_LE(r.top, r.bottom) << align << " " << v;
            EXPECT_GT(r.left, INT_MIN / 2 - 1);
            EXPECT_LT(r.right, INT_MAX / 2 + 1);
        }
    }
}

TEST(TitleButtonRules, VisibilityCodes) {
    // The window: normal, active, maximize box with system menu, no minimize box.
    TTitleButtonContext c;
    c.Active = true;
    c.HasMaximizeBox = true;
    c.HasSystemMenu = true;
    struct Case {
        int action, vis, vis1;
        bool want;
    };
    const Case cases[] = {
        {5, 0, 0, true},      {5, 1, 0, false},     {5, 2, 0, true},      {5, 3, 0, true},
        {5, 4, 0, false},     {5, 5, 0, false},     {5, 6, 0, true},      {5, 7, 0, false},
        {5, 8, 0, false},     {5, 9, 0, true},      {5, 50, 0, false},    {5, 100, 0, false},
        {5, 150, 0, false},   {5, 200, 0, false},   {5, 500, 0, true},    {5, 2001, 0, false},
        {5, -1, 0, false},    {5, -7, 0, false},
        // The second key.
        {5, 0, -1, false},    {5, 0, 1, false},     {5, 0, 2, true},      {5, 0, 3, true},
        {5, 0, 4, false},     {5, 0, 6, true},      {5, 0, 7, false},     {5, 0, 8, false},
        {5, 0, 9, true},      {5, 0, 100, true},    {5, 0, 99, false},    {5, 0, 1500, true},
        {5, 0, 2001, false},
        // The action gate.
        {0, 0, 0, true},      {1, 0, 0, true},      {2, 0, 0, false},     {3, 0, 0, true},
    };
    for (const Case& k : cases) {
        const auto e = Element(k.action, 0, 0, 0, k.vis, k.vis1);
        EXPECT_EQ(TitleButtonVisible(*e, c), k.want) << "action " << k.action << " vis " << k.vis << " vis1 " << k.vis1;
    }
}

TEST(TitleButtonRules, DialogFramesAndHostAnsweredCodes) {
    TTitleButtonContext dialog;
    dialog.DialogFrame = true;
    dialog.HasSystemMenu = true;
    // A dialog frame hides the icon and the system-menu actions; 200 shows on dialog frames of
    // windows other than the dialog classes.
    EXPECT_FALSE(TitleButtonVisible(*Element(3, 0, 0, 0), dialog));
    EXPECT_FALSE(TitleButtonVisible(*Element(11, 0, 0, 0), dialog));
    EXPECT_FALSE(TitleButtonVisible(*Element(12, 0, 0, 0), dialog));
    EXPECT_TRUE(TitleButtonVisible(*Element(0, 0, 0, 0), dialog));
    EXPECT_TRUE(TitleButtonVisible(*Element(5, 0, 0, 0, 200), dialog));
    dialog.DialogClass = true;
    EXPECT_FALSE(TitleButtonVisible(*Element(5, 0, 0, 0, 200), dialog));
    // Codes 1000..2000 ask the host, with the code and the action.
    struct Asked {
        int code = 0, action = 0;
    } asked;
    auto host = [](void* data, int code, int action) {
        auto* a = static_cast<Asked*>(data);
        a->code = code;
        a->action = action;
        return code == 1234;
    };
    TTitleButtonContext c;
    EXPECT_TRUE(TitleButtonVisible(*Element(40, 0, 0, 0, 1234), c, host, &asked));
    EXPECT_EQ(asked.code, 1234);
    EXPECT_EQ(asked.action, 40);
    EXPECT_FALSE(TitleButtonVisible(*Element(40, 0, 0, 0, 1235), c, host, &asked));
    EXPECT_FALSE(TitleButtonVisible(*Element(40, 0, 0, 0, 1234), c));
}

// ---- real windows ------------------------------------------------------------------------------

class TitleButtonTest : public FrameTest {
protected:
    void Start(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE) {
        ASSERT_TRUE(LoadSkin(DefaultSkinBytes()));
        w_ = MakeWindow(style);
        ASSERT_NE(w_, nullptr);
        SetForegroundWindow(w_);
        f_ = Skin(w_);
        SendMessageW(w_, WM_NCACTIVATE, TRUE, 0);
        f_->PaintFrame();
    }
    // The visible button of that action (and image file when several share it), or null.
    TWinSysButton* Button(int action) {
        for (const auto& b : f_->Buttons())
            if (b->Visible() && b->SkinElement()->Action == action) return b.get();
        return nullptr;
    }
    // The screen point at the centre of a button.
    POINT Centre(const TNCObject& b) {
        RECT wr;
        GetWindowRect(w_, &wr);
        return POINT{wr.left + (b.Bounds().left + b.Bounds().right) / 2, wr.top + (b.Bounds().top + b.Bounds().bottom) / 2};
    }
    LRESULT Send(UINT msg, WPARAM wp, POINT screen) {
        return SendMessageW(w_, msg, wp, MAKELPARAM(screen.x, screen.y));
    }
    void Click(const TNCObject& b) {
        const POINT p = Centre(b);
        Send(WM_NCMOUSEMOVE, HTCAPTION, p);
        Send(WM_NCLBUTTONDOWN, HTCAPTION, p);
        Send(WM_NCLBUTTONUP, HTCAPTION, p);
    }
    HWND w_ = nullptr;
    TWinSkinForm* f_ = nullptr;
};

COLORREF Pixel(HWND w, int x, int y) {
    HDC dc = GetWindowDC(w);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(w, dc);
    return c;
}

TEST_F(TitleButtonTest, DefaultSkinButtonsSitWhereTheSkinPutsThem) {
    Start();
    const int width = WindowSize(w_).cx;
    struct Case {
        int action;
        RECT want;
    };
    const Case cases[] = {
        {3, {6, 5, 6 + GetSystemMetrics(SM_CXSMICON), 5 + GetSystemMetrics(SM_CYSMICON)}},
        {0, {width - 30, 4, width - 30 + 24, 4 + 18}},
        {1, {width - 56, 4, width - 56 + 24, 4 + 18}},
        {2, {width - 82, 4, width - 82 + 24, 4 + 18}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        TWinSysButton* b = Button(c.action);
        ASSERT_NE(b, nullptr);
        EXPECT_TRUE(EqualRect(&b->Bounds(), &c.want))
            << b->Bounds().left << "," << b->Bounds().top << "," << b->Bounds().right << "," << b->Bounds().bottom;
    }
    // Active and inactive images: one close button shows at a time, the one for the state.
    auto shown = [&](int action) {
        std::vector<int> vis;
        for (const auto& b : f_->Buttons())
            if (b->Visible() && b->SkinElement()->Action == action) vis.push_back(b->SkinElement()->Visibility);
        return vis;
    };
    EXPECT_EQ(shown(0), std::vector<int>{3});
    SendMessageW(w_, WM_NCACTIVATE, FALSE, 0);
    EXPECT_EQ(shown(0), std::vector<int>{4});
    SendMessageW(w_, WM_NCACTIVATE, TRUE, 0);
    // The maximize image while normal, the restore image (Visibility1 1) while maximized.
    ASSERT_NE(Button(1), nullptr);
    EXPECT_EQ(Button(1)->SkinElement()->Visibility1, 2);
    ShowWindow(w_, SW_MAXIMIZE);
    wl::test::PumpUntil([&] { return IsZoomed(w_) != FALSE; });
    f_->PaintFrame();
    ASSERT_NE(Button(1), nullptr);
    EXPECT_EQ(Button(1)->SkinElement()->Visibility1, 1);
}

// Pictures of the skinned window for people to look at: active, inactive, and active with the
// close button hot. Each must differ from the one before.
TEST_F(TitleButtonTest, ArtifactsOfTheSkinnedWindow) {
    Start();
    const std::string dir = WL_FRAME_ARTIFACTS;
    RedrawWindow(w_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
    SendMessageW(w_, WM_NCACTIVATE, TRUE, 0);
    wl::test::WaitFlushed(w_);
    const TColor activeTitle = static_cast<TColor>(Pixel(w_, 150, 12));
    EXPECT_TRUE(wl::test::SaveWindowBitmap(w_, dir + "/skinned_window_active.bmp"));
    SendMessageW(w_, WM_NCACTIVATE, FALSE, 0);
    EXPECT_NE(static_cast<TColor>(Pixel(w_, 150, 12)), activeTitle);
    wl::test::WaitFlushed(w_); // the screen shows what the window surface holds once flushed
    EXPECT_TRUE(wl::test::SaveWindowBitmap(w_, dir + "/skinned_window_inactive.bmp"));
    SendMessageW(w_, WM_NCACTIVATE, TRUE, 0);
    Send(WM_NCMOUSEMOVE, HTCAPTION, Centre(*Button(0)));
    wl::test::WaitFlushed(w_);
    EXPECT_TRUE(wl::test::SaveWindowBitmap(w_, dir + "/skinned_window_close_hot.bmp"));
}

TEST_F(TitleButtonTest, WindowWithoutBoxesShowsNoMinimizeOrMaximizeButton) {
    Start(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
    EXPECT_NE(Button(0), nullptr);
    EXPECT_EQ(Button(1), nullptr);
    EXPECT_EQ(Button(2), nullptr);
}

TEST_F(TitleButtonTest, HoverPressAndLeaveMoveTheButtonStates) {
    Start();
    TWinSysButton* close = Button(0);
    TWinSysButton* min = Button(2);
    ASSERT_TRUE(close && min);
    Send(WM_NCMOUSEMOVE, HTCAPTION, Centre(*close));
    EXPECT_EQ(close->ButtonState(), nbsHot);
    EXPECT_EQ(f_->HotObject(), close);
    // Onto another button: the first goes back to normal.
    Send(WM_NCMOUSEMOVE, HTCAPTION, Centre(*min));
    EXPECT_EQ(close->ButtonState(), nbsNormal);
    EXPECT_EQ(min->ButtonState(), nbsHot);
    Send(WM_NCLBUTTONDOWN, HTCAPTION, Centre(*min));
    EXPECT_EQ(min->ButtonState(), nbsPressed);
    // Off every button (still over the caption): nothing is hot.
    RECT wr;
    GetWindowRect(w_, &wr);
    Send(WM_NCMOUSEMOVE, HTCAPTION, POINT{wr.left + 150, wr.top + 12});
    EXPECT_EQ(min->ButtonState(), nbsNormal);
    EXPECT_EQ(f_->HotObject(), nullptr);
    // An inactive window's buttons do not follow the mouse.
    SendMessageW(w_, WM_NCACTIVATE, FALSE, 0);
    TWinSysButton* inactiveClose = Button(0);
    ASSERT_NE(inactiveClose, nullptr);
    Send(WM_NCMOUSEMOVE, HTCAPTION, Centre(*inactiveClose));
    EXPECT_EQ(inactiveClose->ButtonState(), nbsNormal);
    EXPECT_EQ(f_->HotObject(), nullptr);
}

TEST_F(TitleButtonTest, HoverTimerLetsGoOfAButtonTheCursorHasLeft) {
    Start();
    TWinSysButton* close = Button(0);
    ASSERT_NE(close, nullptr);
    ASSERT_NE(f_->HoverTimer(), nullptr);
    EXPECT_TRUE(f_->HoverTimer()->Enabled());
    // The cursor over the button: the timer keeps it hot.
    const POINT on = Centre(*close);
    ASSERT_TRUE(SetCursorPos(on.x, on.y));
    Send(WM_NCMOUSEMOVE, HTCAPTION, on);
    // The hover timer is what is tested: one of its 250 ms ticks passes with the cursor on the
    // button, which must leave it hot.
    wl::test::PumpMessages(300);
    EXPECT_EQ(close->ButtonState(), nbsHot);
    // The cursor leaves without a non-client message (as when it leaves the window fast).
    ASSERT_TRUE(SetCursorPos(on.x - 200, on.y + 150));
    EXPECT_TRUE(wl::test::PumpUntil([&] { return close->ButtonState() == nbsNormal; }, 1000));
    EXPECT_EQ(f_->HotObject(), nullptr);
    // An inactive window stops the timer.
    SendMessageW(w_, WM_NCACTIVATE, FALSE, 0);
    EXPECT_FALSE(f_->HoverTimer()->Enabled());
}

TEST_F(TitleButtonTest, HotButtonIsPaintedWithItsHotCell) {
    Start();
    TWinSysButton* close = Button(0);
    ASSERT_NE(close, nullptr);
    TBitmap& img = close->SkinElement()->Image;
    const int cw = img.Width() / close->SkinElement()->Frame;
    // A pixel where the hot cell is opaque and differs from the normal cell, and one where the
    // pressed cell is opaque and differs from the hot cell.
    auto find = [&](int from, int to, int& fx, int& fy) {
        fx = fy = -1;
        for (int y = 0; y < img.Height() && fx < 0; ++y)
            for (int x = 0; x < cw; ++x) {
                const TColor a = img.Canvas().Pixel(x + (from - 1) * cw, y), b = img.Canvas().Pixel(x + (to - 1) * cw, y);
                if (a != b && b != kSkinKeyColor) {
                    fx = x, fy = y;
                    break;
                }
            }
    };
    int hx, hy, px, py;
    find(1, 3, hx, hy);
    find(3, 2, px, py);
    ASSERT_GE(hx, 0) << "the close button's hot cell looks like its normal cell";
    ASSERT_GE(px, 0) << "the close button's pressed cell looks like its hot cell";
    auto onScreen = [&](int x, int y) {
        HDC dc = GetWindowDC(w_);
        const COLORREF c = GetPixel(dc, close->Bounds().left + x, close->Bounds().top + y);
        ReleaseDC(w_, dc);
        return static_cast<TColor>(c);
    };
    const TColor hot = img.Canvas().Pixel(hx + 2 * cw, hy), pressed = img.Canvas().Pixel(px + cw, py);
    EXPECT_NE(onScreen(hx, hy), hot);
    Send(WM_NCMOUSEMOVE, HTCAPTION, Centre(*close));
    EXPECT_EQ(onScreen(hx, hy), hot);
    Send(WM_NCLBUTTONDOWN, HTCAPTION, Centre(*close));
    EXPECT_EQ(onScreen(px, py), pressed);
    // Leaving puts the normal cell back.
    RECT wr;
    GetWindowRect(w_, &wr);
    Send(WM_NCMOUSEMOVE, HTCAPTION, POINT{wr.left + 150, wr.top + 12});
    EXPECT_NE(onScreen(hx, hy), hot);
}

TEST_F(TitleButtonTest, ClicksEndInTheRightWindowState) {
    struct Case {
        const char* name;
        int action;
        std::function<bool(HWND)> done;
    };
    const Case cases[] = {
        {"minimize", 2, [](HWND w) { return IsIconic(w) != FALSE; }},
        {"maximize", 1, [](HWND w) { return IsZoomed(w) != FALSE; }},
        {"close", 0, [](HWND w) { return !IsWindow(w); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Start();
        TWinSysButton* b = Button(c.action);
        ASSERT_NE(b, nullptr);
        Click(*b);
        EXPECT_TRUE(wl::test::PumpUntil([&] { return c.done(w_); }, 2000));
    }
    // Maximized, the same place holds the restore button, which restores.
    Start();
    Click(*Button(1));
    ASSERT_TRUE(wl::test::PumpUntil([&] { return IsZoomed(w_) != FALSE; }, 2000));
    f_->PaintFrame();
    TWinSysButton* restore = Button(1);
    ASSERT_NE(restore, nullptr);
    EXPECT_EQ(restore->SkinElement()->Visibility1, 1);
    Click(*restore);
    EXPECT_TRUE(wl::test::PumpUntil([&] { return !IsZoomed(w_) && !IsIconic(w_); }, 2000));
    EXPECT_EQ(f_->WindowState(), wstNormal);
}

TEST_F(TitleButtonTest, ReleaseAwayFromThePressedButtonDoesNothing) {
    Start();
    TWinSysButton* close = Button(0);
    TWinSysButton* min = Button(2);
    Send(WM_NCLBUTTONDOWN, HTCAPTION, Centre(*close));
    Send(WM_NCLBUTTONUP, HTCAPTION, Centre(*min));
    wl::test::PumpMessages();
    EXPECT_TRUE(IsWindow(w_));
    EXPECT_FALSE(IsIconic(w_));
}

TEST_F(TitleButtonTest, CaptionDoubleClickMaximizesAndIconDoubleClickCloses) {
    Start();
    RECT wr;
    GetWindowRect(w_, &wr);
    Send(WM_NCLBUTTONDBLCLK, HTCAPTION, POINT{wr.left + 150, wr.top + 12});
    EXPECT_TRUE(wl::test::PumpUntil([&] { return IsZoomed(w_) != FALSE; }, 2000));
    f_->PaintFrame();
    TWinSysButton* icon = Button(3);
    ASSERT_NE(icon, nullptr);
    Send(WM_NCLBUTTONDBLCLK, HTCAPTION, Centre(*icon));
    EXPECT_TRUE(wl::test::PumpUntil([&] { return !IsWindow(w_); }, 2000));
}

TEST_F(TitleButtonTest, OnlyACaptionDoubleClickChangesTheWindowSize) {
    Start();
    RECT wr;
    GetWindowRect(w_, &wr);
    struct Case {
        WPARAM hit;
        POINT at;
        bool maximized;
    };
    const Case cases[] = {
        {HTLEFT, {wr.left + 1, (wr.top + wr.bottom) / 2}, false},
        {HTBOTTOMRIGHT, {wr.right - 1, wr.bottom - 1}, false},
        // The empty menu-bar strip answers HTMENU.
        {HTMENU, {wr.left + 150, wr.top + 12}, false},
        {HTCAPTION, {wr.left + 150, wr.top + 12}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hit);
        Send(WM_NCLBUTTONDBLCLK, c.hit, c.at);
        wl::test::PumpMessages(); // a size change is posted
        if (c.maximized) wl::test::PumpUntil([&] { return IsZoomed(w_) != FALSE; }, 2000);
        EXPECT_EQ(IsZoomed(w_) != FALSE, c.maximized);
        EXPECT_EQ(f_->WindowState() == wstMaximized, c.maximized);
    }
}

TEST_F(TitleButtonTest, HitTestTurnsTheTitleIntoCaptionAndKeepsBorders) {
    Start();
    RECT wr;
    GetWindowRect(w_, &wr);
    struct Case {
        POINT at;
        LRESULT want;
    };
    const Case cases[] = {
        {{wr.left + 150, wr.top + 12}, HTCAPTION},
        {{wr.left + 150, wr.top + 100}, HTCLIENT},
        {{(wr.left + wr.right) / 2, wr.bottom - 1}, HTBOTTOM},
    };
    for (const Case& c : cases) EXPECT_EQ(Send(WM_NCHITTEST, 0, c.at), c.want) << c.at.x << "," << c.at.y;
}

// Ends the system menu once it shows, recording its entries.
bool g_menuSeen = false;
int g_menuItems = -1;
std::string g_lastItem;
struct MenuEntry {
    intptr_t tag;
    int image;
    bool enabled;
};
std::vector<MenuEntry> g_entries;
std::string g_menuPicture; // where to save a picture of the next menu shown
// The form object asked, while the menu shows, whether a menu of it is being tracked (the manager
// holds skin changes back while one is).
TWinSkinForm* g_trackedForm = nullptr;
bool g_trackingWhileShown = false;
void CALLBACK EndMenuTimer(HWND, UINT, UINT_PTR id, DWORD) {
    HWND menu = FindWindowA("#32768", nullptr);
    if (menu && IsWindowVisible(menu)) {
        g_menuSeen = true;
        if (g_trackedForm) g_trackingWhileShown = g_trackedForm->MenuTracking();
        if (!g_menuPicture.empty()) {
            // Once: the nested pump lets the menu reach the screen (and runs this timer again).
            const std::string path = std::exchange(g_menuPicture, std::string());
            wl::test::WaitFlushed(menu, 500);
            wl::test::SaveWindowBitmap(menu, path);
        }
        if (HMENU h = reinterpret_cast<HMENU>(SendMessageW(menu, 0x01E1 /* MN_GETHMENU */, 0, 0))) {
            g_menuItems = GetMenuItemCount(h);
            // The entries are owner-drawn: their text is in the menu item objects.
            const UINT id = GetMenuItemID(h, g_menuItems - 1);
            if (TMenuItem* item = FindMenuItemByCommand(id)) g_lastItem = item->Caption();
            g_entries.clear();
            for (int i = 0; i < g_menuItems; ++i)
                if (TMenuItem* item = FindMenuItemByCommand(GetMenuItemID(h, i)))
                    g_entries.push_back({item->Tag(), item->ImageIndex(), item->Enabled()});
        }
        EndMenu();
    }
    (void)id; // the caller kills the timer once the menu has returned
}

TEST_F(TitleButtonTest, AltSpaceOpensTheSkinnedSystemMenu) {
    Start();
    g_menuSeen = false;
    g_menuItems = -1;
    g_menuPicture = std::string(WL_FRAME_ARTIFACTS) + "/skinned_system_menu.bmp";
    g_trackedForm = f_;
    g_trackingWhileShown = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, EndMenuTimer);
    EXPECT_EQ(SendMessageW(w_, WM_SYSCOMMAND, SC_KEYMENU, ' '), 0);
    KillTimer(nullptr, timer);
    g_trackedForm = nullptr;
    ASSERT_TRUE(g_menuSeen);
    // The open system menu counts as a tracked menu, and stops counting once it has closed.
    EXPECT_TRUE(g_trackingWhileShown);
    EXPECT_FALSE(f_->MenuTracking());
    // The popup mirrors the window's system menu, entry for entry.
    HMENU sys = GetSystemMenu(w_, FALSE);
    ASSERT_NE(sys, nullptr);
    EXPECT_EQ(g_menuItems, GetMenuItemCount(sys));
    char last[100] = {};
    GetMenuStringA(sys, static_cast<UINT>(GetMenuItemCount(sys) - 1), last, sizeof last, MF_BYPOSITION);
    EXPECT_EQ(g_lastItem, std::string(last));
    // Entries carry the system command as tag, a glyph by command, and are enabled by the
    // window's state: a normal window can be closed, maximized and minimized, not restored.
    struct Want {
        UINT command;
        int image;
        bool enabled;
    };
    for (const Want& want : {Want{SC_CLOSE, 3, true}, Want{SC_RESTORE, 0, false}, Want{SC_MAXIMIZE, 1, true},
                             Want{SC_MINIMIZE, 2, true}, Want{SC_MOVE, -1, true}}) {
        SCOPED_TRACE(want.command);
        auto it = std::find_if(g_entries.begin(), g_entries.end(),
                               [&](const MenuEntry& e) { return e.tag == static_cast<intptr_t>(want.command); });
        ASSERT_NE(it, g_entries.end());
        EXPECT_EQ(it->image, want.image);
        EXPECT_EQ(it->enabled, want.enabled);
    }
}

TEST_F(TitleButtonTest, QuickSecondSystemMenuOnTheHotIconClosesAndALaterOneOpensAgain) {
    Start();
    TWinSysButton* icon = Button(3);
    ASSERT_NE(icon, nullptr);
    RECT wr;
    GetWindowRect(w_, &wr);
    const POINT caption{wr.left + 150, wr.top + 12};
    auto rightClick = [&] {
        g_menuSeen = false;
        const UINT_PTR timer = SetTimer(nullptr, 0, 30, EndMenuTimer);
        Send(WM_NCRBUTTONDOWN, HTCAPTION, caption);
        KillTimer(nullptr, timer);
        return g_menuSeen;
    };
    EXPECT_TRUE(rightClick());
    // Later than the double-click time: the menu opens again, and the window stays.
    // The double-click interval itself is what is tested: the shortest wait that leaves it.
    Sleep(GetDoubleClickTime() + 16); // a clock tick past it
    EXPECT_TRUE(rightClick());
    wl::test::PumpMessages();
    ASSERT_TRUE(IsWindow(w_));
    // Within the double-click time while a title object is hot: no menu, the window closes.
    Send(WM_NCMOUSEMOVE, HTCAPTION, Centre(*icon));
    ASSERT_EQ(f_->HotObject(), icon);
    EXPECT_FALSE(rightClick());
    EXPECT_TRUE(wl::test::PumpUntil([&] { return !IsWindow(w_); }, 2000));
}

TEST_F(TitleButtonTest, MenuCommandsOfTheSystemKindBecomeSystemCommands) {
    Start();
    SendMessageW(w_, WM_COMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(wl::test::PumpUntil([&] { return IsIconic(w_) != FALSE; }, 2000));
    SendMessageW(w_, WM_COMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(wl::test::PumpUntil([&] { return !IsIconic(w_); }, 2000));
    // Another command id goes to the window as it was.
    SendMessageW(w_, WM_COMMAND, 0xF0F0, 0);
    wl::test::PumpMessages();
    EXPECT_FALSE(IsIconic(w_));
    EXPECT_TRUE(IsWindow(w_));
}

} // namespace
} // namespace frametest
