#include <gtest/gtest.h>

#include "foundation/LauncherString.h"

using nv::LauncherString;

TEST(LauncherString, ComparesByteWise) {
    EXPECT_LT(LauncherString("abc").compare("abd"), 0);
    EXPECT_LT(LauncherString("ab").compare("abc"), 0);
    EXPECT_NE(LauncherString("-NV:LOG"), LauncherString("-nv:log"));
    EXPECT_GT(LauncherString("\xe9").compare("z"), 0);  // unsigned bytes
}
