// Control discovery: the decision tables (controls by class facts, plain windows by class and
// style, toolbar button frames) and, under Wine, real forms skinned by the manager: which
// companion each control got, plain dialog children, a control made after the start, the
// DisableTag rule, the toolbar handlers, and unskinning giving everything back.
//
// Companion kinds that are not linked into this program are stood in for by probes registered
// under their class names (plain TSkinControl objects that answer with that name), so the scan,
// the attach entry points and the bookkeeping are checked whatever families are built.
#include "controls_fixture.h"

#include "skin/controls/discovery.h"
#include "support/gui.h"
#include "ui/graphics_colors.h"
#include "ui/buttons.h"
#include "ui/comctrls.h"
#include "ui/extctrls.h"
#include "ui/stdctrls.h"

#include <deque>
#include <map>
#include <utility>

namespace {

using namespace wl;
using skincontrols::SkinControlsTest;

// ---- facts for the pure tables ----------------------------------------------------------------

std::vector<std::string> ChainOf(const std::string& className) {
    std::vector<std::string> chain;
    const TClassInfo* info = FindClass(className);
    if (!info) return {className, "TWinControl", "TControl", "TComponent", "TPersistent", "TObject"};
    for (; info; info = info->parent) chain.push_back(info->name);
    return chain;
}

std::string UpperOf(std::string s) {
    for (char& c : s) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return s;
}

TControlFacts Facts(const std::string& className) {
    TControlFacts f;
    f.Classes = ChainOf(className);
    f.UpperName = UpperOf(className);
    f.Windowed = std::find(f.Classes.begin(), f.Classes.end(), "TWinControl") != f.Classes.end();
    f.SkinControls = kAllSkinControls;
    f.HasTabs = true;
    f.FrameSkinned = true;
    return f;
}

TSkinControlTypes Without(TSkinControlType t) { return kAllSkinControls & ~SkinControlBit(t); }

TEST(DiscoveryDecision, ControlsByClassFacts) {
    struct Case {
        const char* what;
        TControlFacts facts;
        const char* expected;
    };
    auto f = [](const char* cls, auto&& tweak) {
        TControlFacts x = Facts(cls);
        tweak(x);
        return x;
    };
    const Case cases[] = {
        {"button", Facts("TButton"), "TSkinButton"},
        {"bit button", Facts("TBitBtn"), "TSkinBitButton"},
        {"bit button, xcBitBtn off: never the push-button companion",
         f("TBitBtn", [](TControlFacts& x) { x.SkinControls = Without(xcBitBtn); }), ""},
        {"button, xcButton off", f("TButton", [](TControlFacts& x) { x.SkinControls = Without(xcButton); }), ""},
        {"edit", Facts("TEdit"), "TSkinEdit"},
        {"memo", Facts("TMemo"), "TSkinScrollbar[scroll]"},
        {"memo without scroll bars falls to the edit test",
         f("TMemo", [](TControlFacts& x) { x.SkinControls = Without(xcScrollbar); }), "TSkinEdit"},
        {"list box", Facts("TListBox"), "TSkinScrollbar[scroll]"},
        {"tree view", Facts("TTreeView"), "TSkinScrollbar[scroll]"},
        {"scroll box", Facts("TScrollBox"), "TSkinScrollbar[scroll]"},
        {"list view", Facts("TListView"), "TSkinListView[scroll]"},
        {"custom control with a vertical scroll bar",
         f("TCustomControl", [](TControlFacts& x) { x.Style = WS_VSCROLL; }), "TSkinScrollbar[scroll]"},
        {"custom control without scroll bars", Facts("TCustomControl"), ""},
        {"scroll bar", Facts("TScrollBar"), "TSkinScControl[scrollcontrol]"},
        {"combo box", Facts("TComboBox"), "TSkinComBox"},
        {"check box", Facts("TCheckBox"), "TSkinCheckBox"},
        {"radio button", Facts("TRadioButton"), "TSkinRadioButton"},
        {"radio group", f("TRadioGroup", [](TControlFacts& x) { x.HasChildren = true; }),
         "Children:TSkinRadioButton; TSkinGroupBox[colorize]"},
        {"group box: children first", Facts("TGroupBox"), "ScanChildren; TSkinGroupBox"},
        {"panel: children first, coloured", Facts("TPanel"), "ScanChildren; TSkinBox[colorize]"},
        {"progress bar", Facts("TProgressBar"), "TSkinProgress"},
        {"track bar", Facts("TTrackBar"), "TSkinTrackBar"},
        {"up-down", Facts("TUpDown"), "TSkinUpDown"},
        {"status bar", Facts("TStatusBar"), "TSkinStatusBar"},
        {"header", Facts("THeaderControl"), "TSkinHeader"},
        {"media player", Facts("TMediaPlayer"), "TSkinMP"},
        {"page control with tabs", Facts("TPageControl"), "TSkinTab"},
        {"page control with buttons", f("TPageControl", [](TControlFacts& x) { x.TabStyle = tsButtons; }),
         "TSkinTabBtn"},
        {"page control with flat buttons",
         f("TPageControl", [](TControlFacts& x) { x.TabStyle = tsFlatButtons; }), "TSkinTabBtn"},
        {"tab control", Facts("TTabControl"), "TSkinTab[mode=2]"},
        {"page control, skin without tabs", f("TPageControl", [](TControlFacts& x) { x.HasTabs = false; }), ""},
        {"tab sheet", Facts("TTabSheet"), "TSkinTabSheet"},
        {"tab set by name", Facts("TTabSet"), "TSkinTab31"},
        {"date picker with drop-down", Facts("TDateTimePicker"), "TSkinDateTime"},
        {"time picker", f("TDateTimePicker", [](TControlFacts& x) { x.DateKind = dtkTime; }), "TSkinEdit"},
        {"date picker with up-down", f("TDateTimePicker", [](TControlFacts& x) { x.DateMode = dmUpDown; }),
         "TSkinEdit"},
        {"speed button", Facts("TSpeedButton"), "TSkinSpeedButton[speedbutton]"},
        {"toolbar", Facts("TToolBar"), "Set Flat=True; ToolbarHandlers; TSkinBox"},
        {"toolbar with a menu", f("TToolBar", [](TControlFacts& x) { x.HasMenu = true; }),
         "Set Flat=True; ToolbarHandlers; TSkinBox; HookToolbarMenu"},
        {"toolbar, xcToolbar off", f("TToolBar", [](TControlFacts& x) { x.SkinControls = Without(xcToolbar); }), ""},
        {"tool button with a menu item", f("TToolButton", [](TControlFacts& x) { x.HasMenuItem = true; }),
         "HookButtonMenu"},
        {"tool button, frame not skinned",
         f("TToolButton", [](TControlFacts& x) { x.HasMenuItem = true, x.FrameSkinned = false; }), ""},
        {"cool bar", Facts("TCoolBar"), "BandColors"},
        {"frame", Facts("TFrame"), "ScanComponents"},
        {"embedded form", Facts("TForm"), "TSkinBox[colorize]; ScanComponents"},
        {"label", Facts("TLabel"), ""},
        {"navigator by name", Facts("TDBNavigator"), "TSkinBox[colorize]; SkinChildren"},
        {"checkbox of another library", Facts("TRzCheckBox"), "TSkinObjImage[colorize,ImageKind=1]"},
        {"radio button of another library", Facts("TRzRadioButton"), "TSkinObjImage[colorize,ImageKind=2]"},
        {"glyph check box", Facts("TcxCheckBox"), "TSkinObjImage[colorize,ImageKind=3]"},
        {"excluded class", Facts("TDBComboBoxEh"), ""},
        {"edit with one button", f("TDCEdit", [](TControlFacts& x) { x.NumButtons = 1; }), "TSkinComBox"},
        {"edit without buttons", f("TDCEdit", [](TControlFacts& x) { x.NumButtons = 0; }), "TSkinEdit[handle]"},
        {"edit with an unknown button count", Facts("TDCEdit"), ""},
        {"rich edit by name", Facts("TRichEdit"), "TSkinScrollbar[scroll]"},
        {"grid", f("TStringGrid", [](TControlFacts& x) { x.Classes.insert(x.Classes.begin() + 1, "TCustomGrid"); }),
         "TSkinScrollbar[scroll]"},
        {"mvc panel by name", Facts("TMVCPanel"), "ScanChildren"},
        {"unknown class", Facts("TWidget"), ""},
    };
    for (const Case& c : cases) EXPECT_EQ(DecideControl(c.facts).Text(), c.expected) << c.what;
}

TEST(DiscoveryDecision, DisableTagAndGroupChildren) {
    struct Case {
        const char* cls;
        intptr_t tag;
        bool children;
        const char* expected;
    } cases[] = {
        {"TRadioGroup", 99, true, "DisableChildren"},
        {"TRzCheckGroup", 99, true, "DisableChildren"},
        {"TMyRadioGroupBox", 99, true, "DisableChildren"},
        {"TRadioGroup", 99, false, ""},   // nothing to pass the tag on to
        {"TPanel", 99, true, ""},         // not a group: only itself stays unskinned
        {"TButton", 99, false, ""},
        {"TButton", 98, false, "TSkinButton"},
    };
    for (const Case& c : cases) {
        TControlFacts f = Facts(c.cls);
        f.Tag = c.tag;
        f.HasChildren = c.children;
        EXPECT_EQ(DecideControl(f).Text(), c.expected) << c.cls << " tag " << c.tag;
    }
    // Another DisableTag moves the rule with it.
    TControlFacts f = Facts("TButton");
    f.DisableTag = 7;
    f.Tag = 7;
    EXPECT_EQ(DecideControl(f).Text(), "");
    f.Tag = 99;
    EXPECT_EQ(DecideControl(f).Text(), "TSkinButton");
}

TEST(DiscoveryDecision, ClassListKinds) {
    struct Case {
        const char* cls;
        const char* kind;
        TSkinControlTypes controls;
        const char* expected;
    } cases[] = {
        // "nil" wins over the class test that would match (a page control).
        {"TAdvPageControl", "nil", kAllSkinControls, ""},
        {"TRzCheckGroup", "checkgroup", kAllSkinControls, "Children:TSkinObjImage[colorize,ImageKind=1]; TSkinGroupBox[colorize]"},
        {"TMyCheckGroup", "checkgroup", kAllSkinControls, "Children:TSkinCheckBox; TSkinGroupBox[colorize]"},
        {"TMyCheckGroup", "checkgroup", Without(xcGroupBox), "Children:TSkinCheckBox"},
        {"TMyCheckGroup", "checkgroup", Without(xcRadioButton), "TSkinGroupBox[colorize]"},
        {"TMyCheckGroup", "checkgroup", Without(xcPanel), ""},
        {"TRzRadioGroup", "radiogroup", kAllSkinControls, "Children:TSkinObjImage[colorize,ImageKind=2]; TSkinGroupBox[colorize]"},
        {"TMyRadioGroup", "radiogroup", kAllSkinControls, "Children:TSkinRadioButton; TSkinGroupBox[colorize]"},
        {"TMyRadioGroup", "radiogroup", Without(xcGroupBox), ""},
        {"TComboboxex", "combobox", kAllSkinControls, "TSkinComBox"},
        {"TComboboxex", "combobox", Without(xcCombo), ""},
        {"TPngBitBtn", "pngbitbtn", kAllSkinControls, "TSkinBitButton[PictureProperty=PngImage]"},
        {"TAdvPage", "advpagecontrol", kAllSkinControls, "TSkinAdvPage[colorize,PageStyle=4]"},
        {"TFancyButton", "bitbtn", kAllSkinControls, "TSkinBitButton"},
        {"TFancyMenuButton", "menubtn", kAllSkinControls, "TSkinMenuButton"},
        {"TFancyPanel", "panel", kAllSkinControls, "Set Transparent=True; TSkinBox[colorize]"},
        {"TFancyTrack", "trackbar", kAllSkinControls, "Set Transparent=True; TSkinTrackBar"},
        {"TFancySpeed", "speedbutton", kAllSkinControls, "TSkinSpeedButton[speedbutton]"},
        {"TFancyGrid", "scrollbar", kAllSkinControls, "TSkinScrollbar[scroll]; ScanChildren"},
        {"TFancyList", "singlescrollbar", kAllSkinControls, "TSkinScrollbar[scroll,mode=1]"},
        {"TFancyHost", "embedscrollbar", kAllSkinControls, "ChildrenEmbedScroll"},
        {"TFancyHost", "container", 0, "ScanChildren"},
        {"TFancyTabs", "tab", kAllSkinControls, "TSkinTab"},
        {"TFancyDate", "datetimepicker", kAllSkinControls, "TSkinDateTime"},
        // A kind nobody knows keeps the control unskinned: the class tests are not tried.
        {"TButton", "sparkles", kAllSkinControls, ""},
        {"TButton", "button", Without(xcButton), ""},
    };
    for (const Case& c : cases) {
        TControlFacts f = Facts(c.cls);
        f.ThirdPartyKind = c.kind;
        f.SkinControls = c.controls;
        ASSERT_TRUE(DecideThirdParty(f).has_value()) << c.cls;
        EXPECT_EQ(DecideControl(f).Text(), c.expected) << c.cls << "=" << c.kind;
    }
    // The drop-down kind of one button class gets the menu-button companion.
    TControlFacts cx = Facts("TcxButton");
    cx.ThirdPartyKind = "bitbtn";
    cx.KindName = "cxbkDropDownButton";
    EXPECT_EQ(DecideControl(cx).Text(), "TSkinMenuButton");
    cx.KindName = "cxbkStandard";
    EXPECT_EQ(DecideControl(cx).Text(), "TSkinBitButton");
    // "edit" only for controls with a border.
    TControlFacts edit = Facts("TFancyEdit");
    edit.ThirdPartyKind = "edit";
    EXPECT_EQ(DecideControl(edit).Text(), "");
    edit.HasBorder = true;
    EXPECT_EQ(DecideControl(edit).Text(), "TSkinEdit");
    // Unnamed classes are not the class list's business.
    EXPECT_FALSE(DecideThirdParty(Facts("TButton")).has_value());
}

// The class list as a skin data component keeps it: case-insensitive on both sides.
TEST(DiscoveryDecision, ClassListLookupFeedsTheDecision) {
    TSkinData data(nullptr);
    data.Skin3rd()->SetText("TAdvPageControl=nil\nTRZCHECKGROUP=CheckGroup\n");
    TControlFacts f = Facts("TRzCheckGroup");
    f.ThirdPartyKind = data.Skin3rdKind("trzcheckgroup");
    EXPECT_EQ(f.ThirdPartyKind, std::optional<std::string>("checkgroup"));
    EXPECT_EQ(DecideControl(f).Text(), "Children:TSkinObjImage[colorize,ImageKind=1]; TSkinGroupBox[colorize]");
    f = Facts("TAdvPageControl");
    f.Classes.insert(f.Classes.begin() + 1, "TPageControl");
    f.Classes.insert(f.Classes.begin() + 2, "TCustomTabControl");
    EXPECT_EQ(DecideControl(f).Text(), "TSkinTab"); // without the list entry
    f.ThirdPartyKind = data.Skin3rdKind("TAdvPageControl");
    EXPECT_EQ(DecideControl(f).Text(), "");
}

TEST(DiscoveryDecision, EmbeddedScrollChildren) {
    EXPECT_EQ(EmbedScrollPlan(Facts("TScrollBar"))->ClassName, "TSkinScControl");
    EXPECT_EQ(EmbedScrollPlan(Facts("TScrollBar"))->Mode, TAttachMode::ScrollControl);
    EXPECT_EQ(EmbedScrollPlan(Facts("TListBox"))->Mode, TAttachMode::Scroll);
    TControlFacts scrolled = Facts("TCustomControl");
    scrolled.Style = WS_HSCROLL;
    EXPECT_EQ(EmbedScrollPlan(scrolled)->ClassName, "TSkinScrollbar");
    EXPECT_FALSE(EmbedScrollPlan(Facts("TButton")));
    EXPECT_FALSE(EmbedScrollPlan(Facts("TLabel")));
}

TEST(DiscoveryDecision, PlainWindowsByClassAndStyle) {
    struct Case {
        const char* cls;
        LONG_PTR style;
        bool child;
        const char* expected;
    } cases[] = {
        {"button", BS_AUTORADIOBUTTON, false, "TSkinRadioButton[handle]"},
        {"button", BS_RADIOBUTTON, false, "TSkinRadioButton[handle]"},
        {"button", BS_AUTO3STATE, false, "TSkinCheckBox[handle]"},
        {"button", BS_3STATE, false, "TSkinCheckBox[handle]"},
        {"button", BS_CHECKBOX, false, "TSkinCheckBox[handle]"},
        {"button", BS_AUTOCHECKBOX, false, "TSkinCheckBox[handle]"},
        {"Button", BS_PUSHBUTTON | WS_TABSTOP, false, "TSkinButton[handle]"},
        {"BUTTON", BS_DEFPUSHBUTTON, false, "TSkinButton[handle]"},
        {"button", BS_GROUPBOX, false, ""},
        {"button", BS_OWNERDRAW, false, ""},
        {"button", BS_PUSHBUTTON | BS_BITMAP, false, ""},
        // Split buttons and command links are push buttons, whatever bits they share with the
        // check, radio and owner-drawn types.
        {"button", 0xC /* split */ | WS_TABSTOP, false, "TSkinButton[handle]"},
        {"button", 0xD /* default split */, false, "TSkinButton[handle]"},
        {"button", 0xE /* command link */, false, "TSkinButton[handle]"},
        {"button", 0xF /* default command link */ | WS_TABSTOP, false, "TSkinButton[handle]"},
        {"ComboBox", CBS_DROPDOWNLIST, false, "TSkinComBox[handle]"},
        {"ComboBox", CBS_DROPDOWN, false, "TSkinComBox[handle]"},
        {"ComboBox", CBS_SIMPLE, false, ""},
        {"ComboBoxEx32", 0, true, "FirstChild:TSkinComBox[handle]"},
        {"ComboBoxEx32", 0, false, ""},
        {"ScrollBar", SBS_SIZEGRIP, false, "TSkinSizer[handle]"},
        {"ScrollBar", SBS_SIZEBOX | WS_TABSTOP, false, "TSkinSizer[handle]"},
        {"ScrollBar", SBS_VERT | WS_TABSTOP, false, ""},
        // A dialog's scroll bar that is no tab stop is still a scroll bar, not a sizer.
        {"ScrollBar", SBS_VERT, false, ""},
        {"ScrollBar", SBS_HORZ, false, ""},
        {"#32770", WS_CHILD, false, "ChildWindows; TSkinBoxH[handle]"},
        {"#32770", WS_CHILD | WS_TABSTOP, false, ""},
        {"SysTabControl32", 0, false, "TSkinTab[handle]"},
        {"SysTabControl32", TCS_OWNERDRAWFIXED, false, ""},
        {"Edit", ES_AUTOHSCROLL, false, "TSkinEdit[handle]"},
        {"TPanel", 0, false, "ChildWindows; FaceColor"},
        {"TTntPanel.UnicodeClass", 0, false, "ChildWindows; FaceColor"},
        {"TSilentPaintPanel", 0, false, "FaceColor"},
        {"TButton", 0, false, "TSkinButton[handle]"},
        {"TCheckBox", 0, false, "TSkinCheckBox[handle]"},
        {"TComboBox", 0, false, "TSkinComBox[handle]"},
        {"TProgressBar", 0, false, "TSkinProgress[handle]"},
        {"SysTreeView32", 0, false, ""},
        {"SHELLDLL_DefView", WS_CHILD, true, "ChildWindows"},
        {"SysListView32", LVS_REPORT, false, "TSkinScrollbarH[handle]"},
        {"ToolbarWindow32", 0, false, ""},
        {"Static", SS_LEFT, false, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecideWindow(c.cls, c.style, c.child).Text(), c.expected) << c.cls << " style " << c.style;
}

TEST(DiscoveryDecision, ToolbarButtonFramesAndTextColours) {
    struct Case {
        TCustomDrawState state;
        int frame;
    } cases[] = {
        {cdsSelected, 2},
        {cdsSelected | cdsHot | cdsDisabled, 2},
        {cdsHot, 4},
        {cdsFocused, 4},
        {cdsDefault, 1},
        {cdsDefault | cdsGrayed, 0},
        {cdsDefault | cdsDisabled, 0},
        {cdsChecked, 0},
        {0, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(ToolbarButtonFrame(c.state), c.frame) << "state " << c.state;

    TDataSkinButton buttons("Buttons");
    buttons.NormalColour2 = 0x111111;
    buttons.MouseOverColour2 = 0x222222;
    buttons.PressedColour2 = 0x333333;
    EXPECT_FALSE(ToolbarButtonTextColor(1, buttons)); // not given by the skin
    buttons.HasNormalColour2 = buttons.HasMouseOverColour2 = buttons.HasPressedColour2 = true;
    EXPECT_EQ(ToolbarButtonTextColor(1, buttons), std::optional<TColor>(0x111111));
    EXPECT_EQ(ToolbarButtonTextColor(4, buttons), std::optional<TColor>(0x222222));
    EXPECT_EQ(ToolbarButtonTextColor(2, buttons), std::optional<TColor>(0x333333));
    EXPECT_FALSE(ToolbarButtonTextColor(3, buttons));
}

// ---- under Wine ---------------------------------------------------------------------------------

// Every companion class the decisions name.
const char* const kCompanionClasses[] = {
    "TSkinButton", "TSkinBitButton", "TSkinSpeedButton", "TSkinMenuButton", "TSkinCheckBox",
    "TSkinRadioButton", "TSkinScrollbar", "TSkinScControl", "TSkinListView", "TSkinEdit",
    "TSkinComBox", "TSkinBox", "TSkinBoxH", "TSkinGroupBox", "TSkinSizer", "TSkinTab",
    "TSkinTab31", "TSkinTabBtn", "TSkinTabSheet", "TSkinAdvPage", "TSkinProgress",
    "TSkinTrackBar", "TSkinUpDown", "TSkinStatusBar", "TSkinHeader", "TSkinDateTime", "TSkinMP",
    "TSkinObjImage"};
constexpr size_t kCompanionCount = std::size(kCompanionClasses);

// A stand-in for a companion kind not linked in: the base behaviour under the kind's name.
std::deque<TClassInfo>& ProbeInfos() {
    static std::deque<TClassInfo> infos;
    return infos;
}
std::map<std::string, const TClassInfo*>& ProbeByName() {
    static std::map<std::string, const TClassInfo*> m;
    return m;
}

class TProbeCompanion : public TSkinControl {
public:
    TProbeCompanion(TComponent* owner, const TClassInfo& info) : TSkinControl(owner), info_(info) {}
    const TClassInfo& ClassInfo() const override { return info_; }

private:
    const TClassInfo& info_;
};

template <size_t N>
TObject* CreateProbe(TComponent* owner) {
    return new TProbeCompanion(owner, *ProbeByName()[kCompanionClasses[N]]);
}

template <size_t... N>
void RegisterProbes(std::index_sequence<N...>) {
    using Factory = TObject* (*)(TComponent*);
    const Factory factories[] = {&CreateProbe<N>...};
    for (size_t i = 0; i < kCompanionCount; ++i) {
        if (FindClass(kCompanionClasses[i])) continue; // the real kind is linked in
        TClassInfo& info = ProbeInfos().emplace_back();
        info.name = kCompanionClasses[i];
        info.parent = &TSkinControl::StaticClass();
        info.create = factories[i];
        ProbeByName()[info.name] = &info;
        RegisterClass(info);
    }
}

class Discovery : public SkinControlsTest {
protected:
    static void SetUpTestSuite() {
        SkinControlsTest::SetUpTestSuite();
        static const bool once = (RegisterProbes(std::make_index_sequence<kCompanionCount>()), true);
        (void)once;
    }
    // Skinning through the component, the way a program switches it: on, then off again.
    TWinSkinForm* SkinOn() {
        data_->SetActive(true);
        manager_->TimerTick();
        TWinSkinForm* f = manager_->FindForm(form_->Handle());
        if (f) test::PumpUntil([f] { return f->State() == sfsRunning; }, 2000);
        test::PumpMessages(0);
        return f;
    }
    void SkinOff() {
        data_->SetActive(false);
        manager_->TimerTick();
        test::PumpMessages(0);
    }
    // The companions attached to `control`, by class name (the scans' own bookkeeping objects
    // left out).
    static std::vector<std::string> CompanionsOf(const TWinSkinForm& f, const TControl* control) {
        std::vector<std::string> names;
        for (TSkinCompanion* c : f.Controls()) {
            auto* sc = dynamic_cast<TSkinControl*>(c);
            if (!sc || sc->Control() != control || sc->ClassName() == "TSkinDiscoveryUndo") continue;
            names.push_back(sc->ClassName());
        }
        return names;
    }
    // The companion the decision names for the control itself ("" for none).
    std::string DecidedCompanion(TWinSkinForm& f, TControl& control) {
        for (const TDiscoveryStep& s : DecideControl(ReadControlFacts(f, control)).Steps)
            if (s.Kind == TStepKind::Companion) return s.Plan.ClassName;
        return {};
    }
};

TEST_F(Discovery, FormControlsGetTheirCompanions) {
    // The glyph button must stay unskinned with xcBitBtn off while push buttons are skinned.
    data_->SetSkinControls(kAllSkinControls & ~SkinControlBit(xcBitBtn) & ~SkinControlBit(xcMenuItem));
    auto* button = Add<TButton>({8, 8, 88, 32});
    auto* bitbtn = Add<TBitBtn>({96, 8, 176, 32});
    auto* edit = Add<TEdit>({8, 40, 120, 62});
    auto* memo = Add<TMemo>({8, 70, 120, 130});
    auto* combo = Add<TComboBox>({130, 40, 250, 62});
    auto* list = Add<TListBox>({130, 70, 250, 130});
    auto* check = Add<TCheckBox>({260, 8, 380, 28});
    auto* radio = Add<TRadioButton>({260, 32, 380, 52});
    auto* panel = Add<TPanel>({8, 140, 200, 200});
    auto* inPanel = Add<TButton>({10, 10, 90, 34}, panel);
    auto* group = Add<TGroupBox>({210, 140, 400, 200});
    auto* inGroup = Add<TCheckBox>({10, 20, 150, 40}, group);
    auto* scroll = Add<TScrollBar>({260, 60, 380, 78});
    auto* progress = Add<TProgressBar>({260, 84, 380, 100});
    auto* track = Add<TTrackBar>({260, 104, 380, 130});
    auto* picker = Add<TDateTimePicker>({8, 210, 150, 232});
    auto* label = new TLabel(form_.get());
    label->SetParent(form_.get());
    label->SetBounds(160, 210, 90, 20);

    TWinSkinForm* f = SkinOn();
    ASSERT_NE(f, nullptr);
    struct Case {
        TControl* control;
        const char* expected; // what the decision must name
    } cases[] = {
        {button, "TSkinButton"},   {bitbtn, ""},
        {edit, "TSkinEdit"},       {memo, "TSkinScrollbar"},
        {combo, "TSkinComBox"},    {list, "TSkinScrollbar"},
        {check, "TSkinCheckBox"},  {radio, "TSkinRadioButton"},
        {panel, "TSkinBox"},       {inPanel, "TSkinButton"},
        {group, "TSkinGroupBox"},  {inGroup, "TSkinCheckBox"},
        {scroll, "TSkinScControl"}, {progress, "TSkinProgress"},
        {track, "TSkinTrackBar"},  {picker, "TSkinDateTime"},
        {label, ""},
    };
    for (const Case& c : cases) {
        const std::string name = c.control->ClassName();
        EXPECT_EQ(DecidedCompanion(*f, *c.control), c.expected) << name;
        const std::vector<std::string> got = CompanionsOf(*f, c.control);
        if (*c.expected) {
            // Exactly one companion, of the decided class (a real one or its stand-in).
            ASSERT_EQ(got.size(), 1u) << name;
            EXPECT_EQ(got[0], c.expected) << name;
            EXPECT_EQ(FindClass(got[0]), FindClass(c.expected)) << name;
            // A panel's companion only recolours it; every other kind takes the messages over.
            auto* w = dynamic_cast<TWinControl*>(c.control);
            if (w && std::string(c.expected) != "TSkinBox") {
                EXPECT_EQ(SendMessageW(w->Handle(), SKM_ISSKINNED, 0, 0), 1) << name;
            }
        } else {
            EXPECT_TRUE(got.empty()) << name << " got " << (got.empty() ? "" : got[0]);
        }
    }
    // The panel was coloured with the skin's face colour while skinned.
    EXPECT_EQ(ColorToRGB(panel->Color()), ColorToRGB(data_->ButtonFace));
}

TEST_F(Discovery, DisableTagKeepsGroupAndItsButtonsUnskinned) {
    auto* group = Add<TRadioGroup>({8, 8, 200, 120});
    group->Items().Add("one");
    group->Items().Add("two");
    group->SetTag(99);
    auto* plain = Add<TRadioGroup>({210, 8, 400, 120});
    plain->Items().Add("three");
    plain->Items().Add("four");
    auto* tagged = Add<TButton>({8, 130, 88, 154});
    tagged->SetTag(99);
    TWinSkinForm* f = SkinOn();
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(group->ControlCount(), 2);
    for (int i = 0; i < group->ControlCount(); ++i) {
        EXPECT_EQ(group->Controls(i)->Tag(), 99);
        EXPECT_TRUE(CompanionsOf(*f, group->Controls(i)).empty());
    }
    EXPECT_TRUE(CompanionsOf(*f, group).empty());
    EXPECT_TRUE(CompanionsOf(*f, tagged).empty());
    // The untagged group: its buttons get radio companions, itself the group box one.
    ASSERT_EQ(plain->ControlCount(), 2);
    for (int i = 0; i < plain->ControlCount(); ++i) {
        EXPECT_EQ(plain->Controls(i)->Tag(), 0);
        EXPECT_EQ(CompanionsOf(*f, plain->Controls(i)), std::vector<std::string>{"TSkinRadioButton"});
    }
    EXPECT_EQ(CompanionsOf(*f, plain), std::vector<std::string>{"TSkinGroupBox"});
}

TEST_F(Discovery, ClassListKeepsAMappedClassUnskinned) {
    auto* pages = Add<TPageControl>({8, 8, 300, 200});
    auto* sheet = new TTabSheet(form_.get());
    sheet->SetPageControl(pages);
    data_->Skin3rd()->Add("TPageControl=nil");
    TWinSkinForm* f = SkinOn();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(CompanionsOf(*f, pages).empty());
    // The sheet is another class: the tab sheet companion.
    EXPECT_EQ(CompanionsOf(*f, sheet), std::vector<std::string>{"TSkinTabSheet"});
}

TEST_F(Discovery, ToolbarGetsDrawingHandlersThatUnskinningTakesOff) {
    auto* toolbar = Add<TToolBar>({0, 0, 400, 30});
    auto* b1 = new TToolButton(form_.get());
    b1->SetParent(toolbar);
    b1->SetCaption("One");
    auto* own = Add<TToolBar>({0, 40, 400, 70});
    bool ownCalled = false;
    own->OnCustomDraw = [&ownCalled](TToolBar*, const RECT&, bool&) { ownCalled = true; };
    ASSERT_FALSE(toolbar->Flat());

    TWinSkinForm* f = SkinOn();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(toolbar->Flat());
    EXPECT_TRUE(static_cast<bool>(toolbar->OnCustomDraw));
    EXPECT_TRUE(static_cast<bool>(toolbar->OnCustomDrawButton));
    EXPECT_EQ(CompanionsOf(*f, toolbar), std::vector<std::string>{"TSkinBox"});
    // The application's own handler stays; only the free event gets ours.
    EXPECT_TRUE(static_cast<bool>(own->OnCustomDrawButton));
    Repaint(own->Handle());
    EXPECT_TRUE(ownCalled);

    SkinOff();
    EXPECT_EQ(manager_->FindForm(form_->Handle()), nullptr);
    EXPECT_FALSE(toolbar->Flat());
    EXPECT_FALSE(static_cast<bool>(toolbar->OnCustomDraw));
    EXPECT_FALSE(static_cast<bool>(toolbar->OnCustomDrawButton));
    EXPECT_TRUE(static_cast<bool>(own->OnCustomDraw));
    EXPECT_FALSE(static_cast<bool>(own->OnCustomDrawButton));
}

TEST_F(Discovery, ToolbarButtonIsDrawnFromTheButtonsElement) {
    auto* toolbar = Add<TToolBar>({0, 0, 300, 40});
    toolbar->SetShowCaptions(true);
    toolbar->SetButtonWidth(80);
    toolbar->SetButtonHeight(30);
    auto* button = new TToolButton(form_.get());
    button->SetParent(toolbar);
    button->SetCaption("x");
    TWinSkinForm* f = SkinOn();
    ASSERT_NE(f, nullptr);
    ASSERT_TRUE(HasElement(data_->Buttons.get()));
    // Drawn straight through the handler into a bitmap: the normal cell of the element lands
    // inside the button's bounds, one pixel in.
    RECT r = button->BoundsRect();
    TBitmap target(r.right + 4, r.bottom + 4);
    FillColor(target.Canvas().Handle(), RECT{0, 0, target.Width(), target.Height()}, 0x00FF00);
    HDC saved = toolbar->Canvas().HandleAllocated() ? toolbar->Canvas().Handle() : nullptr;
    toolbar->Canvas().SetHandle(target.Canvas().Handle());
    bool defaultDraw = false;
    ToolbarButtonDraw(*f, toolbar, button, cdsDefault, defaultDraw);
    toolbar->Canvas().SetHandle(saved);
    EXPECT_TRUE(defaultDraw); // the toolbar still draws glyph and text
    const SIZE size{r.right - r.left - 2, r.bottom - r.top - 2};
    const int cx = size.cx / 2, cy = size.cy / 2;
    EXPECT_EQ(GetPixel(target.Canvas().Handle(), r.left + 1 + cx, r.top + 1 + cy),
              skincontrols::ElementPixel(*data_->Buttons, 5, 1, size, cx, cy));
    EXPECT_EQ(GetPixel(target.Canvas().Handle(), r.left, r.top), 0x00FF00u); // the 1-pixel margin
    // A state with no frame draws nothing.
    FillColor(target.Canvas().Handle(), RECT{0, 0, target.Width(), target.Height()}, 0x00FF00);
    toolbar->Canvas().SetHandle(target.Canvas().Handle());
    ToolbarButtonDraw(*f, toolbar, button, cdsDisabled, defaultDraw);
    toolbar->Canvas().SetHandle(saved);
    EXPECT_EQ(GetPixel(target.Canvas().Handle(), r.left + 1 + cx, r.top + 1 + cy), 0x00FF00u);
}

TEST_F(Discovery, UnskinningLeavesNoCompanionAndRestoresEveryControl) {
    auto* button = Add<TButton>({8, 8, 88, 32});
    auto* panel = Add<TPanel>({8, 40, 200, 120});
    auto* inPanel = Add<TEdit>({8, 8, 120, 30}, panel);
    auto* memo = Add<TMemo>({210, 40, 380, 120});
    const TColor panelColor = 0x123456;
    panel->SetColor(panelColor);
    std::vector<TWinControl*> all{button, panel, inPanel, memo};
    std::vector<int> layers;
    for (TWinControl* c : all) layers.push_back(c->WindowProc.LayerCount());

    for (int round = 0; round < 3; ++round) {
        TWinSkinForm* f = SkinOn();
        ASSERT_NE(f, nullptr);
        for (size_t i = 0; i < all.size(); ++i) {
            // The panel's companion recolours it without taking its messages over.
            const bool hooks = all[i] != panel;
            EXPECT_EQ(all[i]->WindowProc.LayerCount(), layers[i] + (hooks ? 1 : 0))
                << all[i]->ClassName() << " round " << round;
            EXPECT_EQ(SendMessageW(all[i]->Handle(), SKM_ISSKINNED, 0, 0), hooks ? 1 : 0) << all[i]->ClassName();
        }
        EXPECT_NE(panel->Color(), panelColor);
        SkinOff();
        ASSERT_EQ(manager_->FindForm(form_->Handle()), nullptr);
        for (size_t i = 0; i < all.size(); ++i) {
            EXPECT_EQ(all[i]->WindowProc.LayerCount(), layers[i]) << all[i]->ClassName() << " round " << round;
            EXPECT_NE(SendMessageW(all[i]->Handle(), SKM_ISSKINNED, 0, 0), 1) << all[i]->ClassName();
            // No companion object is left behind on the control.
            for (int k = 0; k < all[i]->ComponentCount(); ++k)
                EXPECT_EQ(dynamic_cast<TSkinControl*>(all[i]->Components(k)), nullptr) << all[i]->ClassName();
        }
        EXPECT_EQ(panel->Color(), panelColor);
    }
}

TEST_F(Discovery, ControlMadeAfterTheStartIsSkinnedOnceThroughItsObject) {
    Add<TButton>({8, 8, 88, 32});
    TWinSkinForm* f = SkinOn();
    ASSERT_NE(f, nullptr);
    const size_t before = f->Controls().size();
    // Made now: the form hears of the new windows and skins them once their creation is over.
    // A check box's window is a button-class window; it is judged by its object, not its class.
    auto* late = Add<TCheckBox>({8, 40, 150, 60});
    auto* lateList = Add<TListBox>({160, 40, 300, 120});
    auto* panel = Add<TPanel>({8, 130, 200, 200});
    auto* inPanel = Add<TEdit>({8, 8, 120, 30}, panel);
    EXPECT_TRUE(CompanionsOf(*f, late).empty()); // not while it is being made
    test::PumpMessages(0);
    EXPECT_EQ(CompanionsOf(*f, late), std::vector<std::string>{"TSkinCheckBox"});
    EXPECT_EQ(CompanionsOf(*f, lateList), std::vector<std::string>{"TSkinScrollbar"});
    EXPECT_EQ(CompanionsOf(*f, panel), std::vector<std::string>{"TSkinBox"});
    EXPECT_EQ(CompanionsOf(*f, inPanel), std::vector<std::string>{"TSkinEdit"});
    // Reported again, or found by a later scan: never a second companion.
    f->SkinChildWindow(late->Handle());
    f->SkinChildWindow(inPanel->Handle());
    ScanForm(*f);
    test::PumpMessages(0);
    for (TControl* c : std::vector<TControl*>{late, lateList, panel, inPanel})
        EXPECT_EQ(CompanionsOf(*f, c).size(), 1u) << c->ClassName();
    EXPECT_EQ(f->Controls().size(), before + 4);
    // Reported by hand before the form hears of it: skinned at once, and only once.
    auto* edit = Add<TEdit>({8, 210, 150, 232});
    f->SkinChildWindow(edit->Handle());
    EXPECT_EQ(CompanionsOf(*f, edit), std::vector<std::string>{"TSkinEdit"});
    test::PumpMessages(0);
    EXPECT_EQ(CompanionsOf(*f, edit).size(), 1u);
    EXPECT_EQ(f->Controls().size(), before + 5);
    // After unskinning, new controls stay as they are.
    SkinOff();
    auto* after = Add<TEdit>({160, 210, 300, 232});
    test::PumpMessages(0);
    EXPECT_NE(SendMessageW(after->Handle(), SKM_ISSKINNED, 0, 0), 1);
}

TEST_F(Discovery, DestroyedControlsCompanionIsPurgedByTheNextScan) {
    auto* gone = Add<TEdit>({8, 8, 120, 30});
    TWinSkinForm* f = SkinOn();
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(CompanionsOf(*f, gone).size(), 1u);
    gone->DestroyHandle();
    size_t dead = 0;
    for (TSkinCompanion* c : f->Controls()) dead += c->LifeState() == TLifeState::WindowDestroyed;
    EXPECT_EQ(dead, 1u);
    ScanForm(*f); // frees the dead companion, and gives the control's new window a new one
    for (TSkinCompanion* c : f->Controls()) EXPECT_NE(c->LifeState(), TLifeState::WindowDestroyed);
    EXPECT_EQ(CompanionsOf(*f, gone).size(), 1u);
}

// A system dialog window (class "#32770", no control object) skinned by the manager: its start
// scans the child windows and judges each by its window class and style.
TEST_F(Discovery, PlainDialogChildrenByWindowClass) {
    HWND host = CreateWindowExA(WS_EX_DLGMODALFRAME, "#32770", "Dialog", WS_POPUP | WS_CAPTION | WS_SYSMENU, 120, 120,
                                260, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(host, nullptr);
    struct Child {
        const char* cls;
        DWORD style;
        const char* expected;
    } children[] = {
        {"BUTTON", BS_AUTORADIOBUTTON, "TSkinRadioButton"},
        {"BUTTON", BS_AUTO3STATE, "TSkinCheckBox"},
        {"BUTTON", BS_PUSHBUTTON, "TSkinButton"},
        {"BUTTON", BS_DEFPUSHBUTTON, "TSkinButton"},
        {"BUTTON", BS_GROUPBOX, ""},
        {"BUTTON", BS_OWNERDRAW, ""},
        {"EDIT", ES_AUTOHSCROLL, "TSkinEdit"},
        {"COMBOBOX", CBS_DROPDOWNLIST, "TSkinComBox"},
        {"STATIC", SS_LEFT, ""},
    };
    int y = 4;
    std::vector<HWND> windows;
    for (const Child& c : children) {
        HWND w = CreateWindowExA(0, c.cls, "x", WS_CHILD | WS_VISIBLE | c.style, 4, y, 100, 20, host, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(w, nullptr) << c.cls;
        windows.push_back(w);
        y += 24;
    }
    ASSERT_NE(SkinOn(), nullptr); // the component on; the host form is skinned as well
    ShowWindow(host, SW_SHOW);
    ASSERT_TRUE(manager_->SkinWindow(host));
    TWinSkinForm* f = manager_->FindForm(host);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->Form(), nullptr);
    test::PumpUntil([f] { return f->State() == sfsRunning; }, 2000);
    test::PumpMessages(0);
    auto companionOf = [&](HWND w) -> std::string {
        std::string found;
        int count = 0;
        for (TSkinCompanion* c : f->Controls())
            if (c->Handle() == w) {
                ++count;
                found = dynamic_cast<TSkinControl*>(c)->ClassName();
            }
        return count > 1 ? "twice" : found;
    };
    for (size_t i = 0; i < windows.size(); ++i) {
        EXPECT_EQ(companionOf(windows[i]), children[i].expected) << children[i].cls << " " << children[i].style;
        if (*children[i].expected) {
            EXPECT_EQ(SendMessageW(windows[i], SKM_ISSKINNED, 0, 0), 1);
        }
    }
    // Scanned again: nothing is skinned twice.
    SkinChildWindows(*f, host);
    for (size_t i = 0; i < windows.size(); ++i) EXPECT_NE(companionOf(windows[i]), "twice");
    SkinOff();
    ASSERT_EQ(manager_->FindForm(host), nullptr);
    for (HWND w : windows) EXPECT_NE(SendMessageW(w, SKM_ISSKINNED, 0, 0), 1);
    DestroyWindow(host);
}

// The application's event decides first; an object it hands over is attached once.
TEST_F(Discovery, ApplicationEventSuppliesTheCompanion) {
    auto* edit = Add<TEdit>({8, 8, 120, 30});
    auto* button = Add<TButton>({8, 40, 88, 64});
    std::vector<std::string> asked;
    data_->OnSkinControl = [&](TComponent* sender, TSkinData* data, TControl*, TControl* control,
                               const std::string& upper, TComponent*& skinned) {
        EXPECT_NE(dynamic_cast<TWinSkinForm*>(sender), nullptr);
        EXPECT_EQ(data, data_.get());
        asked.push_back(upper);
        if (control == edit) skinned = CreateCompanion("TSkinButton", control);
    };
    TWinSkinForm* f = SkinOn();
    ASSERT_NE(f, nullptr);
    EXPECT_NE(std::find(asked.begin(), asked.end(), "TEDIT"), asked.end());
    EXPECT_EQ(CompanionsOf(*f, edit), std::vector<std::string>{"TSkinButton"});
    EXPECT_EQ(CompanionsOf(*f, button), std::vector<std::string>{"TSkinButton"}); // the usual decision
    data_->OnSkinControl.Clear();
}

} // namespace
