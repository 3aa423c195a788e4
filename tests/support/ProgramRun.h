#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <csignal>

// A folder to run the program in; a private temporary folder keeps its lock from other copies.
struct ProgramFolder {
    ProgramFolder();
    QString FilePath(const QString& name) const { return cwd.filePath(name); }
    // No display server and no platform to draw offscreen on, as on a station.
    void NoDisplay();

    QTemporaryDir tmp, cwd;
    QProcessEnvironment env;
};

// vela-video started in a folder; its standard error and output collect in log.
class ProgramRun {
public:
    ProgramRun() = default;
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool Start(const ProgramFolder& folder, const QStringList& args = {}, const QString& workingDirectory = {});
    void Read(int ms = 100);
    // Reads until text has appeared `times` times, the program ended or ms passed.
    bool WaitForLog(const QByteArray& text, int times = 1, int ms = 40000);
    // The exit code after the signal, -1 when the program did not end or crashed.
    int Stop(int signal = SIGTERM);

    QProcess process;
    QByteArray log;

private:
    void Collect();
};
