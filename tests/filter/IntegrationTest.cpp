#include "filter/Integration.h"

#include "FrameTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Unit = std::vector<std::uint8_t>;

void FillUnits(TestFrame& frame, const Unit& unit)
{
    for (std::int32_t r = 0; r < frame.geometry.height; ++r)
        for (std::size_t i = 0; i < static_cast<std::size_t>(RowBytes(frame.geometry)); i += unit.size())
            std::copy(unit.begin(), unit.end(), frame.Row(r) + i);
}

} // namespace

// Every byte of odd-sized frames with padded rows, in both row orders: the run path and
// the row tail must agree, chroma and alpha must stay, padding must stay untouched.
TEST(CopyOrIntegrate, AddFormAddsSamplesAboveTheDarkLevelSaturatingAt255)
{
    struct Case {
        const char* what;
        FrameSubtype subtype;
        DarkLevels levels;
        Unit buffer, sample, result;
    };
    const Case cases[] = {
        {"YUY2 250 + 10 saturates", FrameSubtype::YUY2, {10, 0, 0, 0}, {250, 128, 100, 128}, {20, 255, 10, 255},
         {255, 128, 100, 128}},
        {"YUY2 at and below the level add nothing", FrameSubtype::YUY2, {10, 0, 0, 0}, {100, 50, 100, 60},
         {15, 200, 9, 200}, {105, 50, 100, 60}},
        {"YUY2 level 0", FrameSubtype::YUY2, {0, 9, 9, 9}, {0, 1, 254, 2}, {1, 0, 1, 0}, {1, 1, 255, 2}},
        {"RGB24 each channel its own level", FrameSubtype::RGB24, {0, 5, 6, 7}, {250, 10, 20}, {15, 6, 100},
         {255, 10, 113}},
        {"ARGB32 alpha stays", FrameSubtype::ARGB32, {0, 5, 6, 7}, {1, 2, 3, 40}, {5, 7, 9, 200}, {1, 3, 5, 40}},
        {"ARGB32 255 + 255", FrameSubtype::ARGB32, {0, 0, 0, 0}, {255, 255, 255, 0}, {255, 255, 255, 255},
         {255, 255, 255, 0}},
    };
    for (const Case& c : cases) {
        for (std::int32_t biHeight : {289, -289}) {
            SCOPED_TRACE(testing::Message() << c.what << ", biHeight " << biHeight);
            TestFrame buffer(c.subtype, 385, biHeight, 20), sample(c.subtype, 385, biHeight, 20);
            TestFrame expected(c.subtype, 385, biHeight, 20);
            FillUnits(buffer, c.buffer);
            FillUnits(sample, c.sample);
            FillUnits(expected, c.result);

            CopyOrIntegrate(buffer.bytes.data(), sample.bytes.data(), sample.bytes.size(), CopyForm::Add,
                            buffer.geometry, MakeAddLevels(c.subtype, c.levels));
            EXPECT_EQ(buffer.bytes, expected.bytes);
        }
    }
}

// Bottom-up frames come out top row first in every form; top-down ones as they are.
TEST(CopyOrIntegrate, RowOrderInEveryFormAndLayout)
{
    for (FrameSubtype subtype : kAllSubtypes) {
        for (std::int32_t biHeight : {289, -289}) {
            for (CopyForm form : {CopyForm::Copy, CopyForm::StartAnew, CopyForm::Add}) {
                SCOPED_TRACE(testing::Message() << SubtypeName(subtype) << " biHeight " << biHeight << " form "
                                                << static_cast<int>(form));
                TestFrame src(subtype, 385, biHeight, 8);
                src.FillPicture(11u, 200);
                TestFrame dst(subtype, 385, biHeight, 8);
                if (form == CopyForm::Add)
                    dst.FillPicture(std::uint8_t{0});
                else
                    dst.FillPicture(std::uint8_t{99}); // whatever was there is replaced

                // Zero levels: adding onto zeros gives the luma (or colour) of the sample.
                CopyOrIntegrate(dst.bytes.data(), src.bytes.data(), src.bytes.size(), form, src.geometry,
                                MakeAddLevels(subtype, DarkLevels{}));

                const std::int32_t h = src.geometry.height;
                const auto rowBytes = static_cast<std::size_t>(RowBytes(src.geometry));
                const bool reversed = !src.geometry.rowsTopDown;
                EXPECT_EQ(reversed, biHeight > 0 && subtype != FrameSubtype::YUY2);
                for (std::int32_t r = 0; r < h; ++r) {
                    const std::uint8_t* in = src.Row(r);
                    const std::uint8_t* out = dst.Row(reversed ? h - 1 - r : r);
                    for (std::size_t i = 0; i < rowBytes; ++i) {
                        const bool added = form != CopyForm::Add || subtype == FrameSubtype::RGB24 ||
                                           (subtype == FrameSubtype::YUY2 ? i % 2 == 0 : i % 4 != 3);
                        ASSERT_EQ(out[i], added ? in[i] : 0) << "row " << r << " byte " << i;
                    }
                }
                EXPECT_TRUE(dst.PaddingIntact());
            }
        }
    }
}
