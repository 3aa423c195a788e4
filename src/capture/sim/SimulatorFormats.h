#pragma once

#include <gst/gst.h>

#include <array>

// The formats the simulator camera offers, in the order a device lists them.
struct SimulatorFormat {
    const char* mediaType; // "video/x-raw" or "image/jpeg"
    const char* format;    // raw format name, nullptr for image/jpeg
    int width;
    int height;
    int fpsNumerator;
    int fpsDenominator;
};

inline constexpr std::array<SimulatorFormat, 6> kSimulatorFormats = {{
    {"video/x-raw", "YUY2", 720, 480, 30000, 1001},
    {"video/x-raw", "YUY2", 720, 576, 25, 1},
    {"video/x-raw", "YUY2", 640, 480, 30000, 1001},
    {"video/x-raw", "BGR", 640, 480, 30000, 1001}, // RGB24
    {"image/jpeg", nullptr, 640, 480, 30000, 1001}, // MJPG
    {"video/x-raw", "UYVY", 720, 576, 25, 1},       // as common USB grabbers deliver PAL
}};

// A new reference to caps holding one fixed structure per format.
GstCaps* SimulatorCaps();
