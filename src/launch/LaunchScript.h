#pragma once
// How the Java program is started: a command template whose %FUNCTION%(...),
// @TAG@ and #ENVIRONMENT# references are replaced when the launch happens,
// and the switches for its console and working directory.

#include <cstdint>

#include "foundation/LauncherString.h"
#include "foundation/RunSettings.h"
#include "foundation/StringList.h"
#include "launch/DelimitedExpander.h"

namespace nv {

struct FunctionCall;
class JvmVariables;
class LaunchScript;
class LauncherPayload;
class TagFile;
class TemporaryFiles;

// What a function's result is made of, as far as a template can be checked
// without calling the function.
enum class FunctionResult : std::uint8_t {
    found,         // text the run finds elsewhere (companion files)
    path,          // a path of the launcher's own, which reaches the command as it stands
    property,      // a system property: SYSTEM, the first argument, SYSTEM_SEPARATOR, the second
    lastArgument,  // the last argument, or nothing
    arguments,     // the arguments, in order
    classPath,     // the arguments as class path elements, none of which may refer to the class path
};

// No entry of the launcher file (LaunchFunction::needs).
constexpr std::uint8_t noEntry = 0xFF;

// A function of the launch command, %NAME%("argument", ...): the arguments
// it takes, with the message for any other count, what its result is made
// of, and what it does. Building a command and checking a template read a
// call by the same row.
struct LaunchFunction {
    const char* name;
    std::int8_t least;  // arguments it takes at least
    std::int8_t most;   // and at most; -1 for no bound
    FunctionResult result;
    std::uint8_t needs;        // the entry type (archive/EntryType.h) a call without arguments extracts; or noEntry
    const char* countMessage;  // for a count outside least..most
    LauncherString (LaunchScript::*call)(const StringList& arguments);
};

// What a launch gives back: its program's exit code, and the error output
// that the script's launches collected (empty when not captured).
struct LaunchResult {
    std::int32_t exitCode = 0;
    LauncherString errorOutput;
};

// Whether a launch collects what its program writes (standardOutput(), the
// result's errorOutput) or leaves it to the program's own streams.
enum class OutputCapture { off, on };
// Whether CP's class path takes the launcher file's embedded class path archives.
enum class EmbeddedArchives { leftOut, added };

class LaunchScript : public DelimitedExpander {
public:
    // From a launch script's tags (COMMAND, DISPLAY_CONSOLE, AUTO_SET_WORKING_DIR,
    // DESC, ARCHIVE): output captured, embedded class path archives added.
    // Both constructors take the run's settings (the launcher's paths, the
    // class path options) and its temporary files, which must outlive it.
    LaunchScript(const TagFile& tags, const RunSettings& settings, TemporaryFiles& files);
    // From a command text (the verification's), run in the launcher's
    // directory without console, with the two creator's choices.
    LaunchScript(const LauncherString& command, OutputCapture capture, EmbeddedArchives archives,
                 const RunSettings& settings, TemporaryFiles& files);
    LaunchScript(const LaunchScript&) = delete;
    LaunchScript& operator=(const LaunchScript&) = delete;

    // The launcher file whose embedded archives CP and APPLICATION_ARCHIVE
    // extract and whose mode byte decides the wizard environment; may be null.
    void setPayload(LauncherPayload* payload) { payload_ = payload; }
    LauncherPayload* payload() const { return payload_; }

    // The seconds a captured command may run before it is ended and given up
    // (ProcessRequest::timeLimit); 0, the default, for no limit.
    void setTimeLimit(unsigned seconds) { timeLimit_ = seconds; }

    const LauncherString& description() const { return description_; }
    const LauncherString& archiveTemplate() const { return archiveTemplate_; }
    bool addsEmbeddedArchives() const { return addEmbeddedArchives_; }
    const RunSettings& settings() const { return settings_; }
    TemporaryFiles& temporaryFiles() const { return files_; }
    // What the launched programs wrote to their standard output, each run's output appended.
    const LauncherString& standardOutput() const { return standardOutput_; }

    // The finished command: the function pass ("%"), the tag pass ("@",
    // through the JVM file) and the environment pass ("#"). Throws
    // LauncherException "Launch script error: ..." (after logging
    // "Launch command:" and the text being expanded) for a faulty command.
    LauncherString buildCommand(JvmVariables& jvm);

    // Builds the command, appends the pass-through arguments (may be null),
    // runs it with JAVA_HOME set to the JVM file's JVM_HOME (restored
    // afterwards) and, in modes 0 and 2, the wizard environment applied,
    // logs what it ran and what it wrote, and returns its exit code and error output.
    LaunchResult launch(JvmVariables& jvm, const StringList* passThrough, bool consoleRequest);

    // Replaces one %FUNCTION%(...) or #NAME# reference; the scanner calls it.
    void expandReference(LauncherString& text, char delimiter, LauncherString::size_type open,
                         LauncherString::size_type close) override;

    // The function called `name`, or null.
    static const LaunchFunction* findFunction(const LauncherString& name);

    // The function that the reference text[open..close] names, with its
    // argument list read into `call` and counted. Throws LaunchScriptError
    // for an unknown name (before the list is read), a list that does not
    // read (readFunctionCall) or a count the function does not take.
    static const LaunchFunction& readCall(const LauncherString& text, LauncherString::size_type open,
                                          LauncherString::size_type close, FunctionCall& call);

    // Walks the %NAME%(...) references of a command or archive template as
    // the function pass reads them, checking each name and argument count
    // without calling anything; what a function would return is not known
    // here, so references that only its result would bring are not seen.
    // Throws LaunchScriptError, and the LauncherException of an argument
    // without its closing quote.
    static void checkFunctions(const LauncherString& text);

private:
    static const LaunchFunction functions_[];

    // The functions, each with its arguments counted.
    LauncherString replace(const StringList& arguments);
    LauncherString runtimeSystemProperties(const StringList& arguments);
    LauncherString runtimeJavaArguments(const StringList& arguments);
    LauncherString systemPropertyCall(const StringList& arguments);
    LauncherString classPath(const StringList& arguments);
    LauncherString ifExists(const StringList& arguments);
    LauncherString launcherFile(const StringList& arguments);
    LauncherString launcherDir(const StringList& arguments);
    LauncherString applicationArchive(const StringList& arguments);
    LauncherString tempDir(const StringList& arguments);

    LauncherString tagPass(const LauncherString& text);
    LauncherString systemProperty(const LauncherString& name, const LauncherString& value);
    void applyWizardEnvironment();

    const RunSettings& settings_;
    TemporaryFiles& files_;
    LauncherString commandTemplate_;
    bool displayConsole_ = false;
    bool autoWorkingDirectory_ = true;
    LauncherString description_;
    LauncherString archiveTemplate_;
    bool captureOutput_ = true;
    bool addEmbeddedArchives_ = true;
    unsigned timeLimit_ = 0;
    LauncherString standardOutput_;
    LauncherString standardError_;
    LauncherString applicationArchive_;  // APPLICATION_ARCHIVE's path once it is made
    LauncherPayload* payload_ = nullptr;
    JvmVariables* source_ = nullptr;  // set while a command is being built
    bool buildingClassPath_ = false;
};

// The text with every occurrence of `search` replaced, from the left and
// without overlap (REPLACE); an empty search text replaces nothing. Throws
// LaunchScriptError when the result grows past maxExpandedLength.
LauncherString replaceAll(const LauncherString& text, const LauncherString& search, const LauncherString& replacement);

}  // namespace nv
