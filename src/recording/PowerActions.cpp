#include "recording/PowerActions.h"

#include "messages/UserMessageLog.h"
#include "recording/AppState.h"

namespace {

// The reason added to every power message when logind is out of reach, so that an
// observer reading the log next morning knows the cause is the system, not a setting.
QString Unreachable(const PowerCall& call, const char* lineEnd)
{
    return QStringLiteral("Power actions are not available because the system's login manager cannot be reached (") +
           call.error + QStringLiteral(")") + QLatin1String(lineEnd);
}

void Report(UserMessageLog& log, QString text, const PowerCall& call, const char* lineEnd)
{
    if (call.reply == PowerReply::Unreachable) {
        if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n')))
            text += QLatin1String(lineEnd);
        text += Unreachable(call, lineEnd);
    }
    log.Append(text, true);
}

// Why a Can* answer refuses the action, as the Event dialog shows it beside its box.
QString Refusal(const PowerCall& call, const char* unsupported)
{
    if (LogindPower::Allows(call))
        return {};
    if (call.reply == PowerReply::Unreachable)
        return QStringLiteral("the login manager cannot be reached");
    if (call.reply != PowerReply::Accepted)
        return QStringLiteral("the login manager gave no answer");
    if (call.answer == QLatin1String("na"))
        return QLatin1String(unsupported);
    return QStringLiteral("not allowed for this user");
}

} // namespace

PowerAbilities CheckPowerAtStartup(LogindPower& logind, UserMessageLog& log)
{
    const PowerCall hibernate = logind.CanHibernate();
    if (!LogindPower::Allows(hibernate))
        Report(log, QStringLiteral("Computer cannot be placed into hibernation\n"), hibernate, "\n");
    // One unreachable answer is enough: a second call would only wait out another timeout.
    const PowerCall powerOff = hibernate.reply == PowerReply::Unreachable ? hibernate : logind.CanPowerOff();
    if (!LogindPower::Allows(powerOff))
        log.Append(QStringLiteral("No privilege to automatically shut down or hibernate after event recording\n"), true);
    return {Refusal(hibernate, "this computer cannot hibernate"), Refusal(powerOff, "this computer cannot power off")};
}

PowerActions::PowerActions(AppState& app, UserMessageLog& log, LogindPower& logind, PowerCountdown countdown,
                           std::function<void()> wakeMainLoop, PowerAbilities abilities, QObject* parent)
    : QObject(parent)
    , m_app(app)
    , m_log(log)
    , m_logind(logind)
    , m_countdown(std::move(countdown))
    , m_wakeMainLoop(std::move(wakeMainLoop))
    , m_abilities(std::move(abilities))
{
    // A one-off keep-awake lasts a little over the minute between two requests.
    m_once.setInterval(std::chrono::seconds(65));
    m_once.setSingleShot(true);
    connect(&m_once, &QTimer::timeout, this, [this] {
        if (!m_hold)
            m_logind.ReleaseSleepInhibitor();
    });
}

QString PowerActions::WhyNot(PowerAction action) const
{
    return action == PowerAction::Hibernate ? m_abilities.hibernateRefused : m_abilities.powerOffRefused;
}

void PowerActions::HoldKeepAwake(bool hold)
{
    m_hold = hold;
    if (!hold) {
        m_once.stop();
        m_logind.ReleaseSleepInhibitor();
        return;
    }
    const PowerCall call = m_logind.TakeSleepInhibitor();
    if (call.reply != PowerReply::Accepted)
        Report(m_log, QStringLiteral("WARNING: cannot keep the computer awake while the Event is armed") +
                   (call.reply == PowerReply::Unreachable ? QString() : QStringLiteral(" (") + call.error + u')') +
                   QStringLiteral("\r\n"),
               call, "\r\n");
}

void PowerActions::KeepAwakeOnce()
{
    if (m_hold && m_logind.HoldsSleepInhibitor())
        return;
    // No hold in force, or it could not be taken: try again, for the next minute at least.
    if (m_logind.TakeSleepInhibitor().reply == PowerReply::Accepted && !m_hold)
        m_once.start();
}

void PowerActions::RunPowerAction(bool hibernate, bool shutdown)
{
    // Arming the Event has said so already; waiting out a countdown would only hold up
    // the next Event.
    if ((!hibernate && !shutdown) || !CanRun(hibernate ? PowerAction::Hibernate : PowerAction::Shutdown))
        return;
    // Ticks that arrive while the countdown's own loop runs must do nothing.
    m_app.PowerActionPending = true;
    const int end = m_countdown(shutdown && !hibernate);
    // Any other end is the program quitting (a signal) while the countdown showed: no
    // action without the count or the user's close.
    if (end != static_cast<int>(CountdownEnd::CountedDown) && end != static_cast<int>(CountdownEnd::ClosedByFrame)) {
        m_app.PowerActionPending = false;
        return;
    }
    if (hibernate) {
        // Returns once the request is queued; the process freezes shortly after and
        // carries on here when the computer wakes.
        const PowerCall call = m_logind.Hibernate();
        if (call.reply != PowerReply::Accepted)
            Report(m_log, QStringLiteral("\r\nUnable to create hibernate the computer.  Check user privileges.\r\n"),
                   call, "\r\n");
        m_app.PowerActionPending = false;
        return;
    }
    PowerOffNow();
}

void PowerActions::PowerOffNow()
{
    const PowerCall allowed = m_logind.CanPowerOff();
    if (!LogindPower::Allows(allowed)) {
        Report(m_log, QStringLiteral("Cannot adjust privilege to shut down computer"), allowed, "\r\n");
        m_app.PowerActionPending = false;
        return;
    }
    const PowerCall call = m_logind.PowerOff();
    switch (call.reply) {
    case PowerReply::Accepted:
        // Pending stays set: the loop ends before it dispatches anything else.
        m_app.QuitRequested = true;
        if (m_wakeMainLoop)
            m_wakeMainLoop();
        return;
    case PowerReply::Refused:
        m_log.Append(m_logind.OtherUsersLoggedOn()
                         ? QStringLiteral("Cannot shut down computer - other users logged on")
                         : QStringLiteral("Insufficient user privilege to programmatically shut down computer"),
                     true);
        break;
    case PowerReply::Unreachable:
        Report(m_log, {}, call, "\r\n");
        break;
    case PowerReply::Failed:
        break; // as on any other shut-down error: nothing to tell the user
    }
    m_app.PowerActionPending = false;
}
