#include "instructions/VariableReference.h"

#include "foundation/AsciiCase.h"
#include "foundation/LauncherException.h"
#include "instructions/VariableStore.h"
#include "text/NumberText.h"

namespace nv {

VariableReference VariableReference::parse(const LauncherString& text, const LauncherString& errorPrefix) {
    const LauncherString prefix = errorPrefix + " ";
    if (text.length() < 2) {
        throwLauncherException(prefix + "Variable references must be at least 2 characters (e.g. N1 and S10).");
    }
    // ASCII only: the kind letter is compared byte-wise, independent of locale.
    const char kind = upperAscii(text[0]);
    if (kind != 'N' && kind != 'S') {
        throwLauncherException(joinText(
            {prefix, "Invalid variable reference (", text, "). Must use N or S as the variable type, e.g. N2 or S1."}));
    }
    const LauncherString numberText = text.substr(1);
    std::int32_t number = 0;
    const bool valid =
        readLong(numberText, number) && (kind == 'N' ? isValidNumberIndex(number) : isValidStringIndex(number));
    if (!valid) throwLauncherException(joinText({prefix, "Variable number is invalid (", numberText, ")"}));
    return VariableReference(kind, number);
}

LauncherString VariableReference::valueText(const VariableStore& variables) const {
    return kind_ == 'N' ? formatLong(variables.number(number_)) : variables.string(number_);
}

void VariableReference::assign(VariableStore& variables, const LauncherString& value,
                               const LauncherString& errorPrefix) const {
    if (kind_ == 'S') {
        variables.setString(number_, value);
        return;
    }
    std::int32_t number = 0;
    if (!readLong(value, number)) {
        throwLauncherException(joinText({errorPrefix, " Invalid numeric expression in ", value}));
    }
    variables.setNumber(number_, number);
}

}  // namespace nv
