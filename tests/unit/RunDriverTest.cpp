// The run driver's option processing, with a recording job and window.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "foundation/LauncherException.h"
#include "foundation/Log.h"
#include "foundation/Messages.h"
#include "jvm/JvmFile.h"
#include "jvm/JvmSearch.h"
#include "launch/LauncherPayload.h"
#include "launcher/EndOfRun.h"
#include "launcher/JvmSearchActions.h"
#include "tagfile/TagFile.h"
#include "launcher/RunDriver.h"
#include "launcher/RunJob.h"
#include "tests/support/RecordingPause.h"
#include "tests/support/RecordingProgressUi.h"
#include "tests/support/RunTest.h"
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
    void loadLauncherFile(nv::Dispatch dispatch) override {
        calls.push_back(dispatch == nv::Dispatch::yes ? "load+dispatch" : "load");
        if (loadFailure)
            throw nv::LauncherException(
                LauncherString(std::string("Unable to load the launcher file index. ") + loadFailure));
    }
    nv::ProgramOutcome runInstructions() override {
        calls.push_back("run");
        return {program ? program() : instructionResult, false};
    }
    std::function<std::int32_t()> program;  // runs in place of the instructions when set
};

// A launcher file whose verification class the search already has.
struct NoPayload : nv::LauncherPayload {
    nv::StringList extractType(std::uint8_t, const LauncherString&) override { return {}; }
    int modeByte() const override { return 1; }
};

class RunDriverTest : public nv::RunTest {
protected:
    std::int32_t drive(std::vector<const char*> args) {
        nv::StringList list;
        for (const char* a : args) list.append(a);
        return nv::runDriver(run, list, job).result;
    }
    std::vector<std::string> passThrough() {
        std::vector<std::string> out;
        const nv::StringList& p = settings.passThrough;
        for (std::int32_t i = 0; i < p.count(); ++i) out.push_back(p.get(i).str());
        return out;
    }
    nv::RecordingProgressUi ui;
    nv::RecordingPause pause;
    RecordingJob job;
};

}  // namespace

TEST_F(RunDriverTest, NoArgumentsLoadsWithDispatchAndRunsTheInstructions) {
    job.instructionResult = 42;
    EXPECT_EQ(drive({}), 42);
    EXPECT_EQ(job.calls, (std::vector<std::string>{"load+dispatch", "run"}));
    EXPECT_EQ(ui.progress, 100);
}

TEST_F(RunDriverTest, VersionShowsItsNumberUnlessSilentCameFirst) {
    EXPECT_EQ(drive({"-nv:version"}), 0);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"2.51"});
    EXPECT_TRUE(job.calls.empty());

    ui.messages.clear();
    drive({"-nv:version", "-nv:silent"});
    EXPECT_EQ(ui.messages, std::vector<std::string>{"2.51"});

    ui.messages.clear();
    drive({"-nv:silent", "-nv:version"});
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RunDriverTest, MissingValuesAreReportedAndProcessingGoesOn) {
    job.instructionResult = 7;
    EXPECT_EQ(drive({"-nv:log"}), 7);  // the instruction result replaces -1
    EXPECT_EQ(ui.messages, std::vector<std::string>{
                               "A log file name must be specified after the -nv:log option on the command line."});

    ui.messages.clear();
    EXPECT_EQ(drive({"-nv:in"}), -1);  // no instructions after a missing input file
    EXPECT_EQ(ui.messages,
              std::vector<std::string>{"An input file name must follow the '-nv:in' command line option."});

    ui.messages.clear();
    EXPECT_EQ(drive({"-nv:orig"}), 7);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Missing original launcher file name."});
}

TEST_F(RunDriverTest, UnknownArgumentsPassThroughAndSettingsTakeTheirValues) {
    drive({"-foo", "bar", "-nv:tempdir", "X", "-silent", "-console", "-cp:p", "P", "-cp:a", "A", "-nv:javahome", "J",
           "-nv:orig", "O"});
    EXPECT_EQ(passThrough(), (std::vector<std::string>{"-foo", "bar", "-silent", "-console"}));
    const nv::RunSettings& s = settings;
    EXPECT_EQ(s.tempDirOverride, LauncherString("X"));
    EXPECT_EQ(s.classPathPrefix, LauncherString("P"));
    EXPECT_EQ(s.classPathSuffix, LauncherString("A"));
    EXPECT_EQ(s.userJavaHome, LauncherString("J"));
    EXPECT_EQ(s.originalLauncherPath, LauncherString("O"));
    EXPECT_TRUE(s.originalLauncher);
    EXPECT_TRUE(s.javaConsole);
    EXPECT_TRUE(nv::isSilent());
    EXPECT_EQ(s.allArguments.count(), 14);
}

TEST_F(RunDriverTest, OptionsActWhenMetSoALaterLogDoesNotApplyToTheInputFile) {
    drive({"-nv:in", "a.tag", "-nv:log", "x"});
    EXPECT_EQ(job.calls, std::vector<std::string>{"in a.tag log="});
    EXPECT_EQ(nv::runLogPath(), LauncherString("x"));
}

TEST_F(RunDriverTest, TheVerificationLimitIsAMinuteUnlessSecondsAreGiven) {
    drive({});
    EXPECT_EQ(settings.verificationTimeLimit, 60u);
    drive({"-nv:verifylimit", "3"});
    EXPECT_EQ(settings.verificationTimeLimit, 3u);
    for (const std::vector<const char*>& args :
         {std::vector<const char*>{"-nv:verifylimit", "0"}, {"-nv:verifylimit", "x"}, {"-nv:verifylimit"}}) {
        ui.messages.clear();
        job.calls.clear();
        EXPECT_EQ(drive(args), -1) << args.size();
        EXPECT_EQ(ui.messages, std::vector<std::string>{"-nv:verifylimit needs a number of seconds."});
        EXPECT_TRUE(job.calls.empty());
    }
}

TEST_F(RunDriverTest, AFailureIsShownLoggedAndGivesMinusOne) {
    const nv::TestDirectory dir("nv_driver_");
    const std::string log = (dir / "run.log").string();
    job.loadFailure = "Invalid file type in file index.";
    EXPECT_EQ(drive({"-nv:log", log.c_str()}), -1);
    const std::string message = "Unable to load the launcher file index. Invalid file type in file index.";
    EXPECT_EQ(ui.messages, std::vector<std::string>{message});
    const std::string text = nv::readFile(log);
    EXPECT_NE(text.find("ERROR: " + message + "\n"), std::string::npos) << text;
}

// FIND_JVM that fails on a hive the launcher does not know: an error line
// with the advice, a box only when the program asked for one (and then the
// driver's own box as well), and a failed run either way.
TEST_F(RunDriverTest, ASearchFailureShowsABoxOnlyWhenTheProgramAskedForOne) {
    const nv::TestDirectory dir("nv_driver_");
    const std::string log = (dir / "run.log").string();
    nv::TagFile tags;
    tags.setValue("DESC", "Java");
    tags.setValue("JVM_EXE", "bin\\java.exe");
    tags.setValue("JVM_PROPERTIES", "java.vendor=X");
    tags.setValue("PLATFORM_HINT", "\\HKLM\\SOFTWARE\\X\\JavaHome");
    nv::JvmSearch search{settings, files};
    search.jvmFiles().append(std::make_unique<nv::JvmFile>(tags, settings, jvmVerifier));
    search.verifyClassPath = "verify.jar";
    NoPayload payload;
    const std::string invalid = "Invalid hive (HKLM) specified in platform hint (\\HKLM\\SOFTWARE\\X\\JavaHome).";
    const std::string advised = nv::messageText(nv::MessageCode::noSuitableJvm).str() + " " + invalid;
    for (const bool showFailure : {false, true}) {
        SCOPED_TRACE(showFailure);
        ui.messages.clear();
        std::remove(log.c_str());
        job.program = [&] {
            nv::findJvm(search, payload, false, showFailure, run);
            return 0;
        };
        EXPECT_EQ(drive({"-nv:log", log.c_str()}), -1);
        const std::vector<std::string> boxes = {advised, invalid};
        EXPECT_EQ(ui.messages, showFailure ? boxes : std::vector<std::string>());
        const std::string text = nv::readFile(log);
        EXPECT_NE(text.find("ERROR: " + advised + "\n"), std::string::npos) << text;
        EXPECT_NE(text.find("ERROR: " + invalid + "\n"), std::string::npos) << text;
    }
}

// A search that finds nothing tells the user to give a Java home at once
// only in its box; otherwise the log gets the advice only if the run fails.
TEST_F(RunDriverTest, TheAdviceToNameAJavaHomeIsLoggedOnlyForAFailedRun) {
    const nv::TestDirectory dir("nv_driver_");
    const std::string log = (dir / "run.log").string();
    const std::string advice = nv::messageText(nv::MessageCode::noSuitableJvm).str();
    nv::JvmSearch search{settings, files};  // no JVM file: nothing to find
    search.verifyClassPath = "verify.jar";
    NoPayload payload;
    const struct {
        bool showFailure;
        int exitCode;
        const char* notFound;  // the search's own line
        int advices;           // lines with the advice in the whole log
    } cases[] = {{false, 0, "No suitable JVM was found.", 0},
                 {false, 3, "No suitable JVM was found.", 1},
                 {false, -1, "No suitable JVM was found.", 1},
                 {true, 0, "A suitable JVM could not be found.", 1},
                 {true, 3, "A suitable JVM could not be found.", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.showFailure) + " " + std::to_string(c.exitCode));
        ui.messages.clear();
        std::remove(log.c_str());
        job.program = [&] {
            EXPECT_FALSE(nv::findJvm(search, payload, false, c.showFailure, run).found);
            return c.exitCode;
        };
        const std::int32_t result = drive({"-nv:log", log.c_str()});
        nv::finishRun(run, {result, false}, 1, pause);
        const std::vector<std::string> box = {advice};
        EXPECT_EQ(ui.messages, c.showFailure ? box : std::vector<std::string>());
        const std::string text = nv::readFile(log);
        EXPECT_NE(text.find("\n" + std::string(c.notFound)), std::string::npos) << text;
        int advices = 0;
        for (auto at = text.find(advice); at != std::string::npos; at = text.find(advice, at + 1)) ++advices;
        EXPECT_EQ(advices, c.advices) << text;
        if (c.advices == 1 && !c.showFailure) {
            EXPECT_EQ(text.substr(text.size() - advice.size() - 1), advice + "\n");  // at the end of the run
        }
    }
    // A run without a search that found nothing gets no advice.
    std::remove(log.c_str());
    job.program = [] { return 3; };
    nv::finishRun(run, {drive({"-nv:log", log.c_str()}), false}, 1, pause);
    EXPECT_EQ(nv::readFile(log).find(advice), std::string::npos);
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

// The end of a run, as the worker ends it, without Windows: the exit code, the
// launched program's error output for a failed run, and nothing of the run's
// temporary files left behind, whichever way the run ended.
TEST_F(RunDriverTest, FinishRunGivesTheExitCodeShowsTheErrorOutputOfAFailedRunAndCleansUp) {
    const nv::TestDirectory dir("nv_finish_");
    settings.tempDirOverride = LauncherString(dir.path().string());
    const struct {
        nv::ProgramOutcome outcome;
        int modeByte;
        int exitCode;
        bool shown;
    } cases[] = {
        {{0, false}, 1, 0, false},     // done
        {{1000, false}, 0, 0, false},  // the wizard's own end
        {{3, false}, 1, 3, true},      // the launched program failed
        {{0, true}, 1, 0, false},      // EXIT 0
        {{7, true}, 0, 7, true},       // EXIT's code stands as it is
        {{-1, false}, -1, -1, true},   // the launcher's own failure
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.outcome.result) + " " + std::to_string(c.outcome.exited));
        ui.messages.clear();
        const LauncherString made = files.createDirectory(pause);
        const LauncherString file = files.createFile();
        run.lastLaunchErrorOutput = "Exception in thread main";
        EXPECT_EQ(nv::finishRun(run, c.outcome, c.modeByte, pause), c.exitCode);
        EXPECT_EQ(ui.messages,
                  c.shown ? std::vector<std::string>{"Exception in thread main"} : std::vector<std::string>());
        EXPECT_FALSE(std::filesystem::exists(made.str()));
        EXPECT_FALSE(std::filesystem::exists(file.str()));
        EXPECT_EQ(files.list().directories().count() + files.list().files().count(), 0);
    }
}
