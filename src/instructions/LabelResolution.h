#pragma once
// Jump targets: a label line is a program line that is exactly ":" followed
// by the label name.

#include <cstdint>

#include "foundation/LauncherString.h"
#include "foundation/StringList.h"
#include "instructions/VariableStore.h"

namespace nv {

// The zero-based index of the first line of `program` equal to ":" + `label`
// after variables are substituted in it (prefix "Invalid label specified.").
// Throws InstructionsException (with `lineNumber`) "Label " + label + " resolved
// to a blank string. Labels cannot be blank." or "Label not found (" + label
// + ")", and the errors of substituteVariables.
std::int32_t resolveLabel(const StringList& program, const LauncherString& label, const VariableStore& variables,
                          std::int32_t lineNumber);

}  // namespace nv
