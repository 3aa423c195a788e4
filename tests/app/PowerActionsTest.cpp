#include "recording/PowerActions.h"

#include "app/CaptureApp.h"
#include "app/MainLoop.h"
#include "recording/MockLogind.h"
#include "recording/ui/PowerCountdownDialog.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <algorithm>
#include <memory>

namespace {

const char* const kHibernateFailed = "Unable to create hibernate the computer.  Check user privileges.";
const char* const kCannotAdjust = "Cannot adjust privilege to shut down computer";
const char* const kNoHibernation = "Computer cannot be placed into hibernation";
const char* const kNoPrivilege = "No privilege to automatically shut down or hibernate after event recording";
const char* const kUnreachable = "the system's login manager cannot be reached";

// The real dialog, ended the way a test asks once its modal loop runs.
PowerCountdown DialogEndingWith(const AppState& state, CountdownEnd end, bool* shutdownTexts)
{
    return [&state, end, shutdownTexts](bool shutdown) {
        *shutdownTexts = shutdown;
        PowerCountdownDialog d(shutdown, QFont());
        QTimer::singleShot(0, &d, [&] {
            EXPECT_TRUE(state.PowerActionPending) << "ticks must do nothing while the countdown shows";
            if (end == CountdownEnd::Cancelled)
                d.CancelButton()->click();
            else if (end == CountdownEnd::ClosedByFrame)
                d.close();
            else
                while (d.isVisible())
                    d.CountdownTick();
        });
        return d.exec();
    };
}

// Runs the main loop until something ends it; 99 when only the safety net did.
int RunMainLoop()
{
    QTimer::singleShot(20'000, [] { QCoreApplication::exit(99); });
    return QApplication::exec();
}

class PowerActionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!m_mock->Ready())
            GTEST_SKIP() << "no mock login manager: " << m_mock->WhyNot().toStdString();
        m_app.messages.SetEchoToStderr(false);
    }
    QString Log() { return m_app.messages.Text(); }

    // Before any member touches D-Bus: the system bus is read from the environment once.
    const QString m_bus = PrivateSystemBus(nullptr);
    ScopedLogAndClock m_log{CalendarTime{2026, 3, 0, 15, 3, 4, 5, 0}};
    CaptureApp m_app{m_log.Clock()};
    std::unique_ptr<MockLogind> m_mock = std::make_unique<MockLogind>();
    LogindPower m_logind;
    bool m_shutdownTexts = false;
};

} // namespace

// Hibernation follows the count or the frame, never the cancel; refusals give their
// messages and leave the scheduler running.
TEST_F(PowerActionsTest, TheCountOrTheFrameRunsTheActionAndRefusalsGiveTheirMessages)
{
    using E = CountdownEnd;
    const struct {
        E end;
        bool hibernate, shutdown;
        const char *refused, *canPowerOff; // the method logind refuses; CanPowerOff's answer
        bool otherUser;
        const char *called, *message; // the actions asked of logind; what the log says
    } cases[] = {
        {E::CountedDown, true, false, nullptr, nullptr, false, "Hibernate(false)", ""},
        {E::ClosedByFrame, true, false, nullptr, nullptr, false, "Hibernate(false)", ""},
        {E::Cancelled, true, false, nullptr, nullptr, false, "", ""},
        {E::Cancelled, false, true, nullptr, nullptr, false, "", ""},
        {E::CountedDown, true, true, nullptr, nullptr, false, "Hibernate(false)", ""}, // hibernation wins
        {E::CountedDown, true, false, "Hibernate", nullptr, false, "Hibernate(false)", kHibernateFailed},
        {E::CountedDown, false, true, "PowerOff", nullptr, false, "PowerOff(false)",
         "Insufficient user privilege to programmatically shut down computer"},
        {E::CountedDown, false, true, "PowerOff", nullptr, true, "PowerOff(false)",
         "Cannot shut down computer - other users logged on"},
        {E::CountedDown, false, true, nullptr, "no", false, "", kCannotAdjust},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.called) + "|" + c.message + "|" + std::to_string(static_cast<int>(c.end)));
        m_mock.reset(); // each case starts from the template's defaults
        m_mock = std::make_unique<MockLogind>();
        ASSERT_TRUE(m_mock->Ready());
        if (c.refused)
            m_mock->Refuse(QLatin1String(c.refused), QStringLiteral("b"));
        if (c.canPowerOff)
            m_mock->Answer(QStringLiteral("CanPowerOff"), QLatin1String(c.canPowerOff));
        if (c.otherUser)
            m_mock->AddSession(QStringLiteral("c9"), 4242, QStringLiteral("visitor"));
        m_app.messages.Clear();
        m_shutdownTexts = false;
        bool woken = false;
        PowerActions(m_app.state, m_app.messages, m_logind, DialogEndingWith(m_app.state, c.end, &m_shutdownTexts),
                     [&woken] { woken = true; })
            .RunPowerAction(c.hibernate, c.shutdown);
        for (const char* action : {"Hibernate(false)", "PowerOff(false)"})
            EXPECT_EQ(m_mock->Calls().contains(QLatin1String(action)), QByteArray(c.called).contains(action)) << action;
        EXPECT_TRUE(*c.message ? Log().contains(QLatin1String(c.message)) && !Log().contains(QLatin1String(kUnreachable))
                               : Log().isEmpty())
            << Log().toStdString();
        if (!*c.message)
            EXPECT_EQ(m_shutdownTexts, c.shutdown && !c.hibernate);
        else
            EXPECT_FALSE(woken);
        EXPECT_FALSE(m_app.state.PowerActionPending || m_app.state.QuitRequested);
    }
}

TEST_F(PowerActionsTest, AnAcceptedPowerOffEndsTheMainLoop)
{
    MainLoopChecks checks(m_app);
    qApp->installEventFilter(&checks);
    PowerActions power(m_app.state, m_app.messages, m_logind,
                       DialogEndingWith(m_app.state, CountdownEnd::CountedDown, &m_shutdownTexts), &WakeMainLoop);
    QTimer::singleShot(0, [&power] { power.RunPowerAction(false, true); });
    EXPECT_EQ(RunMainLoop(), 0);
    qApp->removeEventFilter(&checks);
    EXPECT_TRUE(m_app.state.QuitRequested);
    EXPECT_TRUE(m_app.state.PowerActionPending) << "nothing else runs before the loop ends";
    EXPECT_TRUE(m_mock->Calls().contains(QStringLiteral("PowerOff(false)")));
}

// A signal ends the main loop and with it the countdown's: the computer is left alone.
TEST_F(PowerActionsTest, QuittingDuringTheCountdownRunsNoAction)
{
    PowerActions power(m_app.state, m_app.messages, m_logind, [](bool shutdown) {
        PowerCountdownDialog d(shutdown, QFont());
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        return d.exec();
    }, [] {});
    QTimer::singleShot(0, [&power] { power.RunPowerAction(true, false); });
    EXPECT_EQ(RunMainLoop(), 0);
    EXPECT_EQ(m_mock->Calls(), QStringList{});
    EXPECT_FALSE(m_app.state.PowerActionPending);
}

// What start-up finds refused is told then, is not offered (the reason shown beside the
// Event dialog's box), is noted when an Event file asks for it anyway, and holds nothing
// up after that Event's recording.
TEST_F(PowerActionsTest, ARefusedActionIsToldNotOfferedNotedWhenArmedAndNotCountedDown)
{
    const struct {
        const char *canHibernate, *canPowerOff, *hibernateRefused, *shutdownRefused;
    } cases[] = {
        {"na", "no", "this computer cannot hibernate", "not allowed for this user"},
        {"yes", "na", "", "this computer cannot power off"},
        {"no", "yes", "not allowed for this user", ""},
    };
    ScopedProcessDirectory dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.canHibernate) + "/" + c.canPowerOff);
        m_mock->Answer(QStringLiteral("CanHibernate"), QLatin1String(c.canHibernate));
        m_mock->Answer(QStringLiteral("CanPowerOff"), QLatin1String(c.canPowerOff));
        int countdowns = 0;
        CaptureApp app(m_log.Clock());
        app.messages.SetEchoToStderr(false);
        app.power = std::make_unique<PowerActions>(
            app.state, app.messages, m_logind,
            [&countdowns](bool) { return ++countdowns, static_cast<int>(CountdownEnd::Cancelled); }, [] {},
            CheckPowerAtStartup(m_logind, app.messages));
        const QString told = app.messages.Text();
        EXPECT_EQ(told.contains(QLatin1String(kNoHibernation)), *c.hibernateRefused != 0) << told.toStdString();
        EXPECT_EQ(told.contains(QLatin1String(kNoPrivilege)), *c.shutdownRefused != 0);
        EXPECT_EQ(app.power->WhyNot(PowerAction::Hibernate), QLatin1String(c.hibernateRefused));
        EXPECT_EQ(app.power->WhyNot(PowerAction::Shutdown), QLatin1String(c.shutdownRefused));

        app.scheduler.SetSystemPower(app.power.get());
        app.messages.Clear();
        const UtcTime now = UtcTimeNow(m_log.Clock());
        const EventFileFields shutdown =
            MakeEventFileFields({2026, 3, 0, 15, 4, 0, 0, 0}, {0, 0, 0, 0, 0, 1, 0, 0}, false, true);
        ASSERT_EQ(app.eventSchedule.InsertIntoSchedule(MakeEventRecord(shutdown, now), now), InsertResult::Accepted);
        app.scheduler.ArmNextEvent();
        EXPECT_EQ(app.messages.Text().contains(QStringLiteral(
                      "NOTE: this Event asks to shut down the computer after recording, which the system does not allow")),
                  *c.shutdownRefused != 0)
            << app.messages.Text().toStdString();
        app.scheduler.DisarmEvent();
        app.power->RunPowerAction(false, true);
        EXPECT_EQ(countdowns, *c.shutdownRefused ? 0 : 1);
        app.scheduler.SetSystemPower(nullptr);
    }
}

TEST_F(PowerActionsTest, TheSleepInhibitorIsHeldWhileArmedAndReleasedAfter)
{
    const QStringList armed{QStringLiteral("sleep|VELA Video|An Event is armed|block")};
    const auto held = [this](const QStringList& expected) {
        return QTest::qWaitFor([&] { return m_mock->Inhibitors() == expected; }, 10'000);
    };
    PowerActions power(m_app.state, m_app.messages, m_logind, nullptr, [] {});
    power.HoldKeepAwake(true);
    EXPECT_TRUE(held(armed));
    power.KeepAwakeOnce(); // the held lock serves; no second one
    power.HoldKeepAwake(true);
    EXPECT_TRUE(held(armed));
    power.HoldKeepAwake(false);
    EXPECT_TRUE(held({}));
    EXPECT_TRUE(Log().isEmpty()) << Log().toStdString();
}

// Without a login manager every power message says why.
TEST(PowerActionsUnreachable, EveryMessageSaysTheLoginManagerCannotBeReached)
{
    ScopedLogAndClock log{CalendarTime{2026, 3, 0, 15, 3, 4, 5, 0}};
    CaptureApp app(log.Clock());
    app.messages.SetEchoToStderr(false);
    LogindPower logind(QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/vela/bus"),
                                                     QStringLiteral("vela-no-bus")));
    const auto said = [&app](std::initializer_list<const char*> messages) {
        const QString text = app.messages.Text();
        app.messages.Clear();
        return std::all_of(messages.begin(), messages.end(), [&](const char* m) { return text.contains(QLatin1String(m)); })
               && text.contains(QLatin1String(kUnreachable));
    };
    CheckPowerAtStartup(logind, app.messages);
    EXPECT_TRUE(said({kNoHibernation, kNoPrivilege}));
    PowerActions power(
        app.state, app.messages, logind, [](bool) { return static_cast<int>(CountdownEnd::CountedDown); }, [] {});
    power.RunPowerAction(true, false);
    EXPECT_TRUE(said({kHibernateFailed}));
    power.HoldKeepAwake(true);
    EXPECT_TRUE(said({}));
    EXPECT_FALSE(app.state.PowerActionPending || app.state.QuitRequested);
}
