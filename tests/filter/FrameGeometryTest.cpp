#include "filter/FrameGeometry.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(FrameGeometry, StrideSizeAndRowOrderFromTheBitmapHeader)
{
    struct Case {
        FrameSubtype subtype;
        std::int32_t width, biHeight, stride, rowBytes;
        std::size_t frameBytes;
        bool topDown;
    };
    const Case cases[] = {
        {FrameSubtype::YUY2, 640, 480, 1280, 1280, 614400, true},
        {FrameSubtype::YUY2, 640, -480, 1280, 1280, 614400, true}, // YUY2 is top-down whatever the sign
        {FrameSubtype::RGB24, 720, 576, 2160, 2160, 1244160, false},
        {FrameSubtype::RGB24, 720, -576, 2160, 2160, 1244160, true},
        {FrameSubtype::ARGB32, 640, 480, 2560, 2560, 1228800, false},
        // Odd widths: rows padded to 4 bytes; a YUY2 row ends in a whole pair.
        {FrameSubtype::YUY2, 385, 289, 772, 772, 772u * 289u, true},
        {FrameSubtype::RGB24, 385, 289, 1156, 1155, 1156u * 289u, false},
        {FrameSubtype::ARGB32, 385, -289, 1540, 1540, 1540u * 289u, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.biHeight);
        const FrameGeometry g = MakeFrameGeometry(c.subtype, c.width, c.biHeight);
        EXPECT_EQ(g.stride, c.stride);
        EXPECT_EQ(g.height, std::abs(c.biHeight));
        EXPECT_EQ(g.rowsTopDown, c.topDown);
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
