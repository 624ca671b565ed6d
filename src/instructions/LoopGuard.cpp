#include "instructions/LoopGuard.h"

#include <utility>

#include "instructions/VariableStore.h"

namespace nv {

bool LoopGuard::State::operator==(const State& other) const {
    if (pc != other.pc) return false;
    for (int i = 0; i < 5; ++i) {
        if (numbers[i] != other.numbers[i]) return false;
    }
    for (int i = 0; i < 10; ++i) {
        if (strings[i] != other.strings[i]) return false;
    }
    return true;
}

LoopGuard::State LoopGuard::capture(std::int32_t pc) {
    State state;
    state.pc = pc;
    for (int i = 0; i < 5; ++i) state.numbers[i] = numberVariable(i + 1);
    for (int i = 0; i < 10; ++i) state.strings[i] = stringVariable(i + 1);
    return state;
}

bool LoopGuard::repeats(std::int32_t pc) {
    State now = capture(pc);
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
