// The whole program as a user starts it: command line, single instance, stopping by
// signal, and the recovery of a recording it was killed in.
#include "recording/AviFileCheck.h"
#include "recording/RecordingLog.h"
#include "support/QtPrinters.h"
#include "support/Recordings.h"
#include "support/TempDir.h"
#include "support/TestEvents.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        ASSERT_TRUE(m_cwd.isValid());
        // A private temporary folder keeps the single-instance lock away from any
        // other copy on this machine.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), m_tmp.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_env = env;
    }

    void Start(QProcess& p, const QStringList& args = {})
    {
        p.setProcessEnvironment(m_env);
        p.setWorkingDirectory(m_cwd.path());
        p.start(QStringLiteral(VELA_VIDEO_BINARY), args);
        ASSERT_TRUE(p.waitForStarted(10000));
    }

    // Waits until the program has logged the given text to standard error.
    static bool WaitForLog(QProcess& p, QByteArray& seen, const QByteArray& text, int ms = 20000)
    {
        QElapsedTimer t;
        t.start();
        while (!seen.contains(text) && t.elapsed() < ms) {
            p.waitForReadyRead(200);
            seen += p.readAllStandardError();
            if (p.state() == QProcess::NotRunning)
                break;
        }
        return seen.contains(text);
    }

    QTemporaryDir m_tmp;
    QTemporaryDir m_cwd;
    QProcessEnvironment m_env;
};

} // namespace

TEST_F(ProgramTest, CommandLineOptions)
{
    QProcess p;
    Start(p, {QStringLiteral("--version")});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(p.readAllStandardOutput(), QByteArray("VELA Video Application Version 1.1\n"));

    Start(p, {QStringLiteral("--help")});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardOutput().contains("--simulated-camera"));

    Start(p, {QStringLiteral("--simulated-camera"), QStringLiteral("--record-everything")});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 2);
    const QByteArray err = p.readAllStandardError();
    EXPECT_TRUE(err.contains("--record-everything"));
    EXPECT_TRUE(err.contains("Usage: vela-video"));
}

TEST_F(ProgramTest, RefusesToStartFromAFolderLongerThanItsPathsHold)
{
    // 3 × 200 characters below the temporary folder: far beyond the 511 the program holds.
    const QString deep = m_cwd.path() + QStringLiteral("/%1/%1/%1").arg(QString(200, QLatin1Char('d')));
    ASSERT_TRUE(QDir().mkpath(deep));
    QProcess p;
    p.setProcessEnvironment(m_env);
    p.setWorkingDirectory(deep);
    p.start(QStringLiteral(VELA_VIDEO_BINARY), {QStringLiteral("--simulated-camera")});
    ASSERT_TRUE(p.waitForStarted(10000));
    const bool ended = p.waitForFinished(10000);
    if (!ended) {
        p.kill();
        p.waitForFinished(10000);
    }
    ASSERT_TRUE(ended) << "the program started in a folder it cannot hold";
    EXPECT_EQ(p.exitCode(), 3);
    EXPECT_TRUE(p.readAllStandardError().contains("start it from a folder with a shorter path"));
    // Before anything was written: no options, no lock file.
    EXPECT_TRUE(QDir(deep).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    EXPECT_TRUE(QDir(m_tmp.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

TEST_F(ProgramTest, SecondCopyExitsAtOnceAndTheFirstStopsOnSigterm)
{
    QProcess first;
    Start(first);
    QByteArray log;
    ASSERT_TRUE(WaitForLog(first, log, "Computer ")) << log.toStdString();

    QProcess second;
    Start(second);
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 3);
    EXPECT_EQ(first.state(), QProcess::Running);

    // The first copy still answers: a SIGTERM closes it as its main window would.
    ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
    ASSERT_TRUE(first.waitForFinished(20000));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);

    // With the first gone, a new copy may start.
    QProcess third;
    Start(third);
    QByteArray log3;
    ASSERT_TRUE(WaitForLog(third, log3, "Computer "));
    ::kill(static_cast<pid_t>(third.processId()), SIGINT);
    ASSERT_TRUE(third.waitForFinished(20000));
    EXPECT_EQ(third.exitCode(), 0);
}

namespace {

AviFileCheck CheckFile(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    const AviFileCheck check = CheckAviFile(fd);
    if (fd >= 0)
        ::close(fd);
    return check;
}

QByteArray FileHash(const QString& path)
{
    QFile f(path);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    return f.open(QIODevice::ReadOnly) && hash.addData(&f) ? hash.result() : QByteArray();
}

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
        EXPECT_FALSE(WriteTestEvent(m_cwd.filePath(QStringLiteral("Events")), CalendarFromUtc(at), 0, 0, 10).isEmpty());
        QProcess p;
        Start(p, {QStringLiteral("--simulated-camera")});
        QByteArray log;
        EXPECT_TRUE(WaitForLog(p, log, "Start recording at ", 30000)) << log.toStdString();
        const QDir videos(m_cwd.filePath(QStringLiteral("VideoFiles")));
        QString avi;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 20000 && p.state() == QProcess::Running) {
            const QStringList names = videos.entryList({QStringLiteral("*.avi")});
            if (!names.isEmpty() && CheckFile(avi = videos.filePath(names[0])).videoChunks >= 30)
                break;
            p.waitForFinished(100);
        }
        ::kill(static_cast<pid_t>(p.processId()), SIGKILL);
        EXPECT_TRUE(p.waitForFinished(10000));
        return avi;
    }

    // Starts the program without a camera, stops it once it has started and returns
    // what it logged. fileSizeLimit > 0: a disk that is full once a file has that size.
    QByteArray StartAndStop(rlim_t fileSizeLimit = 0)
    {
        QProcess p;
        if (fileSizeLimit > 0) {
            p.setChildProcessModifier([fileSizeLimit] {
                const rlimit limit{fileSizeLimit, fileSizeLimit};
                ::setrlimit(RLIMIT_FSIZE, &limit);
                ::signal(SIGXFSZ, SIG_IGN); // the write fails instead of ending the program
            });
        }
        Start(p);
        QByteArray log;
        EXPECT_TRUE(WaitForLog(p, log, "Computer ")) << log.toStdString();
        ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
        EXPECT_TRUE(p.waitForFinished(20000));
        return log + p.readAllStandardError();
    }

    void RecoverKilledRecording()
    {
        m_recording = KillDuringEventRecording();
        const QString& original = m_recording;
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
        EXPECT_TRUE(full.contains("could not be recovered")) << full.toStdString();
        EXPECT_TRUE(full.contains("\"VideoFiles/empty.avi\" has no recording log and is empty"));
        EXPECT_TRUE(full.contains("\"VideoFiles/notes.avi\" has no recording log and is not an AVI file"));
        EXPECT_EQ(videos.entryList(QDir::Files), written);

        const QByteArray log = StartAndStop();
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
    QFile options(m_cwd.filePath(QStringLiteral("VELA_options.xml")));
    ASSERT_TRUE(options.open(QIODevice::WriteOnly));
    options.write("<?xml version=\"1.0\"?>\r\n<Root>\r\n\t<FilePreAllocation Value=\"TRUE\"/>\r\n"
                  "\t<EventAllocationGB Value=\"20\"/>\r\n</Root>\r\n");
    options.close();
    RecoverKilledRecording();
    // The claimed space was there after the frames, and is not in the rebuilt file.
    EXPECT_GT(QFileInfo(m_recording).size(), CheckFile(m_recording).dataEnd + (1 << 20));
}
