#include "NvpackProgram.h"

#include "CommandLine.h"
#include "Packer.h"
#include "resources/Version.h"

namespace nvpack {

int runNvpack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        out << usageText;
        return 0;
    }
    if (!args.empty() && args[0] == "--version") {
        // Built from the same tree as the stub: both carry the one version.
        out << "nvpack " NV_VERSION_TEXT "\nbuilt with the launcher stub " NV_VERSION_TEXT "\n";
        return 0;
    }
    try {
        const PackResult result = pack(parseCommandLine(args));
        for (const std::string& warning : result.warnings) err << "nvpack: warning: " << warning << "\n";
        out << result.report;
        return 0;
    } catch (const PackError& e) {
        err << "nvpack: error: " << e.what() << "\n";
        if (args.empty()) err << usageText;
        return dynamic_cast<const UsageError*>(&e) ? 2 : 1;
    }
}

}  // namespace nvpack
