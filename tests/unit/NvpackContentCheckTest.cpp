// nvpack's content checks: the tag files it packs read with the launcher's
// own readers, so that what a run would fail on is refused before it ships,
// and what a launch may still get wrong is packed with a warning.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "ContentCheck.h"
#include "foundation/LauncherException.h"
#include "foundation/Log.h"
#include "foundation/RunSettings.h"
#include "foundation/Log.h"
#include "jvm/JvmFile.h"
#include "jvm/JvmVerification.h"
#include "launcher/Run.h"
#include "launch/LaunchScript.h"
#include "launch/LauncherPayload.h"
#include "tagfile/TagFile.h"
#include "tests/unit/NvpackFixture.h"

namespace fs = std::filesystem;

namespace {

class NvpackContentCheckTest : public nvtest::NvpackFixture {
protected:
    // Where a case's tag file is packed from.
    enum class Packed {
        program,       // an instruction program (p.tag, id 4) after a carried JVM (id 2) and a JVM file (jvm.tag, id 3)
        programAlone,  // an instruction program (p.tag, id 1) and nothing else
        jvmFile,       // a JVM file (jvm.tag, id 2) beside the instruction program a.tag
        launchScript,  // a launch script (s.tag, id 2) beside the instruction program a.tag
    };
    // The refusal of packing `content` as `packed`, from content.tag; empty when it packs.
    std::string contentRefusal(Packed packed, const std::string& content) {
        write("content.tag", content);
        write("jvm.tag", "JVM_EXE: bin\\java.exe\n");
        nvpack::PackRequest r = request();
        const std::string source = path("content.tag");
        switch (packed) {
        case Packed::program:
            r.entries.erase(r.entries.begin());
            r.entries.push_back({nv::typeJvmFile, 3, "jvm.tag", path("jvm.tag")});
            r.entries.push_back({nv::typeInstructions, 4, "p.tag", source});
            break;
        case Packed::programAlone:
            r.entries = {{nv::typeInstructions, 1, "p.tag", source}};
            break;
        case Packed::jvmFile:
            r.entries = {r.entries[0], {nv::typeJvmFile, 2, "jvm.tag", source}};
            break;
        case Packed::launchScript:
            r.entries = {r.entries[0], {nv::typeLaunchScript, 2, "s.tag", source}};
            break;
        }
        return refusal(r);
    }
};

}  // namespace

TEST_F(NvpackContentCheckTest, WhatTheLauncherWouldFailOnIsRefusedWithItsPlace) {
    const std::string source = path("content.tag");
    const std::string program = "entry \"p.tag\" (" + source + "): ";
    const std::string jvmFile = "entry \"jvm.tag\" (" + source + "): ";
    const std::string script = "entry \"s.tag\" (" + source + "): ";
    const std::string noVerifier = " verifies a JVM, but the launcher carries no verification archive (type 5)";
    struct Case {
        const char* what;
        Packed packed;
        const char* content;
        std::string expected;
    };
    const Case cases[] = {
        // Instruction programs, read as the interpreter reads them.
        {"tag-file syntax", Packed::program, "INSTRUCTIONS:\nGOTO END\n:END\n",
         program + "Syntax error in p.tag at line 1 ==> Missing /: tag completer."},
        {"label that does not exist", Packed::program, "INSTRUCTIONS:\n// comment\nGOTO NOWHERE\n:END\n/:\n",
         program + "INSTRUCTIONS line 2 (\"GOTO NOWHERE\"): Label not found (NOWHERE)"},
        {"JMP0 to no label", Packed::program, "INSTRUCTIONS:\nJMP0 @N1@ @S1@\nJMP0 0 ELSEWHERE\n/:\n",
         "INSTRUCTIONS line 2 (\"JMP0 0 ELSEWHERE\"): Label not found (ELSEWHERE)"},
        {"unknown command", Packed::program, "INSTRUCTIONS:\nFOO 1\n/:\n",
         "INSTRUCTIONS line 1 (\"FOO 1\"): Invalid command (FOO)."},
        {"missing argument", Packed::program, "INSTRUCTIONS:\nFIND_JVM 1\n/:\n",
         "The second argument to FIND_JVM should be"},
        {"boolean 2", Packed::program, "INSTRUCTIONS:\nVERIFY 2 0 7\n/:\n",
         "line 1 (\"VERIFY 2 0 7\"):  Invalid boolean value (2)"},
        {"INSTALL_JVM without a carried JVM", Packed::programAlone, "INSTRUCTIONS:\nINSTALL_JVM 1\n/:\n",
         "INSTALL_JVM needs a carried JVM (type 4), and the launcher file carries none."},
        {"INSTALL_JVM mode 3", Packed::program, "INSTRUCTIONS:\nINSTALL_JVM 3\n/:\n",
         "The first argument to INSTALL_JVM should be a 0, 1 or 2."},
        {"ILAUNCH of a missing JVM file", Packed::program, "INSTRUCTIONS:\nILAUNCH @N2@ 5\nILAUNCH 9 5\n/:\n",
         "line 2 (\"ILAUNCH 9 5\"): ILAUNCH names JVM file id 9, and the launcher file carries no JVM file (type 1)"},
        {"VERIFY of an entry that is no JVM file", Packed::program, "INSTRUCTIONS:\nVERIFY 1 1 2\n/:\n",
         "VERIFY names JVM file id 2"},
        {"LAUNCH seconds as a word", Packed::program, "INSTRUCTIONS:\nLAUNCH \"a b.tag\" soon\n/:\n",
         "Invalid numeric expression (soon)"},
        {"EXECUTE_LAUNCHER at a position without a launcher", Packed::program,
         "INSTRUCTIONS:\nEXECUTE_LAUNCHER 1\n/:\n",
         "EXECUTE_LAUNCHER names index position 1, which holds no embedded launcher (type 7)."},
        {"SET without =", Packed::program, "INSTRUCTIONS:\nSET N1 1\n/:\n", "SET statement is missing =."},
        {"EXIT with a word", Packed::program, "INSTRUCTIONS:\nMESSAGE \"No Java\"\nEXIT three\n/:\n",
         "line 2 (\"EXIT three\"): Invalid numeric expression (three)"},
        {"SINGLE_INSTANCE as a word", Packed::program, "SINGLE_INSTANCE: yes\nINSTRUCTIONS:\nEXIT 0\n/:\n",
         program + "SINGLE_INSTANCE must be 0 or 1, not \"yes\""},
        {"SET of no variable", Packed::program, "INSTRUCTIONS:\nSET N9 = 1\n/:\n",
         "line 1 (\"SET N9 = 1\"): Invalid variable specified"},
        {"instruction file without INSTRUCTIONS", Packed::programAlone, "INSTRUCTION:\nGOTO END\n:END\n/:\n",
         program + "an instruction file needs INSTRUCTIONS"},
        // A verification needs the verification archive (type 5).
        {"VERIFY without a verification archive", Packed::program, "INSTRUCTIONS:\nSET N1 = 1\nVERIFY 1 0 3\n/:\n",
         program + "INSTRUCTIONS line 2 (VERIFY)" + noVerifier},
        {"FIND_JVM without a verification archive", Packed::program, "INSTRUCTIONS:\nFIND_JVM 1 0\n/:\n",
         program + "INSTRUCTIONS line 1 (FIND_JVM)" + noVerifier},
        {"JVM_PROPERTIES without a verification archive", Packed::jvmFile,
         "JVM_EXE: bin\\java.exe\nJVM_PROPERTIES: java.version=17...\n", jvmFile + "JVM_PROPERTIES" + noVerifier},
        {"MAX_JAVA_VERSION without a verification archive", Packed::jvmFile,
         "JVM_EXE: bin\\java.exe\nMAX_JAVA_VERSION: 21\n", jvmFile + "MAX_JAVA_VERSION" + noVerifier},
        // JVM files: the program to run, Java versions the launcher can compare, a range some Java meets.
        {"JVM file without JVM_EXE", Packed::jvmFile, "DESC: a JVM without its program\n",
         jvmFile + "a JVM file needs JVM_EXE"},
        {"MIN_JAVA_VERSION with a suffix", Packed::jvmFile, "JVM_EXE: bin\\java.exe\nMIN_JAVA_VERSION: 17-ea\n",
         jvmFile + "MIN_JAVA_VERSION \"17-ea\" is not a Java version; write numbers and dots, such as 17, 21.0.2 or "
                   "1.8.0_40"},
        {"MAX_JAVA_VERSION with a letter", Packed::jvmFile, "JVM_EXE: bin\\java.exe\nMAX_JAVA_VERSION: 21.x\n",
         jvmFile + "MAX_JAVA_VERSION \"21.x\" is not a Java version"},
        {"empty MIN_JAVA_VERSION", Packed::jvmFile, "JVM_EXE: bin\\java.exe\nMIN_JAVA_VERSION: \"\"\n",
         jvmFile + "MIN_JAVA_VERSION \"\" is not a Java version"},
        {"MIN_JAVA_VERSION above MAX_JAVA_VERSION", Packed::jvmFile,
         "JVM_EXE: bin\\java.exe\nMIN_JAVA_VERSION: 22\nMAX_JAVA_VERSION: 21.99\n",
         jvmFile + "MIN_JAVA_VERSION 22 is above MAX_JAVA_VERSION 21.99, so no Java can meet both"},
        // Launch scripts: their templates walked as the launch reads them.
        {"launch script without COMMAND", Packed::launchScript, "COMAND: java -jar app.jar\nDESC: a typo\n",
         script + "a launch script needs COMMAND"},
        {"unknown function", Packed::launchScript, "COMMAND: \"%JAVA%()\" -jar x.jar\n",
         script + "COMMAND: Launch script error: Invalid function name (JAVA)."},
        {"REPLACE with 2 arguments", Packed::launchScript,
         "COMMAND: @JVM_HOME@ %CP%(\"a\", \"b\") %REPLACE%(\"a\", \"b\")\n", "REPLACE function requires 3 arguments."},
        {"archive template", Packed::launchScript, "COMMAND: java\nARCHIVE: %TEMP_DIR%(\"x\")/app.jar\n",
         "ARCHIVE: Launch script error: TEMP_DIR function takes 0"},
        {"CP inside ARCHIVE", Packed::launchScript, "COMMAND: java %CP%()\nARCHIVE: \"%CP%()\"\n",
         "ARCHIVE: Launch script error: The class path refers to itself: %CP% may not stand in ARCHIVE"},
        {"CP inside an argument of CP", Packed::launchScript, "COMMAND: java %CP%(\"a.jar\", \"%CP%()\")\n",
         "COMMAND: Launch script error: The class path refers to itself"},
        {"APPLICATION_ARCHIVE without an application archive", Packed::launchScript,
         "COMMAND: java -jar \"%APPLICATION_ARCHIVE%()\"\n",
         script + "COMMAND: Launch script error: %APPLICATION_ARCHIVE%() extracts the application archive, but the "
                  "launcher carries none (type 6)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string message = contentRefusal(c.packed, c.content);
        EXPECT_NE(message.find(c.expected), std::string::npos) << message;
    }
}

TEST_F(NvpackContentCheckTest, FaultyContentIsPackedWithNoCheck) {
    write("p.tag", "INSTRUCTIONS:\nFOO 1\n/:\n");
    write("s.tag", "COMMAND: \"%JAVA%()\" -jar x.jar\n");
    const std::string packed = "--stub @stub.exe --out @out.exe --entry 0 1 p.tag @p.tag --entry 2 2 s.tag @s.tag";
    EXPECT_NE(commandLineRefusal("", packed), "");
    EXPECT_EQ(commandLineRefusal("", packed + " --no-check"), "");
}

namespace {

// A launch's payload: the application archive when it carries one; asked for
// one it lacks, it notes that the launch went without.
struct ApplicationArchivePayload : nv::LauncherPayload {
    bool carries = false;
    bool lacked = false;
    nv::StringList extractType(std::uint8_t type, const nv::LauncherString& directory) override {
        nv::StringList written;
        if (type != nv::typeApplicationArchive) return written;
        if (carries) {
            written.append(directory + "\\app.jar");
        } else {
            lacked = true;
        }
        return written;
    }
    int modeByte() const override { return 1; }
};

nv::TagFile tagsFrom(const std::string& path) {
    nv::TagFile tags;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    tags.readFrom(file, nv::LauncherString(fs::path(path).filename().string()));
    std::fclose(file);
    return tags;
}

}  // namespace

// Every function, called well and badly, in each form a template may hold it:
// nvpack refuses the launch script exactly when building its command on this
// machine fails, or goes without the application archive it calls for.
TEST_F(NvpackContentCheckTest, TheCheckAndTheRunAgreeOnEveryCallInEveryQuotingForm) {
    struct Call {
        const char* text;
        bool refused;       // whatever the launcher carries
        bool needsArchive;  // refused without the application archive
    };
    const Call calls[] = {
        {"%REPLACE%(\"a\", \"b\", \"a\")", false, false},
        {"%REPLACE%(\"a\")", true, false},
        {"%RUNTIME_SYSTEMPROP%()", false, false},
        {"%RUNTIME_SYSTEMPROP%(\"x\")", true, false},
        {"%RUNTIME_JAVAARGS%()", false, false},
        {"%RUNTIME_JAVAARGS%(\"x\")", true, false},
        {"%SYSTEMPROP%(\"a\", \"b\")", false, false},
        {"%SYSTEMPROP%(\"a\")", true, false},
        {"%CP%(\"a.jar\")", false, false},
        {"%CP%(\"%CP%()\")", true, false},
        {"%IF_EXISTS%(\"JVM_EXE\", \"b\")", false, false},
        {"%IF_EXISTS%(\"JVM_EXE\")", true, false},
        {"%LAUNCHER_FILE%()", false, false},
        {"%LAUNCHER_FILE%(\"x\")", true, false},
        {"%LAUNCHER_DIR%()", false, false},
        {"%LAUNCHER_DIR%(\"x\")", true, false},
        {"%TEMP_DIR%()", false, false},
        {"%TEMP_DIR%(\"x\")", true, false},
        {"%APPLICATION_ARCHIVE%()", false, true},
        {"%APPLICATION_ARCHIVE%(\"app.jar\")", false, false},
        {"%APPLICATION_ARCHIVE%(\"a\", \"b\")", true, false},
        {"%JAVA%()", true, false},
    };
    struct Form {
        const char* what;
        const char* text;      // CALL stands for the call
        bool argument;         // the call stands inside a quoted argument, its quotes doubled
        const char* refusing;  // the function whose every call the form refuses, or empty
    };
    const Form forms[] = {
        {"bare", "java CALL x", false, ""},
        {"in double quotes", "java \"CALL\" x", false, ""},
        {"in triple quotes", "java \"\"\"CALL\"\"\" x", false, ""},
        {"before doubled delimiters", "java CALL 100%% x", false, ""},
        {"a triple-quoted argument", "java %SYSTEMPROP%(\"p\", \"\"\"CALL\"\"\") x", true, ""},
        {"an argument of IF_EXISTS", "java %IF_EXISTS%(\"JVM_EXE\", \"CALL\") x", true, ""},
        // A class path that names the class path.
        {"an argument of CP", "java %CP%(\"CALL\") x", true, "%CP%"},
    };
    write("jvm.tag",
          "JVM_HOME: C:\\jdk\nJVM_EXE: bin\\java.exe\nCLASSPATH: \"-cp \"\nCLASSPATH_SEPARATOR: ;\nSYSTEM: -D\n"
          "SYSTEM_SEPARATOR: =\n");
    for (const Call& call : calls) {
        std::string bareRefusal[2];  // the first form's, without and with the application archive
        for (const Form& form : forms) {
            std::string text = call.text;
            if (form.argument) {
                for (std::size_t at = text.find('"'); at != std::string::npos; at = text.find('"', at + 2)) {
                    text.insert(at, 1, '"');
                }
            }
            std::string command = form.text;
            command.replace(command.find("CALL"), 4, text);
            write("s.tag", "COMMAND: " + command + "\n");
            for (const bool carries : {false, true}) {
                SCOPED_TRACE(std::string(form.what) + ": " + command + (carries ? ", with" : ", without") +
                             " the application archive");
                nvpack::PackRequest packed;
                packed.entries.push_back({nv::typeLaunchScript, 2, "s.tag", path("s.tag")});
                if (carries) packed.entries.push_back({nv::typeApplicationArchive, 6, "app.jar", path("jvm.zip")});
                std::string checkRefusal;
                try {
                    nvpack::checkContents(packed);
                } catch (const nvpack::PackError& e) {
                    checkRefusal = e.what();
                }
                const bool checkRefuses = !checkRefusal.empty();

                // A run of its own: APPLICATION_ARCHIVE's path is made once a run.
                nv::Run run;
                nv::RunSettings& settings = run.settings;
                settings.launcherPath = "C:\\dist\\setup.exe";
                settings.originalLauncherPath = nv::LauncherString(path("setup.exe"));
                settings.tempDirOverride = nv::LauncherString(path("adir") + "\\");
                nv::setRunLogPath(nv::LauncherString(path("run.log")));
                nv::TagFile scriptTags = tagsFrom(path("s.tag"));
                nv::TagFile jvmTags = tagsFrom(path("jvm.tag"));
                nv::JvmVerifier verifier(settings, run.files);
                nv::JvmFile jvm(jvmTags, settings, verifier);
                nv::LaunchScript script(scriptTags, settings, run.files);
                ApplicationArchivePayload payload;
                payload.carries = carries;
                script.setPayload(&payload);
                bool runRefuses = false;
                try {
                    script.buildCommand(jvm);
                } catch (const nv::LauncherException&) {
                    runRefuses = true;
                }
                runRefuses = runRefuses || payload.lacked;

                const bool refusedByForm = *form.refusing && text.rfind(form.refusing, 0) == 0;
                EXPECT_EQ(runRefuses, call.refused || refusedByForm || (call.needsArchive && !carries));
                EXPECT_EQ(checkRefuses, runRefuses);
                // Refused for the call, in the words the bare call is refused in.
                if (&form == forms) bareRefusal[carries] = checkRefusal;
                if (!refusedByForm) {
                    EXPECT_EQ(checkRefusal, bareRefusal[carries]);
                }
            }
        }
    }
    nv::setRunLogPath(nv::LauncherString());
}

TEST_F(NvpackContentCheckTest, ContentTheLauncherCanRunIsPacked) {
    // Every command in a form that runs; what depends on variables is not judged.
    write("p.tag",
          "INSTRUCTIONS:\n"
          "// every command once\n"
          "INITIALIZE_UI\n"
          "FIND_JVM 1 @N1@\n"
          "JMP0 @N1@ @S2@\n"
          "VERIFY 1 0 3\n"
          "JMP0 @N1@ INSTALL\n"
          "ILAUNCH 3 5\n"
          "LAUNCH \"@S2@\" 0\n"
          "GOTO END\n"
          ":INSTALL\n"
          "INSTALL_JVM 2\n"
          "SET S3 = \"a b\"\n"
          "EXECUTE_LAUNCHER 3\n"
          ":END\n/:\n");
    // A maximum names a whole family: 21 admits 21.0.5.
    write("jvm.tag", "JVM_EXE: bin/java.exe\nMIN_JAVA_VERSION: 21.0.5\nMAX_JAVA_VERSION: 21\n");
    write("s.tag",
          "COMMAND:\n@JVM_HOME@/bin/java %SYSTEMPROP%(\"a\", \"@JVM_HOME@\") -cp %CP%() "
          "%LAUNCHER_DIR%() %APPLICATION_ARCHIVE%(\"app.jar\") 100%% #PATH#\n/:\n");
    nvpack::PackRequest r = request();
    r.entries.push_back({nv::typeJvmFile, 3, "jvm.tag", path("jvm.tag")});
    r.entries.push_back({nv::typeEmbeddedLauncher, 4, "inner.exe", path("stub.exe")});
    r.entries.push_back({nv::typeLaunchScript, 5, "s.tag", path("s.tag")});
    r.entries.push_back({nv::typeVerifyArchive, 6, "verify.jar", path("jvm.zip")});
    r.entries[0].source = path("p.tag");
    nvpack::pack(r);
    EXPECT_TRUE(fs::exists(dir / "out.exe"));
}

// What a launch may still mean is packed, with a warning that says how to
// mend or silence it.
TEST_F(NvpackContentCheckTest, ContentWarningsNameWhatALaunchMayGetWrong) {
    write("jvm.tag", "JVM_EXE: bin/java.exe\nMAX_HEAP: -Xmx\n");
    write("s.tag",
          "COMMAND: \"\"\"@JVM_HOME@\\@JAVA_EXE@\"\" -jar %APPLICATION_ARCHIVE%() @MAX_HEAP@1g \"\"%TEMP_DIR%()\"\" "
          "%SYSTEMPROP%(\"\"t\"\", \"\"\"\"\"\"%LAUNCHER_DIR%()\"\"\"\"\"\") %CP%(\"\"%LAUNCHER_FILE%()\"\") a@@b "
          "@JAVA_EXE@\"\n");
    nvpack::PackRequest r = request();
    r.entries.push_back({nv::typeJvmFile, 3, "jvm.tag", path("jvm.tag")});
    r.entries.push_back({nv::typeLaunchScript, 5, "s.tag", path("s.tag")});
    r.entries.push_back({nv::typeApplicationArchive, 6, "app.jar", path("jvm.zip")});
    const std::string place = "entry \"s.tag\" (" + path("s.tag") + "): COMMAND: ";
    EXPECT_EQ(nvpack::pack(r).warnings,
              (std::vector<std::string>{
                  place + "%APPLICATION_ARCHIVE%() stands outside double quotes, so a path with a blank in it would "
                          "break the command; write it as \"%APPLICATION_ARCHIVE%()\" in the command",
                  place + "%LAUNCHER_FILE%() stands outside double quotes, so a path with a blank in it would break "
                          "the command; write it as \"%LAUNCHER_FILE%()\" in the command",
                  place + "@JAVA_EXE@ is defined by no JVM file the launcher carries and would be empty; define "
                          "JAVA_EXE in the JVM file, or write @@ for an at-sign that is no reference",
                  place + "\"@@b @\" is read as a reference and would be empty; an at-sign that is no reference is "
                          "written @@ only where no further at-sign follows it"}));
    // Without a JVM file of its own, the launcher gets one at run time: tags are not judged.
    r.entries.erase(r.entries.begin() + 2);
    r.entries.erase(r.entries.begin() + 1);
    EXPECT_EQ(nvpack::pack(r).warnings.size(), 2u);  // the two paths outside quotes
}

// A JVM file's search keys: a hive the launcher would refuse at run time,
// and keys it could not follow, are refused with what to write; hints that
// nothing can verify are packed with a warning.
TEST_F(NvpackContentCheckTest, AJvmFilesSearchKeysAreOnesTheLauncherCanFollow) {
    const std::string all = "HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_USERS, HKEY_CLASSES_ROOT, HKEY_CURRENT_CONFIG";
    const std::string unverifiable =
        "the hints would never be searched: a JVM file verifies nothing without JVM_PROPERTIES, MIN_JAVA_VERSION or "
        "MAX_JAVA_VERSION; give one of them";
    const std::string range = "MIN_JAVA_VERSION: 17\n";
    struct Case {
        std::string keys;  // after JVM_EXE
        std::string refusal;
        std::string warning;
    };
    const Case cases[] = {
        // Every hive spelt out, with and without the leading backslash; the keys as the search reads them.
        {range + "PLATFORM_HINT:\n\\HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\JavaHome\nHKEY_CURRENT_USER\\X\\Home\n"
                 "\\HKEY_USERS\\S\\X\\Home\nHKEY_CLASSES_ROOT\\X\\Home\n\\HKEY_CURRENT_CONFIG\\X\nHKEY_LOCAL_MACHINE\\"
                 "SOFTWARE\\JavaSoft\\JDK\\*\\JavaHome\n/:\nPREFER: NEWEST\nKNOWN_JAVA_INSTALLS: 1\n",
         "", ""},
        {"JVM_PROPERTIES: java.vendor=X\nPATH_HINT: \\jdk\nKNOWN_JAVA_INSTALLS: 0\n", "", ""},
        {"MAX_JAVA_VERSION: 21\nKNOWN_JAVA_INSTALLS: 1\n", "", ""},
        {"DESC: launched only, never searched\nKNOWN_JAVA_INSTALLS: 0\n", "", ""},
        // Abbreviations and full names in the wrong case name the one to write.
        {range + "PLATFORM_HINT: \\HKLM\\SOFTWARE\\X\\JavaHome\n",
         "PLATFORM_HINT \\HKLM\\SOFTWARE\\X\\JavaHome names "
         "the hive HKLM; write HKEY_LOCAL_MACHINE",
         ""},
        {range + "PLATFORM_HINT: hkcu\\Software\\X\\Home\n", "names the hive hkcu; write HKEY_CURRENT_USER", ""},
        {range + "PLATFORM_HINT: \\HKU\\S\\Home\n", "names the hive HKU; write HKEY_USERS", ""},
        {range + "PLATFORM_HINT: HKCR\\X\\Home\n", "names the hive HKCR; write HKEY_CLASSES_ROOT", ""},
        {range + "PLATFORM_HINT: \\hkCC\\X\\Home\n", "names the hive hkCC; write HKEY_CURRENT_CONFIG", ""},
        {range + "PLATFORM_HINT: \\HKEY_Local_Machine\\X\\Home\n",
         "names the hive HKEY_Local_Machine; write HKEY_LOCAL_MACHINE", ""},
        // The second hint is as much at fault as the first would be.
        {range + "PLATFORM_HINT:\n\\HKEY_CURRENT_USER\\X\\Home\nhkey_users\\X\\Home\n/:\n",
         "PLATFORM_HINT hkey_users\\X\\Home names the hive hkey_users; write HKEY_USERS", ""},
        // Anything else: the five names.
        {range + "PLATFORM_HINT: \\HKEY_LOCAL\\X\\Home\n", "names the hive HKEY_LOCAL; write one of " + all, ""},
        {range + "PLATFORM_HINT: \\\\X\\Home\n", "PLATFORM_HINT \\\\X\\Home names no hive; write one of " + all, ""},
        {range + "PLATFORM_HINT: JavaHome\n", "PLATFORM_HINT JavaHome names no hive; write one of " + all, ""},
        {range + "PLATFORM_HINT: \\HKEY_LOCAL_MACHINE\n", "PLATFORM_HINT \\HKEY_LOCAL_MACHINE names no hive", ""},
        // Keys that steer the search.
        {range + "PREFER: newest\n",
         "PREFER must be NEWEST, not \"newest\"; leave PREFER out to take the first Java that passes in the hints' "
         "order",
         ""},
        {range + "PREFER: \"\"\n", "PREFER must be NEWEST, not \"\"", ""},
        {range + "KNOWN_JAVA_INSTALLS: 2\n", "KNOWN_JAVA_INSTALLS must be 0 or 1, not \"2\"", ""},
        {range + "KNOWN_JAVA_INSTALLS: yes\n", "KNOWN_JAVA_INSTALLS must be 0 or 1, not \"yes\"", ""},
        // Hints that nothing verifies.
        {"PATH_HINT: \\jdk\n", "", unverifiable},
        {"PLATFORM_HINT: \\HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\JavaHome\nJVM_PROPERTIES: \"\"\n", "", unverifiable},
        {"KNOWN_JAVA_INSTALLS: 1\n", "", unverifiable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        write("jvm.tag", "JVM_EXE: bin\\java.exe\n" + c.keys);
        nvpack::PackRequest r = request();
        r.entries.push_back({nv::typeJvmFile, 3, "jvm.tag", path("jvm.tag")});
        r.entries.push_back({nv::typeVerifyArchive, 4, "verify.jar", path("jvm.zip")});
        const std::string place = "entry \"jvm.tag\" (" + path("jvm.tag") + "): ";
        if (!c.refusal.empty()) {
            const std::string message = refusal(r);
            EXPECT_EQ(message.rfind(place, 0), 0u) << message;
            EXPECT_NE(message.find(c.refusal), std::string::npos) << message;
            continue;
        }
        const std::vector<std::string> warnings = nvpack::pack(r).warnings;
        EXPECT_EQ(warnings,
                  c.warning.empty() ? std::vector<std::string>{} : std::vector<std::string>{place + c.warning});
        fs::remove(dir / "out.exe");
    }
}
