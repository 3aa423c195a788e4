// The whole program under a faked wall clock (libfaketime; the monotonic clock runs true,
// so timers and the camera keep their pace): an Event armed before a daylight-saving
// change starts recording at its UTC time after the change, in spring and in autumn.
#include "support/ProgramRun.h"
#include "support/TempDir.h"
#include "support/TestEvents.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

TEST(DaylightSaving, AnEventArmedBeforeTheChangeStartsAtItsUtcTime)
{
    ASSERT_TRUE(QFileInfo::exists(QStringLiteral(VELA_FAKETIME_LIBRARY)))
        << "libfaketime is not installed (scripts/install-deps.sh installs the faketime package)";
    // Clocks start 30 s before the change at 01:00 UTC; the Events lie at 01:01:00 UTC and
    // last 10 s, recording from 01:00:55. Both nights run at once.
    const QDate days[] = {QDate(2026, 3, 29), QDate(2026, 10, 25)};
    ProgramFolder folders[2];
    ProgramRun runs[2];
    for (int i = 0; i < 2; ++i) {
        ASSERT_FALSE(WriteTestEvent(folders[i].FilePath(QStringLiteral("Events")),
                                    CalendarFromUtc(QDateTime(days[i], QTime(1, 1), Qt::UTC)), 0, 0, 10)
                         .isEmpty());
        QProcessEnvironment& env = folders[i].env;
        env.insert(QStringLiteral("TZ"), QStringLiteral("Europe/Berlin"));
        env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(VELA_FAKETIME_LIBRARY));
        env.insert(QStringLiteral("FAKETIME_DONT_FAKE_MONOTONIC"), QStringLiteral("1"));
        // An offset, not a start time: libfaketime reads start times in the local zone.
        const qint64 offset = QDateTime(days[i], QTime(0, 59, 30), Qt::UTC).toSecsSinceEpoch()
                              - QDateTime::currentSecsSinceEpoch();
        env.insert(QStringLiteral("FAKETIME"), QStringLiteral("%1%2s").arg(offset < 0 ? "" : "+").arg(offset));
        ASSERT_TRUE(runs[i].Start(folders[i], {QStringLiteral("--simulated-camera")}));
    }
    const auto logFile = [&folders](int i) {
        const QDir videos(folders[i].FilePath(QStringLiteral("VideoFiles")));
        const QStringList logs = videos.entryList({QStringLiteral("*.log")});
        return logs.isEmpty() ? QString() : videos.filePath(logs.front());
    };
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(days[i].toString().toStdString());
        // Recording from 85 s after the start; one an hour late never comes.
        ASSERT_TRUE(runs[i].WaitForLog("Start recording at", 1, 100000)) << runs[i].log.constData();
        // A second copy gives way; a signal ends the first at once, with its recording
        // finished and logged (a terminal or a service manager cannot answer a question).
        ProgramRun second;
        ASSERT_TRUE(second.Start(folders[i]) && second.process.waitForFinished(10000));
        EXPECT_EQ(second.process.exitCode(), 3);
        EXPECT_EQ(runs[i].Stop(i == 0 ? SIGINT : SIGTERM), 0);
        ASSERT_FALSE(logFile(i).isEmpty()) << "no recording log; the program said:\n" << runs[i].log.constData();
        const QByteArray text = ReadFileBytes(logFile(i));
        // Half a second ahead of 01:00:55, plus at most one scheduler tick.
        EXPECT_TRUE(text.startsWith("Start recording at 01:00:54 (UTC)\r\n")
                    || text.startsWith("Start recording at 01:00:55 (UTC)\r\n"))
            << text.constData();
    }
}
