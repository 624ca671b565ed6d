#pragma once
// Builds a launcher file: a stub executable followed by the embedded files,
// their CRC-32s, the file index, the mode byte and the trailer
// (archive/LauncherFileFormat.h).

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "Branding.h"
#include "tools/common/PackError.h"

namespace nvpack {

using nvtools::PackError;
using nvtools::UsageError;

struct PackEntry {
    PackEntry() = default;
    PackEntry(std::int64_t t, std::int64_t id, std::string n, std::string from, std::string at = {})
        : type(t), fileId(id), name(std::move(n)), source(std::move(from)), place(std::move(at)) {}

    std::int64_t type = -1;    // 0..7
    std::int64_t fileId = -1;  // fits in 32 bits
    std::string name;          // the embedded name
    std::string source;        // the file whose bytes are embedded
    std::string place;         // "app.nvpack line 7" for an entry of a manifest; empty for --entry
};

struct PackRequest {
    std::string stub;
    std::string output;
    std::int64_t modeByte = 1;    // 0..255
    bool replacePayload = false;  // a stub that already carries one is refused otherwise
    bool checkContents = true;    // read the tag files with the launcher's readers (ContentCheck.h)
    bool dryRun = false;          // check everything and report, but write nothing
    std::vector<PackEntry> entries;
    Branding branding;                   // written into the stub's resources when any is given
    std::vector<std::string> manifests;  // the manifests read, as given
    // Where each single setting was given, by setting name ("--mode",
    // "MODE in app.nvpack line 2"); see claimSetting.
    std::map<std::string, std::string> givenAt;
    // How the stub and the output were given, by setting name ("the stub",
    // "the output file"), for messages: "--out setup.exe" or
    // "app.nvpack line 3: OUTPUT setup.exe". See shownAs.
    std::map<std::string, std::string> givenAs;
};

// Records that `setting` (a name for messages, such as "the mode byte") is
// given at `place`. Throws PackError naming both places when it was given
// before: a setting comes from one place, so that neither the command line
// nor a manifest silently overrides the other.
void claimSetting(PackRequest& request, const std::string& setting, const std::string& place);

// How `setting` was given (givenAs), or for a request made in code that
// does not say, `option` and `value`: "--out setup.exe".
std::string shownAs(const PackRequest& request, const std::string& setting, const char* option,
                    const std::string& value);

// An entry name as messages show it: in quotes, control characters as \xNN.
std::string quotedName(const std::string& name);

// What a successful pack tells its user.
struct PackResult {
    std::string report;                 // one line per entry, the branding, then the totals
    std::vector<std::string> warnings;  // complete sentences, without a prefix
};

// Checks the whole request (with checkContents when asked), then writes the
// output through a temporary file beside it that is renamed into place, so a
// failure leaves no output behind and an existing output file stays as it
// was. An output (or its temporary file) that is one of the files read is
// refused (OutputCheck.h), and so is a stub that is not the launcher
// (LauncherStub.h). A dry run makes the same checks and the same report and
// writes nothing. Throws PackError.
PackResult pack(const PackRequest& request);

// Reads an integer written in decimal; throws PackError naming what.
std::int64_t parseNumber(const std::string& text, const char* what);

}  // namespace nvpack
