#pragma once

#include <QString>
#include <chrono>
#include <cstdint>

// What the scheduler needs from the windows, the timers and the system. The program
// hands the scheduler the real ones; tests hand it their own and drive SchedulerTick
// directly.

// The windows of the recording states.
class RecordingUi {
public:
    virtual ~RecordingUi() = default;
    virtual void SetMainTitle(const QString& title) = 0;
    virtual void SetCountdownTitle(const QString& title) = 0;
    virtual void ShowCountdown() = 0;   // shows and repaints the window and its five panes
    virtual void HideCountdown() = 0;
    virtual void RepaintCountdownPane() = 0;
    // Start enabled and Stop disabled when idle; the reverse while recording.
    virtual void SetRecordingControls(bool recording) = 0;
    // Greys (or enables) the Events, Display, Options and Help menus, the User Messages
    // File menu and "Exit".
    virtual void SetMenusForRecording(bool recording) = 0;
    // Closes the Brightness and Contrast window as a recording starts (colour reset to
    // 50/50, sliders gone, menu entry unchecked) when it is shown.
    virtual void CloseBrightnessContrastForRecording() = 0;
    // "Attention": "Event recording in progress.  Stop now?"; true for Yes.
    virtual bool AskStopEventRecording() = 0;
};

inline constexpr std::chrono::milliseconds kCountdownTickPeriod{1000};

// The scheduler's timers; each one's timeout runs SchedulerTick. The countdown ticks every
// kCountdownTickPeriod for the display; the start alarm is a precise single shot for the
// last part of a second before the recording start (and for the one retry of a start that
// failed); the Event recording timer ends the recording.
class SchedulerTimers {
public:
    virtual ~SchedulerTimers() = default;
    virtual void StartCountdownTimer() = 0;
    virtual void KillCountdownTimer() = 0;
    virtual void StartStartAlarm(std::chrono::milliseconds delay) = 0;
    virtual void KillStartAlarm() = 0;
    virtual void StartEventRecordingTimer(std::chrono::milliseconds period) = 0;
    virtual void KillEventRecordingTimer() = 0;
};

enum class PowerAction { Hibernate, Shutdown };

// The system side: keeping the computer awake while an Event is armed, and the power
// action after an Event recording.
class SystemPower {
public:
    virtual ~SystemPower() = default;
    // Why the system refuses the action (as found at start-up), in a few words; empty
    // when it can run. A refused action is not offered by the Event dialog and is not
    // counted down after a recording.
    virtual QString WhyNot(PowerAction) const { return {}; }
    bool CanRun(PowerAction action) const { return WhyNot(action).isEmpty(); }
    // A sleep inhibitor held while an Event is armed; released when it is disarmed or
    // its recording ends.
    virtual void HoldKeepAwake(bool hold) = 0;
    // A one-off request that keeps the system (not the display) awake a while longer.
    virtual void KeepAwakeOnce() = 0;
    virtual void RunPowerAction(bool hibernate, bool shutdown) = 0;
};

// The NOTE for an armed Event that asks for a power action the system refuses (the
// action hibernation when both are asked for); empty when nothing is refused or there is
// no system power.
QString RefusedPowerActionNote(const SystemPower* power, bool hibernate, bool shutdown);
