#pragma once

#include "recording/SchedulerHooks.h"

// The scheduler's view of the windows: titles, the controls' buttons, the menus greyed
// while recording, the countdown window and the stop question.
class AppRecordingUi final : public RecordingUi {
public:
    void SetMainTitle(const QString& title) override;
    void SetCountdownTitle(const QString& title) override;
    void ShowCountdown() override;
    void HideCountdown() override;
    void RepaintCountdownPane() override;
    void SetRecordingControls(bool recording) override;
    void SetMenusForRecording(bool recording) override;
    void CloseBrightnessContrastForRecording() override;
    bool AskStopEventRecording() override;
};

// Timers 32770 and 32771 of the main window, and its start alarm.
class MainWindowTimers final : public SchedulerTimers {
public:
    void StartCountdownTimer() override;
    void KillCountdownTimer() override;
    void StartStartAlarm(std::chrono::milliseconds delay) override;
    void KillStartAlarm() override;
    void StartEventRecordingTimer(std::chrono::milliseconds period) override;
    void KillEventRecordingTimer() override;
};

// Installs both for the rest of the run; they reach the windows through the application
// object at each call.
void InstallRecordingUi();

// The countdown before a power action, over the main window with the count font made at
// start-up.
int ShowPowerCountdown(bool shutdownTexts);
