// What app/ decides without windows: the command line, the main window's place, the
// countdown panes' texts, and what each menu command does around its dialog.
#include "app/CommandLine.h"
#include "app/CountdownPaneText.h"
#include "app/WindowPlacement.h"
#include "recording/Scheduler.h"
#include "ui/MenuCommands.h"

#include <gtest/gtest.h>
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
        {{"--simulated-camera=offset=86400000,drift=-60000"}, A::Run, true, {86'400'000, -60000, ""}, ""},
        {{"--simulated-camera=offset=5", "--help"}, A::Help, true, {5, 0.0, ""}, ""},
        {{"--version"}, A::Version, false, {}, ""},
        {{"--simulated-camera", "--list-devices"}, A::ListDevices, true, {}, ""},
        {{"--simulated-camera="}, A::UsageError, true, {}, "wants settings"},
        {{"--simulated-camera=offset=1.5"}, A::UsageError, true, {}, "not '1.5'"},
        {{"--simulated-camera=offset=86400001"}, A::UsageError, true, {}, "offset wants whole milliseconds"},
        {{"--simulated-camera=drift=nan"}, A::UsageError, true, {}, "drift wants milliseconds per minute"},
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

TEST(WindowPlacement, FitsTheFrameIntoTheWorkAreaUnlessStoredAndStoresOnlyRightOfMinusTwenty)
{
    const WindowPosition4 stored{100, 100, 660, 540}, offScreen{3000, -400, 660, 540};
    EXPECT_EQ(PlaceMainWindow(720, 480, stored, false, {0, 0, 800, 600}), (WindowPosition4{56, 53, 744, 547}));
    EXPECT_EQ(PlaceMainWindow(0, 0, {900, 800, 660, 540}, false, {64, 32, 1280, 1024}),
              (WindowPosition4{620, 484, 660, 540}));
    // Options from the file, or an unknown work area: no fitting, even off the screen.
    EXPECT_EQ(PlaceMainWindow(720, 480, offScreen, true, {0, 0, 800, 600}), (WindowPosition4{3000, -400, 744, 547}));
    EXPECT_EQ(PlaceMainWindow(0, 0, offScreen, false, {0, 0, 0, 0}), offScreen);

    AppOptions o;
    WindowRects r;
    r.messages = WindowPosition4{-20, 5, 6, 7};
    r.brightnessContrast = WindowPosition4{kMinimisedLeft, 9, 0, 0};
    r.controls = WindowPosition4{-500, -600, 0, 0}; // always stored
    StoreWindowPositions(o, r);
    EXPECT_EQ(o.MessageWindowPosition, AppOptions().MessageWindowPosition);
    EXPECT_EQ(o.BrightnessContrastWindowPosition, AppOptions().BrightnessContrastWindowPosition);
    EXPECT_EQ(o.ControlsWindowPosition, (WindowPosition2{-500, -600}));
}

TEST(CountdownPanes, EachPaneShowsItsLineOfTheEventInfo)
{
    const QString start = QStringLiteral("Start time:  MAR 15, 2026  03:04:05");
    SchedulerState s;
    s.EventInfoText = start + "\r\nEvent time:  MAR 15, 2026  03:05:05\r\nRecording duration:  2 minutes\r\n";
    s.EndTimeText = QStringLiteral("End time:    MAR 15, 2026  03:06:05");
    s.CountdownText = QStringLiteral("00:01:00");
    using K = CountdownPaneKind;
    EXPECT_EQ(CountdownPaneText(K::StartLine, s, false), start);
    EXPECT_EQ(CountdownPaneText(K::EventLine, s, false), QStringLiteral("Event time:  MAR 15, 2026  03:05:05"));
    EXPECT_EQ(CountdownPaneText(K::EndLine, s, false), s.EndTimeText);
    EXPECT_EQ(CountdownPaneText(K::Countdown, s, false), s.CountdownText);
    EXPECT_EQ(CountdownPaneText(K::Title, s, false), QStringLiteral("Countdown to recording start time:"));
    EXPECT_EQ(CountdownPaneText(K::Title, s, true), QStringLiteral("  Computer time (UTC):"));
    // While the Event records: until when, not a countdown run out.
    s.ArmedRecordingEnd = CalendarToUtcTime({2026, 3, 0, 15, 3, 6, 5, 0}).value();
    EXPECT_EQ(CountdownPaneText(K::Title, s, true, true) + CountdownPaneText(K::Countdown, s, true, true),
              QStringLiteral("Event recording until (UTC):03:06:05"));
    // Without a carriage return in the first 512 characters there are no lines to show.
    EXPECT_EQ(EventInfoLine(QString(512, QLatin1Char('x')) + "\r\nEvent\r\n", 1), QString());
}

namespace {

// Runs a command with steps that write what they do into a trace; dialogs answer from a queue.
QString Trace(MenuCommand command, std::deque<int> results, int devices = 1, bool catalogue = true)
{
    QStringList trace;
    const auto note = [&trace](const char* step) { return [&trace, step] { trace << QLatin1String(step); }; };
    const CommandSteps s{[&](MenuDialog d) {
                             trace << (d == MenuDialog::ViewEvents ? "view" : d == MenuDialog::EditEvent ? "edit" : "dialog");
                             const int r = results.front();
                             results.pop_front();
                             return r;
                         },
                         [] { return true; }, note("disarm"), note("load"), note("save"), note("saveFile"),
                         note("restart"), [devices] { return devices; }, [catalogue] { return catalogue; },
                         [&trace](const QString& text) { trace << text; }};
    EXPECT_EQ(RunDialogCommand(command, s), command != MenuCommand::About);
    EXPECT_TRUE(results.empty()) << "dialog shown too few times";
    return trace.join(QLatin1Char(' '));
}

} // namespace

TEST(MenuCommands, EventCommandsReloadAlwaysAndDisarmOnlyAfterAChangeOptionDialogsSaveAndRestartByResult)
{
    using M = MenuCommand;
    const struct {
        M command;
        std::deque<int> results;
        const char* trace;
    } cases[] = {
        {M::Schedule, {0}, "dialog load"},
        {M::Schedule, {1}, "dialog disarm load"},
        // 2: some deleted (disarm, reload, list again); 4: expired toggled; 1: all deleted.
        {M::EditAndDelete, {2, 4, 2, 1}, "view disarm load view load view disarm load view disarm load"},
        {M::EditAndDelete, {0, 1}, "view edit disarm load"},
        {M::EditAndDelete, {4, 0, 0}, "view load view edit load"},
        {M::EditAndDelete, {3}, "view load"}, // cancelled, as Schedule... cancelled
        {M::PixelSaturation, {1}, "dialog saveFile restart"},
        {M::PixelSaturation, {2}, "dialog restart"},
        {M::FrameIntegration, {2}, "dialog"},
        {M::Devices, {1}, "dialog save"},
        {M::DurationDefault, {4}, "dialog"},
        {M::CodecDefault, {1}, "dialog save restart"},
        {M::CodecDefault, {4}, "dialog"},
        {M::EventPending, {1}, "dialog save"},
        {M::Performance, {1}, "dialog save restart"},
        {M::Performance, {3}, "dialog"},
        {M::About, {}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Trace(c.command, c.results), QLatin1String(c.trace)) << static_cast<int>(c.command);
    // Without a device or a codec catalogue nothing opens.
    EXPECT_EQ(Trace(M::Devices, {}, 0), "Internal Error detected, no devices\r\n");
    EXPECT_EQ(Trace(M::CodecDefault, {}, 1, false), "");
}
