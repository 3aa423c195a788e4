#pragma once

#include "filter/CharacterSet.h"
#include "filter/FrameGeometry.h"
#include "filter/VtiOcr.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The timing record of a recording: the VTI time of every frame as the display shows it,
// and the frames where the time does not step on by one frame period.

// Both fields' times of one frame, in ten-thousandths of a second as the VTI shows them.
struct VtiFrameTime {
    bool readable = false; // every digit of both fields was read; the rest is 0 otherwise
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t firstFieldFraction = 0;  // 0..9999
    std::uint16_t secondFieldFraction = 0; // 0..9999; the display shows no seconds for it
};

inline constexpr std::int64_t kVtiUnitsPerSecond = 10'000;
inline constexpr std::int64_t kVtiUnitsPerDay = 86'400 * kVtiUnitsPerSecond;

// Reads a top-down packed 4:2:2 frame whose luma is at the even bytes (YUY2); a UYVY
// frame is read from its second byte on, which puts its luma there too.
VtiFrameTime ReadVtiFrameTime(const std::uint8_t* frame, const FrameGeometry& geometry, const OcrLayout& layout,
                              const CharacterSetList& sets);

// Times of day in ten-thousandths of a second. The second field shares the first's
// seconds, one more when its fraction has wrapped past the next second.
std::int64_t FirstFieldTime(const VtiFrameTime& t);
std::int64_t SecondFieldTime(const VtiFrameTime& t);

struct TimingFlags {
    bool unreadable = false;
    // The time moved on by more or less than the frame periods since the last frame read,
    // by over half a period: frames dropped (or a jump back). Half a period is far beyond
    // the display's last digit, so its rounding never marks a frame, and short of the
    // whole period a single lost frame adds.
    bool gap = false;
    bool repeat = false; // the time of the last frame read, within half a period: a duplicate
};

struct TimingRecord {
    std::vector<VtiFrameTime> times; // one per frame, in file order
    std::vector<TimingFlags> flags;  // likewise
    std::int64_t gaps = 0;
    std::int64_t repeats = 0;
    std::int64_t unreadable = 0;
    std::int64_t firstRead = -1; // the first and the last frame whose time was read; -1: none
    std::int64_t lastRead = -1;
};

// framePeriod: the recording's nominal frame period in ten-thousandths of a second.
TimingRecord MakeTimingRecord(std::vector<VtiFrameTime> times, double framePeriod);

// A header line, then per frame: number (0 first), both fields' times as HH:MM:SS.ssss
// (empty when unreadable) and the three flags as 0 or 1; CR LF line ends.
std::string TimingRecordCsv(const TimingRecord& record);

// One line for User Messages, CR LF at the end: the first and last time read, frames,
// gaps, repeats and unreadable frames; a NOTE when all is sound, else a WARNING.
std::string TimingRecordSummary(const TimingRecord& record, std::string_view csvName);
