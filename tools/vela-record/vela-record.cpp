// vela-record: one recording through the program's own capture graph on the simulator
// camera, with the video window as the preview sink, for benchmarks and long-file
// checks. Prints the file name and the log's recorded and dropped counts.
//
//   vela-record [--seconds S | --non-live --frames N] [--format WxH] [--subtype NAME]
//               [--threshold T] [--out DIR]

#include "app/TimeZoneCheck.h"
#include "app/ui/VideoWindow.h"
#include "common/Clock.h"
#include "capture/CaptureBackEnd.h"
#include "capture/CaptureGraph.h"
#include "capture/CodecEnumeration.h"
#include "capture/DeviceEnumeration.h"
#include "common/Clock.h"
#include "devices/DeviceTable.h"
#include "devices/FormatRules.h"
#include "filter/FramePipeline.h"
#include "messages/UserMessageLog.h"
#include "options/AppOptions.h"
#include "recording/AppState.h"
#include "recording/GraphControl.h"
#include "recording/RecordingControl.h"
#include "recording/RecordingFileNames.h"
#include "recording/RecordingLog.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QTimer>
#include <cstdio>
#include <gst/gst.h>

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

struct Request {
    int seconds = 30;
    bool nonLive = false;
    qint64 frames = 0;
    QString format = QStringLiteral("720x576");
    QString subtype = QStringLiteral("YUY2");
    int threshold = -1;
    QString out = QStringLiteral(".");
};

void Fail(const QString& text)
{
    std::fprintf(stderr, "vela-record: %s\n", text.toLocal8Bit().constData());
}

// kContinue, or the exit status the program ends with at once.
constexpr int kContinue = -1;

int ParseArguments(const QStringList& arguments, Request& r)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Records from the simulator camera through the capture graph."));
    p.addHelpOption();
    const QCommandLineOption seconds(QStringLiteral("seconds"), QStringLiteral("Live recording length."),
                                     QStringLiteral("S"), QStringLiteral("30"));
    const QCommandLineOption nonLive(QStringLiteral("non-live"), QStringLiteral("Frames as fast as they are taken."));
    const QCommandLineOption frames(QStringLiteral("frames"), QStringLiteral("Non-live: stop after N frames."),
                                    QStringLiteral("N"));
    const QCommandLineOption format(QStringLiteral("format"), QStringLiteral("Frame size."), QStringLiteral("WxH"),
                                    r.format);
    const QCommandLineOption subtype(QStringLiteral("subtype"), QStringLiteral("YUY2, UYVY, RGB24 or MJPG."),
                                     QStringLiteral("NAME"), r.subtype);
    const QCommandLineOption threshold(QStringLiteral("threshold"), QStringLiteral("Saturation threshold (0..255)."),
                                       QStringLiteral("T"));
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Folder for the recording and its log."),
                                 QStringLiteral("DIR"), r.out);
    p.addOptions({seconds, nonLive, frames, format, subtype, threshold, out});
    if (!p.parse(arguments)) {
        Fail(p.errorText());
        return kExitUsage;
    }
    if (p.isSet(QStringLiteral("help"))) {
        std::fputs(p.helpText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    bool ok = true;
    r.seconds = p.value(seconds).toInt(&ok);
    if (!ok || r.seconds <= 0) {
        Fail(QStringLiteral("--seconds wants a positive number"));
        return kExitUsage;
    }
    r.nonLive = p.isSet(nonLive);
    if (r.nonLive) {
        r.frames = p.value(frames).toLongLong(&ok);
        if (!ok || r.frames <= 0) {
            Fail(QStringLiteral("--non-live wants --frames N with N > 0"));
            return kExitUsage;
        }
    } else if (p.isSet(frames)) {
        Fail(QStringLiteral("--frames counts non-live frames only; use --seconds for a live recording"));
        return kExitUsage;
    }
    if (p.isSet(threshold)) {
        r.threshold = p.value(threshold).toInt(&ok);
        if (!ok || r.threshold < 0 || r.threshold > 255) {
            Fail(QStringLiteral("--threshold wants 0..255"));
            return kExitUsage;
        }
    }
    r.format = p.value(format);
    r.subtype = p.value(subtype);
    r.out = p.value(out);
    return kContinue;
}

// The simulator's device and format as the device dialogs would select them.
bool SelectSimulatorFormat(DeviceTable& table, const Request& r)
{
    for (int i = 0; i < table.count; ++i) {
        CaptureDevice& d = table.devices[static_cast<std::size_t>(i)];
        if (d.name != QLatin1String("VTI Simulator"))
            continue;
        table.currentDeviceIndex = i;
        d.selectedFormatIndex = -1;
        for (int f = 0; f < d.formats.size(); ++f)
            if (d.formats[f].name == r.format && SubtypeName(&d, f) == r.subtype)
                d.selectedFormatIndex = f;
        d.chosenCodecIndex = static_cast<int>(d.codecNames.indexOf(QStringLiteral("NONE")));
        if (d.selectedFormatIndex < 0) {
            Fail(QStringLiteral("the simulator has no format %1 %2").arg(r.format, r.subtype));
            return false;
        }
        return d.chosenCodecIndex >= 0;
    }
    Fail(QStringLiteral("the simulator camera was not listed"));
    return false;
}

qint64 LogCount(const QString& logText, const char* label)
{
    const QRegularExpression re(QString::fromLatin1(label) + QStringLiteral(":  (\\d+)\r\n"));
    const auto m = re.match(logText);
    return m.hasMatch() ? m.captured(1).toLongLong() : -1;
}

} // namespace

int main(int argc, char* argv[])
{
    // Benchmarks and long checks run where no display is.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    Request r;
    if (const int status = ParseArguments(QApplication::arguments(), r); status != kContinue)
        return status;

    const SystemClock clock;
    UserMessageLog log(clock);
    AppOptions options;
    DeviceTable devices;
    AppState app;
    CheckTimeZone(clock, log); // recording names carry UTC, as in the program
    PrepareCaptureBackEnd(true);
    if (EnumerateCaptureDevices(devices, log, true) != Status::Ok) {
        Fail(QStringLiteral("the device enumeration failed"));
        return kExitFailure;
    }
    // Every recording here is "NONE", the first entry of any catalogue, so the codec
    // trials of the program's start-up are left out: they load every encoder plugin that
    // might fit, start-up work that no recording repeats.
    OfferOnlyNone(devices);
    if (!SelectSimulatorFormat(devices, r))
        return kExitFailure;

    if (!QDir().mkpath(r.out)) {
        Fail(QStringLiteral("cannot create %1").arg(r.out));
        return kExitFailure;
    }
    options.VideoDirectory = QDir(r.out).absolutePath() + QLatin1Char('/');
    app.Analysis.saturationThreshold = r.threshold;

    VideoWindow window(nullptr);
    // Sized as the program sizes it, the frame plus 8 each way, so the picture is painted 1:1.
    const CaptureDevice& device = devices.devices[static_cast<std::size_t>(devices.currentDeviceIndex)];
    const MediaFormat& format = device.formats[device.selectedFormatIndex];
    window.resize(format.width + 8, format.height + 8);
    window.show();
    // Marking needs no character sets; its messages go to the log like the program's.
    const CharacterSetList noSets;
    FramePipeline pipeline(noSets, log, clock);
    CaptureGraph graph(CaptureGraphParts{options, devices, app, log, pipeline}, &window, 0);
    bool failed = false;
    // A waiting event loop, not a processEvents spin: the spin alone would cost a core
    // and swamp what the benchmark measures.
    QEventLoop loop;
    graph.SetFailureHandler([&failed, &loop] {
        failed = true;
        loop.quit();
    });
    if (r.nonLive)
        graph.SetSourceSetup([](GstElement* source) { g_object_set(source, "is-live", FALSE, nullptr); });
    RecordingControl recording(app, options, log, clock, &graph);

    app.RecordingActive = true;
    app.RecordingFileName = MakeRecordingFileName(options, log, clock);
    if (app.RecordingFileName.isEmpty() || Failed(recording.StartCapture())) {
        Fail(QStringLiteral("the recording did not start"));
        return kExitFailure;
    }
    const QString fileName = app.RecordingFileName;
    // The graph runs the marking element in preview-only graphs; say whether this one did,
    // so a figure is never read as including it when it did not.
    const bool marking = graph.PixelAnalysisRequested();
    // Live: one timer for the length, so the loop wakes for nothing but the preview.
    // Non-live: the delivered frames are counted every 2 ms.
    QTimer poll;
    if (r.nonLive) {
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (static_cast<qint64>(graph.FramesDelivered()) >= r.frames)
                loop.quit();
        });
        poll.start(2);
    } else {
        poll.setSingleShot(true);
        poll.setTimerType(Qt::PreciseTimer);
        QObject::connect(&poll, &QTimer::timeout, &loop, &QEventLoop::quit);
        poll.start(r.seconds * 1000);
    }
    if (!failed)
        loop.exec();
    const Status stopped = recording.StopCapture();

    QFile recordingLog(RecordingLogFileName(fileName));
    if (!recordingLog.open(QIODevice::ReadOnly)) {
        Fail(QStringLiteral("no recording log beside %1").arg(fileName));
        return kExitFailure;
    }
    const QString logText = QString::fromLatin1(recordingLog.readAll());
    const qint64 recorded = LogCount(logText, "Number of recorded frames");
    const qint64 dropped = LogCount(logText, "Number of dropped frames");
    std::printf("file: %s\nrecorded: %lld\ndropped: %lld\npreview frames: %llu\nmarking element: %s\n",
                QFile::encodeName(fileName).constData(), static_cast<long long>(recorded),
                static_cast<long long>(dropped), static_cast<unsigned long long>(window.FramesPresented()),
                marking ? "yes" : "no");
    if (failed || Failed(stopped) || recorded <= 0 || dropped < 0) {
        Fail(QStringLiteral("the recording failed"));
        return kExitFailure;
    }
    return 0;
}
