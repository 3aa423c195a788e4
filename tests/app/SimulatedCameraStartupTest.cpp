// The program's start-up on the simulator camera with a stored saturation threshold: the
// device is chosen, the first preview reaches the sized video window, and an Event
// recording ended by closing the program is complete and runs no power action.
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

struct CountingPower final : SystemPower {
    void HoldKeepAwake(bool) override {}
    void KeepAwakeOnce() override {}
    void RunPowerAction(bool, bool) override { ++actions; }
    int actions = 0;
};

} // namespace

TEST(SimulatedCameraStartup, PreviewReachesTheVideoWindowAndClosingCompletesAnEventRecording)
{
    ScopedProcessDirectory dir;
    AppOptions saving;
    saving.SaturationDefault = saving.PixelSaturationValue = 180; // as Save in its dialog leaves it
    ASSERT_TRUE(SaveOptionsFile(saving));
    const SystemClock clock;
    CaptureApp app(clock);
    app.messages.SetEchoToStderr(false);
    ASSERT_EQ(InitialiseApp(app, true), Status::Ok);
    ASSERT_TRUE(app.state.UsableCamera);
    EXPECT_TRUE(app.mainWindow->ActionFor(MenuCommand::Devices)->isEnabled());
    EXPECT_EQ(app.videoWindow->size(), QSize(728, 488)); // the simulator's first format is 720 x 480
    EXPECT_EQ(app.state.Analysis.saturationThreshold, 180);
    auto& counted = static_cast<CountingPower&>(*(app.power = std::make_unique<CountingPower>()));
    app.scheduler.SetSystemPower(app.power.get());

    ASSERT_EQ(app.recording.StartCapture(), Status::Ok);
    EXPECT_TRUE(app.captureGraph->PixelAnalysisRequested()); // marks from the first picture
    auto* video = static_cast<VideoWindow*>(app.videoWindow.data());
    EXPECT_TRUE(QTest::qWaitFor([video] { return video->FramesPresented() >= 10; }, 10000));
    EXPECT_EQ(video->LatestFrame().size(), QSize(720, 480));

    // An Event asking for hibernation, its recording starting a few seconds from now.
    const CalendarTime at = TicksToCalendar((*CalendarToTicks(clock.UtcNow()) / kTicksPerSecond + 4) * kTicksPerSecond);
    ASSERT_FALSE(WriteTestEvent(QStringLiteral("Events"), at, 0, 0, 4, true).isEmpty());
    app.scheduler.LoadEventSchedule();
    ASSERT_TRUE(QTest::qWaitFor([&app] { return app.state.EventRecordingActive; }, 10000));
    QCoreApplication::processEvents(QEventLoop::AllEvents, 500);
    const QString avi = app.state.RecordingFileName;
    QTimer::singleShot(0, [] { // "Exit anyway?" Yes
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Yes)->click();
    });
    app.mainWindow->close();
    QTest::qWait(1500); // the duration timer would have ended the Event by now
    EXPECT_EQ(counted.actions, 0);
    EXPECT_TRUE(QFile::exists(avi) && QFile::exists(RecordingLogFileName(avi)));
}
