#pragma once
// The output file, checked before anything is written: nvpack replaces it
// whole at the end of a run, so it must not be one of the files it reads.

#include <string>

#include "Packer.h"

namespace nvpack {

// Throws PackError naming the output as the user gave it when it is a
// directory, and "<output> is <input>; nvpack would overwrite it" when the
// output or `temporary` (the file written beside it first) is the stub, an
// entry's source, a manifest or the icon. Files are compared by identity
// (device and file number; on Windows volume and file index), so another
// spelling of a path, a hard link and a symbolic link all count.
void checkOutput(const PackRequest& request, const std::string& temporary);

}  // namespace nvpack
