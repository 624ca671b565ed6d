#pragma once
// A Java runtime folder as the packer takes it in: every directory and
// regular file below it under the name it gets on Windows, the runtime's
// version and its Java executable.

#include <cstdint>
#include <string>
#include <vector>

namespace nvjvm {

struct RuntimeEntry {
    std::string name;    // relative, parts separated by "\"
    std::string source;  // the file on this machine
    bool directory = false;
    std::uint64_t size = 0;  // 0 for a directory
};

struct RuntimeFolder {
    std::vector<RuntimeEntry> entries;  // each directory right before its content, names sorted
    std::string javaVersion;            // JAVA_VERSION of the release file
    std::string javaExe;                // JVM_EXE: bin\java.exe
    std::uint64_t fileBytes = 0;        // the sum of the file sizes
};

// Reads the folder. Links are followed when they lead to a regular file
// inside the folder. Throws PackError, naming the path, for a folder that is
// missing; one that is not a Windows Java runtime: no bin/java.exe, or a
// bin/java.exe or bin/javaw.exe that is no Windows program (checked first,
// before the walk, so that a Linux runtime hears that reason and not its
// links'); no release file or one without a JAVA_VERSION value; then, in the
// walk, a link leading outside it, to a directory or nowhere; anything other
// than a directory or regular file; a name Windows cannot write below a
// directory (nameProblem, a "\" inside a name) or two names differing only in
// case.
RuntimeFolder readRuntimeFolder(const std::string& directory);

// The value of JAVA_VERSION="..." in the text of a release file, without its
// quotes; empty when there is none.
std::string releaseJavaVersion(const std::string& text);

}  // namespace nvjvm
