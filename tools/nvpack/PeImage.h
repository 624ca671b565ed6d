#pragma once
// A Windows executable (PE32 or PE32+) read from its bytes far enough to
// replace its resource section, and written back with the sections behind
// that section moved. The headers are read with foundation/PeLayout.h, where
// their layout is; besides, this uses these fields of the optional header
// (PE32 and PE32+ alike): SizeOfInitializedData 8, SectionAlignment 32,
// FileAlignment 36, SizeOfImage 56, CheckSum 64; and the base relocations:
// blocks of PageRVA 4, BlockSize 4, then 2 bytes per fixup.

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/PeLayout.h"

namespace nvpack {

class PeImage {
public:
    // Reads the headers of `bytes`, the executable `name` (for messages).
    // Throws ImageError (ImageError.h) when they are not those of a PE image
    // with a resource section whose directory starts the section.
    PeImage(std::string bytes, std::string name);

    const std::string& bytes() const { return bytes_; }
    // The resource section's bytes as far as the image defines them, and its RVA.
    std::string resourceSection() const;
    std::uint32_t resourceRva() const;

    // Replaces the resource section's content by `content`, laid out for
    // resourceRva(): the section grows or shrinks, the sections behind it
    // move (file offsets and RVAs) together with their data directories, and
    // the sizes in the headers and the checksum (when the image has one) are
    // made to match. Throws ImageError, leaving the image as it was, when
    // something behind the resource section could be referenced by an
    // address that nothing here would fix: a section other than the base
    // relocations, relocations of pages behind the resources, a COFF symbol
    // table, a certificate table.
    void replaceResources(const std::string& content);

private:
    struct Section : nv::pe::Section {
        std::string name;
        std::size_t header = 0;  // offset of its section header
        std::uint32_t extent() const { return virtualSize != 0 ? virtualSize : rawSize; }
        bool holds(std::uint32_t address) const { return address >= rva && address - rva < extent(); }
    };

    std::uint32_t directoryRva(std::size_t index) const;
    std::uint32_t directorySize(std::size_t index) const;
    std::size_t directoryOffset(std::size_t index) const { return directories_ + 8 * index; }
    void checkMovable(std::size_t resources) const;
    std::uint32_t checksum() const;
    [[noreturn]] void refuse(const std::string& reason) const;

    std::string bytes_;
    std::string name_;
    std::size_t optionalHeader_ = 0;
    std::size_t directories_ = 0;
    std::uint32_t directoryCount_ = 0;
    std::uint32_t sectionAlignment_ = 0;
    std::uint32_t fileAlignment_ = 0;
    std::vector<Section> sections_;
    std::size_t resources_ = 0;  // index into sections_
};

}  // namespace nvpack
