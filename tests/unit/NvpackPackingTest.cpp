// nvpack's output: what it writes is what the launcher reads, what it
// reports is what it wrote, and a refused run leaves every file as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <zlib.h>

#include "LittleEndian.h"
#include "archive/LauncherFile.h"
#include "archive/LauncherFileFormat.h"
#include "foundation/LauncherException.h"
#include "tests/support/SignedImage.h"
#include "tests/unit/NvpackFixture.h"

namespace fs = std::filesystem;

namespace {

class NvpackPackingTest : public nvtest::NvpackFixture {};

}  // namespace

TEST_F(NvpackPackingTest, TheLauncherReadsWhatNvpackWrites) {
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
TEST_F(NvpackPackingTest, AFilePackedNowThatLostItsChecksumMagicIsDamaged) {
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
TEST_F(NvpackPackingTest, FilesOfOlderNvpacksAreReadAsTheyWereAndAreWhatTheChecksumsAreAddedTo) {
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

TEST_F(NvpackPackingTest, ASuccessfulRunReportsEachEntryAndTheTotals) {
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

TEST_F(NvpackPackingTest, AnExistingOutputIsReplacedOnlyByASuccessfulRun) {
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
TEST_F(NvpackPackingTest, ALinkUnderTheTemporaryNameIsNeverWrittenThrough) {
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

TEST_F(NvpackPackingTest, AStubWithAPayloadIsRefusedUnlessReplaced) {
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

TEST_F(NvpackPackingTest, ThePayloadEndsOnAnEightByteBoundaryAndASignedStubIsRefused) {
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

// What would spoil an input or make a launcher that cannot run is refused
// before anything is written, naming the file as the user gave it and the
// input it is, or the manifest line it comes from.
TEST_F(NvpackPackingTest, RefusalsNameWhereTheFileWasGivenAndLeaveEveryFileAsItWas) {
    write("hello.jar", std::string("PK\3\4", 4) + "a jar");
    fs::create_hard_link(dir / "hello.jar", dir / "link.jar");
    fs::create_symlink(dir / "hello.jar", dir / "sym.jar");
    write("app.ico", "an icon");
    write("t.exe.nvpack-tmp", "the source of an entry");
    write("unpacker.exe", nvtest::programWithResources({{10, 1}}, "NVJVMAR1 unpacker"));
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
TEST_F(NvpackPackingTest, ADryRunReportsTheBrandingAndWritesNothing) {
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
