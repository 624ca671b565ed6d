#include "instructions/VariableStore.h"

#include "foundation/LauncherException.h"
#include "foundation/RunState.h"
#include "text/NumberText.h"

namespace nv {

namespace {

constexpr std::int32_t numberCount = InstructionVariables::numberCount;
constexpr std::int32_t stringCount = InstructionVariables::stringCount;

InstructionVariables& variables() { return runState().variables; }

void checkNumberIndex(std::int32_t n) {
    if (!isValidNumberIndex(n)) {
        throwLauncherException("Invalid numeric variable number: " + formatLong(n));
    }
}

void checkStringIndex(std::int32_t n) {
    if (!isValidStringIndex(n)) {
        throwLauncherException("Invalid string variable number: " + formatLong(n));
    }
}

}  // namespace

bool isValidNumberIndex(std::int32_t n) { return n >= 1 && n <= numberCount; }

bool isValidStringIndex(std::int32_t n) { return n >= 1 && n <= stringCount; }

std::int32_t numberVariable(std::int32_t n) {
    checkNumberIndex(n);
    return variables().numbers[n - 1];
}

void setNumberVariable(std::int32_t n, std::int32_t value) {
    checkNumberIndex(n);
    variables().numbers[n - 1] = value;
}

LauncherString stringVariable(std::int32_t n) {
    checkStringIndex(n);
    return variables().strings[n - 1];
}

void setStringVariable(std::int32_t n, const LauncherString& text) {
    checkStringIndex(n);
    variables().strings[n - 1] = text;
}

}  // namespace nv
