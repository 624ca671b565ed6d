#pragma once
// The launch settings of a run, read from a tag file.

#include "foundation/LauncherString.h"

namespace nv {

class TagFile;

class LaunchScript {
public:
    // Refers to `tags`, which must outlive this object.
    explicit LaunchScript(TagFile& tags) : tags_(tags) {}
    LaunchScript(const LaunchScript&) = delete;
    LaunchScript& operator=(const LaunchScript&) = delete;

    TagFile& tags() const { return tags_; }
    // DESC: the program's name for people; it becomes the window title.
    LauncherString description() const;

private:
    TagFile& tags_;
};

}  // namespace nv
