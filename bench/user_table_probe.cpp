// What moves the USER handle table of a Wine session: a plain Win32 program (nothing of ours)
// opens and ends popup menus and makes and destroys windows with children, and prints, before and
// after, two counts: the session's shared handle table (estimated by making handles until the end
// of the table shows) and this process's own USER objects (probed slot by slot by type).
// Usage: user_table_probe [ROUNDS]
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// The session's table: new handles take freed entries first, then new entries at the end, one
// after the other; a long run of consecutive indices marks the end.
long SessionTable() {
    std::vector<HMENU> made;
    long highest = 0, previous = -2;
    int run = 0;
    while (run < 3000 && made.size() < 200000) {
        HMENU h = CreateMenu();
        if (!h) break;
        made.push_back(h);
        const long i = static_cast<long>((reinterpret_cast<uintptr_t>(h) & 0xFFFF) >> 1);
        run = i == previous + 1 ? run + 1 : 0;
        previous = i;
        if (i > highest) highest = i;
    }
    for (HMENU h : made) DestroyMenu(h);
    return highest - static_cast<long>(made.size());
}

// This process's own menus and windows: a handle whose upper half is zero resolves to the object
// of the asked type in that slot of the process's own table.
long OwnMenus() {
    long n = 0;
    for (uintptr_t h = 0x20; h <= 0xffef; h += 2) n += IsMenu(reinterpret_cast<HMENU>(h)) != FALSE;
    return n;
}

long OwnWindows() {
    long n = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM p) -> BOOL {
            auto* count = reinterpret_cast<long*>(p);
            ++*count;
            EnumChildWindows(
                w, [](HWND, LPARAM q) -> BOOL { return ++*reinterpret_cast<long*>(q), TRUE; }, p);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&n));
    return n;
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

void Report(const char* what, long session0, long session1, long menus0, long menus1, long windows0, long windows1) {
    std::printf("%-28s session table %+5ld   own menus %+4ld   own windows %+4ld\n", what, session1 - session0,
                menus1 - menus0, windows1 - windows0);
}

template <class Round>
void Measure(const char* what, int rounds, Round round) {
    for (int i = 0; i < 3; ++i) round(); // caches fill
    const long s0 = SessionTable(), m0 = OwnMenus(), w0 = OwnWindows();
    for (int i = 0; i < rounds; ++i) round();
    const long s1 = SessionTable(), m1 = OwnMenus(), w1 = OwnWindows();
    Report(what, s0, s1, m0, m1, w0, w1);
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 1000;
    HWND owner = CreateWindowExW(0, L"STATIC", L"probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400, 300, nullptr,
                                 nullptr, nullptr, nullptr);
    HMENU popup = CreatePopupMenu();
    for (const wchar_t* caption : {L"&Cut", L"&Copy", L"&Paste"}) AppendMenuW(popup, MF_STRING, 1, caption);
    Pump();
    std::printf("%d rounds each\n", rounds);
    Measure("popup menus opened, ended", rounds, [&] {
        SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            EndMenu();
        });
        TrackPopupMenu(popup, TPM_RETURNCMD, 200, 200, 0, owner, nullptr);
        Pump();
    });
    Measure("80 child windows made, gone", rounds / 10, [&] {
        HWND host = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 380, 260, owner, nullptr,
                                    nullptr, nullptr);
        for (int i = 0; i < 80; ++i)
            CreateWindowExW(0, i % 2 ? L"BUTTON" : L"SCROLLBAR", L"x", WS_CHILD | WS_VISIBLE, (i % 10) * 30,
                            (i / 10) * 30, 28, 28, host, nullptr, nullptr, nullptr);
        RedrawWindow(owner, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        DestroyWindow(host);
        Pump();
    });
    DestroyMenu(popup);
    DestroyWindow(owner);
    return 0;
}
