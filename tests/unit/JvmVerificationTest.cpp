// The verification of a JVM without starting one: the output check, the
// command that would run the verification class, the JVM_PROPERTIES pairs,
// the verification class settings, and verifyOne over a faked run.
#include <gtest/gtest.h>

#include <algorithm>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "archive/EntryType.h"
#include "foundation/Log.h"
#include "foundation/ProgressUi.h"
#include "foundation/RunSettings.h"
#include "jvm/JvmFile.h"
#include "jvm/JvmSearch.h"
#include "jvm/JvmVerification.h"
#include "jvm/VersionRange.h"
#include "launch/LaunchScript.h"
#include "launch/LauncherPayload.h"
#include "launch/LiteralText.h"
#include "launch/ProcessRunner.h"
#include "tagfile/TagFile.h"
#include "tests/support/RecordingProgressUi.h"
#include "tests/support/JvmFileTest.h"
#include "tests/support/StringLists.h"
#include "tests/support/TestDirectory.h"

namespace fs = std::filesystem;
using nv::LauncherString;
using nv::listOf;
using nv::texts;

namespace {

// A verifier whose JVM prints what the test says, and which records the
// commands it was asked to run (with the launcher's literals as plain text).
class FakeRunVerifier : public nv::JvmVerifier {
public:
    using nv::JvmVerifier::JvmVerifier;
    std::string output;
    std::vector<std::string> commands;

protected:
    LauncherString run(nv::JvmFile&, const LauncherString& command) override {
        commands.push_back(nv::restoreLiterals(command, nv::RestoreFor::text).str());
        return LauncherString(output);
    }
};

// Embedded verification archives as a launcher file would write them.
class FakePayload : public nv::LauncherPayload {
public:
    std::vector<std::string> names;
    std::vector<std::string> directories;
    nv::StringList extractType(std::uint8_t type, const LauncherString& directory) override {
        EXPECT_EQ(type, nv::typeVerifyArchive);
        directories.push_back(directory.str());
        nv::StringList written;
        for (const std::string& name : names) written.append(directory + "\\" + LauncherString(name));
        return written;
    }
    int modeByte() const override { return -1; }
};

class JvmVerificationTest : public nv::JvmFileTestBase {
protected:
    JvmVerificationTest() : nv::JvmFileTestBase("nv_verify_") {}
    std::string makeHome() {
        nv::writeFile(base / "jdk" / "bin" / "java.exe", "x");
        return (base / "jdk").string();
    }
};

TEST_F(JvmVerificationTest, OutputIsCheckedAgainstTheIdentificationAndTheExpectedValues) {
    const struct Case {
        const char* output;
        std::vector<std::string> expected;
        bool matches;
        const char* log;
    } cases[] = {
        {"1739021872\n1.8.0_412\nDebian\n", {"1.8...", "Debian"}, true, ""},
        // JVM chatter before the identification, blanks and CR LF around lines.
        {"Picked up _JAVA_OPTIONS\r\n  1739021872 \r\n\t1.3.1_02\r\n", {"1.3..."}, true, ""},
        {"1739021872\n1.3\n", {"1.3..."}, true, ""},
        {"1739021872\n1.3.0\n", {"1.3..."}, true, ""},
        {"1739021872\n1.2.2\n", {"1.3..."}, false, ""},
        {"1739021872\n1.\n", {"1.3..."}, false, ""},
        {"1739021872\n1.3.0\n", {"1.3"}, false, ""},
        {"1739021872\nEXAMPLE\n", {"Example"}, false, ""},
        {"1739021872\nanything at all\n", {"..."}, true, ""},
        {"1739021872\n1.2.3\n", {"1...3"}, false, ""},
        {"1739021872\n1...3\n", {"1...3"}, true, ""},
        // In order: the second line is held against the second value.
        {"1739021872\nDebian\n17.0.15\n", {"17...", "Debian"}, false, ""},
        // Missing lines are not checked; extra lines are not read.
        {"1739021872\n", {"1.3...", "Example"}, true, ""},
        {"1739021872\n17.0.15", {"17...", "Example"}, true, ""},
        {"1739021872\n17.0.15\nDebian\nmore\n", {"17..."}, true, ""},
        {"1739021872\n\nDebian\n", {"17...", "Debian"}, false, ""},
        // No identification line: the last line read is logged.
        {"", {}, false, "ERROR: Invalid magic value: \n\n"},
        {"1739021873\nnull\n", {}, false, "ERROR: Invalid magic value: null\n\n"},
        {"Error: could not find Verify\r\n", {}, false, "ERROR: Invalid magic value: Error: could not find Verify\n\n"},
        {"17390218720\n", {}, false, "ERROR: Invalid magic value: 17390218720\n\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output);
        fs::remove(base / "run.log");
        EXPECT_EQ(nv::verificationOutputMatches(LauncherString(c.output), listOf(c.expected)), c.matches);
        EXPECT_EQ(runLog(), c.log);
    }
}

TEST_F(JvmVerificationTest, PropertiesGiveTrimmedNamesAndValuesAndSkipValuesWithoutEquals) {
    tags.addValue("JVM_PROPERTIES", "java.version=1.3...");
    tags.addValue("JVM_PROPERTIES", " java.vendor = Example Corp. ");
    tags.addValue("JVM_PROPERTIES", "broken");
    tags.addValue("JVM_PROPERTIES", "a=b=c");
    nv::StringList names;
    nv::StringList expected;
    nv::readExpectedProperties(tags, names, expected);
    EXPECT_EQ(texts(names), (std::vector<std::string>{"java.version", "java.vendor", "a"}));
    EXPECT_EQ(texts(expected), (std::vector<std::string>{"1.3...", "Example Corp.", "b=c"}));
    EXPECT_EQ(runLog(), "WARNING: Invalid JVM_PROPERTIES setting (broken) in JVM File \n");
}

// The command as the launch script builds it: the home and the class path
// (extracted by the launcher, or an input file's, quoted or not) reach it as
// they stand, the class path as one element in quotes.
class VerificationCommandTest : public nv::RunTest {};

TEST_F(VerificationCommandTest, HomeAndClassPathReachTheCommandAsTheyStand) {
    nv::TagFile tags;
    tags.setValue("JVM_EXE", "bin\\java.exe");
    tags.setValue("CLASSPATH", "-cp ");
    nv::JvmFile jvm(tags, settings, jvmVerifier);
    const struct Case {
        const char* home;
        const char* classPath;
        const char* className;
        std::vector<std::string> names;
        const char* command;
    } cases[] = {
        {"C:\\jdk",
         "\"C:\\t\\LRE1\\verify.jar\"",
         "\"Verify\"",
         {"java.version", "java.vendor"},
         "\"C:\\jdk\\bin\\java.exe\" -cp \"C:\\t\\LRE1\\verify.jar\" \"Verify\" java.version java.vendor"},
        {"C:\\jdk\\", "C:\\v\\verify.jar", "Verify", {}, "\"C:\\jdk\\bin\\java.exe\" -cp \"C:\\v\\verify.jar\" Verify"},
        {"C:\\Java#1\\50% off@x",
         "\"C:\\Temp#1\\LRE%1\\\"",
         "Verify",
         {"p"},
         "\"C:\\Java#1\\50% off@x\\bin\\java.exe\" -cp \"C:\\Temp#1\\LRE%1\\\\\" Verify p"},
        {"C:\\jdk", "", "", {}, "\"C:\\jdk\\bin\\java.exe\"  "},
    };
    for (const Case& c : cases) {
        nv::LaunchScript script(nv::verificationCommand(c.home, c.classPath, c.className, listOf(c.names)),
                                nv::OutputCapture::on, nv::EmbeddedArchives::leftOut, settings, files);
        EXPECT_EQ(script.buildCommand(jvm).str(), c.command) << c.home;
    }
}

TEST_F(JvmVerificationTest, VerifierRunsTheCommandWithTheHomeSetAndStepsTheBarEitherWay) {
    tags.addValue("JVM_PROPERTIES", "java.vendor=Debian");
    tags.addValue("JVM_PROPERTIES", "java.version=17...");
    tags.setValue("JVM_HOME", "C:\\old");
    nv::JvmFile jvm(tags, settings, jvmVerifier);
    FakeRunVerifier verifier{settings, files};
    for (const auto& [output, accepted] : std::vector<std::pair<std::string, bool>>{
             {"1739021872\nDebian\n17.0.15\n", true}, {"1739021872\nDebian\n11.0.2\n", false}}) {
        ui.steps.clear();
        verifier.commands.clear();
        verifier.output = output;
        EXPECT_EQ(verifier.verifyJvm(jvm, "C:\\jdk\\", "\"v.jar\"", "\"Verify\""), accepted);
        EXPECT_EQ(verifier.commands, std::vector<std::string>{"\"C:\\jdk\\@JVM_EXE@\" %CP%(\"\"\"v.jar\"\"\") "
                                                              "\"Verify\" java.vendor java.version"});
        EXPECT_EQ(tags.value("JVM_HOME").str(), "C:\\jdk\\");
        EXPECT_EQ(ui.steps, std::vector<unsigned>{6});
    }
}

// MIN_JAVA_VERSION and MAX_JAVA_VERSION: java.version is asked for before
// JVM_PROPERTIES, and a version outside the range fails the candidate with
// a log line that names the version, the home and the range.
TEST_F(JvmVerificationTest, AVersionOutsideTheRangeFailsTheCandidateAndIsLogged) {
    const struct Case {
        const char* minimum;  // empty: not set
        const char* maximum;
        const char* output;
        bool accepted;
        const char* log;
    } cases[] = {
        {"17", "", "1739021872\n11.0.2\nDebian\n", false, "Found Java 11.0.2 at C:\\jdk; needs Java 17+\n"},
        {"17", "", "1739021872\n17.0.15\nDebian\n", true, ""},
        {"1.8", "", "1739021872\n1.8.0_40\nDebian\n", true, ""},
        {"17", "21.99", "1739021872\n22.0.1\nDebian\n", false, "Found Java 22.0.1 at C:\\jdk; needs Java 17 - 21.99\n"},
        {"17", "21", "1739021872\n21.0.9\nDebian\n", true, ""},
        {"", "21.99", "1739021872\n25-ea\nDebian\n", false, "Found Java 25-ea at C:\\jdk; needs Java <= 21.99\n"},
        // In range, but a property differs: silent, as before.
        {"17", "", "1739021872\n17.0.15\nOracle\n", false, ""},
        // A version that cannot be compared, or none at all, is no proof.
        {"17", "", "1739021872\nnull\nDebian\n", false, "Found Java null at C:\\jdk; needs Java 17+\n"},
        {"17", "", "1739021872\n", false, "Found Java  at C:\\jdk; needs Java 17+\n"},
        // Nor is a bound that is no version met by any.
        {"seventeen", "", "1739021872\n17.0.15\nDebian\n", false,
         "Found Java 17.0.15 at C:\\jdk; needs Java seventeen+\n"},
        {"17", "21.x", "1739021872\n17.0.15\nDebian\n", false, "Found Java 17.0.15 at C:\\jdk; needs Java 17 - 21.x\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.minimum) + " to " + c.maximum + ": " + c.output);
        nv::TagFile ranged;
        ranged.setValue("JVM_EXE", "bin\\java.exe");
        ranged.setValue("JVM_PROPERTIES", "java.vendor=Debian");
        if (*c.minimum) ranged.setValue("MIN_JAVA_VERSION", c.minimum);
        if (*c.maximum) ranged.setValue("MAX_JAVA_VERSION", c.maximum);
        nv::JvmFile jvm(ranged, settings, jvmVerifier);
        FakeRunVerifier verifier{settings, files};
        verifier.output = c.output;
        fs::remove(base / "run.log");
        EXPECT_EQ(verifier.verifyJvm(jvm, "C:\\jdk", "v.jar", "Verify"), c.accepted);
        EXPECT_EQ(verifier.commands, std::vector<std::string>{"\"C:\\jdk\\@JVM_EXE@\" %CP%(\"\"\"v.jar\"\"\") Verify "
                                                              "java.version java.vendor"});
        EXPECT_EQ(runLog(), c.log);
    }
}

class VersionRangeTest : public nv::RunTest {};

TEST_F(VersionRangeTest, TheNotFoundMessageListsEachRangeOnceInASCII) {
    nv::JvmSearch search{settings, files};
    const std::vector<std::pair<const char*, const char*>> ranges = {{"", ""},   {"17", ""}, {"17", "21.99"},
                                                                     {"17", ""}, {"", "11"}, {"1.8", "1.8"}};
    std::vector<std::unique_ptr<nv::TagFile>> tagFiles;
    for (const auto& [minimum, maximum] : ranges) {
        tagFiles.push_back(std::make_unique<nv::TagFile>());
        if (*minimum) tagFiles.back()->setValue("MIN_JAVA_VERSION", minimum);
        if (*maximum) tagFiles.back()->setValue("MAX_JAVA_VERSION", maximum);
        search.jvmFiles().append(std::make_unique<nv::JvmFile>(*tagFiles.back(), settings, jvmVerifier));
    }
    LauncherString message = "Not found.";
    nv::appendWantedJavaVersions(message, search.jvmFiles());
    EXPECT_EQ(message.str(), "Not found.\nJava 17+\nJava 17 - 21.99\nJava <= 11\nJava 1.8 - 1.8");
    nv::JvmSearch unranged{settings, files};
    unranged.jvmFiles().append(std::make_unique<nv::JvmFile>(*tagFiles.front(), settings, jvmVerifier));
    message = "Not found.";
    nv::appendWantedJavaVersions(message, unranged.jvmFiles());
    EXPECT_EQ(message.str(), "Not found.");
}

class VerifyClassTest : public nv::RunTest {};

TEST_F(VerifyClassTest, TheLastArchiveOfTypeFiveIsUsedOnlyWhileNothingIsSet) {
    nv::RecordingProgressUi ui;
    const nv::TestDirectory temp("nv_verify_class_");
    settings.tempDirOverride = LauncherString(temp.string() + "/");
    FakePayload none;
    nv::JvmSearch search{settings, files};
    nv::prepareVerifyClass(search, none);
    EXPECT_EQ(search.verifyClassPath.str(), "");
    EXPECT_EQ(search.verifyClassName.str(), "");

    FakePayload two;
    two.names = {"first.jar", "verify.jar"};
    nv::prepareVerifyClass(search, two);
    ASSERT_EQ(two.directories.size(), 1u);
    EXPECT_EQ(search.verifyClassPath.str(), "\"" + two.directories[0] + "\\verify.jar\"");
    EXPECT_EQ(search.verifyClassName.str(), "\"Verify\"");
    nv::prepareVerifyClass(search, two);
    EXPECT_EQ(two.directories.size(), 1u);  // filled once, then kept

    FakePayload given;
    given.names = {"verify.jar"};
    nv::JvmSearch fromInput{settings, files};
    fromInput.verifyClassPath = "C:\\v\\verify.jar";
    fromInput.verifyClassName = "Verify";
    nv::prepareVerifyClass(fromInput, given);
    EXPECT_TRUE(given.directories.empty());
    EXPECT_EQ(fromInput.verifyClassPath.str(), "C:\\v\\verify.jar");
}

TEST_F(JvmVerificationTest, VerifyOneReportsTheHomeOrTheFailureAsAsked) {
    const std::string home = makeHome();
    tags.addValue("JVM_PROPERTIES", "java.vendor=Debian");
    FakeRunVerifier verifier{settings, files};
    nv::JvmFile jvm(tags, settings, verifier);
    nv::JvmSearch search{settings, files};
    search.verifyClassPath = "v.jar";
    search.verifyClassName = "Verify";

    verifier.output = "1739021872\nDebian\n";
    LauncherString javaHome;
    EXPECT_TRUE(nv::verifyOne(nv::VerifyProgress::shown, nv::VerifyFailure::shown, jvm, LauncherString(home), search,
                              javaHome));
    EXPECT_EQ(javaHome.str(), home);
    EXPECT_NE(runLog().find("After VERIFY, the jvm home is " + home + "\n"), std::string::npos) << runLog();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_NE(std::find(ui.events.begin(), ui.events.end(), "status  | Verifying Test JVM"), ui.events.end());
    EXPECT_EQ(verifier.commands,
              std::vector<std::string>{"\"" + home + "\\@JVM_EXE@\" %CP%(\"\"\"v.jar\"\"\") Verify java.vendor"});

    // No home given: the JVM file's own JVM_HOME is tried.
    verifier.output = "1739021872\nOracle\n";
    for (nv::VerifyFailure failure : {nv::VerifyFailure::silent, nv::VerifyFailure::shown}) {
        fs::remove(base / "run.log");
        ui.messages.clear();
        javaHome = "unchanged";
        EXPECT_FALSE(nv::verifyOne(nv::VerifyProgress::hidden, failure, jvm, "", search, javaHome));
        EXPECT_EQ(javaHome.str(), "unchanged");
        EXPECT_EQ(ui.messages, failure == nv::VerifyFailure::shown ? std::vector<std::string>{"The JVM is not valid."}
                                                                   : std::vector<std::string>{});
        EXPECT_NE(runLog().find("Verifying JVM at " + home + "\\bin\\java.exe"), std::string::npos) << runLog();
        EXPECT_NE(runLog().find("In VERIFY, the jvm is invalid.\n"), std::string::npos);
    }
}

// A verifier whose JVM cannot be run: the process runner's failure comes
// back from run().
class FailingRunVerifier : public nv::JvmVerifier {
public:
    FailingRunVerifier(const nv::RunSettings& settings, nv::TemporaryFiles& files, bool childFailure)
        : nv::JvmVerifier(settings, files), childFailure_(childFailure) {}

protected:
    LauncherString run(nv::JvmFile&, const LauncherString&) override {
        const nv::LauncherException failure("CreateProcess failed  ==>  Bad EXE format for C:\\zz\\bin\\java.exe.");
        if (childFailure_) throw nv::ChildProcessFailure(failure);
        throw failure;
    }

private:
    bool childFailure_;
};

// A JVM that cannot be started or never ends fails as a candidate, logged with
// its home and the reason; any other failure of the runner ends the search.
TEST_F(JvmVerificationTest, OnlyTheChildsOwnFailureFailsTheCandidate) {
    nv::JvmFile jvm(tags, settings, jvmVerifier);
    FailingRunVerifier child(settings, files, true);
    EXPECT_FALSE(child.verifyJvm(jvm, "C:\\zz", "v.jar", "Verify"));
    EXPECT_NE(runLog().find("WARNING: The JVM at C:\\zz failed: CreateProcess failed  ==>  Bad EXE format for "
                            "C:\\zz\\bin\\java.exe.\n"),
              std::string::npos)
        << runLog();
    EXPECT_EQ(ui.steps, std::vector<unsigned>{6});

    FailingRunVerifier runner(settings, files, false);
    EXPECT_THROW(runner.verifyJvm(jvm, "C:\\zz", "v.jar", "Verify"), nv::LauncherException);
}

}  // namespace
