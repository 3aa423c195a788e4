#include "filter/Saturation.h"

#include "filter/ByteRuns.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstring>

namespace {

static_assert(std::endian::native == std::endian::little, "the marker words below are little-endian");

// The word-sized units are tested and painted without a branch: a run that holds a star
// holds it at an unpredictable place.
std::uint32_t Load32(const std::uint8_t* p)
{
    std::uint32_t w;
    std::memcpy(&w, p, 4);
    return w;
}

void Store32(std::uint8_t* p, std::uint32_t w)
{
    std::memcpy(p, &w, 4);
}

// The high bit of each byte of x that is at or over its byte of tt, without a carry
// between bytes: the high bits decide unless equal, then the low seven bits do.
std::uint64_t BytesAtOrOver(std::uint64_t x, std::uint64_t tt)
{
    constexpr std::uint64_t kHigh = 0x8080808080808080ull;
    const std::uint64_t lowAtOrOver = (x | kHigh) - (tt & ~kHigh);
    return ((x & ~tt) | (~(x ^ tt) & lowAtOrOver)) & kHigh;
}

std::uint32_t Select(bool hit, std::uint32_t painted, std::uint32_t w)
{
    const std::uint32_t m = 0u - static_cast<std::uint32_t>(hit);
    return (painted & m) | (w & ~m);
}

// A packed 4:2:2 pair in one little-endian word, luma at byte L and L + 2: YUY2 (Y0 U Y1 V)
// for L = 0, UYVY (U Y0 V Y1) for L = 1. The marker is the same colour in both orders.
template <unsigned L>
struct Packed422Pair {
    static constexpr std::size_t kBytes = 4;
    static constexpr std::array<std::uint8_t, kBytes> kTested{L == 0 ? 0xFF : 0, L == 0 ? 0 : 0xFF,
                                                               L == 0 ? 0xFF : 0, L == 0 ? 0 : 0xFF};
    static constexpr std::uint32_t kMarker = L == 0 ? 0xDE6ACA6Au : 0x6ADE6ACAu;
    static void Mark(std::uint8_t* p, std::uint8_t t)
    {
        const std::uint32_t w = Load32(p);
        const bool hit = ((w >> (8 * L)) & 0xFF) >= t || ((w >> (8 * L + 16)) & 0xFF) >= t;
        Store32(p, Select(hit, kMarker, w));
    }
};

struct Rgb24Pixel { // B G R; three bytes do not fit a word
    static constexpr std::size_t kBytes = 3;
    static constexpr std::array<std::uint8_t, kBytes> kTested{0xFF, 0xFF, 0xFF};
    static void Mark(std::uint8_t* p, std::uint8_t t)
    {
        if (std::max(std::max(p[0], p[1]), p[2]) >= t)
            Paint(p);
    }
    static void Paint(std::uint8_t* p)
    {
        p[0] = 0xE1;
        p[1] = 0;
        p[2] = 0xE1;
    }
    // A run's 16 pixels would cost 16 unpredictable branches: the bytes at the threshold
    // are found eight at a time instead, and only their pixels are painted (a painted
    // byte found again repaints its own pixel).
    static void MarkRun(std::uint8_t* p, std::uint8_t t)
    {
        const std::uint64_t tt = 0x0101010101010101ull * t;
        for (std::size_t w = 0; w < kRunBytes; w += 8) {
            std::uint64_t word;
            std::memcpy(&word, p + w, 8);
            for (std::uint64_t hits = BytesAtOrOver(word, tt); hits != 0; hits &= hits - 1)
                Paint(p + (w + static_cast<std::size_t>(std::countr_zero(hits)) / 8) / kBytes * kBytes);
        }
    }
};

struct Argb32Pixel { // B G R A; the sum of B, G and R is tested, alpha stays
    static constexpr std::size_t kBytes = 4;
    static constexpr std::array<std::uint8_t, kBytes> kTested{0xFF, 0xFF, 0xFF, 0};
    static void Mark(std::uint8_t* p, std::uint8_t t)
    {
        const std::uint32_t w = Load32(p);
        const bool hit = (w & 0xFF) + ((w >> 8) & 0xFF) + ((w >> 16) & 0xFF) >= 3u * t;
        Store32(p, Select(hit, (w & 0xFF000000u) | 0x00E100E1u, w));
    }
};

template <class Unit>
void MarkUnits(std::uint8_t* p, std::size_t bytes, std::uint8_t t)
{
    for (std::size_t i = 0; i < bytes; i += Unit::kBytes)
        Unit::Mark(p + i, t);
}

template <class Unit>
void MarkRun(std::uint8_t* p, std::uint8_t t)
{
    if constexpr (requires { Unit::MarkRun(p, t); })
        Unit::MarkRun(p, t);
    else
        MarkUnits<Unit>(p, kRunBytes, t);
}

// The bits a byte at or over t must have one of: those from t's highest bit up.
constexpr std::uint8_t BitsAtOrOver(std::uint8_t t)
{
    std::uint8_t high = 0x80;
    while (high > t && high > 1)
        high = static_cast<std::uint8_t>(high >> 1);
    return static_cast<std::uint8_t>(0xFF & ~(high - 1));
}

ByteRun FilterFor(const ByteRun& tested, std::uint8_t t)
{
    ByteRun filter = tested;
    for (auto& b : filter)
        b = static_cast<std::uint8_t>(b & BitsAtOrOver(t));
    return filter;
}

// Stars are few: a run in which no tested byte has any of those bits cannot hold a unit
// at the threshold (nor an ARGB32 sum of three times it) and is skipped after a few
// vector operations; only the other runs are tested unit by unit. Every unit reaches 0.
template <class Unit>
void CopyMarkFrame(std::uint8_t* dst, const std::uint8_t* src, const FrameGeometry& g, std::uint8_t t)
{
    const ByteRun filter = FilterFor(RepeatPattern(Unit::kTested), t);
    const auto rowBytes = static_cast<std::size_t>(RowBytes(g));
    const auto stride = static_cast<std::size_t>(g.stride);
    const std::size_t runs = t == 0 ? 0 : rowBytes / kRunBytes;
    std::uint8_t* out = dst;
    for (std::int32_t r = 0; r < g.height; ++r, src += stride, out += stride) {
        std::size_t i = 0;
        for (std::size_t k = 0; k < runs; ++k, i += kRunBytes)
            if (CopyAnyMaskedBit(out + i, src + i, filter))
                MarkRun<Unit>(out + i, t);
        std::memmove(out + i, src + i, stride - i); // in place, src is out
        MarkUnits<Unit>(out + i, rowBytes - i, t);
    }
}

} // namespace

MarkKernel MarkKernelFor(FrameSubtype subtype)
{
    switch (subtype) {
    case FrameSubtype::YUY2:
        return &CopyMarkFrame<Packed422Pair<0>>;
    case FrameSubtype::UYVY:
        return &CopyMarkFrame<Packed422Pair<1>>;
    case FrameSubtype::RGB24:
        return &CopyMarkFrame<Rgb24Pixel>;
    case FrameSubtype::ARGB32:
        return &CopyMarkFrame<Argb32Pixel>;
    case FrameSubtype::None:
        break;
    }
    return nullptr;
}
