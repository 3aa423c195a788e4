#pragma once

#include "events/EventFile.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

// An Event whose recording the user stopped by hand: a rebuild must not bring it back.
struct StoppedEvent {
    CalendarTime EventTime;
    CalendarTime Duration;
};

// The Events still to be recorded, latest first: the last entry is the next Event.
// Accepted Events never overlap.
struct EventSchedule {
    std::vector<std::unique_ptr<EventRecord>> Records;
    // Appended while the program runs, never removed.
    std::vector<StoppedEvent> ManuallyStoppedEvents;
    // The Event files saved during this run: a rebuild says why it skips one of them.
    QStringList FilesWrittenThisRun;
};

// The process-wide schedule. Tests install their own with SetEventSchedule (nullptr
// restores the built-in one).
EventSchedule& TheEventSchedule();
void SetEventSchedule(EventSchedule* schedule);

enum class InsertResult { Accepted = 0, TooLate = 1, Overlaps = 2 };

inline constexpr std::chrono::seconds kTooLateMargin{10};
inline constexpr std::chrono::seconds kOverlapMargin{30};

void ClearEventSchedule();

// The schedule's too-late rule: an Event whose recording has begun by now and ends
// within kTooLateMargin can no longer be recorded. One that has not begun always can.
bool TooLateToRecord(const EventRecord& record, UtcTime now);

// Places a record by its recording window. An Event that begins less than 30 s after a
// listed earlier one ends overlaps; one that ends exactly when a listed later one begins
// does not. Only an Accepted record is kept.
InsertResult InsertIntoSchedule(std::unique_ptr<EventRecord> record);

void AddStoppedEvent(const CalendarTime& eventTime, const CalendarTime& duration);
// Remembers that an Event file was saved during this run.
void AddWrittenEventFile(const QString& fileName);

// What one rebuild has listed so far.
struct ScheduleListing {
    int Accepted = 0;
};
// One Event file's step of a rebuild: skips a hand-stopped Event, inserts the rest and
// logs the outcome (the heading before the first accepted Event, each accepted name,
// the NOTE for an overlap, and for a file saved in this run that is too late).
void OfferToSchedule(const QString& fileName, std::unique_ptr<EventRecord> record, ScheduleListing& listing);

// The names of "Events/*.ief" in file-name order, as the schedule and the Event list
// visit them.
QStringList EventFileNames();

// Rebuilds the schedule from "Events/*.ief" in file-name order, lists it in User
// Messages and hands over to the scheduler. Does nothing without a capture device.
// A file that cannot be read or holds a bad value is not scheduled: a stamped NOTE
// names it and the file stays.
void LoadEventSchedule();

// The scheduler's ArmNextEvent, called at the end of a rebuild. Until one is installed
// (and after SetArmNextEventHandler(nullptr)) the default logs "There are no scheduled
// Events" for an empty schedule and otherwise takes the next Event out, as arming does.
void SetArmNextEventHandler(std::function<void()> handler);
void ArmNextEventHandOver();

// Takes the next (earliest) Event out of the schedule; nullptr when it is empty.
std::unique_ptr<EventRecord> TakeNextEvent();
