// Fuzz target: the skin archive reader on arbitrary expanded containers (the decoder has its own
// target) and, for inputs that start with a small size field, on compressed archives too.
// Every entry handed out must lie inside the reader's data.
#include "skin/archive/skin_reader.h"

#include <cstdlib>

static void Check(const wl::TSkinReader& reader) {
    const std::string& data = reader.Data();
    for (const std::string& name : reader.Names()) {
        std::string_view entry = reader.GetEntryByName(name);
        if (!entry.empty() && (entry.data() < data.data() ||
                               entry.data() + entry.size() > data.data() + data.size()))
            std::abort();
    }
    std::string name;
    std::string target;
    reader.GetEntryContaining(".ini", target, name);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view in(reinterpret_cast<const char*>(data), size);
    wl::TSkinReader reader;
    reader.LoadContainer(in);
    Check(reader);
    // Compressed form: only when the stated size is modest, to keep each run short.
    if (size >= 4 && data[3] == 0 && data[2] < 0x08) {
        reader.LoadArchive(in);
        Check(reader);
    }
    return 0;
}
