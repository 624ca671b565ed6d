#pragma once
// What the packer throws for bad input or a failed write.

#include <stdexcept>

namespace nvjvm {

// The message is complete and names the file or folder concerned.
struct PackError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace nvjvm
