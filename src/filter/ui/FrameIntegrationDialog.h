#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QLineEdit;

// "Frame Integration": integrates 2 to 30 frames into each displayed frame while it is
// open. Every valid "Start" rebuilds the graph with the count; the dialog stays open so
// the count can be changed and started again. Leaving it switches integration off and
// ends with 1 when a start happened (the graph must be rebuilt without it), else 2.
class FrameIntegrationDialog final : public QDialog {
    Q_OBJECT
public:
    // restartGraph: StopCapture and, on success, StartCapture.
    explicit FrameIntegrationDialog(std::function<void()> restartGraph, QWidget* parent = nullptr);
    FrameIntegrationDialog(const FrameIntegrationDialog&) = delete;
    FrameIntegrationDialog& operator=(const FrameIntegrationDialog&) = delete;

    void reject() override; // Exit, Escape and closing the window

private:
    void Start();

    std::function<void()> m_restartGraph;
    bool m_started = false;
    QLineEdit* m_frameCount = nullptr;
    QCheckBox* m_showHistogram = nullptr;
};

// Opens the dialog modally over parent; its starts restart the program's graph.
int RunFrameIntegrationDialog(QWidget* parent, std::function<void()> restartGraph);
