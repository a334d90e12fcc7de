// Window-level test helpers (see gui.h).
#include "support/gui.h"

#include "support/capture.h"

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

bool WaitFlushed(HWND window, DWORD timeoutMs) {
    if (!WaitPainted(window, timeoutMs)) return false;
    return PumpUntil(
        [&] {
            const TCapture drawn = TCapture::WindowDC(window);
            const TCapture shown = TCapture::Window(window);
            RECT all{0, 0, drawn.Width(), drawn.Height()};
            return !drawn.Empty() && drawn.CountDiffering(shown, all) == 0;
        },
        timeoutMs);
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
