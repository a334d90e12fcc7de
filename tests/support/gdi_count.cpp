// Live GDI object and window counts (see gdi_count.h).
#include "support/gdi_count.h"

#include <windows.h>

#include <cstdint>

namespace wl::test {

long LiveGdiObjects() {
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<long>(n);
    long n = 0;
    for (uintptr_t slot = 1; slot < 0x10000; ++slot)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(slot))) ++n;
    return n;
}

namespace {
long CountWindows(HWND parent) {
    long n = 0;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) n += 1 + CountWindows(c);
    return n;
}

BOOL CALLBACK CountTopLevel(HWND w, LPARAM p) {
    *reinterpret_cast<long*>(p) += 1 + CountWindows(w);
    return TRUE;
}
} // namespace

long LiveUserObjects() {
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) return static_cast<long>(n);
    long n = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountTopLevel, reinterpret_cast<LPARAM>(&n));
    return n;
}

} // namespace wl::test
