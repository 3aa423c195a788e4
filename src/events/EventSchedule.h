#pragma once

#include "events/EventFile.h"

class UserMessageLog;

#include <QString>
#include <QStringList>
#include <chrono>
#include <memory>
#include <vector>

// An Event whose recording the user stopped by hand: a rebuild must not bring it back.
struct StoppedEvent {
    CalendarTime EventTime;
    CalendarTime Duration;
};

enum class InsertResult { Accepted = 0, TooLate = 1, Overlaps = 2 };

inline constexpr std::chrono::seconds kTooLateMargin{10};
inline constexpr std::chrono::seconds kOverlapMargin{30};

// The schedule's too-late rule: an Event whose recording has begun by now and ends
// within kTooLateMargin can no longer be recorded. One that has not begun always can.
bool TooLateToRecord(const EventRecord& record, UtcTime now);

// What one rebuild has listed so far.
struct ScheduleListing {
    int Accepted = 0;
};

// The Events still to be recorded, latest first: the last entry is the next Event.
// Accepted Events never overlap. The application object owns the one schedule.
struct EventSchedule {
    std::vector<std::unique_ptr<EventRecord>> Records;
    // Appended while the program runs, never removed.
    std::vector<StoppedEvent> ManuallyStoppedEvents;
    // The Event files saved during this run: a rebuild says why it skips one of them.
    QStringList FilesWrittenThisRun;

    // Places a record by its recording window. An Event that begins less than 30 s after
    // a listed earlier one ends overlaps; one that ends exactly when a listed later one
    // begins does not. Only an Accepted record is kept.
    InsertResult InsertIntoSchedule(std::unique_ptr<EventRecord> record, UtcTime now);

    void AddStoppedEvent(const CalendarTime& eventTime, const CalendarTime& duration);
    // Remembers that an Event file was saved during this run.
    void AddWrittenEventFile(const QString& fileName);

    // One Event file's step of a rebuild: skips a hand-stopped Event, inserts the rest and
    // logs the outcome (the heading before the first accepted Event, each accepted name,
    // the NOTE for an overlap, and for a file saved in this run that is too late).
    void OfferToSchedule(const QString& fileName, std::unique_ptr<EventRecord> record, ScheduleListing& listing,
                         UserMessageLog& log, UtcTime now);

    // Rebuilds the schedule from "Events/*.ief" in file-name order and lists it in User
    // Messages. A file that cannot be read or holds a bad value is not scheduled: a
    // stamped NOTE names it and the file stays. False when there was no Event file (said
    // so): the scheduler then has nothing to arm.
    bool LoadEventSchedule(UserMessageLog& log, UtcTime now);

    // Takes the next (earliest) Event out of the schedule; nullptr when it is empty.
    std::unique_ptr<EventRecord> TakeNextEvent();

private:
    bool StoppedByHand(const EventRecord& record) const;
};

// The names of "Events/*.ief" in file-name order, as the schedule and the Event list
// visit them.
QStringList EventFileNames();
