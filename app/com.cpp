// COM helpers (see com.h).
#include "app/com.h"

#include "ui/system_proc.h"

#include <cstdio>

namespace wl {

std::string HResultText(HRESULT hr) {
    char* buffer = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<char*>(&buffer), 0,
                             nullptr);
    std::string text;
    if (n && buffer) text.assign(buffer, n);
    if (buffer) LocalFree(buffer);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.pop_back();
    if (text.empty()) {
        char code[32];
        std::snprintf(code, sizeof code, "OLE error %08lX", static_cast<unsigned long>(hr));
        text = code;
    }
    return text;
}

BStr::BStr(const std::wstring& text) : s_(nullptr) {
    static auto* const alloc = SystemFunction<decltype(::SysAllocStringLen)>(L"oleaut32.dll", "SysAllocStringLen");
    if (alloc) s_ = alloc(text.data(), static_cast<UINT>(text.size()));
}

BStr::~BStr() {
    // Only a string that was made is freed, so the library is there when it is.
    if (!s_) return;
    static auto* const release = SystemFunction<decltype(::SysFreeString)>(L"oleaut32.dll", "SysFreeString");
    if (release) release(s_);
}

} // namespace wl
