#pragma once
// The CRC-32 of zlib and PNG (reflected, polynomial 0xEDB88320, register
// started and ended inverted): nvpack records it for each entry of a
// launcher file and the launcher checks the bytes it reads against it.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace nv {

class Crc32 {
public:
    // How the bytes are taken: folded with carry-less multiplication where
    // the processor can (Crc32Folding.h), else by the tables; or by the
    // tables alone, which the tests compare with the folding.
    enum class Method { fastest, tables };

    // Makes its tables, 8 KB on the heap in a few microseconds: the stub
    // carries no constant tables and keeps nothing between checks.
    explicit Crc32(Method method = Method::fastest);

    // Goes on over `size` more bytes.
    void update(const void* data, std::size_t size);
    // The CRC-32 of all bytes so far; 0 for none.
    std::uint32_t value() const { return ~state_; }

private:
    // Eight tables of 256: the bytes are taken eight at a time, about five
    // times as fast as one at a time. The folding, several times faster
    // again, leaves them the last few bytes of an update.
    struct Tables {
        std::uint32_t byOffset[8][256];
    };
    std::unique_ptr<Tables> tables_;
    std::uint32_t state_ = 0xFFFFFFFFu;
    bool folds_;
};

}  // namespace nv
