#pragma once
// The record of every temporary directory and file of the run, and their
// removal at its end (or when Windows ends the session). The paths are the
// run state's (foundation/RunState.h); the worker thread and the
// user-interface thread share them under its lock, so the two clean-ups
// never run over them at the same time.

#include "foundation/LauncherString.h"
#include "foundation/Pause.h"
#include "foundation/RunState.h"
#include "foundation/StringList.h"

namespace nv {

class CleanupList {
public:
    // A path whose removal keeps failing for a reason that may pass (sharing,
    // access denied) is given up after this many tries (50 ms apart, so ten
    // seconds): long enough for a virus scanner or an indexer to let go of a
    // file, short enough that a file another program keeps open cannot keep a
    // finished run alive for ever. Any other failure is given up at once.
    static constexpr unsigned deletionTries = 200;
    static constexpr unsigned deletionInterval = 50;

    explicit CleanupList(CleanupPaths& paths) : paths_(paths) {}

    void recordDirectory(const LauncherString& path);
    void recordFile(const LauncherString& path);
    // Takes the first entry equal to path (compared without regard to case)
    // off the list, so that it outlives the run; nothing when there is none.
    void forgetDirectory(const LauncherString& path);
    void forgetFile(const LauncherString& path);

    // Removes the recorded directories, last recorded first, then the files
    // the same way, retrying a path as described above; the first try's
    // failures and each path given up are reported in the run log. Then,
    // when the run was started with -nv:orig, arranges the removal of the
    // launcher's own file.
    // Writes "Launcher: Deleting dir: " and "Launcher: Deleting file: " lines
    // to the debug log. Blocks while the other thread's clean-up runs.
    void cleanUp(Pause& pause = systemPause());

    StringList directories() const;
    StringList files() const;

private:
    void removeAll(StringList& paths, const char* debugText, Pause& pause);

    CleanupPaths& paths_;
};

// The list of the run state's paths.
CleanupList cleanupList();

}  // namespace nv
