#include "filter/DarkLevels.h"

#include "filter/AnalysisMessages.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <string_view>

namespace {

constexpr std::uint32_t kDarkValues = 75;

// Formats into a stack buffer: the first frame of an integration must not allocate.
template <class... Args>
void Report(AnalysisMessages& messages, bool timeStamp, const char* format, Args... args)
{
    char text[128];
    const int n = std::snprintf(text, sizeof text, format, args...);
    if (n > 0)
        messages.Report(std::string_view(text, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof text - 1)),
                        timeStamp);
}

void CountLuma(const std::uint8_t* frame, const FrameGeometry& g, DarkHistograms& h)
{
    h.luma.fill(0);
    const std::size_t rowBytes = static_cast<std::size_t>(RowBytes(g));
    for (std::int32_t r = 0; r < g.height; ++r) {
        const std::uint8_t* row = frame + static_cast<std::ptrdiff_t>(r) * g.stride + LumaByte(g.subtype);
        for (std::size_t i = 0; i < rowBytes; i += 4) {
            ++h.luma[row[i]];
            ++h.luma[row[i + 2]];
        }
    }
}

void CountRgb(const std::uint8_t* frame, const FrameGeometry& g, std::size_t pixelBytes, DarkHistograms& h)
{
    h.blue.fill(0);
    h.green.fill(0);
    h.red.fill(0);
    const std::size_t rowBytes = static_cast<std::size_t>(RowBytes(g));
    for (std::int32_t r = 0; r < g.height; ++r) {
        const std::uint8_t* row = frame + static_cast<std::ptrdiff_t>(r) * g.stride;
        for (std::size_t i = 0; i < rowBytes; i += pixelBytes) {
            ++h.blue[row[i]];
            ++h.green[row[i + 1]];
            ++h.red[row[i + 2]];
        }
    }
}

void ReportLuma(const char* layout, const DarkLevels& levels, const DarkHistograms& h, bool showHistogram,
                AnalysisMessages& messages)
{
    Report(messages, true, "Dark pixel value for %s frame: %u\r\n", layout, levels.yuy2);
    if (!showHistogram)
        return;
    Report(messages, false, "Dark pixel value histogram, %s format", layout);
    for (int v = 0; v < 256; ++v)
        Report(messages, false, "%d\t%u", v, h.luma[static_cast<std::size_t>(v)]);
    messages.Report(" ", false);
}

void ReportRgb(const DarkLevels& levels, const DarkHistograms& h, bool showHistogram, AnalysisMessages& messages)
{
    Report(messages, true, "Dark pixel values for RGB frame --  R: %-3u   G: %-3u   B: %-3u\r\n", levels.red, levels.green,
           levels.blue);
    if (!showHistogram)
        return;
    messages.Report("Dark pixel value histogram, RGB format", false);
    for (int v = 0; v < 256; ++v) {
        const auto i = static_cast<std::size_t>(v);
        Report(messages, false, "%d\tR: %-7u\tG: %-7u\tB: %-7u", v, h.red[i], h.green[i], h.blue[i]);
    }
}

} // namespace

std::uint32_t DarkLevelOf(const Histogram& histogram)
{
    std::uint32_t level = 0;
    for (std::uint32_t v = 1; v < kDarkValues; ++v)
        if (histogram[v] > histogram[level])
            level = v;
    return level;
}

void MeasureDarkLevels(const std::uint8_t* frame, const FrameGeometry& g, bool showHistogram,
                       DarkLevels& levels, DarkHistograms& histograms, AnalysisMessages& messages)
{
    switch (g.subtype) {
    case FrameSubtype::YUY2:
    case FrameSubtype::UYVY:
        CountLuma(frame, g, histograms);
        levels.yuy2 = DarkLevelOf(histograms.luma);
        ReportLuma(g.subtype == FrameSubtype::YUY2 ? "YUY2" : "UYVY", levels, histograms, showHistogram, messages);
        return;
    case FrameSubtype::RGB24:
    case FrameSubtype::ARGB32:
        CountRgb(frame, g, g.subtype == FrameSubtype::RGB24 ? 3 : 4, histograms);
        levels.blue = DarkLevelOf(histograms.blue);
        levels.green = DarkLevelOf(histograms.green);
        levels.red = DarkLevelOf(histograms.red);
        ReportRgb(levels, histograms, showHistogram, messages);
        return;
    case FrameSubtype::None:
        break;
    }
    messages.Report("Frame integration not supported for this device format\r\n", true);
}
