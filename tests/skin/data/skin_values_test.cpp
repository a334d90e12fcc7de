// Value formats of skin definitions and the other pure loading rules.
#include "skin/data/skin_values.h"

#include <gtest/gtest.h>


using namespace wl;

TEST(SkinValues, ColourTriple) {
    struct Case {
        const char* text;
        int32_t expect;
    } cases[] = {
        {"255 255 255", SkinRgb(255, 255, 255)},
        {"0,128,255;", SkinRgb(0, 128, 255)},
        {"10 20", SkinRgb(10, 0, 0)},       // two runs, only one ended by a separator
        {"10 20 ", SkinRgb(10, 0, 0)},      // trimmed first: the same as "10 20"
        {"128", SkinRgb(0, 0, 0)},
        {"1 2 3 4", SkinRgb(1, 2, 3)},
        {"300 0 0", SkinRgb(44, 0, 0)},
        {"  7 8 9  ", SkinRgb(7, 8, 9)},
        {"1;;2;;3", SkinRgb(1, 2, 3)},
        {"a1b2c3", SkinRgb(1, 2, 3)},
        {"99999999999999999999 1 2", SkinRgb(255, 1, 2)}, // 10^20 - 1 is 255 modulo 256
        {"", 0},
        {"red", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseColourTriple(c.text), c.expect) << "'" << c.text << "'";
}

TEST(SkinValues, ColourKeysAndSplitColours) {
    TQuickIni ini;
    ini.LoadFromText("[S]\nA=1 2 3 4\nEmpty=\nFullR=255\nFullG=0x10\nFullB=300\n"
                     "HalfR=255\nHalfB=1\nNegR=-1\nNegG=0\nNegB=0\n");
    EXPECT_EQ(ReadColourTriple(ini, "s", "a", 7), SkinRgb(1, 2, 3));
    EXPECT_EQ(ReadColourTriple(ini, "S", "Empty", 7), 7);
    EXPECT_EQ(ReadColourTriple(ini, "S", "Missing", 7), 7);
    struct Case {
        const char* prefix;
        bool set;
        int32_t expect;
    } cases[] = {
        {"Full", true, SkinRgb(255, 16, 44)},
        {"Half", false, 0x1FFFFFFF}, // green missing: the field keeps its preset
        {"Neg", false, 0x1FFFFFFF},
        {"None", false, 0x1FFFFFFF},
    };
    for (const Case& c : cases) {
        int32_t field = 0x1FFFFFFF;
        EXPECT_EQ(ReadSplitColour(ini, "S", c.prefix, field), c.set) << c.prefix;
        EXPECT_EQ(field, c.expect) << c.prefix;
    }
}

TEST(SkinValues, ImageNames) {
    struct Case {
        const char* value;
        const char* expect; // nullptr: no image
    } cases[] = {
        {"frame.bmp", "frame.bmp"},
        {"sub\\frame.bmp", "frame.bmp"},
        {"C:frame.bmp", "frame.bmp"},
        {"a\\b:c\\Skin1__PushButton.bmp", "Skin1__PushButton.bmp"},
        {"Frame.BMP", nullptr},
        {"frame.tga", nullptr},
        {"frame", nullptr},
        {"sub\\", nullptr},
        {".bmp", ".bmp"},
        {"x.bmp.txt", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        auto name = ImageEntryName(c.value);
        if (c.expect) {
            ASSERT_TRUE(name.has_value()) << c.value;
            EXPECT_EQ(*name, c.expect);
        } else {
            EXPECT_FALSE(name.has_value()) << c.value;
        }
    }
}

TEST(SkinValues, SysButtonFrames) {
    struct Case {
        int32_t frameKey;
        int w, h;
        int32_t action;
        int32_t frame;
        bool clear;
    } cases[] = {
        {0, 57, 19, 0, 3, false},  // ratio 3.0
        {0, 114, 19, 0, 6, false}, // ratio 6.0
        {0, 38, 10, 1, 3, false},  // ratio exactly 3.8
        {0, 39, 10, 1, 6, false},
        {0, 0, 0, 2, 6, false},    // no image
        {0, 57, 19, -1, 6, false}, // negative action
        {0, 0, 0, 3, 6, true},     // icon actions lose their image
        {0, 57, 19, 11, 3, true},
        {4, 57, 19, 11, 4, false}, // an explicit frame keeps the image
        {2, 0, 0, 0, 2, false},
    };
    for (const Case& c : cases) {
        TSysButtonFrame f = ChooseSysButtonFrame(c.frameKey, c.w, c.h, c.action);
        EXPECT_EQ(f.Frame, c.frame) << c.frameKey << " " << c.w << "x" << c.h << " " << c.action;
        EXPECT_EQ(f.ClearImage, c.clear) << c.action;
    }
    EXPECT_EQ(GlyphFrameCount(156, 13), 12);
    EXPECT_EQ(GlyphFrameCount(104, 13), 8);
    EXPECT_EQ(GlyphFrameCount(64, 16), 4);
    EXPECT_EQ(GlyphFrameCount(20, 13), 4); // at least 4
    EXPECT_EQ(GlyphFrameCount(0, 0), 4);
}

TEST(SkinValues, Skin3rdLookup) {
    const std::vector<std::string> lines = {"TRzGroup=nil", "TRZGROUP=panel", "TRzGroupBox=panel",
                                            "TLong=" + std::string(60, 'K'), "TNoKind=",
                                            "TEq=a=b"};
    struct Case {
        const char* cls;
        const char* kind; // nullptr: no line
    } cases[] = {
        {"TRzGroup", "nil"}, {"trzgroup", "nil"}, {"TRzGroupBo", nullptr},
        {"TRzGroupBox", "panel"}, {"TNoKind", ""}, {"TEq", "a=b"}, {"TOther", nullptr},
    };
    for (const Case& c : cases) {
        auto kind = Skin3rdKind(lines, c.cls);
        if (c.kind) {
            ASSERT_TRUE(kind.has_value()) << c.cls;
            EXPECT_EQ(*kind, c.kind);
        } else {
            EXPECT_FALSE(kind.has_value()) << c.cls;
        }
    }
    EXPECT_EQ(*Skin3rdKind(lines, "TLong"), std::string(50, 'k'));
}

TEST(SkinValues, DefaultClassList) {
    // The list a new component starts with: classes of other libraries that the engine cannot
    // recognise by ancestry, mapped case-insensitively to the kind they are skinned as.
    const auto& def = DefaultSkin3rd();
    struct Case {
        const char* cls;
        const char* kind; // nullptr: not in the list
    } cases[] = {
        {"tcxbutton", "bitbtn"},        {"TRzMenuButton", "menubtn"},
        {"TCATEGORYBUTTONS", "scrollbar"}, {"TPngBitBtn", "pngbitbtn"},
        {"TcxGroupbox", "groupbox"},    {"TovcDbNumericField", "edit"},
        {"TButton", nullptr},           {"TRz", nullptr},
    };
    for (const Case& c : cases) {
        const auto kind = Skin3rdKind(def, c.cls);
        EXPECT_EQ(kind.has_value(), c.kind != nullptr) << c.cls;
        if (kind && c.kind) {
            EXPECT_EQ(*kind, c.kind) << c.cls;
        }
    }
    // Every line has a class and a kind.
    for (const std::string& line : def) {
        const size_t eq = line.find('=');
        ASSERT_NE(eq, std::string::npos) << line;
        EXPECT_GT(eq, 0u) << line;
        EXPECT_LT(eq + 1, line.size()) << line;
    }
}
