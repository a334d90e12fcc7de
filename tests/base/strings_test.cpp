// Portable text helpers: trimming, ASCII case-blind comparison and the platform-style integer
// conversion (one conversion serves the INI reader's integers and the library's StrToInt).
#include "base/strings.h"

#include <gtest/gtest.h>

#include <climits>

namespace wl {
namespace {

TEST(Trim, RemovesControlBytesAndBlanksAtBothEnds) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"  apple  ", "apple"},
        {"\t\r\napple\x01", "apple"},
        {"   ", ""},
        {"", ""},
        {"a b", "a b"},
        {"\xB0\xA1 ", "\xB0\xA1"}, // bytes above 127 are kept
        {std::string("\0x\0", 3), "x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Trim(c.in), c.out) << c.in;
        // The view form points into the text it was given.
        std::string_view view = TrimBlanks(c.in);
        EXPECT_EQ(view, c.out) << c.in;
        if (!view.empty()) {
            EXPECT_EQ(view.data(), c.in.data() + c.in.find(c.out)) << c.in;
        }
    }
}

TEST(SameText, IgnoresTheCaseOfAsciiLettersOnly) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"TButton", "tbutton", true},
        {"Font.Name", "FONT.NAME", true},
        {"", "", true},
        {"abc", "abd", false},
        {"abc", "ab", false},
        {"[", "{", false},
        {"@", "`", false},
        {"Z", "z", true},
        {"\xC0", "\xE0", false}, // bytes above 127 are compared as they are
    };
    for (const auto& c : cases)
        EXPECT_EQ(SameText(c.a, c.b), c.same) << c.a << " / " << c.b;
}

// Every text both former conversions (the library's and the INI reader's) were tested with,
// in one table: they agreed on each.
struct IntCase {
    const char* text;
    bool ok;
    int32_t value;
};
const IntCase kIntCases[] = {
    {"0", true, 0},
    {"42", true, 42},
    {"-17", true, -17},
    {"+5", true, 5},
    {"+7", true, 7},
    {"  12", true, 12}, // leading blanks only
    {"$1F", true, 31},
    {"$ff", true, 255},
    {"0x10", true, 16},
    {"0X1a", true, 26},
    {"-$10", true, -16},
    {"-0x10", true, -16},
    {"$FFFFFFFF", true, -1}, // hexadecimal may use all 32 bits
    {"$7fffffff", true, INT32_MAX},
    {"$80000000", true, INT32_MIN},
    {"2147483647", true, INT32_MAX},
    {"-2147483648", true, INT32_MIN},
    {"007", true, 7},
    {"", false, 0},
    {" ", false, 0},
    {"$", false, 0},
    {"0x", false, 0},
    {"-", false, 0},
    {"12 ", false, 0}, // nothing may follow the digits
    {"1 2", false, 0},
    {"1a", false, 0},
    {"$G", false, 0},
    {"$G1", false, 0},
    {"$4G", false, 0},
    {"$-1", false, 0},
    {"--1", false, 0},
    {"- 1", false, 0},
    {"\t1", false, 0},        // a tab is not a leading blank
    {"2147483648", false, 0}, // decimal must fit 32 signed bits
    {"-2147483649", false, 0},
    {"99999999999999999999", false, 0}, // no wrap-around of a long number
    {"$100000000", false, 0},
    {"0x1FFFFFFFF", false, 0},
    {"\xB0\xA1", false, 0},
};

TEST(TryStrToInt, AcceptsThePlatformFormatsOnly) {
    for (const IntCase& c : kIntCases) {
        int32_t value = 12345;
        EXPECT_EQ(TryStrToInt(c.text, value), c.ok) << c.text;
        EXPECT_EQ(value, c.ok ? c.value : 12345) << c.text; // untouched on failure
    }
}

TEST(StrToInt, ReturnsTheValueOrThrowsThePlatformText) {
    for (const IntCase& c : kIntCases) {
        if (c.ok) {
            EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
            continue;
        }
        try {
            StrToInt(c.text);
            ADD_FAILURE() << "accepted " << c.text;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.what(), "'" + std::string(c.text) + "' is not a valid integer value");
        }
    }
}

} // namespace
} // namespace wl
