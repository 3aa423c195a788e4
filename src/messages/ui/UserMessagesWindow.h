#pragma once

#include <QMainWindow>

class QPlainTextEdit;
class QMenu;

// "User Messages": the read-only view of the log, with its File menu. The user can move
// and minimise it but not close it.
class UserMessagesWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit UserMessagesWindow(QWidget* parent = nullptr);

    QPlainTextEdit* View() const { return m_view; }
    QMenu* FileMenu() const { return m_fileMenu; }

    // Creates the view (filled with the log so far); false when it cannot be made.
    bool CreateView();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    Q_DISABLE_COPY_MOVE(UserMessagesWindow)
    void AppendParagraphs(const QString& paragraphs);

    QPlainTextEdit* m_view = nullptr;
    QMenu* m_fileMenu = nullptr;
};

// The view's font: "Tahoma" 10 points, DejaVu Sans where Tahoma is missing.
QFont MessageViewFont();
