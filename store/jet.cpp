// Jet 4.0 reader: see jet.h. Layout facts used here:
//  - 4096-byte pages; page 0 is the database header, page 2 the catalog table's definition.
//  - Data pages: type 01, the owning table's definition page at 4, the row count at 12 and a
//    row-offset table at 14. Rows fill the page from its end; the top bits of an offset mark a
//    deleted row (0x8000) or a row that holds only a pointer to its real place (0x4000).
//  - Rows: column count, fixed columns, variable columns, then from the row's end backwards the
//    null mask, the variable-column count and the variable-offset table (the last entry marks
//    the end of the variable data).
//  - Memo and long-binary fields: 12 bytes (length and kind, pointer) followed by the value
//    itself, or a pointer to one row on a long-value page, or to a chain of such rows.
#include "store/jet.h"

#include "store/text.h"

#include <algorithm>
#include <cstring>
#include <set>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace wl::store {
namespace {

constexpr size_t kPage = Database::kPageSize;
constexpr uint8_t kDataPage = 0x01, kTdefPage = 0x02, kUsageMapPage = 0x05;

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// A bounds-checked reader over a table definition gathered from one or more pages.
class DefReader {
public:
    DefReader(const Database& db, uint32_t page, std::string bytes)
        : db_(db), page_(page), bytes_(std::move(bytes)) {}
    void Seek(size_t pos) { Need(pos, 0), pos_ = pos; }
    void Skip(size_t n) { Need(pos_, n), pos_ += n; }
    size_t Pos() const { return pos_; }
    uint8_t U8() { Need(pos_, 1); return uint8_t(bytes_[pos_++]); }
    uint16_t U16() { Need(pos_, 2); uint16_t v = store::U16(At(pos_)); pos_ += 2; return v; }
    uint32_t U32() { Need(pos_, 4); uint32_t v = store::U32(At(pos_)); pos_ += 4; return v; }
    std::string Utf16Name(size_t bytes) {
        Need(pos_, bytes);
        std::u16string name = DecodeJetText(At(pos_), bytes);
        pos_ += bytes;
        return Utf16ToUtf8(name);
    }

private:
    const uint8_t* At(size_t pos) const { return reinterpret_cast<const uint8_t*>(bytes_.data()) + pos; }
    void Need(size_t pos, size_t n) const {
        if (pos > bytes_.size() || n > bytes_.size() - pos)
            db_.Fail(page_, "table definition ends early (needs byte " + std::to_string(pos + n) +
                                " of " + std::to_string(bytes_.size()) + ")");
    }
    const Database& db_;
    uint32_t page_;
    std::string bytes_;
    size_t pos_ = 0;
};

// Byte range [start, end) of row `index` on a data page, with its flag bits.
struct RowSpan {
    uint16_t start, end, flags;
};

RowSpan RowBounds(const Database& db, uint32_t pageNo, const uint8_t* page, unsigned index) {
    unsigned count = U16(page + 12);
    if (14 + 2 * size_t(count) > kPage) db.Fail(pageNo, "row count " + std::to_string(count) + " does not fit the page");
    if (index >= count)
        db.Fail(pageNo, "row " + std::to_string(index) + " does not exist (the page has " + std::to_string(count) + ")");
    uint16_t raw = U16(page + 14 + 2 * index);
    uint16_t start = raw & 0x1FFF;
    uint16_t end = index == 0 ? uint16_t(kPage) : uint16_t(U16(page + 14 + 2 * (index - 1)) & 0x1FFF);
    if (start < 14 + 2 * count || start >= end || end > kPage)
        db.Fail(pageNo, "row " + std::to_string(index) + " has bad bounds " + std::to_string(start) + ".." +
                            std::to_string(end));
    return {start, end, uint16_t(raw & 0xC000)};
}

} // namespace

// ---------------------------------------------------------------------------------------------

std::u16string DecodeJetText(const uint8_t* data, size_t size) {
    std::u16string out;
    DecodeJetTextInto(data, size, out);
    return out;
}

void DecodeJetTextInto(const uint8_t* data, size_t size, std::u16string& out) {
    out.clear();
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        out.reserve(size - 2);
        bool compressed = true;
        for (size_t i = 2; i < size;) {
            if (data[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                out.push_back(char16_t(data[i++]));
            } else {
                if (i + 1 >= size) break;
                out.push_back(char16_t(data[i] | data[i + 1] << 8));
                i += 2;
            }
        }
        return;
    }
    out.resize(size / 2);
    for (size_t i = 0; i < size / 2; ++i) out[i] = char16_t(data[2 * i] | data[2 * i + 1] << 8);
}

// ---------------------------------------------------------------------------------------------

// The file mapped read-only for the Database's lifetime. Under Windows the file stays open
// without write sharing, so no other program can write or truncate it under the mapping (it may
// be deleted or renamed: the mapping keeps the bytes); natively a file truncated by another
// program while mapped would fault on access (the tools' risk only).
#ifdef _WIN32
struct Database::Mapping {
    HANDLE file = INVALID_HANDLE_VALUE;
    HANDLE section = nullptr;
    const void* view = nullptr;
    Mapping() = default;
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;
    ~Mapping() {
        if (view) UnmapViewOfFile(view);
        if (section) CloseHandle(section);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
};

Database::Database(const std::string& path) : name_(path), mapping_(std::make_unique<Mapping>()) {
    Mapping& m = *mapping_;
    m.file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m.file == INVALID_HANDLE_VALUE) throw JetError(path + ": cannot open the file");
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(m.file, &size) || size.QuadPart < 0)
        throw JetError(path + ": cannot read the file");
    if (uint64_t(size.QuadPart) > SIZE_MAX / 2)
        throw JetError(path + ": the file is too large to map");
    size_ = size_t(size.QuadPart);
    if (size_ > 0) {
        m.section = CreateFileMappingA(m.file, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (!m.section) throw JetError(path + ": cannot map the file");
        m.view = MapViewOfFile(m.section, FILE_MAP_READ, 0, 0, 0);
        if (!m.view) throw JetError(path + ": cannot map the file");
        data_ = static_cast<const char*>(m.view);
    }
    Validate();
    ReadCatalog();
}
#else
struct Database::Mapping {
    void* view = nullptr;
    size_t size = 0;
    Mapping() = default;
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;
    ~Mapping() {
        if (view) ::munmap(view, size);
    }
};

namespace {
// Closes a descriptor when the scope ends.
struct FileDescriptor {
    int fd;
    ~FileDescriptor() {
        if (fd >= 0) ::close(fd);
    }
};
} // namespace

Database::Database(const std::string& path) : name_(path), mapping_(std::make_unique<Mapping>()) {
    FileDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0) throw JetError(path + ": cannot open the file");
    struct stat st {};
    if (::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode))
        throw JetError(path + ": cannot read the file");
    size_ = size_t(st.st_size);
    if (size_ > 0) {
        void* m = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, file.fd, 0);
        if (m == MAP_FAILED) throw JetError(path + ": cannot map the file");
        mapping_->view = m;
        mapping_->size = size_;
        // Lookups touch scattered pages: no read-ahead around each one.
        ::madvise(m, size_, MADV_RANDOM);
        data_ = static_cast<const char*>(m);
    }
    Validate();
    ReadCatalog();
}
#endif

Database::~Database() = default;

void Database::ExpectWholeRead() const {
#ifndef _WIN32
    if (mapping_ && mapping_->view) ::madvise(mapping_->view, mapping_->size, MADV_WILLNEED);
#endif
}

Database::Database(std::string bytes, std::string name)
    : name_(std::move(name)), size_(bytes.size()), owned_(new char[bytes.size() ? bytes.size() : 1]) {
    std::copy(bytes.begin(), bytes.end(), owned_.get());
    data_ = owned_.get();
    Validate();
    ReadCatalog();
}

void Database::Fail(uint32_t page, const std::string& what) const {
    throw JetError(name_ + ": page " + std::to_string(page) + ": " + what);
}

const uint8_t* Database::Page(uint32_t page, const char* what) const {
    if (page >= PageCount())
        throw JetError(name_ + ": " + what + " points to page " + std::to_string(page) + ", beyond the end of the file (" +
                       std::to_string(PageCount()) + " pages)");
    return reinterpret_cast<const uint8_t*>(data_) + size_t(page) * kPage;
}

void Database::Validate() {
    if (size_ < 0x20) throw JetError(name_ + ": not a Jet database (file too short)");
    const auto* p = reinterpret_cast<const uint8_t*>(data_);
    if (p[0] != 0 || p[1] != 1 || p[2] != 0 || p[3] != 0 || std::memcmp(p + 4, "Standard Jet DB", 15) != 0)
        throw JetError(name_ + ": not a Jet database (signature missing)");
    if (size_ < 3 * kPage) throw JetError(name_ + ": truncated (" + std::to_string(size_) + " bytes)");
    if (p[0x14] != 1)
        throw JetError(name_ + ": not a Jet 4.0 database (version byte " + std::to_string(p[0x14]) + ")");
    if (size_ % kPage != 0)
        throw JetError(name_ + ": truncated (" + std::to_string(size_) +
                       " bytes is not a whole number of 4096-byte pages)");
}

void Database::ReadCatalog() {
    auto sys = LoadDefinition("MSysObjects", 2);
    LoadRows(*sys);
    int id = sys->FindColumn("Id"), name = sys->FindColumn("Name"), type = sys->FindColumn("Type"),
        flags = sys->FindColumn("Flags");
    if (id < 0 || name < 0 || type < 0 || flags < 0) Fail(2, "the catalog lacks one of Id, Name, Type, Flags");
    for (size_t r = 0; r < sys->RowCount(); ++r) {
        RawField t = sys->Field(r, size_t(type));
        if (t.null || t.bytes.size() < 2) continue;
        if ((U16(reinterpret_cast<const uint8_t*>(t.bytes.data())) & 0x7FFF) != 1) continue; // not a local table
        RawField i = sys->Field(r, size_t(id)), f = sys->Field(r, size_t(flags));
        if (i.null || i.bytes.size() < 4) continue;
        uint32_t fl = f.null || f.bytes.size() < 4 ? 0 : U32(reinterpret_cast<const uint8_t*>(f.bytes.data()));
        CatalogEntry e;
        e.name = Utf16ToUtf8(sys->Text(r, size_t(name)));
        e.tdefPage = U32(reinterpret_cast<const uint8_t*>(i.bytes.data())) & 0x00FFFFFF;
        e.system = (fl & 0x80000002u) != 0;
        catalog_.push_back(std::move(e));
    }
}

std::vector<std::string> Database::TableNames() const {
    std::vector<std::string> names;
    for (const auto& e : catalog_)
        if (!e.system) names.push_back(e.name);
    return names;
}

const Database::CatalogEntry& Database::Find(std::string_view name) const {
    for (const auto& e : catalog_)
        if (EqualNoCase(e.name, name)) return e;
    throw JetError(name_ + ": table '" + std::string(name) + "' not found");
}

bool Database::HasTable(std::string_view name) const {
    return std::any_of(catalog_.begin(), catalog_.end(),
                       [&](const CatalogEntry& e) { return EqualNoCase(e.name, name); });
}

std::unique_ptr<Table> Database::OpenTable(std::string_view name) const {
    auto table = OpenTableDefinition(name);
    LoadRows(*table);
    return table;
}

std::unique_ptr<Table> Database::OpenTableDefinition(std::string_view name) const {
    const CatalogEntry& e = Find(name);
    return LoadDefinition(e.name, e.tdefPage);
}

void Database::LoadRows(Table& table) const {
    if (table.rowsLoaded_) return;
    CollectRows(table, UsagePages(table.usageMap_));
    table.rowsLoaded_ = true;
}

unsigned Database::DataRowCount(uint32_t page) const {
    const uint8_t* p = Page(page, "a data page pointer");
    if (p[0] != kDataPage) Fail(page, "expected a data page, found type " + std::to_string(p[0]));
    unsigned count = U16(p + 12);
    if (14 + 2 * size_t(count) > kPage)
        Fail(page, "row count " + std::to_string(count) + " does not fit the page");
    return count;
}

RowLocation Database::DataRow(uint32_t page, unsigned index, uint16_t* flags) const {
    const uint8_t* p = Page(page, "a data page pointer");
    if (p[0] != kDataPage) Fail(page, "expected a data page, found type " + std::to_string(p[0]));
    RowSpan span = RowBounds(*this, page, p, index);
    if (flags) *flags = span.flags;
    return {page, span.start, span.end};
}

std::unique_ptr<Table> Database::LoadDefinition(const std::string& name, uint32_t tdefPage) const {
    // Gather the definition: the first page whole, continuation pages after their 8-byte header.
    std::string def;
    std::set<uint32_t> seen;
    for (uint32_t pg = tdefPage; pg != 0;) {
        if (!seen.insert(pg).second) Fail(pg, "table definition pages of '" + name + "' form a loop");
        const uint8_t* p = Page(pg, "a table definition");
        if (p[0] != kTdefPage) Fail(pg, "expected a table definition page for '" + name + "', found type " + std::to_string(p[0]));
        def.append(reinterpret_cast<const char*>(p) + (def.empty() ? 0 : 8), def.empty() ? kPage : kPage - 8);
        pg = U32(p + 4);
    }
    DefReader r(*this, tdefPage, std::move(def));
    auto table = std::unique_ptr<Table>(new Table);
    table->db_ = this;
    table->name_ = name;
    table->tdefPage_ = tdefPage;
    r.Seek(16);
    table->declaredRows_ = r.U32();
    r.Seek(41);
    table->maxColumns_ = r.U16(); // columns a row can have, deleted ones included
    table->varColumnCount_ = r.U16();
    uint16_t columnCount = r.U16();
    r.Skip(4); // logical indexes
    uint32_t realIndexes = r.U32();
    uint32_t usedPages = r.U32();
    r.Skip(4); // free-space map
    if (realIndexes > 1000) Fail(tdefPage, "implausible index count " + std::to_string(realIndexes));
    r.Skip(12 * size_t(realIndexes));
    std::vector<Column> cols(columnCount);
    for (auto& c : cols) {
        size_t at = r.Pos();
        c.type = r.U8();
        r.Skip(4);
        c.number = r.U16();
        c.varIndex = r.U16();
        r.Skip(2);
        c.precision = r.U8();
        c.scale = r.U8();
        r.Seek(at + 15);
        c.fixed = (r.U8() & 0x01) != 0;
        r.Seek(at + 21);
        c.fixedOffset = r.U16();
        c.length = r.U16();
    }
    for (auto& c : cols) c.name = r.Utf16Name(r.U16());
    // Column numbers and variable slots count deleted columns too, never beyond the most
    // columns a row can have.
    for (const auto& c : cols)
        if (c.number >= table->maxColumns_ || (!c.fixed && c.varIndex >= table->maxColumns_))
            Fail(tdefPage, "column '" + c.name + "' of '" + name + "' lies beyond the table's " +
                               std::to_string(table->maxColumns_) + " columns");
    std::stable_sort(cols.begin(), cols.end(), [](const Column& a, const Column& b) { return a.number < b.number; });
    table->columns_ = std::move(cols);
    table->usageMap_ = usedPages;
    return table;
}

bool Database::ConsecutiveUsage(uint32_t mapPointer, uint32_t& first, uint32_t& count) const {
    uint32_t mapPage = mapPointer >> 8;
    const uint8_t* page = Page(mapPage, "a usage map pointer");
    if (page[0] != kDataPage) Fail(mapPage, "usage map row is not on a data page");
    RowSpan span = RowBounds(*this, mapPage, page, mapPointer & 0xFF);
    const uint8_t* map = page + span.start;
    const size_t size = span.end - span.start;
    if (size < 5 || map[0] != 0) return false;
    const uint64_t start = U32(map + 1);
    bool inRun = false, ended = false;
    first = count = 0;
    for (size_t i = 0; i < size - 5; ++i) {
        for (int b = 0; b < 8; ++b) {
            bool set = map[5 + i] >> b & 1;
            if (set && ended) return false;
            if (set && !inRun) {
                inRun = true;
                uint64_t pg = start + i * 8 + uint64_t(b);
                if (pg >= PageCount()) return false;
                first = uint32_t(pg);
            }
            if (set) ++count;
            if (!set && inRun) ended = true;
        }
    }
    return uint64_t(first) + count <= PageCount();
}

// Pages listed in a table's usage map: a bitmap that starts at a given page, or a list of map
// pages (type 05) that each cover 4092 * 8 pages.
std::vector<uint32_t> Database::UsagePages(uint32_t mapPointer) const {
    uint32_t mapPage = mapPointer >> 8;
    const uint8_t* page = Page(mapPage, "a usage map pointer");
    if (page[0] != kDataPage) Fail(mapPage, "usage map row is not on a data page");
    RowSpan span = RowBounds(*this, mapPage, page, mapPointer & 0xFF);
    const uint8_t* map = page + span.start;
    size_t size = span.end - span.start;
    std::vector<uint32_t> pages;
    const uint32_t total = uint32_t(PageCount());
    auto addBits = [&](const uint8_t* bits, size_t bytes, uint64_t first) {
        for (size_t i = 0; i < bytes; ++i) {
            if (!bits[i]) continue;
            for (int b = 0; b < 8; ++b) {
                uint64_t pg = first + i * 8 + b;
                if ((bits[i] >> b & 1) && pg < total) pages.push_back(uint32_t(pg));
            }
        }
    };
    if (size < 1) Fail(mapPage, "empty usage map");
    if (map[0] == 0) {
        if (size < 5) Fail(mapPage, "usage map too short");
        addBits(map + 5, size - 5, U32(map + 1));
    } else if (map[0] == 1) {
        const uint64_t perPage = (kPage - 4) * 8;
        for (size_t i = 0; 1 + 4 * i + 4 <= size; ++i) {
            uint32_t mp = U32(map + 1 + 4 * i);
            if (mp == 0) continue;
            const uint8_t* bits = Page(mp, "a usage map");
            if (bits[0] != kUsageMapPage) Fail(mp, "expected a usage map page, found type " + std::to_string(bits[0]));
            addBits(bits + 4, kPage - 4, i * perPage);
        }
    } else {
        Fail(mapPage, "unknown usage map type " + std::to_string(map[0]));
    }
    return pages;
}

// Rows in stored order. A row that grew too big for its page was moved: its old slot keeps a
// pointer (row number, then page) and the row itself sits on another page, flagged like a
// deleted row. Such a row is listed where it now lives, once; really deleted rows are skipped.
void Database::CollectRows(Table& table, const std::vector<uint32_t>& pages) const {
    auto rowCount = [&](uint32_t pg, const uint8_t* page) {
        unsigned count = U16(page + 12);
        if (14 + 2 * size_t(count) > kPage) Fail(pg, "row count " + std::to_string(count) + " does not fit the page");
        return count;
    };
    auto owned = [&](const uint8_t* page) { return page[0] == kDataPage && U32(page + 4) == table.tdefPage_; };
    // First pass: where every moved row now lives.
    std::vector<uint32_t> moved; // page << 8 | row
    for (uint32_t pg : pages) {
        const uint8_t* page = Page(pg, "a usage map");
        if (!owned(page)) continue;
        unsigned count = rowCount(pg, page);
        for (unsigned i = 0; i < count; ++i) {
            uint16_t raw = U16(page + 14 + 2 * i);
            if ((raw & 0xC000) != 0x4000) continue;
            uint32_t at = pg << 8 | i;
            for (int hops = 0;; ++hops) {
                const uint8_t* p = Page(at >> 8, "an overflow row pointer");
                if (p[0] != kDataPage) Fail(at >> 8, "overflow row pointer leads to a page of type " + std::to_string(p[0]));
                RowSpan span = RowBounds(*this, at >> 8, p, at & 0xFF);
                if (hops > 0 && !(span.flags & 0x4000)) break;
                if (hops >= 8) Fail(at >> 8, "overflow row pointers form a chain too long or a loop");
                if (span.end - span.start < 4) Fail(at >> 8, "overflow row pointer too short");
                at = U32(p + span.start);
            }
            moved.push_back(at);
        }
    }
    std::sort(moved.begin(), moved.end());
    std::vector<bool> listed(moved.size(), false);
    auto movedIndex = [&](uint32_t key) -> long {
        auto it = std::lower_bound(moved.begin(), moved.end(), key);
        return it != moved.end() && *it == key ? long(it - moved.begin()) : -1;
    };
    auto add = [&](uint32_t pg, const uint8_t* page, unsigned i) {
        RowSpan span = RowBounds(*this, pg, page, i);
        table.rows_.push_back({pg, span.start, span.end});
    };
    for (uint32_t pg : pages) {
        const uint8_t* page = Page(pg, "a usage map");
        if (!owned(page)) continue;
        unsigned count = rowCount(pg, page);
        for (unsigned i = 0; i < count; ++i) {
            uint16_t raw = U16(page + 14 + 2 * i);
            if (raw & 0x4000) continue;
            long m = movedIndex(pg << 8 | i);
            if (m >= 0) {
                if (listed[size_t(m)]) continue;
                listed[size_t(m)] = true;
            } else if (raw & 0x8000) {
                continue;
            }
            add(pg, page, i);
        }
    }
    // Moved rows on pages the usage map does not list still belong to the table.
    for (size_t k = 0; k < moved.size(); ++k) {
        if (listed[k]) continue;
        listed[k] = true;
        add(moved[k] >> 8, Page(moved[k] >> 8, "an overflow row pointer"), moved[k] & 0xFF);
    }
}

std::string Database::ReadLongValue(uint32_t pointer, size_t length, bool single, uint32_t fromPage) const {
    if (length > size_)
        Fail(fromPage, "long value of " + std::to_string(length) + " bytes is longer than the file");
    std::string out;
    out.reserve(length);
    std::set<uint32_t> seen;
    while (true) {
        if (!seen.insert(pointer).second) Fail(pointer >> 8, "long-value chain forms a loop");
        uint32_t pg = pointer >> 8;
        const uint8_t* page = Page(pg, "a long-value pointer");
        if (page[0] != kDataPage) Fail(pg, "long-value pointer leads to a page of type " + std::to_string(page[0]));
        RowSpan span = RowBounds(*this, pg, page, pointer & 0xFF);
        const uint8_t* row = page + span.start;
        size_t size = span.end - span.start;
        if (single) {
            if (size < length) Fail(pg, "long value is shorter (" + std::to_string(size) + ") than its length " + std::to_string(length));
            out.append(reinterpret_cast<const char*>(row), length);
            return out;
        }
        if (size < 4) Fail(pg, "long-value chain row too short");
        size_t take = std::min(size - 4, length - out.size());
        out.append(reinterpret_cast<const char*>(row) + 4, take);
        pointer = U32(row);
        if (out.size() >= length) return out;
        if (pointer == 0) Fail(pg, "long-value chain ends after " + std::to_string(out.size()) + " of " + std::to_string(length) + " bytes");
    }
}

// ---------------------------------------------------------------------------------------------

int Table::FindColumn(std::string_view name) const {
    for (size_t i = 0; i < columns_.size(); ++i)
        if (EqualNoCase(columns_[i].name, name)) return int(i);
    return -1;
}

Table::Slice Table::Locate(const RowRef& ref, const Column& col) const {
    const uint8_t* row = db_->Page(ref.page, "a row") + ref.start;
    const size_t n = ref.end - ref.start;
    auto fail = [&](const std::string& what) -> Slice {
        db_->Fail(ref.page, "row at offset " + std::to_string(ref.start) + " of table '" + name_ + "': " + what);
    };
    if (n < 3) return fail("row too short");
    unsigned numCols = U16(row);
    // Every row records at least one column and never more than the table can have.
    if (numCols == 0 || numCols > maxColumns_) return fail("column count " + std::to_string(numCols) + " does not fit the table");
    size_t maskSize = (numCols + 7) / 8;
    if (2 + maskSize > n) return fail("null mask does not fit the row");
    const uint8_t* mask = row + n - maskSize;
    Slice s;
    bool bit = col.number < numCols && (mask[col.number / 8] >> (col.number % 8) & 1);
    if (col.type == uint8_t(ColumnType::Bool)) {
        s.present = true;
        s.flag = bit;
        return s;
    }
    if (!bit) return s;
    if (col.fixed) {
        if (size_t(2) + col.fixedOffset + col.length > n - maskSize) return fail("fixed column '" + col.name + "' lies outside the row");
        s.present = true;
        s.data = row + 2 + col.fixedOffset;
        s.size = col.length;
        return s;
    }
    if (varColumnCount_ == 0 || n < 2 + maskSize + 2) return fail("variable column table missing");
    size_t tail = n - maskSize - 2; // position of the variable-column count
    unsigned varLen = U16(row + tail);
    if (col.varIndex >= varLen) return s;
    if (tail < 2 * (size_t(varLen) + 1) + 2) return fail("variable column table does not fit the row");
    auto offset = [&](unsigned j) { return U16(row + tail - 2 * (j + 1)); };
    size_t start = offset(col.varIndex), end = offset(col.varIndex + 1u);
    if (start > end || end > tail - 2 * (size_t(varLen) + 1)) return fail("variable column '" + col.name + "' has bad bounds");
    s.present = true;
    s.data = row + start;
    s.size = end - start;
    return s;
}

RowLocation Table::Row(size_t row) const {
    if (row >= rows_.size()) throw JetError(db_->FileName() + ": no such row");
    return rows_[row];
}

RawField Table::Field(size_t row, size_t column) const { return FieldAt(Row(row), column); }

RawField Table::FieldAt(const RowLocation& ref, size_t column) const {
    if (column >= columns_.size()) throw JetError(db_->FileName() + ": no such column");
    const Column& col = columns_[column];
    Slice s = Locate(ref, col);
    RawField f;
    f.flag = s.flag;
    f.null = !s.present;
    if (!s.present || col.type == uint8_t(ColumnType::Bool)) return f;
    if (col.type == uint8_t(ColumnType::Memo) || col.type == uint8_t(ColumnType::Ole)) {
        if (s.size < 12) db_->Fail(ref.page, "long value field of '" + col.name + "' shorter than its header");
        uint32_t len = U32(s.data) & 0x3FFFFFFF;
        uint8_t kind = s.data[3] & 0xC0;
        if (kind == 0x80) {
            if (len > s.size - 12) db_->Fail(ref.page, "inline long value of '" + col.name + "' overruns its field");
            f.bytes.assign(reinterpret_cast<const char*>(s.data) + 12, len);
        } else if (len != 0) {
            f.bytes = db_->ReadLongValue(U32(s.data + 4), len, kind == 0x40, ref.page);
        }
        return f;
    }
    f.bytes.assign(reinterpret_cast<const char*>(s.data), s.size);
    return f;
}

bool Table::TextInto(size_t row, size_t column, std::u16string& out) const {
    return TextAt(Row(row), column, out);
}

bool Table::TextAt(const RowLocation& row, size_t column, std::u16string& out) const {
    out.clear();
    if (column >= columns_.size() || !columns_[column].IsText())
        throw JetError(db_->FileName() + ": no such text column");
    const Column& col = columns_[column];
    if (col.type == uint8_t(ColumnType::Memo)) {
        RawField f = FieldAt(row, column);
        DecodeJetTextInto(reinterpret_cast<const uint8_t*>(f.bytes.data()), f.bytes.size(), out);
        return !f.null;
    }
    Slice s = Locate(row, col);
    if (!s.present) return false;
    DecodeJetTextInto(s.data, s.size, out);
    return true;
}

std::u16string Table::Text(size_t row, size_t column, bool* isNull) const {
    if (column >= columns_.size() || !columns_[column].IsText())
        throw JetError(db_->FileName() + ": column is not a text column");
    RawField f = Field(row, column);
    if (isNull) *isNull = f.null;
    return DecodeJetText(reinterpret_cast<const uint8_t*>(f.bytes.data()), f.bytes.size());
}

} // namespace wl::store
