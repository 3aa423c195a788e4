// vela-doc-shots: starts the program on the simulator camera in a scratch folder, opens
// its windows and dialogs as an observer would and saves a picture of each into the
// given folder, then measures the clock drift of the simulated VTI for three minutes
// and keeps the TimeDeltas.txt it writes. The user guide's pictures come
// from here, so they can be made again whenever a window changes.
//
//   vela-doc-shots OUTPUT_FOLDER

#include "app/CaptureApp.h"
#include "app/MainLoop.h"
#include "app/ProgramCommands.h"
#include "app/Startup.h"
#include "app/ui/ChildWindows.h"
#include "app/ui/MainWindow.h"
#include "app/ui/VideoWindow.h"
#include "capture/CaptureGraph.h"
#include "common/CalendarTime.h"
#include "common/Clock.h"
#include "events/EventFile.h"
#include "events/EventSchedule.h"
#include "filter/AnalysisFlags.h"
#include "messages/UserMessageLog.h"
#include "recording/AppState.h"
#include "recording/RecordingControl.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <functional>

namespace {

using namespace std::chrono_literals;

QString g_out;
int g_failures = 0;

void Say(const QString& text)
{
    std::fprintf(stderr, "vela-doc-shots: %s\n", text.toLocal8Bit().constData());
}

void RunEventsFor(std::chrono::milliseconds period)
{
    QElapsedTimer t;
    t.start();
    while (std::chrono::milliseconds(t.elapsed()) < period)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    QElapsedTimer t;
    t.start();
    while (!done() && std::chrono::milliseconds(t.elapsed()) < limit)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

void Save(QWidget* window, const QString& name)
{
    const QString path = QDir(g_out).filePath(name + QStringLiteral(".png"));
    if (!window || !window->grab().save(path)) {
        Say(QStringLiteral("could not save %1").arg(path));
        ++g_failures;
        return;
    }
    Say(QStringLiteral("wrote %1").arg(path));
}

// Opens a menu command's dialog as the menu does, pictures it once it has painted, and
// closes it as Cancel would.
void ShootDialog(CaptureApp& app, MenuDialog dialog, const QString& name)
{
    bool shot = false;
    QTimer::singleShot(700ms, [&] {
        if (auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            Save(open, name);
            shot = true;
            open->reject();
        }
    });
    RunMenuDialog(app, dialog, app.mainWindow);
    if (!shot) {
        Say(QStringLiteral("%1 did not open").arg(name));
        ++g_failures;
    }
}

// An Event `ahead` minutes from now (UTC), recorded for `minutes`.
void WriteEvent(const Clock& clock, int ahead, int minutes, const QString& comment)
{
    const CalendarTime at = UtcTimeToCalendar(UtcTimeNow(clock) + std::chrono::minutes(ahead));
    CalendarTime duration{};
    duration.minute = static_cast<std::uint16_t>(minutes);
    QDir().mkpath(QStringLiteral("Events"));
    WriteEventFile(MakeEventFileFields(at, duration, false, false, comment),
                   QStringLiteral("Events/") + EventFileName(at));
}

// A three-minute clock-drift measurement of the simulator, started as the user guide
// says (--simulated-camera=offset=40,drift=1.5). It runs in real time: the measurement
// compares each frame's VTI time with the computer clock as the frame arrives.
bool MeasureDrift(CaptureApp& app)
{
    app.state.Analysis.driftMinutes = 3;
    static_cast<void>(app.framePipeline.MeasurementFinished().Take());
    app.recording.RestartGraph();
    // The main loop's checks end the measurement and bring the live picture back.
    if (!WaitFor([&app] { return app.state.Analysis.driftMinutes == 0; }, 330s)) {
        Say(QStringLiteral("the clock-drift measurement did not finish"));
        return false;
    }
    app.recording.RestartGraph();
    const QString report = QDir(g_out).filePath(QStringLiteral("TimeDeltas-example.txt"));
    QFile::remove(report);
    if (!QFile::copy(QStringLiteral("TimeDeltas.txt"), report)) {
        Say(QStringLiteral("no TimeDeltas.txt was written"));
        return false;
    }
    Say(QStringLiteral("wrote %1").arg(report));
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 2) {
        std::fputs("usage: vela-doc-shots OUTPUT_FOLDER\n", stderr);
        return 2;
    }
    g_out = QDir(args[1]).absolutePath();
    QDir().mkpath(g_out);
    // A scratch process folder: the options, Events and recordings of the pictures.
    QTemporaryDir scratch;
    if (!scratch.isValid() || !QDir::setCurrent(scratch.path())) {
        Say(QStringLiteral("no scratch folder"));
        return 1;
    }

    const SystemClock clock;
    auto* app = new CaptureApp(clock);
    app->messages.SetEchoToStderr(false);
    // The VTI 40 ms ahead of the computer clock, gaining 1.5 ms a minute: the example report.
    const SimulatorSettings simulator{40, 1.5, {}};
    if (InitialiseApp(*app, true, simulator) != Status::Ok || !app->state.UsableCamera) {
        Say(QStringLiteral("the program did not start with the simulator camera"));
        return 1;
    }
    MainLoopChecks checks(*app);
    application.installEventFilter(&checks);
    if (Failed(app->recording.StartCapture())) {
        Say(QStringLiteral("the simulator's preview did not start"));
        return 1;
    }
    auto* video = static_cast<VideoWindow*>(app->videoWindow.data());
    WaitFor([video] { return video->FramesPresented() >= 30; }, 15s);

    // Two Events ahead: the sooner is armed and counted down.
    WriteEvent(app->clock, 75, 4, QStringLiteral("(1234) Vela & TYC 5799-01234-1"));
    WriteEvent(app->clock, 24 * 60 + 30, 2, QStringLiteral("(5678) rehearsal"));
    app->scheduler.LoadEventSchedule();
    RunEventsFor(1500ms);

    Save(app->mainWindow, QStringLiteral("main-window"));
    Save(app->controlsWindow, QStringLiteral("controls-window"));
    Save(app->countdownWindow, QStringLiteral("countdown-window"));

    ShootDialog(*app, MenuDialog::DeviceFormat, QStringLiteral("device-format-dialog"));
    ShootDialog(*app, MenuDialog::CodecSelector, QStringLiteral("codec-dialog"));
    ShootDialog(*app, MenuDialog::FileOptions, QStringLiteral("file-options-dialog"));
    ShootDialog(*app, MenuDialog::DefaultDuration, QStringLiteral("default-duration-dialog"));
    ShootDialog(*app, MenuDialog::EventPendingOptions, QStringLiteral("event-pending-dialog"));
    ShootDialog(*app, MenuDialog::PerformanceOptions, QStringLiteral("performance-dialog"));
    ShootDialog(*app, MenuDialog::ScheduleEvent, QStringLiteral("schedule-event-dialog"));
    ShootDialog(*app, MenuDialog::ViewEvents, QStringLiteral("view-events-dialog"));
    ShootDialog(*app, MenuDialog::ClockDrift, QStringLiteral("clock-drift-dialog"));
    ShootDialog(*app, MenuDialog::PixelSaturation, QStringLiteral("pixel-saturation-dialog"));
    ShootDialog(*app, MenuDialog::FrameIntegration, QStringLiteral("frame-integration-dialog"));

    if (!MeasureDrift(*app))
        ++g_failures;

    if (Failed(app->recording.StopCapture()))
        ++g_failures;
    app->mainWindow->EndProgram(); // without the exit question: an Event is armed
    RunEventsFor(200ms);
    return g_failures == 0 ? 0 : 1;
}
