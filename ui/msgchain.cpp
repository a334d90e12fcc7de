// Dispatch depth and deferred work (see msgchain.h).
#include "ui/msgchain.h"

namespace wl {

TDispatchState::Scope::Scope(std::shared_ptr<TDispatchState> state) : state_(std::move(state)) {
    ++state_->depth_;
}

TDispatchState::Scope::~Scope() {
    if (--state_->depth_ == 0) state_->RunDeferred();
}

void TDispatchState::Defer(std::function<void()> action) {
    if (!action) return;
    if (depth_ == 0) {
        action();
        return;
    }
    deferred_.push_back(std::move(action));
}

void TDispatchState::RunDeferred() {
    // An action may dispatch again (and defer more): take the list first, and count the run as
    // a dispatch so that whatever it defers waits for the run to finish.
    while (!deferred_.empty()) {
        std::vector<std::function<void()>> actions;
        actions.swap(deferred_);
        ++depth_;
        ++runs_;
        for (auto& action : actions) {
            try {
                action();
            } catch (...) {
                // Runs from a destructor on the way out of a window procedure: nothing may
                // escape, and the remaining actions (frees) must still run.
            }
        }
        --runs_;
        --depth_;
    }
}

} // namespace wl
