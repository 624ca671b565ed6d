#include "RuntimeFolder.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "JvmArchiveFormat.h"
#include "WindowsProgram.h"
#include "foundation/AsciiCase.h"
#include "text/TextScanning.h"
#include "tools/common/PackError.h"

namespace fs = std::filesystem;

namespace nvjvm {

using nvtools::PackError;

namespace {

constexpr const char* javaExePath = "bin\\java.exe";

bool isInside(const fs::path& path, const fs::path& root) {
    const auto mismatch = std::mismatch(root.begin(), root.end(), path.begin(), path.end());
    return mismatch.first == root.end();
}

class FolderReader {
public:
    explicit FolderReader(const fs::path& root) : root_(fs::canonical(root)) {}

    void walk(const fs::path& directory, const std::string& prefix, RuntimeFolder& out) {
        std::vector<fs::path> children;
        for (const fs::directory_entry& child : fs::directory_iterator(directory)) children.push_back(child.path());
        std::sort(children.begin(), children.end());
        for (const fs::path& child : children) {
            const std::string part = child.filename().string();
            if (part.find('\\') != std::string::npos) {
                throw PackError(child.string() + ": the name holds \\, which Windows takes for a separator");
            }
            RuntimeEntry entry;
            entry.name = prefix + part;
            entry.source = child.string();
            if (const char* problem = nameProblem(entry.name)) {
                throw PackError(child.string() + ": Windows cannot hold this name below a directory: it " + problem);
            }
            if (!names_.insert(nv::upperAscii(entry.name)).second) {
                throw PackError(child.string() +
                                ": another name in its folder differs from it only in case, "
                                "which Windows takes for the same file");
            }
            const fs::file_status status = fs::status(child);
            if (fs::is_symlink(fs::symlink_status(child))) checkLink(child, status);
            if (fs::is_directory(status)) {
                entry.directory = true;
                out.entries.push_back(entry);
                walk(child, entry.name + "\\", out);
            } else if (fs::is_regular_file(status)) {
                entry.size = fs::file_size(child);
                out.fileBytes += entry.size;
                out.entries.push_back(entry);
            } else {
                throw PackError(child.string() + " is neither a regular file nor a directory");
            }
        }
    }

private:
    void checkLink(const fs::path& link, const fs::file_status& target) const {
        if (!fs::exists(target)) throw PackError(link.string() + " is a link that leads nowhere");
        if (!isInside(fs::canonical(link), root_)) {
            throw PackError(link.string() + " is a link that leads outside the runtime folder (to " +
                            fs::canonical(link).string() + "); copy the runtime with its links resolved");
        }
        if (fs::is_directory(target)) {
            throw PackError(link.string() + " is a link to a directory; copy the runtime with its links resolved");
        }
    }

    fs::path root_;
    std::set<std::string> names_;
};

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw PackError(path.string() + " cannot be read: " + std::strerror(errno));
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void checkWindowsProgram(const std::string& directory, const fs::path& program) {
    if (!isWindowsProgram(readText(program))) {
        throw PackError(directory + " is not a Windows Java runtime: " + program.string() +
                        " is no Windows program (no \"MZ\" header with the PE signature)");
    }
}

}  // namespace

std::string releaseJavaVersion(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const auto trim = [](std::string s) {
            const std::size_t first = s.find_first_not_of(nv::blankSet);
            if (first == std::string::npos) return std::string();
            return s.substr(first, s.find_last_not_of(nv::blankSet) - first + 1);
        };
        if (trim(line.substr(0, equals)) != "JAVA_VERSION") continue;
        std::string value = trim(line.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        return value;
    }
    return std::string();
}

RuntimeFolder readRuntimeFolder(const std::string& directory) {
    const fs::path root(directory);
    std::error_code error;
    if (!fs::is_directory(root, error)) throw PackError(directory + " is not a directory");
    // What makes the folder a Windows Java runtime comes first: the walk
    // would refuse a Linux runtime for its links before saying what it is.
    const fs::path bin = root / "bin";
    if (!fs::is_regular_file(bin / "java.exe", error)) {
        throw PackError(directory +
                        " is not a Windows Java runtime: it has no bin/java.exe (a carried JVM runs "
                        "as bin\\java.exe)");
    }
    checkWindowsProgram(directory, bin / "java.exe");
    if (fs::exists(fs::symlink_status(bin / "javaw.exe", error))) checkWindowsProgram(directory, bin / "javaw.exe");
    if (!fs::is_regular_file(root / "release", error)) {
        throw PackError(directory +
                        " has no release file, where a Java runtime names its version "
                        "(JAVA_VERSION=\"...\")");
    }
    RuntimeFolder out;
    out.javaExe = javaExePath;
    out.javaVersion = releaseJavaVersion(readText(root / "release"));
    if (out.javaVersion.empty()) {
        throw PackError((root / "release").string() + " names no version: it needs a line JAVA_VERSION=\"...\"");
    }
    for (unsigned char c : out.javaVersion) {
        if (c < 32 || c == '"' || c == 127) {
            throw PackError((root / "release").string() + ": JAVA_VERSION holds a quote or control character");
        }
    }
    try {
        FolderReader(root).walk(root, "", out);
    } catch (const fs::filesystem_error& e) {
        throw PackError(directory + ": the runtime folder cannot be read: " + e.what());
    }
    return out;
}

}  // namespace nvjvm
