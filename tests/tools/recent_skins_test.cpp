// The gallery's recent skins list: what a list text reads as (damaged texts read as nothing),
// that a written list reads back, and the order and duplicate rules of adding a path.
#include "tools/gallery/recent_skins.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace wl {
namespace {

using Paths = std::vector<std::string>;

TEST(RecentSkins, ParsesListsAndIgnoresDamagedOnes) {
    const struct {
        const char* what;
        std::string text;
        Paths expected;
    } cases[] = {
        {"slots in order",
         "[Recent skins]\r\n1=C:\\a.skn\r\n2=D:\\b c\\d.skn\r\n",
         {"C:\\a.skn", "D:\\b c\\d.skn"}},
        {"slots out of order, LF ends, blanks",
         "\n[recent SKINS]\n  3 = c\n1=a\n\n2=b",
         {"a", "b", "c"}},
        {"gaps close up", "[Recent skins]\n5=e\n2=b\n", {"b", "e"}},
        {"a duplicate keeps its first place",
         "[Recent skins]\n1=C:\\A.skn\n2=x\n3=c:\\a.SKN\n",
         {"C:\\A.skn", "x"}},
        {"empty text", "", {}},
        {"section only", "[Recent skins]\r\n", {}},
        {"another section", "[Recent]\n1=a\n", {}},
        {"no section line", "1=a\n2=b\n", {}},
        {"a line without '='", "[Recent skins]\n1=a\nb\n", {}},
        {"slot 0", "[Recent skins]\n0=a\n", {}},
        {"slot 6", "[Recent skins]\n1=a\n6=b\n", {}},
        {"slot not a number", "[Recent skins]\nx=a\n", {}},
        {"slot given twice", "[Recent skins]\n1=a\n1=b\n", {}},
        {"empty path", "[Recent skins]\n1=\n", {}},
        {"control byte in a path",
         std::string("[Recent skins]\n1=a\x01"
                     "b\n"),
         {}},
        {"binary garbage", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), {}},
        {"a second section", "[Recent skins]\n1=a\n[Other]\n", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseRecentSkins(c.text), c.expected) << c.what;
}

TEST(RecentSkins, AWrittenListReadsBack) {
    const Paths lists[] = {
        {},
        {"C:\\skins\\one.skn"},
        {"Z:\\a b\\x=y.skn", "C:\\Users\\me\\AppData\\Roaming\\s.skn", "e", "d", "c"},
    };
    for (const Paths& list : lists)
        EXPECT_EQ(ParseRecentSkins(FormatRecentSkins(list)), list);
    // Only the first five are written.
    EXPECT_EQ(ParseRecentSkins(FormatRecentSkins({"1", "2", "3", "4", "5", "6"})),
              (Paths{"1", "2", "3", "4", "5"}));
}

TEST(RecentSkins, PushKeepsTheMostRecentFirstWithoutDuplicates) {
    const struct {
        const char* what;
        Paths before;
        std::string path;
        Paths after;
    } cases[] = {
        {"into an empty list", {}, "a", {"a"}},
        {"a new path goes first", {"a", "b"}, "c", {"c", "a", "b"}},
        {"a known path moves to the front", {"a", "b", "c"}, "c", {"c", "a", "b"}},
        {"the first path again", {"a", "b"}, "a", {"a", "b"}},
        {"case does not make another path",
         {"C:\\Skins\\A.skn", "b"},
         "c:\\skins\\a.SKN",
         {"c:\\skins\\a.SKN", "b"}},
        {"the oldest drops out after five",
         {"1", "2", "3", "4", "5"},
         "6",
         {"6", "1", "2", "3", "4"}},
        {"a known path in a full list drops nothing else",
         {"1", "2", "3", "4", "5"},
         "4",
         {"4", "1", "2", "3", "5"}},
        {"an empty path changes nothing", {"a"}, "", {"a"}},
    };
    for (const auto& c : cases) {
        Paths list = c.before;
        PushRecentSkin(list, c.path);
        EXPECT_EQ(list, c.after) << c.what;
    }
}

} // namespace
} // namespace wl
