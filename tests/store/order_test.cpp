// Rows stored in lookup order: the on-disk search answers exactly as the full read does, on
// hard cases and on 100,000 rows; damaged or edited order data is refused or answered by the
// full read, never with a wrong row; the writer refuses rows it cannot declare ordered.
#include "fixture.h"
#include "store/cursor.h"
#include "store/order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <random>

namespace wl::test {
namespace {

using store::Database;
using store::JetError;
using store::TableCursor;
using Rows = std::vector<std::pair<std::string, std::string>>;

constexpr size_t kPage = 4096;

// Rows sorted as dictbuild sorts them: folded words, equal ones in their given order.
Rows Sorted(const Rows& rows) {
    std::vector<std::pair<std::u16string, size_t>> keys;
    for (size_t i = 0; i < rows.size(); ++i)
        keys.push_back({store::FoldText(U(rows[i].first)), i});
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    Rows sorted;
    for (const auto& k : keys)
        sorted.push_back(rows[k.second]);
    return sorted;
}

std::string OrderedBytes(const Rows& rows) {
    store::WriterOptions o;
    o.declareOrderOf = 0;
    return DictBytes(Sorted(rows), o);
}

// What a locate answers: the meaning of the row found, or nothing.
using Answer = std::optional<std::u16string>;
Answer Find(TableCursor& c, const std::string& utf8Key, bool prefix) {
    if (!c.Locate("word", store::Utf16ToAnsi(U(utf8Key)), prefix)) return std::nullopt;
    return c.FieldUtf16("mean");
}

// Hard cases around the folding: neighbours only after folding, case variants in several
// orders, Latin-1, Greek, Cyrillic and Chinese headwords, plus filler so that the rows span
// many pages and the search really halves.
Rows HardRows(int filler = 3000) {
    Rows rows = {{"Zebra", "Z1"},
                 {"apple", "a1"},
                 {"Apple", "A1"},
                 {"APPLE", "A2"},
                 {"applet", "a2"},
                 {"apply", "a3"},
                 {"[", "br"},
                 {"_under", "u"},
                 {"\xC3\x89mile", "E1"},
                 {"\xC3\xA9mile", "e1"},
                 {"\xCE\xA9mega", "O"},
                 {"\xD0\x9C\xD0\xB8\xD1\x80", "M"},
                 {"\xE8\x8B\xB9\xE6\x9E\x9C", "C1"},
                 {"\xE8\x8B\xB9", "C2"},
                 {"aaa", "first"},
                 {"\xE9\xBE\x9F", "last"}};
    for (int i = 0; i < filler; ++i) {
        std::string w = "w" + std::to_string(i * 7919 % 3001);
        rows.push_back({i % 3 ? w : "W" + w.substr(1), "m" + std::to_string(i)});
    }
    return rows;
}

TEST(OrderedSearch, AnswersExactlyAsTheFullRead) {
    const std::string bytes = OrderedBytes(HardRows());
    auto db = std::make_shared<const Database>(bytes, "ordered.mdb");
    ASSERT_GT(db->PageCount(), 20u);
    TableCursor disk(db, "main"), full(db, "main", TableCursor::Search::FullRead);
    ASSERT_TRUE(disk.SearchesOnDisk());
    ASSERT_FALSE(full.SearchesOnDisk());
    EXPECT_EQ(disk.RowCount(), full.RowCount());
    struct Case {
        const char* key;
        const char* expected; // the meaning both must find, or nullptr for none
    } cases[] = {
        {"apple", "a1"},
        {"APPLE", "a1"},
        {"appl", "a1"},
        {"applet", "a2"},
        {"apply", "a3"},
        {"applz", nullptr},
        {"zebra", "Z1"},
        {"ZEB", "Z1"},
        {"[", "br"},
        {"_", "u"},
        {"aaa", "first"},
        {"a", "first"},
        {"\xC3\xA9mile", "E1"},
        {"\xC3\xA9M", "E1"},
        {"\xCF\x89mega", "O"},
        {"\xD0\xBC\xD0\x98", "M"},
        {"\xE8\x8B\xB9", "C2"},
        {"\xE8\x8B\xB9\xE6\x9E\x9C", "C1"},
        {"\xE9\xBE\x9F", "last"},
        {"\xE9\xBE\x9F\xE9\xBE\x9F", nullptr},
        {"w0", "m0"},
        {"W3001", nullptr},
        {"w30000", nullptr},
        {"", nullptr},
        {"zebrazebrazebrazebrazebrazebrazebrazebrazebrazebrazebrazebrazebrazebrazebrazebrazebra",
         nullptr},
        {"\x01", nullptr},
        {"\xEF\xBF\xBD", nullptr},
    };
    for (const auto& c : cases) {
        for (bool prefix : {true, false}) {
            Answer a = Find(disk, c.key, prefix), b = Find(full, c.key, prefix);
            EXPECT_EQ(a, b) << c.key << (prefix ? " (prefix)" : "");
            if (!prefix) continue;
            if (c.expected) {
                EXPECT_EQ(a, U(c.expected)) << c.key;
            } else {
                EXPECT_FALSE(a) << c.key;
            }
        }
    }
    // First row, last row and positions agree too.
    disk.First(), full.First();
    EXPECT_EQ(disk.FieldUtf16("word"), full.FieldUtf16("word"));
    ASSERT_TRUE(disk.Locate("word", "w2999", false) && full.Locate("word", "w2999", false));
    EXPECT_EQ(disk.Position(), full.Position());
    EXPECT_TRUE(disk.SearchesOnDisk());
}

TEST(OrderedSearch, EmptyTableFindsNothing) {
    auto db = std::make_shared<const Database>(OrderedBytes({}), "empty.mdb");
    TableCursor c(db, "main");
    EXPECT_TRUE(c.SearchesOnDisk());
    EXPECT_TRUE(c.Empty());
    for (const char* key : {"", "a", "\xE8\x8B\xB9"})
        EXPECT_FALSE(c.Locate("word", key, true)) << key;
    EXPECT_THROW(c.FieldText("word"), JetError);
}

// 100,000 rows of random words (with case variants and Chinese), and 10,000 random keys: whole
// words, their prefixes and misses.
TEST(OrderedSearch, HundredThousandRowsAgreeWithTheFullRead) {
    std::mt19937 rng(7);
    const std::u16string letters = u"abcdeABCDE\u00e9\u00c9\u82f9\u679c-";
    Rows rows;
    for (int i = 0; i < 100000; ++i) {
        std::u16string w;
        for (size_t n = 1 + rng() % 9; n > 0; --n)
            w += letters[rng() % letters.size()];
        rows.push_back({store::Utf16ToUtf8(w), std::to_string(i)});
    }
    auto db = std::make_shared<const Database>(OrderedBytes(rows), "100k.mdb");
    TableCursor disk(db, "main"), full(db, "main", TableCursor::Search::FullRead);
    ASSERT_TRUE(disk.SearchesOnDisk());
    ASSERT_EQ(disk.RowCount(), 100000u);
    size_t found = 0;
    for (int i = 0; i < 10000; ++i) {
        std::string key = rows[rng() % rows.size()].first;
        if (i % 3 == 1) key = store::Utf16ToUtf8(U(key).substr(0, 1 + rng() % 3));
        if (i % 7 == 2) key += "z";
        bool prefix = i % 2 == 0;
        Answer a = Find(disk, key, prefix), b = Find(full, key, prefix);
        ASSERT_EQ(a, b) << key << (prefix ? " (prefix)" : "");
        found += a.has_value();
    }
    EXPECT_GT(found, 5000u); // the sample really finds rows, and really misses some
    EXPECT_LT(found, 10000u);
    EXPECT_TRUE(disk.SearchesOnDisk());
}

// The on-disk search touches only the pages it halves over: a data page it never reads may be
// damaged without effect, where the full read refuses the file.
TEST(OrderedSearch, ReadsOnlyThePagesItNeeds) {
    std::string bytes = OrderedBytes(HardRows());
    const size_t page = bytes.size() / kPage - 3; // among the last rows (w9..), far from "aaa"
    ASSERT_EQ(bytes[page * kPage], 1);
    bytes[page * kPage + 12] = char(0xFF); // row count beyond the page
    auto db = std::make_shared<const Database>(bytes, "halved.mdb");
    EXPECT_THROW(TableCursor(db, "main", TableCursor::Search::FullRead), JetError);
    TableCursor c(db, "main");
    ASSERT_TRUE(c.Locate("word", "aaa", false));
    EXPECT_EQ(c.FieldText("mean"), "first");
}

uint16_t Get16(const std::string& b, size_t at) {
    return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}

// Offset of the first row on `page` whose text contains `needle` (compressed form), or 0.
size_t FindInPages(const std::string& b, const std::string& needle) {
    size_t at = b.find(needle, 4 * kPage);
    return at == std::string::npos ? 0 : at;
}

// The order table's data page: the page holding the declaration.
size_t OrderPage(const std::string& b) {
    return FindInPages(b, "first page") / kPage * kPage;
}

// Every kind of damage to the order or its data: the on-disk cursor gives the full read's
// answers on the damaged bytes (or the file's original answers, for pages the search never
// read), or a JetError; and where the order itself is wrong it stops searching on disk.
TEST(OrderedSearch, DamagedOrderIsNoticed) {
    const Rows rows = HardRows();
    const std::string good = OrderedBytes(rows);
    struct Case {
        const char* name;
        std::function<void(std::string&)> damage;
        bool onDiskAfterward; // whether the cursor still searches on disk after the keys
    } cases[] = {
        {"row count declared differs", [](std::string& b) { b[FindInPages(b, "3016") + 3] = '7'; },
         false},
        // The value follows its name: digits in UTF-16, or FF FE and one byte per digit.
        {"first page declared otherwise",
         [](std::string& b) {
             size_t at = FindInPages(b, "first page") + 10;
             ++b[b[at] == char(0xFF) ? at + 2 : at];
         },
         false},
        {"order format unknown", [](std::string& b) { b[FindInPages(b, "version 1") + 8] = '2'; },
         false},
        {"a word in the middle no longer in order",
         [](std::string& b) { b[FindInPages(b, "applet")] = 'z'; }, false},
        {"a row marked deleted",
         [](std::string& b) {
             size_t p = FindInPages(b, "applet") / kPage * kPage;
             b[p + 15] = char(b[p + 15] | 0x80);
         },
         false},
        {"a data page handed to another table",
         [](std::string& b) { b[FindInPages(b, "applet") / kPage * kPage + 4] = 9; }, false},
        {"usage map with an extra page",
         [](std::string& b) {
             size_t row = kPage + (Get16(b, kPage + 14 + 2 * 2) & 0x1FFF);
             b[row + 5] = char(b[row + 5] | 1);
         },
         false},
    };
    const std::vector<std::string> keys = {"apple", "applet", "apply", "appl",        "aaa",
                                           "zebra", "w1",     "w2999", "\xE8\x8B\xB9"};
    auto original = std::make_shared<const Database>(good, "good.mdb");
    TableCursor reference(original, "main");
    for (const auto& c : cases) {
        std::string bytes = good;
        c.damage(bytes);
        ASSERT_NE(bytes, good) << c.name;
        auto db = std::make_shared<const Database>(bytes, "damaged.mdb");
        std::optional<TableCursor> full;
        try {
            full.emplace(db, "main", TableCursor::Search::FullRead);
        } catch (const JetError&) {
        }
        TableCursor disk(db, "main");
        for (const auto& key : keys) {
            Answer a = Find(disk, key, true);
            bool likeFull = full && a == Find(*full, key, true);
            EXPECT_TRUE(likeFull || a == Find(reference, key, true)) << c.name << ": " << key;
        }
        EXPECT_EQ(disk.SearchesOnDisk(), c.onDiskAfterward) << c.name;
    }
}

// Every single-byte change of the structure a search relies on (usage maps, definitions, the
// order table's page, the data page headers) gives the damaged file's full-read answer, the
// original answer, or a JetError naming the file.
TEST(OrderedSearch, SingleByteCorruptionNeverGivesAWrongMeaning) {
    const std::string good = OrderedBytes(HardRows(400));
    auto original = std::make_shared<const Database>(good, "good.mdb");
    TableCursor reference(original, "main");
    const std::vector<std::string> keys = {"apple", "aaa", "w1234", "zebra", "\xE9\xBE\x9F"};
    std::vector<Answer> expected;
    for (const auto& k : keys)
        expected.push_back(Find(reference, k, true));
    std::vector<std::pair<size_t, size_t>> ranges = {{kPage, kPage},
                                                     {2 * kPage, kPage},
                                                     {3 * kPage, 160},
                                                     {4 * kPage, 160},
                                                     {OrderPage(good), kPage}};
    for (size_t p = 5; p < good.size() / kPage; ++p)
        ranges.push_back({p * kPage, 14 + 2 * Get16(good, p * kPage + 12)});
    size_t refused = 0;
    for (const auto& [start, length] : ranges) {
        for (size_t off = start; off<start + length; off += length> 400 ? 5 : 1) {
            std::string b = good;
            b[off] = char(b[off] ^ 0x5A);
            try {
                auto db = std::make_shared<const Database>(b, "damaged.mdb");
                TableCursor disk(db, "main");
                for (size_t k = 0; k < keys.size(); ++k) {
                    Answer a = Find(disk, keys[k], true);
                    if (a == expected[k]) continue;
                    // Only what the damaged file itself holds may differ from the original.
                    std::optional<TableCursor> full;
                    try {
                        full.emplace(db, "main", TableCursor::Search::FullRead);
                    } catch (const JetError& e) {
                        ADD_FAILURE()
                            << "byte " << off << ": " << keys[k]
                            << " answered from a file the full read refuses: " << e.what();
                        continue;
                    }
                    EXPECT_EQ(a, Find(*full, keys[k], true)) << "byte " << off << ": " << keys[k];
                }
            } catch (const JetError& e) {
                ++refused;
                EXPECT_EQ(std::string(e.what()).rfind("damaged.mdb: ", 0), 0u) << e.what();
            }
        }
    }
    EXPECT_GT(refused, 20u); // the sweep really damages the structure
}

TEST(OrderedWriter, RefusesRowsItCannotDeclareOrdered) {
    struct Case {
        const char* name;
        std::vector<store::WriterRow> rows;
        size_t column;
    } cases[] = {
        {"out of order", {{U("b"), U("1")}, {U("a"), U("2")}}, 0},
        {"out of order only after folding", {{U("Zebra"), U("1")}, {U("apple"), U("2")}}, 0},
        {"a null word", {{U("a"), U("1")}, {std::nullopt, U("2")}}, 0},
        {"ordered by the memo column", {{U("a"), U("1")}}, 1},
        {"ordered by a column that does not exist", {{U("a"), U("1")}}, 2},
    };
    for (const auto& c : cases) {
        store::WriterOptions o;
        o.declareOrderOf = c.column;
        EXPECT_THROW(
            store::WriteJetTable("main", {{"word", false, 255}, {"mean", true, 0}}, c.rows, o),
            JetError)
            << c.name;
    }
    // Equal folded words in any case order are in order.
    store::WriterOptions o;
    o.declareOrderOf = 0;
    EXPECT_NO_THROW(store::WriteJetTable("main", {{"word", false, 255}, {"mean", true, 0}},
                                         {{U("b"), U("1")}, {U("B"), U("2")}, {U("b"), U("3")}},
                                         o));
}

TEST(OrderDeclaration, ReadsBackOnlyWhatItWrote) {
    store::OrderDeclaration d{"main", "word", 1263772, 200, 24000};
    auto rows = store::OrderTableRows(d);
    auto back = store::ParseOrderTable(rows);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->table, "main");
    EXPECT_EQ(back->column, "word");
    EXPECT_EQ(back->rows, 1263772u);
    EXPECT_EQ(back->firstPage, 200u);
    EXPECT_EQ(back->pages, 24000u);
    struct Case {
        const char* name;
        std::function<void(std::vector<std::pair<std::string, std::string>>&)> change;
    } cases[] = {
        {"a name missing", [](auto& r) { r.pop_back(); }},
        {"a name repeated", [](auto& r) { r.back() = r.front(); }},
        {"an unknown name", [](auto& r) { r[3].first = "rowz"; }},
        {"a number with a sign", [](auto& r) { r[3].second = "-1"; }},
        {"a number with blanks", [](auto& r) { r[4].second = " 200"; }},
        {"a number too large", [](auto& r) { r[5].second = "99999999999"; }},
        {"an empty number", [](auto& r) { r[5].second = ""; }},
        {"another order", [](auto& r) { r[0].second = "binary"; }},
    };
    for (const auto& c : cases) {
        auto changed = rows;
        c.change(changed);
        EXPECT_FALSE(store::ParseOrderTable(changed)) << c.name;
    }
}

} // namespace
} // namespace wl::test
