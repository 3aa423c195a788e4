#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

// "Measure Clock Drift": how many minutes (3 to 60) to measure the computer clock
// against the VTI, and where the VTI line sits. Ends with 1 when a valid number was
// entered (the request is set in the application state; the graph must be rebuilt) or
// 2 when cancelled, having changed nothing.
class MeasureClockDriftDialog final : public QDialog {
    Q_OBJECT
public:
    explicit MeasureClockDriftDialog(QWidget* parent = nullptr);
    MeasureClockDriftDialog(const MeasureClockDriftDialog&) = delete;
    MeasureClockDriftDialog& operator=(const MeasureClockDriftDialog&) = delete;

    void reject() override; // Cancel, Escape and closing the window

private:
    void Accept();

    QLineEdit* m_minutes = nullptr;
    QCheckBox* m_tvSafe = nullptr;
    QCheckBox* m_cameraAttached = nullptr;
};

// Opens the dialog modally over parent.
int RunMeasureClockDriftDialog(QWidget* parent);
