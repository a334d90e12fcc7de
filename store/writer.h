// Writes a Jet 4.0 file holding one user table of text and memo columns (what a dictionary
// needs), and optionally the table that declares its rows' order (order.h). Text is stored in the compressed Unicode form where that is shorter; memo values go
// in the row when short, else to one long-value row, else to a chain of long-value rows.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace wl::store {

struct WriterColumn {
    std::string name;         // UTF-8
    bool memo = false;        // memo, or text of at most maxChars characters
    unsigned maxChars = 255;
};

struct WriterOptions {
    size_t inlineMemoLimit = 256; // memo values of at most this many stored bytes stay in the row
    bool compressText = true;
    // A text column the rows are sorted by, in the lookup order (order.h): the file then
    // declares that order in an extra table, and readers search it on disk. Rows out of order
    // or a null value in that column are a JetError.
    std::optional<size_t> declareOrderOf;
};

using WriterRow = std::vector<std::optional<std::u16string>>; // nullopt: null

// The whole file as bytes. Throws JetError when a value is too long for its column or the
// table is too large for this writer (data pages above about 128 MB). The table's data pages
// are consecutive, its long values on pages before them.
std::string WriteJetTable(const std::string& tableName, const std::vector<WriterColumn>& columns,
                          const std::vector<WriterRow>& rows, const WriterOptions& options = {});

// Jet 4 text bytes for a value: the compressed form (FF FE, one byte per character below 256,
// a 00 byte switching to two-byte characters and back) when `compress` and it is shorter,
// else UTF-16LE.
std::string EncodeJetText(std::u16string_view text, bool compress);

} // namespace wl::store
