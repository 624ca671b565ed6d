#include "instructions/LoopGuard.h"

#include <utility>

namespace nv {

bool LoopGuard::repeats(std::int32_t pc, const VariableStore& variables) {
    State now{pc, variables};
    if (haveSnapshot_ && now == snapshot_) return true;
    if (!haveSnapshot_ || ++steps_ == period_) {
        if (haveSnapshot_) period_ *= 2;
        snapshot_ = std::move(now);
        haveSnapshot_ = true;
        steps_ = 0;
    }
    return false;
}

void LoopGuard::reset() {
    haveSnapshot_ = false;
    steps_ = 0;
    period_ = 1;
}

}  // namespace nv
