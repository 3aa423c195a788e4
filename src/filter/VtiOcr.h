#pragma once

#include "common/CalendarTime.h"
#include "filter/AnalysisMessages.h"
#include "filter/CharacterSet.h"
#include "filter/FrameGeometry.h"

#include <array>
#include <cstdint>

// Reads the VTI time line (hours, minutes, seconds, the first field's fraction) from a
// top-down YUY2 frame by matching the character sets' templates in fixed digit cells.

inline constexpr int kRowBaseTvSafe = 396;
inline constexpr int kRowBasePlain = 432;
inline constexpr int kDigitPositions = 21;
inline constexpr int kReadPositions = 9;     // hours to the third fraction digit
inline constexpr int kDisplayPositions = 14; // through the second field's fraction
inline constexpr std::uint8_t kLitThreshold = 136;
inline constexpr std::uint16_t kVtiHourNotRead = 100;

// Byte offsets of the digit cells in a YUY2 row; the camera-attached table sits 6 pixels
// further right.
extern const std::array<int, kDigitPositions> kDigitColumnsCameraAttached;
extern const std::array<int, kDigitPositions> kDigitColumnsPlain;
// The highest digit each read position can show (tens of hours at most 2, and so on).
extern const std::array<int, kReadPositions> kHighestDigit;

struct OcrLayout {
    int rowBase = kRowBasePlain;
    bool cameraAttached = false;
};

// Pixels; right and bottom are one past the cell, which is 21 pixels wide so that a
// 20-pixel template is tried at two horizontal positions.
struct DigitCell {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

DigitCell MakeDigitCell(int position, const OcrLayout& layout);
// Whether every cell the reader touches lies inside frames of this geometry.
bool OcrLayoutFits(const OcrLayout& layout, const FrameGeometry& geometry);

bool MatchGlyph(const std::uint8_t* frame, const DigitCell& cell, std::int32_t stride, const GlyphTemplate& glyph);

struct GlyphMatch {
    const GlyphTemplate* glyph = nullptr; // the lowest digit that matched
    bool ambiguous = false;               // two or more matched
};
// Needs a complete set list: the cell's probe row chooses the Even or the Odd set.
GlyphMatch FindGlyph(const std::uint8_t* frame, const DigitCell& cell, std::int32_t stride, int highestDigit,
                     const CharacterSetList& sets);

// One frame's time line read on its own, without the reader's counters: what a recorded
// file's frames are read with.
struct VtiLineReading {
    bool firstDigitLost = false; // the first hour digit matched no glyph, or more than one
    bool read = false;           // every digit matched and they make a time of day
    std::uint16_t hour = kVtiHourNotRead;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0; // the first field's
};
VtiLineReading ReadVtiLine(const std::uint8_t* frame, const FrameGeometry& geometry, const OcrLayout& layout,
                           const CharacterSetList& sets);
// The number that count digits from display position first on show (any digit 0 to 9
// each), or -1 when a digit matches no glyph or a cell lies outside the frame.
int ReadDisplayDigits(const std::uint8_t* frame, const FrameGeometry& geometry, const OcrLayout& layout,
                      const CharacterSetList& sets, int first, int count);

// The reader's state between frames of one graph build.
class VtiOcr {
public:
    // Both must outlive the reader.
    VtiOcr(const CharacterSetList& sets, AnalysisMessages& messages) : m_sets(&sets), m_messages(&messages) {}

    void SetLayout(const OcrLayout& layout) { m_layout = layout; }
    const OcrLayout& Layout() const { return m_layout; }

    // Clears the counters; enables reading when both sets are loaded, else reports that
    // they are missing. The VTI date starts as the date of start.
    void Reset(const CalendarTime& start);
    bool Enabled() const { return m_enabled; }

    void CountFrame() { ++m_frameCount; }
    std::uint32_t FrameCount() const { return m_frameCount; }

    // Frames 1 to 30: probes the first hour digit until five clean reads in a row; at
    // frame 30 without them, reports and disables reading.
    void CheckTimeDisplay(const std::uint8_t* frame, const FrameGeometry& geometry);
    void ProbeTimeDisplay(const std::uint8_t* frame, const FrameGeometry& geometry);

    // Fills the time of day of VtiTime(); false (hour 100) when the frame was not read.
    bool ReadVtiTime(const std::uint8_t* frame, const FrameGeometry& geometry);
    const CalendarTime& VtiTime() const { return m_vtiTime; }

    // A frame whose first digit failed; the twelfth such frame in a row stops reading.
    void CountLostFrame();

private:
    const CharacterSetList* m_sets;
    AnalysisMessages* m_messages;
    OcrLayout m_layout;
    bool m_enabled = false;
    std::uint32_t m_frameCount = 0;
    std::uint32_t m_goodProbeCount = 0;
    std::uint32_t m_lastLostFrame = 0;
    std::uint32_t m_consecutiveLost = 0;
    CalendarTime m_vtiTime;
};

inline constexpr std::uint32_t kProbeFrames = 30;
inline constexpr std::uint32_t kGoodProbesNeeded = 5;
inline constexpr std::uint32_t kLostFramesTolerated = 10;
