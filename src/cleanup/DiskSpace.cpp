#include "cleanup/DiskSpace.h"

#include <cmath>

namespace nv {

double clustersNeeded(std::uint32_t bytes, std::int32_t files, double clusterSize) {
    double exact = static_cast<double>(bytes) / clusterSize;
    if (files == 1) return std::ceil(exact);
    if (files <= 0) return std::floor(exact);
    return std::floor(exact) + files;
}

}  // namespace nv
