#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class UserMessageLog;
struct RequestedAnalysis;

// "Measure Clock Drift": how many minutes (3 to 60) to measure the computer clock
// against the VTI, and where the VTI line sits. Ends with 1 when a valid number was
// entered (the request is set in the application state; the graph must be rebuilt) or
// 2 when cancelled, having changed nothing.
class MeasureClockDriftDialog final : public QDialog {
    Q_OBJECT
public:
    // request: what the next graph build runs with; the log takes the complaints about
    // the minutes.
    MeasureClockDriftDialog(RequestedAnalysis& request, UserMessageLog& log, QWidget* parent = nullptr);
    MeasureClockDriftDialog(const MeasureClockDriftDialog&) = delete;
    MeasureClockDriftDialog& operator=(const MeasureClockDriftDialog&) = delete;

    void reject() override; // Cancel, Escape and closing the window

private:
    void Accept();

    RequestedAnalysis& m_request;
    UserMessageLog& m_log;
    QLineEdit* m_minutes = nullptr;
    QCheckBox* m_tvSafe = nullptr;
    QCheckBox* m_cameraAttached = nullptr;
    QLabel* m_corrected = nullptr; // says that a corrected value waits for OK
};

// Opens the dialog modally over parent.
int RunMeasureClockDriftDialog(QWidget* parent, RequestedAnalysis& request, UserMessageLog& log);
