#pragma once
// The run log's account of an installation: where the installer put the
// JVM, how much lies there and how long the installer ran.

#include <cstdint>

#include "system/Clock.h"
#include "foundation/LauncherString.h"

namespace nv {

// Made just before the installer starts; installerEnded takes the time once
// it has run. write then counts the files and bytes below the destination
// and logs one line: "Installed the carried JVM at DEST: N files, B bytes in
// T ms", or "Installing the carried JVM at DEST failed: ..." when it did not
// install.
class InstallReport {
public:
    explicit InstallReport(Clock clock = tickCount) : clock_(clock), start_(clock()) {}
    void installerEnded() { milliseconds_ = clock_() - start_; }
    void write(const LauncherString& destination, bool installed) const;

private:
    const Clock clock_;
    const std::uint32_t start_;
    std::uint32_t milliseconds_ = 0;
};

}  // namespace nv
