// Read-only reader of Jet 4.0 database files (.mdb): pages, the catalog, table definitions,
// rows, text and memo/long-binary values. The file is mapped into memory, not read: opening
// touches only the pages a caller asks for. Every access is bounds-checked, so a damaged file
// is a JetError naming the file, the page and the fault.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace wl::store {

// Every failure of the store: the message says which file, which page and what is wrong.
class JetError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class ColumnType : uint8_t {
    Bool = 0x01, Byte = 0x02, Int = 0x03, Long = 0x04, Money = 0x05, Float = 0x06,
    Double = 0x07, DateTime = 0x08, Binary = 0x09, Text = 0x0A, Ole = 0x0B, Memo = 0x0C,
    Guid = 0x0F, Numeric = 0x10,
};

struct Column {
    std::string name;         // UTF-8
    uint8_t type = 0;         // a ColumnType value (unknown types are kept as raw bytes)
    uint16_t number = 0;      // slot in the null mask (counts deleted columns)
    uint16_t varIndex = 0;    // slot in the row's variable-offset table
    uint16_t fixedOffset = 0; // offset after the row's column count
    uint16_t length = 0;      // fixed length, or the maximum for text (in bytes)
    uint8_t precision = 0, scale = 0; // numeric columns
    bool fixed = false;
    bool IsText() const { return type == uint8_t(ColumnType::Text) || type == uint8_t(ColumnType::Memo); }
};

// One field as stored: `bytes` are the value's bytes (text still in the file's Unicode form,
// memo values already gathered from their long-value pages). Booleans live in `flag`.
struct RawField {
    bool null = true;
    bool flag = false;
    std::string bytes;
};

class Database;

// Where one row lies: bytes [start, end) of a data page.
struct RowLocation {
    uint32_t page = 0;
    uint16_t start = 0, end = 0;
    bool operator==(const RowLocation&) const = default;
};

// A table: its columns in column-number order and the location of every live row, in stored
// order (pages in usage-map order, row slots in page order, overflow pointers followed).
// A table opened by its definition only knows no rows until Database::LoadRows.
class Table {
public:
    const std::string& Name() const { return name_; }
    const std::vector<Column>& Columns() const { return columns_; }
    size_t RowCount() const { return rows_.size(); }
    bool RowsLoaded() const { return rowsLoaded_; }
    RowLocation Row(size_t row) const;
    uint32_t DefinitionPage() const { return tdefPage_; }
    uint32_t UsageMapPointer() const { return usageMap_; }
    // The row count the definition declares (what writers keep up to date on every change).
    uint32_t DeclaredRowCount() const { return declaredRows_; }
    // Index of a column by name (ASCII letters compared case-insensitively), or -1.
    int FindColumn(std::string_view name) const;

    RawField Field(size_t row, size_t column) const;
    // A text or memo column's value as UTF-16 (empty for null); other types throw.
    std::u16string Text(size_t row, size_t column, bool* isNull = nullptr) const;
    // The same into a buffer the caller reuses; returns false for null.
    bool TextInto(size_t row, size_t column, std::u16string& out) const;
    // The same for a row given by its place (a row of this table's data pages).
    RawField FieldAt(const RowLocation& row, size_t column) const;
    bool TextAt(const RowLocation& row, size_t column, std::u16string& out) const;

private:
    friend class Database;
    using RowRef = RowLocation;
    const Database* db_ = nullptr;
    std::string name_;
    uint32_t tdefPage_ = 0;
    uint32_t usageMap_ = 0;
    uint32_t declaredRows_ = 0;
    bool rowsLoaded_ = false;
    uint16_t maxColumns_ = 0;
    uint16_t varColumnCount_ = 0;
    std::vector<Column> columns_;
    std::vector<RowRef> rows_;

    // Byte range of one column inside a row, or null.
    struct Slice {
        bool present = false;
        const uint8_t* data = nullptr;
        size_t size = 0;
        bool flag = false;
    };
    Slice Locate(const RowRef& row, const Column& col) const;
};

class Database {
public:
    // Maps the file; throws JetError when it is missing, not Jet 4 or truncated.
    explicit Database(const std::string& path);
    // A database from bytes already in memory; `name` is used in messages.
    Database(std::string bytes, std::string name);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    static constexpr size_t kPageSize = 4096;

    const std::string& FileName() const { return name_; }
    size_t PageCount() const { return size_ / kPageSize; }

    // Names of the user tables (system tables left out), in catalog order.
    std::vector<std::string> TableNames() const;
    // Reads a table's definition and locates all its rows. The name is compared
    // case-insensitively; a missing table is a JetError.
    std::unique_ptr<Table> OpenTable(std::string_view name) const;
    // The table's definition only: no row is read until LoadRows.
    std::unique_ptr<Table> OpenTableDefinition(std::string_view name) const;
    void LoadRows(Table& table) const;
    // Tells the system the whole file is about to be read (natively: read-ahead of all of it,
    // which the mapping otherwise does not do); a hint, nothing fails.
    void ExpectWholeRead() const;
    // True when the catalog lists a table of that name.
    bool HasTable(std::string_view name) const;

    // Rows of one data page: how many slots it has, and where slot `index` lies with its
    // flag bits (0x8000 deleted, 0x4000 moved elsewhere). Faults are JetErrors.
    unsigned DataRowCount(uint32_t page) const;
    RowLocation DataRow(uint32_t page, unsigned index, uint16_t* flags = nullptr) const;
    // True when a usage map is a bitmap inside its row (the kind bounded by one page) whose
    // pages form one run [first, first + count), possibly empty.
    bool ConsecutiveUsage(uint32_t mapPointer, uint32_t& first, uint32_t& count) const;

    // Internal helpers shared with Table.
    const uint8_t* Page(uint32_t page, const char* what) const;
    [[noreturn]] void Fail(uint32_t page, const std::string& what) const;
    std::string ReadLongValue(uint32_t pointer, size_t length, bool single, uint32_t fromPage) const;

private:
    struct CatalogEntry {
        std::string name;
        uint32_t tdefPage;
        bool system;
    };
    std::string name_;
    const char* data_ = nullptr;
    size_t size_ = 0;
    std::unique_ptr<char[]> owned_; // the bytes, when not mapped
    struct Mapping;
    std::unique_ptr<Mapping> mapping_; // the mapped file
    std::vector<CatalogEntry> catalog_;

    void Validate();
    void ReadCatalog();
    const CatalogEntry& Find(std::string_view name) const;
    std::unique_ptr<Table> LoadDefinition(const std::string& name, uint32_t tdefPage) const;
    std::vector<uint32_t> UsagePages(uint32_t mapPointer) const;
    void CollectRows(Table& table, const std::vector<uint32_t>& pages) const;
};

// Text as stored by Jet 4: UTF-16LE, or the compressed form (FF FE, then one byte per
// character, a 00 byte switching between one- and two-byte characters).
std::u16string DecodeJetText(const uint8_t* data, size_t size);
void DecodeJetTextInto(const uint8_t* data, size_t size, std::u16string& out);

} // namespace wl::store
