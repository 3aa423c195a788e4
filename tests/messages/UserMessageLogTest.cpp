// The User Messages log: its entries, the numbered messages reported into it, and saving it.
#include "messages/MessageTables.h"
#include "messages/SaveUserMessages.h"
#include "messages/UserMessageLog.h"

#include "options/AppOptions.h"
#include "support/FileSizeLimit.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QFile>
#include <gtest/gtest.h>

#include <optional>
#include <thread>
#include <vector>

TEST(UserMessageLog, EntriesAreALineBreakAnOptionalStampAndTheText)
{
    ScopedLogAndClock s(CalendarTime{2026, 12, 0, 6, 23, 59, 58, 100});
    UserMessageLog& log = s.Log();
    log.Append(QStringLiteral("first\r\n"), true);
    s.Clock().Advance(std::chrono::milliseconds(800)); // same second
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
    ScopedLogAndClock s(CalendarTime{});
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t, &s] {
            for (int i = 0; i < 2500; ++i)
                s.Log().Append(QStringLiteral("%1 %2\r\n").arg(t).arg(i), false);
        });
    for (std::thread& th : threads)
        th.join();
    QCoreApplication::processEvents();
    std::vector<int> next(4, 0);
    for (const QString& line : s.Messages().split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        ASSERT_EQ(line.section(u' ', 1).toInt(), next[line.section(u' ', 0, 0).toUInt()]++) << "in each thread's order";
    EXPECT_EQ(next, std::vector<int>(4, 2500));
}

TEST(ReportMessage, FatalGoesToTheBoxOthersAreStampedWithSeverityAndCodeOutOfRangeNothing)
{
    ScopedLogAndClock s(CalendarTime{2026, 3, 0, 15, 14, 3, 27, 0});
    UserMessageLog& log = s.Log();
    QStringList boxes;
    log.SetFatalHandler([&boxes](const QString& line) { boxes << line; });
    ReportAppMessage(log, 1);
    ReportGraphMessage(log, 29);
    ReportGraphMessage(log, 4);
    for (int outOfRange : {0, 18})
        ReportAppMessage(log, outOfRange);
    for (int outOfRange : {0, 41})
        ReportGraphMessage(log, outOfRange);
    EXPECT_EQ(boxes, QStringList{QStringLiteral("FATAL ERROR: Cannot create main window,  error 1\r\n")});
    EXPECT_EQ(log.Text(), QStringLiteral("\n14:03:27 (UTC)\nWARNING: Character recognition sets are missing from install "
                                         "directory,  warning 1029\n"
                                         "\n14:03:27 (UTC)\nERROR: Cannot render video stream,  error 1004\n"));
}

TEST(ComposeNumberedMessage, SeverityWordsAndSuffixesAndEveryEntryFitsTheLineBuffer)
{
    const std::tuple<int, int, const char*> cases[] = {
        {2, 2, "WARNING: x,  warning 2\r\n"}, {3, 3, "NOTE: x,  note 3\r\n"}, {3, 7, "NOTE: x,  note 3\r\n"},
        {1, 0, "FATAL ERROR: x,  error 1\r\n"}, {1004, 1, "ERROR: x,  error 1004\r\n"}};
    for (const auto& [code, severity, text] : cases)
        EXPECT_EQ(ComposeNumberedMessage(QStringLiteral("x"), code, severity), QLatin1String(text));
    // The shared line buffer holds 256 units: a longer text is cut, its line end kept.
    const QString composed = ComposeNumberedMessage(QString(400, QLatin1Char('a')), 1, 1);
    EXPECT_EQ(composed.size(), 255);
    EXPECT_TRUE(composed.endsWith(QStringLiteral("\r\n")));
    for (int n = 1; n <= kAppMessageCount; ++n)
        EXPECT_LT(ComposeNumberedMessage(QString::fromLatin1(AppMessage(n)->text), n, 1).size(), 128 + 32) << n;
    for (int i = 1; i <= kGraphMessageCount; ++i)
        EXPECT_LE(qstrlen(GraphMessage(i)->text), 127u) << i;
}

namespace {

class SaveUserMessagesTest : public ::testing::Test {
protected:
    bool Save(bool clear) { return SaveUserMessages(m_log.Log(), m_options, m_log.Clock(), clear); }

    ScopedLogAndClock m_log{CalendarTime{2026, 3, 0, 15, 3, 4, 5, 789}};
    AppOptions m_options;
    ScopedProcessDirectory m_dir;
};

} // namespace

TEST_F(SaveUserMessagesTest, SavedFileEndsEveryLineInOneCrLfAndKeepsLinesAfterWideCharacters)
{
    m_log.Log().Append(QStringLiteral("Caf\u00e9 line\r\n"), true);
    m_log.Log().Append(QStringLiteral("Folder \u0416\u0416 and \U0001F600 here\n"), false);
    m_log.Log().Append(QStringLiteral("after the wide characters\r"), false);
    m_options.LogfileNamePrefix = QStringLiteral("night");
    ASSERT_TRUE(Save(false));
    EXPECT_EQ(ReadFileBytes(m_dir.FilePath(QStringLiteral("LogFiles/night03_15_2026_03_04_05.log"))),
              QByteArray("\r\n03:04:05 (UTC)\r\nCaf\xe9 line\r\n\r\nFolder ?? and ? here\r\n\r\nafter the wide characters\r\n"));
    // Not cleared: the confirmation follows the saved text.
    EXPECT_TRUE(m_log.Messages().endsWith(
        QStringLiteral("\n03:04:05 (UTC)\nUser messages saved in log file \"LogFiles/night03_15_2026_03_04_05.log\"\n")));

    m_options.LogfileNamePrefix.clear();
    ASSERT_TRUE(Save(true));
    EXPECT_EQ(m_log.Messages(), QStringLiteral("\n03:04:05 (UTC)\nUser messages saved in log file "
                                               "\"LogFiles/03_15_2026_03_04_05.log\" and all messages cleared\n"));
}

// A file where the chosen or default folder should be, or a full disk: the messages stay.
TEST_F(SaveUserMessagesTest, AFailedSaveKeepsTheMessagesAndSaysWhy)
{
    const std::tuple<const char*, const char*, std::optional<rlim_t>> cases[] = {
        {"notafolder", "notafolder/", {}}, {"LogFiles", "", {}}, {nullptr, "", 64}};
    for (const auto& [blocker, folder, sizeLimit] : cases) {
        SCOPED_TRACE(folder);
        if (blocker)
            ASSERT_TRUE(QFile(m_dir.FilePath(QLatin1String(blocker))).open(QIODevice::WriteOnly));
        else
            QFile::remove(m_dir.FilePath(QStringLiteral("LogFiles")));
        m_options.LogfileDirectory = QLatin1String(folder);
        m_log.ClearMessages();
        m_log.Log().Append(QString(200, QLatin1Char('m')) + QStringLiteral("\r\n"), true);
        const QString before = m_log.Messages();
        {
            std::optional<ScopedFileSizeLimit> full;
            if (sizeLimit)
                full.emplace(*sizeLimit);
            EXPECT_FALSE(Save(true));
        }
        const QString name = QLatin1String(*folder ? folder : "LogFiles/") + QStringLiteral("03_15_2026_03_04_05.log");
        EXPECT_TRUE(m_log.Messages().startsWith(before)); // not cleared
        // A plain file named like the default folder is no folder: nothing is written into it.
        const QString said = blocker && !*folder ? QStringLiteral("(UTC)\n\nUnable to create \"LogFiles\" directory")
                                                 : QStringLiteral("could not be saved in log file \"%1\"").arg(name);
        EXPECT_TRUE(m_log.Messages().contains(said)) << m_log.Messages().toStdString();
        EXPECT_FALSE(QFile::exists(m_dir.FilePath(name)));
    }
}
