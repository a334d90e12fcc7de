// Common controls under Wine: every class read from a form definition, written back and read
// again; collections in form files and their errors; page and tab controls (events, veto,
// visible page and display rect per tab position); status bar parts; progress and track bars;
// up-down steps with wrap, clamping and the associate's text; date-time values; tool and cool
// bars; and handle counts over many create/destroy cycles.
#include "comctrls_form.h"

#include "support/capture.h"
#include "support/gdi_count.h"
#include "support/gui.h"
#include "support/leak_loop.h"
#include "ui/formfile.h"
#include "ui/imglist.h"
#include "ui/menus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace wl::test {
namespace {

class ComCtl : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Application->Initialize(); }

    static std::unique_ptr<TComCtlForm> MakeForm(const std::string& text, bool show) {
        auto form = std::make_unique<TComCtlForm>(nullptr);
        form->ReadDefinitionText(text);
        form->HandleNeeded();
        if (show) {
            form->Show();
            EXPECT_TRUE(WaitPainted(form->Handle()));
        }
        return form;
    }
};

// A property of a component as text; "Panels[1].Text" reaches into a collection's item and
// string lists come back as their lines joined with "|".
std::string Prop(TComponent& root, const std::string& component, std::string path) {
    TObject* obj = root.FindComponent(component);
    if (!obj) return "<no component " + component + ">";
    if (size_t lb = path.find('['); lb != std::string::npos) {
        size_t rb = path.find(']');
        auto* coll = dynamic_cast<TCollection*>(GetObjectProperty(*obj, path.substr(0, lb)));
        if (!coll) return "<not a collection>";
        int index = std::stoi(path.substr(lb + 1, rb - lb - 1));
        if (index >= coll->Count()) return "<no item " + std::to_string(index) + ">";
        obj = coll->Items(index);
        path = path.substr(rb + 2);
    }
    if (PropKind(*obj, path) == TPropKind::StringList) {
        std::string joined;
        for (const auto& line : GetStringListProperty(*obj, path))
            joined += (joined.empty() ? "" : "|") + line;
        return joined;
    }
    if (PropKind(*obj, path) == TPropKind::Method) return GetMethodName(*obj, path);
    return GetPropertyText(*obj, path);
}

std::string WindowText(HWND hwnd) {
    char buf[64] = {};
    GetWindowTextA(hwnd, buf, sizeof buf);
    return buf;
}

struct PropCase {
    const char* component;
    const char* path;
    const char* expected;
};

// Every class of the form with its non-default values, collections included.
const PropCase kStoredValues[] = {
    {"ToolBar1", "Flat", "True"},
    {"ToolBar1", "ShowCaptions", "True"},
    {"ToolBar1", "ButtonWidth", "50"},
    {"ToolBar1", "ButtonHeight", "24"},
    {"ToolBar1", "EdgeBorders", "[ebTop, ebBottom]"},
    {"ToolButton1", "Caption", "New"},
    {"ToolButton1", "ImageIndex", "0"},
    {"ToolButton2", "Style", "tbsSeparator"},
    {"ToolButton3", "Style", "tbsCheck"},
    {"ToolButton3", "Down", "True"},
    {"ToolButton3", "Grouped", "True"},
    {"CoolBar1", "Bands[0].Control", "Edit2"},
    {"CoolBar1", "Bands[0].Text", "Find"},
    {"CoolBar1", "Bands[0].Width", "250"},
    {"CoolBar1", "Bands[0].MinHeight", "22"},
    {"CoolBar1", "Bands[1].Break", "False"},
    {"CoolBar1", "Bands[1].Text", "Empty"},
    {"StatusBar1", "Panels[0].Text", "Ready"},
    {"StatusBar1", "Panels[0].Width", "80"},
    {"StatusBar1", "Panels[1].Alignment", "taCenter"},
    {"StatusBar1", "Panels[1].Bevel", "pbRaised"},
    {"StatusBar1", "Panels[2].Style", "psOwnerDraw"},
    {"StatusBar1", "SizeGrip", "False"},
    {"StatusBar1", "Align", "alBottom"},
    {"PageControl1", "ActivePage", "TabSheet2"},
    {"PageControl1", "OnChange", "PageControl1Change"},
    {"TabSheet2", "Caption", "Lists"},
    {"TabSheet2", "ImageIndex", "1"},
    {"TabSheet2", "PageIndex", "1"},
    {"TabSheet4", "TabVisible", "False"},
    {"TabSheet5", "PageIndex", "4"},
    {"ProgressBar1", "Position", "30"},
    {"ProgressBar1", "Step", "5"},
    {"ProgressBar1", "Smooth", "True"},
    {"ProgressBar2", "Min", "10"},
    {"ProgressBar2", "Max", "50"},
    {"ProgressBar2", "Position", "20"},
    {"ProgressBar2", "Orientation", "pbVertical"},
    {"TrackBar1", "Max", "20"},
    {"TrackBar1", "Position", "5"},
    {"TrackBar1", "Frequency", "5"},
    {"TrackBar1", "TickMarks", "tmBoth"},
    {"TrackBar1", "PageSize", "4"},
    {"TrackBar1", "LineSize", "2"},
    {"TrackBar1", "SelStart", "2"},
    {"TrackBar1", "SelEnd", "8"},
    {"TrackBar1", "OnChange", "TrackBar1Change"},
    {"UpDown1", "Associate", "Edit1"},
    {"UpDown1", "Min", "-5"},
    {"UpDown1", "Max", "5"},
    {"UpDown1", "Position", "2"},
    {"UpDown1", "Wrap", "True"},
    {"UpDown1", "Thousands", "False"},
    {"DateTimePicker1", "Date", "2024-02-29"},
    {"DateTimePicker1", "Time", "13:45:10"},
    {"DateTimePicker1", "DateFormat", "dfLong"},
    {"DateTimePicker1", "ShowCheckbox", "True"},
    {"DateTimePicker2", "Date", "1999-12-31"},
    {"DateTimePicker2", "Time", "23:59:58"},
    {"DateTimePicker2", "Kind", "dtkTime"},
    {"DateTimePicker2", "DateMode", "dmUpDown"},
    {"HeaderControl1", "Sections[0].Text", "Word"},
    {"HeaderControl1", "Sections[0].MinWidth", "40"},
    {"HeaderControl1", "Sections[0].MaxWidth", "300"},
    {"HeaderControl1", "Sections[1].Alignment", "taRightJustify"},
    {"HeaderControl1", "Sections[1].AllowClick", "False"},
    {"HeaderControl1", "Sections[2].Style", "hsOwnerDraw"},
    {"ListView1", "Columns[1].Alignment", "taCenter"},
    {"ListView1", "Columns[1].Width", "80"},
    {"ListView1", "Columns[2].Caption", "Taste"},
    {"ListView1", "Items[0].Caption", "apple"},
    {"ListView1", "Items[0].SubItems.Strings", "red|sweet"},
    {"ListView1", "Items[0].ImageIndex", "1"},
    {"ListView1", "Items[1].Checked", "True"},
    {"ListView1", "Items[1].Selected", "True"},
    {"ListView1", "Items[0].Checked", "False"},
    {"ListView1", "ViewStyle", "vsReport"},
    {"ListView1", "RowSelect", "True"},
    {"ListView1", "GridLines", "True"},
    {"ListView1", "Checkboxes", "True"},
    {"ListView1", "ReadOnly", "True"},
    {"ListView1", "HideSelection", "False"},
    {"ListView1", "MultiSelect", "True"},
    {"TreeView1", "Items.Strings", "Fruit| Apple|  Red apple| Lemon|Vegetables| Leek"},
    {"TreeView1", "ShowLines", "False"},
    {"TreeView1", "ReadOnly", "True"},
    {"TabControl1", "Tabs.Strings", "One|Two|Three"},
    {"TabControl1", "TabIndex", "1"},
    {"TabControl1", "TabPosition", "tpBottom"},
    {"TabControl1", "Style", "tsButtons"},
    {"TabControl1", "TabWidth", "60"},
    {"MediaPlayer1", "DeviceType", "dtWaveAudio"},
    {"MediaPlayer1", "FileName", "missing.wav"},
    {"MediaPlayer1", "AutoEnable", "False"},
    {"MediaPlayer1", "VisibleButtons", "[btPlay, btPause, btStop, btEject]"},
    {"MediaPlayer1", "EnabledButtons", "[btPlay, btStop]"},
    {"MediaPlayer1", "ColoredButtons", "[btPlay]"},
};

TEST_F(ComCtl, EveryClassRoundTripsThroughItsFormDefinition) {
    // Read (windows created, so values come back from the controls), write, read again.
    auto first = MakeForm(ComCtlText(), false);
    std::string written = WriteComponentText(*first);
    auto second = MakeForm(written, false);
    for (const auto& c : kStoredValues) {
        EXPECT_EQ(Prop(*first, c.component, c.path), c.expected)
            << c.component << "." << c.path << " as read";
        EXPECT_EQ(Prop(*second, c.component, c.path), c.expected)
            << c.component << "." << c.path << " after writing:\n"
            << written;
    }
    // Writing the second form gives the same text again.
    EXPECT_EQ(WriteComponentText(*second), written);
}

TEST_F(ComCtl, CollectionsAndReferencesInDefinitionsReportTheirErrors) {
    struct Case {
        const char* what;
        std::string body; // inside "object F: TComCtlForm ... end"
        const char* message;
    } cases[] = {
        {"unknown item property",
         "object S: TStatusBar\n Panels = <\n item\n Widht = 5\n end>\n end\n", "Widht"},
        {"item without end", "object S: TStatusBar\n Panels = <\n item\n Width = 5\n >\n end\n",
         "'end' expected"},
        {"not a collection", "object S: TStatusBar\n SimpleText = <\n item\n end>\n end\n",
         "not a collection"},
        {"tree indented too deep", "object T: TTreeView\n Items.Strings = (\n 'a'\n '  b')\n end\n",
         "indented"},
        {"impossible date", "object D: TDateTimePicker\n Date = '2023-02-29'\n end\n",
         "not a valid date"},
        {"time out of range", "object D: TDateTimePicker\n Time = '24:00:00'\n end\n",
         "not a valid time"},
        {"unknown associate", "object U: TUpDown\n Associate = Nowhere\n end\n", "Nowhere"},
        {"unknown active page", "object P: TPageControl\n ActivePage = Nowhere\n end\n", "Nowhere"},
        {"unknown band control",
         "object C: TCoolBar\n Bands = <\n item\n Control = Nowhere\n end>\n end\n", "Nowhere"},
    };
    for (const auto& c : cases) {
        TComCtlForm form(nullptr);
        try {
            form.ReadDefinitionText("object F: TComCtlForm\n" + c.body + "end\n");
            ADD_FAILURE() << c.what << ": no error";
        } catch (const Exception& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
                << c.what << ": " << e.what();
        }
    }
}

TEST_F(ComCtl, PageControlShowsExactlyTheActivePageInTheDisplayRectForEveryTabPosition) {
    auto form = MakeForm(ComCtlText(), true);
    auto* pc = form->Get<TPageControl>("PageControl1");
    ASSERT_EQ(pc->PageCount(), 5);
    EXPECT_EQ(pc->ActivePage()->Name(), "TabSheet2");

    struct Case {
        TTabPosition position;
        // Which side of the control the tabs take: the display rect keeps clear of it.
        std::function<bool(const RECT& display, int width, int height)> tabsOnTheirSide;
    } cases[] = {
        {tpTop, [](const RECT& d, int, int h) { return d.top >= 15 && h - d.bottom < 10; }},
        {tpBottom, [](const RECT& d, int, int h) { return d.top < 10 && h - d.bottom >= 15; }},
        {tpLeft, [](const RECT& d, int w, int) { return d.left >= 15 && w - d.right < 10; }},
        {tpRight, [](const RECT& d, int w, int) { return d.left < 10 && w - d.right >= 15; }},
    };
    for (const auto& c : cases) {
        pc->SetTabPosition(c.position); // re-creates the window
        EXPECT_TRUE(WaitPainted(form->Handle())) << "position " << c.position;
        RECT display = pc->DisplayRect();
        EXPECT_TRUE(c.tabsOnTheirSide(display, pc->ClientWidth(), pc->ClientHeight()))
            << "position " << c.position << ": display " << display.left << "," << display.top
            << "," << display.right << "," << display.bottom;
        for (int i = 0; i < pc->PageCount(); ++i) {
            TTabSheet* page = pc->Pages(i);
            EXPECT_EQ(IsWindowVisible(page->Handle()) != 0, page == pc->ActivePage())
                << "position " << c.position << ", page " << page->Name();
            RECT r;
            GetWindowRect(page->Handle(), &r);
            MapWindowPoints(nullptr, pc->Handle(), reinterpret_cast<POINT*>(&r), 2);
            EXPECT_TRUE(EqualRect(&r, &display))
                << "position " << c.position << ", page " << page->Name();
        }
    }
}

// Clicks the tab `index` of a tab control with the mouse.
void ClickTab(TCustomTabControl* tabs, int index) {
    RECT r{};
    ASSERT_TRUE(SendMessageA(tabs->Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(index),
                             reinterpret_cast<LPARAM>(&r)));
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(tabs->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(tabs->Handle(), WM_LBUTTONUP, 0, at);
    PumpMessages(); // what the click posted
}

TEST_F(ComCtl, ClickedTabsSwitchPagesPastHiddenTabs) {
    auto form = MakeForm(ComCtlText(), true);
    auto* pc = form->Get<TPageControl>("PageControl1");
    // TabSheet4 has no tab: the fourth tab belongs to TabSheet5.
    struct Case {
        int tab;
        const char* page;
    } cases[] = {{2, "TabSheet3"}, {3, "TabSheet5"}, {0, "TabSheet1"}};
    for (const auto& c : cases) {
        form->log.clear();
        ClickTab(pc, c.tab);
        ASSERT_NE(pc->ActivePage(), nullptr);
        EXPECT_EQ(pc->ActivePage()->Name(), c.page);
        EXPECT_EQ(form->log, std::vector<std::string>{std::string("page ") + c.page});
        for (int i = 0; i < pc->PageCount(); ++i)
            EXPECT_EQ(IsWindowVisible(pc->Pages(i)->Handle()) != 0, pc->Pages(i)->Name() == c.page)
                << "tab " << c.tab << ", page " << pc->Pages(i)->Name();
    }
}

TEST_F(ComCtl, TabChangesAskFirstThenReportAndCanBeRefused) {
    auto form = MakeForm(ComCtlText(), true);
    auto* tabs = form->Get<TTabControl>("TabControl1");
    form->Get<TPageControl>("PageControl1")->SetActivePageIndex(2);
    std::vector<std::string> log;
    bool refuse = false;
    tabs->OnChanging = [&](TObject*, bool& allow) {
        log.push_back("changing " + std::to_string(tabs->TabIndex()));
        if (refuse) allow = false;
    };
    tabs->OnChange = [&](TObject*) { log.push_back("change " + std::to_string(tabs->TabIndex())); };
    struct Case {
        bool refuse;
        int click;
        std::vector<std::string> events;
        int index;
    } cases[] = {
        {false, 2, {"changing 1", "change 2"}, 2},
        {true, 0, {"changing 2"}, 2},
        {false, 0, {"changing 2", "change 0"}, 0},
    };
    for (const auto& c : cases) {
        refuse = c.refuse;
        log.clear();
        ClickTab(tabs, c.click);
        EXPECT_EQ(log, c.events) << "click " << c.click;
        EXPECT_EQ(tabs->TabIndex(), c.index) << "click " << c.click;
    }
}

TEST_F(ComCtl, StatusBarPanelsReachTheControlAsParts) {
    auto form = MakeForm(ComCtlText(), false);
    auto* bar = form->Get<TStatusBar>("StatusBar1");
    auto parts = [&] {
        int edges[16] = {};
        auto n = SendMessageA(bar->Handle(), SB_GETPARTS, 16, reinterpret_cast<LPARAM>(edges));
        return std::vector<int>(edges, edges + n);
    };
    auto text = [&](int part) {
        char buf[64] = {};
        SendMessageA(bar->Handle(), SB_GETTEXTA, static_cast<WPARAM>(part),
                     reinterpret_cast<LPARAM>(buf));
        return std::string(buf);
    };
    struct Case {
        const char* what;
        std::function<void()> change;
        std::vector<int> parts;
        std::string firstText;
    } cases[] = {
        {"as read", [] {}, {80, 200, -1}, "Ready"},
        {"first wider", [&] { bar->Panel(0)->SetWidth(100); }, {100, 220, -1}, "Ready"},
        {"text changed", [&] { bar->Panel(0)->SetText("Busy"); }, {100, 220, -1}, "Busy"},
        {"middle deleted", [&] { bar->Panels()->Delete(1); }, {100, -1}, "Busy"},
        {"one added",
         [&] { static_cast<TStatusPanel*>(bar->Panels()->Add())->SetWidth(30); },
         {100, 150, -1},
         "Busy"},
    };
    for (const auto& c : cases) {
        c.change();
        EXPECT_EQ(parts(), c.parts) << c.what;
        EXPECT_EQ(text(0), c.firstText) << c.what;
    }
    bar->SetSimplePanel(true);
    EXPECT_TRUE(SendMessageA(bar->Handle(), SB_ISSIMPLE, 0, 0));
    bar->SetSimplePanel(false);
    EXPECT_FALSE(SendMessageA(bar->Handle(), SB_ISSIMPLE, 0, 0));
}

TEST_F(ComCtl, ProgressBarStepsWrapAndPositionsClamp) {
    auto form = MakeForm(ComCtlText(), false);
    auto* bar = form->Get<TProgressBar>("ProgressBar1");
    TProgressBar windowless(nullptr);
    struct Case {
        int min, max, position, step;
        int afterStep;
    } cases[] = {
        {0, 100, 30, 10, 40},
        {0, 100, 95, 10, 5}, // past the end: starts over
        {10, 50, 45, 10, 15},
        {0, 100, 100, 0, 100},
    };
    for (TProgressBar* b : {bar, &windowless}) {
        for (const auto& c : cases) {
            b->SetMin(c.min);
            b->SetMax(c.max);
            b->SetPosition(c.position);
            b->SetStep(c.step);
            b->StepIt();
            EXPECT_EQ(b->Position(), c.afterStep)
                << (b == bar ? "window " : "no window ") << c.position;
        }
        b->SetMin(0);
        b->SetMax(100);
        b->SetPosition(150);
        EXPECT_EQ(b->Position(), 100);
        b->SetPosition(-3);
        EXPECT_EQ(b->Position(), 0);
    }
    EXPECT_EQ(SendMessageA(bar->Handle(), PBM_GETPOS, 0, 0), 0);
}

TEST_F(ComCtl, TrackBarReportsEveryMoveByKeyboard) {
    auto form = MakeForm(ComCtlText(), true);
    auto* track = form->Get<TTrackBar>("TrackBar1");
    form->Get<TPageControl>("PageControl1")->SetActivePageIndex(0);
    struct Case {
        WORD key;
        int expected;
    } cases[] = {{VK_RIGHT, 7}, {VK_LEFT, 3}, {VK_NEXT, 9}, {VK_END, 20}, {VK_HOME, 0}};
    for (const auto& c : cases) {
        track->SetPosition(5);
        form->log.clear();
        SendMessageA(track->Handle(), WM_KEYDOWN, c.key, 0);
        SendMessageA(track->Handle(), WM_KEYUP, c.key, 0);
        EXPECT_EQ(track->Position(), c.expected) << "key " << c.key;
        ASSERT_FALSE(form->log.empty()) << "key " << c.key;
        EXPECT_EQ(form->log.front(), "track " + std::to_string(c.expected)) << "key " << c.key;
    }
    // The selection range reached the control.
    EXPECT_EQ(SendMessageA(track->Handle(), TBM_GETSELSTART, 0, 0), 2);
    EXPECT_EQ(SendMessageA(track->Handle(), TBM_GETSELEND, 0, 0), 8);
}

TEST_F(ComCtl, UpDownStepsWrapClampAndWriteTheAssociate) {
    auto form = MakeForm(ComCtlText(), true);
    form->Get<TPageControl>("PageControl1")->SetActivePageIndex(0);
    auto* ud = form->Get<TUpDown>("UpDown1");
    auto* edit = form->Get<TEdit>("Edit1");
    EXPECT_EQ(WindowText(edit->Handle()), "2"); // the position as read, shown at once
    std::vector<std::string> clicks;
    bool refuse = false;
    ud->OnClick = [&](TObject*, TUDBtnType b) {
        clicks.push_back(b == TUDBtnType::btNext ? "next" : "prev");
    };
    ud->OnChanging = [&](TObject*, bool& allow) { allow = !refuse; };
    auto press = [&](bool up) {
        RECT r;
        GetClientRect(ud->Handle(), &r);
        LPARAM at = MAKELPARAM(r.right / 2, up ? 2 : r.bottom - 3);
        SendMessageA(ud->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(ud->Handle(), WM_LBUTTONUP, 0, at);
    };
    struct Case {
        const char* what;
        int min, max, start;
        bool wrap, refuse;
        std::vector<bool> presses; // true: up
        int expected;
        std::vector<std::string> clicks;
    } cases[] = {
        {"up twice past the top wraps", -5, 5, 4, true, false, {true, true}, -5, {"next", "next"}},
        {"up twice stops at the top", -5, 5, 4, false, false, {true, true}, 5, {"next"}},
        {"down at the bottom stays", 0, 10, 0, false, false, {false}, 0, {}},
        {"down wraps to the top", 0, 10, 0, true, false, {false}, 10, {"prev"}},
        {"refused change keeps the position", 0, 10, 3, false, true, {true}, 3, {}},
        {"thousands without separator",
         0,
         5000,
         1998,
         false,
         false,
         {true, true, true},
         2001,
         {"next", "next", "next"}},
    };
    for (const auto& c : cases) {
        ud->SetMin(c.min);
        ud->SetMax(c.max);
        ud->SetWrap(c.wrap);
        ud->SetPosition(c.start);
        refuse = c.refuse;
        clicks.clear();
        for (bool up : c.presses)
            press(up);
        EXPECT_EQ(ud->Position(), c.expected) << c.what;
        EXPECT_EQ(WindowText(edit->Handle()), std::to_string(c.expected)) << c.what;
        EXPECT_EQ(clicks, c.clicks) << c.what;
    }
    // Positions set by the program are clamped to the range as well.
    ud->SetMin(0);
    ud->SetMax(10);
    ud->SetPosition(42);
    EXPECT_EQ(ud->Position(), 10);
    EXPECT_EQ(WindowText(edit->Handle()), "10");
}

TEST_F(ComCtl, UpDownForgetsAFreedAssociate) {
    auto form = MakeForm(ComCtlText(), false);
    auto* ud = form->Get<TUpDown>("UpDown1");
    delete form->Get<TEdit>("Edit1");
    EXPECT_EQ(ud->Associate(), nullptr);
    EXPECT_EQ(SendMessageA(ud->Handle(), UDM_GETBUDDY, 0, 0), 0);
    ud->SetPosition(3); // no buddy to write to any more
    EXPECT_EQ(ud->Position(), 3);
}

TEST_F(ComCtl, DateTimePickerValuesReachTheControlAndComeBack) {
    auto form = MakeForm(ComCtlText(), false);
    auto* picker = form->Get<TDateTimePicker>("DateTimePicker1");
    struct Case {
        const char* date;
        const char* time;
        WORD year, month, day, hour, minute, second;
    } cases[] = {
        {"2024-02-29", "00:00:00", 2024, 2, 29, 0, 0, 0},
        {"1999-12-31", "23:59:59", 1999, 12, 31, 23, 59, 59},
        {"2026-07-04", "12:30:05", 2026, 7, 4, 12, 30, 5},
    };
    for (const auto& c : cases) {
        picker->SetDateText(c.date);
        picker->SetTimeText(c.time);
        SYSTEMTIME st{};
        ASSERT_EQ(
            SendMessageA(picker->Handle(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)),
            GDT_VALID);
        EXPECT_EQ(
            (std::vector<WORD>{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond}),
            (std::vector<WORD>{c.year, c.month, c.day, c.hour, c.minute, c.second}))
            << c.date;
        EXPECT_EQ(picker->DateText(), c.date);
        EXPECT_EQ(picker->TimeText(), c.time);
    }
    // Bad values are refused and change nothing.
    for (const char* bad : {"2023-02-29", "2024-13-01", "24-1-1x", ""})
        EXPECT_THROW(picker->SetDateText(bad), EConvertError) << bad;
    EXPECT_EQ(picker->DateText(), "2026-07-04");
    // The check box: unchecked means no value in the control; checking again restores it.
    picker->SetChecked(false);
    SYSTEMTIME st{};
    EXPECT_EQ(SendMessageA(picker->Handle(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)),
              GDT_NONE);
    EXPECT_FALSE(picker->Checked());
    picker->SetChecked(true);
    EXPECT_TRUE(picker->Checked());
    EXPECT_EQ(picker->DateText(), "2026-07-04");
}

TEST_F(ComCtl, ToolBarAndCoolBarCarryTheirButtonsAndBands) {
    auto form = MakeForm(ComCtlText(), true);
    auto* bar = form->Get<TToolBar>("ToolBar1");
    HWND h = bar->Handle();
    EXPECT_EQ(SendMessageA(h, TB_BUTTONCOUNT, 0, 0), 3);
    auto* b1 = form->Get<TToolButton>("ToolButton1");
    auto* b3 = form->Get<TToolButton>("ToolButton3");
    EXPECT_TRUE(SendMessageA(h, TB_ISBUTTONCHECKED, static_cast<WPARAM>(b3->CommandId()), 0));
    TBBUTTON info{};
    ASSERT_TRUE(SendMessageA(h, TB_GETBUTTON, 1, reinterpret_cast<LPARAM>(&info)));
    EXPECT_TRUE(info.fsStyle & BTNS_SEP);
    // A click on the first button's place reaches its OnClick.
    int clicked = 0;
    b1->OnClick = [&](TObject*) { ++clicked; };
    ASSERT_GT(b1->Width(), 0);
    LPARAM at = MAKELPARAM(b1->Left() + b1->Width() / 2, b1->Top() + b1->Height() / 2);
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(h, WM_LBUTTONUP, 0, at);
    PumpMessages(); // what the click posted
    EXPECT_EQ(clicked, 1);
    // Unchecking through the object reaches the bar; freeing a button removes it.
    b3->SetDown(false);
    EXPECT_FALSE(SendMessageA(h, TB_ISBUTTONCHECKED, static_cast<WPARAM>(b3->CommandId()), 0));
    delete form->Get<TToolButton>("ToolButton2");
    EXPECT_EQ(SendMessageA(h, TB_BUTTONCOUNT, 0, 0), 2);

    auto* cool = form->Get<TCoolBar>("CoolBar1");
    ASSERT_EQ(SendMessageA(cool->Handle(), RB_GETBANDCOUNT, 0, 0), 2);
    REBARBANDINFOA band{};
    char text[32] = {};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_CHILD | RBBIM_TEXT | RBBIM_STYLE;
    band.lpText = text;
    band.cch = sizeof text;
    ASSERT_TRUE(SendMessageA(cool->Handle(), RB_GETBANDINFOA, 0, reinterpret_cast<LPARAM>(&band)));
    EXPECT_EQ(band.hwndChild, form->Get<TEdit>("Edit2")->Handle());
    EXPECT_STREQ(text, "Find");
    band.fMask = RBBIM_STYLE;
    ASSERT_TRUE(SendMessageA(cool->Handle(), RB_GETBANDINFOA, 1, reinterpret_cast<LPARAM>(&band)));
    EXPECT_FALSE(band.fStyle & RBBS_BREAK);
}

TEST_F(ComCtl, ToolBarCustomDrawHandlersPaintAndCanReplaceTheBarsOwnDrawing) {
    auto form = MakeForm(ComCtlText(), true);
    auto* bar = form->Get<TToolBar>("ToolBar1");
    auto* b1 = form->Get<TToolButton>("ToolButton1");
    std::vector<std::string> buttons;
    struct Case {
        bool barDefault, buttonDefault;
        COLORREF atButton; // the first button's centre after painting
    } cases[] = {
        {true, false, RGB(255, 0, 0)}, // the handler's red stays: the bar drew nothing over it
        {false, true, RGB(0, 0, 255)}, // the whole bar is the handler's blue, buttons included
    };
    for (const auto& c : cases) {
        buttons.clear();
        bar->OnCustomDraw = [&](TToolBar* t, const RECT& r, bool& defaultDraw) {
            t->Canvas().Brush().SetColor(static_cast<TColor>(RGB(0, 0, 255)));
            t->Canvas().FillRect(r);
            defaultDraw = c.barDefault;
        };
        bar->OnCustomDrawButton = [&](TToolBar* t, TToolButton* b, TCustomDrawState,
                                      bool& defaultDraw) {
            buttons.push_back(b->Name());
            RECT r = b->BoundsRect();
            t->Canvas().Brush().SetColor(static_cast<TColor>(RGB(255, 0, 0)));
            t->Canvas().FillRect(r);
            defaultDraw = c.buttonDefault;
        };
        RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        ASSERT_TRUE(WaitFlushed(bar->Handle())) << "bar default " << c.barDefault;
        const COLORREF at = TCapture::Client(bar->Handle()).At(b1->Left() + b1->Width() / 2, b1->Top() + b1->Height() / 2);
        EXPECT_EQ(at, c.atButton) << "bar default " << c.barDefault;
        if (c.barDefault) {
            // Separators are not buttons to draw.
            EXPECT_NE(std::find(buttons.begin(), buttons.end(), "ToolButton1"), buttons.end());
            EXPECT_NE(std::find(buttons.begin(), buttons.end(), "ToolButton3"), buttons.end());
        } else {
            EXPECT_TRUE(buttons.empty());
        }
    }
    EXPECT_FALSE(bar->Canvas().HandleAllocated()); // the device context was only borrowed
}

TEST_F(ComCtl, ToolBarTakesItsImagesFromAnImageListByName) {
    auto form = MakeForm("object F: TComCtlForm\n"
                         " object Bar: TToolBar\n  Images = Pictures\n"
                         "  object B1: TToolButton\n   ImageIndex = 0\n  end\n end\n"
                         " object Pictures: TImageList\n  Width = 20\n  Height = 18\n end\n"
                         "end\n",
                         false);
    auto* bar = form->Get<TToolBar>("Bar");
    auto* list = form->Get<TImageList>("Pictures");
    ASSERT_EQ(bar->Images(), list); // named before the list exists in the text
    EXPECT_EQ(SendMessageA(bar->Handle(), TB_GETIMAGELIST, 0, 0),
              reinterpret_cast<LRESULT>(list->Handle()));
    EXPECT_EQ(GetPropertyText(*bar, "Images"), "Pictures");
    delete list;
    EXPECT_EQ(bar->Images(), nullptr);
    EXPECT_EQ(SendMessageA(bar->Handle(), TB_GETIMAGELIST, 0, 0), 0);
    EXPECT_THROW(SetPropertyText(*bar, "Images", "Nothing"), EPropertyError);
}

// Whether a popup menu is showing.
bool MenuOpen() {
    HWND menu = FindWindowA("#32768", nullptr);
    return menu && IsWindowVisible(menu);
}

// Runs from a short repeating thread timer, inside the menu's modal loop: ends the menu once
// it shows.
void CALLBACK EndOpenMenu(HWND, UINT, UINT_PTR id, DWORD) {
    if (!MenuOpen()) return;
    KillTimer(nullptr, id);
    EndMenu();
}

TEST_F(ComCtl, DropDownButtonOpensItsMenuUnderTheButton) {
    auto form = MakeForm(
        "object F: TComCtlForm\n"
        " object Bar: TToolBar\n"
        "  object B1: TToolButton\n   Style = tbsDropDown\n   DropdownMenu = Menu1\n  end\n"
        " end\n"
        " object Menu1: TPopupMenu\n  object I1: TMenuItem\n   Caption = 'one'\n  end\n end\n"
        "end\n",
        true);
    auto* button = form->Get<TToolButton>("B1");
    auto* menu = form->Get<TPopupMenu>("Menu1");
    ASSERT_EQ(button->DropdownMenu(), menu);
    int popups = 0;
    menu->OnPopup = [&](TObject*) { ++popups; };
    // A click on the arrow part (the right end of the button) asks for the menu.
    HWND h = form->Get<TToolBar>("Bar")->Handle();
    LPARAM at =
        MAKELPARAM(button->Left() + button->Width() - 4, button->Top() + button->Height() / 2);
    const UINT_PTR timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, EndOpenMenu);
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(h, WM_LBUTTONUP, 0, at);
    PumpUntil([&] { return popups > 0 && !MenuOpen(); });
    KillTimer(nullptr, timer); // in case the menu never opened
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(menu->PopupComponent(), button);
    delete menu;
    EXPECT_EQ(button->DropdownMenu(), nullptr);
}

// Runs from a short repeating thread timer: chooses the first entry of the menu once it shows.
void CALLBACK ChooseFirstEntry(HWND, UINT, UINT_PTR id, DWORD) {
    if (!MenuOpen()) return;
    KillTimer(nullptr, id);
    HWND menu = FindWindowA("#32768", nullptr);
    for (WORD k : {WORD(VK_DOWN), WORD(VK_RETURN)}) {
        PostMessageA(menu, WM_KEYDOWN, k, 0);
        PostMessageA(menu, WM_KEYUP, k, 0xC0000000);
    }
}

TEST_F(ComCtl, ToolBarShowsAMainMenuAsItsButtons) {
    const std::string text =
        "object F: TComCtlForm\n"
        " object Bar: TToolBar\n  Menu = Menu1\n end\n"
        " object Menu1: TMainMenu\n"
        "  object File1: TMenuItem\n   Caption = '&File'\n"
        "   object Open1: TMenuItem\n    Caption = '&Open'\n   end\n"
        "  end\n"
        "  object Help1: TMenuItem\n   Caption = '&Help'\n   Enabled = False\n  end\n"
        "  object Go1: TMenuItem\n   Caption = '&Go'\n  end\n"
        " end\n"
        "end\n";
    auto form = MakeForm(text, true);
    auto* bar = form->Get<TToolBar>("Bar");
    auto* menu = form->Get<TMainMenu>("Menu1");
    ASSERT_EQ(bar->Menu(), menu);
    ASSERT_EQ(bar->ButtonCount(), 3);
    ASSERT_EQ(SendMessageA(bar->Handle(), TB_BUTTONCOUNT, 0, 0), 3);
    const char* captions[] = {"&File", "&Help", "&Go"};
    for (int i = 0; i < 3; ++i) {
        TToolButton* b = bar->Buttons(i);
        EXPECT_EQ(b->MenuItem(), menu->Items()->Items(i)) << i;
        EXPECT_EQ(b->Caption(), captions[i]) << i;
    }
    EXPECT_FALSE(bar->Buttons(1)->Enabled());
    EXPECT_FALSE(SendMessageA(bar->Handle(), TB_ISBUTTONENABLED, bar->Buttons(1)->CommandId(), 0));

    // The buttons are the bar's: a written definition keeps only the reference.
    std::string written = WriteComponentText(*form);
    EXPECT_NE(written.find("Menu = Menu1"), std::string::npos) << written;
    EXPECT_EQ(written.find("TToolButton"), std::string::npos) << written;
    auto again = MakeForm(written, false);
    EXPECT_EQ(again->Get<TToolBar>("Bar")->ButtonCount(), 3);

    // A leaf item runs when its button is clicked; an item with a submenu drops it down under
    // the button, and the entry chosen there runs.
    std::vector<std::string> ran;
    for (const char* name : {"Open1", "Go1"})
        form->Get<TMenuItem>(name)->OnClick = [&ran, name](TObject*) { ran.push_back(name); };
    bar->Buttons(2)->Click();
    EXPECT_EQ(ran, std::vector<std::string>{"Go1"});
    const UINT_PTR timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, ChooseFirstEntry);
    bar->Buttons(0)->Click();
    PumpUntil([&] { return ran.size() == 2; });
    KillTimer(nullptr, timer); // in case the menu never opened
    EXPECT_EQ(ran, (std::vector<std::string>{"Go1", "Open1"}));

    // Another menu replaces the buttons; freeing the menu takes them away.
    bar->SetMenu(nullptr);
    EXPECT_EQ(bar->ButtonCount(), 0);
    bar->SetMenu(menu);
    EXPECT_EQ(bar->ButtonCount(), 3);
    delete menu;
    EXPECT_EQ(bar->Menu(), nullptr);
    EXPECT_EQ(bar->ButtonCount(), 0);
    EXPECT_EQ(SendMessageA(bar->Handle(), TB_BUTTONCOUNT, 0, 0), 0);
}

TEST_F(ComCtl, CollectionsReportChangesOnceAndCopyTheirItems) {
    TCollection panels(TStatusPanel::StaticClass());
    std::vector<int> updates; // index of the changed item, -1 for the whole collection
    panels.OnUpdate = [&](const TCollectionChange& c) {
        updates.push_back(c.action == TCollectionAction::ItemChanged ? c.index : -1);
    };
    struct Case {
        const char* what;
        std::function<void()> change;
        std::vector<int> updates;
        std::vector<std::string> texts;
    } cases[] = {
        {"added", [&] { static_cast<TStatusPanel*>(panels.Add())->SetText("a"); }, {-1, 0}, {"a"}},
        {"bracketed",
         [&] {
             panels.BeginUpdate();
             static_cast<TStatusPanel*>(panels.Add())->SetText("b");
             static_cast<TStatusPanel*>(panels.Add())->SetText("c");
             panels.EndUpdate();
         },
         {-1},
         {"a", "b", "c"}},
        {"item changed", [&] { panels.Item<TStatusPanel>(2)->SetWidth(7); }, {2}, {"a", "b", "c"}},
        {"moved", [&] { panels.Items(0)->SetIndex(2); }, {-1}, {"b", "c", "a"}},
        {"inserted",
         [&] { static_cast<TStatusPanel*>(panels.Insert(1))->SetText("d"); },
         {-1, 1},
         {"b", "d", "c", "a"}},
        {"deleted", [&] { panels.Delete(0); }, {-1}, {"d", "c", "a"}},
    };
    for (const auto& c : cases) {
        updates.clear();
        c.change();
        EXPECT_EQ(updates, c.updates) << c.what;
        std::vector<std::string> texts;
        for (int i = 0; i < panels.Count(); ++i)
            texts.push_back(panels.Item<TStatusPanel>(i)->Text());
        EXPECT_EQ(texts, c.texts) << c.what;
    }
    EXPECT_THROW(panels.Items(3), Exception);
    EXPECT_THROW(panels.Move(0, 5), Exception);
    TCollection copy(TStatusPanel::StaticClass());
    copy.Assign(panels);
    ASSERT_EQ(copy.Count(), 3);
    EXPECT_EQ(copy.Item<TStatusPanel>(1)->Width(), 7);
    EXPECT_EQ(copy.Item<TStatusPanel>(2)->Text(), "a");
    TCollection sections(THeaderSection::StaticClass());
    EXPECT_THROW(sections.Assign(panels), EConvertError);            // items of another class
    EXPECT_THROW(TCollection(TStatusBar::StaticClass()), Exception); // not an item class
}

TEST_F(ComCtl, StyleChangesThatNeedANewWindowKeepTheControlsState) {
    auto form = MakeForm(ComCtlText(), true);
    auto style = [](TWinControl* c) { return GetWindowLongPtrA(c->Handle(), GWL_STYLE); };
    auto* track = form->Get<TTrackBar>("TrackBar1");
    auto* progress = form->Get<TProgressBar>("ProgressBar1");
    auto* picker = form->Get<TDateTimePicker>("DateTimePicker1");
    auto* tabs = form->Get<TTabControl>("TabControl1");
    auto* ud = form->Get<TUpDown>("UpDown1");
    auto* bar = form->Get<TToolBar>("ToolBar1");
    struct Case {
        const char* what;
        std::function<void()> prepare;
        std::function<void()> change;
        std::function<bool()> windowChanged;
        std::function<std::string()> state;
        std::string expected;
    } cases[] = {
        {"track bar turned upright", [&] { track->SetPosition(7); },
         [&] { track->SetOrientation(trVertical); }, [&] { return (style(track) & TBS_VERT) != 0; },
         [&] {
             return std::to_string(SendMessageA(track->Handle(), TBM_GETPOS, 0, 0)) + " " +
                    std::to_string(SendMessageA(track->Handle(), TBM_GETRANGEMAX, 0, 0));
         },
         "7 20"},
        {"progress bar made blocky", [&] { progress->SetPosition(64); },
         [&] { progress->SetSmooth(false); }, [&] { return (style(progress) & PBS_SMOOTH) == 0; },
         [&] { return std::to_string(SendMessageA(progress->Handle(), PBM_GETPOS, 0, 0)); }, "64"},
        {"date picker showing time",
         [&] {
             picker->SetDateText("2020-05-17");
             picker->SetTimeText("08:09:10");
         },
         [&] { picker->SetKind(dtkTime); }, [&] { return (style(picker) & DTS_TIMEFORMAT) != 0; },
         [&] { return picker->DateText() + " " + picker->TimeText(); }, "2020-05-17 08:09:10"},
        {"tabs moved to the left", [&] { tabs->SetTabIndex(2); },
         [&] { tabs->SetTabPosition(tpLeft); }, [&] { return (style(tabs) & TCS_VERTICAL) != 0; },
         [&] {
             return std::to_string(SendMessageA(tabs->Handle(), TCM_GETITEMCOUNT, 0, 0)) + " " +
                    std::to_string(SendMessageA(tabs->Handle(), TCM_GETCURSEL, 0, 0));
         },
         "3 2"},
        {"up-down without arrow keys", [&] { ud->SetPosition(-3); },
         [&] { ud->SetArrowKeys(false); }, [&] { return (style(ud) & UDS_ARROWKEYS) == 0; },
         [&] {
             return std::to_string(ud->Position()) + " " +
                    WindowText(form->Get<TEdit>("Edit1")->Handle()) + " " +
                    (SendMessageA(ud->Handle(), UDM_GETBUDDY, 0, 0) ==
                             reinterpret_cast<LRESULT>(form->Get<TEdit>("Edit1")->Handle())
                         ? "buddy"
                         : "alone");
         },
         "-3 -3 buddy"},
        {"tool bar no longer flat", [] {}, [&] { bar->SetFlat(false); },
         [&] { return (style(bar) & TBSTYLE_FLAT) == 0; },
         [&] {
             return std::to_string(SendMessageA(bar->Handle(), TB_BUTTONCOUNT, 0, 0)) + " " +
                    std::to_string(
                        SendMessageA(
                            bar->Handle(), TB_ISBUTTONCHECKED,
                            static_cast<WPARAM>(form->Get<TToolButton>("ToolButton3")->CommandId()),
                            0) != 0);
         },
         "3 1"},
    };
    for (const auto& c : cases) {
        c.prepare();
        c.change();
        PumpMessages(); // what the change posted
        EXPECT_TRUE(c.windowChanged()) << c.what;
        EXPECT_EQ(c.state(), c.expected) << c.what;
    }
}

TEST_F(ComCtl, HandleCounterSeesADeliberateLeak) {
    long gdi = LiveGdiObjects(), user = LiveUserObjects();
    std::vector<HBRUSH> brushes;
    for (int i = 0; i < 20; ++i)
        brushes.push_back(CreateSolidBrush(RGB(i, 1, 2)));
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    EXPECT_GE(LiveGdiObjects() - gdi, 20);
    EXPECT_EQ(LiveUserObjects() - user, 1);
    for (HBRUSH b : brushes)
        DeleteObject(b);
    DestroyWindow(window);
    EXPECT_EQ(LiveUserObjects(), user);
}

TEST_F(ComCtl, CreatingAndFreeingTheFormLeaksNoHandles) {
    const std::string text = ComCtlText();
    // Every cycle creates every control's window, shows and paints the form and frees it; every
    // second one also visits each page, moves the tabs (re-created window) and changes
    // collections first.
    ExpectNoLeak([&](int i) {
        auto form = MakeForm(text, false);
        form->Show();
        if (i % 2 == 0) {
            auto* pc = form->Get<TPageControl>("PageControl1");
            for (int p = 0; p < pc->PageCount(); ++p) {
                pc->SetActivePageIndex(p);
                PaintNow(form->Handle());
            }
            pc->SetTabPosition(tpLeft);
            form->Get<TListView>("ListView1")->AddItem("cherry");
            form->Get<TStatusBar>("StatusBar1")->Panels()->Add();
            form->Get<TTreeView>("TreeView1")->Items()->AddChild(nullptr, "Nuts");
        }
        PaintNow(form->Handle());
        Application->ProcessMessages();
    });
}

} // namespace
} // namespace wl::test
