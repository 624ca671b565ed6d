#pragma once
// A JVM found for a JVM file.

#include "foundation/LauncherString.h"

namespace nv {

class TagFile;
class TemporaryFiles;

class JvmMatch {
public:
    // Refers to `tags`, the matched JVM file's tags, which must outlive it.
    JvmMatch(const LauncherString& home, bool temporary, TagFile& tags)
        : home_(home), temporary_(temporary), tags_(tags) {}
    JvmMatch(const JvmMatch&) = delete;
    JvmMatch& operator=(const JvmMatch&) = delete;

    // The Java home exactly as it was checked (no separator added or removed).
    LauncherString home() const { return home_; }
    // True for a JVM found through a relative path hint; written as JVM_TEMP.
    bool temporary() const { return temporary_; }
    void setTemporary(bool temporary) { temporary_ = temporary; }
    TagFile& tags() const { return tags_; }

    // Writes the matched JVM file, with JVM_HOME, JVM_FILE and JVM_TEMP set
    // in its tags (they stay set), to a new temporary file that is removed at
    // the end of the run, and returns that file's path. A file that cannot be
    // created is not written; its path (possibly empty) is still returned.
    // Throws when the base temporary directory is missing.
    LauncherString writeJvmFile(TemporaryFiles& files) const;

private:
    LauncherString home_;
    bool temporary_;
    TagFile& tags_;
};

}  // namespace nv
