#pragma once
// A fault in a launch command found while it is expanded. It stays inside
// the launch code: the command's builder logs the text that was being
// expanded and turns it into the LauncherException "Launch script error: ...".

#include <utility>

#include "foundation/LauncherString.h"

namespace nv {

class LaunchScriptError {
public:
    explicit LaunchScriptError(const LauncherString& message) : message_(message) {}
    // Text and built messages go straight in, without a temporary copy.
    explicit LaunchScriptError(const char* message) : message_(message) {}
    explicit LaunchScriptError(LauncherString&& message) : message_(std::move(message)) {}
    const LauncherString& message() const { return message_; }
    // The text being expanded when the fault was found (the innermost one).
    const LauncherString& text() const { return text_; }
    bool hasText() const { return hasText_; }
    void setText(const LauncherString& text) {
        text_ = text;
        hasText_ = true;
    }

private:
    LauncherString message_;
    LauncherString text_;
    bool hasText_ = false;
};

// Throw LaunchScriptError(message), out of line like throwLauncherException.
[[noreturn]] void throwLaunchScriptError(const LauncherString& message);
[[noreturn]] void throwLaunchScriptError(const char* message);

}  // namespace nv
