#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "foundation/LauncherException.h"
#include "foundation/RunSettings.h"
#include "text/NumberText.h"
#include "text/PathText.h"
#include "text/TextScanning.h"
#include "text/WideText.h"

using nv::LauncherString;
using Pos = LauncherString::size_type;
constexpr Pos npos = LauncherString::npos;

TEST(TextScanning, TrimsOnlyTheBlankSet) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {" \ta b\r\n", "a b"}, {"   ", ""}, {"", ""}, {"x", "x"}, {"\v x \f", "\v x \f"},
    };
    for (const auto& c : cases) {
        LauncherString s(c.in);
        nv::trimBlanks(s);
        EXPECT_EQ(s.str(), c.out) << "input: " << c.in;
    }
    LauncherString custom("--a-b--");
    nv::trimBlanks(custom, "-");
    EXPECT_EQ(custom.str(), "a-b");
}

TEST(TextScanning, ReadLineDropsCarriageReturnsAndTrims) {
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    const char bytes[] = "ab\r\ncd\na\rb\n  x\t \n\nlast";
    std::fwrite(bytes, 1, sizeof bytes - 1, f);
    std::rewind(f);
    const std::vector<std::string> expected = {"ab", "cd", "ab", "x", "", "last"};
    for (const auto& e : expected) EXPECT_EQ(nv::readLine(f).str(), e);
    EXPECT_EQ(nv::readLine(f).str(), "");  // at the end: nothing more
    std::fclose(f);
}

TEST(TextScanning, ReadLineFromTextMovesPastTheLineFeed) {
    const LauncherString text("ab\r\n c \nx");
    const struct {
        const char* line;
        Pos posAfter;
    } steps[] = {{"ab", 4}, {"c", 8}, {"x", 10}, {"", 10}};
    Pos pos = 0;
    for (const auto& s : steps) {
        EXPECT_EQ(nv::readLineFromText(text, pos).str(), s.line);
        EXPECT_EQ(pos, s.posAfter);
    }
    Pos beyond = npos;
    EXPECT_EQ(nv::readLineFromText(text, beyond).str(), "");
    EXPECT_EQ(beyond, npos);
}

TEST(TextScanning, NextTokenSplitsAtWhiteSpace) {
    const LauncherString text("  GOTO   LABEL");
    Pos pos = 0;
    LauncherString word;
    EXPECT_TRUE(nv::nextToken(text, pos, word));
    EXPECT_EQ(word.str(), "GOTO");
    EXPECT_EQ(pos, 7u);
    EXPECT_TRUE(nv::nextToken(text, pos, word));
    EXPECT_EQ(word.str(), "LABEL");
    EXPECT_FALSE(nv::nextToken(text, pos, word));
    EXPECT_EQ(word.str(), "");

    // Vertical tab and form feed separate words too; a line of them has none.
    const LauncherString wide("\vA\fB");
    pos = 0;
    EXPECT_TRUE(nv::nextToken(wide, pos, word));
    EXPECT_EQ(word.str(), "A");
    EXPECT_TRUE(nv::nextToken(wide, pos, word));
    EXPECT_EQ(word.str(), "B");
    pos = 0;
    EXPECT_FALSE(nv::nextToken(LauncherString(" \v\f\t"), pos, word));
    pos = npos;
    EXPECT_FALSE(nv::nextToken(text, pos, word));
}

TEST(TextScanning, ReadArgumentReadsQuotedAndPlainArguments) {
    const struct {
        const char* text;
        Pos start;
        bool quoted;
        const char* result;
        Pos posAfter;
    } cases[] = {
        {"\"a\"\"b\" rest", 1, true, "a\"b", 6},
        {"\"x\"", 1, true, "x", npos},
        {"\"\"", 1, true, "", npos},
        {"\"\"\"\"", 1, true, "\"", npos},
        {"\"a\"\"\"\"b\"", 1, true, "a\"\"b", npos},
        {"\" a \"tail", 1, true, " a ", 5},
        {"abc def", 0, false, "abc", 3},
        {"a\tb", 0, false, "a", 1},
        {"abc", 0, false, "abc", npos},
        {"", 0, false, "", npos},
        {"ab", npos, false, "", npos},
    };
    for (const auto& c : cases) {
        Pos pos = c.start;
        EXPECT_EQ(nv::readArgument(LauncherString(c.text), pos, c.quoted).str(), c.result) << c.text;
        EXPECT_EQ(pos, c.posAfter) << c.text;
    }
}

TEST(TextScanning, ReadArgumentReportsAMissingClosingQuote) {
    const struct {
        const char* text;
        Pos start;
        const char* near;
    } cases[] = {
        {"\"abc", 1, "1"}, {"\"a\"\"", 1, "-1"}, {"\"a\"\"b", 1, "4"}, {"\"", 1, "1"}, {"x", npos, "-1"},
    };
    for (const auto& c : cases) {
        Pos pos = c.start;
        try {
            nv::readArgument(LauncherString(c.text), pos, true);
            ADD_FAILURE() << "no error for " << c.text;
        } catch (const nv::LauncherException& e) {
            EXPECT_EQ(e.message().str(), std::string("Expected double quote to end argument near ") + c.near);
        }
    }
}

TEST(NumberText, ReadsLikeTheCLibrary) {
    const struct {
        const char* text;
        bool ok;
        std::int32_t value;
    } longs[] = {
        {"42", true, 42},
        {"  -17x", true, -17},
        {"+5", true, 5},
        {"\v\f\t\n 3", true, 3},
        {"007", true, 7},
        {"2147483647", true, std::numeric_limits<std::int32_t>::max()},
        {"-2147483648", true, std::numeric_limits<std::int32_t>::min()},
        {"2147483648", true, std::numeric_limits<std::int32_t>::max()},
        {"-99999999999999999999", true, std::numeric_limits<std::int32_t>::min()},
        {"abc", false, 0},
        {"", false, 0},
        {"-", false, 0},
        {"- 1", false, 0},
        {"x1", false, 0},
    };
    for (const auto& c : longs) {
        std::int32_t value = 99;
        EXPECT_EQ(nv::readLong(LauncherString(c.text), value), c.ok) << c.text;
        EXPECT_EQ(value, c.ok ? c.value : 99) << c.text;
    }

    const struct {
        const char* text;
        bool ok;
        std::int16_t value;
    } shorts[] = {
        {"7abc", true, 7},      {"-3", true, -3},         {"32767", true, 32767},
        {"40000", true, 32767}, {"-40000", true, -32768}, {"yes", false, 0},
    };
    for (const auto& c : shorts) {
        std::int16_t value = 99;
        EXPECT_EQ(nv::readShort(LauncherString(c.text), value), c.ok) << c.text;
        EXPECT_EQ(value, c.ok ? c.value : 99) << c.text;
    }
}

TEST(NumberText, FormatsPlainDecimal) {
    const struct {
        std::int32_t value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {42, "42"},
        {-1, "-1"},
        {std::numeric_limits<std::int32_t>::max(), "2147483647"},
        {std::numeric_limits<std::int32_t>::min(), "-2147483648"},
    };
    for (const auto& c : cases) EXPECT_EQ(nv::formatLong(c.value).str(), c.text);
}

TEST(NumberText, FormatsCountsPast32Bits) {
    const struct {
        std::uint64_t value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {9, "9"},
        {65536, "65536"},
        {4294967296ull, "4294967296"},
        {123456789012345ull, "123456789012345"},
        {std::numeric_limits<std::uint64_t>::max(), "18446744073709551615"},
    };
    for (const auto& c : cases) EXPECT_EQ(nv::formatCount(c.value).str(), c.text);
}

TEST(TextScanning, EndsWith) {
    const struct {
        const char* text;
        const char* suffix;
        bool result;
    } cases[] = {
        {"C:\\dir\\", "\\", true}, {"abc", "", true},    {"", "", true},   {"abcabc", "abc", true},
        {"ab", "abc", false},      {"abc", "ab", false}, {"", "a", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(nv::endsWith(LauncherString(c.text), LauncherString(c.suffix)), c.result)
            << c.text << " / " << c.suffix;
}

TEST(PathText, EnsureTrailingSeparator) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"", ""},
        {"C:\\dir", "C:\\dir\\"},
        {"C:\\dir\\", "C:\\dir\\"},
        {"C:/dir/", "C:/dir/\\"},
    };
    for (const auto& c : cases) {
        LauncherString path(c.in);
        nv::ensureTrailingSeparator(path);
        EXPECT_EQ(path.str(), c.out);
    }
}

TEST(PathText, LauncherDirectoryCutsAtTheLastSeparator) {
    const struct {
        const char* path;
        const char* directory;
    } cases[] = {
        {"C:\\a\\b\\setup.exe", "C:\\a\\b"},
        {"C:/a/b\\c/setup.exe", "C:/a/b\\c"},
        {"setup.exe", ""},
        {"\\setup.exe", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(nv::launcherDirectory(c.path).str(), c.directory) << c.path;
}

// Bytes outside escapes are ANSI text already and stay; each run of escapes
// is converted as a whole (here by a stand-in that shows what it got).
TEST(WideText, ConvertEscapesKeepsPlainBytes) {
    const auto show = [](const std::u16string& units) {
        std::string out = "[";
        for (char16_t u : units) out += std::to_string(static_cast<unsigned>(u)) + ";";
        return LauncherString(out + "]");
    };
    EXPECT_EQ(nv::convertEscapes("\xcc\xe0\xf1 \\u00e9\\ud83d\\ude00!", show).str(),
              "\xcc\xe0\xf1 [233;55357;56832;]!");
    EXPECT_EQ(nv::convertEscapes("plain", show).str(), "plain");
}

TEST(WideText, TurnsEscapesIntoCodeUnits) {
    const struct {
        const char* text;
        std::u16string wide;
    } cases[] = {
        {"A\\u00e9B", u"A\u00e9B"},
        {"\\U20AC", u"\u20ac"},
        {"\\u12", u"\\u12"},
        {"\\u41zz!", u"A!"},
        {"\\uzzzz", u"\\uzzzz"},
        {"\\x0041", u"\\x0041"},
        {"\\\\u0041", u"\\A"},
        {"\\u-001", u"\uffff"},
        {"\\u 4 1", u"\u0004"},
        {"\xe9\x80", u"\u00e9\u0080"},
        {"", u""},
    };
    for (const auto& c : cases) {
        const auto wide = nv::toWide(LauncherString(c.text));
        ASSERT_TRUE(wide.has_value());
        EXPECT_EQ(*wide, c.wide) << c.text;
    }
}
