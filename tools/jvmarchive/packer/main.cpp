// nvjvm: turns a Java runtime folder into a carried JVM archive.
#include <cstdio>
#include <string>
#include <vector>

#include "JvmArchiveWriter.h"
#include "JvmFileText.h"
#include "RuntimeFolder.h"
#include "tools/common/PackError.h"

namespace {

const char usageText[] =
    "usage: nvjvm --runtime DIR --unpacker FILE --out FILE [--desc TEXT]\n"
    "Makes a carried JVM (entry type 4 of a launcher file) from a Windows Java\n"
    "runtime. The author's guide: docs/guide.md.\n"
    "\n"
    "  --runtime DIR    the runtime folder: bin/java.exe and a release file with JAVA_VERSION=\"...\"\n"
    "  --unpacker FILE  JvmUnpacker.exe of the Windows build whose stub ships\n"
    "  --out FILE       the carried JVM to write\n"
    "  --desc TEXT      DESC of the JVM file it installs (default \"Java runtime VERSION\")\n"
    "  -h, --help       this text\n"
    "\n"
    "The output, run without arguments in a directory, lays the runtime out\n"
    "there with a JVM file named jvm at the top.\n";

struct Options {
    std::string runtime, unpacker, output, description;
};

Options parse(const std::vector<std::string>& args) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string* target = nullptr;
        if (args[i] == "--runtime") target = &options.runtime;
        if (args[i] == "--unpacker") target = &options.unpacker;
        if (args[i] == "--out") target = &options.output;
        if (args[i] == "--desc") target = &options.description;
        if (!target) throw nvtools::PackError("unknown argument \"" + args[i] + "\"");
        if (i + 1 == args.size()) throw nvtools::PackError(args[i] + " needs a value");
        if (!target->empty()) throw nvtools::PackError(args[i] + " is given twice");
        *target = args[++i];
        if (target->empty()) throw nvtools::PackError(args[i - 1] + " needs a value that is not empty");
    }
    if (options.runtime.empty() || options.unpacker.empty() || options.output.empty()) {
        throw nvtools::PackError("--runtime, --unpacker and --out are required");
    }
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(usageText, stdout);
        return 0;
    }
    try {
        const Options options = parse(args);
        const nvjvm::RuntimeFolder runtime = nvjvm::readRuntimeFolder(options.runtime);
        const std::string description =
            options.description.empty() ? nvjvm::defaultDescription(runtime.javaVersion) : options.description;
        const std::string jvmText = nvjvm::jvmFileText(description, runtime.javaExe, runtime.javaVersion);
        const nvjvm::ArchiveFigures figures =
            nvjvm::writeJvmArchive(runtime, jvmText, options.unpacker, options.output);
        std::printf(
            "%s: java.version=%s, %s; %zu files in %zu directories, %llu bytes; archive %llu bytes "
            "(unpacker %llu)\n",
            options.output.c_str(), runtime.javaVersion.c_str(), runtime.javaExe.c_str(), figures.files,
            figures.directories, static_cast<unsigned long long>(figures.folderBytes),
            static_cast<unsigned long long>(figures.archiveBytes),
            static_cast<unsigned long long>(figures.unpackerBytes));
        return 0;
    } catch (const nvtools::PackError& e) {
        std::fprintf(stderr, "nvjvm: error: %s\n", e.what());
        if (args.empty()) std::fputs(usageText, stderr);
        return 1;
    }
}
