#include "CommandLine.h"

#include "ClosestOption.h"
#include "Manifest.h"

namespace nvpack {

const char usageText[] =
    "usage: nvpack --stub FILE --out FILE [OPTION]... [--entry TYPE ID NAME SOURCE]... [--manifest FILE]...\n"
    "Appends the payload to the launcher stub. Every option, manifest key and\n"
    "file the launcher reads: the author's guide, docs/guide.md.\n"
    "\n"
    "  --stub FILE                  the launcher stub: launcher.exe of a Windows build\n"
    "  --out FILE                   the launcher file to write\n"
    "  --mode N                     the mode byte 0-255: 0 large window, 2 small (default 1)\n"
    "  --entry TYPE ID NAME SOURCE  one entry: its type (below), id, file name and source\n"
    "  --manifest FILE              a tag file with STUB, OUTPUT, MODE, REPLACE, ENTRY and the\n"
    "                               branding tags; its relative paths start at its folder\n"
    "  --replace                    replace the payload the stub already carries\n"
    "  --no-check                   pack content the launcher would fail on (command line only)\n"
    "  --dry-run                    check and report everything, write nothing (command line only)\n"
    "  --icon FILE                  an .ico file for the launcher's icon (ICON)\n"
    "  --product-name TEXT          your product's name: ProductName, and where the launcher\n"
    "                               names its own (window text, manifest) (PRODUCT_NAME)\n"
    "  --product-version A.B.C.D    ProductVersion, FileVersion, fixed versions (PRODUCT_VERSION)\n"
    "  --company TEXT               CompanyName (COMPANY)\n"
    "  --description TEXT           FileDescription (DESCRIPTION)\n"
    "  --copyright TEXT             LegalCopyright (COPYRIGHT)\n"
    "  --execution-level LEVEL      asInvoker, highestAvailable or requireAdministrator (EXECUTION_LEVEL)\n"
    "  --internal-name TEXT         InternalName (INTERNAL_NAME; default: the output's name\n"
    "                               without extension)\n"
    "  --original-filename TEXT     OriginalFilename (ORIGINAL_FILENAME; default: the output's\n"
    "                               file name)\n"
    "  --compressed-entry           not supported: entries are stored as they are\n"
    "  -h, --help                   this text\n"
    "  --version                    nvpack's version and the stub version it was built with\n"
    "\n"
    "TYPE: 0 instructions, 1 JVM file, 2 launch script, 3 class path archive,\n"
    "      4 carried JVM, 5 verification archive, 6 application archive,\n"
    "      7 embedded launcher.\n"
    "Each setting comes from one place: one given twice (on the command line or\n"
    "in a manifest) is an error. Entries are packed in the order given. Before\n"
    "writing, nvpack reads the program, JVM files and launch script with the\n"
    "launcher's own readers and refuses what would fail at run time; on success\n"
    "it prints each entry, the branding and the totals.\n"
    "Exit code: 0 done, 1 refused input (nothing written), 2 wrong usage (an\n"
    "unknown option, a missing value, no --stub or --out); messages go to\n"
    "standard error.\n";

namespace {

// The options the usage text lists, one or two at the start of each of its
// option lines ("  -h, --help"): what a mistyped option may have meant.
std::vector<std::string> knownOptions() {
    std::vector<std::string> options;
    const std::string text = usageText;
    std::string::size_type line = 0;
    while (line < text.size()) {
        std::string::size_type at = line;
        while (at < text.size() && text[at] == ' ') ++at;
        while (at > line && at < text.size() && text[at] == '-') {
            const std::string::size_type end = text.find_first_of(", \n", at);
            options.push_back(text.substr(at, end - at));
            at = end;
            if (text.compare(at, 2, ", ") == 0) at += 2;
        }
        const std::string::size_type next = text.find('\n', line);
        line = next == std::string::npos ? text.size() : next + 1;
    }
    return options;
}

std::string unknownArgument(const std::string& arg) {
    std::string message = "unknown argument \"" + arg + "\"";
    if (arg.compare(0, 1, "-") != 0) return message;
    const std::string meant = closestOption(arg, knownOptions());
    return meant.empty() ? message : message + "; did you mean " + meant + "?";
}

}  // namespace

PackRequest parseCommandLine(const std::vector<std::string>& args) {
    PackRequest request;
    const std::size_t count = args.size();
    auto need = [&](std::size_t i, std::size_t values) {
        if (i + values >= count) {
            throw UsageError(args[i] + " needs " + std::to_string(values) + (values == 1 ? " value" : " values"));
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
            throw UsageError(
                "--compressed-entry is not supported: nvpack stores entries as they are and the "
                "launcher expands nothing; use --entry TYPE ID NAME SOURCE");
        } else {
            throw UsageError(unknownArgument(arg));
        }
    }
    if (request.stub.empty()) throw UsageError("--stub (or STUB in a manifest) is required");
    if (request.output.empty()) throw UsageError("--out (or OUTPUT in a manifest) is required");
    return request;
}

}  // namespace nvpack
