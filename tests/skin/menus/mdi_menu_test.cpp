// The skinned menu bar of an MDI frame: the menu an MDI child merges in replaces the bar's items,
// and a maximized child's three buttons appear at the bar's right end and act on the child.
#include "forms_fixture.h"

#include "skin/forms/menu_bar.h"
#include "skin/draw/skin_draw.h"
#include "support/capture.h"
#include "support/gui.h"

namespace {

using namespace wl;
using namespace skinforms;

HWND g_mdiClient = nullptr;

LRESULT CALLBACK FrameProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefFrameProcA(h, g_mdiClient, msg, wParam, lParam);
}
LRESULT CALLBACK ChildProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefMDIChildProcA(h, msg, wParam, lParam);
}

HMENU MenuWith(const char* first, HMENU windowList) {
    HMENU bar = CreateMenu();
    HMENU sub = CreatePopupMenu();
    AppendMenuA(sub, MF_STRING, 201, "&Close");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), first);
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(windowList), "&Window");
    return bar;
}

TEST_F(SkinFormsTest, MdiFrameMenuBarMergesAndShowsChildButtons) {
    HMENU frameWindows = CreatePopupMenu(), childWindows = CreatePopupMenu();
    HMENU frameMenu = MenuWith("&File", frameWindows);
    HMENU childMenu = MenuWith("&Document", childWindows);
    WindowShape frameShape;
    frameShape.className = "WlMdiMenuFrame";
    frameShape.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE;
    frameShape.proc = FrameProc;
    frameShape.bounds = {40, 40, 560, 440};
    frameShape.menu = frameMenu;
    HWND frame = MakeWindow(frameShape);
    ASSERT_TRUE(frame);
    windows_.push_back(frame);
    CLIENTCREATESTRUCT ccs{frameWindows, 1000};
    g_mdiClient = CreateWindowExA(0, "MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 400, 300, frame, nullptr,
                                  GetModuleHandleA(nullptr), &ccs);
    ASSERT_TRUE(g_mdiClient);
    TWinSkinForm* f = Skin(frame);
    ASSERT_NE(f, nullptr);
    ASSERT_NE(f->MenuBar(), nullptr);
    EXPECT_EQ(f->FormKind(), fkMdiParent);
    ASSERT_EQ(f->MenuBar()->ItemCount(), 2);
    EXPECT_EQ(f->MenuBar()->Button(0)->Caption(), L"&File");

    WNDCLASSA wc{};
    wc.lpfnWndProc = ChildProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "WlMdiMenuChild";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&wc);
    MDICREATESTRUCTA mcs{};
    mcs.szClass = "WlMdiMenuChild";
    mcs.szTitle = "Child";
    mcs.hOwner = GetModuleHandleA(nullptr);
    mcs.x = mcs.y = 10;
    mcs.cx = 200;
    mcs.cy = 150;
    mcs.style = WS_MAXIMIZE;
    HWND child = reinterpret_cast<HWND>(SendMessageA(g_mdiClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
    ASSERT_TRUE(child);
    SendMessageA(g_mdiClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(childMenu),
                 reinterpret_cast<LPARAM>(childWindows));
    test::PumpUntil([&] { return f->MenuBar()->MenuHandle() == childMenu; });
    // The merged menu is the bar's now, and the frame shows no menu of its own.
    EXPECT_EQ(GetMenu(frame), nullptr);
    EXPECT_EQ(f->MenuBar()->MenuHandle(), childMenu);
    // Entries the system adds for the maximized child (its icon and buttons, without text) take
    // no room; the texts are the child's menu.
    std::vector<std::wstring> texts;
    int rightmost = 0;
    for (int i = 0; i < f->MenuBar()->ItemCount(); ++i) {
        TMenuBtn* b = f->MenuBar()->Button(i);
        if (b->Caption().empty()) {
            EXPECT_EQ(b->Bounds().right - b->Bounds().left, 0) << i;
            EXPECT_NE(f->MenuBar()->ItemAt(POINT{b->Bounds().left, b->Bounds().top}), b) << i;
            continue;
        }
        texts.push_back(b->Caption());
        rightmost = std::max<int>(rightmost, b->Bounds().right);
    }
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"&Document", L"&Window"}));

    // The maximized child's buttons sit in the menu-bar strip, at its right end.
    f->PaintFrame(nullptr);
    const RECT borders = f->Borders();
    RECT wr;
    GetWindowRect(frame, &wr);
    int shown = 0;
    const RECT* closeBounds = nullptr;
    for (const auto& b : f->Buttons()) {
        if (!b->SkinElement() || b->SkinElement()->Visibility != 100) continue;
        EXPECT_TRUE(b->Visible()) << b->SkinElement()->Action;
        if (!b->Visible()) continue;
        ++shown;
        const RECT& r = b->Bounds();
        EXPECT_GE(r.top, borders.top) << b->SkinElement()->Action;
        EXPECT_LE(r.bottom, borders.top + f->MenuBarHeight()) << b->SkinElement()->Action;
        EXPECT_GT(r.left, rightmost) << b->SkinElement()->Action;
        if (b->SkinElement()->Action == 9) closeBounds = &b->Bounds();
    }
    EXPECT_EQ(shown, 3);
    EXPECT_TRUE(manager_->MaximizedChildren);
    ASSERT_NE(closeBounds, nullptr);
    TWinSysButton* close = nullptr;
    for (const auto& b : f->Buttons())
        if (&b->Bounds() == closeBounds) close = b.get();
    ASSERT_NE(close, nullptr);
    // The button as it should look in a state: its cell over the menu bar's background.
    const RECT r = *closeBounds;
    const RECT strip = f->MenuBar()->Strip();
    auto expected = [&](int cell) {
        auto b = std::make_unique<TBitmap>(r.right - r.left, r.bottom - r.top, pf24bit);
        BitBlt(b->Canvas().Handle(), 0, 0, b->Width(), b->Height(), f->MenuBar()->Background().Canvas().Handle(),
               r.left - strip.left, r.top - strip.top, SRCCOPY);
        TDataSkinSysButton* e = close->SkinElement();
        DrawFrameStretched(b->Canvas().Handle(), RECT{0, 0, b->Width(), b->Height()},
                           TElementDraw{.Image = &e->Image, .Frames = std::max(1, e->Frame), .Index = cell,
                                        .Transparent = true});
        return b;
    };
    auto mismatches = [&](TBitmap& want) {
        const test::TCapture shot = test::TCapture::WindowDC(frame);
        int n = 0;
        for (int y = 0; y < want.Height(); ++y)
            for (int x = 0; x < want.Width(); ++x)
                n += shot.At(r.left + x, r.top + y) != static_cast<COLORREF>(want.Canvas().Pixel(x, y));
        return n;
    };
    SendMessageA(frame, WM_NCACTIVATE, TRUE, 0);
    auto normal = expected(1), hot = expected(4), pressed = expected(2);
    // The skin draws the three states differently, so the window can show which one it is in.
    auto differ = [](TBitmap& a, TBitmap& b) {
        int n = 0;
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x) n += a.Canvas().Pixel(x, y) != b.Canvas().Pixel(x, y);
        return n;
    };
    ASSERT_GT(differ(*normal, *hot), 0);
    ASSERT_GT(differ(*hot, *pressed), 0);
    EXPECT_EQ(mismatches(*normal), 0);
    const POINT p{wr.left + (r.left + r.right) / 2, wr.top + (r.top + r.bottom) / 2};
    SendMessageA(frame, WM_NCMOUSEMOVE, HTMENU, MAKELPARAM(p.x, p.y));
    EXPECT_EQ(close->ButtonState(), nbsHot);
    EXPECT_EQ(mismatches(*hot), 0);
    EXPECT_GT(mismatches(*normal), 0);
    // A click on the close button shows it pressed, then closes the child.
    SendMessageA(frame, WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(p.x, p.y));
    EXPECT_EQ(close->ButtonState(), nbsPressed);
    EXPECT_EQ(mismatches(*pressed), 0);
    EXPECT_GT(mismatches(*hot), 0);
    SendMessageA(frame, WM_NCLBUTTONUP, HTMENU, MAKELPARAM(p.x, p.y));
    test::PumpUntil([child] { return !IsWindow(child); }, 2000);
    EXPECT_FALSE(IsWindow(child));
}

} // namespace
