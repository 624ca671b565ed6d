// The carried JVM archive: what nvjvm packs is what the reader hands on, the
// packer refuses folders it cannot carry faithfully and programs that are not
// the unpacker, and the reader refuses damaged data, names that lead outside
// the destination and records below a directory it has not seen before a sink
// sees them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <vector>

#include "JvmArchiveFormat.h"
#include "JvmArchiveReader.h"
#include "JvmArchiveWriter.h"
#include "JvmFileText.h"
#include "NvjvmProgram.h"
#include "ResourceTree.h"
#include "RuntimeFolder.h"
#include "WindowsProgram.h"
#include "tagfile/TagFile.h"
#include "tests/support/ResourceProgram.h"
#include "tests/support/SignedImage.h"
#include "tests/support/TestDirectory.h"
#include "tools/common/PackError.h"

namespace fs = std::filesystem;
using nv::readFile;
using nv::writeFile;

namespace {

// Hands out a string in pieces of an odd size, so records straddle reads.
class StringSource : public nvjvm::CompressedSource {
public:
    explicit StringSource(std::string bytes) : bytes_(std::move(bytes)) {}
    std::size_t read(unsigned char* buffer, std::size_t size) override {
        const std::size_t n = std::min({size, bytes_.size() - at_, std::size_t(7777)});
        std::copy(bytes_.begin() + static_cast<long>(at_), bytes_.begin() + static_cast<long>(at_ + n), buffer);
        at_ += n;
        return n;
    }

private:
    std::string bytes_;
    std::size_t at_ = 0;
};

// Keeps the records: "D name" / "F name" in order, file contents by name.
class MemorySink : public nvjvm::ArchiveSink {
public:
    std::vector<std::string> records;
    std::map<std::string, std::string> files;
    std::string jvmText;
    bool jvmSeen = false;

    void directory(const std::string& name) override { records.push_back("D " + name); }
    void beginFile(const std::string& name, std::uint64_t) override {
        records.push_back("F " + name);
        current_ = name;
    }
    void fileData(const unsigned char* data, std::size_t size) override {
        files[current_].append(reinterpret_cast<const char*>(data), size);
    }
    void endFile() override {}
    void jvmFile(const std::string& text) override {
        jvmText = text;
        jvmSeen = true;
    }

private:
    std::string current_;
};

// A program with one RCDATA resource `name` holding `data`: with the
// unpacker's own name and mark, it passes for the unpacker.
std::string programWithRcData(const std::string& name, const std::string& data) {
    nvpack::ResourceTree tree;
    nvpack::ResourceNode& datum = tree.root.findOrAdd(nvpack::ResourceName::of(10))
                                      .findOrAdd({false, 0, std::u16string(name.begin(), name.end())})
                                      .findOrAdd(nvpack::ResourceName::of(0x409));
    datum.isDirectory = false;
    datum.data = data;
    return nv::test::programWith(tree);
}

std::string markedUnpacker() { return programWithRcData(nvjvm::unpackerResource, nvjvm::unpackerMark); }

std::string deflated(const std::string& bytes) {
    uLongf size = compressBound(bytes.size());
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(&out[0]), &size, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size(), 9);
    out.resize(size);
    return out;
}

std::string fileRecord(const std::string& name, const std::string& data) {
    std::string r(1, nvjvm::fileRecord);
    nvjvm::appendNumber(r, name.size(), 2);
    r += name;
    nvjvm::appendNumber(r, data.size(), 8);
    return r + data;
}

std::string directoryRecord(const std::string& name) {
    std::string r(1, nvjvm::directoryRecord);
    nvjvm::appendNumber(r, name.size(), 2);
    return r + name;
}

std::string jvmRecord(const std::string& text) {
    std::string r(1, nvjvm::jvmFileRecord);
    nvjvm::appendNumber(r, text.size(), 4);
    return r + text;
}

class JvmArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        runtime = dir / "runtime";
        writeFile(runtime / "bin" / "java.exe", nv::test::peStub(true));
        writeFile(runtime / "release",
                  "IMPLEMENTOR=\"Example\"\nJAVA_RUNTIME_VERSION=\"11.0.2+9\"\nJAVA_VERSION=\"11.0.2\"\n");
        std::string text;
        for (int i = 0; i < 20000; ++i) text += "line " + std::to_string(i % 97) + " of a compressible file\n";
        writeFile(runtime / "lib" / "text.txt", text);
        std::string noise(600 * 1024, '\0');
        std::uint32_t seed = 12345;
        for (char& c : noise) c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 24);
        writeFile(runtime / "lib" / "noise.bin", noise);
        writeFile(runtime / "lib" / "empty", "");
        fs::create_directories(runtime / "lib" / "nothing-here");
        writeFile(dir / "unpacker.exe", markedUnpacker());
    }
    std::string output() const { return (dir / "jvm.exe").string(); }

    nvjvm::ArchiveFigures pack(const std::string& unpacker) const {
        const nvjvm::RuntimeFolder folder = nvjvm::readRuntimeFolder(runtime.string());
        const std::string text = nvjvm::jvmFileText("Example \"JRE\" 11", folder.javaExe, folder.javaVersion);
        return nvjvm::writeJvmArchive(folder, text, unpacker, output());
    }

    // The packer's message, with the output as it was before (none, or an
    // older file) and no temporary file left behind.
    std::string refusal(const std::string& unpacker) const {
        const bool existed = fs::exists(output());
        const std::string before = existed ? readFile(output()) : "";
        try {
            pack(unpacker);
        } catch (const nvtools::PackError& e) {
            EXPECT_EQ(fs::exists(output()), existed) << e.what();
            if (existed) {
                EXPECT_EQ(readFile(output()), before);
            }
            EXPECT_FALSE(fs::exists(output() + ".nvjvm-tmp"));
            return e.what();
        }
        return "";
    }

    nv::TestDirectory dir{"jvmarchive_"};
    fs::path runtime;
};

TEST_F(JvmArchiveTest, TheReaderHandsOnWhatThePackerWrote) {
    fs::create_symlink("text.txt", runtime / "lib" / "same-text.txt");  // a link inside is carried as a file
    const nvjvm::ArchiveFigures figures = pack((dir / "unpacker.exe").string());
    const std::string archive = readFile(output());
    EXPECT_EQ(figures.archiveBytes, archive.size());
    const std::string unpacker = readFile(dir / "unpacker.exe");
    EXPECT_EQ(archive.compare(0, unpacker.size(), unpacker), 0);
    EXPECT_EQ(figures.files, 6u);
    EXPECT_EQ(figures.directories, 3u);
    EXPECT_LT(figures.archiveBytes, figures.folderBytes);

    nvjvm::Trailer trailer;
    ASSERT_EQ(nvjvm::decodeTrailer(
                  reinterpret_cast<const unsigned char*>(archive.data()) + archive.size() - nvjvm::trailerSize,
                  archive.size(), trailer),
              nullptr);
    EXPECT_EQ(trailer.dataOffset, unpacker.size());
    EXPECT_EQ(trailer.expandedSize, figures.folderBytes);
    StringSource source(archive.substr(trailer.dataOffset, trailer.dataLength));
    MemorySink sink;
    nvjvm::readJvmArchive(source, trailer.expandedSize, sink);

    const std::vector<std::string> expected = {"D bin",
                                               "F bin\\java.exe",
                                               "D lib",
                                               "F lib\\empty",
                                               "F lib\\noise.bin",
                                               "D lib\\nothing-here",
                                               "F lib\\same-text.txt",
                                               "F lib\\text.txt",
                                               "F release"};
    EXPECT_EQ(sink.records, expected);
    for (const char* name : {"bin/java.exe", "lib/noise.bin", "lib/text.txt", "release"}) {
        std::string windowsName = name;
        std::replace(windowsName.begin(), windowsName.end(), '/', '\\');
        EXPECT_EQ(sink.files[windowsName], readFile(runtime / name)) << name;
    }
    EXPECT_EQ(sink.files["lib\\same-text.txt"], readFile(runtime / "lib" / "text.txt"));

    // The launcher's own tag-file reader finds what a usable JVM file needs.
    writeFile(dir / "jvm", sink.jvmText);
    nv::TagFile tags;
    tags.load((dir / "jvm").string().c_str());
    EXPECT_STREQ(tags.value("DESC").c_str(), "Example \"JRE\" 11");
    EXPECT_STREQ(tags.value("JVM_EXE").c_str(), "bin\\java.exe");
    EXPECT_EQ(tags.valueCount("JVM_PROPERTIES"), 1);
    EXPECT_STREQ(tags.value("JVM_PROPERTIES").c_str(), "java.version=11.0.2");
    EXPECT_STREQ(tags.value("CLASSPATH").c_str(), "-cp ");
    EXPECT_STREQ(tags.value("CLASSPATH_SEPARATOR").c_str(), ";");
    EXPECT_STREQ(tags.value("SYSTEM").c_str(), "-D");
    EXPECT_STREQ(tags.value("SYSTEM_SEPARATOR").c_str(), "=");
}

TEST_F(JvmArchiveTest, ThePackerRefusesWhatItCannotCarryAndLeavesNoOutput) {
    writeFile(dir / "outside.txt", "x");
    const std::string bare = (dir / "unpacker.exe").string();
    struct Case {
        const char* name;
        std::function<void()> change;
        std::string unpacker;
        std::string message;
    };
    const std::string notWindows = runtime.string() + " is not a Windows Java runtime: ";
    const fs::path javaExe = runtime / "bin" / "java.exe";
    const fs::path javawExe = runtime / "bin" / "javaw.exe";
    const std::string elf =
        "\x7f"
        "ELF\2\1\1" +
        std::string(100, '\0');
    std::string mzOnly = "MZ" + std::string(0x3E, '\0');
    mzOnly[0x3C] = 0x40;  // the PE header would start just past the end
    const auto program = [&](const char* name, const std::string& bytes) {
        writeFile(dir / name, bytes);
        return (dir / name).string();
    };
    const std::string notUnpacker = " is not the carried-JVM unpacker (JvmUnpacker.exe)";
    const std::vector<Case> cases = {
        {"no java.exe", [&] { fs::remove(javaExe); }, bare, notWindows + "it has no bin/java.exe"},
        {"java.exe a script", [&] { writeFile(javaExe, "#!/bin/sh\nexec java \"$@\"\n"); }, bare,
         notWindows + javaExe.string() + " is no Windows program"},
        {"java.exe a DOS header alone", [&] { writeFile(javaExe, mzOnly); }, bare,
         notWindows + javaExe.string() + " is no Windows program"},
        {"javaw.exe a Linux program", [&] { writeFile(javawExe, elf); }, bare,
         notWindows + javawExe.string() + " is no Windows program"},
        // Its links leading outside are not what the user hears first.
        {"a Linux runtime",
         [&] {
             fs::remove(javaExe);
             writeFile(runtime / "bin" / "java", elf);
             fs::create_symlink(dir / "outside.txt", runtime / "lib" / "cacerts");
         },
         bare, notWindows + "it has no bin/java.exe"},
        {"no release file", [&] { fs::remove(runtime / "release"); }, bare, "has no release file"},
        {"no version", [&] { writeFile(runtime / "release", "JAVA_RUNTIME_VERSION=\"11\"\n"); }, bare,
         "names no version: it needs a line JAVA_VERSION"},
        {"link outside", [&] { fs::create_symlink(dir / "outside.txt", runtime / "lib" / "out"); }, bare,
         "lib/out is a link that leads outside the runtime folder"},
        {"link to a directory", [&] { fs::create_directory_symlink(runtime / "bin", runtime / "lib" / "b"); }, bare,
         "lib/b is a link to a directory"},
        {"dangling link", [&] { fs::create_symlink(runtime / "gone", runtime / "lib" / "d"); }, bare,
         "lib/d is a link that leads nowhere"},
        {"fifo", [&] { ::mkfifo((runtime / "lib" / "pipe").c_str(), 0600); }, bare,
         "lib/pipe is neither a regular file nor a directory"},
        {"colon", [&] { writeFile(runtime / "lib" / "a:b", ""); }, bare, "holds / or :"},
        {"device name", [&] { writeFile(runtime / "lib" / "aux.txt", ""); }, bare, "names a device"},
        {"port with a superscript digit", [&] { writeFile(runtime / "lib" / "COM\u00B9.dll", ""); }, bare,
         "names a device"},
        {"console device", [&] { writeFile(runtime / "lib" / "conin$", ""); }, bare, "names a device"},
        {"trailing dot", [&] { writeFile(runtime / "lib" / "x.", ""); }, bare, "ending in a dot or blank"},
        {"backslash", [&] { writeFile(runtime / "lib" / "a\\b", ""); }, bare, "Windows takes for a separator"},
        {"case clash", [&] { writeFile(runtime / "lib" / "TEXT.txt", ""); }, bare, "differs from it only in case"},
        {"a jvm at the top", [&] { writeFile(runtime / "JVM", ""); }, bare, "the JVM file's own name"},
        {"missing unpacker", [] {}, (dir / "none.exe").string(), "none.exe cannot be opened"},
        {"unpacker no program", [&] { writeFile(dir / "text.exe", "text"); }, (dir / "text.exe").string(),
         "is no Windows program"},
        {"unpacker a DOS header alone", [] {}, program("dos.exe", mzOnly), "is no Windows program"},
        {"unpacker without resources", [] {}, program("plain.exe", nv::test::peStub(true)),
         (dir / "plain.exe").string() + notUnpacker},
        {"unpacker with the mark under another name", [] {},
         program("named.exe", programWithRcData("OTHER", nvjvm::unpackerMark)), "named.exe" + notUnpacker},
        {"unpacker with other data under the name", [] {},
         program("data.exe", programWithRcData(nvjvm::unpackerResource, "NVJVMAR0 unpacker")),
         "data.exe" + notUnpacker},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path saved = dir / "saved";
        fs::copy(runtime, saved, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
        c.change();
        EXPECT_NE(refusal(c.unpacker).find(c.message), std::string::npos) << refusal(c.unpacker);
        fs::remove_all(runtime);
        fs::rename(saved, runtime);
    }
    // An existing output stays as it was; an archive is no bare unpacker.
    writeFile(output(), "old");
    pack(bare);
    const std::string carried = (dir / "carried.exe").string();
    fs::rename(output(), carried);
    writeFile(output(), "old");
    EXPECT_NE(refusal(carried).find("already carries a JVM archive"), std::string::npos);
}

TEST_F(JvmArchiveTest, ExitCodesTellDoneRefusedInputAndWrongUsageApart) {
    const std::string r = runtime.string(), u = (dir / "unpacker.exe").string(), o = output();
    const struct {
        const char* what;
        std::vector<std::string> args;
        int code;
        const char* out;  // in standard output
        const char* err;  // in standard error
    } cases[] = {
        {"done", {"--runtime", r, "--unpacker", u, "--out", o}, 0, "java.version=11.0.2", ""},
        {"version", {"--version"}, 0, "nvjvm 2.51\nbuilt with the launcher stub 2.51\n", ""},
        {"help", {"-h"}, 0, "docs/guide.md", ""},
        {"no runtime there", {"--runtime", r + "x", "--unpacker", u, "--out", o}, 1, "", "nvjvm: error: "},
        {"given twice", {"--runtime", r, "--runtime", r}, 1, "", "--runtime is given twice"},
        {"empty value", {"--desc", ""}, 1, "", "--desc needs a value that is not empty"},
        {"no arguments", {}, 2, "", "--runtime, --unpacker and --out are required"},
        {"a required option missing", {"--runtime", r, "--out", o}, 2, "", "are required"},
        {"unknown option", {"--runtime", r, "--verbose"}, 2, "", "unknown argument \"--verbose\""},
        {"value missing", {"--runtime", r, "--out"}, 2, "", "--out needs a value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::ostringstream out, err;
        EXPECT_EQ(nvjvm::runNvjvm(c.args, out, err), c.code);
        EXPECT_NE(out.str().find(c.out), std::string::npos) << out.str();
        EXPECT_NE(err.str().find(c.err), std::string::npos) << err.str();
        if (c.code != 0) {
            EXPECT_EQ(out.str(), "");
        }
        fs::remove(o);
    }
}

TEST(JvmFileTextTest, RefusesTextNoTagValueCanHold) {
    EXPECT_THROW(nvjvm::jvmFileText("two\nlines", "bin\\java.exe", "17"), nvtools::PackError);
    EXPECT_THROW(nvjvm::jvmFileText("JRE", "bin\\java.exe", "17\r"), nvtools::PackError);
    EXPECT_NE(nvjvm::jvmFileText(" padded ", "bin\\java.exe", "17").find("DESC:  \" padded \"\n"), std::string::npos);
}

TEST(ReleaseFileTest, FindsJavaVersionOnly) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"JAVA_VERSION=\"17.0.15\"\n", "17.0.15"},
        {"IMPLEMENTOR=\"Debian\"\r\nJAVA_RUNTIME_VERSION=\"17+6\"\r\nJAVA_VERSION=\"17.0.15\"\r\n", "17.0.15"},
        {" JAVA_VERSION = 1.8.0_402 \n", "1.8.0_402"},
        {"JAVA_VERSION_DATE=\"2024\"\nMODULES=\"java.base\"\n", ""},
        {"", ""},
    };
    for (const auto& [text, version] : cases) EXPECT_EQ(nvjvm::releaseJavaVersion(text), version) << text;
}

TEST(JvmArchiveReaderTest, RefusesDamagedDataAndHostileNamesBeforeTheSinkSeesThem) {
    const std::string good = fileRecord("ok.txt", "fine");
    const std::string lib = directoryRecord("lib");
    const std::string jvm = jvmRecord("DESC: x\n");
    struct Case {
        const char* name;
        std::string data;  // compressed
        std::uint64_t expandedSize;
        const char* message;
    };
    const std::string whole = deflated(good + jvm);
    std::string flipped = whole;
    flipped[flipped.size() - 2] ^= 0x55;  // inside the checksum
    std::vector<Case> cases = {
        {"parent", deflated(good + fileRecord("..\\x", "bad") + jvm), 7, "which has a part . or .."},
        {"deep parent", deflated(good + fileRecord("a\\..\\..\\x", "bad") + jvm), 7, "which has a part . or .."},
        {"rooted", deflated(good + fileRecord("\\x", "bad") + jvm), 7, "which has an empty part"},
        {"drive", deflated(good + fileRecord("C:\\x", "bad") + jvm), 7, "which holds / or :"},
        {"slash", deflated(good + fileRecord("a/../x", "bad") + jvm), 7, "which holds / or :"},
        {"stream", deflated(good + fileRecord("java.exe:evil", "bad") + jvm), 7, "which holds / or :"},
        {"a file named jvm", deflated(good + fileRecord("JVM", "bad") + jvm), 7, "own name at the top"},
        {"a directory named jvm", deflated(good + fileRecord("jvm\\x", "bad") + jvm), 7, "own name at the top"},
        // Without its own record, a directory could be whatever stands there, a link elsewhere.
        {"file without its directory", deflated(good + fileRecord("lib\\evil.dll", "bad") + jvm), 7,
         "holds the file \"lib\\evil.dll\" without a directory record for \"lib\" before it"},
        {"directory without its parent", deflated(good + directoryRecord("lib\\sub") + jvm), 4,
         "holds the directory \"lib\\sub\" without a directory record for \"lib\" before it"},
        {"deeper directory without its parent", deflated(good + lib + directoryRecord("lib\\a\\b") + jvm), 4,
         "holds the directory \"lib\\a\\b\" without a directory record for \"lib\\a\" before it"},
        {"directory record after the file", deflated(good + fileRecord("lib\\x", "bad") + lib + jvm), 7,
         "holds the file \"lib\\x\" without a directory record"},
        {"a file for a directory", deflated(good + fileRecord("ok.txt\\x", "bad") + jvm), 7,
         "without a directory record for \"ok.txt\" before it"},
        {"directory spelled otherwise", deflated(good + lib + fileRecord("LIB\\x", "bad") + jvm), 7,
         "without a directory record for \"LIB\" before it"},
        {"unknown record", deflated(good + "X" + jvm), 4, "unknown record kind 88"},
        {"no jvm file", deflated(good), 4, "ends inside a record"},
        {"cut short", whole.substr(0, whole.size() / 2), 4, "is cut short"},
        {"bad checksum", flipped, 4, "incorrect data check"},
        {"bytes after", whole + "junk", 4, "bytes follow its compressed data"},
        {"data after the jvm file", deflated(good + jvm + "more"), 4, "data follows the JVM file"},
        {"files larger", whole, 3, "larger than its trailer says"},
        {"files smaller", whole, 5, "smaller than its trailer says"},
        {"not zlib", "this is no zlib stream", 4, "the JVM archive is damaged: incorrect header check"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StringSource source(c.data);
        MemorySink sink;
        try {
            nvjvm::readJvmArchive(source, c.expandedSize, sink);
            ADD_FAILURE() << "not refused";
        } catch (const nvjvm::ArchiveError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
        EXPECT_FALSE(sink.jvmSeen);
        for (const std::string& record : sink.records) EXPECT_TRUE(record == "F ok.txt" || record == "D lib") << record;
    }
}

// The mark as windres writes it: the unpacker of each Windows build carries
// it, the launcher beside it does not.
TEST(UnpackerMarkTest, TheBuiltUnpackerCarriesItAndTheLauncherDoesNot) {
    bool found = false;
    for (const char* build : {"win64", "win32"}) {
        const fs::path folder = fs::path(NV_BUILD_ROOT) / build;
        if (!fs::exists(folder / "JvmUnpacker.exe") || !fs::exists(folder / "launcher.exe")) continue;
        SCOPED_TRACE(build);
        found = true;
        EXPECT_TRUE(nvjvm::carriesUnpackerMark(readFile(folder / "JvmUnpacker.exe")));
        const std::string launcher = readFile(folder / "launcher.exe");
        EXPECT_TRUE(nvjvm::isWindowsProgram(launcher));
        EXPECT_FALSE(nvjvm::carriesUnpackerMark(launcher));
    }
    if (!found) GTEST_SKIP() << "no Windows build beside this one (build win64 or win32)";
}

TEST(JvmArchiveFormatTest, RefusesTrailersWhoseDataIsNotBetweenProgramAndTrailer) {
    const auto decode = [](std::uint64_t offset, std::uint64_t length, std::uint64_t fileSize, bool magic = true) {
        nvjvm::Trailer t{offset, length, 10};
        std::string bytes = nvjvm::encodeTrailer(t);
        if (!magic) bytes[31] = 'X';
        nvjvm::Trailer out;
        return nvjvm::decodeTrailer(reinterpret_cast<const unsigned char*>(bytes.data()), fileSize, out);
    };
    EXPECT_EQ(decode(100, 50, 182), nullptr);
    EXPECT_NE(decode(100, 50, 182, false), nullptr);
    EXPECT_NE(decode(100, 51, 182), nullptr);
    EXPECT_NE(decode(0, 150, 182), nullptr);
    EXPECT_NE(decode(~0ull - 10, 20, 182), nullptr);
    EXPECT_NE(decode(100, ~0ull, 182), nullptr);
    EXPECT_NE(decode(0, 0, 20), nullptr);
}

}  // namespace
