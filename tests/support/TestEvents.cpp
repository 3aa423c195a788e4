#include "support/TestEvents.h"

#include "events/EventFile.h"

#include <QDir>

QString WriteTestEvent(const QString& eventsFolder, const CalendarTime& at, int hours, int minutes, int seconds,
                       bool hibernate)
{
    const CalendarTime duration = Calendar(0, 0, 0, hours, minutes, seconds);
    QDir().mkpath(eventsFolder);
    const bool written = WriteEventFile(MakeEventFileFields(at, duration, hibernate, false),
                                        QDir(eventsFolder).filePath(EventFileName(at)));
    return written ? EventFileName(at) : QString();
}

CalendarTime CalendarFromUtc(const QDateTime& utc)
{
    const QDate d = utc.date();
    const QTime t = utc.time();
    return Calendar(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
}
