#include "jvm/PathHint.h"

namespace nv {

namespace {
bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
}  // namespace

PathHintKind pathHintKind(const LauncherString& hint) {
    // A UNC name before the one-backslash rule, which it would otherwise meet.
    if (hint[0] == '\\') return hint[1] == '\\' ? PathHintKind::full : PathHintKind::driveRooted;
    // "C:" alone or followed by a separator; "C:jdk" (relative to a drive's
    // current directory) is no full path and counts as relative.
    const bool drive = isAsciiLetter(hint[0]) && hint[1] == ':';
    if (drive && (hint.length() == 2 || hint[2] == '\\' || hint[2] == '/')) return PathHintKind::full;
    return PathHintKind::relative;
}

StringList pathHintCandidates(const LauncherString& hint, const StringList& drives,
                              const LauncherString& launcherDirectory) {
    StringList candidates;
    const PathHintKind kind = pathHintKind(hint);
    if (kind == PathHintKind::full) {
        candidates.append(hint);
    } else if (kind == PathHintKind::driveRooted) {
        for (std::int32_t i = 0; i < drives.count(); ++i) {
            candidates.append(joinText({drives.get(i), "\\", hint.substr(1)}));
        }
    } else {
        LauncherString candidate = launcherDirectory;
        if (!candidate.empty()) candidate += '\\';
        candidates.append(candidate + hint);
    }
    return candidates;
}

}  // namespace nv
