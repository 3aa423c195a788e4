#include "recording/LogindPower.h"

#include <QDBusArgument>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <unistd.h>

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
// Long enough for polkit to decide, short enough that a hung bus cannot stall the
// scheduler noticeably.
constexpr int kTimeoutMs = 3000;

bool IsUnreachable(const QDBusError& e)
{
    switch (e.type()) {
    case QDBusError::ServiceUnknown:
    case QDBusError::NoReply:
    case QDBusError::NoServer:
    case QDBusError::Timeout:
    case QDBusError::TimedOut:
    case QDBusError::Disconnected:
    case QDBusError::NoNetwork:
    case QDBusError::BadAddress:
        return true;
    default:
        return false;
    }
}

bool IsRefusal(const QDBusError& e)
{
    static const QStringList refusals = {
        QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"),
        QStringLiteral("org.freedesktop.DBus.Error.InteractiveAuthorizationRequired"),
        QStringLiteral("org.freedesktop.PolicyKit1.Error.NotAuthorized"),
    };
    return e.type() == QDBusError::AccessDenied || refusals.contains(e.name());
}

PowerCall FromError(const QDBusError& e)
{
    PowerCall call;
    call.reply = IsUnreachable(e) ? PowerReply::Unreachable
                 : IsRefusal(e)   ? PowerReply::Refused
                                  : PowerReply::Failed;
    call.error = e.name().isEmpty() ? e.message() : e.name() + QStringLiteral(": ") + e.message();
    return call;
}

} // namespace

LogindPower::LogindPower(const QDBusConnection& bus)
    : m_bus(bus)
{
}

PowerCall LogindPower::Call(const QString& method, const QVariantList& args, QVariant* value)
{
    if (!m_bus.isConnected()) {
        PowerCall call = FromError(m_bus.lastError());
        call.reply = PowerReply::Unreachable; // whatever the reason, there is no bus
        if (call.error.isEmpty())
            call.error = QStringLiteral("no system bus");
        return call;
    }
    QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, kManager, method);
    message.setArguments(args);
    const QDBusMessage reply = m_bus.call(message, QDBus::Block, kTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return FromError(QDBusError(reply));
    if (value && !reply.arguments().isEmpty())
        *value = reply.arguments().constFirst();
    return {PowerReply::Accepted, {}, {}};
}

PowerCall LogindPower::CanHibernate()
{
    QVariant value;
    PowerCall call = Call(QStringLiteral("CanHibernate"), {}, &value);
    call.answer = value.toString();
    return call;
}

PowerCall LogindPower::CanPowerOff()
{
    QVariant value;
    PowerCall call = Call(QStringLiteral("CanPowerOff"), {}, &value);
    call.answer = value.toString();
    return call;
}

PowerCall LogindPower::Hibernate()
{
    return Call(QStringLiteral("Hibernate"), {false});
}

PowerCall LogindPower::PowerOff()
{
    return Call(QStringLiteral("PowerOff"), {false});
}

bool LogindPower::Allows(const PowerCall& call)
{
    return call.reply == PowerReply::Accepted &&
           (call.answer == QLatin1String("yes") || call.answer == QLatin1String("challenge"));
}

bool LogindPower::OtherUsersLoggedOn()
{
    QVariant value;
    if (Call(QStringLiteral("ListSessions"), {}, &value).reply != PowerReply::Accepted)
        return false;
    const auto me = static_cast<uint>(::getuid());
    QList<QDBusObjectPath> others;
    const QDBusArgument list = value.value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        QString id, user, seat;
        uint uid = 0;
        QDBusObjectPath path;
        list.beginStructure();
        list >> id >> uid >> user >> seat >> path;
        list.endStructure();
        if (uid != me)
            others.append(path);
    }
    list.endArray();
    for (const QDBusObjectPath& path : others) {
        QDBusMessage get = QDBusMessage::createMethodCall(kService, path.path(),
                                                          QStringLiteral("org.freedesktop.DBus.Properties"),
                                                          QStringLiteral("Get"));
        get.setArguments({QStringLiteral("org.freedesktop.login1.Session"), QStringLiteral("Class")});
        const QDBusMessage reply = m_bus.call(get, QDBus::Block, kTimeoutMs);
        // Without an answer the session counts, as logind counts it.
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty() ||
            reply.arguments().constFirst().value<QDBusVariant>().variant().toString() == QLatin1String("user"))
            return true;
    }
    return false;
}

PowerCall LogindPower::TakeSleepInhibitor()
{
    if (m_inhibitor.isValid())
        return {PowerReply::Accepted, {}, {}};
    QVariant value;
    PowerCall call = Call(QStringLiteral("Inhibit"),
                          {QStringLiteral("sleep"), QStringLiteral("VELA Video"), QStringLiteral("An Event is armed"),
                           QStringLiteral("block")},
                          &value);
    if (call.reply == PowerReply::Accepted) {
        m_inhibitor = value.value<QDBusUnixFileDescriptor>();
        if (!m_inhibitor.isValid()) {
            call.reply = PowerReply::Failed;
            call.error = QStringLiteral("the login manager returned no inhibitor");
        }
    }
    return call;
}

void LogindPower::ReleaseSleepInhibitor()
{
    // The last copy of the descriptor closes it, and logind drops the lock.
    m_inhibitor = QDBusUnixFileDescriptor();
}
