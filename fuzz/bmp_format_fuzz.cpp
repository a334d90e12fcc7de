// Fuzzes the BMP layout reader: any bytes, read as a file and as a packed DIB. A returned layout
// must lie inside the input; its pixel bytes are all read so the sanitizer sees any overrun.
#include "ui/bmp_format.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

static void Check(std::string_view in, const std::optional<wl::BmpLayout>& l) {
    if (!l) return;
    if (l->bitsOffset > in.size() || l->bitsSize > in.size() - l->bitsOffset) std::abort();
    if (l->bitCount <= 8 && l->palette.size() > (1u << l->bitCount)) std::abort();
    if (int64_t(l->width) * l->height > wl::kMaxBmpPixels) std::abort();
    unsigned sum = 0;
    for (size_t i = 0; i < l->bitsSize; ++i) sum += uint8_t(in[l->bitsOffset + i]);
    if (sum == 0xFFFFFFFFu) std::abort(); // keeps the loop from being optimised away
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size heap copy: reading one byte too far is a sanitizer error.
    std::vector<char> copy(data, data + size);
    std::string_view in(copy.data(), copy.size());
    Check(in, wl::ParseBmpFile(in));
    Check(in, wl::ParsePackedDib(in));
    return 0;
}
