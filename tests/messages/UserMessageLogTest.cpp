#include "messages/UserMessageLog.h"

#include "common/Clock.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(UserMessageLog, EntriesAreALineBreakAnOptionalStampAndTheText)
{
    ManualClock clock(CalendarTime{2026, 12, 0, 6, 23, 59, 58, 100});
    UserMessageLog log(clock);
    log.SetEchoToStderr(false);
    log.Append(QStringLiteral("first\r\n"), true);
    clock.Advance(std::chrono::milliseconds(800)); // same second
    log.Append(QStringLiteral("second\r\n"), true);
    log.Append(QString(), false);
    log.Append(QStringLiteral("bare LF\nand CR\rend"), false);
    log.Report("caf\xe9\r\n", false); // the frame analysis writes ISO 8859-1
    EXPECT_EQ(log.Text(), QStringLiteral("\n23:59:58 (UTC)\nfirst\n\n23:59:58 (UTC)\nsecond\n\n\nbare LF\nand CR\nend"
                                         "\ncaf\u00e9\n"));
}

// The UI thread runs no events until every writer has finished: a writer that waited for
// it would never finish.
TEST(UserMessageLog, FourThreadsAppendWhileTheUiThreadIsBlocked)
{
    const ManualClock clock;
    UserMessageLog log(clock);
    log.SetEchoToStderr(false);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t, &log] {
            for (int i = 0; i < 2500; ++i)
                log.Append(QStringLiteral("%1 %2\r\n").arg(t).arg(i), false);
        });
    for (std::thread& th : threads)
        th.join();
    QCoreApplication::processEvents();
    std::vector<int> next(4, 0);
    for (const QString& line : log.Text().split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        ASSERT_EQ(line.section(u' ', 1).toInt(), next[line.section(u' ', 0, 0).toUInt()]++) << "in each thread's order";
    EXPECT_EQ(next, std::vector<int>(4, 2500));
}
