#include "instructions/VariableStore.h"

#include "foundation/LauncherException.h"
#include "text/NumberText.h"

namespace nv {

namespace {

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

bool isValidNumberIndex(std::int32_t n) { return n >= 1 && n <= VariableStore::numberCount; }

bool isValidStringIndex(std::int32_t n) { return n >= 1 && n <= VariableStore::stringCount; }

std::int32_t VariableStore::number(std::int32_t n) const {
    checkNumberIndex(n);
    return numbers_[n - 1];
}

void VariableStore::setNumber(std::int32_t n, std::int32_t value) {
    checkNumberIndex(n);
    numbers_[n - 1] = value;
}

LauncherString VariableStore::string(std::int32_t n) const {
    checkStringIndex(n);
    return strings_[n - 1];
}

void VariableStore::setString(std::int32_t n, const LauncherString& text) {
    checkStringIndex(n);
    strings_[n - 1] = text;
}

bool VariableStore::operator==(const VariableStore& other) const {
    for (std::int32_t i = 0; i < numberCount; ++i) {
        if (numbers_[i] != other.numbers_[i]) return false;
    }
    for (std::int32_t i = 0; i < stringCount; ++i) {
        if (strings_[i] != other.strings_[i]) return false;
    }
    return true;
}

}  // namespace nv
