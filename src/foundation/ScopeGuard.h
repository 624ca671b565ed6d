#pragma once
// Runs a one-off clean-up when the scope ends, however it ends, unless dismissed.

#include <utility>

namespace nv {

// The action must not throw; a guard that must tolerate failures catches them itself.
template <class Action>
class ScopeGuard {
public:
    explicit ScopeGuard(Action action) : action_(std::move(action)) {}
    ~ScopeGuard() {
        if (active_) action_();
    }
    ScopeGuard(const ScopeGuard&) = delete;
    ScopeGuard& operator=(const ScopeGuard&) = delete;

    // The action will not run.
    void dismiss() { active_ = false; }

private:
    Action action_;
    bool active_ = true;
};

}  // namespace nv
