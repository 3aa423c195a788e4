// The whole program, offscreen, on the simulator camera: an Event file a few seconds
// ahead is armed, counted down, recorded and logged, and the next Event is armed.
#include "recording/RecordingLog.h"
#include "support/Recordings.h"
#include "support/TempDir.h"
#include "support/TestEvents.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <csignal>
#include <cstdio>

namespace {

// The program on the simulator, offscreen, in cwd with a private temporary folder.
void StartProgram(QProcess& program, const QTemporaryDir& tmp, const QTemporaryDir& cwd)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), tmp.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(cwd.path());
    program.start(QStringLiteral(VELA_VIDEO_BINARY), {QStringLiteral("--simulated-camera")});
    ASSERT_TRUE(program.waitForStarted(10000));
}

// Reads the program's standard error into log until text has appeared times times, the
// program has ended or 40 s have passed.
void ReadLogUntil(QProcess& program, QByteArray& log, const char* text, int times = 1)
{
    QElapsedTimer t;
    t.start();
    while (log.count(text) < times && t.elapsed() < 40000 && program.state() == QProcess::Running) {
        program.waitForReadyRead(200);
        log += program.readAllStandardError();
    }
}

} // namespace

// A terminal or a service manager cannot answer the exit question: a signal during an
// Event recording ends the program at once, and the recording is finished and logged.
// (The test below ends the program with SIGTERM while the next Event is armed.)
TEST(EventRecording, ASignalDuringAnEventRecordingEndsTheProgramAtOnce)
{
    QTemporaryDir tmp, cwd;
    const QString events = QDir(cwd.path()).filePath(QStringLiteral("Events"));
    // A minute long and centred 6 s ahead: recording from the first tick.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    ASSERT_FALSE(WriteTestEvent(events, CalendarFromUtc(now.addSecs(6)), 0, 1, 0).isEmpty());
    QProcess program;
    StartProgram(program, tmp, cwd);
    QByteArray log;
    ReadLogUntil(program, log, "Start recording at");
    ASSERT_TRUE(log.contains("Start recording at")) << log.constData();
    ::kill(static_cast<pid_t>(program.processId()), SIGINT);
    ASSERT_TRUE(program.waitForFinished(20000));
    log += program.readAllStandardError();
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(log.contains("Stop recording at")) << log.constData();
    const QDir videos(QDir(cwd.path()).filePath(QStringLiteral("VideoFiles")));
    EXPECT_EQ(videos.entryList({QStringLiteral("*.log")}).size(), 1);
}

TEST(EventRecording, AnEventFileIsArmedRecordedLoggedAndTheNextArmed)
{
    QTemporaryDir tmp, cwd;
    QDir dir(cwd.path());
    // Whole seconds, far enough ahead for start-up: the first Event records from +5 s
    // to +8 s, the second lies well behind it.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QDateTime first = now.addSecs(7).addMSecs(-now.time().msec());
    const QString events = dir.filePath(QStringLiteral("Events"));
    ASSERT_FALSE(WriteTestEvent(events, CalendarFromUtc(first), 0, 0, 4).isEmpty());
    ASSERT_FALSE(WriteTestEvent(events, CalendarFromUtc(first.addSecs(60)), 0, 0, 4).isEmpty());

    QProcess program;
    StartProgram(program, tmp, cwd);

    QByteArray log;
    // The second Event is armed once the first has been recorded.
    ReadLogUntil(program, log, "Start time:", 2);
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
    const QString recordingLog = QString::fromLatin1(ReadFileBytes(RecordingLogFileName(avi)));
    const int frames = RecordingLogCount(recordingLog, "Number of recorded frames");
    EXPECT_GT(frames, 100); // about 4.45 s at 29.97 frames per second
    EXPECT_LT(frames, 160);
    EXPECT_EQ(ProbeVideo(avi).frames, frames);

    // The first frame, as its VTI time shows it (the simulator's VTI is UTC), lies just
    // after the countdown target, so the planned start half a second later is inside the
    // recording with a margin.
    QProcess reader;
    reader.start(QStringLiteral(VTI_FIRST_FRAME_BINARY), {avi});
    ASSERT_TRUE(reader.waitForFinished(30000));
    const QTime firstFrame = QTime::fromString(QString::fromLatin1(reader.readAllStandardOutput().trimmed()),
                                               QStringLiteral("HH:mm:ss.zzz"));
    ASSERT_TRUE(firstFrame.isValid()) << reader.readAllStandardError().constData();
    const QTime plannedStart = first.time().addSecs(-2);
    const int afterTarget = plannedStart.addMSecs(-500).msecsTo(firstFrame);
    std::printf("first frame %d ms after the countdown target\n", afterTarget);
    EXPECT_GE(afterTarget, 0);
    EXPECT_LT(afterTarget, 200);
}
