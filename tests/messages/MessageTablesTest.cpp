#include "common/Clock.h"
#include "messages/MessageTables.h"
#include "messages/UserMessageLog.h"

#include <gtest/gtest.h>

namespace {

class ReportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetAppClock(&m_clock);
        UserMessageLog::Instance().SetEchoToStderr(false);
        UserMessageLog::Instance().Clear();
        SetFatalMessageHandler([this](const QString& line) { m_boxes << line; });
    }
    void TearDown() override
    {
        SetFatalMessageHandler(nullptr);
        SetAppClock(nullptr);
        UserMessageLog::Instance().SetEchoToStderr(true);
    }

    ManualClock m_clock{CalendarTime{2026, 3, 0, 15, 14, 3, 27, 0}};
    QStringList m_boxes;
};

} // namespace

TEST_F(ReportTest, FatalAppMessageGoesToTheBoxAndNotTheLog)
{
    ReportAppMessage(1);
    ASSERT_EQ(m_boxes.size(), 1);
    EXPECT_EQ(m_boxes[0], QStringLiteral("FATAL ERROR: Cannot create main window,  error 1\r\n"));
    EXPECT_TRUE(UserMessageLog::Instance().Text().isEmpty());
}

TEST_F(ReportTest, GraphMessagesAreStampedWithSeverityAndCode)
{
    ReportGraphMessage(29);
    ReportGraphMessage(4);
    EXPECT_EQ(UserMessageLog::Instance().Text(),
              QStringLiteral("\n14:03:27 (UTC)\nWARNING: Character recognition sets are missing from install directory"
                             ",  warning 1029\n"
                             "\n14:03:27 (UTC)\nERROR: Cannot render video stream,  error 1004\n"));
    EXPECT_TRUE(m_boxes.isEmpty());
}

TEST_F(ReportTest, OutOfRangeNumbersReportNothing)
{
    ReportAppMessage(0);
    ReportAppMessage(18);
    ReportGraphMessage(0);
    ReportGraphMessage(41);
    EXPECT_TRUE(UserMessageLog::Instance().Text().isEmpty());
    EXPECT_TRUE(m_boxes.isEmpty());
}

TEST(ComposeNumberedMessage, SeverityWordsAndSuffixes)
{
    EXPECT_EQ(ComposeNumberedMessage(QStringLiteral("Cannot render video stream"), 1004, 1),
              QStringLiteral("ERROR: Cannot render video stream,  error 1004\r\n"));
    EXPECT_EQ(ComposeNumberedMessage(QStringLiteral("x"), 2, 2), QStringLiteral("WARNING: x,  warning 2\r\n"));
    EXPECT_EQ(ComposeNumberedMessage(QStringLiteral("x"), 3, 3), QStringLiteral("NOTE: x,  note 3\r\n"));
    EXPECT_EQ(ComposeNumberedMessage(QStringLiteral("x"), 3, 7), QStringLiteral("NOTE: x,  note 3\r\n"));
    EXPECT_EQ(ComposeNumberedMessage(QStringLiteral("x"), 1, 0), QStringLiteral("FATAL ERROR: x,  error 1\r\n"));
    // The shared line buffer holds 256 units: a longer text is cut, its line end kept.
    const QString composed = ComposeNumberedMessage(QString(400, QLatin1Char('a')), 1, 1);
    EXPECT_EQ(composed.size(), 255);
    EXPECT_TRUE(composed.endsWith(QStringLiteral("\r\n")));
}

TEST(MessageTables, EveryEntryFitsTheLineBufferWithItsCode)
{
    for (int n = 1; n <= kAppMessageCount; ++n)
        EXPECT_LT(ComposeNumberedMessage(QString::fromLatin1(AppMessage(n)->text), n, 1).size(), 128 + 32) << n;
    for (int i = 1; i <= kGraphMessageCount; ++i)
        EXPECT_LE(qstrlen(GraphMessage(i)->text), 127u) << i;
    EXPECT_EQ(AppMessage(17)->severity, MessageSeverity::Warning);
    EXPECT_STREQ(AppMessage(17)->text, "Cannot save VELA_options.xml file in process directory - write protected?");
    EXPECT_STREQ(GraphMessage(40)->text, "Renderer input pin not connected");
}
