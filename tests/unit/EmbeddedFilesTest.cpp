// The embedded files: extraction in chunks, names that must not become
// paths, files cut short or damaged, cancelling, and the free-space
// arithmetic. What a run makes of them is RunContentTest's.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include <unistd.h>

#include "archive/EntryType.h"
#include "archive/LauncherFile.h"
#include "cleanup/DiskSpace.h"
#include "cleanup/DiskSpaceQuery.h"
#include "foundation/LauncherException.h"
#include "foundation/Log.h"
#include "launcher/RunContent.h"
#include "tests/support/LauncherFileFolder.h"

namespace fs = std::filesystem;
using nv::LauncherString;

namespace {

// The CRC-32 as the run log shows it.
std::string hex(std::uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

class EmbeddedFilesTest : public nv::LauncherFileFolderTest {
protected:
    EmbeddedFilesTest() : nv::LauncherFileFolderTest("nv_embedded_") {}
    std::string extractError(nv::LauncherFile& file, std::int32_t position) {
        try {
            file.extract(*file.entryAt(position), LauncherString());
        } catch (const nv::LauncherException& e) {
            return e.message().str();
        }
        return "";
    }
};

const char* const program = "INSTRUCTIONS:\nSET N1 = 1\n/:\n";

}  // namespace

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

TEST_F(EmbeddedFilesTest, UnsafeNamesAndShortFilesLeaveNothingBehind) {
    const std::vector<std::string> names = {"../evil", "..", "C:evil", "nul.txt", "CON", "a?b", "end."};
    std::vector<nv::TestEntry> bad;
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
    nv::LauncherFile overrun(launcher({{nv::typeApplicationArchive, 1, "cut.bin", std::string(100, 'c')}},
                                      nv::EntryChecksums::none, 100000));
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
    const std::vector<nv::TestEntry> entries = {{nv::typeInstructions, 1, "p.tag", program},
                                                {nv::typeLaunchScript, 2, "s.tag", "DESC: s\n"},
                                                {nv::typeClassPathArchive, 3, "lib.jar", jar}};
    const std::string damaged = "The launcher file is damaged. Please download it again.";
    nv::setRunLogPath(LauncherString((dir / "loaded.log").string()));
    const auto loggedFor = [&](const std::string& name, const std::string& read, const std::string& recorded) {
        return "ERROR: The embedded file " + name + " has the CRC-32 " + hex(nv::zlibCrcOf(read)) +
               "; the launcher file records " + hex(nv::zlibCrcOf(recorded)) + ".\n";
    };

    // A tag file, read into memory: its check comes before its lines are
    // parsed (the flipped colon would otherwise be a syntax error).
    settings.launcherPath = launcher(entries, nv::EntryChecksums::recorded);
    nv::RunContent tags(settings, files);
    flipByte(dir / "setup.exe", "INSTRUCTIONS:", 12);
    try {
        tags.load(nv::Dispatch::yes);
        ADD_FAILURE() << "a damaged program was dispatched";
    } catch (const nv::LauncherException& e) {
        EXPECT_EQ(e.message().str(), damaged);
    }
    std::string flipped = program;
    flipped[12] ^= 0x20;
    EXPECT_NE(nv::readFile(dir / "loaded.log").find(loggedFor("p.tag", flipped, program)), std::string::npos)
        << nv::readFile(dir / "loaded.log");

    // An extracted file: removed, and with -nv:extract whatever was written before it.
    for (bool all : {false, true}) {
        settings.launcherPath = launcher(entries, nv::EntryChecksums::recorded);
        nv::RunContent loaded(settings, files);
        flipByte(dir / "setup.exe", jar, 1);
        loaded.load(nv::Dispatch::no);
        try {
            if (all) {
                loaded.extractAll();
            } else {
                loaded.file().extract(*loaded.file().entryAt(2), LauncherString());
            }
            ADD_FAILURE() << "a damaged entry was extracted";
        } catch (const nv::LauncherException& e) {
            EXPECT_EQ(e.message().str(), damaged) << all;
        }
        EXPECT_TRUE(fs::is_empty(dir / "out")) << all;
    }
    std::string flippedJar = jar;
    flippedJar[1] ^= 0x20;
    EXPECT_NE(nv::readFile(dir / "loaded.log").find(loggedFor("lib.jar", flippedJar, jar)), std::string::npos);

    // A file without checksums (packed before them) is read as it always was.
    settings.launcherPath = launcher(entries);
    nv::RunContent old(settings, files);
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
