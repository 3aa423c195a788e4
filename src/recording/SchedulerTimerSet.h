#pragma once

#include "recording/SchedulerHooks.h"

#include <QObject>
#include <QTimer>
#include <functional>

// The scheduler's three timers on the UI thread, each running the tick it is given. The
// program with windows and the station without them use the same set.
class SchedulerTimerSet final : public QObject, public SchedulerTimers {
    Q_OBJECT
public:
    explicit SchedulerTimerSet(std::function<void()> tick, QObject* parent = nullptr);

    void StartCountdownTimer() override;
    void KillCountdownTimer() override;
    void StartStartAlarm(std::chrono::milliseconds delay) override;
    void KillStartAlarm() override;
    void StartEventRecordingTimer(std::chrono::milliseconds period) override;
    void KillEventRecordingTimer() override;
    // No tick follows: the program is ending.
    void KillAll();

    QTimer* CountdownTimer() { return &m_countdown; }
    QTimer* EventRecordingTimer() { return &m_eventRecording; }
    QTimer* StartAlarm() { return &m_startAlarm; }

private:
    Q_DISABLE_COPY_MOVE(SchedulerTimerSet)
    QTimer m_countdown;
    QTimer m_eventRecording;
    QTimer m_startAlarm; // single shot: the recording start between two ticks
};
