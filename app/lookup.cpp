// The dictionary lookup rule (see lookup.h).
#include "app/lookup.h"

#include "app/meaning.h"
#include "ui/sysutils.h"

namespace wl {

LookupResult LookUpWord(std::string_view fieldText, store::AdoTable& table) {
    LookupResult result;
    if (fieldText.empty()) return result;
    result.keyword = Trim(fieldText);
    table.First();
    table.Locate("word", result.keyword, store::loPartialKey);
    if (table.FieldByName("word") != result.keyword) {
        result.kind = LookupResult::Kind::NotFound;
        return result;
    }
    std::string decoded;
    DecodeMeaning(table.FieldByName("mean"), kMeaningKey, decoded);
    result.meaning = Trim(decoded);
    result.kind = LookupResult::Kind::Found;
    return result;
}

} // namespace wl
