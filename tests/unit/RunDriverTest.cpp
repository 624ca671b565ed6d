// The run driver's option processing, with a recording job and window.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "foundation/LauncherException.h"
#include "foundation/Log.h"
#include "launcher/EndOfRun.h"
#include "launcher/RunDriver.h"
#include "launcher/RunJob.h"
#include "tests/support/RecordingProgressUi.h"
#include "tests/support/RunStateTest.h"
#include "tests/support/TestDirectory.h"

using nv::LauncherString;

namespace {

struct RecordingJob : nv::RunJob {
    std::vector<std::string> calls;
    std::int32_t instructionResult = 0;
    const char* loadFailure = nullptr;
    void extractAll() override { calls.push_back("extract"); }
    nv::InputFileOutcome processInputFile(const LauncherString& value) override {
        calls.push_back("in " + value.str() + " log=" + nv::runLogPath().str());
        return {};
    }
    void loadLauncherFile(bool dispatch) override {
        calls.push_back(dispatch ? "load+dispatch" : "load");
        if (loadFailure)
            throw nv::LauncherException(
                LauncherString(std::string("Unable to load the launcher file index. ") + loadFailure));
    }
    std::int32_t runInstructions() override {
        calls.push_back("run");
        return instructionResult;
    }
};

class RunDriverTest : public nv::RunStateTest {
protected:
    std::int32_t run(std::vector<const char*> args) {
        nv::StringList list;
        for (const char* a : args) list.append(a);
        return nv::runDriver(list, job);
    }
    std::vector<std::string> passThrough() {
        std::vector<std::string> out;
        const nv::StringList& p = nv::runSettings().passThrough;
        for (std::int32_t i = 0; i < p.count(); ++i) out.push_back(p.get(i).str());
        return out;
    }
    nv::RecordingProgressUi ui;
    RecordingJob job;
};

}  // namespace

TEST_F(RunDriverTest, NoArgumentsLoadsWithDispatchAndRunsTheInstructions) {
    job.instructionResult = 42;
    EXPECT_EQ(run({}), 42);
    EXPECT_EQ(job.calls, (std::vector<std::string>{"load+dispatch", "run"}));
    EXPECT_EQ(ui.progress, 100);
}

TEST_F(RunDriverTest, VersionShowsItsNumberUnlessSilentCameFirst) {
    EXPECT_EQ(run({"-nv:version"}), 0);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"2.51"});
    EXPECT_TRUE(job.calls.empty());

    ui.messages.clear();
    run({"-nv:version", "-nv:silent"});
    EXPECT_EQ(ui.messages, std::vector<std::string>{"2.51"});

    ui.messages.clear();
    run({"-nv:silent", "-nv:version"});
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RunDriverTest, MissingValuesAreReportedAndProcessingGoesOn) {
    job.instructionResult = 7;
    EXPECT_EQ(run({"-nv:log"}), 7);  // the instruction result replaces -1
    EXPECT_EQ(ui.messages, std::vector<std::string>{
                               "A log file name must be specified after the -nv:log option on the command line."});

    ui.messages.clear();
    EXPECT_EQ(run({"-nv:in"}), -1);  // no instructions after a missing input file
    EXPECT_EQ(ui.messages,
              std::vector<std::string>{"An input file name must follow the '-nv:in' command line option."});

    ui.messages.clear();
    EXPECT_EQ(run({"-nv:orig"}), 7);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Missing original launcher file name."});
}

TEST_F(RunDriverTest, UnknownArgumentsPassThroughAndSettingsTakeTheirValues) {
    run({"-foo", "bar", "-nv:tempdir", "X", "-silent", "-console", "-cp:p", "P", "-cp:a", "A", "-nv:javahome", "J",
         "-nv:orig", "O"});
    EXPECT_EQ(passThrough(), (std::vector<std::string>{"-foo", "bar", "-silent", "-console"}));
    const nv::RunSettings& s = nv::runSettings();
    EXPECT_EQ(s.tempDirOverride, LauncherString("X"));
    EXPECT_EQ(s.classPathPrefix, LauncherString("P"));
    EXPECT_EQ(s.classPathSuffix, LauncherString("A"));
    EXPECT_EQ(s.userJavaHome, LauncherString("J"));
    EXPECT_EQ(s.originalLauncherPath, LauncherString("O"));
    EXPECT_TRUE(s.originalLauncher);
    EXPECT_TRUE(s.javaConsole);
    EXPECT_TRUE(s.silent);
    EXPECT_EQ(s.allArguments.count(), 14);
}

TEST_F(RunDriverTest, OptionsActWhenMetSoALaterLogDoesNotApplyToTheInputFile) {
    run({"-nv:in", "a.tag", "-nv:log", "x"});
    EXPECT_EQ(job.calls, std::vector<std::string>{"in a.tag log="});
    EXPECT_EQ(nv::runLogPath(), LauncherString("x"));
}

TEST_F(RunDriverTest, TheVerificationLimitIsAMinuteUnlessSecondsAreGiven) {
    run({});
    EXPECT_EQ(nv::runSettings().verificationTimeLimit, 60u);
    run({"-nv:verifylimit", "3"});
    EXPECT_EQ(nv::runSettings().verificationTimeLimit, 3u);
    for (const std::vector<const char*>& args :
         {std::vector<const char*>{"-nv:verifylimit", "0"}, {"-nv:verifylimit", "x"}, {"-nv:verifylimit"}}) {
        ui.messages.clear();
        job.calls.clear();
        EXPECT_EQ(run(args), -1) << args.size();
        EXPECT_EQ(ui.messages, std::vector<std::string>{"-nv:verifylimit needs a number of seconds."});
        EXPECT_TRUE(job.calls.empty());
    }
}

TEST_F(RunDriverTest, AFailureIsShownLoggedAndGivesMinusOne) {
    const nv::TestDirectory dir("nv_driver_");
    const std::string log = (dir / "run.log").string();
    job.loadFailure = "Invalid file type in file index.";
    EXPECT_EQ(run({"-nv:log", log.c_str()}), -1);
    const std::string message = "Unable to load the launcher file index. Invalid file type in file index.";
    EXPECT_EQ(ui.messages, std::vector<std::string>{message});
    const std::string text = nv::readFile(log);
    EXPECT_NE(text.find("ERROR: " + message + "\n"), std::string::npos) << text;
}

TEST(EndOfRun, TheExitCodeIsZeroExactlyWhenTheRunIsNoFailure) {
    const struct {
        std::int32_t result;
        int mode;
        int exitCode;
    } cases[] = {{0, 1, 0},        {0, -1, 0},  {1000, 0, 0}, {1000, 2, 0}, {1000, 1, 1000},
                 {1000, -1, 1000}, {-1, 0, -1}, {3, 2, 3},    {999, 0, 999}};
    for (const auto& c : cases) {
        EXPECT_EQ(nv::exitCodeOf(c.result, c.mode, false), c.exitCode) << c.result << " " << c.mode;
        EXPECT_EQ(nv::isFailedRun(c.result, c.mode), c.exitCode != 0) << c.result << " " << c.mode;
        // EXIT's code stands as it is, the wizard's 1000 too.
        EXPECT_EQ(nv::exitCodeOf(c.result, c.mode, true), c.result) << c.result << " " << c.mode;
    }
}
