// The skinned menu bar of real windows: the menu taken from the window and given back exactly,
// layout and hit testing read back from the screen, drop-downs opened by a click, by Alt+letter
// and Alt alone, moving to the neighbouring item with the arrow keys and the mouse while one is
// open, Escape, and a chosen command reaching the item's OnClick.
#include "forms_fixture.h"
#include "menu_driver.h"

#include "skin/forms/menu_bar.h"
#include "skin/forms/popup_menu.h"
#include "support/gui.h"
#include "ui/strconv.h"

namespace {

using namespace wl;
using namespace skinforms;
using namespace skinmenus;

class MenuBarTest : public SkinFormsTest {
protected:
    // A skinned form with the test menu.
    TWinSkinForm* SkinMenuForm() {
        mf_ = MakeMenuForm();
        h_ = mf_->form->Handle();
        before_ = WindowRect(h_);
        GetClientRect(h_, &beforeClient_);
        beforeMenu_ = GetMenu(h_);
        // Once the hook is in, a new form is skinned as it shows.
        TWinSkinForm* f = manager_->FindForm(h_);
        if (!f) f = SkinWithHook(h_);
        if (f) test::PumpUntil([f] { return f->State() == sfsRunning; });
        test::WaitPainted(h_);
        return f;
    }
    static RECT WindowRect(HWND h) {
        RECT r{0, 0, 0, 0};
        GetWindowRect(h, &r);
        return r;
    }
    TMenuBtn* Button(TWinSkinForm* f, int i) { return f->MenuBar() ? f->MenuBar()->Button(i) : nullptr; }
    // Clicks a menu-bar button the way the system reports it (the call returns when the
    // drop-down has closed).
    void ClickButton(TWinSkinForm* f, int i) {
        const POINT p = ScreenCentre(h_, Button(f, i)->Bounds());
        SendMessageW(h_, WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(p.x, p.y));
    }
    // Skins the window, then lets the manager's hook see the popup menu windows as they are
    // created (installed afterwards, so that the window is skinned here and not on activation).
    TWinSkinForm* SkinWithHook(HWND h) {
        TWinSkinForm* f = Skin(h);
        manager_->InstallHook();
        return f;
    }
    void TearDown() override {
        if (mf_) mf_->form.reset();
        mf_.reset();
        SkinFormsTest::TearDown();
    }

    std::unique_ptr<MenuForm> mf_;
    HWND h_ = nullptr;
    RECT before_{}, beforeClient_{};
    HMENU beforeMenu_ = nullptr;
};

TEST_F(MenuBarTest, WindowWithMenuIsSkinnedAndGivenBackExactly) {
    TWinSkinForm* f = SkinMenuForm();
    ASSERT_NE(f, nullptr);
    ASSERT_NE(beforeMenu_, nullptr);
    EXPECT_TRUE(f->SkinFrame());
    ASSERT_NE(f->MenuBar(), nullptr);
    EXPECT_EQ(GetMenu(h_), nullptr); // the skin draws the bar
    EXPECT_EQ(f->MenuBarHeight(), GetSystemMetrics(SM_CYMENU));
    EXPECT_EQ(f->MenuBar()->ItemCount(), 3);
    RECT client;
    GetClientRect(h_, &client);
    EXPECT_EQ(client.right, beforeClient_.right);
    EXPECT_EQ(client.bottom, beforeClient_.bottom);

    RunAction(skaUnskinAll);
    EXPECT_EQ(GetMenu(h_), beforeMenu_);
    EXPECT_EQ(GetMenu(h_), mf_->menu->Handle());
    const RECT after = WindowRect(h_);
    EXPECT_TRUE(EqualRect(&after, &before_)) << after.left << "," << after.top << "," << after.right << ","
                                             << after.bottom;
    GetClientRect(h_, &client);
    EXPECT_EQ(client.right, beforeClient_.right);
    EXPECT_EQ(client.bottom, beforeClient_.bottom);
    // Every drop-down entry is drawn as it was before (the skin switched none to owner-draw).
    for (TMenuItem* top : {mf_->file, mf_->edit, mf_->view}) {
        HMENU sub = top->Handle();
        for (int i = 0; i < GetMenuItemCount(sub); ++i) {
            MENUITEMINFOW info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE;
            GetMenuItemInfoW(sub, static_cast<UINT>(i), TRUE, &info);
            EXPECT_FALSE(info.fType & MFT_OWNERDRAW) << top->Caption() << " #" << i;
        }
    }
}

// A form that gets its menu while skinned: the bar appears with the client area kept, and the
// menu is the window's again after unskinning, with the client area still the same.
TEST_F(MenuBarTest, MenuAssignedWhileSkinned) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(60, 60, 400, 280);
    form->Show();
    test::PumpMessages(0);
    HWND h = form->Handle();
    RECT client0;
    GetClientRect(h, &client0);
    TWinSkinForm* f = Skin(h);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->MenuBar(), nullptr);
    auto* menu = new TMainMenu(form.get());
    auto* file = new TMenuItem(form.get());
    file->SetCaption("&File");
    menu->Items()->Add(file);
    form->SetMenu(menu);
    test::PumpUntil([&] { return f->MenuBar() != nullptr; });
    ASSERT_NE(f->MenuBar(), nullptr);
    EXPECT_EQ(f->MenuBar()->ItemCount(), 1);
    EXPECT_EQ(GetMenu(h), nullptr);
    RECT client1;
    GetClientRect(h, &client1);
    EXPECT_TRUE(EqualRect(&client0, &client1)) << client1.right << "x" << client1.bottom << " was " << client0.right << "x" << client0.bottom << " bar " << f->MenuBarHeight();
    RunAction(skaUnskinAll);
    EXPECT_EQ(GetMenu(h), menu->Handle());
    RECT client2;
    GetClientRect(h, &client2);
    EXPECT_TRUE(EqualRect(&client0, &client2)) << client2.right << "x" << client2.bottom;
    form.reset();
}

TEST_F(MenuBarTest, PlainWindowMenuIsGivenBackAndGoesWithTheWindow) {
    HMENU menu = CreateMenu();
    HMENU sub = CreatePopupMenu();
    AppendMenuA(sub, MF_STRING, 101, "&Open\tCtrl+O");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "&File");
    WindowShape shape;
    shape.menu = menu;
    HWND h = MakeWindow(shape);
    windows_.push_back(h);
    test::PumpMessages(0);
    RECT wr0, cr0;
    GetWindowRect(h, &wr0);
    GetClientRect(h, &cr0);
    TWinSkinForm* f = SkinWithHook(h);
    ASSERT_NE(f, nullptr);
    ASSERT_NE(f->MenuBar(), nullptr);
    ASSERT_EQ(f->MenuBar()->ItemCount(), 1);
    EXPECT_EQ(f->MenuBar()->Button(0)->Caption(), L"&File");
    EXPECT_EQ(f->MenuBar()->Button(0)->SubMenu(), sub);
    EXPECT_EQ(GetMenu(h), nullptr);
    RunAction(skaUnskinAll);
    RECT wr1, cr1;
    GetWindowRect(h, &wr1);
    GetClientRect(h, &cr1);
    EXPECT_EQ(GetMenu(h), menu);
    EXPECT_TRUE(EqualRect(&wr0, &wr1));
    EXPECT_TRUE(EqualRect(&cr0, &cr1));
    manager_->SetSkinning(true);
    // Skinned again and destroyed while skinned: the window still takes its menu along.
    ASSERT_NE(Skin(h), nullptr);
    DestroyWindow(h);
    test::PumpMessages(0);
    EXPECT_FALSE(IsMenu(menu));
}

// What reaches a plain window's own procedure of the non-client clicks.
int g_menuDowns = 0, g_captionDowns = 0;
LRESULT CALLBACK CountClicks(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCLBUTTONDOWN && wp == HTMENU) {
        ++g_menuDowns;
        return 0; // the test only counts; the window has no system menu bar to track
    }
    if (msg == WM_NCLBUTTONDOWN && wp == HTCAPTION) {
        ++g_captionDowns;
        return 0;
    }
    return DefWindowProcA(h, msg, wp, lp);
}

TEST_F(MenuBarTest, ClicksOnTheEmptyStripReachTheWindow) {
    HMENU menu = CreateMenu();
    HMENU sub = CreatePopupMenu();
    AppendMenuA(sub, MF_STRING, 101, "&Open");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "&File");
    WindowShape shape;
    shape.className = "WlMenuClickCounter";
    shape.proc = CountClicks;
    shape.menu = menu;
    HWND h = MakeWindow(shape);
    windows_.push_back(h);
    TWinSkinForm* f = Skin(h);
    ASSERT_NE(f, nullptr);
    ASSERT_NE(f->MenuBar(), nullptr);
    f->PaintFrame(nullptr);
    RECT wr;
    GetWindowRect(h, &wr);
    const RECT b = f->Borders();
    const RECT file = f->MenuBar()->Button(0)->Bounds();
    const int stripY = wr.top + b.top + f->MenuBarHeight() / 2;
    struct Case {
        const char* where;
        POINT at;
        WPARAM hit;
        int menuDowns, captionDowns;
    } cases[] = {
        {"empty strip", {wr.left + file.right + 40, stripY}, HTMENU, 1, 0},
        {"strip's far end", {wr.right - b.right - 3, stripY}, HTMENU, 1, 0},
        {"caption", {wr.left + 150, wr.top + b.top / 2}, HTCAPTION, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        g_menuDowns = g_captionDowns = 0;
        SendMessageA(h, WM_NCLBUTTONDOWN, c.hit, MAKELPARAM(c.at.x, c.at.y));
        EXPECT_EQ(g_menuDowns, c.menuDowns);
        EXPECT_EQ(g_captionDowns, c.captionDowns);
        EXPECT_EQ(OpenMenuWindows().size(), 0u);
    }
}

TEST_F(MenuBarTest, LayoutAndHitTestingByPixels) {
    TWinSkinForm* f = SkinMenuForm();
    ASSERT_NE(f, nullptr);
    ASSERT_NE(f->MenuBar(), nullptr);
    RedrawWindow(h_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    test::WaitFlushed(h_);
    const RECT b = f->Borders();
    const int stripTop = b.top, stripBottom = b.top + f->MenuBarHeight();
    // Expected bounds from the captions' widths in the menu font.
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, Screen->MenuFont().Handle());
    int x = b.left + data_->MenuBar->LeftWidth + 4;
    const COLORREF text = ColorToRGB(data_->MenuBarText);
    for (int i = 0; i < 3; ++i) {
        TMenuBtn* button = Button(f, i);
        ASSERT_NE(button, nullptr);
        RECT m{0, 0, 0, 0};
        DrawTextW(screen, button->Caption().c_str(), -1, &m, DT_CALCRECT | DT_SINGLELINE);
        const RECT& r = button->Bounds();
        EXPECT_EQ(r.left, x) << i;
        EXPECT_EQ(r.right, x + m.right + 10) << i;
        EXPECT_EQ(r.top, stripTop) << i;
        EXPECT_EQ(r.bottom, stripBottom - 1) << i;
        x = r.right;
        // The caption is drawn inside its button.
        EXPECT_GT(CountNearOnScreen(h_, r, text, 48), 3) << i;
        // The system reports the strip as menu, and the bar finds the button at its centre.
        const POINT centre = ScreenCentre(h_, r);
        EXPECT_EQ(SendMessageW(h_, WM_NCHITTEST, 0, MAKELPARAM(centre.x, centre.y)), HTMENU) << i;
        RECT wr;
        GetWindowRect(h_, &wr);
        EXPECT_EQ(f->MenuBar()->ItemAt(POINT{centre.x - wr.left, centre.y - wr.top}), button) << i;
    }
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    // Past the last button the strip shows the bar's background only.
    RECT wr;
    GetWindowRect(h_, &wr);
    const RECT empty{x + 4, stripTop + 2, (wr.right - wr.left) - b.right - 4, stripBottom - 2};
    EXPECT_EQ(CountNearOnScreen(h_, empty, text, 48), 0);
    EXPECT_EQ(f->MenuBar()->ItemAt(POINT{x + 4, stripTop + 2}), nullptr);
    // The mouse over a button makes it hot: a frame in ButtonHilight round its bounds.
    const RECT r1 = Button(f, 1)->Bounds();
    const POINT c1 = ScreenCentre(h_, r1);
    SendMessageW(h_, WM_NCMOUSEMOVE, HTMENU, MAKELPARAM(c1.x, c1.y));
    EXPECT_EQ(Button(f, 1)->ButtonState(), nbsHot);
    EXPECT_EQ(f->HotObject(), Button(f, 1));
    EXPECT_EQ(CountNearOnScreen(h_, RECT{r1.left, r1.top + 2, r1.left + 1, r1.bottom - 2}, ColorToRGB(data_->ButtonHilight), 0),
              r1.bottom - r1.top - 4);
}

TEST_F(MenuBarTest, ClickOpensTheDropDownAndEscapeClosesIt) {
    TWinSkinForm* f = SkinMenuForm();
    ASSERT_NE(f, nullptr);
    int seenIndex = -2;
    bool hooked = false, popupSkinned = false, firstSelected = false;
    MenuScript script;
    script.Then([&] { return !OpenMenuWindows().empty(); })
        .Then([&] {
            seenIndex = TrackedMenuIndex();
            hooked = TWinSkinForm::MenuHook() != nullptr;
            popupSkinned = !manager_->PopupMenus().empty() &&
                           SendMessageW(OpenMenuWindows().back(), SKM_ISSKINNED, 0, 0) == 1;
            return true;
        })
        .Then([&] {
            // The first entry is selected for the keyboard.
            firstSelected = (GetMenuState(mf_->file->Handle(), 0, MF_BYPOSITION) & MF_HILITE) != 0;
            if (!firstSelected) return false;
            PostKey(h_, VK_ESCAPE);
            return true;
        })
        .Then([&] { return OpenMenuWindows().empty(); });
    script.Start();
    ClickButton(f, 0);
    EXPECT_TRUE(script.Run()) << "steps done: " << script.StepsDone();
    EXPECT_EQ(seenIndex, 0);
    EXPECT_TRUE(hooked);
    EXPECT_TRUE(popupSkinned);
    EXPECT_TRUE(firstSelected);
    // Closed: no hook, no tracking, and no popup skinner left behind.
    EXPECT_EQ(TWinSkinForm::MenuHook(), nullptr);
    EXPECT_EQ(TrackedMenuIndex(), -1);
    EXPECT_FALSE(f->MenuTracking());
    EXPECT_TRUE(manager_->PopupMenus().empty());
    EXPECT_EQ(manager_->MenuKind, 0);
}

// Alt with a letter opens the item with that accelerator, Alt alone and F10 the first one (the
// keys go through the window's default handling, as typed); Left and Right move to the
// neighbouring item, wrapping at the ends. In a right-to-left menu the items run from the right,
// so Right goes to the previous item and Left to the next.
TEST_F(MenuBarTest, KeyboardOpensAndArrowsMoveBetweenItems) {
    TWinSkinForm* f = SkinMenuForm();
    ASSERT_NE(f, nullptr);
    constexpr LPARAM kAlt = 1 << 29, kUp = static_cast<LPARAM>(0xC0000000u);
    struct Case {
        const char* what;
        WPARAM key; // a letter typed with Alt, or VK_MENU / VK_F10 pressed and released alone
        int opened;
        UINT arrow;
        int movedTo;
        bool rightToLeft = false;
    } cases[] = {
        {"Alt+F then Right", 'f', 0, VK_RIGHT, 1},
        {"Alt+E then Left", 'e', 1, VK_LEFT, 0},
        {"Alt+V then Right wraps", 'v', 2, VK_RIGHT, 0},
        {"Alt alone then Left wraps", VK_MENU, 0, VK_LEFT, 2},
        {"F10 then Right", VK_F10, 0, VK_RIGHT, 1},
        {"right-to-left: Alt+F then Right wraps", 'f', 0, VK_RIGHT, 2, true},
        {"right-to-left: Alt+E then Left", 'e', 1, VK_LEFT, 2, true},
        {"right-to-left: Alt+V then Right", 'v', 2, VK_RIGHT, 1, true},
    };
    // The keys are read against the menu of the selected entry, so an arrow waits for one.
    auto entrySelected = [&] {
        TMenuBtn* open = Button(f, TrackedMenuIndex());
        HMENU sub = open ? open->SubMenu() : nullptr;
        for (int i = 0; sub && i < GetMenuItemCount(sub); ++i)
            if (GetMenuState(sub, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE) return true;
        return false;
    };
    for (const Case& c : cases) {
        mf_->menu->SetBiDiMode(c.rightToLeft ? bdRightToLeft : bdLeftToRight);
        test::PumpMessages(0);
        int opened = -2, moved = -2;
        MenuScript script;
        script
            .Then([&] {
                return !OpenMenuWindows().empty() && TrackedMenuIndex() >= 0 && entrySelected();
            })
            .Then([&] {
                opened = TrackedMenuIndex();
                PostKey(h_, c.arrow);
                return true;
            })
            .Then([&] {
                return TrackedMenuIndex() >= 0 && TrackedMenuIndex() != opened &&
                       !OpenMenuWindows().empty();
            })
            .Then([&] {
                moved = TrackedMenuIndex();
                PostKey(h_, VK_ESCAPE);
                return true;
            })
            .Then([&] { return OpenMenuWindows().empty() && TrackedMenuIndex() == -1; });
        script.Start();
        if (c.key == VK_MENU) {
            SendMessageW(h_, WM_SYSKEYDOWN, VK_MENU, kAlt | 1);
            SendMessageW(h_, WM_SYSKEYUP, VK_MENU, kAlt | kUp | 1);
        } else if (c.key == VK_F10) {
            SendMessageW(h_, WM_SYSKEYDOWN, VK_F10, 1);
            SendMessageW(h_, WM_SYSKEYUP, VK_F10, kUp | 1);
        } else {
            SendMessageW(h_, WM_SYSCHAR, c.key, kAlt | 1);
        }
        EXPECT_TRUE(script.Run()) << c.what << ", steps done: " << script.StepsDone();
        EXPECT_EQ(opened, c.opened) << c.what;
        EXPECT_EQ(moved, c.movedTo) << c.what;
        test::PumpUntil([] { return TWinSkinForm::MenuHook() == nullptr; }, 500);
    }
    EXPECT_EQ(TWinSkinForm::MenuHook(), nullptr);
}

TEST_F(MenuBarTest, MouseOverAnotherItemSwitchesDropDowns) {
    TWinSkinForm* f = SkinMenuForm();
    ASSERT_NE(f, nullptr);
    int moved = -2;
    const POINT over = ScreenCentre(h_, Button(f, 2)->Bounds());
    MenuScript script;
    script.Then([&] { return !OpenMenuWindows().empty() && TrackedMenuIndex() == 0; })
        .Then([&] {
            // While a menu is tracked the mouse messages carry screen coordinates.
            PostMessageW(h_, WM_MOUSEMOVE, 0, MAKELPARAM(over.x, over.y));
            return true;
        })
        .Then([&] { return TrackedMenuIndex() == 2 && !OpenMenuWindows().empty(); })
        .Then([&] {
            moved = TrackedMenuIndex();
            PostKey(h_, VK_ESCAPE);
            return true;
        })
        .Then([&] { return OpenMenuWindows().empty() && TrackedMenuIndex() == -1; });
    script.Start();
    ClickButton(f, 0);
    EXPECT_TRUE(script.Run()) << "steps done: " << script.StepsDone();
    EXPECT_EQ(moved, 2);
}

TEST_F(MenuBarTest, ChosenCommandReachesOnClick) {
    TWinSkinForm* f = SkinMenuForm();
    ASSERT_NE(f, nullptr);
    MenuScript script;
    script.Then([&] { return (GetMenuState(mf_->file->Handle(), 0, MF_BYPOSITION) & MF_HILITE) != 0; })
        .Then([&] {
            PostKey(h_, VK_RETURN);
            return true;
        })
        .Then([&] { return OpenMenuWindows().empty(); });
    script.Start();
    SendMessageW(h_, WM_SYSCHAR, 'f', 1 << 29);
    EXPECT_TRUE(script.Run()) << "steps done: " << script.StepsDone();
    test::PumpUntil([&] { return mf_->newClicks > 0; }, 1000);
    EXPECT_EQ(mf_->newClicks, 1);
}

TEST_F(MenuBarTest, MenuChangesAreShownAndTheWindowKeepsNoMenu) {
    TWinSkinForm* f = SkinMenuForm();
    ASSERT_NE(f, nullptr);
    mf_->view->SetCaption("&Window");
    auto* help = new TMenuItem(mf_->form.get());
    help->SetCaption("&Help");
    mf_->menu->Items()->Add(help);
    test::PumpUntil([&] { return f->MenuBar() && f->MenuBar()->ItemCount() == 4; });
    EXPECT_EQ(GetMenu(h_), nullptr);
    ASSERT_EQ(f->MenuBar()->ItemCount(), 4);
    EXPECT_EQ(f->MenuBar()->Button(2)->Caption(), L"&Window");
    EXPECT_EQ(f->MenuBar()->Button(3)->Caption(), L"&Help");
    EXPECT_EQ(f->MenuBar()->Button(3)->MenuItem(), help);
    EXPECT_EQ(f->FindAccelButton('h'), f->MenuBar()->Button(3));
    EXPECT_EQ(f->FindAccelButton('v'), nullptr);
}

// The strip's pixels in the caption colour, repainted now (a bar showing no item has none).
int CaptionPixelsOfStrip(HWND h, TWinSkinForm* f, COLORREF text) {
    RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    test::WaitFlushed(h);
    RECT wr;
    GetWindowRect(h, &wr);
    const RECT b = f->Borders();
    const RECT strip{b.left + 2, b.top + 2, (wr.right - wr.left) - b.right - 2, b.top + f->MenuBarHeight() - 2};
    return CountNearOnScreen(h, strip, text, 48);
}

// Clicks at each point of the strip (screen coordinates) and tells whether a drop-down opened;
// one that did is closed at once.
bool AnyDropDownOpens(HWND h, const std::vector<POINT>& points) {
    bool opened = false;
    for (const POINT& p : points) {
        MenuScript script(1500);
        script.Then([&] {
            if (!OpenMenuWindows().empty()) {
                opened = true;
                EndMenu();
            }
            return true;
        });
        script.Start();
        SendMessageW(h, WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(p.x, p.y));
        script.Run();
        test::PumpMessages(0);
    }
    return opened;
}

// Items of the menu freed while the window is skinned: the bar shows none of them and a click
// where their buttons were opens nothing (the buttons named the freed items). With menu updates
// off the bar is not read again, and the freed items still leave it.
TEST_F(MenuBarTest, MenuEmptiedWhileSkinnedShowsAndOpensNothing) {
    struct Case {
        const char* what;
        bool menuUpdate;
        void (*empty)(MenuForm& m);
    } cases[] = {
        {"items deleted one by one", true,
         [](MenuForm& m) {
             delete m.file;
             delete m.edit;
             delete m.view;
         }},
        {"items cleared at once", true, [](MenuForm& m) { m.menu->Items()->Clear(); }},
        {"cleared with menu updates off", false, [](MenuForm& m) { m.menu->Items()->Clear(); }},
    };
    const COLORREF text = ColorToRGB(data_->MenuBarText);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        data_->SetMenuUpdate(c.menuUpdate);
        TWinSkinForm* f = SkinMenuForm();
        ASSERT_NE(f, nullptr);
        ASSERT_NE(f->MenuBar(), nullptr);
        ASSERT_EQ(f->MenuBar()->ItemCount(), 3);
        ASSERT_GT(CaptionPixelsOfStrip(h_, f, text), 3);
        std::vector<POINT> centres;
        for (int i = 0; i < 3; ++i) centres.push_back(ScreenCentre(h_, Button(f, i)->Bounds()));
        c.empty(*mf_);
        test::PumpMessages(0);
        if (c.menuUpdate) {
            EXPECT_EQ(f->MenuBar()->ItemCount(), 0);
        }
        for (int i = 0; i < f->MenuBar()->ItemCount(); ++i) EXPECT_EQ(Button(f, i)->MenuItem(), nullptr) << i;
        RECT wr;
        GetWindowRect(h_, &wr);
        for (const POINT& p : centres) EXPECT_EQ(f->MenuBar()->ItemAt(POINT{p.x - wr.left, p.y - wr.top}), nullptr);
        EXPECT_EQ(CaptionPixelsOfStrip(h_, f, text), 0);
        EXPECT_FALSE(AnyDropDownOpens(h_, centres));
        EXPECT_EQ(GetMenu(h_), nullptr);
        mf_->form.reset();
        mf_.reset();
        test::PumpMessages(0);
    }
    data_->SetMenuUpdate(true);
}

// Menu := nil empties the bar; the old menu, freed or kept, is not shown, cannot be opened and is
// not given back to the window when the skin goes.
TEST_F(MenuBarTest, MenuSetToNilLeavesAnEmptyBarAndNothingToGiveBack) {
    struct Case {
        const char* what;
        bool menuUpdate;
        bool freeOldMenu;
    } cases[] = {
        {"old menu freed", true, true},
        {"old menu kept", true, false},
        {"old menu freed, menu updates off", false, true},
    };
    const COLORREF text = ColorToRGB(data_->MenuBarText);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        data_->SetMenuUpdate(c.menuUpdate);
        manager_->SetSkinning(true);
        TWinSkinForm* f = SkinMenuForm();
        ASSERT_NE(f, nullptr);
        ASSERT_NE(f->MenuBar(), nullptr);
        std::vector<POINT> centres;
        for (int i = 0; i < 3; ++i) centres.push_back(ScreenCentre(h_, Button(f, i)->Bounds()));
        TMainMenu* old = mf_->menu;
        const HMENU oldHandle = old->Handle();
        mf_->form->SetMenu(nullptr);
        test::PumpMessages(0);
        if (c.freeOldMenu) {
            delete old;
            mf_->menu = nullptr;
        }
        test::PumpMessages(0);
        ASSERT_NE(f->MenuBar(), nullptr);
        RECT wr;
        GetWindowRect(h_, &wr);
        for (const POINT& p : centres) EXPECT_EQ(f->MenuBar()->ItemAt(POINT{p.x - wr.left, p.y - wr.top}), nullptr);
        EXPECT_EQ(CaptionPixelsOfStrip(h_, f, text), 0);
        EXPECT_FALSE(AnyDropDownOpens(h_, centres));
        RunAction(skaUnskinAll);
        EXPECT_EQ(GetMenu(h_), nullptr);
        if (!c.freeOldMenu) {
            EXPECT_TRUE(IsMenu(oldHandle));
        }
        mf_->form.reset();
        mf_.reset();
        test::PumpMessages(0);
    }
    data_->SetMenuUpdate(true);
}

} // namespace
