// The one place where the skin engine swallows exceptions. The engine shows no failure to the
// user: a paint, hook or handler that throws leaves its window as it was. Every callback
// boundary runs its work through SwallowFailures, which catches everything and counts it, so
// tests can tell that nothing failed (the GUI fixtures check the count is 0 after each test).
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace wl {

// Counts one swallowed exception; `what` describes it (the exception's text when it had one).
void NoteSwallowedFailure(const char* what) noexcept;

// Runs `action`. An exception escaping it is caught, counted and dropped: the result is false.
// True when `action` returned normally.
template <class Action> bool SwallowFailures(Action&& action) noexcept {
    try {
        std::forward<Action>(action)();
        return true;
    } catch (const std::exception& e) {
        NoteSwallowedFailure(e.what());
    } catch (...) {
        NoteSwallowedFailure("(not a standard exception)");
    }
    return false;
}

// Exceptions swallowed since the process started or the last reset.
int SwallowedFailureCount() noexcept;
// The description of the last one counted ("" when none was).
std::string LastSwallowedFailure();
// Back to 0 (tests that provoke failures on purpose reset after checking them).
void ResetSwallowedFailures() noexcept;

} // namespace wl
