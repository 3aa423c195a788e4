#include "filter/Integration.h"

#include "FilterTestSupport.h"

#include <gtest/gtest.h>

// Whole odd-sized frames with padded rows: the run path and the row tail must agree,
// chroma and alpha stay, padding stays untouched.
TEST(CopyOrIntegrate, AddFormAddsSamplesAboveTheDarkLevelSaturatingAt255)
{
    struct Case {
        const char* what;
        FrameSubtype subtype;
        DarkLevels levels;
        std::vector<std::uint8_t> buffer, sample, result;
    };
    const Case cases[] = {
        {"YUY2 250 + 10 saturates", FrameSubtype::YUY2, {10, 0, 0, 0}, {250, 128, 100, 128}, {20, 255, 10, 255},
         {255, 128, 100, 128}},
        {"YUY2 at and below the level add nothing", FrameSubtype::YUY2, {10, 0, 0, 0}, {100, 50, 100, 60},
         {15, 200, 9, 200}, {105, 50, 100, 60}},
        {"UYVY luma at odd bytes", FrameSubtype::UYVY, {10, 0, 0, 0}, {128, 250, 50, 100}, {255, 20, 200, 9},
         {128, 255, 50, 100}},
        {"RGB24 each channel its own level", FrameSubtype::RGB24, {0, 5, 6, 7}, {250, 10, 20}, {15, 6, 100},
         {255, 10, 113}},
        {"ARGB32 alpha stays", FrameSubtype::ARGB32, {0, 5, 6, 7}, {1, 2, 3, 40}, {5, 7, 9, 200}, {1, 3, 5, 40}},
        {"ARGB32 255 + 255", FrameSubtype::ARGB32, {}, {255, 255, 255, 0}, {255, 255, 255, 255}, {255, 255, 255, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestFrame buffer(c.subtype, 385, 289, 20), sample = buffer, expected = buffer;
        buffer.FillUnits(c.buffer);
        sample.FillUnits(c.sample);
        expected.FillUnits(c.result);
        CopyOrIntegrate(buffer.bytes.data(), sample.bytes.data(), sample.bytes.size(), CopyForm::Add,
                        buffer.geometry, MakeAddLevels(c.subtype, c.levels));
        EXPECT_EQ(buffer.bytes, expected.bytes);
    }
}
