#include "app/CaptureApp.h"
#include "app/CommandLine.h"
#include "app/ExitStatus.h"
#include "app/ListDevices.h"
#include "app/Startup.h"
#include "capture/TimingRecords.h"
#include "common/ProcessDirectory.h"

#include <QApplication>
#include <cstdio>
#include <memory>
#include <new>
#include <string>

namespace {

// --read-times: no window and no display, so no toolkit application either.
int ReadTimes(const QString& aviPath)
{
    CharacterSetList sets;
    static_cast<void>(LoadCharacterSets(sets)); // missing sets are the outcome's message
    const TimingRecordOutcome outcome = WriteTimingRecord(aviPath, sets);
    const QByteArray line = outcome.message.trimmed().toLocal8Bit();
    if (!outcome.written) {
        std::fprintf(stderr, "vela-video: %s\n", line.constData());
        return 1;
    }
    std::printf("%s\n", line.constData());
    return 0;
}

} // namespace

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
    case CommandLine::Action::ListDevices:
        return ExitStatusFor(ListDevices(commandLine));
    case CommandLine::Action::UsageError:
        std::fprintf(stderr, "vela-video: %s\n\n%s", commandLine.error.toLocal8Bit().constData(),
                     UsageText().toLocal8Bit().constData());
        return kExitUsage;
    case CommandLine::Action::ReadTimes:
        return ReadTimes(commandLine.readTimesFile);
    case CommandLine::Action::Run:
        break;
    }

    // Every file lies in the process directory; one the program cannot hold whole would
    // send the options and the recordings elsewhere. Refused before anything is written,
    // even by the toolkit.
    if (const std::string problem = ProcessDirectoryProblem(); !problem.empty()) {
        std::fprintf(stderr, "vela-video: %s\n", problem.c_str());
        return kExitAborted;
    }

    int qtArgc = 1;
    // Without windows no GUI platform is loaded, so no display server is needed.
    const std::unique_ptr<QCoreApplication> application = commandLine.headless
        ? std::make_unique<QCoreApplication>(qtArgc, argv)
        : std::make_unique<QApplication>(qtArgc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vela-video"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.1"));
    // Every part of the program lives in it, until the toolkit goes.
    const SystemClock clock;
    const std::unique_ptr<CaptureApp> app(new (std::nothrow) CaptureApp(clock));
    if (!app)
        return ExitStatusFor(Status::OutOfMemory);
    return ExitStatusFor(Run(*app, commandLine));
}
