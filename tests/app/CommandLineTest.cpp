// The command line: the options, and the simulator's settings with every way to get them wrong.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

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
        {{"--simulated-camera=unplug-file=/srv/station/unplugged"}, A::Run, true, {0, 0.0, "/srv/station/unplugged"}, ""},
        {{"--simulated-camera=offset=-250,drift=1.5,unplug-file=gone"}, A::Run, true, {-250, 1.5, "gone"}, ""},
        {{"--simulated-camera=offset=86400000"}, A::Run, true, {86'400'000, 0.0, ""}, ""},
        {{"--simulated-camera", "--simulated-camera=drift=-0.25"}, A::Run, true, {0, -0.25, ""}, ""},
        {{"--simulated-camera=offset=5", "--help"}, A::Help, true, {5, 0.0, ""}, ""},
        {{"--version"}, A::Version, false, {}, ""},
        {{"--simulated-camera="}, A::UsageError, true, {}, "wants settings"},
        {{"--simulated-camera=offset"}, A::UsageError, true, {}, "offset wants whole milliseconds"},
        {{"--simulated-camera=offset=1.5"}, A::UsageError, true, {}, "not '1.5'"},
        {{"--simulated-camera=offset=86400001"}, A::UsageError, true, {}, "offset wants whole milliseconds"},
        {{"--simulated-camera=drift=nan"}, A::UsageError, true, {}, "drift wants milliseconds per minute"},
        {{"--simulated-camera=drift=60001"}, A::UsageError, true, {}, "drift wants milliseconds per minute"},
        {{"--simulated-camera=unplug-file="}, A::UsageError, true, {}, "unplug-file wants a file name"},
        {{"--simulated-camera=offset=1,,drift=2"}, A::UsageError, true, {}, "unknown --simulated-camera setting ''"},
        {{"--simulated-camera=Offset=1"}, A::UsageError, true, {}, "unknown --simulated-camera setting 'Offset=1'"},
        {{"--simulated-camera=offset=1", "--simulated-camera=offset=2"}, A::UsageError, true, {}, "'offset' is given twice"},
        {{"--simulated-cameras"}, A::UsageError, false, {}, "unknown option '--simulated-cameras'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const CommandLine parsed = ParseCommandLine(c.args);
        EXPECT_EQ(parsed.action, c.action);
        EXPECT_EQ(parsed.simulatedCamera, c.simulated);
        if (c.action == A::UsageError) {
            EXPECT_TRUE(parsed.error.contains(QLatin1String(c.error))) << parsed.error.toStdString();
        } else {
            EXPECT_EQ(parsed.simulator, c.settings);
        }
    }
}
