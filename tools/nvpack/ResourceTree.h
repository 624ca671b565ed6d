#pragma once
// The resource section's directory tree (type, name, language, then the
// data), read from the section's bytes and written back into new ones.
//
//   directory:  Characteristics 4, TimeDateStamp 4, MajorVersion 2,
//               MinorVersion 2, NumberOfNamedEntries 2, NumberOfIdEntries 2,
//               then 8 bytes per entry, the named ones first (by name),
//               then the numbered ones (by number)
//   entry:      Name 4 (high bit set: offset of a name, else the number),
//               OffsetToData 4 (high bit set: offset of a subdirectory,
//               else offset of a data entry)
//   name:       Length 2 (UTF-16 units), the UTF-16 text without terminator
//   data entry: OffsetToData 4 (an RVA, not an offset), Size 4, CodePage 4,
//               Reserved 4
//
// Offsets count from the section's start. serialize() writes all directories
// (breadth first), then the names, the data entries and the data, with the
// data entries and each datum 8-aligned.

#include <cstdint>
#include <string>
#include <vector>

namespace nvpack {

// Resource types that nvpack edits.
constexpr std::uint16_t rtIcon = 3;
constexpr std::uint16_t rtGroupIcon = 14;
constexpr std::uint16_t rtVersion = 16;
constexpr std::uint16_t rtManifest = 24;

// A directory entry's name: a number or a UTF-16 text. Named entries sort
// before numbered ones, as the directory stores them.
struct ResourceName {
    bool isNumber = true;
    std::uint16_t number = 0;
    std::u16string text;

    static ResourceName of(std::uint16_t number) { return {true, number, {}}; }
    bool operator==(const ResourceName& other) const {
        return isNumber == other.isNumber && number == other.number && text == other.text;
    }
    bool operator<(const ResourceName& other) const;
};

// A directory with its entries, or a datum.
struct ResourceNode {
    ResourceName name;
    bool isDirectory = true;
    // A directory's header fields and entries, kept in directory order.
    std::uint32_t characteristics = 0;
    std::uint32_t timeDateStamp = 0;
    std::uint16_t majorVersion = 0;
    std::uint16_t minorVersion = 0;
    std::vector<ResourceNode> children;
    // A datum.
    std::string data;
    std::uint32_t codePage = 0;

    bool operator==(const ResourceNode& other) const;

    // The child of that name, or null.
    ResourceNode* find(const ResourceName& child);
    // The child of that name, added in its place as an empty directory when there is none.
    ResourceNode& findOrAdd(const ResourceName& child);
    // Removes the child of that name, if there is one.
    void remove(const ResourceName& child);
};

class ResourceTree {
public:
    // Reads the tree of a resource section loaded at `sectionRva`. Throws
    // ImageError (ImageError.h) naming `where` when an offset, a count or a
    // datum lies outside the section or the tree is deeper than type, name
    // and language.
    static ResourceTree parse(const std::string& section, std::uint32_t sectionRva, const std::string& where);

    // The section's bytes for the tree, with data RVAs for a section at `sectionRva`.
    std::string serialize(std::uint32_t sectionRva) const;

    ResourceNode root;
};

}  // namespace nvpack
