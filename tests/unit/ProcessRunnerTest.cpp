// The output poll of the process runner against a scripted child, and the
// retry loop that the runner's neighbours share.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "foundation/LauncherException.h"
#include "foundation/ProgressUi.h"
#include "foundation/Retry.h"
#include "foundation/ScopeGuard.h"
#include "launch/ProcessRunner.h"
#include "tests/support/RecordingPause.h"
#include "tests/support/RecordingProgressUi.h"
#include "tests/support/RunTest.h"

using nv::LauncherString;
using nv::OutputStream;

namespace {

// A child that follows a script: each look at it uses up one answer of
// `alive`, and each read takes the next chunk queued for that stream. The
// look numbered cancelAtLook (1-based) stands for the user pressing Cancel.
struct ScriptedChild : nv::ChildOutput {
    std::deque<bool> alive;
    std::int32_t exitCode = 0;
    std::deque<std::string> output, error;
    std::vector<std::string> calls;
    std::size_t cancelAtLook = 0;

    bool ended(std::int32_t& code) override {
        calls.push_back("look");
        if (std::count(calls.begin(), calls.end(), "look") == static_cast<std::ptrdiff_t>(cancelAtLook))
            nv::requestCancel();
        const bool running = !alive.empty() && alive.front();
        if (!alive.empty()) alive.pop_front();
        if (running) return false;
        code = exitCode;
        return true;
    }
    std::uint32_t readWaiting(OutputStream stream, LauncherString& sink) override {
        std::deque<std::string>& queue = stream == OutputStream::output ? output : error;
        calls.push_back(stream == OutputStream::output ? "out" : "err");
        if (queue.empty() || queue.front().empty()) {
            if (!queue.empty()) queue.pop_front();
            return 0;
        }
        const std::string chunk = queue.front();
        queue.pop_front();
        sink.append(LauncherString(chunk));
        return static_cast<std::uint32_t>(chunk.size());
    }
    void end() override { calls.push_back("end"); }
};

std::int32_t collect(ScriptedChild& child, LauncherString* out, LauncherString* err, nv::Pause& pause,
                     unsigned timeLimit = 0) {
    nv::ProcessRequest request;
    request.commandLine = "\"C:\\jdk 1\\bin\\java.exe\" -cp x Verify";
    request.output = out;
    request.error = err;
    request.timeLimit = timeLimit;
    return nv::collectOutput(child, request, pause);
}

}  // namespace

TEST(ProcessRunner, AQuietChildIsLookedAtOnceThenOneEmptyCycle) {
    ScriptedChild child;
    child.exitCode = 3;
    nv::RecordingPause pause;
    LauncherString out, err;
    EXPECT_EQ(collect(child, &out, &err, pause), 3);
    EXPECT_EQ(child.calls, (std::vector<std::string>{"look", "out", "err"}));
    EXPECT_EQ(pause.waits, std::vector<unsigned>{100});
}

TEST(ProcessRunner, FlowingOutputIsReadWithoutPausesAndDrainedAfterTheEnd) {
    ScriptedChild child;
    child.alive = {true, true, false};
    child.exitCode = 259;  // the value that would mean "still active": the end is known from the process
    child.output = {"", "a1", "a2", "", "a3", ""};
    child.error = {"", "b1", "", "", "b2", ""};
    nv::RecordingPause pause;
    LauncherString out, err;
    EXPECT_EQ(collect(child, &out, &err, pause), 259);
    EXPECT_EQ(out.str(), "a1a2a3");
    EXPECT_EQ(err.str(), "b1b2");
    // A pause only after a look, a look only after a cycle that read nothing.
    EXPECT_EQ(child.calls, (std::vector<std::string>{"look", "out", "err", "look", "out", "err", "out", "err", "out",
                                                     "err", "look", "out", "err", "out", "err"}));
    EXPECT_EQ(pause.waits, (std::vector<unsigned>{100, 100, 100}));
}

// The bar moves while a child writes: one step for each read that took
// output, from either stream, with or without a sink; none for empty reads.
class ProcessRunnerProgress : public nv::RunTest {};

TEST_F(ProcessRunnerProgress, EachReadThatTookOutputStepsTheBarOnce) {
    nv::RecordingProgressUi ui;
    ScriptedChild child;
    child.alive = {true, false};
    child.output = {"", "a1", "a2", "", ""};
    child.error = {"", "b1", "", "b2", ""};
    nv::RecordingPause pause;
    LauncherString err;
    EXPECT_EQ(collect(child, nullptr, &err, pause), 0);
    EXPECT_EQ(err.str(), "b1b2");
    EXPECT_EQ(ui.steps, (std::vector<unsigned>{1, 1, 1, 1}));
}

TEST(ProcessRunner, AStreamWithoutSinkIsStillDrained) {
    ScriptedChild child;
    child.output = {"lost", ""};
    child.error = {"kept", ""};
    nv::RecordingPause pause;
    LauncherString err;
    EXPECT_EQ(collect(child, nullptr, &err, pause), 0);
    EXPECT_TRUE(child.output.empty());
    EXPECT_EQ(err.str(), "kept");
}

// A limited child that is still running is ended when the limit has passed
// or the user has cancelled, and the failure names the program; an
// unlimited one (an installer, the launched program) runs on through both.
TEST(ProcessRunner, ALimitedChildIsEndedOnItsLimitOrOnCancel) {
    const struct Case {
        const char* name;
        unsigned timeLimit;
        std::size_t cancelAtLook;
        std::size_t looksAlive;  // then the child ends with 5
        const char* failure;     // null: collected to the end
        std::size_t pauses;
    } cases[] = {
        {"quiet past the limit", 2, 0, 1000, "C:\\jdk 1\\bin\\java.exe did not end within 2 seconds.", 20},
        {"ends just in time", 2, 0, 19, nullptr, 20},
        {"cancelled", 60, 3, 1000, "C:\\jdk 1\\bin\\java.exe was ended: the run was cancelled.", 3},
        {"no limit: runs past a minute, cancel or not", 0, 3, 1000, nullptr, 1001},
    };
    for (const Case& c : cases) {
        nv::ScopeGuard clear([] { nv::clearCancelRequest(); });
        ScriptedChild child;
        child.alive = std::deque<bool>(c.looksAlive, true);
        child.exitCode = 5;
        child.cancelAtLook = c.cancelAtLook;
        nv::RecordingPause pause;
        LauncherString out, err;
        try {
            EXPECT_EQ(collect(child, &out, &err, pause, c.timeLimit), 5) << c.name;
            EXPECT_EQ(c.failure, nullptr) << c.name;
            EXPECT_EQ(std::count(child.calls.begin(), child.calls.end(), "end"), 0) << c.name;
        } catch (const nv::ChildProcessFailure& e) {
            ASSERT_NE(c.failure, nullptr) << c.name << ": " << e.message().str();
            EXPECT_EQ(e.message().str(), c.failure) << c.name;
            EXPECT_EQ(child.calls.back(), "end") << c.name;  // ended before anything else
        }
        EXPECT_EQ(pause.waits, std::vector<unsigned>(c.pauses, 100u)) << c.name;
    }
}

// Output that never stops keeps the poll from pausing; it is given up all
// the same, each cycle that read counting as a millisecond.
TEST(ProcessRunner, AChildThatNeverStopsWritingIsGivenUpToo) {
    ScriptedChild child;
    child.alive = std::deque<bool>(10, true);
    child.output = std::deque<std::string>(5000, "x");
    nv::RecordingPause pause;
    LauncherString out, err;
    EXPECT_THROW(collect(child, &out, &err, pause, 1), nv::ChildProcessFailure);
    EXPECT_EQ(pause.waits, std::vector<unsigned>{100});
    EXPECT_EQ(out.length(), 901u);  // one read after the first look's 100 ms, then 900 more
    EXPECT_EQ(child.calls.back(), "end");
}

// A process that the child started may hold its pipes and write on without
// a pause: the drain after the child's end stops past what a pipe holds.
TEST(ProcessRunner, TheDrainAfterTheEndStopsPastWhatAPipeHolds) {
    ScriptedChild child;
    child.output = std::deque<std::string>(1000, std::string(4096, 'x'));
    nv::RecordingPause pause;
    LauncherString out, err;
    EXPECT_EQ(collect(child, &out, &err, pause), 0);
    EXPECT_EQ(out.length(), nv::drainLimit + 4096);
    EXPECT_EQ(pause.waits, std::vector<unsigned>{100});
}

TEST(ProcessRunner, TheProgramIsTheCommandLinesFirstArgument) {
    const struct {
        const char* commandLine;
        const char* program;
    } cases[] = {{"\"C:\\a b\\java.exe\" -cp x", "C:\\a b\\java.exe"},
                 {"C:\\jdk\\java.exe\t-version", "C:\\jdk\\java.exe"},
                 {"java.exe", "java.exe"},
                 {"\"unclosed quote", "unclosed quote"}};
    for (const auto& c : cases) EXPECT_EQ(nv::programOf(c.commandLine).str(), c.program) << c.commandLine;
}

TEST(ProcessRunner, ACommandLineWindowsWouldRefuseIsRefusedFirst) {
    const struct {
        std::string commandLine;
        const char* message;
    } cases[] = {{"", "There is no command to run."},
                 {std::string(40000, 'x'), "The command is 40000 characters long; Windows allows 32,767."},
                 {std::string(32767, 'x'), "The command is 32767 characters long; Windows allows 32,767."}};
    for (const auto& c : cases) {
        try {
            nv::checkCommandLine(nv::LauncherString(c.commandLine));
            ADD_FAILURE() << c.commandLine.size();
        } catch (const nv::LauncherException& e) {
            EXPECT_EQ(e.message().str(), c.message);
        }
    }
    nv::checkCommandLine(nv::LauncherString(std::string(32766, 'x')));
}

TEST(Retry, StopsWhenDoneOrAtTheBound) {
    struct Case {
        unsigned succeedsAt;  // 0: never
        unsigned tries;
        bool done;
        unsigned calls;
    } cases[] = {{1, 5, true, 1}, {3, 5, true, 3}, {5, 5, true, 5}, {0, 5, false, 5}, {0, 1, false, 1}};
    for (const Case& c : cases) {
        nv::RecordingPause pause;
        unsigned calls = 0;
        const bool done = nv::retry([&] { return ++calls != c.succeedsAt; }, c.tries, 50, pause);
        EXPECT_EQ(done, c.done) << c.succeedsAt << "/" << c.tries;
        EXPECT_EQ(calls, c.calls);
        EXPECT_EQ(pause.waits, std::vector<unsigned>(c.calls - 1, 50u));
    }
}
