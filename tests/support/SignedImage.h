#pragma once
// The least PE header that names a certificate table, and what code signing
// does to a file: zero bytes up to the table's alignment, then the table,
// recorded in the header's security data directory.

#include <cstdint>
#include <string>

namespace nv {
namespace test {

constexpr std::size_t peHeaderAt = 0x40;
constexpr std::size_t optionalHeaderAt = peHeaderAt + 24;

inline std::size_t securityDirectoryAt(bool wide) { return optionalHeaderAt + (wide ? 112 : 96) + 4 * 8; }

inline void putLittleEndian(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A stub of `wide` (64-bit) or 32-bit layout with 16 empty data directories.
inline std::string peStub(bool wide) {
    std::string bytes(securityDirectoryAt(wide) + 12 * 8, '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    putLittleEndian(bytes, 0x3C, peHeaderAt);
    bytes.replace(peHeaderAt, 4, std::string("PE\0\0", 4));
    bytes[optionalHeaderAt] = 0x0B;  // magic 0x10B or 0x20B
    bytes[optionalHeaderAt + 1] = wide ? 0x02 : 0x01;
    putLittleEndian(bytes, securityDirectoryAt(wide) - 4 * 8 - 4, 16);
    return bytes;
}

// Appends `zeros` zero bytes and a certificate table, as signing does.
inline void appendSignature(std::string& file, bool wide, std::size_t zeros,
                            const std::string& table = "certificate table") {
    file.append(zeros, '\0');
    putLittleEndian(file, securityDirectoryAt(wide), static_cast<std::uint32_t>(file.size()));
    putLittleEndian(file, securityDirectoryAt(wide) + 4, static_cast<std::uint32_t>(table.size()));
    file += table;
}

}  // namespace test
}  // namespace nv
