#include "Branding.h"

#include <cstdio>
#include <set>
#include <vector>

#include "AppManifest.h"
#include "IconFile.h"
#include "LittleEndian.h"
#include "Packer.h"
#include "PeImage.h"
#include "ProductTexts.h"
#include "ResourceTree.h"
#include "StringBlock.h"
#include "VersionInfo.h"

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
    {"--internal-name", "INTERNAL_NAME", "the internal name", &Branding::internalName, false},
    {"--original-filename", "ORIGINAL_FILENAME", "the original file name", &Branding::originalFilename, false},
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
// The progress window's explanatory text, which names the product (ProductTexts.h).
constexpr unsigned explanatoryText = 31;

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
        {&Branding::internalName, "InternalName"},     {&Branding::originalFilename, "OriginalFilename"},
    };
    for (const auto& t : texts) {
        if (!(b.*t.first).empty()) info.setString(t.second, b.*t.first, optionOf(t.first));
    }
    // The stub's FileDescription names the launcher (Task Manager shows it as
    // the program's name) and its CompanyName the launcher's maker: neither
    // belongs beside the author's product.
    if (!b.productName.empty() && b.description.empty()) {
        info.setString("FileDescription", b.productName, optionOf(&Branding::productName));
    }
    if (!b.productName.empty() && b.company.empty()) info.removeString("CompanyName");
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

// The application manifest's datum (the first language of the first name), or null.
ResourceNode* manifestOf(ResourceTree& tree) {
    if (ResourceNode* type = tree.root.find(ResourceName::of(rtManifest))) {
        for (ResourceNode& name : type->children) {
            if (name.isDirectory && !name.children.empty() && !name.children.front().isDirectory) {
                return &name.children.front();
            }
        }
    }
    return nullptr;
}

// Sets the level attribute of requestedExecutionLevel and leaves the rest
// of the manifest as it is.
void setExecutionLevel(ResourceTree& tree, const std::string& level, const std::string& stubName) {
    auto refuse = [&](const std::string& reason) {
        throw PackError(std::string(optionOf(&Branding::executionLevel)) + ": the stub " + stubName + " " + reason);
    };
    ResourceNode* manifest = manifestOf(tree);
    if (manifest == nullptr) refuse("has no manifest");
    std::string& text = manifest->data;
    const AttributeValue value = findAttribute(text, "requestedExecutionLevel", "level");
    if (value.element == AttributeValue::none) refuse("has no requestedExecutionLevel element in its manifest");
    if (value.begin == AttributeValue::none) {
        refuse("has no quoted level attribute in the requestedExecutionLevel element of its manifest");
    }
    text.replace(value.begin, value.end - value.begin, level);
}

// String 31 names the product in every language of the stub's tables.
void nameProductInTexts(ResourceTree& tree, const std::string& productName, const std::string& stubName) {
    auto refuse = [&](const std::string& reason) {
        throw PackError(std::string(optionOf(&Branding::productName)) + ": the stub " + stubName + " " + reason);
    };
    ResourceNode* strings = tree.root.find(ResourceName::of(rtString));
    ResourceNode* block = strings ? strings->find(ResourceName::of(StringBlock::blockOf(explanatoryText))) : nullptr;
    // A stub without the text has nothing there that names the launcher.
    if (block == nullptr || !block->isDirectory) return;
    for (ResourceNode& language : block->children) {
        const ProductText* text = language.name.isNumber ? findProductText(language.name.number) : nullptr;
        if (language.isDirectory || text == nullptr) {
            char id[16];
            std::snprintf(id, sizeof id, "0x%04X", language.name.number);
            refuse("has its explanatory text in language " + std::string(language.name.isNumber ? id : "(named)") +
                   ", for which nvpack has no text naming the product");
        }
        StringBlock texts = StringBlock::parse(language.data, "the stub " + stubName);
        texts.text(explanatoryText) = versionText(productTextFor(*text, productName), optionOf(&Branding::productName));
        language.data = texts.serialize();
    }
}

// Whether the branding rewrites the version information.
bool rewritesVersion(const Branding& b) {
    return !b.productName.empty() || !b.productVersion.empty() || !b.company.empty() || !b.description.empty() ||
           !b.copyright.empty() || !b.internalName.empty() || !b.originalFilename.empty();
}

// The four-part form of the product version, as the manifest's assemblyIdentity wants it.
std::string fourPartVersion(const std::string& productVersion) {
    const VersionNumber v = parseVersionNumber(productVersion, optionOf(&Branding::productVersion));
    return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." + std::to_string(v[3]);
}

void checkSettings(const Branding& b) {
    for (const BrandingSetting& s : brandingSettings) {
        if (!s.isPath) versionText(b.*s.field, s.option);
    }
    // The name becomes one line of the progress window and text of the manifest's XML, which holds no controls.
    const std::u16string name = versionText(b.productName, optionOf(&Branding::productName));
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char16_t c = name[i];
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xFFFE || c == 0xFFFF) {
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
            throw PackError(std::string(optionOf(&Branding::productName)) + " holds the control character " + code +
                            " (character " + std::to_string(i + 1) + "); a product name is one line of text");
        }
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

Branding namedAfterOutput(const Branding& branding, const std::string& output) {
    Branding named = branding;
    if (!rewritesVersion(branding)) return named;
    const std::size_t slash = output.find_last_of("/\\");
    const std::string file = slash == std::string::npos ? output : output.substr(slash + 1);
    const std::size_t dot = file.rfind('.');
    if (named.originalFilename.empty()) named.originalFilename = file;
    if (named.internalName.empty())
        named.internalName = dot == std::string::npos || dot == 0 ? file : file.substr(0, dot);
    return named;
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
    if (!b.productName.empty()) {
        if (b.description.empty()) out += "branding: FileDescription \"" + b.productName + "\" (the product name)\n";
        if (b.company.empty())
            out += "branding: CompanyName removed: the stub's names the launcher's maker (--company gives yours)\n";
        out += "branding: the progress window's explanatory text names \"" + b.productName + "\" in every language\n";
        out += "branding: manifest identity " + assemblyNameFor(b.productName) + ", description \"" + b.productName +
               "\"\n";
    }
    if (!b.internalName.empty()) out += "branding: InternalName \"" + b.internalName + "\"\n";
    if (!b.originalFilename.empty()) out += "branding: OriginalFilename \"" + b.originalFilename + "\"\n";
    if (!b.productVersion.empty()) out += "branding: manifest version " + fourPartVersion(b.productVersion) + "\n";
    if (!b.executionLevel.empty()) out += "branding: execution level " + b.executionLevel + "\n";
    return out;
}

std::vector<std::string> brandingWarnings(const Branding& b) {
    std::vector<std::string> warnings;
    const std::size_t width = textWidth(b.productName);
    if (width > widestWholeName) {
        warnings.push_back(std::string(optionOf(&Branding::productName)) + " is " + std::to_string(width) +
                           " characters wide; the progress window has room for " + std::to_string(widestWholeName) +
                           ", so the end of its explanatory text may be cut off");
    }
    return warnings;
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
    if (rewritesVersion(branding)) rewriteVersion(tree, branding, "the stub " + stubName);
    if (!branding.productName.empty()) {
        nameProductInTexts(tree, branding.productName, stubName);
        if (ResourceNode* manifest = manifestOf(tree)) nameProduct(manifest->data, branding.productName);
    }
    if (!branding.productVersion.empty()) {
        if (ResourceNode* manifest = manifestOf(tree)) {
            setAssemblyVersion(manifest->data, fourPartVersion(branding.productVersion));
        }
    }
    if (!branding.executionLevel.empty()) setExecutionLevel(tree, branding.executionLevel, stubName);
    image.replaceResources(tree.serialize(image.resourceRva()));
    return image.bytes();
}

}  // namespace nvpack
