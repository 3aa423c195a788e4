#include "common/Clock.h"
#include "messages/UserMessageLog.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

class UserMessageLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetAppClock(&m_clock);
        Log().SetEchoToStderr(false);
        Log().Clear();
    }
    void TearDown() override
    {
        SetAppClock(nullptr);
        Log().SetEchoToStderr(true);
    }
    static UserMessageLog& Log() { return UserMessageLog::Instance(); }

    ManualClock m_clock{CalendarTime{2026, 12, 0, 6, 23, 59, 58, 100}};
};

} // namespace

TEST_F(UserMessageLogTest, EntriesAreALineBreakAnOptionalStampAndTheText)
{
    AppendUserMessage(QStringLiteral("first\r\n"), true);
    m_clock.Advance(800 * kTicksPerMillisecond); // same second
    AppendUserMessage(QStringLiteral("second\r\n"), true);
    AppendUserMessage(QString(), false);
    AppendUserMessage(QStringLiteral("bare LF\nand CR\rend"), false);
    EXPECT_EQ(Log().Text(), QStringLiteral("\n23:59:58 (UTC)\nfirst\n"
                                           "\n23:59:58 (UTC)\nsecond\n"
                                           "\n"
                                           "\nbare LF\nand CR\nend"));
}

TEST_F(UserMessageLogTest, LongTextIsSplitIntoEntriesThatReadBackWhole)
{
    QString text;
    for (int i = 0; i < 300; ++i)
        text += QStringLiteral("%1 ").arg(i, 4, 10, QLatin1Char('0'));
    text += QStringLiteral("\r\n");
    // Put a CR LF pair right on the first cut, and a surrogate pair on the second.
    text.insert(UserMessageLog::kEntryCapacity - 2 - 16 - 1, QStringLiteral("\r\n"));
    text.insert(UserMessageLog::kEntryCapacity - 2 - 16 + UserMessageLog::kEntryCapacity - 1, QString::fromUtf8("\xF0\x9F\x98\x80"));

    QStringList pieces;
    QObject::connect(&Log(), &UserMessageLog::EntriesAppended, &Log(), [&](const QString& p) { pieces << p; });
    AppendUserMessage(text, true);
    EXPECT_EQ(Log().Text(), QStringLiteral("\n23:59:58 (UTC)\n") + ToParagraphs(text));
    QObject::disconnect(&Log(), &UserMessageLog::EntriesAppended, &Log(), nullptr);
    EXPECT_FALSE(Log().Text().contains(QStringLiteral("\n\n\n")));
}

TEST_F(UserMessageLogTest, FourThreadsAppendWhileTheUiThreadIsBlocked)
{
    constexpr int kThreads = 4;
    constexpr int kPerThread = 2500;
    std::atomic<long long> slowestNs{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &slowestNs] {
            for (int i = 0; i < kPerThread; ++i) {
                const auto start = std::chrono::steady_clock::now();
                AppendUserMessage(QStringLiteral("thread %1 entry %2 ").arg(t).arg(i) + QString(40, QLatin1Char('x'))
                                      + QStringLiteral("\r\n"),
                                  i % 2 == 0);
                const long long ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                         std::chrono::steady_clock::now() - start)
                                         .count();
                long long prev = slowestNs.load();
                while (ns > prev && !slowestNs.compare_exchange_weak(prev, ns)) {
                }
            }
        });
    }
    // The UI thread runs no events until every writer has finished: a writer that
    // waited for it would never finish.
    for (std::thread& th : threads)
        th.join();

    QCoreApplication::processEvents();
    const QString text = Log().Text();
    const QStringList entries = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QRegularExpression entry(QStringLiteral("^thread (\\d) entry (\\d+) x{40}$"));
    const QRegularExpression stamp(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d \\(UTC\\)$"));
    std::vector<std::vector<int>> seen(kThreads);
    for (const QString& line : entries) {
        if (stamp.match(line).hasMatch())
            continue;
        const auto m = entry.match(line);
        ASSERT_TRUE(m.hasMatch()) << line.toStdString();
        seen[static_cast<std::size_t>(m.captured(1).toInt())].push_back(m.captured(2).toInt());
    }
    for (int t = 0; t < kThreads; ++t) {
        ASSERT_EQ(seen[static_cast<std::size_t>(t)].size(), static_cast<std::size_t>(kPerThread));
        for (int i = 0; i < kPerThread; ++i)
            ASSERT_EQ(seen[static_cast<std::size_t>(t)][static_cast<std::size_t>(i)], i); // in each thread's order
    }
    // A generous bound: it only catches a caller that waits for the event loop.
    EXPECT_LT(slowestNs.load(), 2'000'000'000LL);
}
