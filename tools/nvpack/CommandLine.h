#pragma once
// nvpack's command line.

#include <string>
#include <vector>

#include "Packer.h"

namespace nvpack {

// The text that --help prints.
extern const char usageText[];

// Reads the arguments (without the program's name) into a request, reading
// each --manifest where it stands, so that entries keep the order in which
// they are given. Throws PackError for an unknown or incomplete argument, a
// number that is not one, a setting given twice (see claimSetting), a missing
// --stub or --out, and whatever readManifest refuses.
PackRequest parseCommandLine(const std::vector<std::string>& args);

}  // namespace nvpack
