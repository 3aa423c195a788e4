// The whole program, offscreen, on the simulator camera: an Event file a few seconds
// ahead is armed, counted down, recorded and logged, and the next Event is armed.
#include "recording/RecordingLog.h"
#include "support/ProgramRun.h"
#include "support/Recordings.h"
#include "support/TempDir.h"
#include "support/TestEvents.h"

#include <QDir>
#include <gtest/gtest.h>
#include <cstdio>

// A terminal or a service manager cannot answer the exit question: a signal during an
// Event recording ends the program at once, and the recording is finished and logged.
// (The test below ends the program with SIGTERM while the next Event is armed.)
TEST(EventRecording, ASignalDuringAnEventRecordingEndsTheProgramAtOnce)
{
    ProgramFolder folder;
    // A minute long and centred 6 s ahead: recording from the first tick.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    ASSERT_FALSE(WriteTestEvent(folder.FilePath(QStringLiteral("Events")), CalendarFromUtc(now.addSecs(6)), 0, 1, 0).isEmpty());
    ProgramRun program;
    ASSERT_TRUE(program.Start(folder, {QStringLiteral("--simulated-camera")}));
    ASSERT_TRUE(program.WaitForLog("Start recording at")) << program.log.constData();
    EXPECT_EQ(program.Stop(SIGINT), 0);
    EXPECT_TRUE(program.log.contains("Stop recording at")) << program.log.constData();
    EXPECT_EQ(QDir(folder.FilePath(QStringLiteral("VideoFiles"))).entryList({QStringLiteral("*.log")}).size(), 1);
}

TEST(EventRecording, AnEventFileIsArmedRecordedLoggedAndTheNextArmed)
{
    ProgramFolder folder;
    // Whole seconds, far enough ahead for start-up: the first Event records from +5 s
    // to +8 s, the second lies well behind it.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QDateTime first = now.addSecs(7).addMSecs(-now.time().msec());
    const QString events = folder.FilePath(QStringLiteral("Events"));
    ASSERT_FALSE(WriteTestEvent(events, CalendarFromUtc(first), 0, 0, 4).isEmpty());
    ASSERT_FALSE(WriteTestEvent(events, CalendarFromUtc(first.addSecs(60)), 0, 0, 4).isEmpty());

    ProgramRun program;
    ASSERT_TRUE(program.Start(folder, {QStringLiteral("--simulated-camera")}));
    // The second Event is armed once the first has been recorded.
    program.WaitForLog("Start time:", 2);
    EXPECT_EQ(program.Stop(), 0);

    const QString text = QString::fromUtf8(program.log);
    EXPECT_EQ(text.count(QStringLiteral("Start time:")), 2) << text.toStdString();
    for (const char* said : {"The following Events are Loaded (scheduled):", "Recording duration:  4 seconds", "Stop recording at "})
        EXPECT_TRUE(text.contains(QLatin1String(said))) << said;

    const QStringList avis = QDir(folder.FilePath(QStringLiteral("VideoFiles"))).entryList({QStringLiteral("*.avi")});
    ASSERT_EQ(avis.size(), 1) << text.toStdString();
    const QString avi = folder.FilePath(QStringLiteral("VideoFiles/") + avis[0]);
    const QString recordingLog = QString::fromLatin1(ReadFileBytes(RecordingLogFileName(avi)));
    const int frames = RecordingLogCount(recordingLog, "Number of recorded frames");
    EXPECT_TRUE(frames > 100 && frames < 160) << frames; // about 4.45 s at 29.97 frames per second
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
    const int afterTarget = first.time().addSecs(-2).addMSecs(-500).msecsTo(firstFrame);
    std::printf("first frame %d ms after the countdown target\n", afterTarget);
    EXPECT_GE(afterTarget, 0);
    EXPECT_LT(afterTarget, 200);
}
