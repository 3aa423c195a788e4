#pragma once

#include <QObject>

class CaptureApp;

// Runs before each event is dispatched (an application event filter): a requested quit
// leaves the loop, and a finished clock-drift measurement switches the measurement off
// and rebuilds the graph once.
class MainLoopChecks final : public QObject {
    Q_OBJECT
public:
    explicit MainLoopChecks(CaptureApp& app) : m_app(app) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    Q_DISABLE_COPY_MOVE(MainLoopChecks)
    CaptureApp& m_app;
};

// Posts an event so the loop runs its checks even when nothing else happens. Safe to
// call from any thread.
void WakeMainLoop();

// Ends the program without a question: no scheduler tick follows (an Event recording
// ended here runs no power action), the capture stops (a recording is finished and
// logged), then the main loop is left. Any nested loop (a dialog, a power countdown)
// ends with it.
void EndProgramNow(CaptureApp& app);
