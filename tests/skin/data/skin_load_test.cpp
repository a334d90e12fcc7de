// Loading skins into TSkinData: reading rules, frame counts, title and MDI buttons, derived
// elements and reloads, on small synthetic skins packed in the test.
#include "skin_test_util.h"

#include "skin/data/skin_slots.h"
#include "skin/data/skin_values.h"
#include "skin/draw/skin_draw.h"

#include <cctype>
#include <cstdio>

using namespace wl;
using namespace skintest;

namespace {
constexpr TColor kKey = 0xFF00FF;
constexpr TColor kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;
} // namespace

TEST_F(SkinDataTest, EmptyDefinitionGivesDefaultsAndBuiltInTracks) {
    TSkinData d(nullptr);
    ASSERT_TRUE(Load(d, Archive("")));
    EXPECT_FALSE(d.NotLoaded);
    for (auto* slot : {&d.ProgressChunk, &d.MenuBar, &d.GroupBoxEdge, &d.StatusBarEdges,
                       &d.TabPane, &d.ToolBars, &d.SunkEdge, &d.ExtraImages, &d.Headerbar,
                       &d.MenuItem, &d.MenuBackground, &d.Scrollbar, &d.HorzScroll})
        EXPECT_EQ(slot->get(), nullptr);
    EXPECT_EQ(d.Progress, nullptr);
    EXPECT_EQ(d.ComboButton, nullptr);
    EXPECT_EQ(d.GroupBox, nullptr);
    // No combo elements: the arrow record exists with an empty image.
    ASSERT_NE(d.ComboxArrow, nullptr);
    EXPECT_TRUE(d.ComboxArrow->Image.Empty());
    EXPECT_EQ(d.ComboxArrow->Frame, 0);
    // Only the three MDI buttons, without images.
    ASSERT_EQ(d.SysButtons.size(), 3u);
    EXPECT_TRUE(d.SysButtons[0]->Image.Empty());
    // Colours keep their system defaults; the menu bar follows the button face.
    EXPECT_EQ(d.ButtonFace, clBtnFace);
    EXPECT_EQ(d.MenubarColour, clBtnFace);
    EXPECT_EQ(d.FrameColour, clBtnFace);
    EXPECT_EQ(d.Title->FontHeight, 14);
    EXPECT_EQ(d.Title->ActiveText, clNone);
    EXPECT_EQ(d.BorderTop->Frame, 1);
    EXPECT_EQ(d.BorderTop->Trans, 1);
    EXPECT_EQ(d.BorderTop->Tile, 1);
    EXPECT_EQ(d.CustomColours[9], 0xFFFFFF);
    EXPECT_TRUE(d.FaceBrush);
    ASSERT_NE(d.Toolbar, nullptr);
    EXPECT_EQ(d.Toolbar->Image.Width(), 10);
    EXPECT_EQ(d.Toolbar->Image.Height(), 40);

    // The built-in grooves: 16 x 4 and 4 x 16 in silver, grey and white, margins 3.
    ASSERT_NE(d.Track, nullptr);
    ASSERT_NE(d.TrackVert, nullptr);
    EXPECT_EQ(d.Track->Name, "TRACK");
    EXPECT_EQ(d.Track->Frame, 1);
    EXPECT_EQ(d.Track->LeftWidth, 3);
    EXPECT_EQ(d.Track->BottomHeight, 3);
    ASSERT_EQ(d.Track->Image.Width(), 16);
    ASSERT_EQ(d.Track->Image.Height(), 4);
    ASSERT_EQ(d.TrackVert->Image.Width(), 4);
    ASSERT_EQ(d.TrackVert->Image.Height(), 16);
    const TColor s = 0xC0C0C0, g = 0x808080, w = 0xFFFFFF;
    struct P {
        TBitmap* bmp;
        int x, y;
        TColor c;
    } pixels[] = {{&d.Track->Image, 0, 0, s},      {&d.Track->Image, 2, 0, g},
                  {&d.Track->Image, 14, 0, w},     {&d.Track->Image, 0, 2, g},
                  {&d.Track->Image, 1, 2, s},      {&d.Track->Image, 5, 3, w},
                  {&d.TrackVert->Image, 2, 0, g},  {&d.TrackVert->Image, 3, 0, s},
                  {&d.TrackVert->Image, 0, 2, g},  {&d.TrackVert->Image, 0, 13, g},
                  {&d.TrackVert->Image, 0, 14, w}, {&d.TrackVert->Image, 1, 5, w}};
    for (const P& p : pixels)
        EXPECT_EQ(PixelOf(*p.bmp, p.x, p.y), p.c) << p.x << "," << p.y;
}

TEST_F(SkinDataTest, ReadingRulesAndClamps) {
    const std::string ini =
        "[Personality]\nTop=top.bmp\nTopTopHeight=28\nTopBotHeight=74\nTopStretch=2\n"
        "TopFrame=2\nLeft=sub\\side.bmp\nLeftTopHeight=5\nLeftBotHeight=6\nLeftTrans=0\n"
        "menuBar=bar.bmp\nTileMenu=2\nTextShift=7\nTextShiftVert=3\nTextRightClip=9\n"
        "ActiveTextR=255\nInActiveTextR=1\nInActiveTextG=2\nInActiveTextB=300\n"
        "[Fonts]\nFontHeight=0x10\n"
        "[Colours]\nButtonFace=1 2 3\nButtonText=10,20,30;\nMenubar=\n"
        "[Colour2]\ncolor=4 5 6\n[COLOURS]\n[colour7]\n"
        "[Customcolors]\nColor3=7 8 9\n"
        "[MenuItem]\nImage=side.bmp\nTile=2\nStyle=3\nNormalColour=4\nMouseOverColour2=1 2 3\n"
        "[ToolBars]\nImage=Frame.BMP\n"
        "[Tab.Pane]\nImage=side.bmp\nLeftWidth=6\nTopHeight=4\nRightWidth=9\nBottomHeight=1\n"
        "[Progress]\nBitmap=side.bmp\nTile=2\nStyle=1\nFrame=9\n"
        "[GroupBox]\nImage=side.bmp\nFrame=9\nBackgroundLeftShift=4\nBackgroundAlignment=2\n"
        "[Headerbar]\nImage=side.bmp\nFrame=7\n"
        "[HorzScrollThumb]\nImage=side.bmp\nFrameCount=2\n[VertScrollThumb]\nImage=side.bmp\n"
        "[Track]\nImage=side.bmp\nFrame=6\n"
        "[Buttons]\nBitmap=side.bmp\nTile=3\nCheckButton=check.bmp\nRadioButton=radio.bmp\n"
        "PressedColour2=9 9 9\n";
    TSkinData d(nullptr);
    ASSERT_TRUE(Load(d, Archive(ini, {{"top.bmp", Bmp(30, 20, kRed)},
                                      {"SIDE.BMP", Bmp(8, 6, kGreen)},
                                      {"bar.bmp", Bmp(4, 4, kBlue)},
                                      {"check.bmp", Bmp(156, 13, kRed)},
                                      {"radio.bmp", Bmp(64, 16, kRed)}})));
    // Borders: horizontal borders keep their fixed ends as left and right margins.
    EXPECT_EQ(d.BorderTop->LeftWidth, 28);
    EXPECT_EQ(d.BorderTop->RightWidth, 74);
    EXPECT_EQ(d.BorderTop->TopHeight, 0);
    EXPECT_EQ(d.BorderTop->Tile, 1);
    EXPECT_EQ(d.BorderTop->Frame, 2);
    EXPECT_EQ(d.BorderTop->Image.Width(), 30);
    EXPECT_EQ(d.BorderLeft->TopHeight, 5);
    EXPECT_EQ(d.BorderLeft->BottomHeight, 6);
    EXPECT_EQ(d.BorderLeft->Trans, 0);
    EXPECT_EQ(d.BorderLeft->Image.Width(), 8); // the folder prefix is dropped
    EXPECT_TRUE(d.BorderRight->Image.Empty());
    // Title.
    EXPECT_EQ(d.Title->LeftWidth, 7);
    EXPECT_EQ(d.Title->TopHeight, 3);
    EXPECT_EQ(d.Title->RightWidth, 9);
    EXPECT_EQ(d.Title->FontHeight, 16);
    EXPECT_EQ(d.Title->ActiveText, clNone); // green and blue missing
    EXPECT_EQ(d.Title->InActiveText, 0x2C0201);
    EXPECT_EQ(d.Title->Frame, 2);
    // Colours: an empty Menubar value takes the button face just read.
    EXPECT_EQ(d.ButtonFace, 0x030201);
    EXPECT_EQ(d.MenubarColour, 0x030201);
    EXPECT_EQ(d.ButtonText, 0x1E140A);
    EXPECT_EQ(d.ColourList, (std::vector<TColor>{0x060504, clWindowText}));
    EXPECT_EQ(d.CustomColours[3], 0x090807);
    EXPECT_EQ(d.CustomColours[0], 0xFFFFFF);
    // Plain element: tile above 1 becomes 0; colours default to the button text.
    ASSERT_NE(d.MenuItem, nullptr);
    EXPECT_EQ(d.MenuItem->Tile, 0);
    EXPECT_EQ(d.MenuItem->Style, 3);
    EXPECT_EQ(d.MenuItem->NormalColour, 4);
    EXPECT_EQ(d.MenuItem->PressedColour, -1);
    EXPECT_EQ(d.MenuItem->MouseOverColour2, 0x030201);
    EXPECT_EQ(d.MenuItem->NormalColour2, 0x1E140A);
    EXPECT_EQ(d.MenuItem->Frame, 5);
    // An image name with the wrong extension: the element exists with an empty image.
    ASSERT_NE(d.ToolBars, nullptr);
    EXPECT_TRUE(d.ToolBars->Image.Empty());
    // Tab pane margins are lowered to 4.
    ASSERT_NE(d.TabPane, nullptr);
    EXPECT_EQ(d.TabPane->LeftWidth, 4);
    EXPECT_EQ(d.TabPane->TopHeight, 4);
    EXPECT_EQ(d.TabPane->RightWidth, 4);
    EXPECT_EQ(d.TabPane->BottomHeight, 1);
    // Progress: tile above 1 becomes 1 here; the chunk style has one frame.
    ASSERT_NE(d.Progress, nullptr);
    EXPECT_EQ(d.Progress->Tile, 1);
    EXPECT_EQ(d.Progress->Frame, 1);
    // Menu bar.
    ASSERT_NE(d.MenuBar, nullptr);
    EXPECT_EQ(d.MenuBar->Name, "Personality");
    EXPECT_EQ(d.MenuBar->Tile, 1);
    EXPECT_EQ(d.MenuBar->LeftWidth, 1);
    EXPECT_EQ(d.MenuBar->RightWidth, 1);
    EXPECT_EQ(d.MenuBar->Frame, 2);
    // Group box label: no "Frame" read; its own keys.
    ASSERT_NE(d.GroupBox, nullptr);
    EXPECT_EQ(d.GroupBox->Frame, 1);
    EXPECT_EQ(d.GroupBox->BackgroundLeftShift, 4);
    EXPECT_EQ(d.GroupBox->BackgroundAlignment, 2);
    // Frame counts given by the skin where the rules keep them.
    EXPECT_EQ(d.Headerbar->Frame, 7);
    EXPECT_EQ(d.HorzScrollThumb->Frame, 2);
    EXPECT_EQ(d.VertScrollThumb->Frame, 3);
    EXPECT_EQ(d.Track->Frame, 6);
    EXPECT_EQ(d.Track->Name, "Track");
    ASSERT_NE(d.TrackVert, nullptr);
    EXPECT_EQ(d.TrackVert->Name, "TRACKVERT"); // built in
    // Push buttons.
    EXPECT_EQ(d.Buttons->Frame, 5);
    EXPECT_EQ(d.Buttons->Tile, 0);
    EXPECT_EQ(d.Buttons->CheckButtonFrame, 12);
    EXPECT_EQ(d.Buttons->RadioButtonFrame, 4);
    EXPECT_FALSE(d.Buttons->HasNormalColour2);
    EXPECT_TRUE(d.Buttons->HasPressedColour2);
    EXPECT_EQ(d.Buttons->PressedColour2, 0x090909);
}

TEST_F(SkinDataTest, TitleAndMdiButtons) {
    const std::string ini =
        "[Button0]\nAction=3\n"
        "[Button1]\nAction=0\nAlign=1\nXcoord=30\nYcoord=4\nButtonImage=b57.bmp\n"
        "[Buttons]\n[Button.Radio]\nAction=0\n[BUTTON.CHECKBOX]\n[Button]\n"
        "[Button2]\nButtonImage=b114.bmp\nCombineOp=5\n"
        "[ButtonHidden]\nAction=-1\nButtonImage=b57.bmp\n"
        "[ButtonKept]\nAction=-1\nVisibility=0\nButtonImage=b57.bmp\n"
        "[button5]\nAction=11\nframe=4\nButtonImage=b57.bmp\n"
        "[Button6]\nAction=11\nButtonImage=b57.bmp\n"
        "[MyButton]\nAction=1\n"
        "[MDICONTROLS]\nImage=mdi.bmp\n";
    std::vector<Px> mdiPixels;
    for (int x = 0; x < 180; ++x) mdiPixels.push_back({x, 0, SkinRgb(x, 0, 0)});
    TSkinData d(nullptr);
    ASSERT_TRUE(Load(d, Archive(ini, {{"b57.bmp", Bmp(57, 19, kRed)},
                                      {"b114.bmp", Bmp(114, 19, kRed)},
                                      {"mdi.bmp", Bmp(180, 14, kBlue, mdiPixels)}})));
    struct Expect {
        const char* name;
        int32_t action, frame, visibility1, combineOp;
        bool image;
    } expect[] = {
        {"BUTTON0", 3, 6, 0, -1, false},  {"BUTTON1", 0, 3, 0, -1, true},
        {"BUTTON2", 0, 6, 0, 5, true},    {"BUTTONKEPT", -1, 6, -1, -1, true},
        {"BUTTON5", 11, 4, 0, -1, true},  {"BUTTON6", 11, 3, 0, -1, false},
    };
    ASSERT_EQ(d.SysButtons.size(), std::size(expect) + 3);
    for (size_t i = 0; i < std::size(expect); ++i) {
        const TDataSkinSysButton& b = *d.SysButtons[i];
        EXPECT_EQ(b.Name, expect[i].name);
        EXPECT_EQ(b.Action, expect[i].action) << b.Name;
        EXPECT_EQ(b.Frame, expect[i].frame) << b.Name;
        EXPECT_EQ(b.Visibility1, expect[i].visibility1) << b.Name;
        EXPECT_EQ(b.CombineOp, expect[i].combineOp) << b.Name;
        EXPECT_EQ(!b.Image.Empty(), expect[i].image) << b.Name;
    }
    EXPECT_EQ(d.SysButtons[1]->Align, 1);
    EXPECT_EQ(d.SysButtons[1]->Xcoord, 30);
    EXPECT_EQ(d.SysButtons[1]->Ycoord, 4);
    // MDI buttons: 12 cells of 15 pixels, four per button.
    const int xcoord[] = {57, 38, 19};
    for (int i = 0; i < 3; ++i) {
        const TDataSkinSysButton& b = *d.SysButtons[std::size(expect) + i];
        EXPECT_EQ(b.Action, 7 + i);
        EXPECT_EQ(b.Align, 100);
        EXPECT_EQ(b.Visibility, 100);
        EXPECT_EQ(b.Visibility1, 100);
        EXPECT_EQ(b.Frame, 4);
        EXPECT_EQ(b.Xcoord, xcoord[i]);
        ASSERT_EQ(b.Image.Width(), 60);
        ASSERT_EQ(b.Image.Height(), 14);
        TBitmap& img = const_cast<TBitmap&>(b.Image);
        EXPECT_EQ(PixelOf(img, 0, 0), SkinRgb(60 * i, 0, 0));
        EXPECT_EQ(PixelOf(img, 59, 0), SkinRgb(60 * i + 59, 0, 0));
    }
}

namespace {
// A four-cell strip of w x h cells whose cells are filled with `cells` colours and whose
// (1, 1) pixel of each cell is the key colour.
std::string Cells(int w, int h, std::vector<TColor> cells) {
    std::vector<Px> px;
    for (int k = 0; k < static_cast<int>(cells.size()); ++k)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                px.push_back({k * w + x, y, (x == 1 && y == 1) ? kKey : cells[k]});
    return Bmp(w * static_cast<int>(cells.size()), h, 0, px);
}
} // namespace

TEST_F(SkinDataTest, ComboCompositeAndArrow) {
    const int w = GetSystemMetrics(SM_CXHSCROLL) + 2;
    const std::string ini = "[Colours]\nButtonFace=1 2 3\n"
                            "[SunkEdge]\nImage=sunk.bmp\nTopHeight=2\nBottomHeight=3\nTrans=1\n"
                            "[ComboButton]\nImage=combo.bmp\nStyle=0\n";
    TSkinData d(nullptr);
    ASSERT_TRUE(Load(d, Archive(ini, {{"sunk.bmp", Cells(20, 21, {0x111111, 0x222222, 0x333333,
                                                                    0x444444})},
                                      {"combo.bmp", Cells(18, 21, {0x550000, 0x660000, 0x770000,
                                                                     0x880000})}})));
    ASSERT_NE(d.ComboButton, nullptr);
    ASSERT_NE(d.SunkEdge, nullptr);
    TDataSkinBorder& combo = *d.ComboButton;
    TDataSkinObject& sunk = *d.SunkEdge;
    EXPECT_EQ(combo.Style, 2);
    EXPECT_EQ(combo.LeftWidth, 2);
    EXPECT_EQ(combo.RightWidth, w + 2);
    EXPECT_EQ(combo.TopHeight, 2);
    EXPECT_EQ(combo.BottomHeight, 3);
    EXPECT_EQ(sunk.LeftWidth, w + 2);
    EXPECT_EQ(sunk.RightWidth, 2);
    ASSERT_EQ(combo.Image.Width(), 200);
    ASSERT_EQ(combo.Image.Height(), 21);
    ASSERT_EQ(sunk.Image.Width(), 200);
    for (int k = 0; k < 4; ++k) {
        const int x0 = 50 * k;
        const TColor edge = 0x111111 * (k + 1), button = 0x550000 + 0x110000 * k;
        // Edge at the left, text area key colour, button at the right.
        EXPECT_EQ(PixelOf(combo.Image, x0 + 0, 10), edge) << k;
        EXPECT_EQ(PixelOf(combo.Image, x0 + 10, 10), kKey) << k;
        EXPECT_EQ(PixelOf(combo.Image, x0 + 49, 10), button) << k;
        // The sunken edge keeps its own key pixel transparent: the work cell's key shows.
        EXPECT_EQ(PixelOf(combo.Image, x0 + 3, 1), kKey) << k;
        // SunkEdge holds the mirror: the button at the left.
        EXPECT_EQ(PixelOf(sunk.Image, 199 - (x0 + 49), 10), button) << k;
        EXPECT_EQ(PixelOf(sunk.Image, 199 - (x0 + 0), 10), edge) << k;
    }
    // The second image holds the skin's own button image mirrored, from before the composite
    // replaced the first.
    ASSERT_EQ(combo.Image2.Width(), 72);
    EXPECT_EQ(PixelOf(combo.Image2, 71, 0), 0x550000);
    EXPECT_EQ(PixelOf(combo.Image2, 71 - 1, 1), kKey);
    EXPECT_EQ(PixelOf(combo.Image2, 0, 0), 0x880000);
    // The arrow cells: 17 x 17 squares cut from the right end of each composite cell.
    ASSERT_NE(d.ComboxArrow, nullptr);
    EXPECT_EQ(d.ComboxArrow->Frame, 4);
    ASSERT_EQ(d.ComboxArrow->Image.Width(), 68);
    ASSERT_EQ(d.ComboxArrow->Image.Height(), 17);
    for (int i = 0; i < 4; ++i)
        for (int dx : {0, 16})
            EXPECT_EQ(PixelOf(d.ComboxArrow->Image, 17 * i + dx, 5),
                      PixelOf(combo.Image, (i + 1) * 50 - 19 + dx, 7))
                << i << "," << dx;

    // Without a sunken edge the arrow is the button image with its key pixels in ButtonFace.
    TSkinData e(nullptr);
    ASSERT_TRUE(Load(e, Archive("[Colours]\nButtonFace=1 2 3\n[ComboButton]\nImage=combo.bmp\n",
                                {{"combo.bmp", Cells(18, 21, {0x550000, 0x660000, 0x770000,
                                                               0x880000})}})));
    ASSERT_NE(e.ComboxArrow, nullptr);
    EXPECT_EQ(e.ComboxArrow->Frame, 4);
    EXPECT_EQ(e.ComboButton->Style, 0);
    EXPECT_EQ(e.ComboButton->Image.Width(), 72);
    EXPECT_EQ(PixelOf(e.ComboxArrow->Image, 1, 1), 0x030201);
    EXPECT_EQ(PixelOf(e.ComboxArrow->Image, 0, 0), 0x550000);
}

TEST_F(SkinDataTest, FrameColourAndToolbarGradient) {
    struct Case {
        const char* what;
        std::string ini;
        TColor frame, top, bottom;
    } cases[] = {
        // A grey frame colour is dark (saturation 200): bottom mixes 54 % of it with white.
        {"grey frame", "[Personality]\nTop=top.bmp\nTopFrame=2\n[Colours]\nButtonFace=200 200 200\n",
         0x646464, 0xF7F7F7, 0xABABAB},
        // A saturated blue: weight (225 - 255) * 25 div 140 + 50 = 45.
        {"blue frame", "[Personality]\nTop=blue.bmp\nTopFrame=2\n[Colours]\nButtonFace=200 200 200\n",
         0xFF0000, 0xF7F7F7, 0xFF8C8C},
        // No top border: the frame colour is the face; 15 % grey, 85 % face.
        {"no top", "[Colours]\nButtonFace=200 200 200\n", 0xC8C8C8, 0xF7F7F7, 0xBDBDBD},
    };
    for (const Case& c : cases) {
        RecordingManager::Destroy();
        // Top border 30 x 20 with two stacked cells: the sampled point is (10, 3).
        TSkinData d(nullptr);
        ASSERT_TRUE(Load(d, Archive(c.ini, {{"top.bmp", Bmp(30, 20, 0x123456, {{10, 3, 0x646464}})},
                                             {"blue.bmp", Bmp(30, 20, 0x123456, {{10, 3, 0xFF0000}})}})));
        EXPECT_EQ(d.FrameColour, c.frame) << c.what;
        ASSERT_NE(d.Toolbar, nullptr);
        EXPECT_EQ(d.Toolbar->Frame, 1);
        EXPECT_EQ(PixelOf(d.Toolbar->Image, 5, 0), c.top) << c.what;
        EXPECT_EQ(PixelOf(d.Toolbar->Image, 5, 39), c.bottom) << c.what;
    }
}

TEST_F(SkinDataTest, ReloadReplacesTheSkin) {
    TSkinData d(nullptr);
    const auto files = std::vector<wl::skinpack::SkinEntry>{{"a.bmp", Bmp(10, 10, kRed)}};
    ASSERT_TRUE(Load(d, Archive("[MenuItem]\nImage=a.bmp\n[Personality]\nTop=a.bmp\n"
                                "[Button1]\nButtonImage=a.bmp\n[Track]\nImage=a.bmp\n"
                                "[ComboButton]\nImage=a.bmp\n",
                                files)));
    ASSERT_NE(d.MenuItem, nullptr);
    ASSERT_EQ(d.SysButtons.size(), 4u);
    TDataSkinObject* arrow = d.ComboxArrow.get();
    TDataSkinBorder* top = d.BorderTop.get();
    EXPECT_FALSE(d.ComboxArrow->Image.Empty());
    ASSERT_TRUE(Load(d, Archive("[Personality]\nLeft=a.bmp\n", files)));
    EXPECT_EQ(d.MenuItem, nullptr);      // the second skin has no menu item
    EXPECT_EQ(d.ComboButton, nullptr);
    EXPECT_EQ(d.SysButtons.size(), 3u);  // rebuilt: only the MDI buttons
    EXPECT_EQ(d.BorderTop.get(), top);   // refilled in place
    EXPECT_TRUE(d.BorderTop->Image.Empty());
    EXPECT_FALSE(d.BorderLeft->Image.Empty());
    EXPECT_EQ(d.ComboxArrow.get(), arrow); // the record is kept, but not the first skin's arrow
    EXPECT_TRUE(d.ComboxArrow->Image.Empty());
    EXPECT_EQ(d.ComboxArrow->Frame, 0);
    EXPECT_EQ(d.Track->Name, "TRACK");   // built in again
}

TEST_F(SkinDataTest, BadArchivesAndEntries) {
    TSkinData d(nullptr);
    // A damaged bitmap entry is a missing image; the element still exists.
    ASSERT_TRUE(Load(d, Archive("[MenuItem]\nImage=bad.bmp\n", {{"bad.bmp", "BMnot a bitmap"}})));
    ASSERT_NE(d.MenuItem, nullptr);
    EXPECT_TRUE(d.MenuItem->Image.Empty());
    // An archive without a definition loads with every default.
    ASSERT_TRUE(Load(d, wl::skinpack::LzhCompress(wl::skinpack::BuildSkinContainer(
                            {{"a.bmp", Bmp(2, 2, kRed)}}))));
    EXPECT_FALSE(d.NotLoaded);
    EXPECT_EQ(d.MenuItem, nullptr);
    // Garbage and an empty archive: not loaded, nothing shown.
    EXPECT_FALSE(Load(d, "garbage"));
    EXPECT_TRUE(d.NotLoaded);
    EXPECT_FALSE(Load(d, ""));
    EXPECT_TRUE(d.NotLoaded);
}

namespace {
std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}
std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}
bool ReadFromOwnSection(TSlotRule rule) {
    return rule == TSlotRule::Plain || rule == TSlotRule::WithSecond ||
           rule == TSlotRule::GroupBox || rule == TSlotRule::Track;
}
} // namespace

TEST_F(SkinDataTest, EverySlotIsReadFromItsOwnSection) {
    // One skin per slot that has a section of its own, holding only that section, written as
    // the table has it and again in other letter cases (sections and keys match regardless).
    const auto files = std::vector<wl::skinpack::SkinEntry>{{"a.bmp", Bmp(42, 12, kRed)}};
    int checked = 0;
    for (const TSkinSlot& slot : SkinSlots()) {
        if (!ReadFromOwnSection(slot.Rule)) continue;
        for (int spelling = 0; spelling < 2; ++spelling) {
            const std::string section = spelling ? Upper(slot.Section) : slot.Section;
            auto key = [&](std::string k) { return spelling ? Lower(k) : k; };
            const std::string ini = "[" + section + "]\n" + key("Image") + "=a.bmp\n" +
                                    key("LeftWidth") + "=3\n" + key("TopHeight") + "=1\n" +
                                    key("RightWidth") + "=4\n" + key("BottomHeight") + "=2\n" +
                                    key("Trans") + "=1\n" + key("Tile") + "=1\n" + key("Style") +
                                    "=6\n" + key("Frame") + "=7\n" + key("NormalColour") + "=9\n";
            TSkinData d(nullptr);
            ASSERT_TRUE(Load(d, Archive(ini, files))) << slot.Name;
            TDataSkinObject* r = SlotRecord(d, slot);
            ASSERT_NE(r, nullptr) << slot.Name << " " << section;
            EXPECT_EQ(r->Name, slot.Section) << slot.Name;
            EXPECT_EQ(r->Image.Width(), 42) << slot.Name;
            EXPECT_EQ(r->LeftWidth, 3) << slot.Name;
            EXPECT_EQ(r->TopHeight, 1) << slot.Name;
            EXPECT_EQ(r->RightWidth, 4) << slot.Name;
            EXPECT_EQ(r->BottomHeight, 2) << slot.Name;
            EXPECT_EQ(r->Trans, 1) << slot.Name;
            EXPECT_EQ(r->Tile, 1) << slot.Name;
            EXPECT_EQ(r->Style, 6) << slot.Name;
            EXPECT_EQ(r->NormalColour, 9) << slot.Name;
            EXPECT_EQ(r->MouseOverColour, -1) << slot.Name;
            if (slot.Frames > 0) {
                EXPECT_EQ(r->Frame, slot.Frames) << slot.Name;
            }
            // No other slot read from a section is filled by this one.
            for (const TSkinSlot& other : SkinSlots()) {
                if (&other == &slot || !other.Section || other.Rule == TSlotRule::Track ||
                    other.Rule == TSlotRule::FrameBorder || other.Rule == TSlotRule::TitleText ||
                    other.Rule == TSlotRule::PushButtons)
                    continue;
                EXPECT_EQ(SlotRecord(d, other), nullptr) << other.Name << " from " << slot.Name;
            }
            ++checked;
        }
    }
    EXPECT_GE(checked, 2 * 28);
}

TEST_F(SkinDataTest, MissingEmptyAndBadValuesGiveDefaults) {
    const std::string ini =
        "[Colours]\nButtonText=1 2 3\nWindowText=4 5 6\nHilight=\nMenu=abc\n"
        "[MenuItem]\nImage=a.bmp\nLeftWidth=abc\nTopHeight=\nRightWidth=12x\nBottomHeight=0x0A\n"
        "Style=-\nTrans=yes\nTile=\nNormalColour=red\nPressedColour2=\n"
        "[Personality]\nTop=a.bmp\nTopFrame=two\nTopTrans=\nTopStretch=x\n";
    TSkinData d(nullptr);
    ASSERT_TRUE(Load(d, Archive(ini, {{"a.bmp", Bmp(10, 10, kRed)}})));
    ASSERT_NE(d.MenuItem, nullptr);
    const TDataSkinObject& m = *d.MenuItem;
    struct Field {
        const char* name;
        int32_t got, expect;
    } fields[] = {
        {"LeftWidth", m.LeftWidth, 0},   {"TopHeight", m.TopHeight, 0},
        {"RightWidth", m.RightWidth, 0}, {"BottomHeight", m.BottomHeight, 10},
        {"Style", m.Style, 0},           {"Trans", m.Trans, 0},
        {"Tile", m.Tile, 0},             {"NormalColour", m.NormalColour, -1},
        {"MouseOverColour", m.MouseOverColour, -1},
        // Text colours missing or empty: the button text just read, not the window text.
        {"NormalColour2", m.NormalColour2, 0x030201},
        {"MouseOverColour2", m.MouseOverColour2, 0x030201},
        {"PressedColour2", m.PressedColour2, 0x030201},
        // Frame borders: bad numbers give their own defaults (one cell, keyed, stretched).
        {"TopFrame", d.BorderTop->Frame, 1},  {"TopTrans", d.BorderTop->Trans, 1},
        {"TopStretch", d.BorderTop->Tile, 1},
        // Colours: an empty value keeps the default, a value without digits is black.
        {"Hilight", d.Hilight, clHighlight},  {"Menu", d.MenuColour, 0},
        {"ScrollbarColour (missing)", d.ScrollbarColour, clScrollBar},
        {"WindowText", d.WindowText, 0x060504},
    };
    for (const Field& f : fields) EXPECT_EQ(f.got, f.expect) << f.name;
}

TEST_F(SkinDataTest, SystemColoursAreResolvedBeforeTheirBytesAreUsed) {
    // The button face left at its system colour must act exactly as its RGB value written
    // out: in the combo arrow's key pixels and in the tool-bar gradient.
    const TColor face = static_cast<TColor>(GetSysColor(COLOR_BTNFACE));
    char faceText[32];
    std::snprintf(faceText, sizeof faceText, "%d %d %d", face & 0xFF, (face >> 8) & 0xFF,
                  (face >> 16) & 0xFF);
    const auto files = std::vector<wl::skinpack::SkinEntry>{
        {"combo.bmp", Cells(18, 21, {0x550000, 0x660000, 0x770000, 0x880000})}};
    TSkinData symbolic(nullptr), written(nullptr);
    ASSERT_TRUE(Load(symbolic, Archive("[ComboButton]\nImage=combo.bmp\n", files)));
    ASSERT_TRUE(Load(written, Archive(std::string("[Colours]\nButtonFace=") + faceText +
                                          "\n[ComboButton]\nImage=combo.bmp\n",
                                      files)));
    ASSERT_EQ(symbolic.ButtonFace, clBtnFace);
    ASSERT_EQ(written.ButtonFace, face);
    ASSERT_NE(symbolic.ComboxArrow, nullptr);
    EXPECT_EQ(PixelOf(symbolic.ComboxArrow->Image, 1, 1), face);
    for (int y : {0, 20, 39})
        EXPECT_EQ(PixelOf(symbolic.Toolbar->Image, 5, y), PixelOf(written.Toolbar->Image, 5, y))
            << "gradient row " << y;
}
