// Folding after Intel's "Fast CRC Computation for Generic Polynomials Using
// PCLMULQDQ Instruction", in the bit-reflected form: 128 bits of remainder
// are multiplied forward past the next bytes and added to them. Four lanes
// 64 bytes apart keep four multiplications in flight; at the end they fold
// into one, the rest goes 16 bytes a step, and the 128 bits are reduced to
// 64, then to the CRC's 32 by Barrett's method.
#include "foundation/Crc32Folding.h"

#include <cpuid.h>
#include <immintrin.h>

namespace nv {

namespace {

// CPUID leaf 1.
constexpr unsigned pclmulBit = 1u << 1;  // ECX
constexpr unsigned sse41Bit = 1u << 19;  // ECX
constexpr unsigned sse2Bit = 1u << 26;   // EDX

// For the polynomial 0x04C11DB7: x^n mod P, each bit-reflected and shifted
// left by one, for the distances folded (a lane's low half moves n - 32 bits
// further than its high half); P itself (33 bits) and floor(x^64 / P), reflected.
constexpr long long past64Low = 0x154442BD4;   // x^544
constexpr long long past64High = 0x1C6E41596;  // x^480
constexpr long long past16Low = 0x1751997D0;   // x^160
constexpr long long past16High = 0x0CCAA009E;  // x^96
constexpr long long past4 = 0x163CD6124;       // x^64
constexpr long long polynomial = 0x1DB710641;
constexpr long long barrettFactor = 0x1F7011641;

// The remainder `x` moved past the distance of `k` and added to `next`.
__attribute__((target("pclmul,sse4.1"))) inline __m128i foldOnto(__m128i x, __m128i k, __m128i next) {
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), next);
}

__attribute__((target("pclmul,sse4.1"))) inline __m128i load(const unsigned char* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

}  // namespace

bool canFoldCrc32() noexcept {
    unsigned a = 0, b = 0, c = 0, d = 0;
    return __get_cpuid(1, &a, &b, &c, &d) && (c & pclmulBit) && (c & sse41Bit) && (d & sse2Bit);
}

__attribute__((target("pclmul,sse4.1"))) std::uint32_t foldCrc32(std::uint32_t state, const unsigned char* data,
                                                                 std::size_t size) {
    const __m128i past16 = _mm_set_epi64x(past16High, past16Low);
    __m128i x = _mm_xor_si128(load(data), _mm_cvtsi32_si128(static_cast<int>(state)));
    std::size_t at = 16;
    if (size >= 128) {
        const __m128i past64 = _mm_set_epi64x(past64High, past64Low);
        __m128i x1 = load(data + 16), x2 = load(data + 32), x3 = load(data + 48);
        for (at = 64; size - at >= 64; at += 64) {
            x = foldOnto(x, past64, load(data + at));
            x1 = foldOnto(x1, past64, load(data + at + 16));
            x2 = foldOnto(x2, past64, load(data + at + 32));
            x3 = foldOnto(x3, past64, load(data + at + 48));
        }
        x = foldOnto(foldOnto(foldOnto(x, past16, x1), past16, x2), past16, x3);
    }
    for (; at < size; at += 16) x = foldOnto(x, past16, load(data + at));
    // 128 bits to 64: the low half moved past the high one; then its low 32 bits past the rest.
    const __m128i low32 = _mm_setr_epi32(-1, 0, -1, 0);
    x = _mm_xor_si128(_mm_srli_si128(x, 8), _mm_clmulepi64_si128(x, past16, 0x10));
    x = _mm_xor_si128(_mm_srli_si128(x, 4),
                      _mm_clmulepi64_si128(_mm_and_si128(x, low32), _mm_set_epi64x(0, past4), 0x00));
    // Barrett: the quotient's low 32 bits times P cancel all but the remainder.
    const __m128i barrett = _mm_set_epi64x(barrettFactor, polynomial);
    const __m128i q = _mm_and_si128(_mm_clmulepi64_si128(_mm_and_si128(x, low32), barrett, 0x10), low32);
    x = _mm_xor_si128(x, _mm_clmulepi64_si128(q, barrett, 0x00));
    return static_cast<std::uint32_t>(_mm_extract_epi32(x, 1));
}

}  // namespace nv
