#include "common/CalendarTime.h"

namespace {

// Days from 1601-01-01 to the first day of the given year (year >= 1601).
std::int64_t DaysBeforeYear(int year)
{
    const std::int64_t y = year - 1601;
    return y * 365 + y / 4 - y / 100 + y / 400;
}

constexpr int kDaysBeforeMonth[2][13] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366},
};

} // namespace

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    const int leap = IsLeapYear(year) ? 1 : 0;
    return kDaysBeforeMonth[leap][month] - kDaysBeforeMonth[leap][month - 1];
}

int DayOfWeek(int year, int month, int day)
{
    // 1601-01-01 was a Monday.
    const std::int64_t days = DaysBeforeYear(year) + kDaysBeforeMonth[IsLeapYear(year) ? 1 : 0][month - 1] + day - 1;
    return static_cast<int>((days + 1) % 7);
}

std::optional<FileTimeTicks> CalendarToTicks(const CalendarTime& t)
{
    if (t.year < 1601 || t.year > 30827 || t.month < 1 || t.month > 12 || t.day < 1
        || t.day > DaysInMonth(t.year, t.month) || t.hour > 23 || t.minute > 59 || t.second > 59
        || t.milliseconds > 999)
        return std::nullopt;
    const std::int64_t days = DaysBeforeYear(t.year) + kDaysBeforeMonth[IsLeapYear(t.year) ? 1 : 0][t.month - 1] + t.day - 1;
    const std::uint64_t ms = ((static_cast<std::uint64_t>(days) * 24 + t.hour) * 60 + t.minute) * 60'000ull
        + t.second * 1000ull + t.milliseconds;
    return ms * kTicksPerMillisecond;
}

CalendarTime TicksToCalendar(FileTimeTicks ticks)
{
    CalendarTime t;
    std::uint64_t ms = ticks / kTicksPerMillisecond;
    t.milliseconds = static_cast<std::uint16_t>(ms % 1000);
    ms /= 1000;
    t.second = static_cast<std::uint16_t>(ms % 60);
    ms /= 60;
    t.minute = static_cast<std::uint16_t>(ms % 60);
    ms /= 60;
    t.hour = static_cast<std::uint16_t>(ms % 24);
    std::int64_t days = static_cast<std::int64_t>(ms / 24);
    t.dayOfWeek = static_cast<std::uint16_t>((days + 1) % 7);

    // Whole 400-year cycles first, then years one by one (at most 400 steps).
    int year = 1601 + static_cast<int>(days / 146097) * 400;
    days %= 146097;
    for (;;) {
        const int len = IsLeapYear(year) ? 366 : 365;
        if (days < len)
            break;
        days -= len;
        ++year;
    }
    const int leap = IsLeapYear(year) ? 1 : 0;
    int month = 1;
    while (days >= kDaysBeforeMonth[leap][month])
        ++month;
    t.year = static_cast<std::uint16_t>(year);
    t.month = static_cast<std::uint16_t>(month);
    t.day = static_cast<std::uint16_t>(days - kDaysBeforeMonth[leap][month - 1] + 1);
    return t;
}

std::optional<UtcTime> CalendarToUtcTime(const CalendarTime& t)
{
    const std::optional<FileTimeTicks> ticks = CalendarToTicks(t);
    if (!ticks)
        return std::nullopt;
    return ToUtcTime(*ticks);
}

CalendarTime UtcTimeToCalendar(UtcTime t)
{
    return TicksToCalendar(ToFileTimeTicks(t));
}
