#pragma once
// The manifest: a tag file that describes a launcher file to build.
//
//   STUB:    path of the launcher stub
//   OUTPUT:  path of the launcher file to write
//   MODE:    mode byte, 0 to 255
//   REPLACE: 0, or 1 to replace a payload the stub already carries
//   ENTRY:   one value per embedded file, in index order:
//            TYPE ID NAME SOURCE
//            (a field with blanks is written in double quotes)
//   ICON, PRODUCT_NAME, PRODUCT_VERSION, COMPANY, DESCRIPTION, COPYRIGHT,
//   EXECUTION_LEVEL: the branding (Branding.h), as the options of the same names
// Relative paths are taken from the manifest's directory. Any other tag is
// refused, and so is a setting that the command line also gives.

#include <string>

#include "Packer.h"

namespace nvpack {

// Adds the manifest's settings and entries to `request`; entries go after
// those already there, each with its line as its place, and the manifest to
// request.manifests. The stub, output and icon are recorded as written
// ("app.nvpack line 3: OUTPUT setup.exe") for messages. Throws PackError for
// a manifest that is missing, a directory or unreadable, a syntax error, and,
// naming the line, an unknown tag, a value that is not of its setting's form,
// a malformed ENTRY value, and a setting already given (see claimSetting).
void readManifest(const std::string& path, PackRequest& request);

}  // namespace nvpack
