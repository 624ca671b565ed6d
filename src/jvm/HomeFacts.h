#pragma once
// What a Java home tells about itself without starting Java: the version in
// its `release` file (JAVA_VERSION="17.0.10") and whether its executable is
// a 64-bit or a 32-bit program (its PE header).

#include "foundation/LauncherString.h"

namespace nv {

struct HomeFacts {
    LauncherString version;  // JAVA_VERSION as written; empty without a release file that gives one
    int bits = 0;            // 64 or 32; 0 when the executable's header does not say
};

// Reads the release file of `home` and the header of `executable` (its Java
// executable); whatever cannot be read stays unknown.
HomeFacts readHomeFacts(const LauncherString& home, const LauncherString& executable);

// JAVA_VERSION of the release file of `home`; empty without one that gives it.
LauncherString releaseVersionOf(const LauncherString& home);

// JAVA_VERSION's value in the text of a release file, its quotes removed;
// empty when no line gives it.
LauncherString releaseJavaVersion(const std::string& releaseText);

}  // namespace nv
