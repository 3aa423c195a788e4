#include "messages/ui/UserMessagesWindow.h"

#include "common/Clock.h"
#include "messages/UserMessageLog.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <gtest/gtest.h>

TEST(UserMessagesWindow, ViewAppendsAtTheEndWhateverTheSelection)
{
    const ManualClock clock;
    UserMessageLog log(clock);
    log.SetEchoToStderr(false);
    log.Append(QStringLiteral("one\r\n"), false);
    UserMessagesWindow window(log);
    ASSERT_TRUE(window.CreateView());
    QPlainTextEdit* view = window.View();
    QTextCursor c(view->document());
    c.setPosition(2);
    c.setPosition(4, QTextCursor::KeepAnchor); // "ne" of "one" selected
    view->setTextCursor(c);
    log.Append(QStringLiteral("three\r\n"), false);
    QCoreApplication::processEvents();
    EXPECT_EQ(view->toPlainText(), QStringLiteral("\none\n\nthree\n"));

    log.Clear();
    EXPECT_TRUE(view->toPlainText().isEmpty());
}
