#pragma once
// What the building tools (nvpack, nvjvm) throw for bad input or a failed
// write. The message is complete and names the file or setting concerned.

#include <stdexcept>

namespace nvtools {

struct PackError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A command line the tool cannot read as a request: an unknown option, an
// option without its value, a required option missing. The tools exit with
// 2 for it and with 1 for every other refusal.
struct UsageError : PackError {
    using PackError::PackError;
};

}  // namespace nvtools
