// The table cursor the dictionary lookup needs: rows in stored order, a current row, "locate"
// in the lookup order, and fields read as text in the ANSI code page.
//
// The lookup order: values compared as UTF-16 code units after folding capital letters to small
// ones (ASCII, Latin-1, Greek and Cyrillic), equal values in stored order. Null values are not
// in it. Because a text sorts before every longer text that begins with it, the first row whose
// value begins with a key is the first entry not less than the key.
//
// Two ways to locate, with the same answers:
//  - a file that declares its rows stored in that order (order.h) is searched on disk: opening
//    and locating read a few pages, whatever the table's size;
//  - any other file is read whole when the cursor is made, and an in-memory index is sorted
//    (for every text column at once; for other columns at their first locate).
// A search that meets rows out of their declared order switches to the second way for good.
#pragma once

#include "store/jet.h"
#include "store/order.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace wl::store {

class TableCursor {
public:
    // DeclaredOrder searches on disk where the file allows it; FullRead always reads the whole
    // table (tests and benchmarks compare the two).
    enum class Search { DeclaredOrder, FullRead };
    TableCursor(std::shared_ptr<const Database> db, std::string_view table,
                Search search = Search::DeclaredOrder);

    const Table& GetTable() const { return *table_; }
    size_t RowCount() const;
    bool Empty() const { return RowCount() == 0; }
    // 0-based; on a file searched on disk this counts the rows ahead (a cost that grows with
    // the table, which lookups never pay).
    size_t Position() const;
    // True while locates search the file's declared order rather than a full read.
    bool SearchesOnDisk() const { return ordered_ != nullptr; }

    void First();
    // Moves to the first row, in index order of `column`, whose value begins with `ansiKey`
    // (letters in either case), or equals it when `prefix` is false or the key is empty.
    // Returns false and stays put when there is none. A missing column is a JetError.
    bool Locate(std::string_view column, std::string_view ansiKey, bool prefix);

    // The current row's field as text: ANSI code page for FieldText, UTF-16 for FieldUtf16.
    // A null field is an empty text; on an empty table, a JetError.
    std::string FieldText(std::string_view column) const;
    std::u16string FieldUtf16(std::string_view column) const;

    // Letter-case folding used by the index (exposed for tests and tools).
    static char16_t Fold(char16_t c) { return FoldChar(c); }

private:
    struct Index {
        std::u16string keys;              // all folded values, back to back
        std::vector<uint32_t> start;      // per row: where its folded value begins in `keys`
        std::vector<uint32_t> length;     // per row
        std::vector<uint32_t> order;      // non-null rows in index order
        std::u16string_view Key(uint32_t row) const { return std::u16string_view(keys).substr(start[row], length[row]); }
    };
    std::shared_ptr<const Database> db_;
    std::unique_ptr<Table> table_;
    std::map<size_t, Index> indexes_;
    std::unique_ptr<OrderedRows> ordered_; // null: the full read
    size_t row_ = 0;                       // the current row (full read)
    RowLocation current_;                  // the current row (declared order)

    size_t ColumnIndex(std::string_view name) const;
    const Index& IndexFor(size_t column);
    RowLocation CurrentRow() const;
    bool LocateOnDisk(const std::u16string& key, bool prefix);
    void ReadWholeTable();
    void LeaveDeclaredOrder();
};

} // namespace wl::store
