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
#include "support/TempDir.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
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
