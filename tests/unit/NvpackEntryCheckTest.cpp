// nvpack's checks of the entries as entries: names the launcher could not
// write out, types, ids and sources.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "tests/unit/NvpackFixture.h"

namespace {

class NvpackEntryCheckTest : public nvtest::NvpackFixture {};

}  // namespace

// The launcher writes entries out under their names, so each reason a name
// cannot be a plain file on Windows is refused, named as messages show it.
TEST_F(NvpackEntryCheckTest, NamesTheLauncherCouldNotWriteOutAreRefused) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "entry \"\": the name is empty"},
        {"..", "entry \"..\": the name stands for a directory"},
        {"..\\evil.exe", "entry \"..\\evil.exe\": the name holds a path"},
        {"a/b", "entry \"a/b\": the name holds a path"},
        {"C:evil", "entry \"C:evil\": the name holds a path"},
        {"*.jar", "entry \"*.jar\": the name holds one of the characters"},
        {"a|b", "the name holds one of the characters"},
        {"a\"b", "the name holds one of the characters"},
        {"a\x01"
         "b",
         "entry \"a\\x01b\": the name holds a control character"},
        {"a\x7f"
         "b",
         "entry \"a\\x7Fb\": the name holds a control character"},
        {"app.jar.", "entry \"app.jar.\": the name ends in a dot"},
        {"app.jar ", "entry \"app.jar \": the name ends in a dot or a blank"},
        {"CON", "entry \"CON\": the name is a device name"},
        {"lpt9.log", "the name is a device name"},
        {"Aux.tar.gz", "the name is a device name"},
        {"COM\xB9.txt", "the name is a device name"},
        {"CONOUT$", "the name is a device name"},
        {std::string(256, 'n'), "the name is longer than 255"},
        {"A.TAG", "entry \"A.TAG\": the name differs from entry \"a.tag\" only in case"},
        {"Input.TAG", "entry \"Input.TAG\": input.tag is the name of the input file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        nvpack::PackRequest r = request();
        r.entries[1] = {nv::typeApplicationArchive, 2, c.first, path("jvm.zip")};
        const std::string message = refusal(r);
        EXPECT_NE(message.find(c.second), std::string::npos) << message;
    }
}

TEST_F(NvpackEntryCheckTest, ATypeIdOrSourceTheLauncherFileCannotHoldIsRefused) {
    struct Case {
        const char* what;
        nvpack::PackEntry entry;  // beside the instruction program (id 1) and the carried JVM (id 2)
        std::string expected;
    };
    const Case cases[] = {
        {"type 8", {8, 3, "b.tag", path("a.tag")}, "entry \"b.tag\": type 8 is outside 0-7"},
        {"negative type", {-1, 3, "b.tag", path("a.tag")}, "type -1 is outside 0-7"},
        {"id beyond 32 bits", {6, 4294967296, "app.jar", path("jvm.zip")}, "file id does not fit in 32 bits"},
        {"duplicate id", {6, 1, "app.jar", path("jvm.zip")}, "file id 1 is used twice"},
        {"second program", {0, 3, "b.tag", path("a.tag")}, "second instruction program"},
        {"missing source",
         {6, 3, "app.jar", path("app.jar")},
         "entry \"app.jar\" (type 6, id 3): source file not found: " + path("app.jar")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        nvpack::PackRequest r = request();
        r.entries.push_back(c.entry);
        const std::string message = refusal(r);
        EXPECT_NE(message.find(c.expected), std::string::npos) << message;
    }
}

TEST_F(NvpackEntryCheckTest, ASourceOver2GiBIsRefused) {
    {
        std::ofstream big(dir / "big.bin", std::ios::binary);
        big.seekp(0x80000000LL);  // sparse: 2^31 + 1 bytes
        big.put('x');
    }
    nvpack::PackRequest r = request();
    r.entries[1].source = path("big.bin");
    EXPECT_NE(refusal(r).find("larger than 2147483647"), std::string::npos);
}
