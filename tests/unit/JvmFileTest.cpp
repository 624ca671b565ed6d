// JVM files on the host: candidate checks, path hints, the JVM_PROPERTIES
// precondition, platform hint parsing with a registry of the test's own, and
// the safe reading of registry data. The real registry, drives and sharing
// are checked under Wine.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "cleanup/CleanupList.h"
#include "foundation/LauncherException.h"
#include "foundation/Log.h"
#include "foundation/ProgressUi.h"
#include "foundation/ResourceText.h"
#include "foundation/RunSettings.h"
#include "jvm/FileExists.h"
#include "jvm/JvmFile.h"
#include "jvm/PathHint.h"
#include "jvm/PlatformHint.h"
#include "jvm/RegistryQuery.h"
#include "tagfile/TagFile.h"
#include "tests/support/RecordingPause.h"
#include "tests/support/RecordingProgressUi.h"
#include "tests/support/JvmFileTest.h"
#include "tests/support/StringLists.h"
#include "tests/support/TestDirectory.h"

namespace fs = std::filesystem;
using nv::LauncherString;
using nv::readFile;
using nv::texts;

namespace {

// Records what it is asked and answers as told.
class FakeVerifier : public nv::CandidateVerifier {
public:
    bool verifyJvm(nv::JvmFile&, const LauncherString& home, const LauncherString& classPath,
                   const LauncherString& className) override {
        calls.push_back(home.str() + " | " + classPath.str() + " | " + className.str());
        return accept;
    }
    bool accept = true;
    std::vector<std::string> calls;
};

class JvmFileTest : public nv::JvmFileTestBase {
protected:
    JvmFileTest() : nv::JvmFileTestBase("nv_jvm_") { tags.setValue("JVM_PROPERTIES", "java.vendor=Debian"); }

    // A Java home with its executable; returns the home's path.
    std::string makeHome(const fs::path& home) {
        nv::writeFile(home / "bin" / "java.exe", "x");
        return home.string();
    }

    FakeVerifier verifier;
};

TEST_F(JvmFileTest, HomeWithOrWithoutFinalSeparatorGivesOneExecutableButKeepsTheHome) {
    const std::string jdk = makeHome(base / "jdk");
    nv::JvmFile jvm(tags, settings, verifier);
    for (const std::string& home : {jdk, jdk + "\\"}) {
        SCOPED_TRACE(home);
        fs::remove(base / "run.log");
        verifier.calls.clear();
        auto match = jvm.checkHome(LauncherString(home), "\"v.jar\"", "\"Verify\"");
        ASSERT_NE(match, nullptr);
        EXPECT_EQ(match->home().str(), home);
        EXPECT_FALSE(match->temporary());
        EXPECT_EQ(&match->tags(), &tags);
        EXPECT_EQ(verifier.calls, std::vector<std::string>{home + " | \"v.jar\" | \"Verify\""});
        EXPECT_EQ(runLog(), "Verifying JVM at " + jdk +
                                "\\bin\\java.exe\n   for JVM: Test JVM\n"
                                "Found matching JVM at " +
                                home + "\n");
    }
    EXPECT_TRUE(ui.steps.empty());
}

TEST_F(JvmFileTest, CheckHomeShowsVerifyingAndRestoresTheStatusItReplaced) {
    const std::string jdk = makeHome(base / "jdk");
    nv::JvmFile jvm(tags, settings, verifier);
    nv::setStatusDetail(nv::StatusDetail::searching, "Other JVM");
    ui.events.clear();
    verifier.accept = false;
    EXPECT_EQ(jvm.checkHome(LauncherString(jdk), "", ""), nullptr);
    EXPECT_EQ(ui.events,
              (std::vector<std::string>{"status  | Verifying Test JVM", "status  | Searching for Other JVM"}));
    // A rejected candidate logs its check and nothing more.
    EXPECT_EQ(runLog(), "Verifying JVM at " + jdk + "\\bin\\java.exe\n   for JVM: Test JVM\n");
}

TEST_F(JvmFileTest, CheckHomeOfAMissingExecutableStepsTheBarWithoutVerifying) {
    nv::JvmFile jvm(tags, settings, verifier);
    const std::string home = (base / "nothing").string();
    EXPECT_EQ(jvm.checkHome(LauncherString(home), "", ""), nullptr);
    EXPECT_TRUE(verifier.calls.empty());
    EXPECT_EQ(ui.steps, std::vector<unsigned>{2});
    const std::string exe = home + "\\bin\\java.exe";
    EXPECT_EQ(runLog(), "Verifying JVM at " + exe + "\n   for JVM: Test JVM\n" + exe + " does not exist\n");
}

TEST_F(JvmFileTest, CheckHomeWithoutExecutableNameOrHomeIsSilent) {
    const std::string jdk = makeHome(base / "jdk");
    nv::JvmFile jvm(tags, settings, verifier);
    EXPECT_EQ(jvm.checkHome("", "", ""), nullptr);
    tags.removeTag("JVM_EXE");
    EXPECT_EQ(jvm.checkHome(LauncherString(jdk), "", ""), nullptr);
    EXPECT_TRUE(verifier.calls.empty());
    EXPECT_TRUE(ui.events.empty());
    EXPECT_FALSE(fs::exists(base / "run.log"));
}

TEST_F(JvmFileTest, WithoutJvmPropertiesNoHintSearchLooksButCheckHomeStillMatches) {
    const std::string jdk = makeHome(base / "jdk");
    const fs::path file = base / "nojvmprops.tag";
    nv::writeFile(file, "DESC: Test JVM\nJVM_EXE: bin\\java.exe\nJVM_HOME: " + jdk + "\nPATH_HINT: " + jdk +
                            "\nPLATFORM_HINT: \\HKLM\\refused\\if\\read\n");
    nv::TagFile loaded;
    loaded.load(LauncherString(file.string()));
    nv::JvmFile jvm(loaded, settings, verifier);
    const std::string warning =
        "WARNING: Unable to verify " + file.string() + " because the JVM_PROPERTIES tag was not specified.\n";

    EXPECT_EQ(jvm.searchByPlatformHints("", ""), nullptr);
    EXPECT_EQ(jvm.searchByPathHints("", ""), nullptr);
    EXPECT_EQ(jvm.searchByPlatformPaths("", ""), nullptr);
    EXPECT_EQ(jvm.verifyStatedHome("", ""), nullptr);
    EXPECT_EQ(runLog(), warning + warning + warning + warning);
    EXPECT_TRUE(verifier.calls.empty());

    EXPECT_NE(jvm.checkHome(LauncherString(jdk), "", ""), nullptr);
}

TEST_F(JvmFileTest, VerifyStatedHomeChecksTheFilesOwnHome) {
    const std::string jdk = makeHome(base / "jdk");
    tags.setValue("JVM_HOME", LauncherString(jdk + "\\"));
    nv::JvmFile jvm(tags, settings, verifier);
    auto match = jvm.verifyStatedHome("cp", "name");
    ASSERT_NE(match, nullptr);
    EXPECT_EQ(match->home().str(), jdk + "\\");
    EXPECT_EQ(verifier.calls, std::vector<std::string>{jdk + "\\ | cp | name"});
}

TEST_F(JvmFileTest, PlatformPathsLogTheirSearchAndFindNothing) {
    nv::JvmFile jvm(tags, settings, verifier);
    EXPECT_EQ(jvm.searchByPlatformPaths("", ""), nullptr);
    EXPECT_EQ(runLog(), "Searching for Test JVM using platform specific JVM Path hints\n");
}

TEST(PathHintTest, CandidatesOfFullDriveRootedAndRelativeHints) {
    nv::StringList drives;
    drives.append("C:");
    drives.append("E:");
    struct Case {
        const char* hint;
        const char* launcherDirectory;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"\\jre", "D:\\setup", {"C:\\jre", "E:\\jre"}},
        {"\\", "D:\\setup", {"C:\\", "E:\\"}},
        {"\\java\\jdk\\", "", {"C:\\java\\jdk\\", "E:\\java\\jdk\\"}},
        {"jre", "D:\\setup", {"D:\\setup\\jre"}},
        {"..\\jre", "D:\\setup", {"D:\\setup\\..\\jre"}},
        {"jre", "", {"jre"}},
        // Full paths stand as they are.
        {"C:\\Program Files\\Java\\jdk-17", "D:\\setup", {"C:\\Program Files\\Java\\jdk-17"}},
        {"x:/java/jre", "D:\\setup", {"x:/java/jre"}},
        {"Q:", "D:\\setup", {"Q:"}},
        {"\\\\server\\share\\jre", "D:\\setup", {"\\\\server\\share\\jre"}},
        // A drive's current directory or a colon after no letter: relative.
        {"C:jre", "D:\\setup", {"D:\\setup\\C:jre"}},
        {"1:\\jre", "D:\\setup", {"D:\\setup\\1:\\jre"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hint);
        EXPECT_EQ(texts(nv::pathHintCandidates(c.hint, drives, c.launcherDirectory)), c.expected);
    }
}

TEST_F(JvmFileTest, RelativePathHintStartsAtTheOriginalLauncherAndMatchesAsTemporary) {
    const std::string setup = (base / "setup").string();
    makeHome(base / "setup" / "jre");
    tags.addValue("PATH_HINT", "missing");
    tags.addValue("PATH_HINT", "jre");
    nv::JvmFile jvm(tags, settings, verifier);
    struct Case {
        std::string launcherPath;
        std::string originalLauncherPath;
    };
    // The copy started with -nv:orig runs elsewhere; only the original's directory counts.
    const Case cases[] = {{(base / "copy" / "LRE1.exe").string(), setup + "\\launch.exe"}, {setup + "/launch.exe", ""}};
    std::unique_ptr<nv::JvmMatch> match;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.launcherPath);
        fs::remove(base / "run.log");
        settings.launcherPath = LauncherString(c.launcherPath);
        settings.originalLauncherPath = LauncherString(c.originalLauncherPath);
        match = jvm.searchByPathHints("", "");
        ASSERT_NE(match, nullptr);
        EXPECT_EQ(match->home().str(), setup + "\\jre");
        EXPECT_TRUE(match->temporary());
        EXPECT_EQ(runLog().find("Checking path hint"), std::string::npos);
        EXPECT_EQ(runLog().find("Searching for Test JVM using path hints\n"), 0u);
    }

    // The written file tells the Java program that this home goes away with the setup.
    const std::string written = match->writeJvmFile(files).str();
    EXPECT_NE(readFile(written).find("JVM_TEMP:  1\n"), std::string::npos) << readFile(written);
}

// The host's one drive is "/", named by the empty text: a drive-rooted hint
// then reads as a host path.
TEST_F(JvmFileTest, DriveRootedPathHintsAreCheckedInOrderAndLogged) {
    std::string root = base.string().substr(1);
    for (char& ch : root) {
        if (ch == '/') ch = '\\';
    }
    makeHome(base / "jdk");
    const std::string missing = "\\" + root + "\\missing";
    const std::string jdk = "\\" + root + "\\jdk";
    tags.addValue("PATH_HINT", LauncherString(missing));
    tags.addValue("PATH_HINT", LauncherString(jdk));
    tags.addValue("PATH_HINT", "\\never\\tried");
    nv::JvmFile jvm(tags, settings, verifier);
    auto match = jvm.searchByPathHints("cp", "name");
    ASSERT_NE(match, nullptr);
    EXPECT_EQ(match->home().str(), jdk);
    EXPECT_FALSE(match->temporary());
    const std::string log = runLog();
    const auto first = log.find("Checking path hint " + missing + "\n");
    const auto second = log.find("Checking path hint " + jdk + "\n");
    ASSERT_NE(first, std::string::npos) << log;
    ASSERT_NE(second, std::string::npos) << log;
    EXPECT_LT(first, second);
    EXPECT_EQ(log.find("never"), std::string::npos) << log;
    EXPECT_EQ(verifier.calls, std::vector<std::string>{jdk + " | cp | name"});
}

TEST_F(JvmFileTest, WrittenJvmFileCarriesTheMatchAndIsRemovedAtTheEnd) {
    nv::JvmMatch match("C:\\jdk\\", false, tags);
    const LauncherString path = match.writeJvmFile(files);
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(fs::path(path.str()).parent_path(), base / "temp");
    EXPECT_EQ(tags.value("JVM_HOME"), LauncherString("C:\\jdk\\"));
    EXPECT_EQ(tags.value("JVM_FILE"), path);
    EXPECT_EQ(tags.value("JVM_TEMP"), LauncherString("0"));
    EXPECT_EQ(readFile(path.str()),
              "DESC:  Test JVM\nJVM_EXE:  bin\\java.exe\nJVM_PROPERTIES:  java.vendor=Debian\n"
              "JVM_HOME:  C:\\jdk\\\nJVM_FILE:  " +
                  path.str() + "\nJVM_TEMP:  0\n");
    files.cleanUp(pause);
    EXPECT_FALSE(fs::exists(path.str()));
}

// A JVM file read as the launch script reads its values.
class JvmVariablesTest : public nv::RunTest {};

TEST_F(JvmVariablesTest, LookupVariableDropsOneFinalSeparatorOfJvmHomeOnly) {
    nv::TagFile tags;
    tags.setValue("JVM_HOME", "C:\\jdk\\");
    tags.setValue("OTHER", "C:\\other\\");
    nv::JvmFile jvm(tags, settings, jvmVerifier);
    EXPECT_EQ(jvm.lookupVariable("JVM_HOME"), LauncherString("C:\\jdk"));
    EXPECT_EQ(jvm.lookupVariable("OTHER"), LauncherString("C:\\other\\"));
    EXPECT_EQ(jvm.lookupVariable("MISSING"), LauncherString());
    tags.setValue("JVM_HOME", "C:\\jdk\\\\");
    EXPECT_EQ(jvm.lookupVariable("JVM_HOME"), LauncherString("C:\\jdk\\"));
    tags.setValue("JVM_HOME", "\\");
    EXPECT_EQ(jvm.lookupVariable("JVM_HOME"), LauncherString());
}

TEST(PlatformHintTest, HintsSplitIntoHiveKeyAndValue) {
    struct Case {
        const char* hint;
        const char* hive;
        const char* key;
        const char* value;
        const char* keyWithValue;
    };
    const Case cases[] = {
        {"\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Example\\1.0\\JavaHome", "HKEY_LOCAL_MACHINE", "SOFTWARE\\Example\\1.0",
         "JavaHome", "SOFTWARE\\Example\\1.0\\JavaHome"},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Example\\1.0\\JavaHome", "HKEY_LOCAL_MACHINE", "SOFTWARE\\Example\\1.0",
         "JavaHome", "SOFTWARE\\Example\\1.0\\JavaHome"},
        {"\\HKEY_LOCAL_MACHINE\\Home", "HKEY_LOCAL_MACHINE", "Home", "Home", "Home"},
        {"\\HKEY_CURRENT_USER\\Key\\", "HKEY_CURRENT_USER", "Key", "", "Key\\"},
        {"\\HKEY_LOCAL_MACHINE", "", "", "", ""},
        {"\\\\Software\\Home", "", "Software", "Home", "Software\\Home"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hint);
        const nv::PlatformHintParts parts = nv::splitPlatformHint(c.hint);
        EXPECT_EQ(parts.hiveName.str(), c.hive);
        EXPECT_EQ(parts.keyPath.str(), c.key);
        EXPECT_EQ(parts.valueName.str(), c.value);
        EXPECT_EQ(parts.keyWithValue.str(), c.keyWithValue);
    }
}

// A registry of the test's own: answers in order, calls recorded as
// "hive|key|value" with the hive's number.
struct FakeRegistry {
    std::vector<nv::RegistryValue> answers;
    std::vector<std::string> calls;

    nv::RegistryReader reader() {
        return [this](nv::RegistryHive hive, const LauncherString& key, const LauncherString& value) {
            calls.push_back(std::to_string(static_cast<int>(hive)) + "|" + key.str() + "|" + value.str());
            return calls.size() <= answers.size() ? answers[calls.size() - 1] : nv::RegistryValue();
        };
    }
};

nv::RegistryValue answer(bool read, unsigned long error, const char* text = "") {
    nv::RegistryValue value;
    value.read = read;
    value.error = error;
    value.text = text;
    return value;
}

TEST_F(JvmFileTest, PlatformHintReadsTheValueThenTheKeysDefaultValue) {
    // The warning names the hint that missed.
    const std::string notFound =
        "WARNING: Invalid platform hint: \\HKEY_CLASSES_ROOT\\Example\\Home: " + nv::systemErrorText(2).str() + "\n";
    const std::string denied =
        "WARNING: Invalid platform hint: \\HKEY_CURRENT_CONFIG\\Example\\Home: " + nv::systemErrorText(13).str() + "\n";
    struct Case {
        const char* hint;
        std::vector<nv::RegistryValue> answers;
        std::vector<std::string> calls;
        std::vector<std::string> homes;
        std::string log;
    };
    // The reader looks in both registry views: a failed read may be a key
    // missing from both, or one present (in either) without the value.
    const Case cases[] = {
        {"\\HKEY_CURRENT_USER\\Software\\Example\\Home",
         {answer(true, 0, "C:\\jdk")},
         {"1|Software\\Example|Home"},
         {"C:\\jdk"},
         ""},
        {"HKEY_CURRENT_USER\\Software\\Example\\Home",
         {answer(true, 0, "C:\\jdk")},
         {"1|Software\\Example|Home"},
         {"C:\\jdk"},
         ""},
        {"\\HKEY_LOCAL_MACHINE\\Home",
         {answer(false, 2), answer(true, 0, "D:\\java")},
         {"0|Home|Home", "0|Home|"},
         {"D:\\java"},
         ""},
        // A key missing in both views: its default-value form is still tried.
        {"\\HKEY_USERS\\.DEFAULT\\Example\\Home",
         {answer(false, 2), answer(true, 0, "E:\\jre")},
         {"2|.DEFAULT\\Example|Home", "2|.DEFAULT\\Example\\Home|"},
         {"E:\\jre"},
         ""},
        // Neither reads: the warning names what failed the named value.
        {"\\HKEY_CLASSES_ROOT\\Example\\Home",
         {answer(false, 2), answer(false, 13)},
         {"3|Example|Home", "3|Example\\Home|"},
         {},
         notFound},
        {"\\HKEY_CURRENT_CONFIG\\Example\\Home",
         {answer(false, 13), answer(false, 2)},
         {"4|Example|Home", "4|Example\\Home|"},
         {},
         denied},
        {"\\HKEY_LOCAL_MACHINE\\Example\\Home", {answer(true, 0, "")}, {"0|Example|Home"}, {}, ""},
        {"", {}, {}, {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hint);
        fs::remove(base / "run.log");
        FakeRegistry registry{c.answers, {}};
        EXPECT_EQ(texts(nv::resolvePlatformHint(c.hint, registry.reader())), c.homes);
        EXPECT_EQ(registry.calls, c.calls);
        EXPECT_EQ(runLog(), c.log);
    }
}

TEST(PlatformHintTest, UnknownOrMissingHiveIsRefusedWithTheHintBeforeAnyRead) {
    struct Case {
        const char* hint;
        const char* hive;
    };
    const Case cases[] = {
        {"\\HKLM\\Software\\Example\\Home", "HKLM"},
        {"\\HKEY_LOCAL_MACHINE", ""},
        {"hkey_local_machine\\Software\\Home", "hkey_local_machine"},
        {"\\\\Software\\Home", ""},
        {"Home", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hint);
        FakeRegistry registry;
        try {
            nv::resolvePlatformHint(c.hint, registry.reader());
            ADD_FAILURE() << "no exception";
        } catch (const nv::LauncherException& e) {
            EXPECT_EQ(e.message().str(),
                      std::string("Invalid hive (") + c.hive + ") specified in platform hint (" + c.hint + ").");
        }
        EXPECT_TRUE(registry.calls.empty());
    }
}

TEST_F(JvmFileTest, PlatformHintSearchSkipsEmptyHintsWarnsOnMissingKeysAndStopsOnABadHive) {
    tags.addValue("PLATFORM_HINT", "");
    tags.addValue("PLATFORM_HINT", "\\HKEY_CURRENT_USER\\Software\\Example\\Home");
    nv::JvmFile jvm(tags, settings, verifier);
    EXPECT_EQ(jvm.searchByPlatformHints("", ""), nullptr);
    // The host has no registry: its key is missing as on a machine without the JVM.
    EXPECT_EQ(runLog(),
              "Searching for Test JVM using platform hints\nWARNING: Invalid platform hint: "
              "\\HKEY_CURRENT_USER\\Software\\Example\\Home: " +
                  std::string(std::strerror(ENOENT)) + "\n");

    tags.addValue("PLATFORM_HINT", "\\HKCU\\Software\\Example\\Home");
    EXPECT_THROW(jvm.searchByPlatformHints("", ""), nv::LauncherException);
    EXPECT_TRUE(verifier.calls.empty());
}

TEST(RegistryDataTest, TextEndsAtTheFirstZeroOrTheEndOfTheData) {
    struct Case {
        std::vector<char> data;
        std::string expected;
    };
    const Case cases[] = {
        {{'C', ':', '\\', 'j', '\0'}, "C:\\j"},      // REG_SZ as stored
        {{'C', ':', '\\', 'j'}, "C:\\j"},            // REG_SZ without its zero
        {{'a', '\0', 'b', '\0', '\0'}, "a"},         // REG_MULTI_SZ: its first string
        {{'\x34', '\x12', '\0', '\0'}, "\x34\x12"},  // REG_DWORD 0x1234
        {{'\x01', '\x02', '\x03'}, "\x01\x02\x03"},  // REG_BINARY without a zero
        {{'\0', 'x'}, ""},
        {{}, ""},
    };
    for (const Case& c : cases) {
        // An exact-size heap copy, so that a read past the end is caught.
        std::unique_ptr<char[]> exact(new char[c.data.size() + (c.data.empty() ? 1 : 0)]);
        if (!c.data.empty()) std::memcpy(exact.get(), c.data.data(), c.data.size());
        EXPECT_EQ(nv::registryDataText(exact.get(), c.data.size()).str(), c.expected);
    }
    EXPECT_EQ(nv::registryDataText(nullptr, 0), LauncherString());
}

TEST_F(JvmFileTest, FileExistsTellsMissingFromOtherFailuresWhichItLogs) {
    const std::string jdk = makeHome(base / "jdk");
    struct Case {
        std::string path;
        bool exists;
        std::string log;
    };
    const Case cases[] = {
        {jdk + "\\bin\\java.exe", true, ""},
        {jdk + "\\bin\\javaw.exe", false, ""},
        {jdk + "\\lib\\java.exe", false, ""},
        {jdk + "\\bin\\java.exe\\inner", false, ""},  // a file on the path: not found either
        {jdk + "\\bin", false, std::string(std::strerror(EISDIR)) + "\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        fs::remove(base / "run.log");
        EXPECT_EQ(nv::fileExists(LauncherString(c.path)), c.exists);
        EXPECT_EQ(runLog(), c.log);
    }
}

}  // namespace
