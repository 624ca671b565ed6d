#include "text/WideText.h"

#include <new>

#include "text/TextScanning.h"

namespace nv {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads the four bytes at `p` the way "%x" would read them as a string of
// their own: white space, a sign, a "0x" prefix, then hex digits up to the
// first other byte. False when no digit is found.
bool readHex4(const char* p, unsigned& value) {
    const char* const end = p + 4;
    while (p < end && isWhiteSpace(*p)) ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    if (end - p >= 3 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && hexDigit(p[2]) >= 0) p += 2;
    if (p == end || hexDigit(*p) < 0) return false;
    unsigned v = 0;
    for (; p < end && hexDigit(*p) >= 0; ++p) v = v * 16 + static_cast<unsigned>(hexDigit(*p));
    value = negative ? 0u - v : v;
    return true;
}

// Whether an escape "\uXXXX" starts at bytes[i]; its code unit goes to unit.
bool escapeAt(const std::string& bytes, std::size_t i, char16_t& unit) {
    unsigned code = 0;
    if (bytes[i] != '\\' || i + 6 > bytes.size() || (bytes[i + 1] != 'u' && bytes[i + 1] != 'U') ||
        !readHex4(bytes.data() + i + 2, code)) {
        return false;
    }
    unit = static_cast<char16_t>(code & 0xFFFFu);
    return true;
}

constexpr std::size_t escapeLength = 6;

}  // namespace

std::optional<std::u16string> toWide(const LauncherString& text) {
    try {
        const std::string& bytes = text.str();
        std::u16string wide;
        wide.reserve(bytes.size());
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            char16_t unit = 0;
            if (escapeAt(bytes, i, unit)) {
                wide.push_back(unit);
                i += escapeLength - 1;
            } else {
                wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i])));
            }
        }
        return wide;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

LauncherString convertEscapes(const LauncherString& text, LauncherString (*convert)(const std::u16string&)) {
    const std::string& bytes = text.str();
    LauncherString out;
    std::u16string run;  // consecutive escapes, converted together (a surrogate pair needs both)
    for (std::size_t i = 0; i < bytes.size();) {
        char16_t unit = 0;
        if (escapeAt(bytes, i, unit)) {
            run.push_back(unit);
            i += escapeLength;
            continue;
        }
        if (!run.empty()) out += convert(run);
        run.clear();
        out += bytes[i++];
    }
    if (!run.empty()) out += convert(run);
    return out;
}

}  // namespace nv
