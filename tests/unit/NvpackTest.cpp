// nvpack: what it builds is what the launcher reads, and bad input leaves no
// output file behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "Manifest.h"
#include "Packer.h"
#include "archive/LauncherFile.h"

namespace fs = std::filesystem;

namespace {

class NvpackTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::path(::testing::TempDir()) / ("nvpack_" + std::to_string(::getpid()) + "_" +
                                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        write("stub.exe", "MZ this is the stub");
        write("a.tag", "INSTRUCTIONS:\nSET N1 1\n/:\n");
        write("jvm.zip", std::string(1000, 'j'));
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string path(const char* name) const { return (dir / name).string(); }
    void write(const char* name, const std::string& bytes) const {
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }
    std::string read(const char* name) const {
        std::ifstream in(dir / name, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    nvpack::PackRequest request() const {
        nvpack::PackRequest r;
        r.stub = path("stub.exe");
        r.output = path("out.exe");
        r.modeByte = 0;
        r.entries.push_back({0, 1, "a.tag", path("a.tag"), false, 0, 0});
        r.entries.push_back({4, 2, "jvm.zip", path("jvm.zip"), true, 3, 5000});
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

    fs::path dir;
};

}  // namespace

TEST_F(NvpackTest, TheLauncherReadsWhatNvpackWrites) {
    nvpack::pack(request());
    nv::LauncherFile file(nv::LauncherString(path("out.exe")));
    file.loadIndex(false);
    ASSERT_EQ(file.entryCount(), 2);
    const nv::FileIndexEntry& jvm = *file.entryById(2);
    EXPECT_EQ(jvm.name, nv::LauncherString("jvm.zip"));
    EXPECT_TRUE(jvm.compressed);
    EXPECT_EQ(jvm.decompressedFileCount, 3);
    EXPECT_EQ(jvm.decompressedSize, 5000);
    std::string out = read("out.exe");
    EXPECT_EQ(out.substr(0, 19), "MZ this is the stub");
    EXPECT_EQ(out.substr(static_cast<std::size_t>(jvm.offset), 1000), std::string(1000, 'j'));
    EXPECT_EQ(nv::readModeByte(nv::LauncherString(path("out.exe"))), 0);
}

TEST_F(NvpackTest, BadInputIsRefusedWithoutOutput) {
    struct Case {
        const char* what;
        void (*change)(nvpack::PackRequest&);
        const char* expected;
    } cases[] = {
        {"missing source", [](nvpack::PackRequest& r) { r.entries[0].source += ".missing"; }, "source file not found"},
        {"type 8", [](nvpack::PackRequest& r) { r.entries[0].type = 8; }, "outside 0-7"},
        {"negative type", [](nvpack::PackRequest& r) { r.entries[0].type = -1; }, "outside 0-7"},
        {"empty name", [](nvpack::PackRequest& r) { r.entries[0].name = ""; }, "the name must not"},
        {"backslash", [](nvpack::PackRequest& r) { r.entries[0].name = "..\\evil.exe"; }, "the name must not"},
        {"slash", [](nvpack::PackRequest& r) { r.entries[0].name = "a/b"; }, "the name must not"},
        {"drive", [](nvpack::PackRequest& r) { r.entries[0].name = "C:evil"; }, "the name must not"},
        {"dot dot", [](nvpack::PackRequest& r) { r.entries[0].name = ".."; }, "the name must not"},
        {"duplicate id", [](nvpack::PackRequest& r) { r.entries[1].fileId = 1; }, "used twice"},
        {"second program", [](nvpack::PackRequest& r) { r.entries[1].type = 0; }, "second instruction program"},
        {"mode 256", [](nvpack::PackRequest& r) { r.modeByte = 256; }, "mode byte"},
        {"missing stub", [](nvpack::PackRequest& r) { r.stub += ".missing"; }, "stub not found"},
    };
    for (const Case& c : cases) {
        nvpack::PackRequest r = request();
        c.change(r);
        EXPECT_NE(refusal(r).find(c.expected), std::string::npos) << c.what << ": " << refusal(r);
    }
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
    file.loadIndex(false);
    EXPECT_EQ(file.entryCount(), 1);
    EXPECT_EQ(read("again.exe").substr(0, 19), "MZ this is the stub");
    EXPECT_EQ(read("again.exe").find(std::string(1000, 'j')), std::string::npos);  // old payload gone
}

TEST_F(NvpackTest, AManifestDescribesTheSameLauncher) {
    write("dir with blank.tag", "DESC: x\n");
    write("pack.tag",
          "STUB: stub.exe\nOUTPUT: fromManifest.exe\nMODE: 2\nENTRY:\n"
          "0 1 a.tag a.tag\n"
          "2 3 script.tag \"dir with blank.tag\"\n"
          "4 2 jvm.zip jvm.zip 3 5000\n/:\n");
    nvpack::PackRequest r;
    nvpack::readManifest(path("pack.tag"), r);
    nvpack::pack(r);
    nv::LauncherFile file(nv::LauncherString(path("fromManifest.exe")));
    file.loadIndex(false);
    ASSERT_EQ(file.entryCount(), 3);
    EXPECT_EQ(file.entryAt(1)->name, nv::LauncherString("script.tag"));
    EXPECT_EQ(file.entryAt(1)->length, 8);
    EXPECT_TRUE(file.entryAt(2)->compressed);
    EXPECT_EQ(nv::readModeByte(nv::LauncherString(path("fromManifest.exe"))), 2);

    write("bad.tag", "ENTRY: 0 1 onlythree\n");
    nvpack::PackRequest bad;
    EXPECT_THROW(nvpack::readManifest(path("bad.tag"), bad), nvpack::PackError);
}
