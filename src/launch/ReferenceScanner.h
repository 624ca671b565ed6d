#pragma once
// The scanner that the three passes of a launch command share: it finds each
// reference opened and closed by one delimiter, has an expander replace it,
// and scans again from the start of what was put in.

#include "foundation/LauncherString.h"
#include "launch/DelimitedExpander.h"

namespace nv {

// Expansions one scan makes at most, and the longest text it lets grow: a
// value that names itself would otherwise be expanded for ever. The length
// is checked after each expansion, so it bounds every function's result too.
constexpr unsigned maxExpansions = 10000;
constexpr LauncherString::size_type maxExpandedLength = 1u << 20;
static_assert(maxExpansions == 10000 && maxExpandedLength == 1048576, "the limits' messages spell them out");

// Throw LaunchScriptError naming the limit that was met.
[[noreturn]] void throwTooLong();
[[noreturn]] void throwTooManyExpansions();

// The text with every reference of `delimiter` replaced: a reference opens at
// a delimiter that is not among the last two characters and closes at the
// next delimiter at least two characters further; the scan goes on at the
// start of each result. Afterwards doubled delimiters become single ones,
// taken from the left. Throws LaunchScriptError (with the text being
// expanded) when the text grows past maxExpandedLength or more than
// maxExpansions references are expanded, and passes on what the expander throws.
LauncherString expandReferences(const LauncherString& text, char delimiter, DelimitedExpander& expander);

}  // namespace nv
