// Declared row order and the search over it (see order.h).
#include "store/order.h"

#include "store/text.h"

#include <algorithm>
#include <charconv>

namespace wl::store {
namespace {

constexpr std::string_view kFormat = "folded UTF-16 code units, version 1";
constexpr std::string_view kNames[] = {"order", "table", "column", "rows", "first page", "pages"};

bool ParseNumber(const std::string& text, uint32_t& value) {
    if (text.empty() || text.size() > 10) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

} // namespace

char16_t FoldChar(char16_t c) {
    if (c < 0x80) return c >= 'A' && c <= 'Z' ? char16_t(c + 32) : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return char16_t(c + 32);    // Latin-1 capitals
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return char16_t(c + 32); // Greek capitals
    if (c >= 0x410 && c <= 0x42F) return char16_t(c + 32);               // Cyrillic А..Я
    if (c >= 0x400 && c <= 0x40F) return char16_t(c + 80);               // Cyrillic Ѐ..Џ
    return c;
}

std::u16string FoldText(std::u16string_view text) {
    std::u16string out(text);
    for (auto& c : out)
        c = FoldChar(c);
    return out;
}

std::vector<std::pair<std::string, std::string>> OrderTableRows(const OrderDeclaration& d) {
    return {{"order", std::string(kFormat)},
            {"table", d.table},
            {"column", d.column},
            {"rows", std::to_string(d.rows)},
            {"first page", std::to_string(d.firstPage)},
            {"pages", std::to_string(d.pages)}};
}

std::optional<OrderDeclaration>
ParseOrderTable(const std::vector<std::pair<std::string, std::string>>& rows) {
    if (rows.size() != std::size(kNames)) return std::nullopt;
    OrderDeclaration d;
    unsigned seen = 0;
    for (const auto& [name, value] : rows) {
        auto known = std::find(std::begin(kNames), std::end(kNames), name);
        if (known == std::end(kNames)) return std::nullopt;
        unsigned bit = 1u << (known - std::begin(kNames));
        if (seen & bit) return std::nullopt;
        seen |= bit;
        bool ok = true;
        if (name == "order")
            ok = value == kFormat;
        else if (name == "table")
            d.table = value;
        else if (name == "column")
            d.column = value;
        else if (name == "rows")
            ok = ParseNumber(value, d.rows);
        else if (name == "first page")
            ok = ParseNumber(value, d.firstPage);
        else
            ok = ParseNumber(value, d.pages);
        if (!ok) return std::nullopt;
    }
    return d;
}

namespace {

// The order table's rows, or nothing when it is absent, not name/value texts or damaged (the
// table it describes may still be whole: it is then read in full).
std::optional<std::vector<std::pair<std::string, std::string>>> ReadOrderTable(const Database& db) {
    if (!db.HasTable(kOrderTable)) return std::nullopt;
    try {
        auto table = db.OpenTable(kOrderTable);
        int name = table->FindColumn("name"), value = table->FindColumn("value");
        if (name < 0 || value < 0 || !table->Columns()[size_t(name)].IsText() ||
            !table->Columns()[size_t(value)].IsText())
            return std::nullopt;
        std::vector<std::pair<std::string, std::string>> rows;
        std::u16string n, v;
        for (size_t r = 0; r < table->RowCount() && r <= std::size(kNames); ++r) {
            table->TextInto(r, size_t(name), n);
            table->TextInto(r, size_t(value), v);
            rows.push_back({Utf16ToUtf8(n), Utf16ToUtf8(v)});
        }
        return rows;
    } catch (const JetError&) {
        return std::nullopt;
    }
}

} // namespace

std::unique_ptr<OrderedRows> OrderedRows::Open(const Database& db, const Table& table) {
    auto rows = ReadOrderTable(db);
    if (!rows) return nullptr;
    auto decl = ParseOrderTable(*rows);
    if (!decl || !EqualNoCase(decl->table, table.Name())) return nullptr;
    int column = table.FindColumn(decl->column);
    if (column < 0 || table.Columns()[size_t(column)].type != uint8_t(ColumnType::Text))
        return nullptr;
    // The declaration must agree with what every writer keeps current: the row count in the
    // definition and the pages in the usage map. A file changed by another program fails here.
    if (decl->rows != table.DeclaredRowCount() || (decl->rows == 0) != (decl->pages == 0) ||
        decl->pages > decl->rows)
        return nullptr;
    uint32_t first = 0, count = 0;
    if (!db.ConsecutiveUsage(table.UsageMapPointer(), first, count) || count != decl->pages ||
        (count > 0 && first != decl->firstPage))
        return nullptr;
    auto ordered = std::unique_ptr<OrderedRows>(new OrderedRows(db, table, size_t(column), *decl));
    if (decl->pages > 0) {
        try {
            ordered->CheckedPage(0);
            ordered->At(0, 0);
            ordered->At(decl->pages - 1, ordered->CheckedPage(decl->pages - 1) - 1);
        } catch (const OrderBroken&) {
            return nullptr;
        }
    }
    return ordered;
}

void OrderedRows::Broken(uint32_t page, const std::string& what) const {
    throw OrderBroken(db_.FileName() + ": page " + std::to_string(page) + ": rows of '" +
                      table_.Name() + "' are not in their declared order: " + what);
}

unsigned OrderedRows::CheckedPage(uint32_t i) const {
    const uint32_t page = decl_.firstPage + i;
    const uint8_t* p = db_.Page(page, "the declared row order");
    unsigned count = db_.DataRowCount(page);
    uint32_t owner =
        uint32_t(p[4]) | uint32_t(p[5]) << 8 | uint32_t(p[6]) << 16 | uint32_t(p[7]) << 24;
    if (owner != table_.DefinitionPage()) Broken(page, "the page belongs to another table");
    if (count == 0) Broken(page, "the page holds no rows");
    return count;
}

RowLocation OrderedRows::At(uint32_t i, unsigned slot) const {
    uint16_t flags = 0;
    RowLocation row = db_.DataRow(decl_.firstPage + i, slot, &flags);
    if (flags) Broken(row.page, "row " + std::to_string(slot) + " was deleted or moved");
    return row;
}

void OrderedRows::KeyInto(const RowLocation& row, std::u16string& out) const {
    if (!table_.TextAt(row, column_, out)) Broken(row.page, "a row has no value");
    for (auto& c : out)
        c = FoldChar(c);
}

std::u16string OrderedRows::Key(const RowLocation& row) const {
    std::u16string text;
    KeyInto(row, text);
    return text;
}

RowLocation OrderedRows::First() const {
    if (decl_.pages == 0)
        throw JetError(db_.FileName() + ": table '" + table_.Name() + "' has no rows");
    CheckedPage(0);
    return At(0, 0);
}

std::optional<RowLocation> OrderedRows::LowerBound(std::u16string_view key) const {
    // The first page whose last value is not less than the key. The buffers are reused: a
    // lookup allocates nothing once they have grown.
    std::u16string value, previous;
    uint32_t lo = 0, hi = decl_.pages;
    while (lo < hi) {
        uint32_t mid = lo + (hi - lo) / 2;
        KeyInto(At(mid, CheckedPage(mid) - 1), value);
        if (std::u16string_view(value) >= key)
            hi = mid;
        else
            lo = mid + 1;
    }
    if (lo == decl_.pages) return std::nullopt; // the last page's last value is less than the key
    // On that page: every value in order, after the previous page's last value, which is less
    // than the key; the answer is the first value not less than the key.
    const unsigned count = CheckedPage(lo);
    if (lo > 0) {
        KeyInto(At(lo - 1, CheckedPage(lo - 1) - 1), previous);
        if (!(std::u16string_view(previous) < key))
            Broken(decl_.firstPage + lo - 1, "a page's last value is not below the next page's");
    }
    std::optional<RowLocation> found;
    for (unsigned s = 0; s < count; ++s) {
        RowLocation row = At(lo, s);
        KeyInto(row, value);
        if ((s > 0 || lo > 0) && value < previous)
            Broken(row.page, "row " + std::to_string(s) + " sorts before the row ahead of it");
        if (!found && std::u16string_view(value) >= key) found = row;
        previous.swap(value);
    }
    if (!found) Broken(decl_.firstPage + lo, "the page's last value changed while it was read");
    return found;
}

size_t OrderedRows::Rank(const RowLocation& row) const {
    if (row.page < decl_.firstPage || row.page - decl_.firstPage >= decl_.pages)
        throw JetError(db_.FileName() + ": row is not one of table '" + table_.Name() + "'");
    size_t rank = 0;
    for (uint32_t i = 0; i < row.page - decl_.firstPage; ++i)
        rank += db_.DataRowCount(decl_.firstPage + i);
    const uint32_t i = row.page - decl_.firstPage;
    for (unsigned s = 0, count = db_.DataRowCount(row.page); s < count; ++s)
        if (At(i, s) == row) return rank + s;
    throw JetError(db_.FileName() + ": row is not one of table '" + table_.Name() + "'");
}

} // namespace wl::store
