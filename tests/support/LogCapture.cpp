#include "support/LogCapture.h"

#include "messages/UserMessageLog.h"

ScopedLogAndClock::ScopedLogAndClock(const CalendarTime& utc)
    : m_clock(utc)
{
    SetAppClock(&m_clock);
    UserMessageLog::Instance().SetEchoToStderr(false);
    UserMessageLog::Instance().Clear();
}

ScopedLogAndClock::~ScopedLogAndClock()
{
    SetAppClock(nullptr);
    UserMessageLog::Instance().SetEchoToStderr(true);
}

QString ScopedLogAndClock::Messages() const
{
    return UserMessageLog::Instance().Text();
}

void ScopedLogAndClock::ClearMessages()
{
    UserMessageLog::Instance().Clear();
}
