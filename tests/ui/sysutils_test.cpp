// The lookup of system library exports (the portable helpers are tested in tests/base).
#include "ui/system_proc.h"

#include <gtest/gtest.h>

namespace wl {
namespace {

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

} // namespace
} // namespace wl
