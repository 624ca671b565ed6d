#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "foundation/LauncherException.h"
#include "foundation/Log.h"
#include "tagfile/TagFile.h"
#include "tests/support/RunTest.h"
#include "tests/support/TestDirectory.h"

using nv::LauncherString;
using nv::TagFile;

namespace {

using Tags = std::vector<std::pair<std::string, std::vector<std::string>>>;

// Every tag with its values, in order.
Tags dump(const TagFile& file) {
    Tags tags;
    for (std::int32_t i = 0; i < file.tagCount(); ++i) {
        const LauncherString name = file.tagName(i);
        std::vector<std::string> values;
        for (std::int32_t v = 0; v < file.valueCount(name); ++v) values.push_back(file.value(name, v).str());
        tags.emplace_back(name.str(), values);
    }
    return tags;
}

class TagFileTest : public nv::RunTest {
protected:
    // A fresh file name in the test's directory.
    std::string tempPath() { return (dir_ / ("t" + std::to_string(++files_) + ".tag")).string(); }

    std::string writeText(const std::string& text) {
        std::string path = tempPath();
        nv::writeFile(path, text);
        return path;
    }

    TagFile parse(const std::string& text) {
        TagFile file;
        file.load(LauncherString(writeText(text)));
        return file;
    }

    // The message of the LauncherException that reading `text` as "t.tag" throws.
    std::string parseError(const std::string& text, TagFile& file) {
        const std::string path = writeText(text);
        std::FILE* f = std::fopen(path.c_str(), "rb");
        std::string message = "(no error)";
        try {
            file.readFrom(f, "t.tag");
        } catch (const nv::LauncherException& e) {
            message = e.message().str();
        }
        std::fclose(f);
        return message;
    }

private:
    nv::TestDirectory dir_{"tagfile_"};
    int files_ = 0;
};

TEST_F(TagFileTest, ReadsTagsValuesAndBlocks) {
    const struct {
        const char* text;
        Tags tags;
    } cases[] = {
        {"NAME:value", {{"NAME", {"value"}}}},
        {"NAME:   value  \n", {{"NAME", {"value"}}}},
        {"  NAME  :x", {{"NAME", {"x"}}}},
        {"NAME: a:b", {{"NAME", {"a:b"}}}},
        {": x", {{"", {"x"}}}},
        {"jvm_home:a\nJVM_HOME:b", {{"jvm_home", {"a"}}, {"JVM_HOME", {"b"}}}},
        {"NAME:  \t\nA\n/:\n", {{"NAME", {"A"}}}},
        {"NAME:x\nNAME:\n/:\n", {}},
        {"A:1\nB:2\nA:3\n", {{"B", {"2"}}, {"A", {"3"}}}},
        {"A:\n\n   \n\"\"\n\"  a\"\"b \"\n:LABEL\nx // y: z\n\"/:\"\nC:after",
         {{"A", {"  a\"b ", ":LABEL", "x // y: z"}}, {"C", {"after"}}}},
        {"A:\r\nx\ry\r\n/:\r\nB: q\rr\r\n", {{"A", {"xy"}}, {"B", {"qr"}}}},
        {"COMMAND: \"\"\"@JVM_HOME@/@JVM_EXE@\"\" run \"", {{"COMMAND", {"\"@JVM_HOME@/@JVM_EXE@\" run "}}}},
        {"NAME: \"\"", {{"NAME", {""}}}},
        {"NAME: \"a\" dropped", {{"NAME", {"a"}}}},
        {"", {}},
        {"\n \n\t\n", {}},
        {"DESC: Norvane Native Installer\nINSTRUCTIONS:\nINITIALIZE_UI\nINSTALL_JVM 1\n"
         "JMP0 @N1@ DO_INSTALL_ELSE\nLAUNCH @S1@ 0\nGOTO DO_INSTALL_DONE\n:DO_INSTALL_ELSE\n"
         ":DO_INSTALL_DONE\n/:\n",
         {{"DESC", {"Norvane Native Installer"}},
          {"INSTRUCTIONS",
           {"INITIALIZE_UI", "INSTALL_JVM 1", "JMP0 @N1@ DO_INSTALL_ELSE", "LAUNCH @S1@ 0", "GOTO DO_INSTALL_DONE",
            ":DO_INSTALL_ELSE", ":DO_INSTALL_DONE"}}}},
    };
    for (const auto& c : cases) EXPECT_EQ(dump(parse(c.text)), c.tags) << c.text;
}

TEST_F(TagFileTest, SyntaxErrorsNameTheLineAndGoToTheRunLog) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"A:1\n\nbad line\nC:3\n", "Syntax error in t.tag at line 3 ==> Missing colon at the end of the tag name."},
        {"A:1\nB:\nx\n\ny\n", "Syntax error in t.tag at line 2 ==> Missing /: tag completer."},
        {"A:1\r\nB:\r\nx", "Syntax error in t.tag at line 2 ==> Missing /: tag completer."},
    };
    for (const auto& c : cases) {
        const std::string log = tempPath();
        nv::setRunLogPath(LauncherString(log));
        TagFile file;
        EXPECT_EQ(parseError(c.text, file), c.message);
        EXPECT_EQ(file.value("A").str(), "1");  // what was read before the error stays
        EXPECT_NE(nv::readFile(log).find(std::string("ERROR: ") + c.message + "\n"), std::string::npos);
    }
}

TEST_F(TagFileTest, UnclosedQuoteIsThrownAsItStandsAndNotLogged) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"A: \"abc", "Expected double quote to end argument near 4"},
        {"A:\n\"abc\n/:\n", "Expected double quote to end argument near 1"},
        {"A:  \"x\"\"", "Expected double quote to end argument near -1"},
    };
    for (const auto& c : cases) {
        const std::string log = tempPath();
        nv::setRunLogPath(LauncherString(log));
        TagFile file;
        EXPECT_EQ(parseError(c.text, file), c.message);
        EXPECT_EQ(nv::readFile(log), "");
    }
}

TEST_F(TagFileTest, LoadOfAMissingFileNamesThePath) {
    TagFile file;
    const std::string path = testing::TempDir() + "no_such_dir/none.tag";
    try {
        file.load(LauncherString(path));
        ADD_FAILURE() << "no error";
    } catch (const nv::LauncherException& e) {
        EXPECT_EQ(e.message().str(), "Unable to load input file: " + path);
    }
}

TEST_F(TagFileTest, StretchStopsBeforeATagLineAtTheBound) {
    const std::string head = "JUNK no colon\n";
    const std::string body = "A:1\r\nB:\r\nx\r\n/:\r\nC:3\r\n";
    const std::string path = writeText(head + body + "TRAILING JUNK\n");
    const auto offset = static_cast<std::int32_t>(head.size());
    const auto cStart = static_cast<std::int32_t>(body.find("C:"));
    const struct {
        std::int32_t length;
        Tags tags;
    } cases[] = {
        {0, {}},
        {1, {{"A", {"1"}}}},
        {5, {{"A", {"1"}}}},
        {6, {{"A", {"1"}}, {"B", {"x"}}}},  // a block begun inside runs to its completer
        {cStart, {{"A", {"1"}}, {"B", {"x"}}}},
        {cStart + 1, {{"A", {"1"}}, {"B", {"x"}}, {"C", {"3"}}}},
    };
    for (const auto& c : cases) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        TagFile file;
        file.readFrom(f, "embedded", offset, c.length);
        std::fclose(f);
        EXPECT_EQ(dump(file), c.tags) << "length " << c.length;
    }
}

TEST_F(TagFileTest, StretchCountsLinesFromItsOffsetAndMerges) {
    const std::string path = writeText("X:0\nA:1\nB:2\nbad\n");
    std::FILE* f = std::fopen(path.c_str(), "rb");
    TagFile file;
    file.readFrom(f, "first", 0, 4);
    try {
        file.readFrom(f, "second", 4, nv::TagFile::toEndOfFile);
        ADD_FAILURE() << "no error";
    } catch (const nv::LauncherException& e) {
        EXPECT_EQ(e.message().str(), "Syntax error in second at line 3 ==> Missing colon at the end of the tag name.");
    }
    EXPECT_EQ(dump(file), (Tags{{"X", {"0"}}, {"A", {"1"}}, {"B", {"2"}}}));
    try {
        file.readFrom(f, "third", -1, nv::TagFile::toEndOfFile);
        ADD_FAILURE() << "no error";
    } catch (const nv::LauncherException& e) {
        EXPECT_EQ(e.message().str(), "Unable to read tag file.");
    }
    std::fclose(f);
}

TEST_F(TagFileTest, LookupsAndUpdates) {
    TagFile file = parse("A:\n1\n2\n3\n/:\nB:x\n");
    EXPECT_EQ(file.value("A", 2).str(), "3");
    EXPECT_EQ(file.value("A", 3).str(), "");
    EXPECT_EQ(file.value("A", -1).str(), "");
    EXPECT_EQ(file.value("missing").str(), "");
    EXPECT_EQ(file.valueCount("missing"), 0);

    file.setValue("A", "one");  // keeps its place, drops the other values
    file.addValue("B", "y");
    file.addValue("C", "new");
    file.removeTag("missing");
    EXPECT_EQ(dump(file), (Tags{{"A", {"one"}}, {"B", {"x", "y"}}, {"C", {"new"}}}));
    file.removeTag("B");
    file.setJvmInfo("C:\\jdk", "C:\\tmp\\jvm", true);
    file.setJvmInfo("C:\\jre", "C:\\tmp\\jvm2", false);
    EXPECT_EQ(dump(file), (Tags{{"A", {"one"}},
                                {"C", {"new"}},
                                {"JVM_HOME", {"C:\\jre"}},
                                {"JVM_FILE", {"C:\\tmp\\jvm2"}},
                                {"JVM_TEMP", {"0"}}}));
}

TEST_F(TagFileTest, BoolValueReadsAShortNumber) {
    const struct {
        const char* value;  // null: tag absent
        bool defaultValue;
        bool result;
    } cases[] = {
        {"1", false, true},    {"-3", false, true},     {"7abc", false, true}, {"0", true, false},
        {" 0", true, false},   {"yes", true, true},     {"yes", false, false}, {"", true, true},
        {nullptr, true, true}, {nullptr, false, false},
    };
    for (const auto& c : cases) {
        TagFile file;
        if (c.value) file.setValue("FLAG", c.value);
        EXPECT_EQ(file.boolValue("FLAG", c.defaultValue), c.result) << (c.value ? c.value : "(absent)");
    }
    TagFile file;
    file.setBoolValue("ON", true);
    file.setBoolValue("OFF", false);
    EXPECT_EQ(dump(file), (Tags{{"ON", {"1"}}, {"OFF", {"0"}}}));
}

TEST_F(TagFileTest, WritesPlainOrQuotedValues) {
    TagFile file;
    file.setValue("PLAIN", "a b");
    file.setValue("EMPTY", "");
    file.setValue("LEAD", " x");
    file.setValue("QUOTE", "say \"hi\"");
    file.addValue("BLOCK", "a");
    file.addValue("BLOCK", "");
    file.addValue("BLOCK", "b\t");
    file.addValue("BLOCK", "/:");
    file.addValue("GONE", "x");
    file.addValue("GONE", "y");
    file.setValue("GONE", "z");
    const std::string path = tempPath();
    file.write(LauncherString(path));
    EXPECT_EQ(nv::readFile(path),
              "PLAIN:  a b\n"
              "EMPTY:  \"\"\n"
              "LEAD:  \" x\"\n"
              "QUOTE:  \"say \"\"hi\"\"\"\n"
              "BLOCK:\n  a\n  \"\"\n  \"b\t\"\n  /:\n/:\n"
              "GONE:  z\n");
}

TEST_F(TagFileTest, WrittenFileReadsBack) {
    const std::vector<std::string> values = {
        "plain",  "",   " lead", "trail ",          "\"", "\"\"",           "a\"b",
        ":LABEL", "/:", "x: y",  "\"quoted\" tail", "\t", "\xe9\xff bytes", std::string("zero\0byte", 9),
    };
    TagFile file;
    for (std::size_t i = 0; i < values.size(); ++i)
        file.setValue(LauncherString("S" + std::to_string(i)), LauncherString(values[i]));
    for (const auto& v : values)
        if (v != "/:") file.addValue("BLOCK", LauncherString(v));
    const std::string path = tempPath();
    file.write(LauncherString(path));
    const Tags back = dump(parse(nv::readFile(path)));

    Tags expected;
    for (std::size_t i = 0; i < values.size(); ++i) expected.push_back({"S" + std::to_string(i), {values[i]}});
    // In a block an empty value is not stored; "/:" cannot be kept in one.
    std::vector<std::string> block;
    for (const auto& v : values)
        if (!v.empty() && v != "/:") block.push_back(v);
    expected.push_back({"BLOCK", block});
    EXPECT_EQ(back, expected);
}

TEST_F(TagFileTest, WriteToAPlaceThatCannotBeCreatedIsSilent) {
    TagFile file;
    file.setValue("A", "1");
    EXPECT_NO_THROW(file.write(LauncherString(testing::TempDir() + "no_such_dir/out.tag")));
}

}  // namespace
