#pragma once

#include "filter/FrameGeometry.h"

#include <cstdint>
#include <string>
#include <vector>

// A frame buffer with its geometry. Padding after each row's picture holds a sentinel,
// so a kernel that strays past the row length shows up.
struct TestFrame {
    static constexpr std::uint8_t kPadding = 0xA5;
    FrameGeometry geometry;
    std::vector<std::uint8_t> bytes;

    // extraStride: bytes beyond the formula's stride, as a capture back end may add.
    TestFrame(FrameSubtype subtype, std::int32_t width, std::int32_t height, std::int32_t extraStride = 0);
    std::uint8_t* Row(std::int32_t r) { return bytes.data() + static_cast<std::size_t>(r) * geometry.stride; }
    // Picture bytes from a seed, 0..maxValue; padding keeps the sentinel.
    void Fill(std::uint32_t seed, std::uint8_t maxValue = 255);
    // Every unit of the picture set to these bytes.
    void FillUnits(const std::vector<std::uint8_t>& unit);
    bool PaddingIntact();
};

inline constexpr FrameSubtype kAllSubtypes[] = {FrameSubtype::YUY2, FrameSubtype::RGB24, FrameSubtype::ARGB32};
const char* SubtypeName(FrameSubtype s);

// What the frame analysis reported since the last CaptureMessages().
struct Reported {
    std::string text;
    bool timeStamp;
};
void CaptureMessages();
const std::vector<Reported>& Messages();
