// The launcher file format: what the writer produces, the reader reads back,
// and every way a damaged index fails.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "archive/LauncherFile.h"
#include "archive/LauncherFileFormat.h"
#include "foundation/LauncherException.h"
#include "tests/support/SignedImage.h"
#include "tests/support/TestDirectory.h"

namespace fmt = nv::format;
using nv::FileIndexEntry;
using nv::LauncherFile;
using nv::LauncherString;

namespace {

// A launcher file on disk, removed at the end of the test.
class TempLauncher {
public:
    explicit TempLauncher(const std::string& bytes) {
        static int counter = 0;
        path_ = ::testing::TempDir() + "nv_launcher_" + std::to_string(++counter) + ".bin";
        nv::writeFile(path_, bytes);
    }
    ~TempLauncher() { std::remove(path_.c_str()); }
    LauncherString path() const { return LauncherString(path_); }

private:
    std::string path_;
};

FileIndexEntry entry(std::uint8_t type, std::int32_t id, std::int32_t length, std::int32_t offset, const char* name,
                     bool compressed = false) {
    FileIndexEntry e;
    e.type = type;
    e.fileId = id;
    e.length = length;
    e.offset = offset;
    e.name = name;
    e.compressed = compressed;
    if (compressed) {
        e.decompressedFileCount = 12;
        e.decompressedSize = 3456;
    }
    return e;
}

template <class... E>
std::vector<FileIndexEntry> entries(E&&... e) {
    std::vector<FileIndexEntry> list;
    (list.push_back(std::forward<E>(e)), ...);
    return list;
}

// Stub bytes, then an index of the entries, then mode byte and trailer.
std::string launcherBytes(const std::vector<FileIndexEntry>& entries, std::uint8_t mode = 1,
                          const std::string& stub = "MZ-stub-bytes") {
    std::string bytes = stub;
    auto indexOffset = static_cast<std::uint32_t>(bytes.size());
    fmt::appendUint32(bytes, static_cast<std::uint32_t>(entries.size()));
    for (const auto& e : entries) fmt::appendIndexEntry(bytes, e);
    fmt::appendTrailer(bytes, mode, indexOffset);
    return bytes;
}

std::string loadError(const std::string& bytes) {
    TempLauncher file(bytes);
    LauncherFile launcher(file.path());
    try {
        launcher.loadIndex();
    } catch (const nv::LauncherException& e) {
        EXPECT_FALSE(launcher.loaded());
        return e.message().str();
    }
    return "";
}

}  // namespace

TEST(LauncherFileFormat, TheWorkedExampleHasTheseBytes) {
    std::string bytes;
    fmt::appendUint32(bytes, 1);
    fmt::appendIndexEntry(bytes, entry(2, 3, 0x200, 0x100, "ls.tag"));
    fmt::appendTrailer(bytes, 0, 0x1000);
    const unsigned char expected[] = {0, 0,   0,   1,   2,   0,   0,   0, 3, 0, 0, 2,    0, 0,    0,    1,    0,   0,
                                      6, 'l', 's', '.', 't', 'a', 'g', 0, 0, 0, 0, 0x10, 0, 0xCA, 0x82, 0xCA, 0x82};
    EXPECT_EQ(bytes, std::string(reinterpret_cast<const char*>(expected), sizeof expected));
}

TEST(LauncherFileFormat, WriterAndReaderAgree) {
    std::vector<FileIndexEntry> written;
    written.push_back(entry(0, 1, 10, 100, "instructions.tag"));
    written.push_back(entry(4, 7, 5000, 110, "jvm.exe", true));
    written.push_back(entry(7, -5, 0, 0, ""));
    // A stub long enough for the entries to lie between it and the index.
    TempLauncher file(launcherBytes(written, 2, std::string(5200, 'x')));
    LauncherFile launcher(file.path());
    launcher.loadIndex();
    ASSERT_EQ(launcher.entryCount(), 3);
    for (std::int32_t i = 0; i < 3; ++i) {
        const FileIndexEntry& got = *launcher.entryAt(i);
        const FileIndexEntry& want = written[static_cast<std::size_t>(i)];
        EXPECT_EQ(got.type, want.type);
        EXPECT_EQ(got.fileId, want.fileId);
        EXPECT_EQ(got.length, want.length);
        EXPECT_EQ(got.offset, want.offset);
        EXPECT_EQ(got.name, want.name);
        EXPECT_EQ(got.compressed, want.compressed);
        EXPECT_EQ(got.decompressedFileCount, want.decompressedFileCount);
        EXPECT_EQ(got.decompressedSize, want.decompressedSize);
    }
    EXPECT_EQ(launcher.entryAt(3), nullptr);
    EXPECT_EQ(launcher.entryAt(-1), nullptr);
    EXPECT_EQ(launcher.entryById(7)->name, LauncherString("jvm.exe"));
    EXPECT_EQ(launcher.entryById(99), nullptr);
    EXPECT_EQ(nv::readModeByte(file.path()), 2);
}

TEST(LauncherFileFormat, DamagedIndexesFailWithTheirMessage) {
    std::string twoGoodThenType9 =
        launcherBytes(entries(entry(0, 1, 1, 1, "a"), entry(1, 2, 1, 1, "b"), entry(2, 3, 1, 1, "c")));
    // The third entry starts after the stub, the count and two 17-byte entries.
    twoGoodThenType9[13 + 4 + 2 * 17] = 9;
    std::string hostile = "stub";
    fmt::appendUint32(hostile, 0x7FFFFFFF);
    hostile += std::string(1 << 20, '\0');
    fmt::appendTrailer(hostile, 1, 4);
    std::string twoGoodThenJunk = launcherBytes(entries(entry(0, 1, 1, 1, "a"), entry(1, 2, 1, 1, "b")));
    twoGoodThenJunk.insert(twoGoodThenJunk.size() - 9, "junk");
    std::string hugeLength = launcherBytes(entries(entry(3, 1, 1, 1, "a")));
    hugeLength[13 + 4 + 5] = '\x80';
    std::string hugeOffset = launcherBytes(entries(entry(3, 1, 1, 1, "a")));
    hugeOffset[13 + 4 + 9] = '\x80';

    struct Case {
        const char* what;
        std::string bytes;
        const char* message;
    } cases[] = {
        {"five bytes", "12345", "Invalid launcher format."},
        {"index offset past the end", std::string("\0\x7F\xFF\xFF\xFF\xCA\x82\xCA\x82", 9),
         "Unable to read the file count."},
        {"negative index offset", std::string("\0\xFF\xFF\xFF\xF0\xCA\x82\xCA\x82", 9), "Invalid file index offset."},
        {"type 9 in third entry", twoGoodThenType9, "Invalid file type in file index."},
        {"count larger than the entries", std::string("\0\0\0\x05\0\0\0\0\0\0\0\0\0\0\0\0\xCA\x82\xCA\x82", 20),
         "The file index lists more entries than the launcher file holds."},
        // Millions of valid-looking zero entries: refused before reading any.
        {"hostile count", hostile, "The file index lists more entries than the launcher file holds."},
        {"bytes between index and mode byte", twoGoodThenJunk, "The file index does not end at the mode byte."},
        {"length of 2^31", hugeLength, "Invalid file length in file index."},
        {"offset of 2^31", hugeOffset, "Invalid offset to file bytes in file index."},
    };
    for (const Case& c : cases) EXPECT_EQ(loadError(c.bytes), c.message) << c.what;
}

TEST(LauncherFileFormat, EveryEntryLiesBetweenTheStubAndTheIndex) {
    // A stub whose two sections end at 0x300, then 8 bytes of data, then the index at 0x308.
    std::string stub = nv::test::peStub(false);
    stub.resize(0x300, '\0');
    stub[nv::test::peHeaderAt + 6] = 2;                         // sections
    stub[nv::test::peHeaderAt + 20] = static_cast<char>(0xE0);  // optional header size
    const std::size_t table = nv::test::optionalHeaderAt + 0xE0;
    for (std::uint32_t i = 0; i < 2; ++i) {
        nv::test::putLittleEndian(stub, table + 40 * i + 16, 0x80);              // raw size
        nv::test::putLittleEndian(stub, table + 40 * i + 20, 0x200 + 0x80 * i);  // raw position
    }
    const struct {
        std::int32_t offset;
        std::int32_t length;
        bool inside;
    } cases[] = {{0x300, 8, true},  {0x308, 0, true},    {0x2FF, 1, false}, {0x300, 9, false},
                 {0x308, 1, false}, {0x10000, 4, false}, {0, 0, false}};
    for (const auto& c : cases) {
        std::string bytes = stub + "abcdefgh";
        const auto indexOffset = static_cast<std::uint32_t>(bytes.size());
        fmt::appendUint32(bytes, 1);
        fmt::appendIndexEntry(bytes, entry(0, 1, c.length, c.offset, "prog.tag"));
        fmt::appendTrailer(bytes, 1, indexOffset);
        EXPECT_EQ(
            loadError(bytes),
            c.inside ? "" : "The embedded file prog.tag lies outside the launcher file's payload; it may be damaged.")
            << c.offset << " " << c.length;
    }
}

// Two entries ("abcd" and "efgh" after the stub), then `between`, then the index.
std::string withBetween(const std::string& between, std::int32_t secondLength = 4) {
    std::string bytes = "MZ-stub-bytes";
    bytes += "abcdefgh" + between;
    const auto indexOffset = static_cast<std::uint32_t>(bytes.size());
    fmt::appendUint32(bytes, 2);
    fmt::appendIndexEntry(bytes, entry(3, 1, 4, 13, "a.jar"));
    fmt::appendIndexEntry(bytes, entry(3, 2, secondLength, 17, "b.jar"));
    fmt::appendTrailer(bytes, 1, indexOffset);
    return bytes;
}

TEST(LauncherFileFormat, ChecksumsAreTakenOnlyFromABlockThatFitsInFrontOfTheIndex) {
    const std::uint32_t crcs[] = {0x11223344u, 0xAABBCCDDu, 0x55667788u};
    std::string two;
    fmt::appendChecksums(two, crcs, 2);
    std::string three;
    fmt::appendChecksums(three, crcs, 3);
    std::string one;
    fmt::appendChecksums(one, crcs, 1);
    std::string otherMagic = two;
    otherMagic.back() = 'X';
    const struct {
        const char* what;
        std::string between;
        std::int32_t secondLength;
        bool checked;
    } cases[] = {
        {"nothing between: packed by hand", "", 4, false},
        {"the zeros of an nvpack of before the checksums", std::string(5, '\0'), 4, false},
        {"a block", two, 4, true},
        {"zeros, then a block", std::string(3, '\0') + two, 4, true},
        {"another magic value", otherMagic, 4, false},
        {"a count that is not the index's", one, 4, false},
        {"a count above the index's", three, 4, false},
        // The second entry's data ends in what looks like a block: it is data.
        {"a block inside an entry's data", two, 4 + static_cast<std::int32_t>(two.size()), false},
        {"a block reaching into an entry's data", two, 5, false},
    };
    for (const auto& c : cases) {
        TempLauncher file(withBetween(c.between, c.secondLength));
        LauncherFile launcher(file.path());
        launcher.loadIndex();
        ASSERT_EQ(launcher.entryCount(), 2) << c.what;
        for (std::int32_t i = 0; i < 2; ++i) {
            EXPECT_EQ(launcher.entryAt(i)->hasCrc, c.checked) << c.what;
            EXPECT_EQ(launcher.entryAt(i)->crc, c.checked ? crcs[i] : 0u) << c.what;
        }
    }
}

TEST(LauncherFileFormat, EachFieldHasItsOwnMessage) {
    // A full compressed entry, cut after each field in turn.
    std::string full;
    fmt::appendIndexEntry(full, entry(4, 1, 2, 3, "n", true));
    struct Cut {
        std::size_t keep;
        const char* message;
    } cuts[] = {{0, "Invalid file type in file index."},  {3, "Unable to load file id."},
                {7, "Unable to load file length."},       {11, "Unable to load offset to file bytes."},
                {14, "Unable to load the string value."}, {18, "Unable to load decompressed file count."},
                {24, "Unable to load decompressed size."}};
    for (const Cut& cut : cuts) {
        struct Source : fmt::ByteSource {
            std::string bytes;
            std::size_t pos = 0;
            int next() override { return pos < bytes.size() ? static_cast<unsigned char>(bytes[pos++]) : -1; }
        } in;
        in.bytes = full.substr(0, cut.keep);
        try {
            fmt::readIndexEntry(in);
            ADD_FAILURE() << "no failure after " << cut.keep << " bytes";
        } catch (const nv::LauncherException& e) {
            EXPECT_EQ(e.message().str(), cut.message) << cut.keep;
        }
    }
}

TEST(LauncherFileFormat, FilesWithoutPayloadOrEntries) {
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"no identification value", "just an executable without payload"},
        {"file count 0", launcherBytes(entries())},
        {"file count with its top bit set", std::string("\x80\0\0\x01\x01\0\0\0\0\xCA\x82\xCA\x82", 13)},
    };
    for (const Case& c : cases) {
        TempLauncher file(c.bytes);
        LauncherFile launcher(file.path());
        launcher.loadIndex();
        EXPECT_TRUE(launcher.loaded()) << c.what;
        EXPECT_EQ(launcher.entryCount(), 0) << c.what;
    }
}

TEST(LauncherFileFormat, PlainEntriesHaveNoCountFields) {
    // Compressed bytes 0, 2 and 255 mean plain: the next entry follows at once.
    std::string bytes = "stub";
    fmt::appendUint32(bytes, 3);
    for (unsigned char flag : {0, 2, 255}) {
        std::string e;
        fmt::appendIndexEntry(e, entry(3, flag, 1, 1, "x"));
        e.back() = static_cast<char>(flag);
        bytes += e;
    }
    fmt::appendTrailer(bytes, 1, 4);
    TempLauncher file(bytes);
    LauncherFile launcher(file.path());
    launcher.loadIndex();
    ASSERT_EQ(launcher.entryCount(), 3);
    EXPECT_EQ(launcher.entryAt(2)->fileId, 255);
    EXPECT_FALSE(launcher.entryAt(1)->compressed);
}

TEST(LauncherFileFormat, LookupByIdTakesTheFirstAndLoadingHappensOnce) {
    TempLauncher file(launcherBytes(entries(entry(3, 5, 1, 1, "first"), entry(3, 5, 1, 1, "second"))));
    LauncherFile launcher(file.path());
    launcher.loadIndex();
    EXPECT_EQ(launcher.entryById(5)->name, LauncherString("first"));
    std::remove(file.path().c_str());
    launcher.loadIndex();  // the file is gone: a second read would fail
    EXPECT_EQ(launcher.entryCount(), 2);
}

TEST(LauncherFileFormat, ModeByteOfShortOrMissingFiles) {
    TempLauncher shortFile("12345678");
    EXPECT_EQ(nv::readModeByte(shortFile.path()), -1);
    TempLauncher noTrailer(std::string(64, '\0'));
    EXPECT_EQ(nv::readModeByte(noTrailer.path()), -1);
    EXPECT_EQ(nv::readModeByte("/nonexistent/launcher.exe"), -1);
    EXPECT_EQ(loadError(""), "Invalid launcher format.");
}

TEST(LauncherFileFormat, EntryNamesThatAreNoPlainFileAreUnsafe) {
    const std::string tooLong(256, 'n');
    for (const std::string& bad : std::vector<std::string>{"",          ".",           "..",
                                                           "...",       ". .",         "a\\b",
                                                           "a/b",       "C:x",         "..\\up",
                                                           "tab\tname", "del\x7f",     "a<b",
                                                           "a>b",       "a\"b",        "a|b",
                                                           "a?b",       "a*b",         "name.",
                                                           "name ",     "NUL",         "nul.txt",
                                                           "Con",       "prn.tag",     "AUX.x.y",
                                                           "com1",      "COM9.jar",    "lpt5",
                                                           "nul .txt",  "COM\xB9",     "lpt\xB2.txt",
                                                           "com\xB3",   "COM\xC2\xB9", "LPT\xC2\xB3.jar",
                                                           "CONIN$",    "conout$.txt", tooLong}) {
        EXPECT_FALSE(fmt::isSafeEntryName(LauncherString(bad))) << bad;
    }
    for (const std::string& good :
         std::vector<std::string>{"jvm.exe", "a..b", ".hidden", "setup 1.tag", "com10", "lpt0", "console.txt", "nully",
                                  "com.txt", "com\xB4", "COM\xC2\xB4", "CONIN", "conout$x", std::string(255, 'n')}) {
        EXPECT_TRUE(fmt::isSafeEntryName(LauncherString(good))) << good;
    }
}

TEST(LauncherFileFormat, ASignedFileIsReadInFrontOfItsCertificateTable) {
    for (bool wide : {false, true}) {
        for (std::size_t zeros : {0, 3, 7}) {
            std::string bytes = launcherBytes(entries(entry(0, 1, 2, 0, "a.tag")), 2, nv::test::peStub(wide));
            nv::test::appendSignature(bytes, wide, zeros);
            TempLauncher file(bytes);
            LauncherFile launcher(file.path());
            launcher.loadIndex();
            EXPECT_EQ(launcher.entryCount(), 1) << wide << " " << zeros;
            EXPECT_EQ(nv::readModeByte(file.path()), 2) << wide << " " << zeros;
        }
    }
}

TEST(LauncherFileFormat, ATrailerIsLookedForOnlyRightBeforeTheWholeCertificateTable) {
    const std::string unsigned_ = launcherBytes(entries(entry(0, 1, 2, 0, "a.tag")), 2, nv::test::peStub(false));
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {{"more zeros than alignment adds", unsigned_},
                 {"a non-zero byte before the table", unsigned_},
                 {"a table that does not reach the end", unsigned_},
                 {"bytes after the table", unsigned_}};
    nv::test::appendSignature(cases[0].bytes, false, 8);
    cases[1].bytes += 'x';
    nv::test::appendSignature(cases[1].bytes, false, 2);
    nv::test::appendSignature(cases[2].bytes, false, 0);
    nv::test::putLittleEndian(cases[2].bytes, nv::test::securityDirectoryAt(false) + 4, 5);
    nv::test::appendSignature(cases[3].bytes, false, 0);
    cases[3].bytes += "more";
    for (const Case& c : cases) {
        TempLauncher file(c.bytes);
        LauncherFile launcher(file.path());
        launcher.loadIndex();
        EXPECT_EQ(launcher.entryCount(), 0) << c.what;
        EXPECT_EQ(nv::readModeByte(file.path()), -1) << c.what;
    }
}
