#pragma once

#include <QDateTime>
#include <QString>
#include <QTimeZone>

class Clock;
class UserMessageLog;

enum class TimeZoneResult { DaylightTime, StandardTime, NoTransitions, Failure };

struct TimeZoneCheck {
    TimeZoneResult result = TimeZoneResult::Failure;
    QString line; // the line to log, with its line end
};

// What the zone says at the given moment.
TimeZoneCheck EvaluateTimeZone(const QTimeZone& zone, const QDateTime& utcNow);

// Reads the computer's time zone once and logs the line with a time stamp. Nothing
// depends on the zone: the schedule counts down in UTC.
void CheckTimeZone(const Clock& clock, UserMessageLog& log);
