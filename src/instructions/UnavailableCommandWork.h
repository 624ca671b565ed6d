#pragma once
// The CommandWork of a build that has none of the work yet: every operation
// fails plainly instead of pretending to have run.

#include "instructions/CommandWork.h"

namespace nv {

class UnavailableCommandWork : public CommandWork {
public:
    // Each throws LauncherException "<COMMAND> is not available in this launcher build."
    FoundJvm findJvm(bool showProgress, bool showFailure) override;
    VerifiedJvm verifyJvm(bool showProgress, bool showFailure, std::int32_t id) override;
    InstalledJvm installJvm(std::int32_t mode) override;
    std::int32_t launch(const LauncherString& jvmFilePath, std::int16_t seconds) override;
    std::int32_t launchEmbedded(std::int32_t id, std::int16_t seconds) override;
    void executeLauncher(std::int32_t position) override;
};

}  // namespace nv
