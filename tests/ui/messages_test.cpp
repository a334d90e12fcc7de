// Message crackers: every named field survives Pack and Crack (signed coordinates at the 16-bit
// limits included), and the crackers read what the system really sends.
#include "support/gui.h"
#include "ui/forms.h"

#include "ui/comctl32_calls.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace wl::test {
namespace {

bool Same(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

TEST(Crackers, RoundTripTheFieldsTheyName) {
    HMENU menu = reinterpret_cast<HMENU>(static_cast<uintptr_t>(0x1234));
    HWND wnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x5678));
    HDC dc = reinterpret_cast<HDC>(static_cast<uintptr_t>(0x9ABC));
    HRGN rgn = reinterpret_cast<HRGN>(static_cast<uintptr_t>(0x4321));
    const POINT points[] = {{0, 0}, {-1, -1}, {-32768, 32767}, {32767, -32768}, {1920, -40}};
    struct Case {
        const char* name;
        std::function<bool()> roundTrips;
    };
    std::vector<Case> cases;
    for (POINT p : points) {
        cases.push_back({"NCHitTest", [=] {
                             TMessage m = TWMNCHitTest::Pack(p);
                             return m.Msg == WM_NCHITTEST && Same(TWMNCHitTest(m).Pos, p);
                         }});
        cases.push_back({"NCMouse", [=] {
                             TWMNCMouse c(TWMNCMouse::Pack(WM_NCLBUTTONDBLCLK, HTCAPTION, p));
                             return c.Msg == WM_NCLBUTTONDBLCLK && c.HitTest == HTCAPTION && Same(c.Pos, p);
                         }});
        cases.push_back({"Mouse", [=] {
                             TWMMouse c(TWMMouse::Pack(WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, p));
                             return c.Msg == WM_MOUSEMOVE && c.Keys == (MK_LBUTTON | MK_SHIFT) && Same(c.Pos, p);
                         }});
    }
    cases.push_back({"NCPaint region", [=] {
                         TWMNCPaint c(TWMNCPaint::Pack(rgn));
                         return c.Region == rgn && !c.WholeWindow();
                     }});
    cases.push_back({"NCPaint whole", [=] {
                         return TWMNCPaint(TWMNCPaint::Pack(reinterpret_cast<HRGN>(1))).WholeWindow();
                     }});
    cases.push_back({"NCActivate", [=] {
                         TWMNCActivate on(TWMNCActivate::Pack(true, rgn));
                         TWMNCActivate off(TWMNCActivate::Pack(false, reinterpret_cast<HRGN>(-1)));
                         return on.Active && on.UpdateRegion == rgn && !on.SkipRepaint() && !off.Active &&
                                off.SkipRepaint();
                     }});
    cases.push_back({"NCCalcSize", [=] {
                         NCCALCSIZE_PARAMS params{};
                         params.rgrc[0] = {1, 2, 3, 4};
                         RECT r{5, 6, 7, 8};
                         TWMNCCalcSize a(TWMNCCalcSize::Pack(&params));
                         TWMNCCalcSize b(TWMNCCalcSize::Pack(&r));
                         return a.CalcValidRects && &a.Proposed() == &params.rgrc[0] && !b.CalcValidRects &&
                                &b.Proposed() == &r;
                     }});
    cases.push_back({"SetText", [=] {
                         const char* text = "abc";
                         return TWMSetText(TWMSetText::Pack(text)).Text == text;
                     }});
    cases.push_back({"WindowPos", [=] {
                         WINDOWPOS pos{};
                         pos.flags = SWP_NOMOVE;
                         TWMWindowPos c(TWMWindowPos::Pack(WM_WINDOWPOSCHANGING, &pos));
                         return c.Pos == &pos && c.Changing() && c.Sized() && !c.Moved();
                     }});
    cases.push_back({"CtlColor", [=] {
                         TWMCtlColor c(TWMCtlColor::Pack(WM_CTLCOLORSTATIC, dc, wnd));
                         return c.Msg == WM_CTLCOLORSTATIC && c.DC == dc && c.Child == wnd &&
                                TWMCtlColor::Is(WM_CTLCOLOREDIT) && !TWMCtlColor::Is(WM_PAINT);
                     }});
    cases.push_back({"SetCursor", [=] {
                         TWMSetCursor c(TWMSetCursor::Pack(wnd, HTERROR, WM_LBUTTONDOWN));
                         return c.Window == wnd && c.HitTest == HTERROR && c.MouseMsg == WM_LBUTTONDOWN;
                     }});
    cases.push_back({"DrawItem", [=] {
                         DRAWITEMSTRUCT item{};
                         item.CtlType = ODT_BUTTON;
                         item.CtlID = 77;
                         TWMDrawItem c(TWMDrawItem::Pack(&item));
                         return c.CtlId == 77 && c.Item == &item && !c.ForMenu();
                     }});
    cases.push_back({"MeasureItem menu", [=] {
                         MEASUREITEMSTRUCT item{};
                         item.CtlType = ODT_MENU;
                         item.CtlID = 5;
                         TWMMeasureItem c(TWMMeasureItem::Pack(&item));
                         return c.CtlId == 0 && c.Item == &item && c.ForMenu();
                     }});
    cases.push_back({"InitMenuPopup", [=] {
                         TWMInitMenuPopup a(TWMInitMenuPopup::Pack(menu, 3, true));
                         TWMInitMenuPopup b(TWMInitMenuPopup::Pack(menu, 65535, false));
                         return a.Menu == menu && a.Index == 3 && a.SystemMenu && b.Index == 65535 && !b.SystemMenu;
                     }});
    cases.push_back({"MenuSelect", [=] {
                         TWMMenuSelect a(TWMMenuSelect::Pack(40001, MF_POPUP | MF_HILITE, menu));
                         TWMMenuSelect closed(TWMMenuSelect::Pack(0, 0xFFFF, nullptr));
                         return a.Item == 40001 && a.Flags == (MF_POPUP | MF_HILITE) && a.Menu == menu && !a.Closed() &&
                                closed.Closed();
                     }});
    cases.push_back({"MenuLoop", [=] {
                         TWMMenuLoop a(TWMMenuLoop::Pack(WM_ENTERMENULOOP, true));
                         TWMMenuLoop b(TWMMenuLoop::Pack(WM_EXITMENULOOP, false));
                         return a.Entering() && a.TrackPopup && !b.Entering() && !b.TrackPopup;
                     }});
    for (int pos : {0, 1, -1, 32767, -32768}) {
        cases.push_back({"Scroll", [=] {
                             TWMScroll c(TWMScroll::Pack(WM_VSCROLL, SB_THUMBTRACK, pos, wnd));
                             return c.Vertical() && c.Code == SB_THUMBTRACK && c.Pos == pos && c.ScrollBar == wnd;
                         }});
    }
    cases.push_back({"Notify custom draw", [=] {
                         NMCUSTOMDRAW cd{};
                         cd.hdr.code = static_cast<UINT>(NM_CUSTOMDRAW);
                         cd.hdr.idFrom = 9;
                         NMHDR plain{};
                         plain.code = static_cast<UINT>(NM_CLICK);
                         TWMNotify a(TWMNotify::Pack(&cd.hdr));
                         TWMNotify b(TWMNotify::Pack(&plain));
                         return a.CtlId == 9 && a.CustomDraw() == &cd && b.CustomDraw() == nullptr &&
                                b.Code() == static_cast<UINT>(NM_CLICK);
                     }});
    for (const auto& c : cases) EXPECT_TRUE(c.roundTrips()) << c.name;
}

TEST(Crackers, NonClientPaintRegionInWindowCoordinates) {
    HWND w = CreateWindowExA(0, "STATIC", "", WS_POPUP, 120, 70, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    struct Case {
        const char* name;
        RECT screen; // the region the system passes, empty for "whole window"
        RECT expected;
    } cases[] = {
        {"whole window", {0, 0, 0, 0}, {0, 0, 200, 100}},
        {"caption strip", {120, 70, 320, 90}, {0, 0, 200, 20}},
        {"right border", {310, 80, 320, 170}, {190, 10, 200, 100}},
    };
    for (const auto& c : cases) {
        HRGN region = IsRectEmpty(&c.screen) ? reinterpret_cast<HRGN>(1) : CreateRectRgnIndirect(&c.screen);
        UniqueRegion clip = TWMNCPaint(TWMNCPaint::Pack(region)).WindowClip(w);
        RECT box{};
        GetRgnBox(clip.get(), &box);
        EXPECT_TRUE(EqualRect(&box, &c.expected)) << c.name << ": " << box.left << "," << box.top << " "
                                                  << box.right << "," << box.bottom;
        if (!IsRectEmpty(&c.screen)) DeleteObject(region);
    }
    DestroyWindow(w);
}

// The crackers applied to what the system sends to a form's WindowProc.
TEST(Crackers, ReadTheMessagesTheSystemSends) {
    Application->Initialize();
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(40, 40, 300, 200);
    HWND h = form->Handle();
    std::vector<std::string> log;
    HWND child = nullptr;
    HWND bar = nullptr;
    TWindowProcLayer layer = form->WindowProc.Add([&](TMessage& m, const TWindowProcChain::Previous& previous) {
        switch (m.Msg) {
        case WM_WINDOWPOSCHANGING: {
            TWMWindowPos c(m);
            if (c.Sized())
                log.push_back("changing " + std::to_string(c.Pos->x) + "," + std::to_string(c.Pos->y) + " " +
                              std::to_string(c.Pos->cx) + "x" + std::to_string(c.Pos->cy));
            break;
        }
        case WM_NCCALCSIZE: {
            TWMNCCalcSize c(m);
            RECT r = c.Proposed();
            if (c.CalcValidRects)
                log.push_back("calcsize " + std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top));
            break;
        }
        case WM_SETTEXT: log.push_back(std::string("settext ") + TWMSetText(m).Text); break;
        case WM_DRAWITEM: {
            TWMDrawItem c(m);
            if (c.Item->hwndItem == child) log.push_back("drawitem " + std::to_string(c.CtlId));
            break;
        }
        case WM_MEASUREITEM: log.push_back("measureitem " + std::to_string(TWMMeasureItem(m).CtlId)); break;
        case WM_NOTIFY: {
            TWMNotify c(m);
            if (NMCUSTOMDRAW* cd = c.CustomDraw(); cd && c.Header->hwndFrom == bar && c.CtlId == 79)
                log.push_back("customdraw " + std::to_string(cd->dwDrawStage));
            break;
        }
        case WM_HSCROLL: {
            TWMScroll c(m);
            if (c.ScrollBar == bar && !c.Vertical()) log.push_back("hscroll " + std::to_string(c.Code));
            break;
        }
        case WM_CTLCOLORSTATIC: {
            TWMCtlColor c(m);
            if (c.Child == child && GetObjectType(c.DC) != 0) log.push_back("ctlcolor");
            break;
        }
        default: break;
        }
        previous(m);
    });
    SetWindowPos(h, nullptr, 12, 34, 210, 150, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowTextA(h, "hello");
    child = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 40, 20, h,
                            reinterpret_cast<HMENU>(77), nullptr, nullptr);
    HWND list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | LBS_OWNERDRAWFIXED, 0, 30, 40, 40, h,
                                reinterpret_cast<HMENU>(78), nullptr, nullptr);
    ShowWindow(h, SW_SHOWNA);
    UpdateWindow(h);
    EXPECT_TRUE(WaitPainted(h));
    auto has = [&](const std::string& entry) { return std::find(log.begin(), log.end(), entry) != log.end(); };
    EXPECT_TRUE(has("changing 12,34 210x150"));
    EXPECT_TRUE(has("calcsize 210x150"));
    EXPECT_TRUE(has("settext hello"));
    EXPECT_TRUE(has("drawitem 77"));
    EXPECT_TRUE(has("measureitem 78"));
    // A track bar asks its parent about custom drawing and reports key moves as scrolling.
    InitCommonControlClasses(ICC_BAR_CLASSES);
    bar = CreateWindowExA(0, TRACKBAR_CLASSA, "", WS_CHILD | WS_VISIBLE, 60, 0, 120, 30, h,
                          reinterpret_cast<HMENU>(79), nullptr, nullptr);
    UpdateWindow(bar);
    SendMessageA(bar, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_TRUE(has("customdraw " + std::to_string(CDDS_PREPAINT)));
    EXPECT_TRUE(has("hscroll " + std::to_string(TB_LINEDOWN)));
    DestroyWindow(bar);
    DestroyWindow(list);
    DestroyWindow(child);
    child = CreateWindowExA(0, "STATIC", "s", WS_CHILD | WS_VISIBLE, 0, 0, 40, 20, h, nullptr, nullptr, nullptr);
    UpdateWindow(child);
    EXPECT_TRUE(has("ctlcolor"));
}

} // namespace
} // namespace wl::test
