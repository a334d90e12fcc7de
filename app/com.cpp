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

namespace {
// Whether OleNeeded started OLE on the user-interface thread (and so OleDone must end it).
bool g_oleStarted = false;
bool g_oleTried = false;
} // namespace

void OleNeeded() {
    if (g_oleTried) return;
    g_oleTried = true;
    static auto* const start = SystemFunction<decltype(::OleInitialize)>(L"ole32.dll", "OleInitialize");
    g_oleStarted = start && SUCCEEDED(start(nullptr));
}

void OleDone() {
    if (!g_oleStarted) return;
    g_oleStarted = false;
    static auto* const end = SystemFunction<decltype(::OleUninitialize)>(L"ole32.dll", "OleUninitialize");
    if (end) end();
}

HRESULT ComCreateInstance(REFCLSID clsid, DWORD context, REFIID iid, void** out) {
    static auto* const create = SystemFunction<decltype(::CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
    if (!out) return E_POINTER;
    *out = nullptr;
    return create ? create(clsid, nullptr, context, iid, out) : HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
}

HRESULT ComSetContainedObject(IUnknown* object, BOOL contained) {
    static auto* const set =
        SystemFunction<decltype(::OleSetContainedObject)>(L"ole32.dll", "OleSetContainedObject");
    return set ? set(object, contained) : HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
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
