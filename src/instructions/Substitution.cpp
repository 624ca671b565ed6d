#include "instructions/Substitution.h"

#include "instructions/InstructionsException.h"
#include "instructions/VariableReference.h"
#include "tagfile/NumberText.h"

namespace nv {

void substituteVariables(LauncherString& text, const LauncherString& errorPrefix, std::int32_t lineNumber) {
    using size_type = LauncherString::size_type;
    const LauncherString prefix = errorPrefix + " ";
    if (text.empty()) throw InstructionsException(prefix + "Empty expression.", lineNumber);

    std::int32_t replacements = 0;
    bool replaced = true;
    while (replaced) {
        replaced = false;
        size_type start = 0;
        for (;;) {
            const size_type first = text.find('@', start);
            if (first == LauncherString::npos) break;
            const size_type second = text.find('@', first + 1);
            if (second == LauncherString::npos) {
                throw InstructionsException(prefix + "Invalid variable specification.", lineNumber);
            }
            if (second == first + 1) {
                text.erase(second, 1);
            } else {
                const LauncherString name = text.substr(first + 1, second - first - 1);
                const LauncherString value = VariableReference::parse(name, errorPrefix).valueText();
                if (++replacements > maxSubstitutions) {
                    throw InstructionsException(
                        prefix + "Variable substitution does not end: a variable refers to itself.", lineNumber);
                }
                const size_type span = second - first + 1;
                if (value.length() > maxSubstitutedLength ||
                    text.length() - span > maxSubstitutedLength - value.length()) {
                    throw InstructionsException(prefix + "Variable substitution makes the text longer than " +
                                                    formatLong(static_cast<std::int32_t>(maxSubstitutedLength)) +
                                                    " characters.",
                                                lineNumber);
                }
                text.replace(first, span, value);
                replaced = true;
            }
            start = first + 1;
        }
    }
}

}  // namespace nv
