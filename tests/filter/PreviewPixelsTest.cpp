#include "filter/PreviewPixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 37; // a tail beyond any vector width, and an odd last pixel
constexpr int kHeight = 24;
constexpr int kStride = (kWidth + 1) / 2 * 4 + 12; // padded rows
using Bytes = std::vector<std::uint8_t>;

// A YUY2 picture that visits black, white, the range ends and random values, chroma included.
Bytes TestPicture()
{
    static const std::uint8_t edges[] = {0, 1, 15, 16, 17, 128, 234, 235, 236, 239, 240, 241, 254, 255};
    Bytes p(static_cast<std::size_t>(kStride) * kHeight);
    std::mt19937 random(7);
    for (std::size_t i = 0; i < p.size(); ++i)
        p[i] = i % 3 == 0 ? edges[(i / 3) % std::size(edges)] : static_cast<std::uint8_t>(random());
    return p;
}

Bytes ToUyvy(Bytes p)
{
    for (std::size_t i = 0; i < p.size(); i += 2)
        std::swap(p[i], p[i + 1]);
    return p;
}

// The definition in floating point: R = Y' + 2(1 - Kr) Cr, B = Y' + 2(1 - Kb) Cb, G from
// Y = Kr R + Kg G + Kb B, with Y' and the chroma stretched from 16..235 and 16..240.
Bytes Exact(const Bytes& yuy2, double kr, double kb, bool fullRange)
{
    Bytes result(static_cast<std::size_t>(kWidth) * 4 * kHeight, 0xFF);
    const auto byte = [](double v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); };
    const double chroma = fullRange ? 1.0 : 255.0 / 224.0;
    for (int row = 0; row < kHeight; ++row)
        for (int x = 0; x < kWidth; ++x) {
            const std::uint8_t* pair = yuy2.data() + static_cast<std::size_t>(row) * kStride + (x & ~1) * 2;
            const double y = fullRange ? pair[(x & 1) * 2] : (pair[(x & 1) * 2] - 16) * 255.0 / 219.0;
            const double r = y + 2 * (1 - kr) * (pair[3] - 128) * chroma;
            const double b = y + 2 * (1 - kb) * (pair[1] - 128) * chroma;
            std::uint8_t* out = result.data() + (static_cast<std::size_t>(row) * kWidth + x) * 4;
            out[0] = byte(b);
            out[1] = byte((y - kr * r - kb * b) / (1 - kr - kb));
            out[2] = byte(r);
        }
    return result;
}

} // namespace

// Each matrix and range the caps can ask for, in both byte orders, against the definition:
// the mean error tells a wrong matrix or range (4 levels and more), the largest error a
// slipped row, pair or byte order. libyuv's 8-bit chroma factors miss saturated colours by
// up to 18 levels (the blue of BT.709 and BT.2020 in video range), 1.2 on average.
TEST(PreviewPixels, PackedYuvConvertsByTheDefinitionForEachMatrixRangeAndByteOrder)
{
    const Bytes yuy2 = TestPicture();
    const std::tuple<YuvColours, double, double> cases[] = {
        {{YuvMatrix::Bt601, false}, 0.299, 0.114},   {{YuvMatrix::Bt601, true}, 0.299, 0.114},
        {{YuvMatrix::Bt709, false}, 0.2126, 0.0722}, {{YuvMatrix::Bt709, true}, 0.2126, 0.0722},
        {{YuvMatrix::Bt2020, false}, 0.2627, 0.0593}};
    for (const auto& [colours, kr, kb] : cases) {
        const Bytes exact = Exact(yuy2, kr, kb, colours.fullRange);
        for (const bool uyvy : {false, true}) {
            SCOPED_TRACE(testing::Message() << kr << (colours.fullRange ? " full range" : "") << (uyvy ? " UYVY" : " YUY2"));
            Bytes out(exact.size(), 0);
            ConvertPacked422ToRgb32(uyvy, (uyvy ? ToUyvy(yuy2) : yuy2).data(), kStride, out.data(), kWidth * 4, kWidth,
                                    kHeight, colours);
            int largest = 0;
            double sum = 0;
            for (std::size_t i = 0; i < out.size(); ++i) {
                const int error = std::abs(out[i] - exact[i]);
                ASSERT_TRUE(i % 4 != 3 || out[i] == 0xFF) << "alpha at " << i;
                largest = std::max(largest, error);
                sum += error;
            }
            EXPECT_LE(largest, 18);
            EXPECT_LE(sum / static_cast<double>(out.size() / 4 * 3), 1.5);
        }
    }
}
