#include "Manifest.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

#include "foundation/LauncherException.h"
#include "tagfile/TagFile.h"
#include "text/TextScanning.h"

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

// Reads the manifest's tags; syntax errors and unreadable files become PackError.
nv::TagFile load(const std::string& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::directory) {
        throw PackError("the manifest " + path + " is a directory, not a file");
    }
    if (!std::filesystem::exists(status)) throw PackError("manifest not found: " + path);
    nv::TagFile tags;
    try {
        tags.load(nv::LauncherString(path));
    } catch (const nv::LauncherException& e) {
        throw PackError(e.message().str());
    }
    return tags;
}

// The line of each tag's last definition and the lines of its values, as
// TagFile reads them: a one-line tag's value on its own line, a block's values
// on the lines up to its "/:" that are not empty. Expects a file that TagFile
// read without a syntax error.
struct TagLines {
    std::map<std::string, std::int32_t> tag;
    std::map<std::string, std::vector<std::int32_t>> values;
};

TagLines lineNumbers(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const nv::LauncherString text(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
    TagLines lines;
    nv::LauncherString::size_type pos = 0;
    std::int32_t number = 0;
    while (pos < text.length()) {
        const nv::LauncherString line = nv::readLineFromText(text, pos);
        ++number;
        const nv::LauncherString::size_type colon = line.find(':');
        if (colon == nv::LauncherString::npos) continue;
        nv::LauncherString name = line.substr(0, colon);
        nv::trimBlanks(name);
        lines.tag[name.str()] = number;
        std::vector<std::int32_t>& values = lines.values[name.str()];
        values.assign(1, number);
        if (colon + 1 != line.length()) continue;
        values.clear();
        while (pos < text.length()) {
            nv::LauncherString value = nv::readLineFromText(text, pos);
            ++number;
            if (!value.empty() && value[0] == '"') {
                nv::LauncherString::size_type at = 1;
                value = nv::readArgument(value, at, true);
            }
            if (value == "/:") break;
            if (!value.empty()) values.push_back(number);
        }
    }
    return lines;
}

}  // namespace

void readManifest(const std::string& path, PackRequest& request) {
    const nv::TagFile tags = load(path);
    const TagLines lines = lineNumbers(path);
    request.manifests.push_back(path);
    const std::filesystem::path base = std::filesystem::path(path).parent_path();
    auto place = [&path](std::int32_t line) { return path + " line " + std::to_string(line); };
    for (std::int32_t t = 0; t < tags.tagCount(); ++t) {
        const std::string tag = tags.tagName(t).str();
        const std::int32_t line = lines.tag.count(tag) ? lines.tag.at(tag) : 0;
        const std::string at = place(line) + ": " + tag;  // "app.nvpack line 2: MODE"
        const std::string where = tag + " in " + place(line);
        if (tag == "ENTRY") continue;
        const BrandingSetting* branding = findBrandingSetting(tag, &BrandingSetting::tag);
        if (tag != "STUB" && tag != "OUTPUT" && tag != "MODE" && tag != "REPLACE" && branding == nullptr) {
            throw PackError(place(line) + ": unknown tag \"" + tag +
                            "\" (known: STUB, OUTPUT, MODE, REPLACE, ENTRY, ICON, PRODUCT_NAME, PRODUCT_VERSION, "
                            "COMPANY, DESCRIPTION, COPYRIGHT, EXECUTION_LEVEL)");
        }
        if (tags.valueCount(nv::LauncherString(tag)) != 1) throw PackError(at + " takes exactly one value");
        const std::string value = tags.value(nv::LauncherString(tag)).str();
        if (branding != nullptr) {
            claimSetting(request, branding->setting, where);
            setBranding(request.branding, *branding, branding->isPath && !value.empty() ? resolve(base, value) : value,
                        where, at + " " + value);
        } else if (tag == "STUB") {
            claimSetting(request, "the stub", where);
            request.stub = resolve(base, value);
            request.givenAs["the stub"] = at + " " + value;
        } else if (tag == "OUTPUT") {
            claimSetting(request, "the output file", where);
            request.output = resolve(base, value);
            request.givenAs["the output file"] = at + " " + value;
        } else if (tag == "MODE") {
            claimSetting(request, "the mode byte", where);
            request.modeByte = parseNumber(value, at.c_str());
        } else {
            if (value != "0" && value != "1") throw PackError(at + " must be 0 or 1, not \"" + value + "\"");
            claimSetting(request, "replacing a payload", where);
            request.replacePayload = value == "1";
        }
    }
    const auto entryLines = lines.values.find("ENTRY");
    for (std::int32_t i = 0; i < tags.valueCount("ENTRY"); ++i) {
        const std::size_t index = static_cast<std::size_t>(i);
        const bool located = entryLines != lines.values.end() && index < entryLines->second.size();
        const std::string entryPlace = place(located ? entryLines->second[index] : 0);
        const std::string which = entryPlace + ": ENTRY";
        std::vector<std::string> f;
        try {
            f = fields(tags.value("ENTRY", i));
        } catch (const nv::LauncherException& e) {
            throw PackError(which + ": " + e.message().str());
        }
        if (f.size() == 6) {
            // Nothing in nvpack compresses and nothing in the launcher expands.
            throw PackError(which +
                            ": FILECOUNT and SIZE are not supported (entries are stored as they are); "
                            "give TYPE ID NAME SOURCE");
        }
        if (f.size() != 4) throw PackError(which + " needs TYPE ID NAME SOURCE");
        PackEntry e;
        e.type = parseNumber(f[0], (which + " TYPE").c_str());
        e.fileId = parseNumber(f[1], (which + " ID").c_str());
        e.name = f[2];
        e.source = resolve(base, f[3]);
        e.place = entryPlace;
        request.entries.push_back(e);
    }
}

}  // namespace nvpack
