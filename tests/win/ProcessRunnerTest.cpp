// The process runner against real children under Windows: the ChildProcess
// test program writes to both pipes and ends with the code it is given.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "foundation/LauncherException.h"
#include "foundation/ResourceText.h"
#include "foundation/win32/Handles.h"
#include "launch/ProcessRunner.h"
#include "tests/support/TestDirectory.h"

namespace nv {
namespace {

// The test program beside this one's build tree: <build>\fixtures\ChildProcess.exe.
std::string childProgram() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    dir = dir.substr(0, dir.rfind('\\'));  // <build>\tests
    dir = dir.substr(0, dir.rfind('\\'));  // <build>
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

// A captured child gets its own ends of the pipes, and not a handle that the
// launcher holds as inheritable for a reason of its own.
TEST(ProcessRunnerWin, ACapturedChildInheritsNoOtherHandle) {
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    const KernelHandle event(CreateEventA(&inheritable, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event.valid());
    const std::string value = std::to_string(reinterpret_cast<ULONG_PTR>(event.get()));
    LauncherString out, err;
    EXPECT_EQ(captured("signal " + value + " out 12", out, err), 0);
    EXPECT_EQ(out.str(), "not signalled\r\n" + lines("out", 12));
    EXPECT_EQ(WaitForSingleObject(event.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

// A program that cannot be started is the child's failure, told apart from
// the runner's own; the system's text names the program where it has an insert.
TEST(ProcessRunnerWin, AProgramThatCannotStartFailsWithTheSystemsText) {
    const TestDirectory directory("nv_runner_");
    const std::string text = (directory / "nv-not-a-program.exe").string();
    writeFile(text, "not a program\r\n");
    const struct {
        std::string commandLine;
        std::string program;
        DWORD error;
    } cases[] = {{"no-such-program-anywhere.exe -x", "no-such-program-anywhere.exe", ERROR_FILE_NOT_FOUND},
                 {"\"" + text + "\" -x", text, ERROR_BAD_EXE_FORMAT}};
    for (const auto& c : cases) {
        for (bool capture : {true, false}) {
            LauncherString out, err;
            ProcessRequest request;
            request.commandLine = LauncherString(c.commandLine);
            request.capture = capture;
            request.output = &out;
            request.error = &err;
            try {
                runProcess(request);
                ADD_FAILURE() << "no exception";
            } catch (const ChildProcessFailure& e) {
                EXPECT_EQ(e.message().str(),
                          "CreateProcess failed  ==>  " + systemErrorText(c.error, LauncherString(c.program)).str())
                    << c.commandLine << capture;
                EXPECT_EQ(e.message().find("%1"), LauncherString::npos) << e.message().str();
            }
        }
    }
}

// A child past its limit is ended at once: the file it holds without sharing
// can be deleted as soon as the runner has given it up.
TEST(ProcessRunnerWin, AChildPastItsLimitIsEnded) {
    const TestDirectory directory("nv_runner_");
    const std::string held = (directory / "nv-held-by-child.txt").string();
    writeFile(held, "");
    LauncherString out, err;
    ProcessRequest request;
    request.commandLine = LauncherString(childProgram() + " hold \"" + held + "\" 600000");
    request.capture = true;
    request.output = &out;
    request.error = &err;
    request.timeLimit = 1;
    try {
        runProcess(request);
        ADD_FAILURE() << "no exception";
    } catch (const ChildProcessFailure& e) {
        EXPECT_EQ(e.message().str(), programOf(request.commandLine).str() + " did not end within 1 seconds.");
    }
    EXPECT_TRUE(DeleteFileA(held.c_str())) << GetLastError();
}

}  // namespace
}  // namespace nv
