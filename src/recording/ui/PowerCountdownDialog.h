#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;
class QPushButton;

// The 30-second countdown before hibernation or shut-down. Ends with 1 (cancelled),
// 2 (counted to zero) or 3 (closed by its frame, which does not cancel).
class PowerCountdownDialog final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTimerId = 32772;

    PowerCountdownDialog(bool shutdownTexts, const QFont& countFont, QWidget* parent = nullptr, int periodMs = 1000);
    PowerCountdownDialog(const PowerCountdownDialog&) = delete;
    PowerCountdownDialog& operator=(const PowerCountdownDialog&) = delete;

    // The timer's slot: one second less; the dialog ends when none is left.
    void CountdownTick();

    QLabel* CountLabel() const { return m_count; }
    QPushButton* CancelButton() const { return m_cancel; }
    int Counter() const { return m_counter; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void ShowCounter();

    int m_counter = 30;
    QTimer m_timer;
    QLabel* m_count = nullptr;
    QPushButton* m_cancel = nullptr;
};

// Runs the countdown modally over parent and gives its result (1, 2 or 3 as above).
int RunPowerCountdownDialog(bool shutdownTexts, const QFont& countFont, QWidget* parent);
