#pragma once
// The argument list of a function reference in a launch command:
// %NAME%( "first", "second" ). Every argument is in double quotes, where two
// double quotes stand for one.

#include <cstdint>

#include "foundation/LauncherString.h"
#include "foundation/StringList.h"

namespace nv {

struct FunctionCall {
    StringList arguments;
    LauncherString::size_type end = 0;  // just after the closing ")"
};

// Reads the argument list that starts at `from` (just after the name's
// closing delimiter). Throws LaunchScriptError "Expected left parenthesis.",
// "Expected string arg." or "Expected right parenthesis." with
// " (near character N)", N being where that step of the reading began, and
// the LauncherException of an argument without its closing quote.
FunctionCall readFunctionCall(const LauncherString& text, LauncherString::size_type from);

// A CP inside ARCHIVE would build the class path inside itself for ever, and
// a CP in what a CP returned would be expanded again from its own result.
inline constexpr char classPathInsideClassPath[] =
    "The class path refers to itself: %CP% may not stand in ARCHIVE, JVM_CLASSPATH, a companion list or an "
    "argument of CP.";

// Throws LaunchScriptError(classPathInsideClassPath) when `text` refers to
// the class path: the one rule for what a class path is built from.
void refuseClassPathReference(const LauncherString& text);

}  // namespace nv
