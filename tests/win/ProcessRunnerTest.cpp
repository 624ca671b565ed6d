// The process runner against real children under Windows: the ChildProcess
// test program writes to both pipes and ends with the code it is given.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "foundation/LauncherException.h"
#include "foundation/Messages.h"
#include "launch/ProcessRunner.h"

namespace nv {
namespace {

// The test program beside this one's build tree: <build>\fixtures\ChildProcess.exe.
std::string childProgram() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    dir = dir.substr(0, dir.rfind('\\'));        // <build>\tests
    dir = dir.substr(0, dir.rfind('\\'));        // <build>
    return "\"" + dir + "\\fixtures\\ChildProcess.exe\"";
}

std::string lines(const char* name, unsigned long bytes) {
    std::string text;
    char line[16];
    for (unsigned long n = 1; (n - 1) * 12 < bytes; ++n) {
        std::snprintf(line, sizeof line, "%s %07lu\n", name, n);
        text += line;
    }
    return text;
}

std::int32_t captured(const std::string& arguments, LauncherString& out, LauncherString& err) {
    ProcessRequest request;
    request.commandLine = LauncherString(childProgram() + " " + arguments);
    request.capture = true;
    request.output = &out;
    request.error = &err;
    return runProcess(request);
}

TEST(ProcessRunnerWin, MoreThanAPipeHoldsComesThroughInOrderPerStream) {
    LauncherString out("kept in front:"), err;
    EXPECT_EQ(captured("out 300000 err 200000 exit 7", out, err), 7);
    EXPECT_EQ(out.str(), "kept in front:" + lines("out", 300000));
    EXPECT_EQ(err.str(), lines("err", 200000));
}

TEST(ProcessRunnerWin, ExitCodesAreSigned32BitAnd259IsAnEnd) {
    for (const auto& c : {std::make_pair("exit 259", 259), std::make_pair("exit 4294967295", -1),
                          std::make_pair("exit 2147483648", INT32_MIN)}) {
        LauncherString out, err;
        EXPECT_EQ(captured(c.first, out, err), c.second) << c.first;
        ProcessRequest waited;
        waited.commandLine = LauncherString(childProgram() + " " + c.first);
        EXPECT_EQ(runProcess(waited), c.second) << c.first;
    }
}

TEST(ProcessRunnerWin, WithoutCaptureAndWaitTheResultIs0) {
    ProcessRequest request;
    request.commandLine = LauncherString(childProgram() + " exit 9");
    request.wait = false;
    EXPECT_EQ(runProcess(request), 0);
}

TEST(ProcessRunnerWin, AMissingProgramFailsWithTheSystemsText) {
    for (bool capture : {true, false}) {
        LauncherString out, err;
        ProcessRequest request;
        request.commandLine = "no-such-program-anywhere.exe";
        request.capture = capture;
        request.output = &out;
        request.error = &err;
        try {
            runProcess(request);
            ADD_FAILURE() << "no exception";
        } catch (const LauncherException& e) {
            EXPECT_EQ(e.message().str(),
                      "CreateProcess failed  ==>  " + systemErrorText(ERROR_FILE_NOT_FOUND).str())
                << capture;
        }
    }
}

}  // namespace
}  // namespace nv
