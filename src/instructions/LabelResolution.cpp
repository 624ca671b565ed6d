#include "instructions/LabelResolution.h"

#include "instructions/InstructionsException.h"
#include "instructions/Substitution.h"

namespace nv {

std::int32_t resolveLabel(const StringList& program, const LauncherString& label, const VariableStore& variables,
                          std::int32_t lineNumber) {
    LauncherString target = ":" + label;
    substituteVariables(target, variables, "Invalid label specified.", lineNumber);
    if (target == ":") {
        throwInstructionsException(joinText({"Label ", label, " resolved to a blank string. Labels cannot be blank."}),
                                   lineNumber);
    }
    for (std::int32_t i = 0; i < program.count(); ++i) {
        if (program.get(i) == target) return i;
    }
    throwInstructionsException(joinText({"Label not found (", label, ")"}), lineNumber);
}

}  // namespace nv
