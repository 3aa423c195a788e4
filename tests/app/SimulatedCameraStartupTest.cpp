// The program's start-up with the simulator camera: the device is chosen, the video
// window is sized to its format and the first preview reaches the window.
#include "app/CaptureApp.h"
#include "app/Startup.h"
#include "app/ui/ChildWindows.h"
#include "app/ui/MainWindow.h"
#include "app/ui/VideoWindow.h"
#include "capture/CaptureGraph.h"
#include "messages/UserMessageLog.h"
#include "messages/ui/UserMessagesWindow.h"
#include "recording/RecordingControl.h"
#include "recording/Scheduler.h"
#include "recording/SchedulerHooks.h"
#include "events/EventFile.h"
#include "events/EventSchedule.h"
#include "common/AppState.h"
#include "common/Clock.h"
#include "support/TempDir.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>

TEST(SimulatedCameraStartup, FirstPreviewReachesTheVideoWindow)
{
    ScopedProcessDirectory dir;
    UserMessageLog::Instance().SetEchoToStderr(false);
    auto* app = new CaptureApp;
    std::int32_t devices = 0;
    bool abort = true;
    InitialiseApp(app, true, &devices, &abort);
    ASSERT_FALSE(abort);
    EXPECT_EQ(devices, 1);
    ASSERT_TRUE(app->UsableCamera);
    ASSERT_NE(app->captureGraph, nullptr);
    EXPECT_TRUE(app->controlsWindow->isVisible());
    for (std::uint32_t id : {32781u, 32782u, 32783u, 32784u, 32785u, 32788u})
        EXPECT_TRUE(app->mainWindow->ActionFor(id)->isEnabled()) << id;
    // The simulator's first format is 720 x 480.
    EXPECT_EQ(app->videoWindow->size(), QSize(728, 488));

    ASSERT_EQ(StartCapture(), S_OK);
    auto* video = static_cast<VideoWindow*>(app->videoWindow.data());
    QElapsedTimer t;
    t.start();
    while (video->FramesPresented() < 10 && t.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_GE(video->FramesPresented(), 10u);
    const QImage frame = video->LatestFrame();
    EXPECT_EQ(frame.size(), QSize(720, 480));
    EXPECT_EQ(StopCapture(), S_OK);

    delete app->mainWindow;
    delete app->userMessagesWindow;
    delete app->controlsWindow;
    delete app->countdownWindow;
    delete app->brightnessContrastWindow;
}

namespace {
struct CountingPower final : SystemPower {
    void HoldKeepAwake(bool) override {}
    void KeepAwakeOnce() override {}
    void RunPowerAction(bool, bool) override { ++actions; }
    int actions = 0;
};
} // namespace

TEST(SimulatedCameraStartup, ClosingDuringAnEventRecordingWritesTheLogAndRunsNoPowerAction)
{
    ScopedProcessDirectory dir;
    UserMessageLog::Instance().SetEchoToStderr(false);
    auto* app = new CaptureApp;
    std::int32_t devices = 0;
    bool abort = true;
    InitialiseApp(app, true, &devices, &abort);
    ASSERT_FALSE(abort);
    CountingPower power;
    SetSystemPower(&power);
    ASSERT_EQ(StartCapture(), S_OK);

    // An Event asking for hibernation, its recording starting about two seconds from now.
    const CalendarTime now = AppClock().UtcNow();
    const CalendarTime at = TicksToCalendar((*CalendarToTicks(now) / kTicksPerSecond + 4) * kTicksPerSecond);
    EventFileFields f;
    f.EventYear = QString::asprintf("%4hu", at.year);
    f.EventMonth = QString::asprintf("%2hu", at.month);
    f.EventDay = QString::asprintf("%2hu", at.day);
    f.EventHour = QString::asprintf("%2hu", at.hour);
    f.EventMinute = QString::asprintf("%2hu", at.minute);
    f.EventSecond = QString::asprintf("%2hu", at.second);
    f.DurationHour = QStringLiteral(" 0");
    f.DurationMinute = QStringLiteral(" 0");
    f.DurationSecond = QStringLiteral(" 4");
    f.Hibernate = QStringLiteral("TRUE");
    f.Shutdown = QStringLiteral("FALSE");
    QDir().mkdir(QStringLiteral("Events"));
    ASSERT_TRUE(WriteEventFile(f, QStringLiteral("Events/") + EventFileName(at)));
    LoadEventSchedule();
    ASSERT_TRUE(TheAppState().EventArmed);

    QElapsedTimer t;
    t.start();
    while (!TheAppState().EventRecordingActive && t.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_TRUE(TheAppState().EventRecordingActive);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 500);
    const QString avi = TheAppState().RecordingFileName;

    app->mainWindow->close(); // no question, even while recording
    t.restart();
    while (t.elapsed() < 1500) // the duration timer would have ended the Event by now
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(power.actions, 0);
    QString log = avi;
    log.replace(QStringLiteral(".avi"), QStringLiteral(".log"));
    EXPECT_TRUE(QFile::exists(avi));
    EXPECT_TRUE(QFile::exists(log)) << log.toStdString();
    SetSystemPower(nullptr);
    delete app->userMessagesWindow;
    delete app->controlsWindow;
    delete app->countdownWindow;
    delete app->brightnessContrastWindow;
}
