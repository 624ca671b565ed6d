#include "JvmFileText.h"

#include "text/TextScanning.h"
#include "tools/common/PackError.h"

namespace nvjvm {

using nvtools::PackError;

namespace {

// One value as the tag-file writer writes it: plain unless it is empty,
// starts or ends with a blank or holds a double quote; then quoted, with each
// double quote doubled.
std::string value(const std::string& text, const char* what) {
    for (unsigned char c : text) {
        if (c < 32 || c == 127) throw PackError(std::string(what) + " holds a line break or control character");
    }
    const bool plain =
        !text.empty() && !nv::isBlank(text.front()) && !nv::isBlank(text.back()) && text.find('"') == std::string::npos;
    if (plain) return text;
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"') quoted += '"';
    }
    return quoted + "\"";
}

}  // namespace

std::string jvmFileText(const std::string& description, const std::string& javaExe, const std::string& javaVersion) {
    return "DESC:  " + value(description, "the description") + "\n" +
           "JVM_EXE:  " + value(javaExe, "the Java executable's path") + "\n" + "JVM_PROPERTIES:\n  " +
           value("java.version=" + javaVersion, "the Java version") + "\n/:\n" +
           "CLASSPATH:  \"-cp \"\n"
           "CLASSPATH_SEPARATOR:  ;\n"
           "SYSTEM:  -D\n"
           "SYSTEM_SEPARATOR:  =\n";
}

std::string defaultDescription(const std::string& javaVersion) { return "Java runtime " + javaVersion; }

}  // namespace nvjvm
