#include "Packer.h"

#include <filesystem>
#include <string>
#include <vector>

#include "ContentCheck.h"
#include "EntryCheck.h"
#include "LauncherFileOutput.h"
#include "OutputCheck.h"
#include "PackedStub.h"
#include "archive/LauncherFileLayout.h"
#include "archive/LauncherFileFormat.h"

namespace nvpack {

namespace fs = std::filesystem;

std::string quotedName(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32 || byte == 127) {
            const char hex[] = "0123456789ABCDEF";
            out += "\\x";
            out += hex[byte >> 4];
            out += hex[byte & 15];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string shownAs(const PackRequest& request, const std::string& setting, const char* option,
                    const std::string& value) {
    const auto given = request.givenAs.find(setting);
    return given != request.givenAs.end() ? given->second : option + (" " + value);
}

std::int64_t parseNumber(const std::string& text, const char* what) {
    std::size_t used = 0;
    long long value = 0;
    try {
        value = std::stoll(text, &used, 10);
    } catch (const std::exception&) {
        used = 0;
    }
    if (text.empty() || used != text.size()) throw PackError(std::string(what) + " is not a number: \"" + text + "\"");
    return value;
}

void claimSetting(PackRequest& request, const std::string& setting, const std::string& place) {
    auto given = request.givenAt.emplace(setting, place);
    if (!given.second) {
        throw PackError(setting + " is given twice, by " + given.first->second + " and by " + place +
                        "; give each setting in one place");
    }
}

namespace {

// What the checks of a request found that the report tells.
struct Checked {
    bool haveInstructions = false;
    std::vector<std::string> warnings;  // of the content checks
};

// Every check that needs no stub bytes, in the order a user meets them.
Checked checkRequest(const PackRequest& request, const OutputFile& out, const std::string& stubGivenAs) {
    checkOutput(request, out.temp);
    std::error_code ec;
    if (!fs::is_regular_file(request.stub, ec)) throw PackError(stubGivenAs + ": stub not found");
    Checked checked;
    checked.haveInstructions = checkEntries(request);
    if (request.checkContents) {
        checkTagFileTypes(request);
        checked.warnings = checkContents(request);
    }
    return checked;
}

// The entries, each as its source is now, laid out after the stub.
nv::format::LauncherFileLayout layOut(const PackRequest& request, std::size_t stubSize) {
    std::vector<nv::FileIndexEntry> entries;
    for (const PackEntry& e : request.entries) {
        nv::FileIndexEntry entry;
        entry.type = static_cast<std::uint8_t>(e.type);
        entry.fileId = static_cast<std::int32_t>(e.fileId);
        entry.length = static_cast<std::int32_t>(sourceSize(e));
        entry.name = nv::LauncherString(e.name);
        entries.push_back(std::move(entry));
    }
    nv::format::LauncherFileLayout layout;
    if (!nv::format::layOutLauncherFile(static_cast<std::int64_t>(stubSize), std::move(entries),
                                        static_cast<std::uint8_t>(request.modeByte), layout)) {
        throw PackError("the launcher file would be larger than 2147483647 bytes");
    }
    return layout;
}

PackResult report(const PackRequest& request, const Branding& branding, const nv::format::LauncherFileLayout& layout,
                  std::size_t stubSize, const Checked& checked) {
    PackResult result;
    for (const nv::FileIndexEntry& e : layout.index) {
        result.report += "entry: type " + std::to_string(e.type) + ", id " + std::to_string(e.fileId) + ", name " +
                         quotedName(e.name.str()) + ", " + std::to_string(e.length) + " bytes\n";
    }
    result.report += brandingReport(branding);
    const std::int64_t payload = layout.size() - static_cast<std::int64_t>(stubSize);
    const std::size_t count = layout.index.size();
    result.report += "total: " + std::to_string(count) + (count == 1 ? " entry, " : " entries, ") +
                     std::to_string(payload) + " payload bytes, " +
                     (request.dryRun ? "not written (--dry-run): " : "written to ") + request.output + "\n";
    result.warnings = checked.warnings;
    for (std::string& warning : brandingWarnings(request.branding)) result.warnings.push_back(std::move(warning));
    if (!checked.haveInstructions) {
        result.warnings.push_back(
            "the launcher file carries no instruction program (type 0); only an input file (-nv:in) can drive it");
    }
    return result;
}

}  // namespace

PackResult pack(const PackRequest& request) {
    if (request.modeByte < 0 || request.modeByte > 255) throw PackError("the mode byte must be 0 to 255");
    if (request.output.empty()) throw PackError("no output file given");
    // Written beside the output and renamed over it only when whole.
    const OutputFile out{request.output, shownAs(request, "the output file", "--out", request.output),
                         request.output + ".nvpack-tmp"};
    const std::string stubGivenAs = shownAs(request, "the stub", "--stub", request.stub);
    const Checked checked = checkRequest(request, out, stubGivenAs);
    const Branding branding = namedAfterOutput(request.branding, request.output);
    const std::string stub = packedStub(request, branding, stubGivenAs);
    const nv::format::LauncherFileLayout layout = layOut(request, stub.size());
    if (request.dryRun) {
        checkOutputFolder(out);
    } else {
        writeLauncherFile(request, stub, layout, out);
    }
    return report(request, branding, layout, stub.size(), checked);
}

}  // namespace nvpack
