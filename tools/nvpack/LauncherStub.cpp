#include "LauncherStub.h"

#include <vector>

#include "ImageError.h"
#include "PeImage.h"
#include "ResourceTree.h"
#include "resources/StringIds.h"

namespace nvpack {

namespace {

constexpr std::uint16_t rtDialog = 5;
constexpr std::uint16_t rtString = 6;
// String tables are stored in blocks of 16 strings, block n holding ids 16(n-1) to 16n-1.
constexpr std::uint16_t firstTextsBlock = IDS_STATUS_INITIALIZING / 16 + 1;

bool holds(ResourceTree& tree, std::uint16_t type, std::uint16_t name) {
    ResourceNode* t = tree.root.find(ResourceName::of(type));
    return t != nullptr && t->find(ResourceName::of(name)) != nullptr;
}

}  // namespace

void checkLauncherStub(const std::string& stub, const std::string& givenAs) {
    const std::string refused = givenAs + " is not a launcher stub: ";
    ResourceTree tree;
    try {
        const PeImage image(stub, "the stub");
        tree = ResourceTree::parse(image.resourceSection(), image.resourceRva(), "the stub");
    } catch (const ImageError& e) {
        throw PackError(refused + e.reason());
    }
    std::vector<std::string> missing;
    if (!holds(tree, rtDialog, IDD_PROGRESS_LARGE)) missing.push_back("dialog 101");
    if (!holds(tree, rtDialog, IDD_PROGRESS_SMALL)) missing.push_back("dialog 103");
    if (!holds(tree, rtString, firstTextsBlock)) missing.push_back("string table");
    if (missing.empty()) return;
    std::string list;
    for (std::size_t i = 0; i < missing.size(); ++i) {
        list += (i == 0 ? "" : i + 1 == missing.size() ? " and " : ", ") + missing[i];
    }
    throw PackError(refused + "its resources lack the launcher's " + list + "; it is some other program");
}

}  // namespace nvpack
