// The end-of-test check of the GUI fixtures that run the skin engine: the engine swallows every
// failure at its callback boundaries (the user is shown none), so a test would not see a paint
// or hook that threw unless the count is checked. Header only: for test programs that link the
// skin engine.
#pragma once

#include "skin/draw/swallowed.h"

#include <gtest/gtest.h>

namespace wl::test {

// Expects that the engine swallowed nothing since the last check, then counts afresh (so one
// failing test does not fail the ones after it).
inline void ExpectNoSwallowedFailures() {
    EXPECT_EQ(SwallowedFailureCount(), 0)
        << "the skin engine swallowed failures; the last: " << LastSwallowedFailure();
    ResetSwallowedFailures();
}

} // namespace wl::test
