// The CRC-32 that launcher files record: zlib's, however the bytes are split
// and wherever they lie, by the tables and by the folding alike.
#include <gtest/gtest.h>

#include <zlib.h>

#include <algorithm>
#include <string>

#include "foundation/Crc32.h"

namespace {

using Method = nv::Crc32::Method;

std::uint32_t crcOf(Method method, const char* bytes, std::size_t size) {
    nv::Crc32 crc(method);
    crc.update(bytes, size);
    return crc.value();
}

std::uint32_t zlibCrcOf(const char* bytes, std::size_t size) {
    return static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(bytes), static_cast<uInt>(size)));
}

std::string sampleBytes(std::size_t size) {
    std::string bytes;
    for (std::size_t i = 0; i < size; ++i) bytes += static_cast<char>(i * 131 + i / 977);
    return bytes;
}

const char* nameOf(Method method) { return method == Method::tables ? "tables" : "fastest"; }

class Crc32Methods : public testing::TestWithParam<Method> {};

}  // namespace

TEST_P(Crc32Methods, KnownValues) {
    const struct {
        std::string bytes;
        std::uint32_t crc;
    } known[] = {
        {"", 0u},
        {"123456789", 0xCBF43926u},
        {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
        {std::string(32, '\0'), 0x190A55ADu},
        {std::string(32, '\xFF'), 0xFF6CAB0Bu},
    };
    for (const auto& k : known) EXPECT_EQ(crcOf(GetParam(), k.bytes.data(), k.bytes.size()), k.crc) << k.bytes.size();
}

TEST_P(Crc32Methods, AgreesWithZlibForEveryLengthAndAlignment) {
    const std::string bytes = sampleBytes(400);
    // Past the 16-byte folding steps and its four lanes of 64, at every offset within them.
    for (std::size_t offset = 0; offset < 16; ++offset) {
        for (std::size_t size = 0; size <= 300; ++size) {
            ASSERT_EQ(crcOf(GetParam(), bytes.data() + offset, size), zlibCrcOf(bytes.data() + offset, size))
                << "offset " << offset << ", size " << size;
        }
    }
}

TEST_P(Crc32Methods, AgreesWithZlibWhereverTheBytesAreSplit) {
    const std::string bytes = sampleBytes(3000017);
    const std::uint32_t whole = zlibCrcOf(bytes.data(), bytes.size());
    EXPECT_EQ(crcOf(GetParam(), bytes.data(), bytes.size()), whole);
    // Every split of a short stretch: the folded blocks and the bytes left over.
    const std::size_t head = 200;
    for (std::size_t first = 0; first <= head; ++first) {
        nv::Crc32 crc(GetParam());
        crc.update(bytes.data(), first);
        crc.update(bytes.data() + first, head - first);
        ASSERT_EQ(crc.value(), zlibCrcOf(bytes.data(), head)) << first;
    }
    // The extraction's blocks, and odd ones.
    for (std::size_t block : {std::size_t{61439 * 16}, std::size_t{61439}, std::size_t{4093}}) {
        nv::Crc32 blocks(GetParam());
        for (std::size_t at = 0; at < bytes.size(); at += block) {
            blocks.update(bytes.data() + at, std::min(block, bytes.size() - at));
        }
        EXPECT_EQ(blocks.value(), whole) << block;
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, Crc32Methods, testing::Values(Method::fastest, Method::tables),
                         [](const testing::TestParamInfo<Method>& path) { return nameOf(path.param); });
