// The windows as the scheduler drives them: titles, buttons, greyed menus, the
// countdown window, the stop question, and the main window's timers.
#include "AppWindowsFixture.h"

#include "app/CountdownPaneText.h"
#include "app/ui/ChildWindows.h"
#include "app/ui/MainWindow.h"
#include "app/ui/RecordingUiAdapter.h"
#include "messages/ui/UserMessagesWindow.h"
#include "recording/Scheduler.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

class RecordingUiTest : public AppWindowsTest {
protected:
    // The hooks the program installs at start-up.
    static RecordingUi& Ui() { return *s_app->scheduler.TheRecordingUi(); }
    static SchedulerTimers& Timers() { return *s_app->scheduler.TheSchedulerTimers(); }

    static QList<bool> MenusEnabled()
    {
        QList<bool> enabled;
        for (QAction* a : s_app->mainMenuBar->actions())
            enabled << a->isEnabled();
        enabled << s_app->messagesFileMenu->menuAction()->isEnabled()
                << s_app->mainWindow->ActionFor(MenuCommand::Exit)->isEnabled();
        return enabled;
    }

    // Answers the next modal question with the given button and keeps what it showed.
    void AnswerNextQuestion(QMessageBox::StandardButton answer)
    {
        QTimer::singleShot(0, [this, answer] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            m_asked = {box->windowTitle(), box->text()};
            m_icon = box->icon();
            m_buttons = box->standardButtons();
            box->button(answer)->click();
        });
    }

    QStringList m_asked;
    QMessageBox::Icon m_icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons m_buttons;
};

} // namespace

TEST_F(RecordingUiTest, RecordingGreysWholeMenusButNotTheMainFileMenu)
{
    ASSERT_NE(s_app->scheduler.TheRecordingUi(), nullptr);
    // File, Events, Display, Options, Help, the User Messages File menu, "Exit".
    Ui().SetMenusForRecording(true);
    EXPECT_EQ(MenusEnabled(), (QList<bool>{true, false, false, false, false, false, false}));
    Ui().SetMenusForRecording(false);
    EXPECT_EQ(MenusEnabled(), (QList<bool>{true, true, true, true, true, true, true}));
    // Entries greyed for want of a camera stay grey.
    EXPECT_FALSE(s_app->mainWindow->ActionFor(MenuCommand::Devices)->isEnabled());
}

TEST_F(RecordingUiTest, TitlesButtonsAndTheCountdownWindowFollowTheState)
{
    Ui().SetMainTitle(QStringLiteral("VELA Video App -- Event pending"));
    Ui().SetCountdownTitle(QStringLiteral("Recording Event"));
    EXPECT_EQ(s_app->mainWindow->windowTitle(), QStringLiteral("VELA Video App -- Event pending"));
    EXPECT_EQ(s_app->countdownWindow->windowTitle(), QStringLiteral("Recording Event"));

    Ui().SetRecordingControls(true);
    EXPECT_FALSE(s_app->controlsWindow->StartButton()->isEnabled());
    EXPECT_TRUE(s_app->controlsWindow->StopButton()->isEnabled());
    Ui().SetRecordingControls(false);
    EXPECT_TRUE(s_app->controlsWindow->StartButton()->isEnabled());
    EXPECT_FALSE(s_app->controlsWindow->StopButton()->isEnabled());

    Ui().ShowCountdown();
    EXPECT_TRUE(s_app->countdownWindow->isVisible());
    for (auto kind : {CountdownPaneKind::Countdown, CountdownPaneKind::Title, CountdownPaneKind::StartLine,
                      CountdownPaneKind::EventLine, CountdownPaneKind::EndLine})
        EXPECT_TRUE(s_app->countdownWindow->Pane(kind)->isVisible());
    EXPECT_FALSE(s_app->countdownWindow->close()); // no close item
    Ui().HideCountdown();
    EXPECT_FALSE(s_app->countdownWindow->isVisible());
    Ui().SetMainTitle(QStringLiteral("VELA Video App"));
}

TEST_F(RecordingUiTest, TheStopQuestionIsAWarningWithYesAndNo)
{
    AnswerNextQuestion(QMessageBox::No);
    EXPECT_FALSE(Ui().AskStopEventRecording());
    EXPECT_EQ(m_asked, QStringList({"Attention", "Event recording in progress.  Stop now?"}));
    EXPECT_EQ(m_icon, QMessageBox::Warning);
    EXPECT_EQ(m_buttons, QMessageBox::Yes | QMessageBox::No);
    AnswerNextQuestion(QMessageBox::Yes);
    EXPECT_TRUE(Ui().AskStopEventRecording());
}

TEST_F(RecordingUiTest, TimersAreTheMainWindowsAndClosingItStopsThemBeforeTheGraph)
{
    QTimer* countdown = s_app->mainWindow->findChild<QTimer*>(QStringLiteral("countdownTimer"));
    QTimer* duration = s_app->mainWindow->findChild<QTimer*>(QStringLiteral("eventRecordingTimer"));
    QTimer* alarm = s_app->mainWindow->findChild<QTimer*>(QStringLiteral("startAlarm"));
    Timers().StartCountdownTimer();
    Timers().StartEventRecordingTimer(std::chrono::milliseconds(120450));
    Timers().StartStartAlarm(std::chrono::milliseconds(300));
    EXPECT_TRUE(alarm->isActive() && alarm->isSingleShot());
    EXPECT_EQ(alarm->timerType(), Qt::PreciseTimer);
    EXPECT_TRUE(countdown->isActive());
    EXPECT_EQ(countdown->interval(), 1000);
    EXPECT_TRUE(duration->isActive());
    EXPECT_EQ(duration->interval(), 120450);
    EXPECT_EQ(duration->timerType(), Qt::PreciseTimer);
    Timers().KillCountdownTimer();
    EXPECT_FALSE(countdown->isActive());

    // Closing during an Event recording, once confirmed: no tick may follow (no power
    // action) and the recording is stopped.
    s_app->EventRecordingActive = true;
    s_app->RecordingActive = true;
    Timers().StartCountdownTimer();
    AnswerNextQuestion(QMessageBox::Yes);
    EXPECT_TRUE(s_app->mainWindow->close());
    EXPECT_FALSE(countdown->isActive());
    EXPECT_FALSE(duration->isActive());
    EXPECT_FALSE(alarm->isActive());
    EXPECT_EQ(m_graph.stops, 1);
    EXPECT_FALSE(s_app->RecordingActive);
    s_app->EventRecordingActive = false;
}
