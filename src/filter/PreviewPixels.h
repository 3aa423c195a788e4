#pragma once

#include <cstdint>

// Colour conversion of preview pictures for painting: packed 4:2:2 YUV (YUY2: Y0 U Y1 V,
// UYVY: U Y0 V Y1) to 32-bit B, G, R, 0xFF in memory (the layout of a little-endian
// 0xffRRGGBB pixel), by libyuv, one pass, chroma shared by each pixel pair.

// The matrix and range of a packed 4:2:2 picture, as its caps' colorimetry gives them.
enum class YuvMatrix : std::int32_t { Bt601, Bt709, Bt2020 };
struct YuvColours {
    YuvMatrix matrix = YuvMatrix::Bt601;
    bool fullRange = false; // Y and chroma span 0..255 rather than 16..235 and 16..240
};

// Converts a width x height rectangle in YUY2 or UYVY byte order. src: the rectangle's
// first row, starting on a pixel pair (even x); dst: the first output row. An odd width
// converts the last pixel with its pair's chroma.
void ConvertPacked422ToRgb32(bool uyvy, const std::uint8_t* src, int srcStride, std::uint8_t* dst, int dstStride,
                             int width, int height, const YuvColours& colours);

// One preview picture, top row first. It holds the renderer's buffer and stays valid while
// the object lives, so a sink keeps the newest picture without copying it.
class PreviewFrame {
public:
    enum class Layout : std::int32_t { Rgb32, Yuy2, Uyvy };
    virtual ~PreviewFrame() = default;

    // Writes the w x h rectangle at (x, y) as 32-bit B, G, R, 0xFF rows: converted from
    // YUY2 or UYVY, copied from RGB32. The rectangle must lie inside the picture.
    void ToRgb32(std::uint8_t* dst, int dstStride, int x, int y, int w, int h) const;

    const std::uint8_t* pixels = nullptr;
    Layout layout = Layout::Rgb32;
    YuvColours colours; // Yuy2 and Uyvy only
    int width = 0;
    int height = 0;
    int stride = 0;
};
