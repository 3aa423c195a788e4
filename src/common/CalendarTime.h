#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

// A calendar date and time, 16-bit unsigned fields. All stored and shown times are UTC.
struct CalendarTime {
    std::uint16_t year = 0;
    std::uint16_t month = 0;      // 1..12
    std::uint16_t dayOfWeek = 0;  // 0 = Sunday .. 6 = Saturday
    std::uint16_t day = 0;        // 1..31
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;

    friend bool operator==(const CalendarTime&, const CalendarTime&) = default;
};

// FileTime ticks: 100 ns units since 1601-01-01 00:00:00 UTC.
using FileTimeTicks = std::uint64_t;

inline constexpr FileTimeTicks kTicksPerMillisecond = 10'000;
inline constexpr FileTimeTicks kTicksPerSecond = 10'000'000;
inline constexpr FileTimeTicks kTicksPerMinute = 600'000'000;
inline constexpr FileTimeTicks kTicksPerDay = 864'000'000'000;

// The ticks as std::chrono types, for the time arithmetic between the parts: a span of
// ticks, and a UTC moment (no leap seconds, as in FileTime).
using FileTimeSpan = std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>;
using UtcTime = std::chrono::sys_time<FileTimeSpan>;
inline constexpr UtcTime kFileTimeEpoch{std::chrono::sys_days{std::chrono::January / 1 / 1601}}; // tick 0

inline constexpr UtcTime ToUtcTime(FileTimeTicks ticks)
{
    return kFileTimeEpoch + FileTimeSpan(static_cast<std::int64_t>(ticks));
}
inline constexpr FileTimeTicks ToFileTimeTicks(UtcTime t)
{
    return static_cast<FileTimeTicks>((t - kFileTimeEpoch).count());
}

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// Fails (nullopt) for a year before 1601 or after 30827, or a field out of range.
// dayOfWeek is ignored on input.
std::optional<FileTimeTicks> CalendarToTicks(const CalendarTime& t);
// Fills every field, dayOfWeek included. Ticks below one millisecond are dropped.
CalendarTime TicksToCalendar(FileTimeTicks ticks);
// The same for UtcTime; a moment before 1601 has no calendar time.
std::optional<UtcTime> CalendarToUtcTime(const CalendarTime& t);
CalendarTime UtcTimeToCalendar(UtcTime t);

// Day of week (0 = Sunday) of a valid date.
int DayOfWeek(int year, int month, int day);
