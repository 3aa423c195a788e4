#include "filter/PreviewPixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 38; // four steps of eight and a tail of six
constexpr int kHeight = 24;
using Bytes = std::vector<std::uint8_t>;

// A picture that visits black, white, the range ends and random values, chroma included.
Bytes TestPicture(int stride)
{
    static const std::uint8_t edges[] = {0, 1, 15, 16, 17, 128, 234, 235, 236, 239, 240, 241, 254, 255};
    Bytes p(static_cast<std::size_t>(stride) * kHeight);
    std::mt19937 random(7);
    for (std::size_t i = 0; i < p.size(); ++i)
        p[i] = i % 3 == 0 ? edges[(i / 3) % std::size(edges)] : static_cast<std::uint8_t>(random());
    return p;
}

// The definition in floating point: R = Y' + 2(1 - Kr) Cr, B = Y' + 2(1 - Kb) Cb, G from
// Y = Kr R + Kg G + Kb B, with Y' and the chroma stretched from 16..235 and 16..240.
Bytes Exact(const Bytes& yuy2, int stride, double kr, double kb, bool fullRange)
{
    Bytes result(static_cast<std::size_t>(kWidth) * 4 * kHeight, 0xFF);
    const auto byte = [](double v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); };
    const double chroma = fullRange ? 1.0 : 255.0 / 224.0;
    for (int row = 0; row < kHeight; ++row)
        for (int x = 0; x < kWidth; ++x) {
            const std::uint8_t* pair = yuy2.data() + static_cast<std::size_t>(row) * stride + (x & ~1) * 2;
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

TEST(PreviewPixels, Yuy2ConvertsByTheDefinitionForEachMatrixAndRange)
{
    const int stride = kWidth * 2;
    const Bytes yuy2 = TestPicture(stride);
    const std::tuple<double, double, bool> cases[] = {{0.299, 0.114, false}, {0.2126, 0.0722, false}, {0.299, 0.114, true}};
    for (const auto& [kr, kb, fullRange] : cases) {
        SCOPED_TRACE(testing::Message() << kr << (fullRange ? " full range" : ""));
        Bytes ours(static_cast<std::size_t>(kWidth) * 4 * kHeight, 0);
        ConvertYuy2ToRgb32(yuy2.data(), stride, ours.data(), kWidth * 4, kWidth, kHeight, MakeYuvToRgb(kr, kb, fullRange));
        const Bytes exact = Exact(yuy2, stride, kr, kb, fullRange);
        for (std::size_t i = 0; i < ours.size(); ++i)
            ASSERT_LE(std::abs(ours[i] - exact[i]), i % 4 == 3 ? 0 : 1) << "byte " << i;
    }
}
