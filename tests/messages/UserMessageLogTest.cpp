#include "common/Clock.h"
#include "messages/UserMessageLog.h"
#include "messages/ui/UserMessagesWindow.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextCursor>
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
    m_clock.Advance(std::chrono::milliseconds(800)); // same second
    AppendUserMessage(QStringLiteral("second\r\n"), true);
    AppendUserMessage(QString(), false);
    AppendUserMessage(QStringLiteral("bare LF\nand CR\rend"), false);
    EXPECT_EQ(Log().Text(), QStringLiteral("\n23:59:58 (UTC)\nfirst\n"
                                           "\n23:59:58 (UTC)\nsecond\n"
                                           "\n"
                                           "\nbare LF\nand CR\nend"));
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

TEST_F(UserMessageLogTest, ViewAppendsAtTheEndWhateverTheSelection)
{
    UserMessagesWindow window;
    ASSERT_TRUE(window.CreateView());
    AppendUserMessage(QStringLiteral("one\r\n"), false);
    AppendUserMessage(QStringLiteral("two\r\n"), false);
    QCoreApplication::processEvents();
    QPlainTextEdit* view = window.View();
    EXPECT_EQ(view->toPlainText(), QStringLiteral("\none\n\ntwo\n"));

    QTextCursor c(view->document());
    c.setPosition(2);
    c.setPosition(4, QTextCursor::KeepAnchor); // "ne" of "one" selected
    view->setTextCursor(c);
    AppendUserMessage(QStringLiteral("three\r\n"), false);
    QCoreApplication::processEvents();
    EXPECT_EQ(view->toPlainText(), QStringLiteral("\none\n\ntwo\n\nthree\n"));

    Log().Clear();
    EXPECT_TRUE(view->toPlainText().isEmpty());
}
