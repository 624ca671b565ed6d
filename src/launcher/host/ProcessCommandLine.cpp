// The host build runs the portable code only; it has no process command line
// of the launcher's kind.
#include <unistd.h>

#include "launcher/ProcessCommandLine.h"

namespace nv {

StringList splitProcessCommandLine() { return StringList(); }

LauncherString moduleFileName() {
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? LauncherString(path, static_cast<LauncherString::size_type>(n)) : LauncherString();
}

// The host build carries no resources.
std::string ownVersionResource() { return std::string(); }

}  // namespace nv
