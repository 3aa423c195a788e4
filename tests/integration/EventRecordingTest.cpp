// The whole program, offscreen, on the simulator camera: an Event file a few seconds
// ahead is armed, counted down, recorded and logged, and the next Event is armed.
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <csignal>

namespace {

void WriteEvent(const QDir& dir, const QDateTime& utc, int seconds)
{
    const QDate d = utc.date();
    const QTime t = utc.time();
    const QString name = QString::asprintf("Events/%02d_%02d_%04d_%02d_%02d_%02d.ief", d.month(), d.day(), d.year(),
                                           t.hour(), t.minute(), t.second());
    QByteArray text = "<?xml version=\"1.0\"?>\r\n<!--VELA Event File Version 1.1-->\r\n<Root>\r\n";
    const std::pair<const char*, QString> fields[] = {
        {"EventYear", QString::asprintf("%4d", d.year())},     {"EventMonth", QString::asprintf("%2d", d.month())},
        {"EventDay", QString::asprintf("%2d", d.day())},       {"EventHour", QString::asprintf("%2d", t.hour())},
        {"EventMinute", QString::asprintf("%2d", t.minute())}, {"EventSecond", QString::asprintf("%2d", t.second())},
        {"DurationHour", QStringLiteral(" 0")},                {"DurationMinute", QStringLiteral(" 0")},
        {"DurationSecond", QString::asprintf("%2d", seconds)}, {"Hibernate", QStringLiteral("FALSE")},
        {"Shutdown", QStringLiteral("FALSE")},                 {"Comment", QStringLiteral("end to end")}};
    for (const auto& [key, value] : fields)
        text += "\t<" + QByteArray(key) + " Value=\"" + value.toLatin1() + "\"/>\r\n";
    text += "</Root>\r\n";
    QFile f(dir.filePath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

int FfprobeFrames(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("ffprobe"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-count_frames"),
                                        QStringLiteral("-select_streams"), QStringLiteral("v:0"),
                                        QStringLiteral("-show_entries"), QStringLiteral("stream=nb_read_frames"),
                                        QStringLiteral("-of"), QStringLiteral("csv=p=0"), path});
    if (!p.waitForFinished(60000))
        return -1;
    return QString::fromLatin1(p.readAllStandardOutput()).trimmed().toInt();
}

} // namespace

TEST(EventRecording, AnEventFileIsArmedRecordedLoggedAndTheNextArmed)
{
    QTemporaryDir tmp, cwd;
    QDir dir(cwd.path());
    dir.mkdir(QStringLiteral("Events"));
    // Whole seconds, far enough ahead for start-up: the first Event records from +5 s
    // to +8 s, the second lies well behind it.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QDateTime first = now.addSecs(7).addMSecs(-now.time().msec());
    WriteEvent(dir, first, 4);
    WriteEvent(dir, first.addSecs(60), 4);

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), tmp.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(cwd.path());
    program.start(QStringLiteral(VELA_VIDEO_BINARY), {QStringLiteral("--simulated-camera")});
    ASSERT_TRUE(program.waitForStarted(10000));

    QByteArray log;
    QElapsedTimer t;
    t.start();
    // The second Event is armed once the first has been recorded.
    while (log.count("Start time:") < 2 && t.elapsed() < 40000 && program.state() == QProcess::Running) {
        program.waitForReadyRead(200);
        log += program.readAllStandardError();
    }
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(20000));
    log += program.readAllStandardError();
    EXPECT_EQ(program.exitCode(), 0);

    const QString text = QString::fromUtf8(log);
    EXPECT_TRUE(text.contains(QStringLiteral("The following Events are Loaded (scheduled):"))) << log.constData();
    EXPECT_EQ(text.count(QStringLiteral("Start time:")), 2) << log.constData();
    EXPECT_TRUE(text.contains(QStringLiteral("Recording duration:  4 seconds")));
    EXPECT_TRUE(text.contains(QStringLiteral("Start recording at ")));
    EXPECT_TRUE(text.contains(QStringLiteral("Stop recording at ")));

    const QStringList avis = QDir(dir.filePath(QStringLiteral("VideoFiles"))).entryList({QStringLiteral("*.avi")});
    ASSERT_EQ(avis.size(), 1) << log.constData();
    const QString avi = dir.filePath(QStringLiteral("VideoFiles/") + avis[0]);
    QString logName = avi;
    logName.replace(QStringLiteral(".avi"), QStringLiteral(".log"));
    QFile logFile(logName);
    ASSERT_TRUE(logFile.open(QIODevice::ReadOnly));
    const QString recordingLog = QString::fromLatin1(logFile.readAll());
    const auto m = QRegularExpression(QStringLiteral("Number of recorded frames:  (\\d+)")).match(recordingLog);
    ASSERT_TRUE(m.hasMatch()) << recordingLog.toStdString();
    const int frames = m.captured(1).toInt();
    EXPECT_GT(frames, 100); // about 4.45 s at 29.97 frames per second
    EXPECT_LT(frames, 160);
    EXPECT_EQ(FfprobeFrames(avi), frames);
}
