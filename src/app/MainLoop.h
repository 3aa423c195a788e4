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
