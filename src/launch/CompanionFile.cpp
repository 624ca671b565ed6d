#include "launch/CompanionFile.h"

#include "foundation/CFile.h"
#include "text/TextScanning.h"

namespace nv {

LauncherString companionPath(const LauncherString& launcherPath, const LauncherString& suffix) {
    const LauncherString::size_type separator = launcherPath.findLastOf("/\\");
    LauncherString path = launcherPath;
    if (separator != LauncherString::npos) {
        const LauncherString::size_type dot = launcherPath.rfind('.');
        if (dot != LauncherString::npos && dot > separator) path = launcherPath.substr(0, dot);
    }
    return path + suffix;
}

StringList companionLines(const LauncherString& launcherPath, const LauncherString& suffix) {
    StringList lines;
    CFile file = openFile(companionPath(launcherPath, suffix).c_str(), "r");
    if (!file) return lines;
    while (!std::feof(file.get())) {
        const LauncherString line = readLine(file.get());
        if (!line.empty() || !std::feof(file.get())) lines.append(line);
    }
    return lines;
}

}  // namespace nv
