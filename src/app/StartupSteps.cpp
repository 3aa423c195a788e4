#include "app/StartupSteps.h"

#include "app/CaptureApp.h"
#include "app/MainLoop.h"
#include "capture/CaptureBackEnd.h"
#include "capture/CaptureGraph.h"
#include "capture/CodecEnumeration.h"
#include "capture/DeviceEnumeration.h"
#include "capture/RecordedVtiTimes.h"
#include "capture/RecordingRecovery.h"
#include "capture/TimingRecords.h"
#include "events/EventFolderWatch.h"
#include "filter/AnalysisMessages.h"
#include "messages/MessageTables.h"
#include "options/OptionsFile.h"
#include "recording/LogindPower.h"
#include "recording/SchedulerTimerSet.h"

#include <QTimer>

void PrepareAppRecords(CaptureApp& app, bool simulatedCamera)
{
    app.simulatedCamera = simulatedCamera;
    app.devices = DeviceTable{};
    app.state.RecordingFileName.clear();
}

bool FindDevices(CaptureApp& app, bool simulatedCamera, const SimulatorSettings& simulator)
{
    PrepareCaptureBackEnd(simulatedCamera, simulator);
    if (EnumerateCaptureDevices(app.devices, app.messages, simulatedCamera) != Status::Ok || app.devices.count <= 0)
        return false;
    // A failure leaves "NONE" for every device and has been reported: recording goes on.
    static_cast<void>(EnumerateCodecs(app.devices, app.messages));
    app.codecCatalogue = &app.devices;
    return true;
}

void MakeCaptureGraph(CaptureApp& app, PreviewSink* preview)
{
    app.captureGraph = std::make_unique<CaptureGraph>(
        CaptureGraphParts{app.options, app.devices, app.state, app.messages, app.framePipeline}, preview, 0);
    if (!preview)
        app.captureGraph->SetNoDisplay();
    app.captureGraph->SetFailureHandler([&app] {
        // Restart once the failing graph's message has been handled.
        QTimer::singleShot(0, [&app] { static_cast<void>(app.recording.RestartCapture()); });
    });
    app.timingRecords = std::make_unique<TimingRecordWriter>(app.characterSets, app.messages);
    app.captureGraph->SetRecordingFinishedHandler([&app](const QString& file, VideoSubtype source) {
        if (MakesTimingRecord(source))
            app.timingRecords->Request(file);
    });
    app.UseGraph(nullptr);
    if (!LoadCharacterSets(app.characterSets))
        ReportGraphMessage(app.messages, 29);
}

void RecoverRecordings(CaptureApp& app)
{
    for (const QString& recovered : RecoverInterruptedRecordings(app.options, app.messages))
        if (app.timingRecords && HoldsPacked422Video(recovered))
            app.timingRecords->Request(recovered);
}

void ReadOptionsFile(CaptureApp& app)
{
    AppOptions& options = app.options;
    if (LoadOptionsFile(options, &app.messages)) {
        options.OptionsLoadedFromFile = true;
        CheckLoadedOptions(options, app.devices, app.messages);
        if (options.PixelSaturationValue != -1)
            options.SaturationDefault = options.PixelSaturationValue;
        // The stored threshold is the one in effect from the first picture on.
        app.state.Analysis.saturationThreshold = options.PixelSaturationValue;
    } else {
        options.HasDefaultDevice = false;
        options.DefaultRecordingDuration = DefaultDurationValue();
    }
}

bool ChooseDefaultCamera(CaptureApp& app)
{
    if (!app.captureGraph)
        return false;
    DeviceTable& table = app.devices;
    const AppOptions& o = app.options;
    int chosen = 0;
    if (o.HasDefaultDevice) {
        chosen = -1;
        for (int i = 0; i < table.count && chosen < 0; ++i)
            if (table.devices[static_cast<std::size_t>(i)].name == o.DefaultDevice)
                chosen = i;
        if (chosen < 0) {
            chosen = 0;
            app.messages.Append(QStringLiteral("\r\nWARNING: default camera in options file is not attached to computer.  "
                                               "Using the first one found.\r\n"),
                                true);
        }
    }
    table.defaultDeviceIndex = chosen;
    table.currentDeviceIndex = chosen;
    return true;
}

bool UseSelectedFormat(CaptureApp& app)
{
    DeviceTable& table = app.devices;
    CaptureDevice& device = table.devices[static_cast<std::size_t>(table.currentDeviceIndex)];
    if (device.formats.isEmpty()) {
        table.currentDeviceIndex = -1;
        device.selectedFormatIndex = -1;
        app.messages.Append(
            QStringLiteral("Selected camera (or the only attached camera) has no supported media formats.\r\n"), true);
        return false;
    }
    const MediaFormat& f = device.formats[device.selectedFormatIndex < 0 ? 0 : device.selectedFormatIndex];
    app.frameWidth = f.width;
    app.frameHeight = f.height;
    return true;
}

void InstallSchedulerTimers(CaptureApp& app)
{
    app.schedulerTimers = std::make_unique<SchedulerTimerSet>([&app] { app.scheduler.SchedulerTick(); });
    app.scheduler.SetSchedulerTimers(app.schedulerTimers.get());
}

void SetUpPowerActions(CaptureApp& app, PowerCountdown countdown)
{
    app.logind = std::make_unique<LogindPower>();
    app.power = std::make_unique<PowerActions>(app.state, app.messages, *app.logind, std::move(countdown),
                                               &WakeMainLoop, CheckPowerAtStartup(*app.logind, app.messages));
    app.scheduler.SetSystemPower(app.power.get());
}

void ArmScheduleAndWatchEvents(CaptureApp& app)
{
    if (!app.state.UsableCamera)
        return;
    app.eventFolderWatch = std::make_unique<EventFolderWatch>(
        QString::fromLatin1(kEventsFolder), [&app](const QStringList& arrived) { app.scheduler.EventFilesChanged(arrived); });
    app.scheduler.SetScheduleReadHook([&app] {
        if (app.eventFolderWatch)
            app.eventFolderWatch->TakeBaseline();
    });
    app.scheduler.LoadEventSchedule();
}
