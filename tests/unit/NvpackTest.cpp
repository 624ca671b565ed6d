// nvpack: what it builds is what the launcher reads, what it reports is what
// it wrote, and bad input leaves no output file behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <tuple>
#include <utility>
#include <vector>

#include <unistd.h>
#include <zlib.h>

#include "CommandLine.h"
#include "LittleEndian.h"
#include "NvpackProgram.h"
#include "Packer.h"
#include "ResourceTree.h"
#include "archive/EntryType.h"
#include "archive/LauncherFile.h"
#include "archive/LauncherFileFormat.h"
#include "foundation/LauncherException.h"
#include "tests/support/ResourceProgram.h"
#include "tests/support/SignedImage.h"
#include "tests/support/TestDirectory.h"

namespace fs = std::filesystem;

namespace {

// A program whose resources are `data` under each (type, name).
std::string programWithResources(const std::vector<std::pair<std::uint16_t, std::uint16_t>>& names,
                                 const std::string& data) {
    nvpack::ResourceTree tree;
    for (const auto& name : names) {
        nvpack::ResourceNode& datum = tree.root.findOrAdd(nvpack::ResourceName::of(name.first))
                                          .findOrAdd(nvpack::ResourceName::of(name.second))
                                          .findOrAdd(nvpack::ResourceName::of(0x409));
        datum.isDirectory = false;
        datum.data = data;
    }
    return nv::test::programWith(tree);
}

// What nvpack takes for a launcher stub: the progress dialogs 101 and 103
// and the first string table block; a manifest that branding can set the
// execution level in.
std::string fakeLauncher() {
    return programWithResources({{5, 101}, {5, 103}, {6, 1}, {24, 1}},
                                "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>");
}

class NvpackTest : public ::testing::Test {
protected:
    void SetUp() override {
        write("stub.exe", stub);
        write("a.tag", "INSTRUCTIONS:\nSET N1=1\n/:\n");
        write("jvm.zip", std::string(1000, 'j'));
        fs::create_directories(dir / "adir");
    }
    std::string path(const char* name) const { return (dir / name).string(); }
    void write(const char* name, const std::string& bytes) const { nv::writeFile(dir / name, bytes); }
    std::string read(const char* name) const { return nv::readFile(dir / name); }
    nvpack::PackRequest request() const {
        nvpack::PackRequest r;
        r.stub = path("stub.exe");
        r.output = path("out.exe");
        r.modeByte = 0;
        r.entries.push_back({nv::typeInstructions, 1, "a.tag", path("a.tag")});
        r.entries.push_back({nv::typeCarriedJvm, 2, "jvm.zip", path("jvm.zip")});
        return r;
    }
    std::string refusal(const nvpack::PackRequest& r) const {
        try {
            nvpack::pack(r);
        } catch (const nvpack::PackError& e) {
            EXPECT_FALSE(fs::exists(r.output)) << e.what();
            EXPECT_FALSE(fs::exists(r.output + ".nvpack-tmp"));
            return e.what();
        }
        return "";
    }
    // nvpack's arguments from words separated by single blanks (two blanks
    // hold an empty word); "@name" is the file name in the test's directory.
    std::vector<std::string> words(const std::string& line) const {
        std::vector<std::string> out;
        std::string::size_type start = 0;
        for (;;) {
            const std::string::size_type end = line.find(' ', start);
            std::string word = line.substr(start, end - start);
            out.push_back(word.compare(0, 1, "@") == 0 ? (dir / word.substr(1)).string() : word);
            if (end == std::string::npos) return out;
            start = end + 1;
        }
    }
    std::set<std::string> listing() const {
        std::set<std::string> names;
        for (const auto& item : fs::directory_iterator(dir.path())) names.insert(item.path().filename().string());
        return names;
    }

    // Every file below the test's directory, by path, with its bytes.
    std::map<std::string, std::string> contents() const {
        std::map<std::string, std::string> files;
        for (const auto& item : fs::recursive_directory_iterator(dir.path())) {
            if (item.is_regular_file()) files[item.path().string()] = nv::readFile(item.path());
        }
        return files;
    }

    const std::string stub = fakeLauncher();
    nv::TestDirectory dir{"nvpack_"};
};

}  // namespace

TEST_F(NvpackTest, TheLauncherReadsWhatNvpackWrites) {
    nvpack::pack(request());
    nv::LauncherFile file(nv::LauncherString(path("out.exe")));
    file.loadIndex();
    ASSERT_EQ(file.entryCount(), 2);
    const nv::FileIndexEntry& jvm = *file.entryById(2);
    EXPECT_EQ(jvm.name, nv::LauncherString("jvm.zip"));
    EXPECT_FALSE(jvm.compressed);
    std::string out = read("out.exe");
    EXPECT_EQ(out.substr(0, stub.size()), stub);
    EXPECT_EQ(out.substr(static_cast<std::size_t>(jvm.offset), 1000), std::string(1000, 'j'));
    EXPECT_EQ(nv::readModeByte(nv::LauncherString(path("out.exe"))), 0);
    // Each entry's CRC-32 as zlib computes it over the bytes in the file.
    for (std::int32_t i = 0; i < file.entryCount(); ++i) {
        const nv::FileIndexEntry& e = *file.entryAt(i);
        const std::string bytes = out.substr(static_cast<std::size_t>(e.offset), static_cast<std::size_t>(e.length));
        EXPECT_TRUE(e.hasCrc) << i;
        EXPECT_EQ(e.crc, crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size()))) << i;
    }
}

// A file packed now whose block lost its magic value is not one of before the
// checksums, to be read unchecked: the bytes in front of its index are damage.
TEST_F(NvpackTest, AFilePackedNowThatLostItsChecksumMagicIsDamaged) {
    nvpack::pack(request());
    std::string out = read("out.exe");
    const std::size_t magic = out.rfind("NVC2");
    ASSERT_NE(magic, std::string::npos);
    out.replace(magic, 4, std::string(4, '\0'));
    write("before.exe", out);
    nv::LauncherFile unchecked(nv::LauncherString(path("before.exe")));
    try {
        unchecked.loadIndex();
        ADD_FAILURE() << "read without its checksums";
    } catch (const nv::LauncherException& e) {
        EXPECT_EQ(e.message().str(), "The launcher file is damaged. Please download it again.");
    }
}

namespace {

// A launcher file as an older nvpack wrote it: before the checksums (none),
// or with the entries' checksums alone (their CRC-32s, count and "NVCK", no
// index CRC-32). The block in front of the index is made again, with the
// alignment zeros in front of it, and the index offset moved.
std::string asOlderNvpackWrote(const std::string& file, bool entryChecksums) {
    struct Source : nv::format::ByteSource {
        Source(const std::string& b, std::size_t from) : bytes(b), at(from) {}
        int next() override { return at < bytes.size() ? static_cast<unsigned char>(bytes[at++]) : -1; }
        const std::string& bytes;
        std::size_t at;
    };
    Source trailer(file, file.size() - 8);
    const std::size_t indexOffset = nv::format::readUint32(trailer, "no index offset");
    Source index(file, indexOffset);
    const std::uint32_t count = nv::format::readUint32(index, "no count");
    std::size_t dataEnd = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const nv::FileIndexEntry e = nv::format::readIndexEntry(index);
        dataEnd = std::max(dataEnd, static_cast<std::size_t>(e.offset) + static_cast<std::size_t>(e.length));
    }
    std::string block;
    if (entryChecksums) block = file.substr(indexOffset - 8 - 4 * count, 4 * count + 4) + "NVCK";
    const auto mode = static_cast<std::uint8_t>(file[file.size() - nv::format::modeByteFromEnd]);
    const std::string indexBytes = file.substr(indexOffset, file.size() - nv::format::modeByteFromEnd - indexOffset);
    std::string old = file.substr(0, dataEnd);
    old.append((8 - (dataEnd + block.size() + indexBytes.size() + nv::format::modeByteFromEnd) % 8) % 8, '\0');
    old += block;
    const auto oldIndexOffset = static_cast<std::uint32_t>(old.size());
    old += indexBytes;
    nv::format::appendTrailer(old, mode, oldIndexOffset);
    return old;
}

}  // namespace

// tests/unit/data/packed-before-checksums.bin: a small stub of nvpack's tests
// with four entries, written by nvpack as it was before the checksums;
// packed-with-entry-checksums.bin: the same, written by the nvpack that
// checked the entries alone.
TEST_F(NvpackTest, FilesOfOlderNvpacksAreReadAsTheyWereAndAreWhatTheChecksumsAreAddedTo) {
    const std::string old = nv::readFile(fs::path(NV_TEST_DATA) / "packed-before-checksums.bin");
    const std::string entryChecksumsOnly = nv::readFile(fs::path(NV_TEST_DATA) / "packed-with-entry-checksums.bin");
    write("old.exe", old);
    nv::LauncherFile file(nv::LauncherString(path("old.exe")));
    file.loadIndex();
    ASSERT_EQ(file.entryCount(), 4);
    nvpack::PackRequest again;
    again.stub = path("stub.exe");
    again.output = path("now.exe");
    again.modeByte = nv::readModeByte(nv::LauncherString(path("old.exe")));
    again.checkContents = false;
    for (std::int32_t i = 0; i < file.entryCount(); ++i) {
        const nv::FileIndexEntry& e = *file.entryAt(i);
        EXPECT_FALSE(e.hasCrc) << i;
        const std::string source = "source" + std::to_string(i);
        write(source.c_str(), old.substr(static_cast<std::size_t>(e.offset), static_cast<std::size_t>(e.length)));
        again.entries.push_back({e.type, e.fileId, e.name.str(), path(source.c_str())});
    }
    write("stub.exe", old.substr(0, static_cast<std::size_t>(file.entryAt(0)->offset)));
    nvpack::pack(again);
    const std::string now = read("now.exe");
    EXPECT_NE(now, old);
    EXPECT_EQ(asOlderNvpackWrote(now, false), old);
    // The nvpack that checked the entries alone wrote their block, less the index's CRC-32, in the same place.
    EXPECT_EQ(asOlderNvpackWrote(now, true), entryChecksumsOnly);

    write("checked.exe", entryChecksumsOnly);
    nv::LauncherFile checked(nv::LauncherString(path("checked.exe")));
    checked.loadIndex();
    ASSERT_EQ(checked.entryCount(), 4);
    for (std::int32_t i = 0; i < 4; ++i) EXPECT_TRUE(checked.entryAt(i)->hasCrc) << i;
}

TEST_F(NvpackTest, ASuccessfulRunReportsEachEntryAndTheTotals) {
    nvpack::PackResult result = nvpack::pack(request());
    // The payload is everything behind the stub.
    const auto payload = std::to_string(fs::file_size(dir / "out.exe") - stub.size());
    EXPECT_EQ(result.report,
              "entry: type 0, id 1, name \"a.tag\", 26 bytes\n"
              "entry: type 4, id 2, name \"jvm.zip\", 1000 bytes\n"
              "branding: none, the stub's icon, version information and execution level stay\n"
              "total: 2 entries, " +
                  payload + " payload bytes, written to " + path("out.exe") + "\n");
    EXPECT_TRUE(result.warnings.empty());

    // Without an instruction program only an input file can drive the launcher.
    nvpack::PackRequest noProgram = request();
    noProgram.entries.erase(noProgram.entries.begin());
    noProgram.output = path("noProgram.exe");
    result = nvpack::pack(noProgram);
    ASSERT_EQ(result.warnings.size(), 1u);
    EXPECT_NE(result.warnings[0].find("no instruction program (type 0)"), std::string::npos);
    EXPECT_EQ(result.report.substr(result.report.find("total:")),
              "total: 1 entry, " + std::to_string(fs::file_size(dir / "noProgram.exe") - stub.size()) +
                  " payload bytes, written to " + path("noProgram.exe") + "\n");
}

TEST_F(NvpackTest, RefusalsNameTheCauseAndLeaveNoOutput) {
    const std::string run = "--stub @stub.exe --out @out.exe ";
    const std::string program = run + "--entry 0 1 a.tag @a.tag ";
    const std::string manifest = program + "--manifest @m.nvpack";
    // Tag files the launcher would fail on at run time, one fault each.
    const std::pair<const char*, const char*> faulty[] = {
        {"syntax.tag", "INSTRUCTIONS:\nGOTO END\n:END\n"},
        {"nowhere.tag", "INSTRUCTIONS:\n// comment\nGOTO NOWHERE\n:END\n/:\n"},
        {"jump.tag", "INSTRUCTIONS:\nJMP0 @N1@ @S1@\nJMP0 0 ELSEWHERE\n/:\n"},
        {"unknown.tag", "INSTRUCTIONS:\nFOO 1\n/:\n"},
        {"find.tag", "INSTRUCTIONS:\nFIND_JVM 1\n/:\n"},
        {"boolean.tag", "INSTRUCTIONS:\nVERIFY 2 0 7\n/:\n"},
        {"install.tag", "INSTRUCTIONS:\nINSTALL_JVM 1\n/:\n"},
        {"installmode.tag", "INSTRUCTIONS:\nINSTALL_JVM 3\n/:\n"},
        {"ilaunch.tag", "INSTRUCTIONS:\nILAUNCH @N2@ 5\nILAUNCH 9 5\n/:\n"},
        {"verify.tag", "INSTRUCTIONS:\nVERIFY 1 1 2\n/:\n"},
        {"seconds.tag", "INSTRUCTIONS:\nLAUNCH \"a b.tag\" soon\n/:\n"},
        {"execute.tag", "INSTRUCTIONS:\nEXECUTE_LAUNCHER 1\n/:\n"},
        {"set.tag", "INSTRUCTIONS:\nSET N1 1\n/:\n"},
        {"single.tag", "SINGLE_INSTANCE: yes\nINSTRUCTIONS:\nEXIT 0\n/:\n"},
        {"exit.tag", "INSTRUCTIONS:\nMESSAGE \"No Java\"\nEXIT three\n/:\n"},
        {"variable.tag", "INSTRUCTIONS:\nSET N9 = 1\n/:\n"},
        {"jvm.tag", "JVM_EXE: bin\\java.exe\n"},
        {"nojvmexe.tag", "DESC: a JVM without its program\n"},
        {"function.tag", "COMMAND: \"%JAVA%()\" -jar x.jar\n"},
        {"replace.tag", "COMMAND: @JVM_HOME@ %CP%(\"a\", \"b\") %REPLACE%(\"a\", \"b\")\n"},
        {"archive.tag", "COMMAND: java\nARCHIVE: %TEMP_DIR%(\"x\")/app.jar\n"},
        {"nested.tag", "COMMAND: java %CP%()\nARCHIVE: \"%CP%()\"\n"},
        {"nocommand.tag", "COMAND: java -jar app.jar\nDESC: a typo\n"},
        {"noinstructions.tag", "INSTRUCTION:\nGOTO END\n:END\n/:\n"},
        {"verifies.tag", "INSTRUCTIONS:\nSET N1 = 1\nVERIFY 1 0 3\n/:\n"},
        {"finds.tag", "INSTRUCTIONS:\nFIND_JVM 1 0\n/:\n"},
        {"properties.tag", "JVM_EXE: bin\\java.exe\nJVM_PROPERTIES: java.version=17...\n"},
        {"suffixed.tag", "JVM_EXE: bin\\java.exe\nMIN_JAVA_VERSION: 17-ea\n"},
        {"wordmax.tag", "JVM_EXE: bin\\java.exe\nMAX_JAVA_VERSION: 21.x\n"},
        {"emptymin.tag", "JVM_EXE: bin\\java.exe\nMIN_JAVA_VERSION: \"\"\n"},
        {"crossed.tag", "JVM_EXE: bin\\java.exe\nMIN_JAVA_VERSION: 22\nMAX_JAVA_VERSION: 21.99\n"},
        {"ranged.tag", "JVM_EXE: bin\\java.exe\nMAX_JAVA_VERSION: 21\n"},
        {"application.tag", "COMMAND: java -jar \"%APPLICATION_ARCHIVE%()\"\n"},
        {"classpath.tag", "COMMAND: java %CP%(\"a.jar\", \"%CP%()\")\n"},
    };
    for (const auto& f : faulty) write(f.first, f.second);
    const std::string carried = "--entry 4 2 jvm.zip @jvm.zip --entry 1 3 jvm.tag @jvm.tag ";
    auto checked = [&run, &carried](const char* source) { return run + carried + "--entry 0 1 p.tag @" + source; };
    struct Case {
        const char* what;
        std::string manifest;  // written to m.nvpack when not empty
        std::string commandLine;
        std::string expected;
    };
    const Case cases[] = {
        // Names the launcher could not write out, one of each reason.
        {"empty name", "", program + "--entry 6 2  @jvm.zip", "entry \"\": the name is empty"},
        {"parent", "", program + "--entry 6 2 .. @jvm.zip", "entry \"..\": the name stands for a directory"},
        {"backslash", "", program + "--entry 6 2 ..\\evil.exe @jvm.zip",
         "entry \"..\\evil.exe\": the name holds a path"},
        {"slash", "", program + "--entry 6 2 a/b @jvm.zip", "entry \"a/b\": the name holds a path"},
        {"drive", "", program + "--entry 6 2 C:evil @jvm.zip", "entry \"C:evil\": the name holds a path"},
        {"wildcard", "", program + "--entry 6 2 *.jar @jvm.zip",
         "entry \"*.jar\": the name holds one of the characters"},
        {"pipe", "", program + "--entry 6 2 a|b @jvm.zip", "the name holds one of the characters"},
        {"quote", "", program + "--entry 6 2 a\"b @jvm.zip", "the name holds one of the characters"},
        {"control character", "",
         program + "--entry 6 2 a\x01"
                   "b @jvm.zip",
         "entry \"a\\x01b\": the name holds a control character"},
        {"delete character", "",
         program + "--entry 6 2 a\x7f"
                   "b @jvm.zip",
         "entry \"a\\x7Fb\": the name holds a control character"},
        {"trailing dot", "", program + "--entry 6 2 app.jar. @jvm.zip", "entry \"app.jar.\": the name ends in a dot"},
        {"trailing blank", "ENTRY: 6 2 \"app.jar \" jvm.zip\n", manifest,
         "entry \"app.jar \": the name ends in a dot or a blank"},
        {"device", "", program + "--entry 6 2 CON @jvm.zip", "entry \"CON\": the name is a device name"},
        {"device in lower case with an extension", "", program + "--entry 6 2 lpt9.log @jvm.zip",
         "the name is a device name"},
        {"device with two extensions", "", program + "--entry 6 2 Aux.tar.gz @jvm.zip", "the name is a device name"},
        {"long name", "", program + "--entry 6 2 " + std::string(256, 'n') + " @jvm.zip",
         "the name is longer than 255"},
        {"names differing in case", "", program + "--entry 6 2 A.TAG @jvm.zip",
         "entry \"A.TAG\": the name differs from entry \"a.tag\" only in case"},
        {"input.tag", "", program + "--entry 6 2 Input.TAG @jvm.zip",
         "entry \"Input.TAG\": input.tag is the name of the input file"},
        // Entries.
        {"missing source", "", program + "--entry 6 2 app.jar @app.jar",
         "entry \"app.jar\" (type 6, id 2): source file not found: " + path("app.jar")},
        {"type 8", "", run + "--entry 8 1 a.tag @a.tag", "type 8 is outside 0-7"},
        {"negative type", "", run + "--entry -1 1 a.tag @a.tag", "type -1 is outside 0-7"},
        {"type beyond 32 bits", "", run + "--entry 4294967296 1 a.tag @a.tag", "outside 0-7"},
        {"type not a number", "", run + "--entry 0x0 1 a.tag @a.tag", "the type is not a number"},
        {"id beyond 32 bits", "", run + "--entry 0 4294967296 a.tag @a.tag", "file id does not fit in 32 bits"},
        {"duplicate id", "", program + "--entry 6 1 app.jar @jvm.zip", "file id 1 is used twice"},
        {"second program", "", program + "--entry 0 2 b.tag @a.tag", "second instruction program"},
        // The command line.
        {"mode 256", "", program + "--mode 256", "the mode byte must be 0 to 255"},
        {"mode beyond 32 bits", "", program + "--mode 4294967298", "the mode byte must be 0 to 255"},
        {"missing stub", "", "--stub @none.exe --out @out.exe --entry 0 1 a.tag @a.tag",
         "--stub " + path("none.exe") + ": stub not found"},
        {"no output", "", "--stub @stub.exe --entry 0 1 a.tag @a.tag", "--out (or OUTPUT in a manifest) is required"},
        {"output is a directory", "", "--stub @stub.exe --out @adir --entry 0 1 a.tag @a.tag",
         "--out " + path("adir") + " is a directory"},
        {"unknown argument", "", program + "--verbose", "unknown argument \"--verbose\""},
        {"incomplete entry", "", run + "--entry 0 1 a.tag", "--entry needs 4 values"},
        {"compressed entry", "", run + "--compressed-entry 4 2 jvm.zip @jvm.zip 3 5000",
         "--compressed-entry is not supported"},
        {"stub twice", "", program + "--stub @stub.exe", "the stub is given twice, by --stub and by --stub"},
        // Manifests.
        {"unknown tag", "MODUS: 2\n", manifest, "unknown tag \"MODUS\""},
        {"tag in lower case", "mode: 2\n", manifest, "unknown tag \"mode\""},
        {"REPLACE as a word", "REPLACE: yes\n", manifest, "m.nvpack line 1: REPLACE must be 0 or 1, not \"yes\""},
        {"REPLACE 2", "REPLACE: 2\n", manifest, "must be 0 or 1, not \"2\""},
        {"MODE as a word", "MODE: two\n", manifest, "m.nvpack line 1: MODE is not a number: \"two\""},
        {"two stubs", "STUB:\nstub.exe\nstub.exe\n/:\n", "--out @out.exe --manifest @m.nvpack",
         "takes exactly one value"},
        {"compressed entry", "ENTRY: 4 2 jvm.zip jvm.zip 3 5000\n", manifest,
         "line 1: ENTRY: FILECOUNT and SIZE are not supported"},
        {"three fields", "ENTRY: 0 1 a.tag\n", run + "--manifest @m.nvpack", "line 1: ENTRY needs TYPE ID NAME SOURCE"},
        {"unclosed quote", "ENTRY: 0 1 \"a.tag a.tag\n", run + "--manifest @m.nvpack",
         "line 1: ENTRY: Expected double quote"},
        {"syntax error", "MODE: 2\nOOPS\n", manifest, "Syntax error in"},
        {"manifest is a directory", "", program + "--manifest @adir", "is a directory, not a file"},
        {"missing manifest", "", program + "--manifest @none.nvpack", "manifest not found"},
        {"mode in both", "MODE: 2\n", program + "--mode 2 --manifest @m.nvpack",
         "the mode byte is given twice, by --mode and by MODE in "},
        {"output in both", "OUTPUT: out.exe\nENTRY: 0 1 a.tag a.tag\n",
         "--manifest @m.nvpack --stub @stub.exe --out @out.exe", "the output file is given twice, by OUTPUT in "},
        {"replace in both", "REPLACE: 0\n", program + "--replace --manifest @m.nvpack",
         "replacing a payload is given twice"},
        {"no-check twice", "", program + "--no-check --no-check", "skipping the content check is given twice"},
        // What the launcher would fail on at run time, found with its own readers.
        {"tag-file syntax", "", checked("syntax.tag"),
         "entry \"p.tag\" (" + path("syntax.tag") + "): Syntax error in p.tag at line 1 ==> Missing /: tag completer."},
        {"label that does not exist", "", checked("nowhere.tag"),
         "entry \"p.tag\" (" + path("nowhere.tag") +
             "): INSTRUCTIONS line 2 (\"GOTO NOWHERE\"): Label not found (NOWHERE)"},
        {"JMP0 to no label", "", checked("jump.tag"),
         "INSTRUCTIONS line 2 (\"JMP0 0 ELSEWHERE\"): Label not found (ELSEWHERE)"},
        {"unknown command", "", checked("unknown.tag"), "INSTRUCTIONS line 1 (\"FOO 1\"): Invalid command (FOO)."},
        {"missing argument", "", checked("find.tag"), "The second argument to FIND_JVM should be"},
        {"boolean 2", "", checked("boolean.tag"), "line 1 (\"VERIFY 2 0 7\"):  Invalid boolean value (2)"},
        {"INSTALL_JVM without a carried JVM", "", run + "--entry 0 1 p.tag @install.tag",
         "INSTALL_JVM needs a carried JVM (type 4), and the launcher file carries none."},
        {"INSTALL_JVM mode 3", "", checked("installmode.tag"),
         "The first argument to INSTALL_JVM should be a 0, 1 or 2."},
        {"ILAUNCH of a missing JVM file", "", checked("ilaunch.tag"),
         "line 2 (\"ILAUNCH 9 5\"): ILAUNCH names JVM file id 9, and the launcher file carries no JVM file (type 1)"},
        {"VERIFY of an entry that is no JVM file", "", checked("verify.tag"), "VERIFY names JVM file id 2"},
        {"LAUNCH seconds as a word", "", checked("seconds.tag"), "Invalid numeric expression (soon)"},
        {"EXECUTE_LAUNCHER at a position without a launcher", "", checked("execute.tag"),
         "EXECUTE_LAUNCHER names index position 1, which holds no embedded launcher (type 7)."},
        {"SET without =", "", checked("set.tag"), "SET statement is missing =."},
        {"EXIT with a word", "", checked("exit.tag"), "line 2 (\"EXIT three\"): Invalid numeric expression (three)"},
        {"SINGLE_INSTANCE as a word", "", checked("single.tag"),
         "entry \"p.tag\" (" + path("single.tag") + "): SINGLE_INSTANCE must be 0 or 1, not \"yes\""},
        {"SET of no variable", "", checked("variable.tag"), "line 1 (\"SET N9 = 1\"): Invalid variable specified"},
        {"JVM file without JVM_EXE", "", program + "--entry 1 2 jvm.tag @nojvmexe.tag",
         "entry \"jvm.tag\" (" + path("nojvmexe.tag") + "): a JVM file needs JVM_EXE"},
        {"unknown function", "", program + "--entry 2 2 s.tag @function.tag",
         "entry \"s.tag\" (" + path("function.tag") + "): COMMAND: Launch script error: Invalid function name (JAVA)."},
        {"REPLACE with 2 arguments", "", program + "--entry 2 2 s.tag @replace.tag",
         "REPLACE function requires 3 arguments."},
        {"archive template", "", program + "--entry 2 2 s.tag @archive.tag",
         "ARCHIVE: Launch script error: TEMP_DIR function takes 0"},
        {"CP inside ARCHIVE", "", program + "--entry 2 2 s.tag @nested.tag",
         "ARCHIVE: Launch script error: The class path refers to itself: %CP% may not stand in ARCHIVE"},
        {"launch script without COMMAND", "", program + "--entry 2 2 s.tag @nocommand.tag",
         "entry \"s.tag\" (" + path("nocommand.tag") + "): a launch script needs COMMAND"},
        {"instruction file without INSTRUCTIONS", "", run + "--entry 0 1 p.tag @noinstructions.tag",
         "entry \"p.tag\" (" + path("noinstructions.tag") + "): an instruction file needs INSTRUCTIONS"},
        // A verification needs the verification archive (type 5).
        {"VERIFY without a verification archive", "", checked("verifies.tag"),
         "entry \"p.tag\" (" + path("verifies.tag") +
             "): INSTRUCTIONS line 2 (VERIFY) verifies a JVM, but the "
             "launcher carries no verification archive (type 5)"},
        {"FIND_JVM without a verification archive", "", checked("finds.tag"),
         "INSTRUCTIONS line 1 (FIND_JVM) verifies a JVM"},
        {"JVM_PROPERTIES without a verification archive", "", program + "--entry 1 2 jvm.tag @properties.tag",
         "entry \"jvm.tag\" (" + path("properties.tag") +
             "): JVM_PROPERTIES verifies a JVM, but the launcher carries no "
             "verification archive (type 5)"},
        {"MAX_JAVA_VERSION without a verification archive", "", program + "--entry 1 2 jvm.tag @ranged.tag",
         "entry \"jvm.tag\" (" + path("ranged.tag") +
             "): MAX_JAVA_VERSION verifies a JVM, but the launcher carries no verification archive (type 5)"},
        // Java versions the launcher could not compare, and a range nothing meets.
        {"MIN_JAVA_VERSION with a suffix", "", program + "--entry 1 2 jvm.tag @suffixed.tag",
         "entry \"jvm.tag\" (" + path("suffixed.tag") +
             "): MIN_JAVA_VERSION \"17-ea\" is not a Java version; write numbers and dots, such as 17, 21.0.2 or "
             "1.8.0_40"},
        {"MAX_JAVA_VERSION with a letter", "", program + "--entry 1 2 jvm.tag @wordmax.tag",
         "): MAX_JAVA_VERSION \"21.x\" is not a Java version"},
        {"empty MIN_JAVA_VERSION", "", program + "--entry 1 2 jvm.tag @emptymin.tag",
         "): MIN_JAVA_VERSION \"\" is not a Java version"},
        {"MIN_JAVA_VERSION above MAX_JAVA_VERSION", "", program + "--entry 1 2 jvm.tag @crossed.tag",
         "entry \"jvm.tag\" (" + path("crossed.tag") +
             "): MIN_JAVA_VERSION 22 is above MAX_JAVA_VERSION 21.99, so no Java can meet both"},
        {"APPLICATION_ARCHIVE without an application archive", "", program + "--entry 2 2 s.tag @application.tag",
         "entry \"s.tag\" (" + path("application.tag") +
             "): COMMAND: Launch script error: %APPLICATION_ARCHIVE%() "
             "extracts the application archive, but the launcher carries none (type 6)"},
        {"CP inside an argument of CP", "", program + "--entry 2 2 s.tag @classpath.tag",
         "COMMAND: Launch script error: The class path refers to itself"},
        {"device name with a superscript digit", "", program + "--entry 6 2 COM\xB9.txt @jvm.zip",
         "the name is a device name"},
        {"console device", "", program + "--entry 6 2 CONOUT$ @jvm.zip", "the name is a device name"},
        {"faulty content packed with --no-check", "",
         run + "--entry 0 1 p.tag @unknown.tag --entry 2 2 s.tag @function.tag --no-check", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.manifest.empty()) write("m.nvpack", c.manifest);
        const std::set<std::string> before = listing();
        std::string message;
        try {
            nvpack::pack(nvpack::parseCommandLine(words(c.commandLine)));
        } catch (const nvpack::PackError& e) {
            message = e.what();
        }
        if (c.expected.empty()) {
            EXPECT_EQ(message, "");
            EXPECT_TRUE(fs::exists(dir / "out.exe"));
        } else {
            EXPECT_NE(message.find(c.expected), std::string::npos) << message;
            EXPECT_EQ(listing(), before);  // no output, no temporary file
        }
        fs::remove(dir / "m.nvpack");
        fs::remove(dir / "out.exe");
    }
}

TEST_F(NvpackTest, AnExistingOutputIsReplacedOnlyByASuccessfulRun) {
    write("out.exe", "the last good build");
    nvpack::PackRequest bad = request();
    bad.entries[1].name = "CON";
    EXPECT_THROW(nvpack::pack(bad), nvpack::PackError);
    EXPECT_EQ(read("out.exe"), "the last good build");
    nvpack::pack(request());
    EXPECT_EQ(read("out.exe").substr(0, stub.size()), stub);
}

// A link planted under the temporary name, or one left from an earlier run:
// nvpack writes through neither, and never into what they point at.
TEST_F(NvpackTest, ALinkUnderTheTemporaryNameIsNeverWrittenThrough) {
    write("victim", "another file's bytes");
    fs::create_symlink(dir / "victim", dir / "out.exe.nvpack-tmp");
    nvpack::pack(request());
    EXPECT_EQ(read("victim"), "another file's bytes");
    EXPECT_FALSE(fs::is_symlink(dir / "out.exe"));
    EXPECT_EQ(read("out.exe").substr(0, stub.size()), stub);
    EXPECT_FALSE(fs::exists(dir / "out.exe.nvpack-tmp"));
    // A dangling link is no way in either.
    fs::create_symlink(dir / "planted", dir / "out.exe.nvpack-tmp");
    nvpack::pack(request());
    EXPECT_FALSE(fs::exists(dir / "planted"));
}

TEST_F(NvpackTest, ASourceOver2GiBIsRefused) {
    {
        std::ofstream big(dir / "big.bin", std::ios::binary);
        big.seekp(0x80000000LL);  // sparse: 2^31 + 1 bytes
        big.put('x');
    }
    nvpack::PackRequest r = request();
    r.entries[1].source = path("big.bin");
    EXPECT_NE(refusal(r).find("larger than 2147483647"), std::string::npos);
}

TEST_F(NvpackTest, AStubWithAPayloadIsRefusedUnlessReplaced) {
    nvpack::pack(request());
    nvpack::PackRequest again = request();
    again.stub = path("out.exe");
    again.output = path("again.exe");
    EXPECT_NE(refusal(again).find("already carries a payload"), std::string::npos);

    again.replacePayload = true;
    again.entries.pop_back();
    nvpack::pack(again);
    nv::LauncherFile file(nv::LauncherString(path("again.exe")));
    file.loadIndex();
    EXPECT_EQ(file.entryCount(), 1);
    EXPECT_EQ(read("again.exe").substr(0, stub.size()), stub);
    EXPECT_EQ(read("again.exe").find(std::string(1000, 'j')), std::string::npos);  // old payload gone
    // Its checksums went with it: the same as packing the bare stub.
    again.stub = path("stub.exe");
    again.replacePayload = false;
    again.output = path("direct.exe");
    nvpack::pack(again);
    EXPECT_EQ(read("again.exe"), read("direct.exe"));
}

TEST_F(NvpackTest, ThePayloadEndsOnAnEightByteBoundaryAndASignedStubIsRefused) {
    // Sources of every length modulo 8, so that each padding 0-7 occurs.
    for (std::size_t length = 0; length < 8; ++length) {
        write("jvm.zip", std::string(length, 'j'));
        nvpack::pack(request());
        EXPECT_EQ(fs::file_size(dir / "out.exe") % 8, 0u) << length;
        nv::LauncherFile file(nv::LauncherString(path("out.exe")));
        file.loadIndex();
        EXPECT_EQ(file.entryCount(), 2) << length;
        EXPECT_TRUE(file.entryById(2)->hasCrc) << length;
        EXPECT_EQ(read("out.exe").substr(static_cast<std::size_t>(file.entryById(2)->offset), length),
                  std::string(length, 'j'));
    }
    std::string signedStub = nv::test::peStub(true);
    nv::test::appendSignature(signedStub, true, 0);
    write("stub.exe", signedStub);
    fs::remove(dir / "out.exe");
    EXPECT_NE(
        refusal(request()).find("carries a signature; pack an unsigned stub and sign the launcher file after packing"),
        std::string::npos);
}

TEST_F(NvpackTest, AManifestDescribesTheSameLauncher) {
    write("dir with blank.tag", "DESC: x\nCOMMAND: java\n");
    write("pack.tag",
          "OUTPUT: fromManifest.exe\nMODE: 2\nREPLACE: 0\nENTRY:\n"
          "0 1 a.tag a.tag\n"
          "2 3 script.tag \"dir with blank.tag\"\n/:\n");
    // The stub on the command line, and its entries after the manifest's in the order given.
    nvpack::pack(nvpack::parseCommandLine(
        {"--stub", path("stub.exe"), "--manifest", path("pack.tag"), "--entry", "4", "2", "jvm.zip", path("jvm.zip")}));
    nv::LauncherFile file(nv::LauncherString(path("fromManifest.exe")));
    file.loadIndex();
    ASSERT_EQ(file.entryCount(), 3);
    EXPECT_EQ(file.entryAt(1)->name, nv::LauncherString("script.tag"));
    EXPECT_EQ(file.entryAt(1)->length, 22);
    EXPECT_EQ(file.entryAt(2)->name, nv::LauncherString("jvm.zip"));
    EXPECT_EQ(nv::readModeByte(nv::LauncherString(path("fromManifest.exe"))), 2);
}

TEST_F(NvpackTest, ContentTheLauncherCanRunIsPacked) {
    // Every command in a form that runs; what depends on variables is not judged.
    write("p.tag",
          "INSTRUCTIONS:\n"
          "// every command once\n"
          "INITIALIZE_UI\n"
          "FIND_JVM 1 @N1@\n"
          "JMP0 @N1@ @S2@\n"
          "VERIFY 1 0 3\n"
          "JMP0 @N1@ INSTALL\n"
          "ILAUNCH 3 5\n"
          "LAUNCH \"@S2@\" 0\n"
          "GOTO END\n"
          ":INSTALL\n"
          "INSTALL_JVM 2\n"
          "SET S3 = \"a b\"\n"
          "EXECUTE_LAUNCHER 3\n"
          ":END\n/:\n");
    // A maximum names a whole family: 21 admits 21.0.5.
    write("jvm.tag", "JVM_EXE: bin/java.exe\nMIN_JAVA_VERSION: 21.0.5\nMAX_JAVA_VERSION: 21\n");
    write("s.tag",
          "COMMAND:\n@JVM_HOME@/bin/java %SYSTEMPROP%(\"a\", \"@JVM_HOME@\") -cp %CP%() "
          "%LAUNCHER_DIR%() %APPLICATION_ARCHIVE%(\"app.jar\") 100%% #PATH#\n/:\n");
    nvpack::PackRequest r = request();
    r.entries.push_back({nv::typeJvmFile, 3, "jvm.tag", path("jvm.tag")});
    r.entries.push_back({nv::typeEmbeddedLauncher, 4, "inner.exe", path("stub.exe")});
    r.entries.push_back({nv::typeLaunchScript, 5, "s.tag", path("s.tag")});
    r.entries.push_back({nv::typeVerifyArchive, 6, "verify.jar", path("jvm.zip")});
    r.entries[0].source = path("p.tag");
    nvpack::pack(r);
    EXPECT_TRUE(fs::exists(dir / "out.exe"));
}

// What a launch may still mean is packed, with a warning that says how to
// mend or silence it.
TEST_F(NvpackTest, ContentWarningsNameWhatALaunchMayGetWrong) {
    write("jvm.tag", "JVM_EXE: bin/java.exe\nMAX_HEAP: -Xmx\n");
    write("s.tag",
          "COMMAND: \"\"\"@JVM_HOME@\\@JAVA_EXE@\"\" -jar %APPLICATION_ARCHIVE%() @MAX_HEAP@1g \"\"%TEMP_DIR%()\"\" "
          "%SYSTEMPROP%(\"\"t\"\", \"\"\"\"\"\"%LAUNCHER_DIR%()\"\"\"\"\"\") %CP%(\"\"%LAUNCHER_FILE%()\"\") a@@b "
          "@JAVA_EXE@\"\n");
    nvpack::PackRequest r = request();
    r.entries.push_back({nv::typeJvmFile, 3, "jvm.tag", path("jvm.tag")});
    r.entries.push_back({nv::typeLaunchScript, 5, "s.tag", path("s.tag")});
    r.entries.push_back({nv::typeApplicationArchive, 6, "app.jar", path("jvm.zip")});
    const std::string place = "entry \"s.tag\" (" + path("s.tag") + "): COMMAND: ";
    EXPECT_EQ(nvpack::pack(r).warnings,
              (std::vector<std::string>{
                  place + "%APPLICATION_ARCHIVE%() stands outside double quotes, so a path with a blank in it would "
                          "break the command; write it as \"%APPLICATION_ARCHIVE%()\" in the command",
                  place + "%LAUNCHER_FILE%() stands outside double quotes, so a path with a blank in it would break "
                          "the command; write it as \"%LAUNCHER_FILE%()\" in the command",
                  place + "@JAVA_EXE@ is defined by no JVM file the launcher carries and would be empty; define "
                          "JAVA_EXE in the JVM file, or write @@ for an at-sign that is no reference",
                  place + "\"@@b @\" is read as a reference and would be empty; an at-sign that is no reference is "
                          "written @@ only where no further at-sign follows it"}));
    // Without a JVM file of its own, the launcher gets one at run time: tags are not judged.
    r.entries.erase(r.entries.begin() + 2);
    r.entries.erase(r.entries.begin() + 1);
    EXPECT_EQ(nvpack::pack(r).warnings.size(), 2u);  // the two paths outside quotes
}

// A JVM file's search keys: a hive the launcher would refuse at run time,
// and keys it could not follow, are refused with what to write; hints that
// nothing can verify are packed with a warning.
TEST_F(NvpackTest, AJvmFilesSearchKeysAreOnesTheLauncherCanFollow) {
    const std::string all = "HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_USERS, HKEY_CLASSES_ROOT, HKEY_CURRENT_CONFIG";
    const std::string unverifiable =
        "the hints would never be searched: a JVM file verifies nothing without JVM_PROPERTIES, MIN_JAVA_VERSION or "
        "MAX_JAVA_VERSION; give one of them";
    const std::string range = "MIN_JAVA_VERSION: 17\n";
    struct Case {
        std::string keys;  // after JVM_EXE
        std::string refusal;
        std::string warning;
    };
    const Case cases[] = {
        // Every hive spelt out, with and without the leading backslash; the keys as the search reads them.
        {range + "PLATFORM_HINT:\n\\HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\JavaHome\nHKEY_CURRENT_USER\\X\\Home\n"
                 "\\HKEY_USERS\\S\\X\\Home\nHKEY_CLASSES_ROOT\\X\\Home\n\\HKEY_CURRENT_CONFIG\\X\nHKEY_LOCAL_MACHINE\\"
                 "SOFTWARE\\JavaSoft\\JDK\\*\\JavaHome\n/:\nPREFER: NEWEST\nKNOWN_JAVA_INSTALLS: 1\n",
         "", ""},
        {"JVM_PROPERTIES: java.vendor=X\nPATH_HINT: \\jdk\nKNOWN_JAVA_INSTALLS: 0\n", "", ""},
        {"MAX_JAVA_VERSION: 21\nKNOWN_JAVA_INSTALLS: 1\n", "", ""},
        {"DESC: launched only, never searched\nKNOWN_JAVA_INSTALLS: 0\n", "", ""},
        // Abbreviations and full names in the wrong case name the one to write.
        {range + "PLATFORM_HINT: \\HKLM\\SOFTWARE\\X\\JavaHome\n",
         "PLATFORM_HINT \\HKLM\\SOFTWARE\\X\\JavaHome names "
         "the hive HKLM; write HKEY_LOCAL_MACHINE",
         ""},
        {range + "PLATFORM_HINT: hkcu\\Software\\X\\Home\n", "names the hive hkcu; write HKEY_CURRENT_USER", ""},
        {range + "PLATFORM_HINT: \\HKU\\S\\Home\n", "names the hive HKU; write HKEY_USERS", ""},
        {range + "PLATFORM_HINT: HKCR\\X\\Home\n", "names the hive HKCR; write HKEY_CLASSES_ROOT", ""},
        {range + "PLATFORM_HINT: \\hkCC\\X\\Home\n", "names the hive hkCC; write HKEY_CURRENT_CONFIG", ""},
        {range + "PLATFORM_HINT: \\HKEY_Local_Machine\\X\\Home\n",
         "names the hive HKEY_Local_Machine; write HKEY_LOCAL_MACHINE", ""},
        // The second hint is as much at fault as the first would be.
        {range + "PLATFORM_HINT:\n\\HKEY_CURRENT_USER\\X\\Home\nhkey_users\\X\\Home\n/:\n",
         "PLATFORM_HINT hkey_users\\X\\Home names the hive hkey_users; write HKEY_USERS", ""},
        // Anything else: the five names.
        {range + "PLATFORM_HINT: \\HKEY_LOCAL\\X\\Home\n", "names the hive HKEY_LOCAL; write one of " + all, ""},
        {range + "PLATFORM_HINT: \\\\X\\Home\n", "PLATFORM_HINT \\\\X\\Home names no hive; write one of " + all, ""},
        {range + "PLATFORM_HINT: JavaHome\n", "PLATFORM_HINT JavaHome names no hive; write one of " + all, ""},
        {range + "PLATFORM_HINT: \\HKEY_LOCAL_MACHINE\n", "PLATFORM_HINT \\HKEY_LOCAL_MACHINE names no hive", ""},
        // Keys that steer the search.
        {range + "PREFER: newest\n",
         "PREFER must be NEWEST, not \"newest\"; leave PREFER out to take the first Java that passes in the hints' "
         "order",
         ""},
        {range + "PREFER: \"\"\n", "PREFER must be NEWEST, not \"\"", ""},
        {range + "KNOWN_JAVA_INSTALLS: 2\n", "KNOWN_JAVA_INSTALLS must be 0 or 1, not \"2\"", ""},
        {range + "KNOWN_JAVA_INSTALLS: yes\n", "KNOWN_JAVA_INSTALLS must be 0 or 1, not \"yes\"", ""},
        // Hints that nothing verifies.
        {"PATH_HINT: \\jdk\n", "", unverifiable},
        {"PLATFORM_HINT: \\HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\JavaHome\nJVM_PROPERTIES: \"\"\n", "", unverifiable},
        {"KNOWN_JAVA_INSTALLS: 1\n", "", unverifiable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        write("jvm.tag", "JVM_EXE: bin\\java.exe\n" + c.keys);
        nvpack::PackRequest r = request();
        r.entries.push_back({nv::typeJvmFile, 3, "jvm.tag", path("jvm.tag")});
        r.entries.push_back({nv::typeVerifyArchive, 4, "verify.jar", path("jvm.zip")});
        const std::string place = "entry \"jvm.tag\" (" + path("jvm.tag") + "): ";
        if (!c.refusal.empty()) {
            const std::string message = refusal(r);
            EXPECT_EQ(message.rfind(place, 0), 0u) << message;
            EXPECT_NE(message.find(c.refusal), std::string::npos) << message;
            continue;
        }
        const std::vector<std::string> warnings = nvpack::pack(r).warnings;
        EXPECT_EQ(warnings,
                  c.warning.empty() ? std::vector<std::string>{} : std::vector<std::string>{place + c.warning});
        fs::remove(dir / "out.exe");
    }
}

// What would spoil an input or make a launcher that cannot run is refused
// before anything is written, naming the file as the user gave it and the
// input it is, or the manifest line it comes from.
TEST_F(NvpackTest, RefusalsNameWhereTheFileWasGivenAndLeaveEveryFileAsItWas) {
    write("hello.jar", std::string("PK\3\4", 4) + "a jar");
    fs::create_hard_link(dir / "hello.jar", dir / "link.jar");
    fs::create_symlink(dir / "hello.jar", dir / "sym.jar");
    write("app.ico", "an icon");
    write("t.exe.nvpack-tmp", "the source of an entry");
    write("unpacker.exe", programWithResources({{10, 1}}, "NVJVMAR1 unpacker"));
    write("out.exe", "the last good build");
    const std::string jar = path("hello.jar");
    const std::string m = path("m.nvpack");
    const std::string entries = " --entry 0 1 a.tag @a.tag --entry 3 2 hello.jar @hello.jar";
    auto run = [&entries](const std::string& out) { return "--stub @stub.exe --out @" + out + entries; };
    const std::string overwrite = "; nvpack would overwrite it";
    const std::string ofJar = " is the source of entry \"hello.jar\" (type 3)" + overwrite;
    const std::string otherProgram =
        " is not a launcher stub: its resources lack the launcher's dialog 101, dialog 103 and string table; it is "
        "some other program";
    const std::string zip =
        " is a zip archive (a jar), not a tag file: types 0, 1 and 2 are tag files, and a jar "
        "belongs in type 3 (class path archive) or 6 (application archive)";
    struct Case {
        std::string what;
        std::string manifest;  // written to m.nvpack when not empty
        std::string commandLine;
        std::string expected;
    };
    std::vector<Case> cases = {
        // The output is a file nvpack reads, however it is spelt.
        {"output is a source", "", run("hello.jar"), "--out " + jar + ofJar},
        {"through a folder and back", "", run("adir/../hello.jar"), "--out " + path("adir/../hello.jar") + ofJar},
        {"through .", "", run("./hello.jar"), "--out " + path("./hello.jar") + ofJar},
        {"hard link", "", run("link.jar"), "--out " + path("link.jar") + ofJar},
        {"symbolic link", "", run("sym.jar"), "--out " + path("sym.jar") + ofJar},
        {"in a dry run too", "", run("hello.jar") + " --dry-run", "--out " + jar + ofJar},
        {"a manifest's entry", "ENTRY: 3 2 hello.jar hello.jar\n",
         "--stub @stub.exe --out @hello.jar --manifest @m.nvpack",
         "--out " + jar + " is the source of entry \"hello.jar\" (type 3, " + m + " line 1)" + overwrite},
        {"output is the stub", "", run("stub.exe"),
         "--out " + path("stub.exe") + " is the stub (--stub " + path("stub.exe") + ")" + overwrite},
        {"output is the manifest", "OUTPUT: m.nvpack\n", "--stub @stub.exe --manifest @m.nvpack" + entries,
         m + " line 1: OUTPUT m.nvpack is the manifest " + m + overwrite},
        {"output is the icon", "", run("app.ico") + " --icon @app.ico",
         "--out " + path("app.ico") + " is the icon (--icon " + path("app.ico") + ")" + overwrite},
        {"the temporary file is a source", "", run("t.exe") + " --entry 6 3 app.jar @t.exe.nvpack-tmp",
         "--out " + path("t.exe") + ": its temporary file " + path("t.exe.nvpack-tmp") +
             " is the source of entry \"app.jar\" (type 6)" + overwrite},
        // Stubs that are no launcher.
        {"a jar as the stub", "", "--stub @hello.jar --out @out.exe --entry 0 1 a.tag @a.tag",
         "--stub " + jar + " is not a launcher stub: it is not a Windows executable"},
        {"another program as the stub", "", "--stub @unpacker.exe --out @out.exe --entry 0 1 a.tag @a.tag",
         "--stub " + path("unpacker.exe") + otherProgram},
        {"a manifest's stub", "STUB: hello.jar\n", "--out @out.exe --manifest @m.nvpack",
         m + " line 1: STUB hello.jar is not a launcher stub: it is not a Windows executable"},
        // A jar where a tag file belongs.
        {"a jar as type 0", "", "--stub @stub.exe --out @out.exe --entry 0 1 hello.jar @hello.jar",
         "entry \"hello.jar\" (type 0, id 1): " + jar + zip},
        {"a jar as a manifest's type 2", "MODE: 0\nENTRY:\n0 1 a.tag a.tag\n2 5 s.tag hello.jar\n/:\n",
         "--stub @stub.exe --out @out.exe --manifest @m.nvpack",
         m + " line 4: entry \"s.tag\" (type 2, id 5): " + jar + zip},
        // Files that are not there, named where they were given.
        {"a manifest's icon", "MODE: 0\nICON: helo.ico\n", run("out.exe") + " --manifest @m.nvpack",
         m + " line 2: ICON helo.ico: cannot open the icon file"},
        {"a manifest's source", "ENTRY:\n\n3 4 helo.jar helo.jar\n/:\n", run("out.exe") + " --manifest @m.nvpack",
         m + " line 3: entry \"helo.jar\" (type 3, id 4): source file not found: " + path("helo.jar")},
        {"no folder for the output", "", run("nodir/o.exe"),
         "--out " + path("nodir/o.exe") + ": cannot create " + path("nodir/o.exe.nvpack-tmp") +
             ": No such file or directory"},
        {"no folder for a dry run's output", "", run("nodir/o.exe") + " --dry-run",
         "--out " + path("nodir/o.exe") + ": cannot create " + path("nodir/o.exe.nvpack-tmp") +
             ": No such file or directory"},
    };
    for (const char* build : {"win64", "win32"}) {
        const fs::path unpacker = fs::path(NV_BUILD_ROOT) / build / "JvmUnpacker.exe";
        if (fs::exists(unpacker)) {
            cases.push_back({std::string("the built unpacker of ") + build, "",
                             "--stub " + unpacker.string() + " --out @out.exe --entry 0 1 a.tag @a.tag",
                             "--stub " + unpacker.string() + otherProgram});
        }
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.manifest.empty()) write("m.nvpack", c.manifest);
        const std::map<std::string, std::string> before = contents();
        std::string message;
        try {
            nvpack::pack(nvpack::parseCommandLine(words(c.commandLine)));
        } catch (const nvpack::PackError& e) {
            message = e.what();
        }
        EXPECT_EQ(message, c.expected);
        EXPECT_EQ(contents(), before);  // nothing written, nothing changed
        fs::remove(dir / "m.nvpack");
    }
}

// A dry run reads and checks what a run would and reports the same, the
// branding included, but writes nothing.
TEST_F(NvpackTest, ADryRunReportsTheBrandingAndWritesNothing) {
    std::string icon;  // one 16x16 image of 48 bytes
    for (std::uint16_t word : {0, 1, 1}) nvpack::le::append16(icon, word);
    icon += std::string("\x10\x10\0\0", 4);
    nvpack::le::append16(icon, 1);
    nvpack::le::append16(icon, 32);
    nvpack::le::append32(icon, 48);
    nvpack::le::append32(icon, 22);
    write("app.ico", icon + std::string(48, 'i'));
    const std::string args =
        "--stub @stub.exe --out @out.exe --entry 0 1 a.tag @a.tag --icon @app.ico "
        "--product-name Acme --product-version 1.2 --execution-level requireAdministrator";
    const std::map<std::string, std::string> before = contents();
    const nvpack::PackResult dry = nvpack::pack(nvpack::parseCommandLine(words(args + " --dry-run")));
    EXPECT_EQ(contents(), before);

    const nvpack::PackResult real = nvpack::pack(nvpack::parseCommandLine(words(args)));
    nv::LauncherFile file(nv::LauncherString(path("out.exe")));
    file.loadIndex();
    const auto payload = fs::file_size(dir / "out.exe") - static_cast<std::uintmax_t>(file.entryAt(0)->offset);
    const std::string applied =
        "entry: type 0, id 1, name \"a.tag\", 26 bytes\n"
        "branding: icon 102 from " +
        path("app.ico") +
        "\n"
        "branding: ProductName \"Acme\"\n"
        "branding: ProductVersion and FileVersion \"1.2\"\n"
        "branding: FileDescription \"Acme\" (the product name)\n"
        "branding: CompanyName removed: the stub's names the launcher's maker (--company gives yours)\n"
        "branding: the progress window's explanatory text names \"Acme\" in every language\n"
        "branding: manifest identity Acme, description \"Acme\"\n"
        "branding: InternalName \"out\"\n"
        "branding: OriginalFilename \"out.exe\"\n"
        "branding: manifest version 1.2.0.0\n"
        "branding: execution level requireAdministrator\n"
        "total: 1 entry, " +
        std::to_string(payload) + " payload bytes, ";
    EXPECT_EQ(real.report, applied + "written to " + path("out.exe") + "\n");
    EXPECT_EQ(dry.report, applied + "not written (--dry-run): " + path("out.exe") + "\n");
    EXPECT_NE(read("out.exe").find("requireAdministrator"), std::string::npos);
}

// A mistyped option is refused with the known option it was most likely
// meant to be; a word that is near no option is refused alone.
TEST_F(NvpackTest, AnUnknownOptionNamesTheClosestKnownOne) {
    const std::string run = "--stub @stub.exe --out @out.exe --entry 0 1 a.tag @a.tag ";
    const std::pair<const char*, const char*> cases[] = {
        {"--outt", "unknown argument \"--outt\"; did you mean --out?"},
        {"-out", "unknown argument \"-out\"; did you mean --out?"},
        {"--STUB", "unknown argument \"--STUB\"; did you mean --stub?"},
        {"--product-nmae", "unknown argument \"--product-nmae\"; did you mean --product-name?"},
        {"--dryrun", "unknown argument \"--dryrun\"; did you mean --dry-run?"},
        {"--hlep", "unknown argument \"--hlep\"; did you mean --help?"},
        {"--verbose", "unknown argument \"--verbose\""},
        {"-x", "unknown argument \"-x\""},
        {"out", "unknown argument \"out\""},
    };
    for (const auto& c : cases) {
        try {
            nvpack::parseCommandLine(words(run + c.first));
            ADD_FAILURE() << c.first << " was taken";
        } catch (const nvpack::PackError& e) {
            EXPECT_EQ(std::string(e.what()), c.second);
        }
    }
}

TEST_F(NvpackTest, ExitCodesTellDoneRefusedInputAndWrongUsageApart) {
    const struct {
        std::string arguments;  // words(); empty: no arguments
        int code;
        const char* out;  // in standard output
        const char* err;  // in standard error
    } cases[] = {
        {"--stub @stub.exe --out @out.exe --entry 0 1 a.tag @a.tag", 0, "entry: type 0", ""},
        {"--version", 0, "nvpack 2.51\nbuilt with the launcher stub 2.51\n", ""},
        {"--help", 0, "docs/guide.md", ""},
        {"--stub @none.exe --out @out.exe", 1, "", "nvpack: error: --stub "},
        {"--stub @stub.exe --out @out.exe --mode x", 1, "", "the mode byte"},
        {"--stub @stub.exe --out @out.exe --product-version 1.2.3.4.5", 1, "", "is not a version"},
        {"", 2, "", "--stub (or STUB in a manifest) is required"},
        {"--stub @stub.exe", 2, "", "--out (or OUTPUT in a manifest) is required"},
        {"--stub @stub.exe --out", 2, "", "nvpack: error: --out needs 1 value"},
        {"--stub @stub.exe --out @out.exe --verison", 2, "", "did you mean --version?"},
        {"--stub @stub.exe --out @out.exe --compressed-entry", 2, "", "--compressed-entry is not supported"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        std::ostringstream out, err;
        const int code =
            nvpack::runNvpack(c.arguments.empty() ? std::vector<std::string>() : words(c.arguments), out, err);
        EXPECT_EQ(code, c.code);
        EXPECT_NE(out.str().find(c.out), std::string::npos) << out.str();
        EXPECT_NE(err.str().find(c.err), std::string::npos) << err.str();
        if (c.code != 0) {
            EXPECT_EQ(out.str(), "");  // messages go to standard error
        }
        fs::remove(dir / "out.exe");
    }
}
