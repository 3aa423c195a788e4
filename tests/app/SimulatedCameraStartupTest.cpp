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
#include "recording/AppState.h"
#include "recording/RecordingControl.h"
#include "recording/Scheduler.h"
#include "recording/SchedulerHooks.h"
#include "AppWindowsFixture.h"
#include "recording/RecordingLog.h"
#include "support/TestEvents.h"
#include "events/EventSchedule.h"
#include "common/Clock.h"
#include "support/TempDir.h"
#include "options/AppOptions.h"
#include "options/OptionsFile.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
// The program started offscreen with the simulator camera; nullptr when start-up aborted.
CaptureApp* StartWithSimulator()
{
    UserMessageLog::Instance().SetEchoToStderr(false);
    auto* app = new CaptureApp;
    return InitialiseApp(*app, true) == Status::Ok ? app : nullptr;
}
} // namespace

TEST(SimulatedCameraStartup, FirstPreviewReachesTheVideoWindow)
{
    ScopedProcessDirectory dir;
    CaptureApp* app = StartWithSimulator();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(app->DeviceCount, 1);
    ASSERT_TRUE(app->UsableCamera);
    ASSERT_NE(app->captureGraph, nullptr);
    EXPECT_TRUE(app->controlsWindow->isVisible());
    for (MenuCommand command : {MenuCommand::BrightnessContrast, MenuCommand::PixelSaturation, MenuCommand::ClockDrift,
                                MenuCommand::FrameIntegration, MenuCommand::Devices, MenuCommand::CodecDefault})
        EXPECT_TRUE(app->mainWindow->ActionFor(command)->isEnabled()) << static_cast<int>(command);
    // The simulator's first format is 720 x 480.
    EXPECT_EQ(app->videoWindow->size(), QSize(728, 488));

    ASSERT_EQ(app->recording.StartCapture(), Status::Ok);
    auto* video = static_cast<VideoWindow*>(app->videoWindow.data());
    QElapsedTimer t;
    t.start();
    while (video->FramesPresented() < 10 && t.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_GE(video->FramesPresented(), 10u);
    const QImage frame = video->LatestFrame();
    EXPECT_EQ(frame.size(), QSize(720, 480));
    EXPECT_EQ(app->recording.StopCapture(), Status::Ok);
    EndStartedApp(app);
}

TEST(SimulatedCameraStartup, AStoredSaturationThresholdMarksFromTheFirstPicture)
{
    ScopedProcessDirectory dir;
    SetOptionDefaults(Options());
    // What Save in the Pixel Saturation dialog leaves before the file is written.
    Options().SaturationDefault = 180;
    Options().PixelSaturationValue = 180;
    ASSERT_TRUE(SaveOptionsFile(Options()));
    SetOptionDefaults(Options());
    CaptureApp* app = StartWithSimulator();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(Options().SaturationDefault, 180);
    EXPECT_EQ(TheAppState().Analysis.saturationThreshold, 180);
    ASSERT_EQ(app->recording.StartCapture(), Status::Ok);
    EXPECT_TRUE(app->captureGraph->PixelAnalysisRequested());
    EXPECT_EQ(app->recording.StopCapture(), Status::Ok);
    EndStartedApp(app);
    SetOptionDefaults(Options());
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
    CaptureApp* app = StartWithSimulator();
    ASSERT_NE(app, nullptr);
    CountingPower power;
    app->scheduler.SetSystemPower(&power);
    ASSERT_EQ(app->recording.StartCapture(), Status::Ok);

    // An Event asking for hibernation, its recording starting about two seconds from now.
    const CalendarTime now = AppClock().UtcNow();
    const CalendarTime at = TicksToCalendar((*CalendarToTicks(now) / kTicksPerSecond + 4) * kTicksPerSecond);
    ASSERT_FALSE(WriteTestEvent(QStringLiteral("Events"), at, 0, 0, 4, true).isEmpty());
    app->scheduler.LoadEventSchedule();
    ASSERT_TRUE(TheAppState().EventArmed);

    QElapsedTimer t;
    t.start();
    while (!TheAppState().EventRecordingActive && t.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_TRUE(TheAppState().EventRecordingActive);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 500);
    const QString avi = TheAppState().RecordingFileName;

    QTimer::singleShot(0, [] { // "Exit anyway?" Yes
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Yes)->click();
    });
    app->mainWindow->close();
    t.restart();
    while (t.elapsed() < 1500) // the duration timer would have ended the Event by now
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(power.actions, 0);
    const QString log = RecordingLogFileName(avi);
    EXPECT_TRUE(QFile::exists(avi));
    EXPECT_TRUE(QFile::exists(log)) << log.toStdString();
    app->scheduler.SetSystemPower(nullptr);
    EndStartedApp(app); // the main window is gone already
}
