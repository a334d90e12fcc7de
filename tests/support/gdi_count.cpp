// Live GDI object and window counts (see gdi_count.h).
#include "support/gdi_count.h"

#include <windows.h>

#include <cstdint>
#include <utility>
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
// Wine answers 0 in GetGuiResources. It keeps the USER objects that a process made (windows,
// menus, icons and cursors, accelerator tables) in a table of that process, indexed by the low
// word of the handle, and resolves a handle whose upper half is zero to whatever object of the
// asked type sits in that slot. Probing every slot by type counts this process's objects alone:
// the session's shared handle table also holds what other programs and Wine's own processes
// make and free meanwhile, which is no measure of this program.
constexpr uintptr_t kFirstUserHandle = 0x0020, kLastUserHandle = 0xffef;

template <class IsLive>
long CountUserSlots(IsLive isLive) {
    long n = 0;
    for (uintptr_t h = kFirstUserHandle; h <= kLastUserHandle; h += 2)
        if (isLive(h)) ++n;
    return n;
}

// GetCursorFrameInfo is exported by name only; it looks a cursor or icon up without making
// anything, which GetIconInfo would (two bitmaps).
using CursorFrameInfo = HCURSOR(WINAPI*)(HCURSOR, DWORD, DWORD, DWORD*, DWORD*);

CursorFrameInfo CursorFrameInfoProc() {
    static const auto proc = reinterpret_cast<CursorFrameInfo>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetCursorFrameInfo")));
    return proc;
}

BOOL CALLBACK CountOwnWindows(HWND w, LPARAM p) {
    auto* count = reinterpret_cast<std::pair<DWORD, long>*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == count->first) ++count->second;
    return TRUE;
}
} // namespace

TUserHandleCounts CountUserHandles() {
    TUserHandleCounts c;
    c.Menus = CountUserSlots([](uintptr_t h) { return IsMenu(reinterpret_cast<HMENU>(h)) != FALSE; });
    if (CursorFrameInfo info = CursorFrameInfoProc())
        c.Cursors = CountUserSlots([info](uintptr_t h) {
            DWORD rate = 0, steps = 0;
            return info(reinterpret_cast<HCURSOR>(h), 0, 0, &rate, &steps) != nullptr;
        });
    c.Accelerators = CountUserSlots(
        [](uintptr_t h) { return CopyAcceleratorTableW(reinterpret_cast<HACCEL>(h), nullptr, 0) > 0; });
    // Windows of every thread of the process: top-level ones with all their descendants, and
    // message-only windows, which no enumeration of the desktop's children lists.
    std::pair<DWORD, long> windows{GetCurrentProcessId(), 0};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            CountOwnWindows(w, p);
            EnumChildWindows(w, CountOwnWindows, p);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
         w = FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr)) {
        CountOwnWindows(w, reinterpret_cast<LPARAM>(&windows));
        EnumChildWindows(w, CountOwnWindows, reinterpret_cast<LPARAM>(&windows));
    }
    c.Windows = windows.second;
    return c;
}

long SessionUserHandles() {
    std::vector<HMENU> made;
    long highest = 0, previous = -2;
    int run = 0;
    // The end of the table is a run longer than any run of freed entries a program plausibly
    // leaves (a window tree destroyed frees its entries in one order, and they come back in the
    // other).
    constexpr int kEndOfTableRun = 3000;
    while (run < kEndOfTableRun && made.size() < 200000) {
        HMENU h = CreateMenu();
        if (!h) break;
        made.push_back(h);
        const long i = static_cast<long>((reinterpret_cast<uintptr_t>(h) & 0xFFFF) >> 1);
        run = i == previous + 1 ? run + 1 : 0;
        previous = i;
        if (i > highest) highest = i;
    }
    // Freed in creation order, so the next estimate meets them highest first (never as a run).
    for (HMENU h : made) DestroyMenu(h);
    return highest - static_cast<long>(made.size());
}

long LiveUserHandles() {
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) return static_cast<long>(n);
    return CountUserHandles().Total();
}

} // namespace wl::test
