#include "app/CommandLine.h"

#include <QSet>

namespace {

constexpr QLatin1StringView kSimulatedCamera("--simulated-camera");
constexpr QLatin1StringView kReadTimes("--read-times");

// The settings of --simulated-camera=KEY=VALUE,...; an empty text on success, else what
// is wrong. keysSeen spans every occurrence of the option, so no key is given twice.
QString ParseSimulatorSettings(const QString& list, SimulatorSettings& s, QSet<QString>& keysSeen)
{
    if (list.isEmpty())
        return QStringLiteral("--simulated-camera= wants settings: offset=MS, drift=MS, unplug-file=PATH");
    for (const QString& item : list.split(QLatin1Char(','))) {
        const qsizetype equals = item.indexOf(QLatin1Char('='));
        const QString key = item.left(equals);
        const QString value = equals < 0 ? QString() : item.mid(equals + 1);
        if (key != QLatin1String("offset") && key != QLatin1String("drift") && key != QLatin1String("unplug-file"))
            return QStringLiteral("unknown --simulated-camera setting '%1' (offset=MS, drift=MS, unplug-file=PATH)")
                .arg(item);
        if (keysSeen.contains(key))
            return QStringLiteral("--simulated-camera setting '%1' is given twice").arg(key);
        keysSeen.insert(key);
        bool ok = false;
        if (key == QLatin1String("offset")) {
            s.offsetMilliseconds = value.toLongLong(&ok);
            if (!ok || s.offsetMilliseconds < -kSimulatorOffsetLimitMs || s.offsetMilliseconds > kSimulatorOffsetLimitMs)
                return QStringLiteral("offset wants whole milliseconds from -%1 to %1, not '%2'")
                    .arg(kSimulatorOffsetLimitMs)
                    .arg(value);
        } else if (key == QLatin1String("drift")) {
            s.driftMillisecondsPerMinute = value.toDouble(&ok);
            // Written so that NaN fails too.
            if (!ok || !(s.driftMillisecondsPerMinute >= -kSimulatorDriftLimitMsPerMinute
                         && s.driftMillisecondsPerMinute <= kSimulatorDriftLimitMsPerMinute))
                return QStringLiteral("drift wants milliseconds per minute from -%1 to %1, not '%2'")
                    .arg(kSimulatorDriftLimitMsPerMinute)
                    .arg(value);
        } else {
            if (value.isEmpty())
                return QStringLiteral("unplug-file wants a file name");
            s.unplugFile = value.toStdString();
        }
    }
    return {};
}

} // namespace

CommandLine ParseCommandLine(const QStringList& arguments)
{
    CommandLine c;
    QSet<QString> simulatorKeys;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == kReadTimes || a.startsWith(kReadTimes + QLatin1Char('='))) {
            c.readTimesFile = a == kReadTimes ? arguments.value(++i) : a.mid(kReadTimes.size() + 1);
            c.action = CommandLine::Action::ReadTimes;
            if (c.readTimesFile.isEmpty()) {
                c.action = CommandLine::Action::UsageError;
                c.error = QStringLiteral("--read-times wants a recording: --read-times FILE.avi");
            } else if (i + 1 < arguments.size()) {
                c.action = CommandLine::Action::UsageError;
                c.error = QStringLiteral("--read-times takes one recording; '%1' is one too many").arg(arguments[i + 1]);
            }
            return c;
        }
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            c.action = CommandLine::Action::Help;
            return c;
        }
        if (a == QLatin1String("--version")) {
            c.action = CommandLine::Action::Version;
            return c;
        }
        if (a == QLatin1String("--list-devices")) {
            c.action = CommandLine::Action::ListDevices;
            continue;
        }
        if (a == QLatin1String("--headless")) {
            c.headless = true;
            continue;
        }
        if (a == kSimulatedCamera) {
            c.simulatedCamera = true;
            continue;
        }
        if (a.startsWith(kSimulatedCamera + QLatin1Char('='))) {
            c.simulatedCamera = true;
            c.error = ParseSimulatorSettings(a.mid(kSimulatedCamera.size() + 1), c.simulator, simulatorKeys);
            if (!c.error.isEmpty()) {
                c.action = CommandLine::Action::UsageError;
                return c;
            }
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
        "Usage: vela-video [--headless] [--simulated-camera[=SETTING,...]]\n"
        "       vela-video --list-devices [--simulated-camera]\n"
        "       vela-video --read-times FILE.avi\n"
        "       vela-video --help | --version\n"
        "\n"
        "Shows live video from a capture device, records AVI files by hand or for\n"
        "scheduled Events, and measures the computer clock against a video time inserter.\n"
        "Files are read and written relative to the current directory.\n"
        "\n"
        "  --headless          run without windows or display, for an unattended\n"
        "                      station: User Messages go to standard output, and\n"
        "                      Event files copied into Events/ are scheduled\n"
        "  --simulated-camera  also list the \"VTI Simulator\" camera, for rehearsals\n"
        "  --simulated-camera=SETTING,...\n"
        "                      the same, set up by comma-separated settings:\n"
        "                        offset=MS         the VTI shows UTC plus MS milliseconds\n"
        "                        drift=MS          the VTI gains MS milliseconds a minute\n"
        "                        unplug-file=PATH  the camera is unplugged while PATH\n"
        "                                          exists, and plugged in again once it\n"
        "                                          is removed\n"
        "  --list-devices      print every capture device with its formats (size,\n"
        "                      subtype, frame rate, standard) and codecs, then exit;\n"
        "                      needs no display\n"
        "  --read-times FILE.avi\n"
        "                      read the VTI time of every frame of an uncompressed\n"
        "                      YUY2 or UYVY recording into FILE.vti.csv beside it,\n"
        "                      print the summary line and end (no window is opened)\n"
        "  --help              show this text\n"
        "  --version           show the version\n"
        "\n"
        "Exit status: 0 normal end, 1 other failure, 2 bad command line,\n"
        "3 another copy is running or start-up was aborted, 4 out of memory.\n");
}
