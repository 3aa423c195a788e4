#pragma once

#include <QString>
#include <QStringList>

struct CommandLine {
    enum class Action { Run, Help, Version, UsageError };
    Action action = Action::Run;
    bool simulatedCamera = false;
    QString error; // for UsageError
};

CommandLine ParseCommandLine(const QStringList& arguments); // arguments without the program name
QString UsageText();
inline constexpr const char* kVersionText = "VELA Video Application Version 1.1";
