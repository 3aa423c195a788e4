#include "capture/sim/SimulatorScene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

TEST(SimulatorScene, OddSizesWithPaddedStridesStayInsideTheFrame)
{
    const struct {
        FrameSubtype subtype;
        OcrLayout layout;
    } cases[] = {
        {FrameSubtype::YUY2, {kRowBasePlain, false}}, // every cell below the frame
        {FrameSubtype::YUY2, {270, true}},            // cells cut by the bottom and the right edge
        {FrameSubtype::RGB24, {270, false}},
        {FrameSubtype::RGB24, {kRowBaseTvSafe, true}},
    };
    for (const auto& c : cases)
        for (int padding : {0, 4, 12}) {
            FrameGeometry g = MakeFrameGeometry(c.subtype, 385, 289);
            g.stride += padding;
            const SimulatorScene scene(g);
            ASSERT_EQ(scene.FrameBytes(), static_cast<std::size_t>(g.stride) * 289u);
            std::vector<std::uint8_t> buffer(scene.FrameBytes() + 64, 0xA5);
            for (std::uint64_t frame = 0; frame < 3; ++frame)
                scene.Render(buffer.data(), frame, c.layout, {23, 59, 59, 9999, 9999},
                             frame % 2 ? FieldPhase::Even : FieldPhase::Odd);
            EXPECT_TRUE(std::all_of(buffer.end() - 64, buffer.end(), [](std::uint8_t b) { return b == 0xA5; }))
                << "written past the frame, padding " << padding;
            // Row padding belongs to nobody: the per-frame noise and the time line keep out of it.
            const int rowBytes = g.width * BitsPerPixel(g.subtype) / 8;
            for (int y = 0; y < g.height; ++y)
                for (int b = rowBytes; b < g.stride; ++b)
                    ASSERT_EQ(buffer[static_cast<std::size_t>(y * g.stride + b)], 0) << "row " << y << " byte " << b;
        }
}
