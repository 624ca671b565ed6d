#include "text/PathText.h"

namespace nv {

void ensureTrailingSeparator(LauncherString& path) {
    if (!path.empty() && path[path.length() - 1] != '\\') path.append('\\');
}

LauncherString launcherDirectory(const LauncherString& path) {
    const LauncherString::size_type separator = path.findLastOf("/\\");
    if (separator == LauncherString::npos) return LauncherString();
    return path.substr(0, separator);
}

}  // namespace nv
