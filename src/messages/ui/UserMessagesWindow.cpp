#include "messages/ui/UserMessagesWindow.h"

#include "messages/UserMessageLog.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>

QFont MessageViewFont()
{
    QFont f;
    f.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
    f.setPointSize(10);
    return f;
}

UserMessagesWindow::UserMessagesWindow(UserMessageLog& log, QWidget* parent)
    : QMainWindow(parent)
    , m_log(log)
{
    setObjectName(QStringLiteral("User Messages Class"));
    setWindowTitle(QStringLiteral("User Messages"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::CustomizeWindowHint);
    m_fileMenu = menuBar()->addMenu(QStringLiteral("File"));
}

bool UserMessagesWindow::CreateView()
{
    m_view = new QPlainTextEdit(this);
    m_view->setObjectName(QStringLiteral("MessageView"));
    m_view->setReadOnly(true);
    m_view->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_view->setFont(MessageViewFont());
    m_view->document()->setDocumentMargin(7);
    QPalette p = m_view->palette();
    p.setColor(QPalette::Base, QColor(225, 225, 225));
    m_view->setPalette(p);
    setCentralWidget(m_view); // fills the client area on every resize

    m_view->setPlainText(m_log.Text());
    connect(&m_log, &UserMessageLog::EntriesAppended, this, &UserMessagesWindow::AppendParagraphs);
    connect(&m_log, &UserMessageLog::Cleared, m_view, &QPlainTextEdit::clear);
    return true;
}

void UserMessagesWindow::AppendParagraphs(const QString& paragraphs)
{
    // At the very end, wherever the user has put the caret or a selection.
    QTextCursor end(m_view->document());
    end.movePosition(QTextCursor::End);
    end.insertText(paragraphs);
    QScrollBar* bar = m_view->verticalScrollBar();
    bar->setValue(bar->maximum());
}

void UserMessagesWindow::closeEvent(QCloseEvent* e)
{
    e->ignore();
}
