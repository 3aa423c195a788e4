#include "filter/FrameGeometry.h"

FrameGeometry MakeFrameGeometry(FrameSubtype subtype, std::int32_t width, std::int32_t height)
{
    return MakeFrameGeometry(subtype, width, height, StrideFor(BitsPerPixel(subtype), width));
}

FrameGeometry MakeFrameGeometry(FrameSubtype subtype, std::int32_t width, std::int32_t height, std::int32_t stride)
{
    return FrameGeometry{stride, subtype, width, height};
}

std::int32_t RowBytes(const FrameGeometry& g)
{
    switch (g.subtype) {
    case FrameSubtype::YUY2:
    case FrameSubtype::UYVY:
        return (g.width + 1) / 2 * 4;
    case FrameSubtype::RGB24:
        return g.width * 3;
    case FrameSubtype::ARGB32:
        return g.width * 4;
    case FrameSubtype::None:
        break;
    }
    return 0;
}

std::size_t FrameBytes(const FrameGeometry& g)
{
    if (g.stride <= 0 || g.height <= 0)
        return 0;
    return static_cast<std::size_t>(g.stride) * static_cast<std::size_t>(g.height);
}

bool IsUsable(const FrameGeometry& g)
{
    return g.subtype != FrameSubtype::None && g.width > 0 && g.height > 0 && g.stride >= RowBytes(g);
}
