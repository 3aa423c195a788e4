#pragma once

#include "filter/AnalysisMessages.h"
#include "filter/FrameGeometry.h"

#include <array>
#include <cstdint>

// The dark level subtracted from each sample while frames are integrated, 0..74.
struct DarkLevels {
    std::uint32_t yuy2 = 0; // luma, of either 4:2:2 layout
    std::uint32_t blue = 0;
    std::uint32_t green = 0;
    std::uint32_t red = 0;
};

using Histogram = std::array<std::uint32_t, 256>;

struct DarkHistograms {
    Histogram luma{};
    Histogram blue{};
    Histogram green{};
    Histogram red{};
};

// The most frequent value below 75, the lowest among equal counts. Brighter values
// are never dark, however common.
std::uint32_t DarkLevelOf(const Histogram& histogram);

// Counts one frame (rows in any order) into the histograms of its layout, stores the
// levels and reports them, with the whole histogram when asked. Other layouts are
// reported as unsupported and change nothing.
void MeasureDarkLevels(const std::uint8_t* frame, const FrameGeometry& g, bool showHistogram,
                       DarkLevels& levels, DarkHistograms& histograms, AnalysisMessages& messages);
