#include "EntryCheck.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "archive/LauncherFileFormat.h"
#include "foundation/AsciiCase.h"

namespace nvpack {

namespace fs = std::filesystem;

namespace {

// The size of the file at `path`; throws PackError "<what> not found: <path>"
// when there is no such file.
std::int64_t fileSize(const std::string& path, const std::string& what) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) throw PackError(what + " not found: " + path);
    auto size = fs::file_size(path, ec);
    if (ec) throw PackError(std::string("cannot read the size of ") + path + ": " + ec.message());
    return static_cast<std::int64_t>(size);
}

}  // namespace

std::string describe(const PackEntry& e) {
    return (e.place.empty() ? "" : e.place + ": ") + "entry " + quotedName(e.name) + " (type " +
           std::to_string(e.type) + ", id " + std::to_string(e.fileId) + ")";
}

std::int64_t sourceSize(const PackEntry& e) { return fileSize(e.source, describe(e) + ": source file"); }

void checkTagFileTypes(const PackRequest& request) {
    for (const PackEntry& e : request.entries) {
        if (e.type > nv::typeLaunchScript) continue;
        char start[4] = {};
        std::ifstream(e.source, std::ios::binary).read(start, sizeof start);
        if (std::memcmp(start, "PK\3\4", 4) != 0 && std::memcmp(start, "PK\5\6", 4) != 0) continue;
        throw PackError(describe(e) + ": " + e.source +
                        " is a zip archive (a jar), not a tag file: types 0, 1 and 2 are tag files, and a jar belongs "
                        "in type 3 (class path archive) or 6 (application archive)");
    }
}

bool checkEntries(const PackRequest& request) {
    std::set<std::int64_t> ids;
    std::map<std::string, std::string> names;  // folded name -> name as given
    bool haveInstructions = false;
    bool haveLaunchScript = false;
    for (const PackEntry& e : request.entries) {
        const std::string which = (e.place.empty() ? "" : e.place + ": ") + "entry " + quotedName(e.name) + ": ";
        if (e.type < 0 || e.type > nv::format::highestType) {
            throw PackError(which + "type " + std::to_string(e.type) + " is outside 0-7");
        }
        if (e.fileId < INT32_MIN || e.fileId > INT32_MAX) throw PackError(which + "file id does not fit in 32 bits");
        if (!ids.insert(e.fileId).second)
            throw PackError(which + "file id " + std::to_string(e.fileId) + " is used twice");
        if (e.type == nv::typeInstructions) {
            if (haveInstructions) throw PackError(which + "a second instruction program (type 0) would never be used");
            haveInstructions = true;
        }
        if (e.type == nv::typeLaunchScript) {
            if (haveLaunchScript) throw PackError(which + "a second launch script (type 2) would never be used");
            haveLaunchScript = true;
        }
        // The launcher writes entries out under their names (-nv:extract and
        // extraction before a run), so a name Windows cannot hold is refused here.
        if (const char* problem = nv::format::entryNameProblem(nv::LauncherString(e.name))) {
            throw PackError(which + problem);
        }
        // Windows compares file names without regard to case.
        const std::string key = nv::upperAscii(e.name);
        if (key == "INPUT.TAG") {
            throw PackError(which +
                            "input.tag is the name of the input file that -nv:extract writes beside the entries");
        }
        auto known = names.emplace(key, e.name);
        if (!known.second) {
            throw PackError(which + "the name differs from entry " + quotedName(known.first->second) +
                            " only in case, and Windows would write both into one file");
        }
        if (sourceSize(e) > nv::format::largestPosition) {
            throw PackError(which + "the source " + e.source + " is larger than 2147483647 bytes");
        }
    }
    return haveInstructions;
}

}  // namespace nvpack
