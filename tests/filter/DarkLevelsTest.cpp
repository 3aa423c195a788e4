#include "filter/DarkLevels.h"

#include "FilterTestSupport.h"

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
        {"nothing below 75", {{75, 1000}}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Histogram h{};
        for (auto [value, count] : c.counts)
            h[value] = count;
        EXPECT_EQ(DarkLevelOf(h), c.level);
    }
}

TEST(MeasureDarkLevels, Yuy2CountsBothLumaBytesOfEveryPairAndListsTheHistogram)
{
    CapturedMessages messages;
    TestFrame frame(FrameSubtype::YUY2, 385, 289, 8);
    frame.FillUnits({13, 12, 90, 12}); // chroma 12 is the commonest byte but not luma
    DarkLevels levels{0, 33, 33, 33};
    DarkHistograms h;

    MeasureDarkLevels(frame.bytes.data(), frame.geometry, true, levels, h, messages);

    EXPECT_EQ(levels.yuy2, 13u);
    EXPECT_EQ(levels.blue, 33u);
    EXPECT_EQ(h.luma[13], 193u * 289u); // 193 pairs a row, padding not counted
    EXPECT_EQ(std::accumulate(h.luma.begin(), h.luma.end(), 0u), 2u * 193u * 289u);
    const auto& m = messages.entries;
    ASSERT_EQ(m.size(), 1u + 1u + 256u + 1u);
    EXPECT_EQ(m[0].text, "Dark pixel value for YUY2 frame: 13\r\n");
    EXPECT_TRUE(m[0].timeStamp);
    EXPECT_EQ(m[1].text, "Dark pixel value histogram, YUY2 format");
    EXPECT_EQ(m[2].text, "0\t0");
    EXPECT_EQ(m[2 + 90].text, "90\t55777");
    EXPECT_EQ(m.back().text, " ");
    EXPECT_FALSE(m.back().timeStamp);
}

TEST(MeasureDarkLevels, RgbLayoutsCountEachChannelNeverAlpha)
{
    for (FrameSubtype subtype : {FrameSubtype::RGB24, FrameSubtype::ARGB32}) {
        SCOPED_TRACE(SubtypeName(subtype));
        CapturedMessages messages;
        TestFrame frame(subtype, 385, 289, 16);
        frame.FillUnits(subtype == FrameSubtype::RGB24 ? std::vector<std::uint8_t>{20, 30, 120} : std::vector<std::uint8_t>{20, 30, 120, 7}); // alpha darkest
        for (std::int32_t r = 0; r < frame.geometry.height; r += 2)
            frame.Row(r)[2] = 40; // the one dark red; the commoner 120 is too bright
        DarkLevels levels{9, 0, 0, 0};
        DarkHistograms h;

        MeasureDarkLevels(frame.bytes.data(), frame.geometry, subtype == FrameSubtype::RGB24, levels, h, messages);

        EXPECT_EQ(std::tuple(levels.blue, levels.green, levels.red, levels.yuy2), std::tuple(20u, 30u, 40u, 9u));
        EXPECT_EQ(h.blue[7], 0u);
        const auto& m = messages.entries;
        ASSERT_EQ(m.size(), subtype == FrameSubtype::RGB24 ? 258u : 1u);
        EXPECT_EQ(m[0].text, "Dark pixel values for RGB frame --  R: 40    G: 30    B: 20 \r\n");
        EXPECT_TRUE(m[0].timeStamp);
        if (subtype == FrameSubtype::RGB24) {
            EXPECT_EQ(m[1].text, "Dark pixel value histogram, RGB format");
            EXPECT_EQ(m[2 + 20].text, "20\tR: 0      \tG: 0      \tB: 111265 ");
            EXPECT_EQ(m[2 + 40].text, "40\tR: 145    \tG: 0      \tB: 0      ");
        }
    }
}

TEST(MeasureDarkLevels, UnsupportedLayoutIsReportedAndChangesNothing)
{
    CapturedMessages messages;
    std::vector<std::uint8_t> frame(64, 3);
    DarkLevels levels{1, 2, 3, 4};
    DarkHistograms h;
    MeasureDarkLevels(frame.data(), MakeFrameGeometry(FrameSubtype::None, 8, 2, 32), true, levels, h, messages);
    EXPECT_EQ(std::tuple(levels.yuy2, levels.red), std::tuple(1u, 4u));
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_EQ(messages.entries[0].text, "Frame integration not supported for this device format\r\n");
}
