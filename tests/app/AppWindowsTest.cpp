// The program's windows, started without a camera.
#include "app/CaptureApp.h"
#include "app/MainLoop.h"
#include "app/Startup.h"
#include "app/ui/ChildWindows.h"
#include "app/ui/MainWindow.h"
#include "app/ui/VideoWindow.h"
#include "messages/ui/UserMessagesWindow.h"
#include "recording/GraphControl.h"
#include "recording/SchedulerHooks.h"
#include "recording/SchedulerTimerSet.h"
#include "support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <thread>

namespace {

using Colour = std::vector<std::pair<int, int>>;

// Counts stops and builds and keeps every colour call.
struct FakeGraph final : GraphControl {
    Status BuildGraph(const QString*, bool) override { return ++builds, Status::Ok; }
    Status StopGraph() override { return ++stops, Status::Ok; }
    Status SetBrightnessContrast(int b, int c) override { return colour.emplace_back(b, c), Status::Ok; }
    int builds = 0, stops = 0;
    Colour colour;
};

// The program started once per process, with a fresh fake graph for each test.
class AppWindowsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new ScopedProcessDirectory;
        s_app = new CaptureApp(s_clock);
        s_app->messages.SetEchoToStderr(false);
        s_started = InitialiseApp(*s_app, false);
        QCoreApplication::processEvents();
    }
    static void TearDownTestSuite()
    {
        delete s_app;
        delete s_dir;
    }
    void SetUp() override
    {
        ASSERT_EQ(s_started, Status::Ok);
        s_app->UseGraph(&m_graph);
        s_app->messages.Clear();
    }
    void TearDown() override { s_app->UseGraph(nullptr); }

    static inline ScopedProcessDirectory* s_dir = nullptr;
    static inline const SystemClock s_clock; // stateless: the computer's clock
    static inline CaptureApp* s_app = nullptr;
    static inline Status s_started = Status::Aborted;
    FakeGraph m_graph;
};

// Answers the next modal question with the given button; gives what it asked.
void AnswerNextQuestion(QMessageBox::StandardButton answer, QString* asked = nullptr)
{
    QTimer::singleShot(0, [answer, asked] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        if (asked)
            *asked = box->text();
        box->button(answer)->click();
    });
}

} // namespace

TEST_F(AppWindowsTest, WithoutADeviceTheDeviceEntriesAreGreyAndTheMenusFollowRecording)
{
    EXPECT_FALSE(s_app->state.UsableCamera || s_app->videoWindow || s_app->captureGraph);
    EXPECT_FALSE(s_app->controlsWindow->close() || s_app->userMessagesWindow->close()); // they must stay
    QList<QAction*> actions = s_app->messagesFileMenu->actions();
    for (QMenu* m : s_app->menus)
        actions += m->actions();
    ASSERT_EQ(actions.size(), static_cast<int>(MenuCommand::About) + 1);
    const QList<MenuCommand> grey = {MenuCommand::BrightnessContrast, MenuCommand::PixelSaturation,
                                     MenuCommand::ClockDrift,         MenuCommand::FrameIntegration,
                                     MenuCommand::Devices,            MenuCommand::CodecDefault,
                                     MenuCommand::StartRecording,     MenuCommand::StopRecording};
    for (int i = 0; i < actions.size(); ++i) {
        EXPECT_EQ(actions[i]->data().toInt(), i) << "the command in the order of the menus";
        EXPECT_EQ(actions[i]->isEnabled(), !grey.contains(static_cast<MenuCommand>(i))) << i;
    }
    // File, Events, Display, Options, Help, the User Messages File menu, "Exit".
    const auto menusEnabled = [] {
        QList<bool> enabled;
        for (QAction* a : s_app->mainMenuBar->actions())
            enabled << a->isEnabled();
        return enabled << s_app->messagesFileMenu->menuAction()->isEnabled()
                       << s_app->mainWindow->ActionFor(MenuCommand::Exit)->isEnabled();
    };
    s_app->recordingUi->SetMenusForRecording(true);
    EXPECT_EQ(menusEnabled(), (QList<bool>{true, false, false, false, false, false, false}));
    s_app->recordingUi->SetMenusForRecording(false);
    EXPECT_EQ(menusEnabled(), (QList<bool>(7, true)));
    EXPECT_FALSE(s_app->mainWindow->ActionFor(MenuCommand::Devices)->isEnabled());

    // The icon-only buttons are named for the pointer and screen readers; the File menu
    // shows their shortcuts, and its Stop entry follows the Stop button.
    const QPushButton *start = s_app->controlsWindow->StartButton(), *stopButton = s_app->controlsWindow->StopButton();
    EXPECT_EQ((QStringList{start->toolTip(), start->accessibleName(), stopButton->toolTip(), stopButton->accessibleName()}),
              (QStringList{"Start recording", "Start recording", "Stop recording", "Stop recording"}));
    QAction* stop = s_app->mainWindow->ActionFor(MenuCommand::StopRecording);
    EXPECT_EQ(s_app->mainWindow->ActionFor(MenuCommand::StartRecording)->shortcut().toString() + " "
                  + stop->shortcut().toString(),
              "Ctrl+R Ctrl+Shift+R");
    s_app->recordingUi->SetRecordingControls(true);
    EXPECT_TRUE(stop->isEnabled());
    s_app->recordingUi->SetRecordingControls(false);
}

TEST_F(AppWindowsTest, FinishedMeasurementIsTakenOnceByTheMainLoop)
{
    MainLoopChecks checks(*s_app);
    qApp->installEventFilter(&checks);
    s_app->state.Analysis.driftMinutes = 5;
    // Raised on another thread; the posted wake-up alone makes the loop look at it.
    std::thread([] { s_app->framePipeline.MeasurementFinished().Raise(); }).join();
    QCoreApplication::processEvents();
    EXPECT_EQ(s_app->state.Analysis.driftMinutes, 0);
    EXPECT_EQ(m_graph.builds, 1);
    s_app->state.Analysis.driftMinutes = 7; // stands until the next measurement finishes
    WakeMainLoop();
    QCoreApplication::processEvents();
    EXPECT_EQ(s_app->state.Analysis.driftMinutes, 7);
    qApp->removeEventFilter(&checks);
}

// An armed or recording Event is never lost to a slip of the mouse: Exit and the close box
// ask first and No keeps everything running; once confirmed during a recording, the
// timers stop before the graph, so no tick (no power action) follows.
TEST_F(AppWindowsTest, ExitAsksWhileAnEventIsArmedOrRecordingAndYesStopsTheTimersFirst)
{
    SchedulerState& scheduler = s_app->schedulerState;
    const SchedulerState saved = scheduler;
    scheduler.ArmedEventTime = {2026, 3, 0, 15, 3, 5, 5, 0};
    scheduler.ArmedEventDuration = {0, 0, 0, 0, 0, 2, 0, 0};
    for (const bool recording : {false, true}) {
        s_app->state.EventArmed = !recording;
        s_app->state.EventRecordingActive = s_app->state.RecordingActive = recording;
        QString asked;
        AnswerNextQuestion(QMessageBox::No, &asked);
        if (recording)
            s_app->mainWindow->close();
        else
            s_app->mainWindow->ActionFor(MenuCommand::Exit)->trigger();
        EXPECT_TRUE(asked.contains(QLatin1String("Mar 15, 2026  03:05:05 UTC (recording 00:02:00)"))) << recording;
        EXPECT_TRUE(s_app->mainWindow->isVisible());
        EXPECT_EQ(m_graph.stops, 0);
    }
    s_app->schedulerTimers->StartCountdownTimer();
    s_app->schedulerTimers->StartEventRecordingTimer(std::chrono::milliseconds(120450));
    s_app->schedulerTimers->StartStartAlarm(std::chrono::milliseconds(300));
    AnswerNextQuestion(QMessageBox::Yes);
    EXPECT_TRUE(s_app->mainWindow->close());
    SchedulerTimerSet& timers = *s_app->schedulerTimers;
    EXPECT_FALSE(timers.CountdownTimer()->isActive() || timers.EventRecordingTimer()->isActive()
                 || timers.StartAlarm()->isActive());
    EXPECT_EQ(m_graph.stops, 1);
    EXPECT_FALSE(s_app->state.RecordingActive);
    s_app->state.EventArmed = s_app->state.EventRecordingActive = false;
    scheduler = saved;
    s_app->mainWindow->show();
}

TEST_F(AppWindowsTest, BrightnessAndContrastSlidersDriveOnlyTheirColourAndClosingResets)
{
    BrightnessContrastWindow* window = s_app->brightnessContrastWindow;
    s_app->mainWindow->OnCommand(MenuCommand::BrightnessContrast);
    ASSERT_TRUE(window->isVisible());
    m_graph = FakeGraph();
    QSlider *b = window->BrightnessSlider(), *c = window->ContrastSlider();
    b->setSliderDown(true);
    b->setSliderPosition(70);
    b->setSliderDown(false); // the release is ignored
    c->setFocus();
    QTest::keyClick(c, Qt::Key_PageUp);
    QTest::keyClick(c, Qt::Key_Left);
    QTest::keyClick(b, Qt::Key_End); // jumps to either end are ignored
    EXPECT_EQ(m_graph.colour, (Colour{{70, -1}, {-1, 51}, {-1, 50}}));
    // Closed by its frame: colour reset, entry unchecked, graph rebuilt.
    m_graph.colour.clear();
    window->close();
    EXPECT_FALSE(s_app->state.BrightnessContrastShown
                 || s_app->mainWindow->ActionFor(MenuCommand::BrightnessContrast)->isChecked());
    EXPECT_EQ(m_graph.colour, (Colour{{50, 50}}));
    EXPECT_EQ(m_graph.builds, 1);
    // A recording closes it without a rebuild.
    s_app->mainWindow->OnCommand(MenuCommand::BrightnessContrast);
    s_app->recordingUi->CloseBrightnessContrastForRecording();
    EXPECT_FALSE(s_app->state.BrightnessContrastShown || window->isVisible());
    EXPECT_EQ(m_graph.builds, 2);
}

// A camera without formats: no current device, the video window hidden, the reason logged.
TEST_F(AppWindowsTest, ACameraWithoutFormatsHidesTheVideoWindow)
{
    const DeviceTable saved = s_app->devices;
    s_app->devices.count = 1;
    s_app->devices.currentDeviceIndex = 0;
    QWidget video;
    video.show();
    EXPECT_FALSE(SizeVideoWindowToFormat(*s_app, &video) || video.isVisible());
    EXPECT_EQ(s_app->devices.currentDeviceIndex, -1);
    EXPECT_TRUE(s_app->messages.Text().endsWith(
        QStringLiteral("Selected camera (or the only attached camera) has no supported media formats.\n")));
    s_app->devices = saved;
}
