#pragma once
// One block of the string table (RT_STRING): the resource named n holds the
// strings 16 (n - 1) to 16 (n - 1) + 15, each stored as
//
//   Length 2 (UTF-16 units), then that many UTF-16 units, no terminator
//
// with length 0 for a string the table does not define. There is one block
// of each number per language.

#include <array>
#include <cstdint>
#include <string>

namespace nvpack {

constexpr std::uint16_t rtString = 6;

class StringBlock {
public:
    static constexpr unsigned size = 16;

    // The resource name of the block that holds string `id`.
    static std::uint16_t blockOf(unsigned id) { return static_cast<std::uint16_t>(id / size + 1); }

    // Reads a block. Throws PackError naming `where` when a string runs past
    // the resource's end.
    static StringBlock parse(const std::string& resource, const std::string& where);

    // The block's bytes; a block read and written unchanged is its old bytes.
    std::string serialize() const;

    // The string `id` (any id of this block; its place in it is id modulo 16).
    std::u16string& text(unsigned id) { return strings_[id % size]; }

private:
    std::array<std::u16string, size> strings_;
    std::string trailer_;  // bytes after the 16th string, kept as they were
};

}  // namespace nvpack
