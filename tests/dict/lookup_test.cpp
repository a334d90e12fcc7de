// The lookup rule end to end: a dictionary file written by our writer, opened through the
// table component, looked up as the main window does.
#include "dict/meaning_encode.h"
#include "dict/store_words.h"
#include "store/text.h"
#include "store/writer.h"
#include "support/testdata.h"
#include "base/strings.h"

#include <gtest/gtest.h>

#include <fstream>

namespace wl::test {
namespace {

using Kind = LookupResult::Kind;

std::string Ansi(std::string_view utf8) { return store::Utf16ToAnsi(store::Utf8ToUtf16(utf8)); }
std::string Enc(std::string_view utf8) { return EncodeMeaning(Ansi(utf8), kMeaningKey); }

// Opens a table over a file holding `rows` (word, stored mean), both UTF-8.
void OpenDict(store::AdoTable& table, const std::vector<std::pair<std::string, std::string>>& rows) {
    std::vector<store::WriterRow> r;
    for (const auto& [w, m] : rows) r.push_back({store::Utf8ToUtf16(w), store::Utf8ToUtf16(m)});
    std::string path = ArtifactDir() + "/lookup.mdb";
    std::string bytes = store::WriteJetTable("main", {{"word", false, 255}, {"mean", true, 0}}, r);
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));
    table.Close();
    table.SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path + ";Persist Security Info=False");
    table.SetTableName("main");
    table.Open();
}

TEST(Lookup, FollowsTheProgramsRules) {
    const std::vector<std::pair<std::string, std::string>> dict = {
        {"applet", Enc("n. small app")}, {"apple", Enc("  n. \xE8\x8B\xB9\xE6\x9E\x9C\r\n[\xE6\xA4\x8D] tree \r\n")},
        {"banana", Enc("n. \xE9\xA6\x99\xE8\x95\x89")}, {"\xE4\xBD\xA0\xE5\xA5\xBD", Enc("hello")},
        {"odd", "ABC"}, {"Pear", Enc("pear, capitalised")}, {"pear", Enc("pear")}, {"cherry", Enc("one")},
        {"cherry", Enc("two")}, {"dup", Enc("")},
    };
    struct Case {
        const char* field; // UTF-8
        Kind kind;
        const char* keyword;
        const char* meaning;
    } cases[] = {
        {"", Kind::Empty, "", ""},
        {"  apple \t", Kind::Found, "apple", "n. \xE8\x8B\xB9\xE6\x9E\x9C\r\n[\xE6\xA4\x8D] tree"},
        {"apple", Kind::Found, "apple", "n. \xE8\x8B\xB9\xE6\x9E\x9C\r\n[\xE6\xA4\x8D] tree"},
        {"   ", Kind::NotFound, "", ""},           // emptied field: no empty word in the table
        {"appl", Kind::NotFound, "appl", ""},      // first prefix match is "apple"
        {"Apple", Kind::NotFound, "Apple", ""},    // found "apple", but the comparison is exact
        {"applet", Kind::Found, "applet", "n. small app"},
        {"pear", Kind::NotFound, "pear", ""},      // "Pear" is stored first and folds equal
        {"Pear", Kind::Found, "Pear", "pear, capitalised"},
        {"cherry", Kind::Found, "cherry", "one"},  // duplicates: the first stored wins
        {"\xE4\xBD\xA0\xE5\xA5\xBD", Kind::Found, "\xE4\xBD\xA0\xE5\xA5\xBD", "hello"},
        {"\xE4\xBD\xA0", Kind::NotFound, "\xE4\xBD\xA0", ""},
        {"zzz", Kind::NotFound, "zzz", ""},
        {"dup", Kind::Found, "dup", ""},
    };
    store::AdoTable table;
    OpenDict(table, dict);
    for (const auto& c : cases) {
        LookupResult r = LookUpWord(Ansi(c.field), table);
        EXPECT_EQ(int(r.kind), int(c.kind)) << c.field;
        EXPECT_EQ(r.keyword, Ansi(c.keyword)) << c.field;
        EXPECT_EQ(r.meaning, Ansi(c.meaning)) << c.field;
    }
}

TEST(Lookup, EmptyWordRowIsFoundForABlankField) {
    store::AdoTable table;
    OpenDict(table, {{"", Enc("nothing")}, {"a", Enc("x")}});
    LookupResult r = LookUpWord("  ", table);
    EXPECT_EQ(int(r.kind), int(Kind::Found));
    EXPECT_EQ(r.meaning, "nothing");
}

// An empty table has no row to show: every keyword, even one that trimming emptied, is not
// found (its fields read empty, so only the exact comparison could fail or pass).
TEST(Lookup, EmptyTableFindsNothing) {
    store::AdoTable table;
    OpenDict(table, {});
    for (const char* field : {"apple", "   ", "\xE4\xBD\xA0"}) {
        LookupResult r = LookUpWord(Ansi(field), table);
        EXPECT_EQ(int(r.kind), int(Kind::NotFound)) << field;
        EXPECT_EQ(r.meaning, "") << field;
    }
}

TEST(Lookup, BadMeaningsReportAsTheCodecDoes) {
    store::AdoTable table;
    OpenDict(table, {{"odd", "ABC"}, {"bad", "4G41"}});
    std::string shown;
    MessageSink old = SetMeaningMessageSink([&](std::string_view text) { shown = std::string(text); });
    LookupResult r = LookUpWord("odd", table);
    EXPECT_EQ(int(r.kind), int(Kind::Found));
    EXPECT_EQ(r.meaning, "");
    EXPECT_EQ(shown, kBadCipherText);
    try {
        LookUpWord("bad", table);
        ADD_FAILURE() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'$4G' is not a valid integer value");
    }
    SetMeaningMessageSink(old);
}

TEST(Lookup, ClosedTableIsTheStoresError) {
    store::AdoTable table;
    try {
        LookUpWord("apple", table);
        FAIL() << "no exception";
    } catch (const store::JetError& e) {
        EXPECT_STREQ(e.what(), "Cannot perform this operation on a closed dataset");
    }
    EXPECT_EQ(int(LookUpWord("", table).kind), int(Kind::Empty)); // an empty field never touches the table
}

} // namespace
} // namespace wl::test
