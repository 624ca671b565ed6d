// Temporary names, the clean-up list and the removal of trees on the host's
// file system (the Windows behaviour is checked under Wine), and the texts of
// the launcher's own removal.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "cleanup/CleanupList.h"
#include "cleanup/FileRemoval.h"
#include "cleanup/SelfRemoval.h"
#include "cleanup/TemporaryFiles.h"
#include "foundation/LauncherException.h"
#include "foundation/Log.h"
#include "foundation/RunSettings.h"
#include "tests/support/RecordingPause.h"
#include "tests/support/RecordingProgressUi.h"
#include "tests/support/RunTest.h"
#include "tests/support/TestDirectory.h"

namespace fs = std::filesystem;
using nv::LauncherString;

namespace {

class CleanupTest : public nv::RunTest {
protected:
    void SetUp() override {
        fs::create_directories(base / "temp");
        settings.tempDirOverride = LauncherString((base / "temp").string() + "/");
    }
    void TearDown() override {
        files.cleanUp(pause);
        // A test may take permissions away; the directory can go only with them back.
        fs::permissions(base.path(), fs::perms::owner_all, fs::perm_options::add);
    }
    nv::RecordingProgressUi ui;
    nv::RecordingPause pause;
    nv::TestDirectory base{"nv_cleanup_"};
};

}  // namespace

TEST_F(CleanupTest, TemporaryNamesAreNewRecordedAndStartWithLre) {
    const LauncherString one = files.createDirectory(pause);
    const LauncherString two = files.createDirectory(pause);
    const LauncherString file = files.createFile();
    EXPECT_NE(one, two);
    for (const LauncherString& path : {one, two, file}) {
        EXPECT_EQ(fs::path(path.str()).filename().string().rfind("LRE", 0), 0u) << path.str();
    }
    EXPECT_TRUE(fs::is_directory(one.str()));
    EXPECT_TRUE(fs::is_regular_file(file.str()));
    EXPECT_EQ(files.list().directories().count(), 2);
    EXPECT_EQ(files.list().files().get(0), file);

    files.cleanUp(pause);
    EXPECT_TRUE(fs::is_empty(base / "temp"));
    EXPECT_EQ(files.list().directories().count(), 0);
    EXPECT_EQ(files.list().files().count(), 0);
}

TEST_F(CleanupTest, AMissingTemporaryDirectoryIsReportedWithItsPath) {
    settings.tempDirOverride = LauncherString((base / "missing").string());
    try {
        files.createDirectory(pause);
        FAIL() << "no exception";
    } catch (const nv::LauncherException& e) {
        EXPECT_EQ(e.message().str(), "Cannot use " + (base / "missing").string() +
                                         " as the temp directory because it does not exist. Please run the program "
                                         "again using the option -nv:tempdir <temp dir> to specify a different "
                                         "directory to use.");
    }
}

// Read-only files, nested directories and a link to a directory outside:
// the tree goes, the link goes as a link, the link's target keeps its files.
TEST_F(CleanupTest, ATreeIsRemovedWholeAndLinksAreNotFollowed) {
    const LauncherString root = files.createDirectory(pause);
    const fs::path tree(root.str());
    fs::create_directories(tree / "a" / "deep");
    fs::create_directories(base / "outside");
    nv::writeFile(base / "outside" / "keep.txt", "x");
    for (const fs::path& file : {tree / "top.txt", tree / "a" / "ro.txt", tree / "a" / "deep" / "ro2.txt"}) {
        nv::writeFile(file, "x");
        fs::permissions(file, fs::perms::owner_read);
    }
    fs::permissions(tree / "a" / "deep", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::owner_write);
    fs::create_directory_symlink(base / "outside", tree / "a" / "link");

    files.cleanUp(pause);
    EXPECT_FALSE(fs::exists(tree));
    EXPECT_TRUE(fs::exists(base / "outside" / "keep.txt"));
    EXPECT_TRUE(pause.waits.empty());
}

TEST_F(CleanupTest, DirectoriesGoLastFirstThenFilesAndForgottenOnesStay) {
    const std::string log = (base / "debug.log").string();
    setenv("DBGWIN32KVB", log.c_str(), 1);
    nv::startDebugLog();
    unsetenv("DBGWIN32KVB");

    const LauncherString first = files.createDirectory(pause);
    const LauncherString second = files.createDirectory(pause);
    const LauncherString kept = files.createFile();
    const LauncherString inside = first + "/inner.txt";
    nv::writeFile(inside.str(), "x");
    files.list().recordFile(inside);
    std::string upper = kept.str();
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    files.list().forgetFile(LauncherString(upper));  // found without regard to case

    files.cleanUp(pause);
    EXPECT_TRUE(fs::exists(kept.str()));
    EXPECT_EQ(nv::readFile(log), "Launcher Started\nLauncher: Deleting dir: " + second.str() +
                                     "\nLauncher: Deleting dir: " + first.str() +
                                     "\nLauncher: Deleting file: " + inside.str() + "\n");
    files.list().recordFile(kept);
}

TEST(SelfRemoval, WinInitGetsTheLinesRightAfterRename) {
    nv::StringList lines;
    lines.append("NUL=C:\\SETUP~1.EXE");
    lines.append("NUL=C:\\TMP");
    const std::string added = "NUL=C:\\SETUP~1.EXE\nNUL=C:\\TMP\n";
    const struct {
        const char* what;
        std::string before;
        std::string after;
    } cases[] = {
        {"missing file", "", "[Rename]\n" + added},
        {"no section", "[boot]\r\nx=1\r\n", "[boot]\r\nx=1\r\n[Rename]\n" + added},
        {"section in the middle", "[a]\r\n[Rename]\r\nold=1\r\n[z]\r\n",
         "[a]\r\n[Rename]\r\n" + added + "old=1\r\n[z]\r\n"},
        {"header at the very end", "x\r\n[Rename]", "x\r\n[Rename]\n" + added},
        {"binary bytes kept", std::string("\0\xff[Rename]\n\x01", 12),
         std::string("\0\xff[Rename]\n", 11) + added + "\x01"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(nv::withRenameLines(nv::LauncherString(c.before), lines).str(), c.after) << c.what;
    }
}

TEST(SelfRemoval, BatchFileTextAndName) {
    EXPECT_EQ(nv::cleanupBatchText("C:\\a\\setup.exe", "C:\\a", "C:\\t\\LRE1.bat", "").str(),
              ":Repeat\ndel \"C:\\a\\setup.exe\"\nif exist \"C:\\a\\setup.exe\" goto Repeat\nrmdir /q \"C:\\a\"\n"
              "del \"C:\\t\\LRE1.bat\"\n");
    EXPECT_EQ(nv::cleanupBatchText("setup.exe", "", "B.bat", "D.log").str(),
              ":Repeat\n@echo Deleting \"setup.exe\" from within batch file. >> \"D.log\"\ndel \"setup.exe\"\n"
              "if exist \"setup.exe\" goto Repeat\ndel \"B.bat\"\n"
              "@echo Deleted batch file \"B.bat\" from within batch file. >> \"D.log\"\n");
    // cmd reads "%" as the start of a variable even inside quotes; "&" and
    // blanks are safe there, also in the log's name.
    EXPECT_EQ(nv::cleanupBatchText("C:\\50%off\\a&b.exe", "C:\\50%off", "C:\\t%1\\L.bat", "C:\\my logs\\d.log").str(),
              ":Repeat\n@echo Deleting \"C:\\50%%off\\a&b.exe\" from within batch file. >> \"C:\\my logs\\d.log\"\n"
              "del \"C:\\50%%off\\a&b.exe\"\nif exist \"C:\\50%%off\\a&b.exe\" goto Repeat\n"
              "rmdir /q \"C:\\50%%off\"\ndel \"C:\\t%%1\\L.bat\"\n"
              "@echo Deleted batch file \"C:\\t%%1\\L.bat\" from within batch file. >> \"C:\\my logs\\d.log\"\n");
    const struct {
        const char* in;
        const char* out;
    } names[] = {{"C:\\t\\LRE12.tmp", "C:\\t\\LRE12.bat"},
                 {"C:\\my.temp\\LRE12", "C:\\my.temp\\LRE12.bat"},
                 {"C:\\my.temp\\LRE1.x.tmp", "C:\\my.temp\\LRE1.x.bat"}};
    for (const auto& n : names) EXPECT_EQ(nv::batchPathFor(n.in).str(), n.out);
}
