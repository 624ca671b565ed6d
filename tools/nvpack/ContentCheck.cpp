#include "ContentCheck.h"

#include <memory>
#include <vector>

#include "archive/FileIndexEntry.h"
#include "foundation/CFile.h"
#include "foundation/LauncherException.h"
#include "instructions/Instructions.h"
#include "launch/FunctionCall.h"
#include "launch/LaunchScriptError.h"
#include "tagfile/TagFile.h"
#include "tagfile/TextScanning.h"

namespace nvpack {

namespace {

std::string where(const PackEntry& e) { return "entry \"" + e.name + "\" (" + e.source + ")"; }

// Parsed as the launcher parses an embedded tag file: the entry's name is
// its source name in the reader's messages.
std::unique_ptr<nv::TagFile> readTags(const PackEntry& e) {
    nv::CFile file = nv::openFile(e.source.c_str(), "rb");
    if (!file) throw PackError("cannot open " + e.source);
    auto tags = std::make_unique<nv::TagFile>();
    try {
        tags->readFrom(file.get(), nv::LauncherString(e.name), 0, -1);
    } catch (const nv::LauncherException& error) {
        throw PackError(where(e) + ": " + error.message().str());
    }
    return tags;
}

void checkProgram(const PackEntry& e, const nv::TagFile& tags, const std::vector<nv::CarriedEntry>& carried) {
    if (tags.valueCount("INSTRUCTIONS") == 0) {
        throw PackError(where(e) + ": an instruction file needs INSTRUCTIONS, the program to run");
    }
    nv::Instructions program = nv::Instructions::fromTagFile(tags);
    nv::ProgramFault fault;
    if (!program.check(carried, fault)) {
        throw PackError(where(e) + ": INSTRUCTIONS line " + std::to_string(fault.line) + " (\"" +
                        program.lines().get(fault.line - 1).str() + "\"): " + fault.message.str());
    }
}

void checkTemplate(const PackEntry& e, const nv::TagFile& tags, const char* tag) {
    try {
        nv::checkFunctionReferences(tags.value(tag));
    } catch (const nv::LaunchScriptError& error) {
        throw PackError(where(e) + ": " + tag + ": Launch script error: " + error.message().str());
    }
}

}  // namespace

void checkContents(const PackRequest& request) {
    std::vector<nv::CarriedEntry> carried;
    for (const PackEntry& e : request.entries) {
        nv::CarriedEntry c;
        c.type = static_cast<std::uint8_t>(e.type);
        c.fileId = static_cast<std::int32_t>(e.fileId);
        carried.push_back(c);
    }
    for (const PackEntry& e : request.entries) {
        if (e.type == nv::typeInstructions) {
            checkProgram(e, *readTags(e), carried);
        } else if (e.type == nv::typeJvmFile) {
            if (readTags(e)->value("JVM_EXE").empty()) {
                throw PackError(where(e) + ": a JVM file needs JVM_EXE, the Java program to run");
            }
        } else if (e.type == nv::typeLaunchScript) {
            const auto tags = readTags(e);
            if (tags->value("COMMAND").findFirstNotOf(nv::blankSet) == nv::LauncherString::npos) {
                throw PackError(where(e) + ": a launch script needs COMMAND, the command that starts the program");
            }
            checkTemplate(e, *tags, "COMMAND");
            checkTemplate(e, *tags, "ARCHIVE");
            if (tags->value("ARCHIVE").find("%CP%") != nv::LauncherString::npos) {
                throw PackError(where(e) + ": ARCHIVE: Launch script error: " + nv::classPathInsideClassPath);
            }
        }
    }
}

}  // namespace nvpack
