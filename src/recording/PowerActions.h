#pragma once

#include "recording/LogindPower.h"
#include "recording/SchedulerHooks.h"

#include <QTimer>
#include <chrono>
#include <functional>

struct AppState;
class UserMessageLog;

// How the power countdown ended; the values are the dialog's results.
enum class CountdownEnd { Cancelled = 1, CountedDown = 2, ClosedByFrame = 3 };

// Shows the 30-second countdown and returns how it ended (a CountdownEnd value).
// shutdownTexts: the "Shut down" wording instead of "Hibernate".
using PowerCountdown = std::function<int(bool shutdownTexts)>;

// What the login manager allows, as found at start-up: why each action is refused, in
// a few words; empty when it is allowed.
struct PowerAbilities {
    QString hibernateRefused;
    QString powerOffRefused;
};

// The start-up lines: whether the computer can hibernate and whether this user may
// shut it down; when the login manager cannot be reached they say so.
PowerAbilities CheckPowerAtStartup(LogindPower& logind, UserMessageLog& log);

// The system power of the scheduler on top of logind: the keep-awake while an Event is
// armed and the countdown, hibernation or power-off after an Event recording.
class PowerActions final : public QObject, public SystemPower {
    Q_OBJECT
public:
    // abilities: what start-up found; by default every action is allowed. app: where the
    // pending action and the quit request are told to the rest of the program.
    PowerActions(AppState& app, UserMessageLog& log, LogindPower& logind, PowerCountdown countdown,
                 std::function<void()> wakeMainLoop, PowerAbilities abilities = {}, QObject* parent = nullptr);

    QString WhyNot(PowerAction action) const override;
    void HoldKeepAwake(bool hold) override;
    void KeepAwakeOnce() override;
    // An action the system refuses is skipped at once, without a countdown.
    void RunPowerAction(bool hibernate, bool shutdown) override;

    // How long one KeepAwakeOnce keeps the system awake when no hold is in force.
    void SetKeepAwakeOncePeriod(std::chrono::milliseconds period) { m_once.setInterval(period); }

private:
    void PowerOffNow();

    AppState& m_app;
    UserMessageLog& m_log;
    LogindPower& m_logind;
    PowerCountdown m_countdown;
    std::function<void()> m_wakeMainLoop;
    PowerAbilities m_abilities;
    bool m_hold = false;
    QTimer m_once;
};
