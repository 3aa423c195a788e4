#pragma once

#include "filter/CharacterSet.h"
#include "filter/FrameGeometry.h"

#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

// A top-down frame of a grey picture with optional row padding, for drawing and reading.
struct TestFrame {
    TestFrame(std::int32_t width, std::int32_t height, std::int32_t padding = 0, FrameSubtype subtype = FrameSubtype::YUY2);
    std::uint8_t* Data() { return bytes.data(); }
    std::uint8_t& Luma(int x, int y) { return bytes[static_cast<std::size_t>(y * geometry.stride + 2 * x)]; }

    FrameGeometry geometry;
    std::vector<std::uint8_t> bytes;
};

// Gaussian luma noise of a fixed seed, drawn from a precomputed table so that thousands of
// frames stay cheap.
class LumaNoise {
public:
    LumaNoise(double sigma, unsigned seed);
    void AddTo(TestFrame& frame, int firstRow, int endRow);

private:
    std::vector<int> m_table;
    std::mt19937 m_random;
};

// The font's two sets, as the program would load them from the files.
CharacterSetList FontSets();

// Collects what the analysis reports to User Messages while it lives.
class CapturedMessages {
public:
    CapturedMessages();
    ~CapturedMessages();
    CapturedMessages(const CapturedMessages&) = delete;
    CapturedMessages& operator=(const CapturedMessages&) = delete;

    const std::vector<std::pair<std::string, bool>>& Entries() const;
    int Count(const std::string& text) const; // entries equal to text
    int CountStartingWith(const std::string& prefix) const;
};
