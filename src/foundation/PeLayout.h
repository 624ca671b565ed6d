#pragma once
// Where a Windows program (PE32 or PE32+) keeps its headers, and the one
// reader of them: the launcher finds its certificate table and the end of
// its image through it, nvpack and nvjvm a program's sections and resources.
//
//   [DOS header: "MZ" ..., offset of the PE signature (4) at 0x3C]
//   [PE signature "PE\0\0"][file header: 20][optional header][section table: 40 per section]
//
//   file header:     Machine 2, NumberOfSections 2, TimeDateStamp 4,
//                    PointerToSymbolTable 4, NumberOfSymbols 4,
//                    SizeOfOptionalHeader 2, Characteristics 2
//   optional header: Magic 0 (0x10B PE32, 0x20B PE32+), ...,
//                    NumberOfRvaAndSizes 92 / 108, data directories from
//                    96 / 112, 8 each (RVA 4, size 4): 2 resources,
//                    4 certificates (a file offset), 5 base relocations
//   section header:  Name 8, VirtualSize 4, VirtualAddress 4, SizeOfRawData 4,
//                    PointerToRawData 4, relocations and line numbers 12,
//                    Characteristics 4
//
// All numbers are little-endian. Addresses are RVAs (relative to the image
// base) unless called offsets.

#include <cstdint>
#include <string>

namespace nv {
namespace pe {

constexpr std::uint16_t pe32 = 0x10B;
constexpr std::uint16_t pe32Plus = 0x20B;
constexpr long fileHeaderSize = 20;
constexpr long sectionHeaderSize = 40;

// Data directories by their index.
constexpr std::uint32_t resourceDirectory = 2;
constexpr std::uint32_t certificateDirectory = 4;
constexpr std::uint32_t relocationDirectory = 5;

// Fields of a section header, from its start.
constexpr long sectionVirtualSize = 8;
constexpr long sectionRva = 12;
constexpr long sectionRawSize = 16;
constexpr long sectionRawOffset = 20;
constexpr long sectionCharacteristics = 36;

// A file's bytes at any position.
class FileBytes {
public:
    virtual ~FileBytes() = default;
    // Reads count bytes at position; false when they are not all there.
    virtual bool readAt(long position, unsigned char* into, int count) = 0;
};

// A file held in memory; `bytes` must outlive this object.
class MemoryBytes : public FileBytes {
public:
    explicit MemoryBytes(const std::string& bytes) : bytes_(bytes) {}
    bool readAt(long position, unsigned char* into, int count) override;

private:
    const std::string& bytes_;
};

// A data directory: where its data lies (an RVA; a file offset for the
// certificates) and its size.
struct DataDirectory {
    std::uint32_t address = 0;
    std::uint32_t size = 0;
};

// The fields of a section header.
struct Section {
    std::uint32_t virtualSize = 0;
    std::uint32_t rva = 0;
    std::uint32_t rawSize = 0;    // of its data in the file
    std::uint32_t rawOffset = 0;  // where that data lies in the file
    std::uint32_t characteristics = 0;
};

// The headers of a file, read as far as the file holds them. Checks no more
// than that they are there: a caller that changes a program checks the rest.
class Headers {
public:
    // Reads the headers of `file`, which must outlive this object.
    explicit Headers(FileBytes& file);

    // "MZ" begins the file and the PE signature's offset at 0x3C is there.
    bool isDosProgram() const { return dosProgram_; }
    // Also "PE\0\0" stands where 0x3C says (below 256 MB), with the whole
    // file header behind it. Everything below assumes this.
    bool isPe() const { return signature_ >= 0; }

    long fileHeader() const { return signature_ + 4; }
    long optionalHeader() const { return fileHeader() + fileHeaderSize; }
    std::uint16_t optionalHeaderSize() const { return optionalSize_; }
    // pe32 or pe32Plus; 0 when the magic is another or not in the file, and
    // the directories' place is then unknown.
    std::uint16_t magic() const { return magic_; }
    // NumberOfRvaAndSizes as the header gives it; 0 without a known magic or
    // when it is not in the file.
    std::uint32_t directoryCount() const { return directoryCount_; }
    // Where data directory `index` lies (with a known magic).
    long directory(std::uint32_t index) const {
        return optionalHeader() + (magic_ == pe32 ? 96 : 112) + 8 * static_cast<long>(index);
    }
    std::uint16_t sectionCount() const { return sectionCount_; }
    // Where section header `index` lies: the table follows the optional header.
    long sectionHeader(std::uint32_t index) const {
        return optionalHeader() + optionalSize_ + sectionHeaderSize * static_cast<long>(index);
    }

    // Data directory `index`; zeros when the header lists no such directory
    // or the file does not hold it.
    DataDirectory readDirectory(std::uint32_t index) const;
    // Section header `index` (below sectionCount()); false when the file
    // does not hold all of it.
    bool readSection(std::uint32_t index, Section& section) const;

private:
    FileBytes& file_;
    bool dosProgram_ = false;
    long signature_ = -1;
    std::uint16_t sectionCount_ = 0;
    std::uint16_t optionalSize_ = 0;
    std::uint16_t magic_ = 0;
    std::uint32_t directoryCount_ = 0;
};

}  // namespace pe
}  // namespace nv
