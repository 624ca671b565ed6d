#pragma once
// The run results that the launcher gives of its own, beside 0 (no failure)
// and the codes that EXIT and the launched programs give.

#include <cstdint>

namespace nv {

// The launcher itself failed: a bad option, an unreadable input or launcher
// file, an action or a launch it could not do. Also the exit code.
constexpr std::int32_t launcherFailureResult = -1;

// The setup wizard's "the user is done": no failure in the wizard modes (0
// and 2) (EndOfRun.h).
constexpr std::int32_t wizardDoneResult = 1000;

}  // namespace nv
