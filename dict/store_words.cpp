// The lookup rule over the store's table component (see store_words.h).
#include "dict/store_words.h"

namespace wl {

void StoreWordTable::First() { table_.First(); }
bool StoreWordTable::Empty() { return table_.RecordCount() == 0; }
void StoreWordTable::LocateWord(std::string_view keyword) { table_.Locate("word", keyword, store::loPartialKey); }
std::string StoreWordTable::Word() { return table_.FieldByName("word"); }
std::string StoreWordTable::Mean() { return table_.FieldByName("mean"); }

LookupResult LookUpWord(std::string_view fieldText, store::AdoTable& table) {
    StoreWordTable words(table);
    return LookUpWord(fieldText, static_cast<WordTable&>(words));
}

} // namespace wl
