// Portable helpers: trimming and the platform-style integer conversion.
#include "ui/sysutils.h"
#ifdef _WIN32
#include "ui/system_proc.h"
#endif

#include <gtest/gtest.h>

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
    };
    for (const auto& c : cases) EXPECT_EQ(Trim(c.in), c.out) << c.in;
}

TEST(StrToInt, AcceptsThePlatformFormats) {
    struct Case {
        const char* text;
        int32_t value;
    } cases[] = {
        {"0", 0},       {"42", 42},          {"-17", -17},         {"+5", 5},
        {"  12", 12},   {"$1F", 31},         {"$ff", 255},         {"0x10", 16},
        {"0X1a", 26},   {"-$10", -16},       {"$FFFFFFFF", -1},    {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
    };
    for (const auto& c : cases) EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
}

TEST(StrToInt, RejectsEverythingElseWithThePlatformText) {
    const char* bad[] = {"", " ", "$", "0x", "12 ", "1a", "$G1", "$-1", "2147483648", "$100000000",
                         "- 1", "\xB0\xA1"};
    for (const char* text : bad) {
        try {
            StrToInt(text);
            ADD_FAILURE() << "accepted " << text;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.what(), "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

} // namespace
} // namespace wl

namespace wl {
namespace {

TEST(SameText, IgnoresTheCaseOfAsciiLettersOnly) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"TButton", "tbutton", true}, {"Font.Name", "FONT.NAME", true}, {"", "", true},
        {"abc", "abd", false},        {"abc", "ab", false},             {"[", "{", false},
        {"\xC0", "\xE0", false}, // bytes above 127 are compared as they are
    };
    for (const auto& c : cases) EXPECT_EQ(SameText(c.a, c.b), c.same) << c.a << " / " << c.b;
}

#ifdef _WIN32
TEST(SystemProc, FindsExportsOfSystemLibrariesAndNothingElse) {
    struct Case {
        const wchar_t* dll;
        const char* name;
        bool found;
    } cases[] = {
        {L"kernel32.dll", "GetTickCount", true},
        {L"winmm.dll", "timeGetTime", true},          // loaded by the lookup itself
        {L"oleaut32.dll", "SysAllocStringLen", true},
        {L"kernel32.dll", "NoSuchExportAnywhere", false},
        {L"no-such-library-anywhere.dll", "GetTickCount", false},
        {L"kernel32.dll", nullptr, false},
        {nullptr, "GetTickCount", false},
    };
    for (const auto& c : cases) {
        FARPROC p = SystemProc(c.dll, c.name);
        EXPECT_EQ(p != nullptr, c.found) << (c.name ? c.name : "(null)");
        if (!p) continue;
        // The very function the library exports, from the library in the system folder.
        HMODULE module = GetModuleHandleW(c.dll);
        ASSERT_NE(module, nullptr) << c.name;
        EXPECT_EQ(p, GetProcAddress(module, c.name)) << c.name;
    }
}

TEST(SystemProc, TypedFunctionIsCallable) {
    auto* pid = SystemFunction<decltype(::GetCurrentProcessId)>(L"kernel32.dll", "GetCurrentProcessId");
    ASSERT_NE(pid, nullptr);
    EXPECT_EQ(pid(), GetCurrentProcessId());
    auto* length = SystemFunction<decltype(::lstrlenW)>(L"kernel32.dll", "lstrlenW");
    ASSERT_NE(length, nullptr);
    EXPECT_EQ(length(L"wordlark"), 8);
}
#endif

} // namespace
} // namespace wl
