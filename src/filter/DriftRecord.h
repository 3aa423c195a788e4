#pragma once

#include "common/CalendarTime.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// The samples of a clock-drift measurement: what the measurement fills and the report reads.

// One analysed frame.
struct DriftSample {
    double differenceMs = 0.0;     // VTI minus computer; filled by the report
    FileTimeTicks vtiTime = 0;
    FileTimeTicks computerTime = 0; // UTC when the frame was analysed
    std::int32_t valid = 0;         // 0: not read, or removed as an outlier
};

inline constexpr std::size_t kHistogramBuckets = 50;

// The samples and counters of one measurement, which the report reads.
struct DriftRecord {
    std::vector<DriftSample> samples; // totalSamples of them, sized at every build
    std::uint32_t sampleCount = 0;
    std::uint32_t totalSamples = 0;
    std::uint32_t progressInterval = 0;
    std::uint32_t failedOcrCount = 0;
    std::uint32_t framesPerSecond = 30;
    std::uint32_t driftMinutes = 0;
    CalendarTime startTime; // UTC at the reset
    std::array<std::uint32_t, kHistogramBuckets> positiveHistogram{};
    std::array<std::uint32_t, kHistogramBuckets> negativeHistogram{};
};
