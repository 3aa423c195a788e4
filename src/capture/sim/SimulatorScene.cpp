#include "capture/sim/SimulatorScene.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <mutex>
#include <random>

namespace {

constexpr std::uint8_t kSkyLevel = 24;
constexpr double kNoiseSigma = 2.5;

// 5 × 7 capitals for the word, bit 4 the leftmost pixel of a row.
struct Letter {
    char c;
    std::array<std::uint8_t, 7> rows;
};
constexpr Letter kLetters[] = {
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}}, {'I', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}}, {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}}, {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}}, {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'N', {0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11}},
};

const Letter* FindLetter(char c)
{
    for (const Letter& l : kLetters)
        if (l.c == c)
            return &l;
    return nullptr;
}

int BytesPerPixel(const FrameGeometry& g)
{
    return BitsPerPixel(g.subtype) / 8;
}

} // namespace

SimulatorScene::SimulatorScene(const FrameGeometry& geometry, unsigned seed)
    : m_geometry(geometry)
{
    m_background.assign(static_cast<std::size_t>(geometry.stride) * static_cast<std::size_t>(geometry.height), 0);
    for (int y = 0; y < geometry.height; ++y)
        for (int x = 0; x < geometry.width; ++x)
            SetGrey(x, y, kSkyLevel);

    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const int stars = std::max(1, geometry.width * geometry.height / 2500);
    for (int i = 0; i < stars; ++i)
        DrawStar(unit(random) * geometry.width, unit(random) * geometry.height, 0.7 + 0.6 * unit(random),
                 6.0 + 40.0 * unit(random) * unit(random));
    DrawStar(geometry.width * 0.55, geometry.height * 0.4, 2.2, 190.0);
    DrawWord(geometry.width / 24, geometry.height / 24, std::max(1, geometry.width / 240), 96);

    // The luma of YUY2 and UYVY sits at every other byte; RGB gets the same noise in each channel.
    std::normal_distribution<double> normal(0.0, kNoiseSigma);
    const int step = IsPacked422(geometry.subtype) ? 2 : 1;
    const int rowBytes = geometry.width * BytesPerPixel(geometry);
    m_noisy.resize(kNoisyCopies * FrameBytes());
    for (std::size_t copy = 0; copy < kNoisyCopies; ++copy) {
        std::uint8_t* frame = m_noisy.data() + copy * FrameBytes();
        std::memcpy(frame, m_background.data(), FrameBytes());
        for (int y = 0; y < geometry.height; ++y) {
            std::uint8_t* row = frame + static_cast<std::ptrdiff_t>(y) * geometry.stride;
            for (int b = LumaByte(geometry.subtype); b < rowBytes; b += step)
                row[b] = static_cast<std::uint8_t>(std::clamp(row[b] + std::lround(normal(random)), 0L, 255L));
        }
    }
}

void SimulatorScene::Render(std::uint8_t* frame, std::uint64_t frameNumber, const OcrLayout& layout,
                            const VtiDisplayTime& time, FieldPhase phase) const
{
    // Each row comes from one of the noisy copies, picked anew per frame: fresh noise at
    // the cost of a copy.
    const auto rowBytes = static_cast<std::size_t>(m_geometry.stride);
    std::uint64_t pick = frameNumber * 0x9E3779B97F4A7C15ull;
    for (int y = 0; y < m_geometry.height; ++y) {
        pick = pick * 6364136223846793005ull + 1442695040888963407ull;
        const std::size_t copy = static_cast<std::size_t>(pick >> 61); // 0 .. kNoisyCopies - 1
        const std::size_t at = static_cast<std::size_t>(y) * rowBytes;
        std::memcpy(frame + at, m_noisy.data() + copy * FrameBytes() + at, rowBytes);
    }
    DrawVtiTime(frame, m_geometry, layout, time, phase);
}

void SimulatorScene::DrawStar(double cx, double cy, double sigma, double peak)
{
    const int radius = static_cast<int>(std::ceil(4.0 * sigma));
    const int x0 = std::max(0, static_cast<int>(cx) - radius);
    const int x1 = std::min(m_geometry.width - 1, static_cast<int>(cx) + radius);
    const int y0 = std::max(0, static_cast<int>(cy) - radius);
    const int y1 = std::min(m_geometry.height - 1, static_cast<int>(cy) + radius);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const double dx = x + 0.5 - cx;
            const double dy = y + 0.5 - cy;
            const double value = GreyAt(x, y) + peak * std::exp(-(dx * dx + dy * dy) / (2.0 * sigma * sigma));
            SetGrey(x, y, static_cast<std::uint8_t>(std::min(235.0, value)));
        }
}

void SimulatorScene::DrawWord(int left, int top, int scale, std::uint8_t level)
{
    static constexpr char kWord[] = "SIMULATION";
    for (int i = 0; kWord[i] != '\0'; ++i) {
        const Letter* letter = FindLetter(kWord[i]);
        for (int r = 0; r < 7 * scale; ++r)
            for (int c = 0; c < 5 * scale; ++c) {
                const int x = left + i * 6 * scale + c;
                const int y = top + r;
                if (x < m_geometry.width && y < m_geometry.height && (letter->rows[r / scale] >> (4 - c / scale)) & 1)
                    SetGrey(x, y, level);
            }
    }
}

std::uint8_t SimulatorScene::GreyAt(int x, int y) const
{
    return m_background[static_cast<std::size_t>(y * m_geometry.stride + x * BytesPerPixel(m_geometry)
                                                 + LumaByte(m_geometry.subtype))];
}

void SimulatorScene::SetGrey(int x, int y, std::uint8_t value)
{
    std::uint8_t* p = m_background.data() + y * m_geometry.stride + x * BytesPerPixel(m_geometry);
    if (IsPacked422(m_geometry.subtype)) {
        p[LumaByte(m_geometry.subtype)] = value;
        p[1 - LumaByte(m_geometry.subtype)] = 128; // neutral chroma
    } else {
        std::fill_n(p, BytesPerPixel(m_geometry), value);
    }
}

FileTimeTicks SimulatedVtiClock::VtiTicks(FileTimeTicks utc, FileTimeTicks sinceStart) const
{
    const double minutes = static_cast<double>(sinceStart) / static_cast<double>(kTicksPerMinute);
    const auto drift = static_cast<std::int64_t>(
        std::llround(driftMillisecondsPerMinute * minutes * static_cast<double>(kTicksPerMillisecond)));
    const std::int64_t shift = offsetMilliseconds * static_cast<std::int64_t>(kTicksPerMillisecond) + drift;
    return utc + static_cast<FileTimeTicks>(shift); // unsigned wrap-around adds a negative shift
}

std::shared_ptr<const SimulatorScene> SharedSimulatorScene(const FrameGeometry& geometry)
{
    // GStreamer makes the simulator's elements and gives them no owner to share a scene
    // through, and drawing one anew stalls every graph build. One scene is kept: the
    // simulator shows one format at a time.
    static std::mutex mutex;                           // process-wide: see above
    static std::shared_ptr<const SimulatorScene> last; // process-wide: see above
    std::lock_guard lock(mutex);
    const auto same = [&](const FrameGeometry& g) {
        return g.stride == geometry.stride && g.subtype == geometry.subtype && g.width == geometry.width
            && g.height == geometry.height;
    };
    if (!last || !same(last->Geometry()))
        last = std::make_shared<const SimulatorScene>(geometry);
    return last;
}
