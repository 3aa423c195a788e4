#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a call on the UI thread, so that a stop from the
// terminal or the service manager ends the program in order, without a question.
class SignalBridge final : public QObject {
    Q_OBJECT
public:
    explicit SignalBridge(std::function<void()> onSignal, QObject* parent = nullptr);
    ~SignalBridge() override;

private:
    Q_DISABLE_COPY_MOVE(SignalBridge)
    std::function<void()> m_onSignal;
    QSocketNotifier* m_notifier = nullptr;
};
