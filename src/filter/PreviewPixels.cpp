#include "filter/PreviewPixels.h"

#include <cstddef>
#include <cstring>

#include <libyuv/convert_argb.h>
#include <libyuv/cpu_id.h>
#include <libyuv/row.h>

namespace {

// libyuv's whole-picture converters for packed 4:2:2 know one matrix only; its row
// kernels take any of its constant sets. They are picked as its own converters pick them:
// the widest the processor has, in the form that takes any width.
using RowKernel = void (*)(const std::uint8_t*, std::uint8_t*, const libyuv::YuvConstants*, int);
struct RowKernels {
    RowKernel yuy2 = libyuv::YUY2ToARGBRow_C;
    RowKernel uyvy = libyuv::UYVYToARGBRow_C;
};

RowKernels PickRowKernels()
{
    RowKernels k;
#if defined(HAS_YUY2TOARGBROW_SSSE3) && defined(HAS_UYVYTOARGBROW_SSSE3)
    if (libyuv::TestCpuFlag(libyuv::kCpuHasSSSE3))
        k = {libyuv::YUY2ToARGBRow_Any_SSSE3, libyuv::UYVYToARGBRow_Any_SSSE3};
#endif
#if defined(HAS_YUY2TOARGBROW_AVX2) && defined(HAS_UYVYTOARGBROW_AVX2)
    if (libyuv::TestCpuFlag(libyuv::kCpuHasAVX2))
        k = {libyuv::YUY2ToARGBRow_Any_AVX2, libyuv::UYVYToARGBRow_Any_AVX2};
#endif
#if defined(HAS_YUY2TOARGBROW_NEON) && defined(HAS_UYVYTOARGBROW_NEON)
    if (libyuv::TestCpuFlag(libyuv::kCpuHasNEON))
        k = {libyuv::YUY2ToARGBRow_Any_NEON, libyuv::UYVYToARGBRow_Any_NEON};
#endif
    return k;
}

const libyuv::YuvConstants& ConstantsFor(const YuvColours& c)
{
    switch (c.matrix) {
    case YuvMatrix::Bt709: return c.fullRange ? libyuv::kYuvF709Constants : libyuv::kYuvH709Constants;
    case YuvMatrix::Bt2020: return c.fullRange ? libyuv::kYuvV2020Constants : libyuv::kYuv2020Constants;
    case YuvMatrix::Bt601: break;
    }
    return c.fullRange ? libyuv::kYuvJPEGConstants : libyuv::kYuvI601Constants;
}

} // namespace

void ConvertPacked422ToRgb32(bool uyvy, const std::uint8_t* src, int srcStride, std::uint8_t* dst, int dstStride,
                             int width, int height, const YuvColours& colours)
{
    static const RowKernels kernels = PickRowKernels();
    const RowKernel row = uyvy ? kernels.uyvy : kernels.yuy2;
    const libyuv::YuvConstants* constants = &ConstantsFor(colours);
    for (int r = 0; r < height; ++r)
        row(src + static_cast<std::ptrdiff_t>(r) * srcStride, dst + static_cast<std::ptrdiff_t>(r) * dstStride,
            constants, width);
}

void PreviewFrame::ToRgb32(std::uint8_t* dst, int dstStride, int x, int y, int w, int h) const
{
    if (!pixels || w <= 0 || h <= 0)
        return;
    const std::uint8_t* row = pixels + static_cast<std::ptrdiff_t>(y) * stride;
    if (layout == Layout::Rgb32) {
        for (int i = 0; i < h; ++i)
            std::memcpy(dst + static_cast<std::ptrdiff_t>(i) * dstStride,
                        row + static_cast<std::ptrdiff_t>(i) * stride + static_cast<std::ptrdiff_t>(x) * 4,
                        static_cast<std::size_t>(w) * 4);
        return;
    }
    const bool uyvy = layout == Layout::Uyvy;
    // Chroma is shared by the pixels of a pair: an odd start converts the whole pair and
    // keeps its second pixel.
    if (x % 2 != 0) {
        for (int i = 0; i < h; ++i) {
            std::uint8_t pair[8];
            ConvertPacked422ToRgb32(uyvy, row + static_cast<std::ptrdiff_t>(i) * stride + (x - 1) * 2, stride, pair, 8,
                                    2, 1, colours);
            std::memcpy(dst + static_cast<std::ptrdiff_t>(i) * dstStride, pair + 4, 4);
        }
        ++x;
        --w;
        dst += 4;
    }
    ConvertPacked422ToRgb32(uyvy, row + static_cast<std::ptrdiff_t>(x) * 2, stride, dst, dstStride, w, h, colours);
}
