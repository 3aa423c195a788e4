#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

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
// has a bit that the mask keeps. In 64-bit words, which the compiler folds into a few
// vector loads, stores, ANDs and ORs with one reduction per run.
inline bool CopyAnyMaskedBit(std::uint8_t* dst, const std::uint8_t* src, const ByteRun& mask)
{
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
}
