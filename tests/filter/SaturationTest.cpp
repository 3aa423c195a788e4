#include "filter/Saturation.h"

#include "FilterTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(MarkKernel, UnitsAtTheThresholdTakeTheMarkerColour)
{
    struct Case {
        const char* what;
        FrameSubtype subtype;
        std::uint8_t threshold;
        std::vector<std::uint8_t> before, after;
    };
    const Case cases[] = {
        {"YUY2 Y0 reaches it: both pixels", FrameSubtype::YUY2, 200, {200, 128, 10, 128}, {0x6A, 0xCA, 0x6A, 0xDE}},
        {"YUY2 Y1 reaches it", FrameSubtype::YUY2, 200, {10, 128, 201, 128}, {0x6A, 0xCA, 0x6A, 0xDE}},
        {"YUY2 chroma is not brightness", FrameSubtype::YUY2, 200, {199, 255, 199, 255}, {199, 255, 199, 255}},
        {"RGB24 any channel", FrameSubtype::RGB24, 100, {255, 0, 0}, {0xE1, 0, 0xE1}},
        {"RGB24 all below", FrameSubtype::RGB24, 100, {99, 99, 99}, {99, 99, 99}},
        {"ARGB32 sums: 255 < 300", FrameSubtype::ARGB32, 100, {255, 0, 0, 7}, {255, 0, 0, 7}},
        {"ARGB32 sum 300, alpha kept", FrameSubtype::ARGB32, 100, {255, 45, 0, 9}, {0xE1, 0, 0xE1, 9}},
        {"ARGB32 alpha not summed", FrameSubtype::ARGB32, 50, {0, 0, 0, 255}, {0, 0, 0, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestFrame frame(c.subtype, 385, 3, 12), expected(c.subtype, 385, 3, 12);
        frame.Fill(1, 0);
        expected.Fill(1, 0);
        // First in the row, inside a later run of units and last in the row.
        const auto unit = static_cast<std::int32_t>(c.before.size());
        for (std::int32_t at : {0, 80 * unit, RowBytes(frame.geometry) - unit}) {
            std::copy(c.before.begin(), c.before.end(), frame.Row(1) + at);
            std::copy(c.after.begin(), c.after.end(), expected.Row(1) + at);
        }
        MarkKernelFor(c.subtype)(frame.bytes.data(), frame.bytes.data(), frame.geometry, c.threshold);
        EXPECT_EQ(frame.bytes, expected.bytes);
    }
}

// Noisy odd-sized frames with padded rows against the rule read unit by unit, in place and
// copied: catches stride slips, wrongly skipped runs and paint past the row.
TEST(MarkKernel, WholeOddSizedFramesWithPaddedStrides)
{
    // 256 has the low byte 0, which every unit reaches, even in a black frame; 129 and 1
    // sit just above a power of two, where a quick test on high bits must not skip a unit.
    struct Case {
        std::int32_t extra, threshold;
        std::uint8_t maxValue;
    };
    const Case cases[] = {{0, 230, 255}, {4, 230, 255}, {36, 230, 255}, {4, 256, 0}, {36, 129, 255}, {0, 1, 255}};
    for (FrameSubtype subtype : kAllSubtypes) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << SubtypeName(subtype) << " " << c.extra << " " << c.threshold);
            TestFrame frame(subtype, 385, 289, c.extra);
            frame.Fill(7, c.maxValue);
            TestFrame expected = frame;
            const std::vector<std::uint8_t> unmarked = frame.bytes;
            const auto t = static_cast<std::uint8_t>(c.threshold);
            const std::int32_t unit = subtype == FrameSubtype::RGB24 ? 3 : 4;
            for (std::int32_t r = 0; r < frame.geometry.height; ++r) {
                for (std::uint8_t* p = expected.Row(r); p < expected.Row(r) + RowBytes(frame.geometry); p += unit) {
                    const bool hit = subtype == FrameSubtype::YUY2    ? p[0] >= t || p[2] >= t
                                     : subtype == FrameSubtype::RGB24 ? std::max({p[0], p[1], p[2]}) >= t
                                                                      : p[0] + p[1] + p[2] >= 3 * t;
                    if (hit && subtype == FrameSubtype::YUY2)
                        std::copy_n("\x6A\xCA\x6A\xDE", 4, p);
                    else if (hit)
                        std::copy_n("\xE1\x00\xE1", 3, p);
                }
            }
            EXPECT_NE(expected.bytes, unmarked); // the case does paint

            std::vector<std::uint8_t> copied(unmarked.size());
            MarkKernelFor(subtype)(copied.data(), unmarked.data(), frame.geometry, t);
            EXPECT_EQ(copied, expected.bytes);
            MarkKernelFor(subtype)(frame.bytes.data(), frame.bytes.data(), frame.geometry, t);
            EXPECT_EQ(frame.bytes, expected.bytes);
        }
    }
}
