#include "instructions/Instructions.h"

#include <utility>

#include "instructions/InstructionsException.h"
#include "foundation/LauncherException.h"
#include "instructions/Evaluation.h"
#include "instructions/LabelResolution.h"
#include "instructions/VariableReference.h"
#include "instructions/VariableStore.h"
#include "foundation/ProgressUi.h"
#include "tagfile/NumberText.h"
#include "tagfile/TagFile.h"
#include "tagfile/TextScanning.h"

namespace nv {

namespace {

using size_type = LauncherString::size_type;

const LauncherString noPrefix;
const char* const badMode = "The first argument to INSTALL_JVM should be a 0, 1 or 2.";

// The interpreter's messages, shared by run and check.
const char* const findProgress =
    "The first argument to FIND_JVM should be a 1 if the UI should be displayed or a 0 if the UI "
    "should be suppressed.";
const char* const findFailure =
    "The second argument to FIND_JVM should be a 1 if a find failure message should be displayed "
    "in a UI or 0 if no message should be displayed.";
const char* const verifyProgress =
    "The first argument to VERIFY should be a 1 if the UI should be displayed or a 0 if the UI "
    "should be suppressed.";
const char* const verifyFailure =
    "The second argument to VERIFY should be a 1 if a find failure message should be displayed in "
    "a UI or 0 if no message should be displayed.";
const char* const verifyId =
    "The third argument to VERIFY should be the file index number of the jvm file.";
const char* const launchFile =
    "Invalid jvm file name specified in LAUNCH.";
const char* const launchSeconds =
    "The second argument to LAUNCH should be the number of seconds to display the UI during the "
    "launch.";
const char* const ilaunchId =
    "The first argument to ILAUNCH should be the file index number of the jvm file.";
const char* const ilaunchSeconds =
    "The second argument to ILAUNCH should be the number of seconds to display the UI during the "
    "launch.";
const char* const executePosition =
    "The first argument to EXECUTE_LAUNCHER should be the position of the embedded launcher in "
    "the file index.";
const char* const gotoLabel =
    "The GOTO command requires a label as its only argument.";
const char* const jumpLabel =
    "JMP0 requires a jump label as its second argument.";
const char* const setEquals =
    "SET statement is missing =.";
const char* const setName =
    "Invalid variable specified on left hand side of SET statement.";
const char* const setExpression =
    "Invalid expression specified for SET command";

// The file index's entry types that commands name (archive/FileIndexEntry.h).
constexpr std::uint8_t jvmFileType = 1;
constexpr std::uint8_t carriedJvmType = 4;
constexpr std::uint8_t embeddedLauncherType = 7;

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
        if (e.type == jvmFileType && e.fileId == id) return true;
    }
    return false;
}

// Each check reads a literal word with the interpreter's own evaluation.
void checkNumber(const LauncherString& word, std::int32_t line) {
    if (literal(word)) evaluateNumber(word, noPrefix, line);
}

void checkShort(const LauncherString& word, std::int32_t line) {
    if (literal(word)) evaluateShort(word, noPrefix, line);
}

void checkBoolean(const LauncherString& word, std::int32_t line) {
    if (literal(word)) evaluateBoolean(word, noPrefix, line);
}

}  // namespace

Instructions::Instructions(StringList lines) : lines_(std::move(lines)) {}

Instructions Instructions::fromTagFile(const TagFile& file) {
    StringList lines;
    const std::int32_t count = file.valueCount("INSTRUCTIONS");
    if (count == 0) throwLauncherException("The instruction file has no INSTRUCTIONS.");
    for (std::int32_t i = 0; i < count; ++i) lines.append(file.value("INSTRUCTIONS", i));
    return Instructions(std::move(lines));
}

std::int32_t Instructions::run(CommandWork& work) {
    const std::int32_t count = lines_.count();
    pc_ = 0;
    result_ = 0;
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
    return result_;
}

void Instructions::execute(const LauncherString& line, CommandWork& work) {
    size_type pos = 0;
    LauncherString command;
    if (!nextToken(line, pos, command)) throwInstructionsException("No command specified.", lineNumber());
    if (command[0] == ':' || command == "//") return;

    if (command == "INITIALIZE_UI") {
        setStatus(Status::initializing);
        setStatusDetail(StatusDetail::none, LauncherString());
        showWindow();
    } else if (command == "FIND_JVM") {
        findJvm(line, pos, work);
    } else if (command == "VERIFY") {
        verify(line, pos, work);
    } else if (command == "INSTALL_JVM") {
        installJvm(line, pos, work);
    } else if (command == "LAUNCH") {
        launch(line, pos, work);
    } else if (command == "ILAUNCH") {
        launchEmbedded(line, pos, work);
    } else if (command == "EXECUTE_LAUNCHER") {
        executeLauncher(line, pos, work);
    } else if (command == "GOTO") {
        jumpTo(requiredWord(line, pos, gotoLabel));
    } else if (command == "JMP0") {
        jumpIfZero(line, pos);
    } else if (command == "SET") {
        set(line, pos);
    } else {
        throwInstructionsException(joinText({"Invalid command (", command, "). "}), lineNumber());
    }
}

LauncherString Instructions::requiredWord(const LauncherString& line, size_type& pos, const char* missing) const {
    LauncherString word;
    if (!nextToken(line, pos, word)) throwInstructionsException(missing, lineNumber());
    return word;
}

void Instructions::findJvm(const LauncherString& line, size_type pos, CommandWork& work) {
    const bool showProgress = evaluateBoolean(
        requiredWord(line, pos,
                     findProgress),
        noPrefix, lineNumber());
    const bool showFailure = evaluateBoolean(
        requiredWord(line, pos,
                     findFailure),
        noPrefix, lineNumber());
    setStringVariable(1, LauncherString());
    setStringVariable(2, LauncherString());
    setNumberVariable(1, 0);
    const FoundJvm found = work.findJvm(showProgress, showFailure);
    loopGuard_.reset();
    if (found.found) {
        setStringVariable(1, found.javaHome);
        setStringVariable(2, found.jvmFilePath);
        setNumberVariable(1, 1);
    }
}

void Instructions::verify(const LauncherString& line, size_type pos, CommandWork& work) {
    const bool showProgress = evaluateBoolean(
        requiredWord(line, pos,
                     verifyProgress),
        noPrefix, lineNumber());
    const bool showFailure = evaluateBoolean(
        requiredWord(line, pos,
                     verifyFailure),
        noPrefix, lineNumber());
    const std::int32_t id = evaluateNumber(
        requiredWord(line, pos, verifyId),
        noPrefix, lineNumber());
    setNumberVariable(1, 0);
    const VerifiedJvm verified = work.verifyJvm(showProgress, showFailure, id);
    loopGuard_.reset();
    if (verified.valid) {
        setNumberVariable(1, 1);
        setStringVariable(1, verified.javaHome);
    }
}

void Instructions::installJvm(const LauncherString& line, size_type pos, CommandWork& work) {
    const std::int32_t mode = evaluateNumber(requiredWord(line, pos, badMode), noPrefix, lineNumber());
    if (mode < 0 || mode > 2) throwInstructionsException(badMode, lineNumber());
    setNumberVariable(1, 0);
    setStringVariable(1, LauncherString());
    const InstalledJvm installed = work.installJvm(mode);
    loopGuard_.reset();
    if (installed.installed) {
        setNumberVariable(1, 1);
        setStringVariable(1, installed.jvmFilePath);
    }
}

void Instructions::launch(const LauncherString& line, size_type pos, CommandWork& work) {
    const LauncherString jvmFile =
        readStringArgument(line, pos, launchFile, lineNumber());
    const std::int16_t seconds = evaluateShort(
        requiredWord(line, pos,
                     launchSeconds),
        noPrefix, lineNumber());
    result_ = work.launch(jvmFile, seconds);
    loopGuard_.reset();
}

void Instructions::launchEmbedded(const LauncherString& line, size_type pos, CommandWork& work) {
    const std::int32_t id = evaluateNumber(
        requiredWord(line, pos, ilaunchId),
        noPrefix, lineNumber());
    const std::int16_t seconds = evaluateShort(
        requiredWord(line, pos,
                     ilaunchSeconds),
        noPrefix, lineNumber());
    result_ = work.launchEmbedded(id, seconds);
    loopGuard_.reset();
}

void Instructions::executeLauncher(const LauncherString& line, size_type pos, CommandWork& work) {
    const std::int32_t position = evaluateNumber(
        requiredWord(line, pos,
                     executePosition),
        noPrefix, lineNumber());
    work.executeLauncher(position);
    loopGuard_.reset();
}

void Instructions::jumpTo(const LauncherString& label) {
    const std::int32_t target = resolveLabel(lines_, label, lineNumber());
    if (loopGuard_.repeats(target)) {
        throwInstructionsException("Endless loop: this jump comes back to its label with every variable unchanged.",
                                    lineNumber());
    }
    pc_ = target;
}

void Instructions::jumpIfZero(const LauncherString& line, size_type pos) {
    LauncherString valueText;
    nextToken(line, pos, valueText);
    const std::int32_t value = evaluateNumber(valueText, noPrefix, lineNumber());
    const LauncherString label = requiredWord(line, pos, jumpLabel);
    if (value == 0) jumpTo(label);
}

void Instructions::set(const LauncherString& line, size_type pos) {
    LauncherString rest = pos < line.length() ? line.substr(pos) : LauncherString();
    trimBlanks(rest);
    const size_type equals = rest.find('=');
    if (equals == LauncherString::npos) throwInstructionsException(setEquals, lineNumber());

    LauncherString name = rest.substr(0, equals);
    trimBlanks(name);
    const VariableReference variable =
        VariableReference::parse(name, setName);

    LauncherString expression = rest.substr(equals + 1);
    trimBlanks(expression);
    evaluateString(expression, setExpression, lineNumber());
    variable.assign(expression, "Invalid value specified for SET command");
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
    LauncherString command;
    if (!nextToken(line, pos, command)) throwInstructionsException("No command specified.", lineNumber());
    if (command[0] == ':' || command == "//" || command == "INITIALIZE_UI") return;

    const std::int32_t at = lineNumber();
    if (command == "FIND_JVM") {
        checkBoolean(requiredWord(line, pos, findProgress), at);
        checkBoolean(requiredWord(line, pos, findFailure), at);
    } else if (command == "VERIFY" || command == "ILAUNCH") {
        const bool verify = command == "VERIFY";
        if (verify) {
            checkBoolean(requiredWord(line, pos, verifyProgress), at);
            checkBoolean(requiredWord(line, pos, verifyFailure), at);
        }
        const LauncherString idText = requiredWord(line, pos, verify ? verifyId : ilaunchId);
        if (!verify) checkShort(requiredWord(line, pos, ilaunchSeconds), at);
        if (literal(idText)) {
            const std::int32_t id = evaluateNumber(idText, noPrefix, at);
            if (!carriesJvmFile(carried, id)) {
                throwInstructionsException(
                    joinText({command, " names JVM file id ", formatLong(id),
                              ", and the launcher file carries no JVM file (type 1) with that id."}),
                    at);
            }
        }
    } else if (command == "INSTALL_JVM") {
        const LauncherString modeText = requiredWord(line, pos, badMode);
        if (literal(modeText)) {
            const std::int32_t mode = evaluateNumber(modeText, noPrefix, at);
            if (mode < 0 || mode > 2) throwInstructionsException(badMode, at);
        }
        if (!carries(carried, carriedJvmType)) {
            throwInstructionsException("INSTALL_JVM needs a carried JVM (type 4), and the launcher file carries none.",
                                       at);
        }
    } else if (command == "LAUNCH") {
        // The file name is read as a run reads it, to find the seconds after it.
        readStringArgument(line, pos, launchFile, at);
        checkShort(requiredWord(line, pos, launchSeconds), at);
    } else if (command == "EXECUTE_LAUNCHER") {
        const LauncherString positionText = requiredWord(line, pos, executePosition);
        if (literal(positionText)) {
            const std::int32_t position = evaluateNumber(positionText, noPrefix, at);
            if (position < 0 || position >= static_cast<std::int32_t>(carried.size()) ||
                carried[static_cast<std::size_t>(position)].type != embeddedLauncherType) {
                throwInstructionsException(joinText({"EXECUTE_LAUNCHER names index position ", formatLong(position),
                                                     ", which holds no embedded launcher (type 7)."}),
                                           at);
            }
        }
    } else if (command == "GOTO" || command == "JMP0") {
        if (command == "JMP0") {
            LauncherString valueText;
            nextToken(line, pos, valueText);
            checkNumber(valueText, at);
        }
        const LauncherString label = requiredWord(line, pos, command == "GOTO" ? gotoLabel : jumpLabel);
        if (literal(label)) resolveLabel(lines_, label, at);
    } else if (command == "SET") {
        LauncherString rest = pos < line.length() ? line.substr(pos) : LauncherString();
        trimBlanks(rest);
        const size_type equals = rest.find('=');
        if (equals == LauncherString::npos) throwInstructionsException(setEquals, at);
        LauncherString name = rest.substr(0, equals);
        trimBlanks(name);
        VariableReference::parse(name, setName);
        LauncherString expression = rest.substr(equals + 1);
        trimBlanks(expression);
        if (literal(expression)) evaluateString(expression, setExpression, at);
    } else {
        throwInstructionsException(joinText({"Invalid command (", command, "). "}), at);
    }
}

}  // namespace nv
