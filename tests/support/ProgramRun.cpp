#include "support/ProgramRun.h"

#include <QElapsedTimer>

ProgramFolder::ProgramFolder()
    : env(QProcessEnvironment::systemEnvironment())
{
    env.insert(QStringLiteral("TMPDIR"), tmp.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
}

void ProgramFolder::NoDisplay()
{
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QLatin1String(name));
}

ProgramRun::~ProgramRun()
{
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(10000);
    }
}

bool ProgramRun::Start(const ProgramFolder& folder, const QStringList& args, const QString& workingDirectory)
{
    log.clear();
    process.setProcessEnvironment(folder.env);
    process.setWorkingDirectory(workingDirectory.isEmpty() ? folder.cwd.path() : workingDirectory);
    process.start(QStringLiteral(VELA_VIDEO_BINARY), args);
    return process.waitForStarted(10000);
}

void ProgramRun::Read(int ms)
{
    process.waitForReadyRead(ms);
    Collect();
}

void ProgramRun::Collect()
{
    log += process.readAllStandardError();
    log += process.readAllStandardOutput();
}

bool ProgramRun::WaitForLog(const QByteArray& text, int times, int ms)
{
    QElapsedTimer t;
    t.start();
    while (log.count(text) < times && t.elapsed() < ms && process.state() == QProcess::Running)
        Read();
    Collect();
    return log.count(text) >= times;
}

int ProgramRun::Stop(int signal)
{
    if (process.state() == QProcess::Running)
        ::kill(static_cast<pid_t>(process.processId()), signal);
    const bool ended = process.waitForFinished(20000);
    Collect();
    return ended && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}
