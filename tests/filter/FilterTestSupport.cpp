#include "FilterTestSupport.h"

#include "filter/GlyphFont.h"

#include <algorithm>
#include <cmath>

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

bool TestFrame::PaddingIntact()
{
    for (std::int32_t r = 0; r < geometry.height; ++r)
        if (!std::all_of(Row(r) + RowBytes(geometry), Row(r) + geometry.stride, [](auto b) { return b == kPadding; }))
            return false;
    return true;
}

const char* SubtypeName(FrameSubtype s)
{
    return s == FrameSubtype::YUY2 ? "YUY2" : s == FrameSubtype::RGB24 ? "RGB24" : "ARGB32";
}

LumaNoise::LumaNoise(double sigma, unsigned seed)
    : m_random(seed)
{
    std::normal_distribution<double> normal(0.0, sigma);
    m_table.resize(1 << 16);
    for (int& v : m_table)
        v = static_cast<int>(std::lround(normal(m_random)));
}

void LumaNoise::AddTo(TestFrame& frame, int firstRow, int endRow)
{
    std::size_t k = m_random() % m_table.size();
    for (int y = std::max(firstRow, 0); y < std::min(endRow, frame.geometry.height); ++y)
        for (int x = 0; x < frame.geometry.width; ++x) {
            std::uint8_t& luma = frame.Luma(x, y);
            luma = static_cast<std::uint8_t>(std::clamp(luma + m_table[k], 0, 255));
            k = (k + 1) % m_table.size();
        }
}

CharacterSetList FontSets()
{
    return CharacterSetList{{FontCharacterSet(FieldPhase::Even), FontCharacterSet(FieldPhase::Odd)}};
}

int CapturedMessages::Count(const std::string& text) const
{
    return static_cast<int>(std::count_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.text == text; }));
}
