#pragma once

#include <cstdint>

// Colour conversion of preview pictures for painting: packed 4:2:2 YUV (YUY2: Y0 U Y1 V)
// to 32-bit B, G, R, 0xFF in memory (the layout of a little-endian 0xffRRGGBB pixel).
// One pass, no line buffers, chroma shared by each pixel pair; fixed point with four
// fractional bits, within one level of the exact result.

// The conversion's constants for one colour matrix and range; the defaults are those of
// BT.601 with Y in 16..235, as MakeYuvToRgb(0.299, 0.114, false) gives them.
struct YuvToRgb {
    std::int16_t lumaOffset = 16;   // black's Y
    std::int16_t luma = 9539;       // the factors times 8192: Y
    std::int16_t blueFromU = 16525; // B from U - 128
    std::int16_t greenFromU = -3209;
    std::int16_t greenFromV = -6660;
    std::int16_t redFromV = 13075;
};

// kr, kb: the matrix's red and blue weights (0.299, 0.114 for BT.601; 0.2126, 0.0722
// for BT.709). fullRange: Y and chroma span 0..255 rather than 16..235 and 16..240.
YuvToRgb MakeYuvToRgb(double kr, double kb, bool fullRange);

// Converts a width x height rectangle. src: the rectangle's first YUY2 row, starting on
// a pixel pair (even x); dst: the first output row. An odd width converts the last pixel
// with its pair's chroma.
void ConvertYuy2ToRgb32(const std::uint8_t* src, int srcStride, std::uint8_t* dst, int dstStride, int width,
                        int height, const YuvToRgb& k);

// The matrix and range of a packed 4:2:2 picture, as its caps' colorimetry gives them.
enum class YuvMatrix : std::int32_t { Bt601, Bt709, Bt2020 };
struct YuvColours {
    YuvMatrix matrix = YuvMatrix::Bt601;
    bool fullRange = false; // Y and chroma span 0..255 rather than 16..235 and 16..240
};

// The same conversion by libyuv's row kernels, for YUY2 or UYVY byte order; src starts on
// a pixel pair, an odd width converts the last pixel with its pair's chroma.
void ConvertPacked422ToRgb32(bool uyvy, const std::uint8_t* src, int srcStride, std::uint8_t* dst, int dstStride,
                             int width, int height, const YuvColours& colours);

// One preview picture, top row first. It holds the renderer's buffer and stays valid while
// the object lives, so a sink keeps the newest picture without copying it.
class PreviewFrame {
public:
    enum class Layout : std::int32_t { Rgb32, Yuy2 };
    virtual ~PreviewFrame() = default;

    // Writes the w x h rectangle at (x, y) as 32-bit B, G, R, 0xFF rows: converted from
    // YUY2, copied from RGB32. The rectangle must lie inside the picture.
    void ToRgb32(std::uint8_t* dst, int dstStride, int x, int y, int w, int h) const;

    const std::uint8_t* pixels = nullptr;
    Layout layout = Layout::Rgb32;
    YuvToRgb yuv; // Yuy2 only
    int width = 0;
    int height = 0;
    int stride = 0;
};
