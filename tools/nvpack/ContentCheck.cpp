#include "ContentCheck.h"

#include "JvmFileCheck.h"
#include <memory>
#include <set>
#include <vector>

#include "archive/EntryType.h"
#include "foundation/CFile.h"
#include "foundation/LauncherException.h"
#include "instructions/Instructions.h"
#include "jvm/JavaVersion.h"
#include "launch/DelimitedExpander.h"
#include "launch/FunctionCall.h"
#include "launch/JvmVariables.h"
#include "launch/LaunchScript.h"
#include "launch/LaunchScriptError.h"
#include "launch/ReferenceScanner.h"
#include "text/NumberText.h"
#include "tagfile/TagFile.h"
#include "text/TextScanning.h"

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
        tags->readFrom(file.get(), nv::LauncherString(e.name));
    } catch (const nv::LauncherException& error) {
        throw PackError(where(e) + ": " + error.message().str());
    }
    return tags;
}

void checkProgram(const PackEntry& e, const nv::TagFile& tags, const std::vector<nv::CarriedEntry>& carried) {
    if (tags.valueCount("INSTRUCTIONS") == 0) {
        throw PackError(where(e) + ": an instruction file needs INSTRUCTIONS, the program to run");
    }
    // The launcher reads anything but a number as 0: no single instance, which the author did not mean.
    const nv::LauncherString single = tags.value("SINGLE_INSTANCE");
    std::int16_t flag = 0;
    if (tags.valueCount("SINGLE_INSTANCE") > 0 && (!nv::readShort(single, flag) || (flag != 0 && flag != 1))) {
        throw PackError(where(e) + ": SINGLE_INSTANCE must be 0 or 1, not \"" + single.str() + "\"");
    }
    nv::Instructions program = nv::Instructions::fromTagFile(tags);
    nv::ProgramFault fault;
    if (!program.check(carried, fault)) {
        throw PackError(where(e) + ": INSTRUCTIONS line " + std::to_string(fault.line) + " (\"" +
                        program.lines().get(fault.line - 1).str() + "\"): " + fault.message.str());
    }
}

// What the packed entries give a launch: the JVM-file tags a launch script
// may read, and the archives its functions and the verification extract.
struct Carried {
    std::vector<nv::CarriedEntry> entries;
    std::set<std::string> tags;  // of every packed JVM file and the carried JVM's own
    bool jvmFiles = false;       // a JVM file or a carried JVM is packed
    bool has(int type) const {
        for (const nv::CarriedEntry& c : entries) {
            if (c.type == type) return true;
        }
        return false;
    }
};

// The tags of the JVM file that nvjvm puts into every carried JVM.
const char* const carriedJvmTags[] = {"DESC",   "JVM_EXE",          "JVM_PROPERTIES",     "CLASSPATH",
                                      "SYSTEM", "SYSTEM_SEPARATOR", "CLASSPATH_SEPARATOR"};

// Stands for a path function's result in the walked text.
constexpr char pathMark = '\x01';

// Stand for a JVM file's SYSTEM and SYSTEM_SEPARATOR, as nvjvm writes them.
constexpr char systemStandIn[] = "-D";
constexpr char separatorStandIn[] = "=";

// The entry types by number, as the refusals name them.
const char* const entryTypeNames[] = {"instruction program", "JVM file",         "launch script",
                                      "class path archive",  "carried JVM",      "verification archive",
                                      "application archive", "embedded launcher"};

// The function pass as far as the packer can tell without running it: each
// function gives the text it would carry on (a path function a mark), as its
// row of the function table describes its result, and what would fail at run
// time is refused.
class TemplateWalk : public nv::DelimitedExpander {
public:
    explicit TemplateWalk(const Carried& carried) : carried_(carried) {}

    std::vector<std::string> pathCalls;  // in the order met

    void expandReference(nv::LauncherString& text, char, nv::LauncherString::size_type open,
                         nv::LauncherString::size_type close) override {
        // Read as the run reads it, whether it stands in the template or in
        // a function's result: a call inside a quoted argument is refused
        // for what its run would be refused for.
        nv::FunctionCall call;
        const nv::LaunchFunction& function = nv::LaunchScript::readCall(text, open, close, call);
        requireEntry(function, call.arguments);
        if (function.result == nv::FunctionResult::path) pathCalls.push_back("%" + std::string(function.name) + "%()");
        text.replace(open, call.end - open, carriedOn(function, call.arguments));
    }

private:
    // A call without arguments of a function that extracts an entry needs
    // that entry in the launcher file.
    void requireEntry(const nv::LaunchFunction& function, const nv::StringList& arguments) const {
        if (function.needs == nv::noEntry || arguments.count() != 0 || carried_.has(function.needs)) return;
        const std::string type = entryTypeNames[function.needs];
        const std::string message = "%" + std::string(function.name) + "%() extracts the " + type +
                                    ", but the launcher carries none (type " + std::to_string(function.needs) + ")";
        nv::throwLaunchScriptError(nv::LauncherString(message));
    }

    static nv::LauncherString carriedOn(const nv::LaunchFunction& function, const nv::StringList& arguments) {
        nv::LauncherString result;
        switch (function.result) {
        case nv::FunctionResult::found:
            break;
        case nv::FunctionResult::path:
            result = nv::LauncherString(1, pathMark);
            break;
        case nv::FunctionResult::property:
            result = nv::joinText({systemStandIn, arguments.get(0), separatorStandIn, arguments.get(1)});
            break;
        case nv::FunctionResult::lastArgument:
            result = arguments.last();
            break;
        case nv::FunctionResult::arguments:
            for (std::int32_t i = 0; i < arguments.count(); ++i) {
                if (i > 0) result += " ";
                result += arguments.get(i);
            }
            break;
        case nv::FunctionResult::classPath:
            for (std::int32_t i = 0; i < arguments.count(); ++i) {
                nv::refuseClassPathReference(arguments.get(i));
                result += arguments.get(i) + " ";
            }
            break;
        }
        return result;
    }

    const Carried& carried_;
};

// Replaces each @NAME@ by a plain word and keeps the names.
class TagNames : public nv::DelimitedExpander {
public:
    std::vector<std::string> names;
    void expandReference(nv::LauncherString& text, char, nv::LauncherString::size_type open,
                         nv::LauncherString::size_type close) override {
        names.push_back(text.substr(open + 1, close - open - 1).str());
        text.replace(open, close - open + 1, "x");
    }
};

// Checks a launch template (COMMAND or ARCHIVE) as its launch would read it;
// adds the warnings for what may still be meant.
void checkTemplate(const PackEntry& e, const nv::TagFile& tags, const char* tag, const Carried& carried,
                   std::vector<std::string>& warnings) {
    const std::string place = where(e) + ": " + tag;
    TemplateWalk walk(carried);
    TagNames names;
    nv::LauncherString walked;
    try {
        nv::LaunchScript::checkFunctions(tags.value(tag));
        walked = nv::expandReferences(tags.value(tag), '%', walk);
        nv::expandReferences(walked, '@', names);
    } catch (const nv::LaunchScriptError& error) {
        throw PackError(place + ": Launch script error: " + error.message().str());
    }
    // A path outside double quotes breaks the command for every user whose
    // path holds a blank.
    bool quoted = false;
    std::size_t path = 0;
    for (nv::LauncherString::size_type i = 0; i < walked.length(); ++i) {
        if (walked[i] == '"') quoted = !quoted;
        if (walked[i] != pathMark) continue;
        if (!quoted) {
            const std::string& call = walk.pathCalls[path];
            warnings.push_back(place + ": " + call + " stands outside double quotes, so a path with a blank in it " +
                               "would break the command; write it as \"" + call + "\" in the command");
        }
        ++path;
    }
    if (!carried.jvmFiles) return;  // the JVM file comes from elsewhere: nothing to compare with
    std::set<std::string> warned;
    for (const std::string& name : names.names) {
        if (carried.tags.count(name) || !warned.insert(name).second) continue;
        if (name.find_first_of(" \t@") != std::string::npos) {
            // "a@@b c@d": the pair is literal only where no later at-sign follows.
            warnings.push_back(place + ": \"@" + name + "@\" is read as a reference and would be empty; an at-sign " +
                               "that is no reference is written @@ only where no further at-sign follows it");
            continue;
        }
        warnings.push_back(place + ": @" + name + "@ is defined by no JVM file the launcher carries and would be " +
                           "empty; define " + name +
                           " in the JVM file, or write @@ for an at-sign that is no reference");
    }
}

// The verification archive (type 5) proves a JVM before it is used; without
// it every verification fails.
void requireVerifyArchive(const Carried& carried, const std::string& place) {
    if (carried.has(nv::typeVerifyArchive)) return;
    throw PackError(place + " verifies a JVM, but the launcher carries no verification archive (type 5)");
}

// MIN_JAVA_VERSION and MAX_JAVA_VERSION must be versions the launcher can
// compare, and a range some Java can meet: a bad one would refuse every JVM.
// Returns the name of the first one set, null when neither is.
const char* checkVersionRange(const PackEntry& e, const nv::TagFile& tags) {
    const char* const names[] = {"MIN_JAVA_VERSION", "MAX_JAVA_VERSION"};
    nv::JavaVersion bounds[2];
    for (int i = 0; i < 2; ++i) {
        if (tags.valueCount(names[i]) == 0) continue;
        const nv::LauncherString text = tags.value(names[i]);
        if (!bounds[i].read(text, /*suffixAllowed=*/false)) {
            throw PackError(where(e) + ": " + names[i] + " \"" + text.str() +
                            "\" is not a Java version; write numbers and dots, such as 17, 21.0.2 or 1.8.0_40");
        }
    }
    const bool minimum = tags.valueCount(names[0]) > 0;
    const bool maximum = tags.valueCount(names[1]) > 0;
    if (minimum && maximum && !bounds[1].admitsAsMaximum(bounds[0])) {
        throw PackError(where(e) + ": MIN_JAVA_VERSION " + tags.value(names[0]).str() + " is above MAX_JAVA_VERSION " +
                        tags.value(names[1]).str() + ", so no Java can meet both");
    }
    return minimum ? names[0] : maximum ? names[1] : nullptr;
}

void checkProgramNeeds(const PackEntry& e, const nv::TagFile& tags, const Carried& carried) {
    const nv::Instructions program = nv::Instructions::fromTagFile(tags);
    const nv::StringList& lines = program.lines();
    for (std::int32_t i = 0; i < lines.count(); ++i) {
        if (nv::Instructions::archiveNeed(lines.get(i)) != nv::ArchiveNeed::verifyArchive) continue;
        nv::LauncherString::size_type pos = 0;
        nv::LauncherString command;
        nv::nextToken(lines.get(i), pos, command);
        requireVerifyArchive(carried,
                             where(e) + ": INSTRUCTIONS line " + std::to_string(i + 1) + " (" + command.str() + ")");
    }
}

}  // namespace

std::vector<std::string> checkContents(const PackRequest& request) {
    Carried carried;
    for (const PackEntry& e : request.entries) {
        nv::CarriedEntry c;
        c.type = static_cast<std::uint8_t>(e.type);
        c.fileId = static_cast<std::int32_t>(e.fileId);
        carried.entries.push_back(c);
    }
    carried.tags.insert(std::begin(nv::launcherSetTags), std::end(nv::launcherSetTags));
    if (carried.has(nv::typeCarriedJvm)) {
        carried.jvmFiles = true;
        carried.tags.insert(std::begin(carriedJvmTags), std::end(carriedJvmTags));
    }
    std::vector<std::string> warnings;
    for (const PackEntry& e : request.entries) {
        if (e.type != nv::typeJvmFile) continue;
        const auto tags = readTags(e);
        if (tags->value("JVM_EXE").empty()) {
            throw PackError(where(e) + ": a JVM file needs JVM_EXE, the Java program to run");
        }
        if (tags->valueCount("JVM_PROPERTIES") > 0) requireVerifyArchive(carried, where(e) + ": JVM_PROPERTIES");
        if (const char* bound = checkVersionRange(e, *tags)) requireVerifyArchive(carried, where(e) + ": " + bound);
        checkJvmSearchKeys(where(e), *tags, warnings);
        carried.jvmFiles = true;
        for (std::int32_t i = 0; i < tags->tagCount(); ++i) carried.tags.insert(tags->tagName(i).str());
    }
    for (const PackEntry& e : request.entries) {
        if (e.type == nv::typeInstructions) {
            const auto tags = readTags(e);
            checkProgram(e, *tags, carried.entries);
            checkProgramNeeds(e, *tags, carried);
        } else if (e.type == nv::typeLaunchScript) {
            const auto tags = readTags(e);
            if (tags->value("COMMAND").findFirstNotOf(nv::blankSet) == nv::LauncherString::npos) {
                throw PackError(where(e) + ": a launch script needs COMMAND, the command that starts the program");
            }
            try {
                nv::refuseClassPathReference(tags->value("ARCHIVE"));
            } catch (const nv::LaunchScriptError& error) {
                throw PackError(where(e) + ": ARCHIVE: Launch script error: " + error.message().str());
            }
            checkTemplate(e, *tags, "COMMAND", carried, warnings);
            checkTemplate(e, *tags, "ARCHIVE", carried, warnings);
        }
    }
    return warnings;
}

}  // namespace nvpack
