// Live GDI and USER object counts (see handle_count.h).
#include "support/handle_count.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace wl::test {

// Live GDI objects of this process. Wine reports 0 from GetGuiResources, so there the count is
// taken from its handle table: allocating N objects fills every free entry first and then takes
// new ones in order, so the highest index seen is (live objects + N) plus a constant.
long LiveGdiObjects() {
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<long>(n);
    const int probes = 4000;
    std::vector<HBRUSH> brushes;
    long highest = 0;
    for (int i = 0; i < probes; ++i) {
        HBRUSH b = CreateSolidBrush(RGB(i & 255, 0, 0));
        if (!b) break;
        brushes.push_back(b);
        highest = std::max(highest, static_cast<long>(reinterpret_cast<uintptr_t>(b) & 0xFFFF));
    }
    for (HBRUSH b : brushes)
        DeleteObject(b);
    return highest - probes;
}

namespace {
int CountWindows(HWND parent) {
    int n = 0;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        n += 1 + CountWindows(c);
    return n;
}
} // namespace

long LiveUserObjects() {
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) return static_cast<long>(n);
    long n = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM p) {
            *reinterpret_cast<long*>(p) += 1 + CountWindows(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&n));
    return n;
}

} // namespace wl::test
