#include "OutputCheck.h"

#include <filesystem>
#include <utility>
#include <vector>

namespace nvpack {

namespace fs = std::filesystem;

namespace {

// std::filesystem::equivalent compares st_dev and st_ino on the host, and
// the volume serial number and file index on Windows (libstdc++ of MinGW
// asks GetFileInformationByHandle). A path that does not exist is no file.
bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

// Each file the request reads, with the words that name it in a message.
std::vector<std::pair<std::string, std::string>> inputs(const PackRequest& request) {
    std::vector<std::pair<std::string, std::string>> files;
    files.emplace_back(request.stub, "the stub (" + shownAs(request, "the stub", "--stub", request.stub) + ")");
    for (const PackEntry& e : request.entries) {
        files.emplace_back(e.source, "the source of entry " + quotedName(e.name) + " (type " + std::to_string(e.type) +
                                         (e.place.empty() ? "" : ", " + e.place) + ")");
    }
    for (const std::string& manifest : request.manifests) files.emplace_back(manifest, "the manifest " + manifest);
    if (!request.branding.icon.empty()) {
        const std::string& given = request.branding.iconGivenAs;
        files.emplace_back(request.branding.icon,
                           "the icon (" + (given.empty() ? "--icon " + request.branding.icon : given) + ")");
    }
    return files;
}

}  // namespace

void checkOutput(const PackRequest& request, const std::string& temporary) {
    const std::string output = shownAs(request, "the output file", "--out", request.output);
    std::error_code ec;
    if (fs::is_directory(request.output, ec)) throw PackError(output + " is a directory");
    const std::pair<std::string, std::string> written[] = {
        {request.output, output},
        {temporary, output + ": its temporary file " + temporary},
    };
    for (const auto& input : inputs(request)) {
        for (const auto& target : written) {
            if (sameFile(target.first, input.first)) {
                throw PackError(target.second + " is " + input.second + "; nvpack would overwrite it");
            }
        }
    }
}

}  // namespace nvpack
