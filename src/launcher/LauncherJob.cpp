#include <cstdio>

#include "foundation/CFile.h"
#include "foundation/LauncherException.h"
#include "foundation/Log.h"
#include "foundation/Messages.h"
#include "foundation/ResultOutput.h"
#include "instructions/Instructions.h"
#include "jvm/JvmFile.h"
#include "jvm/JvmVerification.h"
#include "foundation/ProgressUi.h"
#include "launcher/JvmSearchActions.h"
#include "launcher/LauncherCommandWork.h"
#include "launcher/RunContent.h"
#include "launcher/RunJob.h"
#include "launcher/SingleInstance.h"
#include "launcher/Run.h"
#include "text/NumberText.h"
#include "tagfile/TagFile.h"

namespace nv {

namespace {

// The job of a real run, on the launcher's own file.
class LauncherJob : public RunJob {
public:
    explicit LauncherJob(Run& run) : run_(run) {}

    void extractAll() override {
        try {
            content().load(Dispatch::no);
        } catch (const LauncherException& e) {
            throwLauncherException(withContext(MessageCode::unableToLoadIndex, e));
        }
        try {
            content().extractAll();
        } catch (const LauncherException& e) {
            throwLauncherException(withContext(MessageCode::unableToExtract, e));
        }
    }

    InputFileOutcome processInputFile(const LauncherString& value) override {
        TagFile input;
        try {
            readInputFile(value, input);
        } catch (const LauncherException& e) {
            showMessage(messageText(MessageCode::couldNotLoadInputFile) + e.message());
            throw;
        }
        try {
            content().readNamedEntries(input);
        } catch (const LauncherException& e) {
            showMessage(e.message());
            throw;
        }
        loadLauncherFile(Dispatch::yes);
        return performAction(input);
    }

    void loadLauncherFile(Dispatch dispatch) override {
        try {
            content().load(dispatch);
        } catch (const LauncherException& e) {
            throwLauncherException(withContext(MessageCode::unableToLoadIndex, e));
        }
    }

    ProgramOutcome runInstructions() override {
        Instructions* program = content().instructions();
        // Without a program nothing would run and nobody would know why.
        if (!program && content().file().entryCount() == 0) {
            throwLauncherException("The launcher file carries no payload; it may be damaged or was not packed.");
        }
        if (!program) throwLauncherException("The launcher file carries no instruction program.");
        // Before any work: a second start does nothing but show the first.
        if (program->singleInstance() && !claimSingleInstance(run_.settings, content().file(), run_.instance))
            return ProgramOutcome{anotherInstanceResult, false};
        LauncherCommandWork work(content(), run_);
        return program->run(work);
    }

private:
    RunContent& content() {
        if (!content_) content_ = std::make_unique<RunContent>(run_.settings, run_.files);
        return *content_;
    }

    static void readInputFile(const LauncherString& value, TagFile& input) {
        if (value.empty()) throwLauncherException(messageText(MessageCode::unableToOpenInputFile));
        CFile stream = openFile(stripQuotes(value).c_str(), "r");
        if (!stream.valid()) throwLauncherException(messageText(MessageCode::unableToOpenInputFile));
        logEntry("Loading input file " + value);
        input.readFrom(stream.get(), value);
        setRunLogPath(input.value("LOGFILE"));
    }

    InputFileOutcome performAction(const TagFile& input) {
        bool showProgress = input.boolValue("SHOW_PROGRESS", false);
        bool showFailure = input.boolValue("SHOW_FAIL_MSG", false);
        if (showProgress || showFailure) {
            showWindow();
            if (showProgress) setProgress(0);
        } else {
            hideAfter(0);
        }
        InputFileOutcome outcome;
        LauncherString action = input.value("ACTION");
        if (action == "RUN_INSTRUCTIONS") {
            outcome.runInstructions = true;
            return outcome;
        }
        if (action == "VERIFY_JVM") {
            if (input.value("VERIFY_JVM_FILE").empty() || input.value("VERIFY_JVM_HOME").empty()) {
                logEntry(
                    "TO execute the VERIFY_JVM action, you must also provide values in the input file for "
                    "VERIFY_JVM_FILE and VERIFY_JVM_HOME.",
                    LogKind::error);
                outcome.failed = true;
                return outcome;
            }
            verifyJvmFile(input.value("VERIFY_JVM_FILE"), input.value("VERIFY_JVM_HOME"), showProgress, showFailure);
            setProgress(100);
            return outcome;
        }
        if (action == "SEARCH") {
            searchAction(content().jvmSearch(), content(), showProgress, showFailure, run_);
            setProgress(100);
            return outcome;
        }
        if (action == "SEARCH_ALL") {
            searchAllAction(content().jvmSearch(), content(), showProgress, showFailure);
            setProgress(100);
            return outcome;
        }
        if (action == "INSTALL_JVM") {
            const LauncherString installer = input.value("INSTALL_JVM_EXE");
            const LauncherString destination = input.value("INSTALL_JVM_DEST");
            if (!installer.empty() && !destination.empty()) {
                writeResultLine(installJvmFromAction(installer, destination, showProgress));
            }
            setProgress(100);
            return outcome;
        }
        LauncherString message = messageText(MessageCode::invalidAction) + action;
        showMessage(message);
        throwLauncherException(message);
    }

    // The VERIFY_JVM action: one line on standard output, 1 for a valid JVM,
    // 0 otherwise. The JVM file on disk is left as it is.
    void verifyJvmFile(const LauncherString& path, const LauncherString& home, bool showProgress, bool showFailure) {
        TagFile tags;
        tags.load(path);
        JvmSearch& search = content().jvmSearch();
        JvmFile jvm(tags, run_.settings, search.verifier());
        prepareVerifyClass(search, content());
        LauncherString javaHome;
        const bool valid =
            verifyOne(showProgress ? VerifyProgress::shown : VerifyProgress::hidden,
                      showFailure ? VerifyFailure::shown : VerifyFailure::silent, jvm, home, search, javaHome);
        writeResultNumber(valid ? 1 : 0);
    }

    Run& run_;
    std::unique_ptr<RunContent> content_;
};

}  // namespace

std::unique_ptr<RunJob> launcherJob(Run& run) { return std::make_unique<LauncherJob>(run); }

}  // namespace nv
