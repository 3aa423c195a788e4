#pragma once

#include <cstddef>
#include <cstdint>

// The layouts the frame analysis accepts. YUY2 (Y0 U Y1 V) and UYVY (U Y0 V Y1) are both
// packed 4:2:2: the same pairs with luma and chroma bytes swapped.
enum class FrameSubtype : std::int32_t { None = 0, YUY2, RGB24, ARGB32, UYVY };

// Rows run top row first, as GStreamer stores every layout.
struct FrameGeometry {
    std::int32_t stride = 0; // bytes per row
    FrameSubtype subtype = FrameSubtype::None;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

inline constexpr bool IsPacked422(FrameSubtype s)
{
    return s == FrameSubtype::YUY2 || s == FrameSubtype::UYVY;
}

// Where a packed 4:2:2 pixel's luma sits in its two bytes; the chroma byte is the other.
inline constexpr int LumaByte(FrameSubtype s)
{
    return s == FrameSubtype::UYVY ? 1 : 0;
}

inline constexpr int BitsPerPixel(FrameSubtype s)
{
    return IsPacked422(s) ? 16 : s == FrameSubtype::RGB24 ? 24 : s == FrameSubtype::ARGB32 ? 32 : 0;
}

// The row length rounded up to a multiple of 4 bytes.
inline constexpr std::int32_t StrideFor(int bitCount, std::int32_t width)
{
    return ((bitCount * width + 31) >> 3) & ~3;
}

// Rows of StrideFor bytes.
FrameGeometry MakeFrameGeometry(FrameSubtype subtype, std::int32_t width, std::int32_t height);

// The same with the stride a video frame really has; a capture back end may pad rows
// beyond the formula's multiple of 4.
FrameGeometry MakeFrameGeometry(FrameSubtype subtype, std::int32_t width, std::int32_t height, std::int32_t stride);

// Bytes of picture in one row: whole 4:2:2 pairs (an odd width ends in a full pair),
// 3 bytes per RGB24 pixel, 4 per ARGB32 pixel. Padding after them is never visited.
std::int32_t RowBytes(const FrameGeometry& g);

// stride x height: the buffer size one frame needs.
std::size_t FrameBytes(const FrameGeometry& g);

// An accepted subtype, positive sizes and rows no shorter than their picture bytes.
bool IsUsable(const FrameGeometry& g);
