// Run-time lookup of system library functions (see system_proc.h).
#include "ui/system_proc.h"

#include <string>

namespace wl {

FARPROC SystemProc(const wchar_t* dll, const char* name) {
    if (!dll || !name) return nullptr;
    HMODULE module = GetModuleHandleW(dll);
    if (!module) {
        // A full path, so that a file of the same name beside the program is never picked up.
        wchar_t folder[MAX_PATH];
        const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return nullptr;
        std::wstring path(folder, n);
        path += L'\\';
        path += dll;
        module = LoadLibraryW(path.c_str());
        if (!module) return nullptr;
    }
    return GetProcAddress(module, name);
}

} // namespace wl
