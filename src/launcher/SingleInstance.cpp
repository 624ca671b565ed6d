#include "launcher/SingleInstance.h"

#include "foundation/AsciiCase.h"
#include "foundation/Log.h"
#include "foundation/RunSettings.h"
#include "system/LongPath.h"
#include "text/NumberText.h"

namespace nv {

namespace {

// FNV-1a: a short name that no path length can break.
class NameHash {
public:
    void add(std::uint32_t byte) { value = (value ^ (byte & 0xFF)) * 16777619u; }
    void addWord(std::uint32_t word) {
        for (int shift = 0; shift < 32; shift += 8) add(word >> shift);
    }
    std::uint32_t value = 2166136261u;
};

}  // namespace

bool claimSingleInstance(const RunSettings& settings, const LauncherFile& own, InstanceClaim& claim) {
    // The long form: a start through an 8.3 name is a start of the same file.
    const LauncherString path = longPathName(settings.originalPath());
    NameHash hash;
    for (LauncherString::size_type i = 0; i < path.length(); ++i) hash.add(upperAscii(path[i]));
    // A copy: a byte that no path holds, then which of the file's embedded
    // launchers it is. The copy's own path changes from start to start.
    if (settings.originalLauncher) {
        hash.add('*');
        for (std::int32_t i = 0; i < own.entryCount(); ++i) {
            const FileIndexEntry& entry = *own.entryAt(i);
            for (std::uint32_t word :
                 {std::uint32_t{entry.type}, static_cast<std::uint32_t>(entry.fileId),
                  static_cast<std::uint32_t>(entry.offset), static_cast<std::uint32_t>(entry.length), entry.crc}) {
                hash.addWord(word);
            }
            for (LauncherString::size_type c = 0; c <= entry.name.length(); ++c) hash.add(entry.name.c_str()[c]);
        }
    }
    const long holder = claimInstance("Norvane" + formatLong(static_cast<std::int32_t>(hash.value)), claim);
    if (holder == 0) return true;
    if (holder > 0) bringProcessForward(holder);
    logEntry("Already running.");
    return false;
}

}  // namespace nv
