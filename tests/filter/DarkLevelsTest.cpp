#include "filter/DarkLevels.h"

#include "FrameTestSupport.h"

#include <gtest/gtest.h>

#include <numeric>

TEST(DarkLevelOf, MostFrequentValueBelow75LowestOnTies)
{
    struct Case {
        const char* what;
        std::vector<std::pair<std::size_t, std::uint32_t>> counts;
        std::uint32_t level;
    };
    const Case cases[] = {
        {"tie at 12 and 13", {{12, 500}, {13, 500}, {40, 10}}, 12},
        {"a mode at 80 is never chosen", {{80, 100000}, {30, 20}, {31, 19}}, 30},
        {"74 is still dark", {{74, 9}, {3, 8}}, 74},
        {"75 and above only: 0", {{75, 1000}, {255, 1000}}, 0},
        {"empty", {}, 0},
        {"tie at 0 and 5", {{0, 7}, {5, 7}}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Histogram h{};
        for (auto [value, count] : c.counts)
            h[value] = count;
        EXPECT_EQ(DarkLevelOf(h), c.level);
    }
}

class MeasureDarkLevelsTest : public testing::Test {
protected:
    MessageCapture messages;
    DarkLevels levels;
    DarkHistograms histograms;
};

TEST_F(MeasureDarkLevelsTest, Yuy2CountsBothLumaBytesOfEveryPairAndNoChroma)
{
    TestFrame frame(FrameSubtype::YUY2, 385, 289, 8);
    frame.FillPicture(std::uint8_t{12}); // chroma 12 too, which must not count
    for (std::int32_t r = 0; r < frame.geometry.height; ++r)
        for (std::int32_t i = 0; i < RowBytes(frame.geometry); i += 4)
            frame.Row(r)[i] = frame.Row(r)[i + 2] = static_cast<std::uint8_t>(i % 8 == 0 ? 13 : 90);
    levels.blue = 33;

    MeasureDarkLevels(frame.bytes.data(), frame.geometry, false, levels, histograms);

    EXPECT_EQ(levels.yuy2, 13u);
    EXPECT_EQ(levels.blue, 33u); // the RGB levels are not touched
    EXPECT_EQ(histograms.luma[12], 0u);
    EXPECT_EQ(histograms.luma[TestFrame::kPadding], 0u);
    const std::uint32_t counted = std::accumulate(histograms.luma.begin(), histograms.luma.end(), 0u);
    EXPECT_EQ(counted, 193u * 2u * 289u); // 193 pairs per row
    ASSERT_EQ(messages.Entries().size(), 1u);
    EXPECT_EQ(messages.Entries()[0].text, "Dark pixel value for YUY2 frame: 13\r\n");
    EXPECT_TRUE(messages.Entries()[0].timeStamp);
}

TEST_F(MeasureDarkLevelsTest, Yuy2HistogramIs256LinesAfterTheLevel)
{
    TestFrame frame(FrameSubtype::YUY2, 4, 2);
    const std::uint8_t bytes[] = {5, 200, 5, 200, 5, 1, 6, 1, 250, 0, 5, 0, 6, 0, 6, 0};
    std::copy(std::begin(bytes), std::end(bytes), frame.bytes.begin());

    MeasureDarkLevels(frame.bytes.data(), frame.geometry, true, levels, histograms);

    const auto& e = messages.Entries();
    ASSERT_EQ(e.size(), 1u + 1u + 256u + 1u);
    EXPECT_EQ(e[0].text, "Dark pixel value for YUY2 frame: 5\r\n");
    EXPECT_EQ(e[1].text, "Dark pixel value histogram, YUY2 format");
    EXPECT_EQ(e[2].text, "0\t0");
    EXPECT_EQ(e[2 + 5].text, "5\t4");
    EXPECT_EQ(e[2 + 6].text, "6\t3");
    EXPECT_EQ(e[2 + 250].text, "250\t1");
    EXPECT_EQ(e[2 + 255].text, "255\t0");
    EXPECT_EQ(e.back().text, " ");
    for (std::size_t i = 1; i < e.size(); ++i)
        EXPECT_FALSE(e[i].timeStamp) << i;
}

TEST_F(MeasureDarkLevelsTest, RgbLayoutsCountEachChannelAndNeverAlpha)
{
    for (FrameSubtype subtype : {FrameSubtype::RGB24, FrameSubtype::ARGB32}) {
        for (std::int32_t biHeight : {289, -289}) {
            SCOPED_TRACE(testing::Message() << SubtypeName(subtype) << " biHeight " << biHeight);
            messages.Clear();
            TestFrame frame(subtype, 385, biHeight, 16);
            const std::size_t unit = subtype == FrameSubtype::RGB24 ? 3 : 4;
            for (std::int32_t r = 0; r < frame.geometry.height; ++r) {
                for (std::size_t i = 0; i < static_cast<std::size_t>(RowBytes(frame.geometry)); i += unit) {
                    std::uint8_t* p = frame.Row(r) + i;
                    p[0] = 20; // blue
                    p[1] = 30;
                    p[2] = (i / unit) % 2 ? 40 : 120; // red: its mode is bright, 40 is the dark one
                    if (unit == 4)
                        p[3] = 7;
                }
            }
            levels.yuy2 = 9;

            MeasureDarkLevels(frame.bytes.data(), frame.geometry, subtype == FrameSubtype::RGB24, levels, histograms);

            EXPECT_EQ(levels.blue, 20u);
            EXPECT_EQ(levels.green, 30u);
            EXPECT_EQ(levels.red, 40u);
            EXPECT_EQ(levels.yuy2, 9u);
            EXPECT_EQ(histograms.blue[7], 0u);
            EXPECT_EQ(std::accumulate(histograms.green.begin(), histograms.green.end(), 0u), 385u * 289u);
            const auto& e = messages.Entries();
            ASSERT_FALSE(e.empty());
            EXPECT_EQ(e[0].text, "Dark pixel values for RGB frame --  R: 40    G: 30    B: 20 \r\n");
            EXPECT_TRUE(e[0].timeStamp);
            if (subtype == FrameSubtype::ARGB32) {
                EXPECT_EQ(e.size(), 1u);
                continue;
            }
            ASSERT_EQ(e.size(), 1u + 1u + 256u);
            EXPECT_EQ(e[1].text, "Dark pixel value histogram, RGB format");
            EXPECT_EQ(e[2 + 20].text, "20\tR: 0      \tG: 0      \tB: 111265 ");
            EXPECT_EQ(e[2 + 40].text, "40\tR: 55488  \tG: 0      \tB: 0      ");
            EXPECT_FALSE(e.back().timeStamp);
        }
    }
}

TEST_F(MeasureDarkLevelsTest, UnsupportedLayoutIsReportedAndChangesNothing)
{
    FrameGeometry g = MakeFrameGeometry(FrameSubtype::None, 8, 2, 32);
    std::vector<std::uint8_t> frame(64, 3);
    levels = {1, 2, 3, 4};

    MeasureDarkLevels(frame.data(), g, true, levels, histograms);

    EXPECT_EQ(levels.yuy2, 1u);
    EXPECT_EQ(levels.red, 4u);
    ASSERT_EQ(messages.Entries().size(), 1u);
    EXPECT_EQ(messages.Entries()[0].text, "Frame integration not supported for this device format\r\n");
    EXPECT_TRUE(messages.Entries()[0].timeStamp);
}
