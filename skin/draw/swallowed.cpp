// The swallowed-failure counter (see swallowed.h). Engine callbacks all run on the
// user-interface thread, but the count is atomic and the text locked so a hook on another
// thread cannot tear them.
#include "skin/draw/swallowed.h"

#include <atomic>
#include <exception>
#include <mutex>

namespace wl {
namespace {

std::atomic<int> g_count{0};

struct LastFailure {
    std::mutex lock;
    std::string text;
};

LastFailure& Last() {
    static LastFailure last;
    return last;
}

} // namespace

void NoteSwallowedFailure(const char* what) noexcept {
    g_count.fetch_add(1, std::memory_order_relaxed);
    try {
        LastFailure& last = Last();
        std::lock_guard<std::mutex> guard(last.lock);
        last.text = what ? what : "";
    } catch (const std::exception&) {
        // Out of memory for the text: the count alone still tells.
    }
}

int SwallowedFailureCount() noexcept {
    return g_count.load(std::memory_order_relaxed);
}

std::string LastSwallowedFailure() {
    LastFailure& last = Last();
    std::lock_guard<std::mutex> guard(last.lock);
    return g_count.load(std::memory_order_relaxed) ? last.text : std::string();
}

void ResetSwallowedFailures() noexcept {
    g_count.store(0, std::memory_order_relaxed);
}

} // namespace wl
