#pragma once
// The search keys of a JVM file as the launcher will read them: hints it can
// follow, and the keys that steer the search.

#include <string>
#include <vector>

#include "tagfile/TagFile.h"

namespace nvpack {

// Throws PackError, after `place` (the entry and its source), for a
// PLATFORM_HINT whose hive the launcher does not know, naming the full hive
// name to write (the five names when the hive is nothing like one), a PREFER
// other than NEWEST and a KNOWN_JAVA_INSTALLS other than 0 or 1. Adds a
// warning for hints that would never be searched: a JVM file with hints but
// with neither JVM_PROPERTIES nor a version range verifies nothing.
void checkJvmSearchKeys(const std::string& place, const nv::TagFile& tags, std::vector<std::string>& warnings);

}  // namespace nvpack
