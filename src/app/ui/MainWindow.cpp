#include "app/ui/MainWindow.h"

#include "app/CaptureApp.h"
#include "app/MainLoop.h"
#include "app/ProgramCommands.h"
#include "app/WindowPlacement.h"
#include "app/ui/ChildWindows.h"
#include "events/EventEditing.h"
#include "messages/UserMessageLog.h"
#include "messages/ui/UserMessagesWindow.h"
#include "options/OptionsFile.h"
#include "recording/RecordingControl.h"
#include "recording/Scheduler.h"
#include "recording/SchedulerHooks.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>

namespace {

struct MenuEntry {
    MenuIndex menu;
    const char* label;
    MenuCommand command;
    const char* shortcut = nullptr;
};

constexpr MenuEntry kMainEntries[] = {
    {MenuIndex::File, "Start Recording", MenuCommand::StartRecording, "Ctrl+R"},
    {MenuIndex::File, "Stop Recording", MenuCommand::StopRecording, "Ctrl+Shift+R"},
    {MenuIndex::File, "Exit", MenuCommand::Exit},
    {MenuIndex::Events, "Schedule...", MenuCommand::Schedule},
    {MenuIndex::Events, "Edit and Delete...", MenuCommand::EditAndDelete},
    {MenuIndex::Display, "Brightness/Contrast", MenuCommand::BrightnessContrast},
    {MenuIndex::Display, "Pixel Saturation...", MenuCommand::PixelSaturation},
    {MenuIndex::Display, "Computer Clock Drift...", MenuCommand::ClockDrift},
    {MenuIndex::Display, "Frame Integration...", MenuCommand::FrameIntegration},
    {MenuIndex::Options, "Devices...", MenuCommand::Devices},
    {MenuIndex::Options, "File Defaults...", MenuCommand::FileDefaults},
    {MenuIndex::Options, "Duration Default...", MenuCommand::DurationDefault},
    {MenuIndex::Options, "Codec Default...", MenuCommand::CodecDefault},
    {MenuIndex::Options, "Event Pending...", MenuCommand::EventPending},
    {MenuIndex::Options, "Performance...", MenuCommand::Performance},
    {MenuIndex::Options, "Set Window Positions", MenuCommand::SetWindowPositions},
    {MenuIndex::Help, "About Vela Video Application", MenuCommand::About},
};

constexpr MenuCommand kNeedCamera[] = {MenuCommand::Devices,          MenuCommand::CodecDefault,
                                       MenuCommand::BrightnessContrast, MenuCommand::ClockDrift,
                                       MenuCommand::FrameIntegration,   MenuCommand::PixelSaturation,
                                       MenuCommand::StartRecording};

// A window's place as start-up applies it (move and resize); a minimised one reads as
// parked off to the left, so it is not stored.
std::optional<WindowPosition4> RectOf(const QWidget* w)
{
    if (!w)
        return std::nullopt;
    return WindowPosition4{w->isMinimized() ? kMinimisedLeft : w->x(), w->y(), w->width(), w->height()};
}

} // namespace

void MainWindow::ShowAbout()
{
    UserMessageLog& log = m_app.messages;
    log.Append(QStringLiteral("VELA Video Application Version 1.1"), true);
    log.Append(QStringLiteral("Report errors as the user guide (README) says under \"Reporting problems\".  Please describe"),
               false);
    log.Append(QStringLiteral("how to duplicate the error and attach a saved user message log file.\n"), false);
}

// The question before an exit that would lose an Event, naming it; empty when no Event
// is armed or recording.
QString MainWindow::ExitQuestion() const
{
    const AppState& app = m_app.state;
    if (!app.EventArmed && !app.EventRecordingActive)
        return {};
    const SchedulerState& s = m_app.schedulerState;
    const CalendarTime& d = s.ArmedEventDuration;
    const QString event = QStringLiteral("The Event of %1 (recording %2)")
                              .arg(EventTimeText(s.ArmedEventTime),
                                   QString::asprintf("%02u:%02u:%02u", d.hour, d.minute, d.second));
    return app.EventRecordingActive
               ? event + QStringLiteral(" is being recorded.  Exiting ends its recording now.\n\nExit anyway?")
               : event + QStringLiteral(" is armed and will not be recorded if the program ends.\n\nExit anyway?");
}

QAction* AppendMenuEntry(QMenu* menu, const QString& label, MenuCommand command)
{
    QAction* a = menu->addAction(label);
    a->setData(static_cast<int>(command));
    return a;
}

MainWindow::MainWindow(CaptureApp& app)
    : m_app(app)
{
    setObjectName(QStringLiteral("VELA_VideoCapture"));
    setWindowTitle(QStringLiteral("VELA Video App"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("MainClientArea"));
    client->setAutoFillBackground(true);
    QPalette p = client->palette();
    p.setColor(QPalette::Window, QColor(128, 128, 128));
    client->setPalette(p);
    setCentralWidget(client);
    move(100, 100);
    resize(660, 540);
    m_steps = ProgramCommandSteps(app, this);
}

void MainWindow::BuildMainMenus(bool usableCamera)
{
    for (const MenuEntry& e : kMainEntries) {
        QMenu* menu = m_app.menus[static_cast<std::size_t>(e.menu)];
        QAction* a = AppendMenuEntry(menu, QString::fromLatin1(e.label), e.command);
        if (e.shortcut) {
            a->setShortcut(QKeySequence(QString::fromLatin1(e.shortcut)));
            // Also from the controls and User Messages windows, where a hand is likelier.
            a->setShortcutContext(Qt::ApplicationShortcut);
        }
        connect(a, &QAction::triggered, this, [this, command = e.command] { OnCommand(command); });
    }
    // Checked exactly while the Brightness and Contrast window is shown.
    ActionFor(MenuCommand::BrightnessContrast)->setCheckable(true);
    // As the Stop button, until a recording starts.
    ActionFor(MenuCommand::StopRecording)->setEnabled(false);
    if (!usableCamera) {
        for (MenuCommand command : kNeedCamera)
            if (QAction* a = ActionFor(command))
                a->setEnabled(false);
    }
}

QAction* MainWindow::ActionFor(MenuCommand command) const
{
    return m_app.MenuAction(command);
}

void MainWindow::OnCommand(MenuCommand command)
{
    switch (command) {
    case MenuCommand::Exit:
        close();
        break;
    case MenuCommand::About:
        ShowAbout();
        break;
    case MenuCommand::StartRecording:
        m_app.scheduler.StartButtonPressed();
        break;
    case MenuCommand::StopRecording:
        m_app.scheduler.StopButtonPressed();
        break;
    case MenuCommand::BrightnessContrast:
        ToggleBrightnessContrast();
        break;
    case MenuCommand::SetWindowPositions:
        SaveWindowPositions(m_app);
        SaveOptionsAndReport(m_app.options, m_app.messages);
        m_app.messages.Append(QStringLiteral("Default window positions are set\r\n"), true);
        break;
    default:
        RunDialogCommand(command, m_steps);
        break;
    }
}

void MainWindow::ToggleBrightnessContrast()
{
    BrightnessContrastWindow* window = m_app.brightnessContrastWindow;
    bool& shown = m_app.state.BrightnessContrastShown;
    shown = !shown;
    if (shown) {
        ActionFor(MenuCommand::BrightnessContrast)->setChecked(true);
        if (window) {
            window->ShowBrightnessContrast();
            window->show();
        }
    } else if (window) {
        window->HideBrightnessContrast();
    }
    // The colour control is part of the graph only while the window is shown.
    m_app.recording.RestartGraph();
}

void SaveWindowPositions(CaptureApp& app)
{
    WindowRects rects;
    rects.main = RectOf(app.mainWindow);
    rects.messages = RectOf(app.userMessagesWindow);
    rects.controls = RectOf(app.controlsWindow);
    rects.countdown = RectOf(app.countdownWindow);
    rects.brightnessContrast = RectOf(app.brightnessContrastWindow);
    StoreWindowPositions(app.options, rects);
}

void MainWindow::closeEvent(QCloseEvent* e)
{
    if (const QString question = ExitQuestion(); !question.isEmpty()) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Attention"), question, QMessageBox::Yes | QMessageBox::No,
                        this);
        box.setDefaultButton(QMessageBox::No);
        if (box.exec() != QMessageBox::Yes) {
            e->ignore();
            return;
        }
    }
    e->accept();
    EndProgram();
}

void MainWindow::EndProgram()
{
    EndProgramNow(m_app);
}

void MainWindow::moveEvent(QMoveEvent* e)
{
    QMainWindow::moveEvent(e);
    if (m_app.controlsWindow && m_app.controlsWindow->isVisible())
        m_app.controlsWindow->raise();
}
