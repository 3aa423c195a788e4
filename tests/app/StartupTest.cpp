#include "AppWindowsFixture.h"
#include "app/CaptureApp.h"
#include "app/MainLoop.h"
#include "app/Startup.h"
#include "app/ui/ChildWindows.h"
#include "app/ui/MainWindow.h"
#include "filter/AnalysisFlags.h"
#include "messages/UserMessageLog.h"
#include "messages/ui/UserMessagesWindow.h"
#include "support/TempDir.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>
#include <thread>

namespace {

// One start-up for the whole suite: the program starts once per process.
class StartupTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new ScopedProcessDirectory;
        UserMessageLog::Instance().SetEchoToStderr(false);
        s_app = new CaptureApp;
        s_started = InitialiseApp(*s_app, false);
        QCoreApplication::processEvents();
    }
    static void TearDownTestSuite()
    {
        EndStartedApp(s_app);
        delete s_dir;
    }

    static inline ScopedProcessDirectory* s_dir = nullptr;
    static inline CaptureApp* s_app = nullptr;
    static inline Status s_started = Status::Aborted;
};

} // namespace

TEST_F(StartupTest, WithoutADeviceTheProgramStartsUsable)
{
    ASSERT_EQ(s_started, Status::Ok);
    EXPECT_EQ(s_app->DeviceCount, 0);
    EXPECT_FALSE(s_app->UsableCamera);
    EXPECT_EQ(s_app->videoWindow, nullptr); // no preview
    EXPECT_EQ(s_app->captureGraph, nullptr);
    ASSERT_TRUE(s_app->mainWindow);
    EXPECT_TRUE(s_app->mainWindow->isVisible());
    EXPECT_EQ(s_app->mainWindow->windowTitle(), QStringLiteral("VELA Video App"));
    EXPECT_TRUE(s_app->userMessagesWindow->isVisible());
    EXPECT_FALSE(s_app->controlsWindow->isVisible());
    EXPECT_FALSE(s_app->countdownWindow->isVisible());
    EXPECT_FALSE(s_app->brightnessContrastWindow->isVisible());
    EXPECT_TRUE(UserMessageLog::Instance().Text().contains(QStringLiteral("Computer ")));
}

TEST_F(StartupTest, MenusCarryTheirCommandsAndGreyTheDeviceEntries)
{
    const QStringList expected = {"Save Messages", "Save Messages and Clear", "Exit", "Schedule...",
                                  "Edit and Delete...", "Brightness/Contrast", "Pixel Saturation...",
                                  "Computer Clock Drift...", "Frame Integration...", "Devices...",
                                  "File Defaults...", "Duration Default...", "Codec Default...", "Event Pending...",
                                  "Performance...", "Set Window Positions", "About Vela Video Application"};
    QList<QAction*> actions = s_app->messagesFileMenu->actions();
    for (QMenu* m : s_app->menus)
        actions += m->actions();
    ASSERT_EQ(actions.size(), expected.size());
    for (int i = 0; i < actions.size(); ++i) {
        EXPECT_EQ(actions[i]->text(), expected[i]);
        EXPECT_EQ(actions[i]->data().toInt(), i) << "the command in the order of the menus";
    }
    const QStringList titles = {"File", "Events", "Display", "Options", "Help"};
    const QList<QAction*> bar = s_app->mainMenuBar->actions();
    ASSERT_EQ(bar.size(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(bar[i]->text(), titles[i]);

    const QList<MenuCommand> grey = {MenuCommand::BrightnessContrast, MenuCommand::PixelSaturation,
                                     MenuCommand::ClockDrift,         MenuCommand::FrameIntegration,
                                     MenuCommand::Devices,            MenuCommand::CodecDefault};
    for (int i = static_cast<int>(MenuCommand::Exit); i <= static_cast<int>(MenuCommand::About); ++i) {
        const auto command = static_cast<MenuCommand>(i);
        EXPECT_EQ(s_app->mainWindow->ActionFor(command)->isEnabled(), !grey.contains(command)) << i;
    }
}

TEST_F(StartupTest, AboutAppendsThreeEntries)
{
    UserMessageLog::Instance().Clear();
    s_app->mainWindow->ActionFor(MenuCommand::About)->trigger();
    const QString text = UserMessageLog::Instance().Text();
    EXPECT_TRUE(text.endsWith(QStringLiteral(" (UTC)\nVELA Video Application Version 1.1"
                                             "\nReport errors to \"vela-video-bugs@example.org\".  Please describe"
                                             "\nhow to duplicate the error and attach a saved user message log file.\n")))
        << text.toStdString();
}

TEST_F(StartupTest, FinishedMeasurementIsTakenOnceByTheMainLoop)
{
    MainLoopChecks checks;
    QCoreApplication::instance()->installEventFilter(&checks);
    s_app->Analysis.driftMinutes = 5;

    // Raised on another thread; the posted wake-up alone makes the loop look at it.
    std::thread([] { s_app->framePipeline.MeasurementFinished().Raise(); }).join();
    QCoreApplication::processEvents();
    EXPECT_FALSE(s_app->framePipeline.MeasurementFinished().IsRaised());
    EXPECT_EQ(s_app->Analysis.driftMinutes, 0);

    // Seen once: a later request stands until the next measurement finishes.
    s_app->Analysis.driftMinutes = 7;
    WakeMainLoop();
    QCoreApplication::processEvents();
    EXPECT_EQ(s_app->Analysis.driftMinutes, 7);

    QCoreApplication::instance()->removeEventFilter(&checks);
}

TEST_F(StartupTest, WindowsThatMustStayRefuseToClose)
{
    EXPECT_FALSE(s_app->controlsWindow->close());
    EXPECT_FALSE(s_app->userMessagesWindow->close());
    EXPECT_TRUE(s_app->userMessagesWindow->isVisible());
}
