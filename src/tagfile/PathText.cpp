#include "tagfile/PathText.h"

#include "launcher/RunSettings.h"

namespace nv {

void ensureTrailingSeparator(LauncherString& path) {
    if (!path.empty() && path[path.length() - 1] != '\\') path.append('\\');
}

LauncherString launcherDirectory() {
    const RunSettings& settings = runSettings();
    const LauncherString& path =
        settings.originalLauncherPath.empty() ? settings.launcherPath : settings.originalLauncherPath;
    const LauncherString::size_type separator = path.findLastOf("/\\");
    if (separator == LauncherString::npos) return LauncherString();
    return path.substr(0, separator);
}

}  // namespace nv
