#include "common/Clock.h"

#include <ctime>
#include <sys/time.h>

namespace {

CalendarTime FromTm(const std::tm& tm, long microseconds)
{
    CalendarTime t;
    t.year = static_cast<std::uint16_t>(tm.tm_year + 1900);
    t.month = static_cast<std::uint16_t>(tm.tm_mon + 1);
    t.dayOfWeek = static_cast<std::uint16_t>(tm.tm_wday);
    t.day = static_cast<std::uint16_t>(tm.tm_mday);
    t.hour = static_cast<std::uint16_t>(tm.tm_hour);
    t.minute = static_cast<std::uint16_t>(tm.tm_min);
    t.second = static_cast<std::uint16_t>(tm.tm_sec > 59 ? 59 : tm.tm_sec); // no leap seconds in FileTime
    t.milliseconds = static_cast<std::uint16_t>(microseconds / 1000);
    return t;
}

} // namespace

CalendarTime SystemClock::UtcNow() const
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm tm{};
    gmtime_r(&ts.tv_sec, &tm);
    return FromTm(tm, ts.tv_nsec / 1000);
}

ManualClock::ManualClock(const CalendarTime& utc)
{
    SetUtc(utc);
}

CalendarTime ManualClock::UtcNow() const
{
    return TicksToCalendar(m_utcTicks);
}

void ManualClock::SetUtc(const CalendarTime& utc)
{
    m_utcTicks = CalendarToTicks(utc).value_or(0);
}

void ManualClock::Advance(FileTimeSpan span)
{
    m_utcTicks += static_cast<FileTimeTicks>(span.count());
}

FileTimeTicks UtcNowTicks(const Clock& clock)
{
    // The clock only hands out valid times.
    return CalendarToTicks(clock.UtcNow()).value_or(0);
}

UtcTime UtcTimeNow(const Clock& clock)
{
    return ToUtcTime(UtcNowTicks(clock));
}

