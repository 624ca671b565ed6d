#pragma once
// A Java version as numbers, so that both numbering schemes compare alike:
// "1.8.0_40" is 8.0.40 (the old scheme's leading "1." dropped, "_" before
// the update), beside "17.0.15", "21" and "100.0.1". The JVM file's
// MIN_JAVA_VERSION and MAX_JAVA_VERSION are read with it, and so is the
// java.version a JVM reports; nvpack uses it to refuse a bad bound.

#include <cstdint>

#include "foundation/LauncherString.h"

namespace nv {

class JavaVersion {
public:
    // Reads `text`: numbers of up to 9 digits separated by dots, at most 8 of
    // them, the last one may follow a "_" instead. With `suffixAllowed`
    // whatever follows a "-" or "+" after a number ("-ea", "+7",
    // "-internal") is ignored. False for anything else, the empty text
    // included; the version is then unusable.
    bool read(const LauncherString& text, bool suffixAllowed);

    // As a minimum: true when `version` is this one or later, a component
    // missing on either side counting as 0 (17 admits 17.0.1; 17.0.2 does
    // not admit 17).
    bool admitsAsMinimum(const JavaVersion& version) const { return compare(version, maxParts) <= 0; }

    // As a maximum: true when `version`, cut to as many components as this
    // one has, is this one or earlier. So the last component names a whole
    // family: 21 admits every 21.x, 21.99 admits 21.99.3, 17.0 admits 17.0.15.
    bool admitsAsMaximum(const JavaVersion& version) const { return version.compare(*this, count_) <= 0; }

    // True when this version comes after `other`, component by component.
    bool isNewerThan(const JavaVersion& other) const { return compare(other, maxParts) > 0; }

private:
    static constexpr int maxParts = 8;

    // Below, equal or above 0 as this version's first `count` components
    // come before, equal or after those of `other`.
    int compare(const JavaVersion& other, int count) const {
        for (int i = 0; i < count; ++i) {
            if (parts_[i] != other.parts_[i]) return parts_[i] < other.parts_[i] ? -1 : 1;
        }
        return 0;
    }

    // Unused components stay 0, which is what a missing one counts as; one
    // more than the most a version has, for the shift that drops "1.".
    std::uint32_t parts_[maxParts + 1] = {};
    int count_ = 0;
};

}  // namespace nv
