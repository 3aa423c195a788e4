#include "filter/AnalysisSettings.h"

AnalysisSettings SettingsFor(const RequestedAnalysis& requested)
{
    AnalysisSettings s;
    s.driftMinutes = requested.driftMinutes;
    if (s.driftMinutes != 0)
        return s; // no integration and no marking while the clock is measured
    s.integrationFrames = requested.integrationFrames;
    s.showHistogram = requested.showHistogram;
    if (s.integrationFrames > 1)
        return s;
    s.saturationThreshold = requested.saturationThreshold;
    return s;
}

std::uint32_t FramesPerSecondOrDefault(std::uint32_t reported)
{
    return reported == 0 ? 30 : reported;
}
