#pragma once
// The fixture of tests that use the process-wide run state (settings, logs,
// clean-up list, status line, cancel request, variables, ...): the state is
// reset before the test and again after it, so that no test sees what
// another left behind. What the reset keeps (the installed window, the
// debug log, the Windows family) a test that sets it puts back itself.

#include <gtest/gtest.h>

#include "foundation/RunState.h"

namespace nv {

class RunStateTest : public ::testing::Test {
protected:
    RunStateTest() { resetRunState(); }
    ~RunStateTest() override { resetRunState(); }
};

}  // namespace nv
