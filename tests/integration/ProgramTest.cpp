// The whole program as a user starts it: command line, single instance, stopping by
// signal, and the recovery of a recording it was killed in.
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
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

class ProgramTest : public ::testing::Test {
protected:
    ProgramFolder m_folder;
};

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

} // namespace

TEST_F(ProgramTest, CommandLineOptions)
{
    const struct {
        QStringList args;
        int exitCode;
        QByteArray out, err;
    } cases[] = {
        {{QStringLiteral("--version")}, 0, "VELA Video Application Version 1.1\n", {}},
        {{QStringLiteral("--help")}, 0, "--simulated-camera", {}},
        {{QStringLiteral("--simulated-camera"), QStringLiteral("--record-everything")}, 2, {},
         "--record-everything|Usage: vela-video"},
    };
    for (const auto& c : cases) {
        ProgramRun p;
        ASSERT_TRUE(p.Start(m_folder, c.args));
        ASSERT_TRUE(p.process.waitForFinished(10000));
        EXPECT_EQ(p.process.exitCode(), c.exitCode) << c.args.join(u' ').toStdString();
        EXPECT_TRUE(p.process.readAllStandardOutput().contains(c.out));
        const QByteArray err = p.process.readAllStandardError();
        for (const QByteArray& part : c.err.split('|'))
            EXPECT_TRUE(err.contains(part)) << part.constData();
    }
}

TEST_F(ProgramTest, RefusesToStartFromAFolderLongerThanItsPathsHold)
{
    // 3 × 200 characters below the temporary folder: far beyond the 511 the program holds.
    const QString deep = m_folder.FilePath(QStringLiteral("%1/%1/%1").arg(QString(200, QLatin1Char('d'))));
    ASSERT_TRUE(QDir().mkpath(deep));
    ProgramRun p;
    ASSERT_TRUE(p.Start(m_folder, {QStringLiteral("--simulated-camera")}, deep));
    ASSERT_TRUE(p.process.waitForFinished(10000)) << "the program started in a folder it cannot hold";
    EXPECT_EQ(p.process.exitCode(), 3);
    EXPECT_TRUE(p.process.readAllStandardError().contains("start it from a folder with a shorter path"));
    // Before anything was written: no options, no lock file.
    EXPECT_TRUE(QDir(deep).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    EXPECT_TRUE(QDir(m_folder.tmp.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

TEST_F(ProgramTest, SecondCopyExitsAtOnceAndTheFirstStopsOnSigterm)
{
    ProgramRun first;
    ASSERT_TRUE(first.Start(m_folder));
    ASSERT_TRUE(first.WaitForLog("Computer ")) << first.log.toStdString();

    ProgramRun second;
    ASSERT_TRUE(second.Start(m_folder));
    ASSERT_TRUE(second.process.waitForFinished(10000));
    EXPECT_EQ(second.process.exitCode(), 3);
    EXPECT_EQ(first.process.state(), QProcess::Running);

    // The first copy still answers: a SIGTERM closes it as its main window would.
    EXPECT_EQ(first.Stop(SIGTERM), 0);
    // With the first gone, a new copy may start.
    ProgramRun third;
    ASSERT_TRUE(third.Start(m_folder));
    ASSERT_TRUE(third.WaitForLog("Computer "));
    EXPECT_EQ(third.Stop(SIGINT), 0);
}

namespace {

// A recording that the program could not close (killed with SIGKILL, as a power cut
// would leave it) is rebuilt by the next start beside the untouched original, once.
class RecordingRecoveryTest : public ProgramTest {
protected:
    // Records an Event on the simulator and kills the program once the file holds a
    // second of frames. Returns the recording.
    QString KillDuringEventRecording()
    {
        const QDateTime now = QDateTime::currentDateTimeUtc();
        const QDateTime at = now.addSecs(8).addMSecs(-now.time().msec()); // records from +3 s to +13 s
        EXPECT_FALSE(WriteTestEvent(m_folder.FilePath(QStringLiteral("Events")), CalendarFromUtc(at), 0, 0, 10).isEmpty());
        ProgramRun p;
        EXPECT_TRUE(p.Start(m_folder, {QStringLiteral("--simulated-camera")}));
        EXPECT_TRUE(p.WaitForLog("Start recording at ")) << p.log.toStdString();
        const QDir videos(m_folder.FilePath(QStringLiteral("VideoFiles")));
        QString avi;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 20000 && p.process.state() == QProcess::Running) {
            const QStringList names = videos.entryList({QStringLiteral("*.avi")});
            if (!names.isEmpty() && CheckFile(avi = videos.filePath(names[0])).videoChunks >= 30)
                break;
            p.Read();
        }
        p.Stop(SIGKILL);
        return avi;
    }

    // Starts the program without a camera, stops it once it has started and returns
    // what it logged. fileSizeLimit > 0: a disk that is full once a file has that size.
    QByteArray StartAndStop(rlim_t fileSizeLimit = 0)
    {
        ProgramRun p;
        if (fileSizeLimit > 0) {
            p.process.setChildProcessModifier([fileSizeLimit] {
                const rlimit limit{fileSizeLimit, fileSizeLimit};
                ::setrlimit(RLIMIT_FSIZE, &limit);
                ::signal(SIGXFSZ, SIG_IGN); // the write fails instead of ending the program
            });
        }
        EXPECT_TRUE(p.Start(m_folder));
        EXPECT_TRUE(p.WaitForLog("Computer ")) << p.log.toStdString();
        p.Stop();
        EXPECT_EQ(p.process.state(), QProcess::NotRunning);
        return p.log;
    }

    void RecoverKilledRecording()
    {
        m_recording = KillDuringEventRecording();
        const QString original = m_recording;
        ASSERT_FALSE(original.isEmpty());
        const AviFileCheck killed = CheckFile(original);
        ASSERT_EQ(killed.verdict, AviFileVerdict::Interrupted);
        const VideoProbe scanned = ProbeVideo(original);
        EXPECT_EQ(scanned.headerFrames, -1); // readers that trust the header see nothing
        ASSERT_GE(scanned.frames, 30);
        const QByteArray originalHash = FileHash(original);
        const QDir videos = QFileInfo(original).dir();

        // A disk that fills while the copy is written: nothing is left behind and nothing
        // is taken for done. Files that are no recording are named and left alone.
        ASSERT_TRUE(QFile(videos.filePath(QStringLiteral("empty.avi"))).open(QIODevice::WriteOnly));
        QFile notes(videos.filePath(QStringLiteral("notes.avi")));
        ASSERT_TRUE(notes.open(QIODevice::WriteOnly) && notes.write("not a video\n") > 0);
        notes.close();
        const QStringList written = videos.entryList(QDir::Files);
        const QByteArray full = StartAndStop(static_cast<rlim_t>(killed.dataEnd / 2));
        for (const char* said : {"could not be recovered", "\"VideoFiles/empty.avi\" has no recording log and is empty",
                                 "\"VideoFiles/notes.avi\" has no recording log and is not an AVI file"})
            EXPECT_TRUE(full.contains(said)) << full.toStdString();
        EXPECT_EQ(videos.entryList(QDir::Files), written);

        const QByteArray log = StartAndStop();
        const QString recovered = original.chopped(4) + QStringLiteral("_recovered.avi");
        const VideoProbe probe = ProbeVideo(recovered);
        EXPECT_EQ(probe.frames, scanned.frames); // none lost
        EXPECT_EQ(probe.headerFrames, probe.frames);
        EXPECT_EQ(CheckFile(recovered).verdict, AviFileVerdict::Complete);
        EXPECT_EQ(FileHash(original), originalHash);
        EXPECT_TRUE(log.contains(
            QStringLiteral("Recovered %1 frames into \"VideoFiles/%2\"").arg(probe.frames).arg(QFileInfo(recovered).fileName()).toUtf8()))
            << log.toStdString();
        const QString recoveredLog = QString::fromLatin1(ReadFileBytes(RecordingLogFileName(recovered)));
        EXPECT_TRUE(recoveredLog.startsWith(
            QStringLiteral("Recording interrupted; recovered %1 frames\r\n").arg(probe.frames)))
            << recoveredLog.toStdString();
        EXPECT_EQ(RecordingLogCount(recoveredLog, "Number of recorded frames"), probe.frames);

        // The next start finds the recording done and touches nothing.
        const QStringList files = videos.entryList(QDir::Files);
        const QByteArray recoveredHash = FileHash(recovered);
        const QByteArray again = StartAndStop();
        EXPECT_FALSE(again.contains("interrupted")) << again.toStdString();
        EXPECT_EQ(videos.entryList(QDir::Files), files);
        EXPECT_EQ(FileHash(recovered), recoveredHash);
    }

    QString m_recording;
};

} // namespace

TEST_F(RecordingRecoveryTest, KilledRecordingIsRebuiltOnceBesideTheOriginal)
{
    RecoverKilledRecording();
}

TEST_F(RecordingRecoveryTest, KilledPreAllocatedRecordingLosesItsClaimedSpace)
{
    // Space for 20 GB per 10 minutes: far more than the second recorded here.
    QFile options(m_folder.FilePath(QStringLiteral("VELA_options.xml")));
    ASSERT_TRUE(options.open(QIODevice::WriteOnly));
    options.write("<?xml version=\"1.0\"?>\r\n<Root>\r\n\t<FilePreAllocation Value=\"TRUE\"/>\r\n"
                  "\t<EventAllocationGB Value=\"20\"/>\r\n</Root>\r\n");
    options.close();
    RecoverKilledRecording();
    // The claimed space was there after the frames, and is not in the rebuilt file.
    EXPECT_GT(QFileInfo(m_recording).size(), CheckFile(m_recording).dataEnd + (1 << 20));
}
