// The replaced global allocation functions of the Windows test programs (see freed_poison.h).
// Plain blocks come from the C runtime's malloc (the library's operator new); their size for the
// poison is the runtime's own record (_msize), which covers the whole block whatever size a sized
// delete names. Aligned blocks are made here too, from malloc with a small header before the
// aligned start that records where the block begins and how long it is.
#include "support/freed_poison.h"

#include <windows.h>

#include <malloc.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace wl::test {
namespace {

struct Held {
    void* start; // what the program held: poisoned
    size_t bytes;
    void* raw; // what malloc gave
};

// Plain data only: it must be usable before any constructor has run and after every destructor
// (deletes happen then too). SRWLOCK_INIT is a constant initializer.
struct Quarantine {
    SRWLOCK lock = SRWLOCK_INIT;
    Held ring[kQuarantineBlocks];
    size_t first = 0; // index of the oldest
    size_t count = 0;
    size_t bytes = 0;
};
constinit Quarantine g_quarantine{};

// Stored just before an aligned block's start.
struct AlignedHeader {
    void* raw;
    size_t bytes;
};

Held PlainBlock(void* p) {
    return Held{p, _msize(p), p};
}

Held AlignedBlock(void* p) {
    AlignedHeader header;
    std::memcpy(&header, static_cast<char*>(p) - sizeof header, sizeof header);
    return Held{p, header.bytes, header.raw};
}

// Frees a block that leaves the quarantine, after checking nothing wrote to it since its delete.
void Release(const Held& h) {
    const auto* p = static_cast<const unsigned char*>(h.start);
    for (size_t i = 0; i < h.bytes; ++i) {
        if (p[i] == kFreedPoison) continue;
        std::fprintf(stderr, "freed memory written: byte %zu of a block of %zu bytes at %p\n", i,
                     h.bytes, h.start);
        std::fflush(stderr);
        std::abort();
    }
    std::free(h.raw);
}

// WL_FREED_POISON=off turns the mode off (to time a program without it). Read once, at the
// first delete; a race between threads there only reads the same value twice.
bool PoisonOn() {
    static int on = -1;
    if (on < 0) {
        char value[8] = {};
        const DWORD n = GetEnvironmentVariableA("WL_FREED_POISON", value, sizeof value);
        on = n > 0 && n < sizeof value && std::strcmp(value, "off") == 0 ? 0 : 1;
    }
    return on == 1;
}

void Poison(const Held& h) noexcept {
    if (!PoisonOn()) {
        std::free(h.raw);
        return;
    }
    std::memset(h.start, kFreedPoison, h.bytes);
    if (h.bytes > kQuarantineBytes / 4) {
        std::free(h.raw);
        return;
    }
    Quarantine& q = g_quarantine;
    AcquireSRWLockExclusive(&q.lock);
    while (q.count == kQuarantineBlocks || (q.count > 0 && q.bytes + h.bytes > kQuarantineBytes)) {
        const Held oldest = q.ring[q.first];
        q.first = (q.first + 1) % kQuarantineBlocks;
        --q.count;
        q.bytes -= oldest.bytes;
        Release(oldest);
    }
    q.ring[(q.first + q.count) % kQuarantineBlocks] = h;
    ++q.count;
    q.bytes += h.bytes;
    ReleaseSRWLockExclusive(&q.lock);
}

void PoisonPlain(void* p) noexcept {
    if (p) Poison(PlainBlock(p));
}

void PoisonAligned(void* p) noexcept {
    if (p) Poison(AlignedBlock(p));
}

void* AlignedNew(size_t size, std::align_val_t alignment) {
    const size_t align = static_cast<size_t>(alignment);
    if (size > SIZE_MAX - align - sizeof(AlignedHeader)) throw std::bad_alloc();
    for (;;) {
        if (void* raw = std::malloc(size + align + sizeof(AlignedHeader))) {
            const uintptr_t first = reinterpret_cast<uintptr_t>(raw) + sizeof(AlignedHeader);
            char* start = reinterpret_cast<char*>((first + align - 1) & ~(uintptr_t{align} - 1));
            const AlignedHeader header{raw, size};
            std::memcpy(start - sizeof header, &header, sizeof header);
            return start;
        }
        std::new_handler handler = std::get_new_handler();
        if (!handler) throw std::bad_alloc();
        handler();
    }
}

} // namespace

QuarantineState FreedQuarantine() {
    Quarantine& q = g_quarantine;
    AcquireSRWLockShared(&q.lock);
    const QuarantineState state{q.count, q.bytes};
    ReleaseSRWLockShared(&q.lock);
    return state;
}

} // namespace wl::test

using wl::test::AlignedNew;
using wl::test::PoisonAligned;
using wl::test::PoisonPlain;

// Every form of delete, so no block escapes the poison whichever the compiler picks.
void operator delete(void* p) noexcept {
    PoisonPlain(p);
}
void operator delete[](void* p) noexcept {
    PoisonPlain(p);
}
void operator delete(void* p, size_t) noexcept {
    PoisonPlain(p);
}
void operator delete[](void* p, size_t) noexcept {
    PoisonPlain(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    PoisonPlain(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    PoisonPlain(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    PoisonAligned(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    PoisonAligned(p);
}
void operator delete(void* p, size_t, std::align_val_t) noexcept {
    PoisonAligned(p);
}
void operator delete[](void* p, size_t, std::align_val_t) noexcept {
    PoisonAligned(p);
}
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    PoisonAligned(p);
}
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    PoisonAligned(p);
}

// Aligned blocks are made here so that their delete above knows how they were made.
void* operator new(size_t size, std::align_val_t a) {
    return AlignedNew(size, a);
}
void* operator new[](size_t size, std::align_val_t a) {
    return AlignedNew(size, a);
}
void* operator new(size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    try {
        return AlignedNew(size, a);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    try {
        return AlignedNew(size, a);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
