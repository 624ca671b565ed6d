// What a run makes of the launcher file (RunContent): dispatch of the
// embedded tag files, the input file's named files that win over them, the
// context of a file that cannot be loaded, and -nv:extract.
#include <gtest/gtest.h>

#include <filesystem>

#include "archive/EntryType.h"
#include "foundation/LauncherException.h"
#include "instructions/Instructions.h"
#include "launch/LaunchScript.h"
#include "launcher/RunContent.h"
#include "tagfile/TagFile.h"
#include "tests/support/LauncherFileFolder.h"

namespace fs = std::filesystem;
using nv::LauncherString;

namespace {

class RunContentTest : public nv::LauncherFileFolderTest {
protected:
    RunContentTest() : nv::LauncherFileFolderTest("nv_content_") {}
};

const char* const program = "INSTRUCTIONS:\nSET N1 = 1\n/:\n";

}  // namespace

TEST_F(RunContentTest, DispatchBuildsTheConfigurationAndTheInputFileWins) {
    LauncherString path = launcher({{nv::typeInstructions, 1, "embedded.tag", "INSTRUCTIONS:\nSET N2 = 2\n/:\n"},
                                    {nv::typeJvmFile, 2, "jvm.tag", "DESC: embedded jvm\n"},
                                    {nv::typeLaunchScript, 3, "script.tag", "DESC: A\\u00e9B\n"},
                                    {nv::typeApplicationArchive, 4, "app.jar", "PK"}});
    settings.launcherPath = path;
    nv::RunContent loaded(settings, files);
    loaded.load(nv::Dispatch::yes);
    ASSERT_NE(loaded.instructions(), nullptr);
    EXPECT_EQ(loaded.instructions()->lines().get(0), LauncherString("SET N2 = 2"));
    EXPECT_EQ(loaded.jvmSearch().jvmFiles().count(), 1);
    EXPECT_EQ(loaded.launchScript()->description(), LauncherString("A\\u00e9B"));
    EXPECT_EQ(ui.title,
              "A\xe9"
              "B");  // the escape became one ANSI character
    // The commands that name an embedded JVM file by its id read it from here.
    const nv::TagFile* jvm = loaded.embeddedTags(*loaded.file().entryById(2));
    ASSERT_NE(jvm, nullptr);
    EXPECT_EQ(jvm->value("DESC"), LauncherString("embedded jvm"));
    EXPECT_EQ(loaded.embeddedTags(*loaded.file().entryById(4)), nullptr);  // not a tag file

    nv::writeFile(dir / "out" / "prog.tag", program);
    nv::writeFile(dir / "out" / "in.tag",
                  "INSTRUCTIONS: prog.tag\nJVM: \"\"\nVERIFY_CLASSPATH: v.jar\nUI_TITLE: Given\n");
    nv::TagFile input;
    input.load("in.tag");
    settings.launcherPath = path;
    nv::RunContent second(settings, files);
    second.readNamedEntries(input);
    second.load(nv::Dispatch::yes);
    EXPECT_EQ(second.instructions()->lines().get(0), LauncherString("SET N1 = 1"));  // the input file's
    EXPECT_EQ(second.jvmSearch().jvmFiles().count(), 0);      // an empty JVM value still keeps the embedded ones out
    EXPECT_TRUE(second.jvmSearch().verifyClassPath.empty());  // without a class name, neither is used
    EXPECT_EQ(ui.title, "Given");  // the input file's UI_TITLE wins over the launch script's DESC
}

TEST_F(RunContentTest, BrokenConfigurationsGetTheirContext) {
    nv::writeFile(dir / "out" / "in.tag", "INSTRUCTIONS: missing.tag\n");
    nv::TagFile input;
    input.load("in.tag");
    settings.launcherPath = launcher({});
    nv::RunContent loaded(settings, files);
    try {
        loaded.readNamedEntries(input);
        FAIL();
    } catch (const nv::LauncherException& e) {
        EXPECT_EQ(e.message().str(), "Error loading instructions file.Unable to load input file: missing.tag");
    }
}

TEST_F(RunContentTest, ExtractAllWritesAnInputFileNamingTheTagFiles) {
    settings.launcherPath = launcher({{nv::typeInstructions, 1, "p.tag", program},
                                      {nv::typeJvmFile, 2, "j1.tag", "DESC: 1\n"},
                                      {nv::typeJvmFile, 3, "j2.tag", "DESC: 2\n"},
                                      {nv::typeLaunchScript, 4, "s.tag", "DESC: s\n"}});
    nv::RunContent loaded(settings, files);
    loaded.load(nv::Dispatch::no);
    loaded.extractAll();
    EXPECT_EQ(nv::readFile(dir / "out" / "input.tag"),
              "ACTION:  RUN_INSTRUCTIONS\nINSTRUCTIONS:  p.tag\nJVM:\n  j1.tag\n  j2.tag\n/:\nLAUNCHSCRIPT:  s.tag\n");
    EXPECT_EQ(nv::readFile(dir / "out" / "j2.tag"), "DESC: 2\n");
}

// -nv:extract reads the index without dispatch; a later RUN_INSTRUCTIONS must
// still get the program, and input.tag names the program dispatch uses.
TEST_F(RunContentTest, ExtractThenDispatchUsesTheFirstProgram) {
    settings.launcherPath = launcher({{nv::typeInstructions, 1, "first.tag", program},
                                      {nv::typeInstructions, 2, "second.tag", "INSTRUCTIONS:\nSET N2 = 2\n/:\n"},
                                      {nv::typeLaunchScript, 3, "s1.tag", "DESC: one\n"},
                                      {nv::typeLaunchScript, 4, "s2.tag", "DESC: two\n"}});
    nv::RunContent loaded(settings, files);
    loaded.load(nv::Dispatch::no);
    loaded.extractAll();
    EXPECT_EQ(nv::readFile(dir / "out" / "input.tag"),
              "ACTION:  RUN_INSTRUCTIONS\nINSTRUCTIONS:  first.tag\nLAUNCHSCRIPT:  s1.tag\n");
    loaded.load(nv::Dispatch::yes);
    ASSERT_NE(loaded.instructions(), nullptr);
    EXPECT_EQ(loaded.instructions()->lines().get(0), LauncherString("SET N1 = 1"));
    EXPECT_EQ(loaded.launchScript()->description(), LauncherString("one"));
}
