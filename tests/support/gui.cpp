// Window-level test helpers (see gui.h).
#include "support/gui.h"

#include "support/capture.h"

#include <cstdio>

namespace wl::test {

void PumpMessages(DWORD ms) {
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (ms) MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= timeoutMs) return done();
        // Sleeps until a message arrives or a millisecond passes: timers, posted work and the
        // window-surface flush that Wine does while a thread waits all get their turn.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
        PumpMessages();
    }
    return true;
}

namespace {
bool HasPendingPaint(HWND window) {
    if (GetUpdateRect(window, nullptr, FALSE)) return true;
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (IsWindowVisible(c) && HasPendingPaint(c)) return true;
    return false;
}
} // namespace

bool WaitPainted(HWND window, DWORD timeoutMs) {
    return PumpUntil([&] { return IsWindowVisible(window) && !HasPendingPaint(window); }, timeoutMs);
}

bool ScreenShowsDrawing(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    const TCapture drawn = TCapture::WindowDC(window), shown = TCapture::Window(window);
    if (drawn.Empty()) return false;
    // Only where the screen can show the drawing: the part of the window on the screen (a window
    // crossing its edge reads back black there) and inside the window's region (a skinned
    // window's rounded corners show what lies beneath).
    const RECT all{0, 0, drawn.Width(), drawn.Height()};
    const RECT screen{-r.left, -r.top, GetSystemMetrics(SM_CXSCREEN) - r.left, GetSystemMetrics(SM_CYSCREEN) - r.top};
    RECT part{};
    IntersectRect(&part, &all, &screen);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const bool shaped = GetWindowRgn(window, region) != ERROR;
    bool same = true;
    for (LONG y = part.top; y < part.bottom && same; ++y)
        for (LONG x = part.left; x < part.right && same; ++x)
            same = drawn.At(x, y) == shown.At(x, y) || (shaped && !PtInRegion(region, x, y));
    DeleteObject(region);
    return same;
}

bool WaitFlushed(HWND window, DWORD timeoutMs) {
    if (!WaitPainted(window, timeoutMs)) return false;
    if (PumpUntil([&] { return ScreenShowsDrawing(window); }, timeoutMs)) return true;
    // Tests may go on (a covered window never matches), but a wait that runs out costs time.
    std::fprintf(stderr, "WaitFlushed: the screen did not show window %p's drawing within %lu ms\n",
                 static_cast<void*>(window), static_cast<unsigned long>(timeoutMs));
    return false;
}

HWND WaitForWindow(const wchar_t* className, DWORD timeoutMs) {
    struct Find {
        const wchar_t* cls;
        HWND found;
    } find{className, nullptr};
    PumpUntil(
        [&] {
            EnumThreadWindows(
                GetCurrentThreadId(),
                [](HWND w, LPARAM p) -> BOOL {
                    auto* f = reinterpret_cast<Find*>(p);
                    wchar_t name[64] = {};
                    GetClassNameW(w, name, 64);
                    if (IsWindowVisible(w) && (!f->cls || lstrcmpiW(name, f->cls) == 0)) {
                        f->found = w;
                        return FALSE;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&find));
            return find.found != nullptr;
        },
        timeoutMs);
    return find.found;
}

COLORREF WindowPixel(HWND hwnd, int x, int y) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return TCapture::Screen(RECT{r.left + x, r.top + y, r.left + x + 1, r.top + y + 1}).At(0, 0);
}

bool SaveWindowBitmap(HWND hwnd, const std::string& path) { return TCapture::Window(hwnd).Save(path); }

} // namespace wl::test
