#pragma once
// The fixture of the tests that write a launcher file and work on it: a run,
// the recording window, and a scratch folder whose "out" is the current
// directory while the test lives, with the launcher file setup.exe beside it.

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <vector>

#include "tests/support/LauncherFileBytes.h"
#include "tests/support/RecordingProgressUi.h"
#include "tests/support/RunTest.h"
#include "tests/support/TestDirectory.h"

namespace nv {

class LauncherFileFolderTest : public RunTest {
protected:
    explicit LauncherFileFolderTest(const char* folderPrefix) : dir(folderPrefix) {}
    void SetUp() override {
        previous = std::filesystem::current_path();
        std::filesystem::create_directories(dir / "out");
        std::filesystem::current_path(dir / "out");
    }
    void TearDown() override { std::filesystem::current_path(previous); }

    // Writes setup.exe with `entries` and returns its path.
    LauncherString launcher(const std::vector<TestEntry>& entries, EntryChecksums checksums = EntryChecksums::none,
                            std::size_t overrun = 0) {
        writeFile(dir / "setup.exe", launcherFileBytes(entries, checksums, overrun));
        return LauncherString((dir / "setup.exe").string());
    }

    RecordingProgressUi ui;
    std::filesystem::path previous;
    TestDirectory dir;
};

}  // namespace nv
