#pragma once
// The run's temporary files: the base temporary directory, the uniquely
// named directories and files that the run creates in it, each recorded for
// removal at the end of the run, and that removal. The run owns one and
// hands it to what makes temporary files.

#include "cleanup/CleanupList.h"
#include "foundation/LauncherString.h"
#include "foundation/Pause.h"
#include "foundation/RunSettings.h"

namespace nv {

// Access-denied answers to a name request are retried 200 ms apart up to
// this many times (ten seconds): a scanner that holds the directory briefly
// is waited out, one that never lets go ends the run with the system's text.
constexpr unsigned temporaryNameTries = 50;
constexpr unsigned temporaryNameInterval = 200;

class TemporaryFiles {
public:
    // `settings` (-nv:tempdir, -nv:orig and the launcher's path) must outlive
    // this object; they are read when they are needed.
    explicit TemporaryFiles(const RunSettings& settings) : settings_(settings) {}
    TemporaryFiles(const TemporaryFiles&) = delete;
    TemporaryFiles& operator=(const TemporaryFiles&) = delete;

    // The base temporary directory: -nv:tempdir, else the system's temporary
    // path (taken at the first call and kept). Checked on every call: throws
    // LauncherException MessageCode::temporaryDirectoryMissing naming the path
    // when it is not an existing directory.
    LauncherString directory();

    // Creates a new empty directory "LRE..." in the base temporary directory,
    // records it for removal and returns its path (no trailing separator).
    // Throws like directory, and "GetTempFileName failed  ==>  " + the
    // system's text when no name can be had.
    LauncherString createDirectory(Pause& pause = systemPause());

    // Removes a directory that createDirectory made, now, and takes it off
    // the clean-up list; one that cannot be removed yet stays listed.
    void removeDirectory(const LauncherString& path);

    // Creates a new empty file "LRE..." in the base temporary directory,
    // records it for removal and returns its path; the empty text (also
    // recorded) when no name can be had. Throws like directory.
    LauncherString createFile();

    // What is recorded for removal; a path taken off it outlives the run.
    CleanupList& list() { return list_; }

    // The end of the run: removes what is recorded (CleanupList::cleanUp)
    // and then, when the run was started with -nv:orig, arranges the removal
    // of the launcher's own file; all under the list's lock.
    void cleanUp(Pause& pause = systemPause());

private:
    const RunSettings& settings_;
    CleanupList list_;
    LauncherString systemPath_;  // the system's temporary path, asked for once
};

}  // namespace nv
