// The whole program as a user starts it, offscreen: command line, single instance and
// signals, an Event recorded on the simulator, and the recovery of a killed recording.
#include "recording/AviFileCheck.h"
#include "recording/RecordingLog.h"
#include "support/ProgramRun.h"
#include "support/Recordings.h"
#include "support/TempDir.h"
#include "support/TestEvents.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

AviFileCheck CheckFile(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    const AviFileCheck check = CheckAviFile(fd);
    return fd >= 0 ? ::close(fd), check : check;
}

QByteArray FileHash(const QString& path)
{
    return QCryptographicHash::hash(ReadFileBytes(path), QCryptographicHash::Sha1);
}

// An Event file for whole seconds `ahead` of now, lasting h:m:s; its UTC time.
QDateTime WriteEventAhead(const ProgramFolder& folder, int ahead, int minutes, int seconds)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QDateTime at = now.addSecs(ahead).addMSecs(-now.time().msec());
    EXPECT_FALSE(WriteTestEvent(folder.FilePath(QStringLiteral("Events")), CalendarFromUtc(at), 0, minutes, seconds)
                     .isEmpty());
    return at;
}

QStringList Videos(const ProgramFolder& folder, const char* pattern)
{
    return QDir(folder.FilePath(QStringLiteral("VideoFiles"))).entryList({QLatin1String(pattern)});
}

} // namespace

TEST(Program, CommandLineAndAFolderTooDeepForItsPaths)
{
    ProgramFolder folder;
    // 3 × 200 characters below the folder: far beyond the 511 the program holds.
    const QString deep = folder.FilePath(QStringLiteral("%1/%1/%1").arg(QString(200, QLatin1Char('d'))));
    ASSERT_TRUE(QDir().mkpath(deep));
    ASSERT_EQ(QProcess::execute(QStringLiteral("ffmpeg"), {"-v", "error", "-f", "lavfi", "-i", "testsrc=size=64x48",
                                                           "-frames:v", "2", "-c:v", "mjpeg", folder.FilePath("mjpg.avi")}),
              0);
    // None of these opens a window: no display is needed.
    folder.NoDisplay();
    const struct {
        QStringList args;
        QString cwd;
        int exitCode;
        QByteArray out, err;
    } cases[] = {
        {{"--simulated-camera"}, deep, 3, {}, "start it from a folder with a shorter path"},
        {{"--version"}, {}, 0, "VELA Video Application Version 1.1\n", {}},
        {{"--list-devices", "--simulated-camera"}, {}, 0,
         "VTI Simulator\n  driver: simulator (known device)\n  formats:\n    720x480   YUY2  29.97 fps NTSC\n"
         "    720x576   YUY2  25 fps    PAL\n",
         {}},
        {{"--simulated-camera", "--record-everything"}, {}, 2, {}, "'--record-everything'"},
        {{"--read-times"}, {}, 2, {}, "--read-times wants a recording"},
        {{"--read-times", "gone.avi"}, {}, 1, {}, "gone.avi: no such file"},
        {{"--read-times", "mjpg.avi"}, {}, 1, {}, "mjpg.avi holds MJPG video"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        ProgramRun p;
        ASSERT_TRUE(p.Start(folder, c.args, c.cwd));
        ASSERT_TRUE(p.process.waitForFinished(10000));
        EXPECT_EQ(p.process.exitCode(), c.exitCode);
        EXPECT_TRUE(p.process.readAllStandardOutput().contains(c.out));
        EXPECT_TRUE(p.process.readAllStandardError().contains(c.err));
        // Refused before anything was written: no options, no lock file.
        if (!c.cwd.isEmpty()) {
            EXPECT_TRUE(QDir(folder.tmp.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                        && QDir(deep).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
        }
    }
}

TEST(Program, AnEventFileIsArmedRecordedLoggedAndTheNextArmed)
{
    ProgramFolder folder;
    // Far enough ahead for start-up: the first records from +5 s to +8 s.
    WriteEventAhead(folder, 7, 0, 4);
    WriteEventAhead(folder, 67, 0, 4);
    ProgramRun program;
    ASSERT_TRUE(program.Start(folder, {QStringLiteral("--simulated-camera")}));
    program.WaitForLog("Start time:", 2); // the second is armed once the first was recorded
    program.WaitForLog("VTI times in");
    EXPECT_EQ(program.Stop(), 0);
    const QString text = QString::fromUtf8(program.log);
    EXPECT_EQ(text.count(QStringLiteral("Start time:")), 2) << text.toStdString();
    EXPECT_TRUE(text.contains(QLatin1String("Recording duration:  4 seconds")));

    const QStringList avis = Videos(folder, "*.avi");
    ASSERT_EQ(avis.size(), 1) << text.toStdString();
    const QString avi = folder.FilePath(QStringLiteral("VideoFiles/") + avis[0]);
    const int frames = RecordingLogCount(QString::fromLatin1(ReadFileBytes(RecordingLogFileName(avi))),
                                         "Number of recorded frames");
    EXPECT_TRUE(frames > 100 && frames < 160) << frames; // about 4.45 s at 29.97 frames per second
    EXPECT_EQ(ProbeVideo(avi).frames, frames);

    // Its timing record follows, and --read-times makes the same one again.
    const QString csv = folder.FilePath(QStringLiteral("VideoFiles/") + avis[0].chopped(4) + QStringLiteral(".vti.csv"));
    const QByteArray summary = QStringLiteral("%1 frames, ").arg(frames).toLatin1();
    EXPECT_TRUE(program.log.contains("VTI times in " + QFileInfo(csv).fileName().toLatin1() + ": ")) << text.toStdString();
    EXPECT_TRUE(program.log.contains(summary));
    const QByteArray record = ReadFileBytes(csv);
    EXPECT_EQ(record.count('\n'), frames + 1);
    ASSERT_TRUE(QFile::remove(csv));
    ProgramRun readTimes;
    ASSERT_TRUE(readTimes.Start(folder, {QStringLiteral("--read-times"), avi}));
    ASSERT_TRUE(readTimes.process.waitForFinished(30000));
    EXPECT_EQ(readTimes.process.exitCode(), 0);
    EXPECT_TRUE(readTimes.process.readAllStandardOutput().contains(summary));
    EXPECT_EQ(ReadFileBytes(csv), record);

}

namespace {

// Kills the program (as a power cut would) once the recording in progress, the AVI that
// has no log yet, holds a second of frames; that recording.
QString KillOnceRecorded(ProgramRun& p, const ProgramFolder& folder)
{
    QString avi;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 20000 && p.process.state() == QProcess::Running) {
        for (const QString& name : Videos(folder, "*.avi"))
            if (!QFile::exists(RecordingLogFileName(folder.FilePath("VideoFiles/" + name))))
                avi = folder.FilePath("VideoFiles/" + name);
        if (!avi.isEmpty() && CheckFile(avi).videoChunks >= 30)
            break;
        p.Read();
    }
    p.Stop(SIGKILL);
    return avi;
}

// Records an Event on the simulator and kills the program during it; the recording.
QString KillDuringEventRecording(const ProgramFolder& folder)
{
    WriteEventAhead(folder, 8, 0, 10);
    ProgramRun p;
    EXPECT_TRUE(p.Start(folder, {QStringLiteral("--simulated-camera")}));
    EXPECT_TRUE(p.WaitForLog("Start recording at ")) << p.log.toStdString();
    return KillOnceRecorded(p, folder);
}

// Starts the program without a camera and stops it; what it logged. fileSizeLimit > 0:
// a disk that is full once a file has that size.
QByteArray StartAndStop(const ProgramFolder& folder, rlim_t fileSizeLimit = 0)
{
    ProgramRun p;
    if (fileSizeLimit > 0) {
        p.process.setChildProcessModifier([fileSizeLimit] {
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            ::signal(SIGXFSZ, SIG_IGN); // the write fails instead of ending the program
        });
    }
    EXPECT_TRUE(p.Start(folder));
    EXPECT_TRUE(p.WaitForLog("Computer ")) << p.log.toStdString();
    EXPECT_EQ(p.Stop(), 0) << "a stop right after the time-zone line, while starting, also ends in order";
    return p.log;
}

} // namespace

// A killed recording, pre-allocated so that claimed space follows its frames, is rebuilt by
// the next start beside the untouched original, once. (The station test kills one that was
// not pre-allocated.)
TEST(Program, KilledRecordingIsRebuiltOnceBesideTheOriginal)
{
    ProgramFolder folder;
    { // 20 GB per 10 minutes: far more than the second recorded here
        QFile options(folder.FilePath(QStringLiteral("VELA_options.xml")));
        ASSERT_TRUE(options.open(QIODevice::WriteOnly));
        options.write("<?xml version=\"1.0\"?>\r\n<Root>\r\n\t<FilePreAllocation Value=\"TRUE\"/>\r\n"
                      "\t<EventAllocationGB Value=\"20\"/>\r\n</Root>\r\n");
    }
    const QString original = KillDuringEventRecording(folder);
    ASSERT_FALSE(original.isEmpty());
    const AviFileCheck killed = CheckFile(original);
    ASSERT_EQ(killed.verdict, AviFileVerdict::Interrupted);
    const VideoProbe scanned = ProbeVideo(original);
    EXPECT_EQ(scanned.headerFrames, -1); // readers that trust the header see nothing
    ASSERT_GE(scanned.frames, 30);
    const QByteArray originalHash = FileHash(original);
    const QDir videos = QFileInfo(original).dir();

    // A disk that fills while the copy is written: nothing is left behind. Files that
    // are no recording are named and left alone.
    ASSERT_TRUE(QFile(videos.filePath(QStringLiteral("empty.avi"))).open(QIODevice::WriteOnly));
    QFile notes(videos.filePath(QStringLiteral("notes.avi")));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly) && notes.write("not a video\n") > 0);
    notes.close();
    const QStringList written = videos.entryList(QDir::Files);
    const QByteArray full = StartAndStop(folder, static_cast<rlim_t>(killed.dataEnd / 2));
    for (const char* said : {"could not be recovered", "\"VideoFiles/empty.avi\" has no recording log and is empty",
                             "\"VideoFiles/notes.avi\" has no recording log and is not an AVI file"})
        EXPECT_TRUE(full.contains(said)) << full.toStdString();
    EXPECT_EQ(videos.entryList(QDir::Files), written);

    const QByteArray log = StartAndStop(folder);
    const QString recovered = original.chopped(4) + QStringLiteral("_recovered.avi");
    const VideoProbe probe = ProbeVideo(recovered);
    EXPECT_EQ(probe.frames, scanned.frames); // none lost
    EXPECT_EQ(probe.headerFrames, probe.frames);
    EXPECT_EQ(CheckFile(recovered).verdict, AviFileVerdict::Complete);
    EXPECT_EQ(FileHash(original), originalHash);
    EXPECT_TRUE(log.contains(QStringLiteral("Recovered %1 frames into \"VideoFiles/%2\"")
                                 .arg(probe.frames)
                                 .arg(QFileInfo(recovered).fileName())
                                 .toUtf8()))
        << log.toStdString();
    const QString recoveredLog = QString::fromLatin1(ReadFileBytes(RecordingLogFileName(recovered)));
    EXPECT_TRUE(recoveredLog.startsWith(QStringLiteral("Recording interrupted; recovered %1 frames\r\n").arg(probe.frames)));
    EXPECT_EQ(RecordingLogCount(recoveredLog, "Number of recorded frames"), probe.frames);
    EXPECT_GT(QFileInfo(original).size(), killed.dataEnd + (1 << 20)); // claimed after the frames

    // The next start finds the recording done and touches nothing.
    const QStringList files = videos.entryList(QDir::Files);
    const QByteArray recoveredHash = FileHash(recovered);
    EXPECT_FALSE(StartAndStop(folder).contains("interrupted"));
    EXPECT_EQ(videos.entryList(QDir::Files), files);
    EXPECT_EQ(FileHash(recovered), recoveredHash);
}

namespace {

// Copies a file the way scp over a slow link writes it: in pieces, each well within the
// half second a settled look waits.
void CopySlowly(const QString& from, const QString& to)
{
    const QByteArray bytes = ReadFileBytes(from);
    QFile out(to);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    for (qsizetype at = 0; at < bytes.size(); at += 40) {
        out.write(bytes.mid(at, 40));
        out.flush();
        QThread::msleep(150);
    }
}

} // namespace

// The unattended station: no display at all, three Events copied in while it runs (one
// slowly), killed during the second recording and started again as its service would be.
TEST(Program, HeadlessStationRecordsEventsDroppedInAndRecoversAfterAKill)
{
    ProgramFolder folder;
    folder.NoDisplay(); // a program that asked for a GUI platform would end here at once
    const QStringList args{QStringLiteral("--headless"), QStringLiteral("--simulated-camera")};
    ProgramRun station;
    ASSERT_TRUE(station.Start(folder, args));
    ASSERT_TRUE(station.WaitForLog("There are no scheduled Events")) << station.log.toStdString();

    // 4 s each, centred 36 s apart: 32 s between recordings, beyond the overlap margin.
    WriteEventAhead(folder, 9, 0, 4);
    WriteEventAhead(folder, 45, 0, 4);
    const QTemporaryDir staging;
    const QDateTime third = QDateTime::currentDateTimeUtc().addSecs(81);
    const QString name = WriteTestEvent(staging.path(), CalendarFromUtc(third), 0, 0, 4);
    CopySlowly(staging.filePath(name), folder.FilePath(QStringLiteral("Events/") + name));

    ASSERT_TRUE(station.WaitForLog("Stop recording at")) << station.log.toStdString();
    ASSERT_TRUE(station.WaitForLog("Start recording at", 2)) << station.log.toStdString();
    const QString killed = KillOnceRecorded(station, folder);
    ASSERT_FALSE(killed.isEmpty());

    ProgramRun restarted;
    ASSERT_TRUE(restarted.Start(folder, args));
    ASSERT_TRUE(restarted.WaitForLog("Stop recording at", 1, 60000)) << restarted.log.toStdString();
    // The recovered recording's timing record and the third's.
    ASSERT_TRUE(restarted.WaitForLog("VTI times in", 2)) << restarted.log.toStdString();
    EXPECT_EQ(restarted.Stop(SIGTERM), 0);

    const QByteArray log = station.log + restarted.log;
    EXPECT_FALSE(log.contains("is not scheduled because")) << log.toStdString(); // no half-read file
    const QString recovered = killed.chopped(4) + QStringLiteral("_recovered.avi");
    EXPECT_TRUE(restarted.log.contains("Recovered ") && ProbeVideo(recovered).frames >= 30) << log.toStdString();
    const QStringList logs = Videos(folder, "*.log");
    ASSERT_EQ(logs.size(), 3) << logs.join(u' ').toStdString(); // the first, the recovered, the third
    for (const QString& logName : logs) {
        const QString avi = folder.FilePath("VideoFiles/" + logName.chopped(4) + ".avi");
        const int frames = RecordingLogCount(QString::fromLatin1(ReadFileBytes(RecordingLogFileName(avi))),
                                             "Number of recorded frames");
        EXPECT_GE(frames, 30) << logName.toStdString();
        EXPECT_EQ(ProbeVideo(avi).frames, frames) << logName.toStdString();
        const QByteArray record = ReadFileBytes(folder.FilePath("VideoFiles/" + logName.chopped(4) + ".vti.csv"));
        EXPECT_EQ(record.count('\n'), frames + 1) << logName.toStdString(); // a header, a line per frame
        EXPECT_FALSE(record.contains(",1,0,0\r\n") || record.contains(",0,1\r\n")) << "unreadable or repeated frames";
    }
    EXPECT_TRUE(station.log.contains("VTI times in")) << "the first recording's record, before the kill";
}
