#pragma once
// The variables of the instruction program: numbers N1 to N5 (initially 0)
// and strings S1 to S10 (initially empty). The program owns them
// (Instructions.h); what reads or writes them is handed the store.

#include <cstdint>

#include "foundation/LauncherString.h"

namespace nv {

// True for 1 to 5.
bool isValidNumberIndex(std::int32_t n);

// True for 1 to 10.
bool isValidStringIndex(std::int32_t n);

class VariableStore {
public:
    static constexpr std::int32_t numberCount = 5;
    static constexpr std::int32_t stringCount = 10;

    // The value of Nn. Throws LauncherException "Invalid numeric variable number: " + n
    // when n is not 1 to 5.
    std::int32_t number(std::int32_t n) const;

    // Sets Nn. Throws as number.
    void setNumber(std::int32_t n, std::int32_t value);

    // A copy of Sn. Throws LauncherException "Invalid string variable number: " + n
    // when n is not 1 to 10.
    LauncherString string(std::int32_t n) const;

    // Sets Sn. Throws as string.
    void setString(std::int32_t n, const LauncherString& text);

    // Every variable equal.
    bool operator==(const VariableStore& other) const;

private:
    std::int32_t numbers_[numberCount] = {};
    LauncherString strings_[stringCount];
};

}  // namespace nv
