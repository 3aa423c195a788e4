// The preview's YUY2 to 32-bit RGB conversion, against its definition and GStreamer's converter.
#include "filter/PreviewPixels.h"

#include <gst/gst.h>
#include <gst/video/video.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 38; // four steps of eight and a tail of six
constexpr int kHeight = 24;

// A picture that visits black, white, the range ends and random values, chroma included.
std::vector<std::uint8_t> TestPicture(int stride)
{
    static const std::uint8_t edges[] = {0, 1, 15, 16, 17, 128, 234, 235, 236, 239, 240, 241, 254, 255};
    std::vector<std::uint8_t> p(static_cast<std::size_t>(stride) * kHeight);
    std::mt19937 random(7);
    for (std::size_t i = 0; i < p.size(); ++i)
        p[i] = i % 3 == 0 ? edges[(i / 3) % std::size(edges)] : static_cast<std::uint8_t>(random());
    return p;
}

// GStreamer's conversion of the picture, chroma taken per pair as ours does.
std::vector<std::uint8_t> Reference(const std::vector<std::uint8_t>& yuy2, const char* colorimetry)
{
    GstVideoInfo in;
    GstVideoInfo out;
    gst_video_info_set_format(&in, GST_VIDEO_FORMAT_YUY2, kWidth, kHeight);
    gst_video_info_set_format(&out, GST_VIDEO_FORMAT_BGRx, kWidth, kHeight);
    EXPECT_TRUE(gst_video_colorimetry_from_string(&in.colorimetry, colorimetry));
    out.colorimetry.primaries = in.colorimetry.primaries; // no gamut mapping, only the matrix
    out.colorimetry.transfer = in.colorimetry.transfer;
    GstStructure* config = gst_structure_new("config", GST_VIDEO_CONVERTER_OPT_CHROMA_MODE,
                                             GST_TYPE_VIDEO_CHROMA_MODE, GST_VIDEO_CHROMA_MODE_NONE,
                                             GST_VIDEO_CONVERTER_OPT_DITHER_METHOD, GST_TYPE_VIDEO_DITHER_METHOD,
                                             GST_VIDEO_DITHER_NONE, nullptr);
    GstVideoConverter* converter = gst_video_converter_new(&in, &out, config);
    std::vector<std::uint8_t> result(static_cast<std::size_t>(GST_VIDEO_INFO_SIZE(&out)));
    GstBuffer* src = gst_buffer_new_wrapped_full(GST_MEMORY_FLAG_READONLY, const_cast<std::uint8_t*>(yuy2.data()),
                                                 yuy2.size(), 0, yuy2.size(), nullptr, nullptr);
    GstBuffer* dst = gst_buffer_new_wrapped_full(GstMemoryFlags(0), result.data(), result.size(), 0, result.size(),
                                                 nullptr, nullptr);
    GstVideoFrame inFrame;
    GstVideoFrame outFrame;
    EXPECT_TRUE(gst_video_frame_map(&inFrame, &in, src, GST_MAP_READ));
    EXPECT_TRUE(gst_video_frame_map(&outFrame, &out, dst, GST_MAP_WRITE));
    gst_video_converter_frame(converter, &inFrame, &outFrame);
    gst_video_frame_unmap(&outFrame);
    gst_video_frame_unmap(&inFrame);
    gst_buffer_unref(dst);
    gst_buffer_unref(src);
    gst_video_converter_free(converter);
    return result;
}

// The definition in floating point: R = Y' + 2(1 - Kr) Cr, B = Y' + 2(1 - Kb) Cb, G from
// Y = Kr R + Kg G + Kb B, with Y' and the chroma stretched from 16..235 and 16..240.
std::vector<std::uint8_t> Exact(const std::vector<std::uint8_t>& yuy2, int stride, double kr, double kb, bool fullRange)
{
    std::vector<std::uint8_t> result(static_cast<std::size_t>(kWidth) * 4 * kHeight);
    const double kg = 1 - kr - kb;
    const auto byte = [](double v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); };
    for (int row = 0; row < kHeight; ++row)
        for (int x = 0; x < kWidth; ++x) {
            const std::uint8_t* pair = yuy2.data() + static_cast<std::size_t>(row) * stride + (x & ~1) * 2;
            const double y = fullRange ? pair[(x & 1) * 2] : (pair[(x & 1) * 2] - 16) * 255.0 / 219.0;
            const double cb = (pair[1] - 128) * (fullRange ? 1.0 : 255.0 / 224.0);
            const double cr = (pair[3] - 128) * (fullRange ? 1.0 : 255.0 / 224.0);
            const double r = y + 2 * (1 - kr) * cr;
            const double b = y + 2 * (1 - kb) * cb;
            const double g = (y - kr * r - kb * b) / kg;
            std::uint8_t* out = result.data() + (static_cast<std::size_t>(row) * kWidth + x) * 4;
            out[0] = byte(b);
            out[1] = byte(g);
            out[2] = byte(r);
        }
    return result;
}

int LargestDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b)
{
    int largest = 0;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (i % 4 != 3) // the fourth byte: ours is 0xFF, GStreamer leaves it open
            largest = std::max(largest, std::abs(a[i] - b[i]));
    return largest;
}

} // namespace

TEST(PreviewPixels, Yuy2ConvertsByTheDefinitionForEachMatrixAndRange)
{
    gst_init(nullptr, nullptr);
    const int stride = kWidth * 2;
    const std::vector<std::uint8_t> yuy2 = TestPicture(stride);
    struct Case {
        const char* colorimetry;
        double kr, kb;
        bool fullRange;
    };
    for (const Case& c : {Case{"bt601", 0.299, 0.114, false}, Case{"bt709", 0.2126, 0.0722, false},
                          Case{"1:4:0:0", 0.299, 0.114, true}}) {
        SCOPED_TRACE(c.colorimetry);
        std::vector<std::uint8_t> ours(static_cast<std::size_t>(kWidth) * 4 * kHeight, 0);
        ConvertYuy2ToRgb32(yuy2.data(), stride, ours.data(), kWidth * 4, kWidth, kHeight,
                           MakeYuvToRgb(c.kr, c.kb, c.fullRange));
        EXPECT_LE(LargestDifference(ours, Exact(yuy2, stride, c.kr, c.kb, c.fullRange)), 1);
        // GStreamer's 8-bit path is a few levels less precise; a wrong matrix or range
        // would differ by tens.
        EXPECT_LE(LargestDifference(ours, Reference(yuy2, c.colorimetry)), 8);
        for (std::size_t i = 3; i < ours.size(); i += 4)
            ASSERT_EQ(ours[i], 0xFF);
    }
}

TEST(PreviewPixels, ARectangleIsTheSameColumnsOfTheWholePictureAndRgb32IsCopied)
{
    const int stride = kWidth * 2 + 4; // rows padded, as buffers often are
    const std::vector<std::uint8_t> yuy2 = TestPicture(stride);
    PreviewFrame frame;
    frame.pixels = yuy2.data();
    frame.layout = PreviewFrame::Layout::Yuy2;
    frame.yuv = MakeYuvToRgb(0.299, 0.114, false);
    frame.width = kWidth;
    frame.height = kHeight;
    frame.stride = stride;
    std::vector<std::uint8_t> whole(static_cast<std::size_t>(kWidth) * 4 * kHeight);
    frame.ToRgb32(whole.data(), kWidth * 4, 0, 0, kWidth, kHeight);

    // Odd and even starts and widths: the second pixel of a pair keeps its pair's chroma.
    for (const int x : {0, 1, 5, 8, 13}) {
        for (const int w : {1, 2, 9, kWidth - x}) {
            SCOPED_TRACE(testing::Message() << "x " << x << " width " << w);
            std::vector<std::uint8_t> part(static_cast<std::size_t>(w) * 4 * 3, 0);
            frame.ToRgb32(part.data(), w * 4, x, 2, w, 3);
            for (int row = 0; row < 3; ++row)
                ASSERT_TRUE(std::equal(part.begin() + row * w * 4, part.begin() + (row + 1) * w * 4,
                                       whole.begin() + ((row + 2) * kWidth + x) * 4));
        }
    }

    PreviewFrame rgb;
    rgb.pixels = whole.data();
    rgb.width = kWidth;
    rgb.height = kHeight;
    rgb.stride = kWidth * 4;
    std::vector<std::uint8_t> copy(4 * 4 * 2);
    rgb.ToRgb32(copy.data(), 16, 3, 5, 4, 2);
    EXPECT_TRUE(std::equal(copy.begin(), copy.begin() + 16, whole.begin() + (5 * kWidth + 3) * 4));
    EXPECT_TRUE(std::equal(copy.begin() + 16, copy.end(), whole.begin() + (6 * kWidth + 3) * 4));
}
