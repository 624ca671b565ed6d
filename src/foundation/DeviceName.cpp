#include "foundation/DeviceName.h"

#include <cstring>

#include "foundation/AsciiCase.h"
namespace nv {

namespace {

// Windows also reads the superscript digits one, two and three as port
// numbers: single bytes in the ANSI code page, two bytes in UTF-8.
bool isPortDigit(const char* digit, std::size_t length) {
    const auto byte = [digit](std::size_t i) { return static_cast<unsigned char>(digit[i]); };
    const auto superscript = [](unsigned char b) { return b == 0xB9 || b == 0xB2 || b == 0xB3; };
    if (length == 1) return (byte(0) >= '1' && byte(0) <= '9') || superscript(byte(0));
    return length == 2 && byte(0) == 0xC2 && superscript(byte(1));
}

}  // namespace

bool isDeviceName(const char* name, std::size_t length) {
    std::size_t end = 0;
    while (end < length && name[end] != '.') ++end;
    while (end > 0 && name[end - 1] == ' ') --end;
    if (end < 3 || end > 7) return false;
    char base[7];
    for (std::size_t i = 0; i < end; ++i) base[i] = upperAscii(name[i]);
    const auto is = [&base, end](const char* word) {
        return std::strlen(word) == end && std::memcmp(base, word, end) == 0;
    };
    if (is("CON") || is("PRN") || is("AUX") || is("NUL") || is("CONIN$") || is("CONOUT$")) return true;
    const bool port = std::memcmp(base, "COM", 3) == 0 || std::memcmp(base, "LPT", 3) == 0;
    return port && isPortDigit(base + 3, end - 3);
}

}  // namespace nv
