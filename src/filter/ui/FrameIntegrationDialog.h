#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QLineEdit;
class UserMessageLog;
struct RequestedAnalysis;

// "Frame Integration": integrates 2 to 30 frames into each displayed frame while it is
// open. Every valid "Start" rebuilds the graph with the count; the dialog stays open so
// the count can be changed and started again. Leaving it switches integration off and
// ends with 1 when a start happened (the graph must be rebuilt without it), else 2.
class FrameIntegrationDialog final : public QDialog {
    Q_OBJECT
public:
    // request: what the next graph build runs with; restartGraph: StopCapture and, on
    // success, StartCapture; the log takes the complaints about the count.
    FrameIntegrationDialog(RequestedAnalysis& request, UserMessageLog& log, std::function<void()> restartGraph,
                           QWidget* parent = nullptr);
    FrameIntegrationDialog(const FrameIntegrationDialog&) = delete;
    FrameIntegrationDialog& operator=(const FrameIntegrationDialog&) = delete;

    void reject() override; // Exit, Escape and closing the window

private:
    void Start();

    RequestedAnalysis& m_request;
    UserMessageLog& m_log;
    std::function<void()> m_restartGraph;
    bool m_started = false;
    QLineEdit* m_frameCount = nullptr;
    QCheckBox* m_showHistogram = nullptr;
};

// Opens the dialog modally over parent; its starts restart the program's graph.
int RunFrameIntegrationDialog(QWidget* parent, RequestedAnalysis& request, UserMessageLog& log,
                              std::function<void()> restartGraph);
