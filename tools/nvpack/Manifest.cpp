#include "Manifest.h"

#include <filesystem>
#include <vector>

#include "foundation/LauncherException.h"
#include "tagfile/TagFile.h"
#include "tagfile/TextScanning.h"

namespace nvpack {

namespace {

std::string resolve(const std::filesystem::path& base, const std::string& path) {
    std::filesystem::path p(path);
    return p.is_absolute() ? path : (base / p).string();
}

// Splits an ENTRY value into fields; quoted fields keep their blanks.
std::vector<std::string> fields(const nv::LauncherString& value) {
    std::vector<std::string> out;
    nv::LauncherString::size_type pos = 0;
    while (pos != nv::LauncherString::npos && pos < value.length()) {
        if (nv::isBlank(value[pos])) {
            ++pos;
            continue;
        }
        bool quoted = value[pos] == '"';
        if (quoted) ++pos;
        out.push_back(nv::readArgument(value, pos, quoted).str());
    }
    return out;
}

}  // namespace

void readManifest(const std::string& path, PackRequest& request) {
    nv::TagFile tags;
    try {
        tags.load(nv::LauncherString(path));
    } catch (const nv::LauncherException& e) {
        throw PackError(e.message().str());
    }
    const std::filesystem::path base = std::filesystem::path(path).parent_path();
    if (!tags.value("STUB").empty()) request.stub = resolve(base, tags.value("STUB").str());
    if (!tags.value("OUTPUT").empty()) request.output = resolve(base, tags.value("OUTPUT").str());
    if (!tags.value("MODE").empty()) request.modeByte = static_cast<int>(parseNumber(tags.value("MODE").str(), "MODE"));
    if (tags.boolValue("REPLACE", false)) request.replacePayload = true;
    for (std::int32_t i = 0; i < tags.valueCount("ENTRY"); ++i) {
        std::vector<std::string> f;
        try {
            f = fields(tags.value("ENTRY", i));
        } catch (const nv::LauncherException& e) {
            throw PackError(path + ": ENTRY " + std::to_string(i + 1) + ": " + e.message().str());
        }
        if (f.size() != 4 && f.size() != 6) {
            throw PackError(path + ": ENTRY " + std::to_string(i + 1) +
                            " needs TYPE ID NAME SOURCE, optionally followed by FILECOUNT SIZE");
        }
        PackEntry e;
        e.type = static_cast<int>(parseNumber(f[0], "the type"));
        e.fileId = parseNumber(f[1], "the file id");
        e.name = f[2];
        e.source = resolve(base, f[3]);
        if (f.size() == 6) {
            e.compressed = true;
            e.decompressedFileCount = parseNumber(f[4], "the expanded file count");
            e.decompressedSize = parseNumber(f[5], "the expanded size");
        }
        request.entries.push_back(e);
    }
}

}  // namespace nvpack
