#include "launcher/EndOfRun.h"

#include "foundation/Log.h"
#include "foundation/Messages.h"
#include "foundation/RunState.h"

namespace nv {

void holdJvmAdvice() { runState().jvmAdviceHeld = true; }

void writeHeldAdvice(int exitCode) {
    if (exitCode == 0 || !runState().jvmAdviceHeld) return;
    runState().jvmAdviceHeld = false;
    logEntry(messageText(MessageCode::noSuitableJvm));
}

}  // namespace nv
