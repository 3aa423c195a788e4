#include "filter/FrameGeometry.h"

FrameGeometry MakeFrameGeometry(FrameSubtype subtype, std::int32_t width, std::int32_t biHeight)
{
    FrameGeometry g;
    g.subtype = subtype;
    g.width = width;
    g.height = biHeight < 0 ? -biHeight : biHeight;
    g.stride = StrideFor(BitsPerPixel(subtype), width);
    g.rowsTopDown = subtype == FrameSubtype::YUY2 || biHeight < 0;
    return g;
}
