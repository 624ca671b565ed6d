#pragma once
// The entries of a request checked as entries, before any is read as
// content: types, ids, names Windows can hold, sources that exist and fit.

#include <cstdint>
#include <string>

#include "Packer.h"

namespace nvpack {

// An entry as messages name it: where a manifest gives it, its name, type and id.
std::string describe(const PackEntry& e);

// The size of the entry's source; throws PackError "<entry>: source file not
// found: <path>" when there is no such file.
std::int64_t sourceSize(const PackEntry& e);

// Throws PackError for a type outside 0-7, an id that does not fit in 32 bits
// or is used twice, a second instruction program or launch script, a name the
// launcher could not write out (or input.tag, or one that differs from
// another only in case), and a missing or too large source. Returns true when
// the request carries an instruction program.
bool checkEntries(const PackRequest& request);

// Types 0-2 are read as tag files; throws PackError for a zip archive (a
// jar) given as one, whose syntax error would not say what is wrong.
void checkTagFileTypes(const PackRequest& request);

}  // namespace nvpack
