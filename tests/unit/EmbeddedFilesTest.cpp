// The embedded files: what a run makes of them (dispatch, the input file's
// entries, -nv:extract), extraction in chunks, and the free-space arithmetic.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include <unistd.h>
#include <zlib.h>

#include "archive/EntryType.h"
#include "archive/LauncherFile.h"
#include "archive/LauncherFileFormat.h"
#include "cleanup/DiskSpace.h"
#include "cleanup/DiskSpaceQuery.h"
#include "foundation/LauncherException.h"
#include "foundation/Log.h"
#include "instructions/Instructions.h"
#include "launch/LaunchScript.h"
#include "launcher/RunContent.h"
#include "tagfile/TagFile.h"
#include "tests/support/RecordingProgressUi.h"
#include "tests/support/RunStateTest.h"
#include "tests/support/TestDirectory.h"

namespace fs = std::filesystem;
using nv::LauncherString;

namespace {

std::uint32_t zlibCrcOf(const std::string& bytes) {
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

// The CRC-32 as the run log shows it.
std::string hex(std::uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

struct Entry {
    std::uint8_t type;
    std::int32_t id;
    std::string name;
    std::string data;
};

// A scratch directory that is also the current directory while it lives.
class EmbeddedFilesTest : public nv::RunStateTest {
protected:
    void SetUp() override {
        previous = fs::current_path();
        fs::create_directories(dir / "out");
        fs::current_path(dir / "out");
    }
    void TearDown() override { fs::current_path(previous); }

    // With overrun, the last entry claims more bytes than the file holds. With
    // checksums, the CRC-32 (zlib's) of each entry's data is recorded.
    LauncherString launcher(const std::vector<Entry>& entries, std::size_t overrun = 0, bool checksums = false) {
        std::string bytes = "MZ stub";
        std::vector<nv::FileIndexEntry> index;
        std::vector<std::uint32_t> crcs;
        for (const Entry& e : entries) {
            nv::FileIndexEntry f;
            f.type = e.type;
            f.fileId = e.id;
            f.name = LauncherString(e.name);
            f.offset = static_cast<std::int32_t>(bytes.size());
            f.length = static_cast<std::int32_t>(e.data.size() + overrun);
            bytes += e.data;
            index.push_back(std::move(f));
            crcs.push_back(zlibCrcOf(e.data));
        }
        const std::size_t block = checksums ? 4 + 4 * crcs.size() + 8 : 0;
        std::string tail;
        nv::format::appendUint32(tail, static_cast<std::uint32_t>(index.size()));
        for (const auto& f : index) nv::format::appendIndexEntry(tail, f);
        nv::format::appendTrailer(tail, 1, static_cast<std::uint32_t>(bytes.size() + block));
        if (checksums) nv::format::appendChecksums(bytes, crcs.data(), static_cast<std::int32_t>(crcs.size()), tail);
        bytes += tail;
        nv::writeFile(dir / "setup.exe", bytes);
        return LauncherString((dir / "setup.exe").string());
    }
    std::string extractError(nv::LauncherFile& file, std::int32_t position) {
        try {
            file.extract(*file.entryAt(position), LauncherString());
        } catch (const nv::LauncherException& e) {
            return e.message().str();
        }
        return "";
    }

    nv::RecordingProgressUi ui;
    fs::path previous;
    nv::TestDirectory dir{"nv_embedded_"};
};

const char* const program = "INSTRUCTIONS:\nSET N1 = 1\n/:\n";

}  // namespace

TEST_F(EmbeddedFilesTest, DispatchBuildsTheConfigurationAndTheInputFileWins) {
    LauncherString path = launcher({{nv::typeInstructions, 1, "embedded.tag", "INSTRUCTIONS:\nSET N2 = 2\n/:\n"},
                                    {nv::typeJvmFile, 2, "jvm.tag", "DESC: embedded jvm\n"},
                                    {nv::typeLaunchScript, 3, "script.tag", "DESC: A\\u00e9B\n"},
                                    {nv::typeApplicationArchive, 4, "app.jar", "PK"}});
    nv::RunContent run(path);
    run.load(nv::Dispatch::yes);
    ASSERT_NE(run.instructions(), nullptr);
    EXPECT_EQ(run.instructions()->lines().get(0), LauncherString("SET N2 = 2"));
    EXPECT_EQ(run.jvmSearch().jvmFiles().count(), 1);
    EXPECT_EQ(run.launchScript()->description(), LauncherString("A\\u00e9B"));
    EXPECT_EQ(ui.title,
              "A\xe9"
              "B");  // the escape became one ANSI character
    // The commands that name an embedded JVM file by its id read it from here.
    const nv::TagFile* jvm = run.embeddedTags(*run.file().entryById(2));
    ASSERT_NE(jvm, nullptr);
    EXPECT_EQ(jvm->value("DESC"), LauncherString("embedded jvm"));
    EXPECT_EQ(run.embeddedTags(*run.file().entryById(4)), nullptr);  // not a tag file

    nv::writeFile(dir / "out" / "prog.tag", program);
    nv::writeFile(dir / "out" / "in.tag",
                  "INSTRUCTIONS: prog.tag\nJVM: \"\"\nVERIFY_CLASSPATH: v.jar\nUI_TITLE: Given\n");
    nv::TagFile input;
    input.load("in.tag");
    nv::RunContent second(path);
    second.readNamedEntries(input);
    second.load(nv::Dispatch::yes);
    EXPECT_EQ(second.instructions()->lines().get(0), LauncherString("SET N1 = 1"));  // the input file's
    EXPECT_EQ(second.jvmSearch().jvmFiles().count(), 0);      // an empty JVM value still keeps the embedded ones out
    EXPECT_TRUE(second.jvmSearch().verifyClassPath.empty());  // without a class name, neither is used
    EXPECT_EQ(ui.title, "Given");  // the input file's UI_TITLE wins over the launch script's DESC
}

TEST_F(EmbeddedFilesTest, BrokenConfigurationsGetTheirContext) {
    nv::writeFile(dir / "out" / "in.tag", "INSTRUCTIONS: missing.tag\n");
    nv::TagFile input;
    input.load("in.tag");
    nv::RunContent run(launcher({}));
    try {
        run.readNamedEntries(input);
        FAIL();
    } catch (const nv::LauncherException& e) {
        EXPECT_EQ(e.message().str(), "Error loading instructions file.Unable to load input file: missing.tag");
    }
}

// One step per 61,439-byte chunk, whatever size the blocks are that the bytes move in.
TEST_F(EmbeddedFilesTest, ExtractionCopiesInChunksAndStepsTheBar) {
    const std::size_t chunk = 61439;
    const struct {
        std::size_t bytes;
        std::size_t steps;
    } cases[] = {{1, 1}, {150000, 3}, {16 * chunk, 16}, {16 * chunk + 1, 17}, {40 * chunk + 7, 41}};
    for (const auto& c : cases) {
        std::string data;
        for (std::size_t i = 0; i < c.bytes; ++i) data += static_cast<char>(i * 7 + i / 251);
        nv::LauncherFile file(launcher({{nv::typeApplicationArchive, 1, "app.jar", data}}));
        file.loadIndex();
        ui.steps.clear();
        EXPECT_EQ(file.extract(*file.entryAt(0), LauncherString()), LauncherString("app.jar"));
        EXPECT_TRUE(nv::readFile(dir / "out" / "app.jar") == data) << c.bytes << " bytes";
        EXPECT_EQ(ui.steps, std::vector<unsigned>(c.steps, 1u)) << c.bytes << " bytes";
    }
}

TEST_F(EmbeddedFilesTest, ExtractAllWritesAnInputFileNamingTheTagFiles) {
    nv::RunContent run(launcher({{nv::typeInstructions, 1, "p.tag", program},
                                 {nv::typeJvmFile, 2, "j1.tag", "DESC: 1\n"},
                                 {nv::typeJvmFile, 3, "j2.tag", "DESC: 2\n"},
                                 {nv::typeLaunchScript, 4, "s.tag", "DESC: s\n"}}));
    run.load(nv::Dispatch::no);
    run.extractAll();
    EXPECT_EQ(nv::readFile(dir / "out" / "input.tag"),
              "ACTION:  RUN_INSTRUCTIONS\nINSTRUCTIONS:  p.tag\nJVM:\n  j1.tag\n  j2.tag\n/:\nLAUNCHSCRIPT:  s.tag\n");
    EXPECT_EQ(nv::readFile(dir / "out" / "j2.tag"), "DESC: 2\n");
}

// -nv:extract reads the index without dispatch; a later RUN_INSTRUCTIONS must
// still get the program, and input.tag names the program dispatch uses.
TEST_F(EmbeddedFilesTest, ExtractThenDispatchUsesTheFirstProgram) {
    nv::RunContent run(launcher({{nv::typeInstructions, 1, "first.tag", program},
                                 {nv::typeInstructions, 2, "second.tag", "INSTRUCTIONS:\nSET N2 = 2\n/:\n"},
                                 {nv::typeLaunchScript, 3, "s1.tag", "DESC: one\n"},
                                 {nv::typeLaunchScript, 4, "s2.tag", "DESC: two\n"}}));
    run.load(nv::Dispatch::no);
    run.extractAll();
    EXPECT_EQ(nv::readFile(dir / "out" / "input.tag"),
              "ACTION:  RUN_INSTRUCTIONS\nINSTRUCTIONS:  first.tag\nLAUNCHSCRIPT:  s1.tag\n");
    run.load(nv::Dispatch::yes);
    ASSERT_NE(run.instructions(), nullptr);
    EXPECT_EQ(run.instructions()->lines().get(0), LauncherString("SET N1 = 1"));
    EXPECT_EQ(run.launchScript()->description(), LauncherString("one"));
}

TEST_F(EmbeddedFilesTest, UnsafeNamesAndShortFilesLeaveNothingBehind) {
    const std::vector<std::string> names = {"../evil", "..", "C:evil", "nul.txt", "CON", "a?b", "end."};
    std::vector<Entry> bad;
    for (std::size_t i = 0; i < names.size(); ++i)
        bad.push_back({nv::typeApplicationArchive, static_cast<std::int32_t>(i), names[i], "x"});
    nv::LauncherFile hostile(launcher(bad));
    hostile.loadIndex();
    ASSERT_EQ(hostile.entryCount(), static_cast<std::int32_t>(names.size()));
    for (std::int32_t i = 0; i < hostile.entryCount(); ++i) {
        const std::string message = extractError(hostile, i);
        EXPECT_EQ(message.find("The embedded file name \"" + names[static_cast<std::size_t>(i)] +
                               "\" is not a plain file name ("),
                  0u)
            << message;
    }
    EXPECT_TRUE(fs::is_empty(dir / "out"));
    EXPECT_FALSE(fs::exists(dir / "evil"));

    // A length that runs past the index is refused with the index; a file cut
    // short after that is still caught while its entry is extracted.
    nv::LauncherFile overrun(launcher({{nv::typeApplicationArchive, 1, "cut.bin", std::string(100, 'c')}}, 100000));
    try {
        overrun.loadIndex();
        ADD_FAILURE() << "an entry past the index was read";
    } catch (const nv::LauncherException& e) {
        EXPECT_EQ(e.message().str(), "The launcher file is damaged. Please download it again.");
    }
    const LauncherString path = launcher({{nv::typeApplicationArchive, 1, "cut.bin", std::string(100, 'c')}});
    nv::LauncherFile truncated(path);
    truncated.loadIndex();
    fs::resize_file(path.str(), 50);
    EXPECT_NE(extractError(truncated, 0).find("ends before the end of the embedded file cut.bin"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "out" / "cut.bin"));
}

// One byte of an entry changed after packing, as a damaged download has it:
// the byte at `at` of the first place that holds `text`.
void flipByte(const fs::path& path, const std::string& text, std::size_t at) {
    std::string bytes = nv::readFile(path);
    bytes[bytes.find(text) + at] ^= 0x20;
    nv::writeFile(path, bytes);
}

TEST_F(EmbeddedFilesTest, ADamagedEntryIsReportedAndNothingOfItStays) {
    const std::string jar = "PK\3\4 the class path archive";
    const std::vector<Entry> entries = {{nv::typeInstructions, 1, "p.tag", program},
                                        {nv::typeLaunchScript, 2, "s.tag", "DESC: s\n"},
                                        {nv::typeClassPathArchive, 3, "lib.jar", jar}};
    const std::string damaged = "The launcher file is damaged. Please download it again.";
    nv::setRunLogPath(LauncherString((dir / "run.log").string()));
    const auto loggedFor = [&](const std::string& name, const std::string& read, const std::string& recorded) {
        return "ERROR: The embedded file " + name + " has the CRC-32 " + hex(zlibCrcOf(read)) +
               "; the launcher file records " + hex(zlibCrcOf(recorded)) + ".\n";
    };

    // A tag file, read into memory: its check comes before its lines are
    // parsed (the flipped colon would otherwise be a syntax error).
    nv::RunContent tags(launcher(entries, 0, true));
    flipByte(dir / "setup.exe", "INSTRUCTIONS:", 12);
    try {
        tags.load(nv::Dispatch::yes);
        ADD_FAILURE() << "a damaged program was dispatched";
    } catch (const nv::LauncherException& e) {
        EXPECT_EQ(e.message().str(), damaged);
    }
    std::string flipped = program;
    flipped[12] ^= 0x20;
    EXPECT_NE(nv::readFile(dir / "run.log").find(loggedFor("p.tag", flipped, program)), std::string::npos)
        << nv::readFile(dir / "run.log");

    // An extracted file: removed, and with -nv:extract whatever was written before it.
    for (bool all : {false, true}) {
        nv::RunContent run(launcher(entries, 0, true));
        flipByte(dir / "setup.exe", jar, 1);
        run.load(nv::Dispatch::no);
        try {
            if (all) {
                run.extractAll();
            } else {
                run.file().extract(*run.file().entryAt(2), LauncherString());
            }
            ADD_FAILURE() << "a damaged entry was extracted";
        } catch (const nv::LauncherException& e) {
            EXPECT_EQ(e.message().str(), damaged) << all;
        }
        EXPECT_TRUE(fs::is_empty(dir / "out")) << all;
    }
    std::string flippedJar = jar;
    flippedJar[1] ^= 0x20;
    EXPECT_NE(nv::readFile(dir / "run.log").find(loggedFor("lib.jar", flippedJar, jar)), std::string::npos);

    // A file without checksums (packed before them) is read as it always was.
    nv::RunContent old(launcher(entries));
    flipByte(dir / "setup.exe", jar, 1);
    old.load(nv::Dispatch::yes);
    ASSERT_NE(old.instructions(), nullptr);
    EXPECT_EQ(old.file().extract(*old.file().entryAt(2), LauncherString()), LauncherString("lib.jar"));
    EXPECT_EQ(nv::readFile(dir / "out" / "lib.jar"), flippedJar);
}

TEST_F(EmbeddedFilesTest, CancelStopsAfterTheCurrentChunk) {
    nv::LauncherFile file(launcher({{nv::typeApplicationArchive, 1, "big.bin", std::string(40 * 61439, 'b')}}));
    file.loadIndex();
    for (std::size_t cancelAt : {1u, 16u, 18u}) {  // in the first block, at its end, in the second
        ui.steps.clear();
        nv::clearCancelRequest();
        ui.onStep = [&] {
            if (ui.steps.size() == cancelAt) nv::requestCancel();
        };
        EXPECT_EQ(extractError(file, 0), "Canceled by the user.") << cancelAt;
        EXPECT_EQ(ui.steps.size(), cancelAt);
        EXPECT_FALSE(fs::exists("big.bin")) << cancelAt;
    }
}

TEST(DiskSpace, ClustersNeededByFileCount) {
    struct Case {
        std::uint32_t bytes;
        std::int32_t files;
        double clusters;
    } cases[] = {{1, 1, 1}, {4097, 1, 2}, {4097, 0, 1}, {4097, 3, 4}, {4096, 1, 1}, {0, 1, 0}, {4097, -2, 1}};
    for (const Case& c : cases) {
        EXPECT_EQ(nv::clustersNeeded(c.bytes, c.files, 4096), c.clusters) << c.bytes << " bytes, " << c.files;
    }
    EXPECT_TRUE(nv::hasRoomFor(LauncherString(""), 1, 1));
    EXPECT_FALSE(nv::hasRoomFor(LauncherString(""), 0xFFFFFFFFu, 2000000000));
}
