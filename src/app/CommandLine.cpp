#include "app/CommandLine.h"

CommandLine ParseCommandLine(const QStringList& arguments)
{
    CommandLine c;
    for (const QString& a : arguments) {
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            c.action = CommandLine::Action::Help;
            return c;
        }
        if (a == QLatin1String("--version")) {
            c.action = CommandLine::Action::Version;
            return c;
        }
        if (a == QLatin1String("--simulated-camera")) {
            c.simulatedCamera = true;
            continue;
        }
        c.action = CommandLine::Action::UsageError;
        c.error = QStringLiteral("unknown option '%1'").arg(a);
        return c;
    }
    return c;
}

QString UsageText()
{
    return QStringLiteral(
        "Usage: vela-video [--simulated-camera]\n"
        "       vela-video --help | --version\n"
        "\n"
        "Shows live video from a capture device, records AVI files by hand or for\n"
        "scheduled Events, and measures the computer clock against a video time inserter.\n"
        "Files are read and written relative to the current directory.\n"
        "\n"
        "  --simulated-camera  also list the \"VTI Simulator\" camera, for rehearsals\n"
        "  --help              show this text\n"
        "  --version           show the version\n"
        "\n"
        "Exit status: 0 normal end, 1 other failure, 2 bad command line,\n"
        "3 another copy is running or start-up was aborted, 4 out of memory.\n");
}
