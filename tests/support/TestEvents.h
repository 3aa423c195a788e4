#pragma once

#include "common/CalendarTime.h"

#include <QDateTime>
#include <QString>

// A calendar time from plain numbers, the day of the week left 0.
inline CalendarTime Calendar(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0)
{
    const auto u16 = [](int v) { return static_cast<std::uint16_t>(v); };
    return {u16(year), u16(month), 0, u16(day), u16(hour), u16(minute), u16(second), u16(ms)};
}

// The Event file the Event dialog writes for an Event at `at` (UTC) lasting h:m:s, in
// eventsFolder; its file name, empty when it could not be written.
QString WriteTestEvent(const QString& eventsFolder, const CalendarTime& at, int hours, int minutes, int seconds,
                       bool hibernate = false);

CalendarTime CalendarFromUtc(const QDateTime& utc);
