#include "recording/SchedulerTimerSet.h"

SchedulerTimerSet::SchedulerTimerSet(std::function<void()> tick, QObject* parent)
    : QObject(parent)
{
    m_countdown.setObjectName(QStringLiteral("countdownTimer"));
    m_countdown.setTimerType(Qt::CoarseTimer);
    m_countdown.setInterval(kCountdownTickPeriod);
    m_eventRecording.setObjectName(QStringLiteral("eventRecordingTimer"));
    m_eventRecording.setTimerType(Qt::PreciseTimer);
    m_startAlarm.setObjectName(QStringLiteral("startAlarm"));
    m_startAlarm.setTimerType(Qt::PreciseTimer);
    m_startAlarm.setSingleShot(true);
    // The scheduler's flags, not the timer, decide what a tick does.
    for (QTimer* t : {&m_countdown, &m_eventRecording, &m_startAlarm})
        connect(t, &QTimer::timeout, this, tick);
}

void SchedulerTimerSet::StartCountdownTimer()
{
    m_countdown.start(kCountdownTickPeriod);
}

void SchedulerTimerSet::KillCountdownTimer()
{
    m_countdown.stop();
}

void SchedulerTimerSet::StartStartAlarm(std::chrono::milliseconds delay)
{
    m_startAlarm.start(delay);
}

void SchedulerTimerSet::KillStartAlarm()
{
    m_startAlarm.stop();
}

void SchedulerTimerSet::StartEventRecordingTimer(std::chrono::milliseconds period)
{
    m_eventRecording.start(period);
}

void SchedulerTimerSet::KillEventRecordingTimer()
{
    m_eventRecording.stop();
}

void SchedulerTimerSet::KillAll()
{
    m_countdown.stop();
    m_eventRecording.stop();
    m_startAlarm.stop();
}
