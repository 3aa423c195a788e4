// What app/ decides without windows: the command line, the main window's place, the time
// zone line, the countdown panes' texts, and what each menu command does around its dialog.
#include "app/CommandLine.h"
#include "app/CountdownPaneText.h"
#include "app/TimeZoneCheck.h"
#include "app/WindowPlacement.h"
#include "common/Clock.h"
#include "messages/UserMessageLog.h"
#include "recording/Scheduler.h"
#include "ui/MenuCommands.h"

#include <QRegularExpression>
#include <gtest/gtest.h>
#include <cstdlib>
#include <ctime>
#include <deque>

TEST(CommandLine, OptionsAndSimulatorSettings)
{
    using A = CommandLine::Action;
    const struct Case {
        QStringList args;
        A action;
        bool simulated;
        SimulatorSettings settings;
        const char* error; // a part of the message, for usage errors
    } cases[] = {
        {{}, A::Run, false, {}, ""},
        {{"--simulated-camera"}, A::Run, true, {}, ""},
        {{"--simulated-camera=offset=-250,drift=1.5,unplug-file=gone"}, A::Run, true, {-250, 1.5, "gone"}, ""},
        {{"--simulated-camera=offset=86400000"}, A::Run, true, {86'400'000, 0.0, ""}, ""},
        {{"--simulated-camera", "--simulated-camera=drift=-0.25"}, A::Run, true, {0, -0.25, ""}, ""},
        {{"--simulated-camera=offset=5", "--help"}, A::Help, true, {5, 0.0, ""}, ""},
        {{"--version"}, A::Version, false, {}, ""},
        {{"--simulated-camera="}, A::UsageError, true, {}, "wants settings"},
        {{"--simulated-camera=offset=1.5"}, A::UsageError, true, {}, "not '1.5'"},
        {{"--simulated-camera=offset=86400001"}, A::UsageError, true, {}, "offset wants whole milliseconds"},
        {{"--simulated-camera=drift=nan"}, A::UsageError, true, {}, "drift wants milliseconds per minute"},
        {{"--simulated-camera=drift=60001"}, A::UsageError, true, {}, "drift wants milliseconds per minute"},
        {{"--simulated-camera=unplug-file="}, A::UsageError, true, {}, "unplug-file wants a file name"},
        {{"--simulated-camera=offset=1,,drift=2"}, A::UsageError, true, {}, "unknown --simulated-camera setting ''"},
        {{"--simulated-camera=offset=1", "--simulated-camera=offset=2"}, A::UsageError, true, {}, "'offset' is given twice"},
        {{"--simulated-cameras"}, A::UsageError, false, {}, "unknown option '--simulated-cameras'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const CommandLine parsed = ParseCommandLine(c.args);
        EXPECT_EQ(parsed.action, c.action);
        EXPECT_EQ(parsed.simulatedCamera, c.simulated);
        if (c.action == A::UsageError)
            EXPECT_TRUE(parsed.error.contains(QLatin1String(c.error))) << parsed.error.toStdString();
        else
            EXPECT_EQ(parsed.simulator, c.settings);
    }
}

TEST(WindowPlacement, FitsTheFrameIntoTheWorkAreaUnlessThePlaceWasStored)
{
    const WindowPosition4 stored{100, 100, 660, 540}, offScreen{3000, -400, 660, 540};
    EXPECT_EQ(PlaceMainWindow(720, 480, stored, false, {0, 0, 800, 600}), (WindowPosition4{56, 53, 744, 547}));
    EXPECT_EQ(PlaceMainWindow(720, 480, stored, false, {0, 0, 700, 600}), (WindowPosition4{100, 53, 700, 547}));
    // A work area that does not start at zero (panels on the left and at the top).
    EXPECT_EQ(PlaceMainWindow(0, 0, {900, 800, 660, 540}, false, {64, 32, 1280, 1024}),
              (WindowPosition4{620, 484, 660, 540}));
    // Options from the file, or an unknown work area: no fitting, even off the screen.
    EXPECT_EQ(PlaceMainWindow(720, 480, offScreen, true, {0, 0, 800, 600}), (WindowPosition4{3000, -400, 744, 547}));
    EXPECT_EQ(PlaceMainWindow(0, 0, offScreen, false, {0, 0, 0, 0}), offScreen);
}

TEST(WindowPlacement, OnlyWindowsRightOfMinusTwentyAreStored)
{
    AppOptions o;
    const AppOptions before = o;
    WindowRects r;
    r.messages = WindowPosition4{-20, 5, 6, 7};
    r.brightnessContrast = WindowPosition4{kMinimisedLeft, 9, 0, 0};
    r.controls = WindowPosition4{-500, -600, 0, 0}; // always stored
    StoreWindowPositions(o, r);
    EXPECT_EQ(o.MainWindowPosition, before.MainWindowPosition);
    EXPECT_EQ(o.MessageWindowPosition, before.MessageWindowPosition);
    EXPECT_EQ(o.BrightnessContrastWindowPosition, before.BrightnessContrastWindowPosition);
    EXPECT_EQ(o.ControlsWindowPosition, (WindowPosition2{-500, -600}));
}

TEST(TimeZoneCheck, TheLineNamesTheZoneOrSaysWhyItCannot)
{
    const auto utc = [](int month) { return QDateTime(QDate(2026, month, 1), QTime(12, 0), QTimeZone::utc()); };
    const QTimeZone berlin("Europe/Berlin");
    const TimeZoneCheck summer = EvaluateTimeZone(berlin, utc(7)), winter = EvaluateTimeZone(berlin, utc(12));
    EXPECT_EQ(summer.result, TimeZoneResult::DaylightTime);
    EXPECT_EQ(winter.result, TimeZoneResult::StandardTime);
    EXPECT_TRUE(summer.line.startsWith(QStringLiteral("Computer local time is ")) && summer.line.endsWith("\r\n"));
    EXPECT_NE(winter.line, summer.line);
    const TimeZoneCheck tokyo = EvaluateTimeZone(QTimeZone("Asia/Tokyo"), utc(7));
    EXPECT_EQ(tokyo.result, TimeZoneResult::NoTransitions);
    EXPECT_TRUE(tokyo.line.endsWith(QStringLiteral(" because transition dates to daylight savings are unknown.\r\n")));
    EXPECT_EQ(EvaluateTimeZone(QTimeZone(), utc(7)).line,
              QStringLiteral("Computer time zone is unknown.  You may only use local time and not use UTC time\r\n"));

    // The computer's zone, as TZ sets it, logged with the clock's time.
    const char* old = std::getenv("TZ");
    const QByteArray saved = old ? QByteArray(old) : QByteArray();
    const ManualClock clock(CalendarTime{2026, 7, 3, 1, 12, 0, 0, 0});
    UserMessageLog& log = UserMessageLog::Instance();
    log.SetEchoToStderr(false);
    for (const auto& [tz, keepsDaylightTime] : {std::pair{"America/New_York", true}, std::pair{"Asia/Kolkata", false}}) {
        setenv("TZ", tz, 1);
        tzset();
        log.Clear();
        CheckTimeZone(clock, log);
        EXPECT_TRUE(log.Text().contains(QRegularExpression(QStringLiteral("^\n\\d\\d:\\d\\d:\\d\\d \\(UTC\\)\nComputer local time is "))))
            << tz;
        EXPECT_EQ(log.Text().contains(QStringLiteral(" because transition dates")), !keepsDaylightTime) << tz;
    }
    old ? setenv("TZ", saved.constData(), 1) : unsetenv("TZ");
    tzset();
}

TEST(CountdownPanes, EachPaneShowsItsLineOfTheEventInfo)
{
    const QString info = QStringLiteral("Start time:  MAR 15, 2026  03:04:05\r\nEvent time:  MAR 15, 2026  03:05:05\r\n"
                                        "Recording duration:  2 minutes\r\nYou have not created or selected a capture file\r\n");
    SchedulerState s;
    s.EventInfoText = info;
    s.EndTimeText = QStringLiteral("End time:    MAR 15, 2026  03:06:05");
    s.CountdownText = QStringLiteral("00:01:00");
    EXPECT_EQ(CountdownPaneText(CountdownPaneKind::StartLine, s, false), QStringLiteral("Start time:  MAR 15, 2026  03:04:05"));
    EXPECT_EQ(CountdownPaneText(CountdownPaneKind::EventLine, s, false), QStringLiteral("Event time:  MAR 15, 2026  03:05:05"));
    EXPECT_EQ(CountdownPaneText(CountdownPaneKind::EndLine, s, false), s.EndTimeText);
    EXPECT_EQ(CountdownPaneText(CountdownPaneKind::Countdown, s, false), s.CountdownText);
    EXPECT_EQ(CountdownPaneText(CountdownPaneKind::Title, s, false), QStringLiteral("Countdown to recording start time:"));
    EXPECT_EQ(CountdownPaneText(CountdownPaneKind::Title, s, true), QStringLiteral("  Computer time (UTC):"));
    // Without a carriage return there are no lines to show.
    for (const QString& text : {QString(), QStringLiteral("Start time:  MAR 15, 2026  03:04:05"),
                                QString(512, QLatin1Char('x')) + QStringLiteral("\r\nEvent\r\n")}) {
        s.EventInfoText = text;
        EXPECT_EQ(CountdownPaneText(CountdownPaneKind::StartLine, s, false), QString());
        EXPECT_EQ(CountdownPaneText(CountdownPaneKind::EventLine, s, false), QString());
    }
    EXPECT_EQ(EventInfoLine(QStringLiteral("Start\r\nno end"), 1), QString());
}

namespace {

// Steps that write what they do into a trace; dialogs answer from a queue.
QString Trace(MenuCommand command, std::deque<int> results, bool armed = true, int devices = 1, bool catalogue = true)
{
    QStringList trace;
    CommandSteps s;
    s.RunDialog = [&](MenuDialog d) {
        trace << QStringLiteral("dialog%1").arg(static_cast<int>(d));
        const int r = results.front();
        results.pop_front();
        return r;
    };
    s.EventArmed = [armed] { return armed; };
    s.DisarmEvent = [&] { trace << QStringLiteral("disarm"); };
    s.LoadEventSchedule = [&] { trace << QStringLiteral("load"); };
    s.SaveOptionsAndReport = [&] { trace << QStringLiteral("save"); };
    s.SaveOptionsFile = [&] { trace << QStringLiteral("saveFile"); };
    s.RestartGraph = [&] { trace << QStringLiteral("restart"); };
    s.DeviceCount = [devices] { return devices; };
    s.CodecCatalogueExists = [catalogue] { return catalogue; };
    s.Log = [&](const QString& text) { trace << text; };
    EXPECT_EQ(RunDialogCommand(command, s), command != MenuCommand::About);
    EXPECT_TRUE(results.empty()) << "dialog shown too few times";
    return trace.join(QLatin1Char(' ')).replace(QStringLiteral("dialog%1").arg(static_cast<int>(MenuDialog::ViewEvents)), "view")
        .replace(QStringLiteral("dialog%1").arg(static_cast<int>(MenuDialog::EditEvent)), "edit");
}

} // namespace

TEST(MenuCommands, EventCommandsDisarmOnlyAfterASaveAndReloadTheSchedule)
{
    const QString schedule = QStringLiteral("dialog%1 ").arg(static_cast<int>(MenuDialog::ScheduleEvent));
    EXPECT_EQ(Trace(MenuCommand::Schedule, {0}), schedule + "load");
    EXPECT_EQ(Trace(MenuCommand::Schedule, {1}), schedule + "disarm load");
    EXPECT_EQ(Trace(MenuCommand::Schedule, {1}, false), schedule + "load");
    // 2: some deleted (disarm, reload, list again); 4: expired toggled (reload, list again); 1: all deleted.
    EXPECT_EQ(Trace(MenuCommand::EditAndDelete, {2, 4, 2, 1}),
              "view disarm load view load view disarm load view disarm load");
    EXPECT_EQ(Trace(MenuCommand::EditAndDelete, {2, 3}, false), "view load view");
    EXPECT_EQ(Trace(MenuCommand::EditAndDelete, {0, 1}), "view edit disarm load");
    EXPECT_EQ(Trace(MenuCommand::EditAndDelete, {4, 0, 0}), "view load view edit");
}

TEST(MenuCommands, OptionDialogsSaveAndRestartByResult)
{
    const struct {
        MenuCommand command;
        int result;
        const char* after; // what follows the dialog
    } cases[] = {
        {MenuCommand::PixelSaturation, 1, "saveFile restart"}, {MenuCommand::PixelSaturation, 2, "restart"},
        {MenuCommand::ClockDrift, 1, "restart"},               {MenuCommand::FrameIntegration, 2, ""},
        {MenuCommand::Devices, 1, "save"},                     {MenuCommand::Devices, 2, ""},
        {MenuCommand::FileDefaults, 1, "save"},                {MenuCommand::DurationDefault, 4, ""},
        {MenuCommand::CodecDefault, 1, "save restart"},        {MenuCommand::CodecDefault, 2, "restart"},
        {MenuCommand::CodecDefault, 4, ""},                    {MenuCommand::EventPending, 1, "save"},
        {MenuCommand::Performance, 1, "save restart"},         {MenuCommand::Performance, 2, "restart"},
        {MenuCommand::Performance, 3, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Trace(c.command, {c.result}).section(' ', 1), QString::fromLatin1(c.after))
            << static_cast<int>(c.command) << " result " << c.result;
    // Without a device or a codec catalogue nothing opens; About has no dialog.
    EXPECT_EQ(Trace(MenuCommand::Devices, {}, true, 0), "Internal Error detected, no devices\r\n");
    EXPECT_EQ(Trace(MenuCommand::CodecDefault, {}, true, 1, false), "");
    EXPECT_EQ(Trace(MenuCommand::About, {}), "");
}
