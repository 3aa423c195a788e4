#include "recording/PowerActions.h"

#include "app/CaptureApp.h"
#include "app/MainLoop.h"
#include "recording/ui/PowerCountdownDialog.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <algorithm>
#include <csignal>
#include <memory>
#include <sys/prctl.h>

namespace {

const QString kLogind = QStringLiteral("org.freedesktop.login1");
const QString kMock = QStringLiteral("org.freedesktop.DBus.Mock");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");

// Reads an array of structures from the first argument of a reply, one row per structure.
template <class ReadRow>
QStringList Rows(const QDBusMessage& reply, ReadRow readRow)
{
    QStringList rows;
    if (reply.arguments().isEmpty())
        return rows;
    const QDBusArgument list = reply.arguments().constFirst().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        list.beginStructure();
        rows << readRow(list);
        list.endStructure();
    }
    list.endArray();
    return rows;
}

// python3-dbusmock's logind template on a private bus that stands in for the system bus.
// Both start once per test process, before anything reads DBUS_SYSTEM_BUS_ADDRESS; each
// MockLogind resets the mock to the template's defaults.
class MockLogind {
public:
    MockLogind()
    {
        if (Ready())
            Reset();
    }
    static const QString& WhyNot()
    {
        static const QString whyNot = Start();
        return whyNot;
    }
    static bool Ready() { return WhyNot().isEmpty(); }

    void Reset()
    {
        Call(kMock, QStringLiteral("Reset"));
        Call(kMock, QStringLiteral("ClearCalls"));
    }
    void Refuse(const char* method)
    {
        Call(kMock, QStringLiteral("AddMethod"),
             {kManager, QLatin1String(method), QStringLiteral("b"), QString(),
              QStringLiteral("raise dbus.exceptions.DBusException('Access denied', "
                             "name='org.freedesktop.DBus.Error.AccessDenied')")});
    }
    void Answer(const char* canMethod, const char* answer)
    {
        Call(kMock, QStringLiteral("AddMethod"),
             {kManager, QLatin1String(canMethod), QString(), QStringLiteral("s"),
              QStringLiteral("ret = '%1'").arg(QLatin1String(answer))});
    }
    void AddOtherUser()
    {
        Call(kMock, QStringLiteral("AddSession"),
             {QStringLiteral("c9"), QStringLiteral("seat0"), 4242u, QStringLiteral("visitor"), true});
    }
    // The Manager calls so far, as "Name(args)", e.g. "Hibernate(false)".
    QStringList Calls()
    {
        return Rows(Call(kMock, QStringLiteral("GetCalls")), [](const QDBusArgument& call) {
            qulonglong when = 0;
            QString name;
            QVariantList args;
            call >> when >> name >> args;
            QStringList texts;
            for (const QVariant& arg : args)
                texts << arg.toString();
            return name + u'(' + texts.join(QStringLiteral(", ")) + u')';
        });
    }
    // Each held inhibitor as "what|who|why|mode".
    QStringList Inhibitors()
    {
        return Rows(Call(kManager, QStringLiteral("ListInhibitors")), [](const QDBusArgument& inhibitor) {
            QString what, who, why, mode;
            uint uid = 0, pid = 0;
            inhibitor >> what >> who >> why >> mode >> uid >> pid;
            return QStringList{what, who, why, mode}.join(u'|');
        });
    }

private:
    static QDBusMessage Call(const QString& interface, const QString& method, const QVariantList& args = {})
    {
        QDBusMessage m =
            QDBusMessage::createMethodCall(kLogind, QStringLiteral("/org/freedesktop/login1"), interface, method);
        m.setArguments(args);
        return QDBusConnection::systemBus().call(m, QDBus::Block, 5000);
    }
    // Empty when the bus and the mock came up, else why not.
    static QString Start()
    {
        // Both processes live until the test process ends, and end with it even when it crashes.
        const auto endWithParent = [] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); };
        auto* daemon = new QProcess;
        daemon->setChildProcessModifier(endWithParent);
        daemon->start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        if (!daemon->waitForStarted(5000) || !daemon->waitForReadyRead(5000))
            return QStringLiteral("dbus-daemon did not start (Debian package dbus)");
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", daemon->readLine().trimmed());
        auto* mock = new QProcess;
        mock->setChildProcessModifier(endWithParent);
        mock->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // The Debian interpreter: a python3 earlier on PATH may lack the module.
        mock->start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-m"), QStringLiteral("dbusmock"),
                                                         QStringLiteral("--template"), QStringLiteral("logind")});
        const auto up = [] { return QDBusConnection::systemBus().interface()->isServiceRegistered(kLogind).value(); };
        if (!mock->waitForStarted(5000) || !QTest::qWaitFor(up, 10'000))
            return QStringLiteral("dbusmock's logind did not come up (is python3-dbusmock installed?)");
        return {};
    }
};

const char* const kHibernateFailed = "Unable to create hibernate the computer.  Check user privileges.";
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
        if (!MockLogind::Ready())
            GTEST_SKIP() << "no mock login manager: " << MockLogind::WhyNot().toStdString();
        m_app.messages.SetEchoToStderr(false);
    }
    QString Log() { return m_app.messages.Text(); }

    MockLogind m_mock; // first: the system bus is read from the environment once
    ScopedLogAndClock m_log{CalendarTime{2026, 3, 0, 15, 3, 4, 5, 0}};
    CaptureApp m_app{m_log.Clock()};
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
        {E::CountedDown, false, true, nullptr, "no", false, "", "Cannot adjust privilege to shut down computer"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.called) + "|" + c.message + "|" + std::to_string(static_cast<int>(c.end)));
        m_mock.Reset(); // each case starts from the template's defaults
        if (c.refused)
            m_mock.Refuse(c.refused);
        if (c.canPowerOff)
            m_mock.Answer("CanPowerOff", c.canPowerOff);
        if (c.otherUser)
            m_mock.AddOtherUser();
        m_app.messages.Clear();
        m_shutdownTexts = false;
        bool woken = false;
        PowerActions(m_app.state, m_app.messages, m_logind, DialogEndingWith(m_app.state, c.end, &m_shutdownTexts),
                     [&woken] { woken = true; })
            .RunPowerAction(c.hibernate, c.shutdown);
        for (const char* action : {"Hibernate(false)", "PowerOff(false)"})
            EXPECT_EQ(m_mock.Calls().contains(QLatin1String(action)), QByteArray(c.called).contains(action)) << action;
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
    EXPECT_TRUE(m_mock.Calls().contains(QStringLiteral("PowerOff(false)")));
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
    EXPECT_EQ(m_mock.Calls(), QStringList{});
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
        m_mock.Answer("CanHibernate", c.canHibernate);
        m_mock.Answer("CanPowerOff", c.canPowerOff);
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
        return QTest::qWaitFor([&] { return m_mock.Inhibitors() == expected; }, 10'000);
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
    AppState state;
    LogindPower logind(QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/vela/bus"),
                                                     QStringLiteral("vela-no-bus")));
    const auto said = [&log](std::initializer_list<const char*> messages) {
        const QString text = log.Messages();
        log.ClearMessages();
        return std::all_of(messages.begin(), messages.end(), [&](const char* m) { return text.contains(QLatin1String(m)); })
               && text.contains(QLatin1String(kUnreachable));
    };
    CheckPowerAtStartup(logind, log.Log());
    EXPECT_TRUE(said({kNoHibernation, kNoPrivilege}));
    PowerActions power(
        state, log.Log(), logind, [](bool) { return static_cast<int>(CountdownEnd::CountedDown); }, [] {});
    power.RunPowerAction(true, false);
    EXPECT_TRUE(said({kHibernateFailed}));
    power.HoldKeepAwake(true);
    EXPECT_TRUE(said({}));
    EXPECT_FALSE(state.PowerActionPending || state.QuitRequested);
}
