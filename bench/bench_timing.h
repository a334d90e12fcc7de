// Timing helpers of the benchmark programs that run under Wine: a millisecond clock and a
// report of the median and best of repeated runs (after one warm-up run).
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
