#pragma once
// Case for the letters A-Z only: theirs is the one folding that does not
// depend on the code page a text is read in, and the one Windows applies to
// file and device names alike.

#include <cstddef>
#include <string>
#include <string_view>

namespace nv {

inline char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

inline std::string upperAscii(std::string text) {
    for (char& c : text) c = upperAscii(c);
    return text;
}

// Comparisons that ignore the case of A-Z: file names as Windows compares them.
inline bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (upperAscii(text[i]) != upperAscii(prefix[i])) return false;
    }
    return true;
}

inline bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && startsWithIgnoringAsciiCase(a, b);
}

}  // namespace nv
