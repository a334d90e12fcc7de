// Table component facade (see ado_table.h).
#include "store/ado_table.h"
#include "store/text.h"

#include <vector>

namespace wl::store {
namespace {

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// The value of `key` in a "Name=value;Name=value" connection string, or nothing. A value may
// be quoted with " or ' when it holds a semicolon.
bool ConnectionValue(std::string_view text, std::string_view key, std::string& value) {
    size_t i = 0;
    while (i < text.size()) {
        size_t eq = text.find('=', i);
        if (eq == std::string_view::npos) break;
        std::string_view name = TrimBlanks(text.substr(i, eq - i));
        size_t v = eq + 1;
        while (v < text.size() && text[v] == ' ') ++v;
        std::string val;
        size_t next;
        if (v < text.size() && (text[v] == '"' || text[v] == '\'')) {
            size_t close = text.find(text[v], v + 1);
            if (close == std::string_view::npos) close = text.size();
            val = std::string(text.substr(v + 1, close - v - 1));
            next = text.find(';', close);
        } else {
            next = text.find(';', v);
            val = std::string(TrimBlanks(text.substr(v, next == std::string_view::npos ? std::string_view::npos : next - v)));
        }
        if (EqualNoCase(name, key)) {
            value = val;
            return true;
        }
        if (next == std::string_view::npos) break;
        i = next + 1;
    }
    return false;
}

} // namespace

void AdoTable::SetConnectionString(std::string text) {
    Close();
    connection_ = std::move(text);
}

void AdoTable::SetTableName(std::string name) {
    Close();
    tableName_ = std::move(name);
}

void AdoTable::Open() {
    if (Active()) return;
    std::string provider, source;
    if (!ConnectionValue(connection_, "Provider", provider))
        throw JetError("The connection string names no provider; expected Provider=" + std::string(kProvider));
    if (!EqualNoCase(provider, kProvider))
        throw JetError("Provider '" + provider + "' is not supported; only " + std::string(kProvider) + " can be opened");
    if (!ConnectionValue(connection_, "Data Source", source) || source.empty())
        throw JetError("The connection string names no Data Source");
    if (tableName_.empty()) throw JetError("No table name was given");
    auto db = std::make_shared<const Database>(source);
    cursor_ = std::make_unique<TableCursor>(std::move(db), tableName_);
}

void AdoTable::Close() { cursor_.reset(); }

const TableCursor& AdoTable::Cursor() const {
    if (!cursor_) throw JetError(std::string(kClosedError));
    return *cursor_;
}

void AdoTable::First() {
    Cursor();
    cursor_->First();
}

bool AdoTable::Locate(std::string_view fields, std::string_view value, unsigned options) {
    Cursor();
    if (fields.find(';') != std::string_view::npos)
        throw JetError("Locate on several fields is not supported: " + std::string(fields));
    return cursor_->Locate(TrimBlanks(fields), value, (options & loPartialKey) != 0);
}

std::string AdoTable::FieldByName(std::string_view name) const {
    const TableCursor& c = Cursor();
    // An empty dataset has no current row; its fields read as empty texts.
    if (c.Empty()) {
        if (c.GetTable().FindColumn(name) < 0)
            throw JetError("table '" + c.GetTable().Name() + "' has no column '" + std::string(name) + "'");
        return {};
    }
    return c.FieldText(name);
}

size_t AdoTable::RecordCount() const { return Cursor().RowCount(); }

size_t AdoTable::RecNo() const {
    const TableCursor& c = Cursor();
    return c.Empty() ? 0 : c.Position() + 1;
}

} // namespace wl::store
