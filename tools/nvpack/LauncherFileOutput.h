#pragma once
// Writing the launcher file: through a temporary file beside the output that
// is renamed into place only when whole.

#include <string>

#include "Packer.h"
#include "archive/LauncherFileLayout.h"

namespace nvpack {

// Where the output goes and how messages name it.
struct OutputFile {
    std::string path;     // the output file
    std::string givenAs;  // as the user gave it: "--out setup.exe"
    std::string temp;     // the temporary file beside it
};

// Writes `stub`, the entries' sources, the zeros, their checksums and the
// tail as `layout` places them into out.temp and renames it to out.path,
// with the stub's permissions. A refusal on the way removes the temporary
// file and leaves an existing output as it was. Throws PackError.
void writeLauncherFile(const PackRequest& request, const std::string& stub,
                       const nv::format::LauncherFileLayout& layout, const OutputFile& out);

// What a dry run can tell without writing: a missing folder for the output
// throws the PackError that creating the temporary file would have.
void checkOutputFolder(const OutputFile& out);

}  // namespace nvpack
