#include "events/EventSchedule.h"

#include "common/Clock.h"
#include "devices/DeviceTable.h"
#include "messages/UserMessageLog.h"

#include <QDir>
#include <algorithm>

namespace {

EventSchedule* g_installed = nullptr;
std::function<void()> g_armNextEvent;

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

bool StoppedByHand(const EventRecord& record)
{
    const auto& stopped = TheEventSchedule().ManuallyStoppedEvents;
    return std::any_of(stopped.begin(), stopped.end(), [&](const StoppedEvent& s) {
        return SameTime(s.EventTime, record.EventTime) && SameDuration(s.Duration, record.Duration);
    });
}

void DefaultArmNextEvent()
{
    if (TheEventSchedule().Records.empty())
        AppendUserMessage(kNoEvents, true);
    else
        TakeNextEvent();
}

} // namespace

// Sorted by plain character order, so which of two overlapping Events survives never
// depends on the order in which the file system lists the folder.
QStringList EventFileNames()
{
    QStringList names = QDir(QLatin1String(kEventsFolder)).entryList({QStringLiteral("*.ief")}, QDir::Files, QDir::Unsorted);
    std::sort(names.begin(), names.end());
    return names;
}

EventSchedule& TheEventSchedule()
{
    static EventSchedule builtIn;
    return g_installed ? *g_installed : builtIn;
}

void SetEventSchedule(EventSchedule* schedule)
{
    g_installed = schedule;
}

void ClearEventSchedule()
{
    TheEventSchedule().Records.clear();
}

bool TooLateToRecord(const EventRecord& record, FileTimeTicks now)
{
    return record.RecordingStart <= now && now + kTooLateMargin >= record.RecordingEnd;
}

InsertResult InsertIntoSchedule(std::unique_ptr<EventRecord> record)
{
    const FileTimeTicks now = UtcNowTicks();
    if (TooLateToRecord(*record, now))
        return InsertResult::TooLate;
    if (record->RecordingStart <= now)
        record->DurationTicks = record->RecordingEnd - now;
    auto& records = TheEventSchedule().Records;
    auto at = std::find_if(records.begin(), records.end(),
                           [&](const auto& listed) { return record->RecordingEnd > listed->RecordingStart; });
    if (at != records.end() && record->RecordingStart < (*at)->RecordingEnd + kOverlapMargin)
        return InsertResult::Overlaps;
    records.insert(at, std::move(record));
    return InsertResult::Accepted;
}

void AddStoppedEvent(const CalendarTime& eventTime, const CalendarTime& duration)
{
    TheEventSchedule().ManuallyStoppedEvents.push_back({eventTime, duration});
}

void AddWrittenEventFile(const QString& fileName)
{
    QStringList& written = TheEventSchedule().FilesWrittenThisRun;
    if (!written.contains(fileName))
        written.append(fileName);
}

void OfferToSchedule(const QString& fileName, std::unique_ptr<EventRecord> record, ScheduleListing& listing)
{
    if (StoppedByHand(*record))
        return;
    switch (InsertIntoSchedule(std::move(record))) {
    case InsertResult::Accepted:
        if (listing.Accepted++ == 0)
            AppendUserMessage(QStringLiteral("The following Events are Loaded (scheduled):"), true);
        AppendUserMessage(fileName.chopped(4), false);
        break;
    case InsertResult::TooLate:
        // Files from earlier runs stay quiet: the Events folder keeps expired Events.
        if (TheEventSchedule().FilesWrittenThisRun.contains(fileName))
            AppendUserMessage(QStringLiteral("NOTE: the Event ") + fileName
                                  + QStringLiteral(" is not scheduled because its recording time is over\r\n"),
                              listing.Accepted == 0);
        break;
    case InsertResult::Overlaps:
        AppendUserMessage(QStringLiteral("NOTE: the Event ") + fileName
                              + QStringLiteral(" is ignored because it overlaps (within one minute) another Event\r\n"),
                          listing.Accepted == 0);
        break;
    }
}

void LoadEventSchedule()
{
    if (Devices().count == 0)
        return;
    ClearEventSchedule();
    const QStringList names = EventFileNames();
    if (names.isEmpty()) {
        AppendUserMessage(kNoEvents, true);
        return;
    }
    ScheduleListing listing;
    for (const QString& name : names) {
        EventFileFields fields;
        QString problem;
        std::unique_ptr<EventRecord> record;
        if (!ReadNamedEvent(name, fields))
            problem = QStringLiteral("it cannot be read as an Event file");
        else if (!(record = MakeEventRecord(fields, &problem)))
            problem = QStringLiteral("it holds no valid ") + problem;
        if (!record) {
            AppendUserMessage(QStringLiteral("NOTE: the Event ") + name + QStringLiteral(" is not scheduled because ")
                                  + problem + QStringLiteral("\r\n"),
                              true);
            continue;
        }
        OfferToSchedule(name, std::move(record), listing);
    }
    if (listing.Accepted > 0)
        AppendUserMessage(QString(), false);
    ArmNextEventHandOver();
}

void SetArmNextEventHandler(std::function<void()> handler)
{
    g_armNextEvent = std::move(handler);
}

void ArmNextEventHandOver()
{
    if (g_armNextEvent)
        g_armNextEvent();
    else
        DefaultArmNextEvent();
}

std::unique_ptr<EventRecord> TakeNextEvent()
{
    auto& records = TheEventSchedule().Records;
    if (records.empty())
        return nullptr;
    std::unique_ptr<EventRecord> next = std::move(records.back());
    records.pop_back();
    return next;
}
