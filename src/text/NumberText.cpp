#include "text/NumberText.h"

#include <limits>

#include "text/TextScanning.h"

namespace nv {

namespace {

// Reads an optionally signed decimal, clamped to [low, high].
bool readClamped(const LauncherString& text, std::int64_t low, std::int64_t high, std::int64_t& value) {
    LauncherString::size_type pos = 0;
    while (isWhiteSpace(text[pos])) ++pos;  // past the end reads as zero
    bool negative = false;
    if (text[pos] == '+' || text[pos] == '-') {
        negative = text[pos] == '-';
        ++pos;
    }
    if (text[pos] < '0' || text[pos] > '9') return false;
    std::int64_t magnitude = 0;
    for (; text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        if (magnitude <= high + 1) magnitude = magnitude * 10 + (text[pos] - '0');
    }
    std::int64_t result = negative ? -magnitude : magnitude;
    value = result < low ? low : result > high ? high : result;
    return true;
}

}  // namespace

bool readLong(const LauncherString& text, std::int32_t& value) {
    std::int64_t v;
    if (!readClamped(text, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(), v))
        return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

bool readShort(const LauncherString& text, std::int16_t& value) {
    std::int64_t v;
    if (!readClamped(text, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max(), v))
        return false;
    value = static_cast<std::int16_t>(v);
    return true;
}

LauncherString formatLong(std::int32_t value) {
    // Built by hand so the text never depends on the C runtime's long size.
    char digits[12];
    int n = 0;
    // The magnitude in 32 bits (the lowest value too): 64-bit division would
    // bring libgcc's helpers into the stub.
    const bool negative = value < 0;
    std::uint32_t v = negative ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    LauncherString text;
    if (negative) text.append('-');
    while (n > 0) text.append(digits[--n]);
    return text;
}

LauncherString formatCount(std::uint64_t value) {
    // Long division by 10 over four 16-bit parts, each step within 32 bits:
    // 64-bit division would bring libgcc's helpers into the 32-bit stub.
    std::uint32_t parts[4] = {static_cast<std::uint32_t>(value >> 48), static_cast<std::uint32_t>(value >> 32) & 0xFFFF,
                              static_cast<std::uint32_t>(value >> 16) & 0xFFFF,
                              static_cast<std::uint32_t>(value) & 0xFFFF};
    char digits[20];
    int n = 0;
    bool more;
    do {
        std::uint32_t rest = 0;
        more = false;
        for (std::uint32_t& part : parts) {
            const std::uint32_t dividend = rest << 16 | part;
            part = dividend / 10;
            rest = dividend % 10;
            more = more || part != 0;
        }
        digits[n++] = static_cast<char>('0' + rest);
    } while (more);
    LauncherString text;
    while (n > 0) text.append(digits[--n]);
    return text;
}

}  // namespace nv
