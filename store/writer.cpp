// Jet 4.0 writer (see writer.h). The file: page 0 the database header, page 1 the usage maps
// (rows of a data page), page 2 the catalog's definition, then the catalog's rows, the user
// table's definition, its data pages and its long-value pages.
#include "store/writer.h"

#include "store/jet.h"
#include "store/order.h"
#include "store/text.h"

#include <array>
#include <cstring>

namespace wl::store {
namespace {

constexpr size_t kPage = 4096;
constexpr size_t kDataHeader = 14;
// Longer memo values never stay in the row, so that a row always fits a page.
constexpr size_t kMaxInlineMemo = 2048;
constexpr uint8_t kLong = 0x04, kInt = 0x03, kText = 0x0A, kOle = 0x0B, kMemo = 0x0C;

void Put16(std::string& s, size_t at, uint32_t v) {
    s[at] = char(v & 0xFF), s[at + 1] = char(v >> 8 & 0xFF);
}
void Put32(std::string& s, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = char(v >> (8 * i) & 0xFF);
}
void Add16(std::string& s, uint32_t v) { s.push_back(char(v & 0xFF)), s.push_back(char(v >> 8 & 0xFF)); }
void Add32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(char(v >> (8 * i) & 0xFF));
}

struct ColumnDef {
    std::u16string name;
    uint8_t type;
    uint16_t number, varIndex, fixedOffset, length;
    bool fixed;
    bool compressed;
};

// The pages of the file under construction.
class Pages {
public:
    uint32_t New() {
        pages_.emplace_back(kPage, '\0');
        return uint32_t(pages_.size() - 1);
    }
    std::string& operator[](uint32_t i) { return pages_[i]; }
    uint32_t Count() const { return uint32_t(pages_.size()); }
    std::string Join() const {
        std::string out;
        out.reserve(pages_.size() * kPage);
        for (const auto& p : pages_) out += p;
        return out;
    }

private:
    std::vector<std::string> pages_;
};

// Fills data pages (or long-value pages) with rows, each page from its end towards its header.
class RowPacker {
public:
    RowPacker(Pages& pages, uint32_t owner, bool longValues) : pages_(pages), owner_(owner), lval_(longValues) {}

    // Stores a row; returns its pointer (page << 8 | row number).
    uint32_t Add(const std::string& row) {
        if (row.size() > kPage - kDataHeader - 2) throw JetError("row of " + std::to_string(row.size()) + " bytes is too long for a page");
        if (current_ == 0 || count_ == 255 || kDataHeader + 2 * (count_ + 1) + row.size() > low_) {
            current_ = pages_.New();
            std::string& p = pages_[current_];
            p[0] = 0x01, p[1] = 0x01;
            if (lval_) std::memcpy(&p[4], "LVAL", 4);
            else Put32(p, 4, owner_);
            count_ = 0;
            low_ = kPage;
            used_.push_back(current_);
        }
        std::string& p = pages_[current_];
        low_ -= row.size();
        std::memcpy(&p[low_], row.data(), row.size());
        Put16(p, kDataHeader + 2 * count_, uint32_t(low_));
        ++count_;
        Put16(p, 12, count_);
        Put16(p, 2, uint32_t(low_ - kDataHeader - 2 * count_));
        return current_ << 8 | (count_ - 1);
    }
    const std::vector<uint32_t>& UsedPages() const { return used_; }

private:
    Pages& pages_;
    uint32_t owner_;
    bool lval_;
    uint32_t current_ = 0;
    unsigned count_ = 0;
    size_t low_ = kPage;
    std::vector<uint32_t> used_;
};

// One row: column count, fixed columns, variable columns, then the variable-column end,
// the offsets (last column first), their count and the null mask.
std::string BuildRow(const std::vector<ColumnDef>& cols, const std::vector<std::optional<std::string>>& values) {
    size_t fixedSize = 0, varCount = 0;
    for (const auto& c : cols) {
        if (c.fixed) fixedSize = std::max<size_t>(fixedSize, c.fixedOffset + c.length);
        else varCount = std::max<size_t>(varCount, c.varIndex + 1u);
    }
    std::string row;
    Add16(row, uint32_t(cols.size()));
    row.append(fixedSize, '\0');
    std::vector<uint16_t> offsets(varCount + 1, 0);
    std::vector<const ColumnDef*> byVar(varCount, nullptr);
    std::vector<size_t> valueOfVar(varCount, 0);
    std::string mask((cols.size() + 7) / 8, '\0');
    for (size_t i = 0; i < cols.size(); ++i) {
        const auto& c = cols[i];
        if (values[i]) mask[c.number / 8] = char(mask[c.number / 8] | 1 << (c.number % 8));
        if (c.fixed) {
            if (values[i]) std::memcpy(&row[2 + c.fixedOffset], values[i]->data(), std::min<size_t>(c.length, values[i]->size()));
        } else {
            byVar[c.varIndex] = &c;
            valueOfVar[c.varIndex] = i;
        }
    }
    for (size_t k = 0; k < varCount; ++k) {
        offsets[k] = uint16_t(row.size());
        if (byVar[k] && values[valueOfVar[k]]) row += *values[valueOfVar[k]];
    }
    offsets[varCount] = uint16_t(row.size());
    if (varCount) {
        for (size_t k = varCount + 1; k-- > 0;) Add16(row, offsets[k]);
        Add16(row, uint32_t(varCount));
    }
    row += mask;
    return row;
}

std::string BuildDefinition(const std::vector<ColumnDef>& cols, bool system, uint32_t rows, uint32_t usedMap,
                            uint32_t freeMap) {
    std::string d(63, '\0');
    d[0] = 0x02, d[1] = 0x01;
    Put32(d, 16, rows);
    d[40] = char(system ? 0x53 : 0x4E);
    unsigned varCount = 0;
    for (const auto& c : cols) varCount += c.fixed ? 0 : 1;
    Put16(d, 41, uint32_t(cols.size()));
    Put16(d, 43, varCount);
    Put16(d, 45, uint32_t(cols.size()));
    Put32(d, 55, usedMap);
    Put32(d, 59, freeMap);
    for (const auto& c : cols) {
        std::string e(25, '\0');
        e[0] = char(c.type);
        Put16(e, 5, c.number);
        Put16(e, 7, c.varIndex);
        Put16(e, 9, c.number);
        if (c.type == kText || c.type == kMemo) Put16(e, 11, 0x409); // general sort order
        e[15] = char((c.fixed ? 0x01 : 0) | 0x02);
        e[16] = char(c.compressed ? 0x01 : 0);
        Put16(e, 21, c.fixedOffset);
        Put16(e, 23, c.length);
        d += e;
    }
    for (const auto& c : cols) {
        Add16(d, uint32_t(c.name.size() * 2));
        for (char16_t ch : c.name) Add16(d, ch);
    }
    Add16(d, 0xFFFF); // no per-column usage maps follow
    if (d.size() > kPage) throw JetError("table definition does not fit one page");
    Put32(d, 8, uint32_t(d.size() - 8));
    Put16(d, 2, uint32_t(kPage - d.size()));
    d.resize(kPage, '\0');
    return d;
}

// A page usage map row: type 0, a start page (a multiple of 8 at or below the first page) and
// one bit per page from there.
std::string UsageMap(const std::vector<uint32_t>& pages) {
    uint32_t first = UINT32_MAX, last = 0;
    for (uint32_t p : pages)
        first = std::min(first, p), last = std::max(last, p);
    if (pages.empty()) first = 0;
    first &= ~7u;
    std::string m(5 + (pages.empty() ? 1 : (last - first) / 8 + 1), '\0');
    Put32(m, 1, first);
    for (uint32_t p : pages)
        m[5 + (p - first) / 8] = char(m[5 + (p - first) / 8] | 1 << ((p - first) % 8));
    return m;
}



void Rc4(const uint8_t* key, size_t keyLen, uint8_t* data, size_t len) {
    std::array<uint8_t, 256> s;
    for (int i = 0; i < 256; ++i) s[i] = uint8_t(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % keyLen]) & 0xFF;
        std::swap(s[i], s[j]);
    }
    for (size_t n = 0, i = 0, j = 0; n < len; ++n) {
        i = (i + 1) & 0xFF;
        j = (j + s[i]) & 0xFF;
        std::swap(s[i], s[j]);
        data[n] ^= s[(s[i] + s[j]) & 0xFF];
    }
}

// Page 0: signature, version 1 (Jet 4), and a header block that the format keeps masked with
// a fixed RC4 key; inside it only the code page (1252) and the sort order (General) are set.
void BuildHeader(std::string& p) {
    p[1] = 0x01;
    std::memcpy(&p[4], "Standard Jet DB", 15);
    Put32(p, 0x14, 1);
    Put16(p, 0x3C, 0x04E4);
    Put32(p, 0x6E, 0x0409);
    static const uint8_t key[4] = {0xC7, 0xDA, 0x39, 0x6B};
    Rc4(key, 4, reinterpret_cast<uint8_t*>(&p[0x18]), 128);
}

std::string Long(uint32_t v) {
    std::string s;
    Add32(s, v);
    return s;
}

} // namespace

std::string EncodeJetText(std::u16string_view text, bool compress) {
    std::string plain;
    plain.reserve(text.size() * 2);
    for (char16_t c : text) Add16(plain, c);
    if (!compress || text.empty()) return plain;
    std::string packed = "\xFF\xFE";
    bool narrow = true;
    for (char16_t c : text) {
        if ((c & 0xFF) == 0) return plain; // such a character cannot follow a mode switch
        bool fits = c < 0x100;
        if (fits != narrow) packed.push_back('\0'), narrow = fits;
        if (fits) packed.push_back(char(c));
        else Add16(packed, c);
    }
    return packed.size() < plain.size() ? packed : plain;
}

namespace {

// Column definitions of a user table: all variable-length.
std::vector<ColumnDef> UserColumns(const std::vector<WriterColumn>& columns,
                                   const WriterOptions& options) {
    std::vector<ColumnDef> cols;
    for (size_t i = 0; i < columns.size(); ++i) {
        const auto& w = columns[i];
        if (!w.memo && (w.maxChars == 0 || w.maxChars > 255))
            throw JetError("text column '" + w.name + "' must hold 1 to 255 characters");
        cols.push_back({Utf8ToUtf16(w.name), w.memo ? kMemo : kText, uint16_t(i), uint16_t(i), 0,
                        uint16_t(w.memo ? 0 : w.maxChars * 2), false, options.compressText});
    }
    return cols;
}

// A row's stored values; long memo values go to long-value rows now.
std::vector<std::optional<std::string>> EncodeRow(const std::vector<ColumnDef>& cols,
                                                  const std::vector<WriterColumn>& columns,
                                                  const WriterRow& r, const WriterOptions& options,
                                                  RowPacker& longValues) {
    if (r.size() != cols.size())
        throw JetError("a row has " + std::to_string(r.size()) + " values for " +
                       std::to_string(cols.size()) + " columns");
    std::vector<std::optional<std::string>> values(cols.size());
    for (size_t i = 0; i < cols.size(); ++i) {
        if (!r[i]) continue;
        const auto& text = *r[i];
        if (cols[i].type == kText) {
            if (text.size() > columns[i].maxChars)
                throw JetError("value of " + std::to_string(text.size()) +
                               " characters is too long for column '" + columns[i].name + "'");
            values[i] = EncodeJetText(text, options.compressText);
            continue;
        }
        // Long values are compressed only up to 1024 characters, as the format allows.
        std::string bytes = EncodeJetText(text, options.compressText && text.size() <= 1024);
        if (bytes.size() > 0x3FFFFFFF) throw JetError("memo value too long");
        std::string field(12, '\0');
        const uint32_t len = uint32_t(bytes.size());
        if (bytes.size() <= options.inlineMemoLimit && bytes.size() <= kMaxInlineMemo) {
            Put32(field, 0, len | 0x80000000u);
            field += bytes;
        } else if (bytes.size() <= kPage - kDataHeader - 2) {
            Put32(field, 0, len | 0x40000000u);
            Put32(field, 4, longValues.Add(bytes));
        } else {
            // A chain: each row starts with the pointer to the next; written last to first.
            const size_t chunk = kPage - kDataHeader - 2 - 4;
            uint32_t next = 0;
            size_t pieces = (bytes.size() + chunk - 1) / chunk;
            for (size_t k = pieces; k-- > 0;) {
                std::string piece = Long(next) + bytes.substr(k * chunk, chunk);
                next = longValues.Add(piece);
            }
            Put32(field, 0, len);
            Put32(field, 4, next);
        }
        values[i] = std::move(field);
    }
    return values;
}

// A table's rows: long values first, then the rows on consecutive data pages. Returns them.
std::vector<uint32_t> WriteRows(Pages& pages, uint32_t tableDef, const std::vector<ColumnDef>& cols,
                                const std::vector<WriterColumn>& columns,
                                const std::vector<WriterRow>& rows, const WriterOptions& options) {
    RowPacker longValues(pages, 0, true);
    std::vector<std::string> built;
    built.reserve(rows.size());
    for (const auto& r : rows)
        built.push_back(BuildRow(cols, EncodeRow(cols, columns, r, options, longValues)));
    RowPacker data(pages, tableDef, false);
    for (const auto& row : built)
        data.Add(row);
    return data.UsedPages();
}

// Rows must be in the lookup order of `column`, none null.
void CheckOrder(const std::vector<WriterRow>& rows, size_t column, const std::string& name) {
    std::u16string previous;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (column >= rows[i].size() || !rows[i][column])
            throw JetError("row " + std::to_string(i) + " has no value in column '" + name +
                           "', which orders the rows");
        std::u16string key = FoldText(*rows[i][column]);
        if (i > 0 && key < previous)
            throw JetError("row " + std::to_string(i) + " is out of order in column '" + name +
                           "'");
        previous = std::move(key);
    }
}

} // namespace

std::string WriteJetTable(const std::string& tableName, const std::vector<WriterColumn>& columns,
                          const std::vector<WriterRow>& rows, const WriterOptions& options) {
    if (columns.empty()) throw JetError("a table needs at least one column");
    const auto& order = options.declareOrderOf;
    if (order && (*order >= columns.size() || columns[*order].memo))
        throw JetError("the rows can only be ordered by one of the table's text columns");
    if (order) CheckOrder(rows, *order, columns[*order].name);
    Pages pages;
    BuildHeader(pages[pages.New()]);
    const uint32_t mapPage = pages.New();
    const uint32_t catalogDef = pages.New();
    const std::vector<ColumnDef> cols = UserColumns(columns, options);

    // The catalog: the system table itself, the user table and the order table.
    std::vector<ColumnDef> sys = {
        {u"Id", kLong, 0, 0, 0, 4, true, false},     {u"ParentId", kLong, 1, 0, 4, 4, true, false},
        {u"Name", kText, 2, 0, 0, 256, false, true}, {u"Type", kInt, 3, 0, 8, 2, true, false},
        {u"Flags", kLong, 4, 0, 10, 4, true, false}, {u"LvProp", kOle, 5, 1, 0, 0, false, false},
    };
    RowPacker catalogRows(pages, catalogDef, false);
    const uint32_t tableDef = pages.New();
    const uint32_t orderDef = order ? pages.New() : 0;
    auto catalogRow = [&](uint32_t id, const std::u16string& name, uint32_t flags) {
        std::string type;
        Add16(type, 1);
        return BuildRow(
            sys, {Long(id), Long(0), EncodeJetText(name, true), type, Long(flags), std::nullopt});
    };
    catalogRows.Add(catalogRow(catalogDef, u"MSysObjects", 0x80000002u));
    catalogRows.Add(catalogRow(tableDef, Utf8ToUtf16(tableName), 0));
    if (order) catalogRows.Add(catalogRow(orderDef, Utf8ToUtf16(kOrderTable), 0));

    const std::vector<uint32_t> dataPages =
        WriteRows(pages, tableDef, cols, columns, rows, options);
    std::vector<std::string> mapRows = {UsageMap(catalogRows.UsedPages()), UsageMap({}),
                                        UsageMap(dataPages), UsageMap({})};
    pages[tableDef] =
        BuildDefinition(cols, false, uint32_t(rows.size()), mapPage << 8 | 2, mapPage << 8 | 3);
    if (order) {
        OrderDeclaration d{tableName, columns[*order].name, uint32_t(rows.size()),
                           dataPages.empty() ? 0 : dataPages.front(), uint32_t(dataPages.size())};
        const std::vector<WriterColumn> orderColumns = {{"name", false, 64}, {"value", false, 255}};
        std::vector<WriterRow> orderRows;
        for (const auto& [name, value] : OrderTableRows(d))
            orderRows.push_back({Utf8ToUtf16(name), Utf8ToUtf16(value)});
        const std::vector<ColumnDef> oc = UserColumns(orderColumns, options);
        mapRows.push_back(
            UsageMap(WriteRows(pages, orderDef, oc, orderColumns, orderRows, options)));
        mapRows.push_back(UsageMap({}));
        pages[orderDef] = BuildDefinition(oc, false, uint32_t(orderRows.size()), mapPage << 8 | 4,
                                          mapPage << 8 | 5);
    }

    // Usage maps, as rows of page 1: the catalog's and each table's pages, and empty free maps.
    size_t mapBytes = kDataHeader;
    for (const auto& m : mapRows)
        mapBytes += m.size() + 2;
    if (mapBytes > kPage) throw JetError("the table is too large for this writer");
    std::string& mp = pages[mapPage];
    mp[0] = 0x01, mp[1] = 0x01;
    size_t low = kPage;
    for (size_t i = 0; i < mapRows.size(); ++i) {
        low -= mapRows[i].size();
        std::memcpy(&mp[low], mapRows[i].data(), mapRows[i].size());
        Put16(mp, kDataHeader + 2 * i, uint32_t(low));
    }
    Put16(mp, 12, uint32_t(mapRows.size()));
    Put16(mp, 2, uint32_t(low - kDataHeader - 2 * mapRows.size()));

    pages[catalogDef] = BuildDefinition(sys, true, uint32_t(2 + (order ? 1 : 0)), mapPage << 8 | 0,
                                        mapPage << 8 | 1);
    return pages.Join();
}

} // namespace wl::store
