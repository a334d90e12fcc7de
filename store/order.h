// Rows stored in lookup order, and the small table that declares it. A writer that stores a
// table's rows sorted by one text column (in the order the cursor uses: UTF-16 code units after
// folding letter case, equal values in stored order) on one run of consecutive data pages adds
// the table `wl_row_order`: name/value rows naming the table, the column, the row count and the
// page run. The reader trusts the declaration only when it agrees with the table's definition
// and usage map; it then finds a key by halving over the pages, reading a few of them, and checks
// the order of every row it compares, so damaged or edited rows are noticed, not believed.
#pragma once

#include "store/jet.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace wl::store {

// Letter-case folding of the lookup order: capital letters to small ones (ASCII, Latin-1, Greek
// and Cyrillic); everything else is itself.
char16_t FoldChar(char16_t c);
std::u16string FoldText(std::u16string_view text);

inline constexpr std::string_view kOrderTable = "wl_row_order";

// What the order table declares.
struct OrderDeclaration {
    std::string table, column; // UTF-8
    uint32_t rows = 0;
    uint32_t firstPage = 0, pages = 0; // the data pages, consecutive, in order
};

// The order table's rows (name, value) for a declaration, and the declaration read back from
// them: nothing when a name is missing, unknown or repeated, or a value is not a plain number.
std::vector<std::pair<std::string, std::string>> OrderTableRows(const OrderDeclaration& d);
std::optional<OrderDeclaration>
ParseOrderTable(const std::vector<std::pair<std::string, std::string>>& rows);

// Raised when rows met during a search are out of the declared order: the caller answers from
// a full read of the table instead.
class OrderBroken : public JetError {
public:
    using JetError::JetError;
};

class OrderedRows {
public:
    // The declared order of `table`, or null when the file declares none for it or the
    // declaration does not match the table (then only a full read is sound). Cost: the order
    // table, the table's usage-map row, and the first and last data page.
    static std::unique_ptr<OrderedRows> Open(const Database& db, const Table& table);

    size_t Column() const { return column_; }
    size_t RowCount() const { return decl_.rows; }
    // The first row in order (the table must have rows).
    RowLocation First() const;
    // The first row whose folded value is not less than `foldedKey`, or nothing. Reads about
    // log2(pages) + 1 pages. Throws OrderBroken when the rows it compares are out of order,
    // JetError when a page is damaged.
    std::optional<RowLocation> LowerBound(std::u16string_view foldedKey) const;
    // The folded value of a row of the table's column.
    std::u16string Key(const RowLocation& row) const;
    // 0-based position of a row in order. Counts the rows of every page before it: a cost that
    // grows with the table, paid only by callers that ask for positions.
    size_t Rank(const RowLocation& row) const;

private:
    OrderedRows(const Database& db, const Table& table, size_t column, OrderDeclaration decl)
        : db_(db), table_(table), column_(column), decl_(std::move(decl)) {}
    const Database& db_;
    const Table& table_;
    size_t column_;
    OrderDeclaration decl_;

    // Row count of the i-th page of the run, after checking it is a non-empty page of this
    // table; and one of its rows, which must be live and in place (not deleted, not moved).
    unsigned CheckedPage(uint32_t i) const;
    RowLocation At(uint32_t i, unsigned slot) const;
    void KeyInto(const RowLocation& row, std::u16string& out) const;
    [[noreturn]] void Broken(uint32_t page, const std::string& what) const;
};

} // namespace wl::store
