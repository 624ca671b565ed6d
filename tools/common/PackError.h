#pragma once
// What the building tools (nvpack, nvjvm) throw for bad input or a failed
// write. The message is complete and names the file or setting concerned.

#include <stdexcept>

namespace nvtools {

struct PackError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace nvtools
