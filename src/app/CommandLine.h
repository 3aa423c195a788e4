#pragma once

#include "capture/sim/SimulatorSettings.h"

#include <QString>
#include <QStringList>

struct CommandLine {
    enum class Action { Run, Help, Version, ListDevices, ReadTimes, UsageError };
    Action action = Action::Run;
    bool simulatedCamera = false;
    bool headless = false; // no windows, no display server
    SimulatorSettings simulator; // from --simulated-camera=KEY=VALUE,...
    QString error; // for UsageError
    QString readTimesFile; // for ReadTimes
};

CommandLine ParseCommandLine(const QStringList& arguments); // arguments without the program name
QString UsageText();
inline constexpr const char* kVersionText = "VELA Video Application Version 1.1";
