// The run log's line about an installation: what lies in the destination
// and how long the installer ran, read from a clock the test sets.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "system/Clock.h"
#include "foundation/Log.h"
#include "launcher/InstallReport.h"
#include "tests/support/RunTest.h"
#include "tests/support/TestDirectory.h"

namespace fs = std::filesystem;

namespace {

// The time the clock reads.
std::uint32_t now = 0;
std::uint32_t setClock() { return now; }

class InstallReportTest : public nv::RunTest {};

}  // namespace

TEST_F(InstallReportTest, NamesTheDestinationItsFilesAndBytesAndTheInstallersTime) {
    const nv::TestDirectory dir("nv_install_");
    const fs::path home = dir / "LRE1";
    nv::writeFile(home / "jvm", std::string(10, 'j'));
    nv::writeFile(home / "bin" / "java.exe", std::string(1000, 'x'));
    nv::writeFile(home / "lib" / "modules", std::string(70000, 'm'));
    fs::create_directories(home / "empty");
    // A link leads out of the installation: what it reaches is not counted.
    nv::writeFile(dir / "elsewhere" / "big", std::string(5000, 'b'));
    fs::create_directory_symlink(dir / "elsewhere", home / "link");
    const std::string log = (dir / "run.log").string();
    nv::setRunLogPath(nv::LauncherString(log));

    now = 0xFFFFFF00u;  // the tick count wraps while the installer runs
    nv::InstallReport report(setClock);
    now = 0x100;
    report.installerEnded();
    now += 5000;  // counting is not the installer's time
    report.write(nv::LauncherString(home.string()), true);
    report.write(nv::LauncherString(home.string()), false);
    fs::remove_all(home / "lib");
    fs::remove(home / "jvm");
    report.write(nv::LauncherString(home.string()), false);

    const std::string text = "\n" + nv::readFile(log);  // the first line too begins after a line feed
    EXPECT_NE(text.find("\nInstalled the carried JVM at " + home.string() + ": 3 files, 71010 bytes in 512 ms\n"),
              std::string::npos)
        << text;
    EXPECT_NE(
        text.find("\nInstalling the carried JVM at " + home.string() + " failed: 3 files, 71010 bytes in 512 ms\n"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find(" failed: 1 file, 1000 bytes in 512 ms\n"), std::string::npos) << text;
}
