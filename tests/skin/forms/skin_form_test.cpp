// The form skin object on real windows: attach and detach of plain dialogs, plain windows and
// form objects, what a window looks like before and after, the messages it answers while
// skinned, and dialog widening for wide captions.
#include "forms_fixture.h"

#include "support/capture.h"
#include "support/gui.h"
#include "ui/extctrls.h"
#include "ui/forms.h"
#include "ui/stdctrls.h"

#include <algorithm>

using namespace wl;
using namespace skinforms;

namespace {

// What detaching must give back exactly.
struct WindowFacts {
    LONG_PTR proc = 0;
    LONG_PTR captionBits = 0;
    HMENU menu = nullptr;
    SIZE client{0, 0};
    bool hasRegion = false;
};

WindowFacts FactsOf(HWND h) {
    WindowFacts f;
    f.proc = GetWindowLongPtrA(h, GWLP_WNDPROC);
    f.captionBits = GetWindowLongPtrA(h, GWL_STYLE) & (WS_CAPTION | WS_SYSMENU);
    f.menu = GetMenu(h);
    f.client = ClientSize(h);
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    f.hasRegion = GetWindowRgn(h, probe) != ERROR;
    DeleteObject(probe);
    return f;
}

void ExpectSameFacts(const WindowFacts& before, const WindowFacts& after, const char* what) {
    EXPECT_EQ(after.proc, before.proc) << what;
    EXPECT_EQ(after.captionBits, before.captionBits) << what;
    EXPECT_EQ(after.menu, before.menu) << what;
    EXPECT_EQ(after.client.cx, before.client.cx) << what;
    EXPECT_EQ(after.client.cy, before.client.cy) << what;
    EXPECT_FALSE(after.hasRegion) << what;
}

// Pixels of the lower right quarter of the client area (clear of the children these windows
// have) that show `colour`, read from what the window drew, and the quarter's size.
std::pair<int, int> ClientQuarterPixels(HWND h, COLORREF colour) {
    const test::TCapture shot = test::TCapture::WindowDC(h);
    RECT wr{};
    GetWindowRect(h, &wr);
    POINT origin{0, 0};
    ClientToScreen(h, &origin);
    const SIZE client = ClientSize(h);
    const int x0 = origin.x - wr.left, y0 = origin.y - wr.top;
    const RECT quarter{x0 + client.cx / 2, y0 + client.cy / 2, x0 + client.cx - 2,
                       y0 + client.cy - 2};
    return {shot.CountNear(quarter, colour),
            (quarter.right - quarter.left) * (quarter.bottom - quarter.top)};
}

} // namespace

// Plain windows of several kinds skinned and unskinned again through the manager's
// unskin-all action: while skinned they answer SKM_ISSKINNED, keep their client size and show
// the skin's face colour; after it they have everything back, their own background repainted.
TEST_F(SkinFormsTest, PlainWindowsAttachAndDetachExactly) {
    struct Case {
        const char* what;
        bool dialog;
        DWORD style;
        bool withMenu;
        bool frameSkinned;
        unsigned char borderKind;
    } cases[] = {
        {"dialog", true, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE, false, true, bkDialog},
        {"sizeable window", false, WS_OVERLAPPEDWINDOW | WS_VISIBLE, false, true, bkSizeable},
        {"fixed window", false, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, false, true, bkSingle},
        {"window without caption", false, WS_POPUP | WS_BORDER | WS_VISIBLE, false, true, bkNone},
        {"window with a menu", false, WS_OVERLAPPEDWINDOW | WS_VISIBLE, true, true, bkSizeable},
    };
    for (const Case& c : cases) {
        HWND h = nullptr;
        if (c.dialog) {
            DialogShape shape;
            shape.style = c.style;
            h = MakeDialog(shape);
        } else {
            WindowShape shape;
            shape.style = c.style;
            if (c.withMenu) {
                shape.menu = CreateMenu();
                AppendMenuA(shape.menu, MF_STRING, 1, "&File");
            }
            h = MakeWindow(shape);
        }
        ASSERT_TRUE(h) << c.what;
        windows_.push_back(h);
        test::PumpMessages(0);
        const WindowFacts before = FactsOf(h);
        EXPECT_NE(SendMessageA(h, SKM_ISSKINNED, 0, 0), 1) << c.what;

        TWinSkinForm* f = Skin(h);
        ASSERT_NE(f, nullptr) << c.what;
        EXPECT_EQ(f->State(), sfsRunning) << c.what;
        EXPECT_EQ(f->SkinFrame(), c.frameSkinned) << c.what;
        EXPECT_EQ(f->BorderKind(), c.borderKind) << c.what;
        EXPECT_EQ(f->IsDialog(), c.dialog) << c.what;
        EXPECT_EQ(SendMessageA(h, SKM_ISSKINNED, 0, 0), 1) << c.what;
        EXPECT_NE(GetWindowLongPtrA(h, GWLP_WNDPROC), before.proc) << c.what;
        const SIZE skinned = ClientSize(h);
        EXPECT_EQ(skinned.cx, before.client.cx) << c.what;
        EXPECT_EQ(skinned.cy, before.client.cy) << c.what;
        // The skinned menu bar stands in for the window's own.
        EXPECT_EQ(GetMenu(h), c.withMenu ? nullptr : before.menu) << c.what;
        const COLORREF skinFace = ColorToRGB(data_->ButtonFace),
                       ownFace = GetSysColor(COLOR_BTNFACE);
        ASSERT_NE(skinFace, ownFace);
        // Repainted while skinned (the skin paints the background of windows it does not know).
        RedrawWindow(h, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        EXPECT_TRUE(test::WaitPainted(h)) << c.what;
        const auto [facePixels, area] = ClientQuarterPixels(h, skinFace);
        EXPECT_EQ(facePixels, area) << c.what << ": the skin's face colour while skinned";

        RunAction(skaUnskinAll);
        EXPECT_TRUE(test::WaitPainted(h)) << c.what;
        EXPECT_EQ(ClientQuarterPixels(h, ownFace).first, area)
            << c.what << ": its own background again";
        EXPECT_TRUE(manager_->Forms().empty()) << c.what;
        EXPECT_FALSE(manager_->Skinning()) << c.what;
        EXPECT_NE(SendMessageA(h, SKM_ISSKINNED, 0, 0), 1) << c.what;
        ExpectSameFacts(before, FactsOf(h), c.what);
        manager_->SetSkinning(true);
        DestroyWindow(h);
        if (c.withMenu) {
            EXPECT_FALSE(IsMenu(before.menu)) << c.what; // the window took it down
        }
    }
}

// A form object: its WindowProc gets a layer, its colour becomes the skin's face colour, the
// form answers the paint query with the magic value; unskinning removes the layer and gives
// the colour and the frame back.
TEST_F(SkinFormsTest, FormObjectAttachAndDetach) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(80, 80, 320, 220);
    form->SetCaption("Form");
    form->SetColor(clWindow);
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    form->Show();
    test::PumpMessages(0);
    HWND h = form->Handle();
    const WindowFacts before = FactsOf(h);
    const int layers = form->WindowProc.LayerCount();
    const int components = form->ComponentCount();

    TWinSkinForm* f = Skin(h);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->Form(), form.get());
    // The manager owns the skin object; the form only holds the link that frees it with the form.
    EXPECT_EQ(f->Owner(), nullptr);
    EXPECT_EQ(form->ComponentCount(), components + 1);
    EXPECT_TRUE(f->FormHooked());
    EXPECT_EQ(form->WindowProc.LayerCount(), layers + 1);
    EXPECT_EQ(form->Color(), data_->ButtonFace);
    EXPECT_EQ(SendMessageA(h, SKM_PAINTQUERY, 0, SKM_MAGIC), SKM_MAGIC);
    EXPECT_EQ(SendMessageA(h, SKM_PAINTQUERY, 0, 0), 1);
    // The library now measures the form's frame as the skin draws it.
    const RECT borders = f->Borders();
    const RECT insets = form->FrameInsets();
    EXPECT_EQ(insets.left, borders.left);
    EXPECT_EQ(insets.top, borders.top + f->MenuBarHeight());
    EXPECT_EQ(insets.right, borders.right);
    EXPECT_EQ(insets.bottom, borders.bottom);
    const SIZE skinned = ClientSize(h);
    EXPECT_EQ(skinned.cx, before.client.cx);
    EXPECT_EQ(skinned.cy, before.client.cy);
    // Client sizes set while skinned are kept through the skinned frame.
    form->SetClientSize(250, 150);
    EXPECT_EQ(ClientSize(h).cx, 250);
    EXPECT_EQ(ClientSize(h).cy, 150);
    form->SetClientSize(before.client.cx, before.client.cy);

    RunAction(skaUnskinAll);
    EXPECT_EQ(form->WindowProc.LayerCount(), layers);
    EXPECT_EQ(form->Color(), clWindow);
    ExpectSameFacts(before, FactsOf(h), "form");
    EXPECT_EQ(SendMessageA(h, SKM_PAINTQUERY, 0, SKM_MAGIC), 0);
    // The link to the skin object is gone from the form's components.
    EXPECT_EQ(form->ComponentCount(), components);
}

// Before the start message a skinned window paints no frame and refuses to activate its
// caption; messages of the engine are answered from the first moment.
TEST_F(SkinFormsTest, MessagesBeforeAndAfterStart) {
    HWND h = MakeDialog(DialogShape{});
    ASSERT_TRUE(h);
    windows_.push_back(h);
    test::PumpMessages(0);
    ASSERT_TRUE(manager_->SkinWindow(h)); // the start message waits in the queue
    TWinSkinForm* f = manager_->FindForm(h);
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(f->State(), sfsCreated);
    struct Case {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        LRESULT result;
    } before[] = {
        {WM_NCPAINT, 1, 0, 0},
        {WM_NCACTIVATE, TRUE, 0, 0},
        {0x00AE, 0, 0, 0},
        {SKM_ISSKINNED, 0, 0, 1},
    };
    for (const Case& c : before) EXPECT_EQ(SendMessageA(h, c.msg, c.wParam, c.lParam), c.result) << std::hex << c.msg;
    EXPECT_EQ(f->State(), sfsCreated);
    test::PumpUntil([f] { return f->State() == sfsRunning; });
    EXPECT_EQ(f->State(), sfsRunning);
    EXPECT_TRUE(f->HoverTimer() && f->HoverTimer()->Enabled());

    // A plain window's static and button children are drawn over the skin's face colour.
    HWND button = GetWindow(h, GW_CHILD);
    HDC dc = GetDC(h);
    SetBkMode(dc, OPAQUE);
    EXPECT_EQ(reinterpret_cast<HBRUSH>(SendMessageA(h, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                    reinterpret_cast<LPARAM>(button))),
              data_->FaceBrush.get());
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    SetBkMode(dc, OPAQUE);
    SendMessageA(h, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(button));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    ReleaseDC(h, dc);
    // The window menu's popup and any other popup tell the manager what kind opens next.
    SendMessageA(h, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSystemMenu(h, FALSE)), MAKELPARAM(0, 1));
    EXPECT_EQ(manager_->MenuKind, 2);
    HMENU other = CreatePopupMenu();
    SendMessageA(h, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(other), 0);
    EXPECT_EQ(manager_->MenuKind, 1);
    DestroyMenu(other);
}

// Dialogs whose caption does not fit are widened to the title's text shift + caption width +
// right clip, and their children move right by half the growth; narrow captions change nothing.
TEST_F(SkinFormsTest, DialogWidenedForWideCaption) {
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof ncm;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0));
    HFONT font = CreateFontIndirectA(&ncm.lfCaptionFont);
    struct Case {
        const char* what;
        std::string caption;
        short cx;
        bool widened;
    } cases[] = {
        {"wide caption", std::string(60, 'W'), 40, true},
        {"narrow caption", "Hi", 200, false},
    };
    for (const Case& c : cases) {
        DialogShape shape;
        shape.caption = c.caption;
        shape.cx = c.cx;
        shape.buttons = {{2, 2}, {2, 20}};
        HWND h = MakeDialog(shape);
        ASSERT_TRUE(h) << c.what;
        windows_.push_back(h);
        test::PumpMessages(0);
        std::vector<RECT> childBefore;
        for (HWND ch = GetWindow(h, GW_CHILD); ch; ch = GetWindow(ch, GW_HWNDNEXT)) {
            RECT r;
            GetWindowRect(ch, &r);
            MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&r), 2);
            childBefore.push_back(r);
        }
        const SIZE clientBefore = ClientSize(h);
        TWinSkinForm* f = Skin(h);
        ASSERT_NE(f, nullptr) << c.what;
        const RECT b = f->Borders();
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font);
        SIZE text{};
        GetTextExtentPoint32A(dc, c.caption.c_str(), static_cast<int>(c.caption.size()), &text);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        const int plain = clientBefore.cx + b.left + b.right;
        const int needed = data_->Title->LeftWidth + text.cx + data_->Title->RightWidth;
        RECT wr;
        GetWindowRect(h, &wr);
        const int move = c.widened ? (needed - plain) / 2 : 0;
        if (c.widened) {
            ASSERT_GT(needed, plain) << c.what;
            EXPECT_EQ(wr.right - wr.left, needed) << c.what;
        } else {
            ASSERT_LE(needed, plain) << c.what;
            EXPECT_EQ(wr.right - wr.left, plain) << c.what;
        }
        size_t i = 0;
        for (HWND ch = GetWindow(h, GW_CHILD); ch; ch = GetWindow(ch, GW_HWNDNEXT), ++i) {
            ASSERT_LT(i, childBefore.size());
            RECT r;
            GetWindowRect(ch, &r);
            MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&r), 2);
            EXPECT_EQ(r.left - childBefore[i].left, move) << c.what << " child " << i;
            EXPECT_EQ(r.top, childBefore[i].top) << c.what;
            EXPECT_EQ(r.right - r.left, childBefore[i].right - childBefore[i].left) << c.what;
        }
    }
    DeleteObject(font);
}

// ReleaseSkin at the window's destruction leaves the skin object in state 6 for the manager to
// free; a window destroyed while skinned never reaches the object again.
TEST_F(SkinFormsTest, WindowDestroyedWhileSkinned) {
    HWND h = MakeWindow(WindowShape{});
    ASSERT_TRUE(h);
    TWinSkinForm* f = Skin(h);
    ASSERT_NE(f, nullptr);
    DestroyWindow(h);
    EXPECT_EQ(f->State(), sfsDestroyed);
    EXPECT_FALSE(f->Subclassed());
    ASSERT_EQ(manager_->Forms().size(), 1u);
    manager_->PurgeForms();
    EXPECT_TRUE(manager_->Forms().empty());
    // A form object destroyed while skinned frees its skin object with its other components.
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(50, 50, 200, 120);
    form->Show();
    ASSERT_NE(Skin(form->Handle()), nullptr);
    form.reset();
    EXPECT_TRUE(manager_->Forms().empty());
}
