#pragma once
// Whether a drive has room for files about to be written, from the system's
// free space (win32/ and host/ halves).

#include <cstdint>

#include "foundation/LauncherString.h"

namespace nv {

// True when the drive of `path` has enough free clusters for `bytes` bytes
// in `files` files (clustersNeeded, DiskSpace.h). A path without "X:\" in
// front is measured on the current drive. Throws LauncherException
// "GetDiskFreeSpace failed  ==>  " + the system's error text when the free
// space cannot be read.
bool hasRoomFor(const LauncherString& path, std::uint32_t bytes, std::int32_t files);

}  // namespace nv
