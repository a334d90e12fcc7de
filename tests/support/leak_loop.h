// Leak loops: a few warm-up cycles, then counted cycles with the process's GDI objects, its
// windows and the USER handle table compared exactly before and after. The number of counted
// cycles is one setting: a few in the everyday run, many in the soak tier.
#pragma once

#include <windows.h>

#include <functional>

namespace wl::test {

// Counted cycles of a leak loop: WL_LEAK_CYCLES from the environment (the soak tier sets it),
// else a number small enough for every run and large enough that a per-cycle leak shows.
int LeakCycles();

// Repaints a window, its frame and all its children at once, so painting resources are made
// and freed inside the cycle that is being counted.
void PaintNow(HWND window);

struct TLeakLoop {
    int Warmup = 3;
    int Cycles = LeakCycles();
    // Runs after every cycle, warm-up included (usually PaintNow of the window under test).
    std::function<void()> Paint;
    // How many USER handles the session's table may gain over the counted cycles. Zero unless a
    // growth that is not ours is shown and explained where it is allowed.
    long UserHandleSlack = 0;
};

// Runs `cycle(i)` as the loop says and adds a test failure for every count that moved. Stops
// early on a fatal failure inside a cycle. Returns the seconds the counted cycles took.
double ExpectNoLeak(const std::function<void(int)>& cycle, const TLeakLoop& loop = {});

} // namespace wl::test
