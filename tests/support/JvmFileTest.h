#pragma once
// The fixture of the tests of JVM files, their checks and their search: a
// run whose temporary files and run log lie in the test's own folder, the
// recording window and pause, and a JVM file's tags with DESC "Test JVM" and
// JVM_EXE bin\java.exe (the test adds what it needs). The run's temporary
// files are removed after the test.

#include <filesystem>
#include <string>

#include "foundation/Log.h"
#include "tagfile/TagFile.h"
#include "tests/support/RecordingPause.h"
#include "tests/support/RecordingProgressUi.h"
#include "tests/support/RunTest.h"
#include "tests/support/TestDirectory.h"

namespace nv {

class JvmFileTestBase : public RunTest {
protected:
    explicit JvmFileTestBase(const char* folderPrefix) : base(folderPrefix) {
        std::filesystem::create_directories(base / "temp");
        settings.tempDirOverride = LauncherString((base / "temp").string() + "/");
        setRunLogPath(LauncherString((base / "run.log").string()));
        tags.setValue("DESC", "Test JVM");
        tags.setValue("JVM_EXE", "bin\\java.exe");
    }
    void TearDown() override { files.cleanUp(pause); }

    // The run log without the once-per-process separator line.
    std::string runLog() const {
        std::string text = readFile(base / "run.log");
        const std::string separator = "------------------\n";
        if (text.compare(0, separator.size(), separator) == 0) text.erase(0, separator.size());
        return text;
    }

    RecordingProgressUi ui;
    RecordingPause pause;
    TestDirectory base;
    TagFile tags;
};

}  // namespace nv
