// TSkinData as a component: creation values, published properties, Loaded and Active with the
// manager, the window filter, the stored skin bytes, the built-in glyphs and the default skin.
#include "skin_test_util.h"

#include "skin/data/skin_dump.h"
#include "skin/data/skin_slots.h"

#include "support/msgbox_catcher.h"
#include "support/testdata.h"

#include <cstring>
#include <fstream>
#include <map>

using namespace wl;
using namespace skintest;

TEST_F(SkinDataTest, CreationValuesByName) {
    TSkinData d(nullptr);
    struct Case {
        const char* prop;
        const char* text;
    } cases[] = {
        {"Active", "False"},
        {"DisableTag", "99"},
        {"Options", "[xoPreview, xoToolbarBK]"},
        {"SkinFile", ""},
        {"SkinStore", "(none)"},
        {"SkinFormtype", "sfMainform"},
        {"Version", "4.04.04.11"},
        {"MenuUpdate", "True"},
        {"MenuMerge", "False"},
    };
    for (const Case& c : cases) EXPECT_EQ(GetPropertyText(d, c.prop), c.text) << c.prop;
    const std::string controls = GetPropertyText(d, "SkinControls");
    EXPECT_EQ(controls.find("xcMenuItem"), std::string::npos);
    EXPECT_EQ(controls.find("xcFastReport"), std::string::npos);
    EXPECT_NE(controls.find("xcSystemMenu"), std::string::npos);
    EXPECT_EQ(d.SkinControls(), kAllSkinControls & ~((1u << xcMenuItem) | (1u << xcFastReport)));
    EXPECT_EQ(GetStringListProperty(d, "Skin3rd.Strings").size(), 117u);
    EXPECT_TRUE(d.NotLoaded);
    EXPECT_TRUE(d.PaintFrames);
    EXPECT_EQ(d.BorderLeft->Name, "Left");
    EXPECT_EQ(d.Buttons->Name, "Buttons");
    EXPECT_EQ(d.Title->Name, "Title");
    // Writing the indicators changes nothing.
    SetPropertyText(d, "SkinStore", "(Good)");
    SetPropertyText(d, "Version", "1.0");
    EXPECT_EQ(GetPropertyText(d, "SkinStore"), "(none)");
    EXPECT_EQ(GetPropertyText(d, "Version"), "4.04.04.11");
    // Assigning the class list replaces it wholesale.
    SetStringListProperty(d, "Skin3rd.Strings", {"TRzGroup=nil", "TRZGROUP=panel"});
    EXPECT_EQ(*d.Skin3rdKind("trzgroup"), "nil");
    EXPECT_FALSE(d.Skin3rdKind("TcxButton"));
}

TEST_F(SkinDataTest, MenuGlyphsFromTheBuiltInResource) {
    TSkinData d(nullptr);
    ASSERT_EQ(d.MenuGlyphs.Width(), 64);
    ASSERT_EQ(d.MenuGlyphs.Height(), 16);
    EXPECT_TRUE(d.MenuGlyphs.Transparent());
    struct P {
        int glyph, col, row; // row 1-based as in the glyph table
        bool black;
    } pixels[] = {{0, 5, 5, true},   {0, 4, 5, false}, {0, 3, 8, true},  {0, 11, 8, false},
                  {1, 3, 4, true},   {1, 12, 4, true}, {1, 4, 6, false}, {1, 3, 13, true},
                  {2, 5, 8, true},   {2, 5, 7, false}, {2, 11, 9, true}, {3, 3, 5, true},
                  {3, 7, 9, true},   {3, 5, 9, false}, {3, 0, 0 + 1, false}};
    for (const P& p : pixels) {
        const TColor c = PixelOf(d.MenuGlyphs, p.glyph * 16 + p.col, p.row - 1);
        EXPECT_EQ(c, p.black ? 0x000000 : 0xFFFFFF) << p.glyph << " " << p.col << "," << p.row;
    }
}

TEST_F(SkinDataTest, LoadedMainSkin) {
    auto archive = Archive("[Colours]\nButtonFace=1 2 3\n");
    struct Case {
        const char* what;
        bool active;
        std::string bytes;
        TSkinControlTypes stored;
        bool activeAfter;
        size_t scheduled;
        TSkinControlTypes removed, kept;
    } cases[] = {
        {"active and loaded", true, archive, kAllSkinControls, true, 1,
         SkinControlBit(xcMenuItem), SkinControlBit(xcSystemMenu)},
        {"active but not loaded", true, "", kAllSkinControls, false, 0,
         SkinControlBit(xcMenuItem), SkinControlBit(xcMainMenu)},
        {"inactive, no main menu", false, archive, kAllSkinControls & ~SkinControlBit(xcMainMenu),
         false, 0, SkinControlBit(xcSystemMenu), SkinControlBit(xcMenuItem)},
    };
    for (const Case& c : cases) {
        RecordingManager::Destroy();
        TSkinData d(nullptr);
        d.BeginLoading(); // as the form reader does
        d.SetActive(c.active);
        d.SetSkinControls(c.stored);
        if (!c.bytes.empty()) {
            std::string stream(4, '\0');
            const int32_t n = static_cast<int32_t>(c.bytes.size());
            std::memcpy(stream.data(), &n, 4);
            EXPECT_TRUE(d.ReadBinaryProperty("SkinStream", stream + c.bytes));
        }
        EXPECT_EQ(RecordingManager::Instance(), nullptr) << c.what; // reading only stores
        d.Loaded();
        RecordingManager* m = RecordingManager::Instance();
        ASSERT_NE(m, nullptr) << c.what;
        EXPECT_TRUE(m->HookInstalled()) << c.what;
        EXPECT_EQ(m->MainData(), &d) << c.what;
        EXPECT_EQ(d.Active(), c.activeAfter) << c.what;
        ASSERT_EQ(m->ScheduledActions().size(), c.scheduled) << c.what;
        if (c.scheduled) {
            EXPECT_EQ(m->ScheduledActions()[0].Action, 1);
            EXPECT_EQ(m->ScheduledActions()[0].DelayMs, 250);
        }
        EXPECT_EQ(d.SkinControls() & c.removed, 0u) << c.what;
        EXPECT_EQ(d.SkinControls() & c.kept, c.kept) << c.what;
    }
}

TEST_F(SkinDataTest, LoadedOtherFormTypes) {
    TSkinData a(nullptr), b(nullptr);
    a.SetSkinFormtype(sfOnlyThisForm);
    b.SetSkinFormtype(sfDLL);
    a.Loaded();
    b.Loaded();
    RecordingManager* m = RecordingManager::Instance();
    ASSERT_NE(m, nullptr);
    EXPECT_TRUE(m->Skinning());
    // Two components counted, and the manager runs (the count is no phase of its own).
    EXPECT_EQ(m->StartedComponents(), 2);
    EXPECT_EQ(m->Phase(), TManagerPhase::Running);
    EXPECT_FALSE(m->HookInstalled());
    EXPECT_EQ(m->MainData(), nullptr);
    EXPECT_EQ(m->SkinDataList().size(), 2u);
    {
        TSkinData c(nullptr);
        c.Loaded();
        EXPECT_EQ(m->MainData(), &c);
    }
    // Destruction leaves the manager.
    EXPECT_EQ(m->SkinDataList().size(), 2u);
    EXPECT_EQ(m->MainData(), nullptr);
}

TEST_F(SkinDataTest, ActiveAtRunTime) {
    const std::string archive = Archive("");
    struct Case {
        const char* what;
        TSkinFormType type;
        bool loaded;
        bool value;
        std::vector<int> actions;
        bool running;
    } cases[] = {
        {"main on", sfMainform, true, true, {1}, true},
        {"main on, not loaded", sfMainform, false, true, {}, false},
        {"main off", sfMainform, true, false, {1, 2}, true},
        {"form on", sfOnlyThisForm, true, true, {1}, false},
        {"form off, not loaded", sfOnlyThisForm, false, false, {2}, false},
        {"dialog", sfDialog, true, true, {}, false},
        {"dll", sfDLL, true, true, {}, false},
    };
    for (const Case& c : cases) {
        RecordingManager::Destroy();
        TSkinData d(nullptr);
        d.SetSkinFormtype(c.type);
        if (c.loaded) {
            ASSERT_TRUE(Load(d, archive));
        }
        RecordingManager& m = RecordingManager::Create();
        if (!c.value) d.SetActive(true); // switch on first, then off
        d.SetActive(c.value);
        d.SetActive(c.value); // the same value again does nothing
        std::vector<int> actions;
        for (const auto& s : m.ScheduledActions()) {
            actions.push_back(s.Action);
            EXPECT_EQ(s.Data, &d) << c.what;
        }
        EXPECT_EQ(actions, c.actions) << c.what;
        EXPECT_EQ(m.Running(), c.running) << c.what;
        EXPECT_EQ(d.Active(), c.value) << c.what;
    }
}

TEST_F(SkinDataTest, FilterWindow) {
    TSkinData d(nullptr);
    struct Case {
        const char* cls;
        bool fastReport, in, out;
    } cases[] = {
        {"SysMonthCal32", false, true, false}, {"TfrPreview", true, true, false},
        {"TfrPreview", false, true, true},     {"tfrPreview", true, true, true},
        {"TForm1", true, false, false},        {"TForm1", false, true, true},
    };
    for (const Case& c : cases) {
        d.SetSkinControls(c.fastReport ? kAllSkinControls : 0);
        bool doSkin = c.in;
        d.FilterWindow(nullptr, c.cls, doSkin);
        EXPECT_EQ(doSkin, c.out) << c.cls << " " << c.fastReport;
    }
    // A handler decides alone.
    std::string seen;
    d.OnFormSkin = [&](TObject* sender, const std::string& name, bool& doSkin) {
        EXPECT_EQ(sender, &d);
        seen = name;
        doSkin = true;
    };
    bool doSkin = false;
    d.FilterWindow(nullptr, "SysMonthCal32", doSkin);
    EXPECT_TRUE(doSkin);
    EXPECT_EQ(seen, "SysMonthCal32");
}

TEST_F(SkinDataTest, SkinStreamBytes) {
    TSkinData d(nullptr);
    std::vector<std::pair<std::string, std::string>> out;
    d.WriteBinaryProperties(out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].first, "SkinStream");
    EXPECT_EQ(out[0].second, std::string(4, '\0'));

    const std::string archive = Archive("[Colours]\nButtonFace=1 2 3\n");
    auto stream = [](int32_t n, const std::string& bytes) {
        std::string s(4, '\0');
        std::memcpy(s.data(), &n, 4);
        return s + bytes;
    };
    struct Case {
        const char* what;
        std::string value;
        bool loaded;
        size_t kept;
    } cases[] = {
        {"zero length", stream(0, archive), false, 0},
        {"negative length", stream(-5, archive), false, 0},
        {"too short for a length", std::string("\x01\x00", 2), false, 0},
        {"archive", stream(static_cast<int32_t>(archive.size()), archive), true, archive.size()},
        {"length beyond the bytes", stream(1000000, archive), true, archive.size()},
    };
    for (const Case& c : cases) {
        TSkinData e(nullptr);
        EXPECT_TRUE(e.ReadBinaryProperty("SkinStream", c.value)) << c.what;
        EXPECT_EQ(e.NotLoaded, !c.loaded) << c.what;
        EXPECT_EQ(e.SkinBytes.size(), c.kept) << c.what;
    }
    EXPECT_FALSE(d.ReadBinaryProperty("OtherStream", "xxxx"));

    TSkinData e(nullptr);
    e.ReadBinaryProperty("SkinStream", stream(static_cast<int32_t>(archive.size()), archive));
    EXPECT_EQ(e.ButtonFace, 0x030201);
    out.clear();
    e.WriteBinaryProperties(out);
    EXPECT_EQ(out[0].second, stream(static_cast<int32_t>(archive.size()), archive));
}

TEST_F(SkinDataTest, OlderArchiveShowsItsMessageOnce) {
    test::MessageBoxCatcher catcher;
    TSkinData d(nullptr);
    d.BeginLoading();
    d.SetActive(true);
    const std::string old = Archive("", {}, 19999);
    std::string stream(4, '\0');
    const int32_t n = static_cast<int32_t>(old.size());
    std::memcpy(stream.data(), &n, 4);
    d.ReadBinaryProperty("SkinStream", stream + old);
    d.Loaded();
    EXPECT_TRUE(d.NotLoaded);
    EXPECT_FALSE(d.Active());
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    const std::string& text = catcher.Boxes()[0].text;
    EXPECT_NE(text.find("This is Older Skin File"), std::string::npos) << text;
    EXPECT_NE(text.find("Please update to new version !"), std::string::npos) << text;
}

TEST_F(SkinDataTest, SkinFileReplacesTheStoredSkin) {
    const std::string dir = test::ArtifactDir();
    const std::string path = dir + "/skin_file_test.skn";
    {
        std::ofstream f(path, std::ios::binary);
        f << Archive("[Colours]\nButtonFace=4 5 6\n");
    }
    TSkinData d(nullptr);
    ASSERT_TRUE(Load(d, Archive("[Colours]\nButtonFace=1 2 3\n")));
    d.SetSkinFile(path);
    EXPECT_FALSE(d.NotLoaded);
    EXPECT_EQ(d.ButtonFace, 0x060504);
    ASSERT_NE(RecordingManager::Instance(), nullptr); // ApplySkin made the manager
    EXPECT_EQ(RecordingManager::Instance()->RefreshCount(), 1);
    EXPECT_EQ(RecordingManager::Instance()->PendingSkinData(), &d);
    // A missing file keeps the skin data but marks it not loaded.
    d.SetSkinFile(dir + "/no_such_skin.skn");
    EXPECT_TRUE(d.NotLoaded);
    EXPECT_EQ(d.ButtonFace, 0x060504);
    // ... and Active cannot be switched on until a load succeeds.
    const size_t before = RecordingManager::Instance()->ScheduledActions().size();
    d.SetActive(true);
    EXPECT_EQ(RecordingManager::Instance()->ScheduledActions().size(), before);
}

#ifdef WL_DEFAULT_SKIN
TEST_F(SkinDataTest, DefaultSkinHasEveryElement) {
    const std::string bytes = test::ReadFileBytes(WL_DEFAULT_SKIN);
    TSkinData d(nullptr);
    ASSERT_TRUE(Load(d, bytes));
    EXPECT_FALSE(d.NotLoaded);
    EXPECT_EQ(d.SkinName, "Wordlark Calm");
    // Cell counts the default skin states itself, for the slots whose count the table leaves
    // to the skin or to a rule.
    const std::map<std::string, int> ownCounts = {
        {"BorderLeft", 2},    {"BorderRight", 2},     {"BorderTop", 2},
        {"BorderBottom", 2},  {"Progress", 2},        {"ProgressChunk", 1},
        {"Headerbar", 5},     {"HorzScrollThumb", 3}, {"VertScrollThumb", 3},
        {"Track", 1},         {"TrackVert", 1},       {"ComboxArrow", 4},
        {"Toolbar", 1}};
    for (const TSkinSlot& slot : SkinSlots()) {
        TDataSkinObject* rec = SlotRecord(d, slot);
        ASSERT_NE(rec, nullptr) << slot.Name;
        // Every element has an image, but the title text has no background in this skin.
        EXPECT_EQ(rec->Image.Empty(), rec == d.Title.get()) << slot.Name;
        const auto own = ownCounts.find(slot.Name);
        const int frames = slot.Frames > 0 ? slot.Frames : own != ownCounts.end() ? own->second : -1;
        EXPECT_EQ(rec->Frame, frames) << slot.Name;
        // Cells divide the image evenly along the axis the slot's cells lie on.
        const TElementDraw draw = SlotDraw(slot, *rec);
        const int extent = draw.Vertical ? rec->Image.Height() : rec->Image.Width();
        if (frames > 0) {
            EXPECT_EQ(extent % frames, 0) << slot.Name;
        }
    }
    EXPECT_EQ(d.Track->Name, "Track"); // the skin's own groove, not the built-in one
    EXPECT_FALSE(d.Buttons->CheckImage.Empty());
    EXPECT_EQ(d.Buttons->CheckButtonFrame, 12);
    EXPECT_EQ(d.Buttons->RadioButtonFrame, 8);
    EXPECT_FALSE(d.Tabs->Image2.Empty());
    EXPECT_FALSE(d.UpDownHorz->Image2.Empty());
    EXPECT_FALSE(d.UpDownVert->Image2.Empty());
    EXPECT_FALSE(d.ComboButton->Image2.Empty());
    // Frame thickness: 26-pixel title strip, 4-pixel borders.
    EXPECT_EQ(d.BorderTop->Image.Height() / d.BorderTop->Frame, 26);
    EXPECT_EQ(d.BorderLeft->Image.Width() / d.BorderLeft->Frame, 4);
    EXPECT_EQ(d.BorderBottom->Image.Height() / d.BorderBottom->Frame, 4);
    // The top border's corners are cut through the key colour.
    EXPECT_EQ(PixelOf(d.BorderTop->Image, 0, 0), 0xFF00FF);
    EXPECT_NE(d.FrameColour, d.ButtonFace);
    // Title buttons: the icon, close, maximize, restore, minimize (active and inactive), MDI.
    ASSERT_EQ(d.SysButtons.size(), 12u);
    EXPECT_EQ(d.SysButtons[0]->Action, 3);
    for (size_t i = 1; i <= 8; ++i) {
        EXPECT_EQ(d.SysButtons[i]->Frame, 3) << i;
        EXPECT_EQ(d.SysButtons[i]->Image.Width(), 72) << i;
    }
    for (size_t i = 9; i < 12; ++i) EXPECT_FALSE(d.SysButtons[i]->Image.Empty()) << i;
    EXPECT_EQ(d.Title->ActiveText, 0xFFFFFF);
}
#endif

TEST_F(SkinDataTest, DumpListsSlotsButtonsAndColours) {
    TSkinData d(nullptr);
    ASSERT_TRUE(Load(d, Archive("[Colours]\nButtonFace=1 2 3\n[MenuItem]\nImage=a.bmp\nFrame=9\n"
                                "LeftWidth=2\nTrans=1\n[Tabs]\nImage=a.bmp\nBorder=a.bmp\n"
                                "[Button1]\nAction=2\nButtonImage=a.bmp\n",
                                {{"a.bmp", Bmp(30, 10, 0x123456)}})));
    const std::string dump = DumpSkin(d);
    for (const char* line : {
             "Progress absent\n",
             "MenuItem Frame=5 LeftWidth=2 TopHeight=0 RightWidth=0 BottomHeight=0 Trans=1 Tile=0 "
             "Style=0 Image=30x10\n",
             "Tabs Frame=5 LeftWidth=0 TopHeight=0 RightWidth=0 BottomHeight=0 Trans=0 Tile=0 "
             "Style=0 Image=30x10 Image2=30x10\n",
             "Track Frame=1 LeftWidth=3 TopHeight=3 RightWidth=3 BottomHeight=3 Trans=0 Tile=0 "
             "Style=0 Image=16x4\n",
             "SysButton BUTTON1 Action=2 Align=0 Xcoord=0 Ycoord=0 Visibility=0 Visibility1=0 "
             "CombineOp=-1 Frame=3 Image=30x10\n",
             "SysButton MDI2 Action=9 Align=100 Xcoord=0 Ycoord=0 Visibility=100 Visibility1=100 "
             "CombineOp=0 Frame=4 Image=0x0\n",
             "Colour ButtonFace=00030201\n",
             "Colour WindowText=80000008\n",
         })
        EXPECT_NE(dump.find(line), std::string::npos) << line;
    // Slots come in a fixed order: borders first, the derived elements last.
    EXPECT_EQ(dump.rfind("BorderLeft ", 0), 0u);
    EXPECT_LT(dump.find("Toolbar "), dump.find("SysButton "));
    EXPECT_LT(dump.find("SysButton "), dump.find("Colour "));
    // One line per slot of the table, in its order, before the title-bar buttons.
    size_t at = 0;
    for (const TSkinSlot& slot : SkinSlots()) {
        ASSERT_EQ(dump.compare(at, std::strlen(slot.Name) + 1, std::string(slot.Name) + " "), 0)
            << slot.Name << " at " << dump.substr(at, 30);
        at = dump.find('\n', at) + 1;
    }
    EXPECT_EQ(dump.compare(at, 10, "SysButton "), 0);
}
