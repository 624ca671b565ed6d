// Resource texts, system messages, the Windows family test and the directory
// walker against the real system.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/DirectoryWalker.h"
#include "foundation/LauncherException.h"
#include "foundation/Messages.h"
#include "foundation/ResourceText.h"
#include "foundation/win32/Handles.h"
#include "system/WindowsFamily.h"
#include "tests/support/RecordingProgressUi.h"
#include "tests/support/RunTest.h"
#include "tests/support/TestDirectory.h"

namespace nv {
namespace {

// The whole resource text in the ANSI code page, read without a size limit.
std::string referenceText(unsigned id) {
    const wchar_t* wide = nullptr;
    int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&wide), 0);
    if (length <= 0) return std::string();
    int size = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, length, &text[0], size, nullptr, nullptr);
    return text;
}

TEST(FoundationTest, LoadTextYieldsWholeTextsAndEmptyForMissingIds) {
    for (unsigned id = 1; id <= 37; ++id) {
        SCOPED_TRACE(id);
        EXPECT_EQ(loadText(id).str(), referenceText(id));
    }
    // Longer than the first buffers: the load has to grow and repeat.
    EXPECT_GT(loadText(36).length(), 128u);
    EXPECT_NE(loadText(31).find('\n'), LauncherString::npos);
    for (unsigned id : {0u, 38u, 999u}) EXPECT_TRUE(loadText(id).empty()) << id;
}

TEST(FoundationTest, FormatTextReplacesInsertsThroughTheSystem) {
    struct Case {
        const char* templ;
        const char* one;
        const char* two;
        const char* expected;
    };
    const Case cases[] = {
        {"%1!s! %2!s!", "Searching for", "C:\\jdk", "Searching for C:\\jdk"},
        {"%2!s!-%1!s!", "a", "b", "b-a"},
        {"%1!s! of 100%%", "half", "", "half of 100%"},
        {"%1!s!", "%2!s!", "x", "%2!s!"},  // inserts are not formatted again
        {"", "a", "b", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formatText(c.templ, c.one, c.two).str(), c.expected) << c.templ;
    }
    LauncherString formatted = formatResource(36, "Q:\\tmp");
    EXPECT_NE(formatted.find("Q:\\tmp"), LauncherString::npos);
    EXPECT_EQ(formatted.find("%1"), LauncherString::npos);
}

TEST(FoundationTest, SystemErrorTextHasNoTrailingLineBreak) {
    LauncherString text = systemErrorText(ERROR_FILE_NOT_FOUND);
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text[text.length() - 1], '\n');
    EXPECT_NE(text[text.length() - 1], '\r');
}

TEST(FoundationTest, DefaultWineVersionIsOfTheNtFamily) { EXPECT_FALSE(isWindows9x()); }

// A directory tree in the test's own directory, removed with it at the end.
class TempTree {
public:
    TempTree() : root_(directory_.string() + "\\") {}

    // Creates the subdirectory (relative, ending in "\") and count files in it.
    void addFiles(const std::string& subdirectory, int count) const {
        CreateDirectoryA((root_ + subdirectory).c_str(), nullptr);
        for (int i = 0; i < count; ++i) {
            std::string path = root_ + subdirectory + "file" + std::to_string(i) + ".txt";
            const FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
            ASSERT_TRUE(file.valid()) << path;
        }
    }
    const std::string& root() const { return root_; }

private:
    TestDirectory directory_{"nvwalk_"};
    std::string root_;
};

// Records the files and directories it visits; answers true from the file
// numbered stopAt (1-based, 0 never) and skips the directory named skip.
class RecordingWalker : public DirectoryWalker {
public:
    explicit RecordingWalker(OnCancel onCancel = OnCancel::walkOn) : DirectoryWalker(onCancel) {}
    bool visitFile(const LauncherString& path) override {
        files.push_back(path.str());
        return stopAt != 0 && files.size() >= stopAt;
    }
    void visitDirectory(const LauncherString& directory) override { directories.push_back(directory.str()); }
    bool skipDirectory(const LauncherString& directory) override { return directory.str() == skip; }

    std::vector<std::string> files;
    std::vector<std::string> directories;
    std::size_t stopAt = 0;
    std::string skip;
};

// 250 files: 50 in the root, 100 in a\, 50 in a\deep\, 30 in b\, 20 in b\deep\.
class DirectoryWalkerTest : public RunTest {
protected:
    void SetUp() override {
        tree_.addFiles("", 50);
        tree_.addFiles("a\\", 100);
        tree_.addFiles("a\\deep\\", 50);
        tree_.addFiles("b\\", 30);
        tree_.addFiles("b\\deep\\", 20);
    }

    TempTree tree_;
    RecordingProgressUi progress_;
};

TEST_F(DirectoryWalkerTest, VisitsEveryFileDepthFirstAndStepsEvery100Files) {
    RecordingWalker walker;
    EXPECT_FALSE(walker.walk(tree_.root().c_str()));
    EXPECT_EQ(walker.fileCount(), 250u);
    EXPECT_EQ(std::set<std::string>(walker.files.begin(), walker.files.end()).size(), 250u);
    EXPECT_EQ(progress_.steps, (std::vector<unsigned>{1, 1}));

    // Root first; the last directory found is entered next, so each of a\ and
    // b\ is directly followed by its own deep\, in whichever order they come.
    std::vector<std::string> dirs = walker.directories;
    ASSERT_EQ(dirs.size(), 5u);
    EXPECT_EQ(dirs[0], tree_.root());
    EXPECT_EQ(dirs[2], dirs[1] + "deep\\");
    EXPECT_EQ(dirs[4], dirs[3] + "deep\\");
    EXPECT_EQ(std::set<std::string>({dirs[1], dirs[3]}),
              std::set<std::string>({tree_.root() + "a\\", tree_.root() + "b\\"}));
    EXPECT_EQ(std::count(walker.files.begin(), walker.files.end(), tree_.root() + "a\\deep\\file7.txt"), 1);
}

TEST_F(DirectoryWalkerTest, StopsAtOnceWhenAVisitAsksToStop) {
    RecordingWalker walker;
    walker.stopAt = 1;
    EXPECT_TRUE(walker.walk(tree_.root().c_str()));
    EXPECT_EQ(walker.files.size(), 1u);
    EXPECT_EQ(walker.fileCount(), 1u);
    EXPECT_EQ(walker.directories, std::vector<std::string>{tree_.root()});
}

TEST_F(DirectoryWalkerTest, SkippedDirectoryIsVisitedButNotEntered) {
    RecordingWalker walker;
    walker.skip = tree_.root() + "a\\";
    EXPECT_FALSE(walker.walk(tree_.root().c_str()));
    EXPECT_EQ(walker.fileCount(), 100u);
    EXPECT_EQ(progress_.steps, std::vector<unsigned>{1});
    std::vector<std::string> dirs = walker.directories;
    EXPECT_EQ(std::count(dirs.begin(), dirs.end(), walker.skip), 1);
    EXPECT_EQ(std::count(dirs.begin(), dirs.end(), walker.skip + "deep\\"), 0);
    EXPECT_EQ(dirs.size(), 4u);
}

TEST_F(DirectoryWalkerTest, RootWithoutSeparatorAndMissingRoot) {
    RecordingWalker walker;
    std::string root = tree_.root().substr(0, tree_.root().size() - 1);
    walker.walk((root + "\\b").c_str());
    EXPECT_EQ(walker.fileCount(), 50u);
    EXPECT_EQ(walker.directories[0], root + "\\b\\");

    walker.directories.clear();
    EXPECT_FALSE(walker.walk((root + "\\missing").c_str()));
    EXPECT_EQ(walker.fileCount(), 0u);
    EXPECT_EQ(walker.directories, std::vector<std::string>{root + "\\missing\\"});
}

// After a cancel request a walker built to stop on cancel does nothing, and
// one built without that flag still walks the whole tree.
class DirectoryWalkerCancelTest : public RunTest {};

TEST_F(DirectoryWalkerCancelTest, OnlyAWalkerThatStopsOnCancelStops) {
    RecordingProgressUi progress;
    TempTree tree;
    tree.addFiles("sub\\", 3);
    requestCancel();
    RecordingWalker keepsWalking(RecordingWalker::OnCancel::walkOn);
    EXPECT_FALSE(keepsWalking.walk(tree.root().c_str()));
    EXPECT_EQ(keepsWalking.fileCount(), 3u);
    RecordingWalker stops(RecordingWalker::OnCancel::stop);
    EXPECT_FALSE(stops.walk(tree.root().c_str()));
    EXPECT_EQ(stops.fileCount(), 0u);
    EXPECT_TRUE(stops.directories.empty());
}

}  // namespace
}  // namespace nv
