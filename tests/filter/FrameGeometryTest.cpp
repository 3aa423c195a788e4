#include "filter/FrameGeometry.h"

#include <gtest/gtest.h>


TEST(FrameGeometry, StrideAndSize)
{
    struct Case {
        FrameSubtype subtype;
        std::int32_t width, height, stride, rowBytes;
        std::size_t frameBytes;
    };
    const Case cases[] = {
        {FrameSubtype::YUY2, 640, 480, 1280, 1280, 614400},
        {FrameSubtype::RGB24, 720, 576, 2160, 2160, 1244160},
        {FrameSubtype::ARGB32, 640, 480, 2560, 2560, 1228800},
        // Odd widths: rows padded to 4 bytes; a YUY2 row ends in a whole pair.
        {FrameSubtype::YUY2, 385, 289, 772, 772, 772u * 289u},
        {FrameSubtype::RGB24, 385, 289, 1156, 1155, 1156u * 289u},
        {FrameSubtype::ARGB32, 385, 289, 1540, 1540, 1540u * 289u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        const FrameGeometry g = MakeFrameGeometry(c.subtype, c.width, c.height);
        EXPECT_EQ(g.stride, c.stride);
        EXPECT_EQ(g.height, c.height);
        EXPECT_EQ(RowBytes(g), c.rowBytes);
        EXPECT_EQ(FrameBytes(g), c.frameBytes);
        EXPECT_TRUE(IsUsable(g));
    }
    // A real stride may be longer than the formula's, never shorter than the picture.
    EXPECT_TRUE(IsUsable(MakeFrameGeometry(FrameSubtype::RGB24, 385, 289, 1216)));
    EXPECT_FALSE(IsUsable(MakeFrameGeometry(FrameSubtype::RGB24, 385, 289, 1154)));
    EXPECT_FALSE(IsUsable(MakeFrameGeometry(FrameSubtype::None, 640, 480)));
    EXPECT_FALSE(IsUsable(MakeFrameGeometry(FrameSubtype::YUY2, 640, 0)));
}
