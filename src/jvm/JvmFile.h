#pragma once
// A description of one acceptable kind of JVM, read from a tag file.

#include "foundation/LauncherString.h"
#include "launch/JvmVariables.h"

namespace nv {

class TagFile;

class JvmFile : public JvmVariables {
public:
    // Refers to `tags`, which must outlive this object (it belongs to a
    // launcher file entry or to the list of tag files loaded from disk).
    explicit JvmFile(TagFile& tags) : tags_(tags) {}
    JvmFile(const JvmFile&) = delete;
    JvmFile& operator=(const JvmFile&) = delete;

    TagFile& tags() const override { return tags_; }

    // The first value of the tag `name`, empty when it is missing; for
    // JVM_HOME a final "\" is removed. Launch scripts read @NAME@ through it.
    LauncherString lookupVariable(const LauncherString& name) const override;

private:
    TagFile& tags_;
};

}  // namespace nv
