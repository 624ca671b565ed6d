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

}  // namespace

Instructions::Instructions(StringList lines) : lines_(std::move(lines)) {}

Instructions Instructions::fromTagFile(const TagFile& file) {
    StringList lines;
    const std::int32_t count = file.valueCount("INSTRUCTIONS");
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
        setStatus(0);
        setStatusDetail(0, LauncherString());
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
        jumpTo(requiredWord(line, pos, "The GOTO command requires a label as its only argument."));
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
                     "The first argument to FIND_JVM should be a 1 if the UI should be displayed or a 0 if the UI "
                     "should be suppressed."),
        noPrefix, lineNumber());
    const bool showFailure = evaluateBoolean(
        requiredWord(line, pos,
                     "The second argument to FIND_JVM should be a 1 if a find failure message should be displayed "
                     "in a UI or 0 if no message should be displayed."),
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
                     "The first argument to VERIFY should be a 1 if the UI should be displayed or a 0 if the UI "
                     "should be suppressed."),
        noPrefix, lineNumber());
    const bool showFailure = evaluateBoolean(
        requiredWord(line, pos,
                     "The second argument to VERIFY should be a 1 if a find failure message should be displayed in "
                     "a UI or 0 if no message should be displayed."),
        noPrefix, lineNumber());
    const std::int32_t id = evaluateNumber(
        requiredWord(line, pos, "The third argument to VERIFY should be the file index number of the jvm file."),
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
    const char* const badMode = "The first argument to INSTALL_JVM should be a 0, 1 or 2.";
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
        readStringArgument(line, pos, "Invalid jvm file name specified in LAUNCH.", lineNumber());
    const std::int16_t seconds = evaluateShort(
        requiredWord(line, pos,
                     "The second argument to LAUNCH should be the number of seconds to display the UI during the "
                     "launch."),
        noPrefix, lineNumber());
    result_ = work.launch(jvmFile, seconds);
    loopGuard_.reset();
}

void Instructions::launchEmbedded(const LauncherString& line, size_type pos, CommandWork& work) {
    const std::int32_t id = evaluateNumber(
        requiredWord(line, pos, "The first argument to ILAUNCH should be the file index number of the jvm file."),
        noPrefix, lineNumber());
    const std::int16_t seconds = evaluateShort(
        requiredWord(line, pos,
                     "The second argument to ILAUNCH should be the number of seconds to display the UI during the "
                     "launch."),
        noPrefix, lineNumber());
    result_ = work.launchEmbedded(id, seconds);
    loopGuard_.reset();
}

void Instructions::executeLauncher(const LauncherString& line, size_type pos, CommandWork& work) {
    const std::int32_t position = evaluateNumber(
        requiredWord(line, pos,
                     "The first argument to EXECUTE_LAUNCHER should be the position of the embedded launcher in "
                     "the file index."),
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
    const LauncherString label = requiredWord(line, pos, "JMP0 requires a jump label as its second argument.");
    if (value == 0) jumpTo(label);
}

void Instructions::set(const LauncherString& line, size_type pos) {
    LauncherString rest = pos < line.length() ? line.substr(pos) : LauncherString();
    trimBlanks(rest);
    const size_type equals = rest.find('=');
    if (equals == LauncherString::npos) throwInstructionsException("SET statement is missing =.", lineNumber());

    LauncherString name = rest.substr(0, equals);
    trimBlanks(name);
    const VariableReference variable =
        VariableReference::parse(name, "Invalid variable specified on left hand side of SET statement.");

    LauncherString expression = rest.substr(equals + 1);
    trimBlanks(expression);
    evaluateString(expression, "Invalid expression specified for SET command", lineNumber());
    variable.assign(expression, "Invalid value specified for SET command");
}

}  // namespace nv
