#pragma once
// The record of every temporary directory and file of the run, and their
// removal at its end (or when Windows ends the session, or on a fault). The
// run owns one (TemporaryFiles.h); the worker thread and the user-interface
// thread share it under its lock, so the two clean-ups never run over them
// at the same time.

#include "foundation/LauncherString.h"
#include "foundation/Pause.h"
#include "foundation/Mutex.h"
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

    CleanupList() = default;
    CleanupList(const CleanupList&) = delete;
    CleanupList& operator=(const CleanupList&) = delete;

    void recordDirectory(const LauncherString& path);
    void recordFile(const LauncherString& path);
    // Takes the first entry equal to path (compared without regard to case)
    // off the list, so that it outlives the run; nothing when there is none.
    void forgetDirectory(const LauncherString& path);
    void forgetFile(const LauncherString& path);

    // Removes the recorded directories, last recorded first, then the files
    // the same way, retrying a path as described above; the first try's
    // failures and each path given up are reported in the run log.
    // Writes "Launcher: Deleting dir: " and "Launcher: Deleting file: " lines
    // to the debug log. Blocks while the other thread's clean-up runs.
    void cleanUp(Pause& pause = systemPause());

    StringList directories() const;
    StringList files() const;

    // The lock of the lists (recursive), for a clean-up that does more under it.
    Mutex& mutex() { return mutex_; }

private:
    void removeAll(StringList& paths, const char* debugText, Pause& pause);

    mutable Mutex mutex_;
    StringList directories_;
    StringList files_;
};

}  // namespace nv
