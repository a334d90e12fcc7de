// Use-after-free made loud in the Windows test programs (never in the product): every block
// given back through operator delete is overwritten with kFreedPoison and held in a bounded
// quarantine before it is really freed. A read through a dangling pointer then sees the pattern
// (a pointer read from such a block is 0xDDDD..., an address that faults at once), and a write
// after the free is found when the block leaves the quarantine, which ends the program.
// The environment variable WL_FREED_POISON=off turns it off (for timing without it).
#pragma once

#include <cstddef>

namespace wl::test {

inline constexpr unsigned char kFreedPoison = 0xDD;
// The quarantine's bounds: the oldest blocks are freed first once either is reached. A block
// larger than a quarter of the byte bound is poisoned and freed at once.
inline constexpr size_t kQuarantineBlocks = 4096;
inline constexpr size_t kQuarantineBytes = size_t{16} << 20;

struct QuarantineState {
    size_t blocks = 0;
    size_t bytes = 0;
};
// What the quarantine holds now.
QuarantineState FreedQuarantine();

} // namespace wl::test
