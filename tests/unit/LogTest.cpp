// The log state is process-wide and the separator line is written once per
// process, so each case logs in a fresh child process (the threadsafe death
// test style starts the test program again) and the parent reads the files.
#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <set>
#include <string>

#include "foundation/Log.h"
#include "tests/support/TestDirectory.h"

namespace {

const char kDirVariable[] = "NV_LOG_TEST_DIR";

// A path of exactly length characters that names dir/name.
std::string paddedPath(const std::string& dir, const std::string& name, std::size_t length) {
    std::string path = dir + "/";
    while (path.size() + 2 + name.size() <= length) path += "./";
    while (path.size() + name.size() < length) path += "/";
    return path + name;
}

class LogTest : public ::testing::Test {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        // The child finds the parent's directory in its inherited environment.
        if (const char* inherited = std::getenv(kDirVariable)) {
            dir_ = inherited;
            return;
        }
        char pattern[] = "/tmp/nv-log-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        setenv(kDirVariable, dir_.c_str(), 1);
    }
    void TearDown() override {
        for (const std::string& name : files()) unlink((dir_ + "/" + name).c_str());
        rmdir(dir_.c_str());
        unsetenv(kDirVariable);
        GTEST_FLAG_SET(death_test_style, "fast");
    }
    std::set<std::string> files() const {
        std::set<std::string> names;
        if (DIR* d = opendir(dir_.c_str())) {
            while (const dirent* e = readdir(d)) {
                if (e->d_name[0] != '.') names.insert(e->d_name);
            }
            closedir(d);
        }
        return names;
    }

    std::string dir_;
};

TEST_F(LogTest, RunLogStartsWithOneSeparatorPerProcess) {
    EXPECT_EXIT(
        {
            nv::setRunLogPath("");
            nv::logEntry("nowhere", nv::LogKind::error);
            nv::setRunLogPath((dir_ + "/missing/run.log").c_str());
            nv::logEntry("lost");
            nv::setRunLogPath((dir_ + "/run.log").c_str());
            nv::logEntry("information");
            nv::logEntry("careful", nv::LogKind::warning);
            nv::logEntry("failed\nsecond line", nv::LogKind::error);
            nv::setRunLogPath((dir_ + "/other.log").c_str());
            nv::logEntry("switched", nv::LogKind::warning);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    // Neither the empty path nor the unwritable one used up the separator.
    EXPECT_EQ(nv::readFile(dir_ + "/run.log"),
              "------------------\ninformation\nWARNING: careful\nERROR: failed\nsecond line\n");
    EXPECT_EQ(nv::readFile(dir_ + "/other.log"), "WARNING: switched\n");
    EXPECT_EQ(files(), (std::set<std::string>{"other.log", "run.log"}));
}

TEST_F(LogTest, DebugLogPathMustFitIn259Characters) {
    EXPECT_EXIT(
        {
            for (std::size_t length : {300u, 260u, 259u}) {
                std::string name = "debug" + std::to_string(length) + ".log";
                setenv("DBGWIN32KVB", paddedPath(dir_, name, length).c_str(), 1);
                nv::startDebugLog();
            }
            nv::debugLog("a", false);
            nv::debugLog("b");
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(nv::readFile(dir_ + "/debug259.log"), "Launcher Started\nab\n");
    EXPECT_EQ(files(), std::set<std::string>{"debug259.log"});
}

}  // namespace
