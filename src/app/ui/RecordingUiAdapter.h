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

// Makes the windows' view and the scheduler's timers as parts of app and hands them to
// the scheduler; the view reaches the windows through app at each call.
void InstallRecordingUi(CaptureApp& app);

// The countdown before a power action, over the main window with the count font made at
// start-up.
int ShowPowerCountdown(const CaptureApp& app, bool shutdownTexts);
