#pragma once
// The variables of the instruction program: numbers N1 to N5 (initially 0)
// and strings S1 to S10 (initially empty), kept in the run state
// (foundation/RunState.h), which a run starts afresh. Worker thread only; no lock.

#include <cstdint>

#include "foundation/LauncherString.h"

namespace nv {

// True for 1 to 5.
bool isValidNumberIndex(std::int32_t n);

// True for 1 to 10.
bool isValidStringIndex(std::int32_t n);

// The value of Nn. Throws LauncherException "Invalid numeric variable number: " + n
// when n is not 1 to 5.
std::int32_t numberVariable(std::int32_t n);

// Sets Nn. Throws as numberVariable.
void setNumberVariable(std::int32_t n, std::int32_t value);

// A copy of Sn. Throws LauncherException "Invalid string variable number: " + n
// when n is not 1 to 10.
LauncherString stringVariable(std::int32_t n);

// Sets Sn. Throws as stringVariable.
void setStringVariable(std::int32_t n, const LauncherString& text);

}  // namespace nv
