#include "FrameTestSupport.h"

#include "filter/AnalysisMessages.h"

#include <random>

namespace {
std::vector<MessageCapture::Entry> g_entries;

void Capture(std::string_view text, bool timeStamp)
{
    g_entries.push_back({std::string(text), timeStamp});
}
} // namespace

TestFrame::TestFrame(FrameSubtype subtype, std::int32_t width, std::int32_t biHeight, std::int32_t extraStride)
{
    geometry = MakeFrameGeometry(subtype, width, biHeight, StrideFor(BitsPerPixel(subtype), width) + extraStride);
    bytes.assign(FrameBytes(geometry), kPadding);
}

void TestFrame::FillPicture(std::uint32_t seed, std::uint8_t maxValue)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> value(0, maxValue);
    const auto rowBytes = static_cast<std::size_t>(RowBytes(geometry));
    for (std::int32_t r = 0; r < geometry.height; ++r)
        for (std::size_t i = 0; i < rowBytes; ++i)
            Row(r)[i] = static_cast<std::uint8_t>(value(random));
}

void TestFrame::FillPicture(std::uint8_t v)
{
    const auto rowBytes = static_cast<std::size_t>(RowBytes(geometry));
    for (std::int32_t r = 0; r < geometry.height; ++r)
        std::fill_n(Row(r), rowBytes, v);
}

bool TestFrame::PaddingIntact() const
{
    for (std::int32_t r = 0; r < geometry.height; ++r)
        for (std::int32_t i = RowBytes(geometry); i < geometry.stride; ++i)
            if (Row(r)[i] != kPadding)
                return false;
    return true;
}

const char* SubtypeName(FrameSubtype s)
{
    switch (s) {
    case FrameSubtype::YUY2:
        return "YUY2";
    case FrameSubtype::RGB24:
        return "RGB24";
    case FrameSubtype::ARGB32:
        return "ARGB32";
    case FrameSubtype::None:
        break;
    }
    return "None";
}

MessageCapture::MessageCapture()
{
    g_entries.clear();
    SetAnalysisMessageSink(&Capture);
}

MessageCapture::~MessageCapture()
{
    SetAnalysisMessageSink(nullptr);
    g_entries.clear();
}

const std::vector<MessageCapture::Entry>& MessageCapture::Entries() const
{
    return g_entries;
}

void MessageCapture::Clear()
{
    g_entries.clear();
}
