// The launch command language: the scanner, function calls and their errors,
// the functions, the class path, and the quoting of pass-through arguments.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "foundation/LauncherException.h"
#include "foundation/Log.h"
#include "foundation/RunSettings.h"
#include "jvm/JvmFile.h"
#include "launch/ArgumentQuoting.h"
#include "launch/ClassPath.h"
#include "launch/CompanionFile.h"
#include "launch/LaunchScript.h"
#include "launch/LaunchScriptError.h"
#include "launch/LauncherPayload.h"
#include "system/Environment.h"
#include "tagfile/TagFile.h"
#include "tests/support/RecordingProgressUi.h"
#include "tests/support/RunTest.h"
#include "tests/support/TestDirectory.h"

namespace fs = std::filesystem;
using nv::LauncherString;

namespace {

nv::TagFile tagsFrom(const std::string& text) {
    nv::TagFile tags;
    std::FILE* file = std::tmpfile();
    std::fputs(text.c_str(), file);
    tags.readFrom(file, "test.tag");
    std::fclose(file);
    return tags;
}

const char* const jvmText =
    "JVM_HOME: C:\\jdk\\\nJVM_EXE: bin\\java.exe\nCLASSPATH: \"-cp \"\nCLASSPATH_SEPARATOR: ;\n"
    "SYSTEM: -D\nSYSTEM_SEPARATOR: =\nINIT_JAVA_HEAP: -Xms\nMAX_JAVA_HEAP: -Xmx\nJVM_TEMP: 1\n"
    "JVM_FILE: C:\\t\\LRE1.tmp\n";

class LaunchScriptTest : public nv::RunTest {
protected:
    void SetUp() override {
        fs::create_directories(dir / "temp");
        settings.launcherPath = "C:\\dist\\setup.exe";
        settings.originalLauncherPath = LauncherString((dir / "setup.exe").string());
        settings.tempDirOverride = LauncherString((dir / "temp").string() + "\\");
        nv::setRunLogPath(LauncherString((dir / "run.log").string()));
    }
    // The command the template builds with the JVM file above (plus `extra` tags).
    std::string build(const std::string& templ, const std::string& extra = "") {
        nv::TagFile jvmTags = tagsFrom(std::string(jvmText) + extra);
        nv::JvmFile jvm(jvmTags, settings, jvmVerifier);
        nv::LaunchScript script(LauncherString(templ), nv::OutputCapture::on, nv::EmbeddedArchives::leftOut, settings,
                                files);
        return script.buildCommand(jvm).str();
    }
    std::string failure(const std::string& templ, const std::string& extra = "") {
        try {
            build(templ, extra);
        } catch (const nv::LauncherException& e) {
            return e.message().str();
        }
        return "no failure";
    }
    // What checking the template finds, worded as a launch reports it.
    static std::string checkFailure(const std::string& templ) {
        try {
            nv::LaunchScript::checkFunctions(LauncherString(templ));
        } catch (const nv::LaunchScriptError& e) {
            return "Launch script error: " + e.message().str();
        } catch (const nv::LauncherException& e) {
            return e.message().str();
        }
        return "no failure";
    }
    void companion(const char* suffix, const std::string& text) {
        nv::writeFile(dir / ("setup" + std::string(suffix)), text);
    }
    std::string log() { return nv::readFile(dir / "run.log"); }

    nv::RecordingProgressUi ui;
    nv::TestDirectory dir{"nv_launch_"};
};

}  // namespace

// The launcher's own launch script, as the tag file reader delivers its COMMAND.
TEST_F(LaunchScriptTest, TheCarriedLaunchScriptBuildsTheExactCommand) {
    const nv::TagFile script = tagsFrom(
        "DESC: Norvane Wizard\nDISPLAY_CONSOLE: 0\nAUTO_SET_WORKING_DIR: 1\n"
        "COMMAND: \"\"\"@JVM_HOME@/@JVM_EXE@\"\" %CP%(\"\"\"\"\"\"setup.jar\"\"\"\"\"\") "
        "%SYSTEMPROP%(\"\"temp.dir\"\", \"\"\"\"\"\"%TEMP_DIR%()\"\"\"\"\"\") "
        "%SYSTEMPROP%(\"\"nv.jvm.home\"\", \"\"\"\"\"\"@JVM_HOME@\"\"\"\"\"\") "
        "%SYSTEMPROP%(\"\"nv.jvm.temp\"\", \"\"\"\"\"\"@JVM_TEMP@\"\"\"\"\"\") "
        "%SYSTEMPROP%(\"\"nv.launcher.file\"\", \"\"\"\"\"\"%LAUNCHER_FILE%()\"\"\"\"\"\") "
        "%SYSTEMPROP%(\"\"nv.jvm.file\"\", \"\"\"\"\"\"@JVM_FILE@\"\"\"\"\"\") "
        "%SYSTEMPROP%(\"\"nv.external.home\"\", \"\"\"\"\"\"%LAUNCHER_DIR%()\"\"\"\"\"\") %RUNTIME_SYSTEMPROP%() "
        "%IF_EXISTS%(\"\"INIT_JAVA_HEAP\"\", \"\"@INIT_JAVA_HEAP@20m\"\") "
        "%IF_EXISTS%(\"\"MAX_JAVA_HEAP\"\", \"\"@MAX_JAVA_HEAP@60m\"\") %RUNTIME_JAVAARGS%() run \"\n");
    companion(".sp", "a.b=1\nnot a property\nc= two \n");
    companion(".ja", "-ea\n\n@MAX_JAVA_HEAP@90m\n");
    nv::TagFile jvmTags = tagsFrom(jvmText);
    nv::JvmFile jvm(jvmTags, settings, jvmVerifier);
    nv::LaunchScript launchScript(script, settings, files);
    const std::string temp = (dir / "temp").string();
    EXPECT_EQ(launchScript.buildCommand(jvm).str(),
              "\"C:\\jdk/bin\\java.exe\" -cp \"setup.jar\" -Dtemp.dir=\"" + temp +
                  "\" -Dnv.jvm.home=\"C:\\jdk\" -Dnv.jvm.temp=\"1\" -Dnv.launcher.file=\"C:\\dist\\setup.exe\" "
                  "-Dnv.jvm.file=\"C:\\t\\LRE1.tmp\" -Dnv.external.home=\"" +
                  dir.string() + "\" -Da.b=1 -Dc= two -Xms20m -Xmx60m -ea -Xmx90m run ");
}

TEST_F(LaunchScriptTest, ScannerRules) {
    const struct {
        const char* templ;
        const char* expected;
    } cases[] = {
        {"100%%", "100%"},
        {"a%%b", "a%b"},
        {"x%", "x%"},
        {"@@ and ##", "@ and #"},
        {"@UNKNOWN@#NV_TEST_UNSET_VARIABLE#.", "."},
        // Nothing on the class path: no option at all, not an empty element.
        {"%CP%()", ""},
        {"%CP%( )", ""},
        {"%SYSTEMPROP%(\"a\",\"b\",)", "-Da=b"},
        {"%IF_EXISTS%(\"MAX_JAVA_HEAP\", \"@MAX_JAVA_HEAP@60m\")|%IF_EXISTS%(\"NONE\", \"x\")", "-Xmx60m|"},
        {"%REPLACE%(\"\\\", \"/\", \"C:\\a\\b\")", "C:/a/b"},
        {"%REPLACE%(\"a\", \"aa\", \"banana\")", "baanaanaa"},
        {"%REPLACE%(\"\", \"x\", \"same\")", "same"},
        {"%SYSTEMPROP%(\"t\", \"%LAUNCHER_FILE%()\")", "-Dt=C:\\dist\\setup.exe"},
    };
    for (const auto& c : cases) EXPECT_EQ(build(c.templ), c.expected) << c.templ;
}

// Folder and user names may hold "#", "%" and "@"; the paths the launcher
// puts in are not references, while what the author wrote keeps its own.
TEST_F(LaunchScriptTest, PathsOfTheLaunchersOwnReachTheCommandAsTheyStand) {
    const fs::path temp = dir / "Temp#1 50%off@corp";
    fs::create_directories(temp);
    settings.tempDirOverride = LauncherString(temp.string() + "\\");
    settings.launcherPath = "C:\\Tools#2\\50% off\\a@b\\setup.exe";
    settings.originalLauncherPath = "C:\\Tools#2\\50% off\\a@b\\setup.exe";
    settings.classPathPrefix = "C:\\pre%1#\\";
    settings.classPathSuffix = "C:\\classes\\";
    nv::setEnvironmentValue("NV_TEST_AUTHOR", "env");
    const std::string home =
        "JVM_HOME: C:\\Java#1\\jdk%1@x\\\\\nJVM_FILE: C:\\t@corp\\LRE#1.tmp\nOWN: @JVM_TEMP@#NV_TEST_AUTHOR#\n";
    EXPECT_EQ(build("\"@JVM_HOME@\\@JVM_EXE@\" %CP%(\"\"\"setup.jar\"\"\") "
                    "%SYSTEMPROP%(\"t\", \"\"\"%TEMP_DIR%()\"\"\") %SYSTEMPROP%(\"h\", \"\"\"@JVM_HOME@\"\"\") "
                    "%SYSTEMPROP%(\"f\", \"\"\"@JVM_FILE@\"\"\") %SYSTEMPROP%(\"l\", \"\"\"%LAUNCHER_FILE%()\"\"\") "
                    "%LAUNCHER_DIR%() @OWN@ %REPLACE%(\"@JVM_HOME@\", \"J\", \"C:\\Java#1\\jdk%1@x\\\\=home\")",
                    home),
              // The home keeps one of its two final backslashes, doubled before the quote that closes it.
              "\"C:\\Java#1\\jdk%1@x\\\\bin\\java.exe\" -cp \"C:\\pre%1#\\\\\";\"setup.jar\";\"C:\\classes\\\\\" "
              "-Dt=\"" +
                  temp.string() +
                  "\" -Dh=\"C:\\Java#1\\jdk%1@x\\\\\" -Df=\"C:\\t@corp\\LRE#1.tmp\" "
                  "-Dl=\"C:\\Tools#2\\50% off\\a@b\\setup.exe\" C:\\Tools#2\\50% off\\a@b 1env J\\=home");
    nv::clearEnvironmentValue("NV_TEST_AUTHOR");
}

// Environment values hold user and folder names ("C:\\Users\\a#b"): they reach
// the command as they stand, and a reference inside one stays text.
TEST_F(LaunchScriptTest, EnvironmentValuesReachTheCommandAsTheyStand) {
    const struct {
        const char* name;
        const char* value;
    } variables[] = {
        {"NV_TEST_A", "C:\\Users\\a#b"},
        {"NV_TEST_B", "50%"},
        {"NV_TEST_C", "x@y"},
        {"NV_TEST_D", "a##b#"},
        {"NV_TEST_E", "C:\\dir\\"},
        {"NV_TEST_F", "@JVM_EXE@ %TEMP_DIR%() #NV_TEST_B#"},
    };
    for (const auto& v : variables) nv::setEnvironmentValue(v.name, v.value);
    const struct {
        const char* templ;
        const char* expected;
    } cases[] = {
        {"-Da=\"#NV_TEST_A#\" -Db=\"#NV_TEST_B#\"", "-Da=\"C:\\Users\\a#b\" -Db=\"50%\""},
        {"#NV_TEST_C# #NV_TEST_D#", "x@y a##b#"},
        {"#NV_TEST_A##NV_TEST_B#", "C:\\Users\\a#b50%"},
        {"#NV_TEST_F#", "@JVM_EXE@ %TEMP_DIR%() #NV_TEST_B#"},
        // Backslashes ending a value are doubled before a quote, as for a path of the launcher's.
        {"\"#NV_TEST_E#\" \"#NV_TEST_E#x\"", "\"C:\\dir\\\\\" \"C:\\dir\\x\""},
        {"%SYSTEMPROP%(\"p\", \"\"\"#NV_TEST_A#\"\"\")", "-Dp=\"C:\\Users\\a#b\""},
    };
    for (const auto& c : cases) EXPECT_EQ(build(c.templ), c.expected) << c.templ;
    for (const auto& v : variables) nv::clearEnvironmentValue(v.name);
}

TEST_F(LaunchScriptTest, FaultsAreLaunchScriptErrorsWithTheirPosition) {
    const struct {
        const char* templ;
        const char* message;
    } cases[] = {
        {"%%%%", "Launch script error: Invalid function name (%)."},
        {"50%% %TEMP_DIR%()", "Launch script error: Invalid function name (% )."},
        {"%TEMP_DIR%", "Launch script error: Expected left parenthesis. (near character 10)"},
        {"%SYSTEMPROP%(\"a\", \"b\"", "Launch script error: Expected right parenthesis. (near character 21)"},
        {"%SYSTEMPROP%(\"a\" x)", "Launch script error: Expected right parenthesis. (near character 16)"},
        {"%SYSTEMPROP%(x)", "Launch script error: Expected string arg. (near character 13)"},
        {"%SYSTEMPROP%(\"a\")", "Launch script error: SYSTEMPROP function requires 2 arguments."},
        {"%REPLACE%()", "Launch script error: REPLACE function requires 3 arguments."},
        {"%IF_EXISTS%(\"a\")", "Launch script error: IF_EXISTS function requires 2 arguments."},
        {"%TEMP_DIR%(\"a\")", "Launch script error: TEMP_DIR function takes 0 arguments."},
        {"%LAUNCHER_DIR%(\"a\")", "Launch script error: LAUNCHER_DIR function takes 0 arguments."},
        {"%LAUNCHER_FILE%(\"a\")", "Launch script error: LAUNCHER_FILE function takes 0 arguments."},
        {"%RUNTIME_JAVAARGS%(\"a\")", "Launch script error: RUNTIME_JAVAARGS function takes no arguments."},
        {"%RUNTIME_SYSTEMPROP%(\"a\")", "Launch script error: RUNTIME_SYSTEMPROP function takes no arguments."},
        {"%APPLICATION_ARCHIVE%(\"a\", \"b\")", "Launch script error: APPLICATION_ARCHIVE function takes 0 arguments."},
        // A quoted argument without its end is the reader's own message.
        {"%SYSTEMPROP%(\"a", "Expected double quote to end argument near 14"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(failure(c.templ), c.message) << c.templ;
        // Checking a template reads each call by the same function table.
        EXPECT_EQ(checkFailure(c.templ), c.message) << c.templ;
    }
    EXPECT_NE(log().find("Launch command:\n%TEMP_DIR%\n"), std::string::npos) << log();
    // A tag value that names itself would expand for ever.
    EXPECT_EQ(failure("@LOOP@", "LOOP: x@LOOP@\n"),
              "Launch script error: References in the launch command expand more than 10000 times; a value may refer "
              "to itself.");
}

TEST_F(LaunchScriptTest, AClassPathThatRefersToItselfIsRefusedAtOnce) {
    const std::string nested =
        "Launch script error: The class path refers to itself: %CP% may not stand in ARCHIVE, JVM_CLASSPATH, a "
        "companion list or an argument of CP.";
    nv::TagFile scriptTags = tagsFrom("COMMAND: java %CP%() Main\nARCHIVE: \"%CP%()\"\n");
    nv::LaunchScript script(scriptTags, settings, files);
    nv::TagFile jvmTags = tagsFrom(jvmText);
    nv::JvmFile jvm(jvmTags, settings, jvmVerifier);
    try {
        script.buildCommand(jvm);
        ADD_FAILURE() << "a CP inside ARCHIVE was built";
    } catch (const nv::LauncherException& e) {
        EXPECT_EQ(e.message().str(), nested);
    }
    // In what a CP returned: a companion line, JVM_CLASSPATH, an argument.
    companion(".cp", "%CP%()\n");
    EXPECT_EQ(failure("java %CP%() Main"), nested);
    fs::remove(dir / "setup.cp");
    EXPECT_EQ(failure("java %CP%() Main", "JVM_CLASSPATH: %CP%()\n"), nested);
    EXPECT_EQ(failure("java %CP%(\"%CP%()\") Main"), nested);
    EXPECT_TRUE(fs::is_empty(dir / "temp"));
}

TEST_F(LaunchScriptTest, LimitsSayWhichOneWasMet) {
    const std::string tooLong =
        "Launch script error: The launch command grows past 1048576 characters while its references are replaced.";
    const auto replace = [](const std::string& search, const std::string& replacement, const std::string& text) {
        return "%REPLACE%(\"" + search + "\",\"" + replacement + "\",\"" + text + "\")";
    };
    // One REPLACE that would grow past the limit stops as soon as it does.
    EXPECT_EQ(failure(replace("a", std::string(60000, 'b'), std::string(60000, 'a'))), tooLong);
    EXPECT_EQ(failure(replace("a", "bbb", std::string(1 << 19, 'a'))), tooLong);
    // Right up to the limit it is one linear pass.
    EXPECT_EQ(build(replace("a", "bb", std::string(1 << 19, 'a'))), std::string(1 << 20, 'b'));
    // Many references that each expand once meet the count, not the length.
    std::string references;
    for (int i = 0; i < 10001; ++i) references += "@A@";
    EXPECT_EQ(failure(references, "A: x\n"),
              "Launch script error: References in the launch command expand more than 10000 times; a value may refer "
              "to itself.");
}

TEST(Replace, FromTheLeftWithoutOverlap) {
    const struct {
        const char* text;
        const char* search;
        const char* replacement;
        const char* expected;
    } cases[] = {{"banana", "a", "aa", "baanaanaa"}, {"aaaa", "aa", "a", "aa"}, {"abc", "", "x", "abc"},
                 {"abcabc", "bc", "", "aa"},         {"x", "x", "", ""},        {"aXbX", "X", "\\", "a\\b\\"}};
    for (const auto& c : cases) EXPECT_EQ(nv::replaceAll(c.text, c.search, c.replacement).str(), c.expected) << c.text;
}

TEST_F(LaunchScriptTest, ALaunchWithoutACommandIsRefusedBeforeAnythingRuns) {
    nv::TagFile jvmTags = tagsFrom(jvmText);
    nv::JvmFile jvm(jvmTags, settings, jvmVerifier);
    const struct {
        const char* script;
        const char* message;
    } cases[] = {{"COMAND: java -jar app.jar\n", "The launch script has no COMMAND."},
                 {"COMMAND: \"  \"\n", "The launch script has no COMMAND."},
                 {"COMMAND: %IF_EXISTS%(\"NONE\", \"java\")\n",
                  "The launch command is empty once its references are replaced."}};
    for (const auto& c : cases) {
        nv::TagFile tags = tagsFrom(c.script);
        nv::LaunchScript script(tags, settings, files);
        try {
            script.launch(jvm, nullptr, false);
            ADD_FAILURE() << c.script;
        } catch (const nv::LauncherException& e) {
            EXPECT_EQ(e.message().str(), c.message) << c.script;
        }
    }
    EXPECT_EQ(log().find("Executing"), std::string::npos) << log();
}

TEST_F(LaunchScriptTest, ClassPathSourcesInOrderInBothModes) {
    settings.classPathPrefix = "C:\\My Jars\\pre.jar";
    companion(".cp1", "a.jar\n\nb.jar\n");
    companion(".cp2", "z.jar\n");
    EXPECT_EQ(build("%CP%(\"\"\"x.jar\"\"\")", "JVM_CLASSPATH: jvm.jar\n"),
              "-cp \"C:\\My Jars\\pre.jar\";a.jar;b.jar;jvm.jar;\"x.jar\";z.jar");
    for (const char* useEnv : {"1 ", "yes"}) {  // anything but exactly 1 is command mode
        EXPECT_EQ(build("%CP%()", std::string("USE_CP_ENV_VAR: \"") + useEnv + "\"\n").substr(0, 4), "-cp ");
    }

    EXPECT_EQ(build("[%CP%(\"\"\"x.jar\"\"\")]", "USE_CP_ENV_VAR: 1\nCP_ENV_VAR: NV_TEST_CLASSPATH\n"), "[]");
    EXPECT_EQ(nv::environmentValue("NV_TEST_CLASSPATH").str(), "\"C:\\My Jars\\pre.jar\";a.jar;b.jar;x.jar;z.jar");
    nv::clearEnvironmentValue("NV_TEST_CLASSPATH");
    EXPECT_EQ(build("[%CP%()]", "USE_CP_ENV_VAR: 1\n"), "[]");
    EXPECT_NE(log().find("ERROR: If USE_CP_ENV_VAR is set to 1 in the jvm file, then the jvm file should also "
                         "define CP_ENV_VAR.\n"),
              std::string::npos);
}

// A payload that only answers the mode byte.
struct ModeOnly : nv::LauncherPayload {
    int mode = 1;
    nv::StringList extractType(std::uint8_t, const LauncherString&) override { return nv::StringList(); }
    int modeByte() const override { return mode; }
};

// The host's runner stands in with /bin/sh, so the command here is a shell's.
TEST_F(LaunchScriptTest, JavaHomeComesBackAndTheWizardEnvironmentFollowsTheMode) {
    settings.launcherPath = "launcher-without-directory";
    nv::TagFile jvmTags = tagsFrom(std::string(jvmText) + "SET_ENV_FOR_WIZARD: NV_TEST_WIZARD = 1 \n");
    nv::JvmFile jvm(jvmTags, settings, jvmVerifier);
    for (bool wasSet : {true, false}) {
        if (wasSet) nv::setEnvironmentValue("JAVA_HOME", "C:\\before");
        if (!wasSet) nv::clearEnvironmentValue("JAVA_HOME");
        for (int mode : {1, 0}) {
            nv::clearEnvironmentValue("NV_TEST_WIZARD");
            ModeOnly payload;
            payload.mode = mode;
            nv::LaunchScript script(LauncherString("echo \"$JAVA_HOME|$NV_TEST_WIZARD\"; exit 3"),
                                    nv::OutputCapture::on, nv::EmbeddedArchives::leftOut, settings, files);
            script.setPayload(&payload);
            EXPECT_EQ(script.launch(jvm, nullptr, false).exitCode, 3);
            EXPECT_EQ(script.standardOutput().str(), mode == 0 ? "C:\\jdk\\|1\n" : "C:\\jdk\\|\n");
            EXPECT_EQ(nv::environmentHas("JAVA_HOME"), wasSet) << mode;
            if (wasSet) {
                EXPECT_EQ(nv::environmentValue("JAVA_HOME").str(), "C:\\before");
            }
        }
    }
    nv::clearEnvironmentValue("NV_TEST_WIZARD");
    EXPECT_NE(log().find("Executing launch script command: echo \"$JAVA_HOME|$NV_TEST_WIZARD\"; exit 3 in current "
                         "working directory\nOutput from the launch script execution\nStdOut:\n"),
              std::string::npos)
        << log();
}

TEST(LaunchArguments, QuotedSoTheCRuntimeReadsThemBack) {
    const struct {
        const char* argument;
        const char* quoted;
    } cases[] = {
        {"plain", "\"plain\""},         {"", "\"\""},
        {"a\"b", "\"a\\\"b\""},         {"C:\\My Dir\\", "\"C:\\My Dir\\\\\""},
        {"C:\\a\\b", "\"C:\\a\\b\""},   {"a\\\"b", "\"a\\\\\\\"b\""},
        {"two words", "\"two words\""},
    };
    for (const auto& c : cases) EXPECT_EQ(nv::quoteArgument(c.argument).str(), c.quoted) << c.argument;
}

TEST(CompanionFile, TheExtensionIsReplacedAfterTheLastSeparator) {
    const struct {
        const char* path;
        const char* companion;
    } cases[] = {{"C:\\dist\\setup.exe", "C:\\dist\\setup.cp1"},
                 {"C:\\my.dir\\setup", "C:\\my.dir\\setup.cp1"},
                 {"D:/a/b.c.exe", "D:/a/b.c.cp1"},
                 {"setup.exe", "setup.exe.cp1"}};
    for (const auto& c : cases) EXPECT_EQ(nv::companionPath(c.path, ".cp1").str(), c.companion) << c.path;
}
