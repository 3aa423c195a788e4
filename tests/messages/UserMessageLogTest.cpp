#include "messages/UserMessageLog.h"

#include "common/Clock.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QRegularExpression>
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
    constexpr int kThreads = 4, kPerThread = 2500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t, &log] {
            for (int i = 0; i < kPerThread; ++i)
                log.Append(QStringLiteral("thread %1 entry %2 %3\r\n").arg(t).arg(i).arg(QString(40, u'x')), i % 2 == 0);
        });
    for (std::thread& th : threads)
        th.join();

    QCoreApplication::processEvents();
    const QRegularExpression entry(QStringLiteral("^thread (\\d) entry (\\d+) x{40}$"));
    const QRegularExpression stamp(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d \\(UTC\\)$"));
    std::vector<int> next(kThreads, 0);
    for (const QString& line : log.Text().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (stamp.match(line).hasMatch())
            continue;
        const auto m = entry.match(line);
        ASSERT_TRUE(m.hasMatch()) << line.toStdString();
        ASSERT_EQ(m.captured(2).toInt(), next[static_cast<std::size_t>(m.captured(1).toInt())]++); // in each thread's order
    }
    EXPECT_EQ(next, std::vector<int>(kThreads, kPerThread));
}
