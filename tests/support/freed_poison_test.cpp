// The use-after-free mode of the Windows test programs: whatever form of delete frees a block,
// a read through the dangling pointer sees the poison; the quarantine stays within its bounds;
// a write after the free ends the program when the block leaves the quarantine.
#include "support/freed_poison.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <new>
#include <vector>

namespace wl::test {
namespace {

// The pointer goes through here so that the compiler cannot see that it reads freed memory
// (nor drop the allocation it escapes from).
void* volatile g_escape = nullptr;

unsigned char* Escaped(void* p) {
    g_escape = p;
    return static_cast<unsigned char*>(g_escape);
}

struct alignas(64) Aligned {
    unsigned char bytes[96];
};

struct Node {
    Node* next;
    int value;
};

TEST(FreedPoison, ReadThroughADanglingPointerSeesThePoison) {
    struct Case {
        const char* name;
        size_t size;
        std::function<void*()> make;
        std::function<void(void*)> free;
    } cases[] = {
        {"object", sizeof(Node),
         [] {
             return static_cast<void*>(new Node{nullptr, 7});
         },
         [](void* p) { delete static_cast<Node*>(p); }},
        {"array", 40, [] { return static_cast<void*>(new char[40]); },
         [](void* p) { delete[] static_cast<char*>(p); }},
        {"sized", 24, [] { return ::operator new(24); },
         [](void* p) { ::operator delete (p, size_t{24}); }},
        {"sized array", 24, [] { return ::operator new[](24); },
         [](void* p) { ::operator delete[](p, size_t{24}); }},
        {"nothrow", 16, [] { return ::operator new(16, std::nothrow); },
         [](void* p) { ::operator delete(p, std::nothrow); }},
        {"aligned object", sizeof(Aligned), [] { return static_cast<void*>(new Aligned{}); },
         [](void* p) { delete static_cast<Aligned*>(p); }},
        {"aligned array", 2 * sizeof(Aligned), [] { return static_cast<void*>(new Aligned[2]); },
         [](void* p) { delete[] static_cast<Aligned*>(p); }},
        {"aligned sized", 128, [] { return ::operator new (128, std::align_val_t{128}); },
         [](void* p) { ::operator delete (p, size_t{128}, std::align_val_t{128}); }},
    };
    for (const Case& c : cases) {
        void* block = c.make();
        ASSERT_NE(block, nullptr) << c.name;
        std::memset(block, 0x11, c.size);
        unsigned char* dangling = Escaped(block);
        c.free(block);
        int poisoned = 0;
        for (size_t i = 0; i < c.size; ++i)
            poisoned += dangling[i] == kFreedPoison;
        EXPECT_EQ(poisoned, static_cast<int>(c.size)) << c.name;
    }
}

// A pointer read from a freed object is the pattern: on x86_64 an address that is not canonical,
// so following it faults at once instead of reading stale memory.
TEST(FreedPoison, PointerFieldOfAFreedObjectReadsAsThePattern) {
    Node* node = new Node{new Node{nullptr, 1}, 2};
    delete node->next;
    auto* dangling = reinterpret_cast<Node*>(Escaped(node));
    delete node;
    Node* next = nullptr;
    std::memcpy(&next, &dangling->next, sizeof next);
    uintptr_t pattern;
    std::memset(&pattern, kFreedPoison, sizeof pattern);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(next), pattern);
}

TEST(FreedPoison, QuarantineStaysWithinItsBounds) {
    struct Case {
        const char* name;
        size_t blockSize;
        int blocks;
    } cases[] = {
        {"many small blocks", 64, static_cast<int>(kQuarantineBlocks) + 500},
        {"large blocks", kQuarantineBytes / 6, 12},
    };
    for (const Case& c : cases) {
        for (int i = 0; i < c.blocks; ++i)
            delete[] Escaped(new unsigned char[c.blockSize]);
        const QuarantineState held = FreedQuarantine();
        EXPECT_LE(held.blocks, kQuarantineBlocks) << c.name;
        EXPECT_LE(held.bytes, kQuarantineBytes) << c.name;
        EXPECT_GT(held.blocks, 0u) << c.name;
    }
    // A block above a quarter of the byte bound is never held.
    const QuarantineState before = FreedQuarantine();
    delete[] Escaped(new unsigned char[kQuarantineBytes / 2]);
    const QuarantineState after = FreedQuarantine();
    EXPECT_LE(after.bytes, before.bytes);
}

TEST(FreedPoisonDeathTest, WriteAfterFreeEndsTheProgramWhenTheBlockLeaves) {
    EXPECT_DEATH(
        {
            unsigned char* block = Escaped(new unsigned char[32]);
            delete[] block;
            block[5] = 0x42;
            // Push it out of the quarantine.
            for (size_t i = 0; i <= kQuarantineBlocks; ++i)
                delete Escaped(new int(0));
        },
        "freed memory written: byte 5 of a block");
}

} // namespace
} // namespace wl::test
