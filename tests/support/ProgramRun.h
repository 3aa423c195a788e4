#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <csignal>

// A folder to run the whole program in, with a private temporary folder so that its
// single-instance lock meets no other copy on this machine.
struct ProgramFolder {
    ProgramFolder();
    QString FilePath(const QString& name) const { return cwd.filePath(name); }

    QTemporaryDir tmp, cwd;
    QProcessEnvironment env; // offscreen, with the private temporary folder
};

// vela-video started in a folder; what it writes to standard error collects in log.
class ProgramRun {
public:
    ProgramRun() = default;
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // workingDirectory: the folder's own when empty.
    bool Start(const ProgramFolder& folder, const QStringList& args = {}, const QString& workingDirectory = {});
    void Read(int ms = 100); // what standard error holds, waiting up to ms for more
    // Reads until text has appeared `times` times, the program ended or ms passed; true when it appeared.
    bool WaitForLog(const QByteArray& text, int times = 1, int ms = 40000);
    // Signals and waits for the end; the exit code, -1 when the program did not end or crashed.
    int Stop(int signal = SIGTERM);

    QProcess process;
    QByteArray log;
};
