#include "filter/FrameGeometry.h"

FrameGeometry MakeFrameGeometry(FrameSubtype subtype, std::int32_t width, std::int32_t biHeight)
{
    return MakeFrameGeometry(subtype, width, biHeight, StrideFor(BitsPerPixel(subtype), width));
}

FrameGeometry MakeFrameGeometry(FrameSubtype subtype, std::int32_t width, std::int32_t biHeight,
                                std::int32_t stride)
{
    FrameGeometry g;
    g.subtype = subtype;
    g.width = width;
    g.height = biHeight < 0 ? -biHeight : biHeight;
    g.stride = stride;
    g.rowsTopDown = subtype == FrameSubtype::YUY2 || biHeight < 0;
    return g;
}

std::int32_t RowBytes(const FrameGeometry& g)
{
    switch (g.subtype) {
    case FrameSubtype::YUY2:
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

TopFirstRows TopFirstRowsOf(const FrameGeometry& g)
{
    if (g.rowsTopDown)
        return {0, g.stride};
    return {static_cast<std::ptrdiff_t>(g.height - 1) * g.stride, -static_cast<std::ptrdiff_t>(g.stride)};
}

bool IsUsable(const FrameGeometry& g)
{
    return g.subtype != FrameSubtype::None && g.width > 0 && g.height > 0 && g.stride >= RowBytes(g);
}
