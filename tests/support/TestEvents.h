#pragma once

#include "common/CalendarTime.h"

#include <QDateTime>
#include <QString>

// The Event file the Event dialog writes for an Event at `at` (UTC) lasting h:m:s, in
// eventsFolder; its file name, empty when it could not be written.
QString WriteTestEvent(const QString& eventsFolder, const CalendarTime& at, int hours, int minutes, int seconds,
                       bool hibernate = false);

CalendarTime CalendarFromUtc(const QDateTime& utc);
