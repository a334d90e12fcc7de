// Table contents as text, field by field, in the formats the usual command-line exporter of
// Jet files prints with no quoting: numbers in decimal, booleans as 1/0, dates as
// mm/dd/yy hh:mm:ss, text in UTF-8, binary values as their raw bytes, null as nothing.
#pragma once

#include "store/jet.h"

#include <ostream>
#include <string>

namespace wl::store {

std::string FormatField(const Column& column, const RawField& field);

// Every row as fields separated by a tab and ended by a newline (no header line).
void ExportTsv(const Table& table, std::ostream& out);

} // namespace wl::store
