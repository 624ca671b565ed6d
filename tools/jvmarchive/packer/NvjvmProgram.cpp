#include "NvjvmProgram.h"

#include "JvmArchiveWriter.h"
#include "JvmFileText.h"
#include "RuntimeFolder.h"
#include "resources/Version.h"
#include "tools/common/PackError.h"

namespace nvjvm {

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
    "  --version        nvjvm's version and the stub version it was built with\n"
    "\n"
    "The output, run without arguments in a directory, lays the runtime out\n"
    "there with a JVM file named jvm at the top.\n"
    "Exit code: 0 done, 1 refused input (nothing written), 2 wrong usage (an\n"
    "unknown option, a missing value, a required option not given); messages\n"
    "go to standard error.\n";

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
        if (!target) throw nvtools::UsageError("unknown argument \"" + args[i] + "\"");
        if (i + 1 == args.size()) throw nvtools::UsageError(args[i] + " needs a value");
        if (!target->empty()) throw nvtools::PackError(args[i] + " is given twice");
        *target = args[++i];
        if (target->empty()) throw nvtools::PackError(args[i - 1] + " needs a value that is not empty");
    }
    if (options.runtime.empty() || options.unpacker.empty() || options.output.empty()) {
        throw nvtools::UsageError("--runtime, --unpacker and --out are required");
    }
    return options;
}

}  // namespace

int runNvjvm(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        out << usageText;
        return 0;
    }
    if (!args.empty() && args[0] == "--version") {
        // Built from the same tree as the stub and its unpacker: both carry the one version.
        out << "nvjvm " NV_VERSION_TEXT "\nbuilt with the launcher stub " NV_VERSION_TEXT "\n";
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
        out << options.output << ": java.version=" << runtime.javaVersion << ", " << runtime.javaExe << "; "
            << figures.files << " files in " << figures.directories << " directories, " << figures.folderBytes
            << " bytes; archive " << figures.archiveBytes << " bytes (unpacker " << figures.unpackerBytes << ")\n";
        return 0;
    } catch (const nvtools::PackError& e) {
        err << "nvjvm: error: " << e.what() << "\n";
        if (args.empty()) err << usageText;
        return dynamic_cast<const nvtools::UsageError*>(&e) ? 2 : 1;
    }
}

}  // namespace nvjvm
