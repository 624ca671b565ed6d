// JVM files against the real system: platform hints in each of the five
// hives (keys of the test's own, removed afterwards), registry data that is
// not a terminated text, the fixed drives and a file held without sharing.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/Log.h"
#include "foundation/Messages.h"
#include "foundation/ResourceText.h"
#include "foundation/win32/Handles.h"
#include "jvm/FileExists.h"
#include "jvm/FixedDrives.h"
#include "jvm/JvmFile.h"
#include "jvm/PlatformHint.h"
#include "jvm/RegistryQuery.h"
#include "tagfile/TagFile.h"
#include "tests/support/RecordingProgressUi.h"
#include "tests/support/RunTest.h"
#include "tests/support/StringLists.h"
#include "tests/support/TestDirectory.h"

namespace nv {
namespace {

// Removes a key with all its subkeys (RegDeleteTree is not there before Vista).
void deleteTree(HKEY parent, const std::string& path) {
    {
        RegistryKey key;
        if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, key.receive()) != ERROR_SUCCESS) return;
        char name[256];
        DWORD length = sizeof name;
        while (RegEnumKeyExA(key.get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
            deleteTree(key.get(), name);
            length = sizeof name;
        }
    }
    RegDeleteKeyA(parent, path.c_str());
}

struct Hive {
    const char* name;
    HKEY key;
    const char* parent;  // where a test key may be made in it
};

const Hive hives[] = {
    {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE, "Software\\"},   {"HKEY_CURRENT_USER", HKEY_CURRENT_USER, "Software\\"},
    {"HKEY_USERS", HKEY_USERS, ".DEFAULT\\Software\\"},         {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT, ""},
    {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG, "Software\\"},
};

class JvmFileWinTest : public RunTest {
protected:
    void SetUp() override {
        testKey = "NvJvmFileTest" + std::to_string(GetCurrentProcessId());
        logPath = (directory / "run.log").string();
        setRunLogPath(LauncherString(logPath));
    }
    void TearDown() override {
        for (const Hive& hive : hives) deleteTree(hive.key, std::string(hive.parent) + testKey);
    }

    // Writes a value (empty name: the key's default value) under the test key of the hive.
    void setValue(const Hive& hive, const std::string& subkey, const char* name, DWORD type, const void* data,
                  DWORD size) {
        RegistryKey key;
        const std::string path = std::string(hive.parent) + testKey + (subkey.empty() ? "" : "\\" + subkey);
        ASSERT_EQ(RegCreateKeyExA(hive.key, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.receive(), nullptr),
                  ERROR_SUCCESS)
            << hive.name << "\\" << path;
        ASSERT_EQ(RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }
    void setText(const Hive& hive, const std::string& subkey, const char* name, const std::string& text) {
        setValue(hive, subkey, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
    }
    // The hint "\HIVE\<test key>\<rest>".
    std::string hint(const Hive& hive, const std::string& rest) const {
        return std::string("\\") + hive.name + "\\" + hive.parent + testKey + "\\" + rest;
    }
    std::string runLog() const { return readFile(logPath); }

    RecordingProgressUi ui;
    TestDirectory directory{"nv_jvm_win_"};
    std::string testKey;
    std::string logPath;
};

TEST_F(JvmFileWinTest, PlatformHintInEachHiveResolves) {
    for (const Hive& hive : hives) {
        SCOPED_TRACE(hive.name);
        const std::string home = std::string("C:\\jdk-") + hive.name;
        setText(hive, "1.8", "JavaHome", home);
        const std::string withSeparator = hint(hive, "1.8\\JavaHome");
        EXPECT_EQ(texts(resolvePlatformHint(LauncherString(withSeparator))), std::vector<std::string>{home});
        EXPECT_EQ(texts(resolvePlatformHint(LauncherString(withSeparator.substr(1)))), std::vector<std::string>{home});
    }
    EXPECT_EQ(runLog(), "");
}

// A Java runtime of the other bitness registers in the other registry view;
// a hint finds it there when this process's view does not have it.
TEST_F(JvmFileWinTest, AValueInEitherRegistryViewIsFound) {
    const std::string path = std::string("Software\\") + testKey;
    const struct {
        REGSAM view;
        const char* home;
    } views[] = {{KEY_WOW64_64KEY, "C:\\jdk-64-bit-view"}, {KEY_WOW64_32KEY, "C:\\jdk-32-bit-view"}};
    for (const auto& v : views) {
        RegistryKey key;
        const std::string subkey = path + (v.view == KEY_WOW64_64KEY ? "\\Only64" : "\\Only32");
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, nullptr, 0, KEY_WRITE | v.view, nullptr,
                                  key.receive(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key.get(), "JavaHome", 0, REG_SZ, reinterpret_cast<const BYTE*>(v.home),
                                 static_cast<DWORD>(std::strlen(v.home) + 1)),
                  ERROR_SUCCESS);
    }
    for (const auto& v : views) {
        const std::string which = v.view == KEY_WOW64_64KEY ? "Only64" : "Only32";
        const std::string found =
            texts(resolvePlatformHint(LauncherString("\\HKEY_LOCAL_MACHINE\\" + path + "\\" + which + "\\JavaHome")))
                .at(0);
        EXPECT_EQ(found, v.home) << which;
    }
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        for (const char* sub : {"\\Only64", "\\Only32"})
            RegDeleteKeyExA(HKEY_LOCAL_MACHINE, (path + sub).c_str(), view, 0);
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), view, 0);
    }
    EXPECT_EQ(runLog(), "");
}

TEST_F(JvmFileWinTest, NamedValueComesFirstThenTheKeysDefaultValue) {
    const Hive& user = hives[1];
    setText(user, "Both", "Home", "C:\\value");
    setText(user, "Both\\Home", "", "C:\\default-both");
    setText(user, "OnlyDefault\\Home", "", "C:\\default");
    setText(user, "Empty", "Home", "");
    EXPECT_EQ(texts(resolvePlatformHint(LauncherString(hint(user, "Both\\Home")))),
              std::vector<std::string>{"C:\\value"});
    EXPECT_EQ(texts(resolvePlatformHint(LauncherString(hint(user, "OnlyDefault\\Home")))),
              std::vector<std::string>{"C:\\default"});
    EXPECT_TRUE(resolvePlatformHint(LauncherString(hint(user, "Empty\\Home"))).empty());
    EXPECT_EQ(runLog(), "");  // an empty text is no error
}

TEST_F(JvmFileWinTest, MissingKeyOrValueGivesTheInvalidHintWarning) {
    const Hive& user = hives[1];
    setText(user, "Present", "Other", "C:\\other");
    // A missing key, and a key without the value whose second form is missing too.
    for (const char* rest : {"Missing\\Home", "Present\\Home"}) {
        SCOPED_TRACE(rest);
        const std::string warning =
            "WARNING: " +
            formatResource(28, LauncherString(hint(user, rest) + ": " + systemErrorText(ERROR_FILE_NOT_FOUND).str()))
                .str() +
            "\r\n";
        DeleteFileA(logPath.c_str());
        EXPECT_TRUE(resolvePlatformHint(LauncherString(hint(user, rest))).empty());
        const std::string log = runLog();
        EXPECT_EQ(log.substr(log.size() < warning.size() ? 0 : log.size() - warning.size()), warning);
    }
}

TEST_F(JvmFileWinTest, AFamilyReadsTheTextValueOfEverySubKeyInNameOrder) {
    const Hive& user = hives[1];
    setText(user, "B\\MSI", "Path", "C:\\b");
    setText(user, "A\\MSI", "Path", "C:\\a");
    const DWORD flag = 1;
    setValue(user, "C\\MSI", "Path", REG_DWORD, &flag, sizeof flag);
    setText(user, "D", "Path", "C:\\not-at-this-level");
    EXPECT_EQ(texts(platformHintHomes(LauncherString(hint(user, "*\\MSI\\Path")), systemRegistry(), HintMisses::warn)),
              (std::vector<std::string>{"C:\\a", "C:\\b"}));
}

TEST_F(JvmFileWinTest, DataThatIsNotATerminatedTextIsReadWithinItsSize) {
    const Hive& user = hives[1];
    const char binary[] = {'A', 'B'};
    const DWORD number = 0x4241;  // "AB" and two zero bytes
    const DWORD zero = 0;
    const char unterminated[] = {'C', ':', '\\', 'x'};
    const char multi[] = "D:\\a\0E:\\b\0";
    setValue(user, "", "Binary", REG_BINARY, binary, sizeof binary);
    setValue(user, "", "Number", REG_DWORD, &number, sizeof number);
    setValue(user, "", "Zero", REG_DWORD, &zero, sizeof zero);
    setValue(user, "", "Unterminated", REG_SZ, unterminated, sizeof unterminated);
    setValue(user, "", "Multi", REG_MULTI_SZ, multi, sizeof multi);
    setValue(user, "", "NoData", REG_SZ, "", 0);
    setValue(user, "", "NoBinary", REG_BINARY, nullptr, 0);
    struct Case {
        const char* name;
        std::string expected;
    };
    const Case cases[] = {{"Binary", "AB"},   {"Number", "AB"}, {"Zero", ""},    {"Unterminated", "C:\\x"},
                          {"Multi", "D:\\a"}, {"NoData", ""},   {"NoBinary", ""}};
    const LauncherString key = LauncherString("Software\\" + testKey);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RegistryValue value = readRegistryValue(RegistryHive::currentUser, key, c.name);
        EXPECT_TRUE(value.read);
        EXPECT_EQ(value.text.str(), c.expected);
        const std::vector<std::string> homes =
            c.expected.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.expected};
        EXPECT_EQ(texts(resolvePlatformHint(LauncherString(hint(user, c.name)))), homes);
    }
}

TEST_F(JvmFileWinTest, PlatformHintSearchMatchesAHomeWithItsExecutable) {
    const std::string home = (directory / "home").string();
    writeFile(directory / "home" / "bin" / "java.exe", "");  // never run: the hint is the subject
    const Hive& machine = hives[0];
    setText(machine, "Jre", "Home", home);
    TagFile tags;
    tags.setValue("DESC", "Test JVM");
    tags.setValue("JVM_EXE", "bin\\java.exe");
    tags.setValue("JVM_PROPERTIES", "java.vendor=Debian");
    tags.addValue("PLATFORM_HINT", LauncherString(hint(machine, "Missing\\Home")));
    tags.addValue("PLATFORM_HINT", LauncherString(hint(machine, "Jre\\Home")));
    struct Accepting : CandidateVerifier {
        bool verifyJvm(JvmFile&, const LauncherString&, const LauncherString&, const LauncherString&) override {
            return true;
        }
    } accepting;
    JvmFile jvm(tags, settings, accepting);
    auto match = jvm.searchByPlatformHints("", "");
    ASSERT_NE(match, nullptr);
    EXPECT_EQ(match->home().str(), home);
    EXPECT_NE(runLog().find("Checking JVM at " + home + " which was resolved from platform hint " +
                            hint(machine, "Jre\\Home")),
              std::string::npos)
        << runLog();
}

TEST(JvmSystemTest, FixedDrivesListDriveC) {
    const std::vector<std::string> drives = texts(fixedDrives());
    EXPECT_NE(std::find(drives.begin(), drives.end(), "C:"), drives.end()) << ::testing::PrintToString(drives);
}

TEST(JvmSystemTest, FileHeldOpenWithoutSharingStillExists) {
    const TestDirectory directory("nv_jvm_held_");
    const std::string path = (directory / "held.exe").string();
    {
        FileHandle held(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(held.valid());
        EXPECT_TRUE(fileExists(LauncherString(path)));
    }
    EXPECT_TRUE(fileExists(LauncherString(path)));
    DeleteFileA(path.c_str());
    EXPECT_FALSE(fileExists(LauncherString(path)));
    EXPECT_FALSE(fileExists(LauncherString(path + "\\inner\\java.exe")));
}

TEST_F(JvmFileWinTest, DirectoryNamedAsTheExecutableCountsAsMissingAndIsLogged) {
    const std::string named = (directory / "java.exe").string();
    CreateDirectoryA(named.c_str(), nullptr);
    EXPECT_FALSE(fileExists(LauncherString(named)));
    EXPECT_NE(runLog(), "");
}

}  // namespace
}  // namespace nv
