#pragma once

#include <QString>
#include <chrono>
#include <cstdint>

// What the scheduler needs from the windows, the timers and the system. The program
// installs the real ones; tests install their own and drive SchedulerTick directly.

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

// The scheduler's timers; each one's timeout runs SchedulerTick. The countdown ticks once a
// second for the display; the start alarm is a precise single shot for the last part of a
// second before the recording start (and for the one retry of a start that failed); the
// Event recording timer ends the recording.
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

// The system side: keeping the computer awake while an Event is armed, and the power
// action after an Event recording.
class SystemPower {
public:
    virtual ~SystemPower() = default;
    // A sleep inhibitor held while an Event is armed; released when it is disarmed or
    // its recording ends.
    virtual void HoldKeepAwake(bool hold) = 0;
    // A one-off request that keeps the system (not the display) awake a while longer.
    virtual void KeepAwakeOnce() = 0;
    virtual void RunPowerAction(bool hibernate, bool shutdown) = 0;
};

void SetRecordingUi(RecordingUi* ui);
void SetSchedulerTimers(SchedulerTimers* timers);
void SetSystemPower(SystemPower* power);
RecordingUi* TheRecordingUi();
SchedulerTimers* TheSchedulerTimers();
SystemPower* TheSystemPower();
