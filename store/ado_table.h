// A table component in the shape the application is written against: a connection string
// naming the Jet 4.0 provider and the file, a table name, Open/Close, First, Locate with a
// partial-key option and fields read as text. Reading only; backed by TableCursor.
#pragma once

#include "store/cursor.h"

#include <memory>
#include <string>
#include <string_view>

namespace wl::store {

enum LocateOption : unsigned { loCaseInsensitive = 1, loPartialKey = 2 };

class AdoTable {
public:
    static constexpr std::string_view kProvider = "Microsoft.Jet.OLEDB.4.0";
    static constexpr std::string_view kClosedError = "Cannot perform this operation on a closed dataset";

    // "Provider=...;Data Source=...;Persist Security Info=False". Changing it while open
    // closes the table first.
    void SetConnectionString(std::string text);
    const std::string& ConnectionString() const { return connection_; }
    void SetTableName(std::string name);
    const std::string& TableName() const { return tableName_; }

    // Opens the file (Data Source, read-only) and the table. Errors: another provider, no data
    // source, no table name, and every JetError of the store.
    void Open();
    void Close();
    bool Active() const { return cursor_ != nullptr; }

    // These throw JetError(kClosedError) when the table is not open.
    void First();
    // `fields` names one field. Letters match in either case always (the store's text
    // comparison); loPartialKey makes it a prefix test (an empty value still needs equality).
    bool Locate(std::string_view fields, std::string_view value, unsigned options);
    // ANSI code page; on an empty table every existing field reads as an empty text.
    std::string FieldByName(std::string_view name) const;
    size_t RecordCount() const;
    size_t RecNo() const; // 1-based, 0 on an empty table

private:
    std::string connection_;
    std::string tableName_;
    std::unique_ptr<TableCursor> cursor_;
    const TableCursor& Cursor() const;
};

} // namespace wl::store
