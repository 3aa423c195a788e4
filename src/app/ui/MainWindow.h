#pragma once

#include "ui/MenuCommands.h"

#include <QMainWindow>
#include <cstdint>

class QAction;
class QMenu;
class QTimer;

// "VELA Video App": the live video, the menus, and the dispatcher that turns commands
// into dialogs and acts on their results. Every timer it owns runs the scheduler tick.
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    MainWindow();

    // Appends the five drop-downs' entries in their fixed order; without a usable
    // camera the six device entries are grey for the rest of the run.
    void BuildMainMenus(bool usableCamera);
    // The action that carries the given command id, or nullptr.
    QAction* ActionFor(std::uint32_t commandId) const;
    void OnCommand(std::uint32_t commandId);

    // Ends the program without a question: stops the timers and the capture (a
    // recording is finished and logged), then leaves the main loop. "Exit" and the close
    // box come here after asking when an Event is armed or recording; a termination
    // signal comes here at once.
    void EndProgram();

    // Timer 32770 (the Event countdown) and 32771 (the Event recording's duration).
    QTimer* CountdownTimer() const { return m_countdownTimer; }
    QTimer* EventRecordingTimer() const { return m_eventRecordingTimer; }
    // The single shot that starts an Event recording on time, between two countdown ticks.
    QTimer* StartAlarm() const { return m_startAlarm; }

    // The operations around the dialog commands; tests replace them.
    void SetCommandSteps(CommandSteps steps) { m_steps = std::move(steps); }
    const CommandSteps& Steps() const { return m_steps; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void moveEvent(QMoveEvent* e) override;

private:
    Q_DISABLE_COPY_MOVE(MainWindow)
    QTimer* MakeSchedulerTimer(int id, Qt::TimerType type);
    void ToggleBrightnessContrast();

    QTimer* m_countdownTimer = nullptr;
    QTimer* m_eventRecordingTimer = nullptr;
    QTimer* m_startAlarm = nullptr;
    CommandSteps m_steps;
};

// Appends an entry with the next command id (kept in the action's data).
QAction* AppendMenuEntry(QMenu* menu, const QString& label);

// Copies the windows' places into the options; minimised windows keep their stored
// places.
void SaveWindowPositions();

// The address the About entry gives for error reports.
inline constexpr const char* kErrorReportAddress = "vela-video-bugs@example.org";
