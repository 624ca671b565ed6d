#pragma once
// The room that files about to be written take on a drive; whether the drive
// has it is DiskSpaceQuery.h's question.

#include <cstdint>

#include "foundation/LauncherString.h"

namespace nv {

// Clusters that `files` files of `bytes` bytes in all take: one file rounds
// up, none rounds down, more add one cluster each for what they may waste.
double clustersNeeded(std::uint32_t bytes, std::int32_t files, double clusterSize);

}  // namespace nv
