#pragma once
// The launcher stubs of the Windows builds beside the host build, and their
// resource trees as nvpack reads them, for the tests of nvpack's branding.

#include <filesystem>
#include <string>
#include <vector>

#include "PeImage.h"
#include "ResourceTree.h"

namespace nv {

// The stubs of the Windows builds beside this one; a stub that is not built is left out.
inline std::vector<std::filesystem::path> builtStubs() {
    std::vector<std::filesystem::path> found;
    for (const char* build : {"win64", "win32"}) {
        const std::filesystem::path stub = std::filesystem::path(NV_BUILD_ROOT) / build / "launcher.exe";
        if (std::filesystem::exists(stub)) found.push_back(stub);
    }
    return found;
}

inline nvpack::ResourceTree resourceTreeOf(const std::string& exe) {
    nvpack::PeImage image(exe, "stub");
    return nvpack::ResourceTree::parse(image.resourceSection(), image.resourceRva(), "stub");
}

}  // namespace nv
