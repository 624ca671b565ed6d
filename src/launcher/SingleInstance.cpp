#include "launcher/SingleInstance.h"

#include "foundation/AsciiCase.h"
#include "foundation/Log.h"
#include "foundation/RunSettings.h"
#include "system/LongPath.h"
#include "tagfile/NumberText.h"

namespace nv {

bool claimSingleInstance(InstanceClaim& claim) {
    const RunSettings& settings = runSettings();
    // The long form: a start through an 8.3 name is a start of the same file.
    const LauncherString path = longPathName(settings.originalPath());
    // FNV-1a over the path in upper case, and for a copy over a byte that no
    // path holds: a short name that no path length can break.
    std::uint32_t hash = 2166136261u;
    for (LauncherString::size_type i = 0; i < path.length(); ++i) {
        hash = (hash ^ static_cast<unsigned char>(upperAscii(path[i]))) * 16777619u;
    }
    if (settings.originalLauncher) hash = (hash ^ '*') * 16777619u;
    const long holder = claimInstance("Norvane" + formatLong(static_cast<std::int32_t>(hash)), claim);
    if (holder == 0) return true;
    if (holder > 0) bringProcessForward(holder);
    logEntry("Already running.");
    return false;
}

}  // namespace nv
