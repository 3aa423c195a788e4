// The whole program as a user starts it: command line, single instance, stopping by signal.
#include "support/TempDir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <csignal>

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
