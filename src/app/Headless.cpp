#include "app/Headless.h"

#include "app/CaptureApp.h"
#include "app/StartupSteps.h"
#include "app/TimeZoneCheck.h"
#include "messages/UserMessageLog.h"
#include "recording/PowerActions.h"

#include <QEventLoop>
#include <QTimer>
#include <csignal>
#include <cstdio>

bool HeadlessRecordingUi::AskStopEventRecording()
{
    m_log.Append(QStringLiteral("NOTE: the Event recording goes on: without windows nobody can be asked to stop it\r\n"),
                 true);
    return false;
}

int RunHeadlessPowerCountdown(UserMessageLog& log, bool shutdownTexts)
{
    const QString action = shutdownTexts ? QStringLiteral("Shut down") : QStringLiteral("Hibernate");
    int left = 30;
    const auto say = [&] {
        log.Append(QStringLiteral("%1 in %2 seconds unless the program is stopped (SIGINT or SIGTERM)\r\n")
                       .arg(action)
                       .arg(left),
                   true);
    };
    say();
    QEventLoop loop;
    QTimer second;
    QObject::connect(&second, &QTimer::timeout, &loop, [&] {
        if (--left == 0)
            loop.exit(static_cast<int>(CountdownEnd::CountedDown));
        else if (left % kHeadlessCountdownLogEvery == 0)
            say();
    });
    second.start(1000);
    // A signal ends the program, and every loop with it: exec then gives 0.
    const int end = loop.exec();
    if (end != static_cast<int>(CountdownEnd::CountedDown))
        log.Append(QStringLiteral("%1 cancelled: the program is stopping\r\n").arg(action), true);
    return end;
}

Status InitialiseHeadlessApp(CaptureApp& app, bool simulatedCamera, const SimulatorSettings& simulator)
{
    app.headless = true;
    // Standard output may be a pipe whose reader goes away (an ssh session, a pager): the
    // write then fails instead of ending the program during a recording.
    std::signal(SIGPIPE, SIG_IGN);
    app.messages.SetEchoStream(stdout);
    PrepareAppRecords(app, simulatedCamera);
    SetOptionDefaults(app.options);
    app.messages.Append(
        QStringLiteral("Running without windows: Event files are read from the Events folder as they arrive, "
                       "settings from VELA_options.xml.  The menus and dialogs (Events, Options, Display, saving "
                       "User Messages) are not available; edit those files or run the program with windows.\r\n"),
        true);
    if (FindDevices(app, simulatedCamera, simulator))
        MakeCaptureGraph(app, nullptr);
    ReadOptionsFile(app);
    RecoverRecordings(app);
    app.state.UsableCamera = ChooseDefaultCamera(app) && UseSelectedFormat(app);
    CheckTimeZone(app.clock, app.messages);
    app.recordingUi = std::make_unique<HeadlessRecordingUi>(app.messages);
    app.scheduler.SetRecordingUi(app.recordingUi.get());
    InstallSchedulerTimers(app);
    SetUpPowerActions(app,
                      [&app](bool shutdownTexts) { return RunHeadlessPowerCountdown(app.messages, shutdownTexts); });
    app.state.DeviceCount = app.devices.count;
    if (!app.state.UsableCamera) {
        app.messages.Append(QStringLiteral("ERROR -- No camera can be used, so no Event can be recorded.  The "
                                           "program ends; connect the camera and start it again.\r\n"),
                            true);
        return Status::Failed;
    }
    ArmScheduleAndWatchEvents(app);
    return Status::Ok;
}
