#include "ResourceTree.h"

#include <algorithm>
#include <map>

#include "ImageError.h"
#include "LittleEndian.h"

namespace nvpack {

namespace {

constexpr std::uint32_t highBit = 0x80000000u;
constexpr int deepest = 3;  // type, name, language

class Parser {
public:
    Parser(const std::string& section, std::uint32_t rva, const std::string& where)
        : section_(section), rva_(rva), where_(where) {}

    void directory(std::size_t offset, int depth, ResourceNode& node) {
        if (depth > deepest) fail("it nests deeper than type, name and language");
        need(offset, 16, "a directory");
        node.isDirectory = true;
        node.characteristics = le::get32(section_, offset);
        node.timeDateStamp = le::get32(section_, offset + 4);
        node.majorVersion = le::get16(section_, offset + 8);
        node.minorVersion = le::get16(section_, offset + 10);
        const std::size_t count = std::size_t{le::get16(section_, offset + 12)} + le::get16(section_, offset + 14);
        need(offset + 16, 8 * count, "a directory's entries");
        // Each entry takes 8 bytes of its own, unless directories are shared; sharing must not multiply them.
        entries_ += count;
        if (entries_ > section_.size() / 8) fail("its directories share entries over and over");
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t entry = offset + 16 + 8 * i;
            ResourceNode child;
            const std::uint32_t name = le::get32(section_, entry);
            const std::uint32_t target = le::get32(section_, entry + 4);
            child.name = nameAt(name);
            if (target & highBit) {
                directory(target & ~highBit, depth + 1, child);
            } else {
                datum(target, child);
            }
            node.children.push_back(std::move(child));
        }
    }

private:
    ResourceName nameAt(std::uint32_t name) const {
        if (!(name & highBit)) {
            if (name > 0xFFFF) fail("an entry's number is larger than 65535");
            return ResourceName::of(static_cast<std::uint16_t>(name));
        }
        const std::size_t at = name & ~highBit;
        need(at, 2, "a name");
        const std::size_t length = le::get16(section_, at);
        need(at + 2, 2 * length, "a name");
        ResourceName out;
        out.isNumber = false;
        for (std::size_t i = 0; i < length; ++i) out.text += static_cast<char16_t>(le::get16(section_, at + 2 + 2 * i));
        return out;
    }

    void datum(std::size_t offset, ResourceNode& node) const {
        need(offset, 16, "a data entry");
        const std::uint32_t rva = le::get32(section_, offset);
        const std::uint32_t size = le::get32(section_, offset + 4);
        if (rva < rva_ || !le::fits(section_, rva - rva_, size)) fail("a datum lies outside the resource section");
        node.isDirectory = false;
        node.data = section_.substr(rva - rva_, size);
        node.codePage = le::get32(section_, offset + 8);
    }

    void need(std::size_t offset, std::size_t size, const char* what) const {
        if (!le::fits(section_, offset, size)) fail(std::string(what) + " lies outside the resource section");
    }

    [[noreturn]] void fail(const std::string& reason) const {
        throw ImageError("the resources of " + where_ + " are malformed: " + reason,
                         "its resources are malformed: " + reason);
    }

    const std::string& section_;
    std::uint32_t rva_;
    const std::string& where_;
    std::size_t entries_ = 0;
};

// Where each part of the section goes; filled in the order serialize() writes.
struct Layout {
    std::vector<const ResourceNode*> directories;  // breadth first
    std::map<const ResourceNode*, std::uint32_t> directoryAt;
    std::map<const ResourceNode*, std::uint32_t> nameAt;
    std::map<const ResourceNode*, std::uint32_t> entryAt;
    std::vector<const ResourceNode*> data;  // in the order of their data entries
    std::map<const ResourceNode*, std::uint32_t> dataAt;
};

std::uint32_t align8(std::size_t value) { return static_cast<std::uint32_t>((value + 7) / 8 * 8); }

Layout layOut(const ResourceNode& root) {
    Layout layout;
    layout.directories.push_back(&root);
    std::size_t at = 0;
    for (std::size_t i = 0; i < layout.directories.size(); ++i) {
        const ResourceNode* d = layout.directories[i];
        layout.directoryAt[d] = static_cast<std::uint32_t>(at);
        at += 16 + 8 * d->children.size();
        for (const ResourceNode& child : d->children) {
            if (child.isDirectory) layout.directories.push_back(&child);
        }
    }
    for (const ResourceNode* d : layout.directories) {
        for (const ResourceNode& child : d->children) {
            if (!child.name.isNumber) {
                layout.nameAt[&child] = static_cast<std::uint32_t>(at);
                at += 2 + 2 * child.name.text.size();
            }
            if (!child.isDirectory) layout.data.push_back(&child);
        }
    }
    at = align8(at);
    const std::uint32_t firstEntry = static_cast<std::uint32_t>(at);
    at += 16 * layout.data.size();
    for (std::size_t i = 0; i < layout.data.size(); ++i) {
        const ResourceNode* d = layout.data[i];
        layout.entryAt[d] = firstEntry + static_cast<std::uint32_t>(16 * i);
    }
    for (const ResourceNode* d : layout.data) {
        layout.dataAt[d] = align8(at);
        at = layout.dataAt[d] + d->data.size();
    }
    return layout;
}

}  // namespace

bool ResourceName::operator<(const ResourceName& other) const {
    if (isNumber != other.isNumber) return !isNumber;
    return isNumber ? number < other.number : text < other.text;
}

bool ResourceNode::operator==(const ResourceNode& other) const {
    return name == other.name && isDirectory == other.isDirectory && characteristics == other.characteristics &&
           timeDateStamp == other.timeDateStamp && majorVersion == other.majorVersion &&
           minorVersion == other.minorVersion && children == other.children && data == other.data &&
           codePage == other.codePage;
}

ResourceNode* ResourceNode::find(const ResourceName& child) {
    for (ResourceNode& c : children) {
        if (c.name == child) return &c;
    }
    return nullptr;
}

ResourceNode& ResourceNode::findOrAdd(const ResourceName& child) {
    if (ResourceNode* found = find(child)) return *found;
    auto place = std::find_if(children.begin(), children.end(), [&](const ResourceNode& c) { return child < c.name; });
    ResourceNode added;
    added.name = child;
    return *children.insert(place, std::move(added));
}

void ResourceNode::remove(const ResourceName& child) {
    children.erase(
        std::remove_if(children.begin(), children.end(), [&](const ResourceNode& c) { return c.name == child; }),
        children.end());
}

ResourceTree ResourceTree::parse(const std::string& section, std::uint32_t sectionRva, const std::string& where) {
    ResourceTree tree;
    Parser(section, sectionRva, where).directory(0, 0, tree.root);
    return tree;
}

std::string ResourceTree::serialize(std::uint32_t sectionRva) const {
    const Layout layout = layOut(root);
    std::string out;
    for (const ResourceNode* d : layout.directories) {
        le::append32(out, d->characteristics);
        le::append32(out, d->timeDateStamp);
        le::append16(out, d->majorVersion);
        le::append16(out, d->minorVersion);
        const auto named = std::count_if(d->children.begin(), d->children.end(),
                                         [](const ResourceNode& c) { return !c.name.isNumber; });
        le::append16(out, static_cast<std::uint16_t>(named));
        le::append16(out, static_cast<std::uint16_t>(d->children.size() - static_cast<std::size_t>(named)));
        for (const ResourceNode& c : d->children) {
            le::append32(out, c.name.isNumber ? c.name.number : layout.nameAt.at(&c) | highBit);
            le::append32(out, c.isDirectory ? layout.directoryAt.at(&c) | highBit : layout.entryAt.at(&c));
        }
    }
    for (const ResourceNode* d : layout.directories) {
        for (const ResourceNode& c : d->children) {
            if (c.name.isNumber) continue;
            le::append16(out, static_cast<std::uint16_t>(c.name.text.size()));
            for (char16_t unit : c.name.text) le::append16(out, static_cast<std::uint16_t>(unit));
        }
    }
    le::padTo(out, 8);
    for (const ResourceNode* d : layout.data) {
        le::append32(out, sectionRva + layout.dataAt.at(d));
        le::append32(out, static_cast<std::uint32_t>(d->data.size()));
        le::append32(out, d->codePage);
        le::append32(out, 0);
    }
    for (const ResourceNode* d : layout.data) {
        le::padTo(out, 8);
        out += d->data;
    }
    return out;
}

}  // namespace nvpack
