#include <gtest/gtest.h>

#include "foundation/LauncherString.h"

using nv::LauncherString;

TEST(LauncherString, ComparesByteWise) {
    EXPECT_LT(LauncherString("abc").compare("abd"), 0);
    EXPECT_LT(LauncherString("ab").compare("abc"), 0);
    EXPECT_NE(LauncherString("-NV:LOG"), LauncherString("-nv:log"));
    EXPECT_GT(LauncherString("\xe9").compare("z"), 0);  // unsigned bytes
}

TEST(LauncherString, PositionedCompareTakesARunOfTheString) {
    LauncherString s("-nv:log");
    EXPECT_EQ(s.compare(4, 3, "log"), 0);
    EXPECT_EQ(s.compare(4, LauncherString::npos, "log"), 0);
    EXPECT_LT(s.compare(4, 2, "log"), 0);
    EXPECT_EQ(s.compare(7, 1, ""), 0);
    EXPECT_THROW(s.compare(8, 1, ""), nv::RangeException);
}

// Positions up to the length are valid; one past it is a program error.
TEST(LauncherString, PositionArgumentsUpToTheLength) {
    struct Case {
        const char* name;
        LauncherString (*op)(LauncherString);
        const char* expected;  // null: RangeException
    };
    const Case cases[] = {
        {"substr at length", [](LauncherString s) { return s.substr(4, 1); }, ""},
        {"substr at length, npos", [](LauncherString s) { return s.substr(4); }, ""},
        {"substr past length", [](LauncherString s) { return s.substr(5, 0); }, nullptr},
        {"substr npos count", [](LauncherString s) { return s.substr(1, LauncherString::npos); }, "bcd"},
        {"substr long count", [](LauncherString s) { return s.substr(1, 0xFFFFFFFEu); }, "bcd"},
        {"erase to npos", [](LauncherString s) { return s.erase(1); }, "a"},
        {"erase a run", [](LauncherString s) { return s.erase(1, 2); }, "ad"},
        {"erase at length", [](LauncherString s) { return s.erase(4, 3); }, "abcd"},
        {"erase past length", [](LauncherString s) { return s.erase(5); }, nullptr},
        {"insert at start", [](LauncherString s) { return s.insert(0, "x"); }, "xabcd"},
        {"insert at length", [](LauncherString s) { return s.insert(4, "x"); }, "abcdx"},
        {"insert past length", [](LauncherString s) { return s.insert(5, "x"); }, nullptr},
        {"replace a run", [](LauncherString s) { return s.replace(1, 2, "XYZ"); }, "aXYZd"},
        {"replace to npos", [](LauncherString s) { return s.replace(1, LauncherString::npos, "X"); }, "aX"},
        {"replace at length", [](LauncherString s) { return s.replace(4, 2, "X"); }, "abcdX"},
        {"replace past length", [](LauncherString s) { return s.replace(5, 0, "X"); }, nullptr},
        {"append a run past length", [](LauncherString s) { return s.append("xy", 3, 1); }, nullptr},
        {"part constructor", [](LauncherString s) { return LauncherString(s, 2); }, "cd"},
        {"part constructor past length", [](LauncherString s) { return LauncherString(s, 5); }, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.expected) {
            EXPECT_EQ(c.op("abcd").str(), c.expected);
        } else {
            EXPECT_THROW(c.op("abcd"), nv::RangeException);
        }
    }
    char out[4] = {};
    EXPECT_EQ(LauncherString("abcd").copyOut(out, 9, 2), 2u);
    EXPECT_EQ(std::string(out, 2), "cd");
    EXPECT_THROW(LauncherString("abcd").copyOut(out, 1, 5), nv::RangeException);
}

TEST(LauncherString, SearchesNeverThrow) {
    const LauncherString s("a.b.c");
    const auto npos = LauncherString::npos;
    struct Case {
        LauncherString::size_type found;
        LauncherString::size_type expected;
    };
    const Case cases[] = {
        {s.find('.'), 1},
        {s.find('.', 2), 3},
        {s.find('.', 5), npos},
        {s.find('.', 99), npos},
        {s.find("b.c"), 2},
        {s.find("", 5), 5},  // an empty pattern is found at a valid start
        {s.find("", 6), npos},
        {s.find("x"), npos},
        {s.rfind('.'), 3},
        {s.rfind('.', 2), 1},
        {s.rfind("a", 99), 0},
        {s.findFirstOf("cb"), 2},
        {s.findFirstOf("cb", 5), npos},
        {s.findLastOf("ab"), 2},
        {s.findFirstNotOf("a."), 2},
        {s.findFirstNotOf("a", 99), npos},
        {s.findLastNotOf("c."), 2},
        {LauncherString().findLastOf("a"), npos},
    };
    for (std::size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        EXPECT_EQ(cases[i].found, cases[i].expected) << "case " << i;
    }
}

TEST(LauncherString, ElementAccess) {
    LauncherString s("ab");
    EXPECT_EQ(s[1], 'b');
    EXPECT_EQ(s[2], '\0');
    EXPECT_EQ(LauncherString()[0], '\0');
    EXPECT_EQ(s.at(1), 'b');
    EXPECT_THROW(s.at(2), nv::RangeException);
    EXPECT_STREQ(LauncherString().c_str(), "");
    EXPECT_STREQ(LauncherString(nullptr).c_str(), "");
}

// Results beyond the longest string are refused before any byte is copied.
TEST(LauncherString, LengthBeyondTheLongestStringThrows) {
    EXPECT_THROW(LauncherString(LauncherString::maxLength + 1, 'x'), nv::LengthException);
    LauncherString s("abc");
    EXPECT_THROW(s.append("x", 0xFFFFFFFEu), nv::LengthException);
    EXPECT_THROW(s.append("x", LauncherString::maxLength - 2), nv::LengthException);
    EXPECT_EQ(s.str(), "abc");
}

// The appended text is the string itself, whose bytes move while it grows.
TEST(LauncherString, AppendingItselfDoublesTheText) {
    LauncherString a("abc");
    a.append(a);
    EXPECT_EQ(a.str(), "abcabc");
}
