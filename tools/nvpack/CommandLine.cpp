#include "CommandLine.h"

#include "Manifest.h"

namespace nvpack {

const char usageText[] =
    "usage: nvpack --stub FILE --out FILE [--mode N] [--replace] [--no-check] [--dry-run]\n"
    "              [--entry TYPE ID NAME SOURCE]... [--manifest FILE]...\n"
    "              [--icon FILE] [--product-name TEXT] [--product-version A.B.C.D]\n"
    "              [--company TEXT] [--description TEXT] [--copyright TEXT]\n"
    "              [--execution-level asInvoker|highestAvailable|requireAdministrator]\n"
    "  TYPE 0 instructions, 1 JVM file, 2 launch script, 3 class path archive,\n"
    "       4 carried JVM, 5 verification archive, 6 application archive,\n"
    "       7 embedded launcher. The mode byte defaults to 1 (small dialog).\n"
    "  A manifest is a tag file with STUB, OUTPUT, MODE, REPLACE (0 or 1) and\n"
    "  ENTRY (one \"TYPE ID NAME SOURCE\" per value); its relative paths start at\n"
    "  its own directory. Each setting comes from one place: one given both on\n"
    "  the command line and in a manifest, or twice, is an error. Entries from\n"
    "  both are packed in the order given.\n"
    "  Before writing, nvpack reads the instruction program, the JVM files and\n"
    "  the launch script with the launcher's own readers and refuses what would\n"
    "  fail at run time; --no-check (command line only) packs them unread.\n"
    "  The branding options rewrite the stub's icon 102 (from an .ico file), its\n"
    "  version information and the execution level its manifest requests; the\n"
    "  manifest tags are ICON, PRODUCT_NAME, PRODUCT_VERSION, COMPANY, DESCRIPTION,\n"
    "  COPYRIGHT and EXECUTION_LEVEL. Without them the stub is copied unchanged.\n"
    "  The stub must be the launcher, and the output none of the files read.\n"
    "  On success nvpack prints each entry, the branding and the totals on\n"
    "  standard output. --dry-run (command line only) checks everything and\n"
    "  prints the same, but writes nothing.\n";

PackRequest parseCommandLine(const std::vector<std::string>& args) {
    PackRequest request;
    const std::size_t count = args.size();
    auto need = [&](std::size_t i, std::size_t values) {
        if (i + values >= count) {
            throw PackError(args[i] + " needs " + std::to_string(values) + (values == 1 ? " value" : " values"));
        }
    };
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& arg = args[i];
        if (arg == "--stub") {
            need(i, 1);
            claimSetting(request, "the stub", "--stub");
            request.stub = args[++i];
            request.givenAs["the stub"] = "--stub " + request.stub;
        } else if (arg == "--out") {
            need(i, 1);
            claimSetting(request, "the output file", "--out");
            request.output = args[++i];
            request.givenAs["the output file"] = "--out " + request.output;
        } else if (arg == "--mode") {
            need(i, 1);
            claimSetting(request, "the mode byte", "--mode");
            request.modeByte = parseNumber(args[++i], "the mode byte");
        } else if (arg == "--replace") {
            claimSetting(request, "replacing a payload", "--replace");
            request.replacePayload = true;
        } else if (arg == "--no-check") {
            claimSetting(request, "skipping the content check", "--no-check");
            request.checkContents = false;
        } else if (arg == "--dry-run") {
            claimSetting(request, "the dry run", "--dry-run");
            request.dryRun = true;
        } else if (arg == "--manifest") {
            need(i, 1);
            readManifest(args[++i], request);
        } else if (arg == "--entry") {
            need(i, 4);
            PackEntry e;
            e.type = parseNumber(args[i + 1], "the type");
            e.fileId = parseNumber(args[i + 2], "the file id");
            e.name = args[i + 3];
            e.source = args[i + 4];
            i += 4;
            request.entries.push_back(e);
        } else if (const BrandingSetting* setting = findBrandingSetting(arg, &BrandingSetting::option)) {
            need(i, 1);
            claimSetting(request, setting->setting, arg);
            ++i;
            setBranding(request.branding, *setting, args[i], arg, arg + " " + args[i]);
        } else if (arg == "--compressed-entry") {
            throw PackError("--compressed-entry is not supported: nvpack stores entries as they are and the "
                            "launcher expands nothing; use --entry TYPE ID NAME SOURCE");
        } else {
            throw PackError("unknown argument \"" + arg + "\"");
        }
    }
    if (request.stub.empty()) throw PackError("--stub (or STUB in a manifest) is required");
    if (request.output.empty()) throw PackError("--out (or OUTPUT in a manifest) is required");
    return request;
}

}  // namespace nvpack
