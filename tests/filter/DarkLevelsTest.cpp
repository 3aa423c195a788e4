#include "filter/DarkLevels.h"

#include "FilterTestSupport.h"

#include <gtest/gtest.h>

TEST(MeasureDarkLevels, EachLayoutCountsItsBrightnessBytesNeverChromaOrAlphaAnUnsupportedOneNothing)
{
    // Chroma 12 and alpha 7 are the commonest dark bytes; red 120 is too bright, so red is
    // the 40 of every other row. Padding is not counted. A layout without a picture is
    // reported and changes no level.
    const struct {
        FrameSubtype subtype;
        std::vector<std::uint8_t> unit;
        DarkLevels levels;
        std::size_t count;
        std::vector<std::string> messages; // the first two, then histogram lines by their value
    } cases[] = {
        {FrameSubtype::YUY2, {13, 12, 90, 12}, {13, 33, 33, 33}, 259,
         {"Dark pixel value for YUY2 frame: 13\r\n", "Dark pixel value histogram, YUY2 format", "0\t0", "90\t55777"}},
        {FrameSubtype::UYVY, {12, 13, 12, 90}, {13, 33, 33, 33}, 1, {"Dark pixel value for UYVY frame: 13\r\n"}},
        {FrameSubtype::RGB24, {20, 30, 120}, {9, 20, 30, 40}, 258,
         {"Dark pixel values for RGB frame --  R: 40    G: 30    B: 20 \r\n", "Dark pixel value histogram, RGB format",
          "20\tR: 0      \tG: 0      \tB: 111265 ", "40\tR: 145    \tG: 0      \tB: 0      "}},
        {FrameSubtype::ARGB32, {20, 30, 120, 7}, {9, 20, 30, 40}, 1,
         {"Dark pixel values for RGB frame --  R: 40    G: 30    B: 20 \r\n"}},
        {FrameSubtype::None, {}, {9, 33, 33, 33}, 1, {"Frame integration not supported for this device format\r\n"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(SubtypeName(c.subtype));
        CapturedMessages messages;
        TestFrame frame(c.subtype, 385, 289, 8);
        frame.FillUnits(c.unit);
        for (std::int32_t r = 0; r < frame.geometry.height && !IsPacked422(c.subtype); r += 2)
            frame.Row(r)[2] = 40;
        DarkLevels levels{9, 33, 33, 33};
        DarkHistograms h;
        MeasureDarkLevels(frame.bytes.data(), frame.geometry, c.count > 1, levels, h, messages);
        EXPECT_EQ(std::tuple(levels.yuy2, levels.blue, levels.green, levels.red),
                  std::tuple(c.levels.yuy2, c.levels.blue, c.levels.green, c.levels.red));
        ASSERT_EQ(messages.entries.size(), c.count);
        EXPECT_TRUE(messages.entries[0].timeStamp);
        for (std::size_t i = 0; i < c.messages.size(); ++i)
            EXPECT_EQ(messages.entries[i < 2 ? i : 2 + std::stoul(c.messages[i])].text, c.messages[i]);
    }
}
