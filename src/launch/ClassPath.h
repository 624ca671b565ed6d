#pragma once
// The class path of a launch, assembled by the CP function of a launch
// command from its nine sources, in this order: -cp:p, the .cp1 companion
// list, JVM_CLASSPATH, the .cp companion list, CP's arguments, the launch
// script's ARCHIVE, the embedded class path archives, the .cp2 companion
// list, -cp:a.

#include "foundation/LauncherString.h"
#include "foundation/StringList.h"

namespace nv {

class JvmVariables;
class LaunchScript;

// Appends the element, after the JVM file's CLASSPATH_SEPARATOR when the
// class path is not empty; an empty element is ignored.
void addElement(LauncherString& classPath, const LauncherString& element, const JvmVariables& jvm);

// The text that replaces the CP reference: in command mode the JVM file's
// CLASSPATH followed by the class path (empty when the class path is);
// in environment mode (USE_CP_ENV_VAR exactly "1") the empty text, the class
// path having been put into the variable CP_ENV_VAR names. Throws
// LauncherException when the embedded archives cannot be extracted.
LauncherString buildClassPath(const StringList& arguments, LaunchScript& script, const JvmVariables& jvm);

}  // namespace nv
