#pragma once
// The CRC-32 of Crc32 folded 16 bytes at a time with carry-less
// multiplication (PCLMULQDQ), at memory speed where the processor has it.
// Built for x86 (32- and 64-bit) with the instructions enabled for these
// functions alone: the rest of the program runs on any processor.

#include <cstddef>
#include <cstdint>

namespace nv {

// True when CPUID reports PCLMULQDQ, SSE4.1 and SSE2.
bool canFoldCrc32() noexcept;

// Goes on from the CRC register `state` (as kept between updates, not the
// inverted value) over the `size` bytes at `data`, a multiple of 16 and at
// least 16, and returns the register. Only where canFoldCrc32().
std::uint32_t foldCrc32(std::uint32_t state, const unsigned char* data, std::size_t size);

}  // namespace nv
