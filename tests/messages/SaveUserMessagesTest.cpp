#include "messages/SaveUserMessages.h"
#include "messages/UserMessageLog.h"
#include "options/AppOptions.h"
#include "support/FileSizeLimit.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>
#include <optional>

namespace {

// The file name takes the program's clock, the log its own at the same time.
class SaveUserMessagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetOptionDefaults(m_options);
        m_log.SetEchoToStderr(false);
    }
    QString Log() { return m_log.Text(); }

    ScopedLogAndClock m_program{CalendarTime{2026, 3, 0, 15, 3, 4, 5, 789}};
    UserMessageLog m_log{m_program.Clock()};
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

    ASSERT_TRUE(SaveUserMessages(m_log, m_options, m_program.Clock(), false));
    const QByteArray bytes = ReadFileBytes(m_dir.FilePath(QStringLiteral("LogFiles/night03_15_2026_03_04_05.log")));
    EXPECT_EQ(bytes, QByteArray("\r\n03:04:05 (UTC)\r\nCaf\xe9 line\r\n"
                                "\r\nFolder ?? and ? here\r\n"
                                "\r\nafter the wide characters\r\n"));
    // Not cleared: the confirmation follows the saved text.
    EXPECT_TRUE(Log().endsWith(
        QStringLiteral("\n03:04:05 (UTC)\nUser messages saved in log file \"LogFiles/night03_15_2026_03_04_05.log\"\n")));

    m_options.LogfileNamePrefix.clear();
    ASSERT_TRUE(SaveUserMessages(m_log, m_options, m_program.Clock(), true));
    EXPECT_EQ(Log(), QStringLiteral("\n03:04:05 (UTC)\nUser messages saved in log file "
                                    "\"LogFiles/03_15_2026_03_04_05.log\" and all messages cleared\n"));
}

// A file where the folder should be, the chosen folder or the default one, and a disk that
// fills: the messages stay in the view, and the reason follows them.
TEST_F(SaveUserMessagesTest, AFailedSaveKeepsTheMessagesAndSaysWhy)
{
    const struct {
        const char* blocker;
        const char* folder;
        std::optional<rlim_t> sizeLimit;
    } cases[] = {{"notafolder", "notafolder/", {}}, {"LogFiles", "", {}}, {nullptr, "", 64}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        if (c.blocker) {
            QFile blocker(m_dir.FilePath(QLatin1String(c.blocker)));
            ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
        } else {
            QFile::remove(m_dir.FilePath(QStringLiteral("LogFiles")));
        }
        m_options.LogfileDirectory = QLatin1String(c.folder);
        m_log.Clear();
        m_log.Append(QString(200, QLatin1Char('m')) + QStringLiteral("\r\n"), true);
        const QString before = Log();
        bool saved = true;
        {
            std::optional<ScopedFileSizeLimit> full;
            if (c.sizeLimit)
                full.emplace(*c.sizeLimit);
            saved = SaveUserMessages(m_log, m_options, m_program.Clock(), true);
        }
        EXPECT_FALSE(saved);
        const QString name = QLatin1String(*c.folder ? c.folder : "LogFiles/") + QStringLiteral("03_15_2026_03_04_05.log");
        EXPECT_TRUE(Log().startsWith(before)); // not cleared
        EXPECT_TRUE(Log().contains(QStringLiteral("could not be saved in log file \"%1\"").arg(name))) << Log().toStdString();
        EXPECT_FALSE(QFile::exists(m_dir.FilePath(name)));
    }
}
