#include "messages/ui/UserMessagesWindow.h"

#include "messages/UserMessageLog.h"
#include "support/LogCapture.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <gtest/gtest.h>

namespace {

class UserMessagesWindowTest : public ::testing::Test {
protected:
    ScopedLogAndClock m_log{CalendarTime{2026, 12, 0, 6, 23, 59, 58, 100}};
};

} // namespace

TEST_F(UserMessagesWindowTest, ViewAppendsAtTheEndWhateverTheSelection)
{
    UserMessagesWindow window;
    ASSERT_TRUE(window.CreateView());
    AppendUserMessage(QStringLiteral("one\r\n"), false);
    AppendUserMessage(QStringLiteral("two\r\n"), false);
    QCoreApplication::processEvents();
    QPlainTextEdit* view = window.View();
    EXPECT_EQ(view->toPlainText(), QStringLiteral("\none\n\ntwo\n"));

    QTextCursor c(view->document());
    c.setPosition(2);
    c.setPosition(4, QTextCursor::KeepAnchor); // "ne" of "one" selected
    view->setTextCursor(c);
    AppendUserMessage(QStringLiteral("three\r\n"), false);
    QCoreApplication::processEvents();
    EXPECT_EQ(view->toPlainText(), QStringLiteral("\none\n\ntwo\n\nthree\n"));

    UserMessageLog::Instance().Clear();
    EXPECT_TRUE(view->toPlainText().isEmpty());
}
