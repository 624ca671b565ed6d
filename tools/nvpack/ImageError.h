#pragma once
// A fault in an executable or in its resources, as PeImage and ResourceTree
// find it. what() names the file; reason() is the fault alone, for a caller
// that names the file its own way (LauncherStub.h).

#include <string>
#include <utility>

#include "Packer.h"

namespace nvpack {

class ImageError : public PackError {
public:
    ImageError(const std::string& message, std::string reason) : PackError(message), reason_(std::move(reason)) {}
    const std::string& reason() const { return reason_; }

private:
    std::string reason_;
};

}  // namespace nvpack
