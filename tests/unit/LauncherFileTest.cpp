// The launcher file format: what the writer produces, the reader reads back,
// and every way a damaged index fails.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "archive/LauncherFile.h"
#include "archive/LauncherFileFormat.h"
#include "foundation/Crc32.h"
#include "foundation/LauncherException.h"
#include "foundation/Log.h"
#include "foundation/ScopeGuard.h"
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

// An entry of the stub's last two bytes, which end right at the index.
FileIndexEntry lastTwoBytes(const std::string& stub) {
    return entry(0, 1, 2, static_cast<std::int32_t>(stub.size()) - 2, "a.tag");
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

const char* const damaged = "The launcher file is damaged. Please download it again.";

// What loading these bytes refused, as the run log says it; the user is told
// only that the file is damaged. Empty when they loaded.
std::string loadError(const std::string& bytes) {
    TempLauncher file(bytes);
    const std::string log = ::testing::TempDir() + "nv_launcher_load.log";
    std::remove(log.c_str());
    nv::setRunLogPath(LauncherString(log));
    nv::ScopeGuard noLog([&log] {
        nv::setRunLogPath("");
        std::remove(log.c_str());
    });
    LauncherFile launcher(file.path());
    try {
        launcher.loadIndex();
    } catch (const nv::LauncherException& e) {
        EXPECT_FALSE(launcher.loaded());
        EXPECT_EQ(e.message().str(), damaged);
        const std::string text = nv::readFile(log);
        const std::size_t at = text.find("ERROR: ");
        return at == std::string::npos ? "no ERROR line" : text.substr(at + 7, text.find('\n', at) - at - 7);
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
    // Bytes enough for the entries, the last ending right at the index.
    TempLauncher file(launcherBytes(written, 2, std::string(5110, 'x')));
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

// The block of an nvpack that checked the entries alone: their CRC-32s, count, "NVCK".
std::string entryChecksums(const std::uint32_t* crcs, std::uint32_t count) {
    std::string block;
    for (std::uint32_t i = 0; i < count; ++i) fmt::appendUint32(block, crcs[i]);
    fmt::appendUint32(block, count);
    return block + "NVCK";
}

TEST(LauncherFileFormat, OnlyZerosOrAWholeBlockMayLieBetweenTheDataAndTheIndex) {
    const std::uint32_t crcs[] = {0x11223344u, 0xAABBCCDDu, 0x55667788u};
    const std::string two = entryChecksums(crcs, 2);
    std::string otherMagic = two;
    otherMagic.back() = 'X';
    const char* const unchecked = "";
    const char* const checked = "checked";
    const struct {
        const char* what;
        std::string between;
        std::int32_t secondLength;
        const char* outcome;  // unchecked, checked or the logged refusal
    } cases[] = {
        {"nothing between: packed by hand", "", 4, unchecked},
        {"the zeros of an nvpack of before the checksums", std::string(5, '\0'), 4, unchecked},
        {"the entries' block of an nvpack of before the index's", two, 4, checked},
        {"zeros, then that block", std::string(3, '\0') + two, 4, checked},
        // The second entry's data ends in what looks like a block: it is data.
        {"a block inside an entry's data", two, 4 + static_cast<std::int32_t>(two.size()), unchecked},
        {"more zeros than alignment adds", std::string(8, '\0'), 4, "The file index does not match its checksums."},
        {"another magic value", otherMagic, 4, "The file index does not match its checksums."},
        {"a count below the index's", entryChecksums(crcs, 1), 4, "The file index does not match its checksums."},
        {"a count above the index's", entryChecksums(crcs, 3), 4, "The file index does not match its checksums."},
        {"a block reaching into an entry's data", two, 5, "The file index does not match its checksums."},
        {"a byte in front of the block", "x" + two, 4, "The file index does not match its checksums."},
    };
    for (const auto& c : cases) {
        const std::string bytes = withBetween(c.between, c.secondLength);
        if (c.outcome != unchecked && c.outcome != checked) {
            EXPECT_EQ(loadError(bytes), c.outcome) << c.what;
            continue;
        }
        TempLauncher file(bytes);
        LauncherFile launcher(file.path());
        launcher.loadIndex();
        ASSERT_EQ(launcher.entryCount(), 2) << c.what;
        for (std::int32_t i = 0; i < 2; ++i) {
            EXPECT_EQ(launcher.entryAt(i)->hasCrc, c.outcome == checked) << c.what;
            EXPECT_EQ(launcher.entryAt(i)->crc, c.outcome == checked ? crcs[i] : 0u) << c.what;
        }
    }
}

// A stub of one section whose raw data ends at `end`, the stub's length.
std::string stubWithSection(std::size_t end) {
    std::string stub = nv::test::peStub(false);
    stub.resize(end, '\0');
    stub[nv::test::peHeaderAt + 6] = 1;                         // sections
    stub[nv::test::peHeaderAt + 20] = static_cast<char>(0xE0);  // optional header size
    const std::size_t table = nv::test::optionalHeaderAt + 0xE0;
    nv::test::putLittleEndian(stub, table + 16, static_cast<std::uint32_t>(end - 0x200));  // raw size
    nv::test::putLittleEndian(stub, table + 20, 0x200);                                    // raw position
    return stub;
}

// A launcher file laid out as nvpack lays it out: the stub, the files' data,
// the zeros that align the end, the checksums, the index and the trailer.
std::string packed(const std::string& stub, const std::vector<std::pair<std::string, std::string>>& files,
                   std::uint8_t mode = 1) {
    std::string data;
    std::vector<std::uint32_t> crcs;
    std::vector<FileIndexEntry> index;
    for (const auto& f : files) {
        index.push_back(entry(3, static_cast<std::int32_t>(index.size()) + 1,
                              static_cast<std::int32_t>(f.second.size()),
                              static_cast<std::int32_t>(stub.size() + data.size()), f.first.c_str()));
        nv::Crc32 crc;
        crc.update(f.second.data(), f.second.size());
        crcs.push_back(crc.value());
        data += f.second;
    }
    std::string indexBytes;
    fmt::appendUint32(indexBytes, static_cast<std::uint32_t>(index.size()));
    for (const auto& e : index) fmt::appendIndexEntry(indexBytes, e);
    const std::size_t block = 4 + 4 * crcs.size() + 8;
    const std::size_t zeros = (8 - (stub.size() + data.size() + block + indexBytes.size() + 9) % 8) % 8;
    std::string tail = indexBytes;
    fmt::appendTrailer(tail, mode, static_cast<std::uint32_t>(stub.size() + data.size() + zeros + block));
    std::string bytes = stub + data + std::string(zeros, '\0');
    fmt::appendChecksums(bytes, crcs.data(), static_cast<std::int32_t>(crcs.size()), tail);
    return bytes + tail;
}

TEST(LauncherFileFormat, TheChecksumsCoverTheIndexTheModeByteAndTheTrailer) {
    const std::string bytes = packed(stubWithSection(0x300), {{"lib.jar", "PK library"}, {"app.jar", "PK app"}}, 2);
    EXPECT_EQ(bytes.size() % 8, 0u);
    TempLauncher file(bytes);
    LauncherFile launcher(file.path());
    launcher.loadIndex();
    ASSERT_EQ(launcher.entryCount(), 2);
    EXPECT_TRUE(launcher.entryAt(0)->hasCrc);
    EXPECT_TRUE(launcher.entryAt(1)->hasCrc);
    EXPECT_EQ(nv::readModeByte(file.path()), 2);

    // Every bit of everything behind the data flipped in turn: the file is
    // refused as damaged, or reads exactly as before; never a changed entry.
    const std::size_t dataEnd = 0x300 + 16;
    for (std::size_t at = dataEnd; at < bytes.size(); ++at) {
        for (int bit = 0; bit < 8; ++bit) {
            std::string flipped = bytes;
            flipped[at] = static_cast<char>(flipped[at] ^ (1 << bit));
            TempLauncher damagedFile(flipped);
            LauncherFile reread(damagedFile.path());
            try {
                reread.loadIndex();
            } catch (const nv::LauncherException& e) {
                EXPECT_EQ(e.message().str(), damaged);
                continue;
            }
            ADD_FAILURE() << "byte " << at << " bit " << bit << " was read as a good file";
        }
    }
}

TEST(LauncherFileFormat, AFileCutShortAtAnyPointIsDamaged) {
    const std::string stub = stubWithSection(0x300);
    const std::string bytes = packed(stub, {{"lib.jar", "PK library"}});
    for (std::size_t length = stub.size() + 1; length < bytes.size(); ++length) {
        EXPECT_NE(loadError(bytes.substr(0, length)), "") << length;
    }
    EXPECT_EQ(loadError(bytes.substr(0, stub.size() - 1)), "The launcher file does not end as it was packed.");
    // The bare stub, and one with the zeros that signing adds, carry no payload.
    for (const std::string& bare : {stub, stub + std::string(7, '\0')}) {
        TempLauncher file(bare);
        LauncherFile launcher(file.path());
        launcher.loadIndex();
        EXPECT_EQ(launcher.entryCount(), 0);
    }
    EXPECT_EQ(loadError(bytes.substr(0, bytes.size() - 1)), "The launcher file does not end as it was packed.");
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
        fmt::appendIndexEntry(e, entry(3, flag, 1, 3, "x"));
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
    TempLauncher file(launcherBytes(entries(entry(3, 5, 1, 12, "first"), entry(3, 5, 1, 12, "second"))));
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
            const std::string stub = nv::test::peStub(wide);
            std::string bytes = launcherBytes(entries(lastTwoBytes(stub)), 2, stub);
            nv::test::appendSignature(bytes, wide, zeros);
            TempLauncher file(bytes);
            LauncherFile launcher(file.path());
            launcher.loadIndex();
            EXPECT_EQ(launcher.entryCount(), 1) << wide << " " << zeros;
            EXPECT_EQ(nv::readModeByte(file.path()), 2) << wide << " " << zeros;
        }
    }
}

TEST(LauncherFileFormat, NothingInsideOrAfterTheCertificateTableIsRead) {
    const std::string stub = stubWithSection(0x300);
    const std::string signedFile = packed(stub, {{"lib.jar", "PK library"}});
    // Another program, index and trailer planted at the end of the table,
    // which the signature does not cover.
    const std::string planted = packed("", {{"evil.jar", "PK planted"}, {"more.jar", "PK more"}});
    struct Case {
        const char* what;
        std::string bytes;
        const char* refusal;  // null: loads the signed entries alone
        std::int32_t entries;
    } cases[] = {
        {"a trailer planted inside the table", signedFile, nullptr, 1},
        {"a trailer planted in the table of a bare stub", stub, nullptr, 0},
        {"more zeros than alignment adds", signedFile, "The launcher file does not end as it was packed.", 0},
        {"a non-zero byte before the table", signedFile + "x", "The launcher file does not end as it was packed.", 0},
        {"a table that does not reach the end", signedFile, "The launcher file does not end as it was packed.", 0},
        {"bytes after the table", signedFile, "The launcher file does not end as it was packed.", 0}};
    nv::test::appendSignature(cases[0].bytes, false, 0, "certificate table" + planted);
    nv::test::appendSignature(cases[1].bytes, false, 0, "certificate table" + planted);
    nv::test::appendSignature(cases[2].bytes, false, 8);
    nv::test::appendSignature(cases[3].bytes, false, 2);
    nv::test::appendSignature(cases[4].bytes, false, 0);
    nv::test::putLittleEndian(cases[4].bytes, nv::test::securityDirectoryAt(false) + 4, 5);
    nv::test::appendSignature(cases[5].bytes, false, 0);
    cases[5].bytes += "more";
    for (const Case& c : cases) {
        if (c.refusal) {
            EXPECT_EQ(loadError(c.bytes), c.refusal) << c.what;
            TempLauncher file(c.bytes);
            EXPECT_EQ(nv::readModeByte(file.path()), -1) << c.what;
            continue;
        }
        TempLauncher file(c.bytes);
        LauncherFile launcher(file.path());
        launcher.loadIndex();
        ASSERT_EQ(launcher.entryCount(), c.entries) << c.what;
        if (c.entries == 1) {
            EXPECT_EQ(launcher.entryAt(0)->name, LauncherString("lib.jar")) << c.what;
        }
    }
}
