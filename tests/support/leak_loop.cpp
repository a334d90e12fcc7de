// Leak loops with exact counts (see leak_loop.h).
#include "support/leak_loop.h"

#include "support/gdi_count.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace wl::test {

int LeakCycles() {
    // Ten to twenty painted cycles show a leak of one handle per cycle as surely as a thousand:
    // the counts are exact.
    constexpr int kEveryday = 10;
    if (const char* env = std::getenv("WL_LEAK_CYCLES")) {
        const int n = std::atoi(env);
        if (n > 0) return n;
    }
    return kEveryday;
}

void PaintNow(HWND window) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
}

double ExpectNoLeak(const std::function<void(int)>& cycle, const TLeakLoop& loop) {
    auto one = [&](int i) {
        cycle(i);
        if (loop.Paint && !testing::Test::HasFatalFailure()) loop.Paint();
    };
    for (int i = 0; i < loop.Warmup && !testing::Test::HasFatalFailure(); ++i) one(i);
    if (testing::Test::HasFatalFailure()) return 0;
    // Where GetGuiResources answers (Windows) it gives the USER count; under Wine the process's
    // objects are counted by type, once per side of the loop.
    const bool byTypes = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS) == 0;
    auto userCounts = [byTypes] { return byTypes ? CountUserHandles() : TUserHandleCounts{}; };
    // The session's shared table is only for whoever looks into growth that is not this
    // process's, in the long loops of the soak tier: estimating it costs thousands of handles.
    const bool session = byTypes && std::getenv("WL_LEAK_CYCLES") != nullptr;
    const long gdi = LiveGdiObjects();
    const long windows = LiveUserObjects();
    const TUserHandleCounts types = userCounts();
    const long user = byTypes ? types.Total() : LiveUserHandles();
    const long sessionBefore = session ? SessionUserHandles() : 0;
    const auto start = std::chrono::steady_clock::now();
    int done = 0;
    for (; done < loop.Cycles && !testing::Test::HasFatalFailure(); ++done) one(loop.Warmup + done);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (testing::Test::HasFatalFailure()) return seconds;
    EXPECT_EQ(LiveGdiObjects(), gdi) << "GDI objects over " << done << " cycles";
    EXPECT_EQ(LiveUserObjects(), windows) << "windows over " << done << " cycles";
    const TUserHandleCounts now = userCounts();
    const long grown = (byTypes ? now.Total() : LiveUserHandles()) - user;
    auto byType = [&] {
        return "USER handles over " + std::to_string(done) + " cycles (windows " + std::to_string(types.Windows) +
               " -> " + std::to_string(now.Windows) + ", menus " + std::to_string(types.Menus) + " -> " +
               std::to_string(now.Menus) + ", cursors and icons " + std::to_string(types.Cursors) + " -> " +
               std::to_string(now.Cursors) + ", accelerators " + std::to_string(types.Accelerators) + " -> " +
               std::to_string(now.Accelerators) + ")";
    };
    if (session)
        if (const long sessionGrown = SessionUserHandles() - sessionBefore)
            std::printf("leak loop: the session's USER table moved by %+ld over %d cycles\n", sessionGrown, done);
    EXPECT_LE(grown, loop.UserHandleSlack) << byType();
    EXPECT_GE(grown, -loop.UserHandleSlack) << byType();
    return seconds;
}

} // namespace wl::test
