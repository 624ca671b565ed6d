#pragma once
// The instruction program: one command per line, with labels, comments and
// jumps, run once per process on the worker thread.

#include <cstdint>
#include <vector>

#include "foundation/LauncherString.h"
#include "foundation/StringList.h"
#include "instructions/CommandWork.h"
#include "instructions/LoopGuard.h"

namespace nv {

class TagFile;

// An entry of the launcher file as the commands name it: by its position in
// the file index and by its file id.
struct CarriedEntry {
    std::uint8_t type = 0;
    std::int32_t fileId = -1;
};

// The first fault that check finds, with its one-based line.
struct ProgramFault {
    LauncherString message;
    std::int32_t line = 0;
};

class Instructions {
public:
    // A program made of `lines`, in order.
    explicit Instructions(StringList lines);

    // The program made of the INSTRUCTIONS values of `file`, in order; the
    // file is not kept. Throws LauncherException "The instruction file has
    // no INSTRUCTIONS." when it holds none (an empty or damaged file, or a
    // misspelt tag), which would otherwise run as a program that does nothing.
    static Instructions fromTagFile(const TagFile& file);

    // Runs the program from its first line until the line after the last;
    // the commands' work goes to `work`. Returns the result of the last
    // LAUNCH or ILAUNCH, or 0 when none ran. Throws LauncherException: the
    // interpreter's own errors as "Error in instructions. " + message +
    // " Line number (" + line + ")", errors of variable names, assignments,
    // quoted arguments and of `work` unchanged. The first error ends the run.
    std::int32_t run(CommandWork& work);

    // Reads every line as run would, without running anything, and finds
    // what would fail whatever the variables hold: unknown commands, missing
    // or malformed literal arguments, literal labels that do not exist, and
    // commands that name an entry `carried` (the file index, in order) lacks.
    // Arguments and labels with variable references are not judged. Returns
    // false and fills `fault` at the first fault.
    bool check(const std::vector<CarriedEntry>& carried, ProgramFault& fault);

    const StringList& lines() const { return lines_; }

private:
    void execute(const LauncherString& line, CommandWork& work);
    void findJvm(const LauncherString& line, LauncherString::size_type pos, CommandWork& work);
    void verify(const LauncherString& line, LauncherString::size_type pos, CommandWork& work);
    void installJvm(const LauncherString& line, LauncherString::size_type pos, CommandWork& work);
    void launch(const LauncherString& line, LauncherString::size_type pos, CommandWork& work);
    void launchEmbedded(const LauncherString& line, LauncherString::size_type pos, CommandWork& work);
    void executeLauncher(const LauncherString& line, LauncherString::size_type pos, CommandWork& work);
    void jumpTo(const LauncherString& label);
    void jumpIfZero(const LauncherString& line, LauncherString::size_type pos);
    void set(const LauncherString& line, LauncherString::size_type pos);

    // The next word of `line`, or an InstructionsException with `missing`.
    LauncherString requiredWord(const LauncherString& line, LauncherString::size_type& pos, const char* missing) const;
    void checkLine(const LauncherString& line, const std::vector<CarriedEntry>& carried);
    std::int32_t lineNumber() const { return pc_ + 1; }

    StringList lines_;
    std::int32_t pc_ = 0;
    std::int32_t result_ = 0;
    LoopGuard loopGuard_;
};

}  // namespace nv
