#include "jvm/JavaVersion.h"

namespace nv {

bool JavaVersion::read(const LauncherString& text, bool suffixAllowed) {
    *this = JavaVersion();
    const char* next = text.c_str();
    const char* const end = next + text.length();
    bool update = false;  // after "_": the last number
    for (;;) {
        if (count_ == maxParts) return false;
        std::uint32_t& part = parts_[count_++];
        const char* const digits = next;
        for (; *next >= '0' && *next <= '9' && next - digits < 9; ++next) {
            part = part * 10 + static_cast<std::uint32_t>(*next - '0');
        }
        if (next == digits) return false;
        if (next == end) break;
        const char separator = *next++;
        if (update || (separator != '.' && separator != '_')) {
            // Only a suffix may follow the numbers.
            if (suffixAllowed && (separator == '-' || separator == '+')) break;
            return false;
        }
        update = separator == '_';
    }
    // "1.8" is Java 8.
    if (count_ > 1 && parts_[0] == 1) {
        for (int i = 0; i < maxParts; ++i) parts_[i] = parts_[i + 1];
        --count_;
    }
    return true;
}

}  // namespace nv
