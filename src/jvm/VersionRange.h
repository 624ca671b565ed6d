#pragma once
// The range of Java versions a JVM file accepts, MIN_JAVA_VERSION and
// MAX_JAVA_VERSION (JavaVersion.h says how they compare): the check of the
// java.version a candidate reports, and the range as the run log and the
// user read it.

#include "foundation/LauncherString.h"
#include "foundation/ObjectList.h"

namespace nv {

class JvmFile;
class TagFile;

// The range with its bounds as written, in ASCII, which every code page
// spells alike, so that it needs no translation: "Java 17+", "Java 17 -
// 21.99", "Java <= 21.99". Empty when the JVM file sets neither bound.
LauncherString javaVersionRange(const TagFile& jvmTags);

// True when `reported`, the java.version of the JVM at `home`, lies in the
// JVM file's range. Otherwise logs "Found Java <reported> at <home>; needs
// <range>". A reported version or a bound that is no version admits nothing.
bool javaVersionAdmitted(const TagFile& jvmTags, const LauncherString& reported, const LauncherString& home);

// Appends to `text` the ranges of the JVM files that set one, none twice,
// each after a line feed: what the message that no JVM was found adds.
void appendWantedJavaVersions(LauncherString& text, const ObjectList<JvmFile>& jvmFiles);

}  // namespace nv
