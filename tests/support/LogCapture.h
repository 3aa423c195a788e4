#pragma once

#include "common/Clock.h"
#include "support/QtPrinters.h"

#include <QString>

// For one test: a standing clock as the application clock, and an empty User Messages
// log that is not echoed to standard error.
class ScopedLogAndClock {
public:
    explicit ScopedLogAndClock(const CalendarTime& utc);
    ~ScopedLogAndClock();
    ScopedLogAndClock(const ScopedLogAndClock&) = delete;
    ScopedLogAndClock& operator=(const ScopedLogAndClock&) = delete;

    ManualClock& Clock() { return m_clock; }
    // The log as paragraphs: every line end is '\n'.
    QString Messages() const;
    void ClearMessages();

private:
    ManualClock m_clock;
};
