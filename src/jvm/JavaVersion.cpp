#include "jvm/JavaVersion.h"

namespace nv {

bool JavaVersion::read(const LauncherString& text, bool suffixAllowed) {
    *this = JavaVersion();
    LauncherString::size_type pos = 0;
    bool update = false;  // after "_": the last number
    for (;;) {
        if (count_ == maxParts) return false;
        std::uint32_t value = 0;
        int digits = 0;
        for (; text[pos] >= '0' && text[pos] <= '9'; ++pos) {
            if (++digits > 9) return false;
            value = value * 10 + static_cast<std::uint32_t>(text[pos] - '0');
        }
        if (digits == 0) return false;
        parts_[count_++] = value;
        if (pos == text.length()) break;
        const char separator = text[pos++];
        if (suffixAllowed && (separator == '-' || separator == '+')) break;
        if (update || (separator != '.' && separator != '_')) return false;
        update = separator == '_';
    }
    // "1.8" is Java 8.
    if (count_ > 1 && parts_[0] == 1) {
        for (int i = 1; i < count_; ++i) parts_[i - 1] = parts_[i];
        parts_[--count_] = 0;
    }
    return true;
}

int JavaVersion::compare(const JavaVersion& other, int count) const {
    for (int i = 0; i < count; ++i) {
        if (parts_[i] != other.parts_[i]) return parts_[i] < other.parts_[i] ? -1 : 1;
    }
    return 0;
}

bool JavaVersion::admitsAsMinimum(const JavaVersion& version) const { return compare(version, maxParts) <= 0; }

bool JavaVersion::admitsAsMaximum(const JavaVersion& version) const { return version.compare(*this, count_) <= 0; }

}  // namespace nv
