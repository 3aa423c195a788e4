#include "filter/Saturation.h"

#include "FilterTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

// Noisy odd-sized frames with padded rows against the rule read unit by unit, in place and
// copied: catches stride slips, wrongly skipped runs and paint past the row.
TEST(MarkKernel, WholeOddSizedFramesWithPaddedStrides)
{
    // 256 has the low byte 0, which every unit reaches, even in a black frame; 129 and 1
    // sit just above a power of two, where a quick test on high bits must not skip a unit.
    // Extra stride, threshold, largest picture byte.
    const std::tuple<std::int32_t, std::int32_t, std::uint8_t> cases[] = {{0, 230, 255}, {4, 230, 255}, {36, 230, 255},
                                                                         {4, 256, 0},   {36, 129, 255}, {0, 1, 255}};
    for (FrameSubtype subtype : kAllSubtypes) {
        for (const auto& [extra, threshold, maxValue] : cases) {
            SCOPED_TRACE(testing::Message() << SubtypeName(subtype) << " " << extra << " " << threshold);
            TestFrame frame(subtype, 385, 289, extra);
            frame.Fill(7, maxValue);
            TestFrame expected = frame;
            const std::vector<std::uint8_t> unmarked = frame.bytes;
            const auto t = static_cast<std::uint8_t>(threshold);
            const std::int32_t unit = subtype == FrameSubtype::RGB24 ? 3 : 4;
            for (std::int32_t r = 0; r < frame.geometry.height; ++r) {
                for (std::uint8_t* p = expected.Row(r); p < expected.Row(r) + RowBytes(frame.geometry); p += unit) {
                    const bool hit = subtype == FrameSubtype::YUY2    ? p[0] >= t || p[2] >= t
                                     : subtype == FrameSubtype::UYVY  ? p[1] >= t || p[3] >= t
                                     : subtype == FrameSubtype::RGB24 ? std::max({p[0], p[1], p[2]}) >= t
                                                                      : p[0] + p[1] + p[2] >= 3 * t;
                    if (hit && subtype == FrameSubtype::YUY2)
                        std::copy_n("\x6A\xCA\x6A\xDE", 4, p);
                    else if (hit && subtype == FrameSubtype::UYVY)
                        std::copy_n("\xCA\x6A\xDE\x6A", 4, p);
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
