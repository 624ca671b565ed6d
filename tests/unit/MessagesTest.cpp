// Messages through the host's stand-in for the resources, which answers with
// the English string table.
#include <gtest/gtest.h>

#include "foundation/Messages.h"
#include "foundation/ResourceText.h"

using nv::LauncherString;

TEST(Messages, EachCodeNamesItsText) {
    const char* const texts[] = {
        "Could not load the input file.",
        "Error loading instructions file.",
        "Error loading launch script.",
        "Error loading JVM file.",
        "Invalid JVM file id.",
        "Invalid action in input file: ",
        "A log file name must be specified after the -nv:log option on the command line.",
        "Unable to extract embedded files from the launcher. ",
        "Unable to load the launcher file index. ",
        "No JVM installer was included in the launcher.",
        "The JVM is not valid.",
        "An input file name must follow the '-nv:in' command line option.",
        "A suitable JVM could not be found. Please run the program again using the option -nv:javahome "
        "<JAVA HOME DIR>",
        "Unable to search for all JVMs. ",
        "Unable to open input file specified on the command line after the -nv:in option.",
        "Error writing file = ",
        " There may not be enough temporary disk space. Try using -nv:tempdir to use a temporary directory "
        "on a partition with more disk space.",
        "Canceled by the user.",
        "Cannot use %1!s! as the temp directory because it does not exist. Please run the program again "
        "using the option -nv:tempdir <temp dir> to specify a different directory to use.",
        "The launcher file is damaged. Please download it again.",
    };
    for (int code = 0; code < 20; ++code) {
        EXPECT_EQ(nv::messageText(static_cast<nv::MessageCode>(code)).str(), texts[code]) << code;
    }
    EXPECT_TRUE(nv::messageText(static_cast<nv::MessageCode>(20)).empty());
}

TEST(Messages, ContextAndSystemFailuresKeepTheirExactBlanks) {
    const nv::LauncherException caught("Invalid file type in file index.");
    EXPECT_EQ(nv::withContext(nv::MessageCode::unableToLoadIndex, caught).message().str(),
              "Unable to load the launcher file index. Invalid file type in file index.");
    const nv::LauncherException damaged(nv::messageText(nv::MessageCode::launcherFileDamaged));
    EXPECT_EQ(nv::withContext(nv::MessageCode::unableToExtract, damaged).message(), damaged.message());
    const std::string failed = nv::callFailed("CreateProcess", 2).message().str();
    EXPECT_EQ(failed.rfind("CreateProcess failed  ==>  ", 0), 0u) << failed;
    EXPECT_GT(failed.size(), std::string("CreateProcess failed  ==>  ").size()) << "no system text";
}

// The system's texts leave inserts to their caller; none may show unfilled.
TEST(Messages, SystemInsertsNameTheSubjectOrGoWithOneBlank) {
    const struct {
        const char* text;
        const char* subject;
        const char* filled;
    } cases[] = {
        {"Bad EXE format for %1.", "D:\\zz\\bin\\java.exe", "Bad EXE format for D:\\zz\\bin\\java.exe."},
        {"Bad EXE format for %1.", "", "Bad EXE format for."},
        {"%1 is not a valid Win32 application.", "", "is not a valid Win32 application."},
        {"Insert %2!s! into drive %1.", "A:", "Insert A: into drive A:."},
        {"The file %12 or %9 is gone.", "", "The file or is gone."},
        {"100% done, %0 stays", "x", "100% done, %0 stays"},
        {"Access is denied.", "x", "Access is denied."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(nv::fillSystemInserts(c.text, c.subject).str(), c.filled) << c.text;
    }
}

TEST(Messages, FormatReplacesNumberedInserts) {
    EXPECT_EQ(nv::formatText("%1!s! %2!s!", "Searching for", "C:\\jdk").str(), "Searching for C:\\jdk");
    EXPECT_EQ(nv::formatText("%2!s!/%1!s!", "a", "b").str(), "b/a");
    EXPECT_EQ(nv::formatResource(26, "C:\\jdk").str(), "Verifying C:\\jdk");
}

TEST(Messages, StripQuotesRemovesOneAtEachEnd) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"\"C:\\Program Files\\jdk\"", "C:\\Program Files\\jdk"},
        {"\"", ""},
        {"", ""},
        {"\"\"", ""},
        {"\"\"\"", "\""},
        {"\"open", "open"},
        {"close\"", "close"},
        {"in\"side", "in\"side"},
    };
    for (const Case& c : cases) EXPECT_EQ(nv::stripQuotes(c.in).str(), c.out) << c.in;
}
