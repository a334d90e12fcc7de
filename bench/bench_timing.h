// Timing helpers of the benchmark programs that run under Wine: a millisecond clock and a
// report of the median and best of repeated runs (after one warm-up run), and a message pump.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
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
