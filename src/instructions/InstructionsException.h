#pragma once
// An interpreter failure with the line of the failing instruction. It never
// leaves the interpreter: there it becomes a LauncherException.

#include <cstdint>
#include <utility>

#include "foundation/LauncherString.h"

namespace nv {

class InstructionsException {
public:
    InstructionsException(const LauncherString& message, std::int32_t line) : message_(message), line_(line) {}
    // Text and built messages go straight in, without a temporary copy.
    InstructionsException(const char* message, std::int32_t line) : message_(message), line_(line) {}
    InstructionsException(LauncherString&& message, std::int32_t line) : message_(std::move(message)), line_(line) {}
    const LauncherString& message() const { return message_; }
    std::int32_t line() const { return line_; }

private:
    LauncherString message_;
    std::int32_t line_;
};

// Throw InstructionsException(message, line), out of line like
// throwLauncherException.
[[noreturn]] void throwInstructionsException(const LauncherString& message, std::int32_t line);
[[noreturn]] void throwInstructionsException(const char* message, std::int32_t line);

}  // namespace nv
