#pragma once

#include "common/CalendarTime.h"

#include <QString>
#include <array>
#include <memory>

class UserMessageLog;

// The text form of one Event, field by field as its file holds it. All times are UTC.
struct EventFileFields {
    QString EventYear;      // "%4hu"
    QString EventMonth;     // "%2hu": month 5 is " 5"
    QString EventDay;
    QString EventHour;
    QString EventMinute;
    QString EventSecond;
    QString DurationHour;
    QString DurationMinute;
    QString DurationSecond;
    QString Hibernate;      // "TRUE" or "FALSE"
    QString Shutdown;
    QString Comment;        // at most 35 characters

    friend bool operator==(const EventFileFields&, const EventFileFields&) = default;
};

// One field: its element name, where it lives and how many characters it holds,
// the terminating zero included, as the files written elsewhere rely on them.
struct EventFieldInfo {
    const char* name;
    QString EventFileFields::*member;
    int capacity;
};
inline constexpr int kEventFieldCount = 12;
// In file order.
const std::array<EventFieldInfo, kEventFieldCount>& EventFields();

inline constexpr const char* kEventFileComment = "VELA Event File Version 1.1";
inline constexpr const char* kEventsFolder = "Events/";

// The working form of an Event.
struct EventRecord {
    CalendarTime EventTime;           // dayOfWeek and milliseconds 0
    CalendarTime Duration;            // hour, minute, second only
    UtcTime RecordingStart{};         // event time minus half the duration
    UtcTime RecordingEnd{};           // event time plus half the duration
    bool Hibernate = false;
    bool ShutDown = false;
    bool Expired = false;             // the record was made at or after its recording end
};

// "MM_DD_YYYY_hh_mm_ss.ief" of the Event time; the name identifies the Event.
QString EventFileName(const CalendarTime& eventTime);

// Empties every field, then reads the file. A value longer than its field is cut to
// the field's capacity. False, with every field empty, when the file cannot be read
// or parsed. A file gone once read is reported to log.
bool ReadEventFile(UserMessageLog& log, const QString& path, EventFileFields& fields);
// Reads "Events/" + fileName under the process directory.
bool ReadNamedEvent(UserMessageLog& log, const QString& fileName, EventFileFields& fields);

// Writes the file atomically: a failed save keeps the file that was there. Values are
// cut to their fields' capacities first, so the file reads back as written. On failure
// *error says why.
bool WriteEventFile(const EventFileFields& fields, const QString& path, QString* error = nullptr);

// The text form of an Event as the Event dialog writes it: "%4hu" for the year and
// "%2hu" for every other number, "TRUE"/"FALSE", the comment as it stands.
EventFileFields MakeEventFileFields(const CalendarTime& eventTime, const CalendarTime& duration, bool hibernate,
                                    bool shutdown, const QString& comment = QString());

// Parses the fields and computes the window as of now. nullptr when a numeric field is missing,
// not a number or out of range (month 13, 30 February, hour 24, minute or second 60);
// *problem then names the field and its value.
std::unique_ptr<EventRecord> MakeEventRecord(const EventFileFields& fields, UtcTime now, QString* problem = nullptr);

// Fills recording start and end and expired from the event time and the duration, as of
// now. False when the event time is not a valid date or the window falls outside the
// tick range.
bool ComputeEventWindow(EventRecord& record, UtcTime now);
