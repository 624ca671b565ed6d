#include "PeImage.h"

#include "ImageError.h"
#include "LittleEndian.h"

namespace nvpack {

namespace {

using nv::pe::certificateDirectory;
using nv::pe::relocationDirectory;
using nv::pe::resourceDirectory;
constexpr std::uint32_t initializedData = 0x40;

std::uint32_t alignUp(std::uint32_t value, std::uint32_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

bool powerOfTwo(std::uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

}  // namespace

PeImage::PeImage(std::string bytes, std::string name) : bytes_(std::move(bytes)), name_(std::move(name)) {
    nv::pe::MemoryBytes file(bytes_);
    const nv::pe::Headers headers(file);
    if (!headers.isDosProgram()) refuse("it is not a Windows executable");
    if (!headers.isPe()) refuse("it has no PE header");
    const std::uint16_t optionalSize = headers.optionalHeaderSize();
    optionalHeader_ = static_cast<std::size_t>(headers.optionalHeader());
    if (!le::fits(bytes_, optionalHeader_, optionalSize) || optionalSize < 2) refuse("its optional header is cut off");
    if (headers.magic() == 0) refuse("its optional header is neither PE32 nor PE32+");
    directories_ = static_cast<std::size_t>(headers.directory(0));
    if (directories_ > optionalHeader_ + optionalSize) refuse("its optional header is cut off");
    directoryCount_ = headers.directoryCount();
    if (directoryCount_ <= relocationDirectory ||
        directories_ + 8 * std::size_t{directoryCount_} > optionalHeader_ + optionalSize) {
        refuse("its data directories are missing or cut off");
    }
    sectionAlignment_ = le::get32(bytes_, optionalHeader_ + 32);
    fileAlignment_ = le::get32(bytes_, optionalHeader_ + 36);
    if (!powerOfTwo(sectionAlignment_) || !powerOfTwo(fileAlignment_))
        refuse("its section or file alignment is not a power of two");

    const std::size_t sectionCount = headers.sectionCount();
    if (!le::fits(bytes_, static_cast<std::size_t>(headers.sectionHeader(0)),
                  std::size_t{nv::pe::sectionHeaderSize} * sectionCount)) {
        refuse("its section table is cut off");
    }
    for (std::uint32_t i = 0; i < sectionCount; ++i) {
        Section s;
        headers.readSection(i, s);
        s.header = static_cast<std::size_t>(headers.sectionHeader(i));
        s.name = bytes_.substr(s.header, 8).c_str();
        if (s.rawSize != 0 && !le::fits(bytes_, s.rawOffset, s.rawSize))
            refuse("its section " + s.name + " is cut off");
        sections_.push_back(s);
    }
    const std::uint32_t rva = directoryRva(resourceDirectory);
    if (rva == 0 || directorySize(resourceDirectory) == 0) refuse("it has no resources");
    resources_ = sections_.size();
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        if (sections_[i].holds(rva)) resources_ = i;
    }
    if (resources_ == sections_.size() || sections_[resources_].rva != rva) {
        refuse("its resource directory does not start a section of its own");
    }
}

std::string PeImage::resourceSection() const {
    const Section& s = sections_[resources_];
    std::string content = bytes_.substr(s.rawOffset, s.rawSize < s.extent() ? s.rawSize : s.extent());
    // The part beyond the raw data is zero when loaded.
    content.resize(s.extent(), '\0');
    return content;
}

std::uint32_t PeImage::resourceRva() const { return sections_[resources_].rva; }

std::uint32_t PeImage::directoryRva(std::size_t index) const {
    return index < directoryCount_ ? le::get32(bytes_, directoryOffset(index)) : 0;
}

std::uint32_t PeImage::directorySize(std::size_t index) const {
    return index < directoryCount_ ? le::get32(bytes_, directoryOffset(index) + 4) : 0;
}

void PeImage::refuse(const std::string& reason) const {
    throw ImageError("cannot change the resources of " + name_ + ": " + reason, reason);
}

void PeImage::checkMovable(std::size_t resources) const {
    if (le::get32(bytes_, optionalHeader_ - nv::pe::fileHeaderSize + 8) != 0) refuse("it carries a COFF symbol table");
    if (directorySize(certificateDirectory) != 0) {
        refuse("it is signed, and a changed file would no longer match its signature");
    }
    const Section& rsrc = sections_[resources];
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        const Section& s = sections_[i];
        // The sections must lie in the file and in memory in the order of the table.
        if (i > 0 && s.rva < sections_[i - 1].rva) refuse("its sections are not in address order");
        if (i > resources && s.rawSize != 0 && s.rawOffset < rsrc.rawOffset + rsrc.rawSize) {
            refuse("its section " + s.name + " lies in front of the resources in the file");
        }
        if (i <= resources) {
            if (i < resources && s.rawSize != 0 && s.rawOffset >= rsrc.rawOffset) {
                refuse("its section " + s.name + " lies behind the resources in the file");
            }
            continue;
        }
        for (std::size_t d = 0; d < directoryCount_; ++d) {
            if (d == relocationDirectory || d == certificateDirectory || !s.holds(directoryRva(d))) continue;
            refuse("its section " + s.name + " follows the resources and holds data directory " + std::to_string(d) +
                   ", which code may address; only base relocations can move");
        }
        const std::uint32_t relocations = directoryRva(relocationDirectory);
        if (!s.holds(relocations)) {
            refuse("its section " + s.name +
                   " follows the resources and holds something other than base relocations, "
                   "which code may address");
        }
    }
    // Fixups inside the resources or behind them would have to move too.
    const std::uint32_t relocations = directoryRva(relocationDirectory);
    const std::uint32_t relocationSize = directorySize(relocationDirectory);
    for (const Section& s : sections_) {
        if (relocationSize == 0 || !s.holds(relocations)) continue;
        std::size_t at = s.rawOffset + (relocations - s.rva);
        const std::size_t end = at + relocationSize;
        if (!le::fits(bytes_, at, relocationSize)) refuse("its base relocations are cut off");
        while (at + 8 <= end) {
            const std::uint32_t page = le::get32(bytes_, at);
            const std::uint32_t blockSize = le::get32(bytes_, at + 4);
            if (blockSize < 8) break;
            if (page + 0x1000 > rsrc.rva) refuse("its base relocations fix up the resources or what follows them");
            at += blockSize;
        }
    }
}

void PeImage::replaceResources(const std::string& content) {
    checkMovable(resources_);
    const Section rsrc = sections_[resources_];
    const auto contentSize = static_cast<std::uint32_t>(content.size());
    const std::uint32_t newRaw = alignUp(contentSize, fileAlignment_);
    const std::int64_t fileDelta = std::int64_t{newRaw} - rsrc.rawSize;
    const std::int64_t addressDelta = std::int64_t{alignUp(rsrc.rva + contentSize, sectionAlignment_)} -
                                      alignUp(rsrc.rva + rsrc.extent(), sectionAlignment_);

    std::string out = bytes_.substr(0, rsrc.rawOffset);
    out += content;
    out.resize(std::size_t{rsrc.rawOffset} + newRaw, '\0');
    out += bytes_.substr(std::size_t{rsrc.rawOffset} + rsrc.rawSize);

    le::put32(out, rsrc.header + nv::pe::sectionVirtualSize, contentSize);
    le::put32(out, rsrc.header + nv::pe::sectionRawSize, newRaw);
    std::uint32_t imageEnd = rsrc.rva + contentSize;
    for (std::size_t i = resources_ + 1; i < sections_.size(); ++i) {
        const Section& s = sections_[i];
        const auto rva = static_cast<std::uint32_t>(s.rva + addressDelta);
        le::put32(out, s.header + nv::pe::sectionRva, rva);
        if (s.rawOffset != 0) {
            le::put32(out, s.header + nv::pe::sectionRawOffset, static_cast<std::uint32_t>(s.rawOffset + fileDelta));
        }
        imageEnd = rva + s.extent();
    }
    for (std::size_t d = 0; d < directoryCount_; ++d) {
        const std::uint32_t rva = directoryRva(d);
        for (std::size_t i = resources_ + 1; i < sections_.size(); ++i) {
            if (d != certificateDirectory && sections_[i].holds(rva)) {
                le::put32(out, directoryOffset(d), static_cast<std::uint32_t>(rva + addressDelta));
            }
        }
    }
    le::put32(out, directoryOffset(resourceDirectory) + 4, contentSize);
    le::put32(out, optionalHeader_ + 56, alignUp(imageEnd, sectionAlignment_));
    if (rsrc.characteristics & initializedData) {
        const std::uint32_t initialized = le::get32(out, optionalHeader_ + 8);
        le::put32(out, optionalHeader_ + 8, static_cast<std::uint32_t>(initialized + fileDelta));
    }
    const bool hadChecksum = le::get32(out, optionalHeader_ + 64) != 0;
    *this = PeImage(std::move(out), name_);
    // A zero checksum means "not given", and stays so.
    if (hadChecksum) le::put32(bytes_, optionalHeader_ + 64, checksum());
}

std::uint32_t PeImage::checksum() const {
    // The sum of the file's 16-bit words with the carries folded back in,
    // the checksum field itself taken as 0, plus the file's length.
    const std::size_t field = optionalHeader_ + 64;
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < bytes_.size(); i += 2) {
        if (i == field || i == field + 2) continue;
        std::uint32_t word = static_cast<unsigned char>(bytes_[i]);
        if (i + 1 < bytes_.size()) word |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[i + 1])) << 8;
        sum += word;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint32_t>(sum + bytes_.size());
}

}  // namespace nvpack
