#include "foundation/Crc32.h"

#include "foundation/Crc32Folding.h"

namespace nv {

Crc32::Crc32(Method method) : tables_(new Tables), folds_(method == Method::fastest && canFoldCrc32()) {
    std::uint32_t(*t)[256] = tables_->byOffset;
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
        t[0][i] = c;
    }
    // Table k gives a byte's effect k bytes further on.
    for (int k = 1; k < 8; ++k) {
        for (int i = 0; i < 256; ++i) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
    }
}

void Crc32::update(const void* data, std::size_t size) {
    const std::uint32_t(*t)[256] = tables_->byOffset;
    const auto* p = static_cast<const unsigned char*>(data);
    std::uint32_t c = state_;
    if (folds_ && size >= 16) {
        const std::size_t folded = size & ~static_cast<std::size_t>(15);
        c = foldCrc32(c, p, folded);
        p += folded;
        size -= folded;
    }
    for (; size >= 8; size -= 8, p += 8) {
        const std::uint32_t low = c ^ (p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24);
        const std::uint32_t high = p[4] | p[5] << 8 | p[6] << 16 | static_cast<std::uint32_t>(p[7]) << 24;
        c = t[7][low & 0xFF] ^ t[6][low >> 8 & 0xFF] ^ t[5][low >> 16 & 0xFF] ^ t[4][low >> 24] ^ t[3][high & 0xFF] ^
            t[2][high >> 8 & 0xFF] ^ t[1][high >> 16 & 0xFF] ^ t[0][high >> 24];
    }
    for (; size > 0; --size, ++p) c = (c >> 8) ^ t[0][(c ^ *p) & 0xFF];
    state_ = c;
}

}  // namespace nv
