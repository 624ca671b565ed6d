#pragma once
// The types of the launcher file's embedded files, as the file index numbers
// them. The one place these numbers are written: every folder that names a
// type includes this header and nothing else of the archive.

#include <cstdint>

namespace nv {

enum EntryType : std::uint8_t {
    typeInstructions = 0,
    typeJvmFile = 1,
    typeLaunchScript = 2,
    typeClassPathArchive = 3,
    typeCarriedJvm = 4,
    typeVerifyArchive = 5,
    typeApplicationArchive = 6,
    typeEmbeddedLauncher = 7,
};

}  // namespace nv
