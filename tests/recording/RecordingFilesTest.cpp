#include "recording/RecordingFileNames.h"
#include "recording/RecordingLog.h"

#include "options/AppOptions.h"
#include "messages/UserMessageLog.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

class RecordingFilesTest : public ::testing::Test {
protected:
    QString RecordingName() { return MakeRecordingFileName(m_options, UserMessageLog::Instance(), m_log.Clock()); }
    static bool WriteLog(const QString& name, const QString& start, const QString& stop, bool defaultFolder,
                         std::int64_t recorded, std::int64_t dropped)
    {
        return WriteRecordingLog(UserMessageLog::Instance(), name, start, stop, defaultFolder, recorded, dropped);
    }

    ScopedProcessDirectory m_dir;
    ScopedLogAndClock m_log{CalendarTime{2026, 3, 0, 15, 3, 4, 5, 789}};
    AppOptions m_options;
};

} // namespace

TEST_F(RecordingFilesTest, NamesAreFolderPrefixUtcTimeAndExtension)
{
    struct Case {
        const char* what;
        QString videoDirectory;
        QString prefix;
        CalendarTime utc;
        QString expected;
    };
    const QString capture = m_dir.Path() + QStringLiteral("/Capture/");
    const Case cases[] = {
        {"default folder with a prefix", {}, QStringLiteral("occ1"), {2026, 3, 0, 15, 3, 4, 5, 789},
         QStringLiteral("VideoFiles/occ103_15_2026_03_04_05.avi")},
        {"chosen folder, no prefix", capture, {}, {2026, 3, 0, 15, 3, 4, 5, 789},
         capture + QStringLiteral("03_15_2026_03_04_05.avi")},
        {"milliseconds dropped", {}, {}, {2027, 1, 0, 1, 4, 59, 59, 999},
         QStringLiteral("VideoFiles/01_01_2027_04_59_59.avi")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_options.VideoDirectory = c.videoDirectory;
        m_options.VideoNamePrefix = c.prefix;
        m_log.Clock().SetUtc(c.utc);
        EXPECT_EQ(RecordingName(), c.expected);
    }
    EXPECT_TRUE(QFileInfo(QStringLiteral("VideoFiles")).isDir());
    EXPECT_FALSE(QFileInfo::exists(capture)); // a chosen folder is the user's to make

    m_options.LogfileNamePrefix = QStringLiteral("night_");
    EXPECT_EQ(MakeMessageLogFileName(m_options, UserMessageLog::Instance(), m_log.Clock()), QStringLiteral("LogFiles/night_01_01_2027_04_59_59.log"));
    EXPECT_TRUE(QFileInfo(QStringLiteral("LogFiles")).isDir());
    EXPECT_EQ(m_log.Messages(), QString());
}

TEST_F(RecordingFilesTest, ANameLongerThan511CharactersIsRefused)
{
    m_options.VideoDirectory = QString(483, QLatin1Char('d')) + QLatin1Char('/');
    m_options.VideoNamePrefix = QStringLiteral("occ1");
    EXPECT_EQ(RecordingName().size(), 511);
    EXPECT_EQ(m_log.Messages(), QString());
    m_options.VideoDirectory = QString(484, QLatin1Char('d')) + QLatin1Char('/');
    EXPECT_EQ(RecordingName(), QString());
    EXPECT_TRUE(m_log.Messages().contains(QStringLiteral("longer than 511 characters")));
}

TEST_F(RecordingFilesTest, TheLogLiesBesideTheRecording)
{
    const std::pair<const char*, const char*> cases[] = {
        {"VideoFiles/occ103_15_2026_03_04_05.avi", "VideoFiles/occ103_15_2026_03_04_05.log"},
        {"VideoFiles/a.b_03_15_2026_03_04_05.avi", "VideoFiles/a.b_03_15_2026_03_04_05.log"}, // the last dot
        {"VideoFiles/noextension", ""},
        {"night.2026/noextension", ""}, // a dot in a folder is not the file's
        {".avi", ".log"},
    };
    for (const auto& [recording, log] : cases)
        EXPECT_EQ(RecordingLogFileName(QString::fromLatin1(recording)), QString::fromLatin1(log)) << recording;
}

TEST_F(RecordingFilesTest, TheLogHoldsFiveLinesEndingInCrLf)
{
    m_options.VideoNamePrefix = QStringLiteral("occ1");
    const QString name = RecordingName();
    ASSERT_EQ(name, QStringLiteral("VideoFiles/occ103_15_2026_03_04_05.avi"));
    const QString start = QStringLiteral("Start recording at 03:04:05 (UTC)");
    const QString stop = QStringLiteral("Stop recording at 03:06:05 (UTC)");
    const QByteArray tail = "Number of recorded frames:  1500\r\nNumber of dropped frames:  3\r\n";

    ASSERT_TRUE(WriteLog(name, start, stop, true, 1500, 3));
    EXPECT_EQ(ReadFileBytes(QStringLiteral("VideoFiles/occ103_15_2026_03_04_05.log")),
              "Start recording at 03:04:05 (UTC)\r\nStop recording at 03:06:05 (UTC)\r\nVideo file:  "
                  + QFile::encodeName(QDir::currentPath()) + "/VideoFiles/occ103_15_2026_03_04_05.avi\r\n" + tail);

    // A chosen folder is already in the name; an older log of the name is replaced.
    ASSERT_TRUE(WriteLog(name, start, stop, false, 1500, 3));
    EXPECT_EQ(ReadFileBytes(QStringLiteral("VideoFiles/occ103_15_2026_03_04_05.log")),
              "Start recording at 03:04:05 (UTC)\r\nStop recording at 03:06:05 (UTC)\r\nVideo file:  "
              "VideoFiles/occ103_15_2026_03_04_05.avi\r\n"
                  + tail);
    EXPECT_EQ(m_log.Messages(), QString());

    // A character outside ISO 8859-1 is substituted, with a note.
    const QString wide = QStringLiteral("VideoFiles/\u00e9toile \u03a9.avi");
    ASSERT_TRUE(WriteLog(wide, QStringLiteral("Start"), QStringLiteral("Stop"), false, 1, 0));
    EXPECT_TRUE(ReadFileBytes(RecordingLogFileName(wide)).contains("Video file:  VideoFiles/\xe9toile ?.avi\r\n"));
    EXPECT_EQ(m_log.Messages(),
              QStringLiteral("\n03:04:05 (UTC)\n\n\nNOTE -- wide character buffer has unexpected bad character.\n"));
}

TEST_F(RecordingFilesTest, ALogThatCannotBeWrittenIsReportedWithItsText)
{
    struct Case {
        const char* what;
        QString name;
        const char* why;
    };
    const Case cases[] = {
        {"name over 511", QStringLiteral("VideoFiles/") + QString(497, QLatin1Char('n')) + QStringLiteral(".avi"),
         "its name is longer than 511 characters"},
        {"text over 511", QStringLiteral("VideoFiles/") + QString(420, QLatin1Char('t')) + QStringLiteral(".avi"),
         "its text is longer than 511 characters"},
        {"missing folder", QStringLiteral("NoSuchFolder/x.avi"), ""},
    };
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("VideoFiles")));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_log.ClearMessages();
        EXPECT_FALSE(WriteLog(c.name, QStringLiteral("Start recording at 03:04:05 (UTC)"),
                                       QStringLiteral("Stop recording at 03:06:05 (UTC)"), false, 1500, 3));
        EXPECT_FALSE(QFileInfo::exists(RecordingLogFileName(c.name)));
        const QString messages = m_log.Messages();
        EXPECT_TRUE(messages.contains(QStringLiteral("ERROR -- the recording log")));
        EXPECT_TRUE(messages.contains(QLatin1String(c.why)));
        EXPECT_TRUE(messages.contains(QStringLiteral("Number of dropped frames:  3\n"))); // nothing lost
    }
}
