#pragma once
// Little-endian numbers in byte strings, as executables and the resources
// they carry (icons, version information) store them. The readers expect the
// caller to have checked the bounds with fits().

#include <cstddef>
#include <cstdint>
#include <string>

namespace nvpack {
namespace le {

// Whether `size` bytes from `at` lie inside `bytes`, without overflowing.
inline bool fits(const std::string& bytes, std::size_t at, std::size_t size) {
    return at <= bytes.size() && size <= bytes.size() - at;
}

inline std::uint16_t get16(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1])
                                                                                  << 8);
}

inline std::uint32_t get32(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(get16(bytes, at)) | static_cast<std::uint32_t>(get16(bytes, at + 2)) << 16;
}

inline void put16(std::string& bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

inline void put32(std::string& bytes, std::size_t at, std::uint32_t value) {
    put16(bytes, at, static_cast<std::uint16_t>(value & 0xFFFF));
    put16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}

inline void append16(std::string& bytes, std::uint16_t value) {
    bytes.append(2, '\0');
    put16(bytes, bytes.size() - 2, value);
}

inline void append32(std::string& bytes, std::uint32_t value) {
    bytes.append(4, '\0');
    put32(bytes, bytes.size() - 4, value);
}

// Appends zero bytes until the size is a multiple of `alignment` (a power of two).
inline void padTo(std::string& bytes, std::size_t alignment) {
    bytes.append((alignment - bytes.size() % alignment) % alignment, '\0');
}

}  // namespace le
}  // namespace nvpack
