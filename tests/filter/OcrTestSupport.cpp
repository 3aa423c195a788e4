#include "OcrTestSupport.h"

#include "filter/AnalysisMessages.h"
#include "filter/GlyphFont.h"

#include <algorithm>
#include <cmath>

namespace {
std::vector<std::pair<std::string, bool>> g_messages;

void Capture(std::string_view text, bool timeStamp)
{
    g_messages.emplace_back(std::string(text), timeStamp);
}
} // namespace

TestFrame::TestFrame(std::int32_t width, std::int32_t height, std::int32_t padding, FrameSubtype subtype)
{
    geometry = MakeFrameGeometry(subtype, width, height);
    geometry.stride += padding;
    bytes.assign(static_cast<std::size_t>(geometry.stride) * static_cast<std::size_t>(height), 128);
    if (subtype == FrameSubtype::YUY2)
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                Luma(x, y) = 60;
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
    CharacterSetList list;
    list.sets.push_back(FontCharacterSet(FieldPhase::Even));
    list.sets.push_back(FontCharacterSet(FieldPhase::Odd));
    return list;
}

CapturedMessages::CapturedMessages()
{
    g_messages.clear();
    SetAnalysisMessageSink(&Capture);
}

CapturedMessages::~CapturedMessages()
{
    SetAnalysisMessageSink(nullptr);
    g_messages.clear();
}

const std::vector<std::pair<std::string, bool>>& CapturedMessages::Entries() const
{
    return g_messages;
}

int CapturedMessages::Count(const std::string& text) const
{
    return static_cast<int>(std::count_if(g_messages.begin(), g_messages.end(), [&](const auto& e) { return e.first == text; }));
}

int CapturedMessages::CountStartingWith(const std::string& prefix) const
{
    return static_cast<int>(std::count_if(g_messages.begin(), g_messages.end(),
                                          [&](const auto& e) { return e.first.rfind(prefix, 0) == 0; }));
}
