#pragma once
// The answers a calling program reads on the launcher's standard output:
// one item a line, flushed at once so that nothing is lost if the process
// ends abruptly.

#include <cstdint>

#include "foundation/LauncherString.h"

namespace nv {

// Writes the text and a line feed ("%s\n").
void writeResultLine(const LauncherString& text);

// Writes the number in decimal and a line feed ("%ld\n").
void writeResultNumber(std::int32_t number);

}  // namespace nv
