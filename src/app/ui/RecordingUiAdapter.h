#pragma once

#include "recording/SchedulerHooks.h"

class CaptureApp;

// The scheduler's view of the windows: titles, the controls' buttons, the menus greyed
// while recording, the countdown window and the stop question.
class AppRecordingUi final : public RecordingUi {
public:
    explicit AppRecordingUi(CaptureApp& app) : m_app(app) {}
    void SetMainTitle(const QString& title) override;
    void SetCountdownTitle(const QString& title) override;
    void ShowCountdown() override;
    void HideCountdown() override;
    void RepaintCountdownPane() override;
    void SetRecordingControls(bool recording) override;
    void SetMenusForRecording(bool recording) override;
    void CloseBrightnessContrastForRecording() override;
    bool AskStopEventRecording() override;

private:
    CaptureApp& m_app;
};

// The main window's countdown and Event recording timers, and its start alarm.
class MainWindowTimers final : public SchedulerTimers {
public:
    explicit MainWindowTimers(CaptureApp& app) : m_app(app) {}
    void StartCountdownTimer() override;
    void KillCountdownTimer() override;
    void StartStartAlarm(std::chrono::milliseconds delay) override;
    void KillStartAlarm() override;
    void StartEventRecordingTimer(std::chrono::milliseconds period) override;
    void KillEventRecordingTimer() override;

private:
    CaptureApp& m_app;
};

// Makes both as parts of app and hands them to the scheduler; they reach the windows
// through app at each call.
void InstallRecordingUi(CaptureApp& app);

// The countdown before a power action, over the main window with the count font made at
// start-up.
int ShowPowerCountdown(const CaptureApp& app, bool shutdownTexts);
