#pragma once

#include <cstdint>
#include <string>

// How the simulator camera behaves, from the command line (--simulated-camera=KEY=VALUE,...).
// Plain data, so the command line is parsed without the media framework.
struct SimulatorSettings {
    std::int64_t offsetMilliseconds = 0;     // VTI time minus UTC
    double driftMillisecondsPerMinute = 0.0; // how much the VTI gains on UTC each minute
    std::string unplugFile; // while a file of this name exists the camera is unplugged; empty: never

    friend bool operator==(const SimulatorSettings&, const SimulatorSettings&) = default;
};

// The ranges the simulator element accepts.
inline constexpr std::int64_t kSimulatorOffsetLimitMs = 86'400'000; // one day
inline constexpr double kSimulatorDriftLimitMsPerMinute = 60'000.0; // one minute a minute
