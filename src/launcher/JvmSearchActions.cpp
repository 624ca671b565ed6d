#include "launcher/JvmSearchActions.h"

#include <exception>

#include "cleanup/TemporaryFiles.h"
#include "foundation/LauncherException.h"
#include "foundation/Log.h"
#include "foundation/Messages.h"
#include "foundation/ObjectList.h"
#include "foundation/ProgressUi.h"
#include "foundation/ResultOutput.h"
#include "jvm/JvmMatch.h"
#include "jvm/JvmSearch.h"
#include "jvm/JvmVerification.h"
#include "jvm/VersionRange.h"
#include "launch/LauncherPayload.h"
#include "launcher/EndOfRun.h"

namespace nv {

namespace {

// Writes the match's JVM file and keeps it past the run's clean-up.
LauncherString keepJvmFile(const JvmMatch& match, TemporaryFiles& files) {
    const LauncherString path = match.writeJvmFile(files);
    files.list().forgetFile(path);
    return path;
}

}  // namespace

void showSearchWindow(bool showProgress) {
    if (showProgress) {
        setStatus(Status::searching);
        showWindow();
    } else {
        hideAfter(0);
    }
}

FoundJvm findJvm(JvmSearch& search, LauncherPayload& payload, bool showProgress, bool showFailure, Run& run) {
    logEntry("Finding a JVM");
    showSearchWindow(showProgress);
    FoundJvm result;
    try {
        prepareVerifyClass(search, payload);
        ObjectList<JvmMatch> matches;
        search.findFirst(matches);
        if (const JvmMatch* match = matches.get(0)) {
            result.jvmFilePath = match->writeJvmFile(search.temporaryFiles());
            result.javaHome = match->home();
            result.found = true;
            logEntry("Matching JVM home is " + result.javaHome);
            logEntry("Matching JVM file is " + result.jvmFilePath);
            return result;
        }
    } catch (const LauncherException& e) {
        const LauncherString text = joinText({messageText(MessageCode::noSuitableJvm), " ", e.message()});
        logEntry(text, LogKind::error);
        LauncherException passed(e.message());
        if (showFailure) {
            showMessage(text);
        } else {
            passed.declineBox();
        }
        throwLauncherException(passed);
    }
    // The versions the JVM files asked for, on lines of their own in no
    // language: the user learns which Java to give.
    LauncherString notFound =
        showFailure ? messageText(MessageCode::noSuitableJvm) : LauncherString("No suitable JVM was found.");
    appendWantedJavaVersions(notFound, search.jvmFiles());
    logEntry(notFound);
    if (!showFailure) {
        // The program may well go on without it (install the carried JVM):
        // the advice to give a Java home waits for the end of a run that fails.
        holdJvmAdvice(run);
    } else if (!cancelRequested()) {
        showMessage(notFound);
    }
    return result;
}

void searchAction(JvmSearch& search, LauncherPayload& payload, bool showProgress, bool showFailure, Run& run) {
    FoundJvm found;
    try {
        found = findJvm(search, payload, showProgress, showFailure, run);
    } catch (const LauncherException&) {
        throw;
    } catch (const std::exception&) {
        logEntry("Unexpected failure in search.", LogKind::error);
        return;
    }
    writeResultNumber(found.found ? 1 : 0);
    if (!found.found) return;
    writeResultLine(found.javaHome);
    writeResultLine(found.jvmFilePath);
    search.temporaryFiles().list().forgetFile(found.jvmFilePath);
}

void searchAllAction(JvmSearch& search, LauncherPayload& payload, bool showProgress, bool showFailure) {
    logEntry("Finding all matching JVMs");
    showSearchWindow(showProgress);
    try {
        prepareVerifyClass(search, payload);
        ObjectList<JvmMatch> matches;
        search.findAll(matches);
        writeResultNumber(matches.count());
        for (std::int32_t i = 0; i < matches.count(); ++i) {
            const JvmMatch& match = *matches.get(i);
            const LauncherString path = keepJvmFile(match, search.temporaryFiles());
            writeResultLine(match.home());
            writeResultLine(path);
        }
    } catch (const LauncherException& e) {
        const LauncherString text = messageText(MessageCode::unableToSearchAll) + e.message();
        logEntry(text, LogKind::error);
        if (showFailure) showMessage(text);
        writeResultNumber(0);
    }
}

}  // namespace nv
