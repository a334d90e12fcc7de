// The table cursor the dictionary lookup needs: rows in stored order, a current row, "locate"
// through an in-memory index, and fields read as text in the ANSI code page.
//
// Ordering of the index (built once, when the cursor is made, for every text column; for other
// columns at their first locate): values compared as UTF-16 code units after folding capital
// letters to small ones (ASCII, Latin-1, Greek and Cyrillic), equal values in stored order.
// Null values are not in the index. Because a text sorts before every longer text that begins
// with it, the first row whose value begins with a key is the first entry not less than the key.
#pragma once

#include "store/jet.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace wl::store {

class TableCursor {
public:
    TableCursor(std::shared_ptr<const Database> db, std::string_view table);

    const Table& GetTable() const { return *table_; }
    size_t RowCount() const { return table_->RowCount(); }
    bool Empty() const { return table_->RowCount() == 0; }
    size_t Position() const { return row_; }

    void First() { row_ = 0; }
    // Moves to the first row, in index order of `column`, whose value begins with `ansiKey`
    // (letters in either case), or equals it when `prefix` is false or the key is empty.
    // Returns false and stays put when there is none. A missing column is a JetError.
    bool Locate(std::string_view column, std::string_view ansiKey, bool prefix);

    // The current row's field as text: ANSI code page for FieldText, UTF-16 for FieldUtf16.
    // A null field is an empty text; on an empty table, a JetError.
    std::string FieldText(std::string_view column) const;
    std::u16string FieldUtf16(std::string_view column) const;

    // Letter-case folding used by the index (exposed for tests and tools).
    static char16_t Fold(char16_t c);

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
    size_t row_ = 0;

    size_t ColumnIndex(std::string_view name) const;
    const Index& IndexFor(size_t column);
};

} // namespace wl::store
