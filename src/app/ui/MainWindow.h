#pragma once

#include "ui/MenuCommands.h"

#include <QMainWindow>
#include <cstdint>

class QAction;
class QMenu;
class CaptureApp;

// "VELA Video App": the live video, the menus, and the dispatcher that turns commands
// into dialogs and acts on their results.
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(CaptureApp& app);

    // Appends the five drop-downs' entries in their fixed order; without a usable
    // camera the six device entries are grey for the rest of the run.
    void BuildMainMenus(bool usableCamera);
    // The action that carries the command, or nullptr.
    QAction* ActionFor(MenuCommand command) const;
    void OnCommand(MenuCommand command);

    // Ends the program without a question: stops the timers and the capture (a
    // recording is finished and logged), then leaves the main loop. "Exit" and the close
    // box come here after asking when an Event is armed or recording; a termination
    // signal comes here at once.
    void EndProgram();

    // The operations around the dialog commands; tests replace them.
    void SetCommandSteps(CommandSteps steps) { m_steps = std::move(steps); }
    const CommandSteps& Steps() const { return m_steps; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void moveEvent(QMoveEvent* e) override;

private:
    Q_DISABLE_COPY_MOVE(MainWindow)
    void ToggleBrightnessContrast();
    void ShowAbout();
    QString ExitQuestion() const;

    CaptureApp& m_app;
    CommandSteps m_steps;
};

// Appends an entry that carries its command in the action's data.
QAction* AppendMenuEntry(QMenu* menu, const QString& label, MenuCommand command);

// Copies the windows' places into the options; minimised windows keep their stored
// places.
void SaveWindowPositions(CaptureApp& app);

