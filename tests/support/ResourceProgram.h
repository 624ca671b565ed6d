#pragma once
// The least Windows program with resources, for the tests of what nvpack and
// nvjvm read of a program: nv::test::peStub (SignedImage.h), 32-bit, with one
// section that holds the resource directory.

#include <cstdint>
#include <string>

#include "LittleEndian.h"
#include "ResourceTree.h"
#include "foundation/PeLayout.h"
#include "tests/support/SignedImage.h"

namespace nv {
namespace test {

inline std::string programWith(const nvpack::ResourceTree& resources) {
    constexpr std::uint32_t rva = 0x1000;
    const std::string section = resources.serialize(rva);
    std::string exe = peStub(false);
    const std::size_t optionalSize = exe.size() - optionalHeaderAt;
    const std::size_t directory = optionalHeaderAt + 96 + 8 * pe::resourceDirectory;
    nvpack::le::put16(exe, peHeaderAt + 4 + 2, 1);  // NumberOfSections
    nvpack::le::put16(exe, peHeaderAt + 4 + 16, static_cast<std::uint16_t>(optionalSize));
    nvpack::le::put32(exe, optionalHeaderAt + 32, 0x1000);  // SectionAlignment
    nvpack::le::put32(exe, optionalHeaderAt + 36, 0x200);   // FileAlignment
    nvpack::le::put32(exe, directory, rva);
    nvpack::le::put32(exe, directory + 4, static_cast<std::uint32_t>(section.size()));
    std::string header(".rsrc\0\0\0", 8);
    nvpack::le::append32(header, static_cast<std::uint32_t>(section.size()));
    nvpack::le::append32(header, rva);
    nvpack::le::append32(header, static_cast<std::uint32_t>(section.size()));
    nvpack::le::append32(header, static_cast<std::uint32_t>(exe.size() + pe::sectionHeaderSize));
    header.resize(pe::sectionHeaderSize, '\0');
    return exe + header + section;
}

}  // namespace test
}  // namespace nv
