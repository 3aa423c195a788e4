#include "common/CalendarTime.h"
#include "common/Clock.h"

#include <gtest/gtest.h>
#include <random>

namespace {
CalendarTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return CalendarTime{static_cast<std::uint16_t>(y), static_cast<std::uint16_t>(mo), 0,
                        static_cast<std::uint16_t>(d), static_cast<std::uint16_t>(h), static_cast<std::uint16_t>(mi),
                        static_cast<std::uint16_t>(s), static_cast<std::uint16_t>(ms)};
}
} // namespace

TEST(CalendarTime, EpochIsMondayFirstJanuary1601)
{
    EXPECT_EQ(CalendarToTicks(At(1601, 1, 1)), 0u);
    const CalendarTime t = TicksToCalendar(0);
    EXPECT_EQ(t.year, 1601);
    EXPECT_EQ(t.month, 1);
    EXPECT_EQ(t.day, 1);
    EXPECT_EQ(t.dayOfWeek, 1);
}

TEST(CalendarTime, KnownTickValuesAndWeekdays)
{
    // The Unix epoch is 11,644,473,600 s after the FileTime epoch.
    EXPECT_EQ(CalendarToTicks(At(1970, 1, 1)), 116444736000000000ull);
    EXPECT_EQ(TicksToCalendar(116444736000000000ull).dayOfWeek, 4); // Thursday
    EXPECT_EQ(DayOfWeek(2026, 12, 6), 0);                           // Sunday
    EXPECT_EQ(DayOfWeek(1943, 5, 3), 1);                            // Monday
    EXPECT_EQ(DayOfWeek(2000, 2, 29), 2);                           // Tuesday
}

TEST(CalendarTime, LeapYearRules)
{
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_FALSE(IsLeapYear(2026));
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(2100, 2), 28);
    EXPECT_TRUE(CalendarToTicks(At(2024, 2, 29)).has_value());
    EXPECT_FALSE(CalendarToTicks(At(2026, 2, 29)).has_value());
    // Crossing the end of February in a leap year and in a century year.
    const auto leap = CalendarToTicks(At(2000, 2, 28, 23, 59, 59, 999));
    EXPECT_EQ(TicksToCalendar(*leap + kTicksPerMillisecond).day, 29);
    const auto century = CalendarToTicks(At(2100, 2, 28, 23, 59, 59, 999));
    EXPECT_EQ(TicksToCalendar(*century + kTicksPerMillisecond).month, 3);
}

TEST(CalendarTime, RejectsFieldsOutOfRange)
{
    EXPECT_FALSE(CalendarToTicks(At(1600, 12, 31)).has_value());
    EXPECT_FALSE(CalendarToTicks(At(2026, 13, 1)).has_value());
    EXPECT_FALSE(CalendarToTicks(At(2026, 0, 1)).has_value());
    EXPECT_FALSE(CalendarToTicks(At(2026, 4, 31)).has_value());
    EXPECT_FALSE(CalendarToTicks(At(2026, 1, 1, 24)).has_value());
    EXPECT_FALSE(CalendarToTicks(At(2026, 1, 1, 0, 60)).has_value());
    EXPECT_FALSE(CalendarToTicks(At(2026, 1, 1, 0, 0, 60)).has_value());
    EXPECT_FALSE(CalendarToTicks(At(2026, 1, 1, 0, 0, 0, 1000)).has_value());
}

TEST(CalendarTime, RoundTripsRandomTicksToTheMillisecond)
{
    std::mt19937_64 rng(42);
    const FileTimeTicks max = *CalendarToTicks(At(9999, 12, 31, 23, 59, 59, 999));
    for (int i = 0; i < 100000; ++i) {
        const FileTimeTicks ticks = (rng() % max) / kTicksPerMillisecond * kTicksPerMillisecond;
        const CalendarTime t = TicksToCalendar(ticks);
        ASSERT_EQ(CalendarToTicks(t), ticks);
        ASSERT_EQ(t.dayOfWeek, DayOfWeek(t.year, t.month, t.day));
    }
}

TEST(Clock, ManualClockAdvances)
{
    ManualClock clock(At(2026, 12, 31, 23, 59, 59, 500));
    clock.Advance(std::chrono::seconds(1));
    EXPECT_EQ(clock.UtcNow().year, 2027);
    EXPECT_EQ(clock.UtcNow().milliseconds, 500);

    SetAppClock(&clock);
    EXPECT_EQ(AppClock().UtcNow(), clock.UtcNow());
    SetAppClock(nullptr);
    EXPECT_GE(AppClock().UtcNow().year, 2024);
}
