#include "filter/PreviewPixels.h"

#include <cmath>
#include <cstddef>
#include <cstring>

#include <libyuv/convert_argb.h>
#include <libyuv/cpu_id.h>
#include <libyuv/row.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// On x86-64 the conversion is also built for AVX2 machines and picked when the program
// loads: the same instructions, VEX-encoded. Legacy SSE code pays a penalty when other
// code in the thread has left the wide registers' upper halves in use; in the video
// window the SSE2 build took 0.50 ms a 720 x 576 picture, the VEX build 0.16 ms.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang_analyzer__)
#define VELA_VEX_CLONE __attribute__((target_clones("avx2", "default")))
#else
#define VELA_VEX_CLONE
#endif

namespace {

// Every factor is applied as (value << 7) * (factor * 8192) >> 16: the factor times 16,
// so four fractional bits are kept until the last shift. Factors up to 4 fit.
constexpr double kScale = 8192.0;

std::int16_t Factor(double f)
{
    return static_cast<std::int16_t>(std::lround(f * kScale));
}

inline int MulHigh(int a, int b)
{
    return (a * b) >> 16;
}

inline std::uint8_t ToByte(int fixed)
{
    const int v = (fixed + 8) >> 4;
    return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// Up to two pixels sharing one chroma pair; the same arithmetic as the vector path.
inline void ConvertPair(const std::uint8_t* s, std::uint8_t* d, int pixels, const YuvToRgb& k)
{
    const int u = (s[1] - 128) * 128;
    const int v = (s[3] - 128) * 128;
    const int b = MulHigh(u, k.blueFromU);
    const int g = MulHigh(u, k.greenFromU) + MulHigh(v, k.greenFromV);
    const int r = MulHigh(v, k.redFromV);
    for (int i = 0; i < pixels; ++i) {
        const int y = MulHigh((s[2 * i] - k.lumaOffset) * 128, k.luma);
        d[4 * i] = ToByte(y + b);
        d[4 * i + 1] = ToByte(y + g);
        d[4 * i + 2] = ToByte(y + r);
        d[4 * i + 3] = 0xFF;
    }
}

} // namespace

YuvToRgb MakeYuvToRgb(double kr, double kb, bool fullRange)
{
    const double kg = 1.0 - kr - kb;
    const double lumaScale = fullRange ? 1.0 : 255.0 / 219.0;
    const double chromaScale = fullRange ? 1.0 : 255.0 / 224.0;
    YuvToRgb k;
    k.lumaOffset = fullRange ? 0 : 16;
    k.luma = Factor(lumaScale);
    k.blueFromU = Factor(chromaScale * 2.0 * (1.0 - kb));
    k.greenFromU = Factor(-chromaScale * 2.0 * (1.0 - kb) * kb / kg);
    k.greenFromV = Factor(-chromaScale * 2.0 * (1.0 - kr) * kr / kg);
    k.redFromV = Factor(chromaScale * 2.0 * (1.0 - kr));
    return k;
}

VELA_VEX_CLONE void ConvertYuy2ToRgb32(const std::uint8_t* src, int srcStride, std::uint8_t* dst, int dstStride,
                                       int width, int height, const YuvToRgb& k)
{
#if defined(__SSE2__)
    const __m128i lowBytes = _mm_set1_epi16(0x00FF);
    const __m128i lumaOffset = _mm_set1_epi16(k.lumaOffset);
    const __m128i chromaOffset = _mm_set1_epi16(128);
    const __m128i luma = _mm_set1_epi16(k.luma);
    const __m128i blueFromU = _mm_set1_epi16(k.blueFromU);
    const __m128i greenFromU = _mm_set1_epi16(k.greenFromU);
    const __m128i greenFromV = _mm_set1_epi16(k.greenFromV);
    const __m128i redFromV = _mm_set1_epi16(k.redFromV);
    const __m128i rounding = _mm_set1_epi16(8);
    const __m128i opaque = _mm_set1_epi8(-1);
#endif
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* s = src + static_cast<std::ptrdiff_t>(row) * srcStride;
        std::uint8_t* d = dst + static_cast<std::ptrdiff_t>(row) * dstStride;
        int x = 0;
#if defined(__SSE2__)
        // Eight pixels (four chroma pairs) a step, in 16-bit lanes.
        for (; x + 8 <= width; x += 8) {
            const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 2 * x));
            const __m128i y = _mm_slli_epi16(_mm_sub_epi16(_mm_and_si128(in, lowBytes), lumaOffset), 7);
            const __m128i uv = _mm_slli_epi16(_mm_sub_epi16(_mm_srli_epi16(in, 8), chromaOffset), 7);
            // U0 V0 U1 V1 ... to U0 U0 U1 U1 ... and V0 V0 V1 V1 ...
            const __m128i u =
                _mm_shufflehi_epi16(_mm_shufflelo_epi16(uv, _MM_SHUFFLE(2, 2, 0, 0)), _MM_SHUFFLE(2, 2, 0, 0));
            const __m128i v =
                _mm_shufflehi_epi16(_mm_shufflelo_epi16(uv, _MM_SHUFFLE(3, 3, 1, 1)), _MM_SHUFFLE(3, 3, 1, 1));
            const __m128i base = _mm_add_epi16(_mm_mulhi_epi16(y, luma), rounding);
            const __m128i b = _mm_srai_epi16(_mm_adds_epi16(base, _mm_mulhi_epi16(u, blueFromU)), 4);
            const __m128i g = _mm_srai_epi16(
                _mm_adds_epi16(_mm_adds_epi16(base, _mm_mulhi_epi16(u, greenFromU)), _mm_mulhi_epi16(v, greenFromV)), 4);
            const __m128i r = _mm_srai_epi16(_mm_adds_epi16(base, _mm_mulhi_epi16(v, redFromV)), 4);
            const __m128i bg = _mm_unpacklo_epi8(_mm_packus_epi16(b, b), _mm_packus_epi16(g, g));
            const __m128i ra = _mm_unpacklo_epi8(_mm_packus_epi16(r, r), opaque);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 4 * x), _mm_unpacklo_epi16(bg, ra));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 4 * x + 16), _mm_unpackhi_epi16(bg, ra));
        }
#endif
        for (; x < width; x += 2)
            ConvertPair(s + 2 * x, d + 4 * x, width - x >= 2 ? 2 : 1, k);
    }
}

namespace {

// libyuv's packed 4:2:2 converters take a fixed matrix; its row kernels take any of its
// constant sets. They are picked as its own converters pick them: the widest the
// processor has, in the form that takes any width.
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
    // YUY2 shares chroma between the pixels of a pair: an odd start takes the pair's
    // second pixel alone.
    if (x % 2 != 0) {
        for (int i = 0; i < h; ++i) {
            const std::uint8_t* s = row + static_cast<std::ptrdiff_t>(i) * stride + static_cast<std::ptrdiff_t>(x - 1) * 2;
            std::uint8_t pair[8];
            ConvertPair(s, pair, 2, yuv);
            std::memcpy(dst + static_cast<std::ptrdiff_t>(i) * dstStride, pair + 4, 4);
        }
        ++x;
        --w;
        dst += 4;
    }
    ConvertYuy2ToRgb32(row + static_cast<std::ptrdiff_t>(x) * 2, stride, dst, dstStride, w, h, yuv);
}
