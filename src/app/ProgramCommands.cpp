#include "app/ProgramCommands.h"

#include "app/CaptureApp.h"
#include "app/ui/ChildWindows.h"
#include "app/ui/VideoWindow.h"
#include "capture/ui/CodecSelectorDialog.h"
#include "capture/ui/DeviceFormatDialog.h"
#include "devices/DeviceTable.h"
#include "events/EventSchedule.h"
#include "events/ui/ScheduleEventDialog.h"
#include "events/ui/ViewEventsDialog.h"
#include "filter/ui/FrameIntegrationDialog.h"
#include "filter/ui/MeasureClockDriftDialog.h"
#include "filter/ui/PixelSaturationDialog.h"
#include "messages/UserMessageLog.h"
#include "options/OptionsFile.h"
#include "options/ui/DefaultDurationDialog.h"
#include "options/ui/EventPendingOptionsDialog.h"
#include "options/ui/FileOptionsDialog.h"
#include "options/ui/PerformanceOptionsDialog.h"
#include "recording/AppState.h"
#include "recording/RecordingControl.h"
#include "recording/Scheduler.h"
#include "recording/SchedulerHooks.h"

#include <optional>

namespace {

// What the system lets an Event ask for after its recording, as start-up found it.
EventPowerChoices PowerChoicesOfTheSystem()
{
    const SystemPower* power = TheCaptureApp() ? TheCaptureApp()->scheduler.TheSystemPower() : nullptr;
    if (!power)
        return {};
    return {power->WhyNot(PowerAction::Hibernate), power->WhyNot(PowerAction::Shutdown)};
}

bool EventArmed()
{
    return TheAppState().EventArmed;
}

// The Event Pending window's title pane says which of the two the window shows.
void RepaintCountdownTitle()
{
    const CaptureApp* app = TheCaptureApp();
    if (!app || !app->countdownWindow)
        return;
    CountdownPane* title = app->countdownWindow->Pane(CountdownPaneKind::Title);
    title->show();
    title->update();
}

// The scheduler's and recording control's operations, on the program's own.
void DisarmEvent()
{
    TheCaptureApp()->scheduler.DisarmEvent();
}

void ReloadScheduleWhenIdle()
{
    TheCaptureApp()->scheduler.ReloadScheduleWhenIdle();
}

void RestartGraph()
{
    TheCaptureApp()->recording.RestartGraph();
}

// What accepting a new device or format sets going in the program.
DeviceAcceptSteps ProgramDeviceAcceptSteps()
{
    DeviceAcceptSteps s;
    s.SizeVideoWindow = [] {
        if (AttachedDevice(Devices(), Devices().currentDeviceIndex))
            SizeVideoWindowToFormat(TheCaptureApp() ? TheCaptureApp()->videoWindow.data() : nullptr);
    };
    s.EventArmed = &EventArmed;
    s.DisarmEvent = &DisarmEvent;
    s.RestartGraph = &RestartGraph;
    s.LoadEventSchedule = &ReloadScheduleWhenIdle;
    return s;
}

} // namespace

int RunMenuDialog(MenuDialog dialog, QWidget* parent)
{
    CaptureApp* app = TheCaptureApp();
    const AppIcons icons = app ? app->icons : AppIcons();
    switch (dialog) {
    case MenuDialog::ScheduleEvent:
        return RunScheduleEventDialog(app->EventDialogs(), parent, PowerChoicesOfTheSystem(), icons);
    case MenuDialog::EditEvent: return RunEditEventDialog(app->EventDialogs(), parent, PowerChoicesOfTheSystem(), icons);
    case MenuDialog::ViewEvents: return RunViewEventsDialog(app->EventDialogs(), parent, icons);
    case MenuDialog::FileOptions: return RunFileOptionsDialog(Options(), UserMessageLog::Instance(), parent, icons);
    case MenuDialog::DefaultDuration: return RunDefaultDurationDialog(Options(), parent, icons);
    case MenuDialog::EventPendingOptions: return RunEventPendingOptionsDialog(Options(), parent, &RepaintCountdownTitle);
    case MenuDialog::PerformanceOptions: return RunPerformanceOptionsDialog(Options(), UserMessageLog::Instance(), parent);
    case MenuDialog::PixelSaturation:
        return RunPixelSaturationDialog(parent, {TheAppState().Analysis, Options(), TheCaptureApp()->framePipeline}, &RestartGraph);
    case MenuDialog::ClockDrift:
        return RunMeasureClockDriftDialog(parent, TheAppState().Analysis, UserMessageLog::Instance());
    case MenuDialog::FrameIntegration:
        return RunFrameIntegrationDialog(parent, TheAppState().Analysis, UserMessageLog::Instance(), &RestartGraph);
    case MenuDialog::DeviceFormat: {
        // Kept for the run, as the dialog requires; the application object takes it over.
        static std::optional<bool> restrictedForRun;
        return RunDeviceFormatDialog(Options(), Devices(), restrictedForRun, parent, ProgramDeviceAcceptSteps());
    }
    case MenuDialog::CodecSelector: return RunCodecSelectorDialog(Options(), Devices(), parent);
    }
    return 3; // not reached: every dialog is listed
}

CommandSteps ProgramCommandSteps(QWidget* dialogParent)
{
    CommandSteps s;
    s.RunDialog = [dialogParent](MenuDialog dialog) { return RunMenuDialog(dialog, dialogParent); };
    s.EventArmed = &EventArmed;
    s.DisarmEvent = &DisarmEvent;
    s.LoadEventSchedule = &ReloadScheduleWhenIdle;
    s.SaveOptionsAndReport = [] { SaveOptionsAndReport(Options(), UserMessageLog::Instance()); };
    s.SaveOptionsFile = [] { SaveOptionsFile(Options()); };
    s.RestartGraph = &RestartGraph;
    s.DeviceCount = [] { return Devices().count; };
    s.CodecCatalogueExists = [] { return TheCaptureApp() && TheCaptureApp()->codecCatalogue; };
    return s;
}
