#include "instructions/UnavailableCommandWork.h"

#include "foundation/LauncherException.h"

namespace nv {

namespace {

[[noreturn]] void unavailable(const char* command) {
    throwLauncherException(LauncherString(command) + " is not available in this launcher build.");
}

}  // namespace

FoundJvm UnavailableCommandWork::findJvm(bool, bool) { unavailable("FIND_JVM"); }

VerifiedJvm UnavailableCommandWork::verifyJvm(bool, bool, std::int32_t) { unavailable("VERIFY"); }

InstalledJvm UnavailableCommandWork::installJvm(std::int32_t) { unavailable("INSTALL_JVM"); }

std::int32_t UnavailableCommandWork::launch(const LauncherString&, std::int16_t) { unavailable("LAUNCH"); }

std::int32_t UnavailableCommandWork::launchEmbedded(std::int32_t, std::int16_t) { unavailable("ILAUNCH"); }

void UnavailableCommandWork::executeLauncher(std::int32_t) { unavailable("EXECUTE_LAUNCHER"); }

}  // namespace nv
