#include "FilterTestSupport.h"

#include "filter/GlyphFont.h"

#include <algorithm>
#include <array>
#include <random>

TestFrame::TestFrame(FrameSubtype subtype, std::int32_t width, std::int32_t height, std::int32_t extraStride)
    : geometry(MakeFrameGeometry(subtype, width, height, StrideFor(BitsPerPixel(subtype), width) + extraStride)),
      bytes(FrameBytes(geometry), kPadding)
{
}

TestFrame TestFrame::Grey(std::int32_t width, std::int32_t height, std::int32_t extraStride)
{
    TestFrame f(FrameSubtype::YUY2, width, height, extraStride);
    f.FillUnits({60, 128, 60, 128});
    return f;
}

void TestFrame::Fill(std::uint32_t seed, std::uint8_t maxValue)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> value(0, maxValue);
    for (std::int32_t r = 0; r < geometry.height; ++r)
        std::generate_n(Row(r), RowBytes(geometry), [&] { return static_cast<std::uint8_t>(value(random)); });
}

void TestFrame::FillUnits(const std::vector<std::uint8_t>& unit)
{
    for (std::int32_t r = 0; r < geometry.height; ++r)
        for (std::int32_t i = 0; i < RowBytes(geometry); i += static_cast<std::int32_t>(unit.size()))
            std::copy(unit.begin(), unit.end(), Row(r) + i);
}

const char* SubtypeName(FrameSubtype s)
{
    return std::array{"None", "YUY2", "RGB24", "ARGB32", "UYVY"}[static_cast<std::size_t>(s)];
}

CharacterSetList FontSets()
{
    return CharacterSetList{{FontCharacterSet(FieldPhase::Even), FontCharacterSet(FieldPhase::Odd)}};
}

int CapturedMessages::Count(const std::string& text) const
{
    return static_cast<int>(std::count_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.text == text; }));
}
