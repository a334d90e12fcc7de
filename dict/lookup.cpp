// The dictionary lookup rule (see lookup.h).
#include "dict/lookup.h"

#include "dict/meaning.h"
#include "base/strings.h"

namespace wl {

LookupResult LookUpWord(std::string_view fieldText, WordTable& table) {
    LookupResult result;
    if (fieldText.empty()) return result;
    result.keyword = Trim(fieldText);
    table.First();
    // An empty table reads empty fields: only an emptied keyword would compare equal, and there
    // is no row to show for it.
    if (table.Empty()) {
        result.kind = LookupResult::Kind::NotFound;
        return result;
    }
    table.LocateWord(result.keyword);
    if (table.Word() != result.keyword) {
        result.kind = LookupResult::Kind::NotFound;
        return result;
    }
    std::string decoded;
    DecodeMeaning(table.Mean(), kMeaningKey, decoded);
    result.meaning = Trim(decoded);
    result.kind = LookupResult::Kind::Found;
    return result;
}

} // namespace wl
