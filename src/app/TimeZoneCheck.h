#pragma once

#include <QDateTime>
#include <QString>
#include <QTimeZone>

enum class TimeZoneResult { DaylightTime, StandardTime, NoTransitions, Failure };

struct TimeZoneCheck {
    TimeZoneResult result = TimeZoneResult::Failure;
    int biasMinutes = 0; // minutes to add to local time to obtain UTC
    QString line;        // the line to log, with its line end
};

// What the zone says at the given moment.
TimeZoneCheck EvaluateTimeZone(const QTimeZone& zone, const QDateTime& utcNow);

// Reads the computer's time zone once, fixes TimeZoneBiasMinutes (left at 0 on
// failure) and logs the line with a time stamp.
void CheckTimeZone();
