#pragma once
// The fixture of tests that work inside a run: each test has a run of its
// own (settings, temporary files, what the run keeps for its end), and the
// process's run log and window state start afresh before the test and again
// after it, so that no test sees what another left behind. What stays with
// the process (the installed window, the debug log, the Windows family) a
// test that sets it puts back itself.

#include <gtest/gtest.h>

#include "foundation/Log.h"
#include "foundation/ProgressUi.h"
#include "jvm/JvmVerification.h"
#include "launcher/Run.h"

namespace nv {

class RunTest : public ::testing::Test {
protected:
    RunTest() { startProcessState(); }
    ~RunTest() override { startProcessState(); }

    nv::Run run;
    RunSettings& settings = run.settings;
    TemporaryFiles& files = run.files;
    JvmVerifier jvmVerifier{settings, files};  // proves candidates by running the verification class

private:
    static void startProcessState() {
        setRunLogPath(LauncherString());
        startProgressAfresh();
    }
};

}  // namespace nv
