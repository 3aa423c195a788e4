#pragma once

#include <cstdint>

// What the application asks of the next graph build; the filter dialogs write these.
struct RequestedAnalysis {
    std::uint32_t integrationFrames = 1; // 1 off, 2..30
    bool showHistogram = false;
    std::uint32_t driftMinutes = 0; // 0 off, 3..60
    bool tvSafeMode = false;
    bool cameraAttached = false;        // "Camera attached to VELA VTI"
    std::int32_t saturationThreshold = -1; // the threshold in effect: -1 off, else 50..255
};

// The settings one graph build runs with. At most one mode is on: a drift measurement
// wins over integration, integration over marking.
struct AnalysisSettings {
    // The threshold the build starts with; only its low byte counts. While frames flow the
    // filter marks with the pipeline's live threshold, which the Pixel Saturation dialog moves.
    std::int32_t saturationThreshold = -1;
    std::uint32_t integrationFrames = 1;
    bool showHistogram = false;
    std::uint32_t driftMinutes = 0; // the filter's own copy; OCR giving up sets it to 0
    std::uint32_t framesPerSecond = 0;
};

AnalysisSettings SettingsFor(const RequestedAnalysis& requested);

// The frame rate a measurement counts with: 30 when the format reports none.
std::uint32_t FramesPerSecondOrDefault(std::uint32_t reported);
