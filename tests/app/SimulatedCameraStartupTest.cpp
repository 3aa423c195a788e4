// The program's start-up with the simulator camera: the device is chosen, the video
// window is sized to its format, the first preview reaches the window, and an Event
// recording ended by closing the program is complete.
#include "app/CaptureApp.h"
#include "app/Startup.h"
#include "app/ui/MainWindow.h"
#include "app/ui/VideoWindow.h"
#include "capture/CaptureGraph.h"
#include "options/OptionsFile.h"
#include "recording/RecordingLog.h"
#include "recording/SchedulerHooks.h"
#include "support/TempDir.h"
#include "support/TestEvents.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// The program started offscreen with the simulator camera; nullptr when start-up aborted.
std::unique_ptr<CaptureApp> StartWithSimulator()
{
    static const SystemClock clock; // stateless: the computer's clock
    auto app = std::make_unique<CaptureApp>(clock);
    app->messages.SetEchoToStderr(false);
    return InitialiseApp(*app, true) == Status::Ok ? std::move(app) : nullptr;
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
    EXPECT_TRUE(QTest::qWaitFor([video] { return video->FramesPresented() >= 10; }, 10000));
    EXPECT_EQ(video->LatestFrame().size(), QSize(720, 480));
    EXPECT_EQ(app->recording.StopCapture(), Status::Ok);
}

TEST(SimulatedCameraStartup, AStoredSaturationThresholdMarksFromTheFirstPicture)
{
    ScopedProcessDirectory dir;
    AppOptions saving;
    SetOptionDefaults(saving);
    // What Save in the Pixel Saturation dialog leaves before the file is written.
    saving.SaturationDefault = saving.PixelSaturationValue = 180;
    ASSERT_TRUE(SaveOptionsFile(saving));
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
    auto& counted = static_cast<CountingPower&>(*(app->power = std::make_unique<CountingPower>()));
    app->scheduler.SetSystemPower(app->power.get());
    ASSERT_EQ(app->recording.StartCapture(), Status::Ok);

    // An Event asking for hibernation, its recording starting a few seconds from now.
    const CalendarTime now = app->clock.UtcNow();
    const CalendarTime at = TicksToCalendar((*CalendarToTicks(now) / kTicksPerSecond + 4) * kTicksPerSecond);
    ASSERT_FALSE(WriteTestEvent(QStringLiteral("Events"), at, 0, 0, 4, true).isEmpty());
    app->scheduler.LoadEventSchedule();
    ASSERT_TRUE(app->state.EventArmed);
    ASSERT_TRUE(QTest::qWaitFor([&app] { return app->state.EventRecordingActive; }, 10000));
    QCoreApplication::processEvents(QEventLoop::AllEvents, 500);
    const QString avi = app->state.RecordingFileName;

    QTimer::singleShot(0, [] { // "Exit anyway?" Yes
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Yes)->click();
    });
    app->mainWindow->close();
    QTest::qWait(1500); // the duration timer would have ended the Event by now
    EXPECT_EQ(counted.actions, 0);
    EXPECT_TRUE(QFile::exists(avi));
    EXPECT_TRUE(QFile::exists(RecordingLogFileName(avi)));
}
