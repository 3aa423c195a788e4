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
    const QString name = EventFileName(at);
    QDir().mkpath(eventsFolder);
    if (!WriteEventFile(MakeEventFileFields(at, duration, hibernate, false), QDir(eventsFolder).filePath(name)))
        return {};
    return name;
}

CalendarTime CalendarFromUtc(const QDateTime& utc)
{
    const QDate d = utc.date();
    const QTime t = utc.time();
    CalendarTime c{};
    c.year = static_cast<std::uint16_t>(d.year());
    c.month = static_cast<std::uint16_t>(d.month());
    c.day = static_cast<std::uint16_t>(d.day());
    c.hour = static_cast<std::uint16_t>(t.hour());
    c.minute = static_cast<std::uint16_t>(t.minute());
    c.second = static_cast<std::uint16_t>(t.second());
    return c;
}
