#include "events/EventSchedule.h"

#include "messages/UserMessageLog.h"

#include <QDir>
#include <algorithm>

namespace {

const QString kNoEvents = QStringLiteral("There are no scheduled Events\r\n");

bool SameTime(const CalendarTime& a, const CalendarTime& b)
{
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour && a.minute == b.minute
        && a.second == b.second;
}

bool SameDuration(const CalendarTime& a, const CalendarTime& b)
{
    return a.hour == b.hour && a.minute == b.minute && a.second == b.second;
}

} // namespace

bool EventSchedule::StoppedByHand(const EventRecord& record) const
{
    return std::any_of(ManuallyStoppedEvents.begin(), ManuallyStoppedEvents.end(), [&](const StoppedEvent& s) {
        return SameTime(s.EventTime, record.EventTime) && SameDuration(s.Duration, record.Duration);
    });
}

// Sorted by plain character order, so which of two overlapping Events survives never
// depends on the order in which the file system lists the folder.
QStringList EventFileNames()
{
    QStringList names = QDir(QLatin1String(kEventsFolder)).entryList({QStringLiteral("*.ief")}, QDir::Files, QDir::Unsorted);
    std::sort(names.begin(), names.end());
    return names;
}

bool TooLateToRecord(const EventRecord& record, UtcTime now)
{
    return record.RecordingStart <= now && now + kTooLateMargin >= record.RecordingEnd;
}

InsertResult EventSchedule::InsertIntoSchedule(std::unique_ptr<EventRecord> record, UtcTime now)
{
    if (TooLateToRecord(*record, now))
        return InsertResult::TooLate;
    auto at = std::find_if(Records.begin(), Records.end(),
                           [&](const auto& listed) { return record->RecordingEnd > listed->RecordingStart; });
    if (at != Records.end() && record->RecordingStart < (*at)->RecordingEnd + kOverlapMargin)
        return InsertResult::Overlaps;
    Records.insert(at, std::move(record));
    return InsertResult::Accepted;
}

void EventSchedule::AddStoppedEvent(const CalendarTime& eventTime, const CalendarTime& duration)
{
    ManuallyStoppedEvents.push_back({eventTime, duration});
}

void EventSchedule::AddWrittenEventFile(const QString& fileName)
{
    if (!FilesWrittenThisRun.contains(fileName))
        FilesWrittenThisRun.append(fileName);
}

void EventSchedule::OfferToSchedule(const QString& fileName, std::unique_ptr<EventRecord> record,
                                    ScheduleListing& listing, UserMessageLog& log, UtcTime now)
{
    if (StoppedByHand(*record))
        return;
    switch (InsertIntoSchedule(std::move(record), now)) {
    case InsertResult::Accepted:
        if (listing.Accepted++ == 0)
            log.Append(QStringLiteral("The following Events are Loaded (scheduled):"), true);
        log.Append(fileName.chopped(4), false);
        break;
    case InsertResult::TooLate:
        // Files from earlier runs stay quiet: the Events folder keeps expired Events.
        if (FilesWrittenThisRun.contains(fileName))
            log.Append(QStringLiteral("NOTE: the Event ") + fileName
                                  + QStringLiteral(" is not scheduled because its recording time is over\r\n"),
                              listing.Accepted == 0);
        break;
    case InsertResult::Overlaps:
        // The rule as it was applied, so the user knows how far to move the Event.
        log.Append(QStringLiteral("NOTE: the Event %1 is ignored because its recording overlaps another Event's or "
                                  "starts less than %2 seconds after it ends\r\n")
                       .arg(fileName)
                       .arg(kOverlapMargin.count()),
                   listing.Accepted == 0);
        break;
    }
}

bool EventSchedule::LoadEventSchedule(UserMessageLog& log, UtcTime now)
{
    Records.clear();
    const QStringList names = EventFileNames();
    if (names.isEmpty()) {
        log.Append(kNoEvents, true);
        return false;
    }
    ScheduleListing listing;
    for (const QString& name : names) {
        EventFileFields fields;
        QString problem;
        std::unique_ptr<EventRecord> record;
        if (!ReadNamedEvent(log, name, fields))
            problem = QStringLiteral("it cannot be read as an Event file");
        else if (!(record = MakeEventRecord(fields, now, &problem)))
            problem = QStringLiteral("it holds no valid ") + problem;
        if (!record) {
            log.Append(QStringLiteral("NOTE: the Event ") + name + QStringLiteral(" is not scheduled because ")
                                  + problem + QStringLiteral("\r\n"),
                              true);
            continue;
        }
        OfferToSchedule(name, std::move(record), listing, log, now);
    }
    if (listing.Accepted > 0)
        log.Append(QString(), false);
    return true;
}

std::unique_ptr<EventRecord> EventSchedule::TakeNextEvent()
{
    if (Records.empty())
        return nullptr;
    std::unique_ptr<EventRecord> next = std::move(Records.back());
    Records.pop_back();
    return next;
}
