#include "messages/MessageTables.h"

#include "common/Clock.h"
#include "messages/UserMessageLog.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

TEST(ReportMessage, FatalGoesToTheBoxOthersAreStampedWithSeverityAndCodeOutOfRangeNothing)
{
    const ManualClock clock(CalendarTime{2026, 3, 0, 15, 14, 3, 27, 0});
    UserMessageLog log(clock);
    log.SetEchoToStderr(false);
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
    const std::tuple<int, int, const char*> cases[] = {{2, 2, "WARNING: x,  warning 2\r\n"},
                                                       {3, 3, "NOTE: x,  note 3\r\n"},
                                                       {3, 7, "NOTE: x,  note 3\r\n"},
                                                       {1, 0, "FATAL ERROR: x,  error 1\r\n"},
                                                       {1004, 1, "ERROR: x,  error 1004\r\n"}};
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
