#include "messages/UserMessageLog.h"
#include "support/LogCapture.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

class UserMessageLogTest : public ::testing::Test {
protected:
    static UserMessageLog& Log() { return UserMessageLog::Instance(); }

    ScopedLogAndClock m_log{CalendarTime{2026, 12, 0, 6, 23, 59, 58, 100}};
};

} // namespace

TEST_F(UserMessageLogTest, EntriesAreALineBreakAnOptionalStampAndTheText)
{
    AppendUserMessage(QStringLiteral("first\r\n"), true);
    m_log.Clock().Advance(800 * kTicksPerMillisecond); // same second
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
    AppendUserMessage(text, true);
    EXPECT_EQ(Log().Text(), QStringLiteral("\n23:59:58 (UTC)\n") + ToParagraphs(text));
    EXPECT_FALSE(Log().Text().contains(QStringLiteral("\n\n\n")));
}

// The UI thread runs no events until every writer has finished: a writer that waited for
// it would never finish.
TEST_F(UserMessageLogTest, FourThreadsAppendWhileTheUiThreadIsBlocked)
{
    constexpr int kThreads = 4, kPerThread = 2500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < kPerThread; ++i)
                AppendUserMessage(QStringLiteral("thread %1 entry %2 %3\r\n").arg(t).arg(i).arg(QString(40, u'x')), i % 2 == 0);
        });
    for (std::thread& th : threads)
        th.join();

    QCoreApplication::processEvents();
    const QRegularExpression entry(QStringLiteral("^thread (\\d) entry (\\d+) x{40}$"));
    const QRegularExpression stamp(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d \\(UTC\\)$"));
    std::vector<int> next(kThreads, 0);
    for (const QString& line : Log().Text().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (stamp.match(line).hasMatch())
            continue;
        const auto m = entry.match(line);
        ASSERT_TRUE(m.hasMatch()) << line.toStdString();
        ASSERT_EQ(m.captured(2).toInt(), next[static_cast<std::size_t>(m.captured(1).toInt())]++); // in each thread's order
    }
    EXPECT_EQ(next, std::vector<int>(kThreads, kPerThread));
}
