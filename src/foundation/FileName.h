#pragma once
// The names that Windows writes as a plain file below a directory: the one
// rule for every place that takes a name from outside (an embedded file, a
// carried JVM's entry) and writes a file under it. Callers word the problem
// in their own messages and add rules of their own.

#include <cstddef>

namespace nv {

// The longest file name (one path component) that Windows accepts.
constexpr std::size_t longestFileName = 255;

// Why a name cannot be written as a plain file, in the order in which
// fileNameProblem tests them; a caller may keep its words in this order.
enum class FileNameProblem {
    none,
    empty,
    onlyDotsAndBlanks,   // ".", "..", "...", ". ": what Windows leaves of them leads elsewhere
    path,                // "\", "/" or ":" (a drive or a stream)
    reservedCharacter,   // < > " | ? *
    controlCharacter,    // bytes 0-31 and 127 (DEL)
    trailingDotOrBlank,  // which Windows drops
    deviceName,          // isDeviceName (DeviceName.h)
    tooLong,             // over longestFileName bytes
};

// The first problem of the list above that the `length` bytes of `name` (one
// path component, not zero-terminated) have, or none.
FileNameProblem fileNameProblem(const char* name, std::size_t length);

}  // namespace nv
