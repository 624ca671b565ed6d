#pragma once
// The work behind the instruction commands in a real run, over the launcher
// file: FIND_JVM searches with the launcher file's JVM files; LAUNCH and
// ILAUNCH run the launch script with a JVM file. The verification,
// installation and the embedded launcher are not part of this build yet and
// say so.

#include "foundation/ObjectList.h"
#include "instructions/UnavailableCommandWork.h"
#include "tagfile/TagFile.h"

namespace nv {

class LauncherFile;

class LauncherCommandWork : public UnavailableCommandWork {
public:
    // `file` must outlive this object.
    explicit LauncherCommandWork(LauncherFile& file) : file_(file) {}

    // The JVM search of the launcher file (see findJvm in JvmSearchActions.h).
    FoundJvm findJvm(bool showProgress, bool showFailure) override;

    // -1 without a launch script; otherwise loads the JVM file (throws
    // "Unable to load input file: <path>" when it cannot), shows "Running
    // <title>..." for a positive `seconds`, hides the window after `seconds`
    // (at once for 0 or less) and returns the launched program's exit code.
    std::int32_t launch(const LauncherString& jvmFilePath, std::int16_t seconds) override;
    // As launch, with the embedded JVM file of that id; without it (or
    // without a launch script) logs the error line and returns -1.
    std::int32_t launchEmbedded(std::int32_t id, std::int16_t seconds) override;

private:
    std::int32_t run(TagFile& jvmTags, std::int16_t seconds);

    LauncherFile& file_;
    ObjectList<TagFile> loadedJvmFiles_;  // the JVM files LAUNCH loaded, kept for the run
};

}  // namespace nv
