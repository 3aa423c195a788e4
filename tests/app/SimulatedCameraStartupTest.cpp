// The program's start-up with the simulator camera: the device is chosen, the video
// window is sized to its format, the first preview reaches the window, and an Event
// recording ended by closing the program is complete.
#include "app/CaptureApp.h"
#include "app/Startup.h"
#include "app/ui/MainWindow.h"
#include "app/ui/VideoWindow.h"
#include "capture/CaptureGraph.h"
#include "common/Clock.h"
#include "messages/UserMessageLog.h"
#include "options/AppOptions.h"
#include "options/OptionsFile.h"
#include "recording/RecordingControl.h"
#include "recording/RecordingLog.h"
#include "recording/Scheduler.h"
#include "recording/SchedulerHooks.h"
#include "support/TempDir.h"
#include "support/TestEvents.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

namespace {

// The program started offscreen with the simulator camera; nullptr when start-up aborted.
std::unique_ptr<CaptureApp> StartWithSimulator()
{
    auto app = std::make_unique<CaptureApp>();
    app->messages.SetEchoToStderr(false);
    return InitialiseApp(*app, true) == Status::Ok ? std::move(app) : nullptr;
}

bool RunEventsUntil(const std::function<bool()>& done, int ms = 10000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

struct CountingPower final : SystemPower {
    void HoldKeepAwake(bool) override {}
    void KeepAwakeOnce() override {}
    void RunPowerAction(bool, bool) override { ++actions; }
    int actions = 0;
};

} // namespace

TEST(SimulatedCameraStartup, FirstPreviewReachesTheVideoWindow)
{
    ScopedProcessDirectory dir;
    const std::unique_ptr<CaptureApp> app = StartWithSimulator();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(app->state.DeviceCount, 1);
    ASSERT_TRUE(app->state.UsableCamera);
    for (MenuCommand command : {MenuCommand::BrightnessContrast, MenuCommand::PixelSaturation, MenuCommand::ClockDrift,
                                MenuCommand::FrameIntegration, MenuCommand::Devices, MenuCommand::CodecDefault})
        EXPECT_TRUE(app->mainWindow->ActionFor(command)->isEnabled()) << static_cast<int>(command);
    EXPECT_EQ(app->videoWindow->size(), QSize(728, 488)); // the simulator's first format is 720 x 480

    ASSERT_EQ(app->recording.StartCapture(), Status::Ok);
    auto* video = static_cast<VideoWindow*>(app->videoWindow.data());
    EXPECT_TRUE(RunEventsUntil([video] { return video->FramesPresented() >= 10; }));
    EXPECT_EQ(video->LatestFrame().size(), QSize(720, 480));
    EXPECT_EQ(app->recording.StopCapture(), Status::Ok);
}

TEST(SimulatedCameraStartup, AStoredSaturationThresholdMarksFromTheFirstPicture)
{
    ScopedProcessDirectory dir;
    {
        CaptureApp saving;
        SetOptionDefaults(saving.options);
        // What Save in the Pixel Saturation dialog leaves before the file is written.
        saving.options.SaturationDefault = saving.options.PixelSaturationValue = 180;
        ASSERT_TRUE(SaveOptionsFile(saving.options));
        SetOptionDefaults(saving.options);
    }
    const std::unique_ptr<CaptureApp> app = StartWithSimulator();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(app->options.SaturationDefault, 180);
    EXPECT_EQ(app->state.Analysis.saturationThreshold, 180);
    ASSERT_EQ(app->recording.StartCapture(), Status::Ok);
    EXPECT_TRUE(app->captureGraph->PixelAnalysisRequested());
    EXPECT_EQ(app->recording.StopCapture(), Status::Ok);
    SetOptionDefaults(app->options);
}

TEST(SimulatedCameraStartup, ClosingDuringAnEventRecordingWritesTheLogAndRunsNoPowerAction)
{
    ScopedProcessDirectory dir;
    const std::unique_ptr<CaptureApp> app = StartWithSimulator();
    ASSERT_NE(app, nullptr);
    auto power = std::make_unique<CountingPower>();
    CountingPower& counted = *power;
    app->power = std::move(power);
    app->scheduler.SetSystemPower(app->power.get());
    ASSERT_EQ(app->recording.StartCapture(), Status::Ok);

    // An Event asking for hibernation, its recording starting a few seconds from now.
    const CalendarTime now = app->clock.UtcNow();
    const CalendarTime at = TicksToCalendar((*CalendarToTicks(now) / kTicksPerSecond + 4) * kTicksPerSecond);
    ASSERT_FALSE(WriteTestEvent(QStringLiteral("Events"), at, 0, 0, 4, true).isEmpty());
    app->scheduler.LoadEventSchedule();
    ASSERT_TRUE(app->state.EventArmed);
    ASSERT_TRUE(RunEventsUntil([&app] { return app->state.EventRecordingActive; }));
    QCoreApplication::processEvents(QEventLoop::AllEvents, 500);
    const QString avi = app->state.RecordingFileName;

    QTimer::singleShot(0, [] { // "Exit anyway?" Yes
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Yes)->click();
    });
    app->mainWindow->close();
    RunEventsUntil([] { return false; }, 1500); // the duration timer would have ended the Event by now
    EXPECT_EQ(counted.actions, 0);
    EXPECT_TRUE(QFile::exists(avi));
    EXPECT_TRUE(QFile::exists(RecordingLogFileName(avi)));
}
