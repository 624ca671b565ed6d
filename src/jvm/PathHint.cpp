#include "jvm/PathHint.h"

namespace nv {

bool isDriveRootedHint(const LauncherString& hint) { return hint[0] == '\\'; }

StringList pathHintCandidates(const LauncherString& hint, const StringList& drives,
                              const LauncherString& launcherDirectory) {
    StringList candidates;
    if (isDriveRootedHint(hint)) {
        for (std::int32_t i = 0; i < drives.count(); ++i) {
            candidates.append(joinText({drives.get(i), "\\", hint.substr(1)}));
        }
        return candidates;
    }
    LauncherString candidate = launcherDirectory;
    if (!candidate.empty()) candidate += '\\';
    candidates.append(candidate + hint);
    return candidates;
}

}  // namespace nv
