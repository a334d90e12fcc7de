// Read-only reader of Jet 4.0 database files (.mdb): pages, the catalog, table definitions,
// rows, text and memo/long-binary values. The whole file is held in memory; every access is
// bounds-checked, so a damaged file is a JetError naming the file, the page and the fault.
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

// A table: its columns in column-number order and the location of every live row, in stored
// order (pages in usage-map order, row slots in page order, overflow pointers followed).
class Table {
public:
    const std::string& Name() const { return name_; }
    const std::vector<Column>& Columns() const { return columns_; }
    size_t RowCount() const { return rows_.size(); }
    // Index of a column by name (ASCII letters compared case-insensitively), or -1.
    int FindColumn(std::string_view name) const;

    RawField Field(size_t row, size_t column) const;
    // A text or memo column's value as UTF-16 (empty for null); other types throw.
    std::u16string Text(size_t row, size_t column, bool* isNull = nullptr) const;
    // The same into a buffer the caller reuses; returns false for null.
    bool TextInto(size_t row, size_t column, std::u16string& out) const;

private:
    friend class Database;
    struct RowRef {
        uint32_t page;
        uint16_t start, end; // bytes [start, end) of the page
    };
    const Database* db_ = nullptr;
    std::string name_;
    uint32_t tdefPage_ = 0;
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
    // Reads the whole file; throws JetError when it is missing, not Jet 4 or truncated.
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
    void* mapping_ = nullptr;       // the mapped file (native builds)
    std::vector<CatalogEntry> catalog_;

    void Validate();
    void ReadCatalog();
    std::unique_ptr<Table> LoadTable(const std::string& name, uint32_t tdefPage) const;
    std::vector<uint32_t> UsagePages(uint32_t mapPointer) const;
    void CollectRows(Table& table, const std::vector<uint32_t>& pages) const;
};

// Text as stored by Jet 4: UTF-16LE, or the compressed form (FF FE, then one byte per
// character, a 00 byte switching between one- and two-byte characters).
std::u16string DecodeJetText(const uint8_t* data, size_t size);
void DecodeJetTextInto(const uint8_t* data, size_t size, std::u16string& out);

} // namespace wl::store
