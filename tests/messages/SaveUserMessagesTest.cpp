#include "messages/SaveUserMessages.h"

#include "common/Clock.h"
#include "messages/UserMessageLog.h"
#include "options/AppOptions.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>
#include <optional>

namespace {

class SaveUserMessagesTest : public ::testing::Test {
protected:
    SaveUserMessagesTest()
    {
        SetOptionDefaults(m_options);
        m_log.SetEchoToStderr(false);
    }
    bool Save(bool clear) { return SaveUserMessages(m_log, m_options, m_clock, clear); }

    const ManualClock m_clock{CalendarTime{2026, 3, 0, 15, 3, 4, 5, 789}};
    UserMessageLog m_log{m_clock};
    AppOptions m_options;
    ScopedProcessDirectory m_dir;
};

} // namespace

TEST_F(SaveUserMessagesTest, SavedFileEndsEveryLineInOneCrLfAndKeepsLinesAfterWideCharacters)
{
    m_log.Append(QStringLiteral("Caf\u00e9 line\r\n"), true);
    m_log.Append(QStringLiteral("Folder \u0416\u0416 and \U0001F600 here\n"), false);
    m_log.Append(QStringLiteral("after the wide characters\r"), false);
    m_options.LogfileNamePrefix = QStringLiteral("night");
    ASSERT_TRUE(Save(false));
    EXPECT_EQ(ReadFileBytes(m_dir.FilePath(QStringLiteral("LogFiles/night03_15_2026_03_04_05.log"))),
              QByteArray("\r\n03:04:05 (UTC)\r\nCaf\xe9 line\r\n\r\nFolder ?? and ? here\r\n\r\nafter the wide characters\r\n"));
    // Not cleared: the confirmation follows the saved text.
    EXPECT_TRUE(m_log.Text().endsWith(
        QStringLiteral("\n03:04:05 (UTC)\nUser messages saved in log file \"LogFiles/night03_15_2026_03_04_05.log\"\n")));

    m_options.LogfileNamePrefix.clear();
    ASSERT_TRUE(Save(true));
    EXPECT_EQ(m_log.Text(), QStringLiteral("\n03:04:05 (UTC)\nUser messages saved in log file "
                                           "\"LogFiles/03_15_2026_03_04_05.log\" and all messages cleared\n"));
}

// A file where the folder should be, the chosen folder or the default one, and a disk that
// fills: the messages stay in the view, and the reason follows them.
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
        m_log.Clear();
        m_log.Append(QString(200, QLatin1Char('m')) + QStringLiteral("\r\n"), true);
        const QString before = m_log.Text();
        std::optional<ScopedFileSizeLimit> full;
        if (sizeLimit)
            full.emplace(*sizeLimit);
        const bool saved = Save(true);
        full.reset();
        EXPECT_FALSE(saved);
        const QString name = QLatin1String(*folder ? folder : "LogFiles/") + QStringLiteral("03_15_2026_03_04_05.log");
        EXPECT_TRUE(m_log.Text().startsWith(before)); // not cleared
        EXPECT_TRUE(m_log.Text().contains(QStringLiteral("could not be saved in log file \"%1\"").arg(name))) << m_log.Text().toStdString();
        EXPECT_FALSE(QFile::exists(m_dir.FilePath(name)));
    }
}
