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
EventPowerChoices PowerChoicesOfTheSystem(const CaptureApp& app)
{
    if (!app.power)
        return {};
    return {app.power->WhyNot(PowerAction::Hibernate), app.power->WhyNot(PowerAction::Shutdown)};
}

// The Event Pending window's title pane says which of the two the window shows.
void RepaintCountdownTitle(const CaptureApp& app)
{
    if (!app.countdownWindow)
        return;
    CountdownPane* title = app.countdownWindow->Pane(CountdownPaneKind::Title);
    title->show();
    title->update();
}

// What accepting a new device or format sets going in the program.
DeviceAcceptSteps ProgramDeviceAcceptSteps(CaptureApp& app)
{
    DeviceAcceptSteps s;
    s.SizeVideoWindow = [&app] {
        if (AttachedDevice(app.devices, app.devices.currentDeviceIndex))
            SizeVideoWindowToFormat(app, app.videoWindow.data());
    };
    s.EventArmed = [&app] { return app.state.EventArmed; };
    s.DisarmEvent = [&app] { app.scheduler.DisarmEvent(); };
    s.RestartGraph = [&app] { app.recording.RestartGraph(); };
    s.LoadEventSchedule = [&app] { app.scheduler.ReloadScheduleWhenIdle(); };
    return s;
}

} // namespace

int RunMenuDialog(CaptureApp& app, MenuDialog dialog, QWidget* parent)
{
    const AppIcons& icons = app.icons;
    const auto restartGraph = [&app] { app.recording.RestartGraph(); };
    switch (dialog) {
    case MenuDialog::ScheduleEvent:
        return RunScheduleEventDialog(app.EventDialogs(), parent, PowerChoicesOfTheSystem(app), icons);
    case MenuDialog::EditEvent: return RunEditEventDialog(app.EventDialogs(), parent, PowerChoicesOfTheSystem(app), icons);
    case MenuDialog::ViewEvents: return RunViewEventsDialog(app.EventDialogs(), parent, icons);
    case MenuDialog::FileOptions: return RunFileOptionsDialog(app.options, app.messages, parent, icons);
    case MenuDialog::DefaultDuration: return RunDefaultDurationDialog(app.options, parent, icons);
    case MenuDialog::EventPendingOptions:
        return RunEventPendingOptionsDialog(app.options, parent, [&app] { RepaintCountdownTitle(app); });
    case MenuDialog::PerformanceOptions: return RunPerformanceOptionsDialog(app.options, app.messages, parent);
    case MenuDialog::PixelSaturation:
        return RunPixelSaturationDialog(parent, {app.state.Analysis, app.options, app.framePipeline}, restartGraph);
    case MenuDialog::ClockDrift: return RunMeasureClockDriftDialog(parent, app.state.Analysis, app.messages);
    case MenuDialog::FrameIntegration:
        return RunFrameIntegrationDialog(parent, app.state.Analysis, app.messages, restartGraph);
    case MenuDialog::DeviceFormat:
        return RunDeviceFormatDialog(app.options, app.devices, app.restrictedFormatsForRun, parent,
                                     ProgramDeviceAcceptSteps(app));
    case MenuDialog::CodecSelector: return RunCodecSelectorDialog(app.options, app.devices, parent);
    }
    return 3; // not reached: every dialog is listed
}

CommandSteps ProgramCommandSteps(CaptureApp& app, QWidget* dialogParent)
{
    CommandSteps s;
    s.RunDialog = [&app, dialogParent](MenuDialog dialog) { return RunMenuDialog(app, dialog, dialogParent); };
    s.EventArmed = [&app] { return app.state.EventArmed; };
    s.DisarmEvent = [&app] { app.scheduler.DisarmEvent(); };
    s.LoadEventSchedule = [&app] { app.scheduler.ReloadScheduleWhenIdle(); };
    s.SaveOptionsAndReport = [&app] { SaveOptionsAndReport(app.options, app.messages); };
    s.SaveOptionsFile = [&app] { SaveOptionsFile(app.options); };
    s.RestartGraph = [&app] { app.recording.RestartGraph(); };
    s.DeviceCount = [&app] { return app.devices.count; };
    s.CodecCatalogueExists = [&app] { return app.codecCatalogue != nullptr; };
    s.Log = [&app](const QString& text) { app.messages.Append(text, true); };
    return s;
}
