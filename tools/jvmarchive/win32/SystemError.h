#pragma once
// A failed system call of the unpacker, with the system's own text.

#include <windows.h>

#include <stdexcept>
#include <string>

namespace nvjvm {

// The message is complete: what failed, then the system's text.
struct SystemError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Throws SystemError with `what` + ": " + the text of `code`.
[[noreturn]] void throwSystemError(const std::string& what, DWORD code = GetLastError());

}  // namespace nvjvm
