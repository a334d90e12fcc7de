// Timing helpers of the benchmark programs that run under Wine: a millisecond clock and a
// report of the median and best of repeated runs (after one warm-up run), and a message pump.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace wl::bench {

inline double NowMs() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

// Median and best of a set of timings (0 for none).
inline double Median(std::vector<double> t) {
    std::sort(t.begin(), t.end());
    return t.empty() ? 0 : t[t.size() / 2];
}
inline double Best(const std::vector<double>& t) { return t.empty() ? 0 : *std::min_element(t.begin(), t.end()); }

// Handles every message waiting in this thread's queue.
inline void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

namespace detail {
struct WindowSearch {
    DWORD pid;
    const std::function<bool(HWND)>* accept;
    HWND found;
};
inline BOOL CALLBACK TakeShownWindow(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<WindowSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner != s->pid || !IsWindowVisible(h) || !(*s->accept)(h)) return TRUE;
    s->found = h;
    return FALSE;
}
} // namespace detail

// The first visible top-level window of process `pid` that `accept` takes; null when none.
inline HWND FindShownWindow(DWORD pid, const std::function<bool(HWND)>& accept) {
    detail::WindowSearch search{pid, &accept, nullptr};
    EnumWindows(detail::TakeShownWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline std::string ClassOf(HWND h) {
    char name[64] = {};
    GetClassNameA(h, name, sizeof name);
    return name;
}

// Whether the window answers `question` with 1 (a skinned window answers SKM_ISSKINNED so).
inline bool AnswersOne(HWND h, UINT question) {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(h, question, 0, 0, SMTO_ABORTIFHUNG, 200, &answer) && answer == 1;
}

inline void Report(const char* what, int runs, const std::function<void()>& body) {
    body(); // warm up (first-use allocations, font and DC caches)
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        const double start = NowMs();
        body();
        t.push_back(NowMs() - start);
    }
    std::sort(t.begin(), t.end());
    std::printf("%-44s median %8.3f ms   best %8.3f ms   (%d runs)\n", what, t[t.size() / 2],
                t.front(), runs);
}

} // namespace wl::bench
