#include "launcher/SingleInstance.h"

#include "foundation/AsciiCase.h"
#include "foundation/Log.h"
#include "foundation/RunSettings.h"
#include "system/LongPath.h"

namespace nv {

LauncherString instanceName(const LauncherString& launcherPath, bool copy) {
    // FNV-1a over the path in upper case: a short name that no path length can break.
    std::uint64_t hash = 14695981039346656037ull;
    for (LauncherString::size_type i = 0; i < launcherPath.length(); ++i) {
        hash = (hash ^ static_cast<unsigned char>(upperAscii(launcherPath[i]))) * 1099511628211ull;
    }
    LauncherString name(copy ? "NorvaneLauncherCopy-" : "NorvaneLauncher-");
    for (int shift = 60; shift >= 0; shift -= 4) name += "0123456789abcdef"[(hash >> shift) & 15];
    return name;
}

bool claimSingleInstance(InstanceClaim& claim) {
    const RunSettings& settings = runSettings();
    // The long form: a start through an 8.3 name is a start of the same file.
    const LauncherString name = instanceName(longPathName(settings.originalPath()), settings.originalLauncher);
    if (claim.claim(name)) return true;
    logEntry(bringInstanceForward(name) ? "This launcher is running already; its window was brought forward."
                                        : "This launcher is running already.");
    return false;
}

}  // namespace nv
