#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

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

// The largest of the bytes the mask keeps.
inline std::uint8_t MaskedMax(const std::uint8_t* p, const ByteRun& mask)
{
    std::uint8_t m = 0;
    for (std::size_t i = 0; i < kRunBytes; ++i)
        m = static_cast<std::uint8_t>(p[i] & mask[i]) > m ? static_cast<std::uint8_t>(p[i] & mask[i]) : m;
    return m;
}
