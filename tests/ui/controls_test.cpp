// Controls, forms and the application under Wine: the replaceable WindowProc, control messages,
// the window property that names the control, alignment and splitter dragging with real mouse
// messages, tab order with real keys, the default error handler, handle counts, and a picture of
// the gallery form.
#include "gallery_form.h"

#include "support/gdi_count.h"
#include "support/gui.h"
#include "support/leak_loop.h"
#include "support/msgbox_catcher.h"
#include "support/testdata.h"
#include "ui/clipbrd.h"
#include "ui/strconv.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace wl::test {
namespace {

class Controls : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Application->Initialize(); }

    std::unique_ptr<TGalleryForm> MakeGallery(bool show = true) {
        auto form = std::make_unique<TGalleryForm>(nullptr);
        form->ReadDefinitionText(GalleryText());
        if (show) {
            form->Show();
            EXPECT_TRUE(WaitPainted(form->Handle()));
        }
        return form;
    }
};

LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

TEST_F(Controls, WindowProcLayerSeesEveryMessageFirstAndCanBeRemoved) {
    auto form = MakeGallery();
    TButton* button = form->Button1;
    std::vector<UINT> seen;
    std::vector<std::string> textsSeen;
    TWindowProcLayer layer = button->WindowProc.Add([&](TMessage& m, const TWindowProcChain::Previous& previous) {
        seen.push_back(m.Msg);
        if (m.Msg == WM_SETTEXT) textsSeen.push_back(TWMSetText(m).Text);
        previous(m);
    });

    // Each action must reach the replaced WindowProc as these messages, in this order.
    struct Case {
        const char* what;
        std::function<void()> action;
        std::vector<UINT> expected;
    } cases[] = {
        {"window message", [&] { SendMessageA(button->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Go")); },
         {WM_SETTEXT}},
        {"caption", [&] { button->SetCaption("Again"); }, {WM_SETTEXT, CM_TEXTCHANGED}},
        {"disable", [&] { button->SetEnabled(false); }, {CM_ENABLEDCHANGED}},
        {"hide", [&] { button->SetVisible(false); }, {CM_VISIBLECHANGED}},
        {"font", [&] { button->Font().SetHeight(-15); }, {CM_FONTCHANGED, WM_SETFONT}},
        {"colour", [&] { button->SetColor(clRed); }, {CM_COLORCHANGED}},
        {"mouse in", [&] { SendMessageA(button->Handle(), WM_MOUSEMOVE, 0, Point(3, 3)); },
         {WM_MOUSEMOVE, CM_MOUSEENTER}},
        {"mouse out", [&] { SendMessageA(button->Handle(), WM_MOUSELEAVE, 0, 0); }, {WM_MOUSELEAVE, CM_MOUSELEAVE}},
        {"perform", [&] { button->Perform(CM_DIALOGKEY, VK_RETURN); }, {CM_DIALOGKEY}},
    };
    for (const auto& c : cases) {
        seen.clear();
        c.action();
        std::vector<UINT> got;
        for (UINT m : seen)
            if (std::find(c.expected.begin(), c.expected.end(), m) != c.expected.end()) got.push_back(m);
        // Only the first occurrence of each expected message counts for the order.
        std::vector<UINT> firsts;
        for (UINT m : got)
            if (std::find(firsts.begin(), firsts.end(), m) == firsts.end()) firsts.push_back(m);
        EXPECT_EQ(firsts, c.expected) << c.what;
    }
    // The saved procedure did its work: the window has the text.
    char text[32] = {};
    GetWindowTextA(button->Handle(), text, sizeof text);
    EXPECT_STREQ(text, "Again");
    EXPECT_EQ(textsSeen.front(), "Go");

    layer.Remove();
    seen.clear();
    button->SetCaption("Restored");
    SendMessageA(button->Handle(), WM_MOUSEMOVE, 0, Point(4, 4));
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(button->Caption(), "Restored");
}

LONG_PTR Style(TWinControl* c) { return GetWindowLongPtrA(c->Handle(), GWL_STYLE); }
LONG_PTR ExStyle(TWinControl* c) { return GetWindowLongPtrA(c->Handle(), GWL_EXSTYLE); }
std::string WindowText(TWinControl* c) {
    char buf[256] = {};
    GetWindowTextA(c->Handle(), buf, sizeof buf);
    return buf;
}

TEST_F(Controls, PublishedPropertiesWrittenByNameReachTheWindows) {
    auto form = MakeGallery();
    TGalleryForm* f = form.get();
    struct Case {
        TWinControl* control;
        const char* path;
        const char* value;
        std::function<bool()> windowAgrees;
    } cases[] = {
        {f->Edit1, "Text", "'typed'", [&] { return WindowText(f->Edit1) == "typed"; }},
        {f->Edit1, "ReadOnly", "True", [&] { return (Style(f->Edit1) & ES_READONLY) != 0; }},
        {f->Edit1, "MaxLength", "5", [&] { return SendMessageA(f->Edit1->Handle(), EM_GETLIMITTEXT, 0, 0) == 5; }},
        {f->Edit1, "Ctl3D", "True", [&] { return (ExStyle(f->Edit1) & WS_EX_CLIENTEDGE) != 0; }},
        // The system edit turns WS_BORDER into a flat one-pixel frame it draws itself.
        // Pixels are read from the screen, which Wine updates from the window's surface a little
        // later: wait for the new frame rather than read the first moment.
        {f->Edit1, "Ctl3D", "False", [&] {
             HWND e = f->Edit1->Handle();
             UpdateWindow(e);
             return !(ExStyle(f->Edit1) & WS_EX_CLIENTEDGE) && PumpUntil([&] {
                        return WindowPixel(e, 0, 10) != RGB(255, 255, 255) &&
                               WindowPixel(e, 1, 1) == RGB(255, 255, 255);
                    }, 1000);
         }},
        {f->Edit1, "Enabled", "False", [&] { return !IsWindowEnabled(f->Edit1->Handle()); }},
        {f->Edit1, "Visible", "False", [&] { return !IsWindowVisible(f->Edit1->Handle()); }},
        {f->Edit1, "Left", "30", [&] {
             RECT r;
             GetWindowRect(f->Edit1->Handle(), &r);
             MapWindowPoints(nullptr, f->Panel1->Handle(), reinterpret_cast<POINT*>(&r), 2);
             return r.left == 30;
         }},
        {f->Memo1, "ScrollBars", "ssBoth", [&] { return (Style(f->Memo1) & (WS_HSCROLL | WS_VSCROLL)) == (WS_HSCROLL | WS_VSCROLL); }},
        {f->Memo1, "WordWrap", "False", [&] { return (Style(f->Memo1) & ES_AUTOHSCROLL) != 0; }},
        {f->Memo1, "Lines.Strings", "('one' 'two')", [&] { return WindowText(f->Memo1) == "one\r\ntwo"; }},
        {f->Button1, "Caption", "'Go'", [&] { return WindowText(f->Button1) == "Go"; }},
        {f->Button1, "Default", "True", [&] { return (Style(f->Button1) & 0xF) == BS_DEFPUSHBUTTON; }},
        {f->Panel3, "BorderStyle", "bsSingle", [&] { return (Style(f->Panel3) & WS_BORDER) != 0; }},
        {f, "Caption", "'Renamed'", [&] { return WindowText(f) == "Renamed"; }},
        {f, "BorderIcons", "[biSystemMenu]", [&] { return (Style(f) & WS_SYSMENU) && !(Style(f) & WS_MINIMIZEBOX); }},
        {f, "ClientWidth", "500", [&] {
             RECT r;
             GetClientRect(f->Handle(), &r);
             return r.right == 500 && f->Panel1->Width() == 500;
         }},
    };
    for (const auto& c : cases) {
        std::string value = c.value;
        if (value.front() == '(') {
            SetStringListProperty(*c.control, c.path, {"one", "two"});
        } else {
            if (value.front() == '\'') value = value.substr(1, value.size() - 2);
            SetPropertyText(*c.control, c.path, value);
        }
        EXPECT_TRUE(c.windowAgrees()) << c.control->Name() << "." << c.path << " = " << c.value;
    }
    // Windows re-created for a style change keep the text typed into them.
    EXPECT_EQ(f->Edit1->Text(), "typed");
}

TEST_F(Controls, FocusMovesThroughEnterExitAndFocusChanged) {
    auto form = MakeGallery();
    std::vector<std::string> order;
    std::vector<TWindowProcLayer> layers;
    auto record = [&](TWinControl* c, const char* name) {
        layers.push_back(c->WindowProc.Add([name, &order](TMessage& m, const TWindowProcChain::Previous& previous) {
            if (m.Msg == CM_ENTER) order.push_back(std::string(name) + " enter");
            if (m.Msg == CM_EXIT) order.push_back(std::string(name) + " exit");
            if (m.Msg == CM_FOCUSCHANGED) order.push_back(std::string(name) + " focus changed");
            previous(m);
        }));
    };
    record(form->Edit1, "edit");
    record(form->Button1, "button");
    record(form.get(), "form");
    form->Edit1->SetFocus();
    order.clear();
    form->Button1->SetFocus();
    EXPECT_EQ(order, (std::vector<std::string>{"edit exit", "button enter", "form focus changed"}));
    EXPECT_EQ(form->ActiveControl(), form->Button1);
    EXPECT_NE(std::find(form->log.begin(), form->log.end(), "exit"), form->log.end());
}

TEST_F(Controls, EveryWindowCarriesItsControlUnderTheControlOfsProperty) {
    char name[64];
    std::snprintf(name, sizeof name, "ControlOfs%.8X%.8X",
                  static_cast<unsigned>(reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr))),
                  static_cast<unsigned>(GetCurrentThreadId()));
    ATOM atom = GlobalFindAtomA(name);
    ASSERT_NE(atom, 0) << name;
    auto form = MakeGallery();
    HWND memoWindow = form->Memo1->Handle();
    for (TWinControl* c : std::vector<TWinControl*>{form.get(), form->Panel1, form->Panel2, form->Memo1,
                                                     form->Edit1, form->Button1}) {
        EXPECT_EQ(GetPropA(c->Handle(), MAKEINTATOM(atom)), static_cast<TControl*>(c)) << c->Name();
        EXPECT_EQ(FindControl(c->Handle()), c);
    }
    // Re-creating a window moves the property to the new window.
    form->Memo1->SetWordWrap(false);
    EXPECT_FALSE(IsWindow(memoWindow));
    EXPECT_EQ(GetPropA(form->Memo1->Handle(), MAKEINTATOM(atom)), static_cast<TControl*>(form->Memo1));
    EXPECT_EQ(form->Memo1->Lines().Count(), 2); // the text came along
    HWND formWindow = form->Handle();
    form.reset();
    EXPECT_FALSE(IsWindow(formWindow));
}

TEST_F(Controls, AlignedPanelsAndSplitterDraggedWithTheMouse) {
    auto form = MakeGallery();
    RECT client = form->ClientRect();
    ASSERT_EQ(client.right, 420);
    ASSERT_EQ(client.bottom, 300);
    // Bottom panel at the bottom, splitter right above it, the client panel fills the rest.
    EXPECT_EQ(form->Panel2->BoundsRect().top, 200);
    EXPECT_EQ(form->Panel2->Height(), 100);
    EXPECT_EQ(form->Splitter1->Top(), 197);
    EXPECT_EQ(form->Panel1->Height(), 197);
    EXPECT_EQ(form->Panel1->Width(), 420);
    EXPECT_EQ(form->Splitter1->FindResizedControl(), form->Panel2);
    // The memo fills the panel inside its bevel.
    EXPECT_EQ(form->Memo1->BoundsRect().left, 1);
    EXPECT_EQ(form->Memo1->Width(), 418);

    HWND h = form->Handle();
    struct Drag {
        int fromY, toY;
        int panelHeight; // Panel2 afterwards
    } drags[] = {
        {198, 148, 150}, // up by 50
        {148, 248, 50},  // down by 100
        {248, 290, 30},  // below MinSize: held at 30
        {268, 2, 267},   // above the room left for the client panel (300 - 3 - 30)
    };
    int moved = 0;
    form->Splitter1->OnMoved = [&](TObject*) { ++moved; };
    for (const auto& d : drags) {
        int splitterY = form->Splitter1->Top() + 1;
        ASSERT_EQ(splitterY, d.fromY); // each drag starts where the previous one left it
        SendMessageA(h, WM_MOUSEMOVE, 0, Point(100, splitterY));
        SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, Point(100, splitterY));
        SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, Point(100, splitterY + (d.toY - d.fromY) / 2));
        SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, Point(100, splitterY + (d.toY - d.fromY)));
        SendMessageA(h, WM_LBUTTONUP, 0, Point(100, splitterY + (d.toY - d.fromY)));
        EXPECT_EQ(form->Panel2->Height(), d.panelHeight) << d.fromY << "->" << d.toY;
        EXPECT_EQ(form->Splitter1->Top(), 300 - d.panelHeight - 3);
        EXPECT_EQ(form->Panel1->Height(), 300 - d.panelHeight - 3);
        EXPECT_EQ(form->Memo1->Height(), d.panelHeight - 2);
        EXPECT_NE(GetCapture(), h);
    }
    EXPECT_EQ(moved, 4);
}

TEST_F(Controls, TabOrderAndTheTabKey) {
    auto form = MakeGallery();
    std::vector<TWinControl*> list;
    form->GetTabOrderList(list);
    std::vector<std::string> names;
    for (TWinControl* c : list) names.push_back(c->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"Panel1", "Button1", "Edit1", "Button2", "Panel3", "Panel2", "Memo1"}));

    // Real Tab keys through the message loop: disabled buttons and panels (no tab stop) are
    // skipped, Shift+Tab is not pressed, so it goes forward and wraps around.
    form->Button1->SetFocus();
    struct Step {
        TWinControl* expected;
    } steps[] = {{form->Edit1}, {form->Memo1}, {form->Button1}};
    for (const auto& s : steps) {
        HWND focus = GetFocus();
        ASSERT_NE(focus, nullptr);
        PostMessageA(focus, WM_KEYDOWN, VK_TAB, 0);
        PostMessageA(focus, WM_KEYUP, VK_TAB, 0xC0000001);
        Application->ProcessMessages();
        EXPECT_EQ(GetFocus(), s.expected->Handle()) << s.expected->Name();
    }
    // The edit had the focus when the form opened (ActiveControl) and lost it twice since.
    EXPECT_EQ(std::count(form->log.begin(), form->log.end(), "exit"), 2);

    form->Edit1->SetTabOrder(0);
    list.clear();
    form->Panel1->GetTabOrderList(list);
    EXPECT_EQ(list.front(), form->Edit1);
    EXPECT_EQ(form->Button1->TabOrder(), 1);
}

TEST_F(Controls, FreedWindowedControlLeavesItsParentsTabOrderAndTheActiveControl) {
    auto form = MakeGallery();
    form->Show();
    auto* extra = new TEdit(form.get());
    extra->SetParent(form->Panel1);
    extra->SetFocus();
    ASSERT_EQ(form->ActiveControl(), extra);
    delete extra;
    std::vector<TWinControl*> list;
    form->GetTabOrderList(list);
    EXPECT_EQ(std::count(list.begin(), list.end(), extra), 0);
    EXPECT_NE(form->ActiveControl(), extra);
    for (TWinControl* c : list) EXPECT_FALSE(c->Name().empty()); // every entry is still alive
}

TEST_F(Controls, KeyPressChangesOrSwallowsTheCharacter) {
    auto form = MakeGallery();
    form->Edit1->SetText("");
    form->Edit1->SetFocus();
    HWND edit = form->Edit1->Handle();
    for (char c : std::string("a!c")) {
        PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
        Application->ProcessMessages();
    }
    EXPECT_EQ(form->Edit1->Text(), "bc");
}

TEST_F(Controls, ExceptionFromAClickHandlerReachesTheDefaultErrorHandler) {
    auto form = MakeGallery();
    std::string oldTitle = Application->Title();
    Application->SetTitle("Gallery Title");
    MessageBoxCatcher catcher;
    SendMessageA(form->Button1->Handle(), BM_CLICK, 0, 0);
    form->buttonError = "Second failure";
    SendMessageA(form->Button1->Handle(), BM_CLICK, 0, 0);
    ASSERT_EQ(catcher.Boxes().size(), 2u);
    EXPECT_EQ(catcher.Boxes()[0].text, "Boom from the button");
    EXPECT_EQ(catcher.Boxes()[0].caption, "Gallery Title");
    EXPECT_EQ(catcher.Boxes()[1].text, "Second failure");
    // The program keeps running: the form still works.
    EXPECT_TRUE(IsWindow(form->Handle()));
    form->Edit1->SetText("still alive");
    EXPECT_EQ(form->Edit1->Text(), "still alive");
    Application->SetTitle(oldTitle);
}

TEST_F(Controls, MemoSelectAllAndCopyKeepTheSelection) {
    auto form = MakeGallery();
    form->Memo1->SelectAll();
    form->Memo1->CopyToClipboard();
    EXPECT_EQ(Clipboard().AsText(), form->Memo1->GetText());
    EXPECT_EQ(form->Memo1->SelLength(), static_cast<int>(AnsiToWide(form->Memo1->GetText()).size()));
}

TEST_F(Controls, ClosingHidesSecondaryFormsAndRunsOnShowEachTime) {
    auto form = MakeGallery();
    EXPECT_EQ(std::count(form->log.begin(), form->log.end(), "show"), 1);
    SendMessageA(form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    form->Show();
    form->Show(); // already visible: no second OnShow
    EXPECT_EQ(std::count(form->log.begin(), form->log.end(), "show"), 2);
    form->Timer1->SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return std::count(form->log.begin(), form->log.end(), "timer") >= 2; }));
}

TEST_F(Controls, HintsBecomeTooltipsOnlyWhileShown) {
    HWND tips = Application->HintWindow();
    ASSERT_NE(tips, nullptr);
    auto count = [&] { return SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0); };
    LRESULT none = count();
    auto form = MakeGallery();
    EXPECT_EQ(count(), none + 2); // the edit and the search button
    form->Edit1->SetShowHint(false);
    EXPECT_EQ(count(), none + 1);
    form->Edit1->SetShowHint(true);
    form->Button1->SetHint("");
    EXPECT_EQ(count(), none + 1);
    form->Label1->SetHint("On a label");
    form->Label1->SetShowHint(true); // windowless: a rectangle of its parent
    EXPECT_EQ(count(), none + 2);
    form.reset();
    EXPECT_EQ(count(), none);
}

TEST_F(Controls, RunShowsTheMainFormAndClosingItEndsTheLoop) {
    std::unique_ptr<TGalleryForm> form(Application->CreateForm<TGalleryForm>());
    ASSERT_EQ(Application->MainForm(), form.get());
    form->Timer1->OnTimer = [&](TObject*) {
        form->Timer1->SetEnabled(false);
        PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
    };
    form->Timer1->SetEnabled(true);
    Application->Run();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(FindWindowA("TApplication", nullptr), Application->Handle());
    EXPECT_EQ(GetWindow(form->Handle(), GW_OWNER), Application->Handle());
    EXPECT_EQ(form->log, (std::vector<std::string>{"create", "show"}));
    EXPECT_TRUE(IsWindowVisible(form->Handle())); // the main form is not hidden, the program ends
}

TEST_F(Controls, ApplicationWindowAnswersTheApplicationsIconUnlessOneIsSentToIt) {
    HWND app = Application->Handle();
    auto asked = [app](WPARAM which) { return reinterpret_cast<HICON>(SendMessageA(app, WM_GETICON, which, 0)); };
    HICON icon = CopyIcon(LoadIcon(nullptr, IDI_APPLICATION));
    Application->Icon().SetHandle(icon);
    Application->IconChanged();
    EXPECT_EQ(asked(ICON_BIG), icon);
    EXPECT_EQ(asked(ICON_SMALL2), icon);
    EXPECT_EQ(asked(ICON_SMALL), nullptr) << "no small icon was given";
    HICON sent = CopyIcon(LoadIcon(nullptr, IDI_WARNING));
    SendMessageA(app, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(sent));
    EXPECT_EQ(asked(ICON_BIG), sent);
    SendMessageA(app, WM_SETICON, ICON_BIG, 0);
    EXPECT_EQ(asked(ICON_BIG), icon);
    DestroyIcon(sent);
    Application->Icon().SetHandle(nullptr);
    Application->IconChanged();
    EXPECT_EQ(asked(ICON_BIG), nullptr);
}

TEST_F(Controls, CreatingAndFreeingFormsLeaksNoHandles) {
    // Every cycle creates the form with all its windows, shows and paints it and frees it; every
    // second one also re-creates a window, changes fonts and moves the mouse (tooltips) first.
    ExpectNoLeak([&](int i) {
        auto form = MakeGallery(false);
        form->Show();
        if (i % 2 == 0) {
            form->Edit1->SetFocus();
            form->Memo1->Font().SetHeight(-14);
            form->Panel3->SetBevelOuter(bvLowered);
            form->Memo1->SetScrollBars(ssBoth); // re-creates the memo's window
            SendMessageA(form->Button1->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
        }
        PaintNow(form->Handle());
        Application->ProcessMessages();
    });
    // The counters see a deliberate leak of each kind.
    const long gdi = LiveGdiObjects(), user = LiveUserObjects();
    HBRUSH leak = CreateSolidBrush(0);
    HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(LiveGdiObjects(), gdi + 1);
    EXPECT_EQ(LiveUserObjects(), user + 1);
    DestroyWindow(window);
    DeleteObject(leak);
}

TEST_F(Controls, GalleryScreenshotAndFormImage) {
    auto form = MakeGallery();
    form->Edit1->SetFocus();
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ASSERT_TRUE(WaitFlushed(form->Handle()));
    std::string path = ArtifactDir() + "/ui-gallery.bmp";
    ASSERT_TRUE(SaveWindowBitmap(form->Handle(), path));

    auto image = form->GetFormImage();
    ASSERT_EQ(image->Width(), 420);
    ASSERT_EQ(image->Height(), 300);
    // The splitter's colour, the lowered panel's face and the white edit are where they belong.
    TCanvas& c = image->Canvas();
    EXPECT_EQ(c.Pixel(200, 198), ColorToRGB(clActiveCaption));
    EXPECT_EQ(c.Pixel(150, 45), ColorToRGB(clWhite));
    EXPECT_EQ(c.Pixel(5, 200), ColorToRGB(clBtnShadow));     // lowered bevel: dark above
    EXPECT_EQ(c.Pixel(5, 299), ColorToRGB(clBtnHighlight));  // and light below
}

} // namespace
} // namespace wl::test
