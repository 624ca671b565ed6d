// One instance at a time: the claim's name and what a second start does,
// with the host's stand-in for the system's named objects.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "foundation/Log.h"
#include "foundation/RunSettings.h"
#include "launcher/SingleInstance.h"
#include "tests/support/RunStateTest.h"
#include "tests/support/TestDirectory.h"

namespace nv {
namespace {

TEST(InstanceName, OneNamePerLauncherFileWhateverTheCaseOfItsPath) {
    const LauncherString name = instanceName("C:\\Apps\\Setup.exe", false);
    EXPECT_EQ(name.str().rfind("NorvaneLauncher-", 0), 0u) << name.str();
    EXPECT_EQ(name.length(), 32u) << name.str();
    EXPECT_EQ(instanceName("c:\\APPS\\setup.EXE", false), name);
    for (const char* other : {"C:\\Apps\\Setup2.exe", "D:\\Apps\\Setup.exe", "C:\\Apps\\Setup.ex", ""}) {
        EXPECT_NE(instanceName(other, false), name) << other;
    }
    // The copy that EXECUTE_LAUNCHER starts runs another program than its launcher.
    EXPECT_NE(instanceName("C:\\Apps\\Setup.exe", true), name);
    EXPECT_EQ(instanceName("C:\\Apps\\Setup.exe", true), instanceName("c:\\apps\\setup.exe", true));
}

class SingleInstanceTest : public RunStateTest {
protected:
    SingleInstanceTest() : dir_("nv_single_") { setRunLogPath((dir_ / "run.log").string().c_str()); }
    std::string log() const { return readFile(dir_ / "run.log"); }

private:
    TestDirectory dir_;
};

TEST_F(SingleInstanceTest, ASecondStartWhileTheFirstHoldsItsClaimEnds) {
    runSettings().launcherPath = "C:\\Apps\\Setup.exe";
    auto first = std::make_unique<InstanceClaim>();
    ASSERT_TRUE(claimSingleInstance(*first));
    EXPECT_EQ(log(), "");

    // The same file through another spelling of its path.
    runSettings().launcherPath = "c:\\apps\\SETUP.exe";
    InstanceClaim second;
    EXPECT_FALSE(claimSingleInstance(second));
    EXPECT_NE(log().find("This launcher is running already; its window was brought forward.\n"), std::string::npos)
        << log();

    // Another launcher file, and a copy started with -nv:orig, have claims of their own.
    runSettings().launcherPath = "C:\\Apps\\Other.exe";
    InstanceClaim other;
    EXPECT_TRUE(claimSingleInstance(other));
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
