#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The per-pixel kernels walk each row in runs of 48 bytes: a whole number of YUY2 pairs
// (4), RGB24 pixels (3) and ARGB32 pixels (4), and of 16-byte vectors, so the compiler
// vectorises a run without a scalar remainder. The row's tail is done unit by unit.
inline constexpr std::size_t kRunBytes = 48;
using ByteRun = std::array<std::uint8_t, kRunBytes>;

// One value per byte of a run, repeating a unit's per-byte pattern.
template <std::size_t N>
constexpr ByteRun RepeatPattern(const std::array<std::uint8_t, N>& unit)
{
    static_assert(kRunBytes % N == 0);
    ByteRun run{};
    for (std::size_t i = 0; i < kRunBytes; ++i)
        run[i] = unit[i % N];
    return run;
}

// Copies a run from src to dst (which may be src) and tells whether any of its bytes
// has a bit that the mask keeps: three vector loads, stores, ANDs and ORs and one
// reduction per run where the processor has SSE2, 64-bit words elsewhere.
inline bool CopyAnyMaskedBit(std::uint8_t* dst, const std::uint8_t* src, const ByteRun& mask)
{
#if defined(__SSE2__)
    const auto* s = reinterpret_cast<const __m128i*>(src);
    const auto* m = reinterpret_cast<const __m128i*>(mask.data());
    auto* d = reinterpret_cast<__m128i*>(dst);
    const __m128i a = _mm_loadu_si128(s), b = _mm_loadu_si128(s + 1), c = _mm_loadu_si128(s + 2);
    _mm_storeu_si128(d, a);
    _mm_storeu_si128(d + 1, b);
    _mm_storeu_si128(d + 2, c);
    const __m128i any = _mm_or_si128(_mm_or_si128(_mm_and_si128(a, _mm_loadu_si128(m)),
                                                  _mm_and_si128(b, _mm_loadu_si128(m + 1))),
                                     _mm_and_si128(c, _mm_loadu_si128(m + 2)));
    return _mm_movemask_epi8(_mm_cmpeq_epi8(any, _mm_setzero_si128())) != 0xFFFF;
#else
    std::uint64_t any = 0;
#pragma GCC unroll 6
    for (std::size_t i = 0; i < kRunBytes; i += 8) {
        std::uint64_t word, keep;
        std::memcpy(&word, src + i, 8);
        std::memcpy(dst + i, &word, 8);
        std::memcpy(&keep, mask.data() + i, 8);
        any |= word & keep;
    }
    return any != 0;
#endif
}
