#pragma once
// The one JVM search of a run: the JVM files in order of preference and the
// verification class to prove candidates with.

#include "foundation/LauncherString.h"
#include "foundation/ObjectList.h"
#include "jvm/JvmFile.h"

namespace nv {

class JvmSearch {
public:
    ObjectList<JvmFile>& jvmFiles() { return jvmFiles_; }
    const ObjectList<JvmFile>& jvmFiles() const { return jvmFiles_; }

    // Set from an input file's VERIFY_CLASSPATH and VERIFY_CLASS_NAME; empty
    // means the embedded verification archive is used.
    LauncherString verifyClassPath;
    LauncherString verifyClassName;

private:
    ObjectList<JvmFile> jvmFiles_;
};

}  // namespace nv
