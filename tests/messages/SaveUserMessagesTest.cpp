#include "common/Clock.h"
#include "messages/SaveUserMessages.h"
#include "messages/UserMessageLog.h"
#include "options/AppOptions.h"
#include "recording/AppState.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

class SaveUserMessagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetAppClock(&m_clock);
        SetOptionDefaults();
        TheAppState().TimeZoneBiasMinutes = 0;
        Log().SetEchoToStderr(false);
        Log().Clear();
    }
    void TearDown() override
    {
        SetAppClock(nullptr);
        SetOptionDefaults();
        Log().SetEchoToStderr(true);
    }
    static UserMessageLog& Log() { return UserMessageLog::Instance(); }

    ManualClock m_clock{CalendarTime{2026, 3, 0, 15, 3, 4, 5, 789}};
    ScopedProcessDirectory m_dir;
};

} // namespace

TEST_F(SaveUserMessagesTest, SavedFileEndsEveryLineInOneCrLfAndKeepsLinesAfterWideCharacters)
{
    AppendUserMessage(QStringLiteral("Caf\u00e9 line\r\n"), true);
    AppendUserMessage(QStringLiteral("Folder \u0416\u0416 and \U0001F600 here\n"), false);
    AppendUserMessage(QStringLiteral("after the wide characters\r"), false);
    Options().LogfileNamePrefix = QStringLiteral("night");

    ASSERT_TRUE(SaveUserMessages(false));
    const QByteArray bytes = ReadFileBytes(m_dir.FilePath(QStringLiteral("LogFiles/night03_15_2026_03_04_05.log")));
    EXPECT_EQ(bytes, QByteArray("\r\n03:04:05 (UTC)\r\nCaf\xe9 line\r\n"
                                "\r\nFolder ?? and ? here\r\n"
                                "\r\nafter the wide characters\r\n"));
    // Not cleared: the confirmation follows the saved text.
    EXPECT_TRUE(Log().Text().endsWith(
        QStringLiteral("\n03:04:05 (UTC)\nUser messages saved in log file \"LogFiles/night03_15_2026_03_04_05.log\"\n")));
}

TEST_F(SaveUserMessagesTest, SaveAndClearLeavesOnlyTheStampedConfirmation)
{
    AppendUserMessage(QStringLiteral("something\r\n"), true);
    ASSERT_TRUE(SaveUserMessages(true));
    EXPECT_EQ(Log().Text(), QStringLiteral("\n03:04:05 (UTC)\nUser messages saved in log file "
                                           "\"LogFiles/03_15_2026_03_04_05.log\" and all messages cleared\n"));
}

TEST_F(SaveUserMessagesTest, UnwritableLogFolderKeepsTheViewAndSaysWhy)
{
    QFile blocker(m_dir.FilePath(QStringLiteral("notafolder")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Options().LogfileDirectory = QStringLiteral("notafolder/");
    AppendUserMessage(QStringLiteral("keep me\r\n"), true);
    const QString before = Log().Text();

    EXPECT_FALSE(SaveUserMessages(true));
    const QString after = Log().Text();
    EXPECT_TRUE(after.startsWith(before));
    EXPECT_TRUE(after.contains(QStringLiteral("could not be saved in log file \"notafolder/03_15_2026_03_04_05.log\"")));
}

TEST_F(SaveUserMessagesTest, DefaultLogFolderThatCannotBeMadeIsReported)
{
    QFile blocker(m_dir.FilePath(QStringLiteral("LogFiles")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    AppendUserMessage(QStringLiteral("keep me\r\n"), false);
    EXPECT_FALSE(SaveUserMessages(true));
    EXPECT_TRUE(Log().Text().startsWith(QStringLiteral("\nkeep me\n")));
}

TEST_F(SaveUserMessagesTest, AFullDiskKeepsTheMessagesAndSaysWhy)
{
    AppendUserMessage(QString(200, QLatin1Char('m')) + QStringLiteral("\r\n"), true);
    const QString before = Log().Text();
    bool saved = true;
    {
        ScopedFileSizeLimit full(64);
        saved = SaveUserMessages(true);
    }
    EXPECT_FALSE(saved);
    const QString after = Log().Text();
    EXPECT_TRUE(after.startsWith(before)); // not cleared
    EXPECT_TRUE(after.contains(QStringLiteral("could not be saved in log file \"LogFiles/03_15_2026_03_04_05.log\"")));
    EXPECT_FALSE(QFile::exists(m_dir.FilePath(QStringLiteral("LogFiles/03_15_2026_03_04_05.log"))));
}
