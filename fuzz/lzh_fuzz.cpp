// Fuzz target: the LZHUF decoder on arbitrary streams (size field + bits). The size limit is
// lowered so that each input decodes quickly; the bound itself is what is checked here.
#include "skin/archive/lzh.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr uint32_t kLimit = 1u << 16;
    std::string_view in(reinterpret_cast<const char*>(data), size);
    std::string out;
    try {
        wl::TLZH(kLimit).Expand(in, out);
    } catch (const wl::ElzhException&) {
        if (!out.empty()) std::abort(); // a refused stream writes nothing
        return 0;
    }
    if (out.size() > kLimit) std::abort();
    return 0;
}
