#include "foundation/PeLayout.h"

#include <cstring>

namespace nv {
namespace pe {

namespace {

std::uint32_t littleEndian(const unsigned char* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = count; i-- > 0;) value = (value << 8) | bytes[i];
    return value;
}

// Far beyond any real program's headers; positions past it could overflow a 32-bit long.
constexpr std::uint32_t farthestSignature = 0x10000000u;

}  // namespace

bool MemoryBytes::readAt(long position, unsigned char* into, int count) {
    if (position < 0 || count < 0 || static_cast<std::size_t>(position) > bytes_.size() ||
        static_cast<std::size_t>(count) > bytes_.size() - static_cast<std::size_t>(position)) {
        return false;
    }
    bytes_.copy(reinterpret_cast<char*>(into), static_cast<std::size_t>(count), static_cast<std::size_t>(position));
    return true;
}

Headers::Headers(FileBytes& file) : file_(file) {
    unsigned char bytes[4 + fileHeaderSize];
    if (!file.readAt(0, bytes, 2) || bytes[0] != 'M' || bytes[1] != 'Z' || !file.readAt(0x3C, bytes, 4)) return;
    dosProgram_ = true;
    const std::uint32_t signature = littleEndian(bytes, 4);
    if (signature > farthestSignature || !file.readAt(static_cast<long>(signature), bytes, sizeof bytes) ||
        std::memcmp(bytes, "PE\0\0", 4) != 0) {
        return;
    }
    signature_ = static_cast<long>(signature);
    sectionCount_ = static_cast<std::uint16_t>(littleEndian(bytes + 4 + 2, 2));
    optionalSize_ = static_cast<std::uint16_t>(littleEndian(bytes + 4 + 16, 2));
    if (!file.readAt(optionalHeader(), bytes, 2)) return;
    const auto magic = static_cast<std::uint16_t>(littleEndian(bytes, 2));
    if (magic != pe32 && magic != pe32Plus) return;
    magic_ = magic;
    // NumberOfRvaAndSizes stands right in front of the directories.
    if (file.readAt(directory(0) - 4, bytes, 4)) directoryCount_ = littleEndian(bytes, 4);
}

DataDirectory Headers::readDirectory(std::uint32_t index) const {
    DataDirectory found;
    unsigned char bytes[8];
    if (index >= directoryCount_ || !file_.readAt(directory(index), bytes, 8)) return found;
    found.address = littleEndian(bytes, 4);
    found.size = littleEndian(bytes + 4, 4);
    return found;
}

bool Headers::readSection(std::uint32_t index, Section& section) const {
    unsigned char bytes[sectionHeaderSize];
    if (!file_.readAt(sectionHeader(index), bytes, sizeof bytes)) return false;
    section.virtualSize = littleEndian(bytes + sectionVirtualSize, 4);
    section.rva = littleEndian(bytes + sectionRva, 4);
    section.rawSize = littleEndian(bytes + sectionRawSize, 4);
    section.rawOffset = littleEndian(bytes + sectionRawOffset, 4);
    section.characteristics = littleEndian(bytes + sectionCharacteristics, 4);
    return true;
}

}  // namespace pe
}  // namespace nv
