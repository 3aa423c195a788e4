#include "common/CalendarTime.h"
#include "support/TestEvents.h"

#include <gtest/gtest.h>

TEST(CalendarTime, KnownTicksWeekdaysLeapYearsAndFieldsOutOfRange)
{
    EXPECT_EQ(CalendarToTicks(Calendar(1601, 1, 1)), 0u);
    EXPECT_EQ(TicksToCalendar(0).dayOfWeek, 1); // a Monday
    // The Unix epoch is 11,644,473,600 s after the FileTime epoch, on a Thursday.
    EXPECT_EQ(CalendarToTicks(Calendar(1970, 1, 1)), 116444736000000000ull);
    EXPECT_EQ(TicksToCalendar(116444736000000000ull).dayOfWeek, 4);
    for (const auto& [y, m, d, weekday] : {std::tuple{2026, 12, 6, 0}, {1943, 5, 3, 1}, {2000, 2, 29, 2}})
        EXPECT_EQ(DayOfWeek(y, m, d), weekday) << y;
    for (const auto& [year, leap] : {std::pair{2000, true}, {1900, false}, {2024, true}, {2026, false}, {2100, false}}) {
        EXPECT_EQ(IsLeapYear(year), leap) << year;
        EXPECT_EQ(DaysInMonth(year, 2), leap ? 29 : 28) << year;
        EXPECT_EQ(CalendarToTicks(Calendar(year, 2, 29)).has_value(), leap) << year;
        const auto feb28 = CalendarToTicks(Calendar(year, 2, 28, 23, 59, 59, 999));
        EXPECT_EQ(TicksToCalendar(*feb28 + kTicksPerMillisecond).month, leap ? 2 : 3) << year;
    }
    for (const CalendarTime& t : {Calendar(1600, 12, 31), Calendar(2026, 13, 1), Calendar(2026, 0, 1),
                                  Calendar(2026, 4, 31), Calendar(2026, 1, 1, 24), Calendar(2026, 1, 1, 0, 60),
                                  Calendar(2026, 1, 1, 0, 0, 60), Calendar(2026, 1, 1, 0, 0, 0, 1000)})
        EXPECT_FALSE(CalendarToTicks(t).has_value()) << t.year << "-" << t.month << "-" << t.day;
}
