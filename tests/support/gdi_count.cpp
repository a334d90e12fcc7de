// Live GDI object and window counts (see gdi_count.h).
#include "support/gdi_count.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

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

namespace {
// Live handles of one of the system's tables, for Wine, whose GetGuiResources says 0: new
// handles take the free entries first (the last freed first) and only then new entries at the
// end of the table, one after the other. So handles are made until a long run of consecutive
// indices shows the end was reached; then the highest index minus the number made is the number
// of live handles plus a constant. The free entries can hold a run of their own (a window tree
// destroyed leaves its entries freed in descending order, which come back ascending), so the
// run that marks the end must be longer than any such run: longer than the windows and menus a
// test program plausibly frees at once.
constexpr int kEndOfTableRun = 3000;

template <class H>
long LiveHandles(H (*make)(), void (*free)(H), long (*index)(H)) {
    std::vector<H> made;
    long highest = 0, previous = -2;
    int run = 0;
    while (run < kEndOfTableRun && made.size() < 200000) {
        H h = make();
        if (!h) break;
        made.push_back(h);
        long i = index(h);
        run = i == previous + 1 ? run + 1 : 0;
        previous = i;
        highest = std::max(highest, i);
    }
    // Freed in creation order, so the next count meets them highest first (never as a run).
    for (H h : made) free(h);
    return highest - static_cast<long>(made.size());
}

} // namespace

long LiveUserHandles() {
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) return static_cast<long>(n);
    return LiveHandles<HMENU>([] { return CreateMenu(); }, [](HMENU m) { DestroyMenu(m); },
                              [](HMENU m) { return static_cast<long>((reinterpret_cast<uintptr_t>(m) & 0xFFFF) >> 1); });
}



} // namespace wl::test
