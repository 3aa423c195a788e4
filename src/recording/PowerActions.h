#pragma once

#include "recording/LogindPower.h"
#include "recording/SchedulerHooks.h"

#include <QTimer>
#include <functional>

// How the power countdown ended; the values are the dialog's results.
enum class CountdownEnd { Cancelled = 1, CountedDown = 2, ClosedByFrame = 3 };

// Shows the 30-second countdown and returns how it ended (a CountdownEnd value).
// shutdownTexts: the "Shut down" wording instead of "Hibernate".
using PowerCountdown = std::function<int(bool shutdownTexts)>;

// The start-up lines: whether the computer can hibernate and whether this user may
// shut it down; when the login manager cannot be reached they say so.
void CheckPowerAtStartup(LogindPower& logind);

// The system power of the scheduler on top of logind: the keep-awake while an Event is
// armed and the countdown, hibernation or power-off after an Event recording.
class PowerActions final : public QObject, public SystemPower {
    Q_OBJECT
public:
    PowerActions(LogindPower& logind, PowerCountdown countdown, std::function<void()> wakeMainLoop,
                 QObject* parent = nullptr);

    void HoldKeepAwake(bool hold) override;
    void KeepAwakeOnce() override;
    void RunPowerAction(bool hibernate, bool shutdown) override;

    // How long one KeepAwakeOnce keeps the system awake when no hold is in force.
    void SetKeepAwakeOncePeriod(int ms) { m_once.setInterval(ms); }

private:
    void PowerOffNow();

    LogindPower& m_logind;
    PowerCountdown m_countdown;
    std::function<void()> m_wakeMainLoop;
    bool m_hold = false;
    QTimer m_once;
};
