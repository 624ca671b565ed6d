#pragma once
// Whether a drive has room for files about to be written.

#include <cstdint>

#include "foundation/LauncherString.h"

namespace nv {

// Clusters that `files` files of `bytes` bytes in all take: one file rounds
// up, none rounds down, more add one cluster each for what they may waste.
double clustersNeeded(std::uint32_t bytes, std::int32_t files, double clusterSize);

// True when the drive of `path` has enough free clusters for `bytes` bytes
// in `files` files. A path without "X:\" in front is measured on the current
// drive. Throws LauncherException "GetDiskFreeSpace failed  ==>  " + the
// system's error text when the free space cannot be read.
bool hasRoomFor(const LauncherString& path, std::uint32_t bytes, std::int32_t files);

}  // namespace nv
