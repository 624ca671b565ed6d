#include "jvm/JvmVerification.h"

#include <cstring>

#include "archive/EntryType.h"
#include "cleanup/TemporaryFiles.h"
#include "foundation/Log.h"
#include "foundation/Messages.h"
#include "foundation/ProgressUi.h"
#include "jvm/JvmFile.h"
#include "jvm/JvmSearch.h"
#include "jvm/VersionRange.h"
#include "launch/LaunchScript.h"
#include "launch/LauncherPayload.h"
#include "launch/LiteralText.h"
#include "launch/ProcessRunner.h"
#include "tagfile/TagFile.h"
#include "text/TextScanning.h"

namespace nv {

namespace {
constexpr unsigned verificationStep = 6;

bool quoted(const LauncherString& text) {
    return text.length() >= 2 && text[0] == '"' && text[text.length() - 1] == '"';
}

// Compared in place, without copies of the pieces: smaller in the stub.
bool lineMatches(const LauncherString& line, const LauncherString& expected) {
    LauncherString::size_type length = expected.length();
    if (length < 3 || std::memcmp(expected.c_str() + length - 3, "...", 3) != 0) return line == expected;
    length -= 3;  // a prefix: the text before "..."
    return line.length() >= length && std::memcmp(line.c_str(), expected.c_str(), length) == 0;
}
}  // namespace

void readExpectedProperties(const TagFile& tags, StringList& names, StringList& expected) {
    for (std::int32_t i = 0; i < tags.valueCount("JVM_PROPERTIES"); ++i) {
        const LauncherString pair = tags.value("JVM_PROPERTIES", i);
        const LauncherString::size_type equals = pair.find('=');
        if (equals == LauncherString::npos) {
            logEntry(joinText({"Invalid JVM_PROPERTIES setting (", pair, ") in JVM File "}), LogKind::warning);
            continue;
        }
        LauncherString name = pair.substr(0, equals);
        LauncherString value = pair.substr(equals + 1);
        trimBlanks(name);
        trimBlanks(value);
        names.append(name);
        expected.append(value);
    }
}

LauncherString verificationCommand(const LauncherString& home, const LauncherString& classPath,
                                   const LauncherString& className, const StringList& names) {
    // The home and the class path are paths, whatever "#", "%" or "@" they
    // hold: literals, not references.
    LauncherString command = "\"" + literal(home);
    if (home.empty() || home[home.length() - 1] != '\\') command += "\\";
    command += "@JVM_EXE@\" %CP%(";
    // One element in double quotes, whether the class path came quoted or
    // not; three quotes on each side, as the %CP% argument reader takes two
    // for one.
    if (!classPath.empty()) {
        const LauncherString path = quoted(classPath) ? classPath.substr(1, classPath.length() - 2) : classPath;
        command += joinText({"\"\"\"", literal(path), "\"\"\""});
    }
    command += ") ";
    command += className;
    for (std::int32_t i = 0; i < names.count(); ++i) {
        command += ' ';
        command += names.get(i);
    }
    return command;
}

bool verificationOutputMatches(const LauncherString& output, const StringList& expected, LauncherString* firstValue) {
    LauncherString::size_type pos = 0;
    LauncherString line;
    bool identified = false;
    while (!identified && pos < output.length()) {
        line = readLineFromText(output, pos);
        identified = line == verifyIdentification;
    }
    if (!identified) {
        logEntry(joinText({"Invalid magic value: ", line, "\n"}), LogKind::error);
        return false;
    }
    // Lines the JVM did not print are not held against it.
    for (std::int32_t i = 0; i < expected.count() && pos < output.length(); ++i) {
        const LauncherString value = readLineFromText(output, pos);
        if (i == 0 && firstValue) *firstValue = value;
        if (!lineMatches(value, expected.get(i))) return false;
    }
    return true;
}

bool JvmVerifier::verifyJvm(JvmFile& jvmFile, const LauncherString& home, const LauncherString& classPath,
                            const LauncherString& className) {
    TagFile& tags = jvmFile.tags();
    tags.setValue("JVM_HOME", home);
    const bool ranged = !javaVersionRange(tags).empty();
    StringList names;
    StringList expected;
    // The version is asked for first, where no property whose value spans
    // several lines can shift it; any value passes the property check.
    if (ranged) {
        names.append("java.version");
        expected.append("...");
    }
    readExpectedProperties(tags, names, expected);
    bool matches = false;
    try {
        LauncherString version;
        matches = verificationOutputMatches(run(jvmFile, verificationCommand(home, classPath, className, names)),
                                            expected, &version) &&
                  (!ranged || javaVersionAdmitted(tags, version, home));
    } catch (const ChildProcessFailure& failure) {
        // A java.exe that cannot start (an empty file, one for another
        // processor) or never ends fails as a candidate; the search goes on.
        logEntry(joinText({"The JVM at ", home, " failed: ", failure.message()}), LogKind::warning);
    }
    stepProgress(verificationStep);
    return matches;
}

LauncherString JvmVerifier::run(JvmFile& jvmFile, const LauncherString& command) {
    LaunchScript script(command, OutputCapture::on, EmbeddedArchives::leftOut, settings_, files_);
    script.setTimeLimit(settings_.verificationTimeLimit);
    script.launch(jvmFile, /*passThrough=*/nullptr, /*consoleRequest=*/false);
    return script.standardOutput();
}

void prepareVerifyClass(JvmSearch& search, LauncherPayload& payload) {
    if (!search.verifyClassPath.empty() || !search.verifyClassName.empty()) return;
    TemporaryFiles& files = search.temporaryFiles();
    const LauncherString directory = files.createDirectory();
    const StringList written = payload.extractType(typeVerifyArchive, directory);
    // Without a verification archive the directory holds nothing that the
    // search needs; a program that searches in a loop must not pile them up.
    if (written.empty()) {
        files.removeDirectory(directory);
        return;
    }
    search.verifyClassPath = joinText({"\"", written.get(written.count() - 1), "\""});
    search.verifyClassName = "\"Verify\"";
}

bool verifyOne(VerifyProgress progress, VerifyFailure failure, JvmFile& jvmFile, const LauncherString& home,
               const JvmSearch& search, LauncherString& javaHome) {
    if (progress == VerifyProgress::shown) setStatusDetail(StatusDetail::verifying, jvmFile.tags().value("DESC"));
    const bool valid =
        (home.empty() ? jvmFile.verifyStatedHome(search.verifyClassPath, search.verifyClassName)
                      : jvmFile.checkHome(home, search.verifyClassPath, search.verifyClassName)) != nullptr;
    if (valid) {
        javaHome = jvmFile.tags().value("JVM_HOME");
        logEntry("After VERIFY, the jvm home is " + javaHome);
        return true;
    }
    if (failure == VerifyFailure::shown) showMessage(messageText(MessageCode::jvmNotValid));
    logEntry("In VERIFY, the jvm is invalid.");
    return false;
}

}  // namespace nv
