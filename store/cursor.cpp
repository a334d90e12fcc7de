// Table cursor: the on-disk search or the full read with its in-memory index (see cursor.h).
#include "store/cursor.h"

#include "store/export.h"
#include "store/text.h"

#include <algorithm>

namespace wl::store {

TableCursor::TableCursor(std::shared_ptr<const Database> db, std::string_view table, Search search)
    : db_(std::move(db)), table_(db_->OpenTableDefinition(table)) {
    if (search == Search::DeclaredOrder) ordered_ = OrderedRows::Open(*db_, *table_);
    if (ordered_) {
        if (ordered_->RowCount() > 0) current_ = ordered_->First();
        return;
    }
    ReadWholeTable();
}

// The full read: every row located, and the index of every text column sorted up front.
void TableCursor::ReadWholeTable() {
    db_->ExpectWholeRead();
    db_->LoadRows(*table_);
    const auto& cols = table_->Columns();
    for (size_t c = 0; c < cols.size(); ++c)
        if (cols[c].type == uint8_t(ColumnType::Text)) IndexFor(c);
}

// From the declared order to the full read; the current row keeps its place.
void TableCursor::LeaveDeclaredOrder() {
    const bool hadRows = ordered_->RowCount() > 0;
    ordered_.reset();
    ReadWholeTable();
    row_ = 0;
    for (size_t r = 0; hadRows && r < table_->RowCount(); ++r)
        if (table_->Row(r) == current_) row_ = r;
}

size_t TableCursor::RowCount() const {
    return ordered_ ? ordered_->RowCount() : table_->RowCount();
}

size_t TableCursor::Position() const {
    return ordered_ && RowCount() > 0 ? ordered_->Rank(current_) : row_;
}

void TableCursor::First() {
    row_ = 0;
    if (ordered_ && ordered_->RowCount() > 0) current_ = ordered_->First();
}

RowLocation TableCursor::CurrentRow() const {
    if (RowCount() == 0)
        throw JetError(db_->FileName() + ": table '" + table_->Name() + "' has no rows");
    return ordered_ ? current_ : table_->Row(row_);
}

size_t TableCursor::ColumnIndex(std::string_view name) const {
    int c = table_->FindColumn(name);
    if (c < 0) throw JetError(db_->FileName() + ": table '" + table_->Name() + "' has no column '" + std::string(name) + "'");
    return size_t(c);
}

const TableCursor::Index& TableCursor::IndexFor(size_t column) {
    auto it = indexes_.find(column);
    if (it != indexes_.end()) return it->second;
    Index& ix = indexes_[column];
    const size_t n = table_->RowCount();
    const Column& col = table_->Columns()[column];
    ix.start.resize(n);
    ix.length.resize(n);
    // Sorting compares a packed prefix of the first four folded characters first; only equal
    // prefixes need the whole values.
    struct Entry {
        uint64_t prefix;
        uint32_t row;
    };
    std::vector<Entry> entries;
    entries.reserve(n);
    std::u16string value;
    for (size_t r = 0; r < n; ++r) {
        bool null;
        if (col.IsText()) {
            null = !table_->TextInto(r, column, value);
        } else {
            RawField f = table_->Field(r, column);
            null = f.null && col.type != uint8_t(ColumnType::Bool);
            value = Utf8ToUtf16(FormatField(col, f));
        }
        ix.start[r] = uint32_t(ix.keys.size());
        ix.length[r] = uint32_t(value.size());
        uint64_t prefix = 0;
        for (size_t k = 0; k < value.size(); ++k) {
            char16_t f = Fold(value[k]);
            ix.keys.push_back(f);
            if (k < 4) prefix |= uint64_t(f) << (48 - 16 * k);
        }
        if (!null) entries.push_back({prefix, uint32_t(r)});
    }
    std::sort(entries.begin(), entries.end(), [&ix](const Entry& a, const Entry& b) {
        if (a.prefix != b.prefix) return a.prefix < b.prefix;
        int c = ix.Key(a.row).compare(ix.Key(b.row));
        return c != 0 ? c < 0 : a.row < b.row;
    });
    ix.order.reserve(entries.size());
    for (const auto& e : entries) ix.order.push_back(e.row);
    return ix;
}

bool TableCursor::LocateOnDisk(const std::u16string& key, bool prefix) {
    std::optional<RowLocation> row = ordered_->LowerBound(key);
    if (!row) return false;
    std::u16string found = ordered_->Key(*row);
    bool match = prefix && !key.empty() ? found.compare(0, key.size(), key) == 0 : found == key;
    if (!match) return false;
    current_ = *row;
    return true;
}

bool TableCursor::Locate(std::string_view column, std::string_view ansiKey, bool prefix) {
    const size_t c = ColumnIndex(column);
    std::u16string key = FoldText(AnsiToUtf16(ansiKey));
    if (ordered_ && c == ordered_->Column()) {
        try {
            return LocateOnDisk(key, prefix);
        } catch (const OrderBroken&) {
            // Rows out of their declared order: the declaration cannot be trusted; the whole
            // table is read and the search answered from it, now and from here on.
        }
    }
    if (ordered_) LeaveDeclaredOrder();
    const Index& ix = IndexFor(c);
    auto it = std::lower_bound(ix.order.begin(), ix.order.end(), key,
                               [&ix](uint32_t row, const std::u16string& k) { return ix.Key(row) < std::u16string_view(k); });
    if (it == ix.order.end()) return false;
    std::u16string_view found = ix.Key(*it);
    bool match = prefix && !key.empty() ? found.substr(0, key.size()) == key : found == key;
    if (!match) return false;
    row_ = *it;
    return true;
}

std::u16string TableCursor::FieldUtf16(std::string_view column) const {
    size_t c = ColumnIndex(column);
    const RowLocation row = CurrentRow();
    const auto& col = table_->Columns()[c];
    if (col.IsText()) {
        std::u16string text;
        table_->TextAt(row, c, text);
        return text;
    }
    return Utf8ToUtf16(FormatField(col, table_->FieldAt(row, c)));
}

std::string TableCursor::FieldText(std::string_view column) const { return Utf16ToAnsi(FieldUtf16(column)); }

} // namespace wl::store
