#pragma once
// Detects an instruction program that can only repeat itself. Between two
// work commands (search, verification, installation, launches) the program
// depends on nothing but the line and the variables, so a jump that lands on
// a line already landed on, with every variable unchanged, means the program
// loops for ever. Loops around work commands are not judged: they may be
// waiting for the outside world to change.

#include <cstdint>

#include "instructions/VariableStore.h"

namespace nv {

class LoopGuard {
public:
    // Records a jump to line `pc` with `variables` as they are. Returns true
    // when this state was already reached since the last reset (an endless
    // loop is found within about twice its number of jumps).
    bool repeats(std::int32_t pc, const VariableStore& variables);

    // Forgets what was seen; called after each work command.
    void reset();

private:
    struct State {
        std::int32_t pc = -1;
        VariableStore variables;
        bool operator==(const State& other) const { return pc == other.pc && variables == other.variables; }
    };

    // Brent's cycle detection: compare with a snapshot that is renewed
    // after 1, 2, 4, ... steps.
    bool haveSnapshot_ = false;
    State snapshot_;
    std::uint64_t steps_ = 0;
    std::uint64_t period_ = 1;
};

}  // namespace nv
