#include "messages/ui/UserMessagesWindow.h"

#include "support/LogCapture.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <gtest/gtest.h>

TEST(UserMessagesWindow, ViewAppendsAtTheEndWhateverTheSelection)
{
    ScopedLogAndClock s(CalendarTime{});
    s.Log().Append(QStringLiteral("one\r\n"), false);
    UserMessagesWindow window(s.Log());
    ASSERT_TRUE(window.CreateView());
    QPlainTextEdit* view = window.View();
    QTextCursor c(view->document());
    c.setPosition(2);
    c.setPosition(4, QTextCursor::KeepAnchor); // "ne" of "one" selected
    view->setTextCursor(c);
    s.Log().Append(QStringLiteral("three\r\n"), false);
    QCoreApplication::processEvents();
    EXPECT_EQ(view->toPlainText(), QStringLiteral("\none\n\nthree\n"));

    s.ClearMessages();
    EXPECT_TRUE(view->toPlainText().isEmpty());
}
