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
