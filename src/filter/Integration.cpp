#include "filter/Integration.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

std::uint8_t Level(std::uint32_t level)
{
    return static_cast<std::uint8_t>(level > 255 ? 255 : level);
}

// buffer = min(255, buffer + (sample - level)) where the sample is above the level, in
// byte arithmetic only: the excess is sample - min(sample, level), and the headroom
// 255 - buffer shrinks by it, never below 0. Minima and differences of bytes vectorise
// to one instruction each.
inline void AddBytes(std::uint8_t* __restrict dst, const std::uint8_t* __restrict src,
                     const std::uint8_t* __restrict level, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i) {
        const auto excess = static_cast<std::uint8_t>(src[i] - std::min(src[i], level[i]));
        const auto room = static_cast<std::uint8_t>(~dst[i]);
        dst[i] = static_cast<std::uint8_t>(~(room - std::min(room, excess)));
    }
}

void AddRow(std::uint8_t* dst, const std::uint8_t* src, std::size_t rowBytes, const ByteRun& level)
{
    std::size_t i = 0;
    for (; i + kRunBytes <= rowBytes; i += kRunBytes)
        AddBytes(dst + i, src + i, level.data(), kRunBytes); // fixed length: vectorised whole
    AddBytes(dst + i, src + i, level.data(), rowBytes - i);
}

} // namespace

AddLevels MakeAddLevels(FrameSubtype subtype, const DarkLevels& levels)
{
    const std::uint8_t b = Level(levels.blue), gr = Level(levels.green), r = Level(levels.red);
    switch (subtype) {
    case FrameSubtype::YUY2: {
        const std::uint8_t y = Level(levels.yuy2);
        return {RepeatPattern(std::array<std::uint8_t, 4>{y, 255, y, 255})};
    }
    case FrameSubtype::UYVY: {
        const std::uint8_t y = Level(levels.yuy2);
        return {RepeatPattern(std::array<std::uint8_t, 4>{255, y, 255, y})};
    }
    case FrameSubtype::RGB24:
        return {RepeatPattern(std::array<std::uint8_t, 3>{b, gr, r})};
    case FrameSubtype::ARGB32:
        return {RepeatPattern(std::array<std::uint8_t, 4>{b, gr, r, 255})};
    case FrameSubtype::None:
        break;
    }
    AddLevels none;
    none.level.fill(255);
    return none;
}

void CopyOrIntegrate(std::uint8_t* dst, const std::uint8_t* src, std::size_t len, CopyForm form,
                     const FrameGeometry& g, const AddLevels& levels)
{
    if (form != CopyForm::Add) {
        std::memcpy(dst, src, len);
        return;
    }
    const auto stride = static_cast<std::size_t>(g.stride);
    const auto rowBytes = static_cast<std::size_t>(RowBytes(g));
    for (std::int32_t r = 0; r < g.height; ++r, src += stride, dst += stride)
        AddRow(dst, src, rowBytes, levels.level);
}
