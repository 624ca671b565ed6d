#pragma once
// The JVM file that a carried JVM leaves at the top of its directory: a tag
// file naming the runtime, its Java executable, the version it must report
// when verified and the settings launch scripts use to build its command.

#include <string>

namespace nvjvm {

// The text of the JVM file: DESC, JVM_EXE, JVM_PROPERTIES (java.version=
// javaVersion), CLASSPATH "-cp ", CLASSPATH_SEPARATOR ";", SYSTEM "-D" and
// SYSTEM_SEPARATOR "=". Values are quoted where the tag-file reader needs it.
// Throws PackError for a description or version with a line break or other
// control character, which no tag value can hold.
std::string jvmFileText(const std::string& description, const std::string& javaExe, const std::string& javaVersion);

// The description used when none is given: "Java runtime " + version.
std::string defaultDescription(const std::string& javaVersion);

}  // namespace nvjvm
