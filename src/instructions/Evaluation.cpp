#include "instructions/Evaluation.h"

#include "instructions/InstructionsException.h"
#include "foundation/LauncherException.h"
#include "instructions/Substitution.h"
#include "text/NumberText.h"
#include "text/TextScanning.h"

namespace nv {

std::int32_t evaluateNumber(const LauncherString& text, const VariableStore& variables,
                            const LauncherString& errorPrefix, std::int32_t lineNumber) {
    LauncherString copy = text;
    substituteVariables(copy, variables, errorPrefix, lineNumber);
    std::int32_t value = 0;
    if (!readLong(copy, value)) {
        throwInstructionsException(joinText({errorPrefix, "Invalid numeric expression (", copy, ")"}), lineNumber);
    }
    return value;
}

std::int16_t evaluateShort(const LauncherString& text, const VariableStore& variables,
                           const LauncherString& errorPrefix, std::int32_t lineNumber) {
    LauncherString copy = text;
    substituteVariables(copy, variables, errorPrefix, lineNumber);
    std::int16_t value = 0;
    if (!readShort(copy, value)) {
        throwInstructionsException(joinText({errorPrefix, " Invalid numeric expression (", copy, ")"}), lineNumber);
    }
    return value;
}

bool evaluateBoolean(const LauncherString& text, const VariableStore& variables, const LauncherString& errorPrefix,
                     std::int32_t lineNumber) {
    const std::int32_t value = evaluateNumber(text, variables, errorPrefix, lineNumber);
    if (value != 0 && value != 1) {
        throwInstructionsException(joinText({errorPrefix, " Invalid boolean value (", text, ")"}), lineNumber);
    }
    return value == 1;
}

void evaluateString(LauncherString& text, const VariableStore& variables, const LauncherString& errorPrefix,
                    std::int32_t lineNumber) {
    if (text.empty()) return;
    const bool quoted = text[0] == '"';
    LauncherString::size_type pos = quoted ? 1 : 0;
    text = readArgument(text, pos, quoted);
    substituteVariables(text, variables, errorPrefix, lineNumber);
}

LauncherString readStringArgument(const LauncherString& line, LauncherString::size_type& pos,
                                  const VariableStore& variables, const LauncherString& errorPrefix,
                                  std::int32_t lineNumber) {
    using size_type = LauncherString::size_type;
    const size_type length = line.length();
    while (pos < length && isBlank(line[pos])) ++pos;

    LauncherString collected;
    if (pos < length && line[pos] == '"') {
        collected += '"';
        ++pos;
        std::int32_t quotes = 0;
        bool closed = false;
        while (pos < length && !closed) {
            const char c = line[pos++];
            collected += c;
            if (c != '"') {
                quotes = 0;
            } else if (++quotes % 2 == 1 && line[pos] != '"') {
                closed = true;
            }
        }
        if (!closed) throwLauncherException(joinText({"Expected ending quote in ", collected, ":  ", errorPrefix}));
    } else {
        while (pos < length && !isBlank(line[pos])) collected += line[pos++];
        if (pos < length) ++pos;
    }
    evaluateString(collected, variables, errorPrefix, lineNumber);
    return collected;
}

}  // namespace nv
