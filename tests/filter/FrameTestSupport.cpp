#include "FrameTestSupport.h"

#include "filter/AnalysisMessages.h"

#include <algorithm>
#include <random>

namespace {
std::vector<Reported> g_messages;
} // namespace

TestFrame::TestFrame(FrameSubtype subtype, std::int32_t width, std::int32_t height, std::int32_t extraStride)
    : geometry(MakeFrameGeometry(subtype, width, height, StrideFor(BitsPerPixel(subtype), width) + extraStride)),
      bytes(FrameBytes(geometry), kPadding)
{
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

void CaptureMessages()
{
    g_messages.clear();
    SetAnalysisMessageSink([](std::string_view text, bool timeStamp) { g_messages.push_back({std::string(text), timeStamp}); });
}

const std::vector<Reported>& Messages()
{
    return g_messages;
}
