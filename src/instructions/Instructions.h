#pragma once
// The instruction program: one command per line, with labels, comments and
// jumps, run once per process on the worker thread.

#include <cstdint>
#include <vector>

#include "foundation/LauncherString.h"
#include "foundation/StringList.h"
#include "instructions/CommandWork.h"
#include "instructions/LoopGuard.h"
#include "instructions/VariableStore.h"

namespace nv {

class TagFile;

// An entry of the launcher file as the commands name it: by its position in
// the file index and by its file id.
struct CarriedEntry {
    std::uint8_t type = 0;
    std::int32_t fileId = -1;
};

// How a run of the program ended: its result, and whether EXIT gave it (the
// result is then the process's exit code as it stands, launcher/EndOfRun.h).
struct ProgramOutcome {
    std::int32_t result = 0;
    bool exited = false;
};

// The first fault that check finds, with its one-based line.
struct ProgramFault {
    LauncherString message;
    std::int32_t line = 0;
};

// What a command needs the launcher file to carry whatever its arguments
// say: the commands that verify a JVM need the verification archive (type 5)
// to prove it with.
enum class ArchiveNeed : std::uint8_t { nothing, verifyArchive };

class Instructions {
public:
    // A program made of `lines`, in order.
    explicit Instructions(StringList lines, bool singleInstance = false);

    // The program made of the INSTRUCTIONS values of `file`, in order; the
    // file is not kept. Throws LauncherException "The instruction file has
    // no INSTRUCTIONS." when it holds none (an empty or damaged file, or a
    // misspelt tag), which would otherwise run as a program that does nothing.
    static Instructions fromTagFile(const TagFile& file);

    // Runs the program from its first line until the line after the last,
    // or until EXIT, with its variables as they are; the commands' work goes
    // to `work`. Its result is EXIT's code, else the result of the last LAUNCH
    // or ILAUNCH, or 0 when none ran.
    // Throws LauncherException: the interpreter's own errors as "Error in
    // instructions. " + message + " Line number (" + line + ")", errors of
    // variable names, assignments, quoted arguments and of `work` unchanged.
    // The first error ends the run.
    ProgramOutcome run(CommandWork& work);

    // Reads every line as run would, without running anything, and finds
    // what would fail whatever the variables hold: unknown commands, missing
    // or malformed literal arguments, literal labels that do not exist, and
    // commands that name an entry `carried` (the file index, in order) lacks.
    // Arguments and labels with variable references are not judged. Returns
    // false and fills `fault` at the first fault.
    bool check(const std::vector<CarriedEntry>& carried, ProgramFault& fault);

    const StringList& lines() const { return lines_; }

    // The program's variables N1 to N5 and S1 to S10.
    const VariableStore& variables() const { return variables_; }
    VariableStore& variables() { return variables_; }

    // What the command that `line` starts with needs, by the command table;
    // nothing for a label, a comment or an unknown command (check finds those).
    static ArchiveNeed archiveNeed(const LauncherString& line);

    // The instruction file's SINGLE_INSTANCE: 1 (fromTagFile): a second start
    // of the launcher while this one runs brings it forward instead.
    bool singleInstance() const { return singleInstance_; }

private:
    // One row of the command table (Instructions.cpp), and what a row reads
    // from a line.
    struct Command;
    struct CommandArguments;
    static const Command commands_[];

    void execute(const LauncherString& line, CommandWork& work);
    void checkLine(const LauncherString& line, const std::vector<CarriedEntry>& carried);
    // The row of the line's command, with `pos` after its name; null for a
    // label or a comment. Throws InstructionsException for no or an unknown command.
    const Command* readCommand(const LauncherString& line, LauncherString::size_type& pos) const;
    // Why a line is read: to run it, or to check it before any run.
    enum class Reading { run, check };
    // Reads the arguments as `command` names them. A run evaluates every
    // argument; a check only those without variable references, and looks
    // the literal labels up instead of jumping.
    void readArguments(const Command& command, const LauncherString& line, LauncherString::size_type pos,
                       Reading reading, CommandArguments& arguments) const;
    // The next word of `line`, or an InstructionsException with `missing`.
    LauncherString requiredWord(const LauncherString& line, LauncherString::size_type& pos, const char* missing) const;

    // The actions, one per command.
    void initializeUi(const CommandArguments& arguments, CommandWork& work);
    void findJvm(const CommandArguments& arguments, CommandWork& work);
    void verify(const CommandArguments& arguments, CommandWork& work);
    void installJvm(const CommandArguments& arguments, CommandWork& work);
    void launch(const CommandArguments& arguments, CommandWork& work);
    void launchEmbedded(const CommandArguments& arguments, CommandWork& work);
    void executeLauncher(const CommandArguments& arguments, CommandWork& work);
    void jump(const CommandArguments& arguments, CommandWork& work);
    void jumpIfZero(const CommandArguments& arguments, CommandWork& work);
    void set(const CommandArguments& arguments, CommandWork& work);
    void message(const CommandArguments& arguments, CommandWork& work);
    void endProgram(const CommandArguments& arguments, CommandWork& work);
    void jumpTo(const LauncherString& label);

    std::int32_t lineNumber() const { return pc_ + 1; }

    StringList lines_;
    std::int32_t pc_ = 0;
    ProgramOutcome outcome_;
    VariableStore variables_;
    LoopGuard loopGuard_;
    bool singleInstance_ = false;
};

}  // namespace nv
