#pragma once
// The manifest: a tag file that describes a launcher file to build.
//
//   STUB:    path of the launcher stub
//   OUTPUT:  path of the launcher file to write
//   MODE:    mode byte, 0 to 255
//   REPLACE: 1 to replace a payload the stub already carries
//   ENTRY:   one value per embedded file, in index order:
//            TYPE ID NAME SOURCE [FILECOUNT SIZE]
//            (a field with blanks is written in double quotes; FILECOUNT and
//            SIZE make the entry a compressed archive)
// Relative paths are taken from the manifest's directory.

#include <string>

#include "Packer.h"

namespace nvpack {

// Adds the manifest's settings to `request`. Throws PackError for a manifest
// that cannot be read, a syntax error, or a malformed ENTRY value.
void readManifest(const std::string& path, PackRequest& request);

}  // namespace nvpack
