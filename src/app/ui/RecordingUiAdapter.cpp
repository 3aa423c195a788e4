#include "app/ui/RecordingUiAdapter.h"

#include "app/CaptureApp.h"
#include "app/ui/ChildWindows.h"
#include "app/ui/MainWindow.h"
#include "messages/ui/UserMessagesWindow.h"
#include "recording/ui/PowerCountdownDialog.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

CaptureApp* App()
{
    return TheCaptureApp();
}

QTimer* Timer(QPointer<QTimer> CaptureApp::*timer)
{
    const CaptureApp* app = App();
    return app ? (app->*timer).data() : nullptr;
}

} // namespace

void AppRecordingUi::SetMainTitle(const QString& title)
{
    if (CaptureApp* app = App(); app && app->mainWindow)
        app->mainWindow->setWindowTitle(title);
}

void AppRecordingUi::SetCountdownTitle(const QString& title)
{
    if (CaptureApp* app = App(); app && app->countdownWindow)
        app->countdownWindow->setWindowTitle(title);
}

void AppRecordingUi::ShowCountdown()
{
    if (CaptureApp* app = App(); app && app->countdownWindow)
        app->countdownWindow->ShowCountdownPanes();
}

void AppRecordingUi::HideCountdown()
{
    if (CaptureApp* app = App(); app && app->countdownWindow)
        app->countdownWindow->hide();
}

void AppRecordingUi::RepaintCountdownPane()
{
    if (CaptureApp* app = App(); app && app->countdownWindow)
        app->countdownWindow->Pane(CountdownPaneKind::Countdown)->update();
}

void AppRecordingUi::SetRecordingControls(bool recording)
{
    if (CaptureApp* app = App(); app && app->controlsWindow) {
        app->controlsWindow->StartButton()->setEnabled(!recording);
        app->controlsWindow->StopButton()->setEnabled(recording);
    }
}

void AppRecordingUi::SetMenusForRecording(bool recording)
{
    CaptureApp* app = App();
    if (!app || !app->mainMenuBar)
        return;
    // Whole drop-downs by their stored places in the bar; "File" itself stays usable.
    const QList<QAction*> bar = app->mainMenuBar->actions();
    for (MenuIndex m : {MenuIndex::Events, MenuIndex::Display, MenuIndex::Options, MenuIndex::Help}) {
        const std::int32_t position = app->topMenuPositions[static_cast<std::size_t>(m)];
        if (position >= 0 && position < bar.size())
            bar[position]->setEnabled(!recording);
    }
    // Messages cannot be saved while a recording runs.
    if (app->messagesFileMenu)
        app->messagesFileMenu->menuAction()->setEnabled(!recording);
    if (app->mainWindow)
        if (QAction* exit = app->mainWindow->ActionFor(MenuCommand::Exit))
            exit->setEnabled(!recording);
}

void AppRecordingUi::CloseBrightnessContrastForRecording()
{
    if (CaptureApp* app = App(); app && app->brightnessContrastWindow)
        app->brightnessContrastWindow->CloseForRecording();
}

bool AppRecordingUi::AskStopEventRecording()
{
    const CaptureApp* app = App();
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Attention"),
                    QStringLiteral("Event recording in progress.  Stop now?"), QMessageBox::Yes | QMessageBox::No,
                    app ? app->mainWindow.data() : nullptr);
    return box.exec() == QMessageBox::Yes;
}

void MainWindowTimers::StartCountdownTimer()
{
    if (QTimer* t = Timer(&CaptureApp::countdownTimer))
        t->start(kCountdownTickPeriod);
}

void MainWindowTimers::KillCountdownTimer()
{
    if (QTimer* t = Timer(&CaptureApp::countdownTimer))
        t->stop();
}

void MainWindowTimers::StartStartAlarm(std::chrono::milliseconds delay)
{
    if (QTimer* t = Timer(&CaptureApp::startAlarm))
        t->start(delay);
}

void MainWindowTimers::KillStartAlarm()
{
    if (QTimer* t = Timer(&CaptureApp::startAlarm))
        t->stop();
}

void MainWindowTimers::StartEventRecordingTimer(std::chrono::milliseconds period)
{
    if (QTimer* t = Timer(&CaptureApp::eventRecordingTimer))
        t->start(period);
}

void MainWindowTimers::KillEventRecordingTimer()
{
    if (QTimer* t = Timer(&CaptureApp::eventRecordingTimer))
        t->stop();
}

void InstallRecordingUi()
{
    static AppRecordingUi ui;
    static MainWindowTimers timers;
    TheCaptureApp()->scheduler.SetRecordingUi(&ui);
    TheCaptureApp()->scheduler.SetSchedulerTimers(&timers);
}

int ShowPowerCountdown(bool shutdownTexts)
{
    const CaptureApp* app = App();
    return RunPowerCountdownDialog(shutdownTexts, app ? app->fonts.powerCountdown : QFont(),
                                   app ? app->mainWindow.data() : nullptr);
}
