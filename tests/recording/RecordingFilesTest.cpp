#include "recording/RecordingFileNames.h"
#include "recording/RecordingLog.h"

#include "options/AppOptions.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

class RecordingFilesTest : public ::testing::Test {
protected:
    bool WriteLog(const QString& name, bool defaultFolder, const QString& start = QStringLiteral("Start"))
    {
        return WriteRecordingLog(m_log.Log(), name, start, QStringLiteral("Stop"), defaultFolder, 1500, 3);
    }

    ScopedProcessDirectory m_dir;
    ScopedLogAndClock m_log{CalendarTime{2027, 1, 0, 1, 4, 59, 59, 999}};
    AppOptions m_options;
};

} // namespace

TEST_F(RecordingFilesTest, NamesAreFolderPrefixUtcTimeAndExtensionOf511CharactersAtMost)
{
    const QString capture = m_dir.Path() + QStringLiteral("/Capture/");
    const QString d483 = QString(483, QLatin1Char('d')) + QLatin1Char('/');
    const std::tuple<QString, QString, QString> cases[] = {
        {{}, QStringLiteral("occ1"), QStringLiteral("VideoFiles/occ101_01_2027_04_59_59.avi")},
        {capture, {}, capture + QStringLiteral("01_01_2027_04_59_59.avi")},
        {d483, QStringLiteral("occ1"), d483 + QStringLiteral("occ101_01_2027_04_59_59.avi")},
        {u'd' + d483, QStringLiteral("occ1"), {}},
    };
    for (const auto& [directory, prefix, expected] : cases) {
        m_options.VideoDirectory = directory;
        m_options.VideoNamePrefix = prefix;
        EXPECT_EQ(MakeRecordingFileName(m_options, m_log.Log(), m_log.Clock()), expected);
    }
    EXPECT_FALSE(QFileInfo::exists(capture)); // a chosen folder is the user's to make
    m_options.LogfileNamePrefix = QStringLiteral("night_");
    EXPECT_EQ(MakeMessageLogFileName(m_options, m_log.Log(), m_log.Clock()),
              QStringLiteral("LogFiles/night_01_01_2027_04_59_59.log"));
    EXPECT_TRUE(QFileInfo(QStringLiteral("LogFiles")).isDir());
    EXPECT_TRUE(
        m_log.Messages().contains(QStringLiteral("04:59:59 (UTC)\n\nERROR -- file name is longer than 511 characters")));

    for (const auto& [recording, log] : {std::pair{"VideoFiles/a.b_03_15.avi", "VideoFiles/a.b_03_15.log"},
                                         {"night.2026/noextension", ""}, {".avi", ".log"}})
        EXPECT_EQ(RecordingLogFileName(QString::fromLatin1(recording)), QString::fromLatin1(log)) << recording;
}

// Five lines ending in CR LF; the default folder is made absolute, a character outside
// ISO 8859-1 is substituted with a note, and a log that cannot be written is reported
// with its whole text.
TEST_F(RecordingFilesTest, TheLogHoldsFiveLinesEndingInCrLfOrIsReported)
{
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("VideoFiles")));
    const QByteArray tail = "Stop\r\nVideo file:  " + QFile::encodeName(QDir::currentPath())
                            + "/VideoFiles/\xe9toile ?.avi\r\nNumber of recorded frames:  1500\r\nNumber of dropped frames:  3\r\n";
    const QString wide = QStringLiteral("VideoFiles/\u00e9toile \u03a9.avi");
    ASSERT_TRUE(WriteLog(wide, false, QStringLiteral("Old")));
    ASSERT_TRUE(WriteLog(wide, true));
    EXPECT_EQ(ReadFileBytes(QStringLiteral("VideoFiles/\u00e9toile \u03a9.log")), "Start\r\n" + tail);
    EXPECT_EQ(m_log.Messages(), QStringLiteral("\n04:59:59 (UTC)\n\n\nNOTE -- wide character buffer has unexpected bad "
                                               "character.\n").repeated(2));

    const std::pair<QString, const char*> cases[] = {
        {QStringLiteral("VideoFiles/") + QString(497, QLatin1Char('n')) + QStringLiteral(".avi"),
         "its name is longer than 511 characters"},
        {QStringLiteral("VideoFiles/") + QString(420, QLatin1Char('t')) + QStringLiteral(".avi"),
         "its text is longer than 511 characters"},
        {QStringLiteral("NoSuchFolder/x.avi"), ""},
    };
    for (const auto& [name, why] : cases) {
        m_log.ClearMessages();
        EXPECT_FALSE(WriteLog(name, false, QStringLiteral("Start recording at 03:04:05 (UTC) and then some")));
        EXPECT_FALSE(QFileInfo::exists(RecordingLogFileName(name)));
        const QString messages = m_log.Messages();
        EXPECT_TRUE(messages.contains(QStringLiteral("ERROR -- the recording log"))) << why;
        EXPECT_TRUE(messages.contains(QLatin1String(why))) << why;
        EXPECT_TRUE(messages.contains(QStringLiteral("Number of dropped frames:  3\n"))) << why; // nothing lost
    }
}
