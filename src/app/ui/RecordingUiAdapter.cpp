#include "app/ui/RecordingUiAdapter.h"

#include "app/CaptureApp.h"
#include "app/StartupSteps.h"
#include "app/ui/ChildWindows.h"
#include "app/ui/MainWindow.h"
#include "messages/ui/UserMessagesWindow.h"
#include "recording/ui/PowerCountdownDialog.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>


void AppRecordingUi::SetMainTitle(const QString& title)
{
    if (m_app.mainWindow)
        m_app.mainWindow->setWindowTitle(title);
}

void AppRecordingUi::SetCountdownTitle(const QString& title)
{
    if (m_app.countdownWindow)
        m_app.countdownWindow->setWindowTitle(title);
}

void AppRecordingUi::ShowCountdown()
{
    if (m_app.countdownWindow)
        m_app.countdownWindow->ShowCountdownPanes();
}

void AppRecordingUi::HideCountdown()
{
    if (m_app.countdownWindow)
        m_app.countdownWindow->hide();
}

void AppRecordingUi::RepaintCountdownPane()
{
    if (m_app.countdownWindow)
        m_app.countdownWindow->Pane(CountdownPaneKind::Countdown)->update();
}

void AppRecordingUi::SetRecordingControls(bool recording)
{
    if (m_app.controlsWindow) {
        m_app.controlsWindow->StartButton()->setEnabled(!recording);
        m_app.controlsWindow->StopButton()->setEnabled(recording);
    }
    // The File menu's entries and their shortcuts follow the buttons; without a usable
    // camera nothing can be started.
    if (QAction* start = m_app.MenuAction(MenuCommand::StartRecording))
        start->setEnabled(!recording && m_app.state.UsableCamera);
    if (QAction* stop = m_app.MenuAction(MenuCommand::StopRecording))
        stop->setEnabled(recording);
}

void AppRecordingUi::SetMenusForRecording(bool recording)
{
    // Whole drop-downs; "File" itself stays usable.
    for (MenuIndex m : {MenuIndex::Events, MenuIndex::Display, MenuIndex::Options, MenuIndex::Help})
        if (QMenu* menu = m_app.menus[static_cast<std::size_t>(m)])
            menu->menuAction()->setEnabled(!recording);
    // Messages cannot be saved while a recording runs.
    if (m_app.messagesFileMenu)
        m_app.messagesFileMenu->menuAction()->setEnabled(!recording);
    if (m_app.mainWindow)
        if (QAction* exit = m_app.mainWindow->ActionFor(MenuCommand::Exit))
            exit->setEnabled(!recording);
}

void AppRecordingUi::CloseBrightnessContrastForRecording()
{
    if (m_app.brightnessContrastWindow)
        m_app.brightnessContrastWindow->CloseForRecording();
}

bool AppRecordingUi::AskStopEventRecording()
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Attention"),
                    QStringLiteral("Event recording in progress.  Stop now?"), QMessageBox::Yes | QMessageBox::No,
                    m_app.mainWindow.data());
    return box.exec() == QMessageBox::Yes;
}

void InstallRecordingUi(CaptureApp& app)
{
    app.recordingUi = std::make_unique<AppRecordingUi>(app);
    app.scheduler.SetRecordingUi(app.recordingUi.get());
    InstallSchedulerTimers(app);
}

int ShowPowerCountdown(const CaptureApp& app, bool shutdownTexts)
{
    return RunPowerCountdownDialog(shutdownTexts, app.fonts.powerCountdown, app.mainWindow.data());
}
