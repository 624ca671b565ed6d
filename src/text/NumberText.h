#pragma once
// Numbers in text, read the way the C library's "%ld" and "%hd" read them and
// written the way "%ld" writes them.

#include <cstdint>

#include "foundation/LauncherString.h"

namespace nv {

// Reads a 32-bit signed decimal from the start of `text`: leading white space
// skipped, an optional sign, digits; anything after the digits is ignored.
// Returns false, leaving `value` unchanged, when no digit is found. Digits
// beyond the range give the nearest limit.
bool readLong(const LauncherString& text, std::int32_t& value);

// readLong for a 16-bit signed number; out-of-range digits give the nearest limit.
bool readShort(const LauncherString& text, std::int16_t& value);

// Plain decimal text of `value`: a minus sign for negatives, no padding.
LauncherString formatLong(std::int32_t value);

// Plain decimal text of a count that may pass 32 bits (bytes on a disk).
LauncherString formatCount(std::uint64_t value);

}  // namespace nv
