#include "jvm/PathHint.h"

#include "foundation/AsciiCase.h"
#include "foundation/DirectoryListing.h"
#include "foundation/LauncherException.h"
#include "foundation/Log.h"
#include "jvm/FileExists.h"
#include "system/Environment.h"

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

bool matchesFolderPattern(const LauncherString& name, const LauncherString& pattern) {
    // The classic two-pointer match: on a mismatch, the last "*" takes one
    // more character.
    LauncherString::size_type n = 0, p = 0, starAt = LauncherString::npos, resume = 0;
    while (n < name.length()) {
        if (p < pattern.length() && pattern[p] == '*') {
            starAt = p++;
            resume = n;
        } else if (p < pattern.length() && (pattern[p] == '?' || upperAscii(pattern[p]) == upperAscii(name[n]))) {
            ++p;
            ++n;
        } else if (starAt != LauncherString::npos) {
            p = starAt + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.length() && pattern[p] == '*') ++p;
    return p == pattern.length();
}

namespace {

void warnMiss(HintMisses misses, const LauncherString& hint, const char* why) {
    if (misses == HintMisses::warn) logEntry(joinText({"Path hint ", hint, why}), LogKind::warning);
}

// The homes of the Java executables on PATH.
StringList homesOnPath(const LauncherString& exeName) {
    StringList homes;
    const LauncherString::size_type cut = exeName.rfind('\\');
    const LauncherString folder = cut == LauncherString::npos ? LauncherString() : "\\" + exeName.substr(0, cut);
    const LauncherString file = exeName.substr(cut == LauncherString::npos ? 0 : cut + 1);
    const LauncherString path = environmentValue("PATH");
    LauncherString::size_type start = 0;
    while (start <= path.length()) {
        LauncherString::size_type end = path.find(';', start);
        if (end == LauncherString::npos) end = path.length();
        LauncherString entry = path.substr(start, end - start);
        start = end + 1;
        if (entry.length() >= 2 && entry[0] == '"' && entry[entry.length() - 1] == '"') {
            entry = entry.substr(1, entry.length() - 2);
        }
        while (!entry.empty() && entry[entry.length() - 1] == '\\') entry.erase(entry.length() - 1, 1);
        if (entry.length() <= folder.length()) continue;
        const LauncherString::size_type homeLength = entry.length() - folder.length();
        if (!equalIgnoringAsciiCase(entry.str().substr(homeLength), folder.str())) continue;
        if (!fileExists(joinText({entry, "\\", file}))) continue;
        homes.append(entry.substr(0, homeLength));
    }
    return homes;
}

// The folders in `parent` (ending in "\\") whose names match `pattern`, in name order.
void appendMatchingFolders(const LauncherString& parent, const LauncherString& pattern, StringList& homes) {
    StringList names;
    DirectoryListing listing(parent);
    DirectoryEntry entry;
    try {
        while (listing.next(entry)) {
            if (entry.isDirectory && entry.name != "." && entry.name != ".." &&
                matchesFolderPattern(entry.name, pattern)) {
                names.insertInOrder(entry.name);
            }
        }
    } catch (const LauncherException&) {
        // A folder that cannot be read to its end gives the names read so far.
    }
    for (std::int32_t i = 0; i < names.count(); ++i) homes.append(parent + names.get(i));
}

}  // namespace

StringList pathHintHomes(const LauncherString& hint, const PathHintPlace& place, HintMisses misses) {
    if (hint == "%PATH%") {
        StringList homes = homesOnPath(place.exeName);
        if (homes.empty()) warnMiss(misses, hint, " finds no Java on PATH.");
        return homes;
    }
    LauncherString text = hint;
    const LauncherString::size_type close = hint[0] == '%' ? hint.find('%', 1) : LauncherString::npos;
    if (close != LauncherString::npos && close > 1) {
        const LauncherString name = hint.substr(1, close - 1);
        LauncherString value = environmentValue(name);
        while (!value.empty() && value[value.length() - 1] == '\\') value.erase(value.length() - 1, 1);
        if (value.empty()) {
            warnMiss(misses, hint, joinText({": the variable ", name, " is not set."}).c_str());
            return StringList();
        }
        text = value + hint.substr(close + 1);
    }
    StringList candidates = pathHintCandidates(text, place.drives, place.launcherDirectory);
    const LauncherString::size_type slash = text.rfind('\\');
    const LauncherString last = text.substr(slash == LauncherString::npos ? 0 : slash + 1);
    if (last.findFirstOf("*?") == LauncherString::npos) return candidates;
    StringList homes;
    for (std::int32_t i = 0; i < candidates.count(); ++i) {
        const LauncherString& candidate = candidates.get(i);
        const LauncherString::size_type cut = candidate.rfind('\\');
        if (cut == LauncherString::npos) continue;
        appendMatchingFolders(candidate.substr(0, cut + 1), last, homes);
    }
    if (homes.empty()) warnMiss(misses, hint, " names no folder.");
    return homes;
}

}  // namespace nv
