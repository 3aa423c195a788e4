#pragma once

#include <QMainWindow>

class QPlainTextEdit;
class QMenu;
class UserMessageLog;

// "User Messages": the read-only view of the log, with its File menu. The user can move
// and minimise it but not close it.
class UserMessagesWindow final : public QMainWindow {
    Q_OBJECT
public:
    // The window shows the log, which must outlive it.
    explicit UserMessagesWindow(UserMessageLog& log, QWidget* parent = nullptr);

    QPlainTextEdit* View() const { return m_view; }
    QMenu* FileMenu() const { return m_fileMenu; }

    // Creates the view (filled with the log so far); false when it cannot be made.
    bool CreateView();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    Q_DISABLE_COPY_MOVE(UserMessagesWindow)
    void AppendParagraphs(const QString& paragraphs);

    UserMessageLog& m_log;
    QPlainTextEdit* m_view = nullptr;
    QMenu* m_fileMenu = nullptr;
};

// The view's font: "Tahoma" 10 points, DejaVu Sans where Tahoma is missing.
QFont MessageViewFont();
