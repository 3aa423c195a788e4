#include "support/LogCapture.h"

ScopedLogAndClock::ScopedLogAndClock(const CalendarTime& utc)
    : m_clock(utc)
{
    m_log.SetEchoToStderr(false);
}
