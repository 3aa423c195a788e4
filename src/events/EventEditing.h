#pragma once

#include "events/EventFile.h"

struct AppOptions;
class Clock;
struct EventSchedule;
class UserMessageLog;

#include <QString>
#include <QStringList>
#include <vector>

// What the Event dialogs hand each other and keep until the program ends (the
// application object holds it).
struct EventDialogState {
    // The file name (no folder) of the Event picked for editing in the Event list; empty
    // when a new Event is scheduled. The Schedule Event command empties it.
    QString EditedEventFileName;
    // Toggled by the list's Show Expired Events box; never saved.
    bool ShowExpiredEvents = false;
};

inline constexpr int kEventCommentLength = 35;

// Why the system refuses each power action an Event may ask for, in a few words; empty
// when the action is allowed. The Event dialog offers only the allowed ones.
struct EventPowerChoices {
    QString hibernateRefused;
    QString shutdownRefused;
};

enum class EventSaveResult {
    Saved,
    FolderNotCreated, // reported; nothing written
    WriteFailed,      // reported; nothing written and the edited Event's file kept
};

// Writes the Event under the name of its time. When editedFileName names another file,
// the new file is written first and the edited one deleted only then, so a failed write
// never loses the Event being edited. A file of the same name (the same Event second)
// is replaced. Logs what was saved, or why not. *savedName receives the new file name.
// A saved file is remembered in the schedule for this run, so a rebuild that skips it
// says why.
EventSaveResult SaveEventFile(EventSchedule& schedule, UserMessageLog& log, const EventFileFields& fields,
                              const CalendarTime& eventTime, const QString& editedFileName,
                              QString* savedName = nullptr);

// A UTC time as messages about an Event name it, in English whatever the user's locale:
// "Mar 15, 2026  03:05:05 UTC".
QString EventTimeText(const CalendarTime& utc);

// Why an Event at eventTime lasting duration can no longer be recorded as of now (its
// recording is over, or ends too soon by the schedule's too-late rule), for the Event
// dialog to show; empty when it can be recorded.
QString TooLateToRecordReason(const CalendarTime& eventTime, const CalendarTime& duration, UtcTime now);

// Deletes "Events/" + fileName; true when the file is gone, also when it was gone already.
bool DeleteEventFile(const QString& fileName);

// One Event file as the Event list shows it.
struct EventListEntry {
    QString FileName;
    EventFileFields Fields;
    bool Expired = false;
};

// The Event files in listing order; expired Events only when showExpired is set. A file
// that holds no valid Event is listed (never as expired) so that it can be deleted.
std::vector<EventListEntry> ListEventFiles(UserMessageLog& log, bool showExpired, UtcTime now);

inline constexpr int kEventListColumnCount = 8;

// The eight column texts of a row: date, time, duration, comment, the three check
// marks, and the hidden file name.
QStringList EventListColumns(const EventListEntry& entry);

// What the Event dialogs use of the program.
struct EventDialogContext {
    EventSchedule& schedule;
    EventDialogState& state;
    UserMessageLog& log;
    const Clock& clock;
    const AppOptions& options;
};
