#include "launch/LaunchScript.h"

#include <cerrno>
#include <cstdio>
#include <string>

#include "archive/EntryType.h"
#include "cleanup/TemporaryFiles.h"
#include "foundation/CFile.h"
#include "foundation/LauncherException.h"
#include "foundation/Log.h"
#include "foundation/Messages.h"
#include "foundation/RunSettings.h"
#include "foundation/ScopeGuard.h"
#include "launch/ArgumentQuoting.h"
#include "launch/ClassPath.h"
#include "launch/CompanionFile.h"
#include "launch/FunctionCall.h"
#include "launch/JvmVariables.h"
#include "launch/LaunchScriptError.h"
#include "launch/LauncherPayload.h"
#include "launch/LiteralText.h"
#include "launch/ProcessRunner.h"
#include "launch/ReferenceScanner.h"
#include "system/Environment.h"
#include "text/NumberText.h"
#include "text/PathText.h"
#include "tagfile/TagFile.h"
#include "text/TextScanning.h"

namespace nv {

namespace {

constexpr std::size_t copyBlock = 4096;

// Copies `source` to `target` in blocks; returns the C runtime's error number
// of a short write (the copy goes on), 0 otherwise; -1 when either cannot open.
int copyFile(const LauncherString& source, const LauncherString& target) {
    CFile in = openFile(source.c_str(), "rb");
    CFile out = openFile(target.c_str(), "wb");
    if (!in || !out) return -1;
    int error = 0;
    // On the heap: the 32-bit stub is built without stack probes (CMakeLists.txt).
    std::string block(copyBlock, '\0');
    std::size_t got = 0;
    while ((got = std::fread(&block[0], 1, copyBlock, in.get())) > 0) {
        errno = 0;
        if (std::fwrite(block.data(), 1, got, out.get()) < got) error = errno ? errno : EIO;
    }
    if (!closeFile(out) && !error) error = errno ? errno : EIO;
    return error;
}

// Replaces each function reference by nothing once its call reads.
class FunctionCheck : public DelimitedExpander {
public:
    void expandReference(LauncherString& text, char, LauncherString::size_type open,
                         LauncherString::size_type close) override {
        FunctionCall call;
        LaunchScript::readCall(text, open, close, call);
        text.replace(open, call.end - open, LauncherString());
    }
};

}  // namespace

LauncherString replaceAll(const LauncherString& text, const LauncherString& search, const LauncherString& replacement) {
    // An empty search text would be found at the same place for ever: it replaces nothing.
    if (search.empty()) return text;
    LauncherString result;
    LauncherString::size_type from = 0;
    for (LauncherString::size_type at = text.find(search); at != LauncherString::npos; at = text.find(search, from)) {
        result.append(text, from, at - from);
        result += replacement;
        if (result.length() > maxExpandedLength) throwTooLong();
        from = at + search.length();
    }
    result.append(text, from, LauncherString::npos);
    return result;
}

LaunchScript::LaunchScript(const TagFile& tags, const RunSettings& settings, TemporaryFiles& files)
    : settings_(settings),
      files_(files),
      commandTemplate_(tags.value("COMMAND")),
      displayConsole_(tags.boolValue("DISPLAY_CONSOLE", false)),
      autoWorkingDirectory_(tags.boolValue("AUTO_SET_WORKING_DIR", true)),
      description_(tags.value("DESC")),
      archiveTemplate_(tags.value("ARCHIVE")) {}

LaunchScript::LaunchScript(const LauncherString& command, OutputCapture capture, EmbeddedArchives archives,
                           const RunSettings& settings, TemporaryFiles& files)
    : settings_(settings),
      files_(files),
      commandTemplate_(command),
      captureOutput_(capture == OutputCapture::on),
      addEmbeddedArchives_(archives == EmbeddedArchives::added) {}

LauncherString LaunchScript::buildCommand(JvmVariables& jvm) {
    source_ = &jvm;
    ScopeGuard clearSource([this] { source_ = nullptr; });
    try {
        const LauncherString functions = expandReferences(commandTemplate_, '%', *this);
        const LauncherString tags = expandReferences(functions, '@', jvm);
        return restoreLiterals(expandReferences(tags, '#', *this), RestoreFor::commandLine);
    } catch (const LaunchScriptError& error) {
        logEntry("Launch command:");
        logEntry(restoreLiterals(error.text(), RestoreFor::text));
        throwLauncherException("Launch script error: " + error.message());
    }
}

const LaunchFunction LaunchScript::functions_[] = {
    {"REPLACE", 3, 3, FunctionResult::arguments, noEntry, "REPLACE function requires 3 arguments.",
     &LaunchScript::replace},
    {"RUNTIME_SYSTEMPROP", 0, 0, FunctionResult::found, noEntry, "RUNTIME_SYSTEMPROP function takes no arguments.",
     &LaunchScript::runtimeSystemProperties},
    {"RUNTIME_JAVAARGS", 0, 0, FunctionResult::found, noEntry, "RUNTIME_JAVAARGS function takes no arguments.",
     &LaunchScript::runtimeJavaArguments},
    {"SYSTEMPROP", 2, 2, FunctionResult::property, noEntry, "SYSTEMPROP function requires 2 arguments.",
     &LaunchScript::systemPropertyCall},
    {"CP", 0, -1, FunctionResult::classPath, noEntry, "", &LaunchScript::classPath},
    {"IF_EXISTS", 2, 2, FunctionResult::lastArgument, noEntry, "IF_EXISTS function requires 2 arguments.",
     &LaunchScript::ifExists},
    {"LAUNCHER_FILE", 0, 0, FunctionResult::path, noEntry, "LAUNCHER_FILE function takes 0 arguments.",
     &LaunchScript::launcherFile},
    {"LAUNCHER_DIR", 0, 0, FunctionResult::path, noEntry, "LAUNCHER_DIR function takes 0 arguments.",
     &LaunchScript::launcherDir},
    {"APPLICATION_ARCHIVE", 0, 1, FunctionResult::path, typeApplicationArchive,
     "APPLICATION_ARCHIVE function takes 0 arguments.", &LaunchScript::applicationArchive},
    {"TEMP_DIR", 0, 0, FunctionResult::path, noEntry, "TEMP_DIR function takes 0 arguments.", &LaunchScript::tempDir},
};

const LaunchFunction* LaunchScript::findFunction(const LauncherString& name) {
    for (const LaunchFunction& function : functions_) {
        if (name == function.name) return &function;
    }
    return nullptr;
}

const LaunchFunction& LaunchScript::readCall(const LauncherString& text, LauncherString::size_type open,
                                             LauncherString::size_type close, FunctionCall& call) {
    const LauncherString name = text.substr(open + 1, close - open - 1);
    // An unknown name is reported before its argument list is read.
    const LaunchFunction* function = findFunction(name);
    if (!function) throwLaunchScriptError(joinText({"Invalid function name (", name, ")."}));
    call = readFunctionCall(text, close + 1);
    const std::int32_t count = call.arguments.count();
    if (count < function->least || (function->most >= 0 && count > function->most)) {
        throwLaunchScriptError(function->countMessage);
    }
    return *function;
}

void LaunchScript::checkFunctions(const LauncherString& text) {
    FunctionCheck check;
    expandReferences(text, '%', check);
}

void LaunchScript::expandReference(LauncherString& text, char delimiter, LauncherString::size_type open,
                                   LauncherString::size_type close) {
    if (delimiter == '#') {
        // An environment value (a user's or folder's name: C:\Users\a#b)
        // reaches the command as it stands, like the launcher's own paths.
        const LauncherString name = text.substr(open + 1, close - open - 1);
        text.replace(open, close - open + 1, literal(environmentValue(name)));
        return;
    }
    FunctionCall call;
    const LaunchFunction& function = readCall(text, open, close, call);
    LauncherString result = (this->*function.call)(call.arguments);
    // Paths of the launcher's own reach the command as they stand.
    if (function.result == FunctionResult::path) result = literal(result);
    // The scanner holds the text, this result in it, to the length limit.
    text.replace(open, call.end - open, result);
}

LauncherString LaunchScript::classPath(const StringList& arguments) {
    if (buildingClassPath_) throwLaunchScriptError(classPathInsideClassPath);
    buildingClassPath_ = true;
    ScopeGuard done([this] { buildingClassPath_ = false; });
    LauncherString built = buildClassPath(arguments, *this, *source_);
    refuseClassPathReference(built);
    return built;
}

LauncherString LaunchScript::tagPass(const LauncherString& text) { return expandReferences(text, '@', *source_); }

LauncherString LaunchScript::replace(const StringList& arguments) {
    // The search text is looked for in the argument as written, where a
    // value of the launcher's stands as it is.
    return replaceAll(arguments.get(2), restoreLiterals(tagPass(arguments.get(0)), RestoreFor::text),
                      tagPass(arguments.get(1)));
}

LauncherString LaunchScript::systemPropertyCall(const StringList& arguments) {
    return systemProperty(arguments.get(0), arguments.get(1));
}

LauncherString LaunchScript::ifExists(const StringList& arguments) {
    return source_->tags().value(arguments.get(0)).empty() ? LauncherString() : tagPass(arguments.get(1));
}

LauncherString LaunchScript::launcherFile(const StringList&) { return settings_.launcherPath; }

LauncherString LaunchScript::launcherDir(const StringList&) { return launcherDirectory(settings_.originalPath()); }

LauncherString LaunchScript::tempDir(const StringList&) {
    LauncherString directory = files_.directory();
    if (!directory.empty() && directory[directory.length() - 1] == '\\') directory.erase(directory.length() - 1);
    return directory;
}

LauncherString LaunchScript::systemProperty(const LauncherString& name, const LauncherString& value) {
    return joinText(
        {source_->lookupVariable("SYSTEM"), name, source_->lookupVariable("SYSTEM_SEPARATOR"), tagPass(value)});
}

LauncherString LaunchScript::runtimeSystemProperties(const StringList&) {
    LauncherString joined;
    const StringList lines = companionLines(settings_.originalPath(), ".sp");
    for (std::int32_t i = 0; i < lines.count(); ++i) {
        const LauncherString& line = lines.get(i);
        const LauncherString::size_type equals = line.find('=');
        if (equals == LauncherString::npos) continue;
        const LauncherString property = systemProperty(line.substr(0, equals), line.substr(equals + 1));
        if (property.empty()) continue;
        if (!joined.empty()) joined += ' ';
        joined += property;
    }
    return joined;
}

LauncherString LaunchScript::runtimeJavaArguments(const StringList&) {
    LauncherString joined;
    const StringList lines = companionLines(settings_.originalPath(), ".ja");
    for (std::int32_t i = 0; i < lines.count(); ++i) {
        const LauncherString argument = tagPass(lines.get(i));
        if (argument.empty()) continue;
        if (!joined.empty()) joined += ' ';
        joined += argument;
    }
    return joined;
}

LauncherString LaunchScript::applicationArchive(const StringList& arguments) {
    LauncherString& path = applicationArchive_;
    if (!path.empty()) return path;
    const LauncherString directory = files_.createDirectory();
    if (arguments.count() == 0) {
        if (!payload_) return path;
        const StringList written = payload_->extractType(typeApplicationArchive, directory);
        if (written.count() > 0) path = written.last();
        return path;
    }
    const LauncherString& name = arguments.get(0);
    LauncherString source = launcherDirectory(settings_.originalPath());
    ensureTrailingSeparator(source);
    source += name;
    const LauncherString::size_type separator = name.findLastOf("/\\");
    const LauncherString target =
        joinText({directory, "\\", separator == LauncherString::npos ? name : name.substr(separator + 1)});
    const int error = copyFile(source, target);
    if (error > 0) {
        throwLauncherException(joinText({messageText(MessageCode::errorWritingFile), formatLong(error),
                                         messageText(MessageCode::notEnoughTemporarySpace)}));
    }
    if (error == 0) path = target;
    return path;
}

void LaunchScript::applyWizardEnvironment() {
    const TagFile& tags = source_->tags();
    for (std::int32_t i = 0; i < tags.valueCount("SET_ENV_FOR_WIZARD"); ++i) {
        LauncherString setting = tags.value("SET_ENV_FOR_WIZARD", i);
        trimBlanks(setting);
        if (setting.empty()) continue;
        const LauncherString::size_type equals = setting.find('=');
        LauncherString name = setting.substr(0, equals);
        LauncherString value = equals == LauncherString::npos ? LauncherString() : setting.substr(equals + 1);
        trimBlanks(name);
        trimBlanks(value);
        setEnvironmentValue(name, value);
    }
}

LaunchResult LaunchScript::launch(JvmVariables& jvm, const StringList* passThrough, bool consoleRequest) {
    // Without a command there is no program to start; the system would be
    // handed no command line at all.
    if (commandTemplate_.findFirstNotOf(blankSet) == LauncherString::npos) {
        throwLauncherException("The launch script has no COMMAND.");
    }
    LauncherString command = buildCommand(jvm);
    if (command.findFirstNotOf(blankSet) == LauncherString::npos) {
        throwLauncherException("The launch command is empty once its references are replaced.");
    }
    LauncherString directory;
    if (autoWorkingDirectory_) directory = launcherDirectory(settings_.launcherPath);
    if (passThrough) appendQuotedArguments(command, *passThrough);
    logEntry(joinText({"Executing launch script command: ", command,
                       directory.empty() ? " in current working directory" : " in working directory ", directory}));

    // JAVA_HOME is the launched JVM's for the child only; the launcher's own
    // value (or its absence) comes back however the run ends.
    const bool hadJavaHome = environmentHas("JAVA_HOME");
    const LauncherString javaHome = environmentValue("JAVA_HOME");
    ScopeGuard restore([&] {
        if (hadJavaHome) {
            setEnvironmentValue("JAVA_HOME", javaHome);
        } else {
            clearEnvironmentValue("JAVA_HOME");
        }
    });
    setEnvironmentValue("JAVA_HOME", jvm.tags().value("JVM_HOME"));
    source_ = &jvm;
    {
        ScopeGuard clearSource([this] { source_ = nullptr; });
        if (payload_ && isWizardMode(payload_->modeByte())) applyWizardEnvironment();
    }

    ProcessRequest request;
    request.commandLine = command;
    request.workingDirectory = directory;
    request.console = displayConsole_ || consoleRequest;
    request.capture = !request.console && captureOutput_;
    request.wait = true;
    request.output = &standardOutput_;
    request.error = &standardError_;
    request.timeLimit = timeLimit_;
    const std::int32_t code = runProcess(request);

    if (request.capture) {
        logEntry("Output from the launch script execution");
        logEntry("StdOut:");
        logEntry(standardOutput_);
        logEntry("ErrOut:");
        logEntry(standardError_);
    }
    return LaunchResult{code, standardError_};
}

}  // namespace nv
