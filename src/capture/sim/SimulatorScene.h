#pragma once

#include "common/CalendarTime.h"
#include "filter/FrameGeometry.h"
#include "filter/GlyphFont.h"
#include "filter/VtiOcr.h"
#include "filter/VtiOverlay.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The simulator camera's picture: a faint star field, a target star and the word
// SIMULATION are drawn once per format; each frame only adds fresh noise and the VTI
// time line, so a frame costs little more than a copy.
// Noise comes from a few noisy copies of the scene, mixed row by row per frame.
class SimulatorScene {
public:
    // geometry: top-down YUY2, UYVY or RGB24 (BGR byte order is the same for grey) with its stride.
    explicit SimulatorScene(const FrameGeometry& geometry, unsigned seed = 1);

    const FrameGeometry& Geometry() const { return m_geometry; }
    // stride × height: the bytes Render writes, padding included.
    std::size_t FrameBytes() const { return m_background.size(); }

    // frameNumber picks the noise pattern, so consecutive frames differ.
    void Render(std::uint8_t* frame, std::uint64_t frameNumber, const OcrLayout& layout, const VtiDisplayTime& time,
                FieldPhase phase) const;

private:
    void DrawStar(double cx, double cy, double sigma, double peak);
    void DrawWord(int left, int top, int scale, std::uint8_t level);
    std::uint8_t GreyAt(int x, int y) const;
    void SetGrey(int x, int y, std::uint8_t value);

    static constexpr std::size_t kNoisyCopies = 8;

    FrameGeometry m_geometry;
    std::vector<std::uint8_t> m_background;
    std::vector<std::uint8_t> m_noisy; // kNoisyCopies frames: the scene with noise added

};

// The scene for a geometry, shared: a graph rebuilt for the same format (preview to
// recording and back) reuses the last scene instead of drawing and noising it again.
std::shared_ptr<const SimulatorScene> SharedSimulatorScene(const FrameGeometry& geometry);

// The simulated VTI's time for a frame: the UTC time it stands for, plus the offset, plus
// the drift accumulated over the time since the stream started.
struct SimulatedVtiClock {
    std::int64_t offsetMilliseconds = 0;
    double driftMillisecondsPerMinute = 0.0;

    FileTimeTicks VtiTicks(FileTimeTicks utc, FileTimeTicks sinceStart) const;
};
