// Java versions compared as numbers across both numbering schemes, as the
// JVM file's MIN_JAVA_VERSION and MAX_JAVA_VERSION bound them.
#include <gtest/gtest.h>

#include "jvm/JavaVersion.h"

namespace {

TEST(JavaVersionTest, BoundsAdmitVersionsOfEitherSchemeComponentByComponent) {
    const struct Case {
        const char* bound;
        bool maximum;
        const char* version;  // as a JVM reports it
        bool admitted;
    } cases[] = {
        // The old scheme's "1." is dropped and "_" comes before the update.
        {"8", false, "1.8.0_40", true},
        {"9", false, "1.8", false},
        {"1.8", false, "8", true},
        {"8.0.41", false, "1.8.0_40", false},
        {"1.8.0_40", false, "1.8.0_40", true},
        {"8", true, "1.8.0_401", true},
        {"1.8", true, "9", false},
        // Missing components count as 0 for a minimum.
        {"17", false, "17.0.15", true},
        {"17.0.15", false, "17", false},
        {"17", false, "11.0.2", false},
        {"17.0.2", false, "17.0.10", true},  // numbers, not text
        // A maximum's last component names a whole family.
        {"21", true, "21.0.9", true},
        {"21", true, "22", false},
        {"21.99", true, "21.0.9", true},
        {"21.99", true, "21.99.3", true},
        {"21.99", true, "21.100", false},
        {"21.99", true, "22.0.1", false},
        {"17.0", true, "17.0.15", true},
        {"17.0.15", true, "17.0.16", false},
        // Three-digit majors.
        {"99", false, "100.0.1", true},
        {"99", true, "100.0.1", false},
        // Suffixes of a reported version are ignored.
        {"17", false, "17-ea", true},
        {"21", true, "21+35", true},
        {"21", false, "21-internal", true},
        {"17.0.15", false, "17.0.15+6-LTS", true},
        {"11", true, "1.8.0_40-b01", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.maximum ? "max " : "min ") + c.bound + " with " + c.version);
        nv::JavaVersion bound;
        nv::JavaVersion version;
        ASSERT_TRUE(bound.read(c.bound, /*suffixAllowed=*/false));
        ASSERT_TRUE(version.read(c.version, /*suffixAllowed=*/true));
        EXPECT_EQ(c.maximum ? bound.admitsAsMaximum(version) : bound.admitsAsMinimum(version), c.admitted);
    }
}

TEST(JavaVersionTest, OnlyNumbersAndDotsInTheAcceptedFormsAreRead) {
    const struct Case {
        const char* text;
        bool asBound;     // in a JVM file: no suffix
        bool asReported;  // from a JVM: a suffix after "-" or "+"
    } cases[] = {
        {"17", true, true},
        {"1.8.0_40", true, true},
        {"1.2.3.4.5.6.7.8", true, true},
        {"999999999", true, true},
        {"17-ea", false, true},
        {"21+7", false, true},
        {"1.8.0_40-ea", false, true},
        {"", false, false},
        {"null", false, false},
        {"17.", false, false},
        {".17", false, false},
        {"17..0", false, false},
        {"17.x", false, false},
        {"v17", false, false},
        {" 17", false, false},
        {"17 ", false, false},
        {"17,0", false, false},
        {"1.8.0_40_1", false, false},
        {"1.8.0_40.1", false, false},
        {"-ea", false, false},
        {"1234567890", false, false},  // would not fit
        {"1.2.3.4.5.6.7.8.9", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        nv::JavaVersion version;
        EXPECT_EQ(version.read(c.text, /*suffixAllowed=*/false), c.asBound);
        EXPECT_EQ(version.read(c.text, /*suffixAllowed=*/true), c.asReported);
    }
}

}  // namespace
