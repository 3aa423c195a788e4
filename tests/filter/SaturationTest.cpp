#include "filter/Saturation.h"

#include "FrameTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using Unit = std::vector<std::uint8_t>;

std::size_t UnitBytes(FrameSubtype s)
{
    return s == FrameSubtype::RGB24 ? 3 : 4;
}

// A unit at the start of a row, inside a later vector run and last in the row (past the
// runs), so both the run path and the row's tail are reached.
std::vector<std::size_t> UnitOffsets(const FrameGeometry& g)
{
    const std::size_t unit = UnitBytes(g.subtype);
    const auto rowBytes = static_cast<std::size_t>(RowBytes(g));
    return {0, 5 * unit * 16, rowBytes - unit};
}

} // namespace

TEST(MarkSaturatedPixels, UnitsAtTheThresholdArePaintedInTheMarkerColour)
{
    struct Case {
        const char* what;
        FrameSubtype subtype;
        std::int32_t threshold;
        Unit before, after;
    };
    const Case cases[] = {
        {"YUY2 Y0 reaches it: both pixels", FrameSubtype::YUY2, 200, {200, 128, 10, 128}, {0x6A, 0xCA, 0x6A, 0xDE}},
        {"YUY2 Y1 reaches it", FrameSubtype::YUY2, 200, {10, 128, 201, 128}, {0x6A, 0xCA, 0x6A, 0xDE}},
        {"YUY2 chroma is not brightness", FrameSubtype::YUY2, 200, {199, 255, 199, 255}, {199, 255, 199, 255}},
        {"RGB24 any channel", FrameSubtype::RGB24, 100, {255, 0, 0}, {0xE1, 0, 0xE1}},
        {"RGB24 red at it", FrameSubtype::RGB24, 100, {0, 0, 100}, {0xE1, 0, 0xE1}},
        {"RGB24 all below", FrameSubtype::RGB24, 100, {99, 99, 99}, {99, 99, 99}},
        {"ARGB32 sums: 255 < 300", FrameSubtype::ARGB32, 100, {255, 0, 0, 7}, {255, 0, 0, 7}},
        {"ARGB32 sum 300 keeps alpha", FrameSubtype::ARGB32, 100, {255, 45, 0, 9}, {0xE1, 0, 0xE1, 9}},
        {"ARGB32 alpha not summed", FrameSubtype::ARGB32, 50, {0, 0, 0, 255}, {0, 0, 0, 255}},
        {"low byte of 456 is 200", FrameSubtype::YUY2, 456, {200, 0, 0, 0}, {0x6A, 0xCA, 0x6A, 0xDE}},
        {"low byte of 456 is 200, 199 stays", FrameSubtype::RGB24, 456, {199, 0, 0}, {199, 0, 0}},
        {"negative marks nothing", FrameSubtype::RGB24, -1, {255, 255, 255}, {255, 255, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestFrame frame(c.subtype, 385, 3, 12);
        frame.FillPicture(std::uint8_t{0});
        for (std::size_t offset : UnitOffsets(frame.geometry))
            std::copy(c.before.begin(), c.before.end(), frame.Row(1) + offset);

        MarkSaturatedPixels(frame.bytes.data(), frame.geometry, c.threshold);

        TestFrame expected(c.subtype, 385, 3, 12);
        expected.FillPicture(std::uint8_t{0});
        for (std::size_t offset : UnitOffsets(expected.geometry))
            std::copy(c.after.begin(), c.after.end(), expected.Row(1) + offset);
        EXPECT_EQ(frame.bytes, expected.bytes);
    }
}

// Every unit of a noisy odd-sized frame with padded rows, against a unit-by-unit reading
// of the rule: catches stride slips, skipped runs and paint past the row.
TEST(MarkSaturatedPixels, WholeOddSizedFramesWithPaddedStrides)
{
    for (FrameSubtype subtype : kAllSubtypes) {
        // 256 has the low byte 0, which every unit reaches, even in a black frame; 129 and 1
        // sit just above a power of two, where a quick test on high bits must not skip a unit.
        struct Case {
            std::int32_t extra, threshold;
            std::uint8_t maxValue;
        };
        for (auto [extra, threshold, maxValue] :
             {Case{0, 230, 255}, {4, 230, 255}, {36, 230, 255}, {4, 256, 0}, {36, 129, 255}, {0, 1, 255}}) {
            SCOPED_TRACE(testing::Message() << SubtypeName(subtype) << " extra stride " << extra << " threshold "
                                            << threshold);
            TestFrame frame(subtype, 385, 289, extra);
            frame.FillPicture(7u, maxValue);
            TestFrame expected = frame;
            const auto t = static_cast<std::uint8_t>(threshold & 0xFF);
            const std::size_t unit = UnitBytes(subtype);
            std::size_t painted = 0;
            for (std::int32_t r = 0; r < frame.geometry.height; ++r) {
                for (std::size_t i = 0; i < static_cast<std::size_t>(RowBytes(frame.geometry)); i += unit) {
                    std::uint8_t* p = expected.Row(r) + i;
                    bool hit = false;
                    if (subtype == FrameSubtype::YUY2)
                        hit = p[0] >= t || p[2] >= t;
                    else if (subtype == FrameSubtype::RGB24)
                        hit = p[0] >= t || p[1] >= t || p[2] >= t;
                    else
                        hit = p[0] + p[1] + p[2] >= 3 * t;
                    if (!hit)
                        continue;
                    ++painted;
                    if (subtype == FrameSubtype::YUY2) {
                        const std::uint8_t marker[] = {0x6A, 0xCA, 0x6A, 0xDE};
                        std::copy(std::begin(marker), std::end(marker), p);
                    } else {
                        p[0] = 0xE1;
                        p[1] = 0;
                        p[2] = 0xE1;
                    }
                }
            }
            ASSERT_GT(painted, 100u);

            MarkSaturatedPixels(frame.bytes.data(), frame.geometry, threshold);
            EXPECT_EQ(frame.bytes, expected.bytes);
            EXPECT_TRUE(frame.PaddingIntact());
        }
    }
}
