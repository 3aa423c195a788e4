#include "events/EventEditing.h"

#include "events/EventSchedule.h"
#include "messages/UserMessageLog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTimeZone>
#include <array>

namespace {

QString EventPath(const QString& fileName)
{
    return QLatin1String(kEventsFolder) + fileName;
}

// A stored " 7" shows as "07".
QString LeadingZero(const QString& field)
{
    QString shown = field;
    if (shown.startsWith(QLatin1Char(' ')))
        shown[0] = QLatin1Char('0');
    return shown;
}

QString ClockColumn(const QString& hour, const QString& minute, const QString& second)
{
    return LeadingZero(hour) + QLatin1Char(':') + LeadingZero(minute) + QLatin1Char(':') + LeadingZero(second);
}

// A hand-made file may hold a month without a name: it shows as "??? " in the same width.
QString MonthAbbreviation(const QString& monthField)
{
    static const std::array<const char*, 12> names{"JAN ", "FEB ", "MAR ", "APR ", "MAY ", "JUN ",
                                                   "JUL ", "AUG ", "SEP ", "OCT ", "NOV ", "DEC "};
    bool ok = false;
    const int month = monthField.trimmed().toInt(&ok);
    if (!ok || month < 1 || month > 12)
        return QStringLiteral("??? ");
    return QLatin1String(names[static_cast<std::size_t>(month - 1)]);
}

QString CheckMark(bool set)
{
    return set ? QString(QChar(0x2713)) : QString();
}

} // namespace

EventSaveResult SaveEventFile(EventSchedule& schedule, UserMessageLog& log, const EventFileFields& fields,
                              const CalendarTime& eventTime, const QString& editedFileName, QString* savedName)
{
    const QString name = EventFileName(eventTime);
    if (savedName)
        *savedName = name;
    if (!QDir().mkpath(QLatin1String(kEventsFolder))) {
        log.Append(
            QStringLiteral("\r\nUnable to create \"Events\" directory in process directory.  Check security settings.\r\n"),
            true);
        return EventSaveResult::FolderNotCreated;
    }
    QString error;
    if (!WriteEventFile(fields, EventPath(name), &error)) {
        log.Append(QStringLiteral("\r\nERROR -- the Event file \"%1\" was not written: %2.  Nothing was saved.\r\n")
                              .arg(name, error),
                          true);
        return EventSaveResult::WriteFailed;
    }
    schedule.AddWrittenEventFile(name);
    const bool editing = !editedFileName.isEmpty();
    // Same name: the atomic write has already replaced the edited file.
    if (editing && editedFileName != name && !DeleteEventFile(editedFileName))
        log.Append(QStringLiteral("WARNING: the edited Event file \"%1\" could not be deleted; it is still "
                                         "scheduled beside \"%2\"\r\n")
                              .arg(editedFileName, name),
                          true);
    log.Append((editing ? QStringLiteral("Edited event (new event name if UTC time altered):  ")
                               : QStringLiteral("Scheduled an event recording:  "))
                          + name + QStringLiteral("\r\n"),
                      true);
    return EventSaveResult::Saved;
}

QString EventTimeText(const CalendarTime& t)
{
    const QDateTime at(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second), QTimeZone::utc());
    return QLocale::c().toString(at, QStringLiteral("MMM d, yyyy  HH:mm:ss")) + QStringLiteral(" UTC");
}

QString TooLateToRecordReason(const CalendarTime& eventTime, const CalendarTime& duration, UtcTime now)
{
    EventRecord record;
    record.EventTime = eventTime;
    record.Duration = duration;
    if (!ComputeEventWindow(record, now) || !TooLateToRecord(record, now))
        return {};
    if (record.Expired)
        return QStringLiteral("This Event's recording ended on %1, so it can no longer be recorded.  "
                              "Check the date and time.")
            .arg(EventTimeText(UtcTimeToCalendar(record.RecordingEnd)));
    return QStringLiteral("This Event's recording ends on %1, too soon to be recorded: it must end more than %2 "
                          "seconds from now.  Choose a later time.")
        .arg(EventTimeText(UtcTimeToCalendar(record.RecordingEnd)))
        .arg(kTooLateMargin.count());
}

bool DeleteEventFile(const QString& fileName)
{
    const QString path = EventPath(fileName);
    return QFile::remove(path) || !QFileInfo::exists(path);
}

std::vector<EventListEntry> ListEventFiles(UserMessageLog& log, bool showExpired, UtcTime now)
{
    std::vector<EventListEntry> entries;
    for (const QString& name : EventFileNames()) {
        EventListEntry entry;
        entry.FileName = name;
        ReadNamedEvent(log, name, entry.Fields);
        const std::unique_ptr<EventRecord> record = MakeEventRecord(entry.Fields, now);
        entry.Expired = record && record->Expired;
        if (!entry.Expired || showExpired)
            entries.push_back(std::move(entry));
    }
    return entries;
}

QStringList EventListColumns(const EventListEntry& e)
{
    const EventFileFields& f = e.Fields;
    return {QLatin1Char(' ') + MonthAbbreviation(f.EventMonth) + f.EventDay + QStringLiteral(", ") + f.EventYear,
            ClockColumn(f.EventHour, f.EventMinute, f.EventSecond),
            ClockColumn(f.DurationHour, f.DurationMinute, f.DurationSecond),
            f.Comment,
            CheckMark(f.Hibernate == QLatin1String("TRUE")),
            CheckMark(f.Shutdown == QLatin1String("TRUE")),
            CheckMark(e.Expired),
            e.FileName};
}
