#include "launcher/LauncherCommandWork.h"

#include <memory>

#include "archive/LauncherFile.h"
#include "foundation/Log.h"
#include "foundation/ProgressUi.h"
#include "foundation/RunSettings.h"
#include "jvm/JvmFile.h"
#include "launcher/JvmSearchActions.h"
#include "launch/LaunchOutput.h"
#include "launch/LaunchScript.h"

namespace nv {

namespace {
const char* const missingInternalFiles =
    "Unable to launch the internal launch script with the internal JVM file. Either the launch script or the JVM "
    "file is missing from the launcher.";
constexpr int runningStatus = 3;
}  // namespace

FoundJvm LauncherCommandWork::findJvm(bool showProgress, bool showFailure) {
    return nv::findJvm(file_.jvmSearch(), showProgress, showFailure);
}

std::int32_t LauncherCommandWork::launch(const LauncherString& jvmFilePath, std::int16_t seconds) {
    if (!file_.launchScript()) return -1;
    auto tags = std::make_unique<TagFile>();
    tags->load(jvmFilePath);
    return run(*loadedJvmFiles_.append(std::move(tags)), seconds);
}

std::int32_t LauncherCommandWork::launchEmbedded(std::int32_t id, std::int16_t seconds) {
    FileIndexEntry* entry = file_.entryById(id);
    if (!file_.launchScript() || !entry || entry->type != typeJvmFile || !entry->content) {
        logEntry(missingInternalFiles, LogKind::error);
        return -1;
    }
    return run(*entry->content, seconds);
}

std::int32_t LauncherCommandWork::run(TagFile& jvmTags, std::int16_t seconds) {
    if (seconds > 0) {
        setStatus(runningStatus);
        setStatusDetail(0, LauncherString());
    }
    // Seconds are signed: a negative count hides at once instead of keeping
    // the window up for some 18 hours.
    hideAfter(seconds > 0 ? static_cast<std::uint16_t>(seconds) : 0);
    JvmFile jvm(jvmTags);
    LaunchScript& script = *file_.launchScript();
    const RunSettings& settings = runSettings();
    const std::int32_t code = script.launch(jvm, &settings.passThrough, settings.javaConsole);
    setLastLaunchErrorOutput(script.standardError());
    return code;
}

}  // namespace nv
