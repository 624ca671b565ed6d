#include "launcher/LauncherCommandWork.h"

#include <memory>

#include "archive/EntryType.h"
#include "cleanup/FileRemoval.h"
#include "cleanup/TemporaryFiles.h"
#include "foundation/LauncherException.h"
#include "foundation/Log.h"
#include "foundation/Messages.h"
#include "foundation/ProgressUi.h"
#include "foundation/RunSettings.h"
#include "jvm/FileExists.h"
#include "jvm/JvmFile.h"
#include "jvm/JvmVerification.h"
#include "launch/ArgumentQuoting.h"
#include "launch/LaunchScript.h"
#include "launch/ProcessRunner.h"
#include "launcher/InstallReport.h"
#include "launcher/JvmSearchActions.h"
#include "launcher/Run.h"
#include "launcher/RunContent.h"
#include "launcher/RunResult.h"
#include "text/NumberText.h"
#include "text/PathText.h"

namespace nv {

namespace {
const char* const missingInternalFiles =
    "Unable to launch the internal launch script with the internal JVM file. Either the launch script or the JVM "
    "file is missing from the launcher.";

LauncherString jvmFileIn(const LauncherString& destination) {
    LauncherString path = destination;
    ensureTrailingSeparator(path);
    return path + "jvm";
}

// Whose an installed JVM is: the setup's own (JVM_TEMP 1), or one that
// stays for the caller of the INSTALL_JVM action (JVM_TEMP 0).
enum class InstalledJvmRole { setupsOwn, stays };

// Marks the jvm file an installer left with where it lies and writes it back.
void markInstalledJvm(const LauncherString& destination, const LauncherString& path, InstalledJvmRole role) {
    TagFile tags;
    tags.load(path);
    tags.setJvmInfo(destination, path, role == InstalledJvmRole::setupsOwn);
    tags.write(path);
}

}  // namespace

FoundJvm LauncherCommandWork::findJvm(bool showProgress, bool showFailure) {
    return nv::findJvm(content_.jvmSearch(), content_, showProgress, showFailure, run_);
}

VerifiedJvm LauncherCommandWork::verifyJvm(bool showProgress, bool showFailure, std::int32_t id) {
    showSearchWindow(showProgress);
    const FileIndexEntry* entry = content_.file().entryById(id);
    const LauncherString idText = formatLong(id);
    if (!entry) {
        throwLauncherException(joinText({"Cannot verify jvm file at index ", idText, " because it does not exist."}));
    }
    if (entry->type != typeJvmFile) {
        throwLauncherException(joinText({"To verify a JVM, use an index of a jvm file. The index passed in was ",
                                         idText, " which corresponds to the file named ", entry->name}));
    }
    TagFile* tags = content_.embeddedTags(*entry);
    if (!tags) {
        throwLauncherException(joinText({"The jvm file with file id ", idText, " could not be read."}));
    }
    JvmSearch& search = content_.jvmSearch();
    prepareVerifyClass(search, content_);
    JvmFile jvm(*tags, run_.settings, search.verifier());
    VerifiedJvm verified;
    verified.valid = verifyOne(showProgress ? VerifyProgress::shown : VerifyProgress::hidden,
                               showFailure ? VerifyFailure::shown : VerifyFailure::silent, jvm,
                               run_.settings.userJavaHome, search, verified.javaHome);
    return verified;
}

std::int32_t LauncherCommandWork::launch(const LauncherString& jvmFilePath, std::int16_t seconds) {
    if (!content_.launchScript()) return launcherFailureResult;
    auto tags = std::make_unique<TagFile>();
    tags->load(jvmFilePath);
    return run(*loadedJvmFiles_.append(std::move(tags)), seconds);
}

std::int32_t LauncherCommandWork::launchEmbedded(std::int32_t id, std::int16_t seconds) {
    const FileIndexEntry* entry = content_.file().entryById(id);
    TagFile* tags = entry ? content_.embeddedTags(*entry) : nullptr;
    if (!content_.launchScript() || !entry || entry->type != typeJvmFile || !tags) {
        logEntry(missingInternalFiles, LogKind::error);
        return launcherFailureResult;
    }
    return run(*tags, seconds);
}

std::int32_t LauncherCommandWork::run(TagFile& jvmTags, std::int16_t seconds) {
    if (seconds > 0) {
        setStatus(Status::running);
        setStatusDetail(StatusDetail::none, LauncherString());
    }
    // Seconds are signed: a negative count hides at once instead of keeping
    // the window up for some 18 hours.
    hideAfter(seconds > 0 ? static_cast<std::uint16_t>(seconds) : 0);
    // Without it the command would start the Java home itself, and the
    // system's answer would not say which file is at fault.
    if (jvmTags.value("JVM_EXE").empty()) {
        throwLauncherException(joinText({"The JVM file ", jvmTags.sourceName(), " has no JVM_EXE."}));
    }
    JvmFile jvm(jvmTags, run_.settings, content_.jvmSearch().verifier());
    LaunchScript& script = *content_.launchScript();
    const RunSettings& settings = run_.settings;
    const LaunchResult launched = script.launch(jvm, &settings.passThrough, settings.javaConsole);
    run_.lastLaunchErrorOutput = launched.errorOutput;
    return launched.exitCode;
}

InstalledJvm LauncherCommandWork::installJvm(InstallMode mode) {
    InstalledJvm installed;
    if (mode == InstallMode::hidden) {
        hideAfter(0);
    } else {
        showWindow();
        setStatus(Status::preparing);
    }
    const FileIndexEntry* installer = nullptr;
    LauncherFile& file = content_.file();
    for (std::int32_t i = 0; i < file.entryCount() && !installer; ++i) {
        if (file.entryAt(i)->type == typeCarriedJvm) installer = file.entryAt(i);
    }
    if (!installer) throwLauncherException(messageText(MessageCode::noJvmInstaller));
    const LauncherString destination =
        mode == InstallMode::chosenFolder ? chooseDirectory() : run_.files.createDirectory();
    if (destination.empty()) return installed;

    const LauncherString program = file.extract(*installer, destination);
    LauncherString dropped;
    ProcessRequest request;
    // In quotes: unquoted, a temporary path with a blank would let the system
    // start a program named like its first part.
    request.commandLine = joinText({"\"", program, "\""});
    request.workingDirectory = destination;
    request.capture = true;
    request.output = &dropped;
    request.error = &dropped;
    InstallReport report;
    runProcess(request);
    report.installerEnded();
    deletePath(program).log();

    const LauncherString jvmFile = jvmFileIn(destination);
    if (!fileExists(jvmFile)) {
        logEntry("Invalid bundled JVM. Missing 'jvm' file.", LogKind::error);
        report.write(destination, false);
        return installed;
    }
    markInstalledJvm(destination, jvmFile, InstalledJvmRole::setupsOwn);
    report.write(destination, true);
    installed.installed = true;
    installed.jvmFilePath = jvmFile;
    return installed;
}

void LauncherCommandWork::executeLauncher(std::int32_t position) {
    const FileIndexEntry* entry = content_.file().entryAt(position);
    if (!entry || entry->type != typeEmbeddedLauncher) {
        logEntry("Unable to execute the embedded launcher.", LogKind::error);
        return;
    }
    const LauncherString directory = run_.files.createDirectory();
    LauncherString command = joinText({"\"", content_.file().extract(*entry, directory), "\" -nv:orig \""});
    // The embedded launcher runs on after this run ends: its directory stays
    // (only once it is written whole: a failed extraction leaves it to the clean-up).
    run_.files.list().forgetDirectory(directory);
    const RunSettings& settings = run_.settings;
    command += settings.launcherPath;
    command += '"';
    // Quoted for the C runtime, so the embedded launcher reads back exactly these arguments.
    appendQuotedArguments(command, settings.allArguments);
    ProcessRequest request;
    request.commandLine = command;
    request.workingDirectory = directory;
    request.console = true;
    request.newConsole = true;
    request.wait = false;
    runProcess(request);
}

LauncherString installJvmFromAction(const LauncherString& installer, const LauncherString& destination,
                                    bool showProgress) {
    ProcessRequest request;
    request.commandLine = installer;
    request.workingDirectory = destination;
    request.console = showProgress;
    request.wait = true;
    runProcess(request);
    const LauncherString jvmFile = jvmFileIn(destination);
    markInstalledJvm(destination, jvmFile, InstalledJvmRole::stays);
    return jvmFile;
}

}  // namespace nv
