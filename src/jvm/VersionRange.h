#pragma once
// The range of Java versions a JVM file accepts, MIN_JAVA_VERSION and
// MAX_JAVA_VERSION (JavaVersion.h says how they compare): the check of the
// java.version a candidate reports, and the range in words for the run log
// and for the user.

#include "foundation/LauncherString.h"
#include "foundation/ObjectList.h"

namespace nv {

class JvmFile;
class TagFile;

class VersionRange {
public:
    // The bounds as `jvmTags` writes them; empty where one is not set.
    explicit VersionRange(const TagFile& jvmTags);

    // True when the JVM file sets neither bound: no version is asked for.
    bool empty() const { return minimum_.empty() && maximum_.empty(); }

    // True when `reported`, the java.version of the JVM at `home`, lies in
    // the range. Otherwise logs "Found Java <reported> at <home>; needs
    // <needs()>" (a version that cannot be read is said so). A bound that is
    // no version admits nothing, with the warning "Invalid MIN_JAVA_VERSION
    // setting (<value>) in JVM File <source>".
    bool admits(const LauncherString& reported, const LauncherString& home) const;

    // "17 or newer", "17 to 21.99", "21.99 or older".
    LauncherString needs() const;

    // For the user whatever the language, in ASCII, which every code page
    // spells alike: "Java 17+", "Java 17 - 21.99", "Java <= 21.99".
    LauncherString shortForm() const;

private:
    LauncherString minimum_;
    LauncherString maximum_;
    LauncherString source_;
};

// The short forms of the ranges the JVM files set, none twice, each after a
// line feed: what the message that no JVM was found adds. Empty when no JVM
// file sets a range.
LauncherString wantedJavaVersions(const ObjectList<JvmFile>& jvmFiles);

}  // namespace nv
