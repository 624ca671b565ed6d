// The narrow command-line splitter of the Windows 9x family.
#include <gtest/gtest.h>

#include <vector>

#include "launcher/CommandLine.h"

namespace {

std::vector<std::string> split(const char* line) {
    nv::StringList list = nv::splitNarrowCommandLine(line);
    std::vector<std::string> out;
    for (std::int32_t i = 0; i < list.count(); ++i) out.push_back(list.get(i).str());
    return out;
}

}  // namespace

TEST(NarrowCommandLine, SplitsLikeTheSystem) {
    struct Case {
        const char* line;
        std::vector<std::string> args;
    } cases[] = {
        {"prog \"a b\" c\\\"d e\"f g\"h", {"prog", "a b", "c\"d", "ef gh"}},
        {"C:\\dir\\prog.exe x\\y", {"C:\\dir\\prog.exe", "x\\y"}},
        {"\"C:\\Program Files\\p.exe\" -nv:log \"C:\\my logs\\x.log\"",
         {"C:\\Program Files\\p.exe", "-nv:log", "C:\\my logs\\x.log"}},
        {"  \t\r\n ", {}},
        {"", {}},
        {"prog \"\" after", {"prog", "after"}},       // empty tokens are dropped
        {"prog \"ab\"cd", {"prog", "ab", "cd"}},      // a closing quote ends the token
        {"prog trailing\\", {"prog", "trailing"}},    // a final backslash is dropped
        {"prog \\\\server", {"prog", "\\\\server"}},  // an escaped backslash keeps both
        {"prog \"unterminated arg", {"prog", "unterminated arg"}},
        {"prog \"in \\\"quotes\\\"\"", {"prog", "in \"quotes\""}},
    };
    for (const Case& c : cases) EXPECT_EQ(split(c.line), c.args) << c.line;
}
