#include "launch/ProcessRunner.h"

#include "foundation/LauncherException.h"
#include "tagfile/NumberText.h"

namespace nv {

namespace {
constexpr unsigned quietPause = 100;
}  // namespace

void checkCommandLine(const LauncherString& commandLine) {
    if (commandLine.empty()) throwLauncherException("There is no command to run.");
    if (commandLine.length() >= longestCommandLine) {
        throwLauncherException(joinText({"The command is ", formatLong(static_cast<std::int32_t>(commandLine.length())),
                                         " characters long; Windows allows 32,767."}));
    }
}

std::int32_t collectOutput(ChildOutput& child, LauncherString* output, LauncherString* error, Pause& pause) {
    LauncherString discarded;
    std::int32_t code = 0;
    bool ended = false;
    std::uint32_t lastRead = 0;
    for (;;) {
        if (!ended && lastRead == 0) {
            ended = child.ended(code);
            pause.wait(quietPause);
        }
        lastRead = child.readWaiting(OutputStream::output, output ? *output : discarded);
        lastRead += child.readWaiting(OutputStream::error, error ? *error : discarded);
        discarded = LauncherString();
        if (ended && lastRead == 0) return code;
    }
}

}  // namespace nv
