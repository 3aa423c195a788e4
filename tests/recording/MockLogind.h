#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>

// A private bus that stands in for the system bus: dbus-daemon is started once per test
// process and DBUS_SYSTEM_BUS_ADDRESS points at it before anything uses D-Bus. Empty,
// with the reason in whyNot, when dbus-daemon is missing.
QString PrivateSystemBus(QString* whyNot);

// python3-dbusmock's logind template on the private bus, stopped again by the destructor.
class MockLogind {
public:
    MockLogind();
    ~MockLogind();
    MockLogind(const MockLogind&) = delete;
    MockLogind& operator=(const MockLogind&) = delete;

    bool Ready() const { return m_whyNot.isEmpty(); }
    const QString& WhyNot() const { return m_whyNot; }

    void Refuse(const QString& method, const QString& inSig);
    void Answer(const QString& canMethod, const QString& answer);
    void AddSession(const QString& id, uint uid, const QString& user);
    // The Manager calls so far, as "Name(args)", e.g. "Hibernate(false)".
    QStringList Calls();
    // Each held inhibitor as "what|who|why|mode".
    QStringList Inhibitors();

private:
    QDBusMessage Call(const QString& interface, const QString& method, const QVariantList& args = {});

    QDBusConnection m_bus{QString()}; // the system bus once it points at the private one
    QProcess m_mock;
    QString m_whyNot;
};
