#include "foundation/FileName.h"

#include <cstring>

#include "foundation/DeviceName.h"

namespace nv {

namespace {

// Whether one of the bytes of `set` stands in the name.
bool holdsOneOf(const char* name, std::size_t length, const char* set) {
    for (std::size_t i = 0; i < length; ++i) {
        if (name[i] != '\0' && std::strchr(set, name[i])) return true;
    }
    return false;
}

bool holdsControlCharacter(const char* name, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (byte < 32 || byte == 127) return true;
    }
    return false;
}

}  // namespace

FileNameProblem fileNameProblem(const char* name, std::size_t length) {
    if (length == 0) return FileNameProblem::empty;
    std::size_t dotsAndBlanks = 0;
    while (dotsAndBlanks < length && (name[dotsAndBlanks] == '.' || name[dotsAndBlanks] == ' ')) ++dotsAndBlanks;
    if (dotsAndBlanks == length) return FileNameProblem::onlyDotsAndBlanks;
    if (holdsOneOf(name, length, "\\/:")) return FileNameProblem::path;
    if (holdsOneOf(name, length, "<>\"|?*")) return FileNameProblem::reservedCharacter;
    if (holdsControlCharacter(name, length)) return FileNameProblem::controlCharacter;
    const char last = name[length - 1];
    if (last == '.' || last == ' ') return FileNameProblem::trailingDotOrBlank;
    if (isDeviceName(name, length)) return FileNameProblem::deviceName;
    if (length > longestFileName) return FileNameProblem::tooLong;
    return FileNameProblem::none;
}

}  // namespace nv
