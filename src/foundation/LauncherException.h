#pragma once
// The one error type that crosses subsystems: a finished message, ready for
// the user and the run log.

#include <utility>

#include "foundation/LauncherString.h"

namespace nv {

class LauncherException {
public:
    explicit LauncherException(const LauncherString& message) : message_(message) {}
    // Text and built messages go straight in, without a temporary copy.
    explicit LauncherException(const char* message) : message_(message) {}
    explicit LauncherException(LauncherString&& message) : message_(std::move(message)) {}
    virtual ~LauncherException();  // out of line: the vtable is then made once
    const LauncherString& message() const { return message_; }

    // Set where the program asked for no message box about this failure
    // (FIND_JVM with show-failure 0): the run's end logs it and shows nothing.
    bool boxDeclined() const { return boxDeclined_; }
    void declineBox() { boxDeclined_ = true; }

private:
    LauncherString message_;
    bool boxDeclined_ = false;
};

// Throw LauncherException(message). Out of line because a throw written in
// place repeats the exception's allocation and clean-up code at every site.
[[noreturn]] void throwLauncherException(const LauncherString& message);
[[noreturn]] void throwLauncherException(const char* message);
// Throws a copy of the finished exception (from withContext, callFailed, ...).
[[noreturn]] void throwLauncherException(const LauncherException& exception);

}  // namespace nv
