// Table cursor and its in-memory index (see cursor.h).
#include "store/cursor.h"

#include "store/export.h"
#include "store/text.h"

#include <algorithm>

namespace wl::store {

char16_t TableCursor::Fold(char16_t c) {
    if (c < 0x80) return c >= 'A' && c <= 'Z' ? char16_t(c + 32) : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return char16_t(c + 32);        // Latin-1 capitals
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return char16_t(c + 32);      // Greek capitals
    if (c >= 0x410 && c <= 0x42F) return char16_t(c + 32);                    // Cyrillic А..Я
    if (c >= 0x400 && c <= 0x40F) return char16_t(c + 80);                    // Cyrillic Ѐ..Џ
    return c;
}

TableCursor::TableCursor(std::shared_ptr<const Database> db, std::string_view table)
    : db_(std::move(db)), table_(db_->OpenTable(table)) {
    const auto& cols = table_->Columns();
    for (size_t c = 0; c < cols.size(); ++c)
        if (cols[c].type == uint8_t(ColumnType::Text)) IndexFor(c);
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

bool TableCursor::Locate(std::string_view column, std::string_view ansiKey, bool prefix) {
    const Index& ix = IndexFor(ColumnIndex(column));
    std::u16string key = AnsiToUtf16(ansiKey);
    for (auto& ch : key) ch = Fold(ch);
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
    if (row_ >= table_->RowCount()) throw JetError(db_->FileName() + ": table '" + table_->Name() + "' has no rows");
    const auto& col = table_->Columns()[c];
    if (col.IsText()) return table_->Text(row_, c);
    return Utf8ToUtf16(FormatField(col, table_->Field(row_, c)));
}

std::string TableCursor::FieldText(std::string_view column) const { return Utf16ToAnsi(FieldUtf16(column)); }

} // namespace wl::store
