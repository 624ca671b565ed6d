#include "Branding.h"

#include <set>
#include <vector>

#include "IconFile.h"
#include "LittleEndian.h"
#include "Packer.h"
#include "PeImage.h"
#include "ResourceTree.h"
#include "VersionInfo.h"
#include "tagfile/TextScanning.h"

namespace nvpack {

// Each branding setting with its option, manifest tag and name for messages.
const BrandingSetting brandingSettings[] = {
    {"--icon", "ICON", "the icon", &Branding::icon, true},
    {"--product-name", "PRODUCT_NAME", "the product name", &Branding::productName, false},
    {"--product-version", "PRODUCT_VERSION", "the product version", &Branding::productVersion, false},
    {"--company", "COMPANY", "the company", &Branding::company, false},
    {"--description", "DESCRIPTION", "the description", &Branding::description, false},
    {"--copyright", "COPYRIGHT", "the copyright", &Branding::copyright, false},
    {"--execution-level", "EXECUTION_LEVEL", "the execution level", &Branding::executionLevel, false},
};

const BrandingSetting* findBrandingSetting(const std::string& name, const char* BrandingSetting::*field) {
    for (const BrandingSetting& setting : brandingSettings) {
        if (name == setting.*field) return &setting;
    }
    return nullptr;
}

namespace {

constexpr std::uint16_t launcherIcon = 102;
constexpr std::uint16_t versionResource = 1;
constexpr std::uint16_t usEnglish = 0x0409;

const char* optionOf(std::string Branding::*field) {
    for (const BrandingSetting& s : brandingSettings) {
        if (s.field == field) return s.option;
    }
    return "";
}

// The datum of the resource's first language, or null.
ResourceNode* firstLanguage(ResourceTree& tree, std::uint16_t type, std::uint16_t name) {
    ResourceNode* t = tree.root.find(ResourceName::of(type));
    ResourceNode* n = t ? t->find(ResourceName::of(name)) : nullptr;
    if (n == nullptr || !n->isDirectory || n->children.empty() || n->children.front().isDirectory) return nullptr;
    return &n->children.front();
}

// The RT_ICON numbers that a group resource names (see IconFile.h).
std::vector<std::uint16_t> iconIds(const ResourceNode& group) {
    std::vector<std::uint16_t> ids;
    const std::string& d = group.data;
    const std::size_t count = !group.isDirectory && le::fits(d, 0, 6) ? le::get16(d, 4) : 0;
    for (std::size_t i = 0; i < count && le::fits(d, 6 + 14 * i, 14); ++i) ids.push_back(le::get16(d, 6 + 14 * i + 12));
    return ids;
}

// Icon 102 becomes the file's images under new RT_ICON numbers; the images
// of the old group go, unless another group still uses them.
void replaceIcon(ResourceTree& tree, const IconFile& icon) {
    ResourceNode& groups = tree.root.findOrAdd(ResourceName::of(rtGroupIcon));
    std::set<std::uint16_t> stale;
    std::set<std::uint16_t> kept;
    for (const ResourceNode& name : groups.children) {
        for (const ResourceNode& language : name.children) {
            for (std::uint16_t id : iconIds(language)) {
                (name.name == ResourceName::of(launcherIcon) ? stale : kept).insert(id);
            }
        }
    }
    ResourceNode& group = groups.findOrAdd(ResourceName::of(launcherIcon));
    const ResourceName language = group.children.empty() ? ResourceName::of(0) : group.children.front().name;
    ResourceNode& images = tree.root.findOrAdd(ResourceName::of(rtIcon));
    for (std::uint16_t id : stale) {
        if (!kept.count(id)) images.remove(ResourceName::of(id));
    }
    std::vector<std::uint16_t> ids;
    for (std::uint16_t id = 1; ids.size() < icon.images.size(); ++id) {
        if (id == 0) throw PackError("--icon: the stub has no free icon numbers left");
        if (images.find(ResourceName::of(id)) == nullptr) ids.push_back(id);
    }
    for (std::size_t i = 0; i < ids.size(); ++i) {
        ResourceNode& image = images.findOrAdd(ResourceName::of(ids[i])).findOrAdd(language);
        image.isDirectory = false;
        image.data = icon.images[i].bytes;
    }
    group.children.clear();
    ResourceNode& datum = group.findOrAdd(language);
    datum.isDirectory = false;
    datum.data = icon.groupResource(ids);
}

void rewriteVersion(ResourceTree& tree, const Branding& b, const std::string& stubName) {
    ResourceNode* existing = firstLanguage(tree, rtVersion, versionResource);
    VersionInfo info = existing ? VersionInfo::parse(existing->data, stubName) : VersionInfo();
    const std::pair<std::string Branding::*, const char*> texts[] = {
        {&Branding::productName, "ProductName"},       {&Branding::company, "CompanyName"},
        {&Branding::description, "FileDescription"},   {&Branding::copyright, "LegalCopyright"},
        {&Branding::productVersion, "ProductVersion"}, {&Branding::productVersion, "FileVersion"},
    };
    for (const auto& t : texts) {
        if (!(b.*t.first).empty()) info.setString(t.second, b.*t.first, optionOf(t.first));
    }
    if (!b.productVersion.empty()) {
        info.setFixedVersions(parseVersionNumber(b.productVersion, optionOf(&Branding::productVersion)));
    }
    if (existing == nullptr) {
        existing = &tree.root.findOrAdd(ResourceName::of(rtVersion))
                        .findOrAdd(ResourceName::of(versionResource))
                        .findOrAdd(ResourceName::of(usEnglish));
        existing->isDirectory = false;
    }
    existing->data = info.serialize();
}

// Sets the level attribute of requestedExecutionLevel and leaves the rest
// of the manifest as it is.
void setExecutionLevel(ResourceTree& tree, const std::string& level, const std::string& stubName) {
    auto refuse = [&](const std::string& reason) {
        throw PackError(std::string(optionOf(&Branding::executionLevel)) + ": the stub " + stubName + " " + reason);
    };
    ResourceNode* manifest = nullptr;
    if (ResourceNode* type = tree.root.find(ResourceName::of(rtManifest))) {
        for (ResourceNode& name : type->children) {
            if (manifest == nullptr && name.isDirectory && !name.children.empty() &&
                !name.children.front().isDirectory) {
                manifest = &name.children.front();
            }
        }
    }
    if (manifest == nullptr) refuse("has no manifest");
    std::string& text = manifest->data;
    const std::string::size_type element = text.find("<requestedExecutionLevel");
    const std::string::size_type close = text.find('>', element);
    if (element == std::string::npos || close == std::string::npos) {
        refuse("has no requestedExecutionLevel element in its manifest");
    }
    std::string::size_type attribute = element;
    do {
        attribute = text.find("level=", attribute + 1);
    } while (attribute < close && !nv::isBlank(text[attribute - 1]));
    const char* noAttribute = "has no quoted level attribute in the requestedExecutionLevel element of its manifest";
    if (attribute >= close) refuse(noAttribute);
    const std::string::size_type value = attribute + 7;
    const char quote = text[value - 1];
    const std::string::size_type end = text.find(quote, value);
    if ((quote != '"' && quote != '\'') || end >= close) refuse(noAttribute);
    text.replace(value, end - value, level);
}

void checkSettings(const Branding& b) {
    for (const BrandingSetting& s : brandingSettings) {
        if (!s.isPath) versionText(b.*s.field, s.option);
    }
    if (!b.productVersion.empty()) parseVersionNumber(b.productVersion, optionOf(&Branding::productVersion));
    if (!b.executionLevel.empty() && b.executionLevel != "asInvoker" && b.executionLevel != "highestAvailable" &&
        b.executionLevel != "requireAdministrator") {
        throw PackError(std::string(optionOf(&Branding::executionLevel)) + " \"" + b.executionLevel +
                        "\" is none of asInvoker, highestAvailable and requireAdministrator");
    }
}

}  // namespace

void setBranding(Branding& branding, const BrandingSetting& setting, const std::string& value, const std::string& place,
                 const std::string& givenAs) {
    if (value.empty()) throw PackError(place + " needs a value that is not empty");
    branding.*setting.field = value;
    if (setting.field == &Branding::icon) branding.iconGivenAs = givenAs;
}

std::string brandingReport(const Branding& b) {
    if (!b.any()) return "branding: none, the stub's icon, version information and execution level stay\n";
    std::string out;
    if (!b.icon.empty()) out += "branding: icon 102 from " + b.icon + "\n";
    const std::pair<std::string Branding::*, const char*> texts[] = {
        {&Branding::productName, "ProductName"},  {&Branding::productVersion, "ProductVersion and FileVersion"},
        {&Branding::company, "CompanyName"},      {&Branding::description, "FileDescription"},
        {&Branding::copyright, "LegalCopyright"},
    };
    for (const auto& t : texts) {
        if (!(b.*t.first).empty()) out += std::string("branding: ") + t.second + " \"" + b.*t.first + "\"\n";
    }
    if (!b.executionLevel.empty()) out += "branding: execution level " + b.executionLevel + "\n";
    return out;
}

bool Branding::any() const {
    for (const BrandingSetting& s : brandingSettings) {
        if (!(this->*s.field).empty()) return true;
    }
    return false;
}

std::string brandStub(const std::string& stub, const std::string& stubName, const Branding& branding) {
    // The settings first, so that a mistake in them is named before anything about the stub.
    checkSettings(branding);
    const std::string iconGivenAs =
        branding.iconGivenAs.empty() ? optionOf(&Branding::icon) + (" " + branding.icon) : branding.iconGivenAs;
    const IconFile icon = branding.icon.empty() ? IconFile() : IconFile::read(branding.icon, iconGivenAs);
    PeImage image(stub, "the stub " + stubName);
    ResourceTree tree = ResourceTree::parse(image.resourceSection(), image.resourceRva(), "the stub " + stubName);
    if (!branding.icon.empty()) replaceIcon(tree, icon);
    if (!branding.productName.empty() || !branding.productVersion.empty() || !branding.company.empty() ||
        !branding.description.empty() || !branding.copyright.empty()) {
        rewriteVersion(tree, branding, "the stub " + stubName);
    }
    if (!branding.executionLevel.empty()) setExecutionLevel(tree, branding.executionLevel, stubName);
    image.replaceResources(tree.serialize(image.resourceRva()));
    return image.bytes();
}

}  // namespace nvpack
