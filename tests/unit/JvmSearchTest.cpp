// The portable half of the disk scan: which paths name a JVM executable,
// which directories the walk leaves out, and how the homes it meets are
// grouped and verified. The drives themselves are walked under Wine.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Log.h"
#include "foundation/ProgressUi.h"
#include "foundation/RunSettings.h"
#include "foundation/host/HostPath.h"
#include "jvm/JvmFileWalker.h"
#include "jvm/JvmSearch.h"
#include "tagfile/TagFile.h"
#include "tests/support/RecordingProgressUi.h"
#include "tests/support/RunTest.h"
#include "tests/support/TestDirectory.h"

namespace fs = std::filesystem;
using nv::LauncherString;

namespace {

// Records the homes it is asked about and accepts those it is told to.
class FakeVerifier : public nv::CandidateVerifier {
public:
    bool verifyJvm(nv::JvmFile&, const LauncherString& home, const LauncherString&, const LauncherString&) override {
        calls.push_back(home.str());
        for (const std::string& good : accepted) {
            if (good == home.str()) return true;
        }
        return false;
    }
    std::vector<std::string> accepted;
    std::vector<std::string> calls;
};

std::vector<std::string> homesOf(const nv::JvmSearch& search) {
    std::vector<std::string> out;
    for (std::int32_t g = 0; g < search.unverified().count(); ++g) {
        const nv::UnverifiedHomes& group = *search.unverified().get(g);
        std::string line = group.jvmFile->tags().value("DESC").str() + ":";
        for (std::int32_t h = 0; h < group.homes.count(); ++h) line += " " + group.homes.get(h).str();
        out.push_back(line);
    }
    return out;
}

std::vector<std::string> matchHomes(const nv::ObjectList<nv::JvmMatch>& matches) {
    std::vector<std::string> out;
    for (std::int32_t i = 0; i < matches.count(); ++i) out.push_back(matches.get(i)->home().str());
    return out;
}

class JvmSearchTest : public nv::RunTest {
protected:
    // Adds a JVM file with this DESC and JVM_EXE to the search.
    nv::JvmFile& addJvmFile(const std::string& desc, const std::string& exe) {
        auto tags = std::make_unique<nv::TagFile>();
        tags->setValue("DESC", LauncherString(desc));
        tags->setValue("JVM_EXE", LauncherString(exe));
        nv::TagFile& t = *tagFiles.append(std::move(tags));
        return *search.jvmFiles().append(std::make_unique<nv::JvmFile>(t, settings, verifier));
    }
    // A file at `relative` below base (with "\" read as "/"); returns base + "\" + relative.
    std::string makeFile(const std::string& relative) {
        nv::writeFile(base / nv::hostPath(LauncherString(relative)), "x");
        return base.string() + "\\" + relative;
    }

    nv::RecordingProgressUi ui;
    nv::TestDirectory base{"nv_search_"};
    nv::ObjectList<nv::TagFile> tagFiles;
    FakeVerifier verifier;
    nv::JvmSearch search{settings, files};
};

TEST(JvmFileWalkerTest, ExeNameMatchesAWholeTrailingPathPart) {
    struct Case {
        const char* path;
        const char* name;
        bool ignoreCase;
        bool matches;
    };
    const Case cases[] = {
        {"C:\\jdk\\bin\\java.exe", "bin\\java.exe", true, true},
        {"D:\\x\\BIN\\JAVA.EXE", "bin\\java.exe", true, true},
        {"D:\\x\\BIN\\JAVA.EXE", "bin\\java.exe", false, false},
        {"C:\\tools\\mybin\\java.exe", "bin\\java.exe", true, false},  // no "\" before bin
        {"C:\\tools\\mybin\\java.exe", "java.exe", true, true},
        {"bin\\java.exe", "bin\\java.exe", false, true},  // exactly the name
        {"in\\java.exe", "bin\\java.exe", true, false},   // shorter than the name
        {"C:\\jdk\\bin\\java.exe.bak", "bin\\java.exe", true, false},
        {"C:\\jdk\\bin\\javaw.exe", "bin\\java.exe", true, false},
        {"C:\\jdk\\bin\\java.exe", "", true, false},  // no JVM_EXE matches nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " / " + c.name);
        EXPECT_EQ(nv::endsWithExeName(c.path, c.name, c.ignoreCase), c.matches);
    }
}

class JvmFileWalkerRunTest : public nv::RunTest {};

TEST_F(JvmFileWalkerRunTest, LeavesOutTheTemporaryDirectoryAndDriveRootRecycleBins) {
    nv::JvmSearch search{settings, files};
    struct Case {
        const char* directory;
        bool skipped;
    };
    const Case cases[] = {
        {"C:\\Temp\\", true},
        {"c:\\TEMP\\", true},
        {"C:\\Temp\\LRE1\\", false},
        {"C:\\", false},
        {"C:\\RECYCLED\\", true},
        {"C:\\Recycler\\", true},
        {"D:\\recycle.bin\\", true},
        {"C:\\RECYCLE\\", true},
        {"C:\\RECYCLED\\sub\\", true},
        {"C:\\data\\RECYCLED\\", false},
        {"C:\\RECYCL\\", false},
        {"\\\\RECYCLED\\", false},
        {"C:\\$Recycle.Bin\\", true},
        {"E:\\$RECYCLE.BIN\\S-1-5-21\\", true},
        {"C:\\data\\$Recycle.Bin\\", false},
        {"C:\\$Recycle.Binder\\", false},
        {"C:\\$Recycle\\", false},
    };
    // With and without the final "\" that the system's temporary path carries.
    for (const char* temp : {"C:\\Temp", "C:\\Temp\\"}) {
        nv::JvmFileWalker walker(search, nv::StringList(), temp);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(temp) + " / " + c.directory);
            EXPECT_EQ(walker.skipDirectory(c.directory), c.skipped);
        }
    }
}

TEST_F(JvmSearchTest, ReportedHomesAreGroupedPerJvmFileInOrderWithoutRepeats) {
    addJvmFile("A", "bin\\java.exe");
    addJvmFile("B", "java.exe");
    addJvmFile("C", "bin\\java.exe");
    const char* reported[] = {
        "D:\\x\\java.exe",        // B only: the first group is B's
        "C:\\j1\\bin\\java.exe",  // A, B (home C:\j1\bin), C
        "C:\\j2\\bin\\java.exe",
        "C:\\j1\\bin\\java.exe",  // reported again (a second exe name): no repeat
        "D:\\y\\BIN\\JAVA.EXE",   // the walker ignores case; the homes do not
    };
    for (const char* path : reported) EXPECT_FALSE(search.fileFound(path)) << path;
    EXPECT_EQ(homesOf(search), (std::vector<std::string>{
                                   "B: D:\\x C:\\j1\\bin C:\\j2\\bin",
                                   "A: C:\\j1 C:\\j2",
                                   "C: C:\\j1 C:\\j2",
                               }));
    EXPECT_TRUE(verifier.calls.empty());  // nothing is started during the walk
}

TEST_F(JvmSearchTest, UnverifiedHomesAreVerifiedInGroupOrderAndStopAtTheFirstWhenAsked) {
    addJvmFile("A", "bin\\java.exe");
    addJvmFile("B", "bin\\java.exe");
    const std::string a1 = base.string() + "\\a1", a2 = base.string() + "\\a2", b1 = base.string() + "\\b1";
    makeFile("b1\\bin\\java.exe");
    makeFile("a1\\bin\\java.exe");
    makeFile("a2\\bin\\java.exe");
    // The first JVM file's homes are recorded too: only findFirst checks them at once.
    for (const std::string& home : {b1, a1, a2}) search.fileFound(LauncherString(home + "\\bin\\java.exe"));
    verifier.accepted = {a2, b1};
    nv::ObjectList<nv::JvmMatch> all;
    search.verifyUnverified(all);
    // b1 is A's first home, then A's a1 and a2, then B's group.
    EXPECT_EQ(verifier.calls, (std::vector<std::string>{b1, a1, a2, b1, a1, a2}));
    EXPECT_EQ(matchHomes(all), (std::vector<std::string>{b1, a2, b1, a2}));

    verifier.calls.clear();
    verifier.accepted = {a2};
    search.setStopAtFirst(true);
    nv::ObjectList<nv::JvmMatch> first;
    search.verifyUnverified(first);
    EXPECT_EQ(verifier.calls, (std::vector<std::string>{b1, a1, a2}));  // B's group is never reached
    EXPECT_EQ(matchHomes(first), std::vector<std::string>{a2});
}

TEST_F(JvmSearchTest, CancelStopsTheVerificationOfRecordedHomes) {
    addJvmFile("A", "bin\\java.exe");
    search.fileFound(LauncherString(makeFile("a1\\bin\\java.exe")));
    nv::requestCancel();
    nv::ObjectList<nv::JvmMatch> matches;
    search.verifyUnverified(matches);
    nv::clearCancelRequest();
    EXPECT_TRUE(verifier.calls.empty());
    EXPECT_EQ(matches.count(), 0);
}

TEST_F(JvmSearchTest, WhileFindFirstScansTheFirstJvmFileIsCheckedAtOnce) {
    addJvmFile("A", "bin\\java.exe");
    addJvmFile("B", "bin\\java.exe");
    const std::string bad = base.string() + "\\bad", good = base.string() + "\\good";
    makeFile("bad\\bin\\java.exe");
    makeFile("good\\bin\\java.exe");
    verifier.accepted = {good};
    search.setStopAtFirst(true);
    // A failed check drops the home for A but still records it for B.
    EXPECT_FALSE(search.fileFound(LauncherString(bad + "\\bin\\java.exe")));
    EXPECT_EQ(homesOf(search), std::vector<std::string>{"B: " + bad});
    EXPECT_TRUE(search.fileFound(LauncherString(good + "\\bin\\java.exe")));
    ASSERT_NE(search.found(), nullptr);
    EXPECT_EQ(search.found()->home().str(), good);
    // Once found, nothing more is checked or recorded.
    EXPECT_FALSE(search.fileFound(LauncherString(good + "\\bin\\java.exe")));
    EXPECT_EQ(homesOf(search), std::vector<std::string>{"B: " + bad});
    EXPECT_EQ(verifier.calls, (std::vector<std::string>{bad, good}));
}

TEST_F(JvmSearchTest, WalkReportsEachMatchingFileAndKeepsOutOfLinksAndTheTemporaryDirectory) {
    addJvmFile("A", "bin\\java.exe");
    addJvmFile("B", "java.exe");
    makeFile("tree\\jdk\\bin\\java.exe");
    makeFile("tree\\deep\\er\\jre\\BIN\\JAVA.EXE");
    makeFile("tree\\temp\\hidden\\bin\\java.exe");
    makeFile("tree\\jdk\\bin\\javac.exe");
    // A link back up the tree: followed, the walk would never end.
    fs::create_directory_symlink(base / "tree", base / "tree" / "deep" / "loop");
    nv::StringList names;
    names.append("bin\\java.exe");
    names.append("java.exe");
    nv::JvmFileWalker walker(search, names, LauncherString((base / "tree").string() + "\\temp"));
    const std::string tree = base.string() + "/tree";
    EXPECT_FALSE(walker.walk(LauncherString(tree)));
    EXPECT_EQ(walker.fileCount(), 3u);
    EXPECT_EQ(homesOf(search), (std::vector<std::string>{
                                   "A: " + tree + "\\jdk",
                                   "B: " + tree + "\\jdk\\bin",
                               }));
}

TEST_F(JvmSearchTest, UserJavaHomeIsTriedWithEachJvmFileInOrderBeforeAnyHint) {
    nv::JvmFile& first = addJvmFile("A", "bin\\javaw.exe");  // not in that home
    addJvmFile("B", "bin\\java.exe");
    first.tags().setValue("JVM_PROPERTIES", "java.version");
    first.tags().setValue("PATH_HINT", "\\nowhere");
    const std::string home = base.string() + "\\jdk";
    makeFile("jdk\\bin\\java.exe");
    verifier.accepted = {home};
    settings.userJavaHome = LauncherString(home);
    nv::setRunLogPath(LauncherString((base / "run.log").string()));
    nv::ObjectList<nv::JvmMatch> matches;
    search.findFirst(matches);
    EXPECT_EQ(matchHomes(matches), std::vector<std::string>{home});
    EXPECT_EQ(&matches.get(0)->tags(), tagFiles.get(1));  // B matched
    const std::string log = nv::readFile(base / "run.log");
    EXPECT_NE(log.find("Checking user specified Java home directory => " + home + "\n"), std::string::npos) << log;
    EXPECT_NE(log.find(home + "\\bin\\javaw.exe does not exist\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("hints"), std::string::npos) << log;
}

}  // namespace
