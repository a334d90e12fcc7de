// INI reader: parsing (line ends, trimming, comments, headers, keys) and the lookup rules
// (first section and first key win, empty values give the default, integer conversion).
#include "skin/archive/quick_ini.h"

#include <gtest/gtest.h>

namespace wl {
namespace {

const char* const kSkin = "top=not in a section\r\n"
                          "; Comment=1\r\n"
                          "[Buttons]\r\n"
                          "  Bitmap = Button.BMP  \r\n"
                          "Image=a=b\r\n"
                          "Name=x ; note\r\n"
                          "Empty=\r\n"
                          "Empty=later\r\n"
                          "Hex=0x1F\r\n"
                          "Dollar=$1F\r\n"
                          "Neg=-5\r\n"
                          "Junk=12abc\r\n"
                          "AllBits=0xFFFFFFFF\r\n"
                          "TooBig=2147483648\r\n"
                          "Short=0x\r\n"
                          "no equals sign\r\n"
                          "=orphan\r\n"
                          "[ Spaced ]\r\n"
                          "k=spaced\r\n"
                          "[buttons]\r\n"
                          "Bitmap=second section\r\n"
                          "Extra=only in the duplicate\r\n"
                          "[Form]\r\n"
                          "Top=1\r\n";

TEST(QuickIni, StringLookups) {
    TQuickIni ini;
    ini.LoadFromText(kSkin);
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"Buttons", "Bitmap", "Button.BMP"},
        {"BUTTONS", "bitmap", "Button.BMP"},
        {"buttons", "BITMAP", "Button.BMP"},
        {"Buttons", "Image", "a=b"},
        {"Buttons", "Name", "x ; note"},
        {"Buttons", "; Comment", "def"},
        {"Buttons", "Empty", "def"},        // first occurrence decides, even when empty
        {"Buttons", "Extra", "def"},        // duplicated header: only the first is used
        {"Buttons", "", "def"},             // an empty key never yields a value
        {"Buttons", "no equals sign", "def"},
        {"Buttons", "Top", "def"},          // stops at the next header
        {"Form", "top", "1"},
        {"Spaced", "k", "def"},             // blanks inside brackets are part of the name
        {" Spaced ", "k", "spaced"},
        {"", "top", "def"},                 // lines above the first header are never reached
        {"Missing", "Bitmap", "def"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ini.ReadString(c.section, c.key, "def"), c.expected)
            << c.section << " / " << c.key;
}

TEST(QuickIni, IntegerLookups) {
    TQuickIni ini;
    ini.LoadFromText(kSkin);
    struct Case {
        const char* key;
        int32_t expected;
    } cases[] = {
        {"Hex", 31},  {"Dollar", 31}, {"Neg", -5},     {"Junk", 77},  {"AllBits", -1},
        {"TooBig", 77}, {"Short", 77}, {"Bitmap", 77}, {"Empty", 77}, {"Missing", 77},
    };
    for (const auto& c : cases) EXPECT_EQ(ini.ReadInteger("Buttons", c.key, 77), c.expected) << c.key;
    EXPECT_EQ(ini.ReadInteger("Form", "Top", 0), 1);
}

TEST(QuickIni, LineEndsParseTheSame) {
    const char* texts[] = {
        "[S]\r\na=1\r\nb=2\r\n", "[S]\na=1\nb=2\n", "[S]\ra=1\rb=2", "\r\n\r\n[S]\n\n\ta=1 \r\r\nb=2",
    };
    for (const char* text : texts) {
        TQuickIni ini;
        ini.LoadFromText(text);
        EXPECT_EQ(ini.Lines(), (std::vector<std::string>{"[S]", "a=1", "b=2"})) << text;
        EXPECT_EQ(ini.ReadInteger("s", "B", 0), 2);
    }
    TQuickIni ini;
    ini.LoadFromText(std::string("[S]\na=1\0\nb=2", 12)); // a zero byte ends the text
    EXPECT_EQ(ini.ReadString("S", "b", "none"), "none");
    EXPECT_EQ(ini.ReadString("S", "a", "none"), "1");
}

TEST(QuickIni, SectionsAndReload) {
    TQuickIni ini;
    ini.LoadFromText(kSkin);
    EXPECT_EQ(ini.ReadSections(),
              (std::vector<std::string>{"Buttons", "Spaced", "buttons", "Form"}));

    ini.LoadFromStream(nullptr); // a missing stream changes nothing
    EXPECT_EQ(ini.ReadString("Form", "Top", ""), "1");

    std::string replacement = "[Other]\nx=y";
    ini.LoadFromStream(&replacement);
    EXPECT_EQ(ini.ReadString("Form", "Top", "gone"), "gone");
    EXPECT_EQ(ini.ReadSections(), std::vector<std::string>{"Other"});

    ini.LoadFromText("not an ini file at all\x01\x02\xFF");
    EXPECT_TRUE(ini.ReadSections().empty());
    EXPECT_EQ(ini.ReadString("not an ini file at all", "x", "d"), "d");
}

} // namespace
} // namespace wl
