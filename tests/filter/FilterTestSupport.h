#pragma once

#include "filter/AnalysisMessages.h"
#include "filter/CharacterSet.h"
#include "filter/FrameGeometry.h"

#include <cstdint>
#include <string>
#include <vector>

// A frame buffer with its geometry. Padding after each row's picture holds a sentinel,
// so a kernel that strays past the row length shows up.
struct TestFrame {
    static constexpr std::uint8_t kPadding = 0xA5;
    // extraStride: bytes beyond the formula's stride, as a capture back end may add.
    TestFrame(FrameSubtype subtype, std::int32_t width, std::int32_t height, std::int32_t extraStride = 0);
    // A grey YUY2 picture (luma 60), for drawing a time line on and reading it.
    static TestFrame Grey(std::int32_t width, std::int32_t height, std::int32_t extraStride = 0);
    std::uint8_t* Data() { return bytes.data(); }
    std::uint8_t* Row(std::int32_t r) { return bytes.data() + static_cast<std::size_t>(r) * geometry.stride; }
    std::uint8_t& Luma(int x, int y) { return Row(y)[2 * x]; }
    // Picture bytes from a seed, 0..maxValue; padding keeps the sentinel.
    void Fill(std::uint32_t seed, std::uint8_t maxValue = 255);
    void FillUnits(const std::vector<std::uint8_t>& unit); // every unit of the picture

    FrameGeometry geometry;
    std::vector<std::uint8_t> bytes;
};

inline constexpr FrameSubtype kAllSubtypes[] = {FrameSubtype::YUY2, FrameSubtype::RGB24, FrameSubtype::ARGB32,
                                                 FrameSubtype::UYVY};
const char* SubtypeName(FrameSubtype s);

// The font's two sets, as the program would load them from the files.
CharacterSetList FontSets();

// What the frame analysis reported to User Messages.
struct CapturedMessages final : AnalysisMessages {
    struct Entry {
        std::string text;
        bool timeStamp;
    };
    void Report(std::string_view text, bool timeStamp) override { entries.push_back({std::string(text), timeStamp}); }
    int Count(const std::string& text) const; // entries equal to text
    std::vector<Entry> entries;
};
