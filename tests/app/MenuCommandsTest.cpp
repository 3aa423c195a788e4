// What the menu commands do around their dialogs, by dialog result, and the commands
// that have no dialog.
#include "AppWindowsFixture.h"

#include "app/ProgramCommands.h"
#include "app/WindowPlacement.h"
#include "app/ui/ChildWindows.h"
#include "app/ui/MainWindow.h"
#include "messages/UserMessageLog.h"
#include "messages/ui/UserMessagesWindow.h"
#include "options/AppOptions.h"
#include "options/OptionsFile.h"
#include "recording/Scheduler.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QFile>
#include <deque>

namespace {

// Steps that write what they do into a trace; dialogs answer from a queue.
struct Recorder {
    QStringList trace;
    std::deque<int> results;
    bool armed = false;
    int devices = 1;
    bool catalogue = true;

    CommandSteps Steps()
    {
        CommandSteps s;
        s.RunDialog = [this](MenuDialog d) {
            trace << QStringLiteral("dialog%1").arg(static_cast<int>(d));
            const int r = results.front();
            results.pop_front();
            return r;
        };
        s.EventArmed = [this] { return armed; };
        s.DisarmEvent = [this] { trace << QStringLiteral("disarm"); };
        s.LoadEventSchedule = [this] { trace << QStringLiteral("load"); };
        s.SaveOptionsAndReport = [this] { trace << QStringLiteral("save"); };
        s.SaveOptionsFile = [this] { trace << QStringLiteral("saveFile"); };
        s.RestartGraph = [this] { trace << QStringLiteral("restart"); };
        s.DeviceCount = [this] { return devices; };
        s.CodecCatalogueExists = [this] { return catalogue; };
        return s;
    }
};

QString Trace(MenuCommand command, std::deque<int> results, bool armed = true)
{
    Recorder r;
    r.results = std::move(results);
    r.armed = armed;
    EXPECT_TRUE(RunDialogCommand(command, r.Steps()));
    EXPECT_TRUE(r.results.empty()) << "dialog shown too few times";
    return r.trace.join(QLatin1Char(' '));
}

const QString kView = QStringLiteral("dialog%1").arg(static_cast<int>(MenuDialog::ViewEvents));
const QString kEdit = QStringLiteral("dialog%1").arg(static_cast<int>(MenuDialog::EditEvent));

} // namespace

TEST(MenuCommands, ScheduleReloadsWhateverTheResultAndDisarmsOnlyAfterASave)
{
    const QString dialog = QStringLiteral("dialog%1 ").arg(static_cast<int>(MenuDialog::ScheduleEvent));
    EXPECT_EQ(Trace(MenuCommand::Schedule, {0}), dialog + "load");
    EXPECT_EQ(Trace(MenuCommand::Schedule, {2}), dialog + "load");
    EXPECT_EQ(Trace(MenuCommand::Schedule, {1}), dialog + "disarm load");
    EXPECT_EQ(Trace(MenuCommand::Schedule, {1}, false), dialog + "load");
}

TEST(MenuCommands, EditAndDeleteShowsTheListAgainAfterDeletionsAndToggles)
{
    // 2: some deleted (disarm, reload); 4: expired toggled (reload only); then 1: all deleted.
    EXPECT_EQ(Trace(MenuCommand::EditAndDelete, {2, 4, 2, 1}),
              QStringList({kView, "disarm load", kView, "load", kView, "disarm load", kView, "disarm load"})
                  .join(' '));
    EXPECT_EQ(Trace(MenuCommand::EditAndDelete, {2, 3}, false), QStringList({kView, "load", kView}).join(' '));
    EXPECT_EQ(Trace(MenuCommand::EditAndDelete, {3}), kView);
}

TEST(MenuCommands, EditingFromTheListRebuildsOnlyWhenTheEditIsSaved)
{
    EXPECT_EQ(Trace(MenuCommand::EditAndDelete, {0, 1}), QStringList({kView, kEdit, "disarm load"}).join(' '));
    EXPECT_EQ(Trace(MenuCommand::EditAndDelete, {0, 0}), QStringList({kView, kEdit}).join(' '));
    EXPECT_EQ(Trace(MenuCommand::EditAndDelete, {4, 0, 2}), QStringList({kView, "load", kView, kEdit}).join(' '));
}

TEST(MenuCommands, OptionDialogsSaveAndRestartByResult)
{
    struct Case {
        MenuCommand command;
        int result;
        const char* after; // what follows the dialog
    };
    const Case cases[] = {
        {MenuCommand::PixelSaturation, 1, "saveFile restart"}, {MenuCommand::PixelSaturation, 2, "restart"},
        {MenuCommand::ClockDrift, 1, "restart"},               {MenuCommand::ClockDrift, 2, ""},
        {MenuCommand::FrameIntegration, 1, "restart"},         {MenuCommand::FrameIntegration, 2, ""},
        {MenuCommand::Devices, 1, "save"},                     {MenuCommand::Devices, 2, ""},
        {MenuCommand::FileDefaults, 1, "save"},                {MenuCommand::FileDefaults, 3, ""},
        {MenuCommand::DurationDefault, 1, "save"},             {MenuCommand::DurationDefault, 4, ""},
        {MenuCommand::CodecDefault, 1, "save restart"},        {MenuCommand::CodecDefault, 2, "restart"},
        {MenuCommand::CodecDefault, 4, ""},                    {MenuCommand::EventPending, 1, "save"},
        {MenuCommand::EventPending, 2, ""},                    {MenuCommand::Performance, 1, "save restart"},
        {MenuCommand::Performance, 2, "restart"},              {MenuCommand::Performance, 3, ""},
    };
    for (const Case& c : cases) {
        const QStringList trace = Trace(c.command, {c.result}).split(' ');
        EXPECT_EQ(trace.mid(1).join(' '), QString::fromLatin1(c.after)) << static_cast<int>(c.command) << " result " << c.result;
    }
}

TEST(MenuCommands, DevicesWithoutADeviceAndCodecsWithoutACatalogueOpenNothing)
{
    ScopedProcessDirectory dir;
    UserMessageLog::Instance().SetEchoToStderr(false);
    UserMessageLog::Instance().Clear();
    Recorder r;
    r.devices = 0;
    r.catalogue = false;
    EXPECT_TRUE(RunDialogCommand(MenuCommand::Devices, r.Steps()));
    EXPECT_TRUE(RunDialogCommand(MenuCommand::CodecDefault, r.Steps()));
    EXPECT_TRUE(r.trace.isEmpty()) << r.trace.join(' ').toStdString();
    EXPECT_TRUE(UserMessageLog::Instance().Text().endsWith(" (UTC)\nInternal Error detected, no devices\n"))
        << UserMessageLog::Instance().Text().toStdString();
    EXPECT_FALSE(RunDialogCommand(MenuCommand::About, r.Steps()));
}

// Through the program's menus, with the dialogs not yet written answering "cancelled".
class MainWindowCommandsTest : public AppWindowsTest {};

TEST_F(MainWindowCommandsTest, EachMenuCommandOpensItsRealDialogModallyOverTheMainWindow)
{
    Recorder r;
    CommandSteps steps = r.Steps();
    steps.RunDialog = ProgramCommandSteps(s_app->mainWindow).RunDialog;
    s_app->mainWindow->SetCommandSteps(steps);
    r.armed = true;
    struct Seen {
        QString type;
        bool overMain;
    };
    std::vector<Seen> seen;
    // Closes whatever modal dialog is open, as the Escape key would.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            seen.push_back({QString::fromLatin1(dialog->metaObject()->className()),
                            dialog->parentWidget() == s_app->mainWindow.data()});
            dialog->reject();
        }
    });
    closer.start(20);
    const MenuCommand commands[] = {MenuCommand::Schedule,        MenuCommand::EditAndDelete, MenuCommand::PixelSaturation,
                                    MenuCommand::ClockDrift,      MenuCommand::FrameIntegration,
                                    MenuCommand::FileDefaults,    MenuCommand::DurationDefault,
                                    MenuCommand::EventPending,    MenuCommand::Performance};
    for (MenuCommand command : commands)
        s_app->mainWindow->OnCommand(command);
    closer.stop();

    QStringList types;
    for (const Seen& d : seen) {
        types << d.type;
        EXPECT_TRUE(d.overMain) << d.type.toStdString();
    }
    EXPECT_EQ(types, QStringList({"ScheduleEventDialog", "ViewEventsDialog", "PixelSaturationDialog",
                                  "MeasureClockDriftDialog", "FrameIntegrationDialog", "FileOptionsDialog",
                                  "DefaultDurationDialog", "EventPendingOptionsDialog", "PerformanceOptionsDialog"}));
    // Closed without saving: the schedule is read again after Schedule, and the pixel
    // saturation command restarts the graph for the threshold in effect; nothing else.
    EXPECT_EQ(r.trace, QStringList({"load", "restart"}));
    s_app->mainWindow->SetCommandSteps(ProgramCommandSteps(s_app->mainWindow));
}

// An armed or recording Event is never lost to a slip of the mouse: Exit and the close
// box name it and ask first, and No keeps everything running.
TEST_F(MainWindowCommandsTest, ExitAsksFirstWhileAnEventIsArmedOrRecordingAndNoKeepsTheProgram)
{
    SchedulerState& scheduler = s_app->schedulerState;
    const SchedulerState saved = scheduler;
    scheduler.ArmedEventTime = {2026, 3, 0, 15, 3, 5, 5, 0};
    scheduler.ArmedEventDuration = {0, 0, 0, 0, 0, 2, 0, 0};
    s_app->mainWindow->show();
    for (const bool recording : {false, true}) {
        SCOPED_TRACE(recording ? "recording, close box" : "armed, Exit");
        s_app->EventArmed = !recording;
        s_app->EventRecordingActive = recording;
        QString asked;
        QTimer::singleShot(0, [&asked] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            asked = box->text();
            box->button(QMessageBox::No)->click();
        });
        if (recording)
            s_app->mainWindow->close();
        else
            s_app->mainWindow->ActionFor(MenuCommand::Exit)->trigger();
        EXPECT_TRUE(asked.contains(QLatin1String("Mar 15, 2026  03:05:05 UTC (recording 00:02:00)")))
            << asked.toStdString();
        EXPECT_TRUE(s_app->mainWindow->isVisible());
        EXPECT_EQ(m_graph.stops, 0);
    }
    s_app->EventArmed = false;
    s_app->EventRecordingActive = false;
    scheduler = saved;
}

TEST_F(MainWindowCommandsTest, SetWindowPositionsLeavesAMinimisedMessagesWindowOut)
{
    AppOptions& o = Options();
    o.MessageWindowPosition = {11, 12, 13, 14};
    o.CountdownWindowPosition = {1, 2};
    s_app->mainWindow->move(30, 40);
    s_app->controlsWindow->move(300, 310);
    s_app->countdownWindow->move(320, 330); // hidden: stored at its last place
    s_app->brightnessContrastWindow->move(-19, 350);
    s_app->userMessagesWindow->showMinimized();

    s_app->mainWindow->ActionFor(MenuCommand::SetWindowPositions)->trigger();

    EXPECT_EQ(o.MainWindowPosition,
              (WindowPosition4{30, 40, s_app->mainWindow->width(), s_app->mainWindow->height()}));
    EXPECT_EQ(o.MessageWindowPosition, (WindowPosition4{11, 12, 13, 14}));
    EXPECT_EQ(o.ControlsWindowPosition, (WindowPosition2{300, 310}));
    EXPECT_EQ(o.CountdownWindowPosition, (WindowPosition2{320, 330}));
    EXPECT_EQ(o.BrightnessContrastWindowPosition, (WindowPosition2{-19, 350}));
    EXPECT_TRUE(QFile::exists(QString::fromLatin1(kOptionsFileName)));
    EXPECT_TRUE(UserMessageLog::Instance().Text().endsWith(" (UTC)\nDefault window positions are set\n"))
        << UserMessageLog::Instance().Text().toStdString();
    s_app->userMessagesWindow->showNormal();
}

TEST(WindowPositions, OnlyWindowsRightOfMinusTwentyAreStoredAndUnreadableOnesKeepTheirValues)
{
    AppOptions o;
    const AppOptions before = o;
    WindowRects r;
    r.messages = WindowPosition4{-20, 5, 6, 7};
    r.countdown = WindowPosition4{-20, 8, 0, 0};
    r.brightnessContrast = WindowPosition4{kMinimisedLeft, 9, 0, 0};
    r.controls = WindowPosition4{-500, -600, 0, 0}; // always stored
    StoreWindowPositions(o, r);
    EXPECT_EQ(o.MainWindowPosition, before.MainWindowPosition);
    EXPECT_EQ(o.MessageWindowPosition, before.MessageWindowPosition);
    EXPECT_EQ(o.CountdownWindowPosition, before.CountdownWindowPosition);
    EXPECT_EQ(o.BrightnessContrastWindowPosition, before.BrightnessContrastWindowPosition);
    EXPECT_EQ(o.ControlsWindowPosition, (WindowPosition2{-500, -600}));
}

TEST_F(MainWindowCommandsTest, TheSchedulerKeepsTickingWhileADialogIsOpen)
{
    QTimer* tick = s_app->countdownTimer;
    ASSERT_NE(tick, nullptr);
    const bool wasActive = tick->isActive();
    tick->start();
    int ticks = 0;
    const QMetaObject::Connection counting = QObject::connect(tick, &QTimer::timeout, [&] { ++ticks; });
    int ticksWhileOpen = -1;
    QTimer closer;
    closer.setInterval(50);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog && ticks >= 2) {
            ticksWhileOpen = ticks;
            dialog->reject();
        }
    });
    closer.start();
    QTimer::singleShot(10000, [] { // a dialog that never lets the ticks through still ends
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    s_app->mainWindow->SetCommandSteps(ProgramCommandSteps(s_app->mainWindow));
    s_app->mainWindow->OnCommand(MenuCommand::DurationDefault);
    closer.stop();
    QObject::disconnect(counting);
    if (!wasActive)
        tick->stop();
    EXPECT_GE(ticksWhileOpen, 2);
}
