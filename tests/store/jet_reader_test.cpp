// The reader against files we did not write (compared with the independent exporter where it
// can run, and with the expected content shipped beside the files), and round trips through
// our own writer, including the compressed-text mode switches no sample file contains.
#include "fixture.h"
#include "store/export.h"
#include "store/jet.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

namespace wl::test {
namespace {

using store::Database;

std::string Export(const store::Table& t) {
    std::ostringstream out;
    store::ExportTsv(t, out);
    return out.str();
}

// Where two long texts first differ, for readable failures.
std::string FirstDifference(const std::string& a, const std::string& b) {
    size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    if (i == a.size() && i == b.size()) return "";
    size_t from = i > 40 ? i - 40 : 0;
    return "differ at byte " + std::to_string(i) + ":\n  ours:     " + a.substr(from, 80) + "\n  expected: " + b.substr(from, 80);
}

#ifndef _WIN32
bool HaveCommand(const char* name) { return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0; }

std::string RunCommand(const std::string& cmd) {
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return {};
    std::string out;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
}

std::string Exporter(const std::string& file, const std::string& table) {
    return RunCommand("mdb-export -H -d '\t' -q '' '" + file + "' '" + table + "'");
}
#endif

#define NEED_EXPORTER()                                                                            \
    do {                                                                                           \
        if (!HaveCommand("mdb-export")) GTEST_SKIP() << "mdb-export (Debian mdbtools) is not installed"; \
    } while (0)

struct Sample {
    const char* file;
    const char* table;
};

class SampleTable : public ::testing::TestWithParam<Sample> {};

TEST_P(SampleTable, ReadsLikeTheIndependentExporter) {
    WL_SHARED_OR_SKIP(path, std::string("mdb/") + GetParam().file);
#ifdef _WIN32
    GTEST_SKIP() << "the independent exporter runs natively only";
#else
    NEED_EXPORTER();
    Database db(path);
    std::string ours = Export(*db.OpenTable(GetParam().table));
    std::string expected = Exporter(path, GetParam().table);
    ASSERT_FALSE(expected.empty());
    EXPECT_TRUE(ours == expected) << FirstDifference(ours, expected);
#endif
}

INSTANTIATE_TEST_SUITE_P(
    Files, SampleTable,
    ::testing::Values(Sample{"Monitor.mdb", "Monitor_Authenticate"}, Sample{"compIndexTestV2000.mdb", "Table1"},
                      Sample{"delColTestV2000.mdb", "Table1"}, Sample{"functionsV2000.mdb", "t_funcs"},
                      Sample{"overflowTestV2000.mdb", "Table1"}, Sample{"test2V2003.mdb", "MSP_PROJECTS"},
                      Sample{"testUnicodeCompV2003.mdb", "Table"}, Sample{"words-ecdict-4k.mdb", "main"}),
    [](const auto& info) {
        std::string n = info.param.file;
        n = n.substr(0, n.find('.'));
        for (auto& ch : n)
            if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return n;
    });

TEST(JetReader, DictionarySampleMatchesItsExpectedContent) {
    WL_SHARED_OR_SKIP(path, "mdb/words-ecdict-4k.mdb");
    WL_SHARED_OR_SKIP(tsv, "mdb/words-ecdict-4k.tsv");
    Database db(path);
    std::string ours = Export(*db.OpenTable("MAIN")); // table names match in any case
    std::string expected = ReadFileBytes(tsv);
    EXPECT_TRUE(ours == expected) << FirstDifference(ours, expected);
}

TEST(JetReader, LongBinaryChainMatchesItsExpectedBytes) {
    WL_SHARED_OR_SKIP(path, "mdb/test2V2003.mdb");
    WL_SHARED_OR_SKIP(bin, "mdb/test2V2003.RESERVED_BINARY_DATA.bin");
    Database db(path);
    auto t = db.OpenTable("MSP_PROJECTS");
    int c = t->FindColumn("RESERVED_BINARY_DATA");
    ASSERT_GE(c, 0);
    ASSERT_EQ(t->RowCount(), 1u);
    EXPECT_EQ(t->Field(0, size_t(c)).bytes, ReadFileBytes(bin));
}

TEST(JetReader, ListsUserTablesAndRejectsMissingOnes) {
    WL_SHARED_OR_SKIP(empty, "mdb/emptyV2000.mdb");
    WL_SHARED_OR_SKIP(del, "mdb/delColTestV2000.mdb");
    EXPECT_TRUE(Database(empty).TableNames().empty());
    EXPECT_EQ(Database(del).TableNames(), std::vector<std::string>{"Table1"});
    try {
        Database(empty).OpenTable("main");
        FAIL() << "no exception";
    } catch (const store::JetError& e) {
        EXPECT_NE(std::string(e.what()).find("table 'main' not found"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("emptyV2000.mdb"), std::string::npos) << e.what();
    }
}

// Files made by other tools hold rows flagged deleted (among them the old places of rows that
// were moved to another page): those are skipped, moved rows are listed once where they live.
// Row counts as the independent tools count them (see the files' README); runs without them.
TEST(JetReader, OtherToolsFilesSkipDeletedRows) {
    struct Case {
        const char* file;
        const char* table;
        size_t rows;
    } cases[] = {
        {"Monitor.mdb", "Monitor_Authenticate", 1}, {"compIndexTestV2000.mdb", "Table1", 512},
        {"delColTestV2000.mdb", "Table1", 2},       {"functionsV2000.mdb", "t_funcs", 1},
        {"overflowTestV2000.mdb", "Table1", 7},     {"test2V2003.mdb", "MSP_PROJECTS", 1},
        {"testUnicodeCompV2003.mdb", "Table", 8},   {"words-ecdict-4k.mdb", "main", 4697},
    };
    for (const auto& c : cases) {
        WL_SHARED_OR_SKIP(path, std::string("mdb/") + c.file);
        EXPECT_EQ(Database(path).OpenTable(c.table)->RowCount(), c.rows) << c.file;
    }
    // The moved rows of this file, where they now live: after the rows that stayed in place.
    WL_SHARED_OR_SKIP(overflow, "mdb/overflowTestV2000.mdb");
    Database db(overflow);
    auto t = db.OpenTable("Table1");
    const char* const expected[][2] = {{"row1col1", ""}, {"row2col1", "row2col3"}, {"row4col1", "row4col2"},
                                       {"", "row6col2"}, {"row7col1", ""},         {"", "row3col3"},
                                       {"", "row5col2"}};
    ASSERT_EQ(t->RowCount(), std::size(expected));
    for (size_t r = 0; r < t->RowCount(); ++r)
        for (size_t c = 0; c < 2; ++c)
            EXPECT_EQ(store::Utf16ToUtf8(t->Text(r, c)), expected[r][c]) << "row " << r << " column " << c;
}

// A row flagged deleted in a file of ours is skipped; the rows around it stay.
TEST(JetReader, DeletedRowIsSkipped) {
    const std::string good = DictBytes({{"one", "1"}, {"two", "2"}, {"three", "3"}});
    for (size_t victim = 0; victim < 3; ++victim) {
        std::string b = good;
        size_t page = 0;
        for (size_t p = 4; p < b.size() / 4096 && !page; ++p)
            if (b[p * 4096] == 1 && b[p * 4096 + 4] == 3 && b[p * 4096 + 5] == 0) page = p * 4096;
        ASSERT_NE(page, 0u);
        b[page + 14 + 2 * victim + 1] = char(b[page + 14 + 2 * victim + 1] | 0x80); // deleted flag
        Database db(b, "deleted.mdb");
        auto t = db.OpenTable("main");
        std::vector<std::string> words;
        for (size_t r = 0; r < t->RowCount(); ++r) words.push_back(store::Utf16ToUtf8(t->Text(r, 0)));
        std::vector<std::string> expected = {"one", "two", "three"};
        expected.erase(expected.begin() + long(victim));
        EXPECT_EQ(words, expected) << "deleted row " << victim;
    }
}

// A row written when the table had fewer variable columns has a shorter offset table: the
// columns beyond it are null, whatever the null mask says.
TEST(JetReader, ColumnsBeyondTheRowsVariableCountAreNull) {
    std::vector<store::WriterRow> rows = {{U("word"), U("mean"), U("")}};
    std::string b = store::WriteJetTable("main", {{"word", false, 255}, {"mean", false, 255}, {"extra", false, 255}}, rows);
    size_t page = 0;
    for (size_t p = 4; p < b.size() / 4096 && !page; ++p)
        if (b[p * 4096] == 1 && b[p * 4096 + 4] == 3 && b[p * 4096 + 5] == 0) page = p * 4096;
    ASSERT_NE(page, 0u);
    // Row 0 ends at the page end: one mask byte (all three bits set), then the count 3.
    ASSERT_EQ(uint8_t(b[page + 4095]), 0x07u);
    ASSERT_EQ(b[page + 4093], 3);
    for (unsigned count : {3u, 2u, 1u}) {
        b[page + 4093] = char(count);
        Database db(b, "fewer.mdb");
        auto t = db.OpenTable("main");
        const char* const values[] = {"word", "mean", ""};
        for (size_t c = 0; c < 3; ++c) {
            bool null = false;
            std::u16string v = t->Text(0, c, &null);
            EXPECT_EQ(null, c >= count) << "count " << count << " column " << c;
            EXPECT_EQ(store::Utf16ToUtf8(v), c < count ? values[c] : "") << "count " << count << " column " << c;
        }
    }
}

#ifndef _WIN32
TEST(JetReader, HundredThousandRowsLikeTheIndependentExporter) {
    WL_SHARED_OR_SKIP(xz, "mdb/words-ecdict-100k.mdb.xz");
    NEED_EXPORTER();
    if (!HaveCommand("xz")) GTEST_SKIP() << "xz is not installed";
    std::string path = ArtifactDir() + "/words-ecdict-100k.mdb";
    ASSERT_EQ(std::system(("xz -dc '" + xz + "' > '" + path + "'").c_str()), 0);
    Database db(path);
    auto t = db.OpenTable("main");
    EXPECT_EQ(t->RowCount(), 100000u);
    std::string ours = Export(*t), expected = Exporter(path, "main");
    EXPECT_TRUE(ours == expected) << FirstDifference(ours, expected);
}
#endif

// Compressed text: FF FE, one byte per character, 00 switching to two-byte characters and back.
TEST(JetText, DecodesBothFormsAndModeSwitches) {
    struct Case {
        std::string bytes;
        std::string utf8;
    } cases[] = {
        {std::string("\xFF\xFE" "abc", 5), "abc"},
        {std::string("\xFF\xFE" "a\0\x2D\x4E\0b", 8), "a\xE4\xB8\xAD" "b"},                 // a中b
        {std::string("\xFF\xFE\0\x2D\x4E\x87\x65", 7), "\xE4\xB8\xAD\xE6\x96\x87"},         // starts wide
        {std::string("\xFF\xFE" "a\0\x2D\x4E\x87", 7), "a\xE4\xB8\xAD"},                    // odd tail dropped
        {std::string("a\0\x2D\x4E", 4), "a\xE4\xB8\xAD"},                                   // plain UTF-16LE
        {std::string("\xFF\xFE", 2), ""},
        {std::string(), ""},
    };
    for (const auto& c : cases) {
        auto text = store::DecodeJetText(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size());
        EXPECT_EQ(store::Utf16ToUtf8(text), c.utf8) << "bytes of size " << c.bytes.size();
    }
}

TEST(JetText, EncodesCompressedOnlyWhenShorterAndSafe) {
    struct Case {
        std::string utf8;
        bool compressed;
    } cases[] = {
        {"hello", true},
        {"a\xE4\xB8\xAD" "bcdef", true},                  // one switch out and back
        {"\xE4\xB8\xAD\xE6\x96\x87", false},              // all wide: no gain
        {"abc\xC4\x80", false},                           // U+0100 has a zero low byte
        {"abcdefgh\xE4\xB8\x80", false},                 // so has U+4E00 (一)
        {"\xE4\xB8\x80" "abcdefgh", false},
        {"abc\xE4\xB8\x80\xE4\xB8\xADxyzuvw", false},
        {"", false},
    };
    for (const auto& c : cases) {
        std::u16string text = U(c.utf8);
        std::string bytes = store::EncodeJetText(text, true);
        EXPECT_EQ(bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE', c.compressed) << c.utf8;
        EXPECT_EQ(store::DecodeJetText(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), text) << c.utf8;
    }
}

// Values that exercise every storage path of the writer and the reader.
std::vector<store::WriterRow> RoundTripRows() {
    std::string chinese;
    for (int i = 0; i < 3000; ++i) chinese += "\xE4\xB8\xAD"; // 6000 bytes as UTF-16: a chain
    return {
        {U("plain"), U("short meaning")},
        {U("a\xE4\xB8\xAD" "b"), U("x\xE6\x96\x87y\xE6\x96\x87z")},
        {U("\xC4\x80wide"), U(std::string(1500, 'm'))},       // > 1024 chars: stored uncompressed
        {std::nullopt, U("null word")},
        {U(""), std::nullopt},
        {U("chain"), U(chinese)},
        {U(std::string(255, 'w')), U(std::string(4000, 'q'))},
        // Characters whose low byte is zero (一 U+4E00, U+0100) among narrow ones: a
        // compressed form would read their zero byte as a mode switch.
        {U("one \xE4\xB8\x80 two"), U("n. \xE4\xB8\x80, \xE4\xB8\x80\xE4\xB8\xAA [one] \xC4\x80 end")},
        {U("\xE4\xB8\x80"), U("\xE4\xB8\x80")},
        {U("abcdefghijklmnop\xE4\xB8\x80"), U(std::string(600, 'a') + "\xE4\xB8\x80" + std::string(600, 'b'))},
    };
}

TEST(JetWriter, RoundTripsEveryStorageKind) {
    for (size_t inlineLimit : {size_t(0), size_t(256), size_t(2048)}) {
        store::WriterOptions options;
        options.inlineMemoLimit = inlineLimit;
        auto rows = RoundTripRows();
        std::string path = WriteArtifact("roundtrip.mdb",
                                         store::WriteJetTable("main", {{"word", false, 255}, {"mean", true, 0}}, rows, options));
        Database db(path);
        auto t = db.OpenTable("main");
        ASSERT_EQ(t->RowCount(), rows.size());
        for (size_t r = 0; r < rows.size(); ++r)
            for (size_t c = 0; c < 2; ++c) {
                bool null = false;
                std::u16string value = t->Text(r, c, &null);
                EXPECT_EQ(null, !rows[r][c].has_value()) << "row " << r << " column " << c << " inline " << inlineLimit;
                if (rows[r][c]) {
                    EXPECT_TRUE(value == *rows[r][c]) << "row " << r << " column " << c << " inline " << inlineLimit;
                }
            }
    }
}

// Enough rows for some 700 pages.
std::vector<std::pair<std::string, std::string>> ManyRows() {
    std::vector<std::pair<std::string, std::string>> rows;
    for (int i = 0; i < 30000; ++i) {
        std::string word = "w";
        word += std::to_string(i);
        rows.push_back({word, std::string(size_t(40 + i % 300), 'A')});
    }
    return rows;
}

TEST(JetWriter, ManyRowsSpanManyPages) {
    auto rows = ManyRows();
    std::string path = WriteArtifact("many.mdb", DictBytes(rows));
    Database db(path);
    ASSERT_GT(db.PageCount(), 600u); // beyond what a 64-byte usage map could list
    auto t = db.OpenTable("main");
    ASSERT_EQ(t->RowCount(), rows.size());
    for (size_t r : {size_t(0), size_t(12345), rows.size() - 1})
        EXPECT_EQ(store::Utf16ToUtf8(t->Text(r, 0)), rows[r].first);
}

#ifndef _WIN32
TEST(JetWriter, IndependentToolsReadOurFiles) {
    NEED_EXPORTER();
    auto rows = RoundTripRows();
    std::string path = WriteArtifact("for-mdbtools.mdb",
                                     store::WriteJetTable("main", {{"word", false, 255}, {"mean", true, 0}}, rows));
    EXPECT_EQ(RunCommand("mdb-tables -1 '" + path + "'"), "main\n");
    std::string schema = RunCommand("mdb-schema '" + path + "' 2>&1");
    EXPECT_NE(schema.find("[word]\t\t\tText (255)"), std::string::npos) << schema;
    EXPECT_NE(schema.find("[mean]\t\t\tMemo/Hyperlink"), std::string::npos) << schema;
    Database db(path);
    std::string ours = Export(*db.OpenTable("main"));
    std::string theirs = Exporter(path, "main");
    EXPECT_TRUE(ours == theirs) << FirstDifference(ours, theirs);

    path = WriteArtifact("many-for-mdbtools.mdb", DictBytes(ManyRows()));
    ours = Export(*Database(path).OpenTable("main"));
    theirs = Exporter(path, "main");
    EXPECT_TRUE(ours == theirs) << FirstDifference(ours, theirs);
}
#endif

} // namespace
} // namespace wl::test
