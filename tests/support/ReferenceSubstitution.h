#pragma once
// Variable substitution as it was first written (only its message for an
// unpaired at-sign is taken from the launcher): every pass rescans the whole
// text and replaces in place. Slow on long texts, but plain enough to read as
// the rules themselves, so the tests and the fuzz target hold
// nv::substituteVariables to exactly its results and errors.

#include <cstdint>

#include "foundation/LauncherException.h"
#include "instructions/InstructionsException.h"
#include "instructions/Substitution.h"
#include "instructions/VariableReference.h"
#include "text/NumberText.h"

namespace nv {
namespace reference {

// Whether `name` reads as a variable reference (the parse's messages are not wanted here).
inline bool isReference(const LauncherString& name) {
    try {
        VariableReference::parse(name, LauncherString());
        return true;
    } catch (const LauncherException&) {
        return false;
    }
}

// The message for an at-sign without its partner, taken from the launcher's
// own substitution so that its wording stays in one place; the tests of that
// message pin the words.
inline LauncherString unpairedAtSign(const LauncherString& errorPrefix) {
    LauncherString lone("@");
    try {
        nv::substituteVariables(lone, VariableStore(), errorPrefix, 0);
    } catch (const InstructionsException& error) {
        return error.message();
    }
    return LauncherString();
}

inline void substituteVariables(LauncherString& text, const VariableStore& variables, const LauncherString& errorPrefix,
                                std::int32_t lineNumber) {
    using size_type = LauncherString::size_type;
    const LauncherString prefix = errorPrefix + " ";
    if (text.empty()) throwInstructionsException(prefix + "Empty expression.", lineNumber);

    // Marks the bytes that are values already ('1'; '0' otherwise), one mark
    // per byte of text: inserted by a replacement or left by "@@". An at-sign
    // among them that starts no valid reference is a literal (a Java home may
    // well hold one), not an error. A string of marks, not a vector<bool>,
    // keeps the stub free of the bit vector's code.
    LauncherString value(text.length(), '0');
    std::int32_t replacements = 0;
    bool replaced = true;
    while (replaced) {
        replaced = false;
        size_type start = 0;
        for (;;) {
            const size_type first = text.find('@', start);
            if (first == LauncherString::npos) break;
            start = first + 1;
            const size_type second = text.find('@', first + 1);
            const bool literalAllowed = value[first] == '1';
            if (second == LauncherString::npos) {
                if (literalAllowed) continue;
                throwInstructionsException(unpairedAtSign(errorPrefix), lineNumber);
            }
            if (second == first + 1) {
                if (literalAllowed) continue;
                text.erase(second, 1);
                value.erase(second, 1);
                value.at(first) = '1';
                continue;
            }
            const LauncherString name = text.substr(first + 1, second - first - 1);
            if (literalAllowed && !isReference(name)) continue;
            const LauncherString inserted = VariableReference::parse(name, errorPrefix).valueText(variables);
            if (++replacements > maxSubstitutions) {
                throwInstructionsException(prefix + "Variable substitution does not end: a variable refers to itself.",
                                           lineNumber);
            }
            const size_type span = second - first + 1;
            if (inserted.length() > maxSubstitutedLength ||
                text.length() - span > maxSubstitutedLength - inserted.length()) {
                throwInstructionsException(
                    joinText({prefix, "Variable substitution makes the text longer than ",
                              formatLong(static_cast<std::int32_t>(maxSubstitutedLength)), " characters."}),
                    lineNumber);
            }
            text.replace(first, span, inserted);
            value.replace(first, span, LauncherString(inserted.length(), '1'));
            replaced = true;
        }
    }
}

}  // namespace reference
}  // namespace nv
