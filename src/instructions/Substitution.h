#pragma once
// Replacement of @N1@ and @S1@ references in instruction text.

#include <cstdint>

#include "foundation/LauncherString.h"
#include "instructions/VariableStore.h"

namespace nv {

// At most this many references are replaced in one substitution; a variable
// that refers to itself would otherwise grow the text for ever.
inline constexpr std::int32_t maxSubstitutions = 1000;

// A substitution may not make the text longer than this (no command line or
// path of the system comes near it).
inline constexpr LauncherString::size_type maxSubstitutedLength = 65536;

// Replaces every @NAME@ in `text` by the value of the variable in `variables`, in passes from the
// start until a pass replaces nothing; within a pass the scan resumes just
// after the first at-sign of each reference, so inside an inserted value.
// "@@" stands for one literal at-sign. Inside inserted values and for the
// at-sign left by "@@", an at-sign that starts no valid reference stays as
// it is, while a valid reference there is still replaced.
// Throws InstructionsException (with `lineNumber`), its message `errorPrefix`
// + " " + the reason, for an empty `text` ("Empty expression."), an at-sign
// without its partner (the invalid-variable message), or a substitution beyond
// the bounds above; throws LauncherException for a malformed variable name.
void substituteVariables(LauncherString& text, const VariableStore& variables, const LauncherString& errorPrefix,
                         std::int32_t lineNumber);

}  // namespace nv
