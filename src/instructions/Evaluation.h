#pragma once
// Evaluation of instruction arguments: variables are substituted, then the
// text is read as a number, a boolean or a string. `lineNumber` is the
// one-based line of the instruction, carried by every InstructionsException.

#include <cstdint>

#include "foundation/LauncherString.h"
#include "instructions/VariableStore.h"

namespace nv {

// Substitutes a copy of `text` and reads it as a 32-bit number ("%ld").
// Throws InstructionsException `errorPrefix` + "Invalid numeric expression ("
// + substituted copy + ")" when no number can be read, and the errors of
// substituteVariables.
std::int32_t evaluateNumber(const LauncherString& text, const VariableStore& variables,
                            const LauncherString& errorPrefix, std::int32_t lineNumber);

// As evaluateNumber for a 16-bit number ("%hd"); its message is `errorPrefix`
// + " Invalid numeric expression (" + substituted copy + ")".
std::int16_t evaluateShort(const LauncherString& text, const VariableStore& variables,
                           const LauncherString& errorPrefix, std::int32_t lineNumber);

// evaluateNumber, where 0 is false and 1 is true. Any other number throws
// InstructionsException `errorPrefix` + " Invalid boolean value (" + `text`
// as given + ")".
bool evaluateBoolean(const LauncherString& text, const VariableStore& variables, const LauncherString& errorPrefix,
                     std::int32_t lineNumber);

// Replaces `text` by its string value: an empty text stays empty; a text
// that starts with a double quote becomes the quoted argument (doubled
// quotes reduced, the rest after the closing quote dropped); any other text
// becomes its first blank-delimited word. Then variables are substituted, so
// a quoted empty string throws "Empty expression.". Throws the errors of
// readArgument and substituteVariables.
void evaluateString(LauncherString& text, const VariableStore& variables, const LauncherString& errorPrefix,
                    std::int32_t lineNumber);

// Reads the argument of `line` that starts at `pos` (after blanks): quoted,
// up to its closing quote and possibly holding blanks, or plain, up to the
// next blank, which is consumed. Leaves `pos` after the argument and returns
// its value by evaluateString. Throws LauncherException "Expected ending quote
// in " + the bytes read + ":  " + `errorPrefix` when the line ends inside
// the quotes, and the errors of evaluateString.
LauncherString readStringArgument(const LauncherString& line, LauncherString::size_type& pos,
                                  const VariableStore& variables, const LauncherString& errorPrefix,
                                  std::int32_t lineNumber);

}  // namespace nv
