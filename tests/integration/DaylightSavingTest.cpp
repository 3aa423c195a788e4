// The whole program under a faked wall clock (libfaketime; the monotonic clock runs
// true, so timers and the camera keep their pace): an Event armed before a daylight-saving
// change starts recording at its UTC time after the change, in spring and in autumn.
#include "support/ProgramRun.h"
#include "support/TempDir.h"
#include "support/TestEvents.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

struct Station {
    const char* name;
    QDateTime clockStart; // UTC, 30 s before the change at 01:00 UTC
    CalendarTime event;   // 01:01:00 UTC, lasting 10 s: recording from 01:00:55
    ProgramFolder folder;
    ProgramRun run;

    QString LogFile() const
    {
        const QDir videos(folder.FilePath(QStringLiteral("VideoFiles")));
        const QStringList logs = videos.entryList({QStringLiteral("*.log")});
        return logs.isEmpty() ? QString() : videos.filePath(logs.front());
    }
};

} // namespace

TEST(DaylightSaving, AnEventArmedBeforeTheChangeStartsAtItsUtcTime)
{
    ASSERT_TRUE(QFileInfo::exists(QStringLiteral(VELA_FAKETIME_LIBRARY)))
        << "libfaketime is not installed (scripts/install-deps.sh installs the faketime package)";
    Station stations[] = {
        {"spring (CET to CEST)", QDateTime(QDate(2026, 3, 29), QTime(0, 59, 30), Qt::UTC), {2026, 3, 0, 29, 1, 1, 0, 0}, {}, {}},
        {"autumn (CEST to CET)", QDateTime(QDate(2026, 10, 25), QTime(0, 59, 30), Qt::UTC), {2026, 10, 0, 25, 1, 1, 0, 0}, {}, {}},
    };
    // Both run at once: their nights pass in the same minute and a half.
    for (Station& s : stations) {
        ASSERT_FALSE(WriteTestEvent(s.folder.FilePath(QStringLiteral("Events")), s.event, 0, 0, 10).isEmpty());
        s.folder.env.insert(QStringLiteral("TZ"), QStringLiteral("Europe/Berlin"));
        s.folder.env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(VELA_FAKETIME_LIBRARY));
        s.folder.env.insert(QStringLiteral("FAKETIME_DONT_FAKE_MONOTONIC"), QStringLiteral("1"));
        // An offset, not a start time: libfaketime reads start times in the local zone.
        const qint64 offset = s.clockStart.toSecsSinceEpoch() - QDateTime::currentSecsSinceEpoch();
        s.folder.env.insert(QStringLiteral("FAKETIME"), QStringLiteral("%1%2s").arg(offset < 0 ? "" : "+").arg(offset));
        ASSERT_TRUE(s.run.Start(s.folder, {QStringLiteral("--simulated-camera")}));
    }

    // The recordings end at 01:01:05.45 UTC, 96 s after the start; a recording an hour
    // late never comes.
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 110000 && (stations[0].LogFile().isEmpty() || stations[1].LogFile().isEmpty()))
        for (Station& s : stations)
            s.run.Read();
    for (Station& s : stations) {
        SCOPED_TRACE(s.name);
        s.run.Stop();
        EXPECT_EQ(s.run.process.state(), QProcess::NotRunning);
        const QString log = s.LogFile();
        ASSERT_FALSE(log.isEmpty()) << "no recording; the program said:\n" << s.run.log.constData();
        const QByteArray text = ReadFileBytes(log);
        // The start is half a second ahead of 01:00:55, plus at most one scheduler tick.
        EXPECT_TRUE(text.startsWith("Start recording at 01:00:54 (UTC)\r\n")
                    || text.startsWith("Start recording at 01:00:55 (UTC)\r\n"))
            << text.constData();
    }
}
