// nvpack: appends embedded files to a launcher stub.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Manifest.h"
#include "Packer.h"

namespace {

const char* const usage =
    "usage: nvpack --stub FILE --out FILE [--mode N] [--replace]\n"
    "              [--entry TYPE ID NAME SOURCE]...\n"
    "              [--compressed-entry TYPE ID NAME SOURCE FILECOUNT SIZE]...\n"
    "              [--manifest FILE]   (a tag file: STUB, OUTPUT, MODE, REPLACE, ENTRY)\n"
    "  TYPE 0 instructions, 1 JVM file, 2 launch script, 3 class path archive,\n"
    "       4 carried JVM, 5 verification archive, 6 application archive,\n"
    "       7 embedded launcher. The mode byte defaults to 1 (small dialog).\n";

nvpack::PackRequest parseArguments(int argc, char** argv) {
    nvpack::PackRequest request;
    auto need = [&](int i, int count, const char* option) {
        if (i + count >= argc) throw nvpack::PackError(std::string(option) + " needs " + std::to_string(count) + " value(s)");
    };
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--stub") {
            need(i, 1, "--stub");
            request.stub = argv[++i];
        } else if (arg == "--out") {
            need(i, 1, "--out");
            request.output = argv[++i];
        } else if (arg == "--mode") {
            need(i, 1, "--mode");
            request.modeByte = static_cast<int>(nvpack::parseNumber(argv[++i], "the mode byte"));
        } else if (arg == "--manifest") {
            need(i, 1, "--manifest");
            nvpack::readManifest(argv[++i], request);
        } else if (arg == "--replace") {
            request.replacePayload = true;
        } else if (arg == "--entry" || arg == "--compressed-entry") {
            bool compressed = arg == "--compressed-entry";
            need(i, compressed ? 6 : 4, arg.c_str());
            nvpack::PackEntry e;
            e.type = static_cast<int>(nvpack::parseNumber(argv[i + 1], "the type"));
            e.fileId = nvpack::parseNumber(argv[i + 2], "the file id");
            e.name = argv[i + 3];
            e.source = argv[i + 4];
            e.compressed = compressed;
            if (compressed) {
                e.decompressedFileCount = nvpack::parseNumber(argv[i + 5], "the expanded file count");
                e.decompressedSize = nvpack::parseNumber(argv[i + 6], "the expanded size");
            }
            i += compressed ? 6 : 4;
            request.entries.push_back(e);
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(usage, stdout);
            std::exit(0);
        } else {
            throw nvpack::PackError("unknown argument \"" + arg + "\"");
        }
    }
    if (request.stub.empty()) throw nvpack::PackError("--stub is required");
    if (request.output.empty()) throw nvpack::PackError("--out is required");
    return request;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        nvpack::pack(parseArguments(argc, argv));
        return 0;
    } catch (const nvpack::PackError& e) {
        std::fprintf(stderr, "nvpack: error: %s\n", e.what());
        if (argc <= 1) std::fputs(usage, stderr);
        return 1;
    }
}
