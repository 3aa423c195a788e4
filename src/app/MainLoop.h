#pragma once

#include <QObject>

// Runs before each event is dispatched (an application event filter): a requested quit
// leaves the loop, and a finished clock-drift measurement switches the measurement off
// and rebuilds the graph once.
class MainLoopChecks final : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
};

// Posts an event so the loop runs its checks even when nothing else happens. Safe to
// call from any thread.
void WakeMainLoop();
