#include "filter/Saturation.h"

#include "filter/ByteRuns.h"

#include <array>
#include <cstddef>

namespace {

struct Yuy2Pair {
    static constexpr std::size_t kBytes = 4;
    static constexpr std::array<std::uint8_t, kBytes> kTested{0xFF, 0, 0xFF, 0};
    static bool Hit(const std::uint8_t* p, std::uint8_t t) { return p[0] >= t || p[2] >= t; }
    static void Paint(std::uint8_t* p)
    {
        p[0] = 0x6A;
        p[1] = 0xCA;
        p[2] = 0x6A;
        p[3] = 0xDE;
    }
};

struct Rgb24Pixel {
    static constexpr std::size_t kBytes = 3;
    static constexpr std::array<std::uint8_t, kBytes> kTested{0xFF, 0xFF, 0xFF};
    static bool Hit(const std::uint8_t* p, std::uint8_t t) { return p[0] >= t || p[1] >= t || p[2] >= t; }
    static void Paint(std::uint8_t* p)
    {
        p[0] = 0xE1;
        p[1] = 0;
        p[2] = 0xE1;
    }
};

struct Argb32Pixel {
    static constexpr std::size_t kBytes = 4;
    static constexpr std::array<std::uint8_t, kBytes> kTested{0xFF, 0xFF, 0xFF, 0};
    static bool Hit(const std::uint8_t* p, std::uint8_t t) { return p[0] + p[1] + p[2] >= 3 * t; }
    static void Paint(std::uint8_t* p)
    {
        p[0] = 0xE1;
        p[1] = 0;
        p[2] = 0xE1; // alpha stays
    }
};

template <class Unit>
void MarkUnits(std::uint8_t* p, std::size_t bytes, std::uint8_t t)
{
    for (std::size_t i = 0; i < bytes; i += Unit::kBytes)
        if (Unit::Hit(p + i, t))
            Unit::Paint(p + i);
}

// Stars are few: a run whose tested bytes all stay under the threshold (no unit can
// reach it, not even an ARGB32 sum) is skipped after one vectorised maximum.
template <class Unit>
void MarkFrame(std::uint8_t* frame, const FrameGeometry& g, std::uint8_t t)
{
    static constexpr ByteRun kTested = RepeatPattern(Unit::kTested);
    const std::size_t rowBytes = static_cast<std::size_t>(RowBytes(g));
    const std::size_t runs = rowBytes / kRunBytes;
    for (std::int32_t r = 0; r < g.height; ++r) {
        std::uint8_t* row = frame + static_cast<std::ptrdiff_t>(r) * g.stride;
        std::size_t i = 0;
        for (std::size_t k = 0; k < runs; ++k, i += kRunBytes)
            if (MaskedMax(row + i, kTested) >= t)
                MarkUnits<Unit>(row + i, kRunBytes, t);
        MarkUnits<Unit>(row + i, rowBytes - i, t);
    }
}

std::int32_t g_saturationDefault = -1;

} // namespace

MarkKernel MarkKernelFor(FrameSubtype subtype)
{
    switch (subtype) {
    case FrameSubtype::YUY2:
        return &MarkFrame<Yuy2Pair>;
    case FrameSubtype::RGB24:
        return &MarkFrame<Rgb24Pixel>;
    case FrameSubtype::ARGB32:
        return &MarkFrame<Argb32Pixel>;
    case FrameSubtype::None:
        break;
    }
    return nullptr;
}

void MarkSaturatedPixels(std::uint8_t* frame, const FrameGeometry& g, std::int32_t threshold)
{
    if (threshold < 0)
        return;
    if (MarkKernel mark = MarkKernelFor(g.subtype))
        mark(frame, g, static_cast<std::uint8_t>(threshold & 0xFF));
}

std::int32_t& SaturationDefault()
{
    return g_saturationDefault;
}
