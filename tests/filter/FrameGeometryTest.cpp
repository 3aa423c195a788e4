#include "filter/FrameGeometry.h"

#include <gtest/gtest.h>

TEST(FrameGeometry, StrideBufferSizeAndRowOrderFromTheBitmapHeader)
{
    struct Case {
        FrameSubtype subtype;
        std::int32_t width, biHeight;
        std::int32_t stride, rowBytes;
        std::size_t frameBytes;
        bool topDown;
    };
    const Case cases[] = {
        {FrameSubtype::YUY2, 640, 480, 1280, 1280, 614400, true},
        {FrameSubtype::YUY2, 640, -480, 1280, 1280, 614400, true}, // YUY2 is top-down whatever the sign
        {FrameSubtype::RGB24, 720, 576, 2160, 2160, 1244160, false},
        {FrameSubtype::RGB24, 720, -576, 2160, 2160, 1244160, true},
        {FrameSubtype::ARGB32, 640, 480, 2560, 2560, 1228800, false},
        {FrameSubtype::ARGB32, 640, -480, 2560, 2560, 1228800, true},
        // Odd widths: rows padded to a multiple of 4 bytes; a YUY2 row ends in a whole pair.
        {FrameSubtype::YUY2, 385, 289, 772, 772, 772u * 289u, true},
        {FrameSubtype::RGB24, 385, 289, 1156, 1155, 1156u * 289u, false},
        {FrameSubtype::RGB24, 1, 1, 4, 3, 4, false},
        {FrameSubtype::ARGB32, 385, -289, 1540, 1540, 1540u * 289u, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.biHeight << " stride " << c.stride);
        const FrameGeometry g = MakeFrameGeometry(c.subtype, c.width, c.biHeight);
        EXPECT_EQ(g.stride, c.stride);
        EXPECT_EQ(g.height, c.biHeight < 0 ? -c.biHeight : c.biHeight);
        EXPECT_EQ(g.rowsTopDown, c.topDown);
        EXPECT_EQ(RowBytes(g), c.rowBytes);
        EXPECT_EQ(FrameBytes(g), c.frameBytes);
        EXPECT_TRUE(IsUsable(g));
    }
}

TEST(FrameGeometry, RealStrideIsKeptAndOnlyTooShortRowsAreRefused)
{
    const FrameGeometry padded = MakeFrameGeometry(FrameSubtype::RGB24, 385, 289, 1216);
    EXPECT_EQ(padded.stride, 1216);
    EXPECT_EQ(FrameBytes(padded), 1216u * 289u);
    EXPECT_TRUE(IsUsable(padded));

    EXPECT_FALSE(IsUsable(MakeFrameGeometry(FrameSubtype::RGB24, 385, 289, 1154)));
    EXPECT_FALSE(IsUsable(MakeFrameGeometry(FrameSubtype::None, 640, 480)));
    EXPECT_FALSE(IsUsable(MakeFrameGeometry(FrameSubtype::YUY2, 640, 0)));
    EXPECT_FALSE(IsUsable(MakeFrameGeometry(FrameSubtype::YUY2, 0, 480)));
    EXPECT_EQ(FrameBytes(FrameGeometry{}), 0u);
}
