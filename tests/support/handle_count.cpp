// Live GDI/USER object counts (see handle_count.h).
#include "support/handle_count.h"

#include <windows.h>

#include <cstdint>

namespace wl::test {

namespace {
int CountWindows(HWND parent) {
    int n = 0;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) n += 1 + CountWindows(c);
    return n;
}

BOOL CALLBACK CountThreadWindow(HWND w, LPARAM p) {
    *reinterpret_cast<long*>(p) += 1 + CountWindows(w);
    return TRUE;
}
} // namespace

// Wine resolves a handle whose upper half is zero to whatever object occupies that slot of its
// handle table, so there the slots are probed one by one.
long LiveGdiObjects() {
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<long>(n);
    long n = 0;
    for (uintptr_t slot = 1; slot < 0x10000; ++slot)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(slot))) ++n;
    return n;
}

long LiveUserObjects() {
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) return static_cast<long>(n);
    long n = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountThreadWindow, reinterpret_cast<LPARAM>(&n));
    return n;
}

} // namespace wl::test
