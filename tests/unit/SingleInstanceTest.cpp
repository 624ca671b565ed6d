// One instance at a time: the claim's name and what a second start does,
// with the host's stand-in for the system's named objects.
#include <gtest/gtest.h>

#include <string>

#include "foundation/Log.h"
#include "foundation/RunSettings.h"
#include "launcher/SingleInstance.h"
#include "tests/support/RunStateTest.h"
#include "tests/support/TestDirectory.h"

namespace nv {
namespace {

class SingleInstanceTest : public RunStateTest {
protected:
    SingleInstanceTest() : dir_("nv_single_") { setRunLogPath((dir_ / "run.log").string().c_str()); }
    std::string log() const { return readFile(dir_ / "run.log"); }

private:
    TestDirectory dir_;
};

TEST_F(SingleInstanceTest, ASecondStartWhileTheFirstHoldsItsClaimEnds) {
    runSettings().launcherPath = "C:\\Apps\\Setup.exe";
    InstanceClaim first;
    ASSERT_TRUE(claimSingleInstance(first));
    EXPECT_TRUE(first.valid());
    EXPECT_EQ(log(), "");

    // The same file through another spelling of its path.
    runSettings().launcherPath = "c:\\apps\\SETUP.exe";
    InstanceClaim second;
    EXPECT_FALSE(claimSingleInstance(second));
    EXPECT_FALSE(second.valid());
    EXPECT_NE(log().find("Already running.\n"), std::string::npos) << log();

    // Another launcher file, and a copy started with -nv:orig, have claims of their own.
    for (const char* path : {"C:\\Apps\\Setup2.exe", "D:\\Apps\\Setup.exe", "C:\\Apps\\Setup.ex"}) {
        runSettings().launcherPath = path;
        InstanceClaim other;
        EXPECT_TRUE(claimSingleInstance(other)) << path;
    }
    runSettings().launcherPath = "C:\\Temp\\LRE1\\embedded.exe";
    runSettings().originalLauncherPath = "C:\\Apps\\Setup.exe";
    runSettings().originalLauncher = true;
    InstanceClaim copy;
    EXPECT_TRUE(claimSingleInstance(copy));

    // Once the first has ended, the next start is the one instance.
    runSettings().launcherPath = "C:\\Apps\\Setup.exe";
    runSettings().originalLauncherPath = LauncherString();
    runSettings().originalLauncher = false;
    first.reset();
    InstanceClaim next;
    EXPECT_TRUE(claimSingleInstance(next));
}

}  // namespace
}  // namespace nv
