// Finding installed Javas beyond exact hints: registry families, folder
// patterns, environment and PATH hints, the known installs, each home checked
// once, and PREFER: NEWEST with the versions that release files give.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "cleanup/CleanupList.h"
#include "foundation/LauncherException.h"
#include "foundation/Log.h"
#include "foundation/RunSettings.h"
#include "jvm/HomeFacts.h"
#include "jvm/JvmFile.h"
#include "jvm/KnownInstalls.h"
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
using nv::texts;

namespace {

// Keys and values per view: "own|KEY" lists sub-keys, "own|KEY|VALUE" holds text.
class FakeRegistry : public nv::Registry {
public:
    std::map<std::string, std::vector<std::string>> keys;
    std::map<std::string, nv::RegistryValue> values;

    static std::string view(nv::RegistryView v) { return v == nv::RegistryView::own ? "own|" : "other|"; }
    void text(nv::RegistryView v, const std::string& key, const std::string& name, const std::string& data,
              bool isText = true) {
        nv::RegistryValue value;
        value.read = true;
        value.isText = isText;
        value.text = LauncherString(data);
        values[view(v) + key + "|" + name] = value;
    }
    nv::RegistryValue read(nv::RegistryHive, const LauncherString& key, const LauncherString& name,
                           nv::RegistryView v) override {
        const auto found = values.find(view(v) + key.str() + "|" + name.str());
        nv::RegistryValue missing;
        missing.error = 2;
        return found == values.end() ? missing : found->second;
    }
    nv::RegistryKeys subkeys(nv::RegistryHive, const LauncherString& key, nv::RegistryView v) override {
        nv::RegistryKeys result;
        const auto found = keys.find(view(v) + key.str());
        if (found == keys.end()) {
            result.error = 2;
            return result;
        }
        result.opened = true;
        for (const std::string& name : found->second) result.names.insertInOrder(LauncherString(name));
        return result;
    }
};

// Answers for each home as told (default: accept), recording each start.
class FakeVerifier : public nv::CandidateVerifier {
public:
    bool verifyJvm(nv::JvmFile&, const LauncherString& home, const LauncherString&, const LauncherString&) override {
        calls.push_back(home.str());
        return refused.find(home.str()) == std::string::npos;
    }
    std::vector<std::string> calls;
    std::string refused;
};

class JavaDiscoveryTest : public nv::JvmFileTestBase {
protected:
    JavaDiscoveryTest() : nv::JvmFileTestBase("nv_discovery_") { setenv("NV_TEST_ROOT", base.string().c_str(), 1); }
    void TearDown() override {
        unsetenv("NV_TEST_ROOT");
        nv::JvmFileTestBase::TearDown();
    }

    // A Java home under the test folder with its executable (a PE header of
    // `bits` when not 0) and, when `version` is not empty, a release file.
    std::string home(const std::string& relative, const std::string& version = "", int bits = 0) {
        const fs::path dir = base / relative;
        std::string exe = "x";
        if (bits) {
            exe.assign(0x200, '\0');
            exe[0] = 'M';
            exe[1] = 'Z';
            exe[0x3C] = 0x40;
            exe.replace(0x40, 4, std::string("PE\0\0", 4));
            exe[0x40 + 4 + 16] = static_cast<char>(bits == 64 ? 0xF0 : 0xE0);  // optional header size
            exe[0x58] = 0x0B;
            exe[0x59] = static_cast<char>(bits == 64 ? 2 : 1);
        }
        nv::writeFile(dir / "bin" / "java.exe", exe);
        if (!version.empty()) nv::writeFile(dir / "release", "IMPLEMENTOR=\"X\"\nJAVA_VERSION=\"" + version + "\"\n");
        return dir.string();
    }

    FakeVerifier verifier;
};

TEST(PlatformHintFamilyTest, EachStarStandsForEverySubKeyInBothViewsAndOnlyTextValuesCount) {
    using nv::RegistryView;
    FakeRegistry registry;
    registry.keys["own|SOFTWARE\\Vendor"] = {"JRE", "JDK"};
    registry.keys["own|SOFTWARE\\Vendor\\JDK"] = {"21.0.2", "17.0.10", "*"};
    registry.keys["own|SOFTWARE\\Vendor\\JRE"] = {"8.0.402"};
    registry.keys["other|SOFTWARE\\Vendor"] = {"JDK"};
    registry.keys["other|SOFTWARE\\Vendor\\JDK"] = {"11.0.22", "17.0.10"};
    registry.text(RegistryView::own, "SOFTWARE\\Vendor\\JDK\\17.0.10\\MSI", "Path", "C:\\jdk-17");
    registry.text(RegistryView::own, "SOFTWARE\\Vendor\\JDK\\21.0.2\\MSI", "Path", "C:\\jdk-21");
    // A flag kept as a number, and an empty text, are no homes.
    registry.text(RegistryView::own, "SOFTWARE\\Vendor\\JRE\\8.0.402\\MSI", "Path", "\x01", false);
    registry.text(RegistryView::other, "SOFTWARE\\Vendor\\JDK\\11.0.22\\MSI", "Path", "");
    registry.text(RegistryView::other, "SOFTWARE\\Vendor\\JDK\\17.0.10\\MSI", "Path", "C:\\x86\\jdk-17");
    registry.text(RegistryView::other, "SOFTWARE\\Vendor\\JDK\\11.0.22", "Path", "C:\\not-this-level");

    EXPECT_EQ(texts(nv::platformHintHomes("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\*\\*\\MSI\\Path", registry,
                                          nv::HintMisses::warn)),
              (std::vector<std::string>{"C:\\jdk-17", "C:\\jdk-21", "C:\\x86\\jdk-17"}));
    EXPECT_TRUE(nv::isPlatformHintFamily("\\HKEY_CURRENT_USER\\A\\*\\Home"));
    EXPECT_FALSE(nv::isPlatformHintFamily("\\HKEY_CURRENT_USER\\A\\B*\\Home"));
    EXPECT_FALSE(nv::isPlatformHintFamily("\\HKEY_CURRENT_USER\\A\\B\\*"));  // "*" as the value name
    EXPECT_THROW(nv::platformHintHomes("\\HKLM\\SOFTWARE\\*\\Home", registry, nv::HintMisses::quiet),
                 nv::LauncherException);
}

TEST_F(JavaDiscoveryTest, AFamilyWithoutAHomeWarnsNamingItUnlessQuiet) {
    FakeRegistry registry;
    const LauncherString hint = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Nobody\\*\\JavaHome";
    EXPECT_TRUE(nv::platformHintHomes(hint, registry, nv::HintMisses::quiet).empty());
    EXPECT_EQ(runLog().find("WARNING"), std::string::npos);
    EXPECT_TRUE(nv::platformHintHomes(hint, registry, nv::HintMisses::warn).empty());
    EXPECT_NE(runLog().find("WARNING: Invalid platform hint: " + hint.str() + ": "), std::string::npos) << runLog();
}

TEST(PathHintPatternTest, StarAndQuestionMarkMatchWithoutCase) {
    struct Case {
        const char* name;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"jdk-17.0.10.7-hotspot", "jdk-*", true},
        {"JDK-17", "jdk-*", true},
        {"jre1.8.0_401", "jdk-*", false},
        {"zulu-11", "zulu-??", true},
        {"zulu-8", "zulu-??", false},
        {"anything", "*", true},
        {"jdk-17-hotspot", "jdk-*-hotspot", true},
        {"jdk-17-openj9", "jdk-*-hotspot", false},
        {"", "*", true},
        {"a", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " ~ " + c.pattern);
        EXPECT_EQ(nv::matchesFolderPattern(c.name, c.pattern), c.matches);
    }
}

TEST_F(JavaDiscoveryTest, PathHintsExpandVariablesPatternsAndPath) {
    home("Java/jdk-21", "21.0.2");
    home("Java/jdk-17", "17.0.10");
    nv::writeFile(base / "Java" / "jdk-file", "not a folder");
    fs::create_directories(base / "Java" / "jre1.8.0_401");
    home("bare");
    // Oracle's javapath folder holds a java.exe that is a copy, not a home.
    nv::writeFile(base / "javapath" / "java.exe", "x");
    const std::string root = base.string();
    const std::string savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    struct RestorePath {
        const std::string& path;
        ~RestorePath() { setenv("PATH", path.c_str(), 1); }
    } restore{savedPath};
    setenv("PATH", (root + "\\javapath;\"" + root + "\\bare\\bin\\\";" + root + "\\nothing\\bin").c_str(), 1);
    nv::PathHintPlace place;
    place.exeName = "bin\\java.exe";
    struct Case {
        const char* hint;
        std::vector<std::string> homes;
        const char* warning;
    };
    const Case cases[] = {
        {"%NV_TEST_ROOT%\\Java\\jdk-*", {root + "\\Java\\jdk-17", root + "\\Java\\jdk-21"}, nullptr},
        {"%NV_TEST_ROOT%\\Java\\*",
         {root + "\\Java\\jdk-17", root + "\\Java\\jdk-21", root + "\\Java\\jre1.8.0_401"},
         nullptr},
        {"%NV_TEST_ROOT%\\bare", {root + "\\bare"}, nullptr},
        {"%PATH%", {root + "\\bare"}, nullptr},
        {"%NV_TEST_ROOT%\\Java\\zulu-*", {}, " names no folder."},
        {"%NV_TEST_UNSET%\\Java", {}, ": the variable NV_TEST_UNSET is not set."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hint);
        fs::remove(base / "run.log");
        EXPECT_EQ(texts(nv::pathHintHomes(c.hint, place, nv::HintMisses::warn)), c.homes);
        const std::string warning = c.warning ? std::string("WARNING: Path hint ") + c.hint + c.warning + "\n" : "";
        EXPECT_EQ(runLog().find("WARNING") == std::string::npos ? "" : runLog().substr(runLog().find("WARNING")),
                  warning);
    }
}

TEST(HomeFactsTest, ReleaseFileGivesJavaVersionWithoutQuotes) {
    EXPECT_EQ(nv::releaseJavaVersion("JAVA_VERSION=\"17.0.10\"\n").str(), "17.0.10");
    EXPECT_EQ(nv::releaseJavaVersion("IMPLEMENTOR=\"A\"\r\nJAVA_VERSION=\"1.8.0_402\"\r\nOS_ARCH=\"x86\"\r\n").str(),
              "1.8.0_402");
    EXPECT_EQ(nv::releaseJavaVersion("JAVA_VERSION=11\n").str(), "11");
    EXPECT_EQ(nv::releaseJavaVersion("JAVA_RUNTIME_VERSION=\"17+35\"\n").str(), "");
    EXPECT_EQ(nv::releaseJavaVersion("").str(), "");
}

TEST_F(JavaDiscoveryTest, AHomeThatSeveralHintsLeadToIsCheckedOnce) {
    const std::string jdk = home("jdk");
    tags.setValue("JVM_PROPERTIES", "java.vendor=X");
    tags.addValue("PATH_HINT", LauncherString(jdk));
    tags.addValue("PATH_HINT", LauncherString(jdk + "\\"));
    tags.addValue("PATH_HINT", "%NV_TEST_ROOT%\\JDK");  // case aside, the same folder on Windows
    verifier.refused = jdk;
    nv::JvmFile jvm(tags, settings, verifier);
    EXPECT_EQ(jvm.searchByHints("", ""), nullptr);
    EXPECT_EQ(verifier.calls, std::vector<std::string>{jdk});
    const std::string log = runLog();
    EXPECT_NE(log.find("Candidate " + jdk + " from path hint " + jdk + ": not verified\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Candidate " + jdk + "\\ from path hint " + jdk + "\\: already checked\n"), std::string::npos)
        << log;
}

TEST_F(JavaDiscoveryTest, ARangeAloneMakesTheHintsSearchedAndPassesOverReleasesOutsideWithoutAStart) {
    const std::string old = home("jdk-11", "11.0.22");
    const std::string good = home("jdk-17", "17.0.10");
    tags.setValue("MIN_JAVA_VERSION", "17");
    tags.addValue("PATH_HINT", LauncherString(old));
    tags.addValue("PATH_HINT", LauncherString(good));
    nv::JvmFile jvm(tags, settings, verifier);
    const auto match = jvm.searchByHints("", "");
    ASSERT_NE(match, nullptr);
    EXPECT_EQ(match->home().str(), good);
    EXPECT_EQ(verifier.calls, std::vector<std::string>{good});
    const std::string log = runLog();
    EXPECT_EQ(log.find("Unable to verify"), std::string::npos) << log;
    EXPECT_NE(log.find("Found Java 11.0.22 at " + old + "; needs Java 17+\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Candidate " + old + " from path hint " + old + ": Java 11.0.22, outside Java 17+\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("Candidate " + good + " from path hint " + good + ": Java 17.0.10, taken\n"), std::string::npos)
        << log;
}

TEST_F(JavaDiscoveryTest, PreferNewestVerifiesTheNewestInRangeFirstAndFallsBackInOrder) {
    const std::string j11 = home("a/jdk-11", "11.0.22", 64);
    const std::string j17x86 = home("b/jdk-17-x86", "17.0.10", 32);
    const std::string j17 = home("c/jdk-17", "17.0.10", 64);
    const std::string j21 = home("d/jdk-21", "21.0.2", 64);
    const std::string j22 = home("e/jdk-22", "22", 64);
    const std::string unknown = home("f/jdk-unknown");
    tags.setValue("MIN_JAVA_VERSION", "11");
    tags.setValue("MAX_JAVA_VERSION", "21");
    tags.setValue("PREFER", "NEWEST");
    for (const std::string& h : {unknown, j11, j17x86, j22, j17, j21}) tags.addValue("PATH_HINT", LauncherString(h));
    struct Case {
        std::string refused;
        std::vector<std::string> starts;
    };
    const Case cases[] = {
        {"", {j21}},
        {j21, {j21, j17}},  // 64-bit before 32-bit at one version
        {j21 + j17, {j21, j17, j17x86}},
        {j21 + j17 + j17x86 + j11, {j21, j17, j17x86, j11, unknown}},  // unknown versions last
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.refused);
        verifier.calls.clear();
        verifier.refused = c.refused;
        nv::JvmFile jvm(tags, settings, verifier);
        const auto match = jvm.searchByHints("", "");
        EXPECT_EQ(verifier.calls, c.starts);
        ASSERT_NE(match, nullptr);
        EXPECT_EQ(match->home().str(), c.starts.back());
    }
    EXPECT_NE(runLog().find("Candidate " + j22 + " from path hint " + j22 + ": Java 22, outside Java 11 - 21\n"),
              std::string::npos);
}

TEST_F(JavaDiscoveryTest, KnownInstallsComeAfterTheOwnHintsAndReadJavaHome) {
    const std::string jdk = home("jdk-17", "17.0.10");
    setenv("JAVA_HOME", jdk.c_str(), 1);
    tags.setValue("MIN_JAVA_VERSION", "17");
    tags.addValue("PATH_HINT", "%NV_TEST_ROOT%\\missing");
    nv::JvmFile jvm(tags, settings, verifier);
    EXPECT_EQ(jvm.searchByHints("", ""), nullptr);  // not asked for
    tags.setValue("KNOWN_JAVA_INSTALLS", "1");
    const auto match = jvm.searchByHints("", "");
    unsetenv("JAVA_HOME");
    ASSERT_NE(match, nullptr);
    EXPECT_EQ(match->home().str(), jdk);
    EXPECT_FALSE(match->temporary());
    const std::string log = runLog();
    EXPECT_NE(log.find("Searching for Test JVM using known Java installs\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Candidate " + jdk + " from known installs (%JAVA_HOME%): Java 17.0.10, taken\n"),
              std::string::npos)
        << log;
}

TEST(KnownInstallsTest, EveryPlaceIsAFamilyOrAPatternOrAVariable) {
    nv::KnownInstall place;
    int count = 0;
    for (; nv::knownInstall(count, place); ++count) {
        SCOPED_TRACE(place.hint.str());
        if (place.registry) {
            nv::RegistryHive hive;
            EXPECT_TRUE(nv::hiveByName(nv::splitPlatformHint(place.hint).hiveName, hive));
            EXPECT_TRUE(nv::isPlatformHintFamily(place.hint));
        } else {
            EXPECT_EQ(place.hint[0], '%');
        }
    }
    EXPECT_FALSE(nv::knownInstall(-1, place));
    EXPECT_GE(count, 40);
}

}  // namespace
