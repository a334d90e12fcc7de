// Fuzz target of the Jet 4 reader: open the bytes as a database, read every table (the
// catalog included) field by field, and exercise the cursor's index and locate. Any input may
// be rejected with JetError; nothing else may happen (no crash, no read outside the input,
// no endless loop).
#include "store/cursor.h"
#include "store/export.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace wl::store;
    try {
        auto db = std::make_shared<const Database>(std::string(reinterpret_cast<const char*>(data), size), "fuzz");
        auto names = db->TableNames();
        names.push_back("MSysObjects");
        for (const auto& name : names) {
            try {
                auto table = db->OpenTable(name);
                for (size_t r = 0; r < table->RowCount(); ++r)
                    for (size_t c = 0; c < table->Columns().size(); ++c)
                        try {
                            (void)FormatField(table->Columns()[c], table->Field(r, c));
                        } catch (const JetError&) {
                        }
                TableCursor cursor(db, name);
                for (const auto& col : cursor.GetTable().Columns()) {
                    if (!col.IsText()) continue;
                    if (cursor.Locate(col.name, "a", true)) (void)cursor.FieldText(col.name);
                    (void)cursor.Locate(col.name, "", true);
                }
            } catch (const JetError&) {
            }
        }
    } catch (const JetError&) {
    }
    return 0;
}
