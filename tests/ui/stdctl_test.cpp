// Standard and extra controls under Wine, with real windows and messages: the form definition
// round trip of every class, radio exclusivity, the check box state cycle, combo and list box
// contents across re-created windows, scroll bar clamping and reflected scroll messages, speed
// button groups, glyph placement in a drawn bit button, scroll box ranges, frames reading their
// own definition, the class chains the skin engine tests, handle counts and a screenshot.
#include "stdctl_form.h"

#include "support/capture.h"
#include "support/gdi_count.h"
#include "support/gui.h"
#include "support/leak_loop.h"
#include "ui/dialogs.h"
#include "support/testdata.h"
#include "ui/formfile.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace wl::test {
namespace {

// First, before other tests churn the handle tables.
TEST(HandleCount, CountersSeeADeliberateLeak) {
    const long gdi = LiveGdiObjects();
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(LiveGdiObjects(), gdi + 1);
    DeleteObject(brush);
    EXPECT_EQ(LiveGdiObjects(), gdi);

    // A top-level window brings helper windows of its own along: count a child.
    HWND top = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    const long user = LiveUserObjects();
    HWND w = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, top, nullptr, nullptr, nullptr);
    EXPECT_EQ(LiveUserObjects(), user + 1);
    DestroyWindow(w);
    EXPECT_EQ(LiveUserObjects(), user);
    DestroyWindow(top);
}

class StdControls : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Application->Initialize(); }

    static std::unique_ptr<TStdCtlForm> MakeForm(bool show = true, const std::string& text = StdCtlText()) {
        auto form = std::make_unique<TStdCtlForm>(nullptr);
        form->ReadDefinitionText(text);
        if (show) {
            form->Show();
            EXPECT_TRUE(WaitPainted(form->Handle()));
        }
        return form;
    }
};

// A property value as text; string lists as their lines joined with "|".
std::string PropText(TComponent& root, const std::string& component, const std::string& path) {
    TComponent* c = root.FindComponent(component);
    if (!c) return "<no component " + component + ">";
    if (PropKind(*c, path) == TPropKind::StringList) {
        std::string joined;
        for (const std::string& line : GetStringListProperty(*c, path)) joined += (joined.empty() ? "" : "|") + line;
        return joined;
    }
    return GetPropertyText(*c, path);
}

struct PropCase {
    const char* component;
    const char* path;
    const char* value;
};

// Values from data/stdctl.dfm that differ from each class's defaults.
const PropCase kProps[] = {
    {"GroupBox1", "Caption", "Options"},
    {"CheckBox1", "State", "cbChecked"},
    {"CheckBox1", "Checked", "True"},
    {"CheckBox1", "OnClick", "CheckBox1Click"},
    {"CheckBox2", "State", "cbGrayed"},
    {"CheckBox2", "Checked", "False"},
    {"CheckBox2", "AllowGrayed", "True"},
    {"CheckBox2", "Alignment", "taLeftJustify"},
    {"RadioButton1", "Checked", "False"},
    {"RadioButton2", "Checked", "True"},
    {"RadioGroup1", "Items.Strings", "Red|Green|Blue|Black"},
    {"RadioGroup1", "ItemIndex", "1"},
    {"RadioGroup1", "Columns", "2"},
    {"RadioGroup1", "OnClick", "RadioGroup1Click"},
    {"ComboBox1", "Text", "typed text"},
    {"ComboBox1", "Items.Strings", "cherry|apple|banana"},
    {"ComboBox1", "ItemIndex", "-1"},
    {"ComboBox1", "OnChange", "ComboBox1Change"},
    {"ComboBox2", "Style", "csDropDownList"},
    {"ComboBox2", "DropDownCount", "5"},
    {"ComboBox2", "Sorted", "True"},
    {"ComboBox2", "Items.Strings", "one|three|two"},
    {"ComboBox2", "ItemIndex", "2"},
    {"ComboBox2", "Text", "two"},
    {"ComboBox3", "Style", "csSimple"},
    {"ComboBox3", "ItemIndex", "0"},
    {"ComboBox3", "Height", "84"},
    {"ListBox1", "MultiSelect", "True"},
    {"ListBox1", "ExtendedSelect", "False"},
    {"ListBox1", "Items.Strings", "alpha|beta|gamma|delta"},
    {"ListBox1", "ItemIndex", "1"},
    {"ListBox2", "Columns", "2"},
    {"ListBox2", "Sorted", "True"},
    {"ListBox1", "IntegralHeight", "True"},
    {"ListBox2", "Items.Strings", "date|fig|kiwi|lime|pear"},
    {"ScrollBar1", "Min", "10"},
    {"ScrollBar1", "Max", "200"},
    {"ScrollBar1", "Position", "50"},
    {"ScrollBar1", "PageSize", "10"},
    {"ScrollBar1", "SmallChange", "5"},
    {"ScrollBar1", "LargeChange", "20"},
    {"ScrollBar1", "OnScroll", "ScrollBar1Scroll"},
    {"ScrollBar2", "Kind", "sbVertical"},
    {"ScrollBar2", "Width", "17"},
    {"ScrollBar2", "Height", "112"},
    {"ScrollBar2", "Position", "20"},
    {"StaticText1", "Caption", "Static text"},
    {"StaticText1", "Alignment", "taCenter"},
    {"StaticText1", "AutoSize", "False"},
    {"StaticText1", "BorderStyle", "sbsSunken"},
    {"Bevel1", "Shape", "bsFrame"},
    {"Bevel1", "Style", "bsRaised"},
    {"Bevel2", "Shape", "bsTopLine"},
    {"Shape1", "Shape", "stRoundRect"},
    {"Shape1", "Brush.Color", "clYellow"},
    {"Shape1", "Pen.Color", "clRed"},
    {"Shape1", "Pen.Width", "2"},
    {"Shape2", "Shape", "stCircle"},
    {"Image1", "Center", "True"},
    {"Image1", "Transparent", "True"},
    {"BitBtn1", "Kind", "bkOK"},
    {"BitBtn1", "Caption", "OK"},
    {"BitBtn1", "Default", "True"},
    {"BitBtn2", "Caption", "Glyph"},
    {"BitBtn2", "Layout", "blGlyphTop"},
    {"BitBtn2", "Margin", "2"},
    {"BitBtn2", "NumGlyphs", "2"},
    {"BitBtn2", "Spacing", "1"},
    {"SpeedButton1", "GroupIndex", "1"},
    {"SpeedButton1", "Down", "True"},
    {"SpeedButton1", "Flat", "True"},
    {"SpeedButton2", "Down", "False"},
    {"SpeedButton4", "Layout", "blGlyphRight"},
    {"SpeedButton4", "Spacing", "2"},
    {"SpeedButton4", "OnClick", "SpeedButton4Click"},
    {"ScrollBox1", "HorzScrollBar.Increment", "16"},
    {"ScrollBox1", "VertScrollBar.Range", "204"},
    {"Frame1", "Left", "8"},
    {"Frame1", "Width", "260"},
};

TEST_F(StdControls, EveryClassReadWrittenAndReadAgainKeepsItsValues) {
    auto first = MakeForm(false);
    first->HandleNeeded();
    for (const PropCase& p : kProps)
        EXPECT_EQ(PropText(*first, p.component, p.path), p.value) << p.component << "." << p.path << " as read";
    // Pictures and glyphs come through their binary properties.
    EXPECT_EQ(first->Image1->Picture().Width(), 24);
    EXPECT_EQ(first->BitBtn2->Glyph().Width(), 32);
    EXPECT_EQ(first->SpeedButton4->Glyph().Height(), 16);
    EXPECT_FALSE(first->BitBtn1->Glyph().Empty()); // the kind's glyph

    std::string written = WriteComponentText(*first);
    auto second = MakeForm(false, written);
    second->HandleNeeded();
    for (const PropCase& p : kProps)
        EXPECT_EQ(PropText(*second, p.component, p.path), p.value) << p.component << "." << p.path << " read back";
    EXPECT_EQ(second->Image1->Picture().Width(), 24);
    EXPECT_EQ(second->BitBtn2->Glyph().Width(), 32);
    EXPECT_EQ(second->Image1->Picture().Bitmap().SaveToBytes(), first->Image1->Picture().Bitmap().SaveToBytes());
    EXPECT_EQ(WriteComponentText(*second), written);
}

TEST_F(StdControls, CheckingARadioButtonUnchecksOnlyItsSiblings) {
    auto form = MakeForm();
    auto windowChecked = [](TWinControl* c) { return SendMessageA(c->Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; };
    // A click on the window, the way the user does it.
    SendMessageA(form->RadioButton1->Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(form->RadioButton1->Checked());
    EXPECT_FALSE(form->RadioButton2->Checked());
    EXPECT_TRUE(windowChecked(form->RadioButton1));
    EXPECT_FALSE(windowChecked(form->RadioButton2));
    // The radio group's buttons have another parent: untouched.
    EXPECT_EQ(form->RadioGroup1->ItemIndex(), 1);
    EXPECT_TRUE(form->RadioGroup1->Buttons(1)->Checked());

    form->RadioButton2->SetChecked(true);
    EXPECT_FALSE(form->RadioButton1->Checked());
    EXPECT_FALSE(windowChecked(form->RadioButton1));
    EXPECT_TRUE(windowChecked(form->RadioButton2));
}

TEST_F(StdControls, RadioGroupFollowsClicksAndItemIndex) {
    auto form = MakeForm();
    TRadioGroup* group = form->RadioGroup1;
    ASSERT_EQ(group->ButtonCount(), 4);
    // Two columns: Red, Green on the left, Blue, Black on the right.
    EXPECT_EQ(group->Buttons(0)->Left(), group->Buttons(1)->Left());
    EXPECT_GT(group->Buttons(2)->Left(), group->Buttons(0)->Left());
    EXPECT_EQ(group->Buttons(2)->Top(), group->Buttons(0)->Top());
    EXPECT_EQ(GetParent(group->Buttons(3)->Handle()), group->Handle());

    SendMessageA(group->Buttons(3)->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(group->ItemIndex(), 3);
    EXPECT_EQ(form->log, (std::vector<std::string>{"RadioGroup1Click 3"}));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(SendMessageA(group->Buttons(i)->Handle(), BM_GETCHECK, 0, 0), i == 3 ? BST_CHECKED : BST_UNCHECKED);

    // Set in code: the button follows, no click is reported.
    group->SetItemIndex(0);
    EXPECT_TRUE(group->Buttons(0)->Checked());
    EXPECT_FALSE(group->Buttons(3)->Checked());
    group->SetItemIndex(-1);
    EXPECT_FALSE(group->Buttons(0)->Checked());
    EXPECT_EQ(form->log.size(), 1u);
    EXPECT_THROW(group->SetItemIndex(4), Exception);

    // Fewer items: the buttons go, a selection beyond them too.
    group->SetItemIndex(3);
    group->Items().Delete(3);
    EXPECT_EQ(group->ButtonCount(), 3);
    EXPECT_EQ(group->ItemIndex(), -1);
    // The group's buttons are not components of the form: they are not written.
    std::string text = WriteComponentText(*form);
    size_t radios = 0;
    for (size_t at = text.find(": TRadioButton"); at != std::string::npos; at = text.find(": TRadioButton", at + 1))
        ++radios;
    EXPECT_EQ(radios, 2u); // RadioButton1 and RadioButton2
}

TEST_F(StdControls, CheckBoxClicksCycleThroughTheStates) {
    struct Case {
        bool allowGrayed;
        TCheckBoxState start;
        std::vector<TCheckBoxState> afterEachClick;
    };
    const Case cases[] = {
        {false, cbUnchecked, {cbChecked, cbUnchecked, cbChecked}},
        {true, cbUnchecked, {cbGrayed, cbChecked, cbUnchecked, cbGrayed}},
        {true, cbChecked, {cbUnchecked, cbGrayed}},
        {false, cbGrayed, {cbChecked, cbUnchecked}},
    };
    auto form = MakeForm();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("AllowGrayed ") + (c.allowGrayed ? "on" : "off") + ", start " + std::to_string(c.start));
        auto box = std::make_unique<TCheckBox>(nullptr);
        box->SetParent(form.get());
        box->SetAllowGrayed(c.allowGrayed);
        box->SetState(c.start);
        int clicks = 0;
        box->OnClick = [&](TObject*) { ++clicks; };
        for (size_t i = 0; i < c.afterEachClick.size(); ++i) {
            SendMessageA(box->Handle(), BM_CLICK, 0, 0);
            EXPECT_EQ(box->State(), c.afterEachClick[i]) << "click " << i + 1;
            EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), static_cast<LRESULT>(c.afterEachClick[i]));
        }
        EXPECT_EQ(clicks, static_cast<int>(c.afterEachClick.size()));
    }
    // The form's own handler sees the new state.
    SendMessageA(form->CheckBox1->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form->log, (std::vector<std::string>{"CheckBox1Click 0"}));
}

TEST_F(StdControls, ComboItemsAndSelectionSurviveRecreatedWindows) {
    struct Case {
        TComboBoxStyle style;
        bool sorted;
    };
    const Case cases[] = {{csDropDown, false},      {csSimple, false},           {csDropDownList, false},
                          {csOwnerDrawFixed, false}, {csOwnerDrawVariable, false}, {csDropDown, true},
                          {csSimple, true},          {csDropDownList, true},      {csOwnerDrawVariable, true}};
    auto form = MakeForm();
    for (const Case& c : cases) {
        SCOPED_TRACE("style " + std::to_string(c.style) + (c.sorted ? ", sorted" : ""));
        auto combo = std::make_unique<TComboBox>(nullptr);
        combo->SetStyle(c.style);
        combo->SetSorted(c.sorted);
        // Items and selection before there is a window.
        combo->Items().Add("pear");
        combo->Items().Add("apple");
        combo->Items().Add("fig");
        combo->SetItemIndex(c.sorted ? 2 : 0); // "pear" either way
        combo->SetParent(form.get());
        HWND h = combo->Handle();
        ASSERT_EQ(SendMessageA(h, CB_GETCOUNT, 0, 0), 3);
        EXPECT_EQ(combo->ItemIndex(), c.sorted ? 2 : 0);
        EXPECT_EQ(combo->Text(), "pear");
        // An item added to the window directly is read back too.
        SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("banana"));
        const std::vector<std::string> expected =
            c.sorted ? std::vector<std::string>{"apple", "banana", "fig", "pear"}
                     : std::vector<std::string>{"pear", "apple", "fig", "banana"};
        combo->RecreateWnd();
        EXPECT_NE(combo->Handle(), nullptr);
        EXPECT_EQ(combo->Items().Lines(), expected);
        EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETCOUNT, 0, 0), 4);
        EXPECT_EQ(combo->Text(), "pear");
        EXPECT_EQ(combo->Items()[combo->ItemIndex()], "pear");
        // Without a window the kept copy answers.
        combo->DestroyHandle();
        EXPECT_EQ(combo->Items().Lines(), expected);
        EXPECT_EQ(combo->Items()[combo->ItemIndex()], "pear");
        EXPECT_EQ(combo->Text(), "pear");
    }
    // Text typed into the edit that is no item is kept across a new window, and so are the
    // items when the style changes.
    TComboBox* box = form->ComboBox1;
    EXPECT_EQ(box->Text(), "typed text");
    box->RecreateWnd();
    EXPECT_EQ(box->Text(), "typed text");
    box->SetItemIndex(1);
    box->SetStyle(csDropDownList);
    EXPECT_EQ(box->Items().Count(), 3);
    EXPECT_EQ(box->Text(), "apple");
    EXPECT_EQ(SendMessageA(box->Handle(), CB_GETCURSEL, 0, 0), 1);
    EXPECT_THROW(box->SetItemIndex(3), Exception);
}

TEST_F(StdControls, ComboEventsAndDropDownHeight) {
    auto form = MakeForm();
    TComboBox* box = form->ComboBox2;
    int selects = 0, changes = 0;
    box->OnSelect = [&](TObject*) { ++selects; };
    box->OnChange = [&](TObject*) { ++changes; };
    // The user picks with the keyboard: the list reports a selection change.
    SendMessageA(box->Handle(), WM_KEYDOWN, VK_UP, 0);
    PumpUntil([&] { return selects > 0 && changes > 0; });
    EXPECT_EQ(box->ItemIndex(), 1);
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(changes, 1);
    // Five items fit into the dropped-down list.
    int drops = 0;
    box->OnDropDown = [&](TObject*) { ++drops; };
    box->SetDroppedDown(true);
    EXPECT_EQ(drops, 1);
    EXPECT_TRUE(box->DroppedDown());
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(box->Handle(), &info));
    RECT list;
    GetWindowRect(info.hwndList, &list);
    int item = static_cast<int>(SendMessageA(box->Handle(), CB_GETITEMHEIGHT, 0, 0));
    EXPECT_GE(list.bottom - list.top, 3 * item); // all three items show
    box->SetDroppedDown(false);
}

TEST_F(StdControls, OwnerDrawnComboMeasuresAndDrawsItsItems) {
    auto form = MakeForm();
    auto combo = std::make_unique<TComboBox>(nullptr);
    combo->SetStyle(csOwnerDrawVariable);
    combo->SetItemHeight(18);
    for (const char* s : {"small", "medium", "large"}) combo->Items().Add(s);
    combo->SetItemIndex(2);
    combo->OnMeasureItem = [](TWinControl*, int index, int& height) { height = 12 + 6 * index; };
    std::vector<std::string> drawn;
    combo->OnDrawItem = [&](TWinControl* c, int index, RECT r, TOwnerDrawState state) {
        auto* box = static_cast<TComboBox*>(c);
        box->Canvas().FillRect(r);
        drawn.push_back(std::to_string(index) + ((state & ODS_COMBOBOXEDIT) ? " field" : ""));
    };
    combo->SetBounds(300, 330, 120, 24);
    combo->SetParent(form.get());
    HWND h = combo->Handle();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(SendMessageA(h, CB_GETITEMHEIGHT, static_cast<WPARAM>(i), 0), 12 + 6 * i);
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpUntil([&] { return !drawn.empty(); });
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back(), "2 field");
    // Without a handler the item's text is drawn on the selection colour.
    combo->OnDrawItem.Clear();
    combo->SetStyle(csOwnerDrawFixed);
    EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETITEMHEIGHT, 1, 0), 18);
    EXPECT_EQ(combo->Text(), "large");
}

TEST_F(StdControls, ListBoxMultiSelectionSurvivesRecreatedWindows) {
    auto form = MakeForm();
    TListBox* list = form->ListBox1; // multiple selection without extended keys
    HWND h = list->Handle();
    // A click toggles an item in this mode.
    RECT item;
    SendMessageA(h, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item));
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(item.left + 3, item.top + 2));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(item.left + 3, item.top + 2));
    list->SetSelected(0, true);
    EXPECT_EQ(list->SelCount(), 2);
    EXPECT_TRUE(list->Selected(0));
    EXPECT_FALSE(list->Selected(1));
    EXPECT_TRUE(list->Selected(2));
    // Sorting re-creates the window; the selection follows the items to their new places.
    list->SetSorted(true);
    EXPECT_EQ(list->Items().Lines(), (std::vector<std::string>{"alpha", "beta", "delta", "gamma"}));
    EXPECT_EQ(list->SelCount(), 2);
    EXPECT_TRUE(list->Selected(0)); // alpha
    EXPECT_TRUE(list->Selected(3)); // gamma
    EXPECT_FALSE(list->Selected(2));
    // Without a window.
    list->DestroyHandle();
    EXPECT_TRUE(list->Selected(3));
    EXPECT_EQ(list->SelCount(), 2);
    EXPECT_THROW(list->Selected(4), Exception);
    // Single selection: Selected and ItemIndex are one thing; a selection change is a click.
    TListBox* single = form->ListBox2;
    int clicks = 0;
    single->OnClick = [&](TObject*) { ++clicks; };
    single->SetSelected(3, true);
    EXPECT_EQ(single->ItemIndex(), 3);
    EXPECT_EQ(single->Items()[3], "lime");
    SendMessageA(single->Handle(), WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(single->ItemIndex(), 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(GetWindowLongPtrA(single->Handle(), GWL_STYLE) & LBS_MULTICOLUMN, LBS_MULTICOLUMN);
}

TEST_F(StdControls, ScrollBarPositionIsClampedAndReportsChanges) {
    struct Case {
        int min, max, page, set, expected;
    };
    const Case cases[] = {
        {0, 100, 0, 50, 50},   {0, 100, 0, 150, 100}, {0, 100, 0, -5, 0},   {10, 200, 10, 5, 10},
        {10, 200, 10, 200, 191}, {10, 200, 10, 191, 191}, {-50, -10, 0, 0, -10}, {0, 0, 0, 7, 0},
    };
    auto form = MakeForm();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.min) + ".." + std::to_string(c.max) + " page " + std::to_string(c.page) +
                     " set " + std::to_string(c.set));
        auto bar = std::make_unique<TScrollBar>(nullptr);
        bar->SetParent(form.get());
        bar->SetParams(0, std::min(c.min, 0), std::max(c.max, 0));
        bar->SetParams(c.min, c.min, c.max);
        bar->SetPageSize(c.page);
        int changes = 0;
        bar->OnChange = [&](TObject*) { ++changes; };
        bar->SetPosition(c.set);
        EXPECT_EQ(bar->Position(), c.expected);
        EXPECT_EQ(changes, c.expected != c.min ? 1 : 0);
        EXPECT_EQ(GetScrollPos(bar->Handle(), SB_CTL), c.expected);
    }
    TScrollBar* bar = form->ScrollBar1;
    EXPECT_THROW(bar->SetMax(5), EInvalidOperation); // below Min
    EXPECT_EQ(bar->Max(), 200);
    EXPECT_THROW(bar->SetPageSize(500), EInvalidOperation);
    EXPECT_EQ(bar->PageSize(), 10);
    // The scroll bar window tells its parent, which hands the message back to the bar.
    HWND parent = form->Handle();
    SendMessageA(parent, WM_HSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(bar->Handle()));
    SendMessageA(parent, WM_HSCROLL, SB_PAGEUP, reinterpret_cast<LPARAM>(bar->Handle()));
    SendMessageA(parent, WM_HSCROLL, SB_BOTTOM, reinterpret_cast<LPARAM>(bar->Handle()));
    EXPECT_EQ(form->log, (std::vector<std::string>{"ScrollBar1Scroll 1 55", "ScrollBar1Change 55",
                                                   "ScrollBar1Scroll 2 35", "ScrollBar1Change 35",
                                                   "ScrollBar1Scroll 7 191", "ScrollBar1Change 191"}));
    EXPECT_EQ(GetScrollPos(bar->Handle(), SB_CTL), 191);
    // OnScroll may change where the bar goes.
    bar->OnScroll = [](TObject*, TScrollCode, int& pos) { pos = pos / 50 * 50; };
    SendMessageA(parent, WM_HSCROLL, SB_TOP, reinterpret_cast<LPARAM>(bar->Handle()));
    EXPECT_EQ(bar->Position(), 10); // 10 taken down to 0, clamped again to Min
    SendMessageA(parent, WM_HSCROLL, SB_BOTTOM, reinterpret_cast<LPARAM>(bar->Handle()));
    EXPECT_EQ(bar->Position(), 150); // 191 taken down to 150
}

TEST_F(StdControls, BadValuesInADefinitionAreClearErrors) {
    struct Case {
        const char* body;
        const char* message;
    };
    const Case cases[] = {
        // Min after Max is fine while reading; a range that ends below its start is not.
        {"object S: TScrollBar\n Max = 300\n Min = 200\n Position = 250\n end", nullptr},
        {"object S: TScrollBar\n Min = 50\n Max = 10\n end", "Scroll bar property out of range"},
        {"object S: TScrollBar\n Max = 10\n PageSize = 20\n end", "Scroll bar property out of range"},
        {"object I: TImage\n Picture.Data = { 04544A504700000000 }\n end", "Unsupported picture format TJPG"},
        {"object I: TImage\n Picture.Data = { 07544269746D }\n end", "Picture data is not valid"},
        {"object C: TComboBox\n Items.Strings = ( 'a' )\n ItemIndex = 3\n end", "List index out of bounds (3)"},
        {"object L: TListBox\n ItemIndex = 2\n Items.Strings = ( 'a' 'b' )\n end", "List index out of bounds (2)"},
        // The index may come before the items.
        {"object C: TComboBox\n ItemIndex = 1\n Items.Strings = ( 'a' 'b' )\n end", nullptr},
        {"object L: TListBox\n ItemIndex = 1\n Items.Strings = ( 'a' 'b' )\n end", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        TForm form(nullptr);
        std::string text = std::string("object F: TForm\n") + c.body + "\nend\n";
        if (!c.message) {
            EXPECT_NO_THROW(ReadComponentText(form, text, "F"));
            continue;
        }
        try {
            ReadComponentText(form, text, "F");
            ADD_FAILURE() << "no error";
        } catch (const std::exception& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
    TForm form(nullptr);
    ReadComponentText(form, "object F: TForm\n object S: TScrollBar\n Max = 300\n Min = 200\n Position = 250\n end\nend\n", "F");
    auto* bar = static_cast<TScrollBar*>(form.FindComponent("S"));
    EXPECT_EQ(bar->Min(), 200);
    EXPECT_EQ(bar->Position(), 250);
}

TEST_F(StdControls, StaticTextImageShapeAndBevelGeometry) {
    auto form = MakeForm();
    // A static text with AutoSize takes its text's size plus the frame.
    auto text = std::make_unique<TStaticText>(nullptr);
    text->SetParent(form.get());
    text->SetCaption("Sized to fit");
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, text->Font().Handle());
    SIZE size{};
    GetTextExtentPoint32A(dc, "Sized to fit", 12, &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(text->Width(), size.cx);
    EXPECT_EQ(text->Height(), size.cy);
    text->SetBorderStyle(sbsSingle);
    EXPECT_EQ(text->Width(), size.cx + 2);
    EXPECT_TRUE(GetWindowLongPtrA(text->Handle(), GWL_STYLE) & WS_BORDER);

    // Where a 24 x 24 picture goes in a 104 x 48 image.
    struct ImageCase {
        bool stretch, center;
        RECT expected;
    };
    const ImageCase images[] = {
        {false, false, {0, 0, 24, 24}},
        {false, true, {40, 12, 64, 36}},
        {true, false, {0, 0, 104, 48}},
        {true, true, {0, 0, 104, 48}},
    };
    TImage* image = form->Image1;
    for (const ImageCase& c : images) {
        image->SetStretch(c.stretch);
        image->SetCenter(c.center);
        RECT r = image->DestRect();
        EXPECT_TRUE(EqualRect(&r, &c.expected)) << c.stretch << c.center << ": " << r.left << "," << r.top << ","
                                                << r.right << "," << r.bottom;
    }
    image->SetAutoSize(true);
    EXPECT_EQ(image->Width(), 24);
    EXPECT_EQ(image->Height(), 24);

    // Painted pixels, read back from a picture of the form.
    auto picture = form->GetFormImage();
    TCanvas& c = picture->Canvas();
    // A raised frame bevel: light outer top-left, dark inner.
    EXPECT_EQ(c.Pixel(448 + 20, 8), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(c.Pixel(448 + 20, 8 + 1), ColorToRGB(clBtnShadow));
    // The top-line bevel (lowered): dark then light.
    EXPECT_EQ(c.Pixel(100, 264), ColorToRGB(clBtnShadow));
    EXPECT_EQ(c.Pixel(100, 265), ColorToRGB(clBtnHighlight));
    // The circle is centred in its 48 x 40 bounds: its left edge is 4 pixels in.
    EXPECT_EQ(c.Pixel(504 + 2, 64 + 20), ColorToRGB(clBtnFace));
    EXPECT_EQ(c.Pixel(504 + 6, 64 + 20), ColorToRGB(clAqua));
    // The round rectangle's red pen and yellow fill.
    EXPECT_EQ(c.Pixel(448 + 24, 64 + 1), ColorToRGB(clRed));
    EXPECT_EQ(c.Pixel(448 + 24, 64 + 20), ColorToRGB(clYellow));
}

TEST_F(StdControls, SpeedButtonGroupsKeepOneDown) {
    auto form = MakeForm();
    HWND h = form->Handle();
    auto click = [&](TSpeedButton* b, int dx = 0) {
        LPARAM at = MAKELPARAM(b->Left() + b->Width() / 2, b->Top() + b->Height() / 2);
        LPARAM up = MAKELPARAM(b->Left() + b->Width() / 2 + dx, b->Top() + b->Height() / 2);
        SendMessageA(h, WM_MOUSEMOVE, 0, at);
        SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
        EXPECT_TRUE(b->Pressed());
        SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, up);
        SendMessageA(h, WM_LBUTTONUP, 0, up);
        EXPECT_FALSE(b->Pressed());
    };
    TSpeedButton* a = form->SpeedButton1;
    TSpeedButton* b = form->SpeedButton2;
    TSpeedButton* c = form->SpeedButton3;
    struct Step {
        TSpeedButton* target;
        bool allowAllUp;
        bool downA, downB, downC;
    };
    const Step steps[] = {
        {b, false, false, true, false}, {c, false, false, false, true},
        {c, false, false, false, true}, // the down button of a group stays down
        {c, true, false, false, false}, // unless all may be up
        {a, true, true, false, false},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE("step " + std::to_string(i + 1));
        a->SetAllowAllUp(steps[i].allowAllUp); // the whole group follows
        EXPECT_EQ(c->AllowAllUp(), steps[i].allowAllUp);
        click(steps[i].target);
        EXPECT_EQ(a->Down(), steps[i].downA);
        EXPECT_EQ(b->Down(), steps[i].downB);
        EXPECT_EQ(c->Down(), steps[i].downC);
    }
    // Released outside: no click, no change.
    a->SetAllowAllUp(false);
    click(b, 100);
    EXPECT_TRUE(a->Down());
    EXPECT_FALSE(b->Down());
    // An ungrouped button is never down, and clicks on release.
    TSpeedButton* go = form->SpeedButton4;
    go->SetDown(true);
    EXPECT_FALSE(go->Down());
    click(go);
    click(go, 200);
    EXPECT_EQ(form->log, (std::vector<std::string>{"SpeedButton4Click"}));
    // A flat button shows a raised frame only while the mouse is over it.
    auto corner = [&] { return form->GetFormImage()->Canvas().Pixel(b->Left(), b->Top()); };
    EXPECT_EQ(corner(), ColorToRGB(clBtnFace));
    SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(b->Left() + 3, b->Top() + 3));
    EXPECT_TRUE(b->MouseInside());
    EXPECT_EQ(corner(), ColorToRGB(clBtnHighlight));
    SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(2, 400));
    EXPECT_FALSE(b->MouseInside());
    EXPECT_EQ(corner(), ColorToRGB(clBtnFace));
}

TEST_F(StdControls, BitButtonKindsAndTheirGlyphPlacement) {
    struct KindCase {
        TBitBtnKind kind;
        const char* caption;
        bool isDefault, isCancel;
        int modalResult;
    };
    const KindCase kinds[] = {
        {bkOK, "OK", true, false, mrOk},          {bkCancel, "Cancel", false, true, mrCancel},
        {bkHelp, "&Help", false, false, mrNone},  {bkYes, "&Yes", true, false, mrYes},
        {bkNo, "&No", false, true, mrNo},         {bkClose, "&Close", false, false, mrNone},
        {bkAbort, "Abort", false, false, mrAbort}, {bkRetry, "&Retry", false, false, mrRetry},
        {bkIgnore, "&Ignore", false, false, mrIgnore}, {bkAll, "&All", false, false, mrAll},
    };
    for (const KindCase& k : kinds) {
        SCOPED_TRACE(k.caption);
        TBitBtn b(nullptr);
        b.SetKind(k.kind);
        EXPECT_EQ(b.Caption(), k.caption);
        EXPECT_EQ(b.Default(), k.isDefault);
        EXPECT_EQ(b.Cancel(), k.isCancel);
        EXPECT_EQ(b.ModalResult(), k.modalResult);
        EXPECT_EQ(b.Glyph().Width(), 18);
    }

    // A Close button closes its form instead of setting a result.
    {
        auto owner = MakeForm();
        owner->Show();
        auto close = std::make_unique<TBitBtn>(nullptr);
        close->SetKind(bkClose);
        close->SetParent(owner.get());
        close->Click();
        EXPECT_FALSE(IsWindowVisible(owner->Handle()));
        EXPECT_EQ(owner->ModalResult(), mrNone);
    }

    // A drawn button: the red glyph sits where the layout puts it.
    auto form = MakeForm();
    auto btn = std::make_unique<TBitBtn>(nullptr);
    btn->SetBounds(300, 330, 100, 40);
    btn->SetCaption("Red");
    TBitmap glyph(16, 16);
    glyph.Canvas().Brush().SetColor(clRed);
    glyph.Canvas().FillRect({0, 0, 16, 16});
    glyph.Canvas().SetPixel(0, 15, clOlive); // the transparent colour
    btn->Glyph().Assign(glyph);
    btn->SetParent(form.get());
    EXPECT_EQ(GetWindowLongPtrA(btn->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    const TButtonLayout layouts[] = {blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom};
    for (TButtonLayout layout : layouts) {
        SCOPED_TRACE("layout " + std::to_string(layout));
        btn->SetLayout(layout);
        RedrawWindow(btn->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        ASSERT_TRUE(WaitPainted(btn->Handle()));
        // Not default, not focused: frame of 2, face from 2 pixels further in.
        HDC dc = GetDC(btn->Handle());
        HGDIOBJ old = SelectObject(dc, btn->Font().Handle());
        SIZE text{};
        GetTextExtentPoint32A(dc, "Red", 3, &text);
        SelectObject(dc, old);
        ReleaseDC(btn->Handle(), dc);
        TGlyphLayoutInput in;
        in.clientWidth = 100 - 4;
        in.clientHeight = 40 - 4;
        in.glyphWidth = in.glyphHeight = 16;
        in.textWidth = text.cx;
        in.textHeight = text.cy;
        in.layout = layout;
        TGlyphLayout at = LayoutGlyphAndCaption(in);
        // What the button drew, read through its own DC: no need to wait for the screen.
        const TCapture drawn = TCapture::WindowDC(btn->Handle());
        EXPECT_EQ(drawn.At(2 + at.glyphX + 8, 2 + at.glyphY + 8), RGB(255, 0, 0));
        // The opposite side of the button is not red.
        EXPECT_NE(drawn.At(2 + in.clientWidth - at.glyphX - 8, 2 + in.clientHeight - at.glyphY - 8), RGB(255, 0, 0));
    }
    // A disabled button draws its disabled cell, or the up cell in grey when it has none.
    TBitBtn* two = form->BitBtn2; // 32 x 16: a red square on olive, then a grey one
    auto squareCentre = [&](int glyphWidth) {
        RedrawWindow(two->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_TRUE(WaitPainted(two->Handle()));
        HDC dc = GetDC(two->Handle());
        HGDIOBJ old = SelectObject(dc, two->Font().Handle());
        SIZE text{};
        GetTextExtentPoint32A(dc, "Glyph", 5, &text);
        SelectObject(dc, old);
        ReleaseDC(two->Handle(), dc);
        TGlyphLayoutInput in;
        in.clientWidth = two->Width() - 4;
        in.clientHeight = two->Height() - 4;
        in.glyphWidth = glyphWidth;
        in.glyphHeight = 16;
        in.textWidth = text.cx;
        in.textHeight = text.cy;
        in.layout = blGlyphTop;
        in.margin = 2;
        in.spacing = 1;
        TGlyphLayout at = LayoutGlyphAndCaption(in);
        return TCapture::WindowDC(two->Handle()).At(2 + at.glyphX + 8, 2 + at.glyphY + 8);
    };
    EXPECT_EQ(squareCentre(16), RGB(255, 0, 0));
    two->SetEnabled(false);
    EXPECT_EQ(squareCentre(16), RGB(128, 128, 128));
    two->SetNumGlyphs(1);
    EXPECT_EQ(squareCentre(32), RGB(166, 166, 166));
    two->SetEnabled(true);
    EXPECT_EQ(squareCentre(32), RGB(255, 0, 0));

    // Default button: still owner-drawn.
    btn->SetDefault(true);
    EXPECT_EQ(GetWindowLongPtrA(btn->Handle(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    int clicks = 0;
    btn->OnClick = [&](TObject*) { ++clicks; };
    SendMessageA(btn->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);
}

TEST_F(StdControls, ScrollBoxRangeFollowsItsChildren) {
    auto form = MakeForm();
    TScrollBox* box = form->ScrollBox1;
    TPanel* panel = form->BoxPanel;
    HWND h = box->Handle();
    auto info = [&](int bar) {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL;
        GetScrollInfo(h, bar, &si);
        return si;
    };
    EXPECT_EQ(box->VertScrollBar().Range(), 204);
    EXPECT_TRUE(GetWindowLongPtrA(h, GWL_STYLE) & WS_VSCROLL);
    EXPECT_FALSE(GetWindowLongPtrA(h, GWL_STYLE) & WS_HSCROLL);
    EXPECT_EQ(info(SB_VERT).nMax, 203);
    EXPECT_EQ(static_cast<int>(info(SB_VERT).nPage), box->ClientHeight());

    // Scrolling moves the children; the position stops at the end.
    box->VertScrollBar().SetPosition(30);
    EXPECT_EQ(panel->Top(), 4 - 30);
    RECT r;
    GetWindowRect(panel->Handle(), &r);
    POINT p{r.left, r.top};
    ScreenToClient(h, &p);
    EXPECT_EQ(p.y, -26);
    box->VertScrollBar().SetPosition(10000);
    const int last = 204 - box->ClientHeight();
    EXPECT_EQ(box->VertScrollBar().Position(), last);
    EXPECT_EQ(panel->Top(), 4 - last);
    EXPECT_EQ(info(SB_VERT).nPos, last);
    // Messages of the window's own scroll bar.
    SendMessageA(h, WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(panel->Top(), 4);
    SendMessageA(h, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(box->VertScrollBar().Position(), 8);

    // A child that moves or grows changes the range once the box repaints.
    panel->SetBounds(panel->Left(), panel->Top(), 300, 50);
    EXPECT_TRUE(WaitPainted(h));
    EXPECT_EQ(box->HorzScrollBar().Range(), 304);
    EXPECT_TRUE(GetWindowLongPtrA(h, GWL_STYLE) & WS_HSCROLL);
    EXPECT_EQ(info(SB_HORZ).nMax, 303);
    EXPECT_FALSE(GetWindowLongPtrA(h, GWL_STYLE) & WS_VSCROLL) << "50 pixels fit";
    EXPECT_EQ(box->VertScrollBar().Position(), 0);
    EXPECT_EQ(panel->Top(), 4);
    SendMessageA(h, WM_HSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(panel->Left(), 4 - 16); // HorzScrollBar.Increment = 16
}

TEST_F(StdControls, FrameReadsItsOwnDefinitionInsideAForm) {
    auto form = MakeForm();
    TStdTestFrame* frame = form->Frame1;
    ASSERT_NE(frame, nullptr);
    ASSERT_NE(frame->FrameCheck, nullptr);
    EXPECT_EQ(frame->FrameCheck->Owner(), frame);
    EXPECT_EQ(frame->FrameCheck->Parent(), frame);
    EXPECT_TRUE(frame->FrameCheck->Checked());
    EXPECT_EQ(frame->FrameLabel->Caption(), "Inside a frame");
    EXPECT_EQ(form->FindComponent("FrameCheck"), nullptr);
    EXPECT_EQ(frame->Name(), "Frame1");
    // The form's values win over the frame's own.
    EXPECT_EQ(frame->Width(), 260);
    EXPECT_EQ(frame->Top(), 330);
    EXPECT_EQ(GetParent(frame->FrameCheck->Handle()), frame->Handle());
    // The frame's components are its own: the form's definition does not repeat them.
    EXPECT_EQ(WriteComponentText(*form).find("FrameCheck"), std::string::npos);
}

TEST(StdControlClasses, ChainsTheSkinEngineTests) {
    struct Case {
        const char* cls;
        const char* ancestor;
        bool inherits;
    };
    const Case cases[] = {
        {"TBitBtn", "TButton", true},
        {"TCheckBox", "TCustomCheckBox", true},
        {"TRadioGroup", "TCustomRadioGroup", true},
        {"TRadioGroup", "TCustomGroupBox", true},
        {"TGroupBox", "TCustomGroupBox", true},
        {"TComboBox", "TCustomComboBox", true},
        {"TListBox", "TCustomListBox", true},
        {"TFrame", "TCustomFrame", true},
        {"TScrollBox", "TScrollingWinControl", true},
        {"TFrame", "TScrollingWinControl", true},
        {"TSpeedButton", "TGraphicControl", true},
        {"TStaticText", "TWinControl", true},
        {"TScrollBar", "TWinControl", true},
        // Distinctions the engine's order of tests depends on.
        {"TFrame", "TScrollBox", false},
        {"TRadioButton", "TCustomCheckBox", false},
        {"TCheckBox", "TButton", false},
        {"TRadioGroup", "TCustomPanel", false},
        {"TGroupBox", "TCustomPanel", false},
        {"TBitBtn", "TCustomCheckBox", false},
        {"TSpeedButton", "TButton", false},
        {"TComboBox", "TCustomEdit", false},
        {"TListBox", "TCustomEdit", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.cls) + " -> " + c.ancestor);
        const TClassInfo& info = GetClass(c.cls);
        EXPECT_EQ(info.InheritsFrom(c.ancestor), c.inherits);
    }
    // Every concrete class can be created by name.
    for (const char* name : {"TCheckBox", "TRadioButton", "TGroupBox", "TRadioGroup", "TComboBox", "TListBox",
                             "TScrollBar", "TStaticText", "TBevel", "TShape", "TImage", "TBitBtn", "TSpeedButton",
                             "TScrollBox", "TFrame"}) {
        std::unique_ptr<TObject> obj(CreateObjectByName(name, nullptr));
        ASSERT_NE(obj, nullptr) << name;
        EXPECT_EQ(obj->ClassName(), name);
    }
}

TEST_F(StdControls, CreatingAndFreeingTheFormLeaksNoHandles) {
    // Every cycle creates every window, shows and paints the form and frees it; every second one
    // also re-creates combo and list windows, draws the glyph buttons pressed and moves over the
    // speed buttons first.
    ExpectNoLeak([&](int i) {
        auto form = MakeForm(false);
        form->Show();
        if (i % 2 == 0) {
            form->ComboBox1->RecreateWnd();
            form->ListBox1->SetSorted(true);
            form->BitBtn2->SetEnabled(false);
            SendMessageA(form->BitBtn1->Handle(), BM_SETSTATE, TRUE, 0);
            form->ScrollBox1->VertScrollBar().SetPosition(40);
            SendMessageA(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(250, 285));
        }
        PaintNow(form->Handle());
        Application->ProcessMessages();
    });
}

TEST_F(StdControls, GalleryScreenshot) {
    auto form = MakeForm();
    form->BitBtn1->SetFocus();
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ASSERT_TRUE(WaitFlushed(form->Handle()));
    const TCapture shot = TCapture::Window(form->Handle());
    ASSERT_TRUE(shot.Save(ArtifactDir() + "/ui-stdctl-gallery.bmp"));
    // The shapes' fills are where they belong.
    POINT client{0, 0};
    ClientToScreen(form->Handle(), &client);
    RECT wr;
    GetWindowRect(form->Handle(), &wr);
    const int ox = client.x - wr.left, oy = client.y - wr.top;
    EXPECT_EQ(shot.At(ox + 448 + 24, oy + 64 + 20), RGB(255, 255, 0));             // Shape1 centre
    EXPECT_EQ(shot.At(ox + 504 + 24, oy + 64 + 20), RGB(0, 255, 255));             // Shape2 centre
    EXPECT_EQ(shot.At(ox + 504 + 2, oy + 64 + 2), GetSysColor(COLOR_BTNFACE)); // outside the circle
}

} // namespace
} // namespace wl::test
