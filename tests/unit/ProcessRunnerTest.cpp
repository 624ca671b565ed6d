// The output poll of the process runner against a scripted child, and the
// retry loop that the runner's neighbours share.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "foundation/LauncherException.h"
#include "foundation/Retry.h"
#include "launch/ProcessRunner.h"
#include "tests/support/RecordingPause.h"

using nv::LauncherString;
using nv::OutputStream;

namespace {

// A child that follows a script: each look at it uses up one answer of
// `alive`, and each read takes the next chunk queued for that stream.
struct ScriptedChild : nv::ChildOutput {
    std::deque<bool> alive;
    std::int32_t exitCode = 0;
    std::deque<std::string> output, error;
    std::vector<std::string> calls;

    bool ended(std::int32_t& code) override {
        calls.push_back("look");
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
};

}  // namespace

TEST(ProcessRunner, AQuietChildIsLookedAtOnceThenOneEmptyCycle) {
    ScriptedChild child;
    child.exitCode = 3;
    nv::RecordingPause pause;
    LauncherString out, err;
    EXPECT_EQ(nv::collectOutput(child, &out, &err, pause), 3);
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
    EXPECT_EQ(nv::collectOutput(child, &out, &err, pause), 259);
    EXPECT_EQ(out.str(), "a1a2a3");
    EXPECT_EQ(err.str(), "b1b2");
    // A pause only after a look, a look only after a cycle that read nothing.
    EXPECT_EQ(child.calls, (std::vector<std::string>{"look", "out", "err", "look", "out", "err", "out", "err", "out",
                                                     "err", "look", "out", "err", "out", "err"}));
    EXPECT_EQ(pause.waits, (std::vector<unsigned>{100, 100, 100}));
}

TEST(ProcessRunner, AStreamWithoutSinkIsStillDrained) {
    ScriptedChild child;
    child.output = {"lost", ""};
    child.error = {"kept", ""};
    nv::RecordingPause pause;
    LauncherString err;
    EXPECT_EQ(nv::collectOutput(child, nullptr, &err, pause), 0);
    EXPECT_TRUE(child.output.empty());
    EXPECT_EQ(err.str(), "kept");
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
