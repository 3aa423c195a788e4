#pragma once

#include <cstdint>

// The three layouts the frame analysis accepts.
enum class FrameSubtype : std::int32_t { None = 0, YUY2, RGB24, ARGB32 };

struct FrameGeometry {
    std::int32_t stride = 0;  // bytes per row
    FrameSubtype subtype = FrameSubtype::None;
    std::int32_t width = 0;
    std::int32_t height = 0;  // always positive
    bool rowsTopDown = false; // false: RGB24/ARGB32 stored bottom-up
};

inline constexpr int BitsPerPixel(FrameSubtype s)
{
    return s == FrameSubtype::YUY2 ? 16 : s == FrameSubtype::RGB24 ? 24 : s == FrameSubtype::ARGB32 ? 32 : 0;
}

// The row length rounded up to a multiple of 4 bytes.
inline constexpr std::int32_t StrideFor(int bitCount, std::int32_t width)
{
    return ((bitCount * width + 31) >> 3) & ~3;
}

// From a bitmap header's width and signed height: YUY2 is always top-down, the RGB
// layouts are top-down only for a negative height.
FrameGeometry MakeFrameGeometry(FrameSubtype subtype, std::int32_t width, std::int32_t biHeight);
