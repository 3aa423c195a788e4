#include "MockLogind.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QThread>
#include <csignal>
#include <cstdlib>

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kMock = QStringLiteral("org.freedesktop.DBus.Mock");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");

qint64 g_daemonPid = 0;

void StopDaemon()
{
    if (g_daemonPid > 0)
        ::kill(static_cast<pid_t>(g_daemonPid), SIGTERM);
}

// The Debian interpreter first: a python3 earlier on PATH may lack the module.
QString PythonWithDbusmock()
{
    for (const QString& python : {QStringLiteral("/usr/bin/python3"), QStringLiteral("python3")}) {
        QProcess probe;
        probe.start(python, {QStringLiteral("-c"), QStringLiteral("import dbusmock")});
        if (probe.waitForFinished(10'000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0)
            return python;
    }
    return {};
}

bool NameOwned(const QDBusConnection& bus, bool owned)
{
    const QDeadlineTimer deadline(10'000);
    while (!deadline.hasExpired()) {
        if (bus.interface()->isServiceRegistered(kService).value() == owned)
            return true;
        QThread::msleep(20);
    }
    return false;
}

QDBusMessage CallMock(const QDBusConnection& bus, const QString& interface, const QString& method,
                      const QVariantList& args = {})
{
    QDBusMessage m = QDBusMessage::createMethodCall(kService, kPath, interface, method);
    m.setArguments(args);
    return bus.call(m, QDBus::Block, 5000);
}

} // namespace

QString PrivateSystemBus(QString* whyNot)
{
    static QString address;
    static QString failure;
    static bool tried = false;
    if (!tried) {
        tried = true;
        auto* daemon = new QProcess; // lives until the process ends; atexit stops the daemon
        daemon->start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        if (!daemon->waitForStarted(5000))
            failure = QStringLiteral("dbus-daemon is not installed (Debian package dbus)");
        else if (!daemon->waitForReadyRead(5000))
            failure = QStringLiteral("dbus-daemon printed no address");
        else {
            address = QString::fromLatin1(daemon->readLine()).trimmed();
            g_daemonPid = daemon->processId();
            std::atexit(&StopDaemon);
            qputenv("DBUS_SYSTEM_BUS_ADDRESS", address.toLatin1());
        }
    }
    if (whyNot)
        *whyNot = failure;
    return address;
}

MockLogind::MockLogind()
{
    if (PrivateSystemBus(&m_whyNot).isEmpty())
        return;
    m_bus = QDBusConnection::systemBus();
    const QString python = PythonWithDbusmock();
    if (python.isEmpty()) {
        m_whyNot = QStringLiteral("python3-dbusmock is not installed");
        return;
    }
    m_mock.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_mock.start(python, {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--template"),
                          QStringLiteral("logind")});
    if (!m_mock.waitForStarted(5000) || !NameOwned(m_bus, true))
        m_whyNot = QStringLiteral("dbusmock's logind did not come up on the private bus");
}

MockLogind::~MockLogind()
{
    if (m_mock.state() == QProcess::NotRunning)
        return;
    m_mock.terminate();
    if (!m_mock.waitForFinished(5000))
        m_mock.kill();
    m_mock.waitForFinished(5000);
    NameOwned(m_bus, false);
}

void MockLogind::SetMethod(const QString& name, const QString& inSig, const QString& outSig, const QString& code)
{
    CallMock(m_bus, kMock, QStringLiteral("AddMethod"), {kManager, name, inSig, outSig, code});
}

void MockLogind::Refuse(const QString& method, const QString& inSig)
{
    SetMethod(method, inSig, {},
              QStringLiteral("raise dbus.exceptions.DBusException('Access denied', "
                             "name='org.freedesktop.DBus.Error.AccessDenied')"));
}

void MockLogind::Answer(const QString& canMethod, const QString& answer)
{
    SetMethod(canMethod, {}, QStringLiteral("s"), QStringLiteral("ret = '%1'").arg(answer));
}

void MockLogind::AddSession(const QString& id, uint uid, const QString& user)
{
    CallMock(m_bus, kMock, QStringLiteral("AddSession"), {id, QStringLiteral("seat0"), uid, user, true});
}

QStringList MockLogind::Calls()
{
    QStringList calls;
    const QDBusMessage reply = CallMock(m_bus, kMock, QStringLiteral("GetCalls"));
    if (reply.arguments().isEmpty())
        return calls;
    const QDBusArgument list = reply.arguments().constFirst().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        qulonglong when = 0;
        QString name;
        QStringList args;
        list.beginStructure();
        list >> when >> name;
        list.beginArray();
        while (!list.atEnd()) {
            QDBusVariant arg;
            list >> arg;
            const QVariant v = arg.variant();
            args << (v.typeId() == QMetaType::Bool ? (v.toBool() ? QStringLiteral("true") : QStringLiteral("false"))
                                                   : v.toString());
        }
        list.endArray();
        list.endStructure();
        calls << name + u'(' + args.join(QStringLiteral(", ")) + u')';
    }
    list.endArray();
    return calls;
}

void MockLogind::ClearCalls()
{
    CallMock(m_bus, kMock, QStringLiteral("ClearCalls"));
}

QStringList MockLogind::Inhibitors()
{
    QStringList held;
    const QDBusMessage reply = CallMock(m_bus, kManager, QStringLiteral("ListInhibitors"));
    if (reply.arguments().isEmpty())
        return held;
    const QDBusArgument list = reply.arguments().constFirst().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        QString what, who, why, mode;
        uint uid = 0, pid = 0;
        list.beginStructure();
        list >> what >> who >> why >> mode >> uid >> pid;
        list.endStructure();
        held << QStringList{what, who, why, mode}.join(u'|');
    }
    list.endArray();
    return held;
}
