#pragma once

#include "filter/FrameGeometry.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A frame buffer with its geometry. Padding bytes after each row's picture hold a
// sentinel, so a kernel that strays past the row length shows up.
struct TestFrame {
    FrameGeometry geometry;
    std::vector<std::uint8_t> bytes;

    static constexpr std::uint8_t kPadding = 0xA5;

    // extraStride: bytes added to the formula's stride, as a capture back end may do.
    TestFrame(FrameSubtype subtype, std::int32_t width, std::int32_t biHeight, std::int32_t extraStride = 0);

    std::uint8_t* Row(std::int32_t r) { return bytes.data() + static_cast<std::size_t>(r) * geometry.stride; }
    const std::uint8_t* Row(std::int32_t r) const { return bytes.data() + static_cast<std::size_t>(r) * geometry.stride; }
    // Picture bytes from a seed, every row different; padding keeps the sentinel.
    void FillPicture(std::uint32_t seed, std::uint8_t maxValue = 255);
    void FillPicture(std::uint8_t value);
    bool PaddingIntact() const;
};

inline constexpr FrameSubtype kAllSubtypes[] = {FrameSubtype::YUY2, FrameSubtype::RGB24, FrameSubtype::ARGB32};
const char* SubtypeName(FrameSubtype s);

// Collects what the frame analysis reports to User Messages while it lives.
class MessageCapture {
public:
    struct Entry {
        std::string text;
        bool timeStamp;
    };
    MessageCapture();
    ~MessageCapture();
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    const std::vector<Entry>& Entries() const;
    void Clear();
};
