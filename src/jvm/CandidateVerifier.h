#pragma once
// The proof that a candidate Java home holds a JVM of a JVM file's kind.
// checkHome asks it once it has found the Java executable. An interface so
// that tests can prove candidates without starting a JVM.

#include "foundation/LauncherString.h"

namespace nv {

class JvmFile;

class CandidateVerifier {
public:
    virtual ~CandidateVerifier() = default;
    // True when the JVM at `home` (as given, with or without a final "\")
    // is accepted for `jvmFile`. The class path and class name are those of
    // the run's verification class, passed on unchanged.
    virtual bool verifyJvm(JvmFile& jvmFile, const LauncherString& home, const LauncherString& classPath,
                           const LauncherString& className) = 0;
};

}  // namespace nv
