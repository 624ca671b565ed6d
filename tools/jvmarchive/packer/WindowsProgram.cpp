#include "WindowsProgram.h"

#include <cstdint>
#include <cstring>

#include "JvmArchiveFormat.h"
#include "foundation/PeLayout.h"

namespace nvjvm {

namespace {

constexpr std::uint64_t nowhere = ~std::uint64_t{0};
constexpr std::uint32_t highBit = 0x80000000u;
constexpr std::uint32_t rcData = 10;

// Reads a program's bytes; a number that lies past the end reads as 0, so
// that a cut or damaged program simply turns out to lack what is looked for.
class ProgramBytes {
public:
    explicit ProgramBytes(const std::string& bytes) : bytes_(bytes) {}

    // The little-endian number of `size` bytes (at most 4) at `at`.
    std::uint32_t number(std::uint64_t at, std::uint64_t size) const {
        if (at > bytes_.size() || bytes_.size() - at < size) return 0;
        std::uint32_t value = 0;
        for (std::uint64_t i = size; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes_[at + i]);
        return value;
    }

    // Whether the `size` bytes of `text` stand at `at`.
    bool holds(std::uint64_t at, const char* text, std::size_t size) const {
        return at <= bytes_.size() && bytes_.size() - at >= size && bytes_.compare(at, size, text, size) == 0;
    }

private:
    const std::string& bytes_;
};

// The file offset of the `size` bytes at `rva`, or nowhere when no section
// holds them in its file data.
std::uint64_t fileOffset(const nv::pe::Headers& headers, std::uint32_t rva, std::uint32_t size) {
    nv::pe::Section s;
    for (std::uint32_t i = 0; i < headers.sectionCount() && headers.readSection(i, s); ++i) {
        if (rva >= s.rva && rva - s.rva <= s.rawSize && size <= s.rawSize - (rva - s.rva)) {
            return std::uint64_t{s.rawOffset} + (rva - s.rva);
        }
    }
    return nowhere;
}

// The resource tree of a program, found at its file offset `start`.
class Resources {
public:
    Resources(const ProgramBytes& program, std::uint64_t start) : program_(program), start_(start) {}

    // The offset of the subdirectory of the directory at `directory` whose
    // entry's name field satisfies `matches`; nowhere when no entry does or
    // its target is a data entry.
    template <typename Matches>
    std::uint64_t subdirectory(std::uint64_t directory, Matches matches) const {
        const std::uint64_t target = entry(directory, matches);
        return target != nowhere && (target & highBit) ? target & ~highBit : nowhere;
    }

    // The same for a data entry.
    template <typename Matches>
    std::uint64_t dataEntry(std::uint64_t directory, Matches matches) const {
        const std::uint64_t target = entry(directory, matches);
        return target != nowhere && !(target & highBit) ? target : nowhere;
    }

    // Whether an entry's name field gives the name `name` (ASCII).
    bool isNamed(std::uint32_t field, const char* name) const {
        if (!(field & highBit)) return false;
        const std::uint64_t at = start_ + (field & ~highBit);
        const std::size_t length = std::strlen(name);
        if (program_.number(at, 2) != length) return false;
        for (std::size_t i = 0; i < length; ++i) {
            if (program_.number(at + 2 + 2 * i, 2) != static_cast<unsigned char>(name[i])) return false;
        }
        return true;
    }

    // The number of `size` bytes at `offset` from the tree's start.
    std::uint32_t number(std::uint64_t offset, std::uint64_t size) const {
        return program_.number(start_ + offset, size);
    }

private:
    template <typename Matches>
    std::uint64_t entry(std::uint64_t directory, Matches matches) const {
        const std::uint32_t count = number(directory + 12, 2) + number(directory + 14, 2);
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint64_t at = directory + 16 + 8 * std::uint64_t{i};
            if (matches(number(at, 4))) return number(at + 4, 4);
        }
        return nowhere;
    }

    const ProgramBytes& program_;
    std::uint64_t start_;
};

}  // namespace

bool isWindowsProgram(const std::string& bytes) {
    nv::pe::MemoryBytes file(bytes);
    return nv::pe::Headers(file).isPe();
}

bool carriesUnpackerMark(const std::string& bytes) {
    nv::pe::MemoryBytes file(bytes);
    const nv::pe::Headers headers(file);
    const nv::pe::DataDirectory directory = headers.readDirectory(nv::pe::resourceDirectory);
    const std::uint64_t start = fileOffset(headers, directory.address, directory.size);
    if (directory.address == 0 || start == nowhere) return false;

    // Type RCDATA, the mark's name, any language, then the data.
    const ProgramBytes program(bytes);
    const Resources resources(program, start);
    const std::uint64_t type = resources.subdirectory(0, [](std::uint32_t field) { return field == rcData; });
    if (type == nowhere) return false;
    const std::uint64_t name =
        resources.subdirectory(type, [&](std::uint32_t field) { return resources.isNamed(field, unpackerResource); });
    if (name == nowhere) return false;
    const std::uint64_t data = resources.dataEntry(name, [](std::uint32_t) { return true; });
    if (data == nowhere) return false;
    const std::size_t markSize = std::strlen(unpackerMark);
    const std::uint32_t dataSize = resources.number(data + 4, 4);
    const std::uint64_t at = dataSize < markSize ? nowhere : fileOffset(headers, resources.number(data, 4), dataSize);
    return at != nowhere && program.holds(at, unpackerMark, markSize);
}

}  // namespace nvjvm
