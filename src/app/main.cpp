#include "app/CommandLine.h"
#include "app/ExitStatus.h"
#include "app/Startup.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const CommandLine commandLine = ParseCommandLine(args);
    switch (commandLine.action) {
    case CommandLine::Action::Help:
        std::fputs(UsageText().toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::printf("%s\n", kVersionText);
        return 0;
    case CommandLine::Action::UsageError:
        std::fprintf(stderr, "vela-video: %s\n\n%s", commandLine.error.toLocal8Bit().constData(),
                     UsageText().toLocal8Bit().constData());
        return kExitUsage;
    case CommandLine::Action::Run:
        break;
    }

    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("vela-video"));
    QApplication::setApplicationVersion(QStringLiteral("1.1"));
    return ExitStatusFor(Run(commandLine));
}
