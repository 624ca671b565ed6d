#include <gtest/gtest.h>

#include "foundation/StringList.h"

using nv::LauncherString;
using nv::StringList;

TEST(StringList, OutOfRangeYieldsTheSharedEmptyString) {
    StringList list;
    EXPECT_EQ(&list.last(), &LauncherString::emptyString());
    list.append("a");
    list.append("b");
    for (std::int32_t index : {-1, 2, 99}) {
        EXPECT_EQ(&list.get(index), &LauncherString::emptyString()) << index;
    }
    EXPECT_TRUE(LauncherString::emptyString().empty());
    EXPECT_EQ(list.last().str(), "b");
}

TEST(StringList, StoresCopiesAndPopsFromTheEnd) {
    StringList list;
    LauncherString s("first");
    list.append(s);
    list.insert(0, "zero");
    list.insert(2, "refused");
    s += "-changed";
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.get(0).str(), "zero");
    EXPECT_EQ(list.get(1).str(), "first");

    LauncherString out("old");
    EXPECT_TRUE(list.takeLast(out));
    EXPECT_EQ(out.str(), "first");
    EXPECT_TRUE(list.takeLast(out));
    EXPECT_EQ(out.str(), "zero");
    EXPECT_FALSE(list.takeLast(out));
    EXPECT_EQ(out.str(), "zero");
    EXPECT_TRUE(list.empty());
}
