// The lookup rule over the store's table component: table `main`, columns `word` and `mean`,
// located with the partial-key option as the program's table component offers it.
#pragma once

#include "dict/lookup.h"
#include "store/ado_table.h"

namespace wl {

class StoreWordTable : public WordTable {
public:
    explicit StoreWordTable(store::AdoTable& table) : table_(table) {}
    void First() override;
    bool Empty() override;
    void LocateWord(std::string_view keyword) override;
    std::string Word() override;
    std::string Mean() override;

private:
    store::AdoTable& table_;
};

// The rule on an open (or closed: the store's error) table component.
LookupResult LookUpWord(std::string_view fieldText, store::AdoTable& table);

} // namespace wl
