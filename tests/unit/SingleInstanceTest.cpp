// One instance at a time: the claim's name and what a second start does,
// with the host's stand-in for the system's named objects.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "archive/LauncherFile.h"
#include "archive/LauncherFileFormat.h"
#include "foundation/Log.h"
#include "foundation/RunSettings.h"
#include "launcher/SingleInstance.h"
#include "tests/support/RunTest.h"
#include "tests/support/TestDirectory.h"

namespace nv {
namespace {

class SingleInstanceTest : public RunTest {
protected:
    SingleInstanceTest() : dir_("nv_single_") { setRunLogPath((dir_ / "run.log").string().c_str()); }
    std::string log() const { return readFile(dir_ / "run.log"); }

    // An embedded launcher's own file, loaded: an index of one program entry named `name`.
    LauncherFile& embedded(const char* name) {
        std::string bytes = "MZ stub";
        FileIndexEntry entry;
        entry.type = 0;
        entry.fileId = 1;
        entry.name = name;
        entry.length = 1;
        entry.offset = static_cast<std::int32_t>(bytes.size());
        bytes += "x";
        const auto indexOffset = static_cast<std::uint32_t>(bytes.size());
        format::appendUint32(bytes, 1);
        format::appendIndexEntry(bytes, entry);
        format::appendTrailer(bytes, 1, indexOffset);
        writeFile(dir_ / name, bytes);
        files_.push_back(std::make_unique<LauncherFile>(LauncherString((dir_ / name).string())));
        files_.back()->loadIndex();
        return *files_.back();
    }

    LauncherFile unloaded_{LauncherString()};

private:
    TestDirectory dir_;
    std::vector<std::unique_ptr<LauncherFile>> files_;
};

TEST_F(SingleInstanceTest, ASecondStartWhileTheFirstHoldsItsClaimEnds) {
    settings.launcherPath = "C:\\Apps\\Setup.exe";
    InstanceClaim first;
    ASSERT_TRUE(claimSingleInstance(settings, unloaded_, first));
    EXPECT_TRUE(first.valid());
    EXPECT_EQ(log(), "");

    // The same file through another spelling of its path.
    settings.launcherPath = "c:\\apps\\SETUP.exe";
    InstanceClaim second;
    EXPECT_FALSE(claimSingleInstance(settings, unloaded_, second));
    EXPECT_FALSE(second.valid());
    EXPECT_NE(log().find("Already running.\n"), std::string::npos) << log();

    // Another launcher file, and a copy started with -nv:orig, have claims of their own.
    for (const char* path : {"C:\\Apps\\Setup2.exe", "D:\\Apps\\Setup.exe", "C:\\Apps\\Setup.ex"}) {
        settings.launcherPath = path;
        InstanceClaim other;
        EXPECT_TRUE(claimSingleInstance(settings, unloaded_, other)) << path;
    }
    // The copies that EXECUTE_LAUNCHER starts: each embedded launcher is one instance of its own,
    // told apart by what it carries, wherever its copy was written.
    settings.launcherPath = "C:\\Temp\\LRE1\\one.exe";
    settings.originalLauncherPath = "C:\\Apps\\Setup.exe";
    settings.originalLauncher = true;
    LauncherFile& one = embedded("one.exe");
    InstanceClaim firstCopy;
    EXPECT_TRUE(claimSingleInstance(settings, one, firstCopy));
    settings.launcherPath = "C:\\Temp\\LRE2\\two.exe";
    InstanceClaim secondCopy;
    EXPECT_TRUE(claimSingleInstance(settings, embedded("two.exe"), secondCopy));
    settings.launcherPath = "C:\\Temp\\LRE3\\one.exe";
    InstanceClaim oneAgain;
    EXPECT_FALSE(claimSingleInstance(settings, one, oneAgain));
    // The same embedded launcher in another launcher file.
    settings.originalLauncherPath = "C:\\Apps\\Other.exe";
    EXPECT_TRUE(claimSingleInstance(settings, one, oneAgain));

    // Once the first has ended, the next start is the one instance.
    settings.launcherPath = "C:\\Apps\\Setup.exe";
    settings.originalLauncherPath = LauncherString();
    settings.originalLauncher = false;
    first.reset();
    InstanceClaim next;
    EXPECT_TRUE(claimSingleInstance(settings, unloaded_, next));
}

}  // namespace
}  // namespace nv
