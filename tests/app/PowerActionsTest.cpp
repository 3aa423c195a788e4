#include "recording/PowerActions.h"

#include "app/CaptureApp.h"
#include "app/MainLoop.h"
#include "app/ProgramCommands.h"
#include "events/EventSchedule.h"
#include "messages/UserMessageLog.h"
#include "events/ui/ScheduleEventDialog.h"
#include "recording/MockLogind.h"
#include "recording/Scheduler.h"
#include "recording/ui/PowerCountdownDialog.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"
#include "support/WidgetDriving.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <tuple>
#include <gtest/gtest.h>
#include <iostream>
#include <memory>
#include <vector>

namespace {

const char* const kHibernateFailed = "Unable to create hibernate the computer.  Check user privileges.";
const char* const kInsufficient = "Insufficient user privilege to programmatically shut down computer";
const char* const kOtherUsers = "Cannot shut down computer - other users logged on";
const char* const kCannotAdjust = "Cannot adjust privilege to shut down computer";
const char* const kNoHibernation = "Computer cannot be placed into hibernation";
const char* const kNoPrivilege = "No privilege to automatically shut down or hibernate after event recording";
const char* const kUnreachable = "the system's login manager cannot be reached";

// The real dialog, ended the way a test asks once its modal loop runs.
PowerCountdown DialogEndingWith(CountdownEnd end, bool* shutdownTexts = nullptr)
{
    return [end, shutdownTexts](bool shutdown) {
        if (shutdownTexts)
            *shutdownTexts = shutdown;
        PowerCountdownDialog d(shutdown, QFont());
        QTimer::singleShot(0, &d, [&d, end] {
            EXPECT_TRUE(TheAppState().PowerActionPending) << "ticks must do nothing while the countdown shows";
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

class PowerActionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_mock = std::make_unique<MockLogind>();
        if (!m_mock->Ready())
            GTEST_SKIP() << "no mock login manager: " << m_mock->WhyNot().toStdString();
    }
    void TearDown() override { TheAppState() = m_savedState; }

    QString Log() const { return m_log.Messages(); }

    // Before any member touches D-Bus: the system bus is read from the environment once.
    const QString m_bus = PrivateSystemBus(nullptr);
    ScopedLogAndClock m_log{CalendarTime{2026, 3, 0, 15, 3, 4, 5, 0}};
    const AppState m_savedState = TheAppState();
    std::unique_ptr<MockLogind> m_mock;
    LogindPower m_logind;
};

} // namespace

TEST_F(PowerActionsTest, HibernationFollowsTheCountOrTheFrameNeverTheCancel)
{
    struct Case {
        CountdownEnd end;
        bool hibernate;
        bool shutdown;
        QStringList calls;
    };
    const Case cases[] = {
        {CountdownEnd::CountedDown, true, false, {"Hibernate(false)"}},
        {CountdownEnd::ClosedByFrame, true, false, {"Hibernate(false)"}},
        {CountdownEnd::Cancelled, true, false, {}},
        {CountdownEnd::Cancelled, false, true, {}},
        // Both asked: hibernation wins, with its own texts.
        {CountdownEnd::CountedDown, true, true, {"Hibernate(false)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.end) * 10 + c.hibernate * 2 + c.shutdown);
        m_mock->ClearCalls();
        m_log.ClearMessages();
        bool shutdownTexts = false;
        PowerActions power(TheAppState(), UserMessageLog::Instance(), m_logind,
                           DialogEndingWith(c.end, &shutdownTexts), [] {});
        power.RunPowerAction(c.hibernate, c.shutdown);
        EXPECT_EQ(m_mock->Calls(), c.calls);
        EXPECT_EQ(shutdownTexts, c.shutdown && !c.hibernate);
        EXPECT_TRUE(Log().isEmpty()) << Log().toStdString();
        EXPECT_FALSE(TheAppState().PowerActionPending);
        EXPECT_FALSE(TheAppState().QuitRequested);
    }
}

TEST_F(PowerActionsTest, RefusalsGiveTheirMessagesAndLeaveTheSchedulerRunning)
{
    struct Case {
        const char* what;
        std::function<void(MockLogind&)> configure;
        bool hibernate;
        const char* message;
        bool powerOffCalled;
    };
    const Case cases[] = {
        {"hibernation refused", [](MockLogind& m) { m.Refuse(QStringLiteral("Hibernate"), QStringLiteral("b")); }, true,
         kHibernateFailed, false},
        {"power-off refused", [](MockLogind& m) { m.Refuse(QStringLiteral("PowerOff"), QStringLiteral("b")); }, false,
         kInsufficient, true},
        {"power-off refused, another user on",
         [](MockLogind& m) {
             m.Refuse(QStringLiteral("PowerOff"), QStringLiteral("b"));
             m.AddSession(QStringLiteral("c9"), 4242, QStringLiteral("visitor"));
         },
         false, kOtherUsers, true},
        {"power-off not permitted at all",
         [](MockLogind& m) { m.Answer(QStringLiteral("CanPowerOff"), QStringLiteral("no")); }, false, kCannotAdjust,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.configure(*m_mock);
        m_mock->ClearCalls();
        m_log.ClearMessages();
        bool woken = false;
        PowerActions power(TheAppState(), UserMessageLog::Instance(), m_logind,
                           DialogEndingWith(CountdownEnd::CountedDown), [&woken] { woken = true; });
        power.RunPowerAction(c.hibernate, !c.hibernate);
        EXPECT_TRUE(Log().contains(QLatin1String(c.message))) << Log().toStdString();
        EXPECT_FALSE(Log().contains(QLatin1String(kUnreachable)));
        EXPECT_EQ(m_mock->Calls().contains(QStringLiteral("PowerOff(false)")), c.powerOffCalled);
        EXPECT_FALSE(TheAppState().PowerActionPending);
        EXPECT_FALSE(TheAppState().QuitRequested);
        EXPECT_FALSE(woken);
        // Each case starts from the template's defaults again.
        m_mock.reset();
        m_mock = std::make_unique<MockLogind>();
        ASSERT_TRUE(m_mock->Ready());
    }
}

TEST_F(PowerActionsTest, AnAcceptedPowerOffEndsTheMainLoop)
{
    CaptureApp app;
    MainLoopChecks checks(app);
    QCoreApplication::instance()->installEventFilter(&checks);
    PowerActions power(app.state, app.messages, m_logind, DialogEndingWith(CountdownEnd::CountedDown), &WakeMainLoop);
    QTimer::singleShot(0, [&power] { power.RunPowerAction(false, true); });
    // A safety net only: the loop must end long before this.
    QTimer::singleShot(20'000, [] { QCoreApplication::exit(99); });
    const int exitCode = QApplication::exec();
    QCoreApplication::instance()->removeEventFilter(&checks);
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(app.state.QuitRequested);
    EXPECT_TRUE(app.state.PowerActionPending) << "nothing else runs before the loop ends";
    EXPECT_TRUE(m_mock->Calls().contains(QStringLiteral("PowerOff(false)")));
    EXPECT_TRUE(Log().isEmpty()) << Log().toStdString();
}

// A signal ends the main loop and with it the countdown's: the program ends, and the
// computer is left alone.
TEST_F(PowerActionsTest, QuittingDuringTheCountdownRunsNoAction)
{
    PowerActions power(
        TheAppState(), UserMessageLog::Instance(), m_logind,
        [](bool shutdown) {
            PowerCountdownDialog d(shutdown, QFont());
            QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
            return d.exec();
        },
        [] {});
    QTimer::singleShot(0, [&power] { power.RunPowerAction(true, false); });
    QTimer::singleShot(20'000, [] { QCoreApplication::exit(99); }); // a safety net only
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(m_mock->Calls(), QStringList{});
    EXPECT_FALSE(TheAppState().PowerActionPending);
}

// What start-up finds refused is told at start-up, is not offered by the Event dialog, is
// noted when an Event file asks for it anyway, and holds nothing up after that Event's recording.
TEST_F(PowerActionsTest, ARefusedActionIsNotOfferedIsNotedWhenArmedAndIsNotCountedDown)
{
    struct Case {
        const char* canHibernate;
        const char* canPowerOff;
        const char* hibernateRefused; // as shown beside the box; nullptr when offered
        const char* shutdownRefused;
    };
    const Case cases[] = {
        {"na", "no", "this computer cannot hibernate", "not allowed for this user"},
        {"yes", "na", nullptr, "this computer cannot power off"},
        {"challenge", "challenge", nullptr, nullptr},
        {"no", "yes", "not allowed for this user", nullptr},
        {"yes", "yes", nullptr, nullptr},
    };
    ScopedProcessDirectory dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.canHibernate) + "/" + c.canPowerOff);
        m_mock->Answer(QStringLiteral("CanHibernate"), QLatin1String(c.canHibernate));
        m_mock->Answer(QStringLiteral("CanPowerOff"), QLatin1String(c.canPowerOff));
        m_log.ClearMessages();
        int countdowns = 0;
        CaptureApp app;
        app.power = std::make_unique<PowerActions>(
            app.state, app.messages, m_logind,
            [&countdowns](bool) {
                ++countdowns;
                return static_cast<int>(CountdownEnd::Cancelled);
            },
            [] {}, CheckPowerAtStartup(m_logind, app.messages));
        SystemPower& power = *app.power;
        EXPECT_EQ(Log().contains(QLatin1String(kNoHibernation)), c.hibernateRefused != nullptr) << Log().toStdString();
        EXPECT_EQ(Log().contains(QLatin1String(kNoPrivilege)), c.shutdownRefused != nullptr);
        EXPECT_FALSE(Log().contains(QLatin1String(kUnreachable)));
        app.scheduler.SetSystemPower(&power);

        QTimer::singleShot(0, [&c] {
            auto* d = qobject_cast<ScheduleEventDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            for (const auto& [box, reasonName, refused] : {std::tuple{"hibernate", "hibernateRefused", c.hibernateRefused},
                                                            std::tuple{"shutdown", "shutdownRefused", c.shutdownRefused}}) {
                const auto* reason = d->findChild<QLabel*>(QLatin1String(reasonName));
                EXPECT_EQ(ById<QCheckBox>(*d, box)->isEnabled(), refused == nullptr) << box;
                EXPECT_EQ(reason ? reason->text() : QString(),
                          refused ? QStringLiteral("(%1)").arg(QLatin1String(refused)) : QString());
            }
            d->reject();
        });
        RunMenuDialog(app, MenuDialog::ScheduleEvent, nullptr);

        // An Event file that asks to shut down, armed.
        m_log.ClearMessages();
        const CalendarTime at{2026, 3, 0, 15, 4, 0, 0, 0};
        const UtcTime now = UtcTimeNow(m_log.Clock());
        ASSERT_EQ(app.eventSchedule.InsertIntoSchedule(
                      MakeEventRecord(MakeEventFileFields(at, {0, 0, 0, 0, 0, 1, 0, 0}, false, true), now), now),
                  InsertResult::Accepted);
        app.scheduler.ArmNextEvent();
        const bool noted = Log().contains(QStringLiteral("NOTE: this Event asks to shut down the computer after "
                                                         "recording, which the system does not allow"));
        EXPECT_EQ(noted, c.shutdownRefused != nullptr) << Log().toStdString();
        EXPECT_EQ(Log().contains(QLatin1String("computer will shut down 30 seconds")), c.shutdownRefused == nullptr);
        app.scheduler.DisarmEvent();

        power.RunPowerAction(false, true);
        EXPECT_EQ(countdowns, c.shutdownRefused ? 0 : 1);
        EXPECT_FALSE(app.state.PowerActionPending);
        app.scheduler.SetSystemPower(nullptr);
    }
}

TEST_F(PowerActionsTest, TheSleepInhibitorIsHeldWhileArmedAndReleasedAfter)
{
    const QStringList armed{QStringLiteral("sleep|VELA Video|An Event is armed|block")};
    const auto held = [this](const QStringList& expected) {
        return QTest::qWaitFor([&] { return m_mock->Inhibitors() == expected; }, 10'000);
    };
    PowerActions power(TheAppState(), UserMessageLog::Instance(), m_logind,
                       DialogEndingWith(CountdownEnd::Cancelled), [] {});
    power.HoldKeepAwake(true);
    EXPECT_TRUE(held(armed));
    power.KeepAwakeOnce(); // the held lock serves; no second one
    power.HoldKeepAwake(true);
    EXPECT_TRUE(held(armed));
    power.HoldKeepAwake(false);
    EXPECT_TRUE(held({}));

    // Without a hold, a one-off request lasts its period and then lets go.
    power.SetKeepAwakeOncePeriod(std::chrono::milliseconds(10));
    power.KeepAwakeOnce();
    EXPECT_TRUE(m_logind.HoldsSleepInhibitor());
    EXPECT_TRUE(held({}));
    EXPECT_FALSE(m_logind.HoldsSleepInhibitor());
    EXPECT_TRUE(Log().isEmpty()) << Log().toStdString();
}

// Without a login manager every power message says why, and nothing blocks for long.
TEST(PowerActionsUnreachable, EveryMessageSaysTheLoginManagerCannotBeReached)
{
    ScopedLogAndClock log{CalendarTime{2026, 3, 0, 15, 3, 4, 5, 0}};
    const AppState saved = TheAppState();
    QString whyNot;
    const bool privateBus = !PrivateSystemBus(&whyNot).isEmpty();
    struct Case {
        const char* what;
        QDBusConnection bus;
    };
    std::vector<Case> cases{
        {"no system bus", QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/vela/bus"),
                                                        QStringLiteral("vela-no-bus"))}};
    if (privateBus)
        cases.push_back({"a bus without logind", QDBusConnection::systemBus()});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LogindPower logind(c.bus);
        log.ClearMessages();
        CheckPowerAtStartup(logind, UserMessageLog::Instance());
        const QString startup = log.Messages();
        EXPECT_TRUE(startup.contains(QLatin1String(kNoHibernation)));
        EXPECT_TRUE(startup.contains(QLatin1String(kNoPrivilege)));
        EXPECT_TRUE(startup.contains(QLatin1String(kUnreachable))) << startup.toStdString();

        PowerActions power(
            TheAppState(), UserMessageLog::Instance(), logind,
            [](bool) { return static_cast<int>(CountdownEnd::CountedDown); }, [] {});
        const struct {
            bool hibernate;
            const char* message;
        } actions[] = {{true, kHibernateFailed}, {false, kCannotAdjust}};
        for (const auto& a : actions) {
            log.ClearMessages();
            power.RunPowerAction(a.hibernate, !a.hibernate);
            EXPECT_TRUE(log.Messages().contains(QLatin1String(a.message))) << log.Messages().toStdString();
            EXPECT_TRUE(log.Messages().contains(QLatin1String(kUnreachable)));
            EXPECT_FALSE(TheAppState().PowerActionPending);
            EXPECT_FALSE(TheAppState().QuitRequested);
        }
        log.ClearMessages();
        power.HoldKeepAwake(true);
        power.KeepAwakeOnce();
        power.HoldKeepAwake(false);
        EXPECT_TRUE(log.Messages().contains(QLatin1String(kUnreachable))) << log.Messages().toStdString();
    }
    if (!privateBus)
        std::cout << "[ NOTE ] only the case without a bus ran: " << whyNot.toStdString() << '\n';
    TheAppState() = saved;
}
