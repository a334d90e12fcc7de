// Menus under Wine: shortcut texts, menus read from form definitions and reflected in their
// HMENUs, writing them back, commands, owner-drawn items (sent messages and a real popup menu
// driven by a timer), merging, shortcuts, context menus and handle counts.
#include "menus_test_support.h"

#include "support/gui.h"
#include "support/leak_loop.h"
#include "support/testdata.h"
#include "ui/formfile.h"
#include "ui/imglist.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace wl::test {

// ---- the test form ------------------------------------------------------------------------------

WL_DEFINE_CLASS(TMenuTestForm, [](ClassBuilder<TMenuTestForm>& c) {
    c.Field("MainMenu1", &TMenuTestForm::MainMenu1);
    c.Field("PopupMenu1", &TMenuTestForm::PopupMenu1);
    c.Field("File1", &TMenuTestForm::File1);
    c.Field("Open1", &TMenuTestForm::Open1);
    c.Field("N1", &TMenuTestForm::N1);
    c.Field("Exit1", &TMenuTestForm::Exit1);
    c.Field("View1", &TMenuTestForm::View1);
    c.Field("Small1", &TMenuTestForm::Small1);
    c.Field("Large1", &TMenuTestForm::Large1);
    c.Field("Hidden1", &TMenuTestForm::Hidden1);
    c.Field("Wide1", &TMenuTestForm::Wide1);
    c.Field("Copy1", &TMenuTestForm::Copy1);
    c.Field("Paste1", &TMenuTestForm::Paste1);
    c.Field("Button1", &TMenuTestForm::Button1);
    c.Method("ItemClick", &TMenuTestForm::ItemClick);
    c.Method("PopupShown", &TMenuTestForm::PopupShown);
})

void TMenuTestForm::ItemClick(TObject* sender) { log.push_back("click " + static_cast<TComponent*>(sender)->Name()); }
void TMenuTestForm::PopupShown(TObject*) { log.push_back("popup"); }

const char* MenuFormText() {
    return "object MenuForm: TMenuTestForm\n"
           "  Caption = 'Menus'\n"
           "  ClientHeight = 150\n"
           "  ClientWidth = 260\n"
           "  Menu = MainMenu1\n"
           "  object Button1: TButton\n"
           "    Left = 8\n"
           "    Top = 8\n"
           "    PopupMenu = PopupMenu1\n"
           "  end\n"
           "  object MainMenu1: TMainMenu\n"
           "    object File1: TMenuItem\n"
           "      Caption = '&File'\n"
           "      object Open1: TMenuItem\n"
           "        Caption = '&Open...'\n"
           "        ShortCut = 16463\n"
           "        OnClick = ItemClick\n"
           "      end\n"
           "      object N1: TMenuItem\n"
           "        Caption = '-'\n"
           "      end\n"
           "      object Exit1: TMenuItem\n"
           "        Caption = 'E&xit'\n"
           "        Enabled = False\n"
           "        ShortCut = 32856\n"
           "        OnClick = ItemClick\n"
           "      end\n"
           "    end\n"
           "    object View1: TMenuItem\n"
           "      Caption = '&View'\n"
           "      GroupIndex = 2\n"
           "      OnClick = ItemClick\n"
           "      object Small1: TMenuItem\n"
           "        Caption = 'Small'\n"
           "        Checked = True\n"
           "        GroupIndex = 1\n"
           "        RadioItem = True\n"
           "      end\n"
           "      object Large1: TMenuItem\n"
           "        Caption = 'Large'\n"
           "        GroupIndex = 1\n"
           "        RadioItem = True\n"
           "      end\n"
           "      object Hidden1: TMenuItem\n"
           "        Caption = 'Hidden'\n"
           "        Visible = False\n"
           "      end\n"
           "      object Wide1: TMenuItem\n"
           "        Caption = 'Wide'\n"
           "        Break = mbBarBreak\n"
           "        Default = True\n"
           "        Hint = 'A wider view'\n"
           "      end\n"
           "    end\n"
           "  end\n"
           "  object PopupMenu1: TPopupMenu\n"
           "    OnPopup = PopupShown\n"
           "    object Copy1: TMenuItem\n"
           "      Caption = '&Copy'\n"
           "      ShortCut = 16451\n"
           "      OnClick = ItemClick\n"
           "    end\n"
           "    object Paste1: TMenuItem\n"
           "      Caption = '&Paste'\n"
           "      OnClick = ItemClick\n"
           "    end\n"
           "  end\n"
           "end\n";
}

std::unique_ptr<TMenuTestForm> MakeMenuForm(const std::string& text) {
    auto form = std::make_unique<TMenuTestForm>(nullptr);
    form->ReadDefinitionText(text);
    return form;
}

void When(std::function<bool()> ready, std::function<void()> action) {
    static std::function<bool()> pendingReady;
    static std::function<void()> pending;
    static UINT_PTR id = 0;
    if (id) KillTimer(nullptr, id);
    pendingReady = std::move(ready);
    pending = std::move(action);
    // The shortest period a thread timer keeps to.
    id = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, [](HWND, UINT, UINT_PTR, DWORD) {
        if (!pendingReady || !pendingReady()) return;
        KillTimer(nullptr, id);
        id = 0;
        auto run = std::move(pending);
        pending = nullptr;
        pendingReady = nullptr;
        if (run) run();
    });
}

bool MenuShown() {
    HWND menu = FindWindowA("#32768", nullptr);
    // A deadline of 0 checks once without pumping: this runs inside the menu's own loop.
    return menu && WaitFlushed(menu, 0);
}

namespace {
TCustomForm* g_watchedForm = nullptr;
}

Watchdog::Watchdog(TCustomForm* form, UINT ms) {
    g_watchedForm = form;
    id_ = SetTimer(nullptr, 0, ms, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        EndMenu();
        if (g_watchedForm) {
            g_watchedForm->SetModalResult(kWatchdogResult);
            PostMessageA(g_watchedForm->Handle(), WM_NULL, 0, 0);
        }
    });
}

Watchdog::~Watchdog() {
    KillTimer(nullptr, id_);
    g_watchedForm = nullptr;
}

namespace {

class Menus : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Application->Initialize(); }
};

// ---- pure helpers ------------------------------------------------------------------------------

TEST(ShortCuts, TextAndShortCutConvertBothWays) {
    struct Case {
        TShortCut shortCut;
        const char* text;
    } cases[] = {
        {MakeShortCut('C', ssCtrl), "Ctrl+C"},
        {MakeShortCut(VK_F5, ssShift | ssCtrl), "Shift+Ctrl+F5"},
        {MakeShortCut(VK_BACK, ssAlt), "Alt+BkSp"},
        {MakeShortCut(VK_DELETE, 0), "Del"},
        {MakeShortCut(VK_F12, ssShift | ssCtrl | ssAlt), "Shift+Ctrl+Alt+F12"},
        {MakeShortCut('7', ssCtrl), "Ctrl+7"},
        {MakeShortCut(VK_RETURN, ssCtrl), "Ctrl+Enter"},
        {MakeShortCut(VK_PRIOR, 0), "PgUp"},
        {MakeShortCut(VK_F24, 0), "F24"},
        {16451, "Ctrl+C"}, // as form files store it
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShortCutToText(c.shortCut), c.text);
        EXPECT_EQ(TextToShortCut(c.text), c.shortCut) << c.text;
    }
}

TEST(ShortCuts, ReadingIsLenientAboutCaseAndOrderAndRejectsNonsense) {
    struct Case {
        const char* text;
        TShortCut expected;
    } cases[] = {
        {"ctrl+shift+a", MakeShortCut('A', ssCtrl | ssShift)},
        {"ALT+f4", MakeShortCut(VK_F4, ssAlt)},
        {"del", VK_DELETE},
        {"", 0},
        {"Ctrl+", 0},
        {"Ctrl+Nope", 0},
        {"F25", 0},
        {"F0", 0},
        {"F1x", 0},
        {"Hyper+C", 0},
        {"CC", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(TextToShortCut(c.text), c.expected) << c.text;
    EXPECT_EQ(ShortCutToText(0), "");
    EXPECT_EQ(ShortCutToText(VK_LWIN), ""); // a key without a name
}

TEST(ShortCuts, HotkeysOfCaptions) {
    struct Case {
        const char* caption;
        char hotkey;
        const char* stripped;
    } cases[] = {
        {"&File", 'F', "File"},      {"E&xit", 'X', "Exit"},  {"Save && Close", 0, "Save & Close"},
        {"&&Tom && &Jerry", 'J', "&Tom & Jerry"}, {"Plain", 0, "Plain"}, {"End&", 0, "End"},
        {"N&o to All", 'O', "No to All"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetHotkey(c.caption), c.hotkey) << c.caption;
        EXPECT_EQ(StripHotkey(c.caption), c.stripped) << c.caption;
    }
}

// ---- structure -----------------------------------------------------------------------------------

struct Entry {
    std::string text;
    UINT type = 0;
    UINT state = 0;
    HMENU submenu = nullptr;
    UINT id = 0;
    ULONG_PTR data = 0;
};

Entry ReadEntry(HMENU menu, UINT pos) {
    char buffer[128] = {};
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_STRING;
    info.dwTypeData = buffer;
    info.cch = sizeof buffer - 1;
    Entry e;
    if (!GetMenuItemInfoA(menu, pos, TRUE, &info)) return e;
    e.text = buffer;
    e.type = info.fType;
    e.state = info.fState;
    e.submenu = info.hSubMenu;
    e.id = info.wID;
    e.data = info.dwItemData;
    return e;
}

TEST_F(Menus, DefinitionBecomesTheWindowsMenuWithEveryItemReflected) {
    auto form = MakeMenuForm(MenuFormText());
    ASSERT_EQ(form->Menu(), form->MainMenu1);
    ASSERT_EQ(form->Button1->PopupMenu(), form->PopupMenu1);
    HMENU bar = GetMenu(form->Handle());
    ASSERT_EQ(bar, form->MainMenu1->Handle());
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    HMENU file = GetSubMenu(bar, 0), view = GetSubMenu(bar, 1);
    EXPECT_EQ(file, form->File1->Handle());
    EXPECT_EQ(view, form->View1->Handle());
    ASSERT_EQ(GetMenuItemCount(view), 3) << "the invisible item has no entry";

    struct Case {
        HMENU menu;
        UINT pos;
        TMenuItem* item;
        const char* text;
        UINT typeBits;   // must be set
        UINT noTypeBits; // must be clear
        UINT state;
    } cases[] = {
        {bar, 0, form->File1, "&File", 0, MFT_OWNERDRAW | MFT_SEPARATOR, 0},
        {file, 0, form->Open1, "&Open...\tCtrl+O", 0, MFT_SEPARATOR | MFT_RADIOCHECK, 0},
        {file, 1, form->N1, "", MFT_SEPARATOR, 0, 0},
        {file, 2, form->Exit1, "E&xit\tAlt+X", 0, MFT_SEPARATOR, MFS_GRAYED},
        {view, 0, form->Small1, "Small", MFT_RADIOCHECK, MFT_MENUBARBREAK, MFS_CHECKED},
        {view, 1, form->Large1, "Large", MFT_RADIOCHECK, 0, 0},
        {view, 2, form->Wide1, "Wide", MFT_MENUBARBREAK, MFT_RADIOCHECK | MFT_MENUBREAK, MFS_DEFAULT},
    };
    for (const Case& c : cases) {
        Entry e = ReadEntry(c.menu, c.pos);
        SCOPED_TRACE(c.item->Name());
        EXPECT_EQ(e.text, c.text);
        EXPECT_EQ(e.type & c.typeBits, c.typeBits);
        EXPECT_EQ(e.type & c.noTypeBits, 0u);
        EXPECT_EQ(e.state & (MFS_GRAYED | MFS_CHECKED | MFS_DEFAULT), c.state);
        EXPECT_EQ(e.id, c.item->Command());
        EXPECT_EQ(e.data, reinterpret_cast<ULONG_PTR>(c.item));
        EXPECT_EQ(FindMenuItemByCommand(e.id), c.item);
        EXPECT_EQ(form->MainMenu1->FindItem(e.id, fkCommand), c.item);
    }
    EXPECT_EQ(FindMenuItemByHandle(file), form->File1);
    EXPECT_EQ(form->MainMenu1->FindItem(reinterpret_cast<UINT_PTR>(view), fkHandle), form->View1);
    EXPECT_EQ(form->File1->Find("open..."), form->Open1);
    EXPECT_EQ(form->Open1->Parent(), form->File1);
    EXPECT_EQ(form->Exit1->MenuIndex(), 2);
    EXPECT_EQ(form->Copy1->GetParentMenu(), form->PopupMenu1);
}

TEST_F(Menus, AMenuBarKeepsTheClientSizeTheDefinitionAsked) {
    auto form = MakeMenuForm(MenuFormText()); // ClientWidth 260, ClientHeight 150, a menu bar
    EXPECT_EQ(form->ClientHeight(), 150);
    form->Show();
    RECT client;
    GetClientRect(form->Handle(), &client);
    EXPECT_EQ(client.right, 260);
    EXPECT_EQ(client.bottom, 150);
    // Taking the menu away on a live window gives its strip back to the frame, not the client.
    form->SetMenu(nullptr);
    GetClientRect(form->Handle(), &client);
    EXPECT_EQ(client.bottom, 150);
    EXPECT_EQ(GetMenu(form->Handle()), nullptr);
}

TEST_F(Menus, WrittenDefinitionReadsBackToTheSameMenusAndText) {
    auto form = MakeMenuForm(MenuFormText());
    // An item inserted in front in code is written in menu order, not creation order.
    auto* first = new TMenuItem(form.get());
    first->SetName("New1");
    first->SetCaption("&New");
    form->File1->Insert(0, first);
    // A glyph travels as the binary property "Bitmap".
    form->Paste1->Bitmap().SetSize(4, 3);
    form->Paste1->Bitmap().Canvas().SetPixel(1, 1, clRed);

    std::string text = WriteComponentText(*form);
    EXPECT_NE(text.find("Menu = MainMenu1"), std::string::npos) << text;
    EXPECT_NE(text.find("PopupMenu = PopupMenu1"), std::string::npos) << text;
    EXPECT_NE(text.find("Bitmap = {"), std::string::npos) << text;
    EXPECT_LT(text.find("object New1"), text.find("object Open1")) << text;

    auto again = MakeMenuForm(text);
    EXPECT_EQ(WriteComponentText(*again), text);
    ASSERT_EQ(again->Menu(), again->MainMenu1);
    ASSERT_EQ(again->File1->Count(), 4);
    EXPECT_EQ(again->File1->Items(0)->Caption(), "&New");
    EXPECT_EQ(again->Open1->ShortCut(), MakeShortCut('O', ssCtrl));
    EXPECT_TRUE(again->Small1->Checked());
    EXPECT_FALSE(again->Hidden1->Visible());
    EXPECT_EQ(again->Wide1->Break(), mbBarBreak);
    ASSERT_TRUE(again->Paste1->HasBitmap());
    EXPECT_EQ(again->Paste1->Bitmap().Canvas().Pixel(1, 1), ColorToRGB(clRed));
    EXPECT_EQ(again->Button1->PopupMenu(), again->PopupMenu1);
}

TEST_F(Menus, BadReferencesAndMisplacedItemsAreErrorsNamingTheLine) {
    struct Case {
        const char* what;
        std::string text;
        const char* expected;
    } cases[] = {
        {"unknown menu", "object F: TMenuTestForm\n Menu = Nothing1\nend\n", "line 2"},
        {"menu of the wrong class",
         "object F: TMenuTestForm\n Menu = PopupMenu1\n object PopupMenu1: TPopupMenu\n end\nend\n", "Menu"},
        {"popup of the wrong class",
         "object F: TMenuTestForm\n object Button1: TButton\n  PopupMenu = Button1\n end\nend\n", "line 3"},
        {"item outside a menu", "object F: TMenuTestForm\n object X1: TMenuItem\n end\nend\n", "line 2"},
        {"shortcut out of range",
         "object F: TMenuTestForm\n object M: TMainMenu\n  object A1: TMenuItem\n   ShortCut = 70000\n  end\n "
         "end\nend\n",
         "ShortCut"},
    };
    for (const Case& c : cases) {
        auto form = std::make_unique<TMenuTestForm>(nullptr);
        try {
            form->ReadDefinitionText(c.text);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const EFormError& e) {
            EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << c.what << ": " << e.what();
        }
    }
}

TEST_F(Menus, ReferencesToComponentsDefinedLaterAreResolved) {
    // The menu is defined after the form names it, and the popup after the button.
    auto form = MakeMenuForm(MenuFormText());
    EXPECT_EQ(form->MenuName(), "MainMenu1");
    EXPECT_EQ(GetPropertyText(*form->Button1, "PopupMenu"), "PopupMenu1");
    // Freeing a referenced component clears the reference.
    delete form->PopupMenu1;
    EXPECT_EQ(form->Button1->PopupMenu(), nullptr);
    delete form->MainMenu1;
    EXPECT_EQ(form->Menu(), nullptr);
    EXPECT_EQ(GetMenu(form->Handle()), nullptr);
}

// ---- changes ---------------------------------------------------------------------------------------

TEST_F(Menus, ChangesRebuildTheEntriesKeepTheHandleAndTellTheForm) {
    auto form = MakeMenuForm(MenuFormText());
    HWND hwnd = form->Handle();
    HMENU file = form->File1->Handle();
    int changes = 0;
    TWindowProcLayer counter = form->WindowProc.Add([&](TMessage& m, const TWindowProcChain::Previous& previous) {
        if (m.Msg == CM_MENUCHANGED) ++changes;
        previous(m);
    });
    struct Case {
        const char* what;
        std::function<void()> change;
        std::function<bool()> check;
    } cases[] = {
        {"caption", [&] { form->Open1->SetCaption("&Load"); },
         [&] { return ReadEntry(file, 0).text == "&Load\tCtrl+O"; }},
        {"enable", [&] { form->Exit1->SetEnabled(true); },
         [&] { return (ReadEntry(file, 2).state & MFS_GRAYED) == 0; }},
        {"radio", [&] { form->Large1->SetChecked(true); },
         [&] { return !form->Small1->Checked() && (ReadEntry(form->View1->Handle(), 0).state & MFS_CHECKED) == 0 &&
                      (ReadEntry(form->View1->Handle(), 1).state & MFS_CHECKED) != 0; }},
        {"show", [&] { form->Hidden1->SetVisible(true); },
         [&] { return GetMenuItemCount(form->View1->Handle()) == 4; }},
        {"insert", [&] {
             auto* item = new TMenuItem(form.get());
             item->SetCaption("First");
             form->File1->Insert(0, item);
         },
         [&] { return GetMenuItemCount(file) == 4 && ReadEntry(file, 0).text == "First"; }},
        {"delete", [&] { form->File1->Delete(0); }, [&] { return GetMenuItemCount(file) == 3; }},
        {"top level", [&] { form->View1->SetCaption("&Look"); },
         [&] { return ReadEntry(GetMenu(hwnd), 1).text == "&Look"; }},
        {"submenu appears", [&] {
             auto* item = new TMenuItem(form.get());
             item->SetCaption("Deeper");
             form->Large1->Add(item);
         },
         [&] { return GetSubMenu(form->View1->Handle(), 1) == form->Large1->Handle(); }},
    };
    for (const Case& c : cases) {
        int before = changes;
        c.change();
        EXPECT_TRUE(c.check()) << c.what;
        EXPECT_GT(changes, before) << c.what;
        EXPECT_EQ(form->File1->Handle(), file) << c.what;
        EXPECT_EQ(GetMenu(hwnd), form->MainMenu1->Handle()) << c.what;
    }
}

TEST_F(Menus, TreeOperationsRejectWhatWouldBreakTheTree) {
    auto form = MakeMenuForm(MenuFormText());
    struct Case {
        const char* what;
        std::function<void()> action;
    } cases[] = {
        {"item already in a menu", [&] { form->View1->Add(form->Open1); }},
        {"item inside itself", [&] {
             form->File1->Remove(form->Open1);
             form->Open1->Add(form->File1);
         }},
        {"index past the end", [&] { form->File1->Insert(9, new TMenuItem(form.get())); }},
        {"delete out of range", [&] { form->View1->Delete(-1); }},
        {"remove a stranger", [&] { form->View1->Remove(form->Copy1); }},
    };
    for (const Case& c : cases) EXPECT_THROW(c.action(), EMenuError) << c.what;
    EXPECT_EQ(form->View1->Count(), 4);
}

// ---- messages --------------------------------------------------------------------------------------

TEST_F(Menus, CommandsReachTheirItemsOnlyThroughTheirWindows) {
    auto form = MakeMenuForm(MenuFormText());
    HWND hwnd = form->Handle();
    struct Case {
        HWND window;
        TMenuItem* item;
        std::vector<std::string> expected;
    } cases[] = {
        {hwnd, form->Open1, {"click Open1"}},
        {hwnd, form->Exit1, {}},                       // disabled
        {hwnd, form->Copy1, {}},                       // a popup item is not the form's
        {PopupListWindow(), form->Copy1, {"click Copy1"}},
        {PopupListWindow(), form->Open1, {}},          // a main-menu item is not the popups'
    };
    for (const Case& c : cases) {
        form->log.clear();
        SendMessageA(c.window, WM_COMMAND, c.item->Command(), 0);
        EXPECT_EQ(form->log, c.expected) << c.item->Name();
    }
    // A control's notification with the same number is left to the control.
    form->log.clear();
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(form->Open1->Command(), BN_CLICKED),
                 reinterpret_cast<LPARAM>(form->Button1->Handle()));
    EXPECT_TRUE(form->log.empty());
}

TEST_F(Menus, SubmenuOpeningAndSelectionFindTheirItems) {
    auto form = MakeMenuForm(MenuFormText());
    HWND hwnd = form->Handle();
    HMENU bar = GetMenu(hwnd);
    SendMessageA(hwnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(form->View1->Handle()), 1);
    EXPECT_EQ(form->log, (std::vector<std::string>{"click View1"}));

    SendMessageA(hwnd, WM_MENUSELECT, MAKEWPARAM(form->Open1->Command(), MF_STRING),
                 reinterpret_cast<LPARAM>(form->File1->Handle()));
    EXPECT_EQ(SelectedMenuItem(), form->Open1);
    SendMessageA(hwnd, WM_MENUSELECT, MAKEWPARAM(1, MF_POPUP), reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(SelectedMenuItem(), form->View1);
    EXPECT_EQ(SelectedMenuItem()->Hint(), "");
    SendMessageA(hwnd, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(SelectedMenuItem(), nullptr);
}

TEST_F(Menus, ShortCutsRunEnabledItemsOfTheFormsMenus) {
    auto form = MakeMenuForm(MenuFormText());
    struct Case {
        WORD key;
        TShiftState shift;
        bool handled;
        const char* logged;
    } cases[] = {
        {'O', ssCtrl, true, "click Open1"},
        {'C', ssCtrl, true, "click Copy1"}, // popup menus of the form count too
        {'X', ssAlt, false, nullptr},       // Exit1 is disabled
        {'O', ssCtrl | ssShift, false, nullptr},
        {'Q', ssCtrl, false, nullptr},
    };
    for (const Case& c : cases) {
        form->log.clear();
        EXPECT_EQ(form->IsShortCut(c.key, c.shift), c.handled) << ShortCutToText(MakeShortCut(c.key, c.shift));
        EXPECT_EQ(form->log, c.logged ? std::vector<std::string>{c.logged} : std::vector<std::string>{});
    }
}

// ---- owner draw ------------------------------------------------------------------------------------

TEST_F(Menus, OwnerDrawSwitchesEntriesAndMessagesReachTheRightItem) {
    auto form = MakeMenuForm(MenuFormText());
    HWND hwnd = form->Handle();
    HMENU file = form->File1->Handle();
    EXPECT_EQ(ReadEntry(file, 0).type & MFT_OWNERDRAW, 0u);
    form->MainMenu1->SetOwnerDraw(true);
    for (UINT i = 0; i < 3; ++i) EXPECT_NE(ReadEntry(file, i).type & MFT_OWNERDRAW, 0u) << i;

    std::vector<std::string> calls;
    form->Open1->OnMeasureItem = [&](TObject* s, TCanvas* canvas, int& w, int& h) {
        calls.push_back("measure " + static_cast<TComponent*>(s)->Name() + " " + std::to_string(w > 0) +
                        std::to_string(canvas->HandleAllocated()));
        w = 123;
        h = 17;
    };
    form->Open1->OnDrawItem = [&](TObject* s, TCanvas*, RECT r, bool selected) {
        calls.push_back("draw " + static_cast<TComponent*>(s)->Name() + " " + std::to_string(r.right) + " " +
                        std::to_string(selected));
    };
    form->Exit1->OnAdvancedDrawItem = [&](TObject* s, TCanvas*, RECT, TOwnerDrawState state) {
        calls.push_back("advanced " + static_cast<TComponent*>(s)->Name() + " " + std::to_string(state));
    };

    MEASUREITEMSTRUCT mis{ODT_MENU, 0, form->Open1->Command(), 0, 0, reinterpret_cast<ULONG_PTR>(form->Open1)};
    EXPECT_EQ(SendMessageA(hwnd, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis)), TRUE);
    EXPECT_EQ(mis.itemWidth, 123u);
    EXPECT_EQ(mis.itemHeight, 17u);

    TBitmap target(150, 20);
    DRAWITEMSTRUCT dis{ODT_MENU, 0, form->Open1->Command(), ODA_DRAWENTIRE, ODS_SELECTED, nullptr,
                       target.Canvas().Handle(), {0, 0, 150, 20}, reinterpret_cast<ULONG_PTR>(form->Open1)};
    EXPECT_EQ(SendMessageA(hwnd, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis)), TRUE);
    dis.itemID = form->Exit1->Command();
    dis.itemData = reinterpret_cast<ULONG_PTR>(form->Exit1);
    dis.itemState = ODS_GRAYED | ODS_SELECTED;
    SendMessageA(hwnd, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    // Data that is not one of our items is not ours to draw.
    int foreign = 0;
    dis.itemData = reinterpret_cast<ULONG_PTR>(&foreign);
    SendMessageA(hwnd, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));

    EXPECT_EQ(calls, (std::vector<std::string>{"measure Open1 11", "draw Open1 150 1",
                                               "advanced Exit1 " + std::to_string(odSelected | odGrayed)}));
}

TEST_F(Menus, HandlersAloneMakeAnItemOwnerDrawnWhenItsSubmenuOpens) {
    auto form = MakeMenuForm(MenuFormText());
    HMENU view = form->View1->Handle();
    EXPECT_EQ(ReadEntry(view, 1).type & MFT_OWNERDRAW, 0u);
    form->Large1->OnDrawItem = [](TObject*, TCanvas*, RECT, bool) {};
    SendMessageA(form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 1);
    EXPECT_NE(ReadEntry(view, 1).type & MFT_OWNERDRAW, 0u);
    EXPECT_EQ(ReadEntry(view, 0).type & MFT_OWNERDRAW, 0u);
}

TEST_F(Menus, DefaultDrawingShowsSelectionTextCheckAndSeparator) {
    auto form = MakeMenuForm(MenuFormText());
    form->MainMenu1->SetOwnerDraw(true);
    auto draw = [&](TMenuItem* item, UINT state) {
        auto bitmap = std::make_unique<TBitmap>(120, 20);
        DRAWITEMSTRUCT dis{ODT_MENU, 0, item->Command(), ODA_DRAWENTIRE, state, nullptr,
                           bitmap->Canvas().Handle(), {0, 0, 120, 20}, reinterpret_cast<ULONG_PTR>(item)};
        SendMessageA(form->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
        GdiFlush();
        return bitmap;
    };
    auto count = [](TBitmap& b, TColor color, RECT r) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += b.Canvas().Pixel(x, y) == ColorToRGB(color);
        return n;
    };
    auto selected = draw(form->Open1, ODS_SELECTED);
    auto normal = draw(form->Open1, 0);
    EXPECT_EQ(selected->Canvas().Pixel(119, 0), ColorToRGB(clHighlight));
    EXPECT_EQ(normal->Canvas().Pixel(119, 0), ColorToRGB(clMenu));
    EXPECT_GT(count(*selected, clHighlightText, {20, 0, 120, 20}), 10) << "caption in the selected text colour";
    EXPECT_GT(count(*normal, clMenuText, {20, 0, 120, 20}), 10);
    auto disabled = draw(form->Exit1, ODS_GRAYED);
    EXPECT_GT(count(*disabled, clGrayText, {20, 0, 120, 20}), 10);
    EXPECT_EQ(count(*disabled, clMenuText, {20, 0, 120, 20}), 0);
    // The checked radio item has its mark in the glyph column; the unchecked one has none.
    auto checked = draw(form->Small1, 0);
    auto unchecked = draw(form->Large1, 0);
    EXPECT_GT(count(*checked, clMenuText, {0, 0, 18, 20}), 4);
    EXPECT_EQ(count(*unchecked, clMenuText, {0, 0, 18, 20}), 0);
    // A separator is an etched line across the middle, no text.
    auto line = draw(form->N1, 0);
    EXPECT_GT(count(*line, clBtnShadow, {0, 9, 120, 11}), 100);
    EXPECT_EQ(count(*line, clMenuText, {0, 0, 120, 20}), 0);
}

TEST_F(Menus, ImageListGlyphIsDrawnGreyedForDisabledItems) {
    auto form = MakeMenuForm(MenuFormText());
    auto* images = new TImageList(form.get());
    images->SetName("ImageList1");
    TBitmap glyph(16, 16);
    glyph.Canvas().Brush().SetColor(clBlue);
    glyph.Canvas().FillRect({0, 0, 16, 16});
    images->Add(glyph, nullptr);
    form->MainMenu1->SetImages(images);
    form->Open1->SetImageIndex(0);
    form->Exit1->SetImageIndex(0);
    // Image lists make the menu's drop-down items owner-drawn, the bar stays as it is.
    EXPECT_NE(ReadEntry(form->File1->Handle(), 0).type & MFT_OWNERDRAW, 0u);
    EXPECT_EQ(ReadEntry(GetMenu(form->Handle()), 0).type & MFT_OWNERDRAW, 0u);
    EXPECT_EQ(GetPropertyText(*form->MainMenu1, "Images"), "ImageList1");

    int w = 0, h = 0;
    TBitmap measure(1, 1);
    form->Open1->MeasureItem(measure.Canvas(), w, h);
    int wPlain = 0, hPlain = 0;
    form->MainMenu1->SetImages(nullptr);
    form->Open1->MeasureItem(measure.Canvas(), wPlain, hPlain);
    EXPECT_EQ(w - wPlain, 16 + 6) << "room for the glyph";
    form->MainMenu1->SetImages(images);

    TBitmap enabled(100, 20), disabled(100, 20);
    form->Open1->DrawItem(enabled.Canvas(), {0, 0, 100, 20}, 0);
    form->Exit1->DrawItem(disabled.Canvas(), {0, 0, 100, 20}, odGrayed);
    EXPECT_EQ(enabled.Canvas().Pixel(10, 10), ColorToRGB(clBlue));
    EXPECT_EQ(disabled.Canvas().Pixel(10, 10), ColorToRGB(clBtnShadow));
    // Freeing the image list leaves the menu without one.
    delete images;
    EXPECT_EQ(form->MainMenu1->Images(), nullptr);
}

// ---- real menus ------------------------------------------------------------------------------------

// The position of the highlighted item of a menu being tracked, or -1.
int HighlightedItem(HMENU menu) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        if (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE) return i;
    return -1;
}

// Posts keys to the thread while a menu is being tracked (the menu loop reads them).
void PostKeys(std::initializer_list<WORD> keys) {
    HWND menu = FindWindowA("#32768", nullptr);
    for (WORD k : keys) {
        PostMessageA(menu, WM_KEYDOWN, k, 0);
        PostMessageA(menu, WM_KEYUP, k, 0xC0000000);
    }
}

TEST_F(Menus, RealPopupIsOwnerDrawnAndItsChoiceRunsTheItem) {
    auto form = MakeMenuForm(MenuFormText());
    form->Show();
    std::vector<std::string> drawn;
    form->PopupMenu1->SetOwnerDraw(true);
    for (TMenuItem* item : {form->Copy1, form->Paste1}) {
        item->OnMeasureItem = [&drawn](TObject* s, TCanvas*, int& w, int& h) {
            drawn.push_back("measure " + static_cast<TComponent*>(s)->Name());
            w = 80;
            h = 18;
        };
        item->OnDrawItem = [&drawn](TObject* s, TCanvas* c, RECT r, bool) {
            drawn.push_back("draw " + static_cast<TComponent*>(s)->Name());
            c->FillRect(r);
        };
    }
    // Down twice selects Paste; Enter chooses it. A picture of the open menu is kept.
    bool saved = false;
    When(MenuShown, [&saved] {
        saved = SaveWindowBitmap(FindWindowA("#32768", nullptr), ArtifactDir() + "/ui-popup-menu.bmp");
        PostKeys({VK_DOWN, VK_DOWN, VK_RETURN});
    });
    Watchdog watchdog;
    form->PopupMenu1->Popup(form->Left() + 20, form->Top() + 40);
    PumpUntil([&] { return !form->log.empty() && form->log.back() == "click Paste1"; }, 3000);
    EXPECT_EQ(form->log, (std::vector<std::string>{"popup", "click Paste1"}));
    EXPECT_TRUE(saved);
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), "measure Copy1"), drawn.end());
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), "draw Paste1"), drawn.end());
}

TEST_F(Menus, ContextMenuMessageShowsTheControlsPopup) {
    auto form = MakeMenuForm(MenuFormText());
    form->Show();
    struct Case {
        const char* what;
        LPARAM point;
    } cases[] = {
        {"mouse", MAKELPARAM(form->Left() + 30, form->Top() + 50)},
        {"keyboard", MAKELPARAM(-1, -1)},
    };
    // Drawn by the items' default drawing; a picture of it is kept.
    form->PopupMenu1->SetOwnerDraw(true);
    form->Paste1->SetChecked(true);
    form->Paste1->SetEnabled(false);
    bool saved = false;
    for (const Case& c : cases) {
        form->log.clear();
        form->PopupMenu1->SetPopupComponent(nullptr);
        When(MenuShown, [&] {
            PostKeys({VK_DOWN});
            // Down highlights the first item; the picture shows it.
            When([&] { return HighlightedItem(form->PopupMenu1->Handle()) >= 0 && MenuShown(); }, [&saved] {
                if (!saved)
                    saved = SaveWindowBitmap(FindWindowA("#32768", nullptr), ArtifactDir() + "/ui-popup-default.bmp");
                PostKeys({VK_ESCAPE});
            });
        });
        Watchdog watchdog;
        LRESULT r = SendMessageA(form->Button1->Handle(), WM_CONTEXTMENU,
                                 reinterpret_cast<WPARAM>(form->Button1->Handle()), c.point);
        EXPECT_EQ(r, 1) << c.what;
        EXPECT_EQ(form->log, (std::vector<std::string>{"popup"})) << c.what;
        EXPECT_EQ(form->PopupMenu1->PopupComponent(), form->Button1) << c.what;
    }
    EXPECT_TRUE(saved);
    // AutoPopup off: the control leaves the message to the system.
    form->PopupMenu1->SetAutoPopup(false);
    form->log.clear();
    SendMessageA(form->Button1->Handle(), WM_CONTEXTMENU, 0, MAKELPARAM(-1, -1));
    EXPECT_TRUE(form->log.empty());
}

// ---- merging ---------------------------------------------------------------------------------------

TMenuItem* AddItem(TComponent* owner, TMenuItem* parent, const char* caption, int group) {
    auto* item = new TMenuItem(owner);
    item->SetCaption(caption);
    item->SetGroupIndex(group);
    parent->Add(item);
    return item;
}

std::vector<std::string> BarTexts(HMENU bar) {
    std::vector<std::string> texts;
    for (int i = 0; i < GetMenuItemCount(bar); ++i) texts.push_back(ReadEntry(bar, static_cast<UINT>(i)).text);
    return texts;
}

TEST_F(Menus, MergingReplacesGroupsAndUnmergingRestoresThem) {
    auto host = std::make_unique<TForm>(nullptr);
    auto* hostMenu = new TMainMenu(host.get());
    AddItem(host.get(), hostMenu->Items(), "File", 0);
    AddItem(host.get(), hostMenu->Items(), "Edit", 1);
    AddItem(host.get(), hostMenu->Items(), "Help", 9);
    host->SetMenu(hostMenu);
    HMENU bar = GetMenu(host->Handle());

    auto child = std::make_unique<TForm>(nullptr);
    auto* childMenu = new TMainMenu(child.get());
    TMenuItem* edit2 = AddItem(child.get(), childMenu->Items(), "Edit2", 1);
    AddItem(child.get(), childMenu->Items(), "Window", 5);
    TMenuItem* undo = AddItem(child.get(), edit2, "Undo", 0);
    int clicks = 0;
    undo->OnClick = [&](TObject*) { ++clicks; };

    hostMenu->Merge(childMenu);
    EXPECT_EQ(BarTexts(bar), (std::vector<std::string>{"File", "Edit2", "Window", "Help"}));
    EXPECT_EQ(GetSubMenu(bar, 1), edit2->Handle());
    EXPECT_EQ(hostMenu->FindItem(undo->Command(), fkCommand), undo);
    // The merged item's command arrives at the host window.
    SendMessageA(host->Handle(), WM_COMMAND, undo->Command(), 0);
    EXPECT_EQ(clicks, 1);
    // Changes of the merged menu show in the host's bar.
    AddItem(child.get(), childMenu->Items(), "Tools", 3);
    EXPECT_EQ(BarTexts(bar), (std::vector<std::string>{"File", "Edit2", "Tools", "Window", "Help"}));

    hostMenu->Unmerge(childMenu);
    EXPECT_EQ(BarTexts(bar), (std::vector<std::string>{"File", "Edit", "Help"}));
    SendMessageA(host->Handle(), WM_COMMAND, undo->Command(), 0);
    EXPECT_EQ(clicks, 1);

    // A merged menu that goes away unmerges itself.
    hostMenu->Merge(childMenu);
    child.reset();
    EXPECT_EQ(hostMenu->Merged(), nullptr);
    EXPECT_EQ(BarTexts(bar), (std::vector<std::string>{"File", "Edit", "Help"}));
}

TEST_F(Menus, AutoMergeShowsASecondFormsMenuInTheMainFormsBar) {
    auto main = std::make_unique<TForm>(nullptr);
    auto* mainMenu = new TMainMenu(main.get());
    AddItem(main.get(), mainMenu->Items(), "File", 0);
    main->SetMenu(mainMenu);
    TCustomForm* oldMain = Application->MainForm();
    Application->SetMainForm(main.get());

    auto second = std::make_unique<TForm>(nullptr);
    auto* secondMenu = new TMainMenu(second.get());
    secondMenu->SetAutoMerge(true);
    AddItem(second.get(), secondMenu->Items(), "Extra", 4);
    second->SetMenu(secondMenu);
    second->HandleNeeded();
    EXPECT_EQ(GetMenu(second->Handle()), nullptr);
    EXPECT_EQ(BarTexts(GetMenu(main->Handle())), (std::vector<std::string>{"File", "Extra"}));
    second.reset();
    EXPECT_EQ(BarTexts(GetMenu(main->Handle())), (std::vector<std::string>{"File"}));
    Application->SetMainForm(oldMain);
}

// ---- handles ---------------------------------------------------------------------------------------

TEST_F(Menus, HandleCountersSeeADeliberateLeak) {
    // One object of each kind the USER count covers, made and freed: the count and its part for
    // that kind each move by one and come back.
    struct Case {
        const char* what;
        long TUserHandleCounts::*part;
        std::function<void*()> make;
        std::function<void(void*)> free;
    };
    const BYTE andMask[32 * 4] = {}, xorMask[32 * 4] = {};
    const Case cases[] = {
        {"menu", &TUserHandleCounts::Menus, [] { return static_cast<void*>(CreateMenu()); },
         [](void* h) { DestroyMenu(static_cast<HMENU>(h)); }},
        {"popup menu", &TUserHandleCounts::Menus, [] { return static_cast<void*>(CreatePopupMenu()); },
         [](void* h) { DestroyMenu(static_cast<HMENU>(h)); }},
        {"icon", &TUserHandleCounts::Cursors,
         [&] { return static_cast<void*>(CreateIcon(nullptr, 32, 32, 1, 1, andMask, xorMask)); },
         [](void* h) { DestroyIcon(static_cast<HICON>(h)); }},
        {"accelerator table", &TUserHandleCounts::Accelerators,
         [] {
             ACCEL a{FVIRTKEY | FCONTROL, 'Q', 1};
             return static_cast<void*>(CreateAcceleratorTableW(&a, 1));
         },
         [](void* h) { DestroyAcceleratorTable(static_cast<HACCEL>(h)); }},
        {"message-only window", &TUserHandleCounts::Windows,
         [] {
             return static_cast<void*>(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                                       nullptr, nullptr));
         },
         [](void* h) { DestroyWindow(static_cast<HWND>(h)); }},
    };
    for (const Case& c : cases) {
        const long before = LiveUserHandles();
        const TUserHandleCounts partsBefore = CountUserHandles();
        void* h = c.make();
        ASSERT_NE(h, nullptr) << c.what;
        const long after = LiveUserHandles();
        const TUserHandleCounts partsAfter = CountUserHandles();
        c.free(h);
        EXPECT_EQ(after - before, 1) << c.what;
        if (!GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) {
            EXPECT_EQ(partsAfter.*c.part - partsBefore.*c.part, 1) << c.what;
        }
        EXPECT_EQ(LiveUserHandles(), before) << c.what;
    }

    long gdiBefore = LiveGdiObjects();
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    long gdiAfter = LiveGdiObjects();
    DeleteObject(pen);
    EXPECT_EQ(gdiAfter - gdiBefore, 1);
    EXPECT_EQ(LiveGdiObjects(), gdiBefore);
}

TEST_F(Menus, MenuHandlesStayFlatOverCreateAndDestroyCycles) {
    // Every cycle makes the menus' handles, shows them owner-drawn in the form's bar, changes
    // them and frees the form.
    ExpectNoLeak([](int) {
        auto form = MakeMenuForm(MenuFormText());
        form->HandleNeeded();
        form->PopupMenu1->Handle();
        form->MainMenu1->SetOwnerDraw(true);
        form->Show();
        PaintNow(form->Handle());
        form->File1->Delete(1);
        form->View1->Clear();
        auto* item = new TMenuItem(form.get());
        form->Copy1->Add(item); // Copy1 gains a submenu
        form->Copy1->Remove(item);
        delete item;
        PaintNow(form->Handle());
        form.reset();
        Application->ProcessMessages();
    });
}

TEST_F(Menus, MenuOfAnotherOwnerOutlivesItsFormsWindow) {
    auto owner = std::make_unique<TComponent>(nullptr);
    auto* menu = new TMainMenu(owner.get());
    AddItem(owner.get(), menu->Items(), "Only", 0);
    AddItem(owner.get(), menu->Items()->Items(0), "Inner", 0);
    {
        auto form = std::make_unique<TForm>(nullptr);
        form->SetMenu(menu);
        form->HandleNeeded();
        ASSERT_EQ(GetMenu(form->Handle()), menu->Handle());
    }
    // The window took the handles with it; the menu makes new ones.
    HMENU bar = menu->Handle();
    EXPECT_TRUE(IsMenu(bar));
    EXPECT_EQ(BarTexts(bar), (std::vector<std::string>{"Only"}));
    EXPECT_TRUE(IsMenu(GetSubMenu(bar, 0)));
    auto form = std::make_unique<TForm>(nullptr);
    form->SetMenu(menu);
    EXPECT_EQ(GetMenu(form->Handle()), bar);
}

} // namespace
} // namespace wl::test
