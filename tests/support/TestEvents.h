#pragma once

#include "common/CalendarTime.h"

#include <QDateTime>
#include <QString>

// Writes into eventsFolder (made when missing) the Event file the Event dialog would
// write for an Event at the given UTC time lasting h:m:s; returns its file name, empty
// when it could not be written.
QString WriteTestEvent(const QString& eventsFolder, const CalendarTime& at, int hours, int minutes, int seconds,
                       bool hibernate = false);

// The calendar time of a UTC date and time, milliseconds dropped.
CalendarTime CalendarFromUtc(const QDateTime& utc);
