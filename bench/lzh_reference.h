// The LZHUF decoder written literally, one byte per read and write callback and a 16-bit bit
// buffer, as the format was first implemented. Lives only here: it is the yardstick the
// program's decoder is measured against and must agree with byte for byte.
#pragma once

#include <cstdint>
#include <functional>

namespace wl::bench {

class ReferenceLzh {
public:
    using ReadFn = std::function<int(uint8_t* buffer, int count)>;
    using WriteFn = std::function<void(const uint8_t* buffer, int count)>;
    void Unpack(int32_t size, const WriteFn& write, const ReadFn& read);
};

} // namespace wl::bench
