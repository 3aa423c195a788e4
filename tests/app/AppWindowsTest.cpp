// The program's windows, started without a camera: menus, the windows the scheduler
// drives, the Brightness and Contrast window, the commands through the menus, and the
// video window.
#include "AppWindowsFixture.h"

#include "app/MainLoop.h"
#include "app/ProgramCommands.h"
#include "app/ui/ChildWindows.h"
#include "app/ui/MainWindow.h"
#include "app/ui/VideoWindow.h"
#include "devices/DeviceTable.h"
#include "filter/AnalysisFlags.h"
#include "messages/UserMessageLog.h"
#include "messages/ui/UserMessagesWindow.h"
#include "options/AppOptions.h"
#include "options/OptionsFile.h"
#include "recording/SchedulerHooks.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <thread>

namespace {

using Colour = std::vector<std::pair<int, int>>;

// Answers the next modal question with the given button; gives what it showed.
void AnswerNextQuestion(QMessageBox::StandardButton answer, QString* asked = nullptr)
{
    QTimer::singleShot(0, [answer, asked] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        if (asked)
            *asked = box->windowTitle() + QLatin1Char('|') + box->text();
        box->button(answer)->click();
    });
}

} // namespace

TEST_F(AppWindowsTest, WithoutADeviceTheProgramStartsWithTheDeviceEntriesGrey)
{
    EXPECT_EQ(s_app->state.DeviceCount, 0);
    EXPECT_FALSE(s_app->state.UsableCamera);
    EXPECT_EQ(s_app->videoWindow, nullptr);
    EXPECT_EQ(s_app->captureGraph, nullptr);
    EXPECT_TRUE(s_app->mainWindow->isVisible() && s_app->userMessagesWindow->isVisible());
    EXPECT_FALSE(s_app->controlsWindow->isVisible() || s_app->countdownWindow->isVisible());
    EXPECT_FALSE(s_app->controlsWindow->close()); // windows that must stay refuse to close
    EXPECT_FALSE(s_app->userMessagesWindow->close());

    const QStringList expected = {"Save Messages", "Save Messages and Clear", "Exit", "Schedule...",
                                  "Edit and Delete...", "Brightness/Contrast", "Pixel Saturation...",
                                  "Computer Clock Drift...", "Frame Integration...", "Devices...",
                                  "File Defaults...", "Duration Default...", "Codec Default...", "Event Pending...",
                                  "Performance...", "Set Window Positions", "About Vela Video Application"};
    QList<QAction*> actions = s_app->messagesFileMenu->actions();
    for (QMenu* m : s_app->menus)
        actions += m->actions();
    ASSERT_EQ(actions.size(), expected.size());
    const QList<MenuCommand> grey = {MenuCommand::BrightnessContrast, MenuCommand::PixelSaturation,
                                     MenuCommand::ClockDrift,         MenuCommand::FrameIntegration,
                                     MenuCommand::Devices,            MenuCommand::CodecDefault};
    for (int i = 0; i < actions.size(); ++i) {
        EXPECT_EQ(actions[i]->text(), expected[i]);
        EXPECT_EQ(actions[i]->data().toInt(), i) << "the command in the order of the menus";
        EXPECT_EQ(actions[i]->isEnabled(), !grey.contains(static_cast<MenuCommand>(i))) << i;
    }

    s_app->mainWindow->ActionFor(MenuCommand::About)->trigger();
    EXPECT_TRUE(s_app->messages.Text().endsWith(
        QStringLiteral(" (UTC)\nVELA Video Application Version 1.1\nReport errors to \"vela-video-bugs@example.org\"."
                       "  Please describe\nhow to duplicate the error and attach a saved user message log file.\n")));
}

TEST_F(AppWindowsTest, FinishedMeasurementIsTakenOnceByTheMainLoop)
{
    MainLoopChecks checks(*s_app);
    QCoreApplication::instance()->installEventFilter(&checks);
    s_app->state.Analysis.driftMinutes = 5;
    // Raised on another thread; the posted wake-up alone makes the loop look at it.
    std::thread([] { s_app->framePipeline.MeasurementFinished().Raise(); }).join();
    QCoreApplication::processEvents();
    EXPECT_EQ(s_app->state.Analysis.driftMinutes, 0);
    EXPECT_EQ(m_graph.builds, 1);
    // Seen once: a later request stands until the next measurement finishes.
    s_app->state.Analysis.driftMinutes = 7;
    WakeMainLoop();
    QCoreApplication::processEvents();
    EXPECT_EQ(s_app->state.Analysis.driftMinutes, 7);
    QCoreApplication::instance()->removeEventFilter(&checks);
}

TEST_F(AppWindowsTest, TheSchedulerDrivesTitlesButtonsMenusAndTheCountdownWindow)
{
    RecordingUi& ui = *s_app->recordingUi;
    const auto menusEnabled = [] {
        QList<bool> enabled;
        for (QAction* a : s_app->mainMenuBar->actions())
            enabled << a->isEnabled();
        return enabled << s_app->messagesFileMenu->menuAction()->isEnabled()
                       << s_app->mainWindow->ActionFor(MenuCommand::Exit)->isEnabled();
    };
    // File, Events, Display, Options, Help, the User Messages File menu, "Exit".
    ui.SetMenusForRecording(true);
    EXPECT_EQ(menusEnabled(), (QList<bool>{true, false, false, false, false, false, false}));
    ui.SetMenusForRecording(false);
    EXPECT_EQ(menusEnabled(), (QList<bool>{true, true, true, true, true, true, true}));
    EXPECT_FALSE(s_app->mainWindow->ActionFor(MenuCommand::Devices)->isEnabled()); // grey for want of a camera

    ui.SetCountdownTitle(QStringLiteral("Recording Event"));
    EXPECT_EQ(s_app->countdownWindow->windowTitle(), QStringLiteral("Recording Event"));
    ui.SetRecordingControls(true);
    EXPECT_FALSE(s_app->controlsWindow->StartButton()->isEnabled());
    EXPECT_TRUE(s_app->controlsWindow->StopButton()->isEnabled());
    ui.ShowCountdown();
    for (auto kind : {CountdownPaneKind::Countdown, CountdownPaneKind::Title, CountdownPaneKind::StartLine,
                      CountdownPaneKind::EventLine, CountdownPaneKind::EndLine})
        EXPECT_TRUE(s_app->countdownWindow->Pane(kind)->isVisible());
    EXPECT_FALSE(s_app->countdownWindow->close()); // no close item
    ui.HideCountdown();
    ui.SetRecordingControls(false);
    EXPECT_FALSE(s_app->countdownWindow->isVisible());

    QString asked;
    AnswerNextQuestion(QMessageBox::No, &asked);
    EXPECT_FALSE(ui.AskStopEventRecording());
    EXPECT_EQ(asked, QStringLiteral("Attention|Event recording in progress.  Stop now?"));
}

TEST_F(AppWindowsTest, ClosingDuringAnEventRecordingStopsTheTimersBeforeTheGraph)
{
    SchedulerTimers& timers = *s_app->schedulerTimers;
    QTimer* countdown = s_app->countdownTimer;
    QTimer* duration = s_app->eventRecordingTimer;
    QTimer* alarm = s_app->startAlarm;
    timers.StartCountdownTimer();
    timers.StartEventRecordingTimer(std::chrono::milliseconds(120450));
    timers.StartStartAlarm(std::chrono::milliseconds(300));
    EXPECT_TRUE(alarm->isActive() && alarm->isSingleShot() && alarm->timerType() == Qt::PreciseTimer);
    EXPECT_EQ(duration->interval(), 120450);
    // Once confirmed: no tick may follow (no power action) and the recording is stopped.
    s_app->state.EventRecordingActive = true;
    s_app->state.RecordingActive = true;
    AnswerNextQuestion(QMessageBox::Yes);
    EXPECT_TRUE(s_app->mainWindow->close());
    EXPECT_FALSE(countdown->isActive() || duration->isActive() || alarm->isActive());
    EXPECT_EQ(m_graph.stops, 1);
    EXPECT_FALSE(s_app->state.RecordingActive);
    s_app->state.EventRecordingActive = false;
    s_app->mainWindow->show();
}

// An armed or recording Event is never lost to a slip of the mouse: Exit and the close
// box name it and ask first, and No keeps everything running.
TEST_F(AppWindowsTest, ExitAsksFirstWhileAnEventIsArmedOrRecordingAndNoKeepsTheProgram)
{
    SchedulerState& scheduler = s_app->schedulerState;
    const SchedulerState saved = scheduler;
    scheduler.ArmedEventTime = {2026, 3, 0, 15, 3, 5, 5, 0};
    scheduler.ArmedEventDuration = {0, 0, 0, 0, 0, 2, 0, 0};
    for (const bool recording : {false, true}) {
        s_app->state.EventArmed = !recording;
        s_app->state.EventRecordingActive = recording;
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
    s_app->state.EventArmed = s_app->state.EventRecordingActive = false;
    scheduler = saved;
}

TEST_F(AppWindowsTest, BrightnessAndContrastSlidersDriveOnlyTheirColourAndClosingResets)
{
    BrightnessContrastWindow* window = s_app->brightnessContrastWindow;
    QAction* entry = s_app->mainWindow->ActionFor(MenuCommand::BrightnessContrast);
    s_app->mainWindow->OnCommand(MenuCommand::BrightnessContrast);
    ASSERT_TRUE(s_app->state.BrightnessContrastShown && window->isVisible() && entry->isChecked());
    m_graph = FakeGraph();
    QSlider* b = window->BrightnessSlider();
    QSlider* c = window->ContrastSlider();
    EXPECT_EQ(b->value(), 50);
    EXPECT_EQ(c->pageStep(), 1);
    b->setSliderDown(true);
    b->setSliderPosition(70);
    b->setSliderDown(false); // the release is ignored
    c->setFocus();
    QTest::keyClick(c, Qt::Key_PageUp);
    QTest::keyClick(c, Qt::Key_Left);
    QTest::keyClick(b, Qt::Key_End); // jumps to either end are ignored
    EXPECT_EQ(m_graph.colour, (Colour{{70, -1}, {-1, 51}, {-1, 50}}));

    // Closed by its frame: colour reset, entry unchecked, sliders and labels gone, graph rebuilt.
    m_graph.colour.clear();
    window->close();
    EXPECT_FALSE(s_app->state.BrightnessContrastShown || window->isVisible() || entry->isChecked());
    EXPECT_EQ(m_graph.colour, (Colour{{50, 50}}));
    EXPECT_EQ(window->BrightnessSlider(), nullptr);
    EXPECT_EQ(window->ContrastLabel(), nullptr);
    EXPECT_EQ(m_graph.builds, 1);

    // A recording closes it without a rebuild; reopened, it has one label and slider each.
    s_app->mainWindow->OnCommand(MenuCommand::BrightnessContrast);
    s_app->recordingUi->CloseBrightnessContrastForRecording();
    EXPECT_FALSE(s_app->state.BrightnessContrastShown || window->isVisible() || entry->isChecked());
    EXPECT_EQ(m_graph.builds, 2);
    s_app->mainWindow->OnCommand(MenuCommand::BrightnessContrast);
    EXPECT_EQ(window->findChildren<QLabel*>().size(), 2);
    EXPECT_EQ(window->findChildren<QSlider*>().size(), 2);
    s_app->mainWindow->OnCommand(MenuCommand::BrightnessContrast); // the command again hides it
    EXPECT_FALSE(window->isVisible());
}

TEST_F(AppWindowsTest, EachMenuCommandOpensItsRealDialogModallyOverTheMainWindow)
{
    QStringList seen, trace;
    CommandSteps steps = ProgramCommandSteps(*s_app, s_app->mainWindow);
    steps.LoadEventSchedule = [&] { trace << QStringLiteral("load"); };
    steps.RestartGraph = [&] { trace << QStringLiteral("restart"); };
    s_app->mainWindow->SetCommandSteps(steps);
    int ticks = 0;
    s_app->countdownTimer->start();
    const auto counting = QObject::connect(s_app->countdownTimer, &QTimer::timeout, [&] { ++ticks; });
    // Closes whatever modal dialog is open, as the Escape key would, once the scheduler ticked.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog && (ticks >= 2 || !seen.isEmpty())) {
            seen << QString::fromLatin1(dialog->metaObject()->className())
                    + (dialog->parentWidget() == s_app->mainWindow.data() ? "" : " not over the main window");
            dialog->reject();
        }
    });
    closer.start(20);
    for (MenuCommand command : {MenuCommand::DurationDefault, MenuCommand::Schedule, MenuCommand::EditAndDelete,
                                MenuCommand::PixelSaturation, MenuCommand::ClockDrift, MenuCommand::FrameIntegration,
                                MenuCommand::FileDefaults, MenuCommand::EventPending, MenuCommand::Performance})
        s_app->mainWindow->OnCommand(command);
    closer.stop();
    QObject::disconnect(counting);
    s_app->countdownTimer->stop();
    EXPECT_GE(ticks, 2) << "the scheduler keeps ticking while a dialog is open";
    EXPECT_EQ(seen, QStringList({"DefaultDurationDialog", "ScheduleEventDialog", "ViewEventsDialog",
                                 "PixelSaturationDialog", "MeasureClockDriftDialog", "FrameIntegrationDialog",
                                 "FileOptionsDialog", "EventPendingOptionsDialog", "PerformanceOptionsDialog"}));
    // Closed without saving: the schedule is read again after Schedule, and the pixel
    // saturation command restarts the graph for the threshold in effect; nothing else.
    EXPECT_EQ(trace, QStringList({"load", "restart"}));
    s_app->mainWindow->SetCommandSteps(ProgramCommandSteps(*s_app, s_app->mainWindow));
}

TEST_F(AppWindowsTest, SetWindowPositionsLeavesAMinimisedMessagesWindowOut)
{
    AppOptions& o = s_app->options;
    o.MessageWindowPosition = {11, 12, 13, 14};
    s_app->mainWindow->move(30, 40);
    s_app->countdownWindow->move(320, 330); // hidden: stored at its last place
    s_app->brightnessContrastWindow->move(-19, 350);
    s_app->userMessagesWindow->showMinimized();
    s_app->mainWindow->ActionFor(MenuCommand::SetWindowPositions)->trigger();
    EXPECT_EQ(o.MainWindowPosition, (WindowPosition4{30, 40, s_app->mainWindow->width(), s_app->mainWindow->height()}));
    EXPECT_EQ(o.MessageWindowPosition, (WindowPosition4{11, 12, 13, 14}));
    EXPECT_EQ(o.CountdownWindowPosition, (WindowPosition2{320, 330}));
    EXPECT_EQ(o.BrightnessContrastWindowPosition, (WindowPosition2{-19, 350}));
    EXPECT_TRUE(QFile::exists(QString::fromLatin1(kOptionsFileName)));
    EXPECT_TRUE(s_app->messages.Text().endsWith(" (UTC)\nDefault window positions are set\n"));
    s_app->userMessagesWindow->showNormal();
}

TEST_F(AppWindowsTest, TheSelectedFormatSizesTheVideoWindowWithEightPixelsEachWay)
{
    DeviceTable& table = s_app->devices;
    const DeviceTable saved = table;
    table.count = 1;
    table.currentDeviceIndex = 0;
    CaptureDevice& device = table.devices[0];
    MediaFormat vga, pal;
    vga.width = 640, vga.height = 480, pal.width = 720, pal.height = 576;
    device.formats = {vga, pal};
    QWidget video;
    device.selectedFormatIndex = 1;
    EXPECT_TRUE(SizeVideoWindowToFormat(*s_app, &video));
    EXPECT_EQ(video.size(), QSize(728, 584));
    EXPECT_EQ(s_app->frameWidth, 720);
    device.selectedFormatIndex = -1; // none selected reads as the first
    EXPECT_TRUE(SizeVideoWindowToFormat(*s_app, &video));
    EXPECT_EQ(video.size(), QSize(648, 488));
    // A camera without formats: no current device, the window hidden, the reason logged.
    device.formats.clear();
    video.show();
    EXPECT_FALSE(SizeVideoWindowToFormat(*s_app, &video));
    EXPECT_FALSE(video.isVisible());
    EXPECT_EQ(table.currentDeviceIndex, -1);
    EXPECT_TRUE(s_app->messages.Text().endsWith(
        QStringLiteral("Selected camera (or the only attached camera) has no supported media formats.\n")));
    table = saved;
}

namespace {

// A YUY2 picture in memory: the left half pure red, the right half white.
class RedAndWhite final : public PreviewFrame {
public:
    RedAndWhite(int w, int h)
        : m_data(static_cast<std::size_t>(w) * 2 * h)
    {
        for (std::size_t i = 0; i < m_data.size(); i += 4) {
            const bool red = static_cast<int>(i / 2 % static_cast<std::size_t>(w)) < w / 2;
            m_data[i] = m_data[i + 2] = red ? 81 : 235;
            m_data[i + 1] = red ? 90 : 128;
            m_data[i + 3] = red ? 240 : 128;
        }
        pixels = m_data.data();
        layout = Layout::Yuy2;
        yuv = MakeYuvToRgb(0.299, 0.114, false);
        width = w;
        height = h;
        stride = w * 2;
    }

private:
    std::vector<std::uint8_t> m_data;
};

bool Near(QRgb pixel, int r, int g, int b)
{
    return std::abs(qRed(pixel) - r) <= 2 && std::abs(qGreen(pixel) - g) <= 2 && std::abs(qBlue(pixel) - b) <= 2;
}

// The window as the screen shows it, once its picture has replaced the grey at (2, 1).
QImage OnScreenOnceDrawn(VideoWindow& video)
{
    QImage shown;
    QElapsedTimer clock;
    clock.start();
    do {
        QCoreApplication::processEvents();
        shown = video.screen()->grabWindow(video.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    } while ((shown.isNull() || Near(shown.pixel(2, 1), 128, 128, 128)) && clock.elapsed() < 5000);
    return shown;
}

} // namespace

TEST(VideoWindowPainting, AYuy2PictureIsPaintedConvertedAtTwoOneInsideAGreyMargin)
{
    VideoWindow video(nullptr);
    video.resize(40 + 8, 20 + 8);
    video.show();
    video.PresentFrame(std::make_shared<RedAndWhite>(40, 20));
    const QImage shown = OnScreenOnceDrawn(video);
    ASSERT_EQ(shown.size(), QSize(48, 28));
    EXPECT_TRUE(Near(shown.pixel(2, 1), 255, 0, 0) && Near(shown.pixel(21, 20), 255, 0, 0));
    EXPECT_TRUE(Near(shown.pixel(22, 1), 255, 255, 255) && Near(shown.pixel(41, 20), 255, 255, 255));
    for (const QPoint margin : {QPoint(1, 1), QPoint(2, 0), QPoint(42, 1), QPoint(2, 21), QPoint(47, 27)})
        EXPECT_TRUE(Near(shown.pixel(margin), 128, 128, 128)) << margin.x() << "," << margin.y();
    // Painted into another device (a grab) the picture goes through an image: the same.
    EXPECT_EQ(video.grab().toImage().convertToFormat(QImage::Format_RGB32), shown);
    // A window smaller than the picture scales it, aspect kept.
    video.resize(20 + 8, 20 + 8);
    video.PresentFrame(std::make_shared<RedAndWhite>(40, 20));
    const QImage small = OnScreenOnceDrawn(video);
    EXPECT_TRUE(Near(small.pixel(3, 2), 255, 0, 0) && Near(small.pixel(20, 2), 255, 255, 255));
    EXPECT_TRUE(Near(small.pixel(10, 15), 128, 128, 128)); // below the 20 x 10 picture
}
