#pragma once

#include "app/CommandLine.h"
#include "common/Status.h"
#include "recording/SchedulerHooks.h"

class CaptureApp;
class UserMessageLog;

// The program without windows and without a display server, for a station nobody
// watches: the same start-up, scheduler, recordings and files, with User Messages on
// standard output (the journal under systemd), the null renderer, and the Events folder
// as the only way in. It makes no widget and needs a QCoreApplication only.

// The scheduler's view of the windows when there are none: titles and panes have
// nowhere to go, and nobody can be asked.
class HeadlessRecordingUi final : public RecordingUi {
public:
    explicit HeadlessRecordingUi(UserMessageLog& log) : m_log(log) {}
    void SetMainTitle(const QString&) override {}
    void SetCountdownTitle(const QString&) override {}
    void ShowCountdown() override {}
    void HideCountdown() override {}
    void RepaintCountdownPane() override {}
    void SetRecordingControls(bool) override {}
    void SetMenusForRecording(bool) override {}
    void CloseBrightnessContrastForRecording() override {}
    bool AskStopEventRecording() override;

private:
    UserMessageLog& m_log;
};

inline constexpr int kHeadlessCountdownLogEvery = 10; // seconds

// The 30-second countdown before a power action, logged at its start and every
// kHeadlessCountdownLogEvery seconds. A termination signal (which ends the program)
// cancels it; its result is a CountdownEnd value, or 0 when the program is quitting.
int RunHeadlessPowerCountdown(UserMessageLog& log, bool shutdownTexts);

// The ordered start-up without windows. Status::Aborted when start-up must end;
// Status::Failed when no camera can be used (a service manager then starts the station
// again later, when the camera may be there).
Status InitialiseHeadlessApp(CaptureApp& app, bool simulatedCamera, const SimulatorSettings& simulator = {});
