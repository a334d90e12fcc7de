// The table component: connection string, open/close, and its errors.
#include "fixture.h"
#include "store/ado_table.h"

#include <gtest/gtest.h>

namespace wl::test {
namespace {

using store::AdoTable;
using store::JetError;

std::string DictPath() {
    static const std::string path = WriteArtifact("ado.mdb", DictBytes({{"apple", "41"}, {"banana", "42"}}));
    return path;
}

std::string Connection(const std::string& provider, const std::string& source) {
    return "Provider=" + provider + ";Data Source=" + source + ";Persist Security Info=False";
}

TEST(AdoTable, OpenErrorsSayWhatIsWrong) {
    struct Case {
        std::string connection, table, expected;
    } cases[] = {
        {Connection("Microsoft.ACE.OLEDB.12.0", DictPath()), "main", "Provider 'Microsoft.ACE.OLEDB.12.0' is not supported"},
        {"Data Source=" + DictPath(), "main", "names no provider"},
        {"Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False", "main", "names no Data Source"},
        {Connection("Microsoft.Jet.OLEDB.4.0", DictPath()), "", "No table name"},
        {Connection("Microsoft.Jet.OLEDB.4.0", DictPath()), "words", "table 'words' not found"},
        {Connection("Microsoft.Jet.OLEDB.4.0", DictPath() + ".missing"), "main", "cannot open the file"},
    };
    for (const auto& c : cases) {
        AdoTable t;
        t.SetConnectionString(c.connection);
        t.SetTableName(c.table);
        try {
            t.Open();
            ADD_FAILURE() << c.connection << ": opened";
        } catch (const JetError& e) {
            EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << e.what();
        }
        EXPECT_FALSE(t.Active());
    }
}

TEST(AdoTable, ClosedTableRefusesEveryOperation) {
    AdoTable t;
    auto expectClosed = [](auto&& op) {
        try {
            op();
            ADD_FAILURE() << "no exception";
        } catch (const JetError& e) {
            EXPECT_STREQ(e.what(), "Cannot perform this operation on a closed dataset");
        }
    };
    expectClosed([&] { t.First(); });
    expectClosed([&] { t.Locate("word", "a", store::loPartialKey); });
    expectClosed([&] { (void)t.FieldByName("word"); });
    t.SetConnectionString(Connection("microsoft.jet.oledb.4.0", DictPath())); // provider in any case
    t.SetTableName("main");
    t.Open();
    EXPECT_TRUE(t.Active());
    t.Close();
    expectClosed([&] { t.First(); });
}

TEST(AdoTable, FirstLocateAndFields) {
    AdoTable t;
    t.SetConnectionString(" Provider = Microsoft.Jet.OLEDB.4.0 ; Data Source=\"" + DictPath() + "\"");
    t.SetTableName("main");
    t.Open();
    EXPECT_EQ(t.RecordCount(), 2u);
    t.First();
    EXPECT_EQ(t.RecNo(), 1u);
    EXPECT_TRUE(t.Locate("word", "ban", store::loPartialKey));
    EXPECT_EQ(t.FieldByName("word"), "banana");
    EXPECT_EQ(t.FieldByName("MEAN"), "42");
    EXPECT_FALSE(t.Locate("word", "ban", 0)); // whole-value match without the partial-key option
    EXPECT_EQ(t.FieldByName("word"), "banana");
    t.First();
    EXPECT_EQ(t.FieldByName("word"), "apple");
    EXPECT_THROW(t.FieldByName("nope"), JetError);
}

// An open table without rows: no current row, fields read empty, unknown fields still fail.
TEST(AdoTable, EmptyTableReadsEmptyFields) {
    AdoTable t;
    t.SetConnectionString(Connection("Microsoft.Jet.OLEDB.4.0", WriteArtifact("ado-empty.mdb", DictBytes({}))));
    t.SetTableName("main");
    t.Open();
    EXPECT_EQ(t.RecordCount(), 0u);
    EXPECT_EQ(t.RecNo(), 0u);
    t.First();
    EXPECT_FALSE(t.Locate("word", "a", store::loPartialKey));
    EXPECT_EQ(t.FieldByName("word"), "");
    EXPECT_EQ(t.FieldByName("MEAN"), "");
    try {
        (void)t.FieldByName("nope");
        ADD_FAILURE() << "no exception";
    } catch (const JetError& e) {
        EXPECT_NE(std::string(e.what()).find("has no column 'nope'"), std::string::npos) << e.what();
    }
}

} // namespace
} // namespace wl::test
