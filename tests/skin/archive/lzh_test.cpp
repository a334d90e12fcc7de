// LZHUF decoder: streams from an independent encoder decode byte for byte; damaged input is
// bounded and never reads or writes out of range.
#include "skin/archive/lzh.h"
#include "support/testdata.h"

#include <gtest/gtest.h>

namespace wl {
namespace {

std::string Le32(uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(v >> (8 * i));
    return s;
}

TEST(Lzh, SharedVectorsDecodeExactly) {
    const char* names[] = {"empty",  "one-byte",    "spaces-match",  "text",
                           "bitmap", "large-mixed", "archive-20000", "archive-19999"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        WL_SHARED_OR_SKIP(packed, std::string("lzhuf/") + name + ".lzh");
        WL_SHARED_OR_SKIP(plain, std::string("lzhuf/") + name + ".bin");
        std::string out = TLZH().Expand(test::ReadFileBytes(packed));
        std::string expected = test::ReadFileBytes(plain);
        ASSERT_EQ(out.size(), expected.size());
        EXPECT_TRUE(out == expected);
    }
}

TEST(Lzh, TruncatedStreamDecodesToStatedSize) {
    WL_SHARED_OR_SKIP(cut, "lzhuf/text-truncated.lzh");
    WL_SHARED_OR_SKIP(whole, "lzhuf/text.bin");
    std::string out = TLZH().Expand(test::ReadFileBytes(cut));
    std::string full = test::ReadFileBytes(whole);
    ASSERT_EQ(out.size(), 4250u);
    // What the surviving half codes must come out unchanged; only the tail is made of zero bits.
    EXPECT_EQ(out.substr(0, 1500), full.substr(0, 1500));
}

TEST(Lzh, OutputIsAppendedNotReplaced) {
    WL_SHARED_OR_SKIP(packed, "lzhuf/one-byte.lzh");
    WL_SHARED_OR_SKIP(plain, "lzhuf/one-byte.bin");
    std::string out = "keep";
    TLZH().Expand(test::ReadFileBytes(packed), out);
    EXPECT_EQ(out, "keep" + test::ReadFileBytes(plain));
}

TEST(Lzh, SizeFieldLimits) {
    struct Case {
        const char* what;
        std::string stream;
        uint32_t limit;
        bool throws;
        size_t outSize;
    } cases[] = {
        {"no size field", "abc", TLZH::kDefaultMaxSize, true, 0},
        {"zero size reads nothing", Le32(0), TLZH::kDefaultMaxSize, false, 0},
        {"negative size writes nothing", Le32(0xFFFFFFF0u) + "xyz", TLZH::kDefaultMaxSize, false, 0},
        {"huge size from tiny input is refused", Le32(0x7FFFFFFF) + "\x01", TLZH::kDefaultMaxSize,
         true, 0},
        {"size just above a custom limit", Le32(1001), 1000, true, 0},
        {"size at a custom limit, all zero bits", Le32(1000), 1000, false, 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string out;
        if (c.throws) {
            EXPECT_THROW(TLZH(c.limit).Expand(c.stream, out), ElzhException);
        } else {
            EXPECT_NO_THROW(TLZH(c.limit).Expand(c.stream, out));
        }
        EXPECT_EQ(out.size(), c.outSize);
    }
}

// Damaged data: a match may not run past the stated size, whatever the bits say. A stream of
// 0xFF bytes decodes the highest symbols (the longest matches) first.
TEST(Lzh, DamagedDataStopsExactlyAtStatedSize) {
    for (uint32_t size : {1u, 2u, 59u, 61u, 4097u}) {
        SCOPED_TRACE(size);
        std::string out = TLZH().Expand(Le32(size) + std::string(64, '\xFF'));
        EXPECT_EQ(out.size(), size);
    }
}

} // namespace
} // namespace wl
