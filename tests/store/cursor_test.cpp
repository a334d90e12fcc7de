// The cursor's ordering and locate rules, on small dictionaries written by our writer.
#include "fixture.h"
#include "store/cursor.h"

#include <gtest/gtest.h>

namespace wl::test {
namespace {

using store::Database;
using store::TableCursor;

std::shared_ptr<const Database> Open(const std::vector<std::pair<std::string, std::string>>& rows) {
    return std::make_shared<const Database>(DictBytes(rows), "cursor.mdb");
}

TEST(TableCursor, LocateFindsFirstPrefixMatchInWordOrder) {
    // Stored order is deliberately not word order.
    auto db = Open({{"zebra", "0"}, {"applet", "1"}, {"Apple", "2"}, {"apple", "3"}, {"apply", "4"},
                    {"", "5"}, {"b", "6"}, {"apple", "7"}, {"\xE8\x8B\xB9\xE6\x9E\x9C", "8"}, {"\xD0\x9C\xD0\xB8\xD1\x80", "9"}});
    struct Case {
        const char* key; // UTF-8
        bool prefix;
        const char* mean; // the row found, or nullptr: none (the cursor stays)
    } cases[] = {
        {"apple", true, "2"},   // "Apple" and "apple" fold equal: stored order decides
        {"APPLE", true, "2"},   // letters match in either case
        {"appl", true, "2"},    // first of apple, apple, applet, apply
        {"applet", true, "1"},
        {"apply", true, "4"},
        {"applex", true, nullptr},
        {"b", true, "6"},
        {"c", true, nullptr},
        {"zeb", true, "0"},
        {"", true, "5"},        // empty key: equality with the empty word
        {"appl", false, nullptr},
        {"apply", false, "4"},
        {"\xE8\x8B\xB9", true, "8"}, // a Chinese prefix
        {"\xD0\xBC\xD0\x98", true, "9"}, // Cyrillic letters fold too (мИ finds Мир)
    };
    TableCursor cursor(db, "main");
    for (const auto& c : cases) {
        cursor.First();
        cursor.Locate("word", "b", true); // move off the first row to see that "none" leaves it
        size_t before = cursor.Position();
        std::string key = store::Utf16ToAnsi(U(c.key));
        bool found = cursor.Locate("WORD", key, c.prefix);
        EXPECT_EQ(found, c.mean != nullptr) << c.key;
        if (c.mean) EXPECT_EQ(cursor.FieldText("mean"), c.mean) << c.key;
        else EXPECT_EQ(cursor.Position(), before) << c.key;
    }
}

// Every letter matches its other case in both directions; the neighbours of the letter
// ranges (@ [ ` { and the like) are not letters and match only themselves.
TEST(TableCursor, LocateIgnoresCaseForEveryLetterOnly) {
    std::vector<std::pair<std::string, std::string>> rows;
    for (char c = 'a'; c <= 'z'; ++c) rows.push_back({std::string("x") + c + "lower", std::string(1, c)});
    for (char c = 'A'; c <= 'Z'; ++c) rows.push_back({std::string("y") + c + "UPPER", std::string(1, c)});
    for (const char* odd : {"z@", "z[", "z`", "z{", "z^", "z~"}) rows.push_back({odd, odd});
    TableCursor cursor(Open(rows), "main");
    for (char c = 'a'; c <= 'z'; ++c) {
        const char upper = char(c - 'a' + 'A');
        struct Probe {
            std::string key;
            const char* mean;
        } probes[] = {
            {std::string("x") + upper, nullptr}, // filled in below
            {std::string("X") + upper + "LOWER", nullptr},
            {std::string("y") + c, nullptr},
            {std::string("Y") + c + "upper", nullptr},
        };
        const std::string lowerMean(1, c), upperMean(1, upper);
        probes[0].mean = probes[1].mean = lowerMean.c_str();
        probes[2].mean = probes[3].mean = upperMean.c_str();
        for (const auto& p : probes) {
            ASSERT_TRUE(cursor.Locate("word", p.key, true)) << p.key;
            EXPECT_EQ(cursor.FieldText("mean"), p.mean) << p.key;
        }
    }
    const struct {
        const char* key;
        const char* mean;
    } others[] = {{"z@", "z@"}, {"z[", "z["}, {"z`", "z`"}, {"z{", "z{"}, {"Z^", "z^"}, {"z~", "z~"}};
    for (const auto& o : others) {
        ASSERT_TRUE(cursor.Locate("word", o.key, false)) << o.key;
        EXPECT_EQ(cursor.FieldText("mean"), o.mean) << o.key;
    }
}

TEST(TableCursor, EmptyKeyWithoutEmptyWordFindsNothing) {
    TableCursor cursor(Open({{"a", "1"}, {"b", "2"}}), "main");
    EXPECT_FALSE(cursor.Locate("word", "", true));
    EXPECT_EQ(cursor.Position(), 0u);
}

TEST(TableCursor, FieldsComeInTheAnsiCodePage) {
    TableCursor cursor(Open({{"\xE4\xBD\xA0\xE5\xA5\xBD", "hello"}}), "main");
    cursor.First();
    EXPECT_EQ(cursor.FieldText("word"), "\xC4\xE3\xBA\xC3"); // 你好 in code page 936
    EXPECT_TRUE(cursor.Locate("word", "\xC4\xE3", true));
}

TEST(TableCursor, EmptyTableHasNoCurrentRow) {
    TableCursor cursor(Open({}), "main");
    EXPECT_TRUE(cursor.Empty());
    EXPECT_FALSE(cursor.Locate("word", "a", true));
    EXPECT_THROW(cursor.FieldText("word"), store::JetError);
}

TEST(TableCursor, NullWordsAreNotInTheIndex) {
    std::vector<store::WriterRow> rows = {{std::nullopt, U("0")}, {U("a"), U("1")}};
    auto db = std::make_shared<const Database>(
        store::WriteJetTable("main", {{"word", false, 255}, {"mean", true, 0}}, rows), "nulls.mdb");
    TableCursor cursor(db, "main");
    EXPECT_FALSE(cursor.Locate("word", "", true));
    ASSERT_TRUE(cursor.Locate("word", "a", true));
    EXPECT_EQ(cursor.FieldText("mean"), "1");
}

} // namespace
} // namespace wl::test
