// nvpack's command line and manifests: what they describe, what they
// refuse, and the exit codes.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "NvpackProgram.h"
#include "archive/LauncherFile.h"
#include "tests/unit/NvpackFixture.h"

namespace fs = std::filesystem;

namespace {

class NvpackOptionsTest : public nvtest::NvpackFixture {};

}  // namespace

TEST_F(NvpackOptionsTest, AManifestDescribesTheSameLauncher) {
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

TEST_F(NvpackOptionsTest, RefusalsNameTheOptionOrManifestLineAndLeaveNoOutput) {
    const std::string run = "--stub @stub.exe --out @out.exe ";
    const std::string program = run + "--entry 0 1 a.tag @a.tag ";
    const std::string manifest = program + "--manifest @m.nvpack";
    struct Case {
        const char* what;
        std::string manifest;  // written to m.nvpack when not empty
        std::string commandLine;
        std::string expected;
    };
    const Case cases[] = {
        // The command line.
        {"type beyond 32 bits", "", run + "--entry 4294967296 1 a.tag @a.tag", "outside 0-7"},
        {"type not a number", "", run + "--entry 0x0 1 a.tag @a.tag", "the type is not a number"},
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
        {"no-check twice", "", program + "--no-check --no-check", "skipping the content check is given twice"},
        // Manifests.
        {"unknown tag", "MODUS: 2\n", manifest, "unknown tag \"MODUS\""},
        {"tag in lower case", "mode: 2\n", manifest, "unknown tag \"mode\""},
        {"REPLACE as a word", "REPLACE: yes\n", manifest, "m.nvpack line 1: REPLACE must be 0 or 1, not \"yes\""},
        {"REPLACE 2", "REPLACE: 2\n", manifest, "must be 0 or 1, not \"2\""},
        {"MODE as a word", "MODE: two\n", manifest, "m.nvpack line 1: MODE is not a number: \"two\""},
        {"two stubs", "STUB:\nstub.exe\nstub.exe\n/:\n", "--out @out.exe --manifest @m.nvpack",
         "takes exactly one value"},
        {"compressed entry in a manifest", "ENTRY: 4 2 jvm.zip jvm.zip 3 5000\n", manifest,
         "line 1: ENTRY: FILECOUNT and SIZE are not supported"},
        {"three fields", "ENTRY: 0 1 a.tag\n", run + "--manifest @m.nvpack", "line 1: ENTRY needs TYPE ID NAME SOURCE"},
        {"unclosed quote", "ENTRY: 0 1 \"a.tag a.tag\n", run + "--manifest @m.nvpack",
         "line 1: ENTRY: Expected double quote"},
        {"syntax error", "MODE: 2\nOOPS\n", manifest, "Syntax error in"},
        {"manifest is a directory", "", program + "--manifest @adir", "is a directory, not a file"},
        {"missing manifest", "", program + "--manifest @none.nvpack", "manifest not found"},
        {"name ending in a blank", "ENTRY: 6 2 \"app.jar \" jvm.zip\n", manifest,
         "entry \"app.jar \": the name ends in a dot or a blank"},
        // A setting comes from one place.
        {"mode in both", "MODE: 2\n", program + "--mode 2 --manifest @m.nvpack",
         "the mode byte is given twice, by --mode and by MODE in "},
        {"output in both", "OUTPUT: out.exe\nENTRY: 0 1 a.tag a.tag\n",
         "--manifest @m.nvpack --stub @stub.exe --out @out.exe", "the output file is given twice, by OUTPUT in "},
        {"replace in both", "REPLACE: 0\n", program + "--replace --manifest @m.nvpack",
         "replacing a payload is given twice"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string message = commandLineRefusal(c.manifest, c.commandLine);
        EXPECT_NE(message.find(c.expected), std::string::npos) << message;
    }
}

// A mistyped option is refused with the known option it was most likely
// meant to be; a word that is near no option is refused alone.
TEST_F(NvpackOptionsTest, AnUnknownOptionNamesTheClosestKnownOne) {
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

TEST_F(NvpackOptionsTest, ExitCodesTellDoneRefusedInputAndWrongUsageApart) {
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
