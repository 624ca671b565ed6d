#include "instructions/InstructionsException.h"

namespace nv {

void throwInstructionsException(const LauncherString& message, std::int32_t line) {
    throw InstructionsException(message, line);
}

void throwInstructionsException(const char* message, std::int32_t line) { throw InstructionsException(message, line); }

}  // namespace nv
