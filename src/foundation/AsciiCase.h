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

inline bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upperAscii(a[i]) != upperAscii(b[i])) return false;
    }
    return true;
}

inline bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace nv
