#include "foundation/DeviceName.h"

#include <cstring>

#include "foundation/AsciiCase.h"
namespace nv {

bool isDeviceName(const char* name, std::size_t length) {
    std::size_t end = 0;
    while (end < length && name[end] != '.') ++end;
    while (end > 0 && name[end - 1] == ' ') --end;
    if (end < 3 || end > 4) return false;
    char base[4];
    for (std::size_t i = 0; i < end; ++i) base[i] = upperAscii(name[i]);
    const auto is = [&base](const char* word) { return std::memcmp(base, word, 3) == 0; };
    if (end == 3) return is("CON") || is("PRN") || is("AUX") || is("NUL");
    return (is("COM") || is("LPT")) && base[3] >= '1' && base[3] <= '9';
}

}  // namespace nv
