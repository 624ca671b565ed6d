#pragma once
// Values that the launcher itself puts into a launch command (a path it
// made, found or was given: the temporary directory, its own file, an
// extracted archive, a Java home) must reach the command as they stand. The
// reference passes scan every result again, so a folder named "Temp#1" or
// "50% off" would be read as the start of a reference. Such a value enters
// the command as a literal: framed by two control bytes, with "%", "@" and
// "#" hidden, so that no pass sees a delimiter in it; the finished command
// gets the value back.
//
//   literal("C:\50% off")  ->  \x01 C:\50\x03 off \x02
//   (\x03, \x04, \x05 stand for %, @, # inside the frame)

#include "foundation/LauncherString.h"

namespace nv {

// The value framed and hidden from the reference passes; an empty value
// stays empty.
LauncherString literal(const LauncherString& value);

// What restored text becomes: plain text (a log line, a variable's value,
// a search text), or a command line that a program's C runtime splits.
enum class RestoreFor { text, commandLine };

// The text with every literal turned back into its value. For a command
// line, backslashes that end a literal standing right before a double quote
// are doubled, so that the started program's C runtime still reads that
// quote as one that opens or closes an argument ("C:\classes\" would
// otherwise swallow the rest of the command). The result is at most twice
// as long as the text.
LauncherString restoreLiterals(const LauncherString& text, RestoreFor use);

}  // namespace nv
