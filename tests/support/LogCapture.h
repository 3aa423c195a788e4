#pragma once

#include "common/Clock.h"
#include "messages/UserMessageLog.h"
#include "support/QtPrinters.h"

#include <QString>

// A standing clock and a silent, empty User Messages log on it.
class ScopedLogAndClock {
public:
    explicit ScopedLogAndClock(const CalendarTime& utc);
    ScopedLogAndClock(const ScopedLogAndClock&) = delete;
    ScopedLogAndClock& operator=(const ScopedLogAndClock&) = delete;

    ManualClock& Clock() { return m_clock; }
    UserMessageLog& Log() const { return m_log; }
    QString Messages() const { return m_log.Text(); }
    void ClearMessages() const { m_log.Clear(); }

private:
    ManualClock m_clock;
    mutable UserMessageLog m_log{m_clock}; // a test reads and clears it from anywhere
};
