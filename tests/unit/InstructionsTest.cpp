#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "foundation/LauncherException.h"
#include "foundation/Log.h"
#include "instructions/Instructions.h"
#include "instructions/VariableStore.h"
#include "tagfile/TagFile.h"
#include "tests/support/RecordingProgressUi.h"
#include "tests/support/RunTest.h"
#include "tests/support/TestDirectory.h"

namespace nv {
namespace {

// Records each call with the variables as the command left them before
// calling, and answers with the configured outcomes.
class FakeWork : public CommandWork {
public:
    std::vector<std::string> calls;
    FoundJvm found;
    int findsBeforeFound = 0;  // findJvm fails this many times, then answers `found`
    VerifiedJvm verified;
    InstalledJvm installed;
    std::vector<std::int32_t> launchResults{42};
    const VariableStore* variables = nullptr;  // the running program's

    FoundJvm findJvm(bool showProgress, bool showFailure) override {
        record("FIND " + flag(showProgress) + flag(showFailure));
        return findsBeforeFound-- > 0 ? FoundJvm() : found;
    }
    VerifiedJvm verifyJvm(bool showProgress, bool showFailure, std::int32_t id) override {
        record("VERIFY " + flag(showProgress) + flag(showFailure) + " " + std::to_string(id));
        return verified;
    }
    InstalledJvm installJvm(InstallMode mode) override {
        record("INSTALL " + std::to_string(static_cast<int>(mode)));
        return installed;
    }
    std::int32_t launch(const LauncherString& jvmFilePath, std::int16_t seconds) override {
        record("LAUNCH [" + jvmFilePath.str() + "] " + std::to_string(seconds));
        return nextResult();
    }
    std::int32_t launchEmbedded(std::int32_t id, std::int16_t seconds) override {
        record("ILAUNCH " + std::to_string(id) + " " + std::to_string(seconds));
        return nextResult();
    }
    void executeLauncher(std::int32_t position) override { record("EXECUTE " + std::to_string(position)); }

private:
    static std::string flag(bool b) { return b ? "1" : "0"; }
    void record(const std::string& call) {
        calls.push_back(call + " | N1=" + std::to_string(variables->number(1)) + " S1=" + variables->string(1).str() +
                        " S2=" + variables->string(2).str());
    }
    std::int32_t nextResult() {
        const std::int32_t r = launchResults.front();
        if (launchResults.size() > 1) launchResults.erase(launchResults.begin());
        return r;
    }
};

StringList linesOf(std::initializer_list<const char*> lines) {
    StringList list;
    for (const char* line : lines) list.append(line);
    return list;
}

// The result as text, or the message of the LauncherException that ended
// the run. The program starts with `variables` and leaves its own in them;
// `exited` tells whether EXIT ended it.
std::string runOutcome(std::initializer_list<const char*> lines, CommandWork& work, VariableStore& variables,
                       bool& exited, const VariableStore** running = nullptr) {
    Instructions program(linesOf(lines));
    program.variables() = variables;
    if (running) *running = &program.variables();
    exited = false;
    try {
        const ProgramOutcome outcome = program.run(work);
        exited = outcome.exited;
        variables = program.variables();
        return std::to_string(outcome.result);
    } catch (const LauncherException& e) {
        variables = program.variables();
        return e.message().str();
    }
}

class InstructionsRun : public RunTest {
protected:
    std::string run(std::initializer_list<const char*> lines) {
        return runOutcome(lines, work, variables, exited, &work.variables);
    }

    FakeWork work;
    VariableStore variables;
    bool exited = false;
};

TEST_F(InstructionsRun, ReportsErrorsWithTheirLine) {
    variables.setNumber(1, 1);
    const struct {
        std::initializer_list<const char*> lines;
        const char* expected;
    } cases[] = {
        {{}, "0"},
        {{":A", "// note", ":B"}, "0"},
        {{":A", "// x", "FOO"}, "Error in instructions. Invalid command (FOO).  Line number (3)"},
        {{"//note"}, "Error in instructions. Invalid command (//note).  Line number (1)"},
        {{"goto A", ":A"}, "Error in instructions. Invalid command (goto).  Line number (1)"},
        {{"// x", " \t "}, "Error in instructions. No command specified. Line number (2)"},
        {{"GOTO"}, "Error in instructions. The GOTO command requires a label as its only argument. Line number (1)"},
        {{"GOTO @S3@"},
         "Error in instructions. Label @S3@ resolved to a blank string. Labels cannot be blank. Line number (1)"},
        {{"JMP0 1 NOWHERE"}, "0"},
        {{"// x", "JMP0 0 NOWHERE"}, "Error in instructions. Label not found (NOWHERE) Line number (2)"},
        {{"JMP0 @N1@"}, "Error in instructions. JMP0 requires a jump label as its second argument. Line number (1)"},
        {{"JMP0"}, "Error in instructions.  Empty expression. Line number (1)"},
        {{"JMP0 x A", ":A"}, "Error in instructions. Invalid numeric expression (x) Line number (1)"},
        {{"INSTALL_JVM 3"},
         "Error in instructions. The first argument to INSTALL_JVM should be a 0, 1 or 2. Line number (1)"},
        {{"INSTALL_JVM -1"},
         "Error in instructions. The first argument to INSTALL_JVM should be a 0, 1 or 2. Line number (1)"},
        {{"INSTALL_JVM"},
         "Error in instructions. The first argument to INSTALL_JVM should be a 0, 1 or 2. Line number (1)"},
        {{"FIND_JVM 1 2"}, "Error in instructions.  Invalid boolean value (2) Line number (1)"},
        {{"FIND_JVM"},
         "Error in instructions. The first argument to FIND_JVM should be a 1 if the UI should be displayed or a 0 if "
         "the UI should be suppressed. Line number (1)"},
        {{"FIND_JVM 1"},
         "Error in instructions. The second argument to FIND_JVM should be a 1 if a find failure message should be "
         "displayed in a UI or 0 if no message should be displayed. Line number (1)"},
        {{"VERIFY"},
         "Error in instructions. The first argument to VERIFY should be a 1 if the UI should be displayed or a 0 if "
         "the UI should be suppressed. Line number (1)"},
        {{"VERIFY 1"},
         "Error in instructions. The second argument to VERIFY should be a 1 if a find failure message should be "
         "displayed in a UI or 0 if no message should be displayed. Line number (1)"},
        {{"VERIFY 1 0"},
         "Error in instructions. The third argument to VERIFY should be the file index number of the jvm file. Line "
         "number (1)"},
        {{"VERIFY 3 0 1"}, "Error in instructions.  Invalid boolean value (3) Line number (1)"},
        {{"ILAUNCH"},
         "Error in instructions. The first argument to ILAUNCH should be the file index number of the jvm file. Line "
         "number (1)"},
        {{"ILAUNCH 7"},
         "Error in instructions. The second argument to ILAUNCH should be the number of seconds to display the UI "
         "during the launch. Line number (1)"},
        {{"LAUNCH @S1@"},
         "Error in instructions. The second argument to LAUNCH should be the number of seconds to display the UI "
         "during the launch. Line number (1)"},
        {{"LAUNCH x y"}, "Error in instructions.  Invalid numeric expression (y) Line number (1)"},
        {{"LAUNCH \"\" 5"},
         "Error in instructions. Invalid jvm file name specified in LAUNCH. Empty expression. Line number (1)"},
        {{"LAUNCH \"C:\\x 5"}, "Expected ending quote in \"C:\\x 5:  Invalid jvm file name specified in LAUNCH."},
        {{"EXECUTE_LAUNCHER"},
         "Error in instructions. The first argument to EXECUTE_LAUNCHER should be the position of the embedded "
         "launcher in the file index. Line number (1)"},
        {{"MESSAGE"}, "Error in instructions.  Empty expression. Line number (1)"},
        {{"MESSAGE \"\""}, "Error in instructions.  Empty expression. Line number (1)"},
        {{"EXIT"}, "Error in instructions.  Empty expression. Line number (1)"},
        {{"EXIT x"}, "Error in instructions. Invalid numeric expression (x) Line number (1)"},
        {{"SET N1 = 2", "SET @N1@ = 3"},
         "Invalid variable specified on left hand side of SET statement. Invalid variable reference (@N1@). Must use "
         "N or S as the variable type, e.g. N2 or S1."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.lines), c.expected) << *c.lines.begin();
    }
    EXPECT_TRUE(work.calls.empty());
}

TEST_F(InstructionsRun, SetForms) {
    variables.setString(3, "old");
    variables.setNumber(4, 9);
    const struct {
        const char* line;
        const char* expected;  // the variable's value afterwards, or the run's message
        const char* variable;
    } cases[] = {
        {"SET N2 = 5", "5", "N2"},
        {"SET n2=-5", "-5", "N2"},
        {"SET S1 = \"a \"\"b\"\" c\"", "a \"b\" c", "S1"},
        {"SET S1 = hello world", "hello", "S1"},
        {"SET S1 = a=b", "a=b", "S1"},
        {"SET S1 = x@@y", "x@y", "S1"},
        {"SET S2 = @S3@", "old", "S2"},
        {"SET S3 =", "", "S3"},
        {"SET N1 = @N4@", "9", "N1"},
        {"SET S1 = \"\"",
         "Error in instructions. Invalid expression specified for SET command Empty expression. Line number (1)",
         nullptr},
        {"SET N1 = x", "Invalid value specified for SET command Invalid numeric expression in x", nullptr},
        {"SET N1 =", "Invalid value specified for SET command Invalid numeric expression in ", nullptr},
        {"SET X1 = 2",
         "Invalid variable specified on left hand side of SET statement. Invalid variable reference (X1). Must use N "
         "or S as the variable type, e.g. N2 or S1.",
         nullptr},
        {"SET = 2",
         "Invalid variable specified on left hand side of SET statement. Variable references must be at "
         "least 2 characters (e.g. N1 and S10).",
         nullptr},
        {"SET S1 2", "Error in instructions. SET statement is missing =. Line number (1)", nullptr},
        {"SET", "Error in instructions. SET statement is missing =. Line number (1)", nullptr},
        {"SET S1 = @S9",
         "Error in instructions. Invalid expression specified for SET command Invalid variable specification. Line "
         "number (1)",
         nullptr},
    };
    for (const auto& c : cases) {
        const std::string outcome = run({c.line});
        if (!c.variable) {
            EXPECT_EQ(outcome, c.expected) << c.line;
            continue;
        }
        EXPECT_EQ(outcome, "0") << c.line;
        const int n = c.variable[1] - '0';
        const std::string value =
            c.variable[0] == 'N' ? std::to_string(variables.number(n)) : variables.string(n).str();
        EXPECT_EQ(value, c.expected) << c.line;
    }
}

TEST_F(InstructionsRun, JumpsToLabels) {
    // GOTO to the last line ends the program.
    EXPECT_EQ(run({"GOTO END", "SET N1 = 5", ":END"}), "0");
    EXPECT_EQ(variables.number(1), 0);

    // A backward jump to the first line continues with the second; the label
    // is found through a variable.
    EXPECT_EQ(run({":TOP", "SET N2 = @N3@", "SET N3 = 1", "SET S4 = TOP", "JMP0 @N2@ @S4@", "SET S5 = done"}), "0");
    EXPECT_EQ(variables.string(5), LauncherString("done"));

    // Two equal label lines: the first one wins.
    EXPECT_EQ(run({"GOTO L", ":L", "SET S6 = @S6@x", "GOTO M", ":L", ":M"}), "0");
    EXPECT_EQ(variables.string(6), LauncherString("x"));
}

TEST_F(InstructionsRun, EndlessLoopsWithoutWorkAreStopped) {
    EXPECT_EQ(run({":A", "GOTO A"}),
              "Error in instructions. Endless loop: this jump comes back to its label with every variable unchanged. "
              "Line number (2)");
    EXPECT_EQ(run({":A", "SET S5 = @S4@", "SET S4 = x", "JMP0 0 A"}),
              "Error in instructions. Endless loop: this jump comes back to its label with every variable unchanged. "
              "Line number (4)");
    EXPECT_EQ(variables.string(5), LauncherString("x"));

    // A variable that refers to itself cannot grow without end either.
    EXPECT_EQ(run({"SET S1 = a@@S1@@", "SET S2 = @S1@"}),
              "Error in instructions. Invalid expression specified for SET command Variable substitution does not end: "
              "a variable refers to itself. Line number (2)");
    EXPECT_EQ(variables.string(1), LauncherString("a@S1@"));
}

TEST_F(InstructionsRun, LoopsAroundWorkMayWait) {
    work.findsBeforeFound = 3;
    work.found = {true, "C:\\jdk", "C:\\tmp\\jvm"};
    EXPECT_EQ(run({":RETRY", "FIND_JVM 0 0", "JMP0 @N1@ RETRY", "LAUNCH @S2@ 0"}), "42");
    EXPECT_EQ(work.calls.size(), 5u);
    EXPECT_EQ(work.calls.back(), "LAUNCH [C:\\tmp\\jvm] 0 | N1=1 S1=C:\\jdk S2=C:\\tmp\\jvm");
}

TEST_F(InstructionsRun, WorkCommandsGetTheirArgumentsAndSetVariables) {
    variables.setNumber(1, 5);
    variables.setString(1, "stale1");
    variables.setString(2, "stale2");
    variables.setString(3, "C:\\My JVM\\jvm");
    work.verified = {true, "C:\\home"};
    work.installed = {true, "C:\\tmp\\LRE1\\jvm"};
    work.launchResults = {-1, 3, 4};
    EXPECT_EQ(run({"FIND_JVM 1 0",                 // not found: N1, S1, S2 cleared
                   "SET S1 = keep", "SET N1 = 5",  //
                   "VERIFY 0 1 @N1@",              // N1 cleared, S1 kept until success
                   "INSTALL_JVM 2",                // N1 and S1 cleared first
                   "ILAUNCH 7 0", "SET N2 = 1",    // a launch result of -1 does not stop the program
                   "LAUNCH \"@S3@\" 40000", "EXECUTE_LAUNCHER 2", "LAUNCH x 1", "EXECUTE_LAUNCHER 0"}),
              "4");
    const std::vector<std::string> expected = {
        "FIND 10 | N1=0 S1= S2=",
        "VERIFY 01 5 | N1=0 S1=keep S2=",
        "INSTALL 2 | N1=0 S1= S2=",
        "ILAUNCH 7 0 | N1=1 S1=C:\\tmp\\LRE1\\jvm S2=",
        "LAUNCH [C:\\My JVM\\jvm] 32767 | N1=1 S1=C:\\tmp\\LRE1\\jvm S2=",
        "EXECUTE 2 | N1=1 S1=C:\\tmp\\LRE1\\jvm S2=",
        "LAUNCH [x] 1 | N1=1 S1=C:\\tmp\\LRE1\\jvm S2=",
        "EXECUTE 0 | N1=1 S1=C:\\tmp\\LRE1\\jvm S2=",
    };
    EXPECT_EQ(work.calls, expected);
    EXPECT_EQ(variables.number(2), 1);

    // Successful FIND_JVM and VERIFY.
    work.calls.clear();
    work.found = {true, "C:\\jdk", "C:\\tmp\\jvm"};
    EXPECT_EQ(run({"FIND_JVM 0 1", "SET S9 = @N1@@S1@@S2@", "VERIFY 1 1 3"}), "0");
    EXPECT_EQ(variables.string(9), LauncherString("1C:\\jdkC:\\tmp\\jvm"));
    EXPECT_EQ(variables.number(1), 1);
    EXPECT_EQ(variables.string(1), LauncherString("C:\\home"));
    EXPECT_EQ(variables.string(2), LauncherString("C:\\tmp\\jvm"));

    // A failed verification leaves S1 alone.
    work.verified = {};
    EXPECT_EQ(run({"VERIFY 0 0 3"}), "0");
    EXPECT_EQ(variables.number(1), 0);
    EXPECT_EQ(variables.string(1), LauncherString("C:\\home"));
}

TEST_F(InstructionsRun, TheLaunchersOwnProgram) {
    const std::initializer_list<const char*> program = {
        "INITIALIZE_UI",        "INSTALL_JVM 1",    "JMP0 @N1@ DO_INSTALL_ELSE", "LAUNCH @S1@ 0",
        "GOTO DO_INSTALL_DONE", ":DO_INSTALL_ELSE", ":DO_INSTALL_DONE"};
    work.installed = {true, "C:\\t\\jvm"};
    EXPECT_EQ(run(program), "42");
    EXPECT_EQ(work.calls.back(), "LAUNCH [C:\\t\\jvm] 0 | N1=1 S1=C:\\t\\jvm S2=");

    work.calls.clear();
    work.installed = {};
    EXPECT_EQ(run(program), "0");
    EXPECT_EQ(work.calls, std::vector<std::string>{"INSTALL 1 | N1=0 S1= S2="});
}

// Work that fails, as a launcher's does when a step cannot be done.
class FailingWork : public CommandWork {
public:
    FoundJvm findJvm(bool, bool) override { fail("FIND_JVM"); }
    VerifiedJvm verifyJvm(bool, bool, std::int32_t) override { fail("VERIFY"); }
    InstalledJvm installJvm(InstallMode) override { fail("INSTALL_JVM"); }
    std::int32_t launch(const LauncherString&, std::int16_t) override { fail("LAUNCH"); }
    std::int32_t launchEmbedded(std::int32_t, std::int16_t) override { fail("ILAUNCH"); }
    void executeLauncher(std::int32_t) override { fail("EXECUTE_LAUNCHER"); }

private:
    [[noreturn]] static void fail(const char* command) { throwLauncherException(LauncherString(command) + " failed."); }
};

TEST_F(InstructionsRun, TheWorksErrorEndsTheRunUnchanged) {
    FailingWork failing;
    const struct {
        const char* line;
        const char* command;
    } cases[] = {{"FIND_JVM 0 0", "FIND_JVM"}, {"VERIFY 0 0 1", "VERIFY"}, {"INSTALL_JVM 0", "INSTALL_JVM"},
                 {"LAUNCH x 0", "LAUNCH"},     {"ILAUNCH 1 0", "ILAUNCH"}, {"EXECUTE_LAUNCHER 0", "EXECUTE_LAUNCHER"}};
    for (const auto& c : cases) {
        EXPECT_EQ(runOutcome({"SET S5 = ran", c.line, "SET S5 = after"}, failing, variables, exited),
                  std::string(c.command) + " failed.");
        EXPECT_EQ(variables.string(5), LauncherString("ran"));
    }
}

// Checking reads a line by the same table as running: a line that fails
// whatever the variables hold is reported with the message the run throws
// (which adds "Error in instructions. " and the line to the interpreter's own).
TEST_F(InstructionsRun, CheckingReportsWhatRunningThrows) {
    variables.setNumber(1, 1);
    // A JVM file with id 3, a carried JVM, an embedded launcher at position 2.
    const std::vector<CarriedEntry> carried = {{1, 3}, {4, 4}, {7, 5}};
    for (const char* line : {
             " ",
             "FOO 1",
             "goto A",
             "//note",  // commands
             "FIND_JVM",
             "FIND_JVM 1",
             "FIND_JVM 2 0",
             "FIND_JVM 0 x",  // flags
             "VERIFY",
             "VERIFY 1",
             "VERIFY 1 0",
             "VERIFY 3 0 3",
             "VERIFY 0 0 x",
             "INSTALL_JVM",
             "INSTALL_JVM 3",
             "INSTALL_JVM -1",
             "INSTALL_JVM x",  // the mode
             "LAUNCH",
             "LAUNCH x",
             "LAUNCH \"\" 5",
             "LAUNCH \"C:\\x 5",
             "LAUNCH x y",
             "LAUNCH @S1@",
             "ILAUNCH",
             "ILAUNCH x",
             "ILAUNCH x 0",
             "ILAUNCH 3",  // the id before the seconds
             "EXECUTE_LAUNCHER",
             "EXECUTE_LAUNCHER x",  //
             "GOTO",
             "GOTO NOWHERE",
             "JMP0",
             "JMP0 x A",
             "JMP0 0",
             "JMP0 @N1@",
             "JMP0 0 NOWHERE",
             "SET",
             "SET S1 2",
             "SET = 2",
             "SET X1 = 2",
             "SET @N1@ = 3",
             "SET S1 = \"\"",
             "MESSAGE",
             "MESSAGE \"\"",
             "MESSAGE \"no end",
             "EXIT",
             "EXIT x",
         }) {
        const std::string ran = run({line});
        Instructions program(linesOf({line}));
        ProgramFault fault;
        ASSERT_FALSE(program.check(carried, fault)) << line << ": runs to " << ran;
        EXPECT_EQ(fault.line, 1) << line;
        const std::string checked = fault.message.str();
        EXPECT_TRUE(ran == checked || ran == "Error in instructions. " + checked + " Line number (1)")
            << line << "\n  run:   " << ran << "\n  check: " << checked;
    }
    EXPECT_TRUE(work.calls.empty());
}

TEST_F(InstructionsRun, MessageShowsAndLogsItsTextAndExitEndsTheProgramWithItsCode) {
    RecordingProgressUi ui;
    const TestDirectory dir("nv_exit_");
    const std::string log = (dir / "run.log").string();
    setRunLogPath(log.c_str());
    variables.setString(3, "17");
    const std::initializer_list<const char*> program = {
        "LAUNCH x 0",     "MESSAGE \"Hello App needs Java @S3@; install it and start setup.exe again.\"",
        "SET N2 = 4",     "EXIT @N2@",
        "SET S5 = after", "LAUNCH y 0"};
    // nvpack passes it: EXIT's variable is the run's to judge.
    Instructions checked{linesOf(program)};
    ProgramFault fault;
    EXPECT_TRUE(checked.check({}, fault)) << fault.message.str();

    EXPECT_EQ(run(program), "4");
    EXPECT_TRUE(exited);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Hello App needs Java 17; install it and start setup.exe again."});
    EXPECT_EQ(work.calls, std::vector<std::string>{"LAUNCH [x] 0 | N1=0 S1= S2="});
    EXPECT_EQ(variables.string(5), LauncherString());
    // A line of its own, wherever the log begins.
    EXPECT_NE(("\n" + readFile(log)).find("\nHello App needs Java 17; install it and start setup.exe again.\n"),
              std::string::npos)
        << readFile(log);

    // A program that runs to its end did not exit, whatever one before it did.
    EXPECT_EQ(run({"LAUNCH x 0"}), "42");
    EXPECT_FALSE(exited);

    // Silent: no box, the log has the text all the same; EXIT 0 overrides a launch's result.
    ui.messages.clear();
    setSilent(true);
    EXPECT_EQ(run({"LAUNCH x 0", "MESSAGE quiet words", "EXIT 0"}), "0");
    EXPECT_TRUE(exited);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_NE(readFile(log).find("\nquiet\n"), std::string::npos) << readFile(log);
}

TEST_F(InstructionsRun, InitializeUiShowsTheWindow) {
    RecordingProgressUi ui;
    ui.title = "Demo";
    EXPECT_EQ(run({"INITIALIZE_UI"}), "0");
    EXPECT_EQ(ui.events, (std::vector<std::string>{"status Initializing Demo...", "show"}));

    // Silent: no status, and the window is kept hidden instead of shown.
    ui.events.clear();
    setSilent(true);
    EXPECT_EQ(run({"INITIALIZE_UI extra words"}), "0");
    EXPECT_EQ(ui.events, std::vector<std::string>{"hide 0"});
}

TEST_F(InstructionsRun, ProgramFromATagFile) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::fputs("DESC: x\nINSTRUCTIONS:\nSET S1 = \"a b\"\n:L\n\"SET S2 = \"\"c d\"\"\"\n/:\n", file);
    TagFile tags;
    tags.readFrom(file, "instructions");
    std::fclose(file);

    Instructions program = Instructions::fromTagFile(tags);
    EXPECT_FALSE(program.singleInstance());
    EXPECT_EQ(program.lines().count(), 3);
    work.variables = &program.variables();
    EXPECT_EQ(program.run(work).result, 0);
    EXPECT_EQ(program.variables().string(1), LauncherString("a b"));
    EXPECT_EQ(program.variables().string(2), LauncherString("c d"));

    // SINGLE_INSTANCE is a number like every boolean tag; no number keeps the default (nvpack refuses it).
    for (const auto& c : {std::make_pair("1", true), std::make_pair("0", false), std::make_pair("2", true),
                          std::make_pair("yes", false)}) {
        std::FILE* single = std::tmpfile();
        std::fputs((std::string("SINGLE_INSTANCE: ") + c.first + "\nINSTRUCTIONS:\nEXIT 0\n/:\n").c_str(), single);
        TagFile singleTags;
        singleTags.readFrom(single, "instructions");
        std::fclose(single);
        EXPECT_EQ(Instructions::fromTagFile(singleTags).singleInstance(), c.second) << c.first;
    }

    // A file without the tag (empty, damaged or misspelt) is no program that does nothing.
    for (const char* text : {"", "INSTRUCTION:\nSET S1 = x\n/:\n"}) {
        std::FILE* other = std::tmpfile();
        std::fputs(text, other);
        TagFile noProgram;
        noProgram.readFrom(other, "instructions");
        std::fclose(other);
        try {
            Instructions::fromTagFile(noProgram);
            ADD_FAILURE() << text;
        } catch (const LauncherException& e) {
            EXPECT_EQ(e.message(), LauncherString("The instruction file has no INSTRUCTIONS.")) << text;
        }
    }
}

}  // namespace
}  // namespace nv
