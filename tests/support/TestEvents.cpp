#include "support/TestEvents.h"

#include "events/EventFile.h"

#include <QDir>

QString WriteTestEvent(const QString& eventsFolder, const CalendarTime& at, int hours, int minutes, int seconds,
                       bool hibernate)
{
    CalendarTime duration{};
    duration.hour = static_cast<std::uint16_t>(hours);
    duration.minute = static_cast<std::uint16_t>(minutes);
    duration.second = static_cast<std::uint16_t>(seconds);
    QDir().mkpath(eventsFolder);
    const bool written = WriteEventFile(MakeEventFileFields(at, duration, hibernate, false),
                                        QDir(eventsFolder).filePath(EventFileName(at)));
    return written ? EventFileName(at) : QString();
}

CalendarTime CalendarFromUtc(const QDateTime& utc)
{
    const auto u16 = [](int v) { return static_cast<std::uint16_t>(v); };
    const QDate d = utc.date();
    const QTime t = utc.time();
    return {u16(d.year()), u16(d.month()), 0, u16(d.day()), u16(t.hour()), u16(t.minute()), u16(t.second()), 0};
}
