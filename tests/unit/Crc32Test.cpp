// The CRC-32 that launcher files record: zlib's, however the bytes are split.
#include <gtest/gtest.h>

#include <zlib.h>

#include <algorithm>
#include <string>

#include "foundation/Crc32.h"

namespace {

std::uint32_t crcOf(const std::string& bytes) {
    nv::Crc32 crc;
    crc.update(bytes.data(), bytes.size());
    return crc.value();
}

std::uint32_t zlibCrcOf(const std::string& bytes) {
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

}  // namespace

TEST(Crc32, TheCheckValueAndNoBytes) {
    EXPECT_EQ(crcOf("123456789"), 0xCBF43926u);
    EXPECT_EQ(crcOf(""), 0u);
}

TEST(Crc32, AgreesWithZlibWhereverTheBytesAreSplit) {
    std::string bytes;
    for (std::size_t i = 0; i < 100003; ++i) bytes += static_cast<char>(i * 131 + i / 977);
    const std::uint32_t whole = zlibCrcOf(bytes);
    EXPECT_EQ(crcOf(bytes), whole);
    // Every split of a short stretch: the eight-byte steps and the bytes left over.
    const std::string head = bytes.substr(0, 40);
    for (std::size_t first = 0; first <= head.size(); ++first) {
        nv::Crc32 crc;
        crc.update(head.data(), first);
        crc.update(head.data() + first, head.size() - first);
        EXPECT_EQ(crc.value(), zlibCrcOf(head)) << first;
    }
    nv::Crc32 blocks;
    for (std::size_t at = 0; at < bytes.size(); at += 61439) {
        blocks.update(bytes.data() + at, std::min<std::size_t>(61439, bytes.size() - at));
    }
    EXPECT_EQ(blocks.value(), whole);
}
