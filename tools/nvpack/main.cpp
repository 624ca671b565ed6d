// nvpack: appends embedded files to a launcher stub.
#include <cstdio>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "Packer.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(nvpack::usageText, stdout);
        return 0;
    }
    try {
        const nvpack::PackResult result = nvpack::pack(nvpack::parseCommandLine(args));
        for (const std::string& warning : result.warnings)
            std::fprintf(stderr, "nvpack: warning: %s\n", warning.c_str());
        std::fputs(result.report.c_str(), stdout);
        return 0;
    } catch (const nvpack::PackError& e) {
        std::fprintf(stderr, "nvpack: error: %s\n", e.what());
        if (args.empty()) std::fputs(nvpack::usageText, stderr);
        return 1;
    }
}
