#include "MockLogind.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QThread>
#include <csignal>
#include <cstdlib>
#include <utility>

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kMock = QStringLiteral("org.freedesktop.DBus.Mock");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");

qint64 g_daemonPid = 0;

bool NameOwned(const QDBusConnection& bus, bool owned)
{
    const QDeadlineTimer deadline(10'000);
    while (bus.interface()->isServiceRegistered(kService).value() != owned) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

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

} // namespace

QString PrivateSystemBus(QString* whyNot)
{
    static QString address, failure;
    static bool tried = false;
    if (!std::exchange(tried, true)) {
        auto* daemon = new QProcess; // lives until the process ends; atexit stops the daemon
        daemon->start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        if (!daemon->waitForStarted(5000) || !daemon->waitForReadyRead(5000))
            failure = QStringLiteral("dbus-daemon did not start (Debian package dbus)");
        else {
            address = QString::fromLatin1(daemon->readLine()).trimmed();
            g_daemonPid = daemon->processId();
            std::atexit([] { ::kill(static_cast<pid_t>(g_daemonPid), SIGTERM); });
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
    m_mock.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The Debian interpreter: a python3 earlier on PATH may lack the module.
    m_mock.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--template"),
                          QStringLiteral("logind")});
    if (!m_mock.waitForStarted(5000) || !NameOwned(m_bus, true))
        m_whyNot = QStringLiteral("dbusmock's logind did not come up (is python3-dbusmock installed?)");
}

MockLogind::~MockLogind()
{
    if (m_mock.state() == QProcess::NotRunning)
        return;
    m_mock.kill();
    m_mock.waitForFinished(5000);
    NameOwned(m_bus, false);
}

QDBusMessage MockLogind::Call(const QString& interface, const QString& method, const QVariantList& args)
{
    QDBusMessage m =
        QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/login1"), interface, method);
    m.setArguments(args);
    return m_bus.call(m, QDBus::Block, 5000);
}

void MockLogind::Refuse(const QString& method, const QString& inSig)
{
    Call(kMock, QStringLiteral("AddMethod"),
         {kManager, method, inSig, QString(),
          QStringLiteral("raise dbus.exceptions.DBusException('Access denied', "
                         "name='org.freedesktop.DBus.Error.AccessDenied')")});
}

void MockLogind::Answer(const QString& canMethod, const QString& answer)
{
    Call(kMock, QStringLiteral("AddMethod"),
         {kManager, canMethod, QString(), QStringLiteral("s"), QStringLiteral("ret = '%1'").arg(answer)});
}

void MockLogind::AddSession(const QString& id, uint uid, const QString& user)
{
    Call(kMock, QStringLiteral("AddSession"), {id, QStringLiteral("seat0"), uid, user, true});
}

QStringList MockLogind::Calls()
{
    return Rows(Call(kMock, QStringLiteral("GetCalls")), [](const QDBusArgument& call) {
        qulonglong when = 0;
        QString name;
        QStringList args;
        call >> when >> name;
        call.beginArray();
        while (!call.atEnd()) {
            QDBusVariant arg;
            call >> arg;
            const QVariant v = arg.variant();
            args << (v.typeId() == QMetaType::Bool ? QLatin1String(v.toBool() ? "true" : "false") : v.toString());
        }
        call.endArray();
        return name + u'(' + args.join(QStringLiteral(", ")) + u')';
    });
}

QStringList MockLogind::Inhibitors()
{
    return Rows(Call(kManager, QStringLiteral("ListInhibitors")), [](const QDBusArgument& inhibitor) {
        QString what, who, why, mode;
        uint uid = 0, pid = 0;
        inhibitor >> what >> who >> why >> mode >> uid >> pid;
        return QStringList{what, who, why, mode}.join(u'|');
    });
}
