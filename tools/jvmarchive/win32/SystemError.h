#pragma once
// A failed system call of the unpacker, with the system's own text.

#include <windows.h>

#include <exception>
#include <string>
#include <utility>

namespace nvjvm {

// The message is complete: what failed, then the system's text.
class SystemError : public std::exception {
public:
    explicit SystemError(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// Writes "jvm unpacker: " + text and a line end on standard error (WriteFile:
// MinGW's printf family would be the largest part of the program).
void reportError(const std::string& text);

// Throws SystemError with `what` + ": " + the text of `code`.
[[noreturn]] void throwSystemError(const std::string& what, DWORD code = GetLastError());

}  // namespace nvjvm
