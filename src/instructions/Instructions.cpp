#include "instructions/Instructions.h"

#include <utility>

#include "archive/EntryType.h"
#include "instructions/InstructionsException.h"
#include "foundation/LauncherException.h"
#include "instructions/Evaluation.h"
#include "instructions/LabelResolution.h"
#include "instructions/Substitution.h"
#include "instructions/VariableReference.h"
#include "instructions/VariableStore.h"
#include "foundation/Log.h"
#include "foundation/ProgressUi.h"
#include "text/NumberText.h"
#include "tagfile/TagFile.h"
#include "text/TextScanning.h"

namespace nv {

namespace {

using size_type = LauncherString::size_type;

const LauncherString noPrefix;
const char badMode[] = "The first argument to INSTALL_JVM should be a 0, 1 or 2.";

// The interpreter's messages, shared by run and check.
const char findProgress[] =
    "The first argument to FIND_JVM should be a 1 if the UI should be displayed or a 0 if the UI "
    "should be suppressed.";
const char findFailure[] =
    "The second argument to FIND_JVM should be a 1 if a find failure message should be displayed "
    "in a UI or 0 if no message should be displayed.";
const char verifyProgress[] =
    "The first argument to VERIFY should be a 1 if the UI should be displayed or a 0 if the UI "
    "should be suppressed.";
const char verifyFailure[] =
    "The second argument to VERIFY should be a 1 if a find failure message should be displayed in "
    "a UI or 0 if no message should be displayed.";
const char verifyId[] = "The third argument to VERIFY should be the file index number of the jvm file.";
const char launchFile[] = "Invalid jvm file name specified in LAUNCH.";
const char launchSeconds[] =
    "The second argument to LAUNCH should be the number of seconds to display the UI during the "
    "launch.";
const char ilaunchId[] = "The first argument to ILAUNCH should be the file index number of the jvm file.";
const char ilaunchSeconds[] =
    "The second argument to ILAUNCH should be the number of seconds to display the UI during the "
    "launch.";
const char executePosition[] =
    "The first argument to EXECUTE_LAUNCHER should be the position of the embedded launcher in "
    "the file index.";
const char gotoLabel[] = "The GOTO command requires a label as its only argument.";
const char jumpLabel[] = "JMP0 requires a jump label as its second argument.";
const char setEquals[] = "SET statement is missing =.";
const char setName[] = "Invalid variable specified on left hand side of SET statement.";
const char setExpression[] = "Invalid expression specified for SET command";

// A word without at-signs has the same value in every run.
bool literal(const LauncherString& word) { return word.find('@') == LauncherString::npos; }

bool carries(const std::vector<CarriedEntry>& carried, std::uint8_t type) {
    for (const CarriedEntry& e : carried) {
        if (e.type == type) return true;
    }
    return false;
}

bool carriesJvmFile(const std::vector<CarriedEntry>& carried, std::int32_t id) {
    for (const CarriedEntry& e : carried) {
        if (e.type == typeJvmFile && e.fileId == id) return true;
    }
    return false;
}

// How a command reads one of its arguments.
enum class ArgumentKind : std::uint8_t {
    none,        // no further argument
    flag,        // a word that is 0 or 1
    number,      // a word read as a 32-bit number: a file id or an index position
    mode,        // INSTALL_JVM's 0, 1 or 2; its message stands for a number out of range too
    seconds,     // a word read as a 16-bit number
    path,        // a string, in double quotes where it holds blanks
    text,        // a string as a path is; a missing one is an empty expression
    value,       // JMP0's and EXIT's number; a missing one is an empty expression
    label,       // a jump label
    assignment,  // the rest of the line: variable = expression
};

struct Argument {
    ArgumentKind kind;
    const char* missing;  // its message when missing; also a mode out of range, and a path's errors begin with it
};

// What a command needs the launcher file to carry; only check judges it.
enum class Need : std::uint8_t {
    nothing,
    jvmFile,           // a JVM file (type 1) with the id of the number argument
    carriedJvm,        // a carried JVM (type 4)
    embeddedLauncher,  // an embedded launcher (type 7) at the index position of the number argument
};

}  // namespace

// The arguments a command line gave, by position.
struct Instructions::CommandArguments {
    std::int32_t numbers[3] = {};  // flags (0 or 1), numbers, modes, seconds and values
    LauncherString texts[3];       // the path, the label; SET's variable and value
    bool known[3] = {};            // the number was read: checking skips variable references
};

// One command: its name, its arguments in order, what it needs from the
// launcher file (for what its arguments name, and whatever they say), and
// what it does. Running and checking read a line by this table, so both find
// the same faults.
struct Instructions::Command {
    const char* name;
    Argument arguments[3];
    Need need;
    ArchiveNeed archiveNeed;
    void (Instructions::*action)(const CommandArguments&, CommandWork&);
};

const Instructions::Command Instructions::commands_[] = {
    {"INITIALIZE_UI", {}, Need::nothing, ArchiveNeed::nothing, &Instructions::initializeUi},
    {"FIND_JVM",
     {{ArgumentKind::flag, findProgress}, {ArgumentKind::flag, findFailure}},
     Need::nothing,
     ArchiveNeed::verifyArchive,
     &Instructions::findJvm},
    {"VERIFY",
     {{ArgumentKind::flag, verifyProgress}, {ArgumentKind::flag, verifyFailure}, {ArgumentKind::number, verifyId}},
     Need::jvmFile,
     ArchiveNeed::verifyArchive,
     &Instructions::verify},
    {"INSTALL_JVM", {{ArgumentKind::mode, badMode}}, Need::carriedJvm, ArchiveNeed::nothing, &Instructions::installJvm},
    {"LAUNCH",
     {{ArgumentKind::path, launchFile}, {ArgumentKind::seconds, launchSeconds}},
     Need::nothing,
     ArchiveNeed::nothing,
     &Instructions::launch},
    {"ILAUNCH",
     {{ArgumentKind::number, ilaunchId}, {ArgumentKind::seconds, ilaunchSeconds}},
     Need::jvmFile,
     ArchiveNeed::nothing,
     &Instructions::launchEmbedded},
    {"EXECUTE_LAUNCHER",
     {{ArgumentKind::number, executePosition}},
     Need::embeddedLauncher,
     ArchiveNeed::nothing,
     &Instructions::executeLauncher},
    {"GOTO", {{ArgumentKind::label, gotoLabel}}, Need::nothing, ArchiveNeed::nothing, &Instructions::jump},
    {"JMP0",
     {{ArgumentKind::value, nullptr}, {ArgumentKind::label, jumpLabel}},
     Need::nothing,
     ArchiveNeed::nothing,
     &Instructions::jumpIfZero},
    {"SET", {{ArgumentKind::assignment, setEquals}}, Need::nothing, ArchiveNeed::nothing, &Instructions::set},
    {"MESSAGE", {{ArgumentKind::text, ""}}, Need::nothing, ArchiveNeed::nothing, &Instructions::message},
    {"EXIT", {{ArgumentKind::value, nullptr}}, Need::nothing, ArchiveNeed::nothing, &Instructions::endProgram},
};

Instructions::Instructions(StringList lines, bool singleInstance)
    : lines_(std::move(lines)), singleInstance_(singleInstance) {}

Instructions Instructions::fromTagFile(const TagFile& file) {
    StringList lines;
    const std::int32_t count = file.valueCount("INSTRUCTIONS");
    if (count == 0) throwLauncherException("The instruction file has no INSTRUCTIONS.");
    for (std::int32_t i = 0; i < count; ++i) lines.append(file.value("INSTRUCTIONS", i));
    return Instructions(std::move(lines), file.boolValue("SINGLE_INSTANCE", false));
}

ProgramOutcome Instructions::run(CommandWork& work) {
    const std::int32_t count = lines_.count();
    pc_ = 0;
    outcome_ = ProgramOutcome();
    loopGuard_.reset();
    try {
        while (pc_ < count) {
            execute(lines_.get(pc_), work);
            ++pc_;
        }
    } catch (const InstructionsException& e) {
        throwLauncherException(
            joinText({"Error in instructions. ", e.message(), " Line number (", formatLong(e.line()), ")"}));
    }
    return outcome_;
}

void Instructions::execute(const LauncherString& line, CommandWork& work) {
    size_type pos = 0;
    const Command* command = readCommand(line, pos);
    if (!command) return;
    CommandArguments arguments;
    readArguments(*command, line, pos, Reading::run, arguments);
    (this->*command->action)(arguments, work);
}

ArchiveNeed Instructions::archiveNeed(const LauncherString& line) {
    size_type pos = 0;
    LauncherString name;
    if (!nextToken(line, pos, name)) return ArchiveNeed::nothing;
    for (const Command& command : commands_) {
        if (name == command.name) return command.archiveNeed;
    }
    return ArchiveNeed::nothing;
}

const Instructions::Command* Instructions::readCommand(const LauncherString& line, size_type& pos) const {
    LauncherString name;
    if (!nextToken(line, pos, name)) throwInstructionsException("No command specified.", lineNumber());
    if (name[0] == ':' || name == "//") return nullptr;
    for (const Command& command : commands_) {
        if (name == command.name) return &command;
    }
    throwInstructionsException(joinText({"Invalid command (", name, "). "}), lineNumber());
}

void Instructions::readArguments(const Command& command, const LauncherString& line, size_type pos, Reading reading,
                                 CommandArguments& read) const {
    const bool running = reading == Reading::run;
    const std::int32_t at = lineNumber();
    for (std::size_t i = 0; i < 3; ++i) {
        const ArgumentKind kind = command.arguments[i].kind;
        const char* const missing = command.arguments[i].missing;
        LauncherString word;
        if (kind == ArgumentKind::none) return;
        if (kind == ArgumentKind::path || kind == ArgumentKind::text) {
            size_type next = pos;
            if (kind == ArgumentKind::text && !nextToken(line, next, word))
                substituteVariables(word, variables_, noPrefix, at);
            read.texts[i] = readStringArgument(line, pos, variables_, missing, at);
            continue;
        }
        if (kind == ArgumentKind::assignment) {
            LauncherString rest = pos < line.length() ? line.substr(pos) : LauncherString();
            trimBlanks(rest);
            const size_type equals = rest.find('=');
            if (equals == LauncherString::npos) throwInstructionsException(missing, at);
            LauncherString& name = read.texts[0];
            name = rest.substr(0, equals);
            trimBlanks(name);
            VariableReference::parse(name, setName);
            LauncherString& expression = read.texts[1];
            expression = rest.substr(equals + 1);
            trimBlanks(expression);
            if (running || literal(expression)) evaluateString(expression, variables_, setExpression, at);
            return;
        }
        if (kind == ArgumentKind::value) {
            nextToken(line, pos, word);  // a missing value is an empty expression
        } else {
            word = requiredWord(line, pos, missing);
        }
        if (kind == ArgumentKind::label) {
            read.texts[i] = word;
            // A run looks the label up when it jumps, with the variables of then.
            if (!running && literal(word)) resolveLabel(lines_, word, variables_, at);
            continue;
        }
        // What variables hold is judged by the run alone.
        if (!running && !literal(word)) continue;
        std::int32_t& number = read.numbers[i];
        if (kind == ArgumentKind::flag) {
            number = evaluateBoolean(word, variables_, noPrefix, at) ? 1 : 0;
        } else if (kind == ArgumentKind::seconds) {
            number = evaluateShort(word, variables_, noPrefix, at);
        } else {
            number = evaluateNumber(word, variables_, noPrefix, at);
            if (kind == ArgumentKind::mode && (number < 0 || number > 2)) throwInstructionsException(missing, at);
        }
        read.known[i] = true;
    }
}

LauncherString Instructions::requiredWord(const LauncherString& line, size_type& pos, const char* missing) const {
    LauncherString word;
    if (!nextToken(line, pos, word)) throwInstructionsException(missing, lineNumber());
    return word;
}

void Instructions::initializeUi(const CommandArguments&, CommandWork&) {
    setStatus(Status::initializing);
    setStatusDetail(StatusDetail::none, LauncherString());
    showWindow();
}

void Instructions::findJvm(const CommandArguments& arguments, CommandWork& work) {
    variables_.setString(1, LauncherString());
    variables_.setString(2, LauncherString());
    variables_.setNumber(1, 0);
    const FoundJvm found = work.findJvm(arguments.numbers[0] == 1, arguments.numbers[1] == 1);
    loopGuard_.reset();
    if (found.found) {
        variables_.setString(1, found.javaHome);
        variables_.setString(2, found.jvmFilePath);
        variables_.setNumber(1, 1);
    }
}

void Instructions::verify(const CommandArguments& arguments, CommandWork& work) {
    variables_.setNumber(1, 0);
    const VerifiedJvm verified =
        work.verifyJvm(arguments.numbers[0] == 1, arguments.numbers[1] == 1, arguments.numbers[2]);
    loopGuard_.reset();
    if (verified.valid) {
        variables_.setNumber(1, 1);
        variables_.setString(1, verified.javaHome);
    }
}

void Instructions::installJvm(const CommandArguments& arguments, CommandWork& work) {
    variables_.setNumber(1, 0);
    variables_.setString(1, LauncherString());
    // The mode is 0, 1 or 2: reading it refused any other number.
    const InstalledJvm installed = work.installJvm(static_cast<InstallMode>(arguments.numbers[0]));
    loopGuard_.reset();
    if (installed.installed) {
        variables_.setNumber(1, 1);
        variables_.setString(1, installed.jvmFilePath);
    }
}

void Instructions::launch(const CommandArguments& arguments, CommandWork& work) {
    outcome_.result = work.launch(arguments.texts[0], static_cast<std::int16_t>(arguments.numbers[1]));
    loopGuard_.reset();
}

void Instructions::launchEmbedded(const CommandArguments& arguments, CommandWork& work) {
    outcome_.result = work.launchEmbedded(arguments.numbers[0], static_cast<std::int16_t>(arguments.numbers[1]));
    loopGuard_.reset();
}

void Instructions::executeLauncher(const CommandArguments& arguments, CommandWork& work) {
    work.executeLauncher(arguments.numbers[0]);
    loopGuard_.reset();
}

void Instructions::jump(const CommandArguments& arguments, CommandWork&) { jumpTo(arguments.texts[0]); }

void Instructions::jumpIfZero(const CommandArguments& arguments, CommandWork&) {
    if (arguments.numbers[0] == 0) jumpTo(arguments.texts[1]);
}

void Instructions::jumpTo(const LauncherString& label) {
    const std::int32_t target = resolveLabel(lines_, label, variables_, lineNumber());
    if (loopGuard_.repeats(target, variables_)) {
        throwInstructionsException("Endless loop: this jump comes back to its label with every variable unchanged.",
                                   lineNumber());
    }
    pc_ = target;
}

void Instructions::set(const CommandArguments& arguments, CommandWork&) {
    VariableReference::parse(arguments.texts[0], setName)
        .assign(variables_, arguments.texts[1], "Invalid value specified for SET command");
}

void Instructions::message(const CommandArguments& arguments, CommandWork&) {
    // Logged first: the box waits for the user, and a silent run shows none.
    logEntry(arguments.texts[0]);
    showMessage(arguments.texts[0]);
}

void Instructions::endProgram(const CommandArguments& arguments, CommandWork&) {
    outcome_.result = arguments.numbers[0];
    outcome_.exited = true;
    pc_ = lines_.count();  // past the last line: nothing after EXIT runs
}

}  // namespace nv

namespace nv {

bool Instructions::check(const std::vector<CarriedEntry>& carried, ProgramFault& fault) {
    const std::int32_t count = lines_.count();
    for (std::int32_t i = 0; i < count; ++i) {
        try {
            // The line's errors carry lineNumber(), as in a run.
            pc_ = i;
            checkLine(lines_.get(i), carried);
        } catch (const InstructionsException& e) {
            fault.message = e.message();
            fault.line = e.line();
            return false;
        } catch (const LauncherException& e) {
            fault.message = e.message();
            fault.line = i + 1;
            return false;
        }
    }
    return true;
}

void Instructions::checkLine(const LauncherString& line, const std::vector<CarriedEntry>& carried) {
    size_type pos = 0;
    const Command* command = readCommand(line, pos);
    if (!command) return;
    CommandArguments arguments;
    readArguments(*command, line, pos, Reading::check, arguments);

    const std::int32_t at = lineNumber();
    if (command->need == Need::carriedJvm && !carries(carried, typeCarriedJvm)) {
        throwInstructionsException(
            joinText({command->name, " needs a carried JVM (type 4), and the launcher file carries none."}), at);
    }
    for (std::size_t i = 0; i < 3; ++i) {
        // The number argument names the entry; one that variables give is not known here.
        if (command->arguments[i].kind != ArgumentKind::number || !arguments.known[i]) continue;
        const std::int32_t entry = arguments.numbers[i];
        if (command->need == Need::jvmFile && !carriesJvmFile(carried, entry)) {
            throwInstructionsException(joinText({command->name, " names JVM file id ", formatLong(entry),
                                                 ", and the launcher file carries no JVM file (type 1) with that id."}),
                                       at);
        }
        if (command->need == Need::embeddedLauncher &&
            (entry < 0 || entry >= static_cast<std::int32_t>(carried.size()) ||
             carried[static_cast<std::size_t>(entry)].type != typeEmbeddedLauncher)) {
            throwInstructionsException(joinText({command->name, " names index position ", formatLong(entry),
                                                 ", which holds no embedded launcher (type 7)."}),
                                       at);
        }
    }
}

}  // namespace nv
